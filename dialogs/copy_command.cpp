#include "copy_command.h"

#include "app_state.h"
#include "clip_list_file.h"
#include "main_entry.h"
#include "message_box.h"
#include "messages.h"
#include "resource.h"

void FinishCopy(HWND mainDialog, CopyResult result)
{
    if (result == kCopyDone) {
        MessageBeep(MB_ICONASTERISK);
        if (m_AutoExit == 1) PostMessageW(mainDialog, WM_CLOSE, 0, 0);
        return;
    }
    // No owner: the message also shows when the main dialog is hidden or
    // about to close. Only OK can be pressed.
    switch (result) {
    // A file that could not be read whole (held by a writer, or changed
    // since its size was taken) is as unreadable to the user as a missing one.
    case kCopyFileNotFound:
    case kCopyReadFailed: ShowMessage(NULL, kFileNotFound, kTitleConfirm, MB_OK); break;
    case kCopyNoMemory: ShowMessage(NULL, kMemoryFailed, kTitleConfirm, MB_OK); break;
    // Neither the success beep nor the automatic exit may deceive the user.
    case kCopyClipboardFailed: ShowMessage(NULL, kClipboardFailed, kTitleFailure, MB_OK); break;
    default: break;  // nothing to copy: no message
    }
}

void CopyClipText(HWND mainDialog)
{
    ItemText entry;
    CopyResult result = kCopyNothing;
    if (!TakeMainEntry(GetDlgItem(mainDialog, IDC_CLIP_COMBO), &entry)) {
        // Without room for the entry there is nothing to copy.
        result = kCopyNoMemory;
    } else if (entry.length > 0) {
        result = CopyEntry(entry.Bytes(), entry.codePage, mainDialog);
    }
    FinishCopy(mainDialog, result);
}
