// Command line options: /g, /e, /x=, /y=, /m= and /f=.
#pragma once

#include "app_state.h"
#include "text_encoding.h"

// Takes the argument part of the process command line, in codePage, into
// m_CmdLine. Returns 0; or -1 when it has 1024 bytes or more, leaving
// m_CmdLine empty: the caller then shows kCommandLineTooLong and starts
// with defaults.
int TakeCommandLine(const char* arguments, int codePage = kCodePage932);

// The argument part of a whole command line: the program's name (quoted or
// up to the first blank or tab) and the blanks after it skipped, as the
// system's own start-up code does.
const wchar_t* SkipProgramName(const wchar_t* commandLine);

// What a command line asks for, as the options read: the text (a message,
// or a file reference /f="path"), whether /g and /e occur (automatic start
// is not yet dropped for an empty text), and the window position.
struct StartOptions {
    char clipText[kTextSize];
    int autoStart;
    int autoExit;
    int posX;
    int posY;
};

// Reads a command line (bytes in codePage, at most 1023 of them).
void ReadStartOptions(const char* line, int codePage, StartOptions* options);

// Reads m_CmdLine into m_ClipText (in m_CmdLine's code page), m_AutoStart,
// m_AutoExit, m_PosX, m_PosY.
void ParseCommandLine();

// What a start with this command line copies, the one-click start at once
// and any other start at the copy of its preset text: the command line's
// text (ReadStartOptions) read by the entry rules (ExtractClipText), as the
// copy takes it. Gives the message, or the path of the file, in text (room
// for textSize bytes; empty when nothing would be copied) and returns the
// file flag, 1 for a file.
int StartCopyText(const char* line, int codePage, char* text, int textSize);

// The argument text for a shortcut, in the syntax ParseCommandLine reads,
// into out (room for 1024 bytes). A message that holds "/=" or "/f=" is
// written after an empty title, /m="/=message", so that the copy takes it
// whole (StartCopyText). Longer than 1023 bytes, the message is shortened;
// CheckShortcutArguments says so. All texts are in codePage.
void ComposeShortcutArguments(const char* message, int start, int exit,
                              int position, const char* xText,
                              const char* yText, char* out,
                              int codePage = kCodePage932);

// Why a composed argument text would start the program with something other
// than the shortcut dialog showed. Option markers are found anywhere in a
// command line, inside a quoted value too, and a value cannot hold a quote.
enum ArgumentsFaultKind {
    kArgumentsReadWhole = 0,   // the program reads back exactly the choices
    kArgumentsTooLong,         // more than the 1023 bytes of a command line
    kArgumentsMarkInMessage,   // a double quote or an option in the message,
                               // or "/=" in the path of a file
    kArgumentsMarkInPosition,  // an option in a position text
    kArgumentsLeadingBlanks,   // blanks before the text, which the copy skips
    kArgumentsCopiesNothing,   // blanks alone, or "/f=" without a path
    kArgumentsBadPosition,     // a position text that is no plain number
    kArgumentsNotReadBack,     // any other difference
};

struct ArgumentsFault {
    ArgumentsFaultKind kind;
    const char* mark;  // the character or option at fault ("/x=" or "/y=" for a
                       // position), or null
};

// Reads arguments that ComposeShortcutArguments made from the same inputs
// back the whole way a start takes them (command line, its text, the entry
// rules: StartCopyText) and compares the text that would be copied, the
// file flag, the flags and the position with what the dialog shows: the
// message (or the path), the boxes, and the number each position text
// stands for as typed (ASCII digits alone). The length limit is checked on
// the arguments as composed, before they are cut to fit: the texts are to
// be whole, never cut to a field's size.
ArgumentsFault CheckShortcutArguments(const char* message, int start, int exit,
                                      int position, const char* xText,
                                      const char* yText, const char* arguments,
                                      int codePage = kCodePage932);
