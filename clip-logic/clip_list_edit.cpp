#include "clip_list_edit.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

void StartClipEditList(ClipEditList* list)
{
    StartClipList(&list->loaded);
    list->items = nullptr;
    list->count = 0;
    list->capacity = 0;
    list->encoding = kEncoding932;
}

// Room for one more item. Sizes are checked before they are multiplied, so
// that no count wraps a 32-bit size.
static bool ReserveItem(ClipEditList* list)
{
    if (list->count < list->capacity) return true;
    int grown = list->capacity < 16 ? 16 : list->capacity + list->capacity / 2;
    if (grown <= list->count || (size_t)grown > SIZE_MAX / sizeof(ClipEditItem)) return false;
    ClipEditItem* moved =
        (ClipEditItem*)realloc(list->items, sizeof(ClipEditItem) * (size_t)grown);
    if (!moved) return false;
    list->items = moved;
    list->capacity = grown;
    return true;
}

bool OpenClipEditList(ClipEditList* list, ClipListModel* loaded)
{
    FreeClipEditList(list);
    const int count = loaded->count;
    if (count > 0) {
        if ((size_t)count > SIZE_MAX / sizeof(ClipEditItem)) return false;
        list->items = (ClipEditItem*)malloc(sizeof(ClipEditItem) * (size_t)count);
        if (!list->items) return false;
        list->capacity = count;
    }
    for (int i = 0; i < count; ++i) list->items[i] = ClipEditItem{i, nullptr, 0, 0};
    list->count = count;
    list->loaded = *loaded;
    list->encoding = loaded->encoding == kEncodingUtf16Bom ? kEncoding932 : loaded->encoding;
    StartClipList(loaded);  // the list owns the bytes now
    return true;
}

void FreeClipEditList(ClipEditList* list)
{
    for (int i = 0; i < list->count; ++i) free(list->items[i].text);
    free(list->items);
    FreeClipList(&list->loaded);
    StartClipEditList(list);
}

int LoadedCodePage(const ClipEditList* list)
{
    return CodePageOf(list->loaded.encoding);
}

static bool MakeEntry(ClipEditItem* item, const char* text, int length, int codePage)
{
    if (length < 0 || length == INT32_MAX) return false;
    char* copy = (char*)malloc((size_t)length + 1);
    if (!copy) return false;
    if (length > 0) memcpy(copy, text, (size_t)length);
    copy[length] = '\0';
    *item = ClipEditItem{-1, copy, length, codePage};
    return true;
}

bool InsertClipEntry(ClipEditList* list, int at, const char* text, int length, int codePage)
{
    if (at < 0 || at > list->count || !ReserveItem(list)) return false;
    ClipEditItem entry;
    if (!MakeEntry(&entry, text, length, codePage)) return false;
    memmove(&list->items[at + 1], &list->items[at],
            sizeof(ClipEditItem) * (size_t)(list->count - at));
    list->items[at] = entry;
    ++list->count;
    return true;
}

bool OverwriteClipEntry(ClipEditList* list, int at, const char* text, int length, int codePage)
{
    if (at < 0 || at >= list->count) return false;
    ClipEditItem entry;
    if (!MakeEntry(&entry, text, length, codePage)) return false;
    free(list->items[at].text);
    list->items[at] = entry;
    return true;
}

bool DeleteClipItem(ClipEditList* list, int at)
{
    if (at < 0 || at >= list->count) return false;
    free(list->items[at].text);
    memmove(&list->items[at], &list->items[at + 1],
            sizeof(ClipEditItem) * (size_t)(list->count - at - 1));
    --list->count;
    return true;
}

bool MoveClipItemUp(ClipEditList* list, int at)
{
    if (at < 1 || at >= list->count) return false;
    ClipEditItem moved = list->items[at];
    list->items[at] = list->items[at - 1];
    list->items[at - 1] = moved;
    return true;
}

const char* ClipItemBytes(const ClipEditList* list, int at, int* length, int* codePage)
{
    const ClipEditItem& item = list->items[at];
    if (item.line < 0) {
        *length = item.length;
        *codePage = item.codePage;
        return item.text;
    }
    const ClipLine& line = list->loaded.lines[item.line];
    *length = line.length;
    *codePage = LoadedCodePage(list);
    return line.bytes;
}

int ClipItemShownLength(const ClipEditList* list, int at)
{
    const ClipEditItem& item = list->items[at];
    if (item.line < 0) return item.length;
    return ClipLineShownLength(&list->loaded.lines[item.line], LoadedCodePage(list));
}

// --- Saving ----------------------------------------------------------------------

Utf8Blockers FindUtf8Blockers(const ClipEditList* list, const ClipCodec* codec)
{
    Utf8Blockers found = {0, 0, -1};
    if (LoadedCodePage(list) == kCodePageUtf8) return found;  // already there
    for (int i = 0; i < list->count; ++i) {
        const ClipEditItem& item = list->items[i];
        if (item.line < 0) continue;
        const ClipLine& line = list->loaded.lines[item.line];
        char* converted = nullptr;
        int length = 0;
        bool blocks = false;
        // The cheap test first: bytes that are no code page 932 text at all
        // need no conversion to be refused.
        if (!IsText932(line.bytes, line.length) ||
            !codec->convert(line.bytes, line.length, kCodePage932, kCodePageUtf8, &converted,
                            &length)) {
            ++found.noText;
            blocks = true;
        } else if (ClipLineShownLength(&line, kCodePage932) == line.length &&
                   line.length <= kClipShownMax && length > kClipShownMax) {
            // Shown whole now, it would show and copy cut after the move.
            ++found.tooLong;
            blocks = true;
        }
        free(converted);
        if (blocks && found.first < 0) found.first = i;
    }
    return found;
}

// Adds one item in the file's code page. `*needsUtf8` when an entry holds a
// character that code page lacks.
static bool AddItem(const ClipEditList* list, int at, const ClipCodec* codec, int fileCodePage,
                    ClipFileBytes* file, bool* needsUtf8)
{
    int length = 0;
    int codePage = 0;
    const char* bytes = ClipItemBytes(list, at, &length, &codePage);
    if (codePage == fileCodePage) {
        AddClipFileLine(file, bytes, length);  // exactly as read or typed
        return !file->failed;
    }
    if (fileCodePage != kCodePageUtf8) {
        *needsUtf8 = true;  // a UTF-8 entry in a code page 932 file
        return false;
    }
    char* converted = nullptr;
    int convertedLength = 0;
    if (!codec->convert(bytes, length, codePage, kCodePageUtf8, &converted, &convertedLength)) {
        return false;
    }
    AddClipFileLine(file, converted, convertedLength);
    free(converted);
    return !file->failed;
}

ClipFileBuild BuildClipFileLines(const ClipEditList* list, const ClipCodec* codec,
                                 ClipFileBytes* file, ClipFileLine** lines, int* count)
{
    StartClipFile(file, kEncoding932);
    if (lines) *lines = nullptr;
    if (count) *count = 0;
    if (list->count == 0) return kBuildEmpty;
    // A UTF-16 file was never read: whatever the items are, writing them
    // would put another encoding's bytes over lines nobody saw.
    if (list->encoding == kEncodingUtf16Bom || list->loaded.encoding == kEncodingUtf16Bom) {
        return kBuildFailed;
    }
    ClipFileLine* table = nullptr;
    if (lines) {
        if ((size_t)list->count > SIZE_MAX / sizeof(ClipFileLine)) return kBuildFailed;
        table = (ClipFileLine*)malloc(sizeof(ClipFileLine) * (size_t)list->count);
        if (!table) return kBuildFailed;
    }
    StartClipFile(file, list->encoding);
    const int fileCodePage = CodePageOf(list->encoding);
    ClipFileBuild result = kBuildDone;
    int written = 0;
    for (int i = 0; i < list->count; ++i) {
        // An empty entry is never written: the fields never make one.
        if (list->items[i].line < 0 && list->items[i].length == 0) continue;
        const int start = file->size;
        bool needsUtf8 = false;
        if (!AddItem(list, i, codec, fileCodePage, file, &needsUtf8)) {
            result = needsUtf8 ? kBuildNeedsUtf8 : kBuildFailed;
            break;
        }
        if (table) table[written] = ClipFileLine{start, file->size - start - 2};
        ++written;
    }
    if (result != kBuildDone) {
        free(table);
        FreeClipFile(file);
        return result;
    }
    if (lines) *lines = table;
    if (count) *count = written;
    return kBuildDone;
}

ClipFileBuild BuildClipFile(const ClipEditList* list, const ClipCodec* codec, ClipFileBytes* file)
{
    return BuildClipFileLines(list, codec, file, nullptr, nullptr);
}
