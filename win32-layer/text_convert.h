// Conversions between the program's texts (bytes in code page 932 or UTF-8,
// text_encoding.h) and the UTF-16 that windows, file names and the
// clipboard take. Explicit code pages only: the system's own ANSI code page
// never decides what a text means.
#pragma once
#include <windows.h>

#include "heap_text.h"
#include "movable_block.h"
#include "text_encoding.h"

// UTF-16 of `length` bytes in codePage into out, which has room for outSize
// units; always terminated when outSize > 0. Returns the units written
// (without the terminator), or -1 when they do not fit. Bytes that make no
// character come out as a stand-in character: the text is for showing, and
// whoever needs the bytes keeps them.
int DecodeText(const char* bytes, int length, int codePage, WCHAR* out, int outSize);

// The same into a new block of the size needed: movable for the clipboard,
// from the heap for a scratch text. False when the memory cannot be had.
// units receives the length without the terminator.
bool DecodeToBlock(const char* bytes, int length, int codePage, MovableBlock* out,
                   int* units);
bool DecodeToBlock(const char* bytes, int length, int codePage, HeapText* out, int* units);

// The bytes of `length` UTF-16 units (-1: up to the terminator) in codePage,
// exactly: -1 when a character has no form there (an emoji in code page
// 932, a lone surrogate) or the bytes do not fit outSize - 1. Terminated.
int EncodeText(const WCHAR* wide, int length, int codePage, char* out, int outSize);

// The same into a new block of the size needed; false when the text has no
// exact form there or the memory cannot be had.
bool EncodeToBlock(const WCHAR* wide, int length, int codePage, HeapText* out, int* bytes);

// The closest code page 932 form, into a new block, terminated: characters
// it lacks become '?'. Only for readers that take nothing else (CF_TEXT).
bool EncodeBestFit932(const WCHAR* wide, int length, MovableBlock* out);

// The code page a group of texts is kept in: 932 when every one of them
// converts exactly, else UTF-8. Null entries are skipped.
int ChooseCodePage(const WCHAR* const* texts, int count);

// True when decoding the bytes gives `wide` and encoding `wide` gives the
// bytes back: the shown text stands for the bytes exactly.
bool RoundTripsExactly(const char* bytes, int length, int codePage, const WCHAR* wide,
                       int units);

// Copies at most maxUnits units of src to dst (room for maxUnits + 1),
// never splitting a surrogate pair (CopyWideText, wide_text.h).
void CopyWide(WCHAR* dst, const WCHAR* src, int maxUnits);

// A path in UTF-8 as UTF-16 for a system call, into room for MAX_PATH
// units. False when it is longer: such a path is refused, never cut.
bool PathToWide(const char* path, WCHAR* wide);
// A UTF-16 path into a UTF-8 buffer of `size` bytes; false when it does
// not fit (nothing is cut).
bool PathFromWide(const WCHAR* wide, char* path, int size);
