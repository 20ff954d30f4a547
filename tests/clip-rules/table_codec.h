// A table codec for the list's save rules: ASCII, and a few known code page
// 932 texts with their UTF-8 forms (あ 82 A0 = E3 81 82, い 82 A2 = E3 81 84,
// and 縺薙ｓ縺ｫ縺｡縺ｯ, whose code page 932 bytes are the UTF-8 of こんにちは).
// Anything else is refused, as the system's exact conversion refuses what
// has no character.
#pragma once

#include <stdlib.h>
#include <string.h>

#include <string>

#include "clip_list_edit.h"

inline bool TableConvert(const char* bytes, int length, int from, int to, char** out,
                         int* outLength)
{
    static const char* const kPairs[][2] = {
        {"\x82\xA0", "\xE3\x81\x82"},
        {"\x82\xA2", "\xE3\x81\x84"},
        {"\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB\xE3\x81\xA1\xE3\x81\xAF",
         "\xE7\xB8\xBA\xE8\x96\x99\xEF\xBD\x93\xE7\xB8\xBA\xEF\xBD\xAB\xE7\xB8\xBA\xEF\xBD\xA1"
         "\xE7\xB8\xBA\xEF\xBD\xAF"}};
    const int side = from == kCodePage932 ? 0 : 1;
    if (from == to || (to != kCodePage932 && to != kCodePageUtf8)) return false;
    std::string result;
    for (int at = 0; at < length;) {
        if ((unsigned char)bytes[at] < 0x80) {
            result.push_back(bytes[at++]);
            continue;
        }
        bool known = false;
        for (const auto& pair : kPairs) {
            const size_t size = strlen(pair[side]);
            if ((size_t)(length - at) >= size && memcmp(bytes + at, pair[side], size) == 0) {
                result += pair[1 - side];
                at += (int)size;
                known = true;
                break;
            }
        }
        if (!known) return false;
    }
    *out = (char*)malloc(result.size() + 1);
    memcpy(*out, result.c_str(), result.size() + 1);
    *outLength = (int)result.size();
    return true;
}

inline const ClipCodec* TableCodec()
{
    static const ClipCodec codec = {TableConvert};
    return &codec;
}
