// Folder test, file size, whole-file read and movable global memory blocks,
// against real files and real blocks.
#include "Morvask.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(MorvaskFiles, FolderExistOnlyForFolders)
{
    ScratchFolder folder("morvask");
    std::string file = folder.Write("file.txt", "abc");
    const struct {
        std::string path;
        int expected;
    } cases[] = {
        {folder.path, 1},
        {"C:\\", 1},
        {file, 0},
        {folder.File("missing"), 0},
        {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, MRVK0_FolderExist(c.path.c_str())) << "\"" << c.path << "\"";
}

TEST(MorvaskFiles, FileSizeIsZeroForEmptyMissingAndFolders)
{
    ScratchFolder folder("morvask");
    const struct {
        std::string path;
        long long expected;
    } cases[] = {
        {folder.Write("five.txt", "12345"), 5},
        {folder.Write("empty.txt", ""), 0},
        {folder.File("missing.txt"), 0},
        {folder.path, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, MRVK0_GetFileSize(c.path.c_str())) << c.path;
}

TEST(MorvaskFiles, ReadFillsExactlyTheFileAndWritesNoTerminator)
{
    ScratchFolder folder("morvask");
    std::string file = folder.Write("text.txt", "line one\r\n二行目");
    const int size = (int)strlen("line one\r\n二行目");

    char buffer[64];
    memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(size, MRVK0_ReadTextToBuffer(file.c_str(), buffer, size));
    EXPECT_EQ(0, memcmp(buffer, "line one\r\n二行目", size));
    EXPECT_EQ('Z', buffer[size]) << "a terminator or more bytes were written";

    // A larger capacity still reads the file once, as it is.
    memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(size, MRVK0_ReadTextToBuffer(file.c_str(), buffer, sizeof buffer));
    EXPECT_EQ('Z', buffer[size]);
}

TEST(MorvaskFiles, ReadRefusesWhatDoesNotFitAndLeavesTheBufferAlone)
{
    ScratchFolder folder("morvask");
    std::string file = folder.Write("text.txt", "0123456789");
    std::string empty = folder.Write("empty.txt", "");
    const struct {
        std::string path;
        int capacity;
    } cases[] = {
        {file, 9},  // one byte short
        {file, 0},
        {file, -1},
        {empty, 16},
        {folder.File("missing.txt"), 16},
        {folder.path, 16},
    };
    for (const auto& c : cases) {
        char buffer[32];
        memset(buffer, 'Z', sizeof buffer);
        EXPECT_EQ(0, MRVK0_ReadTextToBuffer(c.path.c_str(), buffer, c.capacity))
            << c.path << " with capacity " << c.capacity;
        EXPECT_EQ(std::string(32, 'Z'), std::string(buffer, 32)) << c.path << " touched the buffer";
    }
}

TEST(MorvaskFiles, ReadNeedsTheFileToItself)
{
    ScratchFolder folder("morvask");
    std::string file = folder.Write("held.txt", "held open");
    // Even an opener that shares everything keeps the exclusive open out.
    for (DWORD share : {0UL, (DWORD)(FILE_SHARE_READ | FILE_SHARE_WRITE)}) {
        HANDLE holder = CreateFileA(file.c_str(), GENERIC_READ, share, NULL, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, NULL);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        char buffer[32];
        memset(buffer, 'Z', sizeof buffer);
        EXPECT_EQ(0, MRVK0_ReadTextToBuffer(file.c_str(), buffer, sizeof buffer))
            << "read while held open with share mode " << share;
        CloseHandle(holder);
    }
    char buffer[32];
    EXPECT_EQ(9, MRVK0_ReadTextToBuffer(file.c_str(), buffer, sizeof buffer)) << "after the holder closed";
}

// Lock count of a movable block, as the platform reports it.
UINT LockCount(HGLOBAL block)
{
    return GlobalFlags(block) & GMEM_LOCKCOUNT;
}

bool AllZero(const void* data, size_t size)
{
    const unsigned char* bytes = (const unsigned char*)data;
    for (size_t i = 0; i < size; ++i)
        if (bytes[i] != 0) return false;
    return true;
}

TEST(MorvaskGlobalMemory, BlocksAreZeroedGrowKeepingTheirContentAndRelease)
{
    HGLOBAL block = NULL;
    void* pointer = NULL;
    EXPECT_EQ(0, MRVK0_GetGlobalMemory(&block, &pointer, 0)) << "releasing an empty pair";
    EXPECT_EQ((HGLOBAL)NULL, block);

    ASSERT_EQ(0, MRVK0_GetGlobalMemory(&block, &pointer, 100));
    ASSERT_NE((HGLOBAL)NULL, block);
    ASSERT_NE((void*)NULL, pointer);
    EXPECT_GE(GlobalSize(block), 100u);
    EXPECT_TRUE(AllZero(pointer, 100)) << "a new block is not zero-filled";
    EXPECT_EQ(1u, LockCount(block));
    EXPECT_EQ(pointer, GlobalLock(block)) << "pointer is not the block's locked address";
    GlobalUnlock(block);

    memset(pointer, 'A', 100);
    ASSERT_EQ(0, MRVK0_GetGlobalMemory(&block, &pointer, 5000));
    EXPECT_GE(GlobalSize(block), 5000u);
    EXPECT_EQ(std::string(100, 'A'), std::string((char*)pointer, 100)) << "growing lost the content";
    EXPECT_TRUE(AllZero((char*)pointer + 100, 4900)) << "the added bytes are not zero";
    EXPECT_EQ(2u, LockCount(block)) << "each resize adds one lock";

    ASSERT_EQ(0, MRVK0_GetGlobalMemory(&block, &pointer, 10));
    EXPECT_EQ(std::string(10, 'A'), std::string((char*)pointer, 10)) << "shrinking lost the content";

    EXPECT_EQ(0, MRVK0_GetGlobalMemory(&block, &pointer, 0));
    EXPECT_EQ((HGLOBAL)NULL, block);
    EXPECT_EQ((void*)NULL, pointer);
}

TEST(MorvaskGlobalMemory, ReleaseWithoutPointerFreesTheBlock)
{
    // A block handed on keeps its handle; the pointer was dropped.
    HGLOBAL block = NULL;
    void* pointer = NULL;
    ASSERT_EQ(0, MRVK0_GetGlobalMemory(&block, &pointer, 16));
    GlobalUnlock(block);
    pointer = NULL;
    EXPECT_EQ(0, MRVK0_GetGlobalMemory(&block, &pointer, 0));
    EXPECT_EQ((HGLOBAL)NULL, block);
    EXPECT_EQ((void*)NULL, pointer);
}

TEST(MorvaskGlobalMemory, FailuresReportTheirCodesAndKeepThePointer)
{
    void* const marker = (void*)(ULONG_PTR)0x1234;
    HGLOBAL block = NULL;
    void* pointer = marker;
    EXPECT_EQ(1, MRVK0_GetGlobalMemory(&block, &pointer, 0xFFFFFF00u));
    EXPECT_EQ((HGLOBAL)NULL, block);
    EXPECT_EQ(marker, pointer);

    pointer = NULL;
    ASSERT_EQ(0, MRVK0_GetGlobalMemory(&block, &pointer, 64));
    void* const held = pointer;
    HGLOBAL const original = block;
    EXPECT_EQ(11, MRVK0_GetGlobalMemory(&block, &pointer, 0xFFFFFF00u));
    EXPECT_EQ((HGLOBAL)NULL, block);
    EXPECT_EQ(held, pointer);
    // The pair no longer holds the block; free it here.
    GlobalUnlock(original);
    GlobalFree(original);
}

}  // namespace
