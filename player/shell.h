// shell.h - the player's frame: program-wide objects, the entry's start-up and message loop, the
// main window's dialog procedure and the commands that the shell handles itself.
//
// Objects and functions in this header:
//   mainForm, wavePath, waveFile, appInstance   program-wide objects
//   RunPlayer        start-up, message loop and shutdown (the body of the entry)
//   MainDialogProc   dialog procedure of the main window (dialog 101)
//   LayoutMainWindow, TimerTick, CarryMarkers, OpenCommand, OpenPath, ReloadCommand, WebSiteCommand
//   shellExecute     the shell call that opens the web address (replaceable by tests)
#pragma once

#include <windows.h>

#include "filer.h"
#include "form.h"
#include "strings.h"

// The main window, once it exists.
extern CForm mainForm;
// The path last chosen in the open dialog; survives Close and a failed load.
extern CString wavePath;
// The open WAVE file.
extern CFiler waveFile;
// The program's instance: resources, message texts and dialogs come from here.
extern HINSTANCE appInstance;

// The display name: the main window's title and so the caption of every message box.
#define PLAYER_DISPLAY_NAME "Orvandel"

// Main-window geometry, in pixels: the fixed height and the smallest width.
#define MAIN_WINDOW_HEIGHT    140
#define MAIN_WINDOW_MIN_WIDTH 340

// Runs the player on this thread: start-up, message loop until the main window closes, shutdown.
// Returns 0 (also when the position bar's class cannot be registered).
int RunPlayer(HINSTANCE instance);

// Returns 1 for the messages the main window handles, 0 for the others.
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Lays the controls out for the current width of the main window's client area.
void LayoutMainWindow();

// Carries the markers to the engine and, when new, the play position and time to the screen.
void TimerTick();

// Carries the bar's markers to the engine's copies (what every timer tick does first).
void CarryMarkers();

// Returns 1 when the chosen file is loaded; 0 when the dialog was cancelled or the load failed.
int OpenCommand();

// Opens the file at path as a choice in the open dialog does: the path is remembered, the old
// file closed, the new one loaded (and its remembered range restored when that option is on).
// Returns 1 when it is loaded; 0 when the load failed (after the loader's message).
int OpenPath(const char* path);

// Returns 1 when the remembered file is loaded again; 0 when there is none or the load failed.
int ReloadCommand();

// Returns 1 always; hands the web address to the shell unless the user answers No.
int WebSiteCommand();

// Returns 1 when the command identifier is one of the main window's commands and was carried out
// (whatever the command itself reported), 0 for an unknown identifier.
int DispatchCommand(UINT id);

// The shell function that opens the web address; ShellExecuteA unless a test puts its own here.
typedef HINSTANCE (WINAPI* ShellExecuteFunction)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
extern ShellExecuteFunction shellExecute;
