// dialogs.h - the player's two small modal dialogs and the commands that show them.
//
// Classes and functions in this header:
//   ColorDialogParams  what the colour command hands to the colour dialog
//   ColorDialog        bar colour settings (dialog 107): four swatches and a live sample bar
//   AboutDialog        version information (dialog 104)
//   BarColorsCommand   command 40021: the colour dialog on the main window's bar
//   AboutCommand       command 40008: the version dialog
#pragma once

#include <windows.h>

#include "form.h"
#include "position_bar.h"

// The colour dialog's working copy: where to load the dialog from, its owner and the four colours.
struct ColorDialogParams {
    HINSTANCE instance;  // module holding dialog 107
    HWND parent;         // owner: the main window
    Bar2Colors colors;   // background, position line, before the marker range, marker range
};

// Dialog 107. The object lives on the caller's stack while the dialog runs; its window finds it
// again through the window's user data.
class ColorDialog : public CForm {
public:
    explicit ColorDialog(ColorDialogParams* params);
    virtual ~ColorDialog();

    // Returns the dialog's result: 1 OK, 2 Cancel or Esc, 0 close box; 0 without a dialog when
    // there are no parameters, -1 when the dialog could not be created.
    INT_PTR Show();

    // Returns the parameters the dialog edits (null if none were given).
    ColorDialogParams* GetParams() const { return m_params; }

    // Returns 1 for the messages handled, 0 for the others; for WM_CTLCOLORSTATIC the brush.
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    // Returns the brush of swatch i in its current colour (kept until the colour changes).
    HBRUSH SwatchBrush(int i);
    // Returns 1 when the colour chooser set entry i, else 0.
    int PickColor(int i);
    // Deletes every swatch brush; returns how many there were.
    int ReleaseBrushes();

    ColorDialogParams* m_params;
    HBRUSH m_brushes[4];
    COLORREF m_brushColors[4];

    ColorDialog(const ColorDialog&) = delete;
    ColorDialog& operator=(const ColorDialog&) = delete;
};

// Dialog 104.
class AboutDialog : public CForm {
public:
    explicit AboutDialog(HINSTANCE instance);
    virtual ~AboutDialog();

    // Returns the dialog's result (1 or 2 from the button, 0 from the close box).
    INT_PTR Show(HWND owner);

    // Returns the module the dialog is loaded from.
    HINSTANCE GetInstance() const { return m_instance; }

    // Returns 1 for the messages handled, 0 for the others.
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    HINSTANCE m_instance;
};

// Returns 1 when the user confirmed new colours (now on the main bar), 0 when cancelled.
int BarColorsCommand();

// Returns 1 once the version dialog has closed.
int AboutCommand();
