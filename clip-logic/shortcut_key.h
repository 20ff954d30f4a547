// The shortcut key a shortcut file carries: Windows starts a shortcut on the
// desktop or in the Start menu when its key is pressed. A key is one 16-bit
// value, as the hot key control and the shell link hand it over: the virtual
// key code in the low byte, the modifier flags below in the high byte; 0 is
// no key.
#pragma once

enum {
    kKeyShift = 0x01,
    kKeyControl = 0x02,
    kKeyAlt = 0x04,
    kKeyExtended = 0x08,  // which of two physical keys gave the virtual key
};

enum ShortcutKeyVerdict {
    kNoShortcutKey,       // nothing to write
    kShortcutKeyUsable,   // written as it is
    kShortcutKeyNeedsCtrlOrAlt,
};

// What the dialog makes of a key. A key without Ctrl or Alt is one that
// other programs take as typing (a letter, Shift and a letter), so it is
// refused; modifiers without a key are no key.
ShortcutKeyVerdict JudgeShortcutKey(unsigned key);

// True when two keys start the same shortcut: the same virtual key with the
// same Shift, Ctrl and Alt. The extended bit only tells which of two keys
// gave the same virtual key (an arrow key or the keypad's), so it does not
// tell the keys apart.
bool IsSameShortcutKey(unsigned a, unsigned b);
