// The one-click launcher, end to end: a shortcut made through the dialog
// with a message, /g and /e starts the real program the way the shell would,
// which copies the message and closes again.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

#include "app_state.h"
#include "dialog_driver.h"
#include "test_support.h"

namespace {

// Starts the shortcut as the shell does (target, arguments, working folder)
// over a clipboard holding "before"; gives what the clipboard holds once
// the program has ended, or why there is nothing to compare.
std::string CopiedByStarting(const ShortcutRecord& shortcut)
{
    if (!PutOnClipboard("before")) return "<the clipboard could not be set>";
    ProgramRun run = {};
    if (!StartProcess(&run, shortcut.target, shortcut.arguments, shortcut.workDir)) {
        return "<not started: error " + std::to_string(GetLastError()) + ">";
    }
    int code = WaitForExit(&run, 15000);
    FinishProgram(&run);
    if (code == -1) return "<still running after 15 s>";
    return ClipboardText();
}

// Makes a one-click shortcut named `name` for `message`, on `key`, through
// the dialog in a scratch folder, and reads it back; the folder goes again.
// A message box the dialog showed fails the test.
ShortcutRecord MakeAndRead(const char* name, const char* message, WORD key = 0)
{
    ShortcutRecord shortcut = {};
    ScratchFolder folder("one-click");
    EXPECT_FALSE(folder.path.empty());
    if (folder.path.empty()) return shortcut;
    const std::string linkPath = folder.File(std::string(name) + ".lnk");
    std::vector<AnsweredBox> boxes;
    EXPECT_TRUE(MakeOneClickShortcut(folder.path.c_str(), name, message, &boxes, key));
    EXPECT_TRUE(boxes.empty()) << "unexpected message: " << ShowBoxes(boxes);
    shortcut = ReadShortcut(linkPath.c_str());
    EXPECT_TRUE(shortcut.loaded) << "no readable shortcut at " << linkPath;
    return shortcut;
}

TEST(OneClickLauncher, ShortcutMadeThroughDialogCopiesMessageAndProgramCloses)
{
    SetProgramState();
    ASSERT_NE(GetFileAttributesA(m_ExePath), INVALID_FILE_ATTRIBUTES)
        << "the program is not built beside this test: " << m_ExePath;
    const ShortcutRecord shortcut = MakeAndRead("Good morning", "Good morning", kGoodMorningKey);
    ASSERT_TRUE(shortcut.loaded);
    EXPECT_EQ(shortcut.key, kGoodMorningKey) << "the shortcut key was not written";

    EXPECT_EQ(CopiedByStarting(shortcut), "Good morning") << "started with: " << shortcut.arguments;
}

// A message holding "/=" copies whole from a shortcut made for it: the
// dialog writes it after an empty title, which the copy's entry rules
// take off again.
TEST(OneClickLauncher, MessageHoldingATitleMarkerIsCopiedWhole)
{
    SetProgramState();
    const ShortcutRecord shortcut = MakeAndRead("marker", "a/=b");
    ASSERT_TRUE(shortcut.loaded);
    EXPECT_STREQ("/m=\"/=a/=b\" /g /e", shortcut.arguments);

    EXPECT_EQ(CopiedByStarting(shortcut), "a/=b") << "started with: " << shortcut.arguments;
}

}  // namespace
