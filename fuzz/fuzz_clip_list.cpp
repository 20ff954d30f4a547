// The clip list model over any bytes: read and written back without an
// edit it gives the same bytes (a CR LF added after an unterminated last
// line aside), and one edit changes only its own line.
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "clip_list_model.h"
#include "fuzz_input.h"

static std::string WriteBack(const ClipListModel& model, int edited, const std::string& edit)
{
    ClipFileBytes file;
    StartClipFile(&file, model.encoding);
    for (int i = 0; i < model.count; ++i) {
        if (i == edited) {
            AddClipFileLine(&file, edit.data(), (int)edit.size());
        } else {
            AddClipFileLine(&file, model.lines[i].bytes, model.lines[i].length);
        }
    }
    FUZZ_CHECK(!file.failed);
    std::string bytes(file.bytes ? file.bytes : "", (size_t)file.size);
    FreeClipFile(&file);
    return bytes;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte picks the line to edit and how long the edit is.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ClipListModel model;
    FUZZ_CHECK(ReadClipList(&model, bytes.data(), (int)bytes.size()));
    if (model.encoding == kEncodingUtf16Bom) {
        FUZZ_CHECK(model.count == 0);
        FreeClipList(&model);
        return 0;
    }

    for (int i = 0; i < model.count; ++i) {
        const int shown = ClipLineShownLength(&model.lines[i], CodePageOf(model.encoding));
        FUZZ_CHECK(shown >= 0 && shown <= kClipShownMax && shown <= model.lines[i].length);
    }

    std::string expected = bytes;
    const bool unterminated = !bytes.empty() && bytes.size() > (size_t)MarkLength(model.encoding) &&
                              bytes.compare(bytes.size() - (bytes.size() >= 2 ? 2 : 1),
                                            std::string::npos, "\r\n") != 0;
    if (unterminated) expected += "\r\n";
    FUZZ_CHECK(WriteBack(model, -1, "") == expected);

    if (model.count > 0 && size > 0) {
        const int edited = data[0] % model.count;
        std::string edit = "edit" + std::to_string(data[0]);
        // The expected file: the same lines with only that one replaced.
        std::string lines;
        const std::string mark = bytes.substr(0, (size_t)MarkLength(model.encoding));
        for (int i = 0; i < model.count; ++i) {
            if (i == edited) lines += edit;
            else lines.append(model.lines[i].bytes, (size_t)model.lines[i].length);
            lines += "\r\n";
        }
        FUZZ_CHECK(WriteBack(model, edited, edit) == mark + lines);
        // ... and it reads back as the same number of lines.
        ClipListModel again;
        std::string written = WriteBack(model, edited, edit);
        FUZZ_CHECK(ReadClipList(&again, written.data(), (int)written.size()));
        FUZZ_CHECK(again.count == model.count || again.encoding != model.encoding);
        FreeClipList(&again);
    }
    FreeClipList(&model);
    return 0;
}
