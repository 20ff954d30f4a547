// The editor's save, decided in one place. Platform-free: the caller reads
// the list on disk, hands over what it found, and does what the decision
// says (write these bytes, ask this question, say this, or nothing more);
// then it calls again with the answer or the write's result, until the
// decision ends the save. Every rule about what a save writes lives here:
// the merge with another program's change, the encoding the file is
// written in, a list that disappeared meanwhile, and what the user is told.
#pragma once

#include <stdint.h>

#include "clip_list_edit.h"
#include "clip_list_merge.h"
#include "clip_list_model.h"

// How the read of the list on disk went, just before this decision.
enum ListDiskRead {
    kDiskRead = 0,       // `bytes` hold the whole file (maybe none)
    kDiskMissing = 1,    // no file under the name
    kDiskFolder = 2,     // a folder under the name
    kDiskTooLarge = 3,   // more than 1 GiB, or more than the memory holds
    kDiskInUse = 4,      // could not be opened: held without sharing, or not readable
    kDiskReadFailed = 5, // a read failed before the end
    kDiskUtf16 = 6,      // UTF-16 with its mark: never read, never written over
    kDiskIgnored = 7,    // not read: the list is written over whatever is there
    kDiskNotNeeded = 8,  // not read: the decision only reports a write's result
};

struct ListDisk {
    ListDiskRead read;
    const char* bytes;
    int size;
};

// The questions a save may ask. "Yes" goes on; "no" to the first three and
// to kAskListGone, and "cancel" to kAskCollision, end the save with nothing
// written, the edits kept.
enum ListSaveQuestion {
    kAskNone = 0,
    kAskNeedsUtf8 = 1,     // an entry holds a character code page 932 lacks
    kAskReadsAsUtf8 = 2,   // the code page 932 bytes would load as UTF-8
    kAskTheyMovedToUtf8 = 3,  // another program saved the list in UTF-8
    kAskCollision = 4,     // yes: keep both; no: the editor's list; cancel
    kAskListGone = 5,      // the list disappeared or was emptied meanwhile
};

enum ListSaveAnswer { kAnswerYes = 1, kAnswerNo = 2, kAnswerCancel = 3 };

// What the user is told; the caller words it.
enum ListSaveNotice {
    kNoticeNone = 0,
    kNoticeMerged,          // written, with another program's changes
    kNoticeOldCopyKept,     // written; the old list's copy could not be deleted
    kNoticeMergedOldCopyKept,
    kNoticeEmpty,           // no entries: an emptied list is never written
    kNoticeUtf8NoText,      // lines of no code page 932 text block UTF-8
    kNoticeUtf8TooLong,     // lines that UTF-8 would cut block it
    kNoticeTheirsNoText,    // the other program's lines have no form in the encoding
    kNoticeInUse,
    kNoticeFolder,
    kNoticeTooLarge,
    kNoticeReadFailed,
    kNoticeUtf16,           // another program saved it as UTF-16
    kNoticeKeepsChanging,   // changed again at every try
    kNoticeSaveFailed,      // not written; the old list is as it was
    kNoticeLeftAside,       // failed half way; the old list is under another name
};

// What a replace of the file did, fed back after a kStepWrite.
enum ListWriteResult {
    kWriteNone = 0,
    kWriteDone,
    kWriteDoneOldKept,
    kWriteFailed,       // nothing moved
    kWriteFailedMoved,  // the old list is under another name
    kWriteChanged,      // the file changed after the read: nothing written
};

// What the save learned so far. Zeroed (StartListSave) before the first
// decision; the decisions and the caller's answers fill it.
struct ListSaveState {
    bool utf8;               // the user agreed that the list moves to UTF-8
    ListSaveAnswer collision;  // to the collision question about `answered`
    bool writeWhole;         // to the question about the list gone, `answered`
    uint64_t answered;       // fingerprint of the disk those answers are about
    ListSaveQuestion asked;  // the question on screen, and the disk it is about
    uint64_t askedAbout;
    bool merged;             // the bytes being written hold another program's changes
    ListWriteResult written; // the last write's result, fed back
    int changedTries;        // writes that found the file changed
};

enum ListSaveStep {
    kStepWrite,  // write `bytes` in the list's place while the file is as read
    kStepAsk,    // ask `question`, give the answer to AnswerListSave, decide again
    kStepSay,    // say `notice`; then the editor closes when `closes`, else stays
};

struct ListSaveDecision {
    ListSaveStep step;
    ListSaveQuestion question;
    ListSaveNotice notice;
    bool closes;
    ClipFileBytes bytes;    // for kStepWrite; freed by FreeListSaveDecision
    Utf8Blockers blockers;  // for kNoticeUtf8NoText and kNoticeUtf8TooLong
};

// Another program changed the file at every one of this many tries.
enum { kListSaveTries = 3 };

void StartListSave(ListSaveState* state);

// The one decision. `list` is the editor's list (the loaded file and the
// edits), `disk` what the read just found, `codec` the exact conversion.
// kStepSay with kNoticeNone and `closes` is a save that needs no word.
// In this order:
// - a write's result fed back is said as it came (a file changed meanwhile
//   is read and decided again, kListSaveTries times at most);
// - a file the read could not take is said, each cause its own notice;
// - the editor's list: emptied, it is never written; with a character its
//   code page lacks, the lines that cannot move are named, else the UTF-8
//   question comes (once agreed, the list is written in UTF-8 with the mark);
// - a file that is gone or holds no line, where the editor loaded lines, is
//   asked about, and only the editor's whole list is written in its place;
// - unchanged (or missing, for a new list): the editor's list as it is;
// - changed: merged, in the other program's encoding and mark where that
//   holds both sides' lines, else in UTF-8 after the question; a collision
//   is asked about. An answer holds only for the file it was given about;
// - bytes that would load as another text: a UTF-8 file gains its mark,
//   a code page 932 one is not written before the UTF-8 question.
void DecideListSave(const ClipEditList* list, const ListDisk* disk, const ClipCodec* codec,
                    ListSaveState* state, ListSaveDecision* decision);

// Records the answer to the question just asked. False when the answer
// ends the save (nothing written, the edits kept).
bool AnswerListSave(ListSaveState* state, ListSaveAnswer answer);

void FreeListSaveDecision(ListSaveDecision* decision);

// A fingerprint of the file as read, to tell whether an answer is about the
// file as it is now: missing and empty differ, and any byte changed counts.
uint64_t ListDiskFingerprint(const ListDisk* disk);
