#include "text_convert.h"

#include <string.h>

#include "app_state.h"
#include "wide_text.h"

int DecodeText(const char* bytes, int length, int codePage, WCHAR* out, int outSize)
{
    if (outSize <= 0) return -1;
    out[0] = L'\0';
    if (length <= 0) return 0;
    int units = MultiByteToWideChar((UINT)codePage, 0, bytes, length, out, outSize - 1);
    if (units <= 0) {
        out[0] = L'\0';  // too long for out: whatever was written is no text
        return -1;
    }
    out[units] = L'\0';
    return units;
}

// One body for both kinds of block: they differ only in where the memory
// comes from.
template <typename Block>
static bool DecodeInto(const char* bytes, int length, int codePage, Block* out, int* units)
{
    int needed = length > 0 ? MultiByteToWideChar((UINT)codePage, 0, bytes, length, NULL, 0) : 0;
    if (length > 0 && needed <= 0) return false;
    if (!out->Allocate(((DWORD)needed + 1) * sizeof(WCHAR))) return false;
    *units = DecodeText(bytes, length, codePage, out->Wide(), needed + 1);
    return *units >= 0;
}

bool DecodeToBlock(const char* bytes, int length, int codePage, MovableBlock* out, int* units)
{
    return DecodeInto(bytes, length, codePage, out, units);
}

bool DecodeToBlock(const char* bytes, int length, int codePage, HeapText* out, int* units)
{
    return DecodeInto(bytes, length, codePage, out, units);
}

// WideCharToMultiByte with the flags that make it report, rather than
// hide, a character without an exact form.
static int EncodeRaw(const WCHAR* wide, int length, int codePage, char* out, int outSize,
                     bool* lossy)
{
    *lossy = false;
    if (codePage == kCodePageUtf8) {
        // Lone surrogates fail the call instead of becoming U+FFFD.
        return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, length, out, outSize,
                                   NULL, NULL);
    }
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte((UINT)codePage, WC_NO_BEST_FIT_CHARS, wide, length, out,
                                outSize, NULL, &usedDefault);
    *lossy = usedDefault != FALSE;
    return n;
}

static int WideLength(const WCHAR* wide, int length)
{
    return length >= 0 ? length : (int)wcslen(wide);
}

int EncodeText(const WCHAR* wide, int length, int codePage, char* out, int outSize)
{
    if (outSize <= 0) return -1;
    out[0] = '\0';
    length = WideLength(wide, length);
    if (length == 0) return 0;
    bool lossy = false;
    int n = EncodeRaw(wide, length, codePage, out, outSize - 1, &lossy);
    if (n <= 0 || lossy) {
        out[0] = '\0';
        return -1;
    }
    out[n] = '\0';
    return n;
}

bool EncodeToBlock(const WCHAR* wide, int length, int codePage, HeapText* out, int* bytes)
{
    length = WideLength(wide, length);
    bool lossy = false;
    int needed = length > 0 ? EncodeRaw(wide, length, codePage, NULL, 0, &lossy) : 0;
    if (length > 0 && (needed <= 0 || lossy)) return false;
    if (!out->Allocate((DWORD)needed + 1)) return false;
    *bytes = EncodeText(wide, length, codePage, out->Bytes(), needed + 1);
    return *bytes >= 0;
}

bool EncodeBestFit932(const WCHAR* wide, int length, MovableBlock* out)
{
    length = WideLength(wide, length);
    int needed = length > 0 ? WideCharToMultiByte(kCodePage932, 0, wide, length, NULL, 0,
                                                  NULL, NULL)
                            : 0;
    if (length > 0 && needed <= 0) return false;
    if (!out->Allocate((DWORD)needed + 1)) return false;
    if (needed > 0) {
        WideCharToMultiByte(kCodePage932, 0, wide, length, out->Bytes(), needed, NULL, NULL);
    }
    return true;  // the block is zero-filled: terminated
}

int ChooseCodePage(const WCHAR* const* texts, int count)
{
    for (int i = 0; i < count; ++i) {
        if (!texts[i] || texts[i][0] == L'\0') continue;
        bool lossy = false;
        int length = (int)wcslen(texts[i]);
        if (EncodeRaw(texts[i], length, kCodePage932, NULL, 0, &lossy) <= 0 || lossy) {
            return kCodePageUtf8;
        }
    }
    return kCodePage932;
}

bool RoundTripsExactly(const char* bytes, int length, int codePage, const WCHAR* wide,
                       int units)
{
    if (length == 0) return units == 0;
    // Code page 932 lines are at most 1023 bytes, their UTF-8 forms too.
    char back[4 * kTextSize];
    bool lossy = false;
    int n = EncodeRaw(wide, units, codePage, back, (int)sizeof back, &lossy);
    return !lossy && n == length && memcmp(back, bytes, (size_t)length) == 0;
}

void CopyWide(WCHAR* dst, const WCHAR* src, int maxUnits)
{
    CopyWideText(dst, maxUnits + 1, src, (int)wcslen(src));
}

bool PathToWide(const char* path, WCHAR* wide)
{
    return DecodeText(path, (int)strlen(path), kCodePageUtf8, wide, MAX_PATH) >= 0;
}

bool PathFromWide(const WCHAR* wide, char* path, int size)
{
    return EncodeText(wide, -1, kCodePageUtf8, path, size) >= 0;
}
