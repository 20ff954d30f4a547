// The list merge's time on 200,000-line lists that both sides edited
// heavily, natively and optimised (the host tree builds it without the
// sanitizers): cmake --build build/host --target merge_bench &&
// build/host/bin/merge_bench [runs]. Prints figures; never fails for
// slowness. Each result is checked as well: the merge with mine left as
// base gives theirs, line for line.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <string>
#include <vector>

#include "clip_list_merge.h"

namespace {

typedef std::vector<std::string> Lines;

const int kLines = 200000;

uint64_t m_Random = 0x853C49E6748FEA9Bull;

uint32_t Next(uint32_t below)
{
    m_Random ^= m_Random << 13;
    m_Random ^= m_Random >> 7;
    m_Random ^= m_Random << 17;
    return (uint32_t)((m_Random >> 16) % below);
}

int m_NewLine = 0;

// A line of the list: from `kinds` lines when kinds > 0 (few distinct
// lines, as blank lines and repeated entries), else one of its own.
std::string LineOf(int kinds)
{
    if (kinds > 0) return kinds == 1 ? std::string() : "entry " + std::to_string(Next((uint32_t)kinds));
    return "entry " + std::to_string(m_NewLine++) + " of the list, about forty bytes";
}

// Base with one in `every` lines changed, removed, or a line added before
// it, and `moves` lines taken to other places.
Lines Edited(const Lines& base, int every, int moves, int kinds)
{
    Lines side;
    for (const std::string& line : base) {
        switch (Next((uint32_t)every * 3)) {
        case 0: side.push_back(LineOf(kinds)); break;         // changed
        case 1: break;                                        // removed
        case 2: side.push_back(LineOf(kinds)); side.push_back(line); break;  // added
        default: side.push_back(line);
        }
    }
    for (int i = 0; i < moves && side.size() > 1; ++i) {
        const size_t from = Next((uint32_t)side.size());
        std::string line = side[from];
        side.erase(side.begin() + (long)from);
        side.insert(side.begin() + (long)Next((uint32_t)side.size() + 1), line);
    }
    return side;
}

std::vector<MergeLine> Refs(const Lines& lines)
{
    std::vector<MergeLine> refs;
    for (const std::string& line : lines) refs.push_back({line.data(), (int)line.size()});
    return refs;
}

// Wall time, and this thread's processor time: other work on a shared
// machine stretches the first, hardly the second.
double Seconds(clockid_t clock)
{
    timespec now;
    clock_gettime(clock, &now);
    return (double)now.tv_sec + (double)now.tv_nsec * 1e-9;
}

struct Case {
    std::string what;
    Lines base, theirs, mine;
};

void Run(const Case& c, int runs)
{
    const std::vector<MergeLine> b = Refs(c.base), t = Refs(c.theirs), m = Refs(c.mine);
    std::vector<double> walls, cpus;
    int count = 0, collisions = 0;
    for (int run = 0; run < runs; ++run) {
        ClipListMerge merge;
        const double wall = Seconds(CLOCK_MONOTONIC), cpu = Seconds(CLOCK_THREAD_CPUTIME_ID);
        const bool merged = MergeClipLists(b.data(), (int)b.size(), t.data(), (int)t.size(), m.data(),
                                           (int)m.size(), &merge);
        cpus.push_back(Seconds(CLOCK_THREAD_CPUTIME_ID) - cpu);
        walls.push_back(Seconds(CLOCK_MONOTONIC) - wall);
        if (!merged) {
            printf("  %-60s merge failed\n", c.what.c_str());
            return;
        }
        count = merge.count;
        collisions = merge.collisions;
        FreeClipListMerge(&merge);
    }
    // With mine left as base the result is theirs: theirs' edit script is whole.
    ClipListMerge only;
    bool exact = MergeClipLists(b.data(), (int)b.size(), t.data(), (int)t.size(), b.data(),
                                (int)b.size(), &only) &&
                 only.count == (int)t.size() && only.collisions == 0;
    for (int i = 0; exact && i < only.count; ++i) {
        exact = only.lines[i].side == kMergeTheirs && only.lines[i].index == i;
    }
    FreeClipListMerge(&only);
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    printf("  %-60s %6.3f %6.3f %6.3f %6.3f %7d %6d  %s\n", c.what.c_str(), cpus[cpus.size() / 2], cpus.back(),
           walls[walls.size() / 2], walls.back(), count, collisions, exact ? "exact" : "WRONG");
}

Lines Base(int kinds)
{
    Lines base;
    for (int i = 0; i < kLines; ++i) base.push_back(LineOf(kinds));
    return base;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? atoi(argv[1]) : 5;
    printf("Merging %d-line lists that both sides edited, %d runs each\n", kLines, runs);
    printf("  %-60s %13s %13s %7s %6s\n", "", "processor s", "wall s", "", "");
    printf("  %-60s %6s %6s %6s %6s %7s %6s\n", "case", "median", "max", "median", "max", "lines",
           "collide");
    std::vector<Case> cases;
    {
        const Lines base = Base(0);
        cases.push_back({"distinct lines, each side 1 line in 3 edited", base, Edited(base, 3, 0, 0),
                         Edited(base, 3, 0, 0)});
        cases.push_back({"distinct lines, each side 1 in 50 edited, 2,000 moved", base,
                         Edited(base, 50, 2000, 0), Edited(base, 50, 2000, 0)});
        Lines shuffled = base, reversed = base;
        for (size_t i = shuffled.size() - 1; i > 0; --i) std::swap(shuffled[i], shuffled[Next((uint32_t)i + 1)]);
        std::reverse(reversed.begin(), reversed.end());
        cases.push_back({"distinct lines, theirs shuffled, mine reversed", base, shuffled, reversed});
        Lines halves(base.begin() + kLines / 2, base.end());
        halves.insert(halves.end(), base.begin(), base.begin() + kLines / 2);
        cases.push_back({"distinct lines, theirs swapped halves, mine 1 in 3 edited", base, halves,
                         Edited(base, 3, 0, 0)});
    }
    for (int kinds : {1, 2, 4, 64, 4096, kLines / 2}) {
        const Lines base = Base(kinds);
        const std::string what = kinds == 1 ? std::string("all lines empty")
                                            : std::to_string(kinds) + " distinct lines";
        cases.push_back({what + ", each side 1 line in 3 edited", base, Edited(base, 3, 0, kinds),
                         Edited(base, 3, 0, kinds)});
    }
    for (int every : {2, 10}) {
        const Lines base = Base(2);
        cases.push_back({"2 distinct lines, each side 1 line in " + std::to_string(every) + " edited", base,
                         Edited(base, every, 0, 2), Edited(base, every, 0, 2)});
    }
    {
        // Blocks of 100 lines in reverse order on theirs: every block moved.
        const Lines base = Base(0);
        Lines blocks;
        for (int at = kLines - 100; at >= 0; at -= 100) blocks.insert(blocks.end(), base.begin() + at, base.begin() + at + 100);
        cases.push_back({"distinct lines, theirs 2,000 blocks reversed, mine 1 in 3", base, blocks, Edited(base, 3, 0, 0)});
    }
    {
        Lines base;
        for (int i = 0; i < kLines; ++i) base.push_back(i % 2 ? LineOf(0) : std::string());
        cases.push_back({"every other line empty, each side 1 in 3 edited", base, Edited(base, 3, 0, 1),
                         Edited(base, 3, 0, 1)});
        cases.push_back({"every other line empty, each side 1 in 3 edited (new lines too)", base,
                         Edited(base, 3, 0, 0), Edited(base, 3, 0, 0)});
    }
    {
        Lines base;
        for (int i = 0; i < kLines; ++i) base.push_back(i % 2 ? "a" : "b");
        cases.push_back({"a b a b ..., each side 1 line in 20 edited", base, Edited(base, 20, 0, 2),
                         Edited(base, 20, 0, 2)});
    }
    for (const Case& c : cases) Run(c, runs);
    return 0;
}
