// Bounded copies of code page 932 byte strings. Every cut lands on a
// character boundary: a lead byte is never left without its trail byte.
#pragma once

// True for a lead byte of a double-byte character in code page 932.
bool IsLeadByte932(unsigned char byte);

// The longest prefix of text[0..length) of at most maxBytes bytes that does
// not end inside a double-byte character.
int CutLength932(const char* text, int length, int maxBytes);

// Copies at most `length` bytes of src (stopping at its terminator; a
// negative length means up to the terminator) to dst, which has room for
// dstSize bytes, cutting on a character boundary. Always terminates dst
// when dstSize > 0. Returns the number of bytes copied.
int CopyText(char* dst, int dstSize, const char* src, int length = -1);

// The same, appending to the zero-terminated text already in dst.
int AppendText(char* dst, int dstSize, const char* src, int length = -1);
