// A folder of its own for each test under the temp folder, removed with the
// files in it when the test ends.
#pragma once
#include <windows.h>

#include <string>

struct ScratchFolder {
    std::string path;

    ScratchFolder()
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        char name[MAX_PATH];
        wsprintfA(name, "%smorvask-%lu-%lu", temp, GetCurrentProcessId(), GetTickCount());
        for (int n = 0; !CreateDirectoryA(name, NULL); ++n)
            wsprintfA(name, "%smorvask-%lu-%lu-%d", temp, GetCurrentProcessId(), GetTickCount(), n);
        path = name;
    }

    ~ScratchFolder()
    {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveDirectoryA((path + "\\" + name).c_str());
                else
                    DeleteFileA((path + "\\" + name).c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(path.c_str());
    }

    std::string File(const std::string& name) const { return path + "\\" + name; }

    // Writes bytes to a new file in the folder and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        std::string file = File(name);
        HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, NULL);
        DWORD written = 0;
        if (handle != INVALID_HANDLE_VALUE) {
            WriteFile(handle, bytes.data(), (DWORD)bytes.size(), &written, NULL);
            CloseHandle(handle);
        }
        return file;
    }
};

// The folder this test program (and Morvask.dll beside it) runs from.
inline std::string ProgramFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    while (length > 0 && path[length - 1] != '\\') --length;
    return std::string(path, length > 0 ? length - 1 : 0);
}
