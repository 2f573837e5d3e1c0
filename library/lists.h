// lists.h - list box controls.
//
// Classes in this header:
//   CList        an existing list box: typed list box messages, overridable
//   CCheckList   an owner-drawn list box whose items carry a check box, kept in the item data
#pragma once

#include <windows.h>
#include "frame.h"
#include "form.h"

class TARVIK_API CList : public CForm {
public:
    CList(HWND list = 0);
    virtual ~CList();

    // Returns the LB_INSERTSTRING answer: the new item's index, LB_ERR or LB_ERRSPACE.
    virtual long InsertString(const char* text, long index);
    // Returns the LB_INSERTSTRING answer for the value in the library's float format.
    virtual long InsertValue(float value, long index);
    // Returns the LB_INSERTSTRING answer for the value as "%u".
    virtual long InsertValue(unsigned long value, long index);
    // Returns the LB_INSERTSTRING answer for the value as "%d".
    virtual long InsertValue(long value, long index);
    // Returns the LB_DELETESTRING answer: the items left, or LB_ERR.
    virtual long DeleteString(long index);
    // Returns the LB_GETCOUNT answer: the number of items.
    virtual long GetCount() const;
    // Returns the LB_GETCURSEL answer: the selected item, or LB_ERR when none is.
    virtual long GetCurSel() const;
    // Returns the LB_SETCURSEL answer: LB_ERR for index -1 or an index outside the list.
    virtual long SetCurSel(long index);
    // Returns the LB_GETTEXT answer: the characters copied (the buffer must hold the whole text).
    virtual long GetListText(long index, char* buffer) const;
    // Returns the LB_GETTEXTLEN answer: the item's text length, or LB_ERR.
    virtual long GetTextLength(long index) const;
    // Returns the LB_RESETCONTENT answer.
    virtual long ResetContent();
    // Returns the LB_DIR answer: the index of the last name added, LB_ERR or LB_ERRSPACE.
    virtual long Dir(const char* spec, unsigned long attributes);
};

class TARVIK_API CCheckList : public CList {
public:
    // Rewrites the list box style to owner-drawn variable with strings and hooks its parent.
    CCheckList(HWND list = 0);
    // Unhooks the parent when this object is still the one hooked there.
    virtual ~CCheckList();

    // Attaches to the list box (detaching from any previous one first), or detaches with null;
    // returns the handle given.
    HWND operator=(HWND list);
    // Stores the state as the item's data and repaints the list; returns 1.
    int SetCheck(long index, int state);
    // Returns 1 when the item's data is nonzero (also for LB_ERR outside the list), else 0.
    int GetCheck(long index) const;

protected:
    // Draws one item: background, check box and text.
    void Draw(DRAWITEMSTRUCT* dis);
    // Toggles the selected item when it was already selected or Ctrl is down.
    void SelChange();

private:
    // Hook installed on the list box's parent; finds its object through "CheckListPtr".
    static LRESULT CALLBACK CheckListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Hooks the parent of the held list box and remembers the selection.
    void Attach();
    // Unhooks the parent when this object is the one hooked there; forgets procedure and selection.
    void Detach();

    WNDPROC m_prevProc;   // the parent's procedure before the hook, null when none
    long m_lastSel;       // the selection seen last, -1 without a list box
};
