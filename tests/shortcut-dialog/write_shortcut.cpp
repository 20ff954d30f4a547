// write_shortcut FOLDER: makes "Good morning.lnk" in FOLDER through the
// shortcut dialog (message Good morning, /g, /e, key Ctrl+Alt+G), for a
// reader of the file format outside Windows. Exit code 0 when it was written silently.
#include <windows.h>
#include <stdio.h>

#include "app_state.h"
#include "dialog_driver.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        printf("usage: write_shortcut FOLDER\n");
        return 2;
    }
    SetProgramState();
    std::vector<AnsweredBox> boxes;
    if (!MakeGoodMorningShortcut(argv[1], &boxes)) return 1;
    if (!boxes.empty()) {
        printf("unexpected message: %s\n", ShowBoxes(boxes).c_str());
        return 1;
    }
    // What the reader must find in the file.
    printf("target=%s\nworkdir=%s\nkey=%u\n", m_ExePath, m_ExeDir, kGoodMorningKey);
    return 0;
}
