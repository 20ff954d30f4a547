#include "text_encoding.h"

int CodePageOf(TextFileEncoding encoding)
{
    return encoding == kEncoding932 ? kCodePage932 : kCodePageUtf8;
}

int MarkLength(TextFileEncoding encoding)
{
    switch (encoding) {
    case kEncodingUtf8Bom: return 3;
    case kEncodingUtf16Bom: return 2;
    default: return 0;
    }
}

bool IsLeadByte932(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsTrailByte932(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

int NextBeyondAscii(const char* text, int at, int count)
{
    while (at + 8 <= count && ((text[at] | text[at + 1] | text[at + 2] | text[at + 3] | text[at + 4] |
                                text[at + 5] | text[at + 6] | text[at + 7]) & 0x80) == 0) {
        at += 8;
    }
    while (at < count && (text[at] & 0x80) == 0) ++at;
    return at;
}

bool IsText932(const char* bytes, int length)
{
    for (int at = 0; at < length; ++at) {
        const unsigned char byte = (unsigned char)bytes[at];
        if (byte < 0x80) {
            at = NextBeyondAscii(bytes, at, length) - 1;
            continue;
        }
        if (byte >= 0xA1 && byte <= 0xDF) continue;
        if (!IsLeadByte932(byte)) return false;
        if (at + 1 >= length || !IsMappedPair932(byte, (unsigned char)bytes[at + 1])) return false;
        ++at;
    }
    return true;
}

static bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Bytes a UTF-8 sequence with this first byte has; 1 for a byte that cannot
// start one (it then stands alone).
static int Utf8SequenceLength(unsigned char byte)
{
    if (byte >= 0xC2 && byte <= 0xDF) return 2;
    if (byte >= 0xE0 && byte <= 0xEF) return 3;
    if (byte >= 0xF0 && byte <= 0xF4) return 4;
    return 1;
}

int CharacterWidth(const char* text, int at, int length, int codePage)
{
    const unsigned char byte = (unsigned char)text[at];
    if (codePage != kCodePageUtf8) {
        return (IsLeadByte932(byte) && at + 1 < length) ? 2 : 1;
    }
    int width = Utf8SequenceLength(byte);
    // A sequence cut short or broken counts its first byte alone, so that a
    // walk never skips a byte that starts the next character.
    for (int i = 1; i < width; ++i) {
        if (at + i >= length || !IsContinuation((unsigned char)text[at + i])) return 1;
    }
    return width;
}

int CutLength(const char* text, int length, int maxBytes, int codePage)
{
    if (length <= maxBytes) return length;
    if (maxBytes <= 0) return 0;
    // UTF-8 marks its lead bytes, so the kept part alone shows whether its
    // last character was cut short.
    if (codePage == kCodePageUtf8) return CompleteLength(text, maxBytes, codePage);
    // Code page 932 needs a walk from the start: only that tells a lead byte
    // from a trail byte that happens to lie in the lead byte range.
    int at = 0;
    while (at < maxBytes) {
        int width = CharacterWidth(text, at, length, codePage);
        if (at + width > maxBytes) break;
        at += width;
    }
    return at;
}

int CompleteLength(const char* text, int length, int codePage)
{
    if (codePage == kCodePageUtf8) {
        for (int at = length - 1; at >= 0 && at >= length - 3; --at) {
            const unsigned char byte = (unsigned char)text[at];
            if (IsContinuation(byte)) continue;
            int width = Utf8SequenceLength(byte);
            return (width > 1 && at + width > length) ? at : length;
        }
        return length;
    }
    int at = 0;
    while (at < length) {
        if (IsLeadByte932((unsigned char)text[at]) && at + 1 == length) return at;
        at += CharacterWidth(text, at, length, codePage);
    }
    return length;
}

int LastBackslash(const char* text, int codePage)
{
    int last = -1;
    int length = 0;
    while (text[length] != '\0') ++length;
    for (int at = 0; at < length;) {
        if (text[at] == '\\') last = at;
        at += CharacterWidth(text, at, length, codePage);
    }
    return last;
}

void StartUtf8Check(Utf8Check* check)
{
    check->pending = 0;
    check->lowest = 0x80;
    check->highest = 0xBF;
    check->valid = true;
    check->multiByte = false;
}

void FeedUtf8Check(Utf8Check* check, const char* bytes, int count)
{
    for (int i = 0; i < count && check->valid; ++i) {
        const int byte = (unsigned char)bytes[i];
        if (check->pending > 0) {
            if (byte < check->lowest || byte > check->highest) {
                check->valid = false;
                break;
            }
            check->lowest = 0x80;
            check->highest = 0xBF;
            --check->pending;
            continue;
        }
        if (byte < 0x80) {
            // Most text is ASCII: pass over it four bytes at a time.
            while (i + 4 < count && ((bytes[i + 1] | bytes[i + 2] | bytes[i + 3] | bytes[i + 4]) & 0x80) == 0) {
                i += 4;
            }
            continue;
        }
        const int length = Utf8SequenceLength((unsigned char)byte);
        if (length == 1) {
            check->valid = false;
            break;
        }
        check->multiByte = true;
        check->pending = length - 1;
        // The second byte's range rules out overlong forms, the UTF-16
        // surrogates and values beyond U+10FFFF.
        if (byte == 0xE0) check->lowest = 0xA0;
        if (byte == 0xED) check->highest = 0x9F;
        if (byte == 0xF0) check->lowest = 0x90;
        if (byte == 0xF4) check->highest = 0x8F;
    }
}

bool IsUtf8Text(const Utf8Check* check)
{
    return check->valid && check->pending == 0 && check->multiByte;
}

TextFileEncoding EncodingByMark(const char* start, int count)
{
    const unsigned char* bytes = (const unsigned char*)start;
    if (count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        return kEncodingUtf8Bom;
    }
    // FE and FF are no bytes of code page 932 nor of UTF-8: either order of
    // the UTF-16 mark can start nothing else.
    if (count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return kEncodingUtf16Bom;
    if (IsBigEndianMark(start, count)) return kEncodingUtf16Bom;
    return kEncoding932;
}

bool IsBigEndianMark(const char* start, int count)
{
    const unsigned char* bytes = (const unsigned char*)start;
    return count >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF;
}
