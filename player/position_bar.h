// position_bar.h - the position bar, the player's own child control (window class "Bar2WndClass").
//
// Records and functions in this header:
//   Bar2Colors         the control's four colours, exchanged as one block
//   Bar2Notify         the WM_NOTIFY record sent while the user drags
//   Bar2Instance       the per-window record, kept in the window property "BM2Instance"
//   RegisterBar2Class  registers the window class
//   Bar2WndProc        the window procedure
//
// The control shows a range of unsigned 32-bit values as a horizontal bar: the background, a
// section from the left end to the start marker, a highlighted section from the start to the end
// marker, and a vertical line at the position. The left button moves the position (and, unless
// Shift is held, the start marker with it); the right button moves the end marker.
#pragma once

#define BAR2_CLASS_NAME "Bar2WndClass"
#define BAR2_PROP_NAME  "BM2Instance"

// Private messages, all sent to the control (values WM_APP + 200 to WM_APP + 207).
#define BM2_SETRANGE   0x80C8  // wParam minimum, lParam maximum; clamps markers and position; 1
#define BM2_GETRANGE   0x80C9  // wParam, lParam: UINT* for minimum, maximum (null skipped); 1
#define BM2_SETMARKER  0x80CA  // wParam nonzero start / zero end, lParam value; 1
#define BM2_GETMARKERS 0x80CB  // wParam, lParam: UINT* for start, end (null skipped); 1
#define BM2_SETPOS     0x80CC  // lParam position, clamped into the range; 1
#define BM2_GETPOS     0x80CD  // lParam UINT* for the position; 0 when null, else 1
#define BM2_SETCOLORS  0x80CE  // lParam Bar2Colors* to copy in, no repaint; 0 when null, else 1
#define BM2_GETCOLORS  0x80CF  // lParam Bar2Colors* to copy out; 0 when null, else 1

// Notification code of the WM_NOTIFY sent on every drag step (WM_APP + 250); wParam is 0.
#define BM2N_CHANGED   0x80FA

// Drag modes held in Bar2Instance::dragMode.
#define BAR2_DRAG_NONE  0
#define BAR2_DRAG_LEFT  'L'
#define BAR2_DRAG_RIGHT 'R'

#ifndef RC_INVOKED

#include <windows.h>

// The four colours in their fixed order; the settings keep them as "BkgColor", "LineColor",
// "BarColor" and "MarkerColor".
struct Bar2Colors {
    COLORREF bkgColor;     // fills the whole client area
    COLORREF lineColor;    // pen of the position line
    COLORREF barColor;     // section from the left end to the start marker
    COLORREF markerColor;  // section from the start to the end marker
};

// Sent with WM_NOTIFY; hdr holds the control's window, its identifier and the code BM2N_CHANGED.
struct Bar2Notify {
    NMHDR hdr;           // hwndFrom, idFrom, code
    UINT minimum;        // range minimum
    UINT maximum;        // range maximum
    UINT start;          // start marker after the change
    UINT end;            // end marker after the change
    UINT position;       // position after the change
};

// Per-window record, allocated zero-filled in WM_CREATE and freed in WM_DESTROY.
struct Bar2Instance {
    HWND hwnd;           // the control's own window
    HWND notifyTarget;   // receives WM_NOTIFY: the parent given at creation
    UINT minimum;        // lowest value
    UINT maximum;        // highest value
    UINT start;          // start of the marked range
    UINT end;            // end of the marked range
    UINT position;       // the line
    int dragMode;        // BAR2_DRAG_NONE, BAR2_DRAG_LEFT or BAR2_DRAG_RIGHT
    Bar2Colors colors;   // background, line, before-marker, marker range
};

// Registers the window class "Bar2WndClass"; returns 1 on success and 0 on failure.
int RegisterBar2Class();

// Returns the result of the message for the position bar's windows.
LRESULT CALLBACK Bar2WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

#endif  // RC_INVOKED
