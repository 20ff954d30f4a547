// Entry point: take the command line, copy at once for a one-click start,
// else run the main dialog and end with it.
#include <windows.h>

#include <string.h>

#include "app_state.h"
#include "clip_copy.h"
#include "command_line.h"
#include "main_dialog.h"
#include "message_box.h"
#include "messages.h"
#include "resource.h"
#include "text_convert.h"
#include "wide_text.h"

// Takes the argument part of the UTF-16 command line, so that a shortcut's
// text arrives whole on any system code page: in code page 932 when that
// holds it exactly, else in UTF-8. An over-long command line is refused
// whole, not cut: a cut message could copy something the user never meant.
// The program then starts as if given no options. A surrogate without its
// partner becomes U+FFFD, as in every field.
static void TakeArguments()
{
    const WCHAR* arguments = SkipProgramName(GetCommandLineW());
    // Every unit takes a byte at least: more than 1023 of them cannot fit.
    WCHAR wide[kTextSize];
    const int units = (int)wcsnlen(arguments, kTextSize);
    CopyWideText(wide, kTextSize, arguments, units);
    const WCHAR* texts[] = {wide};
    int codePage = ChooseCodePage(texts, 1);
    char text[kTextSize];
    if (units >= kTextSize || EncodeText(wide, -1, codePage, text, kTextSize) < 0) {
        TakeCommandLine("", codePage);
        ShowMessage(NULL, kCommandLineTooLong, kTitleConfirm, MB_OK);
        return;
    }
    TakeCommandLine(text, codePage);
}

// A one-click start (a text, /g and /e) copies before any window exists,
// with a message-only window as the clipboard's owner: nothing is shown,
// and the program is gone as soon as the text is on the clipboard. True
// when it copied; otherwise the main dialog starts as it would have and
// shows what went wrong.
static bool CopyAtOnce()
{
    ParseCommandLine();
    if (m_ClipText[0] == '\0' || !m_AutoStart || !m_AutoExit) return false;

    // A class of its own: a system class such as STATIC is redirected by the
    // manifest to the common controls, whose loading would cost more than
    // the copy itself. Should registering or creating fail, the clipboard is
    // opened without an owner, which it allows.
    WNDCLASSW ownerClass = {};
    ownerClass.lpfnWndProc = DefWindowProcW;
    ownerClass.hInstance = m_hInstance;
    ownerClass.lpszClassName = L"QuillanClipboardOwner";
    RegisterClassW(&ownerClass);
    HWND owner = CreateWindowExW(0, ownerClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                 NULL, m_hInstance, NULL);
    char entry[kTextSize];
    memcpy(entry, m_ClipText, sizeof entry);
    m_OneClickResult = CopyEntry(entry, m_ClipCodePage, owner);
    m_OneClickTried = true;
    if (owner) DestroyWindow(owner);  // the clipboard keeps its data
    if (m_OneClickResult != kCopyDone) return false;
    MessageBeep(MB_ICONASTERISK);
    return true;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    m_hInstance = instance;
    TakeArguments();
    if (CopyAtOnce()) return 0;
    // The process ends with the dialog however it ended.
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), NULL, MainDlgProc, 0);
    return 0;
}
