// controls.cpp - CButton, CEdit, CCombo, CStatus, CProgress, CSpin and CAnmCtrl.
#include <windows.h>
#include <commctrl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

#include "controls.h"
#include "internal.h"

namespace {

// Size of the part text that CStatus::SetStyle sets again, terminator included.
const int kPartTextSize = 260;

}  // namespace

// ---------------------------------------------------------------------------------------------
// CButton

CButton::CButton(HWND button)
    : CForm(button)
{
}

CButton::~CButton()
{
}

long CButton::SetCheck(int state) { return Send(GetWindow(), BM_SETCHECK, state); }
long CButton::GetCheck() const { return Send(GetWindow(), BM_GETCHECK); }

HBITMAP CButton::SetBitmap(HBITMAP bitmap)
{
    HWND button = GetWindow();
    ::SetWindowLongA(button, GWL_STYLE, ::GetWindowLongA(button, GWL_STYLE) | BS_BITMAP);
    return reinterpret_cast<HBITMAP>(
        ::SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
}

HICON CButton::SetIcon(HICON icon)
{
    HWND button = GetWindow();
    ::SetWindowLongA(button, GWL_STYLE, ::GetWindowLongA(button, GWL_STYLE) | BS_ICON);
    return reinterpret_cast<HICON>(
        ::SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
}

long CButton::SetState(long state) { return Send(GetWindow(), BM_SETSTATE, state); }
long CButton::GetState() const { return Send(GetWindow(), BM_GETSTATE); }

// ---------------------------------------------------------------------------------------------
// CEdit

CEdit::CEdit(HWND edit)
    : CForm(edit)
{
}

CEdit::~CEdit()
{
}

int CEdit::operator=(const char* text)
{
    return ::SetWindowTextA(GetWindow(), text);
}

int CEdit::operator+=(const char* text)
{
    HWND edit = GetWindow();
    int length = ::GetWindowTextLengthA(edit);
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    ::SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(length), static_cast<LPARAM>(length));
    ::SendMessageA(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text));
    ::SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    return 1;
}

long CEdit::SetSel(long start, long end) { return Send(GetWindow(), EM_SETSEL, start, end); }

long CEdit::GetSel(long* start, long* end) const
{
    DWORD first = 0;
    DWORD last = 0;
    long answer = Send(GetWindow(), EM_GETSEL, reinterpret_cast<WPARAM>(&first), &last);
    if (start)
        *start = static_cast<long>(first);
    if (end)
        *end = static_cast<long>(last);
    return answer;
}

long CEdit::SetLimit(unsigned long chars) { return Send(GetWindow(), EM_LIMITTEXT, chars); }
long CEdit::Copy() { return Send(GetWindow(), WM_COPY); }
long CEdit::Cut() { return Send(GetWindow(), WM_CUT); }
long CEdit::Paste() { return Send(GetWindow(), WM_PASTE); }
long CEdit::Delete() { return Send(GetWindow(), WM_CLEAR); }
long CEdit::Undo() { return Send(GetWindow(), EM_UNDO); }
int CEdit::SetModify(int flag) { return Send(GetWindow(), EM_SETMODIFY, flag); }
int CEdit::GetModify() const { return Send(GetWindow(), EM_GETMODIFY); }

// ---------------------------------------------------------------------------------------------
// CCombo

CCombo::CCombo(HWND combo)
    : CEdit(combo)
{
}

CCombo::~CCombo()
{
}

int CCombo::InsertString(const char* text, long index) { return Send(GetWindow(), CB_INSERTSTRING, index, text); }
int CCombo::SetCurSel(long index) { return Send(GetWindow(), CB_SETCURSEL, index); }
long CCombo::GetCurSel() const { return Send(GetWindow(), CB_GETCURSEL); }
long CCombo::GetCount() const { return Send(GetWindow(), CB_GETCOUNT); }
long CCombo::ResetContent() { return Send(GetWindow(), CB_RESETCONTENT); }
long CCombo::DeleteItem(long index) { return Send(GetWindow(), CB_DELETESTRING, index); }

// ---------------------------------------------------------------------------------------------
// CStatus

CStatus::CStatus(HWND bar)
    : CForm(bar)
{
}

CStatus::~CStatus()
{
}

int CStatus::Create(HWND parent, unsigned int id)
{
    HWND bar = ::CreateStatusWindowA(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM, NULL, parent, id);
    SetWindow(bar);
    return bar ? 1 : 0;
}

long CStatus::SetParts(long count, ...)
{
    if (count < 0)
        return 0;
    int* edges = static_cast<int*>(calloc(static_cast<size_t>(count) + 1, sizeof(int)));
    if (!edges)
        return 1;
    va_list widths;
    va_start(widths, count);
    int edge = 0;
    for (long i = 0; i < count; ++i) {
        edge += va_arg(widths, int);
        edges[i] = edge;
    }
    va_end(widths);
    long answer = Send(GetWindow(), SB_SETPARTS, count, edges);
    free(edges);
    return answer;
}

long CStatus::GetParts(long index) const
{
    HWND bar = GetWindow();
    long count = Send(bar, SB_GETPARTS);
    if (count <= 0 || index < 0 || index >= count)
        return 0;
    int* edges = static_cast<int*>(calloc(static_cast<size_t>(count), sizeof(int)));
    if (!edges)
        return 0;
    ::SendMessageA(bar, SB_GETPARTS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(edges));
    long width = index == 0 ? edges[0] : edges[index] - edges[index - 1];
    free(edges);
    return width;
}

long CStatus::SetText(long index, const char* text) { return Send(GetWindow(), SB_SETTEXTA, index, text); }
long CStatus::GetText(long index, char* buffer) const { return Send(GetWindow(), SB_GETTEXTA, index, buffer); }
long CStatus::GetTextLength(long index) const { return Send(GetWindow(), SB_GETTEXTLENGTHA, index); }
long CStatus::GetPartCount() const { return Send(GetWindow(), SB_GETPARTS); }

long CStatus::SetStyle(long index, long style)
{
    HWND bar = GetWindow();
    // The text is set again up to its first 259 characters.
    char text[kPartTextSize];
    text[0] = '\0';
    size_t length = LOWORD(::SendMessageA(bar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(index), 0));
    if (length < sizeof text) {
        ::SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    } else {
        // The length may count characters (Wine counts UTF-16 units) while the text comes back in
        // bytes, up to two a character in a double-byte code page: room for both.
        char* whole = static_cast<char*>(calloc(2 * length + 1, 1));
        if (whole) {
            ::SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(whole));
            // Cut on a character boundary, so that no lead byte is left alone.
            char* p = whole;
            while (*p) {
                char* next = ::CharNextA(p);
                if (next == p || static_cast<size_t>(next - whole) > sizeof text - 1)
                    break;
                p = next;
            }
            memcpy(text, whole, static_cast<size_t>(p - whole));
            text[p - whole] = '\0';
            free(whole);
        }
    }
    return Send(bar, SB_SETTEXTA, index | style, text);
}

void CStatus::Resize()
{
    ::SendMessageA(GetWindow(), WM_SIZE, 0, 0);
}

long CStatus::SetIcon(long index, HICON icon) { return Send(GetWindow(), SB_SETICON, index, icon); }

HICON CStatus::GetIcon(long index) const
{
    return reinterpret_cast<HICON>(::SendMessageA(GetWindow(), SB_GETICON, static_cast<WPARAM>(index), 0));
}

long CStatus::SetMinHeight(long pixels)
{
    ::SendMessageA(GetWindow(), SB_SETMINHEIGHT, static_cast<WPARAM>(pixels), 0);
    return 0;
}

// ---------------------------------------------------------------------------------------------
// CProgress

CProgress::CProgress(HWND bar)
    : CForm(bar)
{
}

CProgress::~CProgress()
{
}

int CProgress::Create(unsigned long style, unsigned long exStyle, HWND parent, long x, long y, long width,
                      long height)
{
    HWND bar = ::CreateWindowExA(exStyle, "msctls_progress32", NULL, style, x, y, width, height, parent,
                                 NULL, NULL, NULL);
    SetWindow(bar);
    return bar ? 1 : 0;
}

long CProgress::SetRange(long low, long high) { return Send(GetWindow(), PBM_SETRANGE32, low, high); }

long CProgress::GetRange(long* low, long* high) const
{
    PBRANGE range = {0, 0};
    long answer = Send(GetWindow(), PBM_GETRANGE, 0, &range);
    *low = range.iLow;
    *high = range.iHigh;
    return answer;
}

long CProgress::SetPos(long pos) { return Send(GetWindow(), PBM_SETPOS, pos); }
long CProgress::GetPos() const { return Send(GetWindow(), PBM_GETPOS); }
long CProgress::SetStep(long step) { return Send(GetWindow(), PBM_SETSTEP, step); }
long CProgress::SetBarColor(COLORREF color) { return Send(GetWindow(), PBM_SETBARCOLOR, 0, color); }
long CProgress::SetBkColor(COLORREF color) { return Send(GetWindow(), PBM_SETBKCOLOR, 0, color); }

// ---------------------------------------------------------------------------------------------
// CSpin

CSpin::CSpin(HWND spin)
    : CForm(spin)
{
}

CSpin::~CSpin()
{
}

long CSpin::SetRange32(long low, long high) { return Send(GetWindow(), UDM_SETRANGE32, low, high); }

long CSpin::GetRange32(long* low, long* high) const
{
    return Send(GetWindow(), UDM_GETRANGE32, reinterpret_cast<WPARAM>(low), high);
}

long CSpin::SetPos(long pos) { return Send(GetWindow(), UDM_SETPOS, 0, pos); }

long CSpin::GetPos() const
{
    LRESULT answer = ::SendMessageA(GetWindow(), UDM_GETPOS, 0, 0);
    return static_cast<short>(LOWORD(answer));
}

HWND CSpin::SetBuddy(HWND buddy)
{
    return reinterpret_cast<HWND>(::SendMessageA(GetWindow(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0));
}

HWND CSpin::GetBuddy() const
{
    return reinterpret_cast<HWND>(::SendMessageA(GetWindow(), UDM_GETBUDDY, 0, 0));
}

// ---------------------------------------------------------------------------------------------
// CAnmCtrl

CAnmCtrl::CAnmCtrl(HWND animation)
    : CForm(animation)
{
}

CAnmCtrl::~CAnmCtrl()
{
}

long CAnmCtrl::Open(const char* file) { return Send(GetWindow(), ACM_OPENA, 0, file); }
long CAnmCtrl::Open(unsigned long resource) { return Send(GetWindow(), ACM_OPENA, 0, MAKEINTRESOURCEA(resource)); }

long CAnmCtrl::Play(unsigned short from, unsigned short to, unsigned short repeat)
{
    return Send(GetWindow(), ACM_PLAY, repeat, MAKELONG(from, to));
}

long CAnmCtrl::Stop() { return Send(GetWindow(), ACM_STOP); }
long CAnmCtrl::Close() { return Send(GetWindow(), ACM_OPENA); }
long CAnmCtrl::Seek(unsigned short frame) { return Send(GetWindow(), ACM_PLAY, 0, MAKELONG(frame, frame)); }
