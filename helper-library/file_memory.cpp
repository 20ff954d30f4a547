// Folder test, file size, whole-file read and movable global memory blocks.
// None of these keeps state between calls; every handle opened here is
// closed before the call returns.
#include "Morvask.h"

int WINAPI MRVK0_FolderExist(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

long long WINAPI MRVK0_GetFileSize(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return 0;

    // Attribute access only: the size needs no read right.
    HANDLE file = CreateFileA(path, 0, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 0;

    // Only the low 32 bits are wanted. Without a high part, 0xFFFFFFFF is
    // both a real size and the failure value; the last error tells them apart,
    // so a failed query is reported as 0 rather than as a 4 GiB file.
    SetLastError(NO_ERROR);
    DWORD size = GetFileSize(file, NULL);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) size = 0;
    CloseHandle(file);  // opened for attributes only; nothing to flush
    return (long long)size;
}

int WINAPI MRVK0_ReadTextToBuffer(const char* path, char* buffer, int capacity)
{
    // The size as a signed 32-bit value. A file of 2 GiB or more comes out
    // negative and would pass the capacity test below, so it is refused like
    // any other file too large for the buffer; so is a negative capacity,
    // which no buffer can have.
    int size = (int)(DWORD)MRVK0_GetFileSize(path);
    if (size < 0 || capacity < 0) return 0;
    if (capacity < size) return 0;

    // Exclusive: a file another process holds open is not read half-written.
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 0;

    // One read of up to the capacity: should the file have grown since its
    // size was taken, the read still stops at the buffer's end.
    DWORD bytesRead = 0;
    if (!ReadFile(file, buffer, (DWORD)capacity, &bytesRead, NULL)) bytesRead = 0;
    CloseHandle(file);  // read-only handle: closing cannot lose data
    return (int)bytesRead;
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
