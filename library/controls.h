// controls.h - wrappers of the basic standard and common controls.
//
// Classes in this header:
//   CButton     push buttons, check boxes and radio buttons
//   CEdit       edit controls (and, through CCombo, the edit part of combo boxes)
//   CCombo      combo boxes
//   CStatus     status bars; can create one
//   CProgress   progress bars; can create one
//   CSpin       up-down controls
//   CAnmCtrl    animation controls
#pragma once

#include <windows.h>
#include "frame.h"
#include "form.h"

class TARVIK_API CButton : public CForm {
public:
    CButton(HWND button = 0);
    virtual ~CButton();

    // Returns the BM_SETCHECK answer (0); the state is passed as given.
    long SetCheck(int state);
    // Returns the BM_GETCHECK answer: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    long GetCheck() const;
    // Adds BS_BITMAP to the style and returns the BM_SETIMAGE answer: the previous image.
    HBITMAP SetBitmap(HBITMAP bitmap);
    // Adds BS_ICON to the style and returns the BM_SETIMAGE answer: the previous image.
    HICON SetIcon(HICON icon);
    // Returns the BM_SETSTATE answer (0).
    long SetState(long state);
    // Returns the BM_GETSTATE answer: the BST_ state bits.
    long GetState() const;
};

class TARVIK_API CEdit : public CForm {
public:
    CEdit(HWND edit = 0);
    virtual ~CEdit();

    // Returns the SetWindowTextA result.
    int operator=(const char* text);
    // Appends the text at the end, keeping the selection; returns 1.
    int operator+=(const char* text);
    // Returns the EM_SETSEL answer.
    long SetSel(long start, long end);
    // Stores the selection's start and end through the non-null pointers; returns the packed
    // EM_GETSEL answer (start in the low word, end in the high word).
    long GetSel(long* start, long* end) const;
    // Returns the EM_LIMITTEXT answer.
    long SetLimit(unsigned long chars);
    // Returns the WM_COPY answer.
    long Copy();
    // Returns the WM_CUT answer.
    long Cut();
    // Returns the WM_PASTE answer.
    long Paste();
    // Returns the WM_CLEAR answer.
    long Delete();
    // Returns the EM_UNDO answer: nonzero when the last change was undone.
    long Undo();
    // Returns the EM_SETMODIFY answer.
    int SetModify(int flag);
    // Returns the EM_GETMODIFY answer: nonzero when the text was changed.
    int GetModify() const;
};

class TARVIK_API CCombo : public CEdit {
public:
    CCombo(HWND combo = 0);
    virtual ~CCombo();

    // The text assignment of CEdit sets the combo box's text as well.
    using CEdit::operator=;

    // Returns the CB_INSERTSTRING answer: the new item's index, CB_ERR or CB_ERRSPACE.
    int InsertString(const char* text, long index);
    // Returns the CB_SETCURSEL answer: the index selected, or CB_ERR.
    int SetCurSel(long index);
    // Returns the CB_GETCURSEL answer: the selected item, or CB_ERR when none is.
    long GetCurSel() const;
    // Returns the CB_GETCOUNT answer: the number of items.
    long GetCount() const;
    // Returns the CB_RESETCONTENT answer.
    long ResetContent();
    // Returns the CB_DELETESTRING answer: the items left, or CB_ERR.
    long DeleteItem(long index);
};

class TARVIK_API CStatus : public CForm {
public:
    CStatus(HWND bar = 0);
    virtual ~CStatus();

    // Creates a status bar at the bottom of the parent and holds it; returns 1, or 0 on failure.
    int Create(HWND parent, unsigned int id);
    // Hands the bar the right edges summed from count part widths (int arguments); returns the
    // SB_SETPARTS answer, 1 without memory, 0 for a negative count.
    long SetParts(long count, ...);
    // Returns the width of part index (its right edge less the one before), 0 for a bar without
    // parts, for an index outside the parts or without memory.
    long GetParts(long index) const;
    // Returns the SB_SETTEXTA answer.
    long SetText(long index, const char* text);
    // Returns the SB_GETTEXTA answer: length in the low word, drawing type in the high word
    // (the buffer must hold the whole text).
    long GetText(long index, char* buffer) const;
    // Returns the SB_GETTEXTLENGTHA answer: length in the low word, drawing type in the high word.
    long GetTextLength(long index) const;
    // Returns the number of parts (SB_GETPARTS).
    long GetPartCount() const;
    // Sets the part's text again with the drawing type bits; returns the SB_SETTEXTA answer.
    long SetStyle(long index, long style);
    // Makes the bar lay itself out again after its parent changed size (WM_SIZE).
    void Resize();
    // Returns the SB_SETICON answer.
    long SetIcon(long index, HICON icon);
    // Returns the SB_GETICON answer: the part's icon, or null.
    HICON GetIcon(long index) const;
    // Sends SB_SETMINHEIGHT; returns 0.
    long SetMinHeight(long pixels);
};

class TARVIK_API CProgress : public CForm {
public:
    CProgress(HWND bar = 0);
    virtual ~CProgress();

    // Creates a progress bar with exactly the style given and holds it; returns 1, or 0 on failure.
    int Create(unsigned long style, unsigned long exStyle, HWND parent, long x, long y, long width,
               long height);
    // Returns the PBM_SETRANGE32 answer: the previous range packed in 16-bit halves.
    long SetRange(long low, long high);
    // Stores both limits through the pointers (neither may be null); returns the PBM_GETRANGE
    // answer, the upper limit.
    long GetRange(long* low, long* high) const;
    // Returns the PBM_SETPOS answer: the previous position.
    long SetPos(long pos);
    // Returns the PBM_GETPOS answer: the position.
    long GetPos() const;
    // Returns the PBM_SETSTEP answer: the previous step.
    long SetStep(long step);
    // Returns the PBM_SETBARCOLOR answer: the previous bar colour.
    long SetBarColor(COLORREF color);
    // Returns the PBM_SETBKCOLOR answer: the previous background colour.
    long SetBkColor(COLORREF color);
};

class TARVIK_API CSpin : public CForm {
public:
    CSpin(HWND spin = 0);
    virtual ~CSpin();

    // Returns the UDM_SETRANGE32 answer.
    long SetRange32(long low, long high);
    // Returns the UDM_GETRANGE32 answer; the control stores the limits through the pointers.
    long GetRange32(long* low, long* high) const;
    // Returns the UDM_SETPOS answer: the previous position.
    long SetPos(long pos);
    // Returns the position: the low 16 bits of the UDM_GETPOS answer, sign-extended.
    long GetPos() const;
    // Returns the UDM_SETBUDDY answer: the previous buddy window.
    HWND SetBuddy(HWND buddy);
    // Returns the UDM_GETBUDDY answer: the buddy window.
    HWND GetBuddy() const;
};

class TARVIK_API CAnmCtrl : public CForm {
public:
    CAnmCtrl(HWND animation = 0);
    virtual ~CAnmCtrl();

    // Returns the ACM_OPENA answer for a clip file: nonzero when it was opened.
    long Open(const char* file);
    // Returns the ACM_OPENA answer for a clip resource of the control's module.
    long Open(unsigned long resource);
    // Returns the ACM_PLAY answer.
    long Play(unsigned short from, unsigned short to, unsigned short repeat);
    // Returns the ACM_STOP answer.
    long Stop();
    // Returns the ACM_OPENA answer for closing the clip.
    long Close();
    // Returns the ACM_PLAY answer for showing the one frame.
    long Seek(unsigned short frame);
};
