// Folder test, file size, whole-file read and movable global memory blocks.
// None of these keeps state between calls; every handle opened here is
// closed before the call returns. Each file function has one body, working
// on UTF-16 paths of any length; the ANSI form converts its path as the
// system's ANSI file functions do and keeps its own results.
#include "Morvask.h"
#include "code_page.h"

int WINAPI MRVK0_FolderExistW(const WCHAR* path)
{
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

int WINAPI MRVK0_FolderExist(const char* path)
{
    WideCopy wide(path, kAnsiFilePathUnits);
    return wide.failed ? 0 : MRVK0_FolderExistW(wide.text);
}

long long WINAPI MRVK0_GetFileSizeW(const WCHAR* path)
{
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return 0;

    // Attribute access only: the size needs no read right, and so no
    // sharing from another process that holds the file open.
    HANDLE file = CreateFileW(path, 0, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 0;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) size.QuadPart = 0;  // a failed query is no size
    CloseHandle(file);  // opened for attributes only; nothing to flush
    return size.QuadPart;
}

long long WINAPI MRVK0_GetFileSize(const char* path)
{
    // Callers of the ANSI form were promised the low 32 bits of the size
    // only; they keep exactly that.
    WideCopy wide(path, kAnsiFilePathUnits);
    if (wide.failed) return 0;
    return (long long)(DWORD)MRVK0_GetFileSizeW(wide.text);
}

// Reads the file whose size the caller took into buffer, when that size is
// known and fits capacity: one read of up to capacity bytes, sharing the
// file as `share` allows.
static int ReadIfItFits(const WCHAR* path, int size, char* buffer, int capacity, DWORD share)
{
    // A negative capacity fits no file; a negative size is a file too large
    // to say (2 GiB or more).
    if (size < 0 || capacity < 0) return 0;
    if (capacity < size) return 0;

    HANDLE file = CreateFileW(path, GENERIC_READ, share, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 0;

    // One read of up to the capacity: should the file have grown since its
    // size was taken, the read still stops at the buffer's end.
    DWORD bytesRead = 0;
    if (!ReadFile(file, buffer, (DWORD)capacity, &bytesRead, NULL)) bytesRead = 0;
    CloseHandle(file);  // read-only handle: closing cannot lose data
    return (int)bytesRead;
}

int WINAPI MRVK0_ReadTextToBufferW(const WCHAR* path, char* buffer, int capacity)
{
    // The whole size decides: 2 GiB or more is refused, whatever its low
    // 32 bits would say.
    long long size = MRVK0_GetFileSizeW(path);
    // Other readers (a viewer, the indexer) may stay; a writer may not, nor
    // come in during the read, so the file is never read half-written.
    return ReadIfItFits(path, size > 0x7FFFFFFFLL ? -1 : (int)size, buffer, capacity,
                        FILE_SHARE_READ);
}

int WINAPI MRVK0_ReadTextToBuffer(const char* path, char* buffer, int capacity)
{
    // The ANSI form keeps its contract: the size is the low 32 bits taken
    // as a signed value, so a file of 2 GiB up to 4 GiB comes out negative
    // and is refused like any other file too large for the buffer.
    WideCopy wide(path, kAnsiFilePathUnits);
    if (wide.failed) return 0;
    int size = (int)(DWORD)MRVK0_GetFileSizeW(wide.text);
    // Exclusive, as it always was: a file any other process holds open is
    // not read, which its callers may rely on.
    return ReadIfItFits(wide.text, size, buffer, capacity, 0);
}

int WINAPI MRVK0_GetGlobalMemory(HGLOBAL* block, void** pointer, DWORD bytes)
{
    if (bytes == 0) {
        // Release: unlock once (only a locked pair has a pointer), then free.
        if (*pointer != NULL) {
            if (*block != NULL) GlobalUnlock(*block);  // a lock count may remain; GlobalFree frees regardless
            *pointer = NULL;
        }
        if (*block != NULL) {
            GlobalFree(*block);  // nothing to do if freeing fails: the handle is dropped either way
            *block = NULL;
        }
        return 0;
    }

    if (*block != NULL) {
        // Resize. The earlier lock stays, so the block keeps one more lock
        // per resize; release frees it whatever its lock count.
        *block = GlobalReAlloc(*block, bytes, GMEM_MOVEABLE | GMEM_ZEROINIT);
        if (*block == NULL) return 11;
        *pointer = GlobalLock(*block);
        return (*pointer == NULL) ? 12 : 0;
    }

    *block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (*block == NULL) return 1;
    *pointer = GlobalLock(*block);
    return (*pointer == NULL) ? 2 : 0;
}
