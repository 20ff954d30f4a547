#include <gtest/gtest.h>

#include <stdio.h>

#include <functional>
#include <string>
#include <vector>

#include "list_save.h"
#include "table_codec.h"

namespace {

typedef std::function<void(ClipEditList*)> Edit;

const std::string kMark = "\xEF\xBB\xBF";
const std::string kAUtf8 = "\xE3\x81\x82";       // あ
const std::string kA932 = "\x82\xA0";
const std::string kEmoji = "\xF0\x9F\x98\x80";   // no form in code page 932
// Code page 932 text whose bytes are the UTF-8 of こんにちは, and its UTF-8.
const std::string kMojibake932 = "\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB\xE3\x81\xA1\xE3\x81\xAF";
const std::string kMojibakeUtf8 =
    "\xE7\xB8\xBA\xE8\x96\x99\xEF\xBD\x93\xE7\xB8\xBA\xEF\xBD\xAB\xE7\xB8\xBA\xEF\xBD\xA1"
    "\xE7\xB8\xBA\xEF\xBD\xAF";

// Lines as file bytes: "A|B|" is "A\r\nB\r\n".
std::string F(const std::string& lines)
{
    std::string bytes;
    for (char c : lines) {
        if (c == '|') {
            bytes += "\r\n";
        } else {
            bytes += c;
        }
    }
    return bytes;
}

Edit None() { return [](ClipEditList*) {}; }
Edit Add(const std::string& text, int codePage = kCodePage932)
{
    return [=](ClipEditList* list) {
        InsertClipEntry(list, list->count, text.data(), (int)text.size(), codePage);
    };
}
Edit Overwrite(int at, const std::string& text)
{
    return [=](ClipEditList* list) {
        OverwriteClipEntry(list, at, text.data(), (int)text.size(), kCodePage932);
    };
}
Edit DeleteAll()
{
    return [](ClipEditList* list) {
        while (list->count > 0) DeleteClipItem(list, 0);
    };
}

struct Disk {
    ListDiskRead read;
    std::string bytes;
};
Disk Read(const std::string& lines) { return Disk{kDiskRead, F(lines)}; }
Disk Raw(const std::string& bytes) { return Disk{kDiskRead, bytes}; }
Disk Kind(ListDiskRead read) { return Disk{read, ""}; }

// The file bytes with CR LF as '|' and other bytes beyond ASCII in hex.
std::string Shown(const std::string& bytes)
{
    std::string shown;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char c = (unsigned char)bytes[i];
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            shown += '|';
            ++i;
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            snprintf(hex, sizeof hex, "<%02X>", c);
            shown += hex;
        } else {
            shown += (char)c;
        }
    }
    return shown;
}

const char* const kQuestions[] = {"", "utf8", "readsAsUtf8", "movedToUtf8", "collision", "gone"};
const char* const kNotices[] = {"none",    "merged",       "oldKept",    "mergedOldKept",
                                "empty",   "noText",       "tooLong",    "theirsNoText",
                                "inUse",   "folder",       "tooLarge",   "readFailed",
                                "utf16",   "keepsChanging", "failed",    "leftAside"};

// Runs the save as the editor's loop does: the disk as `disks` give it at
// each read (the last from then on), `answers` given in turn (y, n, c), and
// `writes` fed back in turn (d done, k old copy kept, f failed, m moved, c
// changed; done once they run out). Gives what happened, one step a word.
std::string RunSave(const std::string& file, const Edit& edit, const std::vector<Disk>& disks,
                    const std::string& answers, const std::string& writes)
{
    ClipListModel model;
    EXPECT_TRUE(ReadClipList(&model, file.data(), (int)file.size()));
    ClipEditList list;
    StartClipEditList(&list);
    EXPECT_TRUE(OpenClipEditList(&list, &model));
    edit(&list);
    ListSaveState state;
    StartListSave(&state);
    std::string trace;
    size_t reads = 0, answered = 0, written = 0;
    for (int steps = 0; steps < 20; ++steps) {
        Disk disk = Kind(kDiskNotNeeded);
        if (state.written == kWriteNone || state.written == kWriteChanged) {
            disk = disks[reads < disks.size() ? reads : disks.size() - 1];
            ++reads;
        }
        const ListDisk given = {disk.read, disk.bytes.data(), (int)disk.bytes.size()};
        ListSaveDecision decision;
        DecideListSave(&list, &given, TableCodec(), &state, &decision);
        bool again = true;
        if (decision.step == kStepWrite) {
            trace += "write[" + Shown(std::string(decision.bytes.bytes, (size_t)decision.bytes.size)) + "] ";
            const char result = written < writes.size() ? writes[written++] : 'd';
            state.written = result == 'k' ? kWriteDoneOldKept
                            : result == 'f' ? kWriteFailed
                            : result == 'm' ? kWriteFailedMoved
                            : result == 'c' ? kWriteChanged
                                            : kWriteDone;
        } else if (decision.step == kStepAsk) {
            const char answer = answered < answers.size() ? answers[answered++] : '-';
            trace += std::string("?") + kQuestions[decision.question] + ":" + answer + " ";
            again = AnswerListSave(&state, answer == 'y'   ? kAnswerYes
                                           : answer == 'n' ? kAnswerNo
                                                           : kAnswerCancel);
        } else {
            trace += std::string("!") + kNotices[decision.notice] + (decision.closes ? "+close" : "");
            again = false;
        }
        FreeListSaveDecision(&decision);
        if (!again) break;
    }
    FreeClipEditList(&list);
    while (!trace.empty() && trace.back() == ' ') trace.pop_back();
    return trace;
}

struct Row {
    const char* what;
    std::string file;
    Edit edit;
    std::vector<Disk> disks;
    std::string answers;
    std::string writes;
    std::string trace;
};

void RunRows(const std::vector<Row>& rows)
{
    for (const Row& row : rows) {
        EXPECT_EQ(row.trace, RunSave(row.file, row.edit, row.disks, row.answers, row.writes))
            << row.what;
    }
}

TEST(ListSave, TheFileAsItIsDecidesWhatIsWrittenOrAsked)
{
    const std::string abc = F("A|B|C|");
    RunRows({
        {"unchanged", abc, Add("M"), {Read("A|B|C|")}, "", "", "write[A|B|C|M|] !none+close"},
        {"changed elsewhere: merged", abc, Add("M"), {Read("T|A|B|C|")}, "", "",
         "write[T|A|B|C|M|] !merged+close"},
        {"collision, keep both", abc, Overwrite(2, "M"), {Read("A|B|X|")}, "y", "",
         "?collision:y write[A|B|X|M|] !none+close"},
        {"collision, the editor's list", abc, Overwrite(2, "M"), {Read("A|B|X|")}, "n", "",
         "?collision:n write[A|B|M|] !none+close"},
        {"collision, back to editing", abc, Overwrite(2, "M"), {Read("A|B|X|")}, "c", "",
         "?collision:c"},
        {"changed while asked: merged", abc, Overwrite(2, "M"),
         {Read("A|B|X|"), Read("T|A|B|C|")}, "n", "",
         "?collision:n write[T|A|B|M|] !merged+close"},
        {"changed while asked: asked again", abc, Overwrite(2, "M"),
         {Read("A|B|X|"), Read("Z|A|B|X|")}, "ny", "",
         "?collision:n ?collision:y write[Z|A|B|X|M|] !none+close"},
        {"gone: the whole list on yes", abc, Add("M"), {Kind(kDiskMissing)}, "y", "",
         "?gone:y write[A|B|C|M|] !none+close"},
        {"emptied in place: nothing on no", abc, Add("M"), {Read("")}, "n", "", "?gone:n"},
        {"only a mark left, no edit", abc, None(), {Raw(kMark)}, "y", "",
         "?gone:y write[A|B|C|] !none+close"},
        {"gone, back while asked: merged", abc, Add("M"),
         {Kind(kDiskMissing), Read("A|B|C|T|")}, "y", "",
         "?gone:y write[A|B|C|T|M|] !merged+close"},
        {"a new list", "", Add("M"), {Kind(kDiskMissing)}, "", "", "write[M|] !none+close"},
        {"written over whatever is there", abc, Add("M"), {Kind(kDiskIgnored)}, "", "",
         "write[A|B|C|M|] !none+close"},
    });
}

// Nothing is written over a file the save could not read, and every write's
// result is told as it came.
TEST(ListSave, EveryOutcomeIsSaidAsWhatHappened)
{
    const std::string abc = F("A|B|C|");
    RunRows({
        {"a folder", abc, Add("M"), {Kind(kDiskFolder)}, "", "", "!folder"},
        {"too large", abc, Add("M"), {Kind(kDiskTooLarge)}, "", "", "!tooLarge"},
        {"in use", abc, Add("M"), {Kind(kDiskInUse)}, "", "", "!inUse"},
        {"a read failed", abc, Add("M"), {Kind(kDiskReadFailed)}, "", "", "!readFailed"},
        {"UTF-16, as found by the read", abc, Add("M"), {Kind(kDiskUtf16)}, "", "", "!utf16"},
        {"UTF-16, as found in the bytes", abc, Add("M"), {Raw(std::string("\xFF\xFE" "A\0", 4))},
         "", "", "!utf16"},
        {"emptied list", abc, DeleteAll(), {Read("A|B|C|")}, "", "", "!empty"},
        {"changed at every try", abc, Add("M"), {Read("A|B|C|")}, "", "ccc",
         "write[A|B|C|M|] write[A|B|C|M|] write[A|B|C|M|] !keepsChanging"},
        {"changed once, merged the second time", abc, Add("M"),
         {Read("A|B|C|"), Read("T|A|B|C|")}, "", "c",
         "write[A|B|C|M|] write[T|A|B|C|M|] !merged+close"},
        {"old copy kept", abc, Add("M"), {Read("A|B|C|")}, "", "k",
         "write[A|B|C|M|] !oldKept+close"},
        {"merged, old copy kept", abc, Add("M"), {Read("T|A|B|C|")}, "", "k",
         "write[T|A|B|C|M|] !mergedOldKept+close"},
        {"replace failed", abc, Add("M"), {Read("A|B|C|")}, "", "f", "write[A|B|C|M|] !failed"},
        {"replace left the old list aside", abc, Add("M"), {Read("A|B|C|")}, "", "m",
         "write[A|B|C|M|] !leftAside"},
    });
}

TEST(ListSave, EncodingHoldsBothSidesAndReadsBackAsWritten)
{
    const std::string cp932 = F("A|") + kA932 + "\r\n";
    const std::string utf8 = F("A|") + kAUtf8 + "\r\n";
    const std::string theirsUtf8 = F("A|") + kAUtf8 + "\r\n" + kEmoji + "\r\n";
    RunRows({
        {"an emoji: UTF-8 with the mark", F("A|"), Add(kEmoji, kCodePageUtf8), {Read("A|")}, "y",
         "", "?utf8:y write[" + Shown(kMark + F("A|") + kEmoji + "\r\n") + "] !none+close"},
        {"an emoji, no", F("A|"), Add(kEmoji, kCodePageUtf8), {Read("A|")}, "n", "", "?utf8:n"},
        {"a line of no text blocks it", F("A|\x85\x40|"), Add(kEmoji, kCodePageUtf8),
         {Read("A|\x85\x40|")}, "", "", "!noText"},
        {"code page 932 bytes that load as UTF-8", F("A|"), Add(kMojibake932), {Read("A|")}, "y",
         "", "?readsAsUtf8:y write[" + Shown(kMark + F("A|") + kMojibakeUtf8 + "\r\n") + "] !none+close"},
        {"they moved it to UTF-8 with the mark", cp932, Add("M"), {Raw(kMark + theirsUtf8)}, "y",
         "", "?movedToUtf8:y write[" + Shown(kMark + theirsUtf8 + "M\r\n") + "] !merged+close"},
        {"they moved it to UTF-8 without", cp932, Add("M"), {Raw(theirsUtf8)}, "y", "",
         "?movedToUtf8:y write[" + Shown(theirsUtf8 + "M\r\n") + "] !merged+close"},
        {"they moved it, no", cp932, Add("M"), {Raw(theirsUtf8)}, "n", "", "?movedToUtf8:n"},
        {"they added the mark", utf8, Add("M", kCodePageUtf8), {Raw(kMark + theirsUtf8)}, "", "",
         "write[" + Shown(kMark + theirsUtf8 + "M\r\n") + "] !merged+close"},
        {"they removed it", kMark + utf8, Add("M", kCodePageUtf8), {Raw(theirsUtf8)}, "", "",
         "write[" + Shown(theirsUtf8 + "M\r\n") + "] !merged+close"},
        {"they moved it to code page 932", utf8, Add("M", kCodePageUtf8),
         {Raw(cp932 + "T\r\n")}, "", "", "write[" + Shown(cp932 + F("T|M|")) + "] !merged+close"},
        {"they moved it to 932, the editor's emoji", utf8, Add(kEmoji, kCodePageUtf8),
         {Raw(cp932 + "T\r\n")}, "y", "",
         "?utf8:y write[" + Shown(kMark + utf8 + "T\r\n" + kEmoji + "\r\n") + "] !merged+close"},
        {"their lines have no UTF-8 form", utf8, Add(kEmoji, kCodePageUtf8),
         {Raw(cp932 + "\x82\xA4\r\n")}, "y", "", "?utf8:y !theirsNoText"},
    });
}

// A UTF-8 list without its mark keeps it so, unless its bytes would then
// load as code page 932: then it gains the mark.
TEST(ListSave, UnmarkedUtf8NeverLoadsAsAnotherText)
{
    const std::string twoByte = "\xCA\xB2";  // ʲ, and ﾊｲ in code page 932
    const std::string file = F("A|") + kEmoji + kEmoji + "\r\n" + twoByte + "\r\n";
    ClipListModel model;
    EXPECT_TRUE(ReadClipList(&model, file.data(), (int)file.size()));
    ClipEditList list;
    StartClipEditList(&list);
    EXPECT_TRUE(OpenClipEditList(&list, &model));
    EXPECT_EQ(kEncodingUtf8, list.encoding);
    DeleteClipItem(&list, 1);  // the emoji that made it plainly UTF-8
    ListSaveState state;
    StartListSave(&state);
    const ListDisk disk = {kDiskRead, file.data(), (int)file.size()};
    ListSaveDecision decision;
    DecideListSave(&list, &disk, TableCodec(), &state, &decision);
    EXPECT_EQ(kStepWrite, decision.step);
    const std::string written(decision.bytes.bytes ? decision.bytes.bytes : "",
                              (size_t)decision.bytes.size);
    const TextFileEncoding read = DetectEncoding(written.data(), (int)written.size());
    EXPECT_EQ(kCodePageUtf8, CodePageOf(read)) << Shown(written);
    EXPECT_EQ(F("A|") + twoByte + "\r\n", written.substr((size_t)MarkLength(read)));
    FreeListSaveDecision(&decision);
    FreeClipEditList(&list);
}

}  // namespace
