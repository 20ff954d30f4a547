#include "path_split_core.h"

#include <cstring>

int CutOnCharacter(const char* text, int length, int maxBytes, LeadByteTest isLeadByte)
{
    if (length <= maxBytes) return length;
    int kept = 0;
    while (kept < maxBytes) {
        int step = (isLeadByte((unsigned char)text[kept]) && kept + 1 < length) ? 2 : 1;
        if (kept + step > maxBytes) break;
        kept += step;
    }
    return kept;
}

// Copies text[0..length) into dst, cut on a character boundary to at most
// maxBytes bytes, and terminates it. Every caller passes maxBytes below the
// size of dst.
static void SetPiece(char* dst, const char* text, int length, int maxBytes, LeadByteTest isLeadByte)
{
    int kept = CutOnCharacter(text, length, maxBytes, isLeadByte);
    memcpy(dst, text, (size_t)kept);
    dst[kept] = '\0';
}

// The usual split of text[0..length), aware of double-byte characters: a
// trail byte 0x5C is never taken for a separator. Each piece is cut to 255
// bytes on a character boundary.
static void StandardSplit(const char* text, int length, LeadByteTest isLeadByte,
                          char* drive, char* directory, char* fileName, char* extension)
{
    int driveEnd = (length >= 2 && text[1] == ':') ? 2 : 0;
    int lastSeparator = -1;
    int lastDot = -1;
    for (int i = driveEnd; i < length; ++i) {
        unsigned char byte = (unsigned char)text[i];
        if (isLeadByte(byte) && i + 1 < length) {
            ++i;  // the trail byte belongs to this character
        } else if (byte == '\\' || byte == '/') {
            lastSeparator = i;
        } else if (byte == '.') {
            lastDot = i;
        }
    }
    int directoryEnd = (lastSeparator >= 0) ? lastSeparator + 1 : driveEnd;
    int nameEnd = (lastDot >= directoryEnd) ? lastDot : length;

    SetPiece(drive, text, driveEnd, kSplitPieceMax, isLeadByte);
    SetPiece(directory, text + driveEnd, directoryEnd - driveEnd, kSplitPieceMax, isLeadByte);
    SetPiece(fileName, text + directoryEnd, nameEnd - directoryEnd, kSplitPieceMax, isLeadByte);
    SetPiece(extension, text + nameEnd, length - nameEnd, kSplitPieceMax, isLeadByte);
}

void SplitPathInto(const char* path, LeadByteTest isLeadByte, SplitStore* store)
{
    if (path == nullptr) path = "";

    // A path of 260 bytes or more is cut to 259 on a character boundary, so
    // that item 0 (and every join) still fits the caller's 260-byte buffer.
    int length = (int)strnlen(path, kSplitPathMax + 1);
    SetPiece(store->path, path, length, kSplitPathMax, isLeadByte);
    length = (int)strlen(store->path);
    const char* text = store->path;

    store->drive[0] = '\0';
    store->directory[0] = '\0';
    store->fileName[0] = '\0';
    store->extension[0] = '\0';

    if (length > 2 && text[0] == '\\' && text[1] == '\\') {
        // UNC: the server part ends at the next backslash, found byte by
        // byte (a trail byte 0x5C ends it too). A server part of 128 bytes
        // or more is cut to 127 on a character boundary; the directory and
        // name that follow it are kept whole.
        int serverEnd = 2;
        while (serverEnd < length && text[serverEnd] != '\\') ++serverEnd;
        if (serverEnd < length) {
            char standardDrive[kSplitPieceSize];
            StandardSplit(text + serverEnd, length - serverEnd, isLeadByte, standardDrive,
                          store->directory, store->fileName, store->extension);
        }
        SetPiece(store->drive, text, serverEnd, kSplitDriveSize - 1, isLeadByte);
        return;
    }

    char standardDrive[kSplitPieceSize];
    StandardSplit(text, length, isLeadByte, standardDrive,
                  store->directory, store->fileName, store->extension);
    SetPiece(store->drive, standardDrive, (int)strlen(standardDrive), kSplitDriveSize - 1, isLeadByte);
}

// Appends src to the text in work (kSplitItemSize bytes), cutting on a
// character boundary. Within the store's limits nothing is ever cut: the
// pieces of one path never add up to more than the path.
static void AppendPiece(char* work, const char* src, LeadByteTest isLeadByte)
{
    int used = (int)strlen(work);
    SetPiece(work + used, src, (int)strlen(src), kSplitItemSize - 1 - used, isLeadByte);
}

// Removes one final backslash from a text of 2 bytes or more: a root folder
// stays "\", and "C:\" becomes "C:". The test is byte-wise.
static void DropFinalBackslash(char* work)
{
    size_t length = strlen(work);
    if (length >= 2 && work[length - 1] == '\\') work[length - 1] = '\0';
}

int FormSplitItem(const SplitStore* store, int item, LeadByteTest isLeadByte, char* out)
{
    if ((unsigned)item > (unsigned)kSplitLastItem) return -1;

    char work[kSplitItemSize];
    work[0] = '\0';
    switch (item) {
    case 0: AppendPiece(work, store->path, isLeadByte); break;
    case 1: AppendPiece(work, store->drive, isLeadByte); break;
    case 2:
        AppendPiece(work, store->directory, isLeadByte);
        DropFinalBackslash(work);
        break;
    case 3: AppendPiece(work, store->fileName, isLeadByte); break;
    case 4:
        // The extension is "" or starts with its dot.
        AppendPiece(work, store->extension[0] == '.' ? store->extension + 1 : store->extension,
                    isLeadByte);
        break;
    case 5:
        AppendPiece(work, store->drive, isLeadByte);
        AppendPiece(work, store->directory, isLeadByte);
        DropFinalBackslash(work);
        break;
    default:
        AppendPiece(work, store->fileName, isLeadByte);
        AppendPiece(work, store->extension, isLeadByte);
        break;
    }
    memcpy(out, work, strlen(work) + 1);
    return 0;
}

int NextSplitHandle(int counter)
{
    int next = counter + 1;
    return (next > kSplitLastHandle) ? 0 : next;
}
