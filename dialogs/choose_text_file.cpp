#include "choose_text_file.h"

#include <commdlg.h>

#include "messages.h"

BOOL ChooseTextFile(HWND owner, char* path)
{
    char fileTitle[MAX_PATH] = "";
    path[0] = '\0';

    OPENFILENAMEA request;
    ZeroMemory(&request, sizeof request);
    // The original request layout, without the later extension fields.
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request.hwndOwner = owner;
    request.lpstrFilter = kTextFileFilter;
    request.nFilterIndex = 0;
    request.lpstrFile = path;
    request.nMaxFile = MAX_PATH;
    request.lpstrFileTitle = fileTitle;
    request.nMaxFileTitle = MAX_PATH;
    request.lpstrTitle = kTextFileDialogTitle;
    request.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    request.lpstrDefExt = "txt";
    return GetOpenFileNameA(&request) == TRUE;
}
