// The editor's working copy over any list file and any run of edits: at
// every save the file bytes are exactly what the harness expects from its
// own account of the edits, kept apart from the model's. Unedited lines keep
// their bytes and their order, entries are the texts given, empty entries
// are left out, and nothing else appears. A UTF-16 file is never written.
//
// Input: two bytes (little end first) give the length of the edit script
// that follows them; the rest is the file.
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "clip_list_edit.h"
#include "fuzz_input.h"
#include "list_save.h"

namespace {

// No conversion is ever needed: entries are ASCII in the file's own code
// page, and the list never moves to another encoding.
bool RefuseEverything(const char*, int, int, int, char**, int*)
{
    return false;
}
const ClipCodec kNoCodec = {RefuseEverything};

struct Span {
    size_t offset;
    size_t length;
};

// The harness's own view of an item: a line of the input's file part, or an
// entry's text.
struct Expected {
    int line;  // -1 for an entry
    std::string text;
    int codePage;
};

struct Harness {
    std::string file;        // the file part as given
    std::string mark;        // its UTF-8 mark, when it has one
    bool utf16 = false;
    std::vector<Span> lines; // split here, not by the model
    std::vector<Expected> items;
    ClipEditList list;
    int checksLeft = 24;     // whole-list checks cost the list's size each
    bool shownChecked = false;  // a line's shown text never changes
};

// Lines end at CR LF only; a rest after the last CR LF is a line too.
void SplitLines(Harness* h)
{
    const unsigned char* b = (const unsigned char*)h->file.data();
    const size_t size = h->file.size();
    if (size >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) {
        h->utf16 = true;
        return;
    }
    size_t at = 0;
    if (size >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        h->mark = h->file.substr(0, 3);
        at = 3;
    }
    while (at < size) {
        const size_t end = h->file.find("\r\n", at);
        if (end == std::string::npos) {
            h->lines.push_back(Span{at, size - at});
            break;
        }
        h->lines.push_back(Span{at, end - at});
        at = end + 2;
    }
}

// The bytes the item stands for, where the harness keeps them.
const char* ExpectedBytes(const Harness& h, const Expected& item, size_t* length)
{
    if (item.line < 0) {
        *length = item.text.size();
        return item.text.data();
    }
    const Span& span = h.lines[(size_t)item.line];
    *length = span.length;
    return h.file.data() + span.offset;
}

// Every item as the model holds it against the harness's account.
void CheckItems(Harness* h)
{
    FUZZ_CHECK(h->list.count == (int)h->items.size());
    if (h->checksLeft <= 0) return;
    --h->checksLeft;
    const int loadedCodePage = LoadedCodePage(&h->list);
    for (int i = 0; i < h->list.count; ++i) {
        const Expected& want = h->items[(size_t)i];
        int length = -1;
        int codePage = 0;
        const char* bytes = ClipItemBytes(&h->list, i, &length, &codePage);
        size_t expectedLength = 0;
        const char* expected = ExpectedBytes(*h, want, &expectedLength);
        FUZZ_CHECK(length == (int)expectedLength);
        FUZZ_CHECK(length == 0 || memcmp(bytes, expected, (size_t)length) == 0);
        FUZZ_CHECK(codePage == (want.line < 0 ? want.codePage : loadedCodePage));
        if (want.line < 0) {
            FUZZ_CHECK(ClipItemShownLength(&h->list, i) == length);
        } else if (!h->shownChecked) {
            const int shown = ClipItemShownLength(&h->list, i);
            FUZZ_CHECK(shown >= 0 && shown <= length && shown <= kClipShownMax);
        }
    }
    h->shownChecked = true;
}

// The save over the file as loaded: what it writes loads back as the same
// lines in the same code page (a UTF-8 list may gain its mark for that);
// where the plain bytes would load as another encoding, it writes nothing
// and asks, or names the lines that keep the list from moving to UTF-8.
void CheckSaveReadsBack(Harness* h, const std::string& plain, const std::vector<Span>& lines)
{
    ListSaveState state;
    StartListSave(&state);
    const ListDisk disk = {kDiskRead, h->file.data(), (int)h->file.size()};
    ListSaveDecision decision;
    DecideListSave(&h->list, &disk, &kNoCodec, &state, &decision);
    const int codePage = CodePageOf(h->list.encoding);
    if (decision.step == kStepWrite) {
        ClipListModel back;
        FUZZ_CHECK(ReadClipList(&back, decision.bytes.bytes, decision.bytes.size));
        FUZZ_CHECK(back.count == (int)lines.size());
        for (int i = 0; i < back.count; ++i) {
            const Span& span = lines[(size_t)i];
            FUZZ_CHECK(back.lines[i].length == (int)span.length);
            FUZZ_CHECK(span.length == 0 ||
                       memcmp(back.lines[i].bytes, plain.data() + span.offset, span.length) == 0);
        }
        const auto ascii = [](char c) { return (unsigned char)c < 0x80; };
        FUZZ_CHECK(CodePageOf(back.encoding) == codePage ||
                   std::all_of(plain.begin(), plain.end(), ascii));
        FUZZ_CHECK(back.encoding != kEncodingUtf16Bom);
        FreeClipList(&back);
    } else {
        const TextFileEncoding read = DetectEncoding(plain.data(), (int)plain.size());
        FUZZ_CHECK(codePage == kCodePage932 && CodePageOf(read) != codePage);
        FUZZ_CHECK(decision.step == kStepAsk ? decision.question == kAskReadsAsUtf8
                                             : decision.notice == kNoticeUtf8NoText);
    }
    FreeListSaveDecision(&decision);
}

// One save, through the plain build or the one that also gives the table
// of lines, compared with the bytes built here.
void CheckSave(Harness* h, bool withLines, bool blockers = false)
{
    CheckItems(h);
    ClipFileBytes file;
    ClipFileLine* table = nullptr;
    int written = -1;
    const ClipFileBuild result =
        withLines ? BuildClipFileLines(&h->list, &kNoCodec, &file, &table, &written)
                  : BuildClipFile(&h->list, &kNoCodec, &file);

    if (h->utf16 || h->items.empty()) {
        // Never any bytes: an emptied list is not written, a UTF-16 one
        // never.
        FUZZ_CHECK(result == (h->items.empty() ? kBuildEmpty : kBuildFailed));
        FUZZ_CHECK(file.bytes == nullptr && file.size == 0);
        FUZZ_CHECK(table == nullptr);
        return;
    }
    FUZZ_CHECK(result == kBuildDone);
    FUZZ_CHECK(!file.failed);

    std::string expected = h->mark;
    expected.reserve(h->file.size() + 64 * h->items.size());
    std::vector<Span> expectedLines;
    for (const Expected& item : h->items) {
        if (item.line < 0 && item.text.empty()) continue;  // empty entries are not written
        size_t length = 0;
        const char* bytes = ExpectedBytes(*h, item, &length);
        expectedLines.push_back(Span{expected.size(), length});
        expected.append(bytes, length);
        expected += "\r\n";
    }
    FUZZ_CHECK(file.size == (int)expected.size());
    FUZZ_CHECK(expected.empty() || memcmp(file.bytes, expected.data(), expected.size()) == 0);
    if (withLines) {
        FUZZ_CHECK(written == (int)expectedLines.size());
        FUZZ_CHECK(written == 0 || table != nullptr);
        for (int i = 0; i < written; ++i) {
            FUZZ_CHECK(table[i].offset == (int)expectedLines[(size_t)i].offset);
            FUZZ_CHECK(table[i].length == (int)expectedLines[(size_t)i].length);
        }
    }
    free(table);
    FreeClipFile(&file);
    CheckSaveReadsBack(h, expected, expectedLines);
    if (!blockers) return;

    // With a codec that converts nothing, every unedited line of a code page
    // 932 list blocks a move to UTF-8, and nothing else does.
    const Utf8Blockers found = FindUtf8Blockers(&h->list, &kNoCodec);
    Utf8Blockers want = {0, 0, -1};
    if (LoadedCodePage(&h->list) == kCodePage932) {
        for (size_t i = 0; i < h->items.size(); ++i) {
            if (h->items[i].line < 0) continue;
            ++want.noText;
            if (want.first < 0) want.first = (int)i;
        }
    }
    FUZZ_CHECK(found.noText == want.noText && found.tooLong == 0 && found.first == want.first);
}

// Reads the edit script.
struct Script {
    const uint8_t* bytes;
    size_t size;
    size_t at;
    bool More() const { return at < size; }
    unsigned Byte() { return at < size ? bytes[at++] : 0; }
    unsigned Word()
    {
        const unsigned low = Byte();
        return low | (Byte() << 8);
    }
};

// A position among `count` places, from the start or from the end.
int PositionIn(Script* script, bool fromEnd, int count)
{
    if (count <= 0) return 0;
    const int pick = (int)(script->Word() % (unsigned)count);
    return fromEnd ? count - 1 - pick : pick;
}

std::string EntryText(Script* script)
{
    const unsigned length = script->Byte() % 48;  // 0: an empty entry
    std::string text;
    for (unsigned i = 0; i < length; ++i) text.push_back((char)(' ' + script->Byte() % 95));
    return text;
}

// The edits as the harness applies them to its own list; each tells
// whether the place was valid, which the model must agree with.
bool ExpectInsert(Harness* h, int at, const Expected& entry)
{
    if (at < 0 || at > (int)h->items.size()) return false;
    h->items.insert(h->items.begin() + at, entry);
    return true;
}

bool ExpectOverwrite(Harness* h, int at, const Expected& entry)
{
    if (at < 0 || at >= (int)h->items.size()) return false;
    h->items[(size_t)at] = entry;
    return true;
}

bool ExpectDelete(Harness* h, int at)
{
    if (at < 0 || at >= (int)h->items.size()) return false;
    h->items.erase(h->items.begin() + at);
    return true;
}

bool ExpectMoveUp(Harness* h, int at)
{
    if (at < 1 || at >= (int)h->items.size()) return false;
    std::swap(h->items[(size_t)at - 1], h->items[(size_t)at]);
    return true;
}

enum Edit { kInsert, kOverwrite, kDelete, kMoveUp, kMoveDown, kEditKinds };

// One edit at `at`, on both lists; the model's answer must be the harness's.
void ApplyEdit(Harness* h, Edit edit, int at, const std::string& text, int codePage)
{
    const Expected entry = {-1, text, codePage};
    bool want = false;
    bool got = false;
    switch (edit) {
    case kInsert:
        want = ExpectInsert(h, at, entry);
        got = InsertClipEntry(&h->list, at, text.data(), (int)text.size(), codePage);
        break;
    case kOverwrite:
        want = ExpectOverwrite(h, at, entry);
        got = OverwriteClipEntry(&h->list, at, text.data(), (int)text.size(), codePage);
        break;
    case kDelete:
        want = ExpectDelete(h, at);
        got = DeleteClipItem(&h->list, at);
        break;
    case kMoveUp:
        want = ExpectMoveUp(h, at);
        got = MoveClipItemUp(&h->list, at);
        break;
    case kMoveDown:
        // A move down is the move up of the next item.
        want = at < INT_MAX && ExpectMoveUp(h, at + 1);
        got = at < INT_MAX && MoveClipItemUp(&h->list, at + 1);
        break;
    default:
        break;
    }
    FUZZ_CHECK(got == want);
    FUZZ_CHECK(h->list.count == (int)h->items.size());
}

// A place no edit of that kind may take.
int PlaceOutside(Script* script, Edit edit, int count)
{
    switch (script->Byte() % 5) {
    case 0: return -1;
    case 1: return edit == kInsert ? count + 1 : edit == kMoveDown ? count - 1 : count;
    case 2: return INT_MIN;
    case 3: return edit == kMoveUp ? 0 : INT_MAX;
    default: return -1 - (int)script->Word();
    }
}

}  // namespace

// An unmarked file reads as UTF-8 only when it is valid UTF-8, and always
// when it is UTF-8 that code page 932 cannot read without a stand-in.
void CheckDetection(const Harness& h, TextFileEncoding found)
{
    Utf8Check check;
    StartUtf8Check(&check);
    FeedUtf8Check(&check, h.file.data(), (int)h.file.size());
    if (found == kEncodingUtf8) FUZZ_CHECK(IsUtf8Text(&check));
    if (IsUtf8Text(&check) && !IsText932(h.file.data(), (int)h.file.size()))
        FUZZ_CHECK(found == kEncodingUtf8);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    size_t scriptSize = (size_t)data[0] | ((size_t)data[1] << 8);
    if (scriptSize > size - 2) scriptSize = size - 2;
    Script script = {data + 2, scriptSize, 0};

    Harness h;
    h.file.assign((const char*)data + 2 + scriptSize, size - 2 - scriptSize);
    SplitLines(&h);

    ClipListModel model;
    FUZZ_CHECK(ReadClipList(&model, h.file.data(), (int)h.file.size()));
    StartClipEditList(&h.list);
    FUZZ_CHECK(OpenClipEditList(&h.list, &model));
    FUZZ_CHECK(model.bytes == nullptr && model.count == 0);  // taken over
    if (h.utf16) {
        FUZZ_CHECK(h.list.loaded.encoding == kEncodingUtf16Bom && h.list.count == 0);
    } else {
        FUZZ_CHECK((h.list.loaded.encoding == kEncodingUtf8Bom) == !h.mark.empty());
        if (h.mark.empty()) CheckDetection(h, h.list.loaded.encoding);
    }
    for (size_t i = 0; i < h.lines.size(); ++i) h.items.push_back(Expected{(int)i, "", 0});

    // The list saved as read: every line as it was.
    CheckSave(&h, false);

    int savesLeft = 16;  // each costs the whole file
    for (int edits = 0; script.More() && edits < 4096; ++edits) {
        const unsigned op = script.Byte();
        const bool fromEnd = (op & 0x80) != 0;
        const int count = (int)h.items.size();
        // Entries are typed in the file's code page; a UTF-16 file has none
        // of its own, so either is tried there.
        int codePage = CodePageOf(h.list.encoding);
        if (h.utf16 && (op & 0x40)) codePage = LoadedCodePage(&h.list);
        switch (op & 7) {
        case 0: {
            const int at = PositionIn(&script, fromEnd, count + 1);
            ApplyEdit(&h, kInsert, at, EntryText(&script), codePage);
            break;
        }
        case 1:
            ApplyEdit(&h, kInsert, count, EntryText(&script), codePage);  // add at the end
            break;
        case 2: {
            const int at = PositionIn(&script, fromEnd, count);
            ApplyEdit(&h, kOverwrite, at, EntryText(&script), codePage);
            break;
        }
        case 3:
            ApplyEdit(&h, kDelete, PositionIn(&script, fromEnd, count), "", 0);
            break;
        case 4:
            ApplyEdit(&h, kMoveUp, PositionIn(&script, fromEnd, count), "", 0);
            break;
        case 5:
            ApplyEdit(&h, kMoveDown, PositionIn(&script, fromEnd, count), "", 0);
            break;
        case 6:
            if (savesLeft > 0) {
                --savesLeft;
                CheckSave(&h, (op & 0x40) != 0);
            }
            break;
        default: {
            // A refused edit changes nothing.
            const Edit edit = (Edit)(script.Byte() % kEditKinds);
            const int at = PlaceOutside(&script, edit, count);
            ApplyEdit(&h, edit, at, "x", codePage);
            CheckItems(&h);
            break;
        }
        }
    }
    CheckSave(&h, true, true);

    FreeClipEditList(&h.list);
    FUZZ_CHECK(h.list.items == nullptr && h.list.count == 0 && h.list.loaded.bytes == nullptr);
    return 0;
}
