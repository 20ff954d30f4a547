// UTF-16 texts as fields, the command line and the system hand them over.
// Platform-free: a unit is kept in a wchar_t, 16 bits on Windows and more
// on the host, where the tests run; only values up to 0xFFFF occur.
#pragma once

// What stands for a surrogate without its partner: no code page the
// program keeps texts in can hold such a unit, and refusing the whole text
// for it would lose everything else the user typed.
enum { kReplacementCharacter = 0xFFFD };

// Copies `length` units of src (stopping early at a zero unit) to dst,
// which has room for dstUnits units with the terminator, so at most
// dstUnits - 1 of them. A cut never separates a surrogate pair: the pair
// goes whole or not at all. A surrogate without its partner becomes
// U+FFFD. Always terminates dst when dstUnits > 0; returns the units
// written without the terminator. src and dst may be the same buffer.
int CopyWideText(wchar_t* dst, int dstUnits, const wchar_t* src, int length);
