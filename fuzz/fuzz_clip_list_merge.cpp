// The three-way merge over any three line lists: no crash, every result
// line a line of theirs or of mine taken in order, and the merges whose
// result is known: with mine left as base it is theirs, with theirs left as
// base it is mine, with both making the same change it is that change, all
// without a collision; swapping theirs and mine counts the same collisions
// and, without one, gives the same lines (in another order where both
// added lines at one place).
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // base, theirs and mine, parted by 0xFF bytes.
    Lines lists[3];
    int list = 0;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF) {
            if (++list == 3) break;
        } else {
            lists[list].push_back(LineOf(data[i]));
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
