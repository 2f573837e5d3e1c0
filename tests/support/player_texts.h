// player_texts.h - the player's Japanese resource texts as code-page-932 bytes, for the tests that
// read them back from the resources and from the windows built on them.
#pragma once

namespace playertext {

// Main menu: popups and items (the \x09 is the tab before the key name).
constexpr const char* kFilePopup = "\x83t\x83@\x83" "C\x83\x8B(&F)";  // ファイル(&F)
constexpr const char* kOpen = "\x8AJ\x82\xAD(&O)...\x09" "Ctrl + O";  // 開く(&O)...\tCtrl + O
constexpr const char* kClose = "\x95\xC2\x82\xB6\x82\xE9(&C)\x09" "Ctrl + C";  // 閉じる(&C)\tCtrl + C
constexpr const char* kReload = "\x83\x8A\x83\x8D\x81[\x83h(&R)\x09" "Ctrl + L";  // リロード(&R)\tCtrl + L
constexpr const char* kExit = "\x8FI\x97\xB9(&X)\x09" "Alt + F4";  // 終了(&X)\tAlt + F4
constexpr const char* kPlaybackPopup = "\x83v\x83\x8C\x83" "C\x83o\x83" "b\x83N(&P)";  // プレイバック(&P)
constexpr const char* kGotoBegin = "\x90\xE6\x93\xAA\x82\xD6\x88\xDA\x93\xAE(&H)\x09" "A";  // 先頭へ移動(&H)\tA
constexpr const char* kGotoStart =  // マーカー開始位置へ移動(&B)\tZ
    "\x83}\x81[\x83J\x81[\x8AJ\x8En\x88\xCA\x92u\x82\xD6\x88\xDA\x93\xAE(&B)\x09Z";
constexpr const char* kGotoEnd =  // マーカー終了位置へ移動(&E)\tX
    "\x83}\x81[\x83J\x81[\x8FI\x97\xB9\x88\xCA\x92u\x82\xD6\x88\xDA\x93\xAE(&E)\x09X";
constexpr const char* kStopAtStart =  // マーカー開始位置へ移動して停止(&T)\tV
    "\x83}\x81[\x83J\x81[\x8AJ\x8En\x88\xCA\x92u\x82\xD6\x88\xDA\x93\xAE\x82\xB5\x82\xC4\x92\xE2\x8E~(&T)\x09V";
constexpr const char* kPlayPause =  // 再生／一時停止(&P)\tSpace
    "\x8D\xC4\x90\xB6\x81^\x88\xEA\x8E\x9E\x92\xE2\x8E~(&P)\x09Space";
constexpr const char* kRepeat =  // マーカー範囲をリピート(&R)\tCtrl + R
    "\x83}\x81[\x83J\x81[\x94\xCD\x88\xCD\x82\xF0\x83\x8A\x83s\x81[\x83g(&R)\x09" "Ctrl + R";
constexpr const char* kStartEarlier =  // マーカー開始位置を 10ms 前へ(&1)\tCtrl + ←
    "\x83}\x81[\x83J\x81[\x8AJ\x8En\x88\xCA\x92u\x82\xF0 10ms \x91O\x82\xD6(&1)\x09" "Ctrl + \x81\xA9";
constexpr const char* kStartLater =  // マーカー開始位置を 10ms 後へ(&2)\tCtrl + →
    "\x83}\x81[\x83J\x81[\x8AJ\x8En\x88\xCA\x92u\x82\xF0 10ms \x8C\xE3\x82\xD6(&2)\x09" "Ctrl + \x81\xA8";
constexpr const char* kEndEarlier =  // マーカー終了位置を 10ms 前へ(&3)\tCtrl + Shift + ←
    "\x83}\x81[\x83J\x81[\x8FI\x97\xB9\x88\xCA\x92u\x82\xF0 10ms \x91O\x82\xD6(&3)\x09" "Ctrl + Shift + \x81\xA9";
constexpr const char* kEndLater =  // マーカー終了位置を 10ms 後へ(&4)\tCtrl + Shift + →
    "\x83}\x81[\x83J\x81[\x8FI\x97\xB9\x88\xCA\x92u\x82\xF0 10ms \x8C\xE3\x82\xD6(&4)\x09" "Ctrl + Shift + \x81\xA8";
constexpr const char* kRememberRanges =  // ファイルごとにマーカー範囲を記憶(&M)
    "\x83t\x83@\x83" "C\x83\x8B\x82\xB2\x82\xC6\x82\xC9\x83}\x81[\x83J\x81[\x94\xCD\x88\xCD\x82\xF0\x8BL\x89\xAF(&M)";
constexpr const char* kOptionsPopup = "\x83I\x83v\x83V\x83\x87\x83\x93(&O)";  // オプション(&O)
constexpr const char* kKeyUp = "\x83L\x81[ +1(&U)\x09+";  // キー +1(&U)\t+
constexpr const char* kKeyDown = "\x83L\x81[ -1(&D)\x09-";  // キー -1(&D)\t-
constexpr const char* kKeyClear = "\x83N\x83\x8A\x83" "A(&C)";  // クリア(&C)
constexpr const char* kVolumeUp = "\x89\xB9\x97\xCA +1(&I)\x09" "Ctrl + +";  // 音量 +1(&I)\tCtrl + +
constexpr const char* kVolumeDown = "\x89\xB9\x97\xCA -1(&F)\x09" "Ctrl + -";  // 音量 -1(&F)\tCtrl + -
constexpr const char* kVolumeClear = "\x83N\x83\x8A\x83" "A(&L)";  // クリア(&L)
constexpr const char* kSpeedUp = "\x91\xAC\x93x +5%(&S)\x09Shift + +";  // 速度 +5%(&S)\tShift + +
constexpr const char* kSpeedDown = "\x91\xAC\x93x -5%(&W)\x09Shift + -";  // 速度 -5%(&W)\tShift + -
constexpr const char* kSpeedClear = "\x83N\x83\x8A\x83" "A(&R)";  // クリア(&R)
constexpr const char* kKeepTempo =  // キー変更時にテンポを保持(&T)
    "\x83L\x81[\x95\xCF\x8DX\x8E\x9E\x82\xC9\x83" "e\x83\x93\x83|\x82\xF0\x95\xDB\x8E\x9D(&T)";
constexpr const char* kBarColors = "\x83o\x81[\x83J\x83\x89\x81[\x90\xDD\x92\xE8(F)...";  // バーカラー設定(F)...
constexpr const char* kHelpPopup = "\x83w\x83\x8B\x83v(&H)";  // ヘルプ(&H)
constexpr const char* kWebSite = "Web \x83T\x83" "C\x83g\x82\xC9\x90\xDA\x91\xB1(&W)...";  // Web サイトに接続(&W)...
constexpr const char* kAbout = "\x83o\x81[\x83W\x83\x87\x83\x93\x8F\xEE\x95\xF1(&A)...";  // バージョン情報(&A)...

// String table.
constexpr const char* kOpenFailed =  // 4: ファイルをオープン出来ませんでした。
    "\x83t\x83@\x83" "C\x83\x8B\x82\xF0\x83I\x81[\x83v\x83\x93\x8Fo\x97\x88\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5"
    "\x82\xBD\x81" "B";
constexpr const char* kNotWave =  // 6: このファイルは WAVE フォーマットではありません。
    "\x82\xB1\x82\xCC\x83t\x83@\x83" "C\x83\x8B\x82\xCD WAVE \x83t\x83H\x81[\x83}\x83" "b\x83g\x82\xC5\x82\xCD\x82\xA0"
    "\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81" "B";
constexpr const char* kDeviceFailed =  // 7: Wave デバイスをオープン出来ませんでした。
    "Wave \x83" "f\x83o\x83" "C\x83X\x82\xF0\x83I\x81[\x83v\x83\x93\x8Fo\x97\x88\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5"
    "\x82\xBD\x81" "B";
constexpr const char* kConnectQuestion =  // 8: インターネットへ接続します。よろしいですか？
    "\x83" "C\x83\x93\x83^\x81[\x83l\x83" "b\x83g\x82\xD6\x90\xDA\x91\xB1\x82\xB5\x82\xDC\x82\xB7\x81" "B\x82\xE6\x82\xEB"
    "\x82\xB5\x82\xA2\x82\xC5\x82\xB7\x82\xA9\x81H";
constexpr const char* kWebAddress = "https://velmora.example.org/";  // 9

// Dialogs.
constexpr const char* kDialogFont = "\x82l\x82r \x82o\x83S\x83V\x83" "b\x83N";  // ＭＳ Ｐゴシック
constexpr const char* kColorsTitle = "\x94z\x90" "F\x90\xDD\x92\xE8";  // 配色設定
constexpr const char* kAboutTitle = "\x83o\x81[\x83W\x83\x87\x83\x93\x8F\xEE\x95\xF1";  // バージョン情報
constexpr const char* kBkgLabel = "\x94w\x8Ci\x90" "F";  // 背景色
constexpr const char* kLineLabel = "\x83\x89\x83" "C\x83\x93\x90" "F";  // ライン色
constexpr const char* kBarLabel = "\x83}\x81[\x83J\x81[\x91O";  // マーカー前
constexpr const char* kMarkerLabel = "\x83}\x81[\x83J\x81[\x94\xCD\x88\xCD";  // マーカー範囲
constexpr const char* kSampleLabel = "\x83T\x83\x93\x83v\x83\x8B";  // サンプル
constexpr const char* kOkButton = "\x8C\x88\x92\xE8(&O)";  // 決定(&O)
constexpr const char* kCancelButton = "\x83L\x83\x83\x83\x93\x83Z\x83\x8B";  // キャンセル
constexpr const char* kAboutNotice =  // 耳コピのための WAVE プレーヤー  (C) velmora project
    "\x8E\xA8\x83R\x83s\x82\xCC\x82\xBD\x82\xDF\x82\xCC WAVE \x83v\x83\x8C\x81[\x83\x84\x81[  (C) velmora project";

// Display name: window title and message-box caption.
constexpr const char* kDisplayName = "Orvandel";

}  // namespace playertext
