// write_shortcut FOLDER: makes "Good morning.lnk" in FOLDER through the
// shortcut dialog (message Good morning, /g and /e), for a reader of the
// file format outside Windows. Exit code 0 when it was written silently.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "app_state.h"
#include "dialog_driver.h"
#include "resource.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        printf("usage: write_shortcut FOLDER\n");
        return 2;
    }
    SetProgramState();
    strcpy(m_ClipText, "Good morning");
    HWND dialog = OpenShortcutDialog();
    if (!dialog) return 1;
    SetDlgItemTextA(dialog, IDC_SC_NAME, "Good morning");
    SetDlgItemTextA(dialog, IDC_SC_FOLDER, argv[1]);
    SetBox(dialog, IDC_SC_AUTO_START, true);
    SetBox(dialog, IDC_SC_AUTO_EXIT, true);
    BoxWatcher watcher;
    StartBoxWatcher(&watcher, IDNO);
    PressButton(dialog, IDOK);
    StopBoxWatcher(&watcher);
    DestroyWindow(dialog);
    if (watcher.count > 0) {
        printf("unexpected message: %s\n", watcher.boxes[0].text);
        return 1;
    }
    // What the reader must find in the file.
    printf("target=%s\nworkdir=%s\n", m_ExePath, m_ExeDir);
    return 0;
}
