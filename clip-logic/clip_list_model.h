// The clip list file ClipData.txt as the program holds it: the file's bytes,
// kept once, its encoding, and its lines, each the exact bytes it was read
// from. Platform-free: the windows fill their controls from it, and a save
// turns the items back into file bytes through it.
//
// Only CR LF ends a line; a lone CR or LF, a zero byte and any other byte
// are part of their line. Every line is an item, the last one too when no
// CR LF follows it (a save then adds one). A byte-order mark is not part of
// the first line. The text an item shows is derived from its line: up to a
// zero byte, at most kClipShownMax bytes, never ending inside a character.
#pragma once

#include <stddef.h>

#include "text_encoding.h"

enum { kClipShownMax = 1023 };

// The list's file name, beside the program.
#define kClipListFileName "ClipData.txt"

struct ClipLine {
    const char* bytes;  // inside the model's kept bytes; not terminated
    int length;         // without the CR LF
};

struct ClipListModel {
    char* bytes;        // the whole file as read
    int size;
    int capacity;
    ClipLine* lines;    // in file order
    int count;
    TextFileEncoding encoding;
};

// An empty model: no bytes, no lines, code page 932.
void StartClipList(ClipListModel* model);
// Room for at least `want` more bytes at the end of the kept bytes, for a
// read straight into it; null when the memory cannot be had (or the file
// would pass 1 GiB, more than any list the program can show).
char* ClipListRoom(ClipListModel* model, int want);
// Counts `got` bytes just written into that room.
void CommitClipListBytes(ClipListModel* model, int got);
// Once every byte is in: finds the encoding and splits the lines. A UTF-16
// file gets no lines (it is not read). False when the line table cannot be
// had: its size would pass what the process can address, or the memory is
// not there. Either way the list is too large for this program.
bool FinishClipList(ClipListModel* model);
// The bytes of a table of `count` lines into *bytes; false when that size
// cannot be counted in a size_t (a 32-bit build wraps at 2^29 lines).
bool ClipLineTableBytes(int count, size_t* bytes);
// The model from bytes held elsewhere (copied), in one call.
bool ReadClipList(ClipListModel* model, const char* bytes, int size);
void FreeClipList(ClipListModel* model);

// Bytes of the text the line shows and reads as, in codePage.
int ClipLineShownLength(const ClipLine* line, int codePage);

// The file bytes that a list of items makes: the encoding's mark, then each
// item with its CR LF.
struct ClipFileBytes {
    char* bytes;
    int size;
    int capacity;
    bool failed;        // memory ran out: the bytes are incomplete
};
void StartClipFile(ClipFileBytes* file, TextFileEncoding encoding);
void AddClipFileLine(ClipFileBytes* file, const char* bytes, int length);
void FreeClipFile(ClipFileBytes* file);
