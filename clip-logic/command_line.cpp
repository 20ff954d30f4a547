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

// Where the value of an option starts, blanks skipped; null when the option
// is absent or void (nothing left after the blanks).
static const char* FindOptionValue(const char* option)
{
    const char* found = strstr(m_CmdLine, option);
    if (!found) return nullptr;
    const char* at = found + strlen(option);
    while (*at == ' ') ++at;
    return *at ? at : nullptr;
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

static void ScanPosition(const char* option, int* position)
{
    const char* at = FindOptionValue(option);
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
static bool ScanText(const char* option, const char** value, int* length)
{
    const char* at = FindOptionValue(option);
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

void ParseCommandLine()
{
    m_PosX = 120;
    m_PosY = 64;
    m_ClipText[0] = '\0';
    const int codePage = m_CmdLineCodePage;
    m_ClipCodePage = codePage;

    if (m_CmdLine[0] != '\0') {
        if (strstr(m_CmdLine, "/g")) m_AutoStart = 1;
        if (strstr(m_CmdLine, "/e")) m_AutoExit = 1;
        ScanPosition("/x=", &m_PosX);
        ScanPosition("/y=", &m_PosY);

        const char* value;
        int length;
        if (ScanText("/m=", &value, &length)) {
            CopyText(m_ClipText, kTextSize, value, length, codePage);
        }
        if (ScanText("/f=", &value, &length)) {
            // The stored form /f="value" adds five bytes. m_CmdLine holds at
            // most 1023 bytes, so a value can be up to 1020 bytes long; it is
            // cut (on a character boundary) so that the closing quote still
            // fits in m_ClipText.
            CopyText(m_ClipText, kTextSize, "/f=\"");
            AppendText(m_ClipText, kTextSize - 1, value, length, codePage);
            AppendText(m_ClipText, kTextSize, "\"");
        }
    }

    // An automatic start needs something to copy.
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
