// The clip list file ClipData.txt beside the program: one entry a line,
// every line ended by CR LF.
#pragma once
#include <windows.h>

enum ClipListKind { kComboBox = 0, kListBox = 1 };

// "%s\%s" from m_ExeDir and "ClipData.txt", into path (room for 1024 bytes).
void GetClipListPath(char* path);

// Fills a combo box (kind 0) or a list box (kind 1) with the lines of the
// file, in file order, after emptying it (a combo box's edit field too).
// Only CR LF ends a line; text after the last CR LF is not read; an empty
// line gives an empty item. A line of more than 1023 bytes is kept as its
// first 1023 bytes, cut on a character boundary (clip_lines.h). Memory use
// is fixed, whatever the size of the file. Returns 0, leaving the control
// untouched, when the file cannot be opened; otherwise 1.
int LoadClipList(HWND control, const char* path, int kind);

// One list box item read whole as code page 932 text, in a movable block
// sized from the item's own length, so that items of any length are read
// intact and never overrun a buffer. The guard releases the block on every
// path.
struct ListItemText {
    HGLOBAL block = nullptr;
    void* pointer = nullptr;
    ~ListItemText();
    const char* Text() const { return static_cast<const char*>(pointer); }
};

// Reads item `index` of a list box. False when there is no such item, or
// memory or the conversion failed.
bool ReadListItem(HWND list, int index, ListItemText* item);

enum ClipListSaveResult { kSaveFailed = -1, kSaveNothing = 0, kSaveWritten = 1 };

// Writes the items of a list box to the file: non-empty items, each with its
// CR LF, in list order. No items: nothing written (kSaveNothing). The file
// is replaced in one step; on any failure the old file stays as it was and
// the result is kSaveFailed.
int SaveClipList(HWND listBox, const char* path);
