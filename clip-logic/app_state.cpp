#include "app_state.h"

char m_CmdLine[kTextSize];
char m_ClipText[kTextSize];
char m_ClipTitle[kTextSize];
char m_ExePath[kPathSize];
char m_ExeDir[kPathSize];
char m_ExeName[kNameSize];
char m_LinkFolder[kPathSize];

int m_AutoStart = 0;
int m_AutoExit = 0;
int m_ListLoaded = 0;
int m_PosX = 120;
int m_PosY = 64;
int m_SliderPos = 0;

ClipRect m_EditorRect;
ClipRect m_EditorListRect;

HINSTANCE__* m_hInstance = nullptr;
