#include "clip_lines.h"

#include <string.h>

#include "bounded_text.h"

void StartClipLines(ClipLineSplitter* splitter, int codePage)
{
    splitter->codePage = codePage;
    splitter->window[0] = '\0';
    splitter->used = 0;
    splitter->skipping = 0;
    splitter->skippedCR = 0;
    splitter->skippedBytes = 0;
}

// Hands out every line of the window that ends in CR LF and moves the rest
// to the start. The search may start at `from`: text before it was searched
// already (a CR at the old end is included, to pair with a new LF).
static void SplitWindow(ClipLineSplitter* splitter, int from,
                        ClipLineSink sink, void* context)
{
    char* window = splitter->window;
    int used = splitter->used;
    int start = 0;
    int at = from;
    while (at + 1 < used) {
        const char* cr = (const char*)memchr(window + at, '\r', (size_t)(used - 1 - at));
        if (!cr) break;
        at = (int)(cr - window);
        if (window[at + 1] != '\n') {
            ++at;  // a lone CR is part of the line
            continue;
        }
        window[at] = '\0';
        sink(window + start, context);
        start = at + 2;
        at = start;
    }
    if (start > 0) {
        memmove(window, window + start, (size_t)(used - start));
        used -= start;
    }
    window[used] = '\0';
    splitter->used = used;
}

// The CR LF of an over-long line has come: hand out what the window kept of
// it and start afresh.
static void FinishLongLine(ClipLineSplitter* splitter, ClipLineSink sink, void* context)
{
    int length;
    if (splitter->skippedBytes == 0) {
        // The LF came first: the CR was the window's last byte, and the
        // line (one byte shorter than the window) is whole.
        length = splitter->used - 1;
    } else if (splitter->skippedBytes == 1) {
        // Only the CR was dropped: the line filled the window exactly.
        length = splitter->used;
    } else {
        // The window holds the start of a longer line: a character that
        // the window's end cut short is left out.
        length = CompleteLength(splitter->window, splitter->used, splitter->codePage);
    }
    splitter->window[length] = '\0';
    sink(splitter->window, context);
    StartClipLines(splitter, splitter->codePage);
}

static int CountUpToTwo(int count, int more)
{
    return count + more >= 2 ? 2 : count + more;
}

void FeedClipLines(ClipLineSplitter* splitter, const char* chunk, int count,
                   ClipLineSink sink, void* context)
{
    const void* zero = memchr(chunk, '\0', (size_t)count);
    if (zero) count = (int)((const char*)zero - chunk);

    int at = 0;
    while (at < count) {
        if (splitter->skipping) {
            // Drop bytes up to and including the next LF that follows a CR.
            const char* lf = (const char*)memchr(chunk + at, '\n', (size_t)(count - at));
            if (!lf) {
                splitter->skippedBytes = CountUpToTwo(splitter->skippedBytes, count - at);
                splitter->skippedCR = chunk[count - 1] == '\r';
                break;
            }
            int end = (int)(lf - chunk);
            int afterCR = end > at ? chunk[end - 1] == '\r' : splitter->skippedCR;
            splitter->skippedBytes = CountUpToTwo(splitter->skippedBytes, end - at);
            at = end + 1;
            if (afterCR) {
                FinishLongLine(splitter, sink, context);
            } else {
                splitter->skippedBytes = CountUpToTwo(splitter->skippedBytes, 1);
                splitter->skippedCR = 0;
            }
            continue;
        }

        // Take as much of the chunk as the window holds; the rest follows
        // once lines have been split off.
        int room = kClipLineMax - splitter->used;
        int take = count - at < room ? count - at : room;
        int from = splitter->used > 0 ? splitter->used - 1 : 0;
        memcpy(splitter->window + splitter->used, chunk + at, (size_t)take);
        splitter->used += take;
        at += take;
        SplitWindow(splitter, from, sink, context);

        if (splitter->used == kClipLineMax) {
            // Full, and no CR LF in it: one line longer than the window.
            // Keep its start and skip the rest; it is handed out only when
            // its CR LF comes, so text after the last CR LF stays unread.
            splitter->skipping = 1;
            splitter->skippedCR = splitter->window[kClipLineMax - 1] == '\r';
            splitter->skippedBytes = 0;
        }
    }
}
