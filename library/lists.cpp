// lists.cpp - CList and CCheckList.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "lists.h"
#include "internal.h"

namespace {

// The object hooked on a parent window, and the parent's procedure before the hook.
const char kObjectProp[] = "CheckListPtr";
const char kPrevProcProp[] = "CheckListPrev";

// Size of the text built by InsertValue, terminator included.
const int kValueTextSize = 12;
// Size of the item text drawn by CCheckList, terminator included.
const int kItemTextSize = 200;

// Cuts text at most limit bytes long on a character boundary, so that no lead byte is left alone.
void CutOnCharacter(char* text, size_t limit)
{
    char* p = text;
    while (*p) {
        char* next = CharNextA(p);
        if (next == p || static_cast<size_t>(next - text) > limit)
            break;
        p = next;
    }
    *p = '\0';
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CList

CList::CList(HWND list)
    : CForm(list)
{
}

CList::~CList()
{
}

long CList::InsertString(const char* text, long index) { return Send(GetWindow(), LB_INSERTSTRING, index, text); }

long CList::InsertValue(float value, long index)
{
    // A text longer than the buffer is cut to its first 11 characters.
    char text[kValueTextSize];
    snprintf(text, sizeof text, g_tarvikSettings.floatFormat, static_cast<double>(value));
    return Send(GetWindow(), LB_INSERTSTRING, index, text);
}

long CList::InsertValue(unsigned long value, long index)
{
    char text[kValueTextSize];
    snprintf(text, sizeof text, "%lu", value);
    return Send(GetWindow(), LB_INSERTSTRING, index, text);
}

long CList::InsertValue(long value, long index)
{
    char text[kValueTextSize];
    snprintf(text, sizeof text, "%ld", value);
    return Send(GetWindow(), LB_INSERTSTRING, index, text);
}

long CList::DeleteString(long index) { return Send(GetWindow(), LB_DELETESTRING, index); }
long CList::GetCount() const { return Send(GetWindow(), LB_GETCOUNT); }
long CList::GetCurSel() const { return Send(GetWindow(), LB_GETCURSEL); }
long CList::SetCurSel(long index) { return Send(GetWindow(), LB_SETCURSEL, index); }
long CList::GetListText(long index, char* buffer) const { return Send(GetWindow(), LB_GETTEXT, index, buffer); }
long CList::GetTextLength(long index) const { return Send(GetWindow(), LB_GETTEXTLEN, index); }
long CList::ResetContent() { return Send(GetWindow(), LB_RESETCONTENT); }
long CList::Dir(const char* spec, unsigned long attributes) { return Send(GetWindow(), LB_DIR, attributes, spec); }

// ---------------------------------------------------------------------------------------------
// CCheckList

CCheckList::CCheckList(HWND list)
    : CList(list), m_prevProc(NULL), m_lastSel(-1)
{
    if (!list)
        return;
    LONG style = ::GetWindowLongA(list, GWL_STYLE);
    style = (style & ~LBS_OWNERDRAWFIXED) | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS;
    ::SetWindowLongA(list, GWL_STYLE, style);
    Attach();
}

CCheckList::~CCheckList()
{
    Detach();
}

HWND CCheckList::operator=(HWND list)
{
    Detach();
    SetWindow(list);
    if (list)
        Attach();
    return list;
}

void CCheckList::Attach()
{
    HWND parent = ::GetParent(GetWindow());
    WNDPROC current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(parent, GWLP_WNDPROC));
    if (current == CheckListProc) {
        // The parent is hooked already: take over from the object hooked there instead of
        // hooking again, which would make the hook call itself for ever.
        m_prevProc = reinterpret_cast<WNDPROC>(::GetPropA(parent, kPrevProcProp));
        ::SetPropA(parent, kObjectProp, this);
    } else {
        ::SetPropA(parent, kObjectProp, this);
        m_prevProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CheckListProc)));
        ::SetPropA(parent, kPrevProcProp, reinterpret_cast<HANDLE>(m_prevProc));
    }
    m_lastSel = GetCurSel();
}

void CCheckList::Detach()
{
    HWND list = GetWindow();
    HWND parent = list ? ::GetParent(list) : NULL;
    if (parent && ::GetPropA(parent, kObjectProp) == this) {
        ::RemovePropA(parent, kObjectProp);
        WNDPROC current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(parent, GWLP_WNDPROC));
        if (current == CheckListProc) {
            ::SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_prevProc));
            ::RemovePropA(parent, kPrevProcProp);
        }
        // Otherwise another hook sits on top of this one and still calls it: the hook then
        // passes everything to the procedure kept in kPrevProcProp.
    }
    SetWindow(NULL);
    m_prevProc = NULL;
    m_lastSel = -1;
}

int CCheckList::SetCheck(long index, int state)
{
    ::SendMessageA(GetWindow(), LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(state));
    ::InvalidateRect(GetWindow(), NULL, FALSE);
    return 1;
}

int CCheckList::GetCheck(long index) const
{
    return ::SendMessageA(GetWindow(), LB_GETITEMDATA, static_cast<WPARAM>(index), 0) != 0 ? 1 : 0;
}

void CCheckList::SelChange()
{
    long current = GetCurSel();
    if (current >= 0 && (current == m_lastSel || (::GetKeyState(VK_CONTROL) & 0x8000) != 0))
        SetCheck(current, GetCheck(current) ? 0 : 1);
    m_lastSel = current;
}

void CCheckList::Draw(DRAWITEMSTRUCT* dis)
{
    HWND list = GetWindow();
    if (dis->hwndItem != list || ::SendMessageA(list, LB_GETCOUNT, 0, 0) == 0)
        return;

    // The text is drawn up to its first 199 characters.
    char text[kItemTextSize];
    text[0] = '\0';
    LRESULT length = ::SendMessageA(list, LB_GETTEXTLEN, dis->itemID, 0);
    if (length >= 0 && length < kItemTextSize) {
        ::SendMessageA(list, LB_GETTEXT, dis->itemID, reinterpret_cast<LPARAM>(text));
    } else if (length >= kItemTextSize) {
        char* whole = static_cast<char*>(calloc(static_cast<size_t>(length) + 1, 1));
        if (whole) {
            ::SendMessageA(list, LB_GETTEXT, dis->itemID, reinterpret_cast<LPARAM>(whole));
            CutOnCharacter(whole, kItemTextSize - 1);
            strcpy(text, whole);
            free(whole);
        }
    }

    bool selected = (dis->itemState & ODS_SELECTED) != 0;
    HBRUSH brush = ::CreateSolidBrush(::GetSysColor(selected ? COLOR_ACTIVECAPTION : COLOR_WINDOW));
    ::FillRect(dis->hDC, &dis->rcItem, brush);
    ::DeleteObject(brush);

    RECT box;
    box.left = 0;
    box.right = 16;
    box.top = dis->rcItem.top + (dis->rcItem.bottom - dis->rcItem.top - 16) / 2;
    box.bottom = box.top + 16;
    ::DrawFrameControl(dis->hDC, &box, DFC_BUTTON, DFCS_BUTTONCHECK | (dis->itemData ? DFCS_CHECKED : 0));

    RECT textRect = dis->rcItem;
    textRect.left += 18;
    int oldMode = ::SetBkMode(dis->hDC, TRANSPARENT);
    COLORREF oldColor = ::SetTextColor(dis->hDC, ::GetSysColor(selected ? COLOR_CAPTIONTEXT : COLOR_WINDOWTEXT));
    ::DrawTextA(dis->hDC, text, -1, &textRect, DT_SINGLELINE | DT_VCENTER);
    ::SetBkMode(dis->hDC, oldMode);
    ::SetTextColor(dis->hDC, oldColor);
}

LRESULT CALLBACK CCheckList::CheckListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CCheckList* self = static_cast<CCheckList*>(::GetPropA(window, kObjectProp));
    if (!self) {
        // Left hooked under another hook after its object went away: stay out of the way.
        WNDPROC prev = reinterpret_cast<WNDPROC>(::GetPropA(window, kPrevProcProp));
        if (prev)
            return ::CallWindowProcA(prev, window, message, wParam, lParam);
        return ::DefWindowProcA(window, message, wParam, lParam);
    }

    HWND list = self->GetWindow();
    switch (message) {
    case WM_DRAWITEM: {
        // Items of other owner-drawn controls and menus stay the parent's business.
        DRAWITEMSTRUCT* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (dis && dis->CtlType == ODT_LISTBOX && dis->hwndItem == list) {
            self->Draw(dis);
            return ::DefWindowProcA(window, message, wParam, lParam);
        }
        break;
    }
    case WM_COMMAND:
        if (list && ::GetDlgItem(window, LOWORD(wParam)) == list) {
            if (HIWORD(wParam) == LBN_SELCHANGE)
                self->SelChange();
            return ::DefWindowProcA(window, message, wParam, lParam);
        }
        break;
    default:
        break;
    }
    if (!self->m_prevProc)
        return ::DefWindowProcA(window, message, wParam, lParam);
    return ::CallWindowProcA(self->m_prevProc, window, message, wParam, lParam);
}
