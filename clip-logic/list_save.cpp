#include "list_save.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

void StartListSave(ListSaveState* state)
{
    memset(state, 0, sizeof *state);
}

void FreeListSaveDecision(ListSaveDecision* decision)
{
    FreeClipFile(&decision->bytes);
}

uint64_t ListDiskFingerprint(const ListDisk* disk)
{
    // FNV-1a over the bytes, started apart for a missing file, so that a
    // file that is gone and one that is empty differ.
    uint64_t hash = disk->read == kDiskMissing ? 0x84222325cbf29ce4ULL : 0xcbf29ce484222325ULL;
    for (int i = 0; disk->read == kDiskRead && i < disk->size; ++i) {
        hash = (hash ^ (unsigned char)disk->bytes[i]) * 0x100000001b3ULL;
    }
    return hash ^ (uint64_t)(unsigned)disk->read << 56;
}

namespace {

// Lines as bytes, in one code page, with the bytes converted into kept in
// `store`.
struct Lines {
    MergeLine* lines;
    int count;
    ClipFileBytes store;
};

void StartLines(Lines* lines)
{
    lines->lines = nullptr;
    lines->count = 0;
    StartClipFile(&lines->store, kEncoding932);
}

void FreeLines(Lines* lines)
{
    free(lines->lines);
    FreeClipFile(&lines->store);
    StartLines(lines);
}

enum Converted { kConverted, kNoForm, kNoMemory };

// `from` (lines in code page `fromCodePage`) as lines in `toCodePage`: as
// they are where the code pages agree, else converted exactly. A line with
// no exact form there keeps its own bytes when `lenient` (it is only
// compared with others), else the whole is kNoForm.
Converted ConvertLines(const MergeLine* from, int count, int fromCodePage, int toCodePage,
                       bool lenient, const ClipCodec* codec, Lines* out)
{
    StartLines(out);
    if (count == 0) return kConverted;
    if ((size_t)count > SIZE_MAX / sizeof(MergeLine)) return kNoMemory;
    out->lines = (MergeLine*)malloc(sizeof(MergeLine) * (size_t)count);
    if (!out->lines) return kNoMemory;
    out->count = count;
    // Converted lines go into the store one after the other; they get their
    // pointers once it no longer moves.
    for (int i = 0; i < count; ++i) {
        char* converted = nullptr;
        int length = 0;
        if (fromCodePage == toCodePage ||
            !codec->convert(from[i].bytes, from[i].length, fromCodePage, toCodePage, &converted,
                            &length)) {
            if (fromCodePage != toCodePage && !lenient) {
                FreeLines(out);
                return kNoForm;
            }
            out->lines[i] = from[i];
            continue;
        }
        out->lines[i] = MergeLine{nullptr, length};
        AddClipFileLine(&out->store, converted, length);
        free(converted);
    }
    if (out->store.failed) {
        FreeLines(out);
        return kNoMemory;
    }
    int offset = 0;
    for (int i = 0; i < count; ++i) {
        if (out->lines[i].bytes) continue;
        out->lines[i].bytes = out->store.bytes + offset;
        offset += out->lines[i].length + 2;
    }
    return kConverted;
}

// The editor's list as lines in `encoding`'s code page. `build` is what
// the list makes in `ownEncoding` (its own, or UTF-8 once agreed): kBuildDone,
// or why not. kNoForm when a line has no form in the code page wanted.
struct Mine {
    ClipFileBuild build;
    Converted converted;
    Lines lines;
    ClipFileBytes file;
};

void MakeMine(const ClipEditList* list, TextFileEncoding ownEncoding, int codePage,
              const ClipCodec* codec, Mine* mine)
{
    StartLines(&mine->lines);
    mine->converted = kNoMemory;
    ClipEditList own = *list;  // the same items, written in another encoding
    own.encoding = ownEncoding;
    ClipFileLine* table = nullptr;
    int count = 0;
    mine->build = BuildClipFileLines(&own, codec, &mine->file, &table, &count);
    if (mine->build != kBuildDone) return;
    MergeLine* lines = count > 0 && (size_t)count <= SIZE_MAX / sizeof(MergeLine)
                           ? (MergeLine*)malloc(sizeof(MergeLine) * (size_t)count)
                           : nullptr;
    if (count == 0 || lines) {
        for (int i = 0; i < count; ++i) {
            lines[i] = MergeLine{mine->file.bytes + table[i].offset, table[i].length};
        }
        mine->converted = ConvertLines(lines, count, CodePageOf(ownEncoding), codePage, false,
                                       codec, &mine->lines);
    }
    free(lines);
    free(table);
}

void FreeMine(Mine* mine)
{
    FreeLines(&mine->lines);
    FreeClipFile(&mine->file);
}

// The file that `lines` make in `encoding`.
void WriteLines(const MergeLine* lines, int count, TextFileEncoding encoding, ClipFileBytes* file)
{
    StartClipFile(file, encoding);
    for (int i = 0; i < count; ++i) AddClipFileLine(file, lines[i].bytes, lines[i].length);
}

bool AllAscii(const char* bytes, int size)
{
    for (int i = 0; i < size; ++i) {
        if ((unsigned char)bytes[i] >= 0x80) return false;
    }
    return true;
}

void Say(ListSaveDecision* decision, ListSaveNotice notice, bool closes)
{
    decision->step = kStepSay;
    decision->notice = notice;
    decision->closes = closes;
}

void Ask(ListSaveDecision* decision, ListSaveState* state, ListSaveQuestion question,
         uint64_t about)
{
    decision->step = kStepAsk;
    decision->question = question;
    state->asked = question;
    state->askedAbout = about;
}

// The list is to move to UTF-8: lines that cannot are named first, and
// only then is the user asked.
void AskForUtf8(const ClipEditList* list, const ClipCodec* codec, ListSaveState* state,
                ListSaveQuestion question, uint64_t about, ListSaveDecision* decision)
{
    decision->blockers = FindUtf8Blockers(list, codec);
    if (decision->blockers.first >= 0) {
        Say(decision, decision->blockers.noText > 0 ? kNoticeUtf8NoText : kNoticeUtf8TooLong,
            false);
        return;
    }
    Ask(decision, state, question, about);
}

// Says what a write that was fed back did; false when there is none.
bool ReportWrite(ListSaveState* state, ListSaveDecision* decision)
{
    switch (state->written) {
    case kWriteNone:
        return false;
    case kWriteChanged:
        // Read and decided again, a few times at most.
        state->written = kWriteNone;
        if (++state->changedTries < kListSaveTries) return false;
        Say(decision, kNoticeKeepsChanging, false);
        return true;
    case kWriteDone:
        Say(decision, state->merged ? kNoticeMerged : kNoticeNone, true);
        return true;
    case kWriteDoneOldKept:
        Say(decision, state->merged ? kNoticeMergedOldCopyKept : kNoticeOldCopyKept, true);
        return true;
    case kWriteFailedMoved:
        Say(decision, kNoticeLeftAside, false);
        return true;
    default:
        Say(decision, kNoticeSaveFailed, false);
        return true;
    }
}

// Says why the file as read cannot be saved over; false when it can.
bool ReportUnreadable(const ListDisk* disk, ListSaveDecision* decision)
{
    switch (disk->read) {
    case kDiskFolder: Say(decision, kNoticeFolder, false); return true;
    case kDiskTooLarge: Say(decision, kNoticeTooLarge, false); return true;
    case kDiskInUse: Say(decision, kNoticeInUse, false); return true;
    case kDiskReadFailed: Say(decision, kNoticeReadFailed, false); return true;
    case kDiskUtf16: Say(decision, kNoticeUtf16, false); return true;
    case kDiskNotNeeded: Say(decision, kNoticeSaveFailed, false); return true;
    default: return false;
    }
}

bool SameBytes(const ClipListModel* a, const ClipListModel* b)
{
    return a->size == b->size && (a->size == 0 || memcmp(a->bytes, b->bytes, (size_t)a->size) == 0);
}

// What the save is to write, once found: `file` in `encoding`.
struct Target {
    ClipFileBytes file;
    TextFileEncoding encoding;
};

// The encoding a merge with the file on disk is written in: one that holds
// both sides' lines, the other program's own (and its mark, added or
// removed) wherever it does. kAskNone when found, else the question to ask.
ListSaveQuestion MergeEncoding(const ClipListModel* disk, TextFileEncoding mineEncoding,
                               bool utf8Agreed, TextFileEncoding* encoding)
{
    const int theirs = CodePageOf(disk->encoding);
    *encoding = disk->encoding;
    if (theirs == CodePageOf(mineEncoding)) return kAskNone;
    // The editor's list is in code page 932: it follows their move to UTF-8.
    if (theirs == kCodePageUtf8) return kAskTheyMovedToUtf8;
    // They moved a UTF-8 list to code page 932: kept, where the editor's
    // lines all have a form there; else back to UTF-8, once the user agrees.
    if (utf8Agreed) *encoding = kEncodingUtf8Bom;
    return kAskNone;
}

// The merge of the editor's list with the one on disk, into `target`.
// Decides the step itself where there is nothing to write (a question, a
// notice); true when `target` holds the bytes.
bool Merge(const ClipEditList* list, const ClipListModel* disk, TextFileEncoding mineEncoding,
           const ClipCodec* codec, ListSaveState* state, uint64_t about, Target* target,
           ListSaveDecision* decision)
{
    const ListSaveQuestion ask = MergeEncoding(disk, mineEncoding, state->utf8, &target->encoding);
    if (ask != kAskNone) {
        AskForUtf8(list, codec, state, ask, about, decision);
        return false;
    }
    const int codePage = CodePageOf(target->encoding);
    Mine mine;
    MakeMine(list, mineEncoding, codePage, codec, &mine);
    Lines base, theirs;
    StartLines(&base);
    StartLines(&theirs);
    ClipListMerge merge = {nullptr, 0, 0};
    bool done = false;
    if (mine.build != kBuildDone || mine.converted == kNoMemory) {
        Say(decision, kNoticeSaveFailed, false);
    } else if (mine.converted == kNoForm) {
        AskForUtf8(list, codec, state, kAskNeedsUtf8, about, decision);  // back to UTF-8
    } else if (ConvertLines(list->loaded.lines, list->loaded.count, LoadedCodePage(list), codePage,
                            true, codec, &base) != kConverted) {
        Say(decision, kNoticeSaveFailed, false);
    } else {
        const Converted converted = ConvertLines(disk->lines, disk->count,
                                                 CodePageOf(disk->encoding), codePage, false,
                                                 codec, &theirs);
        if (converted != kConverted) {
            Say(decision, converted == kNoForm ? kNoticeTheirsNoText : kNoticeSaveFailed, false);
        } else if (!MergeClipLists(base.lines, base.count, theirs.lines, theirs.count,
                                   mine.lines.lines, mine.lines.count, &merge)) {
            Say(decision, kNoticeSaveFailed, false);
        } else if (merge.collisions > 0 && state->collision == 0) {
            Ask(decision, state, kAskCollision, about);
        } else if (merge.collisions > 0 && state->collision == kAnswerNo) {
            // The editor's list over the other program's change, in the
            // encoding that holds both.
            WriteLines(mine.lines.lines, mine.lines.count, target->encoding, &target->file);
            done = true;
        } else if (merge.count == 0) {
            Say(decision, kNoticeEmpty, false);  // both sides emptied it: never written
        } else {
            StartClipFile(&target->file, target->encoding);
            for (int i = 0; i < merge.count; ++i) {
                const MergedLine& line = merge.lines[i];
                const MergeLine& bytes = line.side == kMergeTheirs ? theirs.lines[line.index]
                                                                   : mine.lines.lines[line.index];
                AddClipFileLine(&target->file, bytes.bytes, bytes.length);
            }
            // After the user's "keep both" the merge needs no word of its own.
            state->merged = merge.collisions == 0;
            done = true;
        }
    }
    FreeClipListMerge(&merge);
    FreeLines(&base);
    FreeLines(&theirs);
    FreeMine(&mine);
    return done;
}

// The loader reads the bytes as they are meant, or the save asks first.
// True when `target` may be written (a UTF-8 file may gain its mark).
bool ReadsBackAsWritten(const ClipEditList* list, const ClipCodec* codec, ListSaveState* state,
                        uint64_t about, Target* target, ListSaveDecision* decision)
{
    ClipFileBytes* file = &target->file;
    const int mark = MarkLength(target->encoding);
    const TextFileEncoding read = DetectEncoding(file->bytes, file->size);
    if (read != kEncodingUtf16Bom && CodePageOf(read) == CodePageOf(target->encoding)) return true;
    if (AllAscii(file->bytes + mark, file->size - mark)) return true;
    if (CodePageOf(target->encoding) == kCodePageUtf8) {
        // A UTF-8 list without its mark that would load as code page 932:
        // the mark makes it read as written.
        ClipFileBytes marked;
        StartClipFile(&marked, kEncodingUtf8Bom);
        AddClipFileLine(&marked, file->bytes, file->size);
        marked.size -= 2;  // the bytes end with their own CR LF
        if (marked.failed) {
            FreeClipFile(&marked);
            return false;
        }
        FreeClipFile(file);
        *file = marked;
        target->encoding = kEncodingUtf8Bom;
        return true;
    }
    FreeClipFile(file);
    AskForUtf8(list, codec, state, kAskReadsAsUtf8, about, decision);
    return false;
}

}  // namespace

void DecideListSave(const ClipEditList* list, const ListDisk* disk, const ClipCodec* codec,
                    ListSaveState* state, ListSaveDecision* decision)
{
    decision->step = kStepSay;
    decision->question = kAskNone;
    decision->notice = kNoticeNone;
    decision->closes = false;
    decision->blockers = Utf8Blockers{0, 0, -1};
    StartClipFile(&decision->bytes, kEncoding932);
    if (ReportWrite(state, decision) || ReportUnreadable(disk, decision)) return;
    state->merged = false;
    state->asked = kAskNone;

    // The editor's list first: what it cannot write, no file state helps.
    TextFileEncoding mineEncoding = list->encoding;
    if (state->utf8 && CodePageOf(mineEncoding) == kCodePage932) mineEncoding = kEncodingUtf8Bom;
    const uint64_t about = ListDiskFingerprint(disk);
    // The editor's list alone, in its encoding (or UTF-8, once agreed).
    ClipEditList own = *list;
    own.encoding = mineEncoding;
    Target target;
    target.encoding = mineEncoding;
    switch (BuildClipFile(&own, codec, &target.file)) {
    case kBuildDone: break;
    case kBuildEmpty: Say(decision, kNoticeEmpty, false); return;
    case kBuildNeedsUtf8: AskForUtf8(list, codec, state, kAskNeedsUtf8, about, decision); return;
    default: Say(decision, kNoticeSaveFailed, false); return;
    }

    ClipListModel now;
    StartClipList(&now);
    bool found = false;
    if (disk->read == kDiskRead && !ReadClipList(&now, disk->bytes, disk->size)) {
        Say(decision, kNoticeTooLarge, false);
    } else if (now.encoding == kEncodingUtf16Bom) {
        Say(decision, kNoticeUtf16, false);
    } else {
        // Answers about the file as it was are no answers about it as it is.
        if (state->answered != about) {
            state->collision = (ListSaveAnswer)0;
            state->writeWhole = false;
        }
        const bool gone = disk->read != kDiskIgnored && list->loaded.count > 0 && now.count == 0;
        if (gone && !state->writeWhole) {
            // Gone or emptied meanwhile: never only the user's new entries
            // in its place, and the whole list only once the user says so.
            Ask(decision, state, kAskListGone, about);
        } else if (gone || disk->read != kDiskRead || SameBytes(&now, &list->loaded)) {
            found = true;  // the editor's list as it is
        } else {
            FreeClipFile(&target.file);
            found = Merge(list, &now, mineEncoding, codec, state, about, &target, decision);
        }
    }
    FreeClipList(&now);
    if (found && target.file.failed) {
        Say(decision, kNoticeSaveFailed, false);
        found = false;
    }
    if (found && ReadsBackAsWritten(list, codec, state, about, &target, decision)) {
        decision->step = kStepWrite;
        decision->bytes = target.file;
        return;
    }
    FreeClipFile(&target.file);
}

bool AnswerListSave(ListSaveState* state, ListSaveAnswer answer)
{
    const ListSaveQuestion asked = state->asked;
    state->asked = kAskNone;
    switch (asked) {
    case kAskNeedsUtf8:
    case kAskReadsAsUtf8:
    case kAskTheyMovedToUtf8:
        state->utf8 = answer == kAnswerYes;
        return state->utf8;
    case kAskCollision:
        if (answer == kAnswerCancel) return false;
        state->collision = answer;
        state->answered = state->askedAbout;
        return true;
    case kAskListGone:
        if (answer != kAnswerYes) return false;
        state->writeWhole = true;
        state->answered = state->askedAbout;
        return true;
    default:
        return false;
    }
}
