// Every text the program shows the user, in one place. Sources are UTF-8;
// the compiler turns these literals into code page 932 bytes, and the
// program shows them through an explicit code page 932 conversion, so they
// read the same on any system code page.
#pragma once

#define kTitleConfirm          "確認"
#define kTitleFailure          "失敗"

#define kCommandLineTooLong    "コマンドライン指定が長すぎます"
#define kFileNotFound          "指定ファイルがありません"
#define kMemoryFailed          "メモリ確保に失敗しました"
#define kClipboardFailed       "クリップボードへのコピーに失敗しました"
#define kClipListSaveFailed    "クリップリストの保存に失敗しました"
#define kEditorCloseQuestion   "クローズしてもよろしいですか"
#define kClipListNotRead       "クリップリストを読み込めませんでした。\r\n他のプログラムが使用中の可能性があります。\r\nこのままでは保存できません。"
#define kClipListNotSaved      "クリップリストを読み込めなかったため、保存しません。\r\n元のファイルはそのままです。"
#define kClipListUtf16         "クリップリストが UTF-16 形式のため読み込めません。\r\nUTF-8 または Shift_JIS で保存し直してください。\r\nこのファイルは上書きされません。"
#define kClipListUtf8Question  "クリップリストに Shift_JIS で保存できない文字があります。\r\nクリップリストを今後 UTF-8 で保存しますか?\r\n(いいえ: 保存せずに編集を続けます)"
#define kClipListPathTooLong   "プログラムのフォルダのパスが長すぎるため、クリップリストを読み込めません。\r\nより浅いフォルダから起動してください。"
#define kClipListReadPartly    "クリップリストを最後まで読み込めませんでした。\r\n読み込めた項目だけを表示しています。"
#define kClipListNotOpened     "クリップリストを開けませんでした。\r\n他のプログラムが使用中か、読み取りが許可されていない可能性があります。"
#define kClipListTooLarge      "クリップリストが大きすぎるため読み込めません。\r\nこのファイルは上書きされません。"
#define kClipListOldCopyKept   "クリップリストを保存しましたが、元のリストのコピーを削除できませんでした。\r\n %s\r\n不要であれば削除してください。"
#define kClipListLeftAside     "クリップリストの保存に失敗しました。\r\n元のリストを元の名前に戻せなかったため、次の場所にあります。\r\n %s"
#define kClipListReloadFailed  "保存したクリップリストを読み込み直せませんでした。\r\n表示中のリストは保存前のものです。"
#define kClipListEmptyNotSaved "クリップリストが空のため保存しません。\r\n元のファイルはそのままです。"
#define kClipListMerged        "クリップリストは編集中に他のプログラムによって変更されていました。\r\n変更した項目が重ならないため、両方の変更を合わせて保存しました。"
#define kClipListCollision     "クリップリストは編集中に他のプログラムによって変更されていて、\r\nこの編集と同じ箇所が変更されています。\r\n\r\nはい: 両方を残す (他のプログラムの内容に、追加・変更した項目を加えます)\r\nいいえ: この編集内容で上書きする (他のプログラムの変更は失われます)\r\nキャンセル: 保存せずに編集に戻る"
#define kClipListDiskUnreadable "クリップリストを今は読み込めないため、保存しませんでした。\r\n他のプログラムが使用中の可能性があります。\r\n編集内容はそのままです。"
// The save's questions and reports about the list on disk as it is now.
#define kClipListReadsAsUtf8Question "この内容を Shift_JIS のまま保存すると、次に読み込むときに UTF-8 として読まれ、\r\n別の文字になってしまいます。\r\nクリップリストを今後 UTF-8 で保存しますか?\r\n(いいえ: 保存せずに編集を続けます)"
#define kClipListTheyMovedToUtf8 "クリップリストは編集中に他のプログラムによって UTF-8 で保存されていました。\r\n両方の変更を合わせるには、この編集内容も UTF-8 で保存する必要があります。\r\nクリップリストを今後 UTF-8 で保存しますか?\r\n(いいえ: 保存せずに編集を続けます)"
#define kClipListGoneQuestion  "クリップリストは編集中に削除されたか、空にされていました。\r\n編集中のリスト全体を保存しますか?\r\n(いいえ: 保存せずに編集を続けます)"
#define kClipListMergedOldCopyKept "クリップリストは編集中に他のプログラムによって変更されていました。\r\n両方の変更を合わせて保存しましたが、元のリストのコピーを削除できませんでした。\r\n %s\r\n不要であれば削除してください。"
#define kClipListIsFolder      "クリップリストと同じ名前のフォルダがあるため、保存しませんでした。\r\n編集内容はそのままです。"
#define kClipListGrewTooLarge  "クリップリストが大きすぎて読み込めないため、保存しませんでした。\r\nこのファイルは上書きされません。編集内容はそのままです。"
#define kClipListDiskReadFailed "クリップリストを最後まで読み込めなかったため、保存しませんでした。\r\n編集内容はそのままです。"
#define kClipListBecameUtf16   "クリップリストが UTF-16 形式で保存されているため、保存しませんでした。\r\nこのファイルは上書きされません。編集内容はそのままです。"
#define kClipListKeepsChanging "クリップリストが他のプログラムによって変更され続けているため、保存しませんでした。\r\n編集内容はそのままです。しばらくしてから保存し直してください。"
#define kClipListTheirsNoText  "他のプログラムが保存したクリップリストに、この編集内容と同じ形式で書けない行があるため、\r\n保存しませんでした。編集内容はそのままです。"
#define kClipListLongInUtf8    "UTF-8 では 1023 バイトを超えて途中で切れてしまう行が %d 行あるため、\r\nクリップリストを UTF-8 に切り替えられません。\r\n最初の行: %s\r\nこれらの行を短くするか削除してから保存してください。"
#define kClipListNoTextLines   "Shift_JIS の文字として読めないバイトを含む行が %d 行あるため、\r\nクリップリストを UTF-8 に切り替えられません。\r\n最初の行: %s\r\nこれらの行を編集するか削除してから保存してください。"
#define kProgramPathTooLong    "プログラムのパスが長すぎます。\r\nクリップリストとショートカット作成は使えません。"

// The editor's refusals: an entry that would not read back as typed. The
// list has no way to write these characters inside a title or a message.
#define kEntryCharRefused      "%sに「%s」は使えません。\r\nクリップリストに書くと入力どおりに読み戻せないため、\r\n追加・上書きしませんでした。"
#define kEntryLineBreakRefused "タイトルとクリップメッセージに改行は使えません。\r\nクリップリストでは改行が項目の区切りになるため、\r\n追加・上書きしませんでした。"
#define kEntryTooLongRefused   "タイトルとクリップメッセージが長すぎます。\r\n項目は 1023 バイトまでです。\r\n追加・上書きしませんでした。"
#define kEntryNotReadBack      "この項目は入力どおりに読み戻せないため、\r\n追加・上書きしませんでした。"
#define kFieldTitle            "タイトル"
#define kFieldTitleStart       "タイトルの先頭"
#define kFieldMessage          "クリップメッセージ"
#define kFieldUntitledMessage  "タイトルのないクリップメッセージ"
#define kFieldFilePath         "ファイルのパス"

#define kShortcutNameFormat    "%sのショートカット"
#define kShortcutSuffix        "のショートカット"
#define kFolderAccessFailed    "作成場所にアクセスできません。\r\n %s\r\n"
#define kOverwriteQuestion     "同一ファイル名が存在します。\r\n ... %s\r\n上書きしてよろしいですか?"
#define kBadShortcutName       "ショートカット名に使えない名前です。\r\n %s\r\n"
// The shortcut maker's refusals: a command line that the program would read
// as something else than the dialog shows.
#define kShortcutCharRefused   "%sに「%s」は使えません。\r\nコマンドラインでは入力どおりに読み取れないため、\r\nショートカットは作成しませんでした。"
#define kShortcutTooLong       "メッセージとオプションが長すぎます。\r\nコマンドラインは 1023 バイトまでです。\r\nショートカットは作成しませんでした。"
#define kShortcutNotReadBack   "このコマンドラインは入力どおりに読み取れないため、\r\nショートカットは作成しませんでした。"
#define kShortcutLeadingBlanks "メッセージの先頭に空白は使えません。\r\nコマンドラインから読むと先頭の空白は読み飛ばされるため、\r\nショートカットは作成しませんでした。"
#define kShortcutCopiesNothing "空白だけのメッセージや、パスのない /f= では\r\nショートカットは何もコピーしないため、\r\nショートカットは作成しませんでした。"
#define kShortcutBadPosition   "%s「%s」は 0 以上の半角数字で指定してください。\r\nコマンドラインでは入力どおりに読み取れないため、\r\nショートカットは作成しませんでした。"
#define kFieldShortcutMessage  "メッセージ"
#define kFieldPosition         "表示位置"
#define kShortcutFailed        " ショートカット作成に失敗しました。( ErrorCode = 0x%X )\r\nショートカット = %s\r\nリンク先 = %s\r\nコマンド = %s\r\n作業フォルダ = %s\r\n"

#define kTextFileFilter        "テキスト(*.txt;*.htm;*.html)\0*.txt;*.htm;*.html\0全て(*.*)\0*.*\0"
#define kTextFileDialogTitle   "クリップテキストファイル選択"
#define kFolderChooserPreset   "現在開いているフォルダを指定する"
#define kFolderChooserTitle    "ショートカット作成場所の指定"
