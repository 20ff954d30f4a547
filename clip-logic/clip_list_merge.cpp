#include "clip_list_merge.h"

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

// Every size below derives from a count of at most kMergeMaxLines (2^29):
// sums of two counts, and a count plus one, stay far below INT_MAX, and so
// do the line numbers of all three lists (at most 3 * 2^29); byte sizes are
// checked before they are multiplied (a 32-bit size_t holds fewer than
// 2^29 entries of 8 bytes).

// count * size bytes, or false when that would not fit a size_t.
static bool ArrayBytes(size_t count, size_t size, size_t* bytes)
{
    if (size != 0 && count > SIZE_MAX / size) return false;
    *bytes = count * size;
    return true;
}

// malloc'ed room for count items (at least one), or null.
static void* NewArray(size_t count, size_t size)
{
    size_t bytes;
    if (!ArrayBytes(count == 0 ? 1 : count, size, &bytes)) return nullptr;
    return malloc(bytes);
}

// Room for one more item in a growing array of `size`-byte items: grows
// *at by half (16 items at least) when *count has reached *capacity. False,
// with the array as it was, when the memory cannot be had.
static bool RoomForOneMore(void** at, int count, int* capacity, size_t size)
{
    if (count < *capacity) return true;
    const int grown = *capacity < 16 ? 16 : *capacity + *capacity / 2;
    size_t bytes;
    if (!ArrayBytes((size_t)grown, size, &bytes)) return false;
    void* moved = realloc(*at, bytes);
    if (!moved) return false;
    *at = moved;
    *capacity = grown;
    return true;
}

static void* NewZeroedArray(size_t count, size_t size)
{
    return calloc(count == 0 ? 1 : count, size);  // calloc checks the product
}

static bool SameLine(const MergeLine& a, const MergeLine& b)
{
    if (a.length != b.length) return false;
    return a.length <= 0 || memcmp(a.bytes, b.bytes, (size_t)a.length) == 0;
}

// --- Lines as numbers --------------------------------------------------------
// Every distinct line of the three lists gets a number, so that everything
// below compares ints: a line's bytes are hashed once, and compared only
// with a line of the same hash.

static uint64_t HashLine(const MergeLine& line)
{
    uint64_t hash = 0x9E3779B97F4A7C15ull ^ (uint64_t)(uint32_t)line.length;
    const unsigned char* at = (const unsigned char*)line.bytes;
    int left = line.length;
    for (; left >= 8; left -= 8, at += 8) {
        uint64_t word;
        memcpy(&word, at, 8);
        hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
        hash ^= hash >> 32;
    }
    for (; left > 0; --left, ++at) hash = (hash ^ *at) * 0x100000001B3ull;
    hash ^= hash >> 33;
    hash *= 0xC4CEB9FE1A85EC53ull;
    return hash ^ (hash >> 33);
}

struct LineNumbers {
    int* slots;                // open addressing: a line's number plus one, 0 free
    size_t mask;
    uint64_t* hashes;          // by number
    const MergeLine** lines;   // by number: the first line of those bytes
    int count;                 // numbers given so far
};

static bool StartLineNumbers(LineNumbers* numbers, size_t lineCount)
{
    numbers->slots = nullptr;
    numbers->hashes = nullptr;
    numbers->lines = nullptr;
    numbers->count = 0;
    if (lineCount > SIZE_MAX / 4) return false;
    size_t slots = 16;  // at least twice the lines, a power of two
    while (slots < 2 * lineCount) slots *= 2;
    numbers->slots = (int*)NewZeroedArray(slots, sizeof(int));
    numbers->mask = slots - 1;
    numbers->hashes = (uint64_t*)NewArray(lineCount, sizeof(uint64_t));
    numbers->lines = (const MergeLine**)NewArray(lineCount, sizeof(MergeLine*));
    return numbers->slots && numbers->hashes && numbers->lines;
}

static void FreeLineNumbers(LineNumbers* numbers)
{
    free(numbers->slots);
    free(numbers->hashes);
    free(numbers->lines);
}

static int NumberOf(LineNumbers* numbers, const MergeLine* line)
{
    const uint64_t hash = HashLine(*line);
    size_t at = (size_t)hash & numbers->mask;
    for (;;) {
        const int slot = numbers->slots[at];
        if (slot == 0) break;
        const int number = slot - 1;
        if (numbers->hashes[number] == hash && SameLine(*numbers->lines[number], *line)) return number;
        at = (at + 1) & numbers->mask;
    }
    const int number = numbers->count++;
    numbers->slots[at] = number + 1;
    numbers->hashes[number] = hash;
    numbers->lines[number] = line;
    return number;
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
    // Hunks are fewer than the lines of base and the other list plus one,
    // at most 2^30 + 1.
    void* at = list->at;
    if (!RoomForOneMore(&at, list->count, &list->capacity, sizeof(Hunk))) return false;
    list->at = (Hunk*)at;
    Hunk* hunk = &list->at[list->count++];
    hunk->base0 = base0;
    hunk->base1 = base1;
    hunk->other0 = other0;
    hunk->other1 = other1;
    return true;
}

// The steps a search from either end takes before it gives up: a stretch
// whose two halves are at most about 2 * kSearchSteps edits apart gets the
// shortest edit script. Each try costs about kSearchSteps^2 plus the equal
// lines it passes, and one that gives up splits off a part it reached
// within kSearchSteps edits, so the searches cost O(kSearchSteps) a line.
static const int kSearchSteps = 64;

// A stretch of base, a[a0, a1), and of the other side, b[b0, b1), still to
// be compared. `anchorless`: one that holds no line found once in each, or
// split off one that did not (a part of it may, but looking again at every
// split would cost the whole stretch each time).
struct Stretch {
    int a0, a1;
    int b0, b1;
    bool anchorless;
};

struct Comparison {
    const int* a;       // base, as line numbers
    const int* b;       // the other side
    int* forward;       // furthest x on each diagonal, from the start
    int* backward;      // ... from the end
    int* countA;        // by line number: its lines in a's stretch; 0 between uses
    int* countB;        // ... in b's stretch
    int* positionA;     // by line number: where it is in a's stretch (count 1)
    int* anchorA;       // the lines found once in each, in b's order: in a,
    int* anchorB;       // in b,
    int* chainEnd;      // the chain's ends by length,
    int* chainBefore;   // the line before each in its chain
    Stretch* pending;   // a stack: the stretches still to compare, first on top
    int pendingCount;
    int pendingCapacity;
    HunkList* hunks;
};

static bool Push(Comparison* c, int a0, int a1, int b0, int b1, bool anchorless)
{
    if (a0 == a1 && b0 == b1) return true;
    void* pending = c->pending;
    if (!RoomForOneMore(&pending, c->pendingCount, &c->pendingCapacity, sizeof(Stretch))) {
        return false;
    }
    c->pending = (Stretch*)pending;
    Stretch* stretch = &c->pending[c->pendingCount++];
    stretch->a0 = a0;
    stretch->a1 = a1;
    stretch->b0 = b0;
    stretch->b1 = b1;
    stretch->anchorless = anchorless;
    return true;
}

enum SnakeResult {
    kSnakeMet,       // the searches met: (x, y) lies on a shortest edit script
    kSnakeNoCommon,  // searched to the end: the stretches have no line in common
    kSnakeTooFar     // more edits than the searches take: (x, y) is where one got furthest
};

// Myers' middle snake over a[a0, a0 + n) and b[b0, b0 + m), both not empty
// and differing in their first and in their last lines, after
// diff-match-patch's bisect: searches from both ends at once, at most
// kSearchSteps steps each, until the paths meet.
static SnakeResult MiddleSnake(const Comparison* c, int a0, int n, int b0, int m, int* splitX, int* splitY)
{
    const int* a = c->a + a0;
    const int* b = c->b + b0;
    const int maxD = (n + m + 1) / 2;
    const int steps = maxD < kSearchSteps ? maxD : kSearchSteps;
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
    // The furthest point each search reached, in lines of both lists passed.
    int forwardReach = -1, forwardX = 0, forwardY = 0;
    int backwardReach = -1, backwardX = n, backwardY = m;
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
            while (x1 < n && y1 < m && a[x1] == b[y1]) {
                ++x1;
                ++y1;
            }
            v1[k1offset] = x1;
            if (x1 > n) {
                k1end += 2;     // off the right edge
            } else if (y1 > m) {
                k1start += 2;   // off the bottom edge
            } else {
                if (x1 + y1 > forwardReach) {
                    forwardReach = x1 + y1;
                    forwardX = x1;
                    forwardY = y1;
                }
                if (front) {
                    const int k2offset = offset + delta - k1;
                    if (k2offset >= 0 && k2offset < length && v2[k2offset] != -1 &&
                        x1 >= n - v2[k2offset]) {
                        *splitX = x1;
                        *splitY = y1;
                        return kSnakeMet;
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
            while (x2 < n && y2 < m && a[n - x2 - 1] == b[m - y2 - 1]) {
                ++x2;
                ++y2;
            }
            v2[k2offset] = x2;
            if (x2 > n) {
                k2end += 2;
            } else if (y2 > m) {
                k2start += 2;
            } else {
                if (x2 + y2 > backwardReach) {
                    backwardReach = x2 + y2;
                    backwardX = n - x2;
                    backwardY = m - y2;
                }
                if (!front) {
                    const int k1offset = offset + delta - k2;
                    if (k1offset >= 0 && k1offset < length && v1[k1offset] != -1) {
                        const int x1 = v1[k1offset];
                        if (x1 >= n - x2) {
                            *splitX = x1;
                            *splitY = x1 - (k1offset - offset);
                            return kSnakeMet;
                        }
                    }
                }
            }
        }
    }
    if (steps == maxD) return kSnakeNoCommon;
    if (forwardReach >= backwardReach) {
        *splitX = forwardX;
        *splitY = forwardY;
    } else {
        *splitX = backwardX;
        *splitY = backwardY;
    }
    return kSnakeTooFar;
}

enum Anchoring {
    kAnchored,      // the stretches between the anchors are pushed
    kNoAnchor,      // no line is found once in each part
    kNothingShared  // no line is found in both parts
};

// Anchors the stretch on the lines found exactly once in each of its two
// parts, taking the longest chain of them that rises in both (patience
// sorting), and pushes the stretches between them, the last first.
static bool PushAnchoredStretches(Comparison* c, const Stretch& s, Anchoring* anchoring)
{
    for (int i = s.a0; i < s.a1; ++i) {
        ++c->countA[c->a[i]];
        c->positionA[c->a[i]] = i;
    }
    for (int j = s.b0; j < s.b1; ++j) ++c->countB[c->b[j]];
    int pairs = 0;
    bool shared = false;
    for (int j = s.b0; j < s.b1; ++j) {
        const int line = c->b[j];
        if (c->countA[line] > 0) shared = true;
        if (c->countA[line] == 1 && c->countB[line] == 1) {
            c->anchorA[pairs] = c->positionA[line];
            c->anchorB[pairs] = j;
            ++pairs;
        }
    }
    for (int i = s.a0; i < s.a1; ++i) c->countA[c->a[i]] = 0;
    for (int j = s.b0; j < s.b1; ++j) c->countB[c->b[j]] = 0;
    *anchoring = pairs > 0 ? kAnchored : shared ? kNoAnchor : kNothingShared;
    if (pairs == 0) return true;

    // The longest chain rising in a as well (it rises in b by its order).
    int chains = 0;
    for (int p = 0; p < pairs; ++p) {
        int low = 0, high = chains;
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (c->anchorA[c->chainEnd[middle]] < c->anchorA[p]) {
                low = middle + 1;
            } else {
                high = middle;
            }
        }
        c->chainBefore[p] = low > 0 ? c->chainEnd[low - 1] : -1;
        c->chainEnd[low] = p;
        if (low == chains) ++chains;
    }
    int endA = s.a1, endB = s.b1;
    for (int p = c->chainEnd[chains - 1]; p >= 0; p = c->chainBefore[p]) {
        if (!Push(c, c->anchorA[p] + 1, endA, c->anchorB[p] + 1, endB, false)) return false;
        endA = c->anchorA[p];
        endB = c->anchorB[p];
    }
    return Push(c, s.a0, endA, s.b0, endB, false);
}

// Compares the stretches on the stack until none is left, adding the hunks
// in order.
static bool CompareStretches(Comparison* c)
{
    while (c->pendingCount > 0) {
        Stretch s = c->pending[--c->pendingCount];
        while (s.a0 < s.a1 && s.b0 < s.b1 && c->a[s.a0] == c->b[s.b0]) {
            ++s.a0;
            ++s.b0;
        }
        while (s.a0 < s.a1 && s.b0 < s.b1 && c->a[s.a1 - 1] == c->b[s.b1 - 1]) {
            --s.a1;
            --s.b1;
        }
        if (s.a0 == s.a1 || s.b0 == s.b1) {
            if (!AddHunk(c->hunks, s.a0, s.a1, s.b0, s.b1)) return false;
            continue;
        }
        const int n = s.a1 - s.a0, m = s.b1 - s.b0;
        int x = 0, y = 0;
        SnakeResult found = MiddleSnake(c, s.a0, n, s.b0, m, &x, &y);
        if (found == kSnakeTooFar && !s.anchorless) {
            Anchoring anchoring;
            if (!PushAnchoredStretches(c, s, &anchoring)) return false;
            if (anchoring == kAnchored) continue;
            if (anchoring == kNothingShared) found = kSnakeNoCommon;
            s.anchorless = true;
        }
        const bool inside = (x > 0 || y > 0) && (x < n || y < m);
        if (found == kSnakeNoCommon || !inside) {
            if (!AddHunk(c->hunks, s.a0, s.a1, s.b0, s.b1)) return false;  // one changed stretch
            continue;
        }
        if (!Push(c, s.a0 + x, s.a1, s.b0 + y, s.b1, s.anchorless) ||
            !Push(c, s.a0, s.a0 + x, s.b0, s.b0 + y, s.anchorless)) {
            return false;
        }
    }
    return true;
}

// Slides every run of changed lines of one list down as far as the lines
// after it allow: while a run's first line equals the unchanged line after
// it, that line is the one taken as changed instead (the same edit, one
// line further down), and a run that reaches the next one joins it. Runs
// are taken last first, so that each slides past the room the next left.
// Either list's runs may slide alone: the unchanged lines of the two still
// pair off in order, each with a line of the same bytes. A run that joined
// the next may pass lines another run passed already; the steps are
// bounded so that many runs in one long run of equal lines cannot take
// quadratic time (the lists then keep the places reached, as valid as any).
static void SlideRunsDown(unsigned char* changed, const int* lines, int count)
{
    int64_t steps = 4 * (int64_t)count;
    for (int i = count - 1; i >= 0;) {
        if (!changed[i]) {
            --i;
            continue;
        }
        int start = i;
        while (start > 0 && changed[start - 1]) --start;
        int first = start, end = i + 1;
        while (end < count && !changed[end] && lines[first] == lines[end] && --steps >= 0) {
            changed[first++] = 0;
            changed[end++] = 1;
            while (end < count && changed[end]) ++end;
        }
        i = start - 1;
    }
}

// Puts every insertion, deletion and change at the last of the places
// where an equally short comparison could have put it (a line added to or
// taken from a run of equal lines is the run's last), so that the merge's
// answer does not depend on which of them the comparison found.
static bool SlideHunksDown(HunkList* list, const int* a, int aCount, const int* b, int bCount)
{
    unsigned char* changedA = (unsigned char*)NewZeroedArray((size_t)aCount + (size_t)bCount, 1);
    if (!changedA) return false;
    unsigned char* changedB = changedA + aCount;
    for (int h = 0; h < list->count; ++h) {
        memset(changedA + list->at[h].base0, 1, (size_t)(list->at[h].base1 - list->at[h].base0));
        memset(changedB + list->at[h].other0, 1, (size_t)(list->at[h].other1 - list->at[h].other0));
    }
    SlideRunsDown(changedA, a, aCount);
    SlideRunsDown(changedB, b, bCount);
    list->count = 0;
    int i = 0, j = 0;
    bool done = true;
    while (done && (i < aCount || j < bCount)) {
        if (i < aCount && j < bCount && !changedA[i] && !changedB[j]) {
            ++i;
            ++j;
            continue;
        }
        const int i0 = i, j0 = j;
        while (i < aCount && changedA[i]) ++i;
        while (j < bCount && changedB[j]) ++j;
        if (i == i0 && j == j0) {  // unchanged lines left on one side only: never from a comparison
            i = aCount;
            j = bCount;
        }
        done = AddHunk(list, i0, i, j0, j);
    }
    free(changedA);
    return done;
}

// The scratch arrays of the comparison, for lists of these sizes.
struct ComparisonRoom {
    int* search;
    int* byNumber;
    int* anchors;
};

static bool StartComparison(Comparison* c, ComparisonRoom* room, int numbers, int aCount, int bCount)
{
    const int most = aCount < bCount ? aCount : bCount;  // lines found once in each
    room->search = (int*)NewArray((size_t)(4 * kSearchSteps + 4), sizeof(int));
    room->byNumber = (int*)NewZeroedArray(3 * (size_t)numbers, sizeof(int));
    room->anchors = (int*)NewArray(4 * (size_t)most, sizeof(int));
    if (!room->search || !room->byNumber || !room->anchors) return false;
    c->forward = room->search;
    c->backward = room->search + 2 * kSearchSteps + 2;
    c->countA = room->byNumber;
    c->countB = room->byNumber + numbers;
    c->positionA = room->byNumber + 2 * (size_t)numbers;
    c->anchorA = room->anchors;
    c->anchorB = room->anchors + most;
    c->chainEnd = room->anchors + 2 * (size_t)most;
    c->chainBefore = room->anchors + 3 * (size_t)most;
    c->pendingCount = 0;
    c->pendingCapacity = 0;
    return true;
}

// The hunks that turn base into other, slid down. False when memory ran out.
static bool CompareLines(const int* base, int baseCount, const int* other, int otherCount, int numbers,
                         HunkList* hunks)
{
    Comparison c;
    ComparisonRoom room;
    c.a = base;
    c.b = other;
    c.hunks = hunks;
    c.pending = nullptr;
    bool done = StartComparison(&c, &room, numbers, baseCount, otherCount) &&
                Push(&c, 0, baseCount, 0, otherCount, false) && CompareStretches(&c);
    free(c.pending);
    free(room.search);
    free(room.byNumber);
    free(room.anchors);
    return done && SlideHunksDown(hunks, base, baseCount, other, otherCount);
}

// --- The merge ----------------------------------------------------------------

// What the merge knows of each line number: how often it is in base,
// theirs and mine (0, 1, or 2 for more), and whether theirs or mine took
// it from where base had it.
enum {
    kInBase = 0x01,
    kInTheirs = 0x04,
    kInMine = 0x10,
    kOnceInEach = kInBase | kInTheirs | kInMine,
    kCounts = 0x3F,
    kTheirsMoved = 0x40,
    kMineMoved = 0x80,
    kBothMoved = kOnceInEach | kTheirsMoved | kMineMoved
};

static void CountLines(unsigned char* state, const int* lines, int count, int unit)
{
    for (int i = 0; i < count; ++i) {
        unsigned char* at = &state[lines[i]];
        if (((*at / unit) & 3) < 2) *at = (unsigned char)(*at + unit);
    }
}

// A line found once in each list whose base line a side's hunk takes away
// was moved by that side: its one line there is no line base kept.
static void MarkMoved(unsigned char* state, const int* base, const HunkList* hunks, int flag)
{
    for (int h = 0; h < hunks->count; ++h) {
        for (int i = hunks->at[h].base0; i < hunks->at[h].base1; ++i) {
            if ((state[base[i]] & kCounts) == kOnceInEach) state[base[i]] |= (unsigned char)flag;
        }
    }
}

struct Merger {
    const int* base;
    const int* theirs;
    const int* mine;
    const unsigned char* state;  // by line number
    int* seen;                   // by line number: the last chunk that held it, in
    int chunk;                   // base (chunk) or in theirs (chunk + 1)
    ClipListMerge* merge;
    int capacity;
};

static void Emit(Merger* out, MergeSide side, int from, int to)
{
    for (int index = from; index < to && out->merge->count < out->capacity; ++index) {
        MergedLine* line = &out->merge->lines[out->merge->count++];
        line->side = side;
        line->index = index;
    }
}

// Mine's lines [from, to), but those that this chunk's lines of base or of
// theirs hold when `inChunk` (a line both added is there once; mine's
// unchanged lines are there as theirs'), and those both moved: theirs'
// place wins, and every other place of mine is a collision.
static void EmitMine(Merger* out, int from, int to, bool inChunk)
{
    for (int i = from; i < to; ++i) {
        const int line = out->mine[i];
        if (inChunk && out->seen[line] == out->chunk + 1) continue;  // theirs holds it
        if (out->state[line] == kBothMoved) {
            ++out->merge->collisions;
        } else if (!inChunk || out->seen[line] != out->chunk) {
            Emit(out, kMergeMine, i, i + 1);
        }
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

static bool SameLines(const int* a, const int* b, int count)
{
    for (int i = 0; i < count; ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

static void Combine(Merger* out, int baseCount, const HunkList* theirsHunks, const HunkList* mineHunks)
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
            EmitMine(out, m0, m1, false);
        } else if (t1 - t0 == m1 - m0 && SameLines(out->theirs + t0, out->mine + m0, t1 - t0)) {
            Emit(out, kMergeTheirs, t0, t1);  // the same change on both sides
        } else {
            // Keep both: theirs' lines, then mine's that neither base's
            // chunk nor theirs holds (a line both added is there once).
            // Lines both sides only added at one place touch no line of
            // the other's: that is no collision, and keeping both is the
            // merge (two copies of the program each adding an entry).
            if (hi > lo) ++out->merge->collisions;
            Emit(out, kMergeTheirs, t0, t1);
            out->chunk += 2;
            for (int i = lo; i < hi; ++i) out->seen[out->base[i]] = out->chunk;
            for (int i = t0; i < t1; ++i) out->seen[out->theirs[i]] = out->chunk + 1;
            EmitMine(out, m0, m1, true);
        }
        theirsShift += (t1 - t0) - (hi - lo);
        mineShift += (m1 - m0) - (hi - lo);
        done = hi;
        t = tEnd;
        m = mEnd;
    }
    Emit(out, kMergeTheirs, done + theirsShift, baseCount + theirsShift);
}

static bool CountFits(const MergeLine* lines, int count)
{
    return count >= 0 && count <= kMergeMaxLines && (count == 0 || lines != nullptr);
}

// The merge of the three lists as line numbers.
static bool MergeNumbers(const int* base, int baseCount, const int* theirs, int theirsCount,
                         const int* mine, int mineCount, int numbers, ClipListMerge* out)
{
    HunkList theirsHunks = {nullptr, 0, 0};
    HunkList mineHunks = {nullptr, 0, 0};
    unsigned char* state = nullptr;
    int* seen = nullptr;
    const int capacity = theirsCount + mineCount;  // every line of the result is another
    bool done = CompareLines(base, baseCount, theirs, theirsCount, numbers, &theirsHunks) &&
                CompareLines(base, baseCount, mine, mineCount, numbers, &mineHunks) &&
                (state = (unsigned char*)NewZeroedArray((size_t)numbers, 1)) != nullptr &&
                (seen = (int*)NewZeroedArray((size_t)numbers, sizeof(int))) != nullptr &&
                (capacity == 0 || (out->lines = (MergedLine*)NewArray((size_t)capacity,
                                                                      sizeof(MergedLine))) != nullptr);
    if (done) {
        CountLines(state, base, baseCount, kInBase);
        CountLines(state, theirs, theirsCount, kInTheirs);
        CountLines(state, mine, mineCount, kInMine);
        MarkMoved(state, base, &theirsHunks, kTheirsMoved);
        MarkMoved(state, base, &mineHunks, kMineMoved);
        Merger merger = {base, theirs, mine, state, seen, 0, out, capacity};
        Combine(&merger, baseCount, &theirsHunks, &mineHunks);
    }
    free(theirsHunks.at);
    free(mineHunks.at);
    free(state);
    free(seen);
    return done;
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
    const size_t total = (size_t)baseCount + (size_t)theirsCount + (size_t)mineCount;
    int* numbers = (int*)NewArray(total, sizeof(int));
    LineNumbers table;
    bool done = StartLineNumbers(&table, total) && numbers != nullptr;
    if (done) {
        int* at = numbers;
        for (int i = 0; i < baseCount; ++i) *at++ = NumberOf(&table, &base[i]);
        for (int i = 0; i < theirsCount; ++i) *at++ = NumberOf(&table, &theirs[i]);
        for (int i = 0; i < mineCount; ++i) *at++ = NumberOf(&table, &mine[i]);
        const int distinct = table.count;
        FreeLineNumbers(&table);
        done = MergeNumbers(numbers, baseCount, numbers + baseCount, theirsCount,
                            numbers + baseCount + theirsCount, mineCount, distinct, out);
    } else {
        FreeLineNumbers(&table);
    }
    free(numbers);
    if (!done) {
        FreeClipListMerge(out);
        return false;
    }
    // The result is often much shorter than the room for both lists.
    if (out->count == 0) {
        free(out->lines);
        out->lines = nullptr;
    } else if (out->count < theirsCount + mineCount) {
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
