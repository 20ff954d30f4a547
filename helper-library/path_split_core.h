// Splitting a path into drive, directory, file name and extension, and
// forming the items handed out from such a split. Platform-free: it needs no
// <windows.h>, and the double-byte test of the active code page comes in as
// a function, so the same code runs in the library and in native tests.
#pragma once

// True when byte is the lead byte of a double-byte character.
typedef bool (*LeadByteTest)(unsigned char byte);

enum {
    kSplitPathSize  = 300,  // the path as passed (cut to kSplitPathMax)
    kSplitDriveSize = 128,  // "C:" or a UNC server part such as \\server
    kSplitPieceSize = 260,  // directory, file name, extension
    kSplitItemSize  = 260,  // every item, with its terminator
    kSplitPathMax   = 259,  // longest path kept, so item 0 fits an item buffer
    kSplitPieceMax  = 255,  // longest directory, file name or extension
    kSplitLastItem  = 6,
    kSplitLastHandle = 10000,
};

struct SplitStore {
    char path[kSplitPathSize];
    char drive[kSplitDriveSize];
    char directory[kSplitPieceSize];
    char fileName[kSplitPieceSize];
    char extension[kSplitPieceSize];
};

// Fills store with the pieces of path (a null path counts as empty).
void SplitPathInto(const char* path, LeadByteTest isLeadByte, SplitStore* store);

// Writes item 0..6 of store, zero-terminated, to out (kSplitItemSize bytes)
// and returns 0; returns -1 and leaves out untouched for any other item.
int FormSplitItem(const SplitStore* store, int item, LeadByteTest isLeadByte, char* out);

// The handle that follows counter: 1, 2, ..., 10000, then 0, then 1 again.
int NextSplitHandle(int counter);

// The longest prefix of text[0..length) of at most maxBytes bytes that does
// not end between a lead byte and its trail byte.
int CutOnCharacter(const char* text, int length, int maxBytes, LeadByteTest isLeadByte);
