#include <gtest/gtest.h>

#include "shortcut_key.h"

namespace {

unsigned Key(unsigned virtualKey, unsigned modifiers)
{
    return virtualKey | (modifiers << 8);
}

const unsigned kCtrlAlt = kKeyControl | kKeyAlt;

TEST(ShortcutKey, NeedsCtrlOrAltAndModifiersAloneAreNoKey)
{
    const struct {
        const char* what;
        unsigned key;
        ShortcutKeyVerdict verdict;
    } rows[] = {
        {"none", 0, kNoShortcutKey},
        {"modifiers without a key", Key(0, kCtrlAlt), kNoShortcutKey},
        {"Ctrl+Alt+Q", Key('Q', kCtrlAlt), kShortcutKeyUsable},
        {"Ctrl+F5", Key(0x74, kKeyControl), kShortcutKeyUsable},
        {"Alt+Shift+1", Key('1', kKeyAlt | kKeyShift), kShortcutKeyUsable},
        {"Q", Key('Q', 0), kShortcutKeyNeedsCtrlOrAlt},
        {"Shift+Q", Key('Q', kKeyShift), kShortcutKeyNeedsCtrlOrAlt},
        {"extended arrow alone", Key(0x25, kKeyExtended), kShortcutKeyNeedsCtrlOrAlt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(JudgeShortcutKey(row.key), row.verdict) << row.what;
    }
}

TEST(ShortcutKey, SameKeyIgnoresOnlyTheExtendedBit)
{
    const struct {
        const char* what;
        unsigned a, b;
        bool same;
    } rows[] = {
        {"equal", Key('Q', kCtrlAlt), Key('Q', kCtrlAlt), true},
        {"arrow key and keypad arrow", Key(0x25, kCtrlAlt | kKeyExtended), Key(0x25, kCtrlAlt),
         true},
        {"another key", Key('Q', kCtrlAlt), Key('W', kCtrlAlt), false},
        {"Shift added", Key('Q', kCtrlAlt), Key('Q', kCtrlAlt | kKeyShift), false},
        {"Ctrl alone", Key('Q', kCtrlAlt), Key('Q', kKeyControl), false},
        {"no key is no one's key", 0, 0, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(IsSameShortcutKey(row.a, row.b), row.same) << row.what;
    }
}

}  // namespace
