#include <windows.h>

// The library needs no set-up or clean-up: its split store is static data
// that starts empty, so every reason it is called with simply succeeds.
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
