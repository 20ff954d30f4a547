#include <gtest/gtest.h>

#include "shortcut_key.h"

namespace {

// Each key: what the dialog makes of it, and whether it starts the same
// shortcut as Ctrl+Alt+Q (both ways round).
TEST(ShortcutKey, NeedsCtrlOrAltAndIsTheSameWhateverItsExtendedBit)
{
    const unsigned ctrlAlt = (kKeyControl | kKeyAlt) << 8, q = 'Q' | ctrlAlt;
    const struct {
        const char* what;
        unsigned key;
        ShortcutKeyVerdict verdict;
        bool sameAsQ;
    } rows[] = {
        {"none", 0, kNoShortcutKey, false},
        {"Ctrl+Alt without a key", ctrlAlt, kNoShortcutKey, false},
        {"Ctrl+Alt+Q", q, kShortcutKeyUsable, true},
        {"Ctrl+Alt+Q, extended", q | kKeyExtended << 8, kShortcutKeyUsable, true},
        {"Ctrl+Alt+Shift+Q", q | kKeyShift << 8, kShortcutKeyUsable, false},
        {"Ctrl+Q", 'Q' | kKeyControl << 8, kShortcutKeyUsable, false},
        {"Alt+W", 'W' | kKeyAlt << 8, kShortcutKeyUsable, false},
        {"Q", 'Q', kShortcutKeyNeedsCtrlOrAlt, false},
        {"Shift+Q", 'Q' | kKeyShift << 8, kShortcutKeyNeedsCtrlOrAlt, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(JudgeShortcutKey(row.key), row.verdict) << row.what;
        EXPECT_EQ(IsSameShortcutKey(row.key, q), row.sameAsQ) << row.what;
        EXPECT_EQ(IsSameShortcutKey(q, row.key), row.sameAsQ) << row.what;
    }
}

}  // namespace
