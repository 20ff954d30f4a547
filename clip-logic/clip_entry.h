// Clip entry syntax: one line of the clip list, an optional title and a
// message or a file reference.
//
//   "Good morning"               untitled message
//   Greeting/="Good morning"     titled message
//   /f="C:\memo.txt"             untitled file reference
//   Memo/f="C:\memo.txt"         titled file reference
//   Good morning                 plain text, read as an untitled message
//
// All searches are byte-wise. Every marker and stop character starts with a
// byte below 0x40, which is never the trail byte of a code page 932
// character nor any byte of a multi-byte UTF-8 character, so byte-wise
// matching never splits a character. The code page only decides where a
// text too long for its buffer is cut.
#pragma once

#include "text_encoding.h"

// True when a message, as the editor's message field and the shortcut
// maker's message field hold it, is a file reference: "/f=" followed by the
// path, the marker at its very start (the form SplitClipEntry gives).
bool IsFileMessage(const char* message);

// Gives the text to copy (a message, or the path of a file) and returns the
// file flag, 1 for a file reference. The result is never longer than the
// entry; it is cut to textSize - 1 bytes when the buffer is smaller.
int ExtractClipText(const char* entry, char* text, int textSize,
                    int codePage = kCodePage932);

// Gives title and message; a file reference comes out as "/f=" and the bare
// path. Both are cut to their buffer sizes.
void SplitClipEntry(const char* entry, char* title, int titleSize,
                    char* message, int messageSize, int codePage = kCodePage932);

// Composes an entry line from a title and a message into entry (room for
// 1024 bytes). Returns 0, leaving entry untouched, when the message is
// empty: there is no entry then. Otherwise returns 1. An entry longer than
// 1023 bytes is cut to fit (its body shortened, the closing quote kept);
// CheckComposedEntry says so.
int ComposeClipEntry(const char* title, const char* message, char* entry,
                     int codePage = kCodePage932);

// Why an entry composed from a title and a message would not give them back.
// The format has no escape, so a character that the syntax reads as
// structure cannot be stored inside a title or a message.
enum EntryFaultKind {
    kEntryStoredWhole = 0,  // the list reads back exactly what was typed
    kEntryLineBreak,        // CR LF, which ends a line of the list file
    kEntryTooLong,          // more than the 1023 bytes of an entry
    kEntryMarkInTitle,      // "/=" or "/f=" in the title
    kEntryQuoteOpensTitle,  // a title beginning with a double quote
    kEntryQuoteInMessage,   // a double quote in the message or path
    kEntryMarkNeedsTitle,   // "/=" or "/f=" in a message without a title
    kEntryMarkInPath,       // "/=" in the path of a file reference
    kEntryNotReadBack,      // any other difference
};

struct EntryFault {
    EntryFaultKind kind;
    const char* mark;  // the character or marker at fault, or null
};

// Reads an entry that ComposeClipEntry made from title and message back as
// the list file, the copy and the editor read it (its lines, then
// ExtractClipText and SplitClipEntry), and says whether title and message
// come back exactly, and if not, why. The length limit is checked on the
// entry as composed, before ComposeClipEntry cuts it to fit: title and
// message are to be whole, never texts already cut to a field's size.
EntryFault CheckComposedEntry(const char* title, const char* message, const char* entry,
                              int codePage = kCodePage932);
