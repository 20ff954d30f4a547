// The one-click copy, `Quillan.exe /m="Good morning" /g /e`, from process
// start to process exit, against a program that only puts the same text on
// the clipboard in the same formats. Both run alternately under one warm
// Wine server; prints median, minimum and maximum of each, the ratio of the
// medians (target: at most 1.1) and the size of the two deliverables
// (target: at most 100 KB together).
//   scripts/wine-session.sh <prefix> wine <bin>/one_click_bench.exe [runs]
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "bench_timing.h"
#include "test_support.h"

// Milliseconds from CreateProcess to the end of the process; -1 when it
// could not start, did not end within 30 s or ended with a failure code.
static double TimeRun(const std::string& exe, const char* arguments)
{
    ProgramRun run;
    LARGE_INTEGER start = Now();
    if (!StartProcess(&run, exe, arguments, ProgramFolder())) return -1;
    int code = WaitForExit(&run, 30000);
    LARGE_INTEGER end = Now();
    FinishProgram(&run);
    return code == 0 ? Milliseconds(start, end) : -1;
}

static long FileBytes(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)
               ? (long)data.nFileSizeLow
               : -1;
}

// What the last copy left: the ANSI text must be the message; the wide text
// and the locale are shown so that a reader sees whether both programs put
// the same formats (Wine fills in missing ones from CF_TEXT, so they are
// shown, not judged).
static bool ShowClipboard(const char* expected)
{
    std::string text = ClipboardText();
    printf("clipboard after the last Quillan.exe run: CF_TEXT \"%s\"", text.c_str());
    if (OpenClipboard(NULL)) {
        HANDLE wide = GetClipboardData(CF_UNICODETEXT);
        const wchar_t* chars = wide ? (const wchar_t*)GlobalLock(wide) : NULL;
        char narrow[64] = "(none)";
        if (chars) {
            // The text itself is ASCII: what matters is that it is there.
            WideCharToMultiByte(932, 0, chars, -1, narrow, sizeof narrow - 1, NULL, NULL);
            narrow[sizeof narrow - 1] = '\0';
            GlobalUnlock(wide);
        }
        HANDLE locale = GetClipboardData(CF_LOCALE);
        const LCID* id = locale ? (const LCID*)GlobalLock(locale) : NULL;
        LCID value = id ? *id : 0;
        if (id) GlobalUnlock(locale);
        CloseClipboard();
        printf(", CF_UNICODETEXT \"%s\", CF_LOCALE %04lX", narrow, (unsigned long)value);
    }
    printf("\n");
    return text == expected;
}

int main(int argc, char** argv)
{
    int runs = RunsWanted(argc, argv);
    std::string folder = ProgramFolder();
    std::string quillan = folder + "\\Quillan.exe", minimal = folder + "\\one_click_minimal.exe";
    const char* arguments = "/m=\"Good morning\" /g /e";

    // Warm up the server, the page cache and the display connection.
    TimeRun(minimal, "");
    TimeRun(quillan, arguments);

    static RunTimes quillanTimes, minimalTimes;
    for (int i = 0; i < runs; ++i) {
        double m = TimeRun(minimal, "");
        double q = TimeRun(quillan, arguments);
        if (m < 0 || q < 0) {
            printf("run %d failed (%s)\n", i + 1, m < 0 ? "minimal writer" : "Quillan.exe");
            return 1;
        }
        minimalTimes.ms[minimalTimes.count++] = m;
        quillanTimes.ms[quillanTimes.count++] = q;
    }
    if (!ShowClipboard("Good morning")) {
        printf("the clipboard does not hold \"Good morning\" after the runs\n");
        return 1;
    }

    TimeSummary q = Summarise(&quillanTimes), m = Summarise(&minimalTimes);
    printf("one-click copy, %d runs each, alternating, one warm Wine server\n", runs);
    PrintTimes("Quillan.exe /m=\"Good morning\" /g /e", q);
    PrintTimes("minimal clipboard writer", m);
    PrintRatio(q, m, 1.1);
    long exe = FileBytes(folder + "\\Quillan.exe"), dll = FileBytes(folder + "\\Morvask.dll");
    printf("deliverables: Quillan.exe %ld + Morvask.dll %ld = %ld bytes (%.1f KB, target <= 100 KB)\n",
           exe, dll, exe + dll, (exe + dll) / 1024.0);
    return 0;
}
