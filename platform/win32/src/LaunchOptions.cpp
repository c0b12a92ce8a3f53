#include "LaunchOptions.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace {
struct Option {
    const char* name;
    const char* help;
    std::function<void(PlatformOptions&)> apply;
};

// Every command-line option: add a row to add one.
const std::vector<Option>& optionTable() {
    static const std::vector<Option> table = {
        {"--windowed", "play in a centred 800 x 600 window instead of full screen",
         [](PlatformOptions& o) { o.windowed = true; }},
    };
    return table;
}

bool set(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0];
}
} // namespace

void LaunchOptions::applyEnvironment(PlatformOptions& options) {
    const char* messageBox = std::getenv("LETTERBOX_MESSAGEBOX");
    if (messageBox && std::strcmp(messageBox, "stderr") == 0) {
        options.messageBoxToStderr = true;
    }
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY")) {
        options.headless = true;
    }
}

std::string LaunchOptions::usage(const char* program) {
    std::string text = "usage: ";
    text += program && program[0] ? program : "letterbox";
    text += " [options]\n\nPlays the demo full screen; Esc or closing the window ends it.\n\n";
    for (const Option& option : optionTable()) {
        std::string line = "  ";
        line += option.name;
        line.resize(std::max<size_t>(line.size() + 2, 22), ' ');
        text += line + option.help + "\n";
    }
    text += "  --help              show this text\n";
    text += "\nEnvironment: LETTERBOX_MESSAGEBOX=stderr writes message boxes to standard "
            "error.\nWith neither DISPLAY nor WAYLAND_DISPLAY set it renders off screen.\n";
    return text;
}

LaunchOptions::Outcome LaunchOptions::parse(int argc, const char* const* argv,
                                            PlatformOptions& options, std::string& message) {
    const char* program = argc > 0 ? argv[0] : "letterbox";
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            message = usage(program);
            return Outcome::Exit;
        }
        bool known = false;
        for (const Option& option : optionTable()) {
            if (std::strcmp(arg, option.name) == 0) {
                option.apply(options);
                known = true;
                break;
            }
        }
        if (!known) {
            message = std::string("unknown option '") + arg + "'\n" + usage(program);
            return Outcome::Error;
        }
    }
    return Outcome::Run;
}
