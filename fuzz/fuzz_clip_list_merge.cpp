// The three-way merge over any three line lists: no crash, every result
// line a line of theirs or of mine taken in order, and the merges whose
// result is known: with mine left as base it is theirs, with theirs left as
// base it is mine, with both making the same change it is that change, all
// without a collision; swapping theirs and mine counts the same collisions
// and, without one, gives the same lines (in another order where both
// added lines at one place). An input that starts with 0xFE stands for
// lists of thousands of lines, made from its bytes: long enough for the
// comparison's bounded searches to give up and for its anchors and splits
// to be taken.
#include <stdio.h>
#include <stdlib.h>

#include <set>
#include <string>
#include <vector>

#include "clip_list_merge.h"
#include "fuzz_input.h"

typedef std::vector<std::string> Lines;

// One byte, one line: from a few short lines and the empty line, so that
// the lists share lines often.
static std::string LineOf(uint8_t byte)
{
    if ((byte & 0x38) == 0x38) return std::string();
    return std::string((size_t)(1 + (byte >> 6)), (char)('a' + (byte & 7)));
}

struct Merged {
    Lines lines;
    int collisions;
};

static Merged Merge(const Lines& base, const Lines& theirs, const Lines& mine)
{
    std::vector<MergeLine> b, t, m;
    for (const std::string& line : base) b.push_back({line.data(), (int)line.size()});
    for (const std::string& line : theirs) t.push_back({line.data(), (int)line.size()});
    for (const std::string& line : mine) m.push_back({line.data(), (int)line.size()});
    ClipListMerge merge;
    FUZZ_CHECK(MergeClipLists(b.data(), (int)b.size(), t.data(), (int)t.size(), m.data(),
                              (int)m.size(), &merge));
    FUZZ_CHECK(merge.count <= (int)(theirs.size() + mine.size()));
    Merged merged;
    merged.collisions = merge.collisions;
    int next[2] = {0, 0};
    for (int i = 0; i < merge.count; ++i) {
        const MergedLine& line = merge.lines[i];
        FUZZ_CHECK(line.side == kMergeTheirs || line.side == kMergeMine);
        const Lines& side = line.side == kMergeTheirs ? theirs : mine;
        FUZZ_CHECK(line.index >= next[line.side] && line.index < (int)side.size());
        next[line.side] = line.index + 1;
        merged.lines.push_back(side[(size_t)line.index]);
    }
    FreeClipListMerge(&merge);
    return merged;
}

static std::set<std::string> Distinct(const Lines& lines)
{
    return std::set<std::string>(lines.begin(), lines.end());
}

// Lists of `count` lines (200 to 1,220) of `kinds` distinct lines (0: each
// its own), theirs and mine each with one line in `every` edited, from a
// generator seeded with the input's bytes.
static void MakeLongLists(const uint8_t* data, size_t size, Lines lists[3])
{
    const int kinds = size > 1 ? data[1] % 9 : 0;
    const uint32_t every = size > 2 ? 2 + data[2] % 30 : 2;
    const int count = 200 + (size > 3 ? data[3] : 0) * 4;
    uint64_t seed = 0x9E3779B97F4A7C15ull;
    for (size_t i = 4; i < size; ++i) seed = (seed ^ data[i]) * 0x100000001B3ull;
    auto next = [&seed](uint32_t below) {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
        return (uint32_t)((seed >> 16) % below);
    };
    int fresh = 0;
    auto line = [&]() {
        return kinds > 0 ? std::string(1, (char)('a' + next((uint32_t)kinds))) : "n" + std::to_string(fresh++);
    };
    for (int i = 0; i < count; ++i) lists[0].push_back(line());
    for (int side = 1; side < 3; ++side) {
        for (const std::string& kept : lists[0]) {
            switch (next(every * 3)) {
            case 0: lists[side].push_back(line()); break;
            case 1: break;
            case 2: lists[side].push_back(line()); lists[side].push_back(kept); break;
            default: lists[side].push_back(kept);
            }
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Lines lists[3];
    if (size > 0 && data[0] == 0xFE) {
        MakeLongLists(data, size, lists);
    } else {
        // base, theirs and mine, parted by 0xFF bytes.
        int list = 0;
        for (size_t i = 0; i < size; ++i) {
            if (data[i] == 0xFF) {
                if (++list == 3) break;
            } else {
                lists[list].push_back(LineOf(data[i]));
            }
        }
    }
    const Lines& base = lists[0];
    const Lines& theirs = lists[1];
    const Lines& mine = lists[2];

    const Merged merged = Merge(base, theirs, mine);
    const Merged swapped = Merge(base, mine, theirs);
    FUZZ_CHECK(merged.collisions == swapped.collisions);
    // Lines both added at one place come theirs first, and a line both
    // added is there once: the same lines, in another order.
    if (merged.collisions == 0) FUZZ_CHECK(Distinct(merged.lines) == Distinct(swapped.lines));

    const Merged onlyTheirs = Merge(base, theirs, base);
    FUZZ_CHECK(onlyTheirs.collisions == 0 && onlyTheirs.lines == theirs);
    const Merged onlyMine = Merge(base, base, mine);
    FUZZ_CHECK(onlyMine.collisions == 0 && onlyMine.lines == mine);
    const Merged same = Merge(base, theirs, theirs);
    FUZZ_CHECK(same.collisions == 0 && same.lines == theirs);
    return 0;
}
