// Writing a shell shortcut (.lnk) through the shell link object.
#include "Morvask.h"

#include <objbase.h>
#include <shlobj.h>

// Releases the shell link's interfaces on every way out of the call:
// IPersistFile first (when it was obtained), then IShellLinkA.
struct LinkInterfaces {
    IShellLinkA* link = NULL;
    IPersistFile* file = NULL;
    ~LinkInterfaces()
    {
        if (file != NULL) file->Release();
        if (link != NULL) link->Release();
    }
};

HRESULT WINAPI MRVK0_CreateShortCut(const char* link, const char* target, const char* args,
                                    const char* workDir)
{
    LinkInterfaces shell;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, (void**)&shell.link);
    if (FAILED(result)) {
        shell.link = NULL;  // nothing was created, so nothing may be released
        return result;
    }

    result = shell.link->QueryInterface(IID_IPersistFile, (void**)&shell.file);
    if (FAILED(result)) {
        shell.file = NULL;
        return result;
    }
    result = shell.link->SetPath(target);
    if (FAILED(result)) return result;
    result = shell.link->SetArguments(args);
    if (FAILED(result)) return result;
    result = shell.link->SetWorkingDirectory(workDir);
    if (FAILED(result)) return result;

    // A link path that does not fit 260 UTF-16 units is refused: saving a
    // cut or unterminated path would write the shortcut somewhere else.
    WCHAR widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, link, -1, widePath, MAX_PATH) == 0) {
        DWORD error = GetLastError();
        return (error != NO_ERROR) ? HRESULT_FROM_WIN32(error) : E_FAIL;
    }
    return shell.file->Save(widePath, TRUE);
}
