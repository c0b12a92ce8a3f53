#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "HostPath.h"

namespace {

namespace fs = std::filesystem;

// An installation (root/bin, root/share/letterbox/data), a build folder with data/
// beside its program, and an unrelated working folder.
class DataLookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = fs::current_path();
        root = fs::temp_directory_path() /
               ("letterbox-lookup-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "bin");
        fs::create_directories(root / "share/letterbox/data");
        fs::create_directories(root / "build/data");
        fs::create_directories(root / "elsewhere");
        fs::current_path(root / "elsewhere");
    }
    void TearDown() override {
        fs::current_path(previous);
        fs::remove_all(root);
    }
    static void write(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string lookup(const char* windowsName, const fs::path& program) {
        return findReadable(hostPathFromWindows(windowsName), dataFoldersBeside(program.string()));
    }
    fs::path previous;
    fs::path root;
};

TEST_F(DataLookupTest, TheInstalledDataIsFoundFromAnyFolder) {
    write(root / "share/letterbox/data/obi.bmp", "installed");
    const std::string found = lookup("data\\obi.bmp", root / "bin");
    EXPECT_TRUE(fs::equivalent(root / "share/letterbox/data/obi.bmp", found)) << found;
}

TEST_F(DataLookupTest, DataBesideTheProgramIsFound) {
    write(root / "build/data/obi.bmp", "built");
    const std::string found = lookup("data\\obi.bmp", root / "build");
    EXPECT_TRUE(fs::equivalent(root / "build/data/obi.bmp", found)) << found;
}

TEST_F(DataLookupTest, TheWorkingFolderComesFirst) {
    fs::create_directories("data");
    write("data/obi.bmp", "local");
    write(root / "build/data/obi.bmp", "built");
    write(root / "share/letterbox/data/obi.bmp", "installed");
    EXPECT_EQ("data/obi.bmp", lookup("data\\obi.bmp", root / "build"));
    EXPECT_EQ("data/obi.bmp", lookup("data\\obi.bmp", root / "bin"));
}

TEST_F(DataLookupTest, WithTheFileNowhereTheWorkingFolderPathStands) {
    // Data elsewhere does not count: only the file named.
    write(root / "share/letterbox/data/other.bmp", "installed");
    EXPECT_EQ("data/obi.bmp", lookup("data\\obi.bmp", root / "bin"));
    EXPECT_EQ("data/obi.bmp", lookup("data\\obi.bmp", ""));
    // Absolute names are taken as they are.
    EXPECT_EQ("/nowhere/data/obi.bmp", lookup("/nowhere/data/obi.bmp", root / "bin"));
}

} // namespace
