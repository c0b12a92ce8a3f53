// SDL's log as the platform layer writes its diagnostics, on the browser's console: errors
// as errors, warnings as warnings, the rest as plain lines. Shown from warnings up unless
// the priority is changed (LETTERBOX_LOG, read by the platform layer).
#include <SDL_log.h>
#include <emscripten.h>

#include <cstdarg>
#include <cstdio>

namespace {

SDL_LogPriority shownFrom = SDL_LOG_PRIORITY_WARN;

void write(SDL_LogPriority priority, const char* format, va_list arguments) {
    if (priority < shownFrom) {
        return;
    }
    char text[1024];
    std::vsnprintf(text, sizeof text, format, arguments);
    int flags = EM_LOG_CONSOLE;
    if (priority >= SDL_LOG_PRIORITY_ERROR) {
        flags |= EM_LOG_ERROR;
    } else if (priority == SDL_LOG_PRIORITY_WARN) {
        flags |= EM_LOG_WARN;
    }
    emscripten_log(flags, "%s", text);
}

} // namespace

extern "C" {

void SDL_LogSetAllPriority(SDL_LogPriority priority) {
    shownFrom = priority;
}

void SDL_LogSetPriority(int, SDL_LogPriority priority) {
    shownFrom = priority;
}

SDL_LogPriority SDL_LogGetPriority(int) {
    return shownFrom;
}

void SDL_LogMessageV(int, SDL_LogPriority priority, const char* format, va_list arguments) {
    write(priority, format, arguments);
}

#define LETTERBOX_LOG_CALL(name, priority)                                                         \
    void name(int, const char* format, ...) {                                                      \
        va_list arguments;                                                                         \
        va_start(arguments, format);                                                               \
        write(priority, format, arguments);                                                        \
        va_end(arguments);                                                                         \
    }

LETTERBOX_LOG_CALL(SDL_LogVerbose, SDL_LOG_PRIORITY_VERBOSE)
LETTERBOX_LOG_CALL(SDL_LogDebug, SDL_LOG_PRIORITY_DEBUG)
LETTERBOX_LOG_CALL(SDL_LogInfo, SDL_LOG_PRIORITY_INFO)
LETTERBOX_LOG_CALL(SDL_LogWarn, SDL_LOG_PRIORITY_WARN)
LETTERBOX_LOG_CALL(SDL_LogError, SDL_LOG_PRIORITY_ERROR)
LETTERBOX_LOG_CALL(SDL_LogCritical, SDL_LOG_PRIORITY_CRITICAL)

} // extern "C"
