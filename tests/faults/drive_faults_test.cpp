// The real Quillan.exe in a folder that takes no writes: a read-only or a
// full drive, prepared on the Unix side by drive_faults_test.sh, which
// passes the folder in QUILLAN_FAULT_FOLDER. The list loads as usual;
// saving from the editor says it failed and leaves the folder as it was.
#include <gtest/gtest.h>

#include <string>

#include "messages.h"
#include "resource.h"
#include "fault_list.h"
#include "test_support.h"

namespace {

TEST(Drive, SavingWhereNothingCanBeWrittenSaysSoAndKeepsTheList)
{
    char path[MAX_PATH] = "";
    ASSERT_LT(0u, GetEnvironmentVariableA("QUILLAN_FAULT_FOLDER", path, sizeof path))
        << "run by drive_faults_test.sh";
    RunFolder folder = {path};
    std::string list = folder.path + "\\ClipData.txt";
    ASSERT_EQ(kClipData, ReadWholeFile(list));
    std::string names = FolderNames(folder.path);

    ProgramRun run = {};
    ASSERT_TRUE(StartProgram(&run, folder, ""));
    BoxAnswerer watch = {};
    StartBoxAnswerer(&watch, run.process.dwProcessId);
    HWND main = WaitForWindow(run, NULL, true, kWindowWait);
    EXPECT_TRUE(main) << "the main window did not appear";
    if (main) {
        EXPECT_EQ(3u, ComboItems(GetDlgItem(main, IDC_CLIP_COMBO)).size()) << "the list loads";
        PostMessageW(main, WM_COMMAND, IDC_EDIT_LIST, 0);
        HWND editor = WaitForWindow(run, kEditorCaption, false, kWindowWait);
        EXPECT_TRUE(editor) << "the editor did not open";
        if (editor) {
            HWND items = GetDlgItem(editor, IDC_ED_LIST);
            SendMessageW(GetDlgItem(editor, IDC_ED_MESSAGE), WM_SETTEXT, 0, (LPARAM)L"新しい項目");
            SendMessageW(editor, WM_COMMAND, IDC_ED_ADD, 0);
            EXPECT_EQ(4u, ListItemsWide(items).size()) << "the entry was not added";
            PostMessageW(editor, WM_COMMAND, IDOK, 0);
            EXPECT_TRUE(WaitForBoxes(&watch, 1, kWindowWait)) << "no message after the save";
            // Past the message, the save is over once the editor answers.
            WaitForWindowAnswer(editor, kWindowWait);
            EXPECT_TRUE(IsWindow(editor) && IsWindowVisible(editor)) << "the editor closed";
            EXPECT_EQ(4u, ListItemsWide(items).size()) << "the user's edits are kept";
            PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
            WaitForWindowGone(editor, 5000);
        }
        PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(0, WaitForExit(&run, kWindowWait));
    }
    FinishProgram(&run);
    std::vector<AnsweredBox> boxes = StopBoxAnswerer(&watch);
    ASSERT_EQ(1u, boxes.size()) << ShowBoxes(boxes);
    EXPECT_EQ(kTitleFailure, boxes[0].title);
    EXPECT_EQ(kClipListSaveFailed, boxes[0].text);
    EXPECT_TRUE(boxes[0].owned) << "the editor owns its message";
    EXPECT_EQ(kClipData, ReadWholeFile(list)) << "ClipData.txt changed";
    EXPECT_EQ(names, FolderNames(folder.path)) << "something was left in the folder";
}

}  // namespace
