// The clip list file ClipData.txt beside the program: one entry a line,
// every line ended by CR LF, in code page 932 or in UTF-8 (with or without
// a byte-order mark), as the user's file is.
//
// The controls hold UTF-16; a line's bytes are the entry, whatever they
// are. So every item shows its line decoded in the file's code page, and an
// item whose shown text would not give its bytes back exactly (duplicate
// codes, invalid sequences, a lone lead byte) also keeps the bytes
// themselves as its item data. Whoever reads an item reads those bytes;
// items the user composed have no such data and stand for their text.
#pragma once
#include <windows.h>

#include "heap_text.h"
#include "text_encoding.h"

enum ClipListKind { kComboBox = 0, kListBox = 1 };

// "%s\%s" from m_ExeDir and "ClipData.txt", in UTF-8, into path (room for
// kPathBytes). False, with path empty, when the program's own path could
// not be had whole: then there is no list to read or write.
bool GetClipListPath(char* path);

enum ClipListLoadResult {
    kLoadNotOpened = 0,   // cannot be opened: the control is left untouched
    kLoadDone = 1,
    kLoadUnsupported = 2, // UTF-16: not read; the control is left untouched
};

// Fills a combo box (kind 0) or a list box (kind 1) with the lines of the
// file at `path` (UTF-8), in file order, after emptying it (a combo box's
// edit field too). Only CR LF ends a line; text after the last CR LF is not
// read; an empty line gives an empty item; a byte-order mark is not part of
// the first line. A line of more than 1023 bytes is kept as its first 1023
// bytes, cut on a character boundary (clip_lines.h). Memory use is fixed,
// whatever the size of the file. `encoding` receives what the file is in.
ClipListLoadResult LoadClipList(HWND control, const char* path, ClipListKind kind,
                                TextFileEncoding* encoding = nullptr);

// Frees the bytes an item kept, when the control deletes it: the owner of
// every control the loader fills passes its WM_DELETEITEM here.
void ForgetItemBytes(const DELETEITEMSTRUCT* item);
// Moves an item's kept bytes to another item (a move in the editor is an
// insert and a delete): `to` gets them, `from` no longer has them.
void MoveItemBytes(HWND control, ClipListKind kind, int from, int to);

// An item as the bytes it stands for and their code page.
struct ItemText {
    HeapText memory;
    int length = 0;
    int codePage = kCodePage932;
    const char* Bytes() const { return memory.Bytes(); }
};

// Reads item `index`: the bytes of its line when it kept them (in
// listCodePage, the code page its list was read in); else its text in
// listCodePage when that holds it exactly, else in UTF-8. False when there
// is no such item or the memory cannot be had.
bool ReadItemText(HWND control, ClipListKind kind, int index, int listCodePage, ItemText* item);

// The same item as shown, UTF-16, in a block.
bool ReadItemWide(HWND control, ClipListKind kind, int index, HeapText* text, int* units);

enum ClipListSaveResult {
    kSaveFailed = -1,
    kSaveNothing = 0,
    kSaveWritten = 1,
    kSaveNotStorable = 2, // an item has a character the encoding lacks
};

// Writes the items of a list box to the file in `encoding` (a UTF-8 mark
// when it is kEncodingUtf8Bom): non-empty items, each with its CR LF, in
// list order; items read in listCodePage. No items: nothing written
// (kSaveNothing). A character that `encoding` cannot store is never
// replaced: nothing is written (kSaveNotStorable). The file is replaced in
// one step: where it is a link, the file it points to; its attributes stay.
// On any failure the old file stays as it was (kSaveFailed).
ClipListSaveResult SaveClipList(HWND listBox, const char* path, int listCodePage = kCodePage932,
                                TextFileEncoding encoding = kEncoding932);
