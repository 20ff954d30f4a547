// What the fault tests that start the real program share.
#pragma once

// Generous: Wine can be slow to show a first window on a busy machine.
const int kWindowWait = 20000;

// The list each test starts from; 表 and ソ end in the byte 0x5C.
const char kClipData[] =
    "お世話になっております。\r\n"
    "Greeting/=\"Good morning\"\r\n"
    "表ソ\r\n";

const char kEditorCaption[] = "クリップメッセージ編集";
