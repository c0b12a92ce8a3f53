#include "PlatformOptions.h"

#include "LaunchOptions.h"

PlatformOptions& PlatformOptions::get() {
    // The environment applies even where no main ran (tests), so a test run
    // with LETTERBOX_MESSAGEBOX=stderr never waits on a modal box.
    static PlatformOptions options = [] {
        PlatformOptions o;
        LaunchOptions::applyEnvironment(o);
        return o;
    }();
    return options;
}
