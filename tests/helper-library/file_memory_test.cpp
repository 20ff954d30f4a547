// Folder test, file size, whole-file read and movable global memory blocks,
// against real files and real blocks.
#include "Morvask.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <winioctl.h>

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

// Names the ANSI code page cannot hold (an emoji, 𠮷 outside code page
// 932), in a folder of their own and in one whose path passes 260
// characters: the wide forms take them whole.
TEST(MorvaskFilesW, NamesOutsideTheCodePageAndPathsPast260Characters)
{
    ScratchFolder folder("morvask");
    const std::wstring data = Wide(folder.path) + L"\\データ😀";
    const std::wstring deep = L"\\\\?\\" + data + L"\\" + std::wstring(240, L'd');
    ASSERT_TRUE(CreateDirectoryW(data.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), NULL));
    ASSERT_GT(deep.size(), 260u);
    const std::string text = "line one\r\n二行目";
    const int size = (int)text.size();
    for (const std::wstring& dir : {data, deep}) {
        SCOPED_TRACE(testing::Message() << dir.size() << "-character folder path");
        const std::wstring file = dir + L"\\𠮷.txt";
        const std::wstring missing = dir + L"\\𠮷missing";
        ASSERT_TRUE(WriteWholeFile(file, text));
        EXPECT_EQ(1, MRVK0_FolderExistW(dir.c_str()));
        EXPECT_EQ(0, MRVK0_FolderExistW(file.c_str()));
        EXPECT_EQ(0, MRVK0_FolderExistW(missing.c_str()));
        EXPECT_EQ(size, MRVK0_GetFileSizeW(file.c_str()));
        EXPECT_EQ(0, MRVK0_GetFileSizeW(dir.c_str()));
        EXPECT_EQ(0, MRVK0_GetFileSizeW(missing.c_str()));

        char buffer[64];
        memset(buffer, 'Z', sizeof buffer);
        EXPECT_EQ(size, MRVK0_ReadTextToBufferW(file.c_str(), buffer, sizeof buffer));
        EXPECT_EQ(text + "Z", std::string(buffer, size + 1));
        memset(buffer, 'Z', sizeof buffer);
        EXPECT_EQ(0, MRVK0_ReadTextToBufferW(file.c_str(), buffer, size - 1));
        EXPECT_EQ(0, MRVK0_ReadTextToBufferW(missing.c_str(), buffer, sizeof buffer));
        EXPECT_EQ(std::string(64, 'Z'), std::string(buffer, 64)) << "a refused read wrote";
        DeleteFileW(file.c_str());
    }
    RemoveDirectoryW(deep.c_str());  // past 260 characters: not left to the plain clean-up
}

// A file of 4 GiB and 5 bytes, sparse so that it costs next to nothing: the
// wide size is whole and the wide read refuses it; the ANSI size keeps its
// low 32 bits.
TEST(MorvaskFilesW, FileOfFourGibibytesAndFiveBytes)
{
    const long long kSize = 4294967301LL;
    ScratchFolder folder("morvask");
    const std::string ansiPath = folder.File("sparse.bin");
    const std::wstring path = Wide(ansiPath);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD ignored = 0;
    // NTFS needs to be told; Linux file systems under Wine leave a file
    // extended by its end without data blocks anyway.
    DeviceIoControl(file, FSCTL_SET_SPARSE, NULL, 0, NULL, 0, &ignored, NULL);
    LARGE_INTEGER end;
    end.QuadPart = kSize;
    bool extended = SetFilePointerEx(file, end, NULL, FILE_BEGIN) && SetEndOfFile(file);
    DWORD error = GetLastError();
    CloseHandle(file);
    if (!extended) GTEST_SKIP() << "this file system refused a 4 GiB file (error " << error << ")";
    // What the file system really holds for it.
    long long allocated = -1;
    file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, NULL);
    FILE_STANDARD_INFO standard;
    if (file != INVALID_HANDLE_VALUE) {
        if (GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard)) {
            allocated = standard.AllocationSize.QuadPart;
        }
        CloseHandle(file);
    }
    if (allocated < 0 || allocated > (64 << 20)) {
        DeleteFileW(path.c_str());
        GTEST_SKIP() << "this file system does not keep the file sparse (" << allocated
                     << " bytes allocated)";
    }

    EXPECT_EQ(kSize, MRVK0_GetFileSizeW(path.c_str()));
    EXPECT_EQ(5, MRVK0_GetFileSize(ansiPath.c_str())) << "the ANSI size is its low 32 bits";
    char buffer[64];
    memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(0, MRVK0_ReadTextToBufferW(path.c_str(), buffer, sizeof buffer));
    EXPECT_EQ(std::string(64, 'Z'), std::string(buffer, 64)) << "a refused read wrote";
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
#ifdef _WIN64
    GTEST_SKIP() << "needs the x86 build: a 64-bit process is given a block of almost 4 GiB, "
                    "so no allocation fails here";
#endif
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
