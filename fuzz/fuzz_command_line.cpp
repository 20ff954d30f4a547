// The command line parse and the shortcut argument composition over
// arbitrary texts.
#include <stdio.h>
#include <stdlib.h>

#include "app_state.h"
#include "command_line.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string arguments, other;
    SplitFuzzInput(data, size, &arguments, &other);

    m_AutoStart = m_AutoExit = 0;
    int taken = TakeCommandLine(arguments.c_str());
    FUZZ_CHECK(taken == (arguments.size() >= 1024 ? -1 : 0));
    ParseCommandLine();
    FUZZ_CHECK(strlen(m_ClipText) <= 1023);
    FUZZ_CHECK(m_PosX >= 0 && m_PosY >= 0);
    FUZZ_CHECK(m_AutoStart == 0 || m_ClipText[0] != '\0');

    // Compose with the parsed text as message and the rest as position texts.
    char* out = (char*)malloc(kTextSize);
    size_t half = other.size() / 2;
    std::string x = other.substr(0, half), y = other.substr(half);
    std::string message = arguments.substr(0, 1023);
    ComposeShortcutArguments(message.c_str(), size & 1, size & 2, size & 4, x.c_str(),
                             y.c_str(), out);
    FUZZ_CHECK(strlen(out) <= 1023);
    FUZZ_CHECK(out[0] != ' ');
    // Every shortcut the dialog refuses names its cause.
    ArgumentsFault fault = CheckShortcutArguments(message.c_str(), size & 1, size & 2, size & 4,
                                                  x.c_str(), y.c_str(), out);
    FUZZ_CHECK(fault.kind != kArgumentsNotReadBack);
    // Every shortcut it lets through copies exactly what the dialog shows:
    // the message, or the path of the file.
    if (fault.kind == kArgumentsReadWhole) {
        char copied[kTextSize];
        const int isFile = StartCopyText(out, kCodePage932, copied, kTextSize);
        const bool file = message.compare(0, 3, "/f=") == 0;
        if (message.empty()) {
            FUZZ_CHECK(copied[0] == '\0');
        } else {
            FUZZ_CHECK(isFile == (file ? 1 : 0));
            FUZZ_CHECK(message.substr(file ? 3 : 0) == copied);
        }
    }

    // What the shortcut dialog composes from a quote-free message must read
    // back as that message with both flags set, unless the message itself
    // holds an option that the parse finds inside the quotes.
    if (message.find('"') == std::string::npos && !message.empty() &&
        message.size() < 900 && message.find("/m=") == std::string::npos &&
        message.find("/f=", 1) == std::string::npos) {
        ComposeShortcutArguments(message.c_str(), 1, 1, 0, "", "", out);
        m_AutoStart = m_AutoExit = 0;
        FUZZ_CHECK(TakeCommandLine(out) == 0);
        ParseCommandLine();
        FUZZ_CHECK(m_AutoStart == 1 && m_AutoExit == 1);
        // A message holding "/=" goes after an empty title.
        std::string expected = message.compare(0, 3, "/f=") == 0
                                   ? "/f=\"" + message.substr(3) + "\""
                               : message.find("/=") != std::string::npos ? "/=" + message
                                                                         : message;
        FUZZ_CHECK(expected == m_ClipText);
    }
    free(out);
    return 0;
}
