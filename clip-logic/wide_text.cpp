#include "wide_text.h"

static bool IsHigh(wchar_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

static bool IsLow(wchar_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

int CopyWideText(wchar_t* dst, int dstUnits, const wchar_t* src, int length)
{
    if (dstUnits <= 0) return 0;
    const int room = dstUnits - 1;
    int in = 0;
    int out = 0;
    while (in < length && src[in] != 0) {
        const wchar_t unit = src[in];
        const bool paired = IsHigh(unit) && in + 1 < length && IsLow(src[in + 1]);
        if (paired) {
            if (out + 2 > room) break;  // the pair whole, or not at all
            dst[out++] = unit;
            dst[out++] = src[in + 1];
            in += 2;
            continue;
        }
        if (out + 1 > room) break;
        dst[out++] = IsHigh(unit) || IsLow(unit) ? (wchar_t)kReplacementCharacter : unit;
        ++in;
    }
    dst[out] = 0;
    return out;
}
