#include "clip_list_file.h"

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

static UINT DataMessage(ClipListKind kind, bool set)
{
    if (kind == kListBox) return set ? LB_SETITEMDATA : LB_GETITEMDATA;
    return set ? CB_SETITEMDATA : CB_GETITEMDATA;
}

static const ClipLine* LineOf(HWND control, ClipListKind kind, int index)
{
    LRESULT data = SendMessageW(control, DataMessage(kind, false), (WPARAM)index, 0);
    if (data == 0 || data == LB_ERR) return nullptr;  // CB_ERR is the same value
    return reinterpret_cast<const ClipLine*>(data);
}

void MoveItemLine(HWND control, ClipListKind kind, int from, int to)
{
    LRESULT data = SendMessageW(control, DataMessage(kind, false), (WPARAM)from, 0);
    if (data == LB_ERR) return;
    SendMessageW(control, DataMessage(kind, true), (WPARAM)to, data);
    SendMessageW(control, DataMessage(kind, true), (WPARAM)from, 0);
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

// Adds the line's shown text as the control's new last item. An item whose
// text does not give the whole line back (a cut, a zero byte, bytes that are
// no text), and an empty line, which a save would take for an empty entry
// of the user's, point to their lines; the others stand for their text,
// which is the same bytes.
static void AddLine(HWND control, ClipListKind kind, const ClipLine* line, int codePage)
{
    // At most kClipShownMax bytes, so at most as many UTF-16 units.
    WCHAR shown[kClipShownMax + 1];
    // Most lines are short ASCII without a zero byte: shown whole, each
    // byte its own unit, found and copied in one pass.
    int length = line->length <= kClipShownMax ? line->length : 0;
    bool ascii = length == line->length;
    for (int i = 0; ascii && i < length; ++i) {
        const unsigned char byte = (unsigned char)line->bytes[i];
        ascii = byte != 0 && byte < 0x80;
        shown[i] = (WCHAR)byte;
    }
    int units = length;
    if (ascii) {
        shown[length] = L'\0';
    } else {
        length = ClipLineShownLength(line, codePage);
        ascii = IsAscii(line->bytes, length);
        units = DecodeText(line->bytes, length, codePage, shown, kClipShownMax + 1);
        if (units < 0) units = 0;
    }
    // A control that runs out of memory refuses the item; the load goes on
    // with the next line, as after any other item the control cannot take.
    LRESULT index = SendMessageW(control, kind == kListBox ? LB_ADDSTRING : CB_ADDSTRING, 0,
                                 (LPARAM)shown);
    if (index < 0) return;
    if (length != line->length || length == 0 ||
        (!ascii && !RoundTripsExactly(line->bytes, length, codePage, shown, units))) {
        SendMessageW(control, DataMessage(kind, true), (WPARAM)index, (LPARAM)line);
    }
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

ClipListLoadResult LoadClipList(HWND control, const char* path, ClipListKind kind,
                                ClipListModel* model)
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

    // Emptying a combo box empties its edit field too. From here on the
    // control shows the new model only, so the old one can go.
    SendMessageW(control, kind == kListBox ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
    const int codePage = CodePageOf(fresh.encoding);
    for (int i = 0; i < fresh.count; ++i) AddLine(control, kind, &fresh.lines[i], codePage);
    FreeClipList(model);
    *model = fresh;
    return whole ? kLoadDone : kLoadPartial;
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
                               (LPARAM)text->Wide());
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
    if (EncodeToBlock(shown.Wide(), units, listCodePage, &item->memory, &item->length)) {
        return true;
    }
    item->codePage = kCodePageUtf8;
    return EncodeToBlock(shown.Wide(), units, kCodePageUtf8, &item->memory, &item->length);
}

// --- Saving ------------------------------------------------------------------------

int CountNoTextLines(HWND listBox, int* first)
{
    *first = -1;
    int count = (int)SendMessageW(listBox, LB_GETCOUNT, 0, 0);
    int found = 0;
    for (int i = 0; i < count; ++i) {
        const ClipLine* line = LineOf(listBox, kListBox, i);
        if (!line || IsText932(line->bytes, line->length)) continue;
        if (found++ == 0) *first = i;
    }
    return found;
}

// Adds the bytes of one item, in the code page the file is written in.
// False when they cannot be had; *storable false when the item holds a
// character that code page lacks.
static bool AddItem(HWND listBox, int index, int listCodePage, int fileCodePage,
                    ClipFileBytes* file, bool* storable)
{
    *storable = true;
    const ClipLine* line = LineOf(listBox, kListBox, index);
    if (line && listCodePage == fileCodePage) {
        AddClipFileLine(file, line->bytes, line->length);  // exactly as read
        return true;
    }
    ItemText item;
    if (line) {
        // A code page 932 list moving to UTF-8: the same text. The caller
        // has made sure that the line is text.
        HeapText wide;
        int units = 0;
        if (!DecodeToBlock(line->bytes, line->length, listCodePage, &wide, &units) ||
            !EncodeToBlock(wide.Wide(), units, fileCodePage, &item.memory, &item.length)) {
            return false;
        }
        AddClipFileLine(file, item.Bytes(), item.length);
        return true;
    }
    if (!ReadItemText(listBox, kListBox, index, listCodePage, &item)) return false;
    if (item.length == 0) return true;  // an empty composed entry is never written
    if (item.codePage != fileCodePage) {
        if (fileCodePage != kCodePageUtf8) {
            *storable = false;
            return false;
        }
        // Into UTF-8: the same text, whatever code page it came in.
        HeapText wide;
        int units = 0;
        if (!DecodeToBlock(item.Bytes(), item.length, item.codePage, &wide, &units) ||
            !EncodeToBlock(wide.Wide(), units, kCodePageUtf8, &item.memory, &item.length)) {
            return false;
        }
    }
    AddClipFileLine(file, item.Bytes(), item.length);
    return true;
}

ClipListSaveResult SaveClipList(HWND listBox, const char* path, int listCodePage,
                                TextFileEncoding encoding, WCHAR* left)
{
    int count = (int)SendMessageW(listBox, LB_GETCOUNT, 0, 0);
    if (count == LB_ERR) return kSaveFailed;
    if (count == 0) return kSaveNothing;
    if (encoding == kEncodingUtf16Bom) return kSaveFailed;  // never written: not read either
    WCHAR widePath[MAX_PATH];
    if (!PathToWide(path, widePath)) return kSaveFailed;

    // The whole file is made first: a failure on the way writes nothing.
    ClipFileBytes file;
    StartClipFile(&file, encoding);
    const int fileCodePage = CodePageOf(encoding);
    ClipListSaveResult result = kSaveWritten;
    for (int i = 0; i < count && result == kSaveWritten; ++i) {
        bool storable = true;
        if (!AddItem(listBox, i, listCodePage, fileCodePage, &file, &storable)) {
            result = storable ? kSaveFailed : kSaveNotStorable;
        }
    }
    if (result == kSaveWritten && file.failed) result = kSaveFailed;
    if (result == kSaveWritten) {
        switch (ReplaceListFile(widePath, file.bytes, (DWORD)file.size, left)) {
        case kReplaceDone: break;
        case kReplaceDoneOldKept: result = kSaveWrittenOldKept; break;
        case kReplaceFailedMoved: result = kSaveFailedListMoved; break;
        default: result = kSaveFailed; break;
        }
    }
    FreeClipFile(&file);
    return result;
}
