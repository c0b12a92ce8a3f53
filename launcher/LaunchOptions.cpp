#include "launcher/LaunchOptions.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <set>
#include <vector>

namespace {
// What an option's value turned into; an empty string means it was accepted.
using Apply = std::function<std::string(PlatformOptions&, const std::string& value)>;

struct Option {
    const char* name;
    const char* value; // the value's name in the help text; null for a flag
    const char* help;
    Apply apply;
};

bool endsWith(const std::string& text, const char* suffix) {
    const size_t n = std::strlen(suffix);
    if (text.size() < n) {
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        const char c = text[text.size() - n + i];
        if (std::tolower(static_cast<unsigned char>(c)) != suffix[i]) {
            return false;
        }
    }
    return true;
}

// Seconds on the scene clock: a plain decimal number from 0 to a day.
std::string parseSeconds(const std::string& value, double& seconds) {
    if (value.empty()) {
        return "needs a number of seconds";
    }
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(value.c_str(), &end);
    if (end != value.c_str() + value.size() || errno != 0 || !std::isfinite(parsed) ||
        std::isspace(static_cast<unsigned char>(value[0]))) {
        return "'" + value + "' is not a number of seconds";
    }
    if (parsed < 0.0 || parsed > 86400.0) {
        return "'" + value + "' is out of range (0 to 86400 seconds)";
    }
    seconds = parsed;
    return {};
}

// A whole number among the ones allowed.
std::string parseChoice(const std::string& value, std::initializer_list<uint32_t> allowed,
                        uint32_t& result) {
    for (uint32_t choice : allowed) {
        if (value == std::to_string(choice)) {
            result = choice;
            return {};
        }
    }
    std::string list;
    for (uint32_t choice : allowed) {
        list += (list.empty() ? "" : ", ") + std::to_string(choice);
    }
    return "'" + value + "' is not one of " + list;
}

// Where the millisecond clock starts: 0 to 4294967295, or a negative number for
// that many milliseconds before the clock wraps to 0.
std::string parseClockStart(const std::string& value, uint32_t& startMs) {
    const bool beforeWrap = !value.empty() && value[0] == '-';
    const std::string digits = beforeWrap ? value.substr(1) : value;
    if (digits.empty() || digits.size() > 10 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return "'" + value + "' is not a whole number of milliseconds";
    }
    const uint64_t magnitude = std::stoull(digits);
    if (magnitude > UINT32_MAX || (beforeWrap && magnitude == 0)) {
        return "'" + value + "' is out of range (0 to 4294967295, or -1 to -4294967295)";
    }
    startMs = beforeWrap ? static_cast<uint32_t>(0x100000000ull - magnitude)
                         : static_cast<uint32_t>(magnitude);
    return {};
}

std::string needPath(const std::string& value) {
    return value.empty() ? "needs a file name" : "";
}

// Every command-line option: add a row to add one.
const std::vector<Option>& optionTable() {
    static const std::vector<Option> table = {
        {"--windowed", nullptr, "play in a centred 800 x 600 window instead of full screen",
         [](PlatformOptions& o, const std::string&) {
             o.windowed = true;
             return std::string();
         }},
        {"--capture", "PATH",
         "render off screen on a virtual clock, writing every frame:\n"
         "PATH.y4m: YUV4MPEG2, with the sound in PATH.wav\n"
         "PATH.mp4, PATH.mkv: video and sound through ffmpeg\n"
         "otherwise: a folder of numbered PNG files and soundtrack.wav",
         [](PlatformOptions& o, const std::string& v) {
             o.capturePath = v;
             return needPath(v);
         }},
        {"--from", "SECONDS", "capture from this time of the scene clock on",
         [](PlatformOptions& o, const std::string& v) { return parseSeconds(v, o.fromSeconds); }},
        {"--to", "SECONDS", "end the run at this time of the scene clock",
         [](PlatformOptions& o, const std::string& v) { return parseSeconds(v, o.toSeconds); }},
        {"--contact-sheet", "FILE.png",
         "one frame per second tiled into a PNG\n(alone, it captures nothing else)",
         [](PlatformOptions& o, const std::string& v) {
             o.contactSheetPath = v;
             if (v.empty()) {
                 return std::string("needs a file name");
             }
             return endsWith(v, ".png") ? std::string() : "'" + v + "' does not end in .png";
         }},
        {"--trace", "FILE", "write every Direct3D call to FILE",
         [](PlatformOptions& o, const std::string& v) {
             o.tracePath = v;
             return needPath(v);
         }},
        {"--stats", nullptr, "print ticks, frames and update and render times per scene at exit",
         [](PlatformOptions& o, const std::string&) {
             o.stats = true;
             return std::string();
         }},
        {"--scale", "N",
         "draw at N times 800 x 600 inside (1 to 4, default 1); captures are\n"
         "that size, the screen shows it scaled to fit; 'auto' (live runs) fits\n"
         "the display on a GPU driver and stays 1 on the software rasteriser",
         [](PlatformOptions& o, const std::string& v) {
             o.renderScaleAuto = v == "auto";
             return o.renderScaleAuto ? std::string() : parseChoice(v, {1, 2, 3, 4}, o.renderScale);
         }},
        {"--msaa", "S", "anti-alias with S samples per pixel (2, 4 or 8)",
         [](PlatformOptions& o, const std::string& v) {
             return parseChoice(v, {2, 4, 8}, o.multisample);
         }},
        {"--software", nullptr, "render with Mesa's software rasteriser even with a GPU",
         [](PlatformOptions& o, const std::string&) {
             o.software = true;
             return std::string();
         }},
    };
    return table;
}

} // namespace

std::string LaunchOptions::usage(const char* program) {
    std::string text = "usage: ";
    text += program && program[0] ? program : "letterbox";
    text += " [options]\n\nPlays the demo full screen; Esc or closing the window ends it.\n\n";
    auto row = [&text](std::string left, const char* help) {
        left = "  " + left;
        left.resize(std::max<size_t>(left.size() + 2, 28), ' ');
        // Long help wraps onto lines of its own under the first.
        std::string wrapped = help;
        for (size_t at = 0; (at = wrapped.find('\n', at)) != std::string::npos; at += 29) {
            wrapped.insert(at + 1, 28, ' ');
        }
        text += left + wrapped + "\n";
    };
    for (const Option& option : optionTable()) {
        row(std::string(option.name) + (option.value ? std::string(" ") + option.value : ""),
            option.help);
    }
    row("--version", "print the version");
    row("--help", "show this text");
    text += "\nEnvironment: LETTERBOX_MESSAGEBOX=stderr writes message boxes to standard "
            "error.\nLETTERBOX_CLOCK_START=MS starts the millisecond clock at MS (negative: "
            "that long\nbefore it wraps to 0).\nLETTERBOX_LOG=info, debug or verbose shows more "
            "diagnostics than the\nwarnings and errors.\nWith neither DISPLAY nor "
            "WAYLAND_DISPLAY set it renders off screen.\n";
    return text;
}

std::string LaunchOptions::version() {
#ifdef LETTERBOX_VERSION
    return std::string("letterbox ") + LETTERBOX_VERSION + "\n";
#else
    return "letterbox\n";
#endif
}

LaunchOptions::Outcome LaunchOptions::parse(int argc, const char* const* argv,
                                            PlatformOptions& options, std::string& message) {
    const char* program = argc > 0 ? argv[0] : "letterbox";
    auto fail = [&](const std::string& why) {
        message = std::string(program && program[0] ? program : "letterbox") + ": " + why + "\n(" +
                  (program && program[0] ? program : "letterbox") + " --help lists the options)\n";
        return Outcome::Error;
    };
    if (const char* start = std::getenv("LETTERBOX_CLOCK_START"); start && start[0]) {
        if (const std::string error = parseClockStart(start, options.clockStartMs);
            !error.empty()) {
            return fail("LETTERBOX_CLOCK_START: " + error);
        }
    }
    std::set<std::string> seen;
    bool fromGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            message = usage(program);
            return Outcome::Exit;
        }
        if (arg == "--version") {
            message = version();
            return Outcome::Exit;
        }
        // --name=value or --name value
        std::string value;
        bool inlineValue = false;
        if (const size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
            inlineValue = true;
        }
        const auto found = std::find_if(optionTable().begin(), optionTable().end(),
                                        [&](const Option& o) { return arg == o.name; });
        if (found == optionTable().end()) {
            return fail("unknown option '" + arg + "'");
        }
        if (!seen.insert(arg).second) {
            return fail(arg + " is given twice");
        }
        if (found->value == nullptr && inlineValue) {
            return fail(arg + " takes no value");
        }
        if (found->value != nullptr && !inlineValue) {
            if (i + 1 >= argc) {
                return fail(arg + " needs a value: " + found->name + " " + found->value);
            }
            value = argv[++i];
        }
        if (const std::string error = found->apply(options, value); !error.empty()) {
            return fail(arg + ": " + error);
        }
        fromGiven = fromGiven || arg == "--from";
    }
    const bool capturing = !options.capturePath.empty() || !options.contactSheetPath.empty();
    if (fromGiven && !capturing) {
        return fail("--from needs --capture or --contact-sheet (a live run starts at 0)");
    }
    if (options.toSeconds >= 0.0 && options.toSeconds <= options.fromSeconds) {
        return fail("--to must come after --from");
    }
    if (capturing && options.renderScaleAuto) {
        return fail("--scale auto fits the display; a capture needs a number (1 to 4)");
    }
    if (capturing) {
        // A capture runs off screen on the virtual clock, every tick rendered, and
        // nothing waits for a click.
        options.virtualClock = true;
        options.headless = true;
        options.messageBoxToStderr = true;
    }
    return Outcome::Run;
}
