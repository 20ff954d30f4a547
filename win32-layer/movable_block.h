// A movable, zero-filled global memory block taken through the library: the
// form the clipboard takes its data in, and used for that alone (scratch
// texts come from the heap, heap_text.h). The guard releases it on every
// way out; Release() hands it over instead (to the clipboard, which then
// owns it).
#pragma once
#include <windows.h>

struct MovableBlock {
    HGLOBAL block = nullptr;
    void* pointer = nullptr;
    ~MovableBlock();
    // A new block of `bytes` bytes in place of any earlier one. False, with
    // no block held, when the memory cannot be had.
    bool Allocate(DWORD bytes);
    void Free();
    char* Bytes() const { return static_cast<char*>(pointer); }
    WCHAR* Units() const { return static_cast<WCHAR*>(pointer); }
    // Unlocks the block and gives up its ownership.
    HGLOBAL Release();
};
