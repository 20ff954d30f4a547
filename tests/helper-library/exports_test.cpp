// The export table, module identity, version queries, beep and window
// geometry of Morvask.dll.
#include "Morvask.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Export {
    const char* name;
    int ordinal;
    const void* imported;  // the address the import library bound
};

HMODULE Library()
{
    return GetModuleHandleA("Morvask.dll");
}

TEST(MorvaskExports, EveryNameAndOrdinalLeadToTheSameAddress)
{
    // The program imports these by name through the import library; other
    // callers may use GetProcAddress by name or by ordinal. All three must
    // meet. (Built at run time, so that the imported addresses are read from
    // the import table rather than being the import library's jump stubs.)
    const Export exports[] = {
        {"MRVK0_Beep", 1, (const void*)&MRVK0_Beep},
        {"MRVK0_CreateShortCut", 2, (const void*)&MRVK0_CreateShortCut},
        {"MRVK0_FolderExist", 3, (const void*)&MRVK0_FolderExist},
        {"MRVK0_GetFileSize", 4, (const void*)&MRVK0_GetFileSize},
        {"MRVK0_GetFileVersionString", 5, (const void*)&MRVK0_GetFileVersionString},
        {"MRVK0_GetGlobalMemory", 6, (const void*)&MRVK0_GetGlobalMemory},
        {"MRVK0_GetModuleName", 7, (const void*)&MRVK0_GetModuleName},
        {"MRVK0_GetSplitItem", 8, (const void*)&MRVK0_GetSplitItem},
        {"MRVK0_GetVersionNum", 9, (const void*)&MRVK0_GetVersionNum},
        {"MRVK0_GetVersionString", 10, (const void*)&MRVK0_GetVersionString},
        {"MRVK0_GetWindowPands", 11, (const void*)&MRVK0_GetWindowPands},
        {"MRVK0_ReadTextToBuffer", 12, (const void*)&MRVK0_ReadTextToBuffer},
        {"MRVK0_SplitPath", 13, (const void*)&MRVK0_SplitPath},
        {"m_ModuleName", 14, (const void*)&m_ModuleName},
        {"MRVK0_CreateShortCutW", 15, (const void*)&MRVK0_CreateShortCutW},
        {"MRVK0_FolderExistW", 16, (const void*)&MRVK0_FolderExistW},
        {"MRVK0_GetFileSizeW", 17, (const void*)&MRVK0_GetFileSizeW},
        {"MRVK0_GetFileVersionStringW", 18, (const void*)&MRVK0_GetFileVersionStringW},
        {"MRVK0_ReadTextToBufferW", 19, (const void*)&MRVK0_ReadTextToBufferW},
    };
    HMODULE library = Library();
    ASSERT_NE(library, (HMODULE)NULL) << "Morvask.dll is not loaded";
    for (const Export& entry : exports) {
        const void* byName = (const void*)GetProcAddress(library, entry.name);
        const void* byOrdinal = (const void*)GetProcAddress(library, MAKEINTRESOURCEA(entry.ordinal));
        EXPECT_NE(byName, (const void*)NULL) << entry.name << " is not exported by name";
        EXPECT_EQ(byName, byOrdinal) << entry.name << " differs from ordinal " << entry.ordinal;
        EXPECT_EQ(byName, entry.imported) << entry.name << " differs from the imported address";
    }
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(20)), (FARPROC)NULL)
        << "an export beyond ordinal 19";
    EXPECT_EQ(GetProcAddress(library, "_MRVK0_Beep@4"), (FARPROC)NULL)
        << "a decorated name is exported";
}

TEST(MorvaskExports, ModuleNameDataAndQueryHoldTheSameBytes)
{
    const char expected[12] = "Morvask.dll";
    const char* data = (const char*)GetProcAddress(Library(), "m_ModuleName");
    ASSERT_NE(data, (const char*)NULL);
    EXPECT_EQ(0, memcmp(data, expected, sizeof expected)) << "m_ModuleName holds " << data;

    char out[32];
    memset(out, 'Z', sizeof out);
    EXPECT_EQ(0, MRVK0_GetModuleName(out));
    EXPECT_EQ(0, memcmp(out, expected, sizeof expected)) << "module name came as " << out;
    EXPECT_EQ('Z', out[12]) << "more than 12 bytes written";
}

TEST(MorvaskExports, VersionNumbersAndLabel)
{
    const struct {
        int index;
        int expected;
    } cases[] = {{0, 1}, {1, 1}, {2, 0}, {3, 1012}, {4, -1}, {-1, -1}, {0x7FFFFFFF, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, MRVK0_GetVersionNum(c.index)) << "index " << c.index;

    char out[100];
    memset(out, 'Z', sizeof out);
    EXPECT_EQ(0, MRVK0_GetVersionString(out));
    EXPECT_STREQ("Morvask.dll : 1.01.0  1012", out);
    EXPECT_EQ('Z', out[27]) << "more than 27 bytes written";
}

TEST(MorvaskBeep, ZeroAndCountsAboveSixteenBitsReturnAtOnce)
{
    // The count is 16 bits wide; called through a 32-bit parameter, 65536
    // must be read as 0 rather than as 65536 seconds.
    typedef void(WINAPI * BeepWithDword)(DWORD);
    BeepWithDword beep = (BeepWithDword)(void*)GetProcAddress(Library(), "MRVK0_Beep");
    ASSERT_NE(beep, (BeepWithDword)NULL);
    for (DWORD count : {0UL, 65536UL}) {
        DWORD start = GetTickCount();
        beep(count);
        EXPECT_LT(GetTickCount() - start, 900UL) << "MRVK0_Beep(" << count << ") did not return at once";
    }
}

TEST(MorvaskWindowPands, RectangleOfARealWindow)
{
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "pands", WS_POPUP, 100, 50, 300, 200,
                                  NULL, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_NE(window, (HWND)NULL);
    WindowPands pands = MRVK0_GetWindowPands(window);
    EXPECT_EQ(100, pands.x);
    EXPECT_EQ(50, pands.y);
    EXPECT_EQ(300, pands.width);
    EXPECT_EQ(200, pands.height);

    DestroyWindow(window);

    // The handle is stale now; then one that never was a window.
    for (HWND invalid : {window, (HWND)(ULONG_PTR)0x7FFF1234}) {
        pands = MRVK0_GetWindowPands(invalid);
        EXPECT_EQ(0, pands.x);
        EXPECT_EQ(0, pands.y);
        EXPECT_EQ(0, pands.width);
        EXPECT_EQ(0, pands.height);
    }
}

}  // namespace
