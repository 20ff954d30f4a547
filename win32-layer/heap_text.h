// Scratch memory for a text whose size is only known at run time: from the
// process heap, zero-filled, released by the guard on every way out. Only
// what the clipboard takes over lives in movable global memory
// (movable_block.h).
#pragma once
#include <windows.h>

struct HeapText {
    void* pointer = nullptr;
    HeapText() = default;
    HeapText(const HeapText&) = delete;
    HeapText& operator=(const HeapText&) = delete;
    ~HeapText();
    // A new zero-filled block of `bytes` bytes in place of any earlier one.
    // False, with nothing held, when the memory cannot be had.
    bool Allocate(DWORD bytes);
    void Free();
    char* Bytes() const { return static_cast<char*>(pointer); }
    WCHAR* Units() const { return static_cast<WCHAR*>(pointer); }
};
