// One keystroke in the main window's field against the main window's load
// of the same list: the real main dialog in this process, over a
// ClipData.txt of 1,000, 10,000 and 100,000 entries beside this program.
// A keystroke is a character sent to the field's own window, as the
// keyboard sends it, until the window has painted what changed. Prints
// medians and their ratios to the load; never fails on them.
//   scripts/wine-session.sh <prefix> wine <bin>/filter_bench.exe
#include <windows.h>

#include <stdio.h>

#include <string>

#include "app_state.h"
#include "bench_timing.h"
#include "command_line.h"
#include "main_dialog.h"
#include "resource.h"
#include "test_support.h"

// Every entry holds メモ (typed as め); one in a hundred holds Q (typed as q).
static const char* const kForms[] = {
    "メモ%06d/=\"おはようございます Good morning\"",
    "メモ%06d/=\"お世話になっております。 山田\"",
    "メモ%06d/=\"Thank you for your message.\"",
    "メモ%06d/=\"東京都千代田区千代田1-1\"",
};

static bool WriteList(const std::string& path, int entries)
{
    std::string text;
    char line[128];
    for (int i = 0; i < entries; ++i) {
        wsprintfA(line, i % 100 == 0 ? "メモ%06d/=\"Quote 今日の一言\"" : kForms[i % 4], i);
        text += line;
        text += "\r\n";
    }
    return WriteWholeFile(path, text);
}

// Milliseconds for one character (or Backspace) in the field, painted.
static double Keystroke(HWND dialog, HWND field, WCHAR character)
{
    LARGE_INTEGER from = Now();
    SendMessageW(field, WM_CHAR, character, 1);
    UpdateWindow(dialog);
    return Milliseconds(from, Now());
}

static void Add(RunTimes* times, double ms)
{
    if (times->count < kMaxRuns) times->ms[times->count++] = ms;
}

static double Median(RunTimes* times)
{
    return Summarise(times).median;
}

int main()
{
    m_hInstance = GetModuleHandleW(NULL);
    m_CmdLine[0] = '\0';
    ParseCommandLine();
    const std::string list = ProgramFolder() + "\\ClipData.txt";
    const struct {
        int entries, rounds;
    } sizes[] = {{1000, 21}, {10000, 11}, {100000, 5}};
    printf("narrowing the main window's list: medians, the ratio to the load in brackets\n");
    for (const auto& size : sizes) {
        if (!WriteList(list, size.entries)) {
            printf("cannot write %s\n", list.c_str());
            return 1;
        }
        HWND dialog = CreateDialogParamW(m_hInstance, MAKEINTRESOURCEW(IDD_MAIN), NULL,
                                         MainDlgProc, 0);
        HWND combo = GetDlgItem(dialog, IDC_CLIP_COMBO);
        HWND field = FindWindowExW(combo, NULL, L"Edit", NULL);
        if (!dialog || !field) {
            printf("the main dialog did not open\n");
            return 1;
        }
        ShowWindow(dialog, SW_SHOWNOACTIVATE);
        UpdateWindow(dialog);
        static RunTimes load, first, few, all, back;
        load.count = first.count = few.count = all.count = back.count = 0;
        int fewShown = 0;
        for (int round = 0; round < size.rounds; ++round) {
            LARGE_INTEGER from = Now();
            LoadListIntoCombo(dialog);  // reads the file again and fills the list
            UpdateWindow(dialog);
            Add(&load, Milliseconds(from, Now()));
            Add(&first, Keystroke(dialog, field, L'q'));  // folds the list first
            Add(&back, Keystroke(dialog, field, VK_BACK));
            Add(&few, Keystroke(dialog, field, L'q'));
            fewShown = (int)SendMessageW(combo, CB_GETCOUNT, 0, 0);
            Keystroke(dialog, field, VK_BACK);
            Add(&all, Keystroke(dialog, field, L'\u3081'));  // め
            Keystroke(dialog, field, VK_BACK);
        }
        const int allShown = (int)SendMessageW(combo, CB_GETCOUNT, 0, 0);
        DestroyWindow(dialog);
        const double loaded = Median(&load);
        printf("%d entries: load %.2f ms | 1 in 100 %.3f ms (%.3f), %d shown | every entry %.3f ms "
               "(%.3f), %d shown | back to every entry %.3f ms (%.3f) | first after a load "
               "%.3f ms (%.3f) | %d rounds\n",
               size.entries, loaded, Median(&few), Median(&few) / loaded, fewShown, Median(&all),
               Median(&all) / loaded, allShown, Median(&back), Median(&back) / loaded,
               Median(&first), Median(&first) / loaded, size.rounds);
    }
    DeleteFileA(list.c_str());
    return 0;
}
