// The list file's swap while other programs read, write, scan and rename
// around it, and when the file system fails in its own ways.
#include <gtest/gtest.h>

#include <string>

#include "clip_test_support.h"
#include "list_file_replace.h"

namespace {

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Other programs beside the saves, threads until `stop`, counting what they met.
struct Neighbours {
    std::wstring path, folder;
    volatile LONG stop = 0;
    LONG missing = 0;       // the list's name held nothing
    LONG lines = 0;         // lines the writer appended
    LONG holdBroken = 0;    // the caller could not read the list, or a writer could open it
    std::string lastRead;   // what the caller read before its save
};

std::string ReadShared(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<not opened>";
    std::string bytes(1 << 16, '\0');
    DWORD got = 0;
    ReadFile(file, &bytes[0], (DWORD)bytes.size(), &got, nullptr);  // lists stay far smaller
    CloseHandle(file);
    return bytes.substr(0, got);
}

// The caller's check, as the editor's save makes it: the list read again
// through a handle of its own. Meanwhile no writer gets in.
bool StillAsRead(const void* context)
{
    Neighbours* around = (Neighbours*)context;
    const std::string now = ReadShared(around->path);
    HANDLE writer = CreateFileW(around->path.c_str(), FILE_APPEND_DATA, kShareAll, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (now == "<not opened>" || writer != INVALID_HANDLE_VALUE) ++around->holdBroken;
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    return now == around->lastRead;
}

// Looks at the list's name, reads it, and scans each new "clp" file it sees
// sharing only reading, holding it a moment, as a virus scanner would.
DWORD WINAPI PollAndScan(void* parameter)
{
    Neighbours* around = (Neighbours*)parameter;
    while (!around->stop) {
        if (GetFileAttributesW(around->path.c_str()) == INVALID_FILE_ATTRIBUTES) ++around->missing;
        HANDLE file = CreateFileW(around->path.c_str(), GENERIC_READ, kShareAll, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((around->folder + L"clp*.tmp").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        FindClose(search);
        file = CreateFileW((around->folder + found.cFileName).c_str(), GENERIC_READ,
                           FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) Sleep(30), CloseHandle(file);
    }
    return 0;
}

// Appends a numbered line every few tens of milliseconds, as a logging
// program would, trying again while the list is kept from it.
DWORD WINAPI Append(void* parameter)
{
    Neighbours* around = (Neighbours*)parameter;
    while (!around->stop) {
        HANDLE file = CreateFileW(around->path.c_str(), FILE_APPEND_DATA, kShareAll, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_NOT_FOUND) ++around->missing;
            Sleep(1);
            continue;
        }
        const std::string line = "w" + std::to_string(around->lines + 1) + "\r\n";
        DWORD wrote = 0;
        WriteFile(file, line.data(), (DWORD)line.size(), &wrote, nullptr);
        CloseHandle(file);
        ++around->lines;
        Sleep(20);
    }
    return 0;
}

int Count(const std::string& text, const std::string& line)
{
    int count = 0;
    for (size_t at = 0; (at = text.find(line, at)) != std::string::npos; ++at) ++count;
    return count;
}

// A reader polling the name never finds it missing, a writer appending
// meanwhile never loses a line (kept out until the swap, or seen by it), a
// scanner of the new file leaves no copy behind, and the caller's own read
// still opens the list while the swap holds it.
TEST(ReplaceListFile, ReadersWritersAndScannersMeanwhileLoseNothing)
{
    ScratchFolder folder{"swap"};
    Neighbours around;
    around.path = Wide(folder.File("ClipData.txt"));
    around.folder = Wide(folder.path + "\\");
    ASSERT_TRUE(WriteWholeFile(around.path, "base\r\n"));
    HANDLE threads[] = {CreateThread(nullptr, 0, PollAndScan, &around, 0, nullptr),
                        CreateThread(nullptr, 0, Append, &around, 0, nullptr)};
    const int kSaves = 12;
    bool landed[kSaves] = {};
    std::string kept;  // copies a save kept and named: a write in its last moment is there
    for (int save = 0; save < kSaves; ++save) {
        ListReplaceResult result = kReplaceChanged;
        WCHAR left[MAX_PATH] = L"";
        for (int tries = 0; tries < 20 && result == kReplaceChanged; ++tries) {
            around.lastRead = ReadShared(around.path);
            const std::string next = around.lastRead + "m" + std::to_string(save) + "\r\n";
            result = ReplaceListFile(around.path.c_str(), next.data(), (DWORD)next.size(), left,
                                     StillAsRead, &around);
        }
        EXPECT_TRUE(result != kReplaceFailed && result != kReplaceFailedMoved)
            << save << ": " << result;
        landed[save] = result == kReplaceDone || result == kReplaceDoneOldKept;
        if (left[0]) kept += ReadShared(left), DeleteFileW(left);
    }
    InterlockedExchange(&around.stop, 1);
    WaitForMultipleObjects(2, threads, TRUE, INFINITE);
    for (HANDLE thread : threads) CloseHandle(thread);

    EXPECT_EQ(0, around.missing) << "times the list's name held nothing";
    EXPECT_EQ(0, around.holdBroken) << "the caller's read kept out, or a writer let in";
    const std::string list = ReadWholeFile(folder.File("ClipData.txt"));
    for (int save = 0; save < kSaves; ++save) {
        EXPECT_EQ(landed[save] ? 1 : 0, Count(list, "m" + std::to_string(save) + "\r\n")) << save;
    }
    EXPECT_GT(around.lines, 0) << "the writer never wrote";
    for (int line = 1; line <= around.lines; ++line) {
        const std::string appended = "w" + std::to_string(line) + "\r\n";
        const int inList = Count(list, appended);
        EXPECT_TRUE(inList == 1 || (inList == 0 && Count(kept, appended) > 0))
            << "appended line " << line;
    }
    EXPECT_EQ("[ClipData.txt]", FolderNames(folder.path));
}

// The file system's rename as tests make it fail: the first call (the
// swap) does what the row says, the others are the real one.
enum RenameFault { kMovedThenFailed, kNothingMoved, kOldMovedAway, kOtherListCame, kNewFileHeld };
RenameFault m_Fault;
int m_Renames;
std::wstring m_Elsewhere;  // the fault's own file
HANDLE m_NewFileHolder = INVALID_HANDLE_VALUE;

BOOL WINAPI FaultyRename(const WCHAR* from, const WCHAR* to, DWORD flags)
{
    if (m_Renames++ > 0) return MoveFileExW(from, to, flags);
    if (m_Fault == kMovedThenFailed) MoveFileExW(from, to, flags);
    if (m_Fault == kOldMovedAway) MoveFileExW(to, m_Elsewhere.c_str(), 0);
    if (m_Fault == kOtherListCame && WriteWholeFile(m_Elsewhere, "theirs\r\n")) {
        MoveFileExW(m_Elsewhere.c_str(), to, MOVEFILE_REPLACE_EXISTING);
    }
    if (m_Fault == kNewFileHeld) {
        m_NewFileHolder = CreateFileW(from, GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0,
                                      nullptr);
    }
    SetLastError(ERROR_UNEXP_NET_ERR);  // unknown to the swap, as a redirector may give
    return FALSE;
}

// Whatever the rename did before it failed, the swap looks where the list
// is: the old list intact is said only when it is under its name, and the
// new file goes once the program that held it lets go.
TEST(ReplaceListFile, EveryRenameFailureIsFollowedToWhereTheListIs)
{
    const struct {
        const char* what;
        RenameFault fault;
        ListReplaceResult result;
        const char* list;
        const char* names;  // in the folder once all is over
    } rows[] = {
        {"renamed, then failed", kMovedThenFailed, kReplaceDone, "new\r\n", "[ClipData.txt]"},
        {"nothing moved", kNothingMoved, kReplaceFailed, "old\r\n", "[ClipData.txt]"},
        {"old list moved away", kOldMovedAway, kReplaceFailed, "old\r\n",
         "[ClipData.txt][elsewhere]"},
        {"their list came", kOtherListCame, kReplaceChanged, "theirs\r\n", "[ClipData.txt]"},
        {"new file held", kNewFileHeld, kReplaceFailed, "old\r\n", "[ClipData.txt]"},
    };
    for (const auto& row : rows) {
        ScratchFolder folder{"swap"};
        const std::wstring path = Wide(folder.File("ClipData.txt"));
        ASSERT_TRUE(WriteWholeFile(path, "old\r\n"));
        m_Fault = row.fault;
        m_Renames = 0;
        m_Elsewhere = Wide(folder.File("elsewhere"));
        m_ListFileRename = FaultyRename;
        WCHAR left[MAX_PATH] = L"";
        EXPECT_EQ(row.result, ReplaceListFile(path.c_str(), "new\r\n", 5, left)) << row.what;
        m_ListFileRename = MoveFileExW;
        EXPECT_EQ(row.list, ReadWholeFile(folder.File("ClipData.txt"))) << row.what;
        EXPECT_EQ(std::wstring(L""), left) << row.what << ": a copy was named";
        if (m_NewFileHolder != INVALID_HANDLE_VALUE) CloseHandle(m_NewFileHolder);
        m_NewFileHolder = INVALID_HANDLE_VALUE;
        EXPECT_EQ(row.names, FolderNames(folder.path)) << row.what;
    }
}

}  // namespace
