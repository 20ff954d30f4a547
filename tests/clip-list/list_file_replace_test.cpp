// The list file's swap while other programs read, write, scan and rename
// around it, and when the file system fails in its own ways.
#include <gtest/gtest.h>

#include <string>

#include "clip_test_support.h"
#include "list_file_replace.h"

namespace {

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// What a caller of the swap read of the list, to say whether it is still so.
struct LastRead {
    std::wstring path;
    std::string bytes;
    int opensRefused = 0;  // the caller's own read could not open the list
    int writerLetIn = 0;   // a writer could open the list during the answer
};

std::string ReadShared(const std::wstring& path, bool* opened)
{
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    *opened = file != INVALID_HANDLE_VALUE;
    if (!*opened) return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool StillAsRead(const void* context)
{
    LastRead* read = (LastRead*)context;
    bool opened = false;
    const std::string now = ReadShared(read->path, &opened);
    if (!opened) ++read->opensRefused;
    HANDLE writer = CreateFileW(read->path.c_str(), FILE_APPEND_DATA, kShareAll, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (writer != INVALID_HANDLE_VALUE) {
        ++read->writerLetIn;
        CloseHandle(writer);
    }
    return opened && now == read->bytes;
}

// Saves as the editor does: reads the list, adds `line`, and swaps it in
// while the list is as read; a change reads it again.
ListReplaceResult SaveAdding(const std::wstring& path, const std::string& line, LastRead* read)
{
    ListReplaceResult result = kReplaceChanged;
    for (int tries = 0; tries < 20 && result == kReplaceChanged; ++tries) {
        bool opened = false;
        read->path = path;
        read->bytes = ReadShared(path, &opened);
        const std::string next = read->bytes + line;
        result = ReplaceListFile(path.c_str(), next.data(), (DWORD)next.size(), nullptr,
                                 StillAsRead, read);
    }
    return result;
}

int Count(const std::string& text, const std::string& line)
{
    int count = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) {
        ++count;
    }
    return count;
}

// Another program beside the saves, in a thread of its own until `stop`.
struct Neighbour {
    std::wstring path;
    volatile LONG stop = 0;
    LONG missing = 0;  // times the list's name held nothing
    LONG lines = 0;    // lines appended
    LONG held = 0;     // times a scanner got hold of a new file
    DWORD share = FILE_SHARE_READ;
    DWORD pauseMs = 40;
    HANDLE thread = nullptr;
    void Start(LPTHREAD_START_ROUTINE routine)
    {
        thread = CreateThread(nullptr, 0, routine, this, 0, nullptr);
    }
    void Stop()
    {
        InterlockedExchange(&stop, 1);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
};

// Looks at the list's name and reads it, over and over.
DWORD WINAPI Poll(void* parameter)
{
    Neighbour* poller = (Neighbour*)parameter;
    for (int round = 0; !poller->stop; ++round) {
        if (GetFileAttributesW(poller->path.c_str()) == INVALID_FILE_ATTRIBUTES) ++poller->missing;
        if (round % 4 == 0) {
            HANDLE file = CreateFileW(poller->path.c_str(), GENERIC_READ, kShareAll, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                CloseHandle(file);
            } else if (GetLastError() == ERROR_FILE_NOT_FOUND) {
                ++poller->missing;
            }
        }
    }
    return 0;
}

// Appends a numbered line every few milliseconds, as a logging program
// would, trying again while the list is kept from it.
DWORD WINAPI Append(void* parameter)
{
    Neighbour* writer = (Neighbour*)parameter;
    while (!writer->stop) {
        HANDLE file = CreateFileW(writer->path.c_str(), FILE_APPEND_DATA, kShareAll, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_NOT_FOUND) ++writer->missing;
            Sleep(1);
            continue;
        }
        const std::string line = "w" + std::to_string(writer->lines + 1) + "\r\n";
        DWORD wrote = 0;
        WriteFile(file, line.data(), (DWORD)line.size(), &wrote, nullptr);
        CloseHandle(file);
        ++writer->lines;
        Sleep(writer->pauseMs);
    }
    return 0;
}

// A virus scanner: opens every new "clp" file it sees, sharing as it was
// told, and keeps it open for a moment.
DWORD WINAPI Scan(void* parameter)
{
    Neighbour* scanner = (Neighbour*)parameter;
    const std::wstring folder = scanner->path.substr(0, scanner->path.rfind(L'\\') + 1);
    while (!scanner->stop) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"clp*.tmp").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        FindClose(search);
        HANDLE file = CreateFileW((folder + found.cFileName).c_str(), GENERIC_READ,
                                  scanner->share, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        ++scanner->held;
        Sleep(30);
        CloseHandle(file);
    }
    return 0;
}

// A reader polling the name never finds it missing, a writer appending
// meanwhile never loses a line (kept out until the swap, or seen by it),
// and the caller's own read still opens the list while the swap holds it.
TEST(ReplaceListFile, ReadersAndWritersMeanwhileLoseNothing)
{
    ScratchFolder folder{"swap"};
    const std::wstring path = Wide(folder.File("ClipData.txt"));
    ASSERT_TRUE(WriteWholeFile(path, "base\r\n"));
    Neighbour poller, writer;
    poller.path = writer.path = path;
    poller.Start(Poll);
    writer.Start(Append);
    const int kSaves = 12;
    LastRead read;
    bool landed[kSaves + 1] = {};
    int done = 0;
    for (int save = 1; save <= kSaves; ++save) {
        const ListReplaceResult result = SaveAdding(path, "m" + std::to_string(save) + "\r\n", &read);
        EXPECT_TRUE(result == kReplaceDone || result == kReplaceChanged) << "save " << save << ": " << result;
        landed[save] = result == kReplaceDone;
        done += landed[save];
    }
    writer.Stop();
    poller.Stop();

    // A writer quicker than a save makes it give up as changed, never lose a line.
    printf("%d of %d saves in place, %ld lines appended meanwhile\n", done, kSaves, writer.lines);
    EXPECT_EQ(0, poller.missing) << "times the poller found no list";
    EXPECT_EQ(0, writer.missing) << "times the writer found no list";
    EXPECT_EQ(0, read.opensRefused) << "the caller's read was kept out by the swap's hold";
    EXPECT_EQ(0, read.writerLetIn) << "a writer opened the list while the caller checked it";
    const std::string list = ReadWholeFile(folder.File("ClipData.txt"));
    for (int save = 1; save <= kSaves; ++save) {
        EXPECT_EQ(landed[save] ? 1 : 0, Count(list, "m" + std::to_string(save) + "\r\n"))
            << "save " << save;
    }
    EXPECT_GT(writer.lines, 0);
    for (int line = 1; line <= writer.lines; ++line) {
        EXPECT_EQ(1, Count(list, "w" + std::to_string(line) + "\r\n")) << "appended line " << line;
    }
    EXPECT_EQ("[ClipData.txt]", FolderNames(folder.path));
}

// A scanner that opens each new file sharing only reading, or sharing
// everything: every save leaves one whole list, and once it lets go no
// copy of the list is left beside it.
TEST(ReplaceListFile, ScannerOfTheNewFileLeavesNoCopyBehind)
{
    const struct {
        const char* what;
        DWORD share;
    } rows[] = {
        {"sharing reading", FILE_SHARE_READ},
        {"sharing everything", kShareAll},
    };
    for (const auto& row : rows) {
        ScratchFolder folder{"swap"};
        const std::wstring path = Wide(folder.File("ClipData.txt"));
        ASSERT_TRUE(WriteWholeFile(path, "old\r\n"));
        Neighbour scanner;
        scanner.path = path;
        scanner.share = row.share;
        scanner.Start(Scan);
        std::string expected = "old\r\n";
        for (int save = 0; save < 8; ++save) {
            const std::string next = "new " + std::to_string(save) + "\r\n";
            const ListReplaceResult result =
                ReplaceListFile(path.c_str(), next.data(), (DWORD)next.size());
            EXPECT_TRUE(result == kReplaceDone || result == kReplaceFailed)
                << row.what << ": result " << result;
            if (result == kReplaceDone) expected = next;
            EXPECT_EQ(expected, ReadWholeFile(folder.File("ClipData.txt"))) << row.what;
        }
        scanner.Stop();
        EXPECT_EQ("[ClipData.txt]", FolderNames(folder.path)) << row.what;
    }
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
    switch (m_Fault) {
    case kMovedThenFailed: MoveFileExW(from, to, flags); break;
    case kNothingMoved: break;
    case kOldMovedAway: MoveFileExW(to, m_Elsewhere.c_str(), 0); break;
    case kOtherListCame:
        WriteWholeFile(m_Elsewhere, "theirs\r\n");
        MoveFileExW(m_Elsewhere.c_str(), to, MOVEFILE_REPLACE_EXISTING);
        break;
    case kNewFileHeld:
        m_NewFileHolder = CreateFileW(from, GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0,
                                      nullptr);
        break;
    }
    // An error the swap knows nothing of, as a redirector may give.
    SetLastError(ERROR_UNEXP_NET_ERR);
    return FALSE;
}

// Whatever the rename did before it failed, the swap looks where the list
// is: the old list intact is said only when it is under its name.
TEST(ReplaceListFile, EveryRenameFailureIsFollowedToWhereTheListIs)
{
    const struct {
        const char* what;
        RenameFault fault;
        ListReplaceResult result;
        const char* list;
        const char* names;  // in the folder once all is over
    } rows[] = {
        {"renamed, then said it failed", kMovedThenFailed, kReplaceDone, "new\r\n",
         "[ClipData.txt]"},
        {"nothing moved", kNothingMoved, kReplaceFailed, "old\r\n", "[ClipData.txt]"},
        {"the old list moved away", kOldMovedAway, kReplaceFailed, "old\r\n",
         "[ClipData.txt][elsewhere]"},
        {"another program's list came", kOtherListCame, kReplaceChanged, "theirs\r\n",
         "[ClipData.txt]"},
        {"the new file held as it failed", kNewFileHeld, kReplaceFailed, "old\r\n",
         "[ClipData.txt]"},
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
        const ListReplaceResult result = ReplaceListFile(path.c_str(), "new\r\n", 5, left);
        m_ListFileRename = MoveFileExW;
        EXPECT_EQ(row.result, result) << row.what;
        EXPECT_EQ(row.list, ReadWholeFile(folder.File("ClipData.txt"))) << row.what;
        EXPECT_EQ(std::wstring(L""), left) << row.what << ": a copy was named";
        if (m_NewFileHolder != INVALID_HANDLE_VALUE) {
            CloseHandle(m_NewFileHolder);
            m_NewFileHolder = INVALID_HANDLE_VALUE;
        }
        EXPECT_EQ(row.names, FolderNames(folder.path)) << row.what;
    }
}

}  // namespace
