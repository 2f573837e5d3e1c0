// conveniences.h - the main window's everyday helpers: the marker nudge keys, opening a file
// dropped on the window, and fitting fixed texts into the controls that show them.
//
// Functions in this header:
//   MarkerNudgeFrames   the frames of 10 ms of a file's own time
//   NudgeMarker         commands 40030 to 40033: one marker 10 ms earlier or later
//   OpenDroppedFiles    WM_DROPFILES: opens the first file dropped
//   TextExtentIn        a text's size drawn with a control's own font
//   FitControlToTexts   grows a control until each of the texts fits on one line
//   FitDialogTexts      the same for every static text of a dialog, with its own text
//   FitVolumeDisplay    the main window's volume display, for every volume the commands reach
//   KeyDisplayWidth     the key display's width: the layout's, or wider when a key text needs it
#pragma once

#include <windows.h>
#include <shellapi.h>

// Returns the frames of 10 ms at the rate, whole frames, at least 1.
inline UINT MarkerNudgeFrames(unsigned long sampleRate)
{
    unsigned long frames = sampleRate / 100;
    return frames ? static_cast<UINT>(frames) : 1;
}

// Moves the start marker (startMarker nonzero) or the end marker 10 ms later (later nonzero) or
// earlier, kept within the range and not past the other marker; the bar shows it at once and the
// engine's copies take it as a drag's would. Returns 0 without a file, else 1.
int NudgeMarker(int startMarker, int later);

// Opens the first of the dropped files as the open dialog would and releases the drop; returns
// what the open returned (0 also when nothing usable was dropped).
int OpenDroppedFiles(HDROP drop);

// Returns the size of the text drawn with the control's font (the system font when it has none).
SIZE TextExtentIn(HWND control, const char* text);

// Returns the largest width and height of the texts drawn with the control's font.
SIZE WidestText(HWND control, const char* const* texts, int count);

// Grows the control's client area until each text fits on one line (only ever grows; the edge
// opposite the control's alignment stays where it is). Returns 1 when it grew, else 0.
int FitControlToTexts(HWND control, const char* const* texts, int count);

// Fits every static text child of the dialog to its own text; returns how many grew.
int FitDialogTexts(HWND dialog);

// Widens the main window's volume display for the widest of its texts (volume 0 to 40 and the
// current one); it stays right-anchored through the layout. Returns 1 when it grew, else 0.
int FitVolumeDisplay();

// Returns the key display's width for the layout: layoutWidth, or the width the widest key text
// (-12 to +12) needs with the display's font when that is more, but never more than widest.
long KeyDisplayWidth(long layoutWidth, long widest);
