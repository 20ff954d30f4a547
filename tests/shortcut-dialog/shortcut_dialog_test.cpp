// The shortcut dialog over its real template: what it shows at start, the
// shortcut files it writes (read back through the shell link object), its
// refusals and questions, the folder chooser and how it closes.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

#include "app_state.h"
#include "dialog_driver.h"
#include "messages.h"
#include "resource.h"
#include "shortcut_dialog.h"
#include "test_support.h"

namespace {

std::string FieldText(HWND dialog, int id)
{
    char text[2048];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool IsShownInTemplate(HWND dialog, int id)
{
    return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

std::string DesktopFolder()
{
    char folder[MAX_PATH] = "";
    SHGetSpecialFolderPathA(NULL, folder, CSIDL_DESKTOPDIRECTORY, FALSE);
    return folder;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Format(const char* format, const char* value)
{
    char text[2048];
    wsprintfA(text, format, value);
    return text;
}

std::string Format2(const char* format, const char* first, const char* second)
{
    char text[2048];
    wsprintfA(text, format, first, second);
    return text;
}

const WORD kCtrlAltQ = MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT);

// Each test gets the program state of a fresh start, an empty folder of its
// own and the dialog; message boxes are answered by a watcher.
class ShortcutDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramState();
        ASSERT_TRUE(MakeScratchFolder("shortcut", &folder_)) << "no scratch folder";
        dialog_ = nullptr;
    }

    void TearDown() override
    {
        if (dialog_) DestroyWindow(dialog_);
        RemoveTree(folder_);
    }

    void Open(const ShortcutProposal* proposal = nullptr)
    {
        dialog_ = OpenShortcutDialog(proposal);
        ASSERT_NE(dialog_, nullptr) << "template 103 did not load, error " << GetLastError();
    }

    void Reopen(const ShortcutProposal* proposal = nullptr)
    {
        DestroyWindow(dialog_);
        Open(proposal);
    }

    // Presses Create; every message box is answered and kept in boxes_.
    void Create(int confirmAnswer = IDNO)
    {
        BoxAnswerer answerer = {};
        StartBoxAnswerer(&answerer, GetCurrentProcessId(), confirmAnswer);
        PressButton(dialog_, IDOK);
        boxes_ = StopBoxAnswerer(&answerer);
    }

    void Fill(const char* message, const char* name, const std::string& folder, WORD key = 0)
    {
        SetDlgItemTextA(dialog_, IDC_SC_MESSAGE, message);
        SetDlgItemTextA(dialog_, IDC_SC_NAME, name);
        SetDlgItemTextA(dialog_, IDC_SC_FOLDER, folder.c_str());
        SendDlgItemMessageA(dialog_, IDC_SC_HOTKEY, HKM_SETHOTKEY, key, 0);
    }

    std::string folder_;
    HWND dialog_;
    std::vector<AnsweredBox> boxes_;
};

// --- Start -------------------------------------------------------------

struct StartCase {
    const char* what;
    const char* title;
    const char* text;
    int autoStart, autoExit, posX, posY;
    const char* name;  // expected in the name field
    const char* x;
    const char* y;
};

TEST_F(ShortcutDialog, StartFillsFieldsFromProgramState)
{
    const StartCase cases[] = {
        {"entry with a title", "Greeting", "Good morning", 1, 1, 120, 64, "Greeting", "120", "64"},
        {"file reference", "", "/f=C:\\memo.txt", 0, 1, 0, 300, "Quillanのショートカット", "0", "300"},
        {"empty edit field", "", "", 0, 0, 120, 64, "Quillanのショートカット", "120", "64"},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.what);
        ShortcutProposal proposal = {"", "", kCodePage932};
        strcpy(proposal.title, c.title);
        strcpy(proposal.message, c.text);
        m_AutoStart = c.autoStart;
        m_AutoExit = c.autoExit;
        m_PosX = c.posX;
        m_PosY = c.posY;
        if (dialog_) Reopen(&proposal); else Open(&proposal);

        EXPECT_NE(SendMessageA(dialog_, WM_GETICON, ICON_BIG, 0), 0) << "icon 105 not set";
        EXPECT_EQ(FieldText(dialog_, IDC_SC_MESSAGE), c.text);
        EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_SC_AUTO_START), (UINT)c.autoStart);
        EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_SC_AUTO_EXIT), (UINT)c.autoExit);
        EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_SC_SET_POSITION), (UINT)BST_UNCHECKED);
        EXPECT_EQ(FieldText(dialog_, IDC_SC_POS_X), c.x);
        EXPECT_EQ(FieldText(dialog_, IDC_SC_POS_Y), c.y);
        EXPECT_EQ(FieldText(dialog_, IDC_SC_NAME), c.name);
        EXPECT_EQ(FieldText(dialog_, IDC_SC_FOLDER), DesktopFolder());
        for (int id : {IDC_SC_POS_X_LABEL, IDC_SC_POS_X, IDC_SC_POS_Y_LABEL, IDC_SC_POS_Y}) {
            EXPECT_FALSE(IsShownInTemplate(dialog_, id)) << "control " << id << " shown at start";
        }
        EXPECT_EQ(SendDlgItemMessageA(dialog_, IDC_SC_HOTKEY, HKM_GETHOTKEY, 0, 0), 0);
    }
    char kind[32] = "";
    GetClassNameA(GetDlgItem(dialog_, IDC_SC_HOTKEY), kind, sizeof kind);
    EXPECT_STREQ(kind, HOTKEY_CLASSA);
    EXPECT_EQ(GetNextDlgTabItem(dialog_, GetDlgItem(dialog_, IDC_SC_NAME), FALSE),
              GetDlgItem(dialog_, IDC_SC_HOTKEY)) << "the key does not follow the name";
}

TEST_F(ShortcutDialog, PositionBoxShowsAndHidesItsControlsKeepingTheirTexts)
{
    Open();
    const int controls[] = {IDC_SC_POS_X_LABEL, IDC_SC_POS_X, IDC_SC_POS_Y_LABEL, IDC_SC_POS_Y};
    SetBox(dialog_, IDC_SC_SET_POSITION, true);
    for (int id : controls) EXPECT_TRUE(IsShownInTemplate(dialog_, id)) << id;
    SetDlgItemTextA(dialog_, IDC_SC_POS_X, "7");
    SetBox(dialog_, IDC_SC_SET_POSITION, false);
    for (int id : controls) EXPECT_FALSE(IsShownInTemplate(dialog_, id)) << id;
    EXPECT_EQ(FieldText(dialog_, IDC_SC_POS_X), "7");
}

TEST_F(ShortcutDialog, SecondOpeningProposesLastFolderWhileItExistsAndStartValuesAgain)
{
    Open();
    Fill("abc", "first", folder_);
    SetBox(dialog_, IDC_SC_AUTO_START, true);
    Create();
    ASSERT_EQ(boxes_.size(), 0u) << ShowBoxes(boxes_);

    Reopen();
    EXPECT_EQ(FieldText(dialog_, IDC_SC_FOLDER), folder_);
    EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_SC_AUTO_START), (UINT)BST_UNCHECKED)
        << "the choice of the first opening came back";

    RemoveTree(folder_);
    Reopen();
    EXPECT_EQ(FieldText(dialog_, IDC_SC_FOLDER), DesktopFolder())
        << "a folder that is gone was proposed";
}

// --- Create ------------------------------------------------------------

TEST_F(ShortcutDialog, CreateWritesShortcutThatStartsProgramWithOptions)
{
    Open();
    Fill("abc", "Greeting", folder_);
    SetBox(dialog_, IDC_SC_AUTO_START, true);
    SetBox(dialog_, IDC_SC_AUTO_EXIT, true);
    SetBox(dialog_, IDC_SC_SET_POSITION, true);
    SetDlgItemTextA(dialog_, IDC_SC_POS_X, "120");
    SetDlgItemTextA(dialog_, IDC_SC_POS_Y, "64");
    Create();

    EXPECT_EQ(boxes_.size(), 0u) << "unexpected message: " << ShowBoxes(boxes_);
    ShortcutRecord link = ReadShortcut((folder_ + "\\Greeting.lnk").c_str());
    ASSERT_TRUE(link.loaded) << "no shortcut at " << folder_ << "\\Greeting.lnk";
    EXPECT_STREQ(link.target, m_ExePath);
    EXPECT_STREQ(link.arguments, "/m=\"abc\" /g /e /x=120 /y=64");
    EXPECT_STREQ(link.workDir, m_ExeDir);
    EXPECT_EQ(std::string(m_LinkFolder), folder_);
    EXPECT_TRUE(IsWindow(dialog_));
    EXPECT_EQ(FieldText(dialog_, IDC_SC_NAME), "Greeting") << "a field changed after Create";
}

// The key field's rules make Ctrl+Alt+key of a key typed alone or with
// Shift; a key set another way without Ctrl or Alt is refused at Create.
TEST_F(ShortcutDialog, ShortcutKeyIsWrittenWithTheShortcutOrRefused)
{
    Open();
    SendDlgItemMessageA(dialog_, IDC_SC_HOTKEY, WM_KEYDOWN, 'Q', 0);
    EXPECT_EQ(SendDlgItemMessageA(dialog_, IDC_SC_HOTKEY, HKM_GETHOTKEY, 0, 0), kCtrlAltQ)
        << "Q typed alone";

    const std::string refused = Format2("[%s:%s(owned)]", kTitleFailure, kShortcutKeyRefused);
    const struct { const char* name; WORD key; bool written; } cases[] = {
        {"none", 0, true},
        {"Ctrl+Alt+Q", kCtrlAltQ, true},
        {"Ctrl+Q", MAKEWORD('Q', HOTKEYF_CONTROL), true},
        {"Q", 'Q', false},
        {"Shift+Q", MAKEWORD('Q', HOTKEYF_SHIFT), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fill("abc", c.name, folder_, c.key);
        Create();
        EXPECT_EQ(ShowBoxes(boxes_), c.written ? "" : refused);
        const ShortcutRecord link = ReadShortcut((folder_ + "\\" + c.name + ".lnk").c_str());
        // Setting the key keeps what the shortcut starts.
        EXPECT_EQ(std::string(link.target) + link.arguments + link.workDir,
                  c.written ? std::string(m_ExePath) + "/m=\"abc\"" + m_ExeDir : "");
        EXPECT_EQ(link.key, c.written ? c.key : 0);
    }
}

// Windows starts one of two shortcuts on the same key: another shortcut in
// the folder with it is named and the user decides. The one being replaced
// and files that are no shortcut do not ask; the extended bit (which of two
// keys gave the same virtual key) makes no other key.
TEST_F(ShortcutDialog, SameKeyInFolderAsksAndNoWritesNothing)
{
    ASSERT_TRUE(CreateDirectoryA((folder_ + "\\folder.lnk").c_str(), NULL));
    ASSERT_TRUE(WriteWholeFile(folder_ + "\\junk.lnk", "not a shortcut"));
    Open();
    Fill("abc", "first", folder_, kCtrlAltQ);
    Create();
    EXPECT_EQ(boxes_.size(), 0u) << ShowBoxes(boxes_);
    Create(IDYES);
    ASSERT_EQ(boxes_.size(), 1u) << "expected the overwrite question alone: " << ShowBoxes(boxes_);

    Fill("abc", "second", folder_, kCtrlAltQ);
    Create(IDNO);
    ASSERT_EQ(boxes_.size(), 1u) << "expected the key question: " << ShowBoxes(boxes_);
    EXPECT_EQ(boxes_[0].title, kTitleConfirm);
    EXPECT_EQ(boxes_[0].text, Format(kShortcutKeyShared, "first.lnk"));
    EXPECT_FALSE(Exists(folder_ + "\\second.lnk")) << "written although the answer was No";
    Create(IDYES);
    EXPECT_EQ(ReadShortcut((folder_ + "\\second.lnk").c_str()).key, kCtrlAltQ);
    Fill("abc", "third", folder_, kCtrlAltQ | HOTKEYF_EXT << 8);
    Create(IDNO);
    EXPECT_EQ(boxes_.size(), 1u) << "the same key with its extended bit did not ask";
}

// A message too long for a command line together with its options is
// refused, not cut: the shortcut would copy less than the dialog showed.
// The field is read whole characters at a time, never overrunning.
TEST_F(ShortcutDialog, OverLongMessageIsRefusedNotCut)
{
    Open();
    std::string message;
    for (int i = 0; i < 600; ++i) message += "表";  // 1200 bytes, each trail byte 0x5C
    Fill(message.c_str(), "長い", folder_);
    Create();

    ASSERT_EQ(boxes_.size(), 1u) << "expected the length message: " << ShowBoxes(boxes_);
    EXPECT_EQ(boxes_[0].title, kTitleFailure);
    EXPECT_EQ(boxes_[0].text, kShortcutTooLong);
    EXPECT_FALSE(Exists(folder_ + "\\長い.lnk")) << "a shortened shortcut was written";
}

// A field whose text is longer than a command line can hold is refused as
// too long, never read cut: neither a message over the limit in UTF-8 whose
// cut would have landed just short of it, nor a position text.
TEST_F(ShortcutDialog, OverLongFieldIsRefusedAndNothingIsWritten)
{
    std::wstring euros = L"a";
    for (int i = 0; i < 400; ++i) euros += L"\u20AC";  // 1,201 bytes of UTF-8
    Open();
    Fill("", "euro", folder_);
    SetDlgItemTextW(dialog_, IDC_SC_MESSAGE, euros.c_str());
    Create();
    ASSERT_EQ(boxes_.size(), 1u) << "expected the length message: " << ShowBoxes(boxes_);
    EXPECT_EQ(boxes_[0].title, kTitleFailure);
    EXPECT_EQ(boxes_[0].text, kShortcutTooLong);

    Fill("m", "position", folder_);
    SetBox(dialog_, IDC_SC_SET_POSITION, true);
    SetDlgItemTextA(dialog_, IDC_SC_POS_X, std::string(1100, '1').c_str());
    Create();
    ASSERT_EQ(boxes_.size(), 1u) << "expected the length message: " << ShowBoxes(boxes_);
    EXPECT_EQ(boxes_[0].text, kShortcutTooLong);
    EXPECT_EQ("", FolderNames(folder_)) << "a shortcut was written";
}

// A position that the command line would read as another number (abc as 0,
// １２ as 0, 12abc as 12) or not at all is refused, naming its option.
TEST_F(ShortcutDialog, PositionThatWouldNotReadAsTypedIsRefused)
{
    const struct { const char* x; const char* y; const char* option; } cases[] = {
        {"abc", "64", "/x="},
        {"１２", "64", "/x="},
        {"12abc", "64", "/x="},
        {"", "64", "/x="},
        {"120", "-5", "/y="},
    };
    Open();
    SetBox(dialog_, IDC_SC_SET_POSITION, true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        Fill("abc", "placed", folder_);
        SetDlgItemTextA(dialog_, IDC_SC_POS_X, c.x);
        SetDlgItemTextA(dialog_, IDC_SC_POS_Y, c.y);
        Create();
        ASSERT_EQ(boxes_.size(), 1u) << "expected the position message: " << ShowBoxes(boxes_);
        EXPECT_EQ(boxes_[0].title, kTitleFailure);
        EXPECT_EQ(boxes_[0].text, Format2(kShortcutBadPosition, kFieldPosition, c.option));
    }
    EXPECT_EQ("", FolderNames(folder_)) << "a shortcut was written";

    SetDlgItemTextA(dialog_, IDC_SC_POS_X, "0");
    SetDlgItemTextA(dialog_, IDC_SC_POS_Y, "300");
    Create();
    EXPECT_EQ(boxes_.size(), 0u) << ShowBoxes(boxes_);
    EXPECT_STREQ(ReadShortcut((folder_ + "\\placed.lnk").c_str()).arguments,
                 "/m=\"abc\" /x=0 /y=300");
}

// The shortcut copies exactly the message shown: a message holding "/=" is
// written after an empty title, and one that no command line carries (blanks
// in front, blanks alone) is refused with its reason.
TEST_F(ShortcutDialog, MessageIsWrittenSoThatTheShortcutCopiesItOrRefused)
{
    Open();
    Fill("a/=b", "marker", folder_);
    Create();
    EXPECT_EQ(boxes_.size(), 0u) << ShowBoxes(boxes_);
    EXPECT_STREQ(ReadShortcut((folder_ + "\\marker.lnk").c_str()).arguments,
                 "/m=\"/=a/=b\"");

    const struct { const char* message; const char* text; } refused[] = {
        {"  two leading blanks", kShortcutLeadingBlanks},
        {"   ", kShortcutCopiesNothing},
        {"/f=", kShortcutCopiesNothing},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.message);
        Fill(c.message, "refused", folder_);
        Create();
        ASSERT_EQ(boxes_.size(), 1u) << ShowBoxes(boxes_);
        EXPECT_EQ(boxes_[0].title, kTitleFailure);
        EXPECT_EQ(boxes_[0].text, c.text);
    }
    EXPECT_EQ("[marker.lnk]", FolderNames(folder_));
}

TEST_F(ShortcutDialog, ExistingShortcutIsReplacedOnlyWhenUserSaysYes)
{
    Open();
    Fill("first", "Same", folder_);
    Create();
    const std::string path = folder_ + "\\Same.lnk";
    ASSERT_STREQ(ReadShortcut(path.c_str()).arguments, "/m=\"first\"");

    SetDlgItemTextA(dialog_, IDC_SC_MESSAGE, "second");
    Create(IDNO);
    ASSERT_EQ(boxes_.size(), 1u) << "expected the overwrite question";
    EXPECT_EQ(boxes_[0].title, kTitleConfirm);
    EXPECT_EQ(boxes_[0].text, Format(kOverwriteQuestion, path.c_str()));
    EXPECT_STREQ(ReadShortcut(path.c_str()).arguments, "/m=\"first\"") << "rewritten although the answer was No";

    Create(IDYES);
    ASSERT_EQ(boxes_.size(), 1u) << "expected the overwrite question";
    EXPECT_STREQ(ReadShortcut(path.c_str()).arguments, "/m=\"second\"") << "not rewritten after Yes";
}

TEST_F(ShortcutDialog, FolderThatCannotTakeShortcutIsRefusedAndNothingChanges)
{
    const std::string file = folder_ + "\\plain.txt";
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    CloseHandle(handle);
    const std::string missing = folder_ + "\\missing";

    const struct {
        const char* what;
        std::string folder;
    } cases[] = {{"missing folder", missing}, {"a file in place of a folder", file}};
    Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        strcpy(m_LinkFolder, "C:\\before");
        strcpy(m_ClipText, "before");
        Fill("after", "name", c.folder);
        Create();
        ASSERT_EQ(boxes_.size(), 1u) << "expected the access message";
        EXPECT_EQ(boxes_[0].title, kTitleFailure);
        EXPECT_EQ(boxes_[0].text, Format(kFolderAccessFailed, c.folder.c_str()));
        EXPECT_STREQ(m_LinkFolder, "C:\\before");
        EXPECT_STREQ(m_ClipText, "before");
        EXPECT_FALSE(Exists(c.folder + "\\name.lnk"));
    }
}

TEST_F(ShortcutDialog, LinkPathBeyondMaxPathIsRefusedNotCut)
{
    Open();
    // folder + "\" + 255 name bytes + ".lnk" is far beyond 259 bytes.
    std::string name(255, 'n');
    Fill("abc", name.c_str(), folder_);
    Create();
    ASSERT_EQ(boxes_.size(), 1u) << "expected the access message";
    EXPECT_EQ(boxes_[0].text, Format(kFolderAccessFailed, folder_.c_str()));

    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder_ + "\\*.lnk").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a shortcut was written: " << found.cFileName;
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

// The folder text as typed, what the dialog keeps of it, and where the
// shortcut lands. "ソ" is 83 5C in code page 932: its second byte is a
// backslash, and the folder name must keep it.
TEST_F(ShortcutDialog, FolderTextKeepsDriveRootAndDoubleByteEndingLosesOneTrailingBackslash)
{
    const std::string so = folder_ + "\\ソ";
    const std::string sub = folder_ + "\\sub";
    ASSERT_TRUE(CreateDirectoryA(so.c_str(), NULL)) << "error " << GetLastError();
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), NULL));
    char unique[64];
    wsprintfA(unique, "quillan-root-%lu", GetCurrentProcessId());

    const struct {
        const char* what;
        std::string typed, kept, linkFile;
    } cases[] = {
        {"drive root", "C:\\", "C:\\", std::string("C:\\") + unique + ".lnk"},
        {"trailing backslash", sub + "\\", sub, sub + "\\" + unique + ".lnk"},
        {"ends in ソ", so, so, so + "\\" + unique + ".lnk"},
        {"ends in ソ and a backslash", so + "\\", so, so + "\\" + unique + ".lnk"},
    };
    Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(c.linkFile.c_str());
        Fill("abc", unique, c.typed);
        Create();
        EXPECT_EQ(boxes_.size(), 0u) << "unexpected message: " << ShowBoxes(boxes_);
        EXPECT_EQ(std::string(m_LinkFolder), Utf8(c.kept)) << "kept in UTF-8";
        EXPECT_TRUE(ReadShortcut(c.linkFile.c_str()).loaded) << "no shortcut at " << c.linkFile;
        DeleteFileA(c.linkFile.c_str());
    }
}

TEST_F(ShortcutDialog, EmptyNameGivesProgramNameShortcut)
{
    Open();
    Fill("abc", "", folder_);
    Create();
    EXPECT_EQ(boxes_.size(), 0u) << "unexpected message: " << ShowBoxes(boxes_);
    EXPECT_TRUE(ReadShortcut((folder_ + "\\Quillanのショートカット.lnk").c_str()).loaded);
}

// A shortcut whose name is taken by a folder: the replacement is confirmed
// but the save fails. With a command line of 1023 bytes the failure text would
// exceed what a message box text holds: the command line is cut and every
// line still shows.
TEST_F(ShortcutDialog, FailedCreationReportsCodeAndEveryLineWithinBoxText)
{
    ASSERT_TRUE(CreateDirectoryA((folder_ + "\\taken.lnk").c_str(), NULL));
    Open();
    std::string message(1018, 'm');  // with /m="..." the longest command line
    Fill(message.c_str(), "taken", folder_);
    Create(IDYES);
    ASSERT_EQ(boxes_.size(), 2u) << "expected the question, then the failure: " << ShowBoxes(boxes_);
    const std::string text = boxes_[1].text;
    EXPECT_EQ(boxes_[1].title, kTitleFailure);
    const std::string head = " ショートカット作成に失敗しました。( ErrorCode = 0x8";
    EXPECT_EQ(text.compare(0, head.size(), head), 0) << text;
    EXPECT_NE(text.find(std::string("\r\nショートカット = ") + folder_ + "\\taken.lnk\r\n"),
              std::string::npos) << text;
    EXPECT_NE(text.find(std::string("\r\nリンク先 = ") + m_ExePath + "\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nコマンド = /m=\"mmm"), std::string::npos) << text;
    const std::string tail = std::string("\r\n作業フォルダ = ") + m_ExeDir + "\r\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << "the last line was cut off";
    EXPECT_LE(Wide(text).size(), 1023u) << "characters in the box text";
    EXPECT_EQ(std::string(m_LinkFolder), folder_) << "the folder passed the test and is kept";
}

// A name (typed, or proposed from a list entry's title) that the system
// would take as a path, a device or a stream is refused: nothing is written
// anywhere, and the user is told why.
TEST_F(ShortcutDialog, NameThatIsNoPlainFileNameIsRefused)
{
    ASSERT_TRUE(CreateDirectoryA((folder_ + "\\sub").c_str(), NULL));
    const char* const names[] = {"NUL", "com1", "CON.txt", "lpt9 .x", "..\\..\\escaped",
                                 "a/b", "Note: x", "what?", "dot.", "blank ", "   ", ".", ".."};
    Open();
    for (const char* name : names) {
        SCOPED_TRACE(name);
        Fill("abc", name, folder_ + "\\sub");
        Create(IDYES);
        ASSERT_EQ(boxes_.size(), 1u) << ShowBoxes(boxes_);
        EXPECT_EQ(boxes_[0].title, kTitleFailure);
        EXPECT_EQ(boxes_[0].text, Format(kBadShortcutName, name));
    }
    EXPECT_EQ("", FolderNames(folder_ + "\\sub"));
    EXPECT_EQ("[sub]", FolderNames(folder_)) << "nothing written beside the folder";
    Fill("abc", "COM10 and CONSOLE", folder_);
    Create();
    EXPECT_EQ(boxes_.size(), 0u) << "a name that only starts like a device is fine";
}

// --- Folder chooser and close (modal, as the main dialog runs it) -------

struct ChooserScript {
    std::string typed;  // the file name typed into the chooser; empty cancels
    char initialFolder[MAX_PATH];
    char presetName[MAX_PATH];
    bool seen;
};

// A dialog of this process with the given caption, within five seconds.
HWND WaitForWindow(const char* title)
{
    return WaitForDialog(GetCurrentProcessId(), title, 0, 5000);
}

DWORD WINAPI AnswerChooser(void* parameter)
{
    ChooserScript* script = (ChooserScript*)parameter;
    HWND chooser = WaitForWindow(kFolderChooserTitle);
    if (!chooser) return 0;
    script->seen = true;
    // The chooser is a Unicode dialog, and its own messages are not
    // converted: the folder comes as UTF-16.
    WCHAR folder[MAX_PATH] = L"";
    SendMessageW(chooser, CDM_GETFOLDERPATH, MAX_PATH, (LPARAM)folder);
    WideCharToMultiByte(932, 0, folder, -1, script->initialFolder, MAX_PATH, NULL, NULL);
    const int nameBox = 0x47c;  // cmb13, the file name box of the explorer-style dialog
    GetDlgItemTextA(chooser, nameBox, script->presetName, MAX_PATH);
    if (script->typed.empty()) {
        PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
    } else {
        SetDlgItemTextA(chooser, nameBox, script->typed.c_str());
        PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    }
    WaitForWindowGone(chooser, 5000);
    return 0;
}

TEST_F(ShortcutDialog, FolderChooserStartsOnDesktopAndGivesFolderOfChosenName)
{
    const std::string preset = kFolderChooserPreset;
    // Where shortcut keys work besides the desktop.
    char programs[MAX_PATH] = "";
    ASSERT_TRUE(SHGetSpecialFolderPathA(NULL, programs, CSIDL_PROGRAMS, FALSE));
    const struct {
        const char* what;
        std::string typed, field;
    } cases[] = {
        {"preset name in a folder", folder_ + "\\" + preset, folder_},
        {"preset name in a drive root", "C:\\" + preset, "C:\\"},
        {"the Start menu's Programs", std::string(programs) + "\\" + preset, programs},
        {"cancelled", "", "unchanged"},
    };
    Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetDlgItemTextA(dialog_, IDC_SC_FOLDER, "unchanged");
        ChooserScript script = {c.typed, "", "", false};
        HANDLE thread = CreateThread(NULL, 0, AnswerChooser, &script, 0, NULL);
        PressButton(dialog_, IDC_SC_BROWSE_FOLDER);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        ASSERT_TRUE(script.seen) << "no chooser titled " << kFolderChooserTitle;
        EXPECT_EQ(std::string(script.initialFolder), DesktopFolder());
        EXPECT_EQ(std::string(script.presetName), preset);
        EXPECT_EQ(FieldText(dialog_, IDC_SC_FOLDER), c.field);
    }
}

struct CloseScript {
    int way;
    bool seen;
};

DWORD WINAPI CloseDialog(void* parameter)
{
    CloseScript* script = (CloseScript*)parameter;
    HWND dialog = WaitForWindow("デイストップにショートカットを作成する");
    script->seen = dialog != NULL;
    if (!dialog) {
        // Not captioned as expected: close whatever dialog came, so the
        // test fails instead of hanging.
        dialog = FindWindowA("#32770", NULL);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return 0;
    }
    switch (script->way) {
    case 0:  // the 終了 button
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, (LPARAM)GetDlgItem(dialog, IDCANCEL));
        break;
    case 1:  // Escape in the message field, which has the focus
        PostMessageA(GetDlgItem(dialog, IDC_SC_MESSAGE), WM_KEYDOWN, VK_ESCAPE, 0);
        break;
    default:  // the close box
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
    return 0;
}

TEST_F(ShortcutDialog, ModalDialogEndsWithTwoByButtonEscapeAndCloseBox)
{
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        CloseScript script = {way, false};
        HANDLE thread = CreateThread(NULL, 0, CloseDialog, &script, 0, NULL);
        INT_PTR result = DialogBoxParamA(m_hInstance, MAKEINTRESOURCEA(IDD_SHORTCUT), NULL,
                                         ShortcutDlgProc, 0);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        EXPECT_TRUE(script.seen) << "no window captioned as the template says";
        EXPECT_EQ(result, 2);
    }
}

}  // namespace
