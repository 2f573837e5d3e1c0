// form.cpp - CForm, the window wrapper.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>

#include "form.h"
#include "strings.h"
#include "internal.h"

namespace {

// Size of the text buffer that numbers are formatted into and read from.
const int kNumberText = 32;

// Returns the decimal value of the text the way atol reads it: white space, one sign, digits,
// accumulated modulo 2^32 without overflow detection.
unsigned long DecimalValue(const char* text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    unsigned long value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10u + static_cast<unsigned long>(*p - '0');
        ++p;
    }
    return negative ? 0u - value : value;
}

// Formats the value with the library's hex format through wsprintfA, cut at 31 characters.
void FormatHexWs(char (&out)[kNumberText], unsigned long value)
{
    char wide[1025];  // wsprintfA never writes more than 1024 bytes
    wsprintfA(wide, g_tarvikSettings.hexFormat, value);
    lstrcpynA(out, wide, kNumberText);
}

// Formats the value with the library's hex format through the C library, cut at 31 characters.
void FormatHexC(char (&out)[kNumberText], unsigned long value)
{
    snprintf(out, kNumberText, g_tarvikSettings.hexFormat, value);
}

// Formats the value, widened to double, with the library's float format, cut at 31 characters.
void FormatFloat(char (&out)[kNumberText], float value)
{
    snprintf(out, kNumberText, g_tarvikSettings.floatFormat, static_cast<double>(value));
}

// Splits a window rectangle into its sides; null outputs are skipped.
void StoreSides(const RECT& rect, long* left, long* top, long* right, long* bottom)
{
    if (left)
        *left = rect.left;
    if (top)
        *top = rect.top;
    if (right)
        *right = rect.right;
    if (bottom)
        *bottom = rect.bottom;
}

// Returns 1 with the window's top-left screen corner stored, or 0 with the outputs unchanged.
int TopLeft(HWND window, long* x, long* y)
{
    RECT rect;
    if (!::GetWindowRect(window, &rect))
        return 0;
    if (x)
        *x = rect.left;
    if (y)
        *y = rect.top;
    return 1;
}

// Returns 1 with the window rectangle's sides stored, or 0 with the outputs unchanged.
int WindowSides(HWND window, long* left, long* top, long* right, long* bottom)
{
    RECT rect;
    if (!::GetWindowRect(window, &rect))
        return 0;
    StoreSides(rect, left, top, right, bottom);
    return 1;
}

// Returns 1 with the client rectangle's sides stored, or 0 with the outputs unchanged.
int ClientSides(HWND window, long* left, long* top, long* right, long* bottom)
{
    RECT rect;
    if (!::GetClientRect(window, &rect))
        return 0;
    StoreSides(rect, left, top, right, bottom);
    return 1;
}

}  // namespace

// Construction, assignment and access.

CForm::CForm(HWND window) : m_hWnd(window), m_param(0) {}

CForm::CForm(const CForm& other) : m_hWnd(other.m_hWnd), m_param(other.m_param) {}

CForm::~CForm() {}

CForm& CForm::operator=(const CForm& other)
{
    m_hWnd = other.m_hWnd;
    m_param = other.m_param;
    return *this;
}

HWND CForm::operator=(HWND window)
{
    return SetWindow(window);
}

int CForm::operator==(HWND window) const
{
    return m_hWnd == window ? 1 : 0;
}

CForm::operator HWND() const
{
    return m_hWnd;
}

HWND CForm::GetWindow() const
{
    return m_hWnd;
}

HWND CForm::SetWindow(HWND window)
{
    HWND previous = m_hWnd;
    m_hWnd = window;
    return previous;
}

unsigned long CForm::GetParam() const
{
    return m_param;
}

unsigned long CForm::SetParam(unsigned long param)
{
    unsigned long previous = m_param;
    m_param = param;
    return previous;
}

HWND CForm::GetDlgItem(unsigned long id) const
{
    return ::GetDlgItem(m_hWnd, id);
}

HWND CForm::GetParent() const
{
    return ::GetParent(m_hWnd);
}

HWND CForm::Create(unsigned long exStyle, const char* className, const char* windowName,
                   unsigned long style, long x, long y, long width, long height, HWND parent,
                   HMENU menu, HINSTANCE instance, void* createParam)
{
    m_hWnd = ::CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent,
                               menu, instance, createParam);
    return m_hWnd;
}

int CForm::Destroy()
{
    return ::DestroyWindow(m_hWnd);
}

int CForm::Update()
{
    return ::UpdateWindow(m_hWnd);
}

// Window text.

int CForm::SetText(const char* text)
{
    return ::SetWindowTextA(m_hWnd, text);
}

int CForm::SetTextChild(unsigned long id, const char* text)
{
    return ::SetDlgItemTextA(m_hWnd, id, text);
}

int CForm::GetText(char* buffer, int capacity) const
{
    return ::GetWindowTextA(m_hWnd, buffer, capacity);
}

int CForm::GetTextChild(unsigned long id, char* buffer, int capacity) const
{
    return ::GetDlgItemTextA(m_hWnd, id, buffer, capacity);
}

long CForm::GetTextLength() const
{
    return ::GetWindowTextLengthA(m_hWnd);
}

long CForm::GetTextLengthChild(unsigned long id) const
{
    return ::GetWindowTextLengthA(::GetDlgItem(m_hWnd, id));
}

// Visibility, state, focus and capture.

int CForm::Show(int command)
{
    return ::ShowWindow(m_hWnd, command);
}

int CForm::ShowChild(unsigned long id, int command)
{
    return ::ShowWindow(::GetDlgItem(m_hWnd, id), command);
}

int CForm::Enable(int enable)
{
    return ::EnableWindow(m_hWnd, enable);
}

int CForm::EnableChild(unsigned long id, int enable)
{
    return ::EnableWindow(::GetDlgItem(m_hWnd, id), enable);
}

int CForm::IsIconic() const
{
    return ::IsIconic(m_hWnd);
}

int CForm::IsZoomed() const
{
    return ::IsZoomed(m_hWnd);
}

int CForm::IsVisible() const
{
    return ::IsWindowVisible(m_hWnd);
}

int CForm::IsEnabled() const
{
    return ::IsWindowEnabled(m_hWnd);
}

int CForm::IsForegroundWindow() const
{
    return ::GetForegroundWindow() == m_hWnd ? 1 : 0;
}

int CForm::SetForegroundWindow()
{
    return ::SetForegroundWindow(m_hWnd);
}

HWND CForm::SetFocus()
{
    return ::SetFocus(m_hWnd);
}

HWND CForm::SetFocusChild(unsigned long id)
{
    return ::SetFocus(::GetDlgItem(m_hWnd, id));
}

HWND CForm::SetCapture()
{
    return ::SetCapture(m_hWnd);
}

HWND CForm::SetCaptureChild(unsigned long id)
{
    return ::SetCapture(::GetDlgItem(m_hWnd, id));
}

void CForm::ReleaseCapture()
{
    ::ReleaseCapture();
}

// Position and size.

int CForm::Move(const RECT* rect, int repaint)
{
    if (!rect)
        return ::MoveWindow(m_hWnd, 0, 0, 0, 0, repaint);
    return ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right, rect->bottom, repaint);
}

int CForm::MoveChild(unsigned long id, const RECT* rect, int repaint)
{
    HWND child = ::GetDlgItem(m_hWnd, id);
    if (!rect)
        return ::MoveWindow(child, 0, 0, 0, 0, repaint);
    return ::MoveWindow(child, rect->left, rect->top, rect->right, rect->bottom, repaint);
}

int CForm::Move(long x, long y, long width, long height, int repaint)
{
    return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

int CForm::MoveChild(unsigned long id, long x, long y, long width, long height, int repaint)
{
    return ::MoveWindow(::GetDlgItem(m_hWnd, id), x, y, width, height, repaint);
}

int CForm::SetPoint(POINT* point)
{
    return ::SetWindowPos(m_hWnd, NULL, point->x, point->y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

int CForm::SetPoint(long x, long y)
{
    return ::SetWindowPos(m_hWnd, NULL, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

int CForm::SetPointChild(unsigned long id, POINT* point)
{
    return ::SetWindowPos(::GetDlgItem(m_hWnd, id), NULL, point->x, point->y, 0, 0,
                          SWP_NOZORDER | SWP_NOSIZE);
}

int CForm::SetPointChild(unsigned long id, long x, long y)
{
    return ::SetWindowPos(::GetDlgItem(m_hWnd, id), NULL, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

int CForm::SetWindowPos(HWND insertAfter, long x, long y, long width, long height,
                        unsigned long flags)
{
    return ::SetWindowPos(m_hWnd, insertAfter, x, y, width, height, flags);
}

int CForm::SetWindowPos(HWND insertAfter, RECT* rect, unsigned long flags)
{
    return ::SetWindowPos(m_hWnd, insertAfter, rect->left, rect->top, rect->right, rect->bottom,
                          flags);
}

int CForm::GetPoint(POINT* point) const
{
    return TopLeft(m_hWnd, point ? &point->x : 0, point ? &point->y : 0);
}

int CForm::GetPoint(long* x, long* y) const
{
    return TopLeft(m_hWnd, x, y);
}

int CForm::GetPointChild(unsigned long id, POINT* point) const
{
    return TopLeft(::GetDlgItem(m_hWnd, id), point ? &point->x : 0, point ? &point->y : 0);
}

int CForm::GetPointChild(unsigned long id, long* x, long* y) const
{
    return TopLeft(::GetDlgItem(m_hWnd, id), x, y);
}

int CForm::GetRect(RECT* rect) const
{
    return ::GetWindowRect(m_hWnd, rect);
}

int CForm::GetRectChild(unsigned long id, RECT* rect) const
{
    return ::GetWindowRect(::GetDlgItem(m_hWnd, id), rect);
}

int CForm::GetRect(long* left, long* top, long* right, long* bottom) const
{
    return WindowSides(m_hWnd, left, top, right, bottom);
}

int CForm::GetRectChild(unsigned long id, long* left, long* top, long* right, long* bottom) const
{
    return WindowSides(::GetDlgItem(m_hWnd, id), left, top, right, bottom);
}

int CForm::GetClient(RECT* rect) const
{
    return ::GetClientRect(m_hWnd, rect);
}

int CForm::GetClientChild(unsigned long id, RECT* rect) const
{
    return ::GetClientRect(::GetDlgItem(m_hWnd, id), rect);
}

int CForm::GetClient(long* left, long* top, long* right, long* bottom) const
{
    return ClientSides(m_hWnd, left, top, right, bottom);
}

int CForm::GetClientChild(unsigned long id, long* left, long* top, long* right, long* bottom) const
{
    return ClientSides(::GetDlgItem(m_hWnd, id), left, top, right, bottom);
}

int CForm::SetClient(RECT* rect)
{
    POINT corner = {0, 0};
    TopLeft(m_hWnd, &corner.x, &corner.y);
    LONG style = ::GetWindowLongA(m_hWnd, GWL_STYLE);
    LONG exStyle = ::GetWindowLongA(m_hWnd, GWL_EXSTYLE);
    // A child window has no menu bar (GetMenu gives its identifier) and is placed in its
    // parent's client coordinates.
    BOOL child = (style & WS_CHILD) != 0;
    BOOL menu = !child && ::GetMenu(m_hWnd) != NULL;
    if (child)
        ::MapWindowPoints(NULL, ::GetParent(m_hWnd), &corner, 1);
    ::AdjustWindowRectEx(rect, style, menu, exStyle);
    return ::MoveWindow(m_hWnd, corner.x, corner.y, rect->right - rect->left,
                        rect->bottom - rect->top, TRUE);
}

int CForm::SetClient(long left, long top, long right, long bottom)
{
    RECT rect = {left, top, right, bottom};
    return SetClient(&rect);
}

int CForm::MoveToCenter(HWND reference)
{
    if (!reference)
        reference = ::GetDesktopWindow();
    RECT window = {0, 0, 0, 0};
    RECT client = {0, 0, 0, 0};
    ::GetWindowRect(m_hWnd, &window);
    ::GetClientRect(reference, &client);
    long width = window.right - window.left;
    long height = window.bottom - window.top;
    long x = (client.right - width) / 2;
    long y = (client.bottom - height) / 2;
    if (x < 0 || y < 0)
        return 0;
    return ::MoveWindow(m_hWnd, x, y, width, height, TRUE);
}

long CForm::GetWindowRgn(HRGN region) const
{
    return ::GetWindowRgn(m_hWnd, region);
}

long CForm::SetWindowRgn(HRGN region)
{
    return ::SetWindowRgn(m_hWnd, region, TRUE);
}

// Window properties and window data.

int CForm::SetPropA(const char* name, void* value)
{
    return ::SetPropA(m_hWnd, name, value);
}

int CForm::SetPropChild(unsigned long id, const char* name, void* value)
{
    return ::SetPropA(::GetDlgItem(m_hWnd, id), name, value);
}

void* CForm::GetPropA(const char* name) const
{
    return ::GetPropA(m_hWnd, name);
}

void* CForm::GetPropChild(unsigned long id, const char* name) const
{
    return ::GetPropA(::GetDlgItem(m_hWnd, id), name);
}

void* CForm::RemovePropA(const char* name)
{
    return ::RemovePropA(m_hWnd, name);
}

void* CForm::RemovePropChild(unsigned long id, const char* name)
{
    return ::RemovePropA(::GetDlgItem(m_hWnd, id), name);
}

long CForm::SetWindowLongA(int index, long value)
{
    return ::SetWindowLongA(m_hWnd, index, value);
}

long CForm::SetWindowLongChild(unsigned long id, int index, long value)
{
    return ::SetWindowLongA(::GetDlgItem(m_hWnd, id), index, value);
}

long CForm::GetWindowLongA(int index) const
{
    return ::GetWindowLongA(m_hWnd, index);
}

long CForm::GetWindowLongChild(unsigned long id, int index) const
{
    return ::GetWindowLongA(::GetDlgItem(m_hWnd, id), index);
}

// Scroll bars.

long CForm::SetScrollPos(int bar, int position, int redraw)
{
    return ::SetScrollPos(m_hWnd, bar, position, redraw);
}

long CForm::SetScrollPosChild(unsigned long id, int bar, int position, int redraw)
{
    return ::SetScrollPos(::GetDlgItem(m_hWnd, id), bar, position, redraw);
}

long CForm::GetScrollPos(int bar) const
{
    return ::GetScrollPos(m_hWnd, bar);
}

long CForm::GetScrollPosChild(unsigned long id, int bar) const
{
    return ::GetScrollPos(::GetDlgItem(m_hWnd, id), bar);
}

long CForm::SetScrollRange(int bar, int minimum, int maximum, int redraw)
{
    return ::SetScrollRange(m_hWnd, bar, minimum, maximum, redraw);
}

long CForm::SetScrollRangeChild(unsigned long id, int bar, int minimum, int maximum, int redraw)
{
    return ::SetScrollRange(::GetDlgItem(m_hWnd, id), bar, minimum, maximum, redraw);
}

long CForm::GetScrollRange(int bar, int* minimum, int* maximum) const
{
    return ::GetScrollRange(m_hWnd, bar, minimum, maximum);
}

long CForm::GetScrollRangeChild(unsigned long id, int bar, int* minimum, int* maximum) const
{
    return ::GetScrollRange(::GetDlgItem(m_hWnd, id), bar, minimum, maximum);
}

long CForm::SetScrollInfo(int bar, const SCROLLINFO* info, int redraw)
{
    return ::SetScrollInfo(m_hWnd, bar, info, redraw);
}

long CForm::SetScrollInfoChild(unsigned long id, int bar, const SCROLLINFO* info, int redraw)
{
    return ::SetScrollInfo(::GetDlgItem(m_hWnd, id), bar, info, redraw);
}

long CForm::GetScrollInfo(int bar, SCROLLINFO* info) const
{
    return ::GetScrollInfo(m_hWnd, bar, info);
}

long CForm::GetScrollInfoChild(unsigned long id, int bar, SCROLLINFO* info) const
{
    return ::GetScrollInfo(::GetDlgItem(m_hWnd, id), bar, info);
}

// Painting and device contexts.

HDC CForm::GetDC() const
{
    return ::GetDC(m_hWnd);
}

HDC CForm::GetDCChild(unsigned long id) const
{
    return ::GetDC(::GetDlgItem(m_hWnd, id));
}

HDC CForm::GetDCEx(HRGN clip, unsigned long flags) const
{
    return ::GetDCEx(m_hWnd, clip, flags);
}

HDC CForm::GetDCExChild(unsigned long id, HRGN clip, unsigned long flags) const
{
    return ::GetDCEx(::GetDlgItem(m_hWnd, id), clip, flags);
}

int CForm::ReleaseDC(HDC dc) const
{
    return ::ReleaseDC(m_hWnd, dc);
}

int CForm::ReleaseDCChild(unsigned long id, HDC dc) const
{
    return ::ReleaseDC(::GetDlgItem(m_hWnd, id), dc);
}

HDC CForm::BeginPaint(PAINTSTRUCT* paint)
{
    return ::BeginPaint(m_hWnd, paint);
}

long CForm::EndPaint(PAINTSTRUCT* paint)
{
    return ::EndPaint(m_hWnd, paint);
}

int CForm::Invalidate(const RECT* rect, int erase)
{
    return ::InvalidateRect(m_hWnd, rect, erase);
}

int CForm::Validate(const RECT* rect)
{
    return ::ValidateRect(m_hWnd, rect);
}

// Fonts and icons.

long CForm::SetFont(HFONT font) { return Send(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), 1); }

long CForm::SetFontChild(unsigned long id, HFONT font)
{
    return SendChild(m_hWnd, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), 1);
}

HFONT CForm::GetFont() const
{
    return reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
}

HFONT CForm::GetFontChild(unsigned long id) const
{
    return reinterpret_cast<HFONT>(::SendDlgItemMessageA(m_hWnd, id, WM_GETFONT, 0, 0));
}

HICON CForm::SetIcon(int type, HICON icon)
{
    return reinterpret_cast<HICON>(
        ::SendMessageA(m_hWnd, WM_SETICON, type, reinterpret_cast<LPARAM>(icon)));
}

HICON CForm::GetIcon(int type) const
{
    return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, WM_GETICON, type, 0));
}

// Messages and timers.

long CForm::SendMessageA(unsigned int message, WPARAM wParam, LPARAM lParam) const
{
    return Send(m_hWnd, message, wParam, lParam);
}

long CForm::SendMessageChild(unsigned long id, unsigned int message, WPARAM wParam,
                             LPARAM lParam) const { return SendChild(m_hWnd, id, message, wParam, lParam); }

int CForm::PostMessageA(unsigned int message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

int CForm::PostMessageChild(unsigned long id, unsigned int message, WPARAM wParam,
                            LPARAM lParam) const
{
    // PostMessageA with a null window would post to the thread's queue and report success; a
    // missing child fails instead, as the other Child members do.
    HWND child = ::GetDlgItem(m_hWnd, id);
    if (!child)
        return 0;
    return ::PostMessageA(child, message, wParam, lParam);
}

long CForm::SetTimer(unsigned long timerId, unsigned long milliseconds, TIMERPROC procedure)
{
    return static_cast<long>(::SetTimer(m_hWnd, timerId, milliseconds, procedure));
}

long CForm::KillTimer(unsigned long timerId)
{
    return ::KillTimer(m_hWnd, timerId);
}

// Numbers as window text.

int CForm::SetLong(long value)
{
    char text[kNumberText];
    wsprintfA(text, "%d", value);
    return ::SetWindowTextA(m_hWnd, text);
}

int CForm::SetLongChild(unsigned long id, long value)
{
    char text[kNumberText];
    wsprintfA(text, "%d", value);
    return ::SetDlgItemTextA(m_hWnd, id, text);
}

int CForm::SetULong(unsigned long value)
{
    char text[kNumberText];
    wsprintfA(text, "%u", value);
    return ::SetWindowTextA(m_hWnd, text);
}

int CForm::SetULongChild(unsigned long id, unsigned long value)
{
    char text[kNumberText];
    wsprintfA(text, "%u", value);
    return ::SetDlgItemTextA(m_hWnd, id, text);
}

int CForm::SetFloat(float value)
{
    char text[kNumberText];
    FormatFloat(text, value);
    return ::SetWindowTextA(m_hWnd, text);
}

int CForm::SetFloatChild(unsigned long id, float value)
{
    char text[kNumberText];
    FormatFloat(text, value);
    return ::SetDlgItemTextA(m_hWnd, id, text);
}

int CForm::SetHex(unsigned long value)
{
    char text[kNumberText];
    FormatHexWs(text, value);
    return ::SetWindowTextA(m_hWnd, text);
}

int CForm::SetHexChild(unsigned long id, unsigned long value)
{
    char text[kNumberText];
    FormatHexC(text, value);
    return ::SetDlgItemTextA(m_hWnd, id, text);
}

long CForm::GetLong() const
{
    char text[kNumberText] = "";
    ::GetWindowTextA(m_hWnd, text, 31);
    return static_cast<long>(DecimalValue(text));
}

long CForm::GetLongChild(unsigned long id) const
{
    char text[kNumberText] = "";
    ::GetDlgItemTextA(m_hWnd, id, text, 31);
    return static_cast<long>(DecimalValue(text));
}

unsigned long CForm::GetULong() const
{
    char text[kNumberText] = "";
    ::GetWindowTextA(m_hWnd, text, 31);
    return DecimalValue(text);
}

unsigned long CForm::GetULongChild(unsigned long id) const
{
    char text[kNumberText] = "";
    ::GetDlgItemTextA(m_hWnd, id, text, 31);
    return DecimalValue(text);
}

float CForm::GetFloat() const
{
    char text[kNumberText] = "";
    ::GetWindowTextA(m_hWnd, text, 31);
    return static_cast<float>(atof(text));
}

float CForm::GetFloatChild(unsigned long id) const
{
    char text[kNumberText] = "";
    ::GetDlgItemTextA(m_hWnd, id, text, 31);
    return static_cast<float>(atof(text));
}

unsigned long CForm::GetHex() const
{
    char text[kNumberText] = "";
    ::GetWindowTextA(m_hWnd, text, kNumberText);
    return static_cast<unsigned long>(hextoascii(text));
}

unsigned long CForm::GetHexChild(unsigned long id) const
{
    char text[kNumberText] = "";
    ::GetDlgItemTextA(m_hWnd, id, text, kNumberText);
    return static_cast<unsigned long>(hextoascii(text));
}

// Message boxes.

long CForm::MsgBox(const char* text, unsigned long style, const char* caption)
{
    if (caption)
        return ::MessageBoxA(m_hWnd, text, caption, style);
    int length = ::GetWindowTextLengthA(m_hWnd);
    if (length < 0)
        length = 0;
    char* title = static_cast<char*>(::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, length + 2));
    if (title)
        ::GetWindowTextA(m_hWnd, title, length + 1);
    long result = ::MessageBoxA(m_hWnd, text, title ? title : "", style);
    if (title)
        ::HeapFree(::GetProcessHeap(), 0, title);
    return result;
}

long CForm::Alert(const char* text, const char* caption)
{
    return MsgBox(text, MB_OK | MB_ICONEXCLAMATION, caption);
}

long CForm::Question(const char* text, const char* caption)
{
    return MsgBox(text, MB_YESNO | MB_ICONQUESTION, caption);
}

long CForm::Error(const char* text, const char* caption)
{
    return MsgBox(text, MB_OK | MB_ICONHAND, caption);
}

// Files.

void CForm::DragAcceptFiles(int accept)
{
    ::DragAcceptFiles(m_hWnd, accept);
}

int CForm::OrderFile(unsigned long id, int open, const char* filter, const char* defaultExtension,
                     const char* initialName)
{
    char file[MAX_PATH];
    ZeroMemory(file, sizeof file);
    if (initialName)
        lstrcpynA(file, initialName, sizeof file);
    else
        ::GetDlgItemTextA(m_hWnd, id, file, sizeof file);

    OPENFILENAMEA ofn;
    StartFileDialogRecord(ofn, m_hWnd);
    ofn.lpstrFilter = filter;
    ofn.lpstrFile = file;
    ofn.lpstrDefExt = defaultExtension;
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

    BOOL chosen = open ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
    if (!chosen)
        return 0;
    ::SetDlgItemTextA(m_hWnd, id, file);
    return 1;
}

// Button messages.

long CForm::SetCheck(int check) { return Send(m_hWnd, BM_SETCHECK, check ? 1 : 0); }
long CForm::SetCheckChild(unsigned long id, int check) { return SendChild(m_hWnd, id, BM_SETCHECK, check ? 1 : 0); }
long CForm::GetCheck() const { return Send(m_hWnd, BM_GETCHECK); }
long CForm::GetCheckChild(unsigned long id) const { return SendChild(m_hWnd, id, BM_GETCHECK); }

// List box messages.

long CForm::ltResetContent() { return Send(m_hWnd, LB_RESETCONTENT); }
long CForm::ltResetContentChild(unsigned long id) { return SendChild(m_hWnd, id, LB_RESETCONTENT); }
long CForm::ltInsertString(long index, const char* text) { return Send(m_hWnd, LB_INSERTSTRING, index, text); }

long CForm::ltInsertStringChild(unsigned long id, long index, const char* text)
{
    return SendChild(m_hWnd, id, LB_INSERTSTRING, index, text);
}

long CForm::ltSetCurSel(long index) { return Send(m_hWnd, LB_SETCURSEL, index); }
long CForm::ltSetCurSelChild(unsigned long id, long index) { return SendChild(m_hWnd, id, LB_SETCURSEL, index); }
long CForm::ltGetCurSel() const { return Send(m_hWnd, LB_GETCURSEL); }
long CForm::ltGetCurSelChild(unsigned long id) const { return SendChild(m_hWnd, id, LB_GETCURSEL); }
long CForm::ltGetListText(long index, char* buffer) const { return Send(m_hWnd, LB_GETTEXT, index, buffer); }

long CForm::ltGetListTextChild(unsigned long id, long index, char* buffer) const
{
    return SendChild(m_hWnd, id, LB_GETTEXT, index, buffer);
}

long CForm::ltDir(const char* fileSpec, unsigned long attributes) { return Send(m_hWnd, LB_DIR, attributes, fileSpec); }

long CForm::ltDirChild(unsigned long id, const char* fileSpec, unsigned long attributes)
{
    return SendChild(m_hWnd, id, LB_DIR, attributes, fileSpec);
}

long CForm::ltDeleteItem(long index) { return Send(m_hWnd, LB_DELETESTRING, index); }
long CForm::ltDeleteItemChild(unsigned long id, long index) { return SendChild(m_hWnd, id, LB_DELETESTRING, index); }
long CForm::ltGetItemCount() const { return Send(m_hWnd, LB_GETCOUNT); }
long CForm::ltGetItemCountChild(unsigned long id) const { return SendChild(m_hWnd, id, LB_GETCOUNT); }

// Combo box messages.

long CForm::cbResetContent() { return Send(m_hWnd, CB_RESETCONTENT); }
long CForm::cbResetContentChild(unsigned long id) { return SendChild(m_hWnd, id, CB_RESETCONTENT); }
long CForm::cbInsertString(long index, const char* text) { return Send(m_hWnd, CB_INSERTSTRING, index, text); }

long CForm::cbInsertStringChild(unsigned long id, long index, const char* text)
{
    return SendChild(m_hWnd, id, CB_INSERTSTRING, index, text);
}

long CForm::cbSetCurSel(long index) { return Send(m_hWnd, CB_SETCURSEL, index); }
long CForm::cbSetCurSelChild(unsigned long id, long index) { return SendChild(m_hWnd, id, CB_SETCURSEL, index); }
long CForm::cbGetCurSel() const { return Send(m_hWnd, CB_GETCURSEL); }
long CForm::cbGetCurSelChild(unsigned long id) const { return SendChild(m_hWnd, id, CB_GETCURSEL); }
long CForm::cbDeleteItem(long index) { return Send(m_hWnd, CB_DELETESTRING, index); }
long CForm::cbDeleteItemChild(unsigned long id, long index) { return SendChild(m_hWnd, id, CB_DELETESTRING, index); }
long CForm::cbGetItemCount() const { return Send(m_hWnd, CB_GETCOUNT); }
long CForm::cbGetItemCountChild(unsigned long id) const { return SendChild(m_hWnd, id, CB_GETCOUNT); }

// Edit messages.

long CForm::edSetLimitText(long limit) { return Send(m_hWnd, EM_LIMITTEXT, limit); }
long CForm::edSetLimitTextChild(unsigned long id, long limit) { return SendChild(m_hWnd, id, EM_LIMITTEXT, limit); }
long CForm::edCopy() { return Send(m_hWnd, WM_COPY); }
long CForm::edCopyChild(unsigned long id) { return SendChild(m_hWnd, id, WM_COPY); }
long CForm::edPaste() { return Send(m_hWnd, WM_PASTE); }
long CForm::edPasteChild(unsigned long id) { return SendChild(m_hWnd, id, WM_PASTE); }
long CForm::edClear() { return Send(m_hWnd, WM_CLEAR); }
long CForm::edClearChild(unsigned long id) { return SendChild(m_hWnd, id, WM_CLEAR); }
long CForm::edReplaceSel(const char* text) { return Send(m_hWnd, EM_REPLACESEL, 0, text); }

long CForm::edReplaceSelChild(unsigned long id, const char* text)
{
    return SendChild(m_hWnd, id, EM_REPLACESEL, 0, text);
}
