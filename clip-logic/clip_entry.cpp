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

int ComposeClipEntry(const char* title, const char* message, char* entry, int codePage)
{
    if (message[0] == '\0') return 0;

    const char* body = message;
    const char* marker = "/=\"";
    if (strncmp(message, "/f=", 3) == 0) {
        body = message + 3;
        marker = "/f=\"";
    }

    // Everything before the body: the title with its marker, or just the
    // opening quote (an untitled file reference keeps its "/f=").
    char head[kTextSize];
    head[0] = '\0';
    if (title[0] != '\0' || body != message) {
        AppendText(head, kTextSize, title, -1, codePage);
        AppendText(head, kTextSize, marker);
    } else {
        AppendText(head, kTextSize, "\"");
    }

    // An entry holds at most 1023 bytes. When it would be longer the body is
    // shortened, so that the entry still ends in its closing quote and reads
    // back as the same kind of entry; only a head that alone fills the room
    // leaves no body and no closing quote.
    entry[0] = '\0';
    AppendText(entry, kTextSize, head);
    int used = (int)strlen(entry);
    int room = kTextSize - 1 - used - 1;
    if (room >= 0) {
        AppendText(entry, used + room + 1, body, -1, codePage);
        AppendText(entry, kTextSize, "\"");
    }
    return 1;
}

static bool IsFileMessage(const char* message)
{
    return strncmp(message, "/f=", 3) == 0;
}

// Bytes of the whole entry that ComposeClipEntry makes, before any cut.
static size_t ComposedLength(const char* title, const char* message)
{
    const bool isFile = IsFileMessage(message);
    const size_t head = (title[0] != '\0' || isFile) ? strlen(title) + (isFile ? 4 : 3) : 1;
    return head + strlen(isFile ? message + 3 : message) + 1;
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
    if (ComposedLength(title, message) > (size_t)kTextSize - 1) return {kEntryTooLong, nullptr};
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
