// The browser build's entry: the page's query says how the run is asked for (clock=virtual
// for the deterministic clock of a capture, to=SECONDS for an end time), the platform is
// set up, and the program is entered at WinMain. The page learns when it has ended.
#include <emscripten.h>

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "BrowserRun.h"
#include "PlatformOptions.h"
#include "SystemClock.h"
#include "launcher/LaunchOptions.h"
#include <mmsystem.h>
#include <windows.h>

// clang-format off
// A parameter of the page's query, or an empty string.
EM_JS(char*, pageQueryParameter, (const char* name), {
    var value = new URLSearchParams(window.location.search).get(UTF8ToString(name)) || '';
    var bytes = lengthBytesUTF8(value) + 1;
    var text = _malloc(bytes);
    stringToUTF8(value, text, bytes);
    return text;
});

EM_JS(void, pageEnded, (int status, const char* message), {
    if (window.letterboxPage) {
        window.letterboxPage.ended(status, UTF8ToString(message));
    }
});
// clang-format on

namespace {

std::string queryParameter(const char* name) {
    char* text = pageQueryParameter(name);
    std::string value = text;
    free(text);
    return value;
}

} // namespace

int main() {
    PlatformOptions& options = PlatformOptions::get();
    // The command line the query stands for, checked as the desktop checks its own.
    std::vector<std::string> words{"letterbox"};
    if (const std::string to = queryParameter("to"); !to.empty()) {
        words.insert(words.end(), {"--to", to});
    }
    std::vector<const char*> argv;
    for (const std::string& word : words) {
        argv.push_back(word.c_str());
    }
    std::string message;
    if (LaunchOptions::parse(static_cast<int>(argv.size()), argv.data(), options, message) !=
        LaunchOptions::Outcome::Run) {
        std::fputs(message.c_str(), stderr);
        pageEnded(2, message.c_str());
        return 2;
    }
    options.virtualClock = queryParameter("clock") == "virtual";
    options.headless = false; // the page shows the picture, whatever the environment says
    SystemClock::instance().configure(options.virtualClock, options.clockStartMs);

    std::optional<uint32_t> endMs;
    if (options.toSeconds >= 0.0) {
        endMs = static_cast<uint32_t>(std::llround(options.toSeconds * 1000.0));
    }
    int status = 0;
    {
        BrowserRun run(endMs);
        std::string commandLine;
        for (size_t i = 1; i < words.size(); ++i) {
            commandLine += (i > 1 ? " " : "") + words[i];
        }
        status = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWDEFAULT);
    }
    // The end of a process closes the devices it left open; the page outlives the program,
    // so its sound would play on.
    mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, 0, 0);
    pageEnded(status, "");
    return status;
}
