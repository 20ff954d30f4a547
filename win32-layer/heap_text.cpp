#include "heap_text.h"

HeapText::~HeapText()
{
    Free();
}

bool HeapText::Allocate(DWORD bytes)
{
    Free();
    if (bytes == 0) return false;
    pointer = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
    return pointer != nullptr;
}

void HeapText::Free()
{
    // A block of our own heap, freed once: nothing is left to do should the
    // heap report a failure.
    if (pointer) HeapFree(GetProcessHeap(), 0, pointer);
    pointer = nullptr;
}
