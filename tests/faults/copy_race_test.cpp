// A referenced file that changes between the moment its size is taken and
// the moment it is read. The copy command runs in-process over real
// controls and the real clipboard; the library's own file opens are watched
// (its import of CreateFileW, which its ANSI forms reach too, is
// redirected), so the change lands exactly between the two steps, every
// time.
#include <gtest/gtest.h>

#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include "Morvask.h"
#include "app_state.h"
#include "copy_command.h"
#include "clip_test_support.h"
#include "holder_process.h"
#include "messages.h"

namespace {

typedef HANDLE(WINAPI* CreateFileWFunction)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD,
                                             DWORD, HANDLE);

// Where in the copy the file changes.
enum Moment {
    kNever,
    // After the copy took the size and made its block, before the reader
    // took the size again for its own check.
    kBeforeTheReadersCheck,
    // After the reader's own check, before it opens the file to read.
    kBeforeTheRead,
};

struct Race {
    std::string path;
    Moment moment;
    std::function<void()> change;
    int sizeOpens;  // opens without read access, for the size
    bool changed;
};

Race g_race;
CreateFileWFunction g_createFileW;

HANDLE WINAPI WatchedCreateFileW(LPCWSTR name, DWORD access, DWORD share,
                                 LPSECURITY_ATTRIBUTES security, DWORD disposition,
                                 DWORD flags, HANDLE templateFile)
{
    if (name && !g_race.changed && g_race.moment != kNever &&
        lstrcmpiW(name, Wide(g_race.path).c_str()) == 0) {
        bool forSize = (access & GENERIC_READ) == 0;
        if (forSize) ++g_race.sizeOpens;
        if ((g_race.moment == kBeforeTheReadersCheck && forSize && g_race.sizeOpens == 2) ||
            (g_race.moment == kBeforeTheRead && !forSize)) {
            g_race.changed = true;
            g_race.change();
        }
    }
    return g_createFileW(name, access, share, security, disposition, flags, templateFile);
}

// Puts `replacement` in the place of a module's import `name` from `dll`
// and gives what was there, or null when the module does not import it.
void* ReplaceImport(HMODULE module, const char* dll, const char* name, void* replacement)
{
    BYTE* base = (BYTE*)module;
    IMAGE_NT_HEADERS* headers = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
    IMAGE_DATA_DIRECTORY directory =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return nullptr;
    for (IMAGE_IMPORT_DESCRIPTOR* import =
             (IMAGE_IMPORT_DESCRIPTOR*)(base + directory.VirtualAddress);
         import->Name != 0; ++import) {
        if (lstrcmpiA((const char*)(base + import->Name), dll) != 0) continue;
        if (import->OriginalFirstThunk == 0) return nullptr;  // names are needed
        IMAGE_THUNK_DATA* names = (IMAGE_THUNK_DATA*)(base + import->OriginalFirstThunk);
        IMAGE_THUNK_DATA* slots = (IMAGE_THUNK_DATA*)(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            IMAGE_IMPORT_BY_NAME* byName = (IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData);
            if (strcmp((const char*)byName->Name, name) != 0) continue;
            DWORD protection = 0;
            if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                                &protection)) {
                return nullptr;
            }
            void* previous = (void*)slots->u1.Function;
            slots->u1.Function = (ULONG_PTR)replacement;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return previous;
        }
    }
    return nullptr;
}

const char kSentinel[] = "before the copy";
const std::string kUnchanged = std::string(kSentinel) + '\0';
const char kOriginal[] = "0123456789";

class FileRace : public ::testing::Test {
protected:
    void SetUp() override
    {
        HMODULE library = GetModuleHandleA("Morvask.dll");
        ASSERT_TRUE(library != nullptr);
        g_createFileW = (CreateFileWFunction)ReplaceImport(library, "kernel32.dll", "CreateFileW",
                                                           (void*)WatchedCreateFileW);
        ASSERT_TRUE(g_createFileW != nullptr) << "the library's import of CreateFileW was not found";
        file = folder.File("memo.txt");
    }

    void TearDown() override
    {
        ReplaceImport(GetModuleHandleA("Morvask.dll"), "kernel32.dll", "CreateFileW",
                      (void*)g_createFileW);
        g_race = Race();
        ReleaseHolder(&holder);
        m_AutoExit = 0;
    }

    ScratchFolder folder{"clip"};
    // The copy command with automatic exit over a reference to the file;
    // gives the message boxes shown.
    std::vector<AnsweredBox> OneClickCopyOfTheFile()
    {
        m_AutoExit = 1;
        EXPECT_TRUE(PutOnClipboard(kSentinel));
        SetWindowTextA(test.combo, ("/f=\"" + file + "\"").c_str());
        BoxAnswerer answerer = {};
        StartBoxAnswerer(&answerer, GetCurrentProcessId());
        CopyClipText(test.window);
        return StopBoxAnswerer(&answerer);
    }

    TestWindow test;
    std::string file;
    HolderProcess holder = {};
};

// A copy with automatic exit of the file while it changes at the given
// moment.
TEST_F(FileRace, FileThatChangesBetweenItsSizeAndItsRead)
{
    struct Row {
        const char* what;
        Moment moment;
        std::function<void()> change;
        std::string clipboard;  // the CF_TEXT block, whole
    };
    const std::string grown(5000, 'g');
    const Row rows[] = {
        {"grows past the block before the reader's check: reads 0", kBeforeTheReadersCheck,
         [&] { ASSERT_TRUE(WriteWholeFile(file, "0123456789ABCDEFGHIJ")); }, kUnchanged},
        {"shrinks: what is there is copied", kBeforeTheReadersCheck,
         [&] { ASSERT_TRUE(WriteWholeFile(file, "0123")); }, std::string("0123") + std::string(16, '\0')},
        {"emptied", kBeforeTheReadersCheck, [&] { ASSERT_TRUE(WriteWholeFile(file, "")); }, kUnchanged},
        {"deleted", kBeforeTheReadersCheck, [&] { DeleteFileA(file.c_str()); }, kUnchanged},
        {"held by another process", kBeforeTheReadersCheck,
         [&] { EXPECT_TRUE(StartHolder(&holder, "file", file, 60000)); }, kUnchanged},
        {"grows after the reader's check: the read stops at the block's end", kBeforeTheRead,
         [&] { ASSERT_TRUE(WriteWholeFile(file, grown)); }, grown.substr(0, 10) + std::string(10, '\0')},
        {"held by another process before the read", kBeforeTheRead,
         [&] { EXPECT_TRUE(StartHolder(&holder, "file", file, 60000)); }, kUnchanged},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(WriteWholeFile(file, kOriginal));
        g_race = Race{file, row.moment, row.change, 0, false};
        std::vector<AnsweredBox> boxes = OneClickCopyOfTheFile();
        EXPECT_TRUE(g_race.changed) << "the copy never came to that moment";
        if (holder.started) {
            EXPECT_EQ(0, ReleaseHolder(&holder));
            EXPECT_EQ(kOriginal, ReadWholeFile(file)) << "the held file is as it was";
        }

        EXPECT_EQ(row.clipboard, ClipboardBlock());
        bool copied = row.clipboard != kUnchanged;
        EXPECT_EQ(copied ? "" : ShowBoxes({{kTitleConfirm, kFileNotFound, false}}), ShowBoxes(boxes))
            << "a file that could not be read whole is said to be unreadable";
        MSG msg;
        EXPECT_EQ(copied, PeekMessageA(&msg, test.window, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0)
            << "the automatic exit follows a copy, and only a copy";
    }
    EXPECT_EQ("[memo.txt]", FolderNames(folder.path)) << "nothing else was made";
}

// Held by another process from the start: the size comes through, since
// taking it needs no access to the data and so no sharing, but the read
// does not: nothing is copied, and the file is said to be unreadable.
TEST_F(FileRace, FileHeldByAnotherProcessThroughout)
{
    ASSERT_TRUE(WriteWholeFile(file, kOriginal));
    ASSERT_TRUE(StartHolder(&holder, "file", file, 60000));
    EXPECT_EQ(10, MRVK0_GetFileSize(file.c_str())) << "the size is taken without sharing";
    char buffer[32];
    memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(0, MRVK0_ReadTextToBuffer(file.c_str(), buffer, 10));
    EXPECT_EQ(std::string(32, 'Z'), std::string(buffer, 32)) << "the buffer was touched";

    EXPECT_EQ(ShowBoxes({{kTitleConfirm, kFileNotFound, false}}), ShowBoxes(OneClickCopyOfTheFile()));
    EXPECT_EQ(kUnchanged, ClipboardBlock());
    EXPECT_EQ(0, ReleaseHolder(&holder));
    EXPECT_EQ(kOriginal, ReadWholeFile(file)) << "the file is as it was";
}

}  // namespace
