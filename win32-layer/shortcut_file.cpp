#include "shortcut_file.h"

#include <objbase.h>
#include <shlobj.h>

#include "shortcut_key.h"
#include "system_functions.h"

// At most this many shortcut files are read when looking for a key. Where
// Windows honours shortcut keys (the desktop, the Start menu) a person
// keeps tens of shortcuts; reading one took 0.2 to 1.9 ms under Wine, so a
// folder of thousands (a synced share, a generated collection) is looked
// at only in part rather than holding up the dialog for seconds.
static const int kMostShortcutsRead = 500;

// The shell link object and its file interface, released on every way out.
struct ShellLink {
    IShellLinkW* link = NULL;
    IPersistFile* file = NULL;
    ~ShellLink()
    {
        if (file) file->Release();
        if (link) link->Release();
    }
};

static HRESULT LoadShortcut(ShellLink* shell, const WCHAR* path)
{
    HRESULT result = LateCoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER,
                                          IID_IShellLinkW, (void**)&shell->link);
    if (FAILED(result)) {
        shell->link = NULL;  // nothing was created, so nothing may be released
        return result;
    }
    result = shell->link->QueryInterface(IID_IPersistFile, (void**)&shell->file);
    if (FAILED(result)) {
        shell->file = NULL;
        return result;
    }
    // Loading neither resolves the target nor touches the network.
    return shell->file->Load(path, STGM_READ);
}

HRESULT SetShortcutFileKey(const WCHAR* link, WORD key)
{
    ShellLink shell;
    HRESULT result = LoadShortcut(&shell, link);
    if (SUCCEEDED(result)) result = shell.link->SetHotkey(key);
    if (SUCCEEDED(result)) result = shell.file->Save(link, TRUE);
    return result;
}

HRESULT ReadShortcutFileKey(const WCHAR* link, WORD* key)
{
    *key = 0;
    ShellLink shell;
    HRESULT result = LoadShortcut(&shell, link);
    if (SUCCEEDED(result)) result = shell.link->GetHotkey(key);
    if (FAILED(result)) *key = 0;
    return result;
}

static bool SameFileName(const WCHAR* a, int aLength, const WCHAR* b, int bLength)
{
    // File names are compared as the file system does, ignoring case.
    return CompareStringOrdinal(a, aLength, b, bLength, TRUE) == CSTR_EQUAL;
}

// The pattern *.lnk also matches a long name such as "a.lnkx" through its
// short name A~1.LNK: only a long name that ends so is a shortcut file.
static bool IsShortcutFileName(const WCHAR* name)
{
    const int length = lstrlenW(name);
    return length > 4 && SameFileName(name + length - 4, 4, L".lnk", 4);
}

bool FindShortcutWithKey(const WCHAR* folder, const WCHAR* ownName, WORD key, WCHAR* found)
{
    found[0] = L'\0';
    const int folderLength = lstrlenW(folder);
    // A drive root keeps its backslash; every other folder comes without.
    const bool hasSeparator = folderLength > 0 && folder[folderLength - 1] == L'\\';
    WCHAR path[MAX_PATH];
    if (folderLength + 1 + 5 >= MAX_PATH) return false;
    wsprintfW(path, hasSeparator ? L"%s*.lnk" : L"%s\\*.lnk", folder);
    const int nameStart = lstrlenW(path) - 5;

    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(path, &entry);
    if (search == INVALID_HANDLE_VALUE) return false;  // none, or the folder went away
    int read = 0;
    bool same = false;
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        if (!IsShortcutFileName(entry.cFileName)) continue;
        if (SameFileName(entry.cFileName, -1, ownName, -1)) continue;
        // A name too long for a path beside the folder cannot be loaded.
        if (nameStart + lstrlenW(entry.cFileName) >= MAX_PATH) continue;
        if (++read > kMostShortcutsRead) break;
        lstrcpyW(path + nameStart, entry.cFileName);
        WORD other = 0;
        if (SUCCEEDED(ReadShortcutFileKey(path, &other)) && IsSameShortcutKey(key, other)) {
            lstrcpyW(found, entry.cFileName);
            same = true;
        }
    } while (!same && FindNextFileW(search, &entry));
    FindClose(search);  // the search handle only; nothing else to tell
    return same;
}
