// cmndlg.h - the common dialogs.
//
// Classes in this header:
//   CCmnDlg   one prepared record per common dialog (open and save, font, colour, printer) and
//             the folder browser; the colour dialog's custom colours are shared library-wide
#pragma once

#include <windows.h>
#include <commdlg.h>
#include "frame.h"

class TARVIK_API CCmnDlg {
public:
    CCmnDlg(HWND owner = 0);
    CCmnDlg(const CCmnDlg& other);
    virtual ~CCmnDlg();

    // Copies the owner and the four records; returns this object.
    CCmnDlg& operator=(const CCmnDlg& other);
    // Replaces the owner; returns the owner held before.
    HWND operator=(HWND owner);

    // Returns the GetOpenFileNameA result (1 when a file was chosen; the buffer then holds its
    // full path). A null filter or file title keeps the record's previous one.
    long ShowOpen(char* file, const char* filter, const char* fileTitle, unsigned long flags);
    // Returns the GetSaveFileNameA result; the arguments as for ShowOpen.
    long ShowSave(char* file, const char* filter, const char* fileTitle, unsigned long flags);
    // Returns the ChooseColorA result (1 for OK); the colour is the initial one and receives the
    // result (unchanged after a cancel). The text has no effect.
    long ShowColor(COLORREF* color, const char* text, unsigned long flags);
    // Returns the ChooseFontA result; the point size (tenths) and colour are stored through the
    // non-null pointers whatever the result.
    long ShowFont(LOGFONTA* font, int* pointSize, COLORREF* color, unsigned long flags);
    // Returns the PrintDlgA result.
    long ShowPrinter(unsigned long flags);
    // Returns the printer device context of the last ShowPrinter with PD_RETURNDC, else null.
    HDC GetPrinterDC() const;
    // Returns nonzero when a folder was chosen (its path then in the buffer), else 0. The browser
    // opens at the folder the buffer names.
    long ShowPath(char* path, unsigned long flags, const char* title);

    // Returns the record of the open and save dialogs.
    OPENFILENAMEA* GetOfn() const;
    // Returns the record of the font dialog.
    CHOOSEFONTA* GetCf() const;
    // Returns the record of the colour dialog.
    CHOOSECOLORA* GetCc() const;
    // Returns the record of the printer dialog.
    PRINTDLGA* GetPrn() const;

private:
    // Returns 1 after preselecting the caller's folder when the browser starts, else 0.
    static int CALLBACK CmnDlgBrowseProc(HWND window, UINT message, LPARAM lParam, LPARAM data);

    HWND m_owner;
    OPENFILENAMEA m_ofn;
    CHOOSEFONTA m_cf;
    CHOOSECOLORA m_cc;
    PRINTDLGA m_pd;
};
