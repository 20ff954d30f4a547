// The clip list line splitter over arbitrary bytes in arbitrary chunkings,
// compared with a plain reference split of the same bytes.
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "bounded_text.h"
#include "clip_lines.h"
#include "fuzz_input.h"

static void CollectLine(const char* line, void* context)
{
    std::string copy = line;
    FUZZ_CHECK(copy.size() <= (size_t)kClipLineMax);
    static_cast<std::vector<std::string>*>(context)->push_back(copy);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    // The first byte chooses the chunking: a fixed size of 1..127, or, for
    // values above 127, sizes that vary with the data itself.
    unsigned mode = data[0];
    std::string bytes;
    for (size_t i = 1; i < size; ++i)
        if (data[i]) bytes.push_back((char)data[i]);  // zero bytes end a chunk's text

    // A long file is made of the input repeated, so lines over the window's
    // size turn up often.
    std::string file = bytes;
    if (mode & 1) while (file.size() < 3000 && !bytes.empty()) file += bytes;

    // The second bit chooses the file's code page.
    const int codePage = (mode & 2) ? kCodePageUtf8 : kCodePage932;
    ClipLineSplitter splitter;
    StartClipLines(&splitter, codePage);
    std::vector<std::string> lines;
    size_t at = 0, step = 0;
    while (at < file.size()) {
        size_t chunk = mode <= 127 ? (mode ? mode : 1)
                                   : 1 + ((unsigned char)file[step++ % file.size()] % 127);
        if (chunk > file.size() - at) chunk = file.size() - at;
        FeedClipLines(&splitter, file.data() + at, (int)chunk, CollectLine, &lines);
        at += chunk;
    }

    // Reference: every CR LF ends a line, text after the last one is dropped,
    // a line longer than the limit is cut on a character boundary.
    std::vector<std::string> expected;
    size_t start = 0, end;
    while ((end = file.find("\r\n", start)) != std::string::npos) {
        std::string line = file.substr(start, end - start);
        if (line.size() > (size_t)kClipLineMax)
            line.resize(CutLength(line.data(), (int)line.size(), kClipLineMax, codePage));
        expected.push_back(line);
        start = end + 2;
    }
    FUZZ_CHECK(lines.size() == expected.size());
    for (size_t i = 0; i < lines.size(); ++i) FUZZ_CHECK(lines[i] == expected[i]);
    return 0;
}
