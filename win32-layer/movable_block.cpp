#include "movable_block.h"

#include "Morvask.h"

MovableBlock::~MovableBlock()
{
    Free();
}

bool MovableBlock::Allocate(DWORD bytes)
{
    Free();
    // The library leaves the handle or the pointer null on failure, and its
    // release takes whatever half is there.
    if (bytes == 0 || MRVK0_GetGlobalMemory(&block, &pointer, bytes) != 0 || !pointer) {
        Free();
        return false;
    }
    return true;
}

void MovableBlock::Free()
{
    MRVK0_GetGlobalMemory(&block, &pointer, 0);  // always succeeds, nulls both
}

HGLOBAL MovableBlock::Release()
{
    HGLOBAL handed = block;
    // The clipboard wants the block unlocked; the pointer is void from here.
    if (handed) GlobalUnlock(handed);
    block = nullptr;
    pointer = nullptr;
    return handed;
}
