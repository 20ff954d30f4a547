// From process start until the main window is visible: Quillan.exe started
// without arguments beside a ClipData.txt of 1,000 entries, against a
// program that shows the same dialog template empty. Both run alternately
// under one warm Wine server; prints median, minimum and maximum of each and
// the ratio of the medians (target: at most 1.2).
//   scripts/wine-session.sh <prefix> wine <bin>/main_window_bench.exe [runs]
#include <windows.h>

#include <stdio.h>

#include "bench_timing.h"
#include "resource.h"
#include "test_support.h"

enum { kEntries = 1000 };

// Mixed Japanese and ASCII, every form a line can take but the file
// reference (which would be read only on copying); about 40 bytes each.
static const char* const kForms[] = {
    "挨拶%04d/=\"おはようございます Good morning\"",
    "\"お世話になっております。 No.%04d 山田\"",
    "Thanks%04d/=\"Thank you for your message.\"",
    "住所%04d/=\"東京都千代田区千代田1-1\"",
    "会議%04d/=\"明日10時から第2会議室Aです\"",
};

// Code page 932 (the literals above are compiled to it), CR LF.
static bool WriteClipData(const std::string& path)
{
    std::string text;
    char line[128];
    for (int i = 0; i < kEntries; ++i) {
        wsprintfA(line, kForms[i % (sizeof kForms / sizeof kForms[0])], i);
        text += line;
        text += "\r\n";
    }
    return WriteWholeFile(path, text);
}

// Milliseconds from CreateProcess until the program's dialog holding the
// drop-down list is visible; -1 when it did not show within 30 s. The
// program is closed again afterwards, outside the time. `items` receives
// the number of entries the list held when the window showed.
static double TimeToVisible(const std::string& exe, const std::string& folder, int* items)
{
    ProgramRun run;
    LARGE_INTEGER start = Now(), shown = start;
    if (!StartProcess(&run, exe, "", folder)) return -1;
    HWND window = NULL;
    bool visible = false, ended = false;
    DWORD began = GetTickCount();
    // Polled without sleeping, so the figure is not rounded up to a timer
    // tick; yielding only lets the program run when it waits for this core.
    for (int poll = 0; !visible && !ended && GetTickCount() - began < 30000; ++poll) {
        // The dialog exists hidden while it is being filled: find it once,
        // then watch only its visibility.
        if (!window) window = FindDialog(run.process.dwProcessId, NULL, IDC_CLIP_COMBO, true);
        if (window && IsWindowVisible(window)) {
            shown = Now();
            visible = true;
        } else if (poll % 64 == 63) {
            ended = WaitForSingleObject(run.process.hProcess, 0) == WAIT_OBJECT_0;
        } else {
            SwitchToThread();
        }
    }
    // With a time limit: a program that hangs must not hang the bench.
    DWORD_PTR count = 0;
    *items = visible && SendMessageTimeoutW(GetDlgItem(window, IDC_CLIP_COMBO), CB_GETCOUNT, 0,
                                            0, SMTO_ABORTIFHUNG, 5000, &count)
                 ? (int)count
                 : -1;
    FinishProgram(&run);
    return visible ? Milliseconds(start, shown) : -1;
}

int main(int argc, char** argv)
{
    int runs = RunsWanted(argc, argv);
    RunFolder folder;
    if (!MakeRunFolder(&folder) || !WriteClipData(folder.path + "\\ClipData.txt")) {
        printf("cannot make a folder with Quillan.exe and a ClipData.txt of %d entries\n",
               kEntries);
        return 1;
    }
    std::string quillan = folder.path + "\\Quillan.exe";
    std::string minimal = ProgramFolder() + "\\main_window_minimal.exe";

    // Warm up the server, the page cache and the display connection.
    int quillanItems = 0, minimalItems = 0;
    TimeToVisible(minimal, ProgramFolder(), &minimalItems);
    TimeToVisible(quillan, folder.path, &quillanItems);

    static RunTimes quillanTimes, minimalTimes;
    int status = 0;
    for (int i = 0; i < runs && status == 0; ++i) {
        double m = TimeToVisible(minimal, ProgramFolder(), &minimalItems);
        double q = TimeToVisible(quillan, folder.path, &quillanItems);
        if (m < 0 || q < 0) {
            printf("run %d: %s did not show its window\n", i + 1,
                   m < 0 ? "the empty dialog" : "Quillan.exe");
            status = 1;
        }
        minimalTimes.ms[minimalTimes.count++] = m;
        quillanTimes.ms[quillanTimes.count++] = q;
    }
    RemoveRunFolder(&folder);
    if (status != 0) return status;

    TimeSummary q = Summarise(&quillanTimes), m = Summarise(&minimalTimes);
    printf("main window visible, %d runs each, alternating, one warm Wine server\n", runs);
    PrintTimes("Quillan.exe, ClipData.txt of 1,000 entries", q);
    PrintTimes("empty dialog of the same template", m);
    PrintRatio(q, m, 1.2);
    printf("entries in the list when the window showed (last run): %d\n", quillanItems);
    return 0;
}
