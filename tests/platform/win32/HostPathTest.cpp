#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "FreshFolderTest.h"
#include "HostPath.h"

namespace {

namespace fs = std::filesystem;

// An installation (bin, share/letterbox/data), a build folder with data/
// beside its program, and an unrelated working folder.
class DataLookupTest : public FreshFolderTest {
protected:
    DataLookupTest()
        : FreshFolderTest("letterbox-lookup-",
                          {"bin", "share/letterbox/data", "build/data", "elsewhere"}, "elsewhere") {
    }
    std::string lookup(const char* windowsName, const fs::path& program) {
        return findReadable(hostPathFromWindows(windowsName), dataFoldersBeside(program.string()));
    }
};

TEST_F(DataLookupTest, TheInstalledDataIsFoundFromAnyFolder) {
    write(folder / "share/letterbox/data/obi.bmp", "installed");
    const std::string found = lookup("data\\obi.bmp", folder / "bin");
    EXPECT_TRUE(fs::equivalent(folder / "share/letterbox/data/obi.bmp", found)) << found;
}

TEST_F(DataLookupTest, DataBesideTheProgramIsFound) {
    write(folder / "build/data/obi.bmp", "built");
    const std::string found = lookup("data\\obi.bmp", folder / "build");
    EXPECT_TRUE(fs::equivalent(folder / "build/data/obi.bmp", found)) << found;
}

TEST_F(DataLookupTest, TheWorkingFolderComesFirst) {
    fs::create_directories("data");
    write("data/obi.bmp", "local");
    write(folder / "build/data/obi.bmp", "built");
    write(folder / "share/letterbox/data/obi.bmp", "installed");
    EXPECT_EQ("data/obi.bmp", lookup("data\\obi.bmp", folder / "build"));
    EXPECT_EQ("data/obi.bmp", lookup("data\\obi.bmp", folder / "bin"));
}

TEST_F(DataLookupTest, ADataFolderIsTakenWhole) {
    // The working folder's data/ lacks the file that the program's folder has: it stays
    // missing, as the program expects of the folder it was started in.
    fs::create_directories("data");
    write(folder / "build/data/obi.bmp", "built");
    EXPECT_EQ("data/obi.bmp", lookup("data\\obi.bmp", folder / "build"));
    // The installed data/ without the file is still where the name points.
    fs::remove_all("data");
    write(folder / "share/letterbox/data/other.bmp", "installed");
    const std::string found = lookup("data\\obi.bmp", folder / "bin");
    EXPECT_EQ((folder / "bin/../share/letterbox/data/obi.bmp").string(), found);
}

TEST_F(DataLookupTest, WithNoDataFolderTheWorkingFolderPathStands) {
    fs::remove_all(folder / "share");
    fs::remove_all(folder / "build/data");
    EXPECT_EQ("data/obi.bmp", lookup("data\\obi.bmp", folder / "bin"));
    EXPECT_EQ("data/obi.bmp", lookup("data\\obi.bmp", ""));
    // Absolute names are taken as they are.
    EXPECT_EQ("/nowhere/data/obi.bmp", lookup("/nowhere/data/obi.bmp", folder / "build"));
    EXPECT_EQ("data/obi.bmp", lookup("data\\obi.bmp", folder / "build"));
}

} // namespace
