// Bounded copies of byte strings. Every cut lands on a character boundary
// of the text's code page (text_encoding.h): a character is never split.
#pragma once

#include "text_encoding.h"

// Copies at most `length` bytes of src (stopping at its terminator; a
// negative length means up to the terminator) to dst, which has room for
// dstSize bytes, cutting on a character boundary. Always terminates dst
// when dstSize > 0. Returns the number of bytes copied.
int CopyText(char* dst, int dstSize, const char* src, int length = -1,
             int codePage = kCodePage932);

// The same, appending to the zero-terminated text already in dst.
int AppendText(char* dst, int dstSize, const char* src, int length = -1,
               int codePage = kCodePage932);
