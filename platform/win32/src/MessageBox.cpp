// Modal message boxes through SDL, or on standard error where no box can be
// shown or the run asks for it.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "MessageBoxSink.h"
#include "PlatformOptions.h"
#include "SdlBridge.h"
#include "WindowRegistry.h"
#include <winuser.h>

namespace {
bool toStandardError() {
    const PlatformOptions& options = PlatformOptions::get();
    const char* env = std::getenv("LETTERBOX_MESSAGEBOX");
    return options.messageBoxToStderr || options.headless ||
           (env && std::strcmp(env, "stderr") == 0);
}

struct Button {
    int id;
    const char* label;
};

std::vector<Button> buttonsFor(UINT type) {
    switch (type & 0xF) {
    case MB_OKCANCEL:
        return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE:
        return {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
    case MB_YESNOCANCEL:
        return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO:
        return {{IDYES, "Yes"}, {IDNO, "No"}};
    case MB_RETRYCANCEL:
        return {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
    default:
        return {{IDOK, "OK"}};
    }
}

Uint32 iconFlags(UINT type) {
    switch (type & 0xF0) {
    case MB_ICONERROR:
        return SDL_MESSAGEBOX_ERROR;
    case MB_ICONWARNING:
        return SDL_MESSAGEBOX_WARNING;
    default:
        return SDL_MESSAGEBOX_INFORMATION;
    }
}
} // namespace

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    const char* shownText = text ? text : "";
    // Windows titles an uncaptioned box "Error".
    const char* shownCaption = caption ? caption : "Error";
    const std::vector<Button> buttons = buttonsFor(type);

    if (MessageBoxSink::active != nullptr) {
        MessageBoxSink::active->shown(shownCaption, shownText, type);
        return buttons.front().id;
    }
    if (!toStandardError() && sdlVideoInit()) {
        std::vector<SDL_MessageBoxButtonData> data;
        for (size_t i = 0; i < buttons.size(); ++i) {
            Uint32 flags = 0;
            if (i == 0) {
                flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
            }
            if (buttons[i].id == IDCANCEL || buttons.size() == 1) {
                flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
            }
            data.push_back(SDL_MessageBoxButtonData{flags, buttons[i].id, buttons[i].label});
        }
        // With no owner, the first live window still parents the box, so it
        // does not open behind a full-screen picture.
        SDL_Window* parent = sdlWindowFromHwnd(owner);
        if (!parent) {
            auto handles = WindowRegistry::instance().handles();
            parent = handles.empty() ? nullptr : sdlWindowFromHwnd(handles.front());
        }
        SDL_MessageBoxData box{
            iconFlags(type), parent, shownCaption, shownText, static_cast<int>(data.size()),
            data.data(),     nullptr};
        int answer = 0;
        if (SDL_ShowMessageBox(&box, &answer) == 0) {
            return answer > 0 ? answer : buttons.front().id;
        }
    }
    std::fprintf(stderr, "%s: %s\n", shownCaption, shownText);
    std::fflush(stderr);
    return buttons.front().id;
}
