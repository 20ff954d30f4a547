// The ANSI code page as the library's ANSI exports meet it: the double-byte
// test for cutting texts, and the conversion of their texts into the UTF-16
// that the wide forms, and the system underneath, work with.
#pragma once
#include <windows.h>

// True when byte is the lead byte of a double-byte character in the ANSI
// code page.
bool IsLeadByteOfActiveCodePage(unsigned char byte);

// The longest path the system's own ANSI file functions take: they convert
// into a buffer of this many UTF-16 units, terminator included, and refuse a
// longer path. An ANSI export that converts with this bound keeps their
// results for over-long paths.
const int kAnsiFilePathUnits = MAX_PATH + 1;

// A UTF-16 copy of an ANSI text (converted with the ANSI code page) on the
// process heap, freed when it goes. A null text gives a null copy, which is
// no failure; `failed` says the text could not be had: it needed more than
// maxUnits UTF-16 units with its terminator (maxUnits 0: no bound), it did
// not convert, or memory ran out.
struct WideCopy {
    WCHAR* text;
    bool failed;
    WideCopy(const char* ansi, int maxUnits);
    ~WideCopy();
    WideCopy(const WideCopy&) = delete;
    WideCopy& operator=(const WideCopy&) = delete;
};
