// Measures the clip list loader: its memory must grow with the file by no
// more than the file's bytes (they are kept once), and filling a list box through it should cost little more than adding the
// same lines already split in memory. Prints figures; never fails on them.
//
//   bench_loader [folder]     (default: the temporary folder)
#include <windows.h>
#include <psapi.h>

#include <stdio.h>
#include <string.h>

#include "clip_list_file.h"

enum {
    kSmallBytes = 1 << 20,        // 1 MB without any CR LF
    kLargeBytes = 50 << 20,       // 50 MB without any CR LF
    kLineCount = 100000,
    kLineBytes = 60,
    kRounds = 3,
};

static int WriteFiller(const char* path, int bytes)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    static char block[65536];
    memset(block, 'x', sizeof block);
    int ok = 1;
    for (int left = bytes; ok && left > 0; left -= (int)sizeof block) {
        DWORD part = left < (int)sizeof block ? (DWORD)left : (DWORD)sizeof block;
        DWORD done = 0;
        ok = WriteFile(file, block, part, &done, nullptr) && done == part;
    }
    CloseHandle(file);
    return ok;
}

// The line of a given number: 60 bytes, all different.
static void MakeLine(int number, char* line)
{
    wsprintfA(line, "%08d", number);
    memset(line + 8, 'a' + number % 26, kLineBytes - 8);
    line[kLineBytes] = '\0';
}

static int WriteLines(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    int ok = 1;
    char line[kLineBytes + 3];
    for (int i = 0; ok && i < kLineCount; ++i) {
        MakeLine(i, line);
        memcpy(line + kLineBytes, "\r\n", 2);
        DWORD done = 0;
        ok = WriteFile(file, line, kLineBytes + 2, &done, nullptr) && done == kLineBytes + 2;
    }
    CloseHandle(file);
    return ok;
}

static PROCESS_MEMORY_COUNTERS Memory()
{
    PROCESS_MEMORY_COUNTERS counters;
    memset(&counters, 0, sizeof counters);
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

static double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(to.QuadPart - from.QuadPart) / (double)frequency.QuadPart;
}

// The baseline: the same lines, already split in memory, added one by one.
static double AddPresplit(HWND list, char (*lines)[kLineBytes + 1])
{
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    LARGE_INTEGER from, to;
    QueryPerformanceCounter(&from);
    for (int i = 0; i < kLineCount; ++i) SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)lines[i]);
    QueryPerformanceCounter(&to);
    return Seconds(from, to);
}

// The lines the list box shows point into it.
static ClipListModel m_BenchList;

static double LoadFile(HWND list, const char* path)
{
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    LARGE_INTEGER from, to;
    QueryPerformanceCounter(&from);
    LoadClipList(list, path, kListBox, &m_BenchList);
    QueryPerformanceCounter(&to);
    return Seconds(from, to);
}

int main(int argc, char** argv)
{
    char folder[MAX_PATH];
    if (argc > 1) {
        lstrcpynA(folder, argv[1], MAX_PATH - 32);
    } else {
        GetTempPathA(MAX_PATH - 32, folder);
    }
    int length = lstrlenA(folder);
    if (length > 0 && folder[length - 1] == '\\') folder[length - 1] = '\0';
    char small[MAX_PATH], large[MAX_PATH], lines[MAX_PATH];
    wsprintfA(small, "%s\\bench-1mb.txt", folder);
    wsprintfA(large, "%s\\bench-50mb.txt", folder);
    wsprintfA(lines, "%s\\bench-lines.txt", folder);
    if (!WriteFiller(small, kSmallBytes) || !WriteFiller(large, kLargeBytes) || !WriteLines(lines)) {
        printf("bench_loader: cannot write the test files in %s\n", folder);
        return 1;
    }

    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_OVERLAPPEDWINDOW | LBS_HASSTRINGS,
                                0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);

    // Memory: the peak after loading 1 MB, then after loading 50 MB.
    PROCESS_MEMORY_COUNTERS before = Memory();
    StartClipList(&m_BenchList);
    LoadClipList(list, small, kListBox, &m_BenchList);
    PROCESS_MEMORY_COUNTERS afterSmall = Memory();
    LoadClipList(list, large, kListBox, &m_BenchList);
    PROCESS_MEMORY_COUNTERS afterLarge = Memory();
    printf("memory (KB)              peak working set  peak pagefile  pagefile\n");
    printf("  before loading         %16lu  %13lu  %8lu\n", (unsigned long)(before.PeakWorkingSetSize >> 10),
           (unsigned long)(before.PeakPagefileUsage >> 10), (unsigned long)(before.PagefileUsage >> 10));
    printf("  after the 1 MB file    %16lu  %13lu  %8lu\n", (unsigned long)(afterSmall.PeakWorkingSetSize >> 10),
           (unsigned long)(afterSmall.PeakPagefileUsage >> 10), (unsigned long)(afterSmall.PagefileUsage >> 10));
    printf("  after the 50 MB file   %16lu  %13lu  %8lu\n", (unsigned long)(afterLarge.PeakWorkingSetSize >> 10),
           (unsigned long)(afterLarge.PeakPagefileUsage >> 10), (unsigned long)(afterLarge.PagefileUsage >> 10));
    long growth = (long)((afterLarge.PeakWorkingSetSize - afterSmall.PeakWorkingSetSize) >> 10);
    // The list keeps the file's bytes once: the peak grows by the file's
    // growth, and by little more.
    long fileGrowth = (long)((kLargeBytes - kSmallBytes) >> 10);
    printf("  peak growth from 1 MB to 50 MB: %ld KB (the file grew by %ld KB: %s)\n", growth,
           fileGrowth, growth < fileGrowth + 1024 ? "kept once" : "NOT kept once");

    // Speed: 100,000 lines of 60 bytes, best of a few rounds each.
    static char presplit[kLineCount][kLineBytes + 1];
    for (int i = 0; i < kLineCount; ++i) MakeLine(i, presplit[i]);
    double baseline = 1e9, loader = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        double b = AddPresplit(list, presplit);
        double l = LoadFile(list, lines);
        if (b < baseline) baseline = b;
        if (l < loader) loader = l;
    }
    int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    printf("list box, %d lines of %d bytes (best of %d)\n", kLineCount, kLineBytes, kRounds);
    printf("  baseline, pre-split lines: %8.3f s\n", baseline);
    printf("  LoadClipList:              %8.3f s (%d items)\n", loader, count);
    printf("  ratio: %.2f (target at most 1.20)\n", loader / baseline);

    DestroyWindow(list);
    DeleteFileA(small);
    DeleteFileA(large);
    DeleteFileA(lines);
    return 0;
}
