// A three-way merge of the clip list's lines, for a save that finds
// ClipData.txt changed on disk since the editor loaded it. Platform-free.
//
// base is what the editor loaded, theirs the file on disk now, mine the
// editor's list as it would be written. Lines are compared as bytes (length
// and contents); a last line without CR LF is a line like any other.
//
// Classic diff3: each of theirs and mine is compared with base line by
// line, and the changes of the two sides that overlap or touch one stretch
// of base, or insert at one position, form one chunk:
//   - only one side changed it: that side's lines are taken;
//   - both made the same change: it is taken once;
//   - both only added lines, at one place: theirs' lines, then mine's that
//     theirs lacks (no line of either was touched by the other);
//   - both changed it differently: a collision, counted and resolved as
//     "keep both": theirs' lines of the chunk, then those lines of mine's
//     chunk that are no line of base's chunk (the user's added or changed
//     lines; the user's deletions there give way to theirs).
// A line moved is a deletion and an insertion, and merges cleanly where
// the other side changed nothing next to either end. A line that both
// sides moved (it is once in each list, and neither left it where base had
// it) is a collision for every place where mine put it and theirs did not:
// it is kept once, where theirs put it.
//
// The comparison is exact at any size: every change is a stretch of its own
// (no cap lumps a side's changes together), and it stays fast. Where a
// stretch holds few edits it is Myers' shortest edit script; where it holds
// many, lines found once in each list's stretch anchor it (the longest
// chain of them in order), and the stretches between them are compared
// again; a stretch with many edits and no such line is split at the point
// a bounded search got furthest to. Where several alignments are equally
// short, every run of lines that a side added, removed or changed is moved
// as far down as equal lines allow (an edit inside a run of equal lines
// takes the run's last lines) before the two sides are combined, so that
// whether the merge collides does not depend on which one was found.
//
// So with collisions == 0 the result is the clean merge, and with
// collisions > 0 it is the keep-both list (the caller may instead write
// mine as it is, or return to editing).
#pragma once

#include "clip_list_model.h"

// A line as bytes, without its CR LF (not terminated): the same shape as
// the model's lines, so that a ClipListModel's lines are passed as they are.
typedef ClipLine MergeLine;

enum MergeSide { kMergeTheirs = 0, kMergeMine = 1 };

// One line of the result: a line of theirs or of mine, by index.
struct MergedLine {
    MergeSide side;
    int index;
};

struct ClipListMerge {
    MergedLine* lines;  // malloc'ed; null when count is 0
    int count;
    int collisions;     // chunks that both sides changed differently, and
                        // places where mine put a line that both moved
};

enum {
    // The most lines a list may have: a list file of at most 1 GiB holds no
    // more (every line but the last takes its CR LF).
    kMergeMaxLines = 1 << 29
};

// The lines of the result lie in order: lines of theirs by rising index,
// lines of mine by rising index, each at most once (so count is at most
// theirsCount + mineCount). False only when the memory cannot be had (or a
// count is negative or above kMergeMaxLines, or an array is missing for a
// count above 0); out is then empty.
bool MergeClipLists(const MergeLine* base, int baseCount, const MergeLine* theirs, int theirsCount,
                    const MergeLine* mine, int mineCount, ClipListMerge* out);

// Frees the result's lines and leaves it empty.
void FreeClipListMerge(ClipListMerge* merge);
