// The list file shared by two copies of the real Quillan.exe in one folder,
// each with its editor open: neither copy's entry is lost, and the second
// save says that it merged.
#include <gtest/gtest.h>

#include "messages.h"
#include "resource.h"
#include "test_support.h"

namespace {

const int kWindowWait = 20000;

struct Copy {
    ProgramRun run = {};
    HWND editor = nullptr;
};

// Starts a copy, opens its editor and adds `entry` at the end.
void OpenEditorAndAdd(const RunFolder& folder, Copy* copy, const wchar_t* entry)
{
    ASSERT_TRUE(StartProgram(&copy->run, folder, "")) << GetLastError();
    HWND main = WaitForWindow(copy->run, NULL, true, kWindowWait);
    ASSERT_TRUE(main) << "the main window did not appear";
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_EDIT_LIST, BN_CLICKED),
                 (LPARAM)GetDlgItem(main, IDC_EDIT_LIST));
    copy->editor = WaitForWindow(copy->run, "クリップメッセージ編集", false, kWindowWait);
    ASSERT_TRUE(copy->editor) << "the editor did not appear";
    SetDlgItemTextW(copy->editor, IDC_ED_MESSAGE, entry);
    SendMessageW(copy->editor, WM_COMMAND, IDC_ED_ADD, 0);
}

// Saves, answering what the save asks (questions with `answer`); gives the
// boxes it showed.
std::vector<AnsweredBox> Save(Copy* copy, int answer = IDOK)
{
    BoxAnswerer watch = {};
    StartBoxAnswerer(&watch, copy->run.process.dwProcessId, answer);
    PostMessageW(copy->editor, WM_COMMAND, IDOK, 0);
    WaitForWindowGone(copy->editor, kWindowWait);
    return StopBoxAnswerer(&watch);
}

TEST(SharedList, TwoCopiesEachAddAnEntryAndBothStay)
{
    RunFolder folder;
    ASSERT_TRUE(MakeRunFolder(&folder)) << "could not set up " << folder.path;
    const std::string list = folder.path + "\\ClipData.txt";
    ASSERT_TRUE(WriteWholeFile(list, "Alpha\r\n"));
    Copy first, second;
    OpenEditorAndAdd(folder, &first, L"A");
    OpenEditorAndAdd(folder, &second, L"B");
    if (first.editor && second.editor) {
        std::vector<AnsweredBox> boxes = Save(&first);
        EXPECT_TRUE(boxes.empty()) << ShowBoxes(boxes);
        EXPECT_EQ("Alpha\r\n\"A\"\r\n", ReadWholeFile(list));

        boxes = Save(&second);
        ASSERT_EQ(1u, boxes.size()) << ShowBoxes(boxes);
        EXPECT_EQ(kClipListMerged, boxes[0].text);
        EXPECT_FALSE(IsWindow(second.editor)) << "the merged save closes the editor";
        EXPECT_EQ("Alpha\r\n\"A\"\r\n\"B\"\r\n", ReadWholeFile(list));
    }
    FinishProgram(&first.run);
    FinishProgram(&second.run);
    RemoveRunFolder(&folder);
}

// One copy moves the list to UTF-8 (its entry has a character code page
// 932 lacks) while the other edits: the other's save follows the move,
// after asking, and merges; the list keeps its mark and both entries.
TEST(SharedList, OneCopyMovesTheListToUtf8WhileTheOtherEdits)
{
    RunFolder folder;
    ASSERT_TRUE(MakeRunFolder(&folder)) << "could not set up " << folder.path;
    const std::string list = folder.path + "\\ClipData.txt";
    ASSERT_TRUE(WriteWholeFile(list, "Alpha\r\n"));
    Copy first, second;
    OpenEditorAndAdd(folder, &first, L"\U0001F600");
    OpenEditorAndAdd(folder, &second, L"B");
    const std::string mark = "\xEF\xBB\xBF";
    const std::string emoji = "\"\xF0\x9F\x98\x80\"\r\n";
    if (first.editor && second.editor) {
        std::vector<AnsweredBox> boxes = Save(&first, IDYES);
        ASSERT_EQ(1u, boxes.size()) << ShowBoxes(boxes);
        EXPECT_EQ(kClipListUtf8Question, boxes[0].text);
        EXPECT_EQ(mark + "Alpha\r\n" + emoji, ReadWholeFile(list));

        boxes = Save(&second, IDYES);
        ASSERT_EQ(2u, boxes.size()) << ShowBoxes(boxes);
        EXPECT_EQ(kClipListTheyMovedToUtf8, boxes[0].text);
        EXPECT_EQ(kClipListMerged, boxes[1].text);
        EXPECT_EQ(mark + "Alpha\r\n" + emoji + "\"B\"\r\n", ReadWholeFile(list));
    }
    FinishProgram(&first.run);
    FinishProgram(&second.run);
    RemoveRunFolder(&folder);
}

}  // namespace
