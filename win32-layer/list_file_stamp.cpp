#include "list_file_stamp.h"

// FNV-1a: a few instructions a byte, and any changed byte changes it.
static unsigned long long HashBytes(unsigned long long hash, const unsigned char* bytes,
                                    DWORD count)
{
    for (DWORD i = 0; i < count; ++i) {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

// Reads the whole small file from its start; false when a read failed, so
// that a partial hash never stands for the file.
static bool HashFile(HANDLE file, DWORD size, unsigned long long* hash)
{
    LARGE_INTEGER start = {};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return false;
    unsigned char buffer[16 * 1024];
    unsigned long long value = 14695981039346656037ull;
    DWORD total = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) return false;
        if (got == 0) break;
        value = HashBytes(value, buffer, got);
        total += got;
        if (total > size) return false;  // grew while read: not this stamp's bytes
    }
    *hash = value;
    return total == size;
}

ListFileStamp TakeListFileStampOf(HANDLE file, bool hash)
{
    ListFileStamp stamp = {};
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) {
        stamp.error = GetLastError() ? GetLastError() : ERROR_GEN_FAILURE;
        return stamp;
    }
    stamp.volume = info.dwVolumeSerialNumber;
    stamp.indexHigh = info.nFileIndexHigh;
    stamp.indexLow = info.nFileIndexLow;
    stamp.links = info.nNumberOfLinks;
    stamp.size.LowPart = info.nFileSizeLow;
    stamp.size.HighPart = (LONG)info.nFileSizeHigh;
    stamp.written.LowPart = info.ftLastWriteTime.dwLowDateTime;
    stamp.written.HighPart = (LONG)info.ftLastWriteTime.dwHighDateTime;
    // The change time moves with every change, also one that keeps the
    // write time (a program that restores it after writing). Without it the
    // other fields still tell.
    FILE_BASIC_INFO basic;
    if (GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) {
        stamp.changed = basic.ChangeTime;
    }
    if (hash && stamp.size.QuadPart <= kStampHashedBytes) {
        stamp.hashed = HashFile(file, (DWORD)stamp.size.QuadPart, &stamp.hash);
    }
    return stamp;
}

ListFileStamp TakeListFileStamp(const WCHAR* path, bool hash)
{
    // Opened, not asked by name: the name may be a link, and only the open
    // follows it to the file. Sharing everything, so that no program is
    // kept from the file by this look.
    HANDLE file = CreateFileW(path, hash ? GENERIC_READ : FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ListFileStamp stamp = {};
        stamp.error = GetLastError() ? GetLastError() : ERROR_GEN_FAILURE;
        // A file held without sharing still has a size and time to tell a
        // change by.
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExW(path, GetFileExInfoStandard, &data)) {
            stamp.size.LowPart = data.nFileSizeLow;
            stamp.size.HighPart = (LONG)data.nFileSizeHigh;
            stamp.written.LowPart = data.ftLastWriteTime.dwLowDateTime;
            stamp.written.HighPart = (LONG)data.ftLastWriteTime.dwHighDateTime;
        }
        return stamp;
    }
    ListFileStamp stamp = TakeListFileStampOf(file, hash);
    CloseHandle(file);  // opened for the look only
    return stamp;
}

bool SameFileIdentity(const ListFileStamp& a, const ListFileStamp& b)
{
    return a.error == 0 && b.error == 0 && a.volume == b.volume && a.indexHigh == b.indexHigh &&
           a.indexLow == b.indexLow;
}

bool SameListBytes(const ListFileStamp& a, const ListFileStamp& b)
{
    return a.size.QuadPart == b.size.QuadPart && a.written.QuadPart == b.written.QuadPart &&
           a.hashed == b.hashed && (!a.hashed || a.hash == b.hash);
}

bool SameListFileStamp(const ListFileStamp& a, const ListFileStamp& b)
{
    if (a.error != b.error) return false;
    if (a.error != 0) return SameListBytes(a, b);
    return SameFileIdentity(a, b) && SameListBytes(a, b) &&
           a.changed.QuadPart == b.changed.QuadPart;
}
