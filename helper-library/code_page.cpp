#include "code_page.h"

bool IsLeadByteOfActiveCodePage(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

WideCopy::WideCopy(const char* ansi, int maxUnits) : text(NULL), failed(false)
{
    if (ansi == NULL) return;
    // First the length, so that a text of any size converts whole.
    // Each failure leaves its reason as the last error: the conversion's
    // own, or what a conversion into a buffer of maxUnits would report.
    int units = MultiByteToWideChar(CP_ACP, 0, ansi, -1, NULL, 0);
    if (units <= 0) {
        failed = true;
    } else if (maxUnits > 0 && units > maxUnits) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        failed = true;
    } else if ((text = (WCHAR*)HeapAlloc(GetProcessHeap(), 0, (SIZE_T)units * sizeof(WCHAR)))
               == NULL) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        failed = true;
    } else if (MultiByteToWideChar(CP_ACP, 0, ansi, -1, text, units) != units) {
        failed = true;
    }
}

WideCopy::~WideCopy()
{
    if (text != NULL) HeapFree(GetProcessHeap(), 0, text);  // nothing to do should it fail
}
