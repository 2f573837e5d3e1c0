// player_driver.h - helpers for a test thread that drives the player's windows while another
// thread (the one that owns them) runs their message loop: finding windows, waiting for a state,
// clicking buttons, reading pixels and typing keys.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "harness_util.h"

namespace playerdrive {

// Polls cond() every few milliseconds until it holds or timeoutMs passes; returns whether it held.
// Meant for a thread without windows: it does not pump messages.
bool WaitFor(const std::function<bool()>& cond, DWORD timeoutMs = 10000);

// Returns the visible top-level windows of the process (0: this process) whose class and title
// match (null: any), newest first as EnumWindows lists them.
std::vector<HWND> FindTopWindows(const char* className, const char* title, DWORD processId = 0);

// Waits for a visible top-level window of the process with the class and title (null: any) whose
// owner is the given window (null: any owner); returns it, or null after timeoutMs.
HWND WaitForWindow(const char* className, const char* title, HWND owner = 0, DWORD timeoutMs = 10000,
                   DWORD processId = 0);

// Waits until the window no longer exists or is hidden; returns whether that happened in time.
bool WaitForWindowGone(HWND window, DWORD timeoutMs = 10000);

// The one window-text and class-name reader of the tests.
using testutil::WindowClass;
using testutil::WindowText;

// Posts the WM_COMMAND that a click on the dialog's button (or notifying static) sends.
void Click(HWND dialog, int id, WORD notification = BN_CLICKED);

// Returns the colour of a pixel of the window's client area as painted on the screen.
COLORREF Pixel(HWND window, int x, int y);

// Waits until the client pixel has the colour; returns whether it got it (the last colour seen
// goes to *seen).
bool WaitForPixel(HWND window, int x, int y, COLORREF color, COLORREF* seen, DWORD timeoutMs = 5000);

// Returns the window's client size.
SIZE ClientSize(HWND window);

// Where the child with the id sits in its parent's client area.
RECT ChildRect(HWND parent, int id);

// Returns the window's outer size.
SIZE WindowSize(HWND window);

// Sends real keyboard input (SendInput) for the virtual key, with Ctrl held when ctrl is set and
// Shift when shift is, to the window's thread (the window is brought to the foreground first).
// Returns whether that thread took the key's last release from its queue within timeoutMs, by
// then the key press has been handled. Meant for a window of this process.
bool TypeKey(HWND window, WORD vk, bool ctrl = false, DWORD timeoutMs = 10000, bool shift = false);

// Sets the colour in an open colour chooser by typing its red, green and blue values into the
// chooser's own edit boxes; returns whether the boxes were there.
bool SetChooserColour(HWND chooser, COLORREF color);

// Returns the position bar's markers, position and range as the control holds them now.
struct BarState {
    UINT minimum, maximum, start, end, position;
};
BarState ReadBar(HWND bar);

// Returns the bar's four colours (background, line, before-marker, marker range).
struct BarColours {
    COLORREF c[4];
};
BarColours ReadBarColours(HWND bar);

// The four colours in that order as hex text: "c0c0c0 0 ffffff ff0000".
std::string Hex(const BarColours& colours);

}  // namespace playerdrive
