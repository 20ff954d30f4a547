#pragma once
#include <windows.h>

// Reads the text of a dialog's field into a buffer of `size` bytes. A longer
// text is cut to fit: the terminator goes right after the bytes the control
// delivered (some edit controls leave the byte before their own terminator
// unwritten when they stop short of a double-byte character), and a lead
// byte the cut left without its trail byte goes too.
void ReadDialogField(HWND dialog, int id, char* text, int size);
