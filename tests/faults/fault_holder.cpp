// Holds something another program needs, from a process of its own, until
// told to let go or until a time limit passes:
//   fault_holder clipboard EVENTS MAX_MS
//   fault_holder file EVENTS MAX_MS PATH     (no sharing at all)
//   fault_holder reader EVENTS MAX_MS PATH   (reads, shares with readers)
// EVENTS names two events the caller made: EVENTS-ready, set once held, and
// EVENTS-release, waited for. Exit code 0 when it held, 2 when it could not,
// 3 for a wrong call. The arguments come wide, so that a path reaches the
// holder whole whatever the system code page.
#include <windows.h>

#include <stdlib.h>
#include <wchar.h>

#include <string>

static int HoldUntilReleased(HANDLE ready, HANDLE release, DWORD maxMs)
{
    SetEvent(ready);
    // Timed out or released: either way the hold ends here.
    WaitForSingleObject(release, maxMs);
    return 0;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) return 3;
    std::wstring events = argv[2];
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, (events + L"-ready").c_str());
    HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, (events + L"-release").c_str());
    if (!ready || !release) return 3;
    DWORD maxMs = (DWORD)_wtoi(argv[3]);

    int result = 3;
    if (wcscmp(argv[1], L"clipboard") == 0) {
        // With a window of its own: Wine lets a second OpenClipboard(NULL)
        // in while the holder also passed NULL, but not while a window
        // holds it.
        HWND window = CreateWindowExA(0, "STATIC", "fault holder", 0, 0, 0, 10, 10, NULL, NULL,
                                      NULL, NULL);
        if (window && OpenClipboard(window)) {
            result = HoldUntilReleased(ready, release, maxMs);
            CloseClipboard();
        } else {
            result = 2;
        }
        if (window) DestroyWindow(window);
    } else if ((wcscmp(argv[1], L"file") == 0 || wcscmp(argv[1], L"reader") == 0) && argc >= 5) {
        // "file": no sharing at all, so every other open for reading,
        // writing or deleting fails while this handle lives. "reader": as a
        // viewer or an indexer holds a file, letting other readers in.
        const DWORD share = wcscmp(argv[1], L"reader") == 0 ? FILE_SHARE_READ : 0;
        HANDLE file = CreateFileW(argv[4], GENERIC_READ, share, NULL, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            result = HoldUntilReleased(ready, release, maxMs);
            CloseHandle(file);
        } else {
            result = 2;
        }
    }
    CloseHandle(ready);
    CloseHandle(release);
    return result;
}
