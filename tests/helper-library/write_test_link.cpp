// write_test_link LINK TARGET WORKDIR: writes a shortcut through the library
// with fixed arguments (Japanese included), for lnkinfo to read back.
#include "Morvask.h"

#include <objbase.h>

int main(int argc, char** argv)
{
    if (argc != 4) return 2;
    if (FAILED(CoInitialize(NULL))) return 3;
    HRESULT result = MRVK0_CreateShortCut(argv[1], argv[2], "/m=\"おはよう\" /g /e", argv[3]);
    CoUninitialize();
    return FAILED(result) ? 1 : 0;
}
