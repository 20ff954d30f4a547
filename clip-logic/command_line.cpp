#include "command_line.h"

#include <limits.h>
#include <string.h>

#include "app_state.h"
#include "bounded_text.h"

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

void ComposeShortcutArguments(const char* message, int start, int exit,
                              int position, const char* xText,
                              const char* yText, char* out, int codePage)
{
    // The options after the message, composed first: when everything does
    // not fit in 1023 bytes, the message is shortened rather than the
    // options, so a one-click shortcut still copies and closes.
    char options[kTextSize];
    options[0] = '\0';
    if (start) AppendText(options, kTextSize, " /g");
    if (exit) AppendText(options, kTextSize, " /e");
    if (position) {
        AppendText(options, kTextSize, " /x=");
        AppendText(options, kTextSize, xText, -1, codePage);
        AppendText(options, kTextSize, " /y=");
        AppendText(options, kTextSize, yText, -1, codePage);
    }

    out[0] = '\0';
    if (message[0] != '\0') {
        const char* body = message;
        if (strncmp(message, "/f=", 3) == 0) {
            body = message + 3;
            AppendText(out, kTextSize, "/f=\"");
        } else {
            AppendText(out, kTextSize, "/m=\"");
        }
        int room = kTextSize - 1 - (int)strlen(options) - 1;  // closing quote
        if (room > (int)strlen(out)) AppendText(out, room + 1, body, -1, codePage);
        AppendText(out, kTextSize, "\"");
    }
    // No blank before the first part.
    AppendText(out, kTextSize, out[0] ? options : options + (options[0] ? 1 : 0));
}

static bool IsFileMessage(const char* message)
{
    return strncmp(message, "/f=", 3) == 0;
}

// Bytes of the whole argument text that ComposeShortcutArguments makes,
// before any cut.
static size_t ComposedLength(const char* message, int start, int exit, int position,
                             const char* xText, const char* yText)
{
    size_t options = (start ? 3 : 0) + (exit ? 3 : 0);
    if (position) options += 4 + strlen(xText) + 4 + strlen(yText);
    if (message[0] == '\0') return options > 0 ? options - 1 : 0;  // no blank first
    const char* body = IsFileMessage(message) ? message + 3 : message;
    return 4 + strlen(body) + 1 + options;
}

// The position a text gives on its own, as the option's value.
static int PositionOf(const char* text, int fallback)
{
    int position = fallback;
    ScanPosition(ValueStart(text), &position);
    return position;
}

ArgumentsFault CheckShortcutArguments(const char* message, int start, int exit,
                                      int position, const char* xText,
                                      const char* yText, const char* arguments,
                                      int codePage)
{
    if (ComposedLength(message, start, exit, position, xText, yText) > (size_t)kTextSize - 1) {
        return {kArgumentsTooLong, nullptr};
    }

    // What the program is to start with: the text (a message, or a file
    // reference in its stored form), both flags as ticked, and the position
    // each text gives, else the defaults.
    const bool isFile = IsFileMessage(message);
    const char* body = isFile ? message + 3 : message;
    StartOptions wanted;
    CopyText(wanted.clipText, kTextSize, "");
    if (isFile) {
        AppendText(wanted.clipText, kTextSize, "/f=\"");
        AppendText(wanted.clipText, kTextSize, body, -1, codePage);
        AppendText(wanted.clipText, kTextSize, "\"");
    } else {
        AppendText(wanted.clipText, kTextSize, message, -1, codePage);
    }
    wanted.posX = position ? PositionOf(xText, 120) : 120;
    wanted.posY = position ? PositionOf(yText, 64) : 64;

    StartOptions read;
    ReadStartOptions(arguments, codePage, &read);
    const bool differs[] = {
        strcmp(read.clipText, wanted.clipText) != 0,
        (read.autoStart != 0) != (start != 0),
        (read.autoExit != 0) != (exit != 0),
        read.posX != wanted.posX,
        read.posY != wanted.posY,
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
    return {kArgumentsNotReadBack, nullptr};
}
