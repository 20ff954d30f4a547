// The library's path split over arbitrary paths: no item outgrows its
// 260-byte buffer, and the pieces come from the path.
#include <stdio.h>
#include <stdlib.h>

#include "bounded_text.h"
#include "fuzz_input.h"
#include "path_split_core.h"

static bool IsLead(unsigned char byte)
{
    return IsLeadByte932(byte);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path, unused;
    SplitFuzzInput(data, size, &path, &unused);

    SplitStore* store = (SplitStore*)malloc(sizeof(SplitStore));
    SplitPathInto(path.c_str(), IsLead, store);
    FUZZ_CHECK(strlen(store->path) < sizeof store->path);
    FUZZ_CHECK(strlen(store->drive) < sizeof store->drive);
    FUZZ_CHECK(strlen(store->directory) < sizeof store->directory);
    FUZZ_CHECK(strlen(store->fileName) < sizeof store->fileName);
    FUZZ_CHECK(strlen(store->extension) < sizeof store->extension);

    for (int item = -1; item <= 7; ++item) {
        char* out = (char*)malloc(kSplitItemSize);
        memset(out, 'U', kSplitItemSize);
        int result = FormSplitItem(store, item, IsLead, out);
        if (item < 0 || item > 6) {
            FUZZ_CHECK(result == -1);
            FUZZ_CHECK(out[0] == 'U');
        } else {
            FUZZ_CHECK(result == 0);
            FUZZ_CHECK(strnlen(out, kSplitItemSize) < (size_t)kSplitItemSize);
            if (path.size() < 260) FUZZ_CHECK(strlen(out) <= path.size());
        }
        free(out);
    }
    if (path.size() < 260) FUZZ_CHECK(path == store->path);
    free(store);
    return 0;
}
