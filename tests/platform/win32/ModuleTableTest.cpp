#include <gtest/gtest.h>

#include "ModuleTable.h"
#include <windows.h>

namespace {

int entryOne() {
    return 1;
}
int entryTwo() {
    return 2;
}

TEST(ModuleTable, RegisteredModulesLoadByNameWithoutRegardToCase) {
    ModuleTable::add("testmod.dll", "EntryOne", entryOne);
    ModuleTable::add("TESTMOD.DLL", "EntryTwo", entryTwo);

    // Not loaded yet: GetModuleHandleA does not find it, LoadLibraryA does.
    EXPECT_EQ(nullptr, GetModuleHandleA("testmod.dll"));
    EXPECT_EQ(ERROR_MOD_NOT_FOUND, GetLastError());
    HMODULE module = LoadLibraryA("TestMod.dll");
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(module, GetModuleHandleA("testmod.dll"));
    EXPECT_EQ(module, LoadLibraryA("C:\\Windows\\System32\\testmod")); // folder and ".dll" implied

    FARPROC one = GetProcAddress(module, "EntryOne");
    ASSERT_NE(nullptr, one);
    EXPECT_EQ(1, one());
    EXPECT_EQ(2, GetProcAddress(module, "EntryTwo")());
    // Exported names keep their case.
    EXPECT_EQ(nullptr, GetProcAddress(module, "entryone"));
    EXPECT_EQ(ERROR_PROC_NOT_FOUND, GetLastError());
    EXPECT_EQ(nullptr, GetProcAddress(module, reinterpret_cast<LPCSTR>(1)));
    EXPECT_EQ(ERROR_PROC_NOT_FOUND, GetLastError());

    // Two loads, two frees; then it is gone from GetModuleHandleA.
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(module, GetModuleHandleA("testmod.dll"));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(nullptr, GetModuleHandleA("testmod.dll"));
    EXPECT_FALSE(FreeLibrary(module));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
}

TEST(ModuleTable, UnknownModulesAndHandles) {
    EXPECT_EQ(nullptr, LoadLibraryA("nosuch.dll"));
    EXPECT_EQ(ERROR_MOD_NOT_FOUND, GetLastError());
    EXPECT_EQ(nullptr, LoadLibraryA(nullptr));
    EXPECT_EQ(nullptr, GetProcAddress(reinterpret_cast<HMODULE>(0x1234), "X"));
    EXPECT_EQ(ERROR_MOD_NOT_FOUND, GetLastError());
    // The program's own module always exists and exports nothing.
    HMODULE self = GetModuleHandleA(nullptr);
    ASSERT_NE(nullptr, self);
    EXPECT_EQ(nullptr, GetProcAddress(self, "WinMain"));
    EXPECT_EQ(ERROR_PROC_NOT_FOUND, GetLastError());
    EXPECT_EQ(nullptr, ModuleTable::find(""));
}

} // namespace
