#include "clip_copy.h"

#include <string.h>

#include "Morvask.h"
#include "app_state.h"
#include "clip_entry.h"
#include "movable_block.h"
#include "text_convert.h"

// Other programs hold the clipboard for a moment while they read or write
// it: try this often, this far apart (about half a second in all).
enum { kOpenTries = 10, kOpenPauseMs = 50 };

// A file of this size or more is refused as memory that cannot be had: the
// reader's capacity is a signed 32-bit number.
static const long long kLargestFile = 0x7FFFFFFFLL - 10;

// The three blocks the clipboard gets.
struct Payload {
    MovableBlock text;     // CF_TEXT
    MovableBlock unicode;  // CF_UNICODETEXT
    MovableBlock locale;   // CF_LOCALE
};

// CF_UNICODETEXT from the bytes up to their first zero byte.
static bool DecodeUnicode(Payload* payload, const char* bytes, int codePage)
{
    int units = 0;
    return DecodeToBlock(bytes, (int)strlen(bytes), codePage, &payload->unicode, &units);
}

// The text in its code page: its bytes as CF_TEXT when they are code page
// 932, the text itself as CF_UNICODETEXT.
static CopyResult MakeTextPayload(Payload* payload, const char* text, int codePage)
{
    if (!DecodeUnicode(payload, text, codePage)) return kCopyNoMemory;
    if (codePage == kCodePage932) {
        int length = (int)strlen(text);
        if (!payload->text.Allocate((DWORD)length + 1)) return kCopyNoMemory;
        memcpy(payload->text.Bytes(), text, (size_t)length + 1);
        return kCopyDone;
    }
    return EncodeBestFit932(payload->unicode.Units(), -1, &payload->text) ? kCopyDone
                                                                         : kCopyNoMemory;
}

// The file's contents. A code page 932 (or any non-UTF) file goes to CF_TEXT
// unchanged with 10 zero bytes after it, so the text ends at the file's end
// or at its first zero byte; a UTF file is copied as the text it holds.
static CopyResult MakeFilePayload(Payload* payload, const WCHAR* path)
{
    long long size = MRVK0_GetFileSizeW(path);
    // Missing, empty, a folder, or not to be opened: all look alike.
    if (size <= 0) return kCopyFileNotFound;
    if (size > kLargestFile) return kCopyNoMemory;

    MovableBlock file;
    if (!file.Allocate((DWORD)size + 10)) return kCopyNoMemory;
    // The file may have grown, or a writer may hold it, since its size was
    // taken: then nothing is copied.
    int got = MRVK0_ReadTextToBufferW(path, file.Bytes(), (int)size);
    if (got == 0) return kCopyReadFailed;

    TextFileEncoding encoding = DetectEncoding(file.Bytes(), got);
    const char* start = file.Bytes() + MarkLength(encoding);
    // A mark with nothing after it (or half a UTF-16 unit) is an empty file:
    // nothing to copy, and the clipboard keeps what it had.
    const int contentBytes = got - MarkLength(encoding);
    if (contentBytes < (encoding == kEncodingUtf16Bom ? 2 : 1)) return kCopyFileNotFound;
    if (encoding == kEncodingUtf16Bom) {
        // Zero-filled after the data: the UTF-16 text is terminated there or
        // earlier, at its first zero unit. Copied so that it is aligned, and
        // in the order the system reads, low byte first.
        const int units = contentBytes / 2;
        if (!payload->unicode.Allocate(((DWORD)units + 1) * sizeof(WCHAR))) return kCopyNoMemory;
        if (IsBigEndianMark(file.Bytes(), got)) {
            const unsigned char* bytes = (const unsigned char*)start;
            for (int i = 0; i < units; ++i) {
                payload->unicode.Units()[i] = (WCHAR)((bytes[2 * i] << 8) | bytes[2 * i + 1]);
            }
        } else {
            memcpy(payload->unicode.Units(), start, (size_t)units * sizeof(WCHAR));
        }
    } else if (!DecodeUnicode(payload, start, CodePageOf(encoding))) {
        return kCopyNoMemory;
    }
    if (encoding == kEncoding932) {
        payload->text.block = file.block;  // the file's own bytes, unchanged
        payload->text.pointer = file.pointer;
        file.block = nullptr;
        file.pointer = nullptr;
        return kCopyDone;
    }
    return EncodeBestFit932(payload->unicode.Units(), -1, &payload->text) ? kCopyDone
                                                                         : kCopyNoMemory;
}

// Hands the blocks to the clipboard. True when it took both texts (it owns
// every block it took from then on; the guards free the rest).
static bool PutOnClipboard(HWND owner, Payload* payload)
{
    // Emptying makes the opener the clipboard's owner, and only an owner's
    // blocks are taken: opened without a window, nothing would be.
    if (!owner) return false;
    int opened = 0;
    for (int i = 0; i < kOpenTries && !opened; ++i) {
        if (i > 0) Sleep(kOpenPauseMs);
        opened = OpenClipboard(owner) != FALSE;
    }
    if (!opened) return false;
    // Whether emptying worked shows in SetClipboardData, which takes blocks
    // only from the clipboard's owner.
    EmptyClipboard();
    bool taken = true;
    MovableBlock* blocks[] = {&payload->unicode, &payload->text, &payload->locale};
    const UINT formats[] = {CF_UNICODETEXT, CF_TEXT, CF_LOCALE};
    for (int i = 0; i < 3; ++i) {
        HGLOBAL block = blocks[i]->block;
        if (blocks[i]->pointer) GlobalUnlock(block);
        if (SetClipboardData(formats[i], block) != nullptr) {
            blocks[i]->block = nullptr;  // the clipboard's now
            blocks[i]->pointer = nullptr;
        } else {
            blocks[i]->pointer = nullptr;  // unlocked; the guard frees it
            if (formats[i] != CF_LOCALE) taken = false;
        }
    }
    // The data is in place either way; a failed close leaves nothing to do.
    CloseClipboard();
    return taken;
}

CopyResult CopyEntry(const char* entry, int codePage, HWND owner)
{
    char text[kTextSize];
    int isFile = ExtractClipText(entry, text, kTextSize, codePage);
    if (text[0] == '\0') return kCopyNothing;

    Payload payload;
    CopyResult result;
    if (isFile) {
        // A path that is no name the system takes is a file not found.
        WCHAR path[MAX_PATH];
        if (DecodeText(text, (int)strlen(text), codePage, path, MAX_PATH) < 0) {
            return kCopyFileNotFound;
        }
        result = MakeFilePayload(&payload, path);
    } else {
        result = MakeTextPayload(&payload, text, codePage);
    }
    if (result != kCopyDone) return result;

    // What a reader of CF_TEXT alone converts it with: Japanese.
    if (payload.locale.Allocate(sizeof(LCID))) {
        *reinterpret_cast<LCID*>(payload.locale.pointer) = MAKELCID(0x0411, SORT_DEFAULT);
    }
    return PutOnClipboard(owner, &payload) ? kCopyDone : kCopyClipboardFailed;
}
