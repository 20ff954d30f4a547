#include "clip_list_merge.h"

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

// Every size below derives from a count of at most kMergeMaxLines (2^29):
// sums of two counts, and a count plus one, stay far below INT_MAX; byte
// sizes are checked before they are multiplied (a 32-bit size_t holds
// fewer than 2^29 entries of 8 bytes).

// count * size bytes, or false when that would not fit a size_t.
static bool ArrayBytes(size_t count, size_t size, size_t* bytes)
{
    if (size != 0 && count > SIZE_MAX / size) return false;
    *bytes = count * size;
    return true;
}

static bool SameLine(const MergeLine& a, const MergeLine& b)
{
    if (a.length != b.length) return false;
    return a.length <= 0 || memcmp(a.bytes, b.bytes, (size_t)a.length) == 0;
}

static bool SameLines(const MergeLine* a, const MergeLine* b, int count)
{
    for (int i = 0; i < count; ++i) {
        if (!SameLine(a[i], b[i])) return false;
    }
    return true;
}

// --- Comparing base with one side ------------------------------------------

// Base lines [base0, base1) became the other list's lines [other0, other1).
// Hunks lie in order, and a line both lists keep lies between two of them.
struct Hunk {
    int base0, base1;
    int other0, other1;
};

struct HunkList {
    Hunk* at;
    int count;
    int capacity;
};

static bool AddHunk(HunkList* list, int base0, int base1, int other0, int other1)
{
    if (base0 == base1 && other0 == other1) return true;
    if (list->count > 0) {
        Hunk* last = &list->at[list->count - 1];
        if (last->base1 == base0 && last->other1 == other0) {  // continues it
            last->base1 = base1;
            last->other1 = other1;
            return true;
        }
    }
    if (list->count == list->capacity) {
        // Hunks are fewer than the lines of base plus one, at most 2^29 + 1.
        const int grown = list->capacity < 16 ? 16 : list->capacity + list->capacity / 2;
        size_t bytes;
        if (!ArrayBytes((size_t)grown, sizeof(Hunk), &bytes)) return false;
        Hunk* moved = (Hunk*)realloc(list->at, bytes);
        if (!moved) return false;
        list->at = moved;
        list->capacity = grown;
    }
    Hunk* hunk = &list->at[list->count++];
    hunk->base0 = base0;
    hunk->base1 = base1;
    hunk->other0 = other0;
    hunk->other1 = other1;
    return true;
}

// Steps of the search from either end: a search that has gone this far
// without the two meeting has passed kMergeMaxEdits edits.
static const int kMaxSteps = kMergeMaxEdits / 2 + 1;

struct Comparison {
    const MergeLine* a;  // base
    const MergeLine* b;  // the other side
    int* forward;        // furthest x on each diagonal, from the start
    int* backward;       // ... from the end
    HunkList* hunks;
};

// Myers' middle snake over a[a0, a0 + n) and b[b0, b0 + m), both not empty
// and differing in their first and in their last lines, after
// diff-match-patch's bisect: searches from both ends at once until the
// paths meet, then gives the point (x, y) of the forward path where they
// do. False when they do not meet within `steps` steps: no line in common,
// or, when steps was cut to kMaxSteps, more than kMergeMaxEdits edits.
static bool MiddleSnake(const Comparison* c, int a0, int n, int b0, int m, int* splitX, int* splitY)
{
    const MergeLine* a = c->a + a0;
    const MergeLine* b = c->b + b0;
    const int maxD = (n + m + 1) / 2;
    const int steps = maxD < kMaxSteps ? maxD : kMaxSteps;
    const int offset = steps;
    const int length = 2 * steps + 2;
    int* v1 = c->forward;
    int* v2 = c->backward;
    for (int i = 0; i < length; ++i) v1[i] = v2[i] = -1;
    v1[offset + 1] = 0;
    v2[offset + 1] = 0;
    const int delta = n - m;
    // With an odd delta the forward search finds the meeting, else the backward.
    const bool front = (delta % 2) != 0;
    int k1start = 0, k1end = 0, k2start = 0, k2end = 0;
    for (int d = 0; d < steps; ++d) {
        for (int k1 = -d + k1start; k1 <= d - k1end; k1 += 2) {
            const int k1offset = offset + k1;
            int x1;
            if (k1 == -d || (k1 != d && v1[k1offset - 1] < v1[k1offset + 1])) {
                x1 = v1[k1offset + 1];
            } else {
                x1 = v1[k1offset - 1] + 1;
            }
            int y1 = x1 - k1;
            while (x1 < n && y1 < m && SameLine(a[x1], b[y1])) {
                ++x1;
                ++y1;
            }
            v1[k1offset] = x1;
            if (x1 > n) {
                k1end += 2;     // off the right edge
            } else if (y1 > m) {
                k1start += 2;   // off the bottom edge
            } else if (front) {
                const int k2offset = offset + delta - k1;
                if (k2offset >= 0 && k2offset < length && v2[k2offset] != -1) {
                    if (x1 >= n - v2[k2offset]) {
                        *splitX = x1;
                        *splitY = y1;
                        return true;
                    }
                }
            }
        }
        for (int k2 = -d + k2start; k2 <= d - k2end; k2 += 2) {
            const int k2offset = offset + k2;
            int x2;
            if (k2 == -d || (k2 != d && v2[k2offset - 1] < v2[k2offset + 1])) {
                x2 = v2[k2offset + 1];
            } else {
                x2 = v2[k2offset - 1] + 1;
            }
            int y2 = x2 - k2;
            while (x2 < n && y2 < m && SameLine(a[n - x2 - 1], b[m - y2 - 1])) {
                ++x2;
                ++y2;
            }
            v2[k2offset] = x2;
            if (x2 > n) {
                k2end += 2;
            } else if (y2 > m) {
                k2start += 2;
            } else if (!front) {
                const int k1offset = offset + delta - k2;
                if (k1offset >= 0 && k1offset < length && v1[k1offset] != -1) {
                    const int x1 = v1[k1offset];
                    if (x1 >= n - x2) {
                        *splitX = x1;
                        *splitY = x1 - (k1offset - offset);
                        return true;
                    }
                }
            }
        }
    }
    return false;
}

// Compares a[a0, a1) with b[b0, b1) and adds the hunks, in order. Each
// split halves the edit distance, so the depth stays near log2 of
// kMergeMaxEdits; the cap only guards against a split that would not.
static bool CompareRange(const Comparison* c, int a0, int a1, int b0, int b1, int depth)
{
    while (a0 < a1 && b0 < b1 && SameLine(c->a[a0], c->b[b0])) {
        ++a0;
        ++b0;
    }
    while (a0 < a1 && b0 < b1 && SameLine(c->a[a1 - 1], c->b[b1 - 1])) {
        --a1;
        --b1;
    }
    if (a0 == a1 || b0 == b1 || depth > 64) return AddHunk(c->hunks, a0, a1, b0, b1);
    int x, y;
    if (!MiddleSnake(c, a0, a1 - a0, b0, b1 - b0, &x, &y) || (x == 0 && y == 0) ||
        (x == a1 - a0 && y == b1 - b0)) {
        return AddHunk(c->hunks, a0, a1, b0, b1);  // one changed stretch
    }
    return CompareRange(c, a0, a0 + x, b0, b0 + y, depth + 1) &&
           CompareRange(c, a0 + x, a1, b0 + y, b1, depth + 1);
}

// The hunks that turn base into other. False when memory ran out.
static bool CompareLines(const MergeLine* base, int baseCount, const MergeLine* other, int otherCount,
                         HunkList* hunks)
{
    // The two search arrays, at the size the first (largest) search needs:
    // at most 2 * kMaxSteps + 2 entries each, whatever the lists' length.
    const int maxD = (baseCount + otherCount + 1) / 2;
    const int steps = maxD < kMaxSteps ? maxD : kMaxSteps;
    size_t bytes;
    if (!ArrayBytes((size_t)(2 * steps + 2), 2 * sizeof(int), &bytes)) return false;
    int* search = (int*)malloc(bytes);
    if (!search) return false;
    Comparison c;
    c.a = base;
    c.b = other;
    c.forward = search;
    c.backward = search + 2 * steps + 2;
    c.hunks = hunks;
    const bool done = CompareRange(&c, 0, baseCount, 0, otherCount, 0);
    free(search);
    return done;
}

// --- The lines of a stretch of base, for the keep-both resolution ----------

static uint32_t HashLine(const MergeLine& line)
{
    uint32_t hash = 2166136261u;  // FNV-1a
    for (int i = 0; i < line.length; ++i) {
        hash = (hash ^ (unsigned char)line.bytes[i]) * 16777619u;
    }
    return hash;
}

// An open-addressed set of lines, by their index in `lines` plus one.
struct LineSet {
    const MergeLine* lines;
    int* slots;
    uint32_t mask;
};

static bool BuildLineSet(LineSet* set, const MergeLine* lines, int from, int to)
{
    set->lines = lines;
    set->slots = nullptr;
    // At least twice the entries, a power of two: at most 2^30 slots.
    size_t slots = 16;
    while (slots < 2 * (size_t)(to - from)) slots *= 2;
    size_t bytes;
    if (!ArrayBytes(slots, sizeof(int), &bytes)) return false;
    set->slots = (int*)calloc(slots, sizeof(int));
    if (!set->slots) return false;
    set->mask = (uint32_t)(slots - 1);
    for (int i = from; i < to; ++i) {
        uint32_t at = HashLine(lines[i]) & set->mask;
        while (set->slots[at] != 0) {
            if (SameLine(lines[set->slots[at] - 1], lines[i])) break;  // held already
            at = (at + 1) & set->mask;
        }
        set->slots[at] = i + 1;
    }
    return true;
}

static bool LineSetHolds(const LineSet* set, const MergeLine& line)
{
    uint32_t at = HashLine(line) & set->mask;
    while (set->slots[at] != 0) {
        if (SameLine(set->lines[set->slots[at] - 1], line)) return true;
        at = (at + 1) & set->mask;
    }
    return false;
}

// --- The merge ----------------------------------------------------------------

struct Output {
    ClipListMerge* merge;
    int capacity;
};

static void Emit(Output* out, MergeSide side, int from, int to)
{
    for (int index = from; index < to && out->merge->count < out->capacity; ++index) {
        MergedLine* line = &out->merge->lines[out->merge->count++];
        line->side = side;
        line->index = index;
    }
}

// The range of the side's lines that stands for base's chunk [lo, hi),
// given the side's hunks [first, end) in it (none: the side left the
// chunk as it was, shifted by `shift`).
static void SideRange(const HunkList* hunks, int first, int end, int lo, int hi, int shift,
                      int* from, int* to)
{
    if (first == end) {
        *from = lo + shift;
        *to = hi + shift;
        return;
    }
    const Hunk& head = hunks->at[first];
    const Hunk& tail = hunks->at[end - 1];
    *from = head.other0 - (head.base0 - lo);
    *to = tail.other1 + (hi - tail.base1);
}

static bool Combine(const MergeLine* base, int baseCount, const MergeLine* theirs, const MergeLine* mine,
                    const HunkList* theirsHunks, const HunkList* mineHunks, Output* out)
{
    int t = 0, m = 0;                   // the next hunk of each side
    int theirsShift = 0, mineShift = 0; // a base line's index in each side, less its own
    int done = 0;                       // base lines up to here are in the result
    while (t < theirsHunks->count || m < mineHunks->count) {
        // The chunk: from the first hunk of either side, taking in every
        // hunk of either side that overlaps it, touches it or inserts at
        // its end.
        int lo;
        if (m == mineHunks->count ||
            (t < theirsHunks->count && theirsHunks->at[t].base0 <= mineHunks->at[m].base0)) {
            lo = theirsHunks->at[t].base0;
        } else {
            lo = mineHunks->at[m].base0;
        }
        int hi = lo;
        int tEnd = t, mEnd = m;
        for (;;) {
            if (tEnd < theirsHunks->count && theirsHunks->at[tEnd].base0 <= hi) {
                if (theirsHunks->at[tEnd].base1 > hi) hi = theirsHunks->at[tEnd].base1;
                ++tEnd;
            } else if (mEnd < mineHunks->count && mineHunks->at[mEnd].base0 <= hi) {
                if (mineHunks->at[mEnd].base1 > hi) hi = mineHunks->at[mEnd].base1;
                ++mEnd;
            } else {
                break;
            }
        }
        Emit(out, kMergeTheirs, done + theirsShift, lo + theirsShift);  // unchanged lines before it

        int t0, t1, m0, m1;
        SideRange(theirsHunks, t, tEnd, lo, hi, theirsShift, &t0, &t1);
        SideRange(mineHunks, m, mEnd, lo, hi, mineShift, &m0, &m1);
        if (mEnd == m) {
            Emit(out, kMergeTheirs, t0, t1);
        } else if (tEnd == t) {
            Emit(out, kMergeMine, m0, m1);
        } else if (t1 - t0 == m1 - m0 && SameLines(theirs + t0, mine + m0, t1 - t0)) {
            Emit(out, kMergeTheirs, t0, t1);  // the same change on both sides
        } else {
            // Keep both: theirs' lines, then mine's that neither base's
            // chunk nor theirs holds (a line both added is there once).
            // Lines both sides only added at one place touch no line of
            // the other's: that is no collision, and keeping both is the
            // merge (two copies of the program each adding an entry).
            if (hi > lo) ++out->merge->collisions;
            Emit(out, kMergeTheirs, t0, t1);
            LineSet set, added;
            if (!BuildLineSet(&set, base, lo, hi)) return false;
            if (!BuildLineSet(&added, theirs, t0, t1)) {
                free(set.slots);
                return false;
            }
            for (int i = m0; i < m1; ++i) {
                if (!LineSetHolds(&set, mine[i]) && !LineSetHolds(&added, mine[i])) {
                    Emit(out, kMergeMine, i, i + 1);
                }
            }
            free(set.slots);
            free(added.slots);
        }
        theirsShift += (t1 - t0) - (hi - lo);
        mineShift += (m1 - m0) - (hi - lo);
        done = hi;
        t = tEnd;
        m = mEnd;
    }
    Emit(out, kMergeTheirs, done + theirsShift, baseCount + theirsShift);
    return true;
}

static bool CountFits(const MergeLine* lines, int count)
{
    return count >= 0 && count <= kMergeMaxLines && (count == 0 || lines != nullptr);
}

bool MergeClipLists(const MergeLine* base, int baseCount, const MergeLine* theirs, int theirsCount,
                    const MergeLine* mine, int mineCount, ClipListMerge* out)
{
    out->lines = nullptr;
    out->count = 0;
    out->collisions = 0;
    if (!CountFits(base, baseCount) || !CountFits(theirs, theirsCount) || !CountFits(mine, mineCount)) {
        return false;
    }
    // Every line of the result is a different line of theirs or of mine.
    const int capacity = theirsCount + mineCount;  // at most 2^30
    size_t bytes;
    if (!ArrayBytes((size_t)capacity, sizeof(MergedLine), &bytes)) return false;

    HunkList theirsHunks = {nullptr, 0, 0};
    HunkList mineHunks = {nullptr, 0, 0};
    bool done = CompareLines(base, baseCount, theirs, theirsCount, &theirsHunks) &&
                CompareLines(base, baseCount, mine, mineCount, &mineHunks);
    if (done && capacity > 0) {
        out->lines = (MergedLine*)malloc(bytes);
        done = out->lines != nullptr;
    }
    if (done) {
        Output output = {out, capacity};
        done = Combine(base, baseCount, theirs, mine, &theirsHunks, &mineHunks, &output);
    }
    free(theirsHunks.at);
    free(mineHunks.at);
    if (!done) {
        FreeClipListMerge(out);
        return false;
    }
    // The result is often much shorter than the room for both lists.
    if (out->count == 0) {
        free(out->lines);
        out->lines = nullptr;
    } else if (out->count < capacity) {
        MergedLine* fitted = (MergedLine*)realloc(out->lines, sizeof(MergedLine) * (size_t)out->count);
        if (fitted) out->lines = fitted;
    }
    return true;
}

void FreeClipListMerge(ClipListMerge* merge)
{
    free(merge->lines);
    merge->lines = nullptr;
    merge->count = 0;
    merge->collisions = 0;
}
