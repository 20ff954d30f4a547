#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bounded_text.h"
#include "clip_lines.h"

namespace {

typedef std::vector<std::string> Lines;

void Collect(const char* line, void* context)
{
    static_cast<Lines*>(context)->push_back(line);
}

// Feeds the bytes in chunks of chunkSize, as the loader reads the file.
Lines Split(const std::string& bytes, int chunkSize = kClipChunkSize)
{
    Lines lines;
    ClipLineSplitter splitter;
    StartClipLines(&splitter);
    for (size_t at = 0; at < bytes.size(); at += (size_t)chunkSize) {
        std::string chunk = bytes.substr(at, (size_t)chunkSize);
        FeedClipLines(&splitter, chunk.data(), (int)chunk.size(), Collect, &lines);
    }
    return lines;
}

// What the file means, written independently of the splitter: the CR LF
// lines, each over-long one cut on a character boundary.
Lines Expected(const std::string& bytes)
{
    Lines lines;
    size_t start = 0, end;
    while ((end = bytes.find("\r\n", start)) != std::string::npos) {
        std::string line = bytes.substr(start, end - start);
        int keep = CutLength(line.data(), (int)line.size(), kClipLineMax, kCodePage932);
        lines.push_back(line.substr(0, (size_t)keep));
        start = end + 2;
    }
    return lines;
}

std::string Show(const Lines& lines)
{
    std::string shown;
    for (const std::string& line : lines) {
        shown += "[" + (line.size() > 40 ? line.substr(0, 20) + "...(" +
                 std::to_string(line.size()) + " bytes)" : line) + "]";
    }
    return shown;
}

TEST(ClipLines, FileBytesGiveTheirItems)
{
    struct Row { std::string bytes; Lines items; };
    const Row rows[] = {
        {"A\r\nB\r\n", {"A", "B"}},
        {"A\r\nB", {"A"}},
        {"A\r\n\r\nB\r\n", {"A", "", "B"}},
        {"A\nB\r\n", {"A\nB"}},
        {"A\rB\r\r\n", {"A\rB\r"}},
        {"", {}},
        {"no line end at all", {}},
        {"\xEF\xBB\xBF" "A\r\n", {"\xEF\xBB\xBF" "A"}},
        {std::string(300, 'x') + "\r\nB\r\n", {std::string(300, 'x'), "B"}},
    };
    // Every chunk size gives the same lines: a CR LF split across chunks,
    // or a line spread over several, is found as usual.
    for (const Row& row : rows) {
        for (int chunkSize : {1, 2, 3, 126, (int)kClipChunkSize}) {
            EXPECT_EQ(Show(row.items), Show(Split(row.bytes, chunkSize)))
                << "chunks of " << chunkSize << " over " << Show({row.bytes});
        }
    }
}

TEST(ClipLines, ZeroByteEndsWhatIsTakenFromItsChunk)
{
    // The zero and the rest of its 127-byte chunk, a CR LF included, are
    // dropped; the next chunk carries on the same line.
    std::string bytes = "A\r\nB" + std::string(1, '\0') + "x\r\n" +
                        std::string(119, 'z') + "C\r\nD\r\n";
    ASSERT_EQ(127u, bytes.find("C\r\n"));
    EXPECT_EQ(Show({"A", "BC", "D"}), Show(Split(bytes)));
}

TEST(ClipLines, OverLongLinesAreCutAndLeaveTheNextLinesAlone)
{
    for (int length : {895, 896, 1021, 1022, 1023, 1024, 1025, 5000, 50000}) {
        std::string line;
        for (int i = 0; i < length; ++i) line += (char)('a' + i % 26);
        std::string bytes = "before\r\n" + line + "\r\nnext\r\n\r\nlast\r\n";
        std::string kept = line.substr(0, (size_t)(length > kClipLineMax ? (int)kClipLineMax : length));
        EXPECT_EQ(Show({"before", kept, "next", "", "last"}), Show(Split(bytes)))
            << "line of " << length << " bytes";
    }
}

TEST(ClipLines, OverLongCutNeverSplitsADoubleByteCharacter)
{
    // あ is 82 A0. 512 of them put a lead byte at the window's last place.
    std::string even;
    for (int i = 0; i < 600; ++i) even += "\x82\xa0";
    EXPECT_EQ(Show({even.substr(0, 1022), "x"}), Show(Split(even + "\r\nx\r\n")));
    std::string odd = "a" + even;
    EXPECT_EQ(Show({odd.substr(0, 1023), "x"}), Show(Split(odd + "\r\nx\r\n")));
}

TEST(ClipLines, CRAtTheEndOfAFullWindow)
{
    // 1022 bytes and CR LF: the window fills with the CR, the LF follows.
    std::string line(1022, 'q');
    EXPECT_EQ(Show({line, "n"}), Show(Split(line + "\r\nn\r\n")));
    // A lone CR as the 1023rd byte of a longer line belongs to the line.
    EXPECT_EQ(Show({line + "\r", "n"}), Show(Split(line + "\rzz\r\nn\r\n")));
    // ... also when the CR LF after it comes at once.
    EXPECT_EQ(Show({line + "\r", "n"}), Show(Split(line + "\r\r\nn\r\n")));
}

TEST(ClipLines, AgreesWithTheMeaningOfTheFileForAnyChunking)
{
    // Random files over an alphabet that favours line ends, runs of text
    // and double-byte characters, in random chunk sizes.
    unsigned state = 12345;
    auto next = [&state](unsigned range) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % range;
    };
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        int pieces = (int)next(30);
        for (int i = 0; i < pieces; ++i) {
            switch (next(6)) {
            case 0: bytes += "\r\n"; break;
            case 1: bytes += "\r"; break;
            case 2: bytes += "\n"; break;
            case 3: bytes += std::string(next(1200), 'k'); break;
            case 4: for (unsigned n = next(700); n > 0; --n) bytes += "\x82\xa0"; break;
            default: bytes += "\x83\x5c" "b"; break;
            }
        }
        int chunkSize = 1 + (int)next(200);
        ASSERT_EQ(Show(Expected(bytes)), Show(Split(bytes, chunkSize)))
            << "round " << round << ", chunks of " << chunkSize;
    }
}

}  // namespace
