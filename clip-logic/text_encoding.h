// Characters and encodings of the program's texts, with the code page as a
// parameter: code page 932 (Shift-JIS) for the program's own texts and for
// lists kept in it, UTF-8 for lists kept in it and for texts that code page
// 932 cannot hold. Platform-free: the walks and the tests of a file's
// encoding. Conversions to and from UTF-16 are in text_convert.h.
#pragma once

enum {
    kCodePage932 = 932,
    kCodePageUtf8 = 65001,
};

// The encodings a text file (the clip list, a referenced file) may be in.
enum TextFileEncoding {
    kEncoding932 = 0,      // code page 932, or anything that is not UTF
    kEncodingUtf8 = 1,     // UTF-8 without a mark (DetectEncoding says when)
    kEncodingUtf8Bom = 2,  // EF BB BF, then UTF-8
    kEncodingUtf16Bom = 3, // FF FE, then UTF-16 LE; or FE FF, then UTF-16 BE
};

// The code page a text in that encoding is walked and converted with.
int CodePageOf(TextFileEncoding encoding);
// Bytes of the byte-order mark that starts a file in that encoding.
int MarkLength(TextFileEncoding encoding);

// True for a lead byte of a double-byte character in code page 932.
bool IsLeadByte932(unsigned char byte);
// True for a byte that may follow a lead byte: 40-7E, 80-FC.
bool IsTrailByte932(unsigned char byte);

// Where the first byte beyond ASCII (80-FF) stands in text[at..count), or
// count when there is none. Most of a list is ASCII: it is passed over eight
// bytes at a time.
int NextBeyondAscii(const char* text, int at, int count);

// True for a double-byte pair of code page 932 that stands for a character.
// Pairs of the right shape may stand for none (85 40, EB 40, EF 9F): the
// system's conversion refuses those. The table is cp932_pairs.cpp.
bool IsMappedPair932(unsigned char lead, unsigned char trail);

// True when the bytes are text in code page 932: single bytes 00-7F and
// A1-DF, and lead bytes each followed by a trail byte that makes a
// character with it. Bytes that are not (80, A0, FD-FF, a lone or broken
// lead byte, a pair that stands for nothing) have no character to carry
// into another encoding.
bool IsText932(const char* bytes, int length);

// Bytes of the character that starts at text[at], never past length. A lead
// byte with nothing after it, or a broken UTF-8 sequence, counts one byte.
int CharacterWidth(const char* text, int at, int length, int codePage);

// The longest prefix of text[0..length) of at most maxBytes bytes that does
// not end inside a character.
int CutLength(const char* text, int length, int maxBytes, int codePage);

// The length of text[0..length) without a final character that was cut
// short (a lone code page 932 lead byte, the start of a UTF-8 sequence).
int CompleteLength(const char* text, int length, int codePage);

// Where the last backslash of a zero-terminated text stands, or -1. Walks
// whole characters: the trail byte of a code page 932 character may be 0x5C.
int LastBackslash(const char* text, int codePage);

// UTF-8 validity of a byte stream fed in pieces of any size.
struct Utf8Check {
    int pending;    // continuation bytes still expected
    int lowest;     // the least value the next continuation byte may have
    int highest;    // ... and the greatest (excludes overlong forms, surrogates)
    bool valid;     // nothing broken so far
    bool multiByte; // at least one character of two or more bytes
};
void StartUtf8Check(Utf8Check* check);
void FeedUtf8Check(Utf8Check* check, const char* bytes, int count);
// True once the whole stream was valid UTF-8 holding a multi-byte character.
bool IsUtf8Text(const Utf8Check* check);

// The encoding that a file's first bytes announce by a byte-order mark, or
// kEncoding932 when they announce none (then the whole file decides).
TextFileEncoding EncodingByMark(const char* start, int count);

// For a text in kEncodingUtf16Bom: true when its mark is FE FF, so that
// its units come high byte first.
bool IsBigEndianMark(const char* start, int count);

// The encoding of a whole text held in memory (a clip list, a referenced
// file), in encoding_detect.cpp:
// - the one its byte-order mark announces;
// - else code page 932 when the bytes are no valid UTF-8, or hold no
//   multi-byte character;
// - else UTF-8 when the bytes are no text in code page 932 (its reading
//   would need a stand-in);
// - else, the bytes being text in both, UTF-8 only when its reading looks
//   more like a person's text than the code page 932 one (Utf8Likelihood
//   above 0): code page 932 wins every tie.
TextFileEncoding DetectEncoding(const char* bytes, int count);

// For bytes that are valid UTF-8 and text in code page 932 alike: how much
// more plausible their UTF-8 reading is as text than their code page 932
// reading. Each reading is scored a character at a time, from -4 to +3:
// - UTF-8: a letter of a living alphabet, kana, a kanji, an emoji count for
//   it (a character of three bytes as much as the one and a half code page
//   932 characters those bytes make), a control, private-use or historic
//   character against. A word whose letters beyond ASCII are of two scripts,
//   or of an alphabet other than Latin beside ASCII letters, counts against
//   it by each; a word of one letter alone (Ķ, which is ﾄｶ), a Latin word
//   without an ASCII letter, and a three-byte character glued to an ASCII
//   byte 40-7E (what a kanji and a pair with an ASCII second byte give)
//   count nothing.
// - code page 932: kana and common kanji count for it, the IBM and NEC
//   extensions and the user-defined area against, and so does a kanji
//   glued to a Latin letter or to half-width katakana. A run of half-width
//   katakana counts for it by each kana; against it when it touches an ASCII
//   letter, when one or two stand between double-byte characters (what a
//   three-byte UTF-8 character gives), when a sound mark or small kana
//   stands where Japanese puts none, or when one of ﾎ-ﾛ repeats every second
//   place (ﾐｰﾐｲ is ав); nothing when it touches a kanji or repeats so once.
int Utf8Likelihood(const char* bytes, int count);
