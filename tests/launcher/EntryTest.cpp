#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <string>
#include <sys/wait.h>

namespace {

struct ProbeRun {
    int status;
    std::string output;
};

// Runs the probe program with an environment prefix and arguments.
ProbeRun runProbe(const std::string& environment, const std::string& arguments) {
    const std::string command =
        "env " + environment + " " + ENTRY_PROBE_PATH + " " + arguments + " 2>&1";
    ProbeRun run{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return run;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        run.output += buffer;
    }
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

TEST(Entry, PassesTheRunToWinMainAndReturnsItsStatus) {
    const ProbeRun run =
        runProbe("-u DISPLAY -u WAYLAND_DISPLAY LETTERBOX_MESSAGEBOX=stderr", "--windowed");
    EXPECT_EQ(7, run.status);
    EXPECT_NE(std::string::npos, run.output.find("no display")) << run.output;
    EXPECT_NE(std::string::npos,
              run.output.find("instance=1 previous=1 windowed=1 headless=1 stderr=1 virtual=0 "
                              "cmd=[--windowed]"))
        << run.output;
}

TEST(Entry, ADisplayMeansNotHeadless) {
    const ProbeRun run = runProbe("-u LETTERBOX_MESSAGEBOX DISPLAY=:99", "");
    EXPECT_EQ(7, run.status);
    EXPECT_NE(std::string::npos, run.output.find("windowed=0 headless=0 stderr=0")) << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("no display"));
}

TEST(Entry, HelpAndBadOptionsEndBeforeWinMain) {
    const ProbeRun help = runProbe("", "--help");
    EXPECT_EQ(0, help.status);
    EXPECT_NE(std::string::npos, help.output.find("--windowed"));
    EXPECT_EQ(std::string::npos, help.output.find("instance="));

    const ProbeRun bad = runProbe("", "--no-such-option");
    EXPECT_EQ(2, bad.status);
    EXPECT_NE(std::string::npos, bad.output.find("unknown option '--no-such-option'"));
    EXPECT_EQ(std::string::npos, bad.output.find("instance="));
}

// The probe installed as the installation lays it out (bin/ and share/letterbox/data),
// started from an unrelated working folder: it reads its data from the installation,
// and a file the installation lacks fails as it would in the working folder.
TEST(Entry, AnInstalledProgramFindsItsDataFromAnyFolder) {
    namespace fs = std::filesystem;
    const fs::path root =
        fs::temp_directory_path() / ("letterbox-install-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "bin");
    fs::create_directories(root / "share/letterbox/data");
    fs::create_directories(root / "elsewhere");
    fs::copy_file(ENTRY_PROBE_PATH, root / "bin/probe");
    std::ofstream(root / "share/letterbox/data/note.txt") << "installed";
    const std::string cd = "cd " + (root / "elsewhere").string() + " && ";
    const std::string program = (root / "bin/probe").string();
    auto run = [&](const std::string& name) {
        ProbeRun result{-1, ""};
        FILE* pipe = popen((cd +
                            "env -u DISPLAY -u WAYLAND_DISPLAY LETTERBOX_MESSAGEBOX=stderr "
                            "PROBE_OPEN='" +
                            name + "' " + program + " 2>&1")
                               .c_str(),
                           "r");
        char buffer[512];
        while (pipe && std::fgets(buffer, sizeof buffer, pipe)) {
            result.output += buffer;
        }
        result.status = pipe ? pclose(pipe) : -1;
        return result;
    };
    const ProbeRun found = run("data\\note.txt");
    EXPECT_NE(std::string::npos, found.output.find("open=[installed]")) << found.output;
    // ERROR_PATH_NOT_FOUND (3): the working folder has no data folder either.
    const ProbeRun missing = run("data\\missing.txt");
    EXPECT_NE(std::string::npos, missing.output.find("open=error 3")) << missing.output;
    fs::remove_all(root);
}

} // namespace
