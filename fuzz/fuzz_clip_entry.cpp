// Extract, Split and Compose over arbitrary entries, titles and messages.
#include <stdio.h>
#include <stdlib.h>

#include "app_state.h"
#include "clip_entry.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string entry, other;
    SplitFuzzInput(data, size, &entry, &other);

    // Both code pages a text may be in; exact-size heap buffers, so that
    // AddressSanitizer sees any byte written past.
    const int codePage = (size > 0 && (data[0] & 1)) ? kCodePageUtf8 : kCodePage932;
    for (int room : {1, 2, 7, (int)kTextSize}) {
        char* text = (char*)malloc(room);
        int isFile = ExtractClipText(entry.c_str(), text, room, codePage);
        FUZZ_CHECK(isFile == 0 || isFile == 1);
        FUZZ_CHECK(strlen(text) < (size_t)room);
        FUZZ_CHECK(strlen(text) <= entry.size());

        char* title = (char*)malloc(room);
        char* message = (char*)malloc(room);
        SplitClipEntry(entry.c_str(), title, room, message, room, codePage);
        FUZZ_CHECK(strlen(title) < (size_t)room && strlen(message) < (size_t)room);
        FUZZ_CHECK(strlen(title) + strlen(message) <= entry.size() + 3);
        free(text);
        free(title);
        free(message);
    }

    char* composed = (char*)malloc(kTextSize);
    if (ComposeClipEntry(entry.c_str(), other.c_str(), composed, codePage)) {
        size_t length = strlen(composed);
        FUZZ_CHECK(length <= 1023);
        FUZZ_CHECK(!other.empty());

        // Read back: the round trip holds where the syntax allows it.
        bool plain = entry.find("/=") == std::string::npos &&
                     entry.find("/f=") == std::string::npos &&
                     other.find('"') == std::string::npos &&
                     other.find(' ') != 0 &&
                     (!entry.empty() || (other.find("/=") == std::string::npos &&
                                         other.find("/f=") == std::string::npos)) &&
                     // A file path holding "/=" is cut there by the split.
                     (other.compare(0, 3, "/f=") != 0 ||
                      other.find("/=", 3) == std::string::npos);
        EntryFault fault = CheckComposedEntry(entry.c_str(), other.c_str(), composed, codePage);
        if (plain && length < 1000) {
            char title[kTextSize], message[kTextSize];
            SplitClipEntry(composed, title, kTextSize, message, kTextSize, codePage);
            FUZZ_CHECK(entry == title);
            FUZZ_CHECK(other == message);
            // The copy reads a title that opens with a quote as a message.
            FUZZ_CHECK(fault.kind == kEntryStoredWhole || entry[0] == '"' ||
                       (fault.kind == kEntryLineBreak && (entry + other).find("\r\n") != std::string::npos));
        }
        // Every entry the editor refuses names its cause.
        FUZZ_CHECK(fault.kind != kEntryNotReadBack);
    } else {
        FUZZ_CHECK(other.empty());
    }
    free(composed);
    return 0;
}
