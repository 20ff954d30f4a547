// What the list file is at one moment, cheap enough to ask each time the
// main window is activated: which file it is (a link followed to the file
// it names), its size and times, and for a small list a hash of its bytes,
// so that a rewrite of the same size within one tick of the file clock is
// seen as well.
#pragma once
#include <windows.h>

struct ListFileStamp {
    DWORD error;  // 0 when the file could be opened and asked
    DWORD volume, indexHigh, indexLow;  // which file: volume serial, file index
    DWORD links;
    LARGE_INTEGER size;
    LARGE_INTEGER written;  // last write
    LARGE_INTEGER changed;  // last change of anything: bytes, attributes, names
    bool hashed;            // the bytes were small enough to be read for `hash`
    unsigned long long hash;
};

// Lists up to this size are read whole for their hash.
enum { kStampHashedBytes = 256 * 1024 };

// The file `path` names, links followed. A file that cannot be opened
// (missing, held without sharing) gives its error, and where the system
// still tells them, its size and last write.
ListFileStamp TakeListFileStamp(const WCHAR* path, bool hash = true);

// The same through a handle opened with read access; reading the bytes for
// the hash moves its file pointer.
ListFileStamp TakeListFileStampOf(HANDLE file, bool hash = true);

// The same file, opened both times.
bool SameFileIdentity(const ListFileStamp& a, const ListFileStamp& b);

// The same bytes as far as the stamps tell: size, last write and, where
// both were hashed, the hash. A new name or attribute is no change here.
bool SameListBytes(const ListFileStamp& a, const ListFileStamp& b);

// Nothing about the file changed: the same outcome of the open, the same
// file, bytes and change time.
bool SameListFileStamp(const ListFileStamp& a, const ListFileStamp& b);
