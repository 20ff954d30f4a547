#include "clip_list_file.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "app_state.h"
#include "bounded_text.h"
#include "list_file_replace.h"
#include "text_convert.h"

bool GetClipListPath(char* path)
{
    path[0] = '\0';
    if (m_ExeDir[0] == '\0') return false;
    // m_ExeDir holds a path of fewer than MAX_PATH units; the name is
    // ASCII, so the whole fits kPathBytes or is refused when used.
    CopyText(path, kPathBytes, m_ExeDir, -1, kCodePageUtf8);
    AppendText(path, kPathBytes, "\\" kClipListFileName, -1, kCodePageUtf8);
    return true;
}

// --- The line behind an item ---------------------------------------------------

static UINT GetDataMessage(ClipListKind kind)
{
    return kind == kListBox ? LB_GETITEMDATA : CB_GETITEMDATA;
}

static UINT SetDataMessage(ClipListKind kind)
{
    return kind == kListBox ? LB_SETITEMDATA : CB_SETITEMDATA;
}

static const ClipLine* LineOf(HWND control, ClipListKind kind, int index)
{
    LRESULT data = SendMessageW(control, GetDataMessage(kind), (WPARAM)index, 0);
    if (data == 0 || data == LB_ERR) return nullptr;  // CB_ERR is the same value
    return reinterpret_cast<const ClipLine*>(data);
}

// --- Loading -------------------------------------------------------------------

// True when every byte is below 0x80: ASCII, the same in both code pages
// and in UTF-16, so its shown text gives its bytes back by itself.
static bool IsAscii(const char* line, int length)
{
    for (int i = 0; i < length; ++i) {
        if ((unsigned char)line[i] >= 0x80) return false;
    }
    return true;
}

int ShowItemText(const char* bytes, int length, int codePage, WCHAR* shown)
{
    int units = DecodeText(bytes, length, codePage, shown, kClipShownMax + 1);
    return units < 0 ? 0 : units;
}

// The text a line shows, into `shown` (room for kClipShownMax + 1 units);
// its units. `length` receives the bytes of the line it shows, `ascii`
// whether they are all ASCII.
static int ShownText(const ClipLine* line, int codePage, WCHAR* shown, int* length, bool* ascii)
{
    // Most lines are short ASCII without a zero byte: shown whole, each
    // byte its own unit, found and copied in one pass.
    *length = line->length <= kClipShownMax ? line->length : 0;
    *ascii = *length == line->length;
    for (int i = 0; *ascii && i < *length; ++i) {
        const unsigned char byte = (unsigned char)line->bytes[i];
        *ascii = byte != 0 && byte < 0x80;
        shown[i] = (WCHAR)byte;
    }
    if (*ascii) {
        shown[*length] = L'\0';
        return *length;
    }
    *length = ClipLineShownLength(line, codePage);
    *ascii = IsAscii(line->bytes, *length);
    return ShowItemText(line->bytes, *length, codePage, shown);
}

int ShowLineText(const ClipLine* line, int codePage, WCHAR* shown)
{
    int length = 0;
    bool ascii = false;
    return ShownText(line, codePage, shown, &length, &ascii);
}

// An item whose text does not give the whole line back (a cut, a zero
// byte, bytes that are no text), and an empty line, which a save would take
// for an empty entry of the user's, point to their lines; the others stand
// for their text, which is the same bytes.
bool AddClipLine(HWND control, ClipListKind kind, const ClipLine* line, int codePage)
{
    // At most kClipShownMax bytes, so at most as many UTF-16 units.
    WCHAR shown[kClipShownMax + 1];
    int length = 0;
    bool ascii = false;
    const int units = ShownText(line, codePage, shown, &length, &ascii);
    // A control that runs out of memory refuses the item; the load goes on
    // with the next line, as after any other item the control cannot take.
    LRESULT index = SendMessageW(control, kind == kListBox ? LB_ADDSTRING : CB_ADDSTRING, 0,
                                 (LPARAM)shown);
    if (index < 0) return false;
    if (length != line->length || length == 0 ||
        (!ascii && !RoundTripsExactly(line->bytes, length, codePage, shown, units))) {
        SendMessageW(control, SetDataMessage(kind), (WPARAM)index, (LPARAM)line);
    }
    return true;
}

// Keeps the lines before the last CR LF: the text after it may be the
// start of a line that the failed read cut short.
static void DropUnfinishedLine(ClipListModel* model)
{
    int size = model->size;
    while (size >= 2 && !(model->bytes[size - 2] == '\r' && model->bytes[size - 1] == '\n')) {
        --size;
    }
    model->size = size >= 2 ? size : 0;
}

// Reads the whole file into the model's kept bytes: kLoadDone, kLoadPartial
// when a read failed before its end, kLoadTooLarge when the file passes 1
// GiB or the memory for its bytes cannot be had.
static ClipListLoadResult ReadWholeFile(HANDLE file, ClipListModel* model)
{
    // Room for the size the file has now, taken once; a file that grows
    // meanwhile is read on, until a read gives nothing.
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
        (size.QuadPart > (1 << 30) || !ClipListRoom(model, (int)size.QuadPart))) {
        return kLoadTooLarge;
    }
    // Read through a small buffer that stays in memory, not straight into
    // the fresh room: a read that must bring each new page of its target in
    // costs several times the copy (three times under Wine, 50 ms for a list
    // of 100,000 lines), while the copy brings them in at the cost of
    // touching them.
    char piece[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, piece, sizeof piece, &got, nullptr)) return kLoadPartial;
        if (got == 0) return kLoadDone;
        char* room = ClipListRoom(model, (int)got);
        if (!room) return kLoadTooLarge;  // it grew past what can be held
        memcpy(room, piece, got);
        CommitClipListBytes(model, (int)got);
    }
}

ClipListLoadResult ReadClipListFile(const char* path, ClipListModel* model)
{
    WCHAR widePath[MAX_PATH];
    if (!PathToWide(path, widePath)) return kLoadNotOpened;
    // A reader keeps out no one: not an indexer, a scanner or a sync client,
    // and not the editor's save, which replaces the file while it is read
    // (this handle keeps the old one). A list another program is writing
    // may be read half; the main window reads it again once it changed.
    HANDLE file = CreateFileW(widePath, GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return kLoadNotOpened;
    ClipListModel fresh;
    StartClipList(&fresh);
    const ClipListLoadResult read = ReadWholeFile(file, &fresh);
    CloseHandle(file);  // read only: nothing to flush
    const bool whole = read == kLoadDone;
    if (read == kLoadPartial) DropUnfinishedLine(&fresh);
    if (read == kLoadTooLarge || !FinishClipList(&fresh)) {
        FreeClipList(&fresh);
        return kLoadTooLarge;  // the bytes or the line table cannot be had
    }
    if (fresh.encoding == kEncodingUtf16Bom) {
        FreeClipList(&fresh);
        return kLoadUnsupported;
    }
    FreeClipList(model);
    *model = fresh;
    return whole ? kLoadDone : kLoadPartial;
}

ClipListLoadResult LoadClipList(HWND control, const char* path, ClipListKind kind,
                                ClipListModel* model)
{
    ClipListModel fresh;
    StartClipList(&fresh);
    const ClipListLoadResult result = ReadClipListFile(path, &fresh);
    if (result != kLoadDone && result != kLoadPartial) return result;

    // Emptying a combo box empties its edit field too. From here on the
    // control shows the new model only, so the old one can go.
    SendMessageW(control, kind == kListBox ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
    const int codePage = CodePageOf(fresh.encoding);
    for (int i = 0; i < fresh.count; ++i) AddClipLine(control, kind, &fresh.lines[i], codePage);
    FreeClipList(model);
    *model = fresh;
    return result;
}

// --- Reading items ---------------------------------------------------------------

// The item is read as UTF-16, the form the control keeps it in: with the
// common controls 6 the list is a Unicode window, and Wine carries the ANSI
// LB_GETTEXT to it through a fixed 512-character stack buffer, which a
// longer item overruns.
bool ReadItemWide(HWND control, ClipListKind kind, int index, HeapText* text, int* units)
{
    const bool list = kind == kListBox;
    LRESULT length = SendMessageW(control, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, index, 0);
    if (length == LB_ERR) return false;
    if (!text->Allocate(((DWORD)length + 1) * sizeof(WCHAR))) return false;
    LRESULT got = SendMessageW(control, list ? LB_GETTEXT : CB_GETLBTEXT, index,
                               (LPARAM)text->Units());
    if (got == LB_ERR) return false;
    *units = (int)got;
    return true;
}

bool ReadItemText(HWND control, ClipListKind kind, int index, int listCodePage, ItemText* item)
{
    HeapText shown;
    int units = 0;
    if (!ReadItemWide(control, kind, index, &shown, &units)) return false;

    const ClipLine* line = LineOf(control, kind, index);
    if (line) {
        // The shown part: the program's texts end at a zero byte and hold
        // at most kClipShownMax bytes.
        const int length = ClipLineShownLength(line, listCodePage);
        if (!item->memory.Allocate((DWORD)length + 1)) return false;
        memcpy(item->memory.Bytes(), line->bytes, (size_t)length);
        item->length = length;
        item->codePage = listCodePage;
        return true;
    }
    // A text the user gave: in the list's code page when it holds it, else
    // in UTF-8, which holds every character.
    item->codePage = listCodePage;
    if (EncodeToBlock(shown.Units(), units, listCodePage, &item->memory, &item->length)) {
        return true;
    }
    item->codePage = kCodePageUtf8;
    return EncodeToBlock(shown.Units(), units, kCodePageUtf8, &item->memory, &item->length);
}

// --- Saving ------------------------------------------------------------------------

// MultiByteToWideChar with MB_ERR_INVALID_CHARS, then into the other code
// page, and the result back into the first one: only a text whose every
// character has one exact form in both passes. Bytes of the shape of a
// character that stand for none (85 40 in code page 932) decode to a
// stand-in and fail the way back.
static bool ConvertExactly(const char* bytes, int length, int fromCodePage, int toCodePage,
                           char** out, int* outLength)
{
    *out = nullptr;
    *outLength = 0;
    HeapText wide;
    int units = 0;
    if (length > 0) {
        units = MultiByteToWideChar((UINT)fromCodePage, MB_ERR_INVALID_CHARS, bytes, length,
                                    nullptr, 0);
        if (units <= 0 || !wide.Allocate(((DWORD)units + 1) * sizeof(WCHAR))) return false;
        if (MultiByteToWideChar((UINT)fromCodePage, MB_ERR_INVALID_CHARS, bytes, length,
                                wide.Units(), units) != units) {
            return false;
        }
    }
    HeapText converted, back;
    int convertedLength = 0, backLength = 0;
    if (!EncodeToBlock(wide.Units(), units, toCodePage, &converted, &convertedLength) ||
        !EncodeToBlock(wide.Units(), units, fromCodePage, &back, &backLength) ||
        backLength != length || (length > 0 && memcmp(back.Bytes(), bytes, (size_t)length) != 0)) {
        return false;
    }
    // The list's functions free what they are given with free().
    *out = (char*)malloc((size_t)convertedLength + 1);
    if (!*out) return false;
    memcpy(*out, converted.Bytes(), (size_t)convertedLength + 1);
    *outLength = convertedLength;
    return true;
}

const ClipCodec kSystemCodec = {ConvertExactly};

// Reads the list as it is on disk now into `disk`, and says how that went.
static ListDiskRead ReadListOnDisk(const char* path, const WCHAR* widePath, ClipListModel* disk)
{
    // Asked first: a folder under the name is opened by some systems and
    // would read as something else.
    for (int pass = 0;; ++pass) {
        const DWORD attributes = GetFileAttributesW(widePath);
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
                return kDiskMissing;
            }
        } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            return kDiskFolder;
        }
        // Asked again after a failed open: the file may have gone meanwhile.
        if (pass == 1) return kDiskInUse;
        switch (ReadClipListFile(path, disk)) {
        case kLoadDone: return kDiskRead;
        case kLoadPartial: return kDiskReadFailed;
        case kLoadUnsupported: return kDiskUtf16;
        case kLoadTooLarge: return kDiskTooLarge;
        default: break;
        }
    }
}

// What the save read of the list on disk, to ask just before the swap
// whether the file is still so.
struct ReadBeforeSave {
    const char* path;
    const WCHAR* widePath;
    const ListDisk* disk;
};

static bool StillAsRead(const void* context)
{
    const ReadBeforeSave* read = static_cast<const ReadBeforeSave*>(context);
    ClipListModel now;
    StartClipList(&now);
    const ListDiskRead got = ReadListOnDisk(read->path, read->widePath, &now);
    const bool same = got == read->disk->read &&
                      (got != kDiskRead ||
                       (now.size == read->disk->size &&
                        (now.size == 0 ||
                         memcmp(now.bytes, read->disk->bytes, (size_t)now.size) == 0)));
    FreeClipList(&now);
    return same;
}

static ListWriteResult WriteResultOf(ListReplaceResult result)
{
    switch (result) {
    case kReplaceDone: return kWriteDone;
    case kReplaceDoneOldKept: return kWriteDoneOldKept;
    case kReplaceFailedMoved: return kWriteFailedMoved;
    case kReplaceChanged: return kWriteChanged;
    default: return kWriteFailed;
    }
}

void RunListSave(const ClipEditList* list, const char* path, ListSaveAsker ask, void* context,
                 bool overwrite, ListSaveState* state, ListSaveDecision* decision, WCHAR* left)
{
    if (left) left[0] = L'\0';
    WCHAR widePath[MAX_PATH];
    const bool named = PathToWide(path, widePath);
    for (;;) {
        ClipListModel disk;
        StartClipList(&disk);
        ListDisk read = {kDiskNotNeeded, nullptr, 0};
        // The file is read for every decision but the one that reports a
        // write: an answer is about the file as it is when it is written.
        if (named && (state->written == kWriteNone || state->written == kWriteChanged)) {
            read.read = overwrite ? kDiskIgnored : ReadListOnDisk(path, widePath, &disk);
            read.bytes = disk.bytes;
            read.size = disk.size;
        }
        DecideListSave(list, &read, &kSystemCodec, state, decision);
        bool again = false;
        if (decision->step == kStepWrite) {
            ReadBeforeSave before = {path, widePath, &read};
            state->written = WriteResultOf(ReplaceListFile(
                widePath, decision->bytes.bytes, (DWORD)decision->bytes.size, left,
                overwrite ? nullptr : StillAsRead, &before));
            again = true;
        } else if (decision->step == kStepAsk) {
            again = AnswerListSave(state, ask(decision->question, context));
        }
        FreeClipList(&disk);
        if (!again) return;
        FreeListSaveDecision(decision);
    }
}
