#include "GlCheck.h"

#include <SDL_log.h>

namespace {
uint32_t errorTotal = 0;
}

uint32_t glCheckErrors(const char* where) {
    uint32_t count = 0;
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        SDL_LogError(SDL_LOG_CATEGORY_RENDER, "d3d8: OpenGL error 0x%04x after %s", error, where);
        if (++count > 16) {
            break; // a lost context keeps answering errors
        }
    }
    errorTotal += count;
    return count;
}

uint32_t glErrorTotal() {
    return errorTotal;
}
