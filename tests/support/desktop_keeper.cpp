// Keeps the Wine desktop of a test session open. Wine closes a desktop about
// a second after its last program ends, and the next program then waits for
// it to start again: with one short program after another, every test would
// pay that wait. This holds an invisible window (never shown, so it takes
// no focus) until the session ends it.
#include <windows.h>

//
// Its command line names a file that it makes once its window exists, and
// so the desktop: the session waits for that before the first test. A test
// that came first would start the desktop itself, and Wine's desktop
// process would inherit the test's output and hold it open for the rest of
// the session, so that ctest waited for the test until it timed out.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    HWND window = CreateWindowExA(0, "STATIC", "Quillan test desktop keeper", WS_POPUP, 0, 0,
                                  0, 0, NULL, NULL, instance, NULL);
    if (!window) return 1;
    if (commandLine[0]) {
        HANDLE ready = CreateFileA(commandLine, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, NULL);
        if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);  // its name is the signal
    }
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
