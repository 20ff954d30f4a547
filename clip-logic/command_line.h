// Command line options: /g, /e, /x=, /y=, /m= and /f=.
#pragma once

// Takes the argument part of the process command line into m_CmdLine.
// Returns 0; or -1 when it has 1024 bytes or more, leaving m_CmdLine empty:
// the caller then shows kCommandLineTooLong and starts with defaults.
int TakeCommandLine(const char* arguments);

// Reads m_CmdLine into m_ClipText, m_AutoStart, m_AutoExit, m_PosX, m_PosY.
void ParseCommandLine();

// The argument text for a shortcut, in the syntax ParseCommandLine reads,
// into out (room for 1024 bytes).
void ComposeShortcutArguments(const char* message, int start, int exit,
                              int position, const char* xText,
                              const char* yText, char* out);
