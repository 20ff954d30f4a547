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
// and the program is gone as soon as the text is on the clipboard.
static CopyResult CopyAtOnce()
{
    // A class of its own: a system class such as STATIC is redirected by the
    // manifest to the common controls, whose loading would cost more than
    // the copy itself. Registering fails only when the class is there
    // already, which creating the window then shows.
    WNDCLASSW ownerClass = {};
    ownerClass.lpfnWndProc = DefWindowProcW;
    ownerClass.hInstance = m_hInstance;
    ownerClass.lpszClassName = L"QuillanClipboardOwner";
    RegisterClassW(&ownerClass);
    HWND owner = CreateWindowExW(0, ownerClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                 NULL, m_hInstance, NULL);
    // Without a window of its own the clipboard takes nothing from it.
    if (!owner) return kCopyClipboardFailed;
    CopyResult result = CopyEntry(m_ClipText, m_ClipCodePage, owner);
    DestroyWindow(owner);  // the clipboard keeps its data
    if (result == kCopyDone) MessageBeep(MB_ICONASTERISK);
    return result;
}

// The program loads the DLLs it binds late by their full path in the
// system folder (load_system_library.h), but system DLLs load others by
// bare name on its behalf as windows and dialogs appear (uxtheme, dwmapi,
// propsys), and a bare name is looked for in the program's folder first: a
// DLL of such a name put beside the program would run inside it. From here
// on every load by bare name searches the system folder only. Morvask.dll
// is imported at load time and so found before this runs.
static void LoadDllsFromTheSystemFolderOnly()
{
    typedef BOOL(WINAPI * Function)(DWORD);
    // kernel32 is always mapped; the function is looked up because Windows
    // 7 without its loader update (KB2533623) lacks it. There the system
    // DLLs' own loads keep the usual search order and the program goes on:
    // its own loads still name the system folder.
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    Function function =
        kernel32 ? (Function)(void*)GetProcAddress(kernel32, "SetDefaultDllDirectories") : NULL;
    // Refused only for flags it does not know, which these are not: nothing
    // else to fall back to.
    if (function) function(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    LoadDllsFromTheSystemFolderOnly();
    m_hInstance = instance;
    TakeArguments();
    ParseCommandLine();  // once: m_ClipText keeps the command line's text
    MainDialogStart start = {false, kCopyNothing};
    if (m_ClipText[0] != '\0' && m_AutoStart == 1 && m_AutoExit == 1) {
        start.oneClickTried = true;
        start.oneClickResult = CopyAtOnce();
        if (start.oneClickResult == kCopyDone) return 0;
    }
    // The process ends with the dialog however it ended.
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), NULL, MainDlgProc, (LPARAM)&start);
    return 0;
}
