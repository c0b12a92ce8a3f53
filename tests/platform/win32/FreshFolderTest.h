// A test that works in a fresh folder of its own under the temporary directory (named after
// prefix, the process and the test) holding the given subfolders, with the working directory
// in one of them; the folder is removed again at the end and the working directory put back.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>
#include <unistd.h>

class FreshFolderTest : public ::testing::Test {
protected:
    FreshFolderTest(const char* prefix, std::vector<std::string> subfolders, const char* workIn)
        : prefix(prefix), subfolders(std::move(subfolders)), workIn(workIn) {}

    void SetUp() override {
        previous = std::filesystem::current_path();
        folder = std::filesystem::temp_directory_path() /
                 (prefix + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        for (const std::string& subfolder : subfolders) {
            std::filesystem::create_directories(folder / subfolder);
        }
        std::filesystem::current_path(folder / workIn);
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }
    static void write(const std::filesystem::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    std::string prefix;
    std::vector<std::string> subfolders;
    std::string workIn;
    std::filesystem::path previous;
    std::filesystem::path folder;
};
