// How a run is asked for: the command line and the environment, turned into
// PlatformOptions. The option table is the one place to add an option.
#pragma once

#include <string>

#include "PlatformOptions.h"

class LaunchOptions {
public:
    enum class Outcome {
        Run,  // go on and play
        Exit, // done already (for example --help): exit with status 0
        Error // bad command line: `message` says why; exit with status 2
    };

    // The command line after the environment (PlatformOptions::applyEnvironment);
    // argv[0] is the program name.
    // `message` receives the help text or the error.
    static Outcome parse(int argc, const char* const* argv, PlatformOptions& options,
                         std::string& message);

    static std::string usage(const char* program);
    static std::string version();
};
