// Which encoding an unmarked text is in, where its bytes read as UTF-8 and
// as code page 932 alike. Both readings are scored as text a person wrote;
// the likelier one wins, code page 932 every tie. One pass over the bytes
// for each reading, no memory of its own.
#include "text_encoding.h"

namespace {

enum Script {
    kNoScript,  // signs, punctuation, emoji: they end a word
    kLatin,
    kGreek,
    kCyrillic,
    kArmenian,
    kHebrew,
    kArabic,
    kGeorgian,
    kIndic,
    kThai,
    kHangul,
    kCjk,
    kOtherScript,
    // Marks that stand on a letter of their script, never alone.
    kMarkOfLatinGreekCyrillic,  // the combining diacritics U+0300-036F
    kMarkOfHebrew,
    kMarkOfArabic,
};

// How plausible one code point is in a text written in UTF-8: from -4 (a
// control, a private-use character: what misread bytes give) to +2 (a
// letter of a living alphabet, an emoji) or +3 for such a letter of three
// bytes (kana, kanji, Hangul, Thai, Vietnamese): in code page 932 its bytes
// make one and a half characters of up to +2 each.
struct CodePointRange {
    int last;  // the range runs from the previous row's last + 1
    unsigned char script;
    signed char value;
};

const CodePointRange kRanges[] = {
    {0x7F, kLatin, 0},  // never looked up: ASCII is walked apart
    {0x9F, kNoScript, -4},  // C1 controls
    {0xBF, kNoScript, 1},   // Latin-1 signs: no-break space, ©, °, «, ¿
    {0xD6, kLatin, 2},
    {0xD7, kNoScript, 1},   // ×
    {0xF6, kLatin, 2},
    {0xF7, kNoScript, 1},   // ÷
    {0x17F, kLatin, 2},     // Latin-1 letters, Latin Extended-A
    {0x19F, kLatin, 0},
    {0x1A1, kLatin, 2},     // ơ (Vietnamese)
    {0x1AE, kLatin, 0},
    {0x1B0, kLatin, 2},     // ư (Vietnamese)
    {0x217, kLatin, 0},
    {0x21B, kLatin, 2},     // ș ț (Romanian)
    {0x24F, kLatin, 0},
    {0x2AF, kLatin, -2},    // IPA
    {0x2BA, kNoScript, -2}, // modifier letters
    {0x2BC, kNoScript, 0},  // ʻ ʼ, apostrophes of some orthographies
    {0x2FF, kNoScript, -2},
    {0x36F, kMarkOfLatinGreekCyrillic, 1},
    {0x385, kGreek, -1},
    {0x3CE, kGreek, 2},
    {0x3FF, kGreek, -1},    // Coptic in Greek
    {0x45F, kCyrillic, 2},
    {0x48F, kCyrillic, -1}, // historic Cyrillic
    {0x4BB, kCyrillic, 2},  // ґ, ғ, қ, ң, ү, ұ, һ and the like
    {0x4D7, kCyrillic, 0},
    {0x4E9, kCyrillic, 2},  // ә, ө
    {0x4FF, kCyrillic, 0},
    {0x52F, kCyrillic, 0},
    {0x530, kOtherScript, -2},
    {0x58F, kArmenian, 2},
    {0x5CF, kMarkOfHebrew, 1},  // points
    {0x5EA, kHebrew, 2},
    {0x5FF, kHebrew, 0},
    {0x61F, kNoScript, 0},  // Arabic punctuation
    {0x64A, kArabic, 2},
    {0x65F, kMarkOfArabic, 1},
    {0x66F, kNoScript, 1},  // Arabic digits
    {0x6D3, kArabic, 2},
    {0x6FF, kArabic, 0},
    {0x8FF, kOtherScript, -2},  // Syriac, Thaana, NKo, Samaritan, ...
    {0xDFF, kIndic, 3},
    {0xE7F, kThai, 3},
    {0x109F, kOtherScript, 1},  // Lao, Tibetan, Myanmar
    {0x10FF, kGeorgian, 3},
    {0x11FF, kHangul, 1},   // jamo
    {0x1CFF, kOtherScript, 0},  // Ethiopic, Cherokee, Khmer, Mongolian, ...
    {0x1DBF, kLatin, 0},        // phonetic letters: the superscripts of Mᵍʳ
    {0x1DFF, kMarkOfLatinGreekCyrillic, 0},
    {0x1EFF, kLatin, 3},    // Vietnamese and other precomposed letters
    {0x1FFF, kGreek, 3},    // polytonic Greek
    {0x200F, kNoScript, 0}, // spaces, zero-width joiners
    {0x2027, kNoScript, 1}, // dashes, quotes, bullet, ellipsis
    {0x209F, kNoScript, 0},
    {0x20CF, kNoScript, 1}, // currency: €
    {0x20FF, kNoScript, 0},
    {0x2BFF, kNoScript, 1}, // letterlike, arrows, maths, boxes, shapes, dingbats
    {0x2DFF, kOtherScript, -2},
    {0x2E7F, kNoScript, 0},
    {0x2FFF, kCjk, 0},      // radicals
    {0x303F, kNoScript, 1}, // CJK punctuation
    {0x30FF, kCjk, 3},      // kana
    {0x31FF, kCjk, 0},
    {0x33FF, kNoScript, 1}, // enclosed and squared CJK
    {0x4DBF, kCjk, 0},      // rare kanji (extension A)
    {0x4DFF, kNoScript, 0},
    {0x9FFF, kCjk, 3},      // kanji
    {0xABFF, kOtherScript, -2},
    {0xD7A3, kHangul, 3},
    {0xDFFF, kOtherScript, -2},
    {0xF8FF, kNoScript, -4},  // private use
    {0xFAFF, kCjk, 0},
    {0xFB4F, kLatin, 0},
    {0xFDFF, kArabic, 0},
    {0xFE6F, kNoScript, 0},   // variation selectors, vertical forms
    {0xFEFF, kArabic, 0},
    {0xFF60, kNoScript, 1},   // full-width forms
    {0xFF9F, kCjk, 1},        // half-width katakana
    {0xFFEF, kNoScript, 0},
    {0xFFFF, kNoScript, -4},
    {0x1CFFF, kOtherScript, -1},  // historic scripts
    {0x1D7FF, kNoScript, 0},      // musical and mathematical signs
    {0x1EFFF, kOtherScript, -1},
    {0x1FAFF, kNoScript, 2},      // emoji and pictographs
    {0x1FFFF, kNoScript, 0},
    {0x3FFFF, kCjk, 1},           // kanji beyond the BMP: 𠮷
    {0xDFFFF, kNoScript, -4},     // unassigned
    {0xE007F, kNoScript, 0},      // tags of flag emoji
    {0x10FFFF, kNoScript, -4},    // private use planes
};

const CodePointRange* RangeOf(int codePoint)
{
    int low = 0;
    int high = (int)(sizeof kRanges / sizeof kRanges[0]) - 1;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (kRanges[middle].last < codePoint) low = middle + 1;
        else high = middle;
    }
    return &kRanges[low];
}

bool IsAsciiLetter(unsigned char byte)
{
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z');
}

bool IsAlphabet(int script)
{
    return script == kLatin || script == kGreek || script == kCyrillic || script == kArmenian ||
           script == kHebrew || script == kArabic || script == kGeorgian;
}

// A word of the UTF-8 reading: letters, and marks on them, between signs.
struct Word {
    int script;    // of its first letter beyond ASCII
    int ascii;     // ASCII letters
    int letters;   // letters beyond ASCII
    int beyond;    // letters and marks beyond ASCII
    long long value;
    bool mixed;    // letters of two scripts: what misread bytes give
    bool glued;    // an ASCII byte 40-7E right after a character of three bytes
};

void StartWord(Word* word)
{
    word->script = kNoScript;
    word->ascii = 0;
    word->letters = 0;
    word->beyond = 0;
    word->value = 0;
    word->mixed = false;
    word->glued = false;
}

// A real word stays in one script: ASCII letters join the Latin alphabet,
// and kana or kanji (Tシャツ), but no other alphabet. A word of one letter
// alone tells nothing: ﾄｶ in code page 932 is Ķ in UTF-8; nor does a Latin
// word without an ASCII letter (ﾃｯﾃｲ is ïò), nor a kanji glued to Latin
// letters or ASCII signs (see `glued`).
long long EndWord(Word* word)
{
    long long score = 0;
    const bool alphabet = IsAlphabet(word->script);
    if (word->beyond > 0) {
        if (word->mixed || (alphabet && word->script != kLatin && word->ascii > 0)) {
            score = -2 * word->beyond;
        } else if ((alphabet && word->letters + word->ascii == 1) ||
                   (word->script == kLatin && word->ascii == 0) ||
                   (word->script == kCjk && word->ascii > 0) || word->glued) {
            score = word->value < 0 ? word->value : 0;
        } else {
            score = word->value;
        }
    }
    StartWord(word);
    return score;
}

void AddToWord(Word* word, int script, int value)
{
    const bool onLetter = word->letters + word->ascii > 0;
    switch (script) {
    case kMarkOfLatinGreekCyrillic:
        if (!onLetter || (word->script != kNoScript && word->script != kLatin &&
                          word->script != kGreek && word->script != kCyrillic))
            word->mixed = true;
        break;
    case kMarkOfHebrew:
        if (word->script != kHebrew) word->mixed = true;
        break;
    case kMarkOfArabic:
        if (word->script != kArabic) word->mixed = true;
        break;
    default:
        ++word->letters;
        if (word->script == kNoScript) word->script = script;
        else if (word->script != script) word->mixed = true;
    }
    ++word->beyond;
    word->value += value;
}

// A hyphen or an apostrophe between letters keeps them one word: ü-vel,
// l'été, Jean-Pierre.
bool JoinsWord(unsigned char byte)
{
    return byte == '-' || byte == '\'';
}

// How plausible the UTF-8 reading of valid UTF-8 bytes is as text.
// Scores are long long: a file of up to 1 GiB adds up to four a byte.
long long ScoreUtf8Reading(const unsigned char* text, int count)
{
    Word word;
    StartWord(&word);
    long long score = 0;
    for (int at = 0; at < count;) {
        const unsigned char byte = text[at];
        if (byte < 0x80 && word.beyond == 0) {
            // Words of ASCII alone count for nothing: on to the next byte
            // beyond ASCII, with the ASCII letters of the word it is in.
            const int next = NextBeyondAscii((const char*)text, at, count);
            int start = next;
            while (start > at && (IsAsciiLetter(text[start - 1]) || JoinsWord(text[start - 1]))) --start;
            if (start > at) StartWord(&word);
            for (; start < next; ++start) word.ascii += IsAsciiLetter(text[start]);
            at = next;
            continue;
        }
        if (byte < 0x80) {
            if (IsAsciiLetter(byte)) ++word.ascii;
            else if (!JoinsWord(byte)) score += EndWord(&word);
            ++at;
            continue;
        }
        const int width = CharacterWidth((const char*)text, at, count, kCodePageUtf8);
        if (width == 1) {
            // Not UTF-8 at all (only when called on such bytes directly).
            score += EndWord(&word) - 4;
            ++at;
            continue;
        }
        int codePoint = width == 2 ? byte & 0x1F : width == 3 ? byte & 0x0F : byte & 0x07;
        for (int i = 1; i < width; ++i) codePoint = (codePoint << 6) | (text[at + i] & 0x3F);
        // A character of three bytes glued to an ASCII byte 40-7E is what
        // a rare kanji and a pair whose second byte is ASCII give (蝸角 is
        // 嗊p): it counts for nothing, unless it is a letter of the Latin
        // alphabet with a Latin letter after it (ọi).
        const unsigned char next = at + width < count ? text[at + width] : 0;
        const bool glued = width == 3 && next >= 0x40 && next <= 0x7E;
        at += width;
        const CodePointRange* range = RangeOf(codePoint);
        if (range->script == kNoScript) {
            score += EndWord(&word) + (glued && range->value > 0 ? 0 : range->value);
        } else {
            AddToWord(&word, range->script, range->value);
            if (glued && (range->script != kLatin || !IsAsciiLetter(next))) word.glued = true;
        }
    }
    return score + EndWord(&word);
}

// --- The code page 932 reading ---------------------------------------------

bool IsHalfWidthKana(unsigned char byte)
{
    return byte >= 0xA1 && byte <= 0xDF;
}

// How plausible one double-byte character is in Japanese text: kana and
// the common kanji are; the rare kanji, the IBM and NEC extensions and the
// user-defined area are what misread bytes give.
int PairValue(unsigned char lead, unsigned char trail)
{
    const int code = (lead << 8) | trail;
    if (code <= 0x815B) return 1;                      // 、。・ー and the like
    if (code <= 0x81AC) return 0;                      // brackets, signs
    if (code <= 0x81FC) return -1;                     // maths, logic
    if (code <= 0x829A) return 0;                      // full-width digits, letters
    if (code <= 0x8396) return 2;                      // hiragana, katakana
    if (code <= 0x87FC) return -1;                     // Greek, Cyrillic, boxes, NEC signs
    if (code <= 0x9872) return 2;                      // common kanji
    if (code <= 0xEAA4) return 0;                      // rare kanji
    if (lead >= 0xF0 && lead <= 0xF9) return -4;       // user-defined
    return -2;                                         // IBM and NEC extensions
}

// What stands next to a character of the code page 932 reading.
enum Neighbour { kOther, kLetter, kKana, kPair };

// What the byte at `at` starts, looking past hyphens and apostrophes to a
// letter (ﾃｼ-vel is ü-vel).
Neighbour NeighbourAt(const unsigned char* text, int at, int count)
{
    while (at < count && JoinsWord(text[at])) ++at;
    if (at >= count) return kOther;
    if (IsAsciiLetter(text[at])) return kLetter;
    if (IsHalfWidthKana(text[at])) return kKana;
    if (IsLeadByte932(text[at]) && at + 1 < count) return kPair;
    return kOther;
}

// A run of half-width katakana, judged as a Japanese word when it ends.
struct KanaRun {
    int length;
    int echoes;       // a kana of ﾎ-ﾛ that repeats the one two before it
    bool misplaced;   // a sound mark or small kana where none can stand
    Neighbour before;
    unsigned char kana[3];  // the last three, the latest first
};

void StartRun(KanaRun* run, Neighbour before)
{
    run->length = 0;
    run->echoes = 0;
    run->misplaced = false;
    run->before = before;
    run->kana[0] = run->kana[1] = run->kana[2] = 0;
}

// True when `list` (zero-ended) holds `kana`.
bool OneOf(unsigned char kana, const char* list)
{
    for (; *list; ++list) {
        if ((unsigned char)*list == kana) return true;
    }
    return false;
}

// Whether a kana may follow `before` in a Japanese word: the sound marks
// stand only on the kana that take them, and the small vowels and small
// ﾔﾕﾖ only where Japanese spells a sound with them (ﾌｧ, ﾃｨ, ｼｪ, ｷｬ).
bool Takes(unsigned char kana, unsigned char before)
{
    switch (kana) {
    case 0xDE: return OneOf(before, "\xB3\xB6\xB7\xB8\xB9\xBA\xBB\xBC\xBD\xBE\xBF\xC0\xC1\xC2\xC3\xC4"
                                    "\xCA\xCB\xCC\xCD\xCE");  // ﾞ after ｳ, ｶ-ﾄ, ﾊ-ﾎ
    case 0xDF: return OneOf(before, "\xCA\xCB\xCC\xCD\xCE");  // ﾟ after ﾊ-ﾎ
    case 0xA7:                                                  // ｧ
    case 0xAB: return OneOf(before, "\xB3\xB8\xC2\xCC\xDE");      // ｫ after ｳ ｸ ﾂ ﾌ ﾞ
    case 0xA8: return OneOf(before, "\xB3\xB8\xBD\xC2\xC3\xCC\xDE");  // ｨ also after ｽ ﾃ
    case 0xA9: return OneOf(before, "\xC4\xDE");                   // ｩ after ﾄ ﾞ
    case 0xAA: return OneOf(before, "\xB2\xB3\xB7\xB8\xBC\xC1\xC2\xC6\xCB\xCC\xD0\xD8\xDE");
    case 0xAC:                                                  // ｬ ｭ ｮ after the i row
    case 0xAD:
    case 0xAE: return OneOf(before, "\xB7\xBC\xC1\xC3\xC6\xCB\xCC\xD0\xD8\xDE\xDF");
    default:
        // The small ﾂ doubles a consonant that Japanese doubles: k, s, t, p.
        if (before == 0xAF) return (kana >= 0xB6 && kana <= 0xC4) || (kana >= 0xCA && kana <= 0xCE);
        return true;
    }
}

// The letters of the Greek, Cyrillic, Armenian, Hebrew and Arabic
// alphabets start with CE-DB in UTF-8, which read as ﾎ-ﾛ: the letters of
// one word share that first byte, so its code page 932 reading repeats a
// kana every second place (ав is ﾐｰﾐｲ). Japanese repeats a pair (ﾎｳﾎｳ), not
// a kana alone. True when the latest kana repeats the one two before it
// with another between, and `next` (0 at the run's end) does not repeat the
// pair.
bool Echoes(const KanaRun* run, unsigned char next)
{
    const unsigned char* kana = run->kana;
    return run->length >= 3 && kana[0] >= 0xCE && kana[0] <= 0xDB && kana[0] == kana[2] &&
           kana[0] != kana[1] && next != kana[1];
}

void AddToRun(KanaRun* run, unsigned char kana)
{
    if (run->length == 0) {
        // No word starts with a sound mark, a small kana or the long sound.
        if (kana == 0xA6 || (kana >= 0xA7 && kana <= 0xB0) || kana >= 0xDE) run->misplaced = true;
    } else if (!Takes(kana, run->kana[0])) {
        run->misplaced = true;
    }
    if (Echoes(run, kana)) ++run->echoes;
    run->kana[2] = run->kana[1];
    run->kana[1] = run->kana[0];
    run->kana[0] = kana;
    ++run->length;
}

int EndRun(KanaRun* run, Neighbour after)
{
    if (run->length == 0) return 0;
    const int length = run->length;
    const bool touchesLetter = run->before == kLetter || after == kLetter;
    const bool touchesPair = run->before == kPair || after == kPair;
    const bool misplaced = run->misplaced;
    const int echoes = run->echoes + (Echoes(run, 0) ? 1 : 0);
    StartRun(run, kOther);
    // Japanese writes half-width katakana apart from Latin letters, and
    // rarely one or two of them between kanji: a three-byte UTF-8 character
    // reads as a kanji and one or two of them.
    if (misplaced || echoes >= 2 || (echoes == 1 && length >= 6) || touchesLetter ||
        (touchesPair && length <= 2))
        return -length;
    return touchesPair || echoes == 1 ? 0 : length;
}

// How plausible the code page 932 reading of code page 932 text is.
long long Score932Reading(const unsigned char* text, int count)
{
    KanaRun run;
    StartRun(&run, kOther);
    long long score = 0;
    Neighbour previous = kOther;
    for (int at = 0; at < count;) {
        const unsigned char byte = text[at];
        if (IsHalfWidthKana(byte)) {
            if (run.length == 0) StartRun(&run, previous);
            AddToRun(&run, byte);
            previous = kKana;
            ++at;
        } else if (IsLeadByte932(byte) && at + 1 < count) {
            score += EndRun(&run, kPair);
            // A kanji glued to a Latin letter or to half-width katakana is
            // what a UTF-8 character between them reads as (nọng: n盻肱g).
            const Neighbour after = NeighbourAt(text, at + 2, count);
            const bool glued = previous == kLetter || previous == kKana || after == kLetter ||
                               after == kKana;
            const int value = PairValue(byte, text[at + 1]);
            score += glued && value > -2 ? -2 : value;
            previous = kPair;
            at += 2;
        } else {
            score += EndRun(&run, NeighbourAt(text, at, count));
            // On to the next byte beyond ASCII: what stands before it is the
            // last byte that is no hyphen or apostrophe.
            const int next = byte < 0x80 ? NextBeyondAscii((const char*)text, at, count) : at + 1;
            int last = next - 1;
            while (last >= at && JoinsWord(text[last])) --last;
            if (last >= at) previous = IsAsciiLetter(text[last]) ? kLetter : kOther;
            at = next;
        }
    }
    return score + EndRun(&run, kOther);
}

}  // namespace

// Where Utf8Likelihood stops counting: far beyond any doubt.
const long long kLikelihoodLimit = 1 << 30;

int Utf8Likelihood(const char* bytes, int count)
{
    const unsigned char* text = (const unsigned char*)bytes;
    const long long likelihood = ScoreUtf8Reading(text, count) - Score932Reading(text, count);
    if (likelihood > kLikelihoodLimit) return kLikelihoodLimit;
    if (likelihood < -kLikelihoodLimit) return -kLikelihoodLimit;
    return (int)likelihood;
}

TextFileEncoding DetectEncoding(const char* bytes, int count)
{
    TextFileEncoding marked = EncodingByMark(bytes, count);
    if (marked != kEncoding932) return marked;
    Utf8Check check;
    StartUtf8Check(&check);
    FeedUtf8Check(&check, bytes, count);
    if (!IsUtf8Text(&check)) return kEncoding932;
    // Bytes that code page 932 cannot read without a stand-in were never
    // written in it.
    if (!IsText932(bytes, count)) return kEncodingUtf8;
    return Utf8Likelihood(bytes, count) > 0 ? kEncodingUtf8 : kEncoding932;
}
