// Keeps the Wine desktop of a test session open. Wine closes a desktop about
// a second after its last program ends, and the next program then waits for
// it to start again: with one short program after another, every test would
// pay that wait. This holds an invisible window (never shown, so it takes
// no focus) until the session ends it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    HWND window = CreateWindowExA(0, "STATIC", "Quillan test desktop keeper", WS_POPUP, 0, 0,
                                  0, 0, NULL, NULL, instance, NULL);
    if (!window) return 1;
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
