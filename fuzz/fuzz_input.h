// Turns a fuzzer's bytes into zero-terminated texts.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

// Splits the input at its first 0xFF byte (or keeps it whole) and drops the
// zero bytes, so each part is a C string as a caller would pass it.
inline void SplitFuzzInput(const uint8_t* data, size_t size, std::string* first,
                           std::string* second)
{
    const uint8_t* cut = (const uint8_t*)memchr(data, 0xFF, size);
    size_t firstSize = cut ? (size_t)(cut - data) : size;
    first->clear();
    second->clear();
    for (size_t i = 0; i < firstSize; ++i)
        if (data[i]) first->push_back((char)data[i]);
    for (size_t i = firstSize + (cut ? 1 : 0); i < size; ++i)
        if (data[i]) second->push_back((char)data[i]);
}

#define FUZZ_CHECK(condition)                                                 \
    do {                                                                      \
        if (!(condition)) {                                                   \
            fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition,  \
                    __FILE__, __LINE__);                                      \
            abort();                                                          \
        }                                                                     \
    } while (0)
