#include <gtest/gtest.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "clip_list_merge.h"

namespace {

typedef std::vector<std::string> Lines;

std::vector<MergeLine> Refs(const Lines& lines)
{
    std::vector<MergeLine> refs;
    for (const std::string& line : lines) refs.push_back({line.data(), (int)line.size()});
    return refs;
}

struct Merged {
    Lines lines;
    int collisions;
};

// The merge's result as lines. Checks on the way that it takes lines of
// each side in rising order, each at most once.
Merged Merge(const Lines& base, const Lines& theirs, const Lines& mine)
{
    const std::vector<MergeLine> b = Refs(base), t = Refs(theirs), m = Refs(mine);
    ClipListMerge merge;
    EXPECT_TRUE(MergeClipLists(b.data(), (int)b.size(), t.data(), (int)t.size(), m.data(),
                               (int)m.size(), &merge));
    Merged merged;
    merged.collisions = merge.collisions;
    int next[2] = {0, 0};
    for (int i = 0; i < merge.count; ++i) {
        const MergedLine& line = merge.lines[i];
        const Lines& side = line.side == kMergeTheirs ? theirs : mine;
        EXPECT_GE(line.index, next[line.side]);
        EXPECT_LT(line.index, (int)side.size());
        if (line.index < next[line.side] || line.index >= (int)side.size()) break;
        next[line.side] = line.index + 1;
        merged.lines.push_back(side[(size_t)line.index]);
    }
    FreeClipListMerge(&merge);
    return merged;
}

std::string Join(const Lines& lines)
{
    std::string text;
    for (const std::string& line : lines) text += "[" + line + "]";
    return text;
}

TEST(ClipListMerge, MergesLineByLineAndKeepsBothWhereTheyCollide)
{
    const std::string zeroA("k\0a", 3), zeroB("k\0b", 3);
    struct Row {
        const char* what;
        Lines base, theirs, mine;
        Lines merged;
        int collisions;
    };
    const Row rows[] = {
        {"theirs appended, mine added at the top",
         {"A", "B", "C"}, {"A", "B", "C", "T"}, {"M", "A", "B", "C"},
         {"M", "A", "B", "C", "T"}, 0},
        {"mine appended, theirs added in the middle",
         {"A", "B", "C", "D"}, {"A", "B", "T", "C", "D"}, {"A", "B", "C", "D", "M"},
         {"A", "B", "T", "C", "D", "M"}, 0},
        {"theirs removed a line, mine changed another",
         {"A", "B", "C", "D", "E"}, {"A", "C", "D", "E"}, {"A", "B", "C", "M", "E"},
         {"A", "C", "M", "E"}, 0},
        {"both changed different lines",
         {"A", "B", "C", "D", "E"}, {"A", "T", "C", "D", "E"}, {"A", "B", "C", "M", "E"},
         {"A", "T", "C", "M", "E"}, 0},
        {"mine moved a line theirs did not touch",
         {"A", "B", "C", "D", "E", "F", "G", "H"}, {"A", "B", "C", "D", "E", "F", "G", "T"},
         {"A", "C", "D", "E", "B", "F", "G", "H"},
         {"A", "C", "D", "E", "B", "F", "G", "T"}, 0},
        {"theirs moved a line, mine changed another",
         {"A", "B", "C", "D", "E", "F", "G", "H"}, {"G", "A", "B", "C", "D", "E", "F", "H"},
         {"A", "B", "M", "D", "E", "F", "G", "H"},
         {"G", "A", "B", "M", "D", "E", "F", "H"}, 0},
        {"both changed one line differently",
         {"A", "B", "C"}, {"A", "T", "C"}, {"A", "M", "C"},
         {"A", "T", "M", "C"}, 1},
        {"both made the same change",
         {"A", "B", "C"}, {"A", "X", "C"}, {"A", "X", "C"},
         {"A", "X", "C"}, 0},
        {"both removed the same line",
         {"A", "B", "C"}, {"A", "C"}, {"A", "C"},
         {"A", "C"}, 0},
        {"changes on adjacent lines are one stretch (diff3)",
         {"A", "B", "C", "D"}, {"A", "T", "C", "D"}, {"A", "B", "M", "D"},
         {"A", "T", "C", "M", "D"}, 1},
        {"empty base, both added different lines: theirs, then mine",
         {}, {"T"}, {"M"},
         {"T", "M"}, 0},
        {"empty base, both added the same lines",
         {}, {"A", "B"}, {"A", "B"},
         {"A", "B"}, 0},
        {"empty base, only theirs added",
         {}, {"T"}, {},
         {"T"}, 0},
        {"empty base, only mine added",
         {}, {}, {"M"},
         {"M"}, 0},
        {"theirs emptied the file, mine edited a line",
         {"A", "B", "C"}, {}, {"A", "M", "C"},
         {"M"}, 1},
        {"theirs emptied the file, mine changed nothing",
         {"A", "B", "C"}, {}, {"A", "B", "C"},
         {}, 0},
        // The last line of a file without CR LF is a line like any other.
        {"theirs added a line after a last line",
         {"A", "B", "C"}, {"A", "B", "C", "T"}, {"M", "B", "C"},
         {"M", "B", "C", "T"}, 0},
        {"both appended different lines at the end: theirs, then mine",
         {"A", "B"}, {"A", "B", "T1", "T2"}, {"A", "B", "M"},
         {"A", "B", "T1", "T2", "M"}, 0},
        {"both added at one place: a line both added is there once",
         {"A"}, {"A", "T1", "T2"}, {"A", "T1", "M"},
         {"A", "T1", "T2", "M"}, 0},
        {"keep both: a line both added is there once",
         {"A", "B"}, {"A", "T1", "T2"}, {"A", "T1", "M"},
         {"A", "T1", "T2", "M"}, 1},
        {"keep both: mine's deletions give way to theirs",
         {"A", "B", "C", "D"}, {"A", "T", "C", "D"}, {"A", "D"},
         {"A", "T", "C", "D"}, 1},
        {"keep both: mine's unchanged lines of the stretch are not doubled",
         {"A", "B", "C"}, {"A", "T", "C"}, {"A", "B", "M", "C"},
         {"A", "T", "M", "C"}, 1},
        {"keep both: mine's lines moved inside the stretch are not added again",
         {"A", "B", "C", "D"}, {"A", "T1", "T2", "D"}, {"A", "C", "B", "D"},
         {"A", "T1", "T2", "D"}, 1},
        {"two collisions, each kept both",
         {"A", "B", "C", "D", "E"}, {"T1", "B", "C", "D", "T5"}, {"M1", "B", "C", "D", "M5"},
         {"T1", "M1", "B", "C", "D", "T5", "M5"}, 2},
        {"lines are bytes: a difference after a zero byte counts",
         {"A", zeroA, "C"}, {"A", zeroA, "C", "T"}, {"A", zeroB, "C"},
         {"A", zeroB, "C", "T"}, 0},
        {"empty lines are lines",
         {"A", "", "B"}, {"A", "", "", "B"}, {"", "A", "", "B"},
         {"", "A", "", "", "B"}, 0},
        {"both moved one line to different places: kept once, where theirs put it",
         {"a", "b", "c", "d", "e", "f", "g"}, {"a", "b", "c", "e", "f", "g", "d"},
         {"a", "d", "b", "c", "e", "f", "g"},
         {"a", "b", "c", "e", "f", "g", "d"}, 1},
        {"both moved one line to one place, mine changed another",
         {"a", "b", "c", "d", "e", "f", "g"}, {"a", "b", "c", "e", "f", "g", "d"},
         {"M", "b", "c", "e", "f", "g", "d"},
         {"M", "b", "c", "e", "f", "g", "d"}, 0},
        // In a run of equal lines every edit takes the run's last lines, on
        // both sides alike, whichever lines the comparison matched.
        {"run: each side turned one empty line into its own",
         {"", "", ""}, {"T", "", ""}, {"", "M", ""},
         {"T", "", "M", ""}, 0},
        {"run: theirs removed an empty line, mine changed one",
         {"B", "B", "B", "", ""}, {"B", "B", "B", ""}, {"B", "B", "B", "M", ""},
         {"B", "B", "B", "M", ""}, 0},
        {"run: theirs' added A goes after the A it repeats",
         {"", "", "A", ""}, {"", "A", "A", ""}, {"M", "", "A", ""},
         {"M", "", "A", "A", ""}, 0},
        {"run: theirs' added empty line goes last and meets mine's change there",
         {"", "", "", "", "A", ""}, {"", "", "", "", "", "A", ""}, {"", "M", "", "", "A", ""},
         {"", "M", "", "", "", "", "A", ""}, 1},
        {"nothing changed", {"A", "B"}, {"A", "B"}, {"A", "B"}, {"A", "B"}, 0},
        {"everything empty", {}, {}, {}, {}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Merged merged = Merge(row.base, row.theirs, row.mine);
        EXPECT_EQ(Join(row.merged), Join(merged.lines));
        EXPECT_EQ(row.collisions, merged.collisions);
        // With mine or theirs left as base, the other is the result.
        EXPECT_EQ(Join(row.theirs), Join(Merge(row.base, row.theirs, row.base).lines));
        EXPECT_EQ(Join(row.mine), Join(Merge(row.base, row.base, row.mine).lines));
    }
}

Lines Numbered(int count, const char* prefix)
{
    Lines lines;
    for (int i = 0; i < count; ++i) lines.push_back(prefix + std::to_string(i));
    return lines;
}

TEST(ClipListMerge, LargeListWithAFewChangesOnEachSide)
{
    const int kCount = 100000;
    const Lines base = Numbered(kCount, "line ");
    Lines theirs, mine, expected;
    for (int i = 0; i < kCount; ++i) {
        const std::string& line = base[(size_t)i];
        // theirs: changes line 10, removes line 50000, appends two lines.
        if (i == 10) theirs.push_back("theirs 10");
        else if (i != 50000) theirs.push_back(line);
        // mine: changes lines 20000 and 99990, adds a line before 70000 and
        // moves line 30000 after line 80000.
        if (i == 70000) mine.push_back("mine new");
        if (i == 20000) mine.push_back("mine 20000");
        else if (i == 99990) mine.push_back("mine 99990");
        else if (i != 30000) mine.push_back(line);
        if (i == 80000) mine.push_back(base[30000]);

        if (i == 70000) expected.push_back("mine new");
        if (i == 10) expected.push_back("theirs 10");
        else if (i == 20000) expected.push_back("mine 20000");
        else if (i == 99990) expected.push_back("mine 99990");
        else if (i != 50000 && i != 30000) expected.push_back(line);
        if (i == 80000) expected.push_back(base[30000]);
    }
    for (const char* line : {"theirs end 1", "theirs end 2"}) {
        theirs.push_back(line);
        expected.push_back(line);
    }
    const Merged merged = Merge(base, theirs, mine);
    EXPECT_EQ(0, merged.collisions);
    EXPECT_TRUE(expected == merged.lines);
}

// theirs changes `pairs` pairs of lines from line 100 on, two lines in
// every five; mine changes line 5003 between two of them, and two lines far
// from them.
Merged MergeAroundPairs(const Lines& base, int pairs, Lines* theirs, Lines* mine)
{
    *theirs = base;
    for (int k = 0; k < pairs; ++k) {
        for (int i = 100 + 5 * k; i < 102 + 5 * k; ++i) (*theirs)[(size_t)i] = "theirs " + std::to_string(i);
    }
    *mine = base;
    for (int i : {50, 5003, 62000}) (*mine)[(size_t)i] = "mine " + std::to_string(i);
    return Merge(base, *theirs, *mine);
}

TEST(ClipListMerge, ManyEditsOnOneSideStayLineByLine)
{
    const Lines base = Numbered(65000, "line ");
    Lines theirs, mine;
    // 24,000 changed lines on theirs; mine's change between two of them
    // merges cleanly and stays in its place.
    for (int pairs : {500, 12000}) {
        SCOPED_TRACE(pairs);
        const Merged merged = MergeAroundPairs(base, pairs, &theirs, &mine);
        Lines expected = theirs;
        for (int i : {50, 5003, 62000}) expected[(size_t)i] = mine[(size_t)i];
        EXPECT_EQ(0, merged.collisions);
        EXPECT_TRUE(expected == merged.lines);
    }
}

TEST(ClipListMerge, FewDistinctLinesWithManyEditsStayLineByLine)
{
    // Empty lines and two repeated entries: no line is found once in each
    // list. Theirs edits one line in three everywhere but a stretch of 300
    // lines; mine changes one line inside that stretch.
    const char* const kinds[] = {"", "a", "b"};
    uint32_t random = 12345;
    auto next = [&random](uint32_t below) {
        random = random * 1103515245u + 12345u;
        return (random >> 16) % below;
    };
    Lines base, theirs;
    for (int i = 0; i < 30000; ++i) base.push_back(kinds[next(3)]);
    int kept = -1;  // where theirs holds base's line 15150
    for (int i = 0; i < 30000; ++i) {
        if (i == 15150) kept = (int)theirs.size();
        if (i >= 15000 && i < 15300) {
            theirs.push_back(base[(size_t)i]);
            continue;
        }
        switch (next(9)) {
        case 0: theirs.push_back(kinds[next(3)]); break;
        case 1: break;
        case 2: theirs.push_back(kinds[next(3)]); theirs.push_back(base[(size_t)i]); break;
        default: theirs.push_back(base[(size_t)i]);
        }
    }
    Lines mine = base;
    mine[15150] = "mine";
    Lines expected = theirs;
    expected[(size_t)kept] = "mine";
    const Merged merged = Merge(base, theirs, mine);
    EXPECT_EQ(0, merged.collisions);
    EXPECT_TRUE(expected == merged.lines);
    EXPECT_TRUE(theirs == Merge(base, theirs, base).lines);
    EXPECT_TRUE(mine == Merge(base, base, mine).lines);
}

TEST(ClipListMerge, RefusesCountsItCannotHold)
{
    const MergeLine line = {"A", 1};
    ClipListMerge merge;
    EXPECT_FALSE(MergeClipLists(&line, -1, &line, 1, &line, 1, &merge));
    EXPECT_EQ(nullptr, merge.lines);
    EXPECT_EQ(0, merge.count);
    EXPECT_FALSE(MergeClipLists(&line, 1, nullptr, 2, &line, 1, &merge));
    EXPECT_FALSE(MergeClipLists(&line, 1, &line, 1, &line, kMergeMaxLines + 1, &merge));
    EXPECT_EQ(0, merge.count);
}

}  // namespace
