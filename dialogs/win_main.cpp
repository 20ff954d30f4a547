// Entry point: take the command line, run the main dialog, end with it.
#include <windows.h>

#include "app_state.h"
#include "command_line.h"
#include "main_dialog.h"
#include "messages.h"
#include "resource.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    // An over-long command line is refused whole, not cut: a cut message
    // could copy something the user never meant. The program then starts
    // as if given no options.
    if (TakeCommandLine(commandLine) == -1) {
        MessageBoxA(NULL, kCommandLineTooLong, kTitleConfirm, MB_OK | MB_ICONQUESTION);
    }
    m_hInstance = instance;
    // The process ends with the dialog however it ended.
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), NULL, MainDlgProc, 0);
    return 0;
}
