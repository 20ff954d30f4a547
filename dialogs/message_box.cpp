#include "message_box.h"

#include <stdarg.h>
#include <string.h>

#include "text_convert.h"

void ProgramText(const char* text, WCHAR* out, int size)
{
    // The program's texts are short and known: a cut is the worst that can
    // happen, and only to an over-long one.
    if (DecodeText(text, (int)strlen(text), kCodePage932, out, size) < 0) {
        DecodeText(text, size / 2, kCodePage932, out, size);
    }
}

int ShowMessage(HWND owner, const char* text, const char* title, UINT buttons)
{
    WCHAR wideText[kBoxTextSize];
    WCHAR wideTitle[kShortTextUnits];
    ProgramText(text, wideText, kBoxTextSize);
    ProgramText(title, wideTitle, kShortTextUnits);
    return MessageBoxW(owner, wideText, wideTitle, buttons | MB_ICONQUESTION);
}

int ShowFormattedMessage(HWND owner, const char* title, UINT buttons, const char* format, ...)
{
    WCHAR wideFormat[kBoxTextSize];
    ProgramText(format, wideFormat, kBoxTextSize);
    WCHAR text[kBoxTextSize];
    va_list arguments;
    va_start(arguments, format);
    wvsprintfW(text, wideFormat, arguments);
    va_end(arguments);
    WCHAR wideTitle[kShortTextUnits];
    ProgramText(title, wideTitle, kShortTextUnits);
    return MessageBoxW(owner, text, wideTitle, buttons | MB_ICONQUESTION);
}
