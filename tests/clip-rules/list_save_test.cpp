#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include <string>
#include <vector>

#include "list_save.h"

extern const ClipCodec kTableCodec;  // clip_list_edit_test.cpp

namespace {

// The cases' bytes: names and \xHH escapes; '|' stays (CR LF for lists).
std::string Unescape(std::string text)
{
    static const char* const kNames[][2] = {
        {"{mark}", "\xEF\xBB\xBF"}, {"{a8}", "\xE3\x81\x82"}, {"{a932}", "\x82\xA0"},
        {"{emoji}", "\xF0\x9F\x98\x80"},
        {"{moji932}", "\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB\xE3\x81\xA1\xE3\x81\xAF"},
        {"{moji8}", "\xE7\xB8\xBA\xE8\x96\x99\xEF\xBD\x93\xE7\xB8\xBA\xEF\xBD\xAB\xE7\xB8\xBA"
                    "\xEF\xBD\xA1\xE7\xB8\xBA\xEF\xBD\xAF"}};
    for (const auto& name : kNames) {
        for (size_t at; (at = text.find(name[0])) != std::string::npos;) {
            text.replace(at, strlen(name[0]), name[1]);
        }
    }
    for (size_t at; (at = text.find("\\x")) != std::string::npos;) {
        text.replace(at, 4, 1, (char)strtol(text.substr(at + 2, 2).c_str(), nullptr, 16));
    }
    return text;
}

// A list as file bytes: "A|B|" is "A\r\nB\r\n"; "-" is none.
std::string FileBytes(const std::string& field)
{
    std::string bytes;
    if (field == "-") return bytes;
    for (char c : Unescape(field)) bytes += c == '|' ? std::string("\r\n") : std::string(1, c);
    return bytes;
}

void ApplyEdit(ClipEditList* list, const std::string& edit)
{
    const size_t blank = edit.find(' ');
    const std::string verb = edit.substr(0, blank);
    std::string text = blank == std::string::npos ? "" : Unescape(edit.substr(blank + 1));
    if (verb == "deleteall") {
        while (DeleteClipItem(list, 0)) {}
    } else if (verb == "add" || verb == "add8") {
        InsertClipEntry(list, list->count, text.data(), (int)text.size(),
                        verb == "add" ? kCodePage932 : kCodePageUtf8);
    } else if (verb == "overwrite") {
        const int at = atoi(text.c_str());
        text = text.substr(text.find(' ') + 1);
        OverwriteClipEntry(list, at, text.data(), (int)text.size(), kCodePage932);
    }
}

ListDiskRead DiskKind(const std::string& word)
{
    static const char* const kKinds[] = {"read",     "missing", "folder", "toolarge", "inuse",
                                         "readfailed", "utf16", "ignored"};
    for (int i = 0; i < 8; ++i) {
        if (word == kKinds[i]) return (ListDiskRead)i;
    }
    return kDiskNotNeeded;
}

// The trace shows CR LF as '|', as the cases write it.
std::string Shown(const char* bytes, int size)
{
    std::string shown;
    for (int i = 0; i < size; ++i) {
        const bool lineEnd = bytes[i] == '\r' && i + 1 < size && bytes[i + 1] == '\n';
        shown += lineEnd ? '|' : bytes[i];
        i += lineEnd ? 1 : 0;
    }
    return shown;
}

const char* const kQuestions[] = {"", "utf8", "readsAsUtf8", "movedToUtf8", "collision", "gone"};
const char* const kNotices[] = {"none",  "merged", "oldKept",  "mergedOldKept", "empty",
                                "noText", "tooLong", "theirsNoText", "inUse",  "folder",
                                "tooLarge", "readFailed", "utf16", "keepsChanging", "failed",
                                "leftAside"};

// Runs the save as the editor's loop does, the disk as `disks` give it at
// each read, `answers` and `writes` taken in turn. Gives what happened, one
// step a word.
std::string RunSave(const std::string& file, const std::string& edit,
                    const std::vector<std::string>& disks, const std::string& answers,
                    const std::string& writes)
{
    ClipListModel model;
    EXPECT_TRUE(ReadClipList(&model, file.data(), (int)file.size()));
    ClipEditList list;
    StartClipEditList(&list);
    EXPECT_TRUE(OpenClipEditList(&list, &model));
    ApplyEdit(&list, edit);
    ListSaveState state;
    StartListSave(&state);
    std::string trace;
    size_t reads = 0, answered = 0, written = 0;
    for (bool again = true; again && trace.size() < 4096;) {
        ListDiskRead read = kDiskNotNeeded;
        std::string bytes;
        if (state.written == kWriteNone || state.written == kWriteChanged) {
            const std::string& disk = disks[std::min(reads++, disks.size() - 1)];
            read = DiskKind(disk.substr(0, disk.find(' ')));
            if (read == kDiskRead) bytes = FileBytes(disk.substr(std::min(disk.size(), (size_t)5)));
        }
        const ListDisk given = {read, bytes.data(), (int)bytes.size()};
        ListSaveDecision decision;
        DecideListSave(&list, &given, &kTableCodec, &state, &decision);
        if (decision.step == kStepWrite) {
            trace += "write[" + Shown(decision.bytes.bytes, decision.bytes.size) + "] ";
            const char result = written < writes.size() ? writes[written++] : 'd';
            const char* const kResults = "-dkfmc";
            state.written = (ListWriteResult)(strchr(kResults, result) - kResults);
        } else if (decision.step == kStepAsk) {
            const char answer = answered < answers.size() ? answers[answered++] : 'c';
            trace += std::string("?") + kQuestions[decision.question] + ":" + answer + " ";
            again = AnswerListSave(&state, answer == 'y'   ? kAnswerYes
                                           : answer == 'n' ? kAnswerNo
                                                           : kAnswerCancel);
        } else {
            trace += std::string("!") + kNotices[decision.notice];
            trace += decision.closes ? "+close" : "";
            again = false;
        }
        FreeListSaveDecision(&decision);
    }
    FreeClipEditList(&list);
    while (!trace.empty() && trace.back() == ' ') trace.pop_back();
    return trace;
}

std::vector<std::string> Split(const std::string& text, const std::string& by)
{
    std::vector<std::string> parts;
    for (size_t at = 0;;) {
        const size_t end = text.find(by, at);
        parts.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos) return parts;
        at = end + by.size();
    }
}

// Every case of list_save_cases.inc: what the save writes, asks and says,
// against the list as loaded, the edits, and the file as each read finds it.
TEST(ListSave, TheFileAsItIsDecidesWhatIsWrittenAskedAndSaid)
{
    const std::string cases =
#include "list_save_cases.inc"
        ;
    int run = 0;
    for (const std::string& line : Split(cases, "\n")) {
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> f = Split(line, " ; ");
        ASSERT_EQ(7u, f.size()) << line;
        const std::string writes = f[5] == "-" ? "" : f[5];
        const std::string want = Unescape(f[6]);
        EXPECT_EQ(want, RunSave(FileBytes(f[1]), f[2], Split(f[3], ", "),
                                f[4] == "-" ? "" : f[4], writes))
            << f[0];
        ++run;
    }
    EXPECT_EQ(38, run) << "cases read";
}

}  // namespace
