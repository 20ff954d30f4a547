// The real Quillan.exe, started in a fresh folder as a user would, while
// something goes wrong around it: its list file locked, read-only or a
// folder, the clipboard held by another program, a referenced file held
// open, hostile command lines and list files. Each case shows that nothing
// crashed, that the message (if any) is the program's own, and that no
// data was lost.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>
#include <stdio.h>
#include <string.h>

#include <random>
#include <string>
#include <vector>

#include "bounded_text.h"
#include "holder_process.h"
#include "messages.h"
#include "resource.h"
#include "fault_list.h"
#include "test_support.h"

namespace {

const std::vector<std::string> kItems = {"お世話になっております。", "Greeting/=\"Good morning\"",
                                         "表ソ"};
const char kProgramFiles[] = "[ClipData.txt][Morvask.dll][Quillan.exe]";

// A message box as the answerer shows it; the editor owns its boxes, the
// copy and the command line check show theirs without an owner.
std::string Box(const char* title, const char* text, bool owned = false)
{
    return ShowBoxes({{title, text, owned}});
}

class Faults : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(MakeRunFolder(&folder_)) << "could not set up " << folder_.path;
        list_ = folder_.path + "\\ClipData.txt";
        ASSERT_TRUE(WriteWholeFile(list_, kClipData));
    }

    void TearDown() override
    {
        FinishProgram(&run_);
        StopBoxAnswerer(&watch_);
        ReleaseHolder(&holder_);
        EXPECT_TRUE(RemoveTree(folder_.path)) << "left behind: " << folder_.path;
    }

    // Starts the program with the box watch on it.
    bool Start(const std::string& arguments)
    {
        StopBoxAnswerer(&watch_);
        if (!StartProgram(&run_, folder_, arguments)) return false;
        StartBoxAnswerer(&watch_, run_.process.dwProcessId);
        return true;
    }

    std::string Boxes() { return ShowBoxes(BoxesAnswered(&watch_)); }

    // Ends the run through the exit button; the program must end with 0.
    void CloseProgram(HWND main)
    {
        PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(0, WaitForExit(&run_, kWindowWait)) << "the exit button ends with 0";
        FinishProgram(&run_);
    }

    std::vector<std::string> Items(HWND main)
    {
        return ComboItems(GetDlgItem(main, IDC_CLIP_COMBO));
    }

    RunFolder folder_;
    std::string list_;
    ProgramRun run_ = {};
    BoxAnswerer watch_ = {};
    HolderProcess holder_ = {};
};

// A program folder that the system takes, but with no room for the list's
// name beside it: the main window says the list cannot be read there,
// rather than show an empty list without a word.
TEST_F(Faults, ProgramFolderTooDeepForTheListSaysSo)
{
    // 247 units of folder, so that Quillan.exe is 259 units and the list
    // beside it would be 260.
    RunFolder deep = {folder_.path};
    while (deep.path.size() < 247) {
        // Parts of at most 60 units, none left empty at the end.
        size_t room = 247 - deep.path.size() - 1;
        size_t part = room <= 60 ? room : room - 60 >= 2 ? 60 : room - 2;
        deep.path += "\\" + std::string(part, 'd');
        ASSERT_TRUE(CreateDirectoryA(deep.path.c_str(), nullptr)) << deep.path;
    }
    ASSERT_EQ(247u, deep.path.size());
    for (const char* name : {"\\Quillan.exe", "\\Morvask.dll"}) {
        ASSERT_TRUE(CopyFileA((folder_.path + name).c_str(), (deep.path + name).c_str(), FALSE));
    }
    ASSERT_TRUE(StartProgram(&run_, deep, ""));
    StartBoxAnswerer(&watch_, run_.process.dwProcessId);
    EXPECT_TRUE(WaitForBoxes(&watch_, 1, kWindowWait)) << "nothing said about the list";
    HWND main = WaitForWindow(run_, NULL, true, kWindowWait);
    ASSERT_TRUE(main);
    EXPECT_TRUE(Items(main).empty());
    EXPECT_EQ(Box(kTitleFailure, kClipListPathTooLong), Boxes());
    CloseProgram(main);
}

// ClipData.txt that cannot be replaced, or not even read: the main window
// says when it cannot open the list (once: not again as it is activated);
// the editor says when it could not read the list, and then never saves
// over it; saving says it failed, keeps the editor open with the user's
// edits, and leaves every byte and no temporary file.
TEST_F(Faults, ClipListThatCannotBeWrittenIsNeverLost)
{
    enum Setup { kReadOnly, kHeldByAnother, kFolder };
    struct Row {
        const char* what;
        Setup setup;
        std::vector<std::string> loaded;
        bool unread;
    };
    const Row rows[] = {
        {"read-only ClipData.txt", kReadOnly, kItems, false},
        {"ClipData.txt held open without sharing by another process", kHeldByAnother, {}, true},
        {"a folder named ClipData.txt", kFolder, {}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(RemoveTree(folder_.path));
        ASSERT_TRUE(MakeRunFolder(&folder_));
        list_ = folder_.path + "\\ClipData.txt";
        std::string inside = list_ + "\\inside.txt";
        if (row.setup == kFolder) {
            ASSERT_TRUE(CreateDirectoryW(Wide(list_).c_str(), NULL));
            ASSERT_TRUE(WriteWholeFile(inside, kClipData));
        } else {
            ASSERT_TRUE(WriteWholeFile(list_, kClipData));
        }
        if (row.setup == kReadOnly) {
            SetFileAttributesW(Wide(list_).c_str(), FILE_ATTRIBUTE_READONLY);
        }
        if (row.setup == kHeldByAnother) {
            ASSERT_TRUE(StartHolder(&holder_, "file", list_, 60000)) << "the holder could not open it";
        }

        ASSERT_TRUE(Start(""));
        // The list that cannot be opened is said by the main window (an
        // unread list here), before it shows.
        const std::string mainSaid = row.unread ? Box(kTitleFailure, kClipListNotOpened) : "";
        const size_t mainBoxes = row.unread ? 1 : 0;
        HWND main = WaitForWindow(run_, NULL, true, kWindowWait);
        ASSERT_TRUE(main) << "the main window did not appear";
        EXPECT_EQ(Show(row.loaded), Show(Items(main)));
        EXPECT_EQ("", WindowText(GetDlgItem(main, IDC_CLIP_COMBO)));
        EXPECT_EQ(mainSaid, Boxes());

        // The editor: add an entry and save.
        PostMessageW(main, WM_COMMAND, IDC_EDIT_LIST, 0);
        HWND editor = WaitForWindow(run_, kEditorCaption, false, kWindowWait);
        ASSERT_TRUE(editor) << "the editor did not open";
        const std::string atStart =
            mainSaid + (row.unread ? Box(kTitleFailure, kClipListNotRead, true) : "");
        if (row.unread) {
            EXPECT_TRUE(WaitForBoxes(&watch_, mainBoxes + 1, kWindowWait)) << "not said: unread";
        }
        const std::string afterSave =
            atStart + Box(kTitleFailure, row.unread ? kClipListNotSaved : kClipListSaveFailed, true);
        HWND list = GetDlgItem(editor, IDC_ED_LIST);
        std::vector<std::wstring> edited;
        for (const std::string& item : row.loaded) edited.push_back(Wide(item));
        EXPECT_EQ(edited, ListItemsWide(list)) << "the editor loads what the main window did";
        SendMessageW(GetDlgItem(editor, IDC_ED_MESSAGE), WM_SETTEXT, 0, (LPARAM)L"新しい項目");
        SendMessageW(editor, WM_COMMAND, IDC_ED_ADD, 0);
        edited.push_back(L"\"新しい項目\"");
        ASSERT_EQ(edited, ListItemsWide(list)) << "the entry was not added";
        EXPECT_EQ(atStart, Boxes()) << "no other message before the save";

        PostMessageW(editor, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitForBoxes(&watch_, mainBoxes + (row.unread ? 2 : 1), kWindowWait))
            << "no message after the failed save";
        // Past the message, the save is over once the editor answers.
        WaitForWindowAnswer(editor, kWindowWait);
        EXPECT_EQ(afterSave, Boxes());
        ASSERT_TRUE(IsWindow(editor) && IsWindowVisible(editor)) << "the editor closed: edits lost";
        EXPECT_EQ(edited, ListItemsWide(list)) << "the user's edits are kept";
        EXPECT_EQ(-1, WaitForExit(&run_, 0)) << "the program ended";

        PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
        WaitForWindowGone(editor, 5000);
        EXPECT_FALSE(IsWindow(editor));
        // Back in the main window, which looks at the list again: still the
        // same, and not said a second time.
        SendMessageW(main, WM_NULL, 0, 0);
        EXPECT_EQ(Show(row.loaded), Show(Items(main))) << "nothing saved, nothing reloaded";
        CloseProgram(main);
        if (row.setup == kHeldByAnother) {
            EXPECT_EQ(0, ReleaseHolder(&holder_));
        }

        SetFileAttributesW(Wide(list_).c_str(), FILE_ATTRIBUTE_NORMAL);
        if (row.setup == kFolder) {
            EXPECT_EQ(kClipData, ReadWholeFile(inside));
            EXPECT_TRUE(GetFileAttributesW(Wide(list_).c_str()) & FILE_ATTRIBUTE_DIRECTORY);
        } else {
            EXPECT_EQ(kClipData, ReadWholeFile(list_)) << "ClipData.txt changed";
        }
        EXPECT_EQ(kProgramFiles, FolderNames(folder_.path)) << "a temporary file was left";
        EXPECT_EQ(afterSave, Boxes()) << "no other message";
    }
}

// A list of more than 1 GiB (sparse: it takes no room) with two readable
// lines: the main window and the editor say it is too large, not that some
// other program holds it or that only some entries are shown; the editor
// never saves over it.
TEST_F(Faults, ListTooLargeIsSaidToBeTooLarge)
{
    HANDLE file = CreateFileW(Wide(list_).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD done = 0;
    WriteFile(file, "A\r\nB\r\n", 6, &done, NULL);
    LARGE_INTEGER size;
    size.QuadPart = 1100000000LL;
    bool sized = SetFilePointerEx(file, size, NULL, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    if (!sized) GTEST_SKIP() << "no file of 1.1 GB can be made here";

    ASSERT_TRUE(Start(""));
    EXPECT_TRUE(WaitForBoxes(&watch_, 1, kWindowWait)) << "not said";
    HWND main = WaitForWindow(run_, NULL, true, kWindowWait);
    ASSERT_TRUE(main);
    EXPECT_EQ("", Show(Items(main)));
    PostMessageW(main, WM_COMMAND, IDC_EDIT_LIST, 0);
    HWND editor = WaitForWindow(run_, kEditorCaption, false, kWindowWait);
    ASSERT_TRUE(editor) << "the editor did not open";
    EXPECT_TRUE(WaitForBoxes(&watch_, 2, kWindowWait)) << "not said by the editor";
    PostMessageW(editor, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitForBoxes(&watch_, 3, kWindowWait)) << "the save did not refuse";
    PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
    for (int i = 0; i < 500 && IsWindow(editor); ++i) Sleep(10);
    SendMessageW(main, WM_NULL, 0, 0);
    EXPECT_EQ(Box(kTitleFailure, kClipListTooLarge) + Box(kTitleFailure, kClipListTooLarge, true) +
                  Box(kTitleFailure, kClipListNotSaved, true),
              Boxes());
    CloseProgram(main);
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW(Wide(list_).c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(1100000000LL, ((LONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow);
}

// The clipboard held by another program (with a window of its own) for a
// moment, shorter than the copy keeps trying: the one-click copy waits,
// succeeds and closes by itself, without a window or a word.
TEST_F(Faults, ClipboardHeldBrieflyByAnotherProcessIsWaitedFor)
{
    PutOnClipboard("before");
    ASSERT_TRUE(StartHolder(&holder_, "clipboard", "", 250)) << "the holder could not open it";
    ASSERT_TRUE(Start("/m=\"x\" /g /e"));
    EXPECT_EQ(0, WaitForExit(&run_, kWindowWait)) << "the program should close by itself";
    EXPECT_EQ(0, ReleaseHolder(&holder_));
    EXPECT_EQ("x", ClipboardText());
    EXPECT_EQ("", Boxes());
}

// Held for long: the failure is said, the program stays with its list
// loaded and does not exit, and the clipboard keeps what it had.
TEST_F(Faults, ClipboardHeldLongByAnotherProcessFailsAndStays)
{
    PutOnClipboard("before");
    ASSERT_TRUE(StartHolder(&holder_, "clipboard", "", 10000)) << "the holder could not open it";
    ASSERT_TRUE(Start("/m=\"x\" /g /e"));
    EXPECT_TRUE(WaitForBoxes(&watch_, 1, kWindowWait)) << "no failure message";
    EXPECT_EQ(Box(kTitleFailure, kClipboardFailed), Boxes());
    HWND main = WaitForWindow(run_, NULL, true, kWindowWait);
    ASSERT_TRUE(main) << "the window should stay open";
    // Shown only once its first messages were handled, the failure among
    // them; once it answers, it is past anything it posted itself.
    WaitForWindowAnswer(main, kWindowWait);
    EXPECT_EQ(-1, WaitForExit(&run_, 0)) << "no automatic exit after a failed copy";
    EXPECT_EQ(Show(kItems), Show(Items(main))) << "the list is loaded for the user";
    EXPECT_EQ("x", WindowText(GetDlgItem(main, IDC_CLIP_COMBO))) << "the text stays, to copy again";
    EXPECT_EQ(0, ReleaseHolder(&holder_));
    EXPECT_EQ("before", ClipboardText());
    EXPECT_EQ(1u, BoxesAnswered(&watch_).size()) << Boxes();
    CloseProgram(main);
}

// A referenced file that another process holds open: one that only reads
// it (a viewer, the indexer) lets the copy read it too; one that shares
// nothing keeps the copy out, which then says the file cannot be had,
// copies nothing and stays with its list. Its size comes through either
// way (desired access 0 needs no sharing).
TEST_F(Faults, ReferencedFileHeldByAnotherProcess)
{
    std::string memo = folder_.path + "\\memo.txt";
    ASSERT_TRUE(WriteWholeFile(memo, "memo text"));
    for (const char* holding : {"reader", "file"}) {
        const bool reader = strcmp(holding, "reader") == 0;
        SCOPED_TRACE(reader ? "held by a reader" : "held without sharing");
        PutOnClipboard("before");
        ASSERT_TRUE(StartHolder(&holder_, holding, memo, 60000));
        ASSERT_TRUE(Start("/f=\"" + memo + "\" /g /e"));
        if (reader) {
            EXPECT_EQ(0, WaitForExit(&run_, kWindowWait)) << "copies and closes";
            EXPECT_EQ("memo text", ClipboardText());
            EXPECT_EQ("", Boxes());
            FinishProgram(&run_);
        } else {
            EXPECT_TRUE(WaitForBoxes(&watch_, 1, kWindowWait)) << "not said: unreadable";
            HWND main = WaitForWindow(run_, NULL, true, kWindowWait);
            ASSERT_TRUE(main);
            EXPECT_EQ(Show(kItems), Show(Items(main))) << "the failed copy loads the list";
            EXPECT_EQ(-1, WaitForExit(&run_, 0)) << "no automatic exit";
            EXPECT_EQ(Box(kTitleConfirm, kFileNotFound), Boxes());
            EXPECT_EQ("before", ClipboardText());
            CloseProgram(main);
        }
        EXPECT_EQ(0, ReleaseHolder(&holder_));
        EXPECT_EQ("memo text", ReadWholeFile(memo));
    }
}

// A file of 4 GiB and 5 bytes (sparse: it takes no room): the size modulo
// 2^32 would be 5, and a cut "HEAD-" on the clipboard reported as a copy.
// It is refused like any file too large, and nothing is copied.
TEST_F(Faults, FileOfFourGigabytesAndMoreIsRefusedNotCut)
{
    std::string huge = folder_.path + "\\huge.txt";
    HANDLE file = CreateFileW(Wide(huge).c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD done = 0;
    WriteFile(file, "HEAD-", 5, &done, NULL);
    DWORD ignored = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, NULL, 0, NULL, 0, &ignored, NULL);
    LARGE_INTEGER size;
    size.QuadPart = 0x100000005LL;
    bool sized = SetFilePointerEx(file, size, NULL, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    if (!sized) GTEST_SKIP() << "no file of 4 GiB can be made here";

    PutOnClipboard("before");
    ASSERT_TRUE(Start("/f=\"" + huge + "\" /g /e"));
    EXPECT_TRUE(WaitForBoxes(&watch_, 1, kWindowWait)) << "no message";
    HWND main = WaitForWindow(run_, NULL, true, kWindowWait);
    ASSERT_TRUE(main);
    EXPECT_EQ(Box(kTitleConfirm, kMemoryFailed), Boxes());
    EXPECT_EQ(-1, WaitForExit(&run_, 0)) << "no automatic exit";
    EXPECT_EQ("before", ClipboardText());
    CloseProgram(main);
}

// `bytes` bytes of arguments ending in a /m= value of Japanese text; the
// value is given back in `message`.
std::string ArgumentsOf(size_t bytes, std::string* message)
{
    static const char* const kPieces[] = {"表", "ソ", "あ"};  // two bytes each
    const std::string head = "/x=0 /y=0 /g /m=\"";
    size_t room = bytes - head.size() - 1;  // the closing quote
    message->clear();
    for (size_t i = 0; message->size() + 2 <= room; ++i) *message += kPieces[i % 3];
    if (message->size() < room) *message += 'x';
    return head + *message + "\"";
}

// Command lines at and past the limit, with Japanese text, unbalanced
// quotes and every option twice, passed exactly as given.
TEST_F(Faults, HostileCommandLines)
{
    std::string memo = folder_.path + "\\memo.txt";
    std::string other = folder_.path + "\\other.txt";
    std::string japanese = folder_.path + "\\表ソ.txt";
    ASSERT_TRUE(WriteWholeFile(memo, "memo text"));
    ASSERT_TRUE(WriteWholeFile(other, "other text"));
    ASSERT_TRUE(WriteWholeFile(japanese, "表示ソフト\r\n"));

    std::string taken, refused, huge;
    std::string at1023 = ArgumentsOf(1023, &taken);
    std::string at1024 = ArgumentsOf(1024, &refused);
    std::string at32000 = ArgumentsOf(32000, &huge);
    ASSERT_EQ(1023u, at1023.size());
    ASSERT_EQ(1024u, at1024.size());
    ASSERT_EQ(32000u, at32000.size());
    const std::string tooLong = Box(kTitleConfirm, kCommandLineTooLong);
    const std::string notFound = Box(kTitleConfirm, kFileNotFound);

    struct Row {
        const char* what;
        std::string arguments;
        bool exits;             // a one-click copy that ends by itself
        std::string boxes;
        std::string clipboard;  // "before" when nothing was copied
        int x, y;               // where the window stays, when it stays
        std::string field;
    };
    const Row rows[] = {
        {"1023 bytes are taken", at1023, false, "", taken, 0, 0, taken},
        {"1024 bytes are refused", at1024, false, tooLong, "before", 120, 64, ""},
        {"32,000 bytes are refused", at32000, false, tooLong, "before", 120, 64, ""},
        {"Japanese message", "/m=\"おはよう 表ソ\" /g /e", true, "", "おはよう 表ソ", 0, 0, ""},
        {"bare Japanese message", "/m=表ソ/g /e", true, "", "表ソ", 0, 0, ""},
        {"Japanese file name", "/f=\"" + japanese + "\" /g /e", true, "", "表示ソフト\r\n", 0, 0, ""},
        {"unclosed quote takes the rest", "/m=\"open /g /e", true, "", "open /g /e", 0, 0, ""},
        // The preset goes into the edit field, and the copy reads the field
        // as an entry: a plain text stops at a quote, leading blanks go.
        {"quote inside a bare value", "/m=bare\"quote /g /e", true, "", "bare", 0, 0, ""},
        {"unclosed quoted path names no file", "/f=\"" + memo + " /g /e", false, notFound,
         "before", 120, 64, "/f=\"" + memo + " /g /e\""},
        {"lone quote takes the rest", "/m=\" /g", false, "", "/g", 120, 64, " /g"},
        {"every option twice: the first counts", "/x=10 /y=20 /m=\"first\" /x=30 /y=40 /m=\"second\"",
         false, "", "before", 10, 20, "first"},
        {"every option twice, /f= wins over /m=",
         "/m=\"first\" /f=\"" + memo + "\" /m=\"second\" /f=\"" + other + "\" /g /g /e /e /x=5 /x=6",
         true, "", "memo text", 0, 0, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        PutOnClipboard("before");
        ASSERT_TRUE(Start(row.arguments)) << GetLastError();
        if (row.exits) {
            EXPECT_EQ(0, WaitForExit(&run_, kWindowWait)) << "the program should copy and close";
        } else {
            HWND main = WaitForWindow(run_, NULL, true, kWindowWait);
            ASSERT_TRUE(main) << "the main window did not appear";
            WaitForWindowAnswer(main, kWindowWait);  // past what it posted itself
            RECT rect;
            GetWindowRect(main, &rect);
            EXPECT_EQ(row.x, rect.left);
            EXPECT_EQ(row.y, rect.top);
            EXPECT_EQ(row.field, WindowText(GetDlgItem(main, IDC_CLIP_COMBO)));
            EXPECT_EQ(Show(kItems), Show(Items(main)));
            CloseProgram(main);
        }
        EXPECT_EQ(row.boxes, Boxes());
        EXPECT_EQ(row.clipboard, ClipboardText());
        FinishProgram(&run_);
    }
}

// One line of `length` bytes of the given kind; the line end comes after.
std::string RandomLine(std::mt19937* random, size_t length, int kind)
{
    static const char* const kCharacters[] = {"あ", "表", "ソ", "a", "Z", " ", "/", "\"", "ｱ", "漢"};
    std::string line;
    while (line.size() < length) {
        switch (kind) {
        case 0:  // any byte at all: zero bytes, lone CRs and LFs included
            line += (char)((*random)() & 0xFF);
            break;
        case 1:  // any byte but zero
            line += (char)(1 + (*random)() % 255);
            break;
        default:  // valid code page 932 text
            std::string piece = kCharacters[(*random)() % 10];
            if (line.size() + piece.size() > length) piece = "x";
            line += piece;
            break;
        }
    }
    return line;
}

// The items a list file gives, by a plain reading of the rules: only CR LF
// ends a line, a rest after the last one is a line too, and an item shows
// its line up to a zero byte, at most 1023 bytes cut on a character
// boundary.
std::vector<std::string> ReferenceItems(const std::string& file)
{
    std::vector<std::string> items;
    size_t start = 0;
    while (start < file.size()) {
        size_t end = file.find("\r\n", start);
        if (end == std::string::npos) end = file.size();
        std::string line = file.substr(start, end - start);
        line = line.substr(0, line.find('\0'));
        if (line.size() > 1023) line.resize(CutLength(line.data(), (int)line.size(), 1023, kCodePage932));
        items.push_back(line);
        start = end + 2;
    }
    return items;
}

// True, with the text, when the bytes are valid code page 932 throughout;
// only then does the program's own conversion for the control give one
// answer to compare against.
bool StrictWide(const std::string& bytes, std::wstring* wide)
{
    if (bytes.empty()) {
        wide->clear();
        return true;
    }
    wide->assign(bytes.size(), L'\0');
    int got = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), (int)bytes.size(),
                                  &(*wide)[0], (int)wide->size());
    wide->resize(got > 0 ? (size_t)got : 0);
    return got > 0;
}

// Lines of 0 to 5000 bytes of random bytes (fixed seed), lone CRs and LFs
// and zero bytes: the program loads them without crashing, its lists match
// the plain reading of the file, and the file is left as it was.
TEST_F(Faults, RandomListFileLoadsAsItsLinesSay)
{
    std::mt19937 random(20240611);
    const size_t lengths[] = {0, 1, 2, 126, 127, 128, 254, 895, 896, 1021, 1022, 1023, 1024,
                              1025, 2047, 4096, 5000};
    std::string file;
    int kind = 0;
    for (size_t length : lengths) file += RandomLine(&random, length, kind++ % 3) + "\r\n";
    for (int i = 0; i < 24; ++i) file += RandomLine(&random, random() % 5001, kind++ % 3) + "\r\n";
    file += std::string("lone\rCR\r\nlone\nLF\r\n\r\r\n\n\r\n\r\n", 23);
    file += std::string("zero\0ends only what the item shows\r\nafter\r\n", 43);
    file += std::string(200, 'p') + "\r\n";
    file += "a last line without its line end is an item too";
    ASSERT_TRUE(WriteWholeFile(list_, file));

    std::vector<std::string> expected = ReferenceItems(file);
    ASSERT_GT(expected.size(), 30u);
    ASSERT_TRUE(Start(""));
    HWND main = WaitForWindow(run_, NULL, true, kWindowWait);
    ASSERT_TRUE(main) << "the main window did not appear";
    // Only items that are valid code page 932 throughout convert one way;
    // the others are counted.
    std::vector<size_t> valid;
    std::vector<std::wstring> wide(expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        if (StrictWide(expected[i], &wide[i])) valid.push_back(i);
    }
    EXPECT_GE(valid.size(), 15u) << "too few items were valid code page 932 to compare";
    printf("note: %u of %u items are valid code page 932 and compared whole\n",
           (unsigned)valid.size(), (unsigned)expected.size());

    std::vector<std::wstring> items = ComboItemsWide(GetDlgItem(main, IDC_CLIP_COMBO));
    ASSERT_EQ(expected.size(), items.size()) << "item count";
    for (size_t i : valid) {
        EXPECT_TRUE(wide[i] == items[i]) << "item " << i << " of " << expected[i].size() << " bytes";
    }

    // The editor reads the same file with the same rules into its list box.
    PostMessageW(main, WM_COMMAND, IDC_EDIT_LIST, 0);
    HWND editor = WaitForWindow(run_, kEditorCaption, false, kWindowWait);
    ASSERT_TRUE(editor) << "the editor did not open";
    std::vector<std::wstring> listed = ListItemsWide(GetDlgItem(editor, IDC_ED_LIST));
    EXPECT_EQ(expected.size(), listed.size()) << "the editor's item count";
    for (size_t i : valid) {
        if (i >= listed.size()) break;
        EXPECT_TRUE(wide[i] == listed[i]) << "the editor's item " << i << " of "
                                          << expected[i].size() << " bytes";
    }
    PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
    WaitForWindowGone(editor, 5000);
    EXPECT_EQ("", Boxes());
    CloseProgram(main);
    EXPECT_TRUE(file == ReadWholeFile(list_)) << "the list file changed";
}

// The lines of the planted version.dll's notes that say the program or the
// library imports it or calls it.
std::string OursAmong(const std::string& notes)
{
    std::string found;
    size_t start = 0, end;
    while ((end = notes.find("\r\n", start)) != std::string::npos) {
        std::string line = notes.substr(start, end - start);
        start = end + 2;
        std::string lower = line;
        for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
        bool binds = lower.compare(0, 12, "imported by ") == 0 ||
                     lower.find(" called from ") != std::string::npos;
        for (const char* ours : {"\\quillan.exe", "\\morvask.dll"}) {
            if (binds && lower.size() >= strlen(ours) &&
                lower.compare(lower.size() - strlen(ours), std::string::npos, ours) == 0) {
                found += "[" + line + "]";
            }
        }
    }
    return found;
}

// Makes Wine prefer a DLL of that name found on the search path to its
// own, as Windows does, for Quillan.exe only, while it lives. Wine takes
// WINEDLLOVERRIDES for a process from the Unix environment its parent was
// started with, not from the Windows environment a program hands to
// CreateProcess, so a test cannot give it to the program that way; the
// per-program overrides in Wine's registry it does read.
struct NativeDllForTheProgram {
    const WCHAR* name;
    bool set = false;
    explicit NativeDllForTheProgram(const WCHAR* dll) : name(dll)
    {
        HKEY key;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL)
            != ERROR_SUCCESS) {
            return;
        }
        const WCHAR order[] = L"native,builtin";
        set = RegSetValueExW(key, name, 0, REG_SZ, (const BYTE*)order, sizeof order)
              == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    ~NativeDllForTheProgram()
    {
        HKEY key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
        RegDeleteValueW(key, name);
        RegCloseKey(key);
    }
    static constexpr const WCHAR* kKey = L"Software\\Wine\\AppDefaults\\Quillan.exe\\DllOverrides";
};

bool UnderWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != NULL;
}

// A version.dll planted beside the program. version.dll is not one of the
// DLLs the system always maps from its own folder, so Windows would load a
// copy from the program's folder for any module that imports it: neither
// the program nor the library may, and the library takes the system's own
// by its full path when it first needs it. Wine's own user32 imports
// version.dll, so under Wine the copy is loaded whatever the program does:
// what counts is that nothing of the program's imports or calls it.
TEST_F(Faults, VersionDllPlantedBesideTheProgramIsNeitherImportedNorCalled)
{
    const std::string notes = folder_.path + "\\planted-version.txt";
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\planted\\version.dll").c_str(),
                          (folder_.path + "\\version.dll").c_str(), FALSE));
    const bool underWine = UnderWine();
    NativeDllForTheProgram preferPlanted(L"version");
    if (underWine) {
        ASSERT_TRUE(preferPlanted.set) << "Wine's per-program overrides cannot be set";
    }

    for (bool oneClick : {true, false}) {
        SCOPED_TRACE(oneClick ? "one-click copy" : "start showing the version caption");
        DeleteFileA(notes.c_str());
        PutOnClipboard("before");
        ASSERT_TRUE(Start(oneClick ? "/m=\"x\" /g /e" : ""));
        if (oneClick) {
            EXPECT_EQ(0, WaitForExit(&run_, kWindowWait)) << "the program should copy and close";
            EXPECT_EQ("x", ClipboardText());
        } else {
            HWND main = WaitForWindow(run_, NULL, true, kWindowWait);
            ASSERT_TRUE(main) << "the main window did not appear";
            // Only the system's version functions give the program's label.
            std::string caption = WindowText(main);
            EXPECT_EQ(0u, caption.find("Quillan.exe : ")) << caption;
            CloseProgram(main);
        }
        FinishProgram(&run_);
        EXPECT_EQ("", Boxes());

        std::string written = ReadWholeFile(notes);
        if (written == "<cannot be read>") {
            EXPECT_FALSE(underWine) << "Wine did not load the planted copy even for its own "
                                       "user32: the test does not reach what it tests";
            continue;
        }
        printf("note: the planted version.dll says:\n%s", written.c_str());
        EXPECT_EQ("", OursAmong(written));
    }
}

// A uxtheme.dll planted beside the program. The program never loads it by
// name, but system DLLs do, by bare name, as the main window and the
// editor appear; the search for a bare name starts in the program's folder
// unless the program narrows it to the system folder first. Under Wine the
// copy is preferred by an override, as Windows' search order would find it.
TEST_F(Faults, UxthemeDllPlantedBesideTheProgramIsNeverLoaded)
{
    const std::string notes = folder_.path + "\\planted-uxtheme.txt";
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\planted\\uxtheme.dll").c_str(),
                          (folder_.path + "\\uxtheme.dll").c_str(), FALSE));
    NativeDllForTheProgram preferPlanted(L"uxtheme");
    if (UnderWine()) {
        ASSERT_TRUE(preferPlanted.set) << "Wine's per-program overrides cannot be set";
    }

    // The notes are read however far the run came: a planted copy that is
    // loaded may keep a window from opening.
    ASSERT_TRUE(Start(""));
    HWND main = WaitForWindow(run_, NULL, true, kWindowWait);
    EXPECT_TRUE(main) << "the main window did not appear";
    HWND editor = NULL;
    if (main) {
        PostMessageW(main, WM_COMMAND, IDC_EDIT_LIST, 0);
        editor = WaitForWindow(run_, kEditorCaption, false, kWindowWait);
        EXPECT_TRUE(editor) << "the editor did not open";
    }
    if (editor) {
        PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
        WaitForWindowGone(editor, 5000);
        CloseProgram(main);
        EXPECT_EQ("", Boxes());
    }
    FinishProgram(&run_);
    EXPECT_EQ("<cannot be read>", ReadWholeFile(notes)) << "the planted uxtheme.dll was loaded";
}

}  // namespace

namespace {

// The program in a folder whose path is longer than the file functions
// take (deep\<150 a>\<100 b>\Quillan.exe): the platform gives the program
// a cut path, whose folder is deep\<150 a>, which holds a list of its own.
// The program says it cannot use its path, and neither reads nor writes
// that other list. Wine starts such a program only from the Unix side:
// deep_folder_test.sh does, and names the other list in QUILLAN_DEEP_LIST.
TEST_F(Faults, ProgramFolderTooDeepTouchesNoOtherList)
{
    char otherList[MAX_PATH] = "";
    if (GetEnvironmentVariableA("QUILLAN_DEEP_LIST", otherList, MAX_PATH) == 0) {
        GTEST_SKIP() << "run by deep_folder_test.sh, which starts the program";
    }
    HWND main = WaitForDialog(0, NULL, IDC_CLIP_COMBO, kWindowWait, true);
    ASSERT_TRUE(main) << "the program did not start";
    GetWindowThreadProcessId(main, &run_.process.dwProcessId);
    run_.process.hProcess = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE,
                                        FALSE, run_.process.dwProcessId);
    run_.started = run_.process.hProcess != NULL;
    StartBoxAnswerer(&watch_, run_.process.dwProcessId);
    EXPECT_TRUE(WaitForBoxes(&watch_, 1, kWindowWait)) << "nothing said about the path";
    main = WaitForWindow(run_, NULL, true, kWindowWait);
    ASSERT_TRUE(main);
    EXPECT_EQ("", Show(Items(main))) << "another folder's list was read";

    // Save from the editor: there is no list of its own to write.
    PostMessageW(main, WM_COMMAND, IDC_EDIT_LIST, 0);
    HWND editor = WaitForWindow(run_, kEditorCaption, false, kWindowWait);
    ASSERT_TRUE(editor);
    EXPECT_TRUE(WaitForBoxes(&watch_, 2, kWindowWait));
    SendMessageW(GetDlgItem(editor, IDC_ED_MESSAGE), WM_SETTEXT, 0, (LPARAM)L"new");
    SendMessageW(editor, WM_COMMAND, IDC_ED_ADD, 0);
    PostMessageW(editor, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitForBoxes(&watch_, 3, kWindowWait));
    PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
    WaitForWindowGone(editor, 5000);
    EXPECT_EQ("other\r\n", ReadWholeFile(otherList)) << "another folder's list was written";
    EXPECT_EQ(Box(kTitleFailure, kProgramPathTooLong) + Box(kTitleFailure, kProgramPathTooLong, true) +
                  Box(kTitleFailure, kClipListNotSaved, true),
              Boxes());
    CloseProgram(main);
}

}  // namespace
