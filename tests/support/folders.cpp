// Folders and files of the tests' own.
#include "test_support.h"

#include <string.h>

#include <algorithm>

std::string ProgramFolder()
{
    wchar_t path[MAX_PATH] = L"";
    DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
    if (length >= MAX_PATH) length = 0;
    while (length > 0 && path[length - 1] != L'\\') --length;
    return Narrow(std::wstring(path, length > 0 ? length - 1 : 0));
}

bool MakeScratchFolder(const char* what, std::string* path)
{
    // The process id and a serial keep folders of parallel programs and of
    // one program's tests apart.
    static int serial = 0;
    wchar_t temp[MAX_PATH] = L"";
    if (GetTempPathW(MAX_PATH, temp) == 0) temp[0] = L'\0';
    *path = Narrow(temp) + "quillan-" + what + "-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++serial);
    if (CreateDirectoryW(Wide(*path).c_str(), NULL)) return true;
    path->clear();
    return false;
}

// The names in a folder but "." and "..", each with whether it is a folder.
static std::vector<std::pair<std::wstring, bool>> Entries(const std::wstring& folder)
{
    std::vector<std::pair<std::wstring, bool>> entries;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return entries;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        entries.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return entries;
}

static bool RemoveTreeWide(const std::wstring& folder)
{
    for (const auto& entry : Entries(folder)) {
        std::wstring full = folder + L"\\" + entry.first;
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (entry.second) {
            RemoveTreeWide(full);
        } else {
            DeleteFileW(full.c_str());
        }
    }
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(folder.c_str());
    return GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool RemoveTree(const std::string& folder)
{
    return folder.empty() || RemoveTreeWide(Wide(folder));
}

std::string FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : Entries(Wide(folder))) names.push_back(Narrow(entry.first));
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

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    return WriteWholeFile(Wide(path), bytes);
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

std::string ReadWholeFile(const std::string& path)
{
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return "<cannot be read>";
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, NULL) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}
