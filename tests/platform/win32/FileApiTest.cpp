#include "FreshFolderTest.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <windows.h>

namespace {

namespace fs = std::filesystem;

// Each test works in a fresh folder made the working directory, as the
// program's data folder is found relative to it.
class FileApiTest : public FreshFolderTest {
protected:
    FileApiTest() : FreshFolderTest("letterbox-files-", {"data"}, "") {}
    static HANDLE openRead(const char* name) {
        return CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_RANDOM_ACCESS, nullptr);
    }
    // Opening name fails, with this error left behind.
    static void expectRefused(const char* name, DWORD error) {
        const char* shown = name != nullptr ? name : "(null)";
        EXPECT_EQ(INVALID_HANDLE_VALUE, openRead(name)) << shown;
        EXPECT_EQ(error, GetLastError()) << shown;
    }
};

TEST_F(FileApiTest, BackslashNamesAreOpenedMappedAndSized) {
    const std::string content = "BM" + std::string(998, 'x');
    write("data/obi.bmp", content);
    HANDLE file = openRead("data\\obi.bmp");
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD high = 77;
    EXPECT_EQ(1000u, GetFileSize(file, &high));
    EXPECT_EQ(0u, high);

    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(nullptr, mapping);
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(0, std::memcmp(view, content.data(), content.size()));
    // The view outlives the handles it came from, as on Windows.
    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ('B', static_cast<const char*>(view)[0]);
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_FALSE(UnmapViewOfFile(view));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST_F(FileApiTest, MissingFileAndMissingFolderAreToldApart) {
    expectRefused("data\\nothing.bmp", ERROR_FILE_NOT_FOUND);
    expectRefused("nowhere\\nothing.bmp", ERROR_PATH_NOT_FOUND);
    write("data/plain", "x");
    expectRefused("data\\plain\\below", ERROR_PATH_NOT_FOUND);
    expectRefused("", ERROR_PATH_NOT_FOUND);
    expectRefused(nullptr, ERROR_INVALID_PARAMETER);
}

TEST_F(FileApiTest, AFolderIsNotAFile) {
    expectRefused("data", ERROR_ACCESS_DENIED);
    expectRefused("data\\", ERROR_ACCESS_DENIED);
}

TEST_F(FileApiTest, UnreadableFileIsAccessDenied) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    write("data/locked.bmp", "BM");
    ::chmod("data/locked.bmp", 0);
    expectRefused("data\\locked.bmp", ERROR_ACCESS_DENIED);
}

TEST_F(FileApiTest, AnEmptyFileCannotBeMapped) {
    write("data/empty.bmp", "");
    HANDLE file = openRead("data\\empty.bmp");
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(0u, GetFileSize(file, nullptr));
    EXPECT_EQ(nullptr, CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
    EXPECT_EQ(ERROR_FILE_INVALID, GetLastError());
    CloseHandle(file);
}

TEST_F(FileApiTest, ViewsStayInsideTheMapping) {
    write("data/small.bin", std::string(100, 'a'));
    HANDLE file = openRead("data\\small.bin");
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(nullptr, mapping);
    EXPECT_EQ(nullptr, MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 101));
    EXPECT_EQ(nullptr, MapViewOfFile(mapping, FILE_MAP_READ, 0, 65536, 0));
    EXPECT_EQ(nullptr, MapViewOfFile(mapping, FILE_MAP_READ, 0, 10, 0));
    EXPECT_EQ(ERROR_MAPPED_ALIGNMENT, GetLastError());
    // Read-only handles give neither writable mappings nor writable views.
    EXPECT_EQ(nullptr, MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_EQ(nullptr, CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 0, nullptr));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    // A mapping larger than a read-only file cannot grow it.
    EXPECT_EQ(nullptr, CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 200, nullptr));
    void* part = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 50);
    ASSERT_NE(nullptr, part);
    UnmapViewOfFile(part);
    CloseHandle(mapping);
    CloseHandle(file);
}

TEST_F(FileApiTest, HandlesAreCheckedByKind) {
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    EXPECT_EQ(INVALID_FILE_SIZE, GetFileSize(INVALID_HANDLE_VALUE, nullptr));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
    EXPECT_EQ(nullptr,
              CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 1, nullptr));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());

    write("data/a.bin", "abc");
    HANDLE file = openRead("data\\a.bin");
    // A file handle is not a mapping, and a closed handle is gone.
    EXPECT_EQ(nullptr, MapViewOfFile(file, FILE_MAP_READ, 0, 0, 0));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
}

TEST_F(FileApiTest, ReadFileReadsUpToTheEnd) {
    write("data/r.bin", "hello");
    HANDLE file = openRead("data\\r.bin");
    char buffer[16] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(5u, read);
    EXPECT_STREQ("hello", buffer);
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(0u, read);
    CloseHandle(file);
}

TEST_F(FileApiTest, CreationDispositions) {
    HANDLE created =
        CreateFileA("data\\new.bin", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, created);
    CloseHandle(created);
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              CreateFileA("data\\new.bin", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    EXPECT_EQ(ERROR_FILE_EXISTS, GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              CreateFileA("data\\new.bin", GENERIC_READ, 0, nullptr, 99, 0, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST(HResult, FromWin32Codes) {
    EXPECT_EQ(static_cast<HRESULT>(0x80070002), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(static_cast<HRESULT>(0x8007007E), HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(0, HRESULT_FROM_WIN32(ERROR_SUCCESS));
    EXPECT_EQ(static_cast<HRESULT>(0x80004005), HRESULT_FROM_WIN32(0x80004005u));
}

} // namespace
