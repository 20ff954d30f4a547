// Splitting the clip list file into lines, a chunk at a time, in a fixed
// read window: memory use never grows with the file or with a line.
//
// Only CR LF ends a line; a lone CR or LF is an ordinary character. Text
// after the last CR LF is not a line and is never handed out. A zero byte
// ends what is taken from its chunk (the rest of that chunk is dropped).
//
// Lines of up to kClipLineMax bytes come out whole. A longer line comes out
// as its first kClipLineMax bytes, less the start of a character that the
// cut would split; the rest of it, up to its CR LF, is skipped. The
// lines after it are not disturbed. The limit is the program's text size:
// an item can then always be read back into a 1024-byte buffer.
#pragma once

#include "text_encoding.h"

enum {
    kClipChunkSize = 127,   // bytes the loader reads at a time
    kClipWindowSize = 1024, // the read window, terminator included
    kClipLineMax = kClipWindowSize - 1,
};

// Receives one line, zero-terminated, without its CR LF. The text is only
// valid during the call.
typedef void (*ClipLineSink)(const char* line, void* context);

struct ClipLineSplitter {
    char window[kClipWindowSize]; // text not yet split, zero-terminated
    int used;                     // bytes in window
    int skipping;                 // 1 while the rest of an over-long line is dropped
    int skippedCR;                // 1 when the last byte looked at while skipping was CR
    int skippedBytes;             // bytes dropped while skipping, counted up to 2
    int codePage;                 // the file's: where a cut line may end
};

// A line longer than the window is cut on a character boundary of codePage.
void StartClipLines(ClipLineSplitter* splitter, int codePage = kCodePage932);

// Takes `count` bytes of a chunk and hands every line that is now complete
// to sink, in order.
void FeedClipLines(ClipLineSplitter* splitter, const char* chunk, int count,
                   ClipLineSink sink, void* context);
