#include "app_state.h"

char m_CmdLine[kTextSize];
int m_CmdLineCodePage = kCodePage932;
char m_ClipText[kTextSize];
int m_ClipCodePage = kCodePage932;
char m_ExePath[kPathBytes];
char m_ExeDir[kPathBytes];
char m_ExeName[kNameBytes];
char m_LinkFolder[kPathBytes];
int m_ListCodePage = kCodePage932;

int m_AutoStart = 0;
int m_AutoExit = 0;
int m_ListLoaded = 0;
int m_PosX = 120;
int m_PosY = 64;
int m_SliderPos = 0;

ClipRect m_EditorRect;
ClipRect m_EditorListRect;

HINSTANCE__* m_hInstance = nullptr;
