#include "text_convert.h"

#include <string.h>

#include "app_state.h"
#include "wide_text.h"

// The katakana middle dot, which the system itself shows for a code page
// 932 byte that makes no character.
static const WCHAR kStandIn932 = 0x30FB;

// Code page 932 bytes as UTF-16 into out (room for outSize units; null:
// only counted). A lead byte without its trail byte is a stand-in of its
// own: the system's decoder would take the next byte into that stand-in, so
// that a closing quote or the first byte of the next character vanished
// from what is shown. -1 when the units do not fit.
static int Decode932(const char* bytes, int length, WCHAR* out, int outSize)
{
    int units = 0;
    int start = 0;
    for (int at = 0; at <= length;) {
        const bool lone = at < length && IsLeadByte932((unsigned char)bytes[at]) &&
                          (at + 1 >= length || !IsTrailByte932((unsigned char)bytes[at + 1]));
        if (at < length && !lone) {
            at += IsLeadByte932((unsigned char)bytes[at]) ? 2 : 1;
            continue;
        }
        if (at > start) {
            // A room of 0 would ask for the size instead of converting.
            if (out && outSize - units <= 0) return -1;
            int n = MultiByteToWideChar(kCodePage932, 0, bytes + start, at - start,
                                        out ? out + units : nullptr, out ? outSize - units : 0);
            if (n <= 0) return -1;
            units += n;
        }
        if (at == length) break;
        if (out && units >= outSize) return -1;
        if (out) out[units] = kStandIn932;
        ++units;
        start = ++at;
    }
    return units;
}

static int DecodeRaw(const char* bytes, int length, int codePage, WCHAR* out, int outSize)
{
    if (codePage == kCodePage932) return Decode932(bytes, length, out, outSize);
    return MultiByteToWideChar((UINT)codePage, 0, bytes, length, out, outSize);
}

int DecodeText(const char* bytes, int length, int codePage, WCHAR* out, int outSize)
{
    if (outSize <= 0) return -1;
    out[0] = L'\0';
    if (length <= 0) return 0;
    int units = DecodeRaw(bytes, length, codePage, out, outSize - 1);
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
    int needed = length > 0 ? DecodeRaw(bytes, length, codePage, NULL, 0) : 0;
    if (length > 0 && needed <= 0) return false;
    if (!out->Allocate(((DWORD)needed + 1) * sizeof(WCHAR))) return false;
    *units = DecodeText(bytes, length, codePage, out->Units(), needed + 1);
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
