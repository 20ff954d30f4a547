#include "shortcut_key.h"

static unsigned VirtualKey(unsigned key) { return key & 0xFF; }
static unsigned Modifiers(unsigned key) { return (key >> 8) & (kKeyShift | kKeyControl | kKeyAlt); }

ShortcutKeyVerdict JudgeShortcutKey(unsigned key)
{
    if (VirtualKey(key) == 0) return kNoShortcutKey;
    if ((Modifiers(key) & (kKeyControl | kKeyAlt)) == 0) return kShortcutKeyNeedsCtrlOrAlt;
    return kShortcutKeyUsable;
}

bool IsSameShortcutKey(unsigned a, unsigned b)
{
    return VirtualKey(a) != 0 && VirtualKey(a) == VirtualKey(b) && Modifiers(a) == Modifiers(b);
}
