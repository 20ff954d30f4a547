// The clip list file ClipData.txt beside the program in the windows: the
// loader fills a combo box or a list box from the file's model
// (clip_list_model.h) and the save writes a list box back through it.
//
// The controls hold UTF-16; a line's bytes are the entry, whatever they
// are. So every item read from the file shows the text its line derives
// (decoded in the file's code page) and keeps its line as its item data:
// whoever reads the item reads the line's bytes, and a save writes them
// back exactly. Items the user composed have no item data and stand for
// their text.
#pragma once
#include <windows.h>

#include "clip_list_model.h"
#include "heap_text.h"
#include "text_encoding.h"

enum ClipListKind { kComboBox = 0, kListBox = 1 };

// "%s\%s" from m_ExeDir and "ClipData.txt", in UTF-8, into path (room for
// kPathBytes). False, with path empty, when the program's own path could
// not be had whole: then there is no list to read or write.
bool GetClipListPath(char* path);
enum ClipListLoadResult {
    kLoadNotOpened = 0,   // cannot be opened (or is missing: the caller asks
                          // which): the control is left untouched
    kLoadDone = 1,
    kLoadUnsupported = 2, // UTF-16: not read; the control is left untouched
    kLoadPartial = 3,     // a read failed in the middle: the lines before it
                          // are in the control, and the list is not whole
    kLoadTooLarge = 4,    // more than 1 GiB, or more than the memory for its
                          // bytes or its line table: not read; the control
                          // is left untouched
};

// Reads the file at `path` (UTF-8), opened so that it keeps out no other
// program (read, write and delete shared), into a new model and fills a
// combo box (kind 0) or
// a list box (kind 1) with its lines, in file order, after emptying it (a
// combo box's edit field too). The items point into the model: `model`
// receives it, and the one it held before is freed, only once the control
// no longer shows that one. Otherwise the control and `model` stay as they
// were.
ClipListLoadResult LoadClipList(HWND control, const char* path, ClipListKind kind,
                                ClipListModel* model);

// Moves an item's line to another item (a move in the editor is an insert
// and a delete): `to` gets it, `from` no longer has it.
void MoveItemLine(HWND control, ClipListKind kind, int from, int to);

// An item as the bytes it stands for and their code page.
struct ItemText {
    HeapText memory;
    int length = 0;
    int codePage = kCodePage932;
    const char* Bytes() const { return memory.Bytes(); }
};

// Reads item `index` as the program's texts take it, zero-terminated and at
// most kClipShownMax bytes: the shown part of its line (in listCodePage,
// the code page its list was read in); else its text in listCodePage when
// that holds it exactly, else in UTF-8. False when there is no such item
// or the memory cannot be had.
bool ReadItemText(HWND control, ClipListKind kind, int index, int listCodePage, ItemText* item);

// The same item as shown, UTF-16, in a block.
bool ReadItemWide(HWND control, ClipListKind kind, int index, HeapText* text, int* units);

// The lines of a list box whose bytes are no text in code page 932 (so a
// list moving to UTF-8 has no character to write for them): how many, and
// the index of the first in *first (-1 when none).
int CountNoTextLines(HWND listBox, int* first);

enum ClipListSaveResult {
    kSaveFailed = -1,
    kSaveNothing = 0,
    kSaveWritten = 1,
    kSaveNotStorable = 2, // an item has a character the encoding lacks
    kSaveWrittenOldKept = 3,  // written; the old list's copy could not be
                              // deleted and is at `left`
    kSaveFailedListMoved = 4, // failed half way: the list's name holds
                              // nothing, the old list is at `left`
};

// Writes the items of a list box to the file in `encoding` (a UTF-8 mark
// when it is kEncodingUtf8Bom), each with its CR LF, in list order: an item
// read from the file as exactly its line's bytes (converted only when the
// list moves from code page 932 to UTF-8), a composed one as its text
// (never an empty one). No items: nothing written (kSaveNothing). A
// character that `encoding` cannot store is never replaced: nothing is
// written (kSaveNotStorable). The file is replaced as list_file_replace.h
// says; on a failure the old file stays as it was (kSaveFailed), or, when
// even putting it back failed, is named in `left` (kSaveFailedListMoved).
// `left` (room for MAX_PATH units, or null) names the copy the last two
// results leave behind.
ClipListSaveResult SaveClipList(HWND listBox, const char* path, int listCodePage = kCodePage932,
                                TextFileEncoding encoding = kEncoding932,
                                WCHAR* left = nullptr);
