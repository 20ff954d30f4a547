// The list editor's working copy of the clip list, as data. Each item is
// either a line of the file as the editor loaded it, unedited (its exact
// bytes stay in the loaded model), or an entry the user made (its text, in
// the code page it was composed in). The editor's list box only shows the
// items; every command edits them here, and a save writes them through the
// functions below. Platform-free: the conversions a save needs come in
// through a ClipCodec, so tests and fuzzers run every decision natively.
#pragma once

#include "clip_list_model.h"

struct ClipEditItem {
    int line;      // index of the loaded line it stands for; -1 for an entry
    char* text;    // an entry's bytes, terminated; null for a line
    int length;    // an entry's bytes, without the terminator
    int codePage;  // an entry's code page (932 or UTF-8)
};

struct ClipEditList {
    ClipListModel loaded;  // the file as read: the lines' bytes, and what a save compares
    ClipEditItem* items;   // in list order
    int count;
    int capacity;
    TextFileEncoding encoding;  // what a save writes: the file's, or UTF-8 once chosen
};

// An empty list: nothing loaded, no items, code page 932.
void StartClipEditList(ClipEditList* list);
// Takes the loaded model over (`loaded` is left empty): one item for each of
// its lines, in file order. False when the memory cannot be had; then
// `loaded` is as it was and the list empty.
bool OpenClipEditList(ClipEditList* list, ClipListModel* loaded);
void FreeClipEditList(ClipEditList* list);
// The code page the loaded lines are in.
int LoadedCodePage(const ClipEditList* list);

// The edits. Each is false, with nothing changed, when `at` names no place
// for it or the memory cannot be had. An entry's text is copied.
// Inserts before item `at`; `at` == count appends.
bool InsertClipEntry(ClipEditList* list, int at, const char* text, int length, int codePage);
bool OverwriteClipEntry(ClipEditList* list, int at, const char* text, int length, int codePage);
bool DeleteClipItem(ClipEditList* list, int at);
// Swaps items `at` - 1 and `at`; a move down is the move up of the next.
bool MoveClipItemUp(ClipEditList* list, int at);

// The bytes an item stands for: a line's whole bytes (not terminated) or an
// entry's text, with their code page.
const char* ClipItemBytes(const ClipEditList* list, int at, int* length, int* codePage);
// Bytes of the text the item shows and reads as: a line up to a zero byte
// and at most kClipShownMax bytes, an entry whole.
int ClipItemShownLength(const ClipEditList* list, int at);

// Exact conversion of a text between code pages 932 and UTF-8: every
// character decoded without a stand-in and encoded back to the same bytes.
// False when the bytes are no such text or memory cannot be had; the result
// is malloc'ed (caller frees) and terminated.
struct ClipCodec {
    bool (*convert)(const char* bytes, int length, int fromCodePage, int toCodePage, char** out,
                    int* outLength);
};

// The unedited lines that block a move of a code page 932 list to UTF-8:
// lines whose bytes are no text that converts exactly, and lines whose text
// fits kClipShownMax bytes in code page 932 but not in UTF-8, which would
// show and copy cut. How many of each, and the first of either (-1: none).
struct Utf8Blockers {
    int noText;
    int tooLong;
    int first;
};
Utf8Blockers FindUtf8Blockers(const ClipEditList* list, const ClipCodec* codec);

enum ClipFileBuild {
    kBuildDone = 0,       // `file` holds the bytes to write
    kBuildEmpty = 1,      // no items: an emptied list is never written
    kBuildNeedsUtf8 = 2,  // an entry holds a character the encoding lacks
    kBuildFailed = 3,     // memory, a conversion, or a list never to be written (UTF-16)
};

// The file bytes the list makes in list->encoding: the encoding's mark, then
// each item with its CR LF. An unedited line is its exact bytes, converted
// only when a code page 932 list moves to UTF-8 (the caller has asked
// FindUtf8Blockers first); an entry its text, in that encoding. On any
// result but kBuildDone, `file` is freed.
ClipFileBuild BuildClipFile(const ClipEditList* list, const ClipCodec* codec, ClipFileBytes* file);

// Each item's bytes as BuildClipFile writes them, as a table of lines into
// `file`'s bytes (so they can be compared line by line with what is on disk
// now). `lines` is malloc'ed, `*count` lines, when the result is kBuildDone.
struct ClipFileLine {
    int offset;
    int length;
};
ClipFileBuild BuildClipFileLines(const ClipEditList* list, const ClipCodec* codec,
                                 ClipFileBytes* file, ClipFileLine** lines, int* count);
