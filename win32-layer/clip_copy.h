// Turning an entry into clipboard contents: the message, or the whole
// contents of the referenced file. No windows are shown here; the main
// dialog's copy command (and the one-click start) word the outcome.
#pragma once
#include <windows.h>

#include "text_encoding.h"

enum CopyResult {
    kCopyDone = 0,
    kCopyNothing,          // no text (empty entry, "/f=" without a path)
    kCopyFileNotFound,     // missing, empty (or a mark alone), a folder, or cannot be opened
    kCopyNoMemory,         // no block for the text (or a file of 2 GiB or more)
    kCopyReadFailed,       // the file changed, or a writer held it, after its size was taken
    kCopyClipboardFailed,  // another program held the clipboard, or it refused
};

// Takes the text or path out of the entry (bytes in codePage) and puts it on
// the clipboard with `owner`, a window of the program's own, as the
// clipboard's owner (without one, kCopyClipboardFailed):
//   CF_UNICODETEXT  the text itself;
//   CF_TEXT         the same bytes as the entry gave for a code page 932
//                   text (a file's bytes unchanged, with 10 zero bytes
//                   after them), else the closest code page 932 form;
//   CF_LOCALE       Japanese (0x0411).
// A file in UTF-8 or in UTF-16 with its mark (either byte order), as
// DetectEncoding judges it, the same as for the clip list, is copied as the
// text it holds; any other file as code page 932 bytes. A file that holds a mark
// and nothing more is empty: kCopyFileNotFound. The clipboard is tried
// for about half a second.
CopyResult CopyEntry(const char* entry, int codePage, HWND owner);
