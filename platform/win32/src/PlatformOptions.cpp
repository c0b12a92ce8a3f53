#include "PlatformOptions.h"

#include "DiagnosticLog.h"

#include <cstdlib>
#include <cstring>

namespace {

bool set(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0];
}

} // namespace

PlatformOptions& PlatformOptions::get() {
    // The environment applies even where no main ran (tests), so a test run
    // with LETTERBOX_MESSAGEBOX=stderr never waits on a modal box.
    static PlatformOptions options = [] {
        PlatformOptions o;
        applyEnvironment(o);
        const char* log = std::getenv("LETTERBOX_LOG");
        if (!configureDiagnosticLog(log)) {
            SDL_LogWarn(SDL_LOG_CATEGORY_APPLICATION,
                        "LETTERBOX_LOG=%s names no priority (verbose, debug, info, warn, error, "
                        "critical); showing warnings and errors",
                        log);
        }
        return o;
    }();
    return options;
}

void PlatformOptions::applyEnvironment(PlatformOptions& options) {
    const char* messageBox = std::getenv("LETTERBOX_MESSAGEBOX");
    if (messageBox && std::strcmp(messageBox, "stderr") == 0) {
        options.messageBoxToStderr = true;
    }
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY")) {
        options.headless = true;
    }
}
