// Folders and files of the tests' own.
#include "test_support.h"

#include <string.h>

#include <algorithm>

std::string ProgramFolder()
{
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    while (length > 0 && path[length - 1] != '\\') --length;
    return std::string(path, length > 0 ? length - 1 : 0);
}

bool MakeScratchFolder(const char* what, std::string* path)
{
    // The process id and a serial keep folders of parallel programs and of
    // one program's tests apart.
    static int serial = 0;
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    *path = std::string(temp) + "quillan-" + what + "-" +
            std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    if (CreateDirectoryA(path->c_str(), NULL)) return true;
    path->clear();
    return false;
}

// Through the wide functions, so that names the ANSI code page cannot hold
// (as the library's wide tests make) go too.
static bool RemoveTreeWide(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = folder + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTreeWide(full);
            } else {
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(folder.c_str());
    return GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}

// A path as the ANSI file functions would take it.
static std::wstring FromAnsi(const std::string& path)
{
    int units = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, NULL, 0);
    if (units <= 0) return L"";
    std::wstring wide((size_t)units, L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], units);
    wide.resize((size_t)units - 1);
    return wide;
}

bool RemoveTree(const std::string& folder)
{
    if (folder.empty()) return true;
    std::wstring wide = FromAnsi(folder);
    return !wide.empty() && RemoveTreeWide(wide);
}

std::string FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..") names.push_back(name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    std::string shown;
    for (const std::string& name : names) shown += "[" + name + "]";
    return shown;
}

ScratchFolder::ScratchFolder(const char* what)
{
    MakeScratchFolder(what, &path);
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(path);
}

std::string ScratchFolder::File(const std::string& name) const
{
    return path + "\\" + name;
}

std::string ScratchFolder::Write(const std::string& name, const std::string& bytes) const
{
    std::string file = File(name);
    // A failed write shows in the test as a file that is not as written.
    WriteWholeFile(file, bytes);
    return file;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    return WriteWholeFile(FromAnsi(path), bytes);
}

std::string ReadWholeFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return "<cannot be read>";
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, NULL) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}
