#include "clip_entry.h"

#include <string.h>

#include "app_state.h"
#include "bounded_text.h"

static const char* SkipBlanksThenQuotes(const char* at)
{
    while (*at == ' ') ++at;
    while (*at == '"') ++at;
    return at;
}

// Length of the message or path that starts at `at`: up to the next double
// quote or the end. A double quote cannot be part of it; there is no escape.
static int ValueLength(const char* at)
{
    const char* quote = strchr(at, '"');
    return quote ? (int)(quote - at) : (int)strlen(at);
}

int ExtractClipText(const char* entry, char* text, int textSize, int codePage)
{
    int isFile = 0;
    const char* at = entry;
    if (entry[0] == '"') {
        // A leading quote makes an untitled message whatever follows, and
        // blanks after it belong to the message.
        at = entry + 1;
        while (*at == '"') ++at;
    } else {
        const char* marker = strstr(entry, "/=");
        if (marker) {
            at = marker + 2;
        } else if ((marker = strstr(entry, "/f=")) != nullptr) {
            at = marker + 3;
            isFile = 1;
        }
        at = SkipBlanksThenQuotes(at);
    }
    CopyText(text, textSize, at, ValueLength(at), codePage);
    return isFile;
}

void SplitClipEntry(const char* entry, char* title, int titleSize,
                    char* message, int messageSize, int codePage)
{
    const char* at = entry;
    CopyText(title, titleSize, "");
    CopyText(message, messageSize, "");

    // No leading-quote test here: the markers are searched in the whole
    // entry, also inside a quoted message.
    const char* marker = strstr(entry, "/=");
    if (marker) {
        CopyText(title, titleSize, entry, (int)(marker - entry), codePage);
        at = marker + 2;
    } else if ((marker = strstr(entry, "/f=")) != nullptr) {
        CopyText(title, titleSize, entry, (int)(marker - entry), codePage);
        CopyText(message, messageSize, "/f=");
        at = marker + 3;
    }
    at = SkipBlanksThenQuotes(at);
    AppendText(message, messageSize, at, ValueLength(at), codePage);
}

bool IsFileMessage(const char* message)
{
    return strncmp(message, "/f=", 3) == 0;
}

// Room for the longest entry that two texts of a field's size make whole:
// 1023 bytes of title, "/f=\"", 1023 bytes of path and the closing quote.
enum { kWholeEntrySize = 2 * kTextSize + 8 };

// ComposeClipEntry into room for `size` bytes.
static int ComposeEntryInto(const char* title, const char* message, char* entry, int size,
                            int codePage)
{
    if (message[0] == '\0') return 0;

    const bool isFile = IsFileMessage(message);
    const char* body = isFile ? message + 3 : message;

    // Everything before the body: the title with its marker, or just the
    // opening quote (an untitled file reference keeps its "/f=").
    entry[0] = '\0';
    if (title[0] != '\0' || isFile) {
        AppendText(entry, size, title, -1, codePage);
        AppendText(entry, size, isFile ? "/f=\"" : "/=\"");
    } else {
        AppendText(entry, size, "\"");
    }

    // When the entry would be longer than its room, the body is shortened,
    // so that the entry still ends in its closing quote and reads back as
    // the same kind of entry; only a head that alone fills the room leaves
    // no body and no closing quote.
    int used = (int)strlen(entry);
    int room = size - 1 - used - 1;
    if (room >= 0) {
        AppendText(entry, used + room + 1, body, -1, codePage);
        AppendText(entry, size, "\"");
    }
    return 1;
}

int ComposeClipEntry(const char* title, const char* message, char* entry, int codePage)
{
    return ComposeEntryInto(title, message, entry, kTextSize, codePage);
}

// True when the entry that title and message make is longer than the 1023
// bytes of an entry: measured on the entry itself, composed whole into room
// for more (texts longer than a field still come out longer than 1023).
static bool ComposesTooLong(const char* title, const char* message, int codePage)
{
    char whole[kWholeEntrySize];
    ComposeEntryInto(title, message, whole, kWholeEntrySize, codePage);
    return strlen(whole) > (size_t)kTextSize - 1;
}

// The first marker that a text holds, or null.
static const char* MarkIn(const char* text)
{
    if (strstr(text, "/=")) return "/=";
    if (strstr(text, "/f=")) return "/f=";
    return nullptr;
}

static bool ReadsBackWhole(const char* title, const char* message, const char* entry,
                           int codePage)
{
    char readTitle[kTextSize];
    char readMessage[kTextSize];
    SplitClipEntry(entry, readTitle, kTextSize, readMessage, kTextSize, codePage);
    if (strcmp(readTitle, title) != 0 || strcmp(readMessage, message) != 0) return false;

    const int isFile = IsFileMessage(message) ? 1 : 0;
    char text[kTextSize];
    if (ExtractClipText(entry, text, kTextSize, codePage) != isFile) return false;
    return strcmp(text, message + 3 * isFile) == 0;
}

EntryFault CheckComposedEntry(const char* title, const char* message, const char* entry,
                              int codePage)
{
    // Only CR LF ends a line of the list; a lone CR or LF stays inside one.
    if (strstr(title, "\r\n") || strstr(message, "\r\n")) return {kEntryLineBreak, "\r\n"};
    // ComposeClipEntry has cut such an entry to fit.
    if (ComposesTooLong(title, message, codePage)) return {kEntryTooLong, nullptr};
    if (ReadsBackWhole(title, message, entry, codePage)) return {kEntryStoredWhole, nullptr};

    // It does not come back: name the character that the syntax took for
    // structure, most telling first.
    const bool isFile = IsFileMessage(message);
    const char* body = isFile ? message + 3 : message;
    if (strchr(body, '"')) return {kEntryQuoteInMessage, "\""};
    if (const char* mark = MarkIn(title)) return {kEntryMarkInTitle, mark};
    if (title[0] == '"') return {kEntryQuoteOpensTitle, "\""};
    if (!isFile && title[0] == '\0') {
        if (const char* mark = MarkIn(message)) return {kEntryMarkNeedsTitle, mark};
    }
    if (isFile && strstr(body, "/=")) return {kEntryMarkInPath, "/="};
    return {kEntryNotReadBack, nullptr};
}
