#!/usr/bin/env python3
"""Writes tests/data/encoding_corpus.tar.xz (encoding_corpus.txt inside):
clip lists in the shape of real ones, for the table test of encoding
detection.

Each list is mostly ASCII entries with one or two short entries (a word, two
words, a titled entry, a name) in another script, CR LF after every line but
sometimes the last, as Notepad writes. The words come from Debian's
dictionaries, so that the detector is held to real texts:

  hunspell-{ru,uk,bg,kk,el,he,ar,vi,pl,cs,de-de,fr,tr,hu,lv,ko,th,hi}
  (1:7.5.0-1 in Debian 12, except de-de 20161207-11, fr 1:7.0-1,
  lv 1.4.0-4, kk 1.1-3, ko 0.7.92-1): /usr/share/hunspell/*.dic
  skkdic 20230109-1: /usr/share/skk/SKK-JISYO.L (EUC-JP), whose readings
  give kana and half-width katakana forms and whose candidates give kanji.

Lists are written in UTF-8 without a mark, except the Japanese ones marked
as code page 932. The figures are deterministic (fixed seed); make test does
not run this script, it only documents where the data came from:

  apt-get install -y --no-install-recommends skkdic hunspell-ru ...
  python3 scripts/make_encoding_corpus.py [--per-script N] [--out FILE]

File format, one record per list:  #<script> <encoding> <length>\\n, then
exactly <length> bytes of the list, then \\n.  <encoding> is utf8 or cp932.
"""

import argparse
import io
import tarfile
import random
import re
import unicodedata

HUNSPELL = "/usr/share/hunspell/"
SKK = "/usr/share/skk/SKK-JISYO.L"

# script label -> dictionary file
DICTIONARIES = {
    "ru": "ru_RU", "uk": "uk_UA", "bg": "bg_BG", "kk": "kk_KZ",
    "el": "el_GR", "he": "he_IL", "ar": "ar", "vi": "vi_VN",
    "pl": "pl_PL", "cs": "cs_CZ", "de": "de_DE", "fr": "fr",
    "tr": "tr_TR", "hu": "hu_HU", "lv": "lv_LV", "ko": "ko",
    "th": "th_TH", "hi": "hi_IN",
}

ASCII_ENTRIES = [
    '"Good morning"', '"Thank you for your message."', 'Greeting/="Hello!"',
    '"Best regards, Tom"', 'Address/="12 High Street, Springfield"',
    '"See you tomorrow"', 'Mail/="tom@example.com"', '/f="C:\\memo.txt"',
    'Memo/f="C:\\Users\\tom\\notes.txt"', '"Meeting at 10:30 in room 4"',
    'Phone/="+1 555 0100"', '"OK"', '"Yes"', '"No problem"',
    '"Please find the file attached."', 'Sign/="-- Tom (ext. 42)"',
    '"https://example.com/help"', '"Order #1234 shipped"', '"TODO: call back"',
    'Zip/="98101"', '"Kind regards"', '"I will be late today."',
]

# Emoji of the common blocks, as people put them into lists.
EMOJI = ["\U0001F600", "\U0001F44D", "\U0001F389", "\u2764\ufe0f", "\U0001F642",
         "\U0001F4E7", "\U0001F680", "\u2705", "\U0001F64F", "\U0001F525",
         "\U0001F4DE", "\u2615", "\U0001F60A", "\U0001F914"]


def read_words(name):
    path = HUNSPELL + name + ".dic"
    encoding = "utf-8"
    with open(HUNSPELL + name + ".aff", "rb") as aff:
        for raw in aff:
            match = re.match(rb"SET\s+(\S+)", raw)
            if match:
                encoding = match.group(1).decode("ascii")
                break
    words = []
    with open(path, "rb") as dic:
        for number, raw in enumerate(dic):
            if number == 0:
                continue
            text = raw.decode(encoding, "replace").strip()
            word = re.split(r"[/\t ]", text, 1)[0]
            # Words only, with at least one letter that ASCII lacks: an
            # ASCII word tells nothing about the encoding.
            if len(word) < 2 or len(word) > 24 or "\ufffd" in word:
                continue
            if not all(c.isalpha() or unicodedata.category(c).startswith("M") or c in "-'" for c in word):
                continue
            if all(ord(c) < 128 for c in word):
                continue
            words.append(unicodedata.normalize("NFC", word))
    return sorted(set(words))


def halfwidth_table():
    table = {}
    for code in range(0xFF61, 0xFFA0):
        half = chr(code)
        table[unicodedata.normalize("NFKC", half)] = half
    voiced = "ｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾊﾋﾌﾍﾎｳ"
    for base in voiced:
        table[unicodedata.normalize("NFKC", base + "ﾞ")] = base + "ﾞ"
    for base in "ﾊﾋﾌﾍﾎ":
        table[unicodedata.normalize("NFKC", base + "ﾟ")] = base + "ﾟ"
    return table


HALF = halfwidth_table()


def katakana(hiragana):
    return "".join(chr(ord(c) + 0x60) if 0x3041 <= ord(c) <= 0x3096 else c for c in hiragana)


def halfwidth(hiragana):
    out = []
    for c in katakana(hiragana):
        if c not in HALF:
            return None
        out.append(HALF[c])
    return "".join(out)


def read_skk():
    pairs = []  # (reading in hiragana, kanji candidate)
    with open(SKK, "rb") as skk:
        in_nasi = False
        for raw in skk:
            line = raw.decode("euc_jp", "replace").rstrip("\n")
            if line.startswith(";; okuri-nasi"):
                in_nasi = True
                continue
            if not in_nasi or line.startswith(";") or " /" not in line:
                continue
            reading, rest = line.split(" /", 1)
            if not re.fullmatch(r"[\u3041-\u3096ー]{2,8}", reading):
                continue
            for candidate in rest.split("/"):
                candidate = candidate.split(";", 1)[0]
                if not candidate or candidate.startswith("(") or "\ufffd" in candidate:
                    continue
                if not re.fullmatch(r"[\u4e00-\u9fff\u3041-\u3096\u30a1-\u30faー々]{1,8}", candidate):
                    continue
                try:
                    candidate.encode("cp932")
                except UnicodeEncodeError:
                    continue
                pairs.append((reading, candidate))
    return pairs


def entry(rng, text, title=None):
    if title is not None:
        return title + '/="' + text + '"'
    return '"' + text + '"'


def shape(rng, entries):
    """ASCII entries around the given ones, in random order."""
    lines = rng.sample(ASCII_ENTRIES, rng.randint(2, 7)) + entries
    rng.shuffle(lines)
    text = "\r\n".join(lines)
    # Most lists end with CR LF; some were last saved by Notepad.
    return text + ("\r\n" if rng.random() < 0.8 else "")


def word_entries(rng, words, latin):
    kind = rng.randrange(5)
    pick = lambda: rng.choice(words)
    if kind == 0:
        found = [entry(rng, pick())]
    elif kind == 1:
        found = [entry(rng, pick() + " " + pick())]
    elif kind == 2:
        found = [entry(rng, pick(), rng.choice(["Word", "Note", "Name"]))]
    elif kind == 3:
        # A name: a title in the script over an ASCII text, or a capitalised
        # word as a title.
        word = pick()
        found = [entry(rng, rng.choice(["Call me", "x1234", "See notes"]), word[:1].upper() + word[1:])]
    else:
        found = [entry(rng, pick()), entry(rng, pick())]
    return found


def utf8_list(rng, words, latin=False):
    return shape(rng, word_entries(rng, words, latin)).encode("utf-8")


def emoji_list(rng, words_by_script):
    kind = rng.randrange(3)
    emoji = rng.choice(EMOJI)
    if kind == 0:
        found = [entry(rng, emoji + " Thanks!")]
    else:
        script = rng.choice(["el", "ru", "uk", "he", "ar"])
        word = rng.choice(words_by_script[script])
        found = [entry(rng, emoji), entry(rng, word)] if kind == 1 else [entry(rng, word + " " + emoji)]
    return shape(rng, found).encode("utf-8")


def japanese_entries(rng, pairs, short_only):
    def half_name():
        while True:
            reading, _ = rng.choice(pairs)
            half = halfwidth(reading)
            if half and 2 <= len(half) <= 6:
                return half
    if short_only:
        # The short half-width entry among ASCII (a name, an answer).
        half = half_name()
        return [entry(rng, half) if rng.random() < 0.7 else entry(rng, half, rng.choice(["Name", "Kana"]))]
    found = []
    for _ in range(rng.randint(1, 3)):
        reading, kanji = rng.choice(pairs)
        kind = rng.randrange(6)
        if kind == 0:
            found.append(entry(rng, kanji))
        elif kind == 1:
            found.append(entry(rng, reading))
        elif kind == 2:
            found.append(entry(rng, katakana(reading)))
        elif kind == 3:
            found.append(entry(rng, half_name() + " " + half_name()))
        elif kind == 4:
            found.append(entry(rng, kanji + "です", kanji))
        else:
            found.append(entry(rng, half_name(), kanji))
    return found


def valid_in_both(data):
    """Valid UTF-8 with a character beyond ASCII, and code page 932 text
    whose every pair stands for a character: the lists the detector must
    judge by how they read."""
    try:
        data.decode("utf-8")
        text = data.decode("cp932")
    except UnicodeDecodeError:
        return False
    # Python reads the single bytes 80, A0 and FD-FF as U+0080 and
    # U+F8F0-F8F3, which the system does not.
    if any(c == "\x80" or "\uf8f0" <= c <= "\uf8f3" for c in text):
        return False
    return any(byte >= 0x80 for byte in data)


def lists_of(rng, count, make, make_hard=None):
    """`count` lists as they come, and as many again of those valid in
    both encodings (where some are found in a few hundred tries of
    `make_hard`), which are the hard ones and rare as they come."""
    found = [make() for _ in range(count)]
    for _ in range(count):
        for _ in range(400):
            data = (make_hard or make)()
            if valid_in_both(data):
                found.append(data)
                break
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--per-script", type=int, default=10)
    parser.add_argument("--seed", type=int, default=28)
    parser.add_argument("--out", default="tests/data/encoding_corpus.tar.xz")
    args = parser.parse_args()
    rng = random.Random(args.seed)
    words = {script: read_words(name) for script, name in DICTIONARIES.items()}
    pairs = read_skk()
    records = []
    count = args.per_script
    for script in DICTIONARIES:
        for data in lists_of(rng, count, lambda: utf8_list(rng, words[script])):
            records.append((script, "utf8", data))
    for data in lists_of(rng, count, lambda: emoji_list(rng, words)):
        records.append(("emoji", "utf8", data))
    for data in lists_of(rng, count, lambda: shape(rng, japanese_entries(rng, pairs, False)).encode("utf-8")):
        records.append(("ja", "utf8", data))
    # Kanji words whose code page 932 bytes are valid UTF-8 (rare kanji
    # with a second byte that continues a UTF-8 sequence), without which a
    # Japanese list is almost never valid in both.
    both = [(reading, kanji) for reading, kanji in pairs if valid_in_both(kanji.encode("cp932"))]
    for label, short, pool in (("ja-short", True, pairs), ("ja", False, both)):
        # Code page 932 lists get twice the share: both of their kinds
        # matter most to the people this program is for.
        make = lambda: shape(rng, japanese_entries(rng, pairs, short)).encode("cp932")
        hard = lambda: shape(rng, japanese_entries(rng, pool, short)).encode("cp932")
        for data in lists_of(rng, count * 2, make, hard):
            records.append((label, "cp932", data))
    text = b"".join(b"#%s %s %d\n" % (script.encode(), encoding.encode(), len(data)) + data + b"\n"
                    for script, encoding, data in records)
    # Kept compressed: the lists are data, a third of their size this way.
    # A fixed time and owner keep the archive the same from run to run.
    entry = tarfile.TarInfo("encoding_corpus.txt")
    entry.size = len(text)
    entry.mtime = 0
    with tarfile.open(args.out, "w:xz") as archive:
        archive.addfile(entry, io.BytesIO(text))


if __name__ == "__main__":
    main()
