#include "clip_list_model.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

// A list the program can show is far smaller; the limit keeps every size
// and offset an int.
static const int kMaxFileBytes = 1 << 30;

// Grows a byte buffer to hold `need` bytes: by half again at least, so that
// bytes added piece by piece are copied a bounded number of times, and
// exactly to `need` the first time, so that a file read in one piece is
// held once, without room to spare.
static bool Reserve(char** bytes, int* capacity, int need)
{
    if (need > kMaxFileBytes) return false;
    if (need <= *capacity) return true;
    // Half again, counted so that it cannot pass the limit (nor an int).
    int grown = *capacity / 2 <= kMaxFileBytes - *capacity ? *capacity + *capacity / 2
                                                          : kMaxFileBytes;
    if (grown < need) grown = need;
    char* moved = (char*)realloc(*bytes, (size_t)grown);
    if (!moved) return false;
    *bytes = moved;
    *capacity = grown;
    return true;
}

void StartClipList(ClipListModel* model)
{
    model->bytes = nullptr;
    model->size = 0;
    model->capacity = 0;
    model->lines = nullptr;
    model->count = 0;
    model->encoding = kEncoding932;
}

char* ClipListRoom(ClipListModel* model, int want)
{
    if (want < 0 || want > kMaxFileBytes - model->size) return nullptr;
    // A byte at least, so that even an empty read has a place to go.
    if (!Reserve(&model->bytes, &model->capacity, model->size + (want > 0 ? want : 1))) {
        return nullptr;
    }
    return model->bytes + model->size;
}

void CommitClipListBytes(ClipListModel* model, int got)
{
    if (got > 0 && got <= model->capacity - model->size) model->size += got;
}

// The line that starts at `at`: up to the first CR LF, or to `end`.
static const char* LineEnd(const char* at, const char* end)
{
    const char* cr = at;
    while ((cr = (const char*)memchr(cr, '\r', (size_t)(end - cr))) != nullptr) {
        if (cr + 1 < end && cr[1] == '\n') return cr;
        ++cr;
    }
    return end;
}

bool FinishClipList(ClipListModel* model)
{
    free(model->lines);
    model->lines = nullptr;
    model->count = 0;
    model->encoding = DetectEncoding(model->bytes, model->size);
    if (model->encoding == kEncodingUtf16Bom) return true;  // not read: no lines
    if (model->size == 0) return true;
    // The bytes are kept as long as the list is shown: no room to spare.
    if (model->capacity > model->size) {
        char* fitted = (char*)realloc(model->bytes, (size_t)model->size);
        if (fitted) {
            model->bytes = fitted;
            model->capacity = model->size;
        }
    }

    // Two passes, so that the table is allocated once at its exact size:
    // a line takes one entry, whatever its length.
    const char* start = model->bytes + MarkLength(model->encoding);
    const char* end = model->bytes + model->size;
    int count = 0;
    for (const char* at = start; at < end; ++count) {
        const char* lineEnd = LineEnd(at, end);
        at = lineEnd == end ? end : lineEnd + 2;  // a rest after the last CR LF is a line too
    }
    if (count == 0) return true;
    // A file of 1 GiB can hold 2^29 lines: their table would pass 4 GiB,
    // which a 32-bit size_t counts as a few bytes.
    size_t tableBytes = 0;
    if (!ClipLineTableBytes(count, &tableBytes)) return false;
    model->lines = (ClipLine*)malloc(tableBytes);
    if (!model->lines) return false;
    for (const char* at = start; at < end; ++model->count) {
        const char* lineEnd = LineEnd(at, end);
        model->lines[model->count].bytes = at;
        model->lines[model->count].length = (int)(lineEnd - at);
        at = lineEnd == end ? end : lineEnd + 2;
    }
    return true;
}

bool ClipLineTableBytes(int count, size_t* bytes)
{
    if (count < 0 || (size_t)count > SIZE_MAX / sizeof(ClipLine)) return false;
    *bytes = sizeof(ClipLine) * (size_t)count;
    return true;
}

bool ReadClipList(ClipListModel* model, const char* bytes, int size)
{
    StartClipList(model);
    char* room = ClipListRoom(model, size);
    if (!room) return false;
    if (size > 0) memcpy(room, bytes, (size_t)size);
    CommitClipListBytes(model, size);
    return FinishClipList(model);
}

void FreeClipList(ClipListModel* model)
{
    free(model->bytes);
    free(model->lines);
    StartClipList(model);
}

int ClipLineShownLength(const ClipLine* line, int codePage)
{
    int length = line->length;
    const void* zero = memchr(line->bytes, '\0', (size_t)length);
    if (zero) length = (int)((const char*)zero - line->bytes);
    return CutLength(line->bytes, length, kClipShownMax, codePage);
}

// --- Writing ---------------------------------------------------------------------

static void Append(ClipFileBytes* file, const char* bytes, int length)
{
    if (file->failed || length <= 0) return;
    if (length > kMaxFileBytes - file->size ||
        !Reserve(&file->bytes, &file->capacity, file->size + length)) {
        file->failed = true;
        return;
    }
    memcpy(file->bytes + file->size, bytes, (size_t)length);
    file->size += length;
}

void StartClipFile(ClipFileBytes* file, TextFileEncoding encoding)
{
    file->bytes = nullptr;
    file->size = 0;
    file->capacity = 0;
    file->failed = false;
    if (encoding == kEncodingUtf8Bom) Append(file, "\xEF\xBB\xBF", 3);
}

void AddClipFileLine(ClipFileBytes* file, const char* bytes, int length)
{
    Append(file, bytes, length);
    Append(file, "\r\n", 2);
}

void FreeClipFile(ClipFileBytes* file)
{
    free(file->bytes);
    file->bytes = nullptr;
    file->size = file->capacity = 0;
}
