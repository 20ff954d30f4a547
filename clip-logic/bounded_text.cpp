#include "bounded_text.h"

#include <string.h>

bool IsLeadByte932(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

int CutLength932(const char* text, int length, int maxBytes)
{
    if (length <= maxBytes) return length;
    if (maxBytes <= 0) return 0;
    // Walk whole characters from the start: only that tells a lead byte
    // from a trail byte that happens to lie in the lead byte range.
    int at = 0;
    while (at < maxBytes) {
        int width = (IsLeadByte932((unsigned char)text[at]) && at + 1 < length) ? 2 : 1;
        if (at + width > maxBytes) break;
        at += width;
    }
    return at;
}

static int LengthUpTo(const char* src, int length)
{
    if (length < 0) return (int)strlen(src);
    const void* zero = memchr(src, '\0', (size_t)length);
    return zero ? (int)((const char*)zero - src) : length;
}

int CopyText(char* dst, int dstSize, const char* src, int length)
{
    if (dstSize <= 0) return 0;
    dst[0] = '\0';
    return AppendText(dst, dstSize, src, length);
}

int AppendText(char* dst, int dstSize, const char* src, int length)
{
    if (dstSize <= 0) return 0;
    int used = (int)strnlen(dst, (size_t)dstSize - 1);
    int n = CutLength932(src, LengthUpTo(src, length), dstSize - 1 - used);
    memcpy(dst + used, src, (size_t)n);
    dst[used + n] = '\0';
    return n;
}
