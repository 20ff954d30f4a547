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

#include "clip_list_edit.h"
#include "clip_list_model.h"
#include "heap_text.h"
#include "list_save.h"
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

// Reads the file at `path` (UTF-8) into a new model, opened so that other
// readers may read it too but no writer. `model` receives it only on
// kLoadDone or kLoadPartial (the one it held before is freed); otherwise it
// stays as it was.
ClipListLoadResult ReadClipListFile(const char* path, ClipListModel* model);

// The UTF-16 text a list item shows for `length` bytes in codePage, into
// `shown` (room for kClipShownMax + 1 units); the units written. A byte
// that makes no character shows as a stand-in of its own and never takes
// the next character with it.
int ShowItemText(const char* bytes, int length, int codePage, WCHAR* shown);

// Adds the line as the control's new last item, showing its text (as
// ShowItemText makes it of the shown part) and, where that text does not
// give the line's bytes back, pointing to the line. False when the control
// refused it (it ran out of memory).
bool AddClipLine(HWND control, ClipListKind kind, const ClipLine* line, int codePage);

// The UTF-16 text a line shows as an item, into `shown` (room for
// kClipShownMax + 1 units); the units written.
int ShowLineText(const ClipLine* line, int codePage, WCHAR* shown);

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

// The system's exact conversion between code pages 932 and UTF-8, for the
// list's save decisions (clip_list_edit.h, list_save.h).
extern const ClipCodec kSystemCodec;

// Asks the user one of the save's questions and gives the answer.
typedef ListSaveAnswer (*ListSaveAsker)(ListSaveQuestion question, void* context);

// The editor's save, a loop around list_save.h's decision: reads the file
// at `path` as it is now, decides, asks through `ask`, writes (replacing
// the file as list_file_replace.h says, only while it is still as read) and
// feeds the result back, until the decision ends the save. `state` is
// started by the caller (StartListSave) and tells afterwards what the user
// agreed to. `decision` receives the last decision: kStepSay with what to
// say and whether the editor closes, or kStepAsk with the question whose
// answer ended the save (nothing written). With `overwrite` the file is not
// read: the list goes over whatever is there. `left` (room for MAX_PATH
// units, or null) names a copy that kNoticeOldCopyKept,
// kNoticeMergedOldCopyKept or kNoticeLeftAside leaves behind.
void RunListSave(const ClipEditList* list, const char* path, ListSaveAsker ask, void* context,
                 bool overwrite, ListSaveState* state, ListSaveDecision* decision, WCHAR* left);

