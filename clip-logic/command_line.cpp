#include "command_line.h"

#include <limits.h>
#include <string.h>

#include "app_state.h"
#include "bounded_text.h"
#include "clip_entry.h"

int TakeCommandLine(const char* arguments, int codePage)
{
    m_CmdLineCodePage = codePage;
    // Measure without walking further than needed: the platform hands over
    // up to 32767 characters.
    if (strnlen(arguments, kTextSize) >= (size_t)kTextSize) {
        m_CmdLine[0] = '\0';
        return -1;
    }
    CopyText(m_CmdLine, kTextSize, arguments, -1, codePage);
    return 0;
}

const wchar_t* SkipProgramName(const wchar_t* commandLine)
{
    const wchar_t* at = commandLine;
    if (*at == L'"') {
        ++at;
        while (*at != L'\0' && *at != L'"') ++at;
        if (*at == L'"') ++at;
    } else {
        while (*at != L'\0' && *at != L' ' && *at != L'\t') ++at;
    }
    while (*at == L' ' || *at == L'\t') ++at;
    return at;
}

// Where a value starts, blanks skipped; null when nothing is left after
// them (a void option).
static const char* ValueStart(const char* at)
{
    while (*at == ' ') ++at;
    return *at ? at : nullptr;
}

// Where the value of an option's first occurrence in the line starts; null
// when the option is absent or void.
static const char* FindOptionValue(const char* line, const char* option)
{
    const char* found = strstr(line, option);
    return found ? ValueStart(found + strlen(option)) : nullptr;
}

static bool IsValueStop(char c)
{
    return c == '\0' || c == ' ' || c == '/';
}

// The standard decimal conversion: leading white space, an optional sign,
// digits up to the first non-digit; no digits give 0. Values beyond the range
// of int saturate instead of overflowing.
static int ToInteger(const char* text)
{
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = (*text++ == '-');
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > (long long)INT_MAX + 1) value = (long long)INT_MAX + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return (int)value;
}

// A position value starting at `at` (null: a void option); a negative
// number or an empty field leaves the position as it was.
static void ScanPosition(const char* at, int* position)
{
    if (!at) return;
    char field[64];
    int length = 0;
    while (length < 63 && !IsValueStop(at[length])) ++length;
    if (length == 0) return;
    CopyText(field, sizeof field, at, length);
    int value = ToInteger(field);
    if (value >= 0) *position = value;
}

// Quoted: up to the next double quote or the end of the line. Bare: up to
// the first terminator, blank or slash. Returns false for a void option.
static bool ScanText(const char* line, const char* option, const char** value, int* length)
{
    const char* at = FindOptionValue(line, option);
    if (!at) return false;
    if (*at == '"') {
        ++at;
        const char* quote = strchr(at, '"');
        *length = quote ? (int)(quote - at) : (int)strlen(at);
    } else {
        int n = 0;
        while (!IsValueStop(at[n])) ++n;
        *length = n;
    }
    *value = at;
    return true;
}

void ReadStartOptions(const char* line, int codePage, StartOptions* options)
{
    options->clipText[0] = '\0';
    options->autoStart = 0;
    options->autoExit = 0;
    options->posX = 120;
    options->posY = 64;
    if (line[0] == '\0') return;

    if (strstr(line, "/g")) options->autoStart = 1;
    if (strstr(line, "/e")) options->autoExit = 1;
    ScanPosition(FindOptionValue(line, "/x="), &options->posX);
    ScanPosition(FindOptionValue(line, "/y="), &options->posY);

    const char* value;
    int length;
    if (ScanText(line, "/m=", &value, &length)) {
        CopyText(options->clipText, kTextSize, value, length, codePage);
    }
    if (ScanText(line, "/f=", &value, &length)) {
        // The stored form /f="value" adds five bytes. A line holds at most
        // 1023 bytes, so a value can be up to 1020 bytes long; it is cut (on
        // a character boundary) so that the closing quote still fits.
        CopyText(options->clipText, kTextSize, "/f=\"");
        AppendText(options->clipText, kTextSize - 1, value, length, codePage);
        AppendText(options->clipText, kTextSize, "\"");
    }
}

void ParseCommandLine()
{
    const int codePage = m_CmdLineCodePage;
    m_ClipCodePage = codePage;
    StartOptions options;
    ReadStartOptions(m_CmdLine, codePage, &options);
    memcpy(m_ClipText, options.clipText, sizeof m_ClipText);
    m_PosX = options.posX;
    m_PosY = options.posY;
    // The flags are only ever set here, never cleared...
    if (options.autoStart) m_AutoStart = 1;
    if (options.autoExit) m_AutoExit = 1;
    // ... except that an automatic start needs something to copy.
    if (m_ClipText[0] == '\0') m_AutoStart = 0;
}

int StartCopyText(const char* line, int codePage, char* text, int textSize)
{
    StartOptions options;
    ReadStartOptions(line, codePage, &options);
    return ExtractClipText(options.clipText, text, textSize, codePage);
}

// A message (not a file reference) that holds "/=" or "/f=" gets an empty
// title in front: the entry rules then take everything after the first
// "/=", the message whole, where they would otherwise cut it at its own
// marker.
static bool NeedsEmptyTitle(const char* message)
{
    return !IsFileMessage(message) && (strstr(message, "/=") || strstr(message, "/f="));
}

// Room for the longest argument text that the dialog's fields make whole:
// a message of 1023 bytes with its markup, the flags, and two position
// texts of 1023 bytes each with theirs.
enum { kWholeArgumentsSize = 3 * kTextSize + 32 };

// ComposeShortcutArguments into room for `size` bytes (at most
// kWholeArgumentsSize).
static void ComposeArgumentsInto(const char* message, int start, int exit, int position,
                                 const char* xText, const char* yText, char* out, int size,
                                 int codePage)
{
    // The options after the message, composed first: when everything does
    // not fit, the message is shortened rather than the options, so a
    // one-click shortcut still copies and closes.
    char options[kWholeArgumentsSize];
    options[0] = '\0';
    if (start) AppendText(options, size, " /g");
    if (exit) AppendText(options, size, " /e");
    if (position) {
        AppendText(options, size, " /x=");
        AppendText(options, size, xText, -1, codePage);
        AppendText(options, size, " /y=");
        AppendText(options, size, yText, -1, codePage);
    }

    out[0] = '\0';
    if (message[0] != '\0') {
        const char* body = message;
        if (IsFileMessage(message)) {
            body = message + 3;
            AppendText(out, size, "/f=\"");
        } else {
            AppendText(out, size, NeedsEmptyTitle(message) ? "/m=\"/=" : "/m=\"");
        }
        int room = size - 1 - (int)strlen(options) - 1;  // closing quote
        if (room > (int)strlen(out)) AppendText(out, room + 1, body, -1, codePage);
        AppendText(out, size, "\"");
    }
    // No blank before the first part.
    AppendText(out, size, out[0] ? options : options + (options[0] ? 1 : 0));
}

void ComposeShortcutArguments(const char* message, int start, int exit,
                              int position, const char* xText,
                              const char* yText, char* out, int codePage)
{
    ComposeArgumentsInto(message, start, exit, position, xText, yText, out, kTextSize,
                         codePage);
}

// True when the argument text that the inputs make is longer than the 1023
// bytes of a command line: measured on the text itself, composed whole into
// room for more.
static bool ComposesTooLong(const char* message, int start, int exit, int position,
                            const char* xText, const char* yText, int codePage)
{
    char whole[kWholeArgumentsSize];
    ComposeArgumentsInto(message, start, exit, position, xText, yText, whole,
                         kWholeArgumentsSize, codePage);
    return strlen(whole) > (size_t)kTextSize - 1;
}

// The position a text stands for as typed: one or more ASCII digits and
// nothing else, at most INT_MAX. False for anything else (empty, a blank, a
// sign, a full-width digit, a letter), which the command line would read as
// another number or not at all.
static bool TypedPosition(const char* text, int* position)
{
    if (*text == '\0') return false;
    long long value = 0;
    for (; *text != '\0'; ++text) {
        if (*text < '0' || *text > '9') return false;
        value = value * 10 + (*text - '0');
        if (value > INT_MAX) return false;
    }
    *position = (int)value;
    return true;
}

ArgumentsFault CheckShortcutArguments(const char* message, int start, int exit,
                                      int position, const char* xText,
                                      const char* yText, const char* arguments,
                                      int codePage)
{
    if (ComposesTooLong(message, start, exit, position, xText, yText, codePage)) {
        return {kArgumentsTooLong, nullptr};
    }

    // What the program is to start with: the text the dialog shows (a
    // message, or the path of a file), both flags as ticked, and the
    // position each text stands for as typed, else the defaults.
    const bool isFile = IsFileMessage(message);
    const char* body = isFile ? message + 3 : message;
    int wantedX = 120;
    int wantedY = 64;
    const bool xTyped = !position || TypedPosition(xText, &wantedX);
    const bool yTyped = !position || TypedPosition(yText, &wantedY);

    // What it starts with: the text that its copy takes from the command
    // line, the whole way a one-click start goes.
    StartOptions read;
    ReadStartOptions(arguments, codePage, &read);
    char copied[kTextSize];
    const int copiedIsFile = StartCopyText(arguments, codePage, copied, kTextSize);
    // A shortcut without a message copies nothing, as shown; one with a
    // message must copy it, and something.
    const bool copiesMessage =
        message[0] == '\0' ? copied[0] == '\0'
                           : (copied[0] != '\0' && copiedIsFile == (isFile ? 1 : 0) &&
                              strcmp(copied, body) == 0);
    const bool differs[] = {
        !copiesMessage,
        (read.autoStart != 0) != (start != 0),
        (read.autoExit != 0) != (exit != 0),
        !xTyped || read.posX != wantedX,
        !yTyped || read.posY != wantedY,
    };
    if (!differs[0] && !differs[1] && !differs[2] && !differs[3] && !differs[4]) {
        return {kArgumentsReadWhole, nullptr};
    }

    // Name what the program took for structure. A value ends at a double
    // quote; every option is found at its first occurrence, so only one
    // that stands before the real one, in the message or in a position
    // text, changes what is read.
    if (differs[0] && strchr(body, '"')) return {kArgumentsMarkInMessage, "\""};
    struct Culprit { const char* option; int item; };
    const Culprit culprits[] = {
        {"/f=", 0}, {"/m=", 0}, {"/g", 1}, {"/e", 2}, {"/x=", 3}, {"/y=", 4},
    };
    for (const Culprit& culprit : culprits) {
        if (!differs[culprit.item]) continue;
        if (strstr(body, culprit.option)) return {kArgumentsMarkInMessage, culprit.option};
        if (position && (strstr(xText, culprit.option) || strstr(yText, culprit.option))) {
            return {kArgumentsMarkInPosition, culprit.option};
        }
    }
    // What no command line can carry: the copy skips blanks before the text
    // (a value cannot begin with the double quote that would keep them), a
    // text of blanks alone or a file without a path copies nothing, and the
    // entry rules end a title at a "/=" in a file's path.
    if (differs[0] && copied[0] == '\0') return {kArgumentsCopiesNothing, nullptr};
    if (differs[0] && body[0] == ' ') return {kArgumentsLeadingBlanks, nullptr};
    if (differs[0] && isFile && strstr(body, "/=")) return {kArgumentsMarkInMessage, "/="};
    if (differs[3]) return {kArgumentsBadPosition, "/x="};
    if (differs[4]) return {kArgumentsBadPosition, "/y="};
    return {kArgumentsNotReadBack, nullptr};
}
