#include "bounded_text.h"

#include <string.h>

static int LengthUpTo(const char* src, int length)
{
    if (length < 0) return (int)strlen(src);
    const void* zero = memchr(src, '\0', (size_t)length);
    return zero ? (int)((const char*)zero - src) : length;
}

int CopyText(char* dst, int dstSize, const char* src, int length, int codePage)
{
    if (dstSize <= 0) return 0;
    dst[0] = '\0';
    return AppendText(dst, dstSize, src, length, codePage);
}

int AppendText(char* dst, int dstSize, const char* src, int length, int codePage)
{
    if (dstSize <= 0) return 0;
    int used = (int)strnlen(dst, (size_t)dstSize - 1);
    int n = CutLength(src, LengthUpTo(src, length), dstSize - 1 - used, codePage);
    memcpy(dst + used, src, (size_t)n);
    dst[used + n] = '\0';
    return n;
}
