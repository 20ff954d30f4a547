// Writing a shell shortcut (.lnk) through the shell link object. One body
// with the UTF-16 interface; the ANSI form converts its texts as the ANSI
// shell link interface would, and keeps its own limit on the link path.
#include "Morvask.h"
#include "code_page.h"
#include "system_library.h"

#include <objbase.h>
#include <shlobj.h>

// Releases the shell link's interfaces on every way out of the call:
// IPersistFile first (when it was obtained), then IShellLinkW.
struct LinkInterfaces {
    IShellLinkW* link = NULL;
    IPersistFile* file = NULL;
    ~LinkInterfaces()
    {
        if (file != NULL) file->Release();
        if (link != NULL) link->Release();
    }
};

// Fills a new shell link and saves it to link. A link path that could not
// be had comes as linkError: it is reported where the save would be, so
// that a shell link that cannot be created or filled is reported first.
static HRESULT WriteShortCut(const WCHAR* link, HRESULT linkError, const WCHAR* target,
                             const WCHAR* args, const WCHAR* workDir)
{
    LinkInterfaces shell;
    HRESULT result = LateCoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER,
                                          IID_IShellLinkW, (void**)&shell.link);
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
    if (FAILED(linkError)) return linkError;
    return shell.file->Save(link, TRUE);
}

HRESULT WINAPI MRVK0_CreateShortCutW(const WCHAR* link, const WCHAR* target, const WCHAR* args,
                                     const WCHAR* workDir)
{
    return WriteShortCut(link, S_OK, target, args, workDir);
}

HRESULT WINAPI MRVK0_CreateShortCut(const char* link, const char* target, const char* args,
                                    const char* workDir)
{
    // The texts convert whole, as the shell's ANSI interface takes them.
    WideCopy wideTarget(target, 0);
    WideCopy wideArgs(args, 0);
    WideCopy wideWorkDir(workDir, 0);
    if (wideTarget.failed || wideArgs.failed || wideWorkDir.failed) return E_OUTOFMEMORY;

    // A link path that does not fit 260 UTF-16 units is refused: saving a
    // cut or unterminated path would write the shortcut somewhere else.
    // A null one names no file.
    HRESULT linkError = S_OK;
    WideCopy wideLink(link, MAX_PATH);
    if (link == NULL) {
        linkError = HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER);
    } else if (wideLink.failed) {
        DWORD error = GetLastError();
        linkError = (error != NO_ERROR) ? HRESULT_FROM_WIN32(error) : E_FAIL;
    }
    return WriteShortCut(wideLink.text, linkError, wideTarget.text, wideArgs.text,
                         wideWorkDir.text);
}
