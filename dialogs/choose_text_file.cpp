#include "choose_text_file.h"

#include "message_box.h"
#include "messages.h"
#include "system_functions.h"

BOOL ChooseTextFile(HWND owner, WCHAR* path)
{
    // The filter's pairs are separated by zero bytes, so it is converted
    // whole, its two final terminators included.
    static const char filter[] = kTextFileFilter;
    WCHAR wideFilter[128];
    MultiByteToWideChar(932, 0, filter, (int)sizeof filter, wideFilter, 128);
    WCHAR title[kShortTextUnits];
    ProgramText(kTextFileDialogTitle, title, kShortTextUnits);
    WCHAR fileTitle[MAX_PATH] = L"";
    path[0] = L'\0';

    OPENFILENAMEW request;
    ZeroMemory(&request, sizeof request);
    // The original request layout, without the later extension fields.
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    request.hwndOwner = owner;
    request.lpstrFilter = wideFilter;
    request.nFilterIndex = 0;
    request.lpstrFile = path;
    request.nMaxFile = MAX_PATH;
    request.lpstrFileTitle = fileTitle;
    request.nMaxFileTitle = MAX_PATH;
    request.lpstrTitle = title;
    request.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    request.lpstrDefExt = L"txt";
    return LateGetOpenFileNameW(&request) == TRUE;
}
