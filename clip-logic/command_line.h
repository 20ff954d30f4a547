// Command line options: /g, /e, /x=, /y=, /m= and /f=.
#pragma once

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

// Reads m_CmdLine into m_ClipText (in m_CmdLine's code page), m_AutoStart,
// m_AutoExit, m_PosX, m_PosY.
void ParseCommandLine();

// The argument text for a shortcut, in the syntax ParseCommandLine reads,
// into out (room for 1024 bytes).
// All texts are in codePage.
void ComposeShortcutArguments(const char* message, int start, int exit,
                              int position, const char* xText,
                              const char* yText, char* out,
                              int codePage = kCodePage932);
