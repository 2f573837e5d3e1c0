// form.h - the window wrapper.
//
// Classes in this header:
//   CForm   one window handle plus a free value: forwarders to the Win32 window calls and
//           messages, each also in a Child form that works on a child control by identifier
//
// A member named ...Child does what the member without the suffix does, to the child control with
// the identifier (GetDlgItem, SendDlgItemMessageA, SetDlgItemTextA), and returns the same kind of
// result. With no such child the call goes to a null window as Win32 takes it (messages are not
// sent and give 0, most calls fail; GetDCChild gives the screen's context, SetFocusChild takes the
// focus away), except PostMessageChild, which posts nothing and returns 0.
#pragma once

#include <windows.h>
#include "frame.h"

class TARVIK_API CForm {
public:
    CForm(HWND window = 0);
    CForm(const CForm& other);
    virtual ~CForm();

    // Copies window and param; returns this object.
    CForm& operator=(const CForm& other);
    // Replaces the window; returns the window held before.
    HWND operator=(HWND window);
    // Returns 1 when the wrapped window is the given one, else 0.
    int operator==(HWND window) const;
    // Returns the wrapped window.
    operator HWND() const;
    // Returns the wrapped window.
    HWND GetWindow() const;
    // Replaces the window; returns the window held before.
    HWND SetWindow(HWND window);
    // Returns the caller's free value.
    unsigned long GetParam() const;
    // Replaces the caller's free value; returns the value held before.
    unsigned long SetParam(unsigned long param);
    // Returns the child window with the identifier (GetDlgItem).
    HWND GetDlgItem(unsigned long id) const;
    // Returns the parent or owner window (GetParent).
    HWND GetParent() const;
    // Creates the window (CreateWindowExA), stores it and returns it (null on failure).
    HWND Create(unsigned long exStyle, const char* className, const char* windowName,
                unsigned long style, long x, long y, long width, long height, HWND parent,
                HMENU menu, HINSTANCE instance, void* createParam);
    // Returns the DestroyWindow result; the stale handle stays in the object.
    int Destroy();
    // Returns the UpdateWindow result.
    int Update();

    // Window text.
    // Returns the SetWindowTextA result.
    int SetText(const char* text);
    // Returns the SetDlgItemTextA result.
    int SetTextChild(unsigned long id, const char* text);
    // Returns the characters copied by GetWindowTextA (capacity includes the terminator).
    int GetText(char* buffer, int capacity) const;
    // Returns the characters copied by GetDlgItemTextA.
    int GetTextChild(unsigned long id, char* buffer, int capacity) const;
    // Returns the GetWindowTextLengthA result.
    long GetTextLength() const;
    long GetTextLengthChild(unsigned long id) const;

    // Visibility, state, focus and capture.
    // Returns the ShowWindow result (whether the window was visible before).
    int Show(int command);
    int ShowChild(unsigned long id, int command);
    // Returns the EnableWindow result (whether the window was disabled before).
    int Enable(int enable);
    int EnableChild(unsigned long id, int enable);
    // Returns the IsIconic result.
    int IsIconic() const;
    // Returns the IsZoomed result.
    int IsZoomed() const;
    // Returns the IsWindowVisible result.
    int IsVisible() const;
    // Returns the IsWindowEnabled result.
    int IsEnabled() const;
    // Returns 1 when the wrapped window is the foreground window, else 0.
    int IsForegroundWindow() const;
    // Returns the SetForegroundWindow result.
    int SetForegroundWindow();
    // Returns the window that had the focus before (SetFocus).
    HWND SetFocus();
    HWND SetFocusChild(unsigned long id);
    // Returns the window that had the capture before (SetCapture).
    HWND SetCapture();
    HWND SetCaptureChild(unsigned long id);
    // Returns nothing; releases the mouse capture (ReleaseCapture).
    void ReleaseCapture();

    // Position and size. A RECT given for positioning holds x, y, width and height.
    // Returns the MoveWindow result; a null rectangle moves to 0, 0 with size 0 x 0.
    int Move(const RECT* rect, int repaint);
    int MoveChild(unsigned long id, const RECT* rect, int repaint);
    // Returns the MoveWindow result.
    int Move(long x, long y, long width, long height, int repaint);
    int MoveChild(unsigned long id, long x, long y, long width, long height, int repaint);
    // Returns the SetWindowPos result of moving the top-left corner.
    int SetPoint(POINT* point);
    // Returns the SetWindowPos result of moving the top-left corner.
    int SetPoint(long x, long y);
    int SetPointChild(unsigned long id, POINT* point);
    int SetPointChild(unsigned long id, long x, long y);
    // Returns the SetWindowPos result.
    int SetWindowPos(HWND insertAfter, long x, long y, long width, long height, unsigned long flags);
    // Returns the SetWindowPos result; the rectangle holds x, y, width and height.
    int SetWindowPos(HWND insertAfter, RECT* rect, unsigned long flags);
    // Returns 1 with the top-left corner in screen coordinates, or 0 (output unchanged).
    int GetPoint(POINT* point) const;
    // Returns 1 with the top-left corner in screen coordinates, or 0 (outputs unchanged).
    int GetPoint(long* x, long* y) const;
    int GetPointChild(unsigned long id, POINT* point) const;
    int GetPointChild(unsigned long id, long* x, long* y) const;
    // Returns the GetWindowRect result (screen coordinates).
    int GetRect(RECT* rect) const;
    int GetRectChild(unsigned long id, RECT* rect) const;
    // Returns 1 with the window rectangle's sides (null outputs skipped), or 0.
    int GetRect(long* left, long* top, long* right, long* bottom) const;
    int GetRectChild(unsigned long id, long* left, long* top, long* right, long* bottom) const;
    // Returns the GetClientRect result.
    int GetClient(RECT* rect) const;
    int GetClientChild(unsigned long id, RECT* rect) const;
    // Returns 1 with the client rectangle's sides (null outputs skipped), or 0.
    int GetClient(long* left, long* top, long* right, long* bottom) const;
    int GetClientChild(unsigned long id, long* left, long* top, long* right, long* bottom) const;
    // Returns the MoveWindow result of sizing the window around the wanted client rectangle
    // (the rectangle is widened in place).
    int SetClient(RECT* rect);
    // Returns the MoveWindow result of sizing the window around the wanted client rectangle.
    int SetClient(long left, long top, long right, long bottom);
    // Returns the MoveWindow result of centring over the reference (null: the desktop), or 0
    // without moving when the window does not fit.
    int MoveToCenter(HWND reference = 0);
    // Returns the GetWindowRgn result (region type); the region receives a copy.
    long GetWindowRgn(HRGN region) const;
    // Returns the SetWindowRgn result (redraw on).
    long SetWindowRgn(HRGN region);

    // Window properties and window data.
    // Returns the SetPropA result.
    int SetPropA(const char* name, void* value);
    int SetPropChild(unsigned long id, const char* name, void* value);
    // Returns the GetPropA result.
    void* GetPropA(const char* name) const;
    void* GetPropChild(unsigned long id, const char* name) const;
    // Returns the removed value (RemovePropA).
    void* RemovePropA(const char* name);
    void* RemovePropChild(unsigned long id, const char* name);
    // Returns the previous value (SetWindowLongA).
    long SetWindowLongA(int index, long value);
    long SetWindowLongChild(unsigned long id, int index, long value);
    // Returns the GetWindowLongA result.
    long GetWindowLongA(int index) const;
    long GetWindowLongChild(unsigned long id, int index) const;

    // Scroll bars (SB_HORZ, SB_VERT or SB_CTL).
    // Returns the previous position (SetScrollPos).
    long SetScrollPos(int bar, int position, int redraw);
    long SetScrollPosChild(unsigned long id, int bar, int position, int redraw);
    // Returns the GetScrollPos result.
    long GetScrollPos(int bar) const;
    long GetScrollPosChild(unsigned long id, int bar) const;
    // Returns the SetScrollRange result.
    long SetScrollRange(int bar, int minimum, int maximum, int redraw);
    long SetScrollRangeChild(unsigned long id, int bar, int minimum, int maximum, int redraw);
    // Returns the GetScrollRange result.
    long GetScrollRange(int bar, int* minimum, int* maximum) const;
    long GetScrollRangeChild(unsigned long id, int bar, int* minimum, int* maximum) const;
    // Returns the SetScrollInfo result (the current position).
    long SetScrollInfo(int bar, const SCROLLINFO* info, int redraw);
    long SetScrollInfoChild(unsigned long id, int bar, const SCROLLINFO* info, int redraw);
    // Returns the GetScrollInfo result.
    long GetScrollInfo(int bar, SCROLLINFO* info) const;
    long GetScrollInfoChild(unsigned long id, int bar, SCROLLINFO* info) const;

    // Painting and device contexts.
    // Returns the GetDC result.
    HDC GetDC() const;
    HDC GetDCChild(unsigned long id) const;
    // Returns the GetDCEx result.
    HDC GetDCEx(HRGN clip, unsigned long flags) const;
    HDC GetDCExChild(unsigned long id, HRGN clip, unsigned long flags) const;
    // Returns the ReleaseDC result.
    int ReleaseDC(HDC dc) const;
    int ReleaseDCChild(unsigned long id, HDC dc) const;
    // Returns the BeginPaint result.
    HDC BeginPaint(PAINTSTRUCT* paint);
    // Returns the EndPaint result.
    long EndPaint(PAINTSTRUCT* paint);
    // Returns the InvalidateRect result (null rectangle: all).
    int Invalidate(const RECT* rect, int erase);
    // Returns the ValidateRect result (null rectangle: all).
    int Validate(const RECT* rect);

    // Fonts and icons.
    // Returns the WM_SETFONT result (redraw on).
    long SetFont(HFONT font);
    long SetFontChild(unsigned long id, HFONT font);
    // Returns the WM_GETFONT result.
    HFONT GetFont() const;
    HFONT GetFontChild(unsigned long id) const;
    // Returns the previous icon of the type (WM_SETICON).
    HICON SetIcon(int type, HICON icon);
    // Returns the icon of the type (WM_GETICON).
    HICON GetIcon(int type) const;

    // Messages and timers.
    // Returns the SendMessageA result.
    long SendMessageA(unsigned int message, WPARAM wParam, LPARAM lParam) const;
    // Returns the SendDlgItemMessageA result.
    long SendMessageChild(unsigned long id, unsigned int message, WPARAM wParam, LPARAM lParam) const;
    // Returns the PostMessageA result.
    int PostMessageA(unsigned int message, WPARAM wParam, LPARAM lParam) const;
    int PostMessageChild(unsigned long id, unsigned int message, WPARAM wParam, LPARAM lParam) const;
    // Returns the timer identifier, or 0 on failure (SetTimer).
    long SetTimer(unsigned long timerId, unsigned long milliseconds, TIMERPROC procedure);
    // Returns the KillTimer result.
    long KillTimer(unsigned long timerId);

    // Numbers as window text.
    // Returns the SetWindowTextA result for the text "%d".
    int SetLong(long value);
    // Returns the SetDlgItemTextA result for the text "%d".
    int SetLongChild(unsigned long id, long value);
    // Returns the SetWindowTextA result for the text "%u".
    int SetULong(unsigned long value);
    // Returns the SetDlgItemTextA result for the text "%u".
    int SetULongChild(unsigned long id, unsigned long value);
    // Returns the SetWindowTextA result for the value in the library's float format.
    int SetFloat(float value);
    // Returns the SetDlgItemTextA result for the value in the library's float format.
    int SetFloatChild(unsigned long id, float value);
    // Returns the SetWindowTextA result for the value in the library's hex format.
    int SetHex(unsigned long value);
    // Returns the SetDlgItemTextA result for the value in the library's hex format.
    int SetHexChild(unsigned long id, unsigned long value);
    // Returns the decimal value of the first 30 characters of the text.
    long GetLong() const;
    long GetLongChild(unsigned long id) const;
    // Returns the decimal value of the first 30 characters of the text, as unsigned.
    unsigned long GetULong() const;
    unsigned long GetULongChild(unsigned long id) const;
    // Returns the atof value of the first 30 characters of the text.
    float GetFloat() const;
    float GetFloatChild(unsigned long id) const;
    // Returns the hexadecimal value of the first 31 characters of the text.
    unsigned long GetHex() const;
    unsigned long GetHexChild(unsigned long id) const;

    // Message boxes; a null caption means the window's own title.
    // Returns the MessageBoxA result (IDOK, IDYES, ...).
    long MsgBox(const char* text, unsigned long style = MB_OK, const char* caption = 0);
    // Returns the MessageBoxA result of an exclamation box with OK.
    long Alert(const char* text, const char* caption = 0);
    // Returns the MessageBoxA result of a question box with Yes and No.
    long Question(const char* text, const char* caption = 0);
    // Returns the MessageBoxA result of an error box with OK.
    long Error(const char* text, const char* caption = 0);

    // Files.
    // Returns nothing; registers the window for dropped files (shell DragAcceptFiles).
    void DragAcceptFiles(int accept);
    // Returns 1 when a file was chosen in the open (nonzero flag) or save dialog and written
    // into the child control, else 0.
    int OrderFile(unsigned long id, int open, const char* filter, const char* defaultExtension,
                  const char* initialName);

    // Forwarded control messages. Each member sends one message, with its arguments as wParam and
    // lParam, and returns the control's answer.
    // Buttons: BM_SETCHECK (wParam 1 for a nonzero flag, else 0), BM_GETCHECK.
    long SetCheck(int check);
    long SetCheckChild(unsigned long id, int check);
    long GetCheck() const;
    long GetCheckChild(unsigned long id) const;

    // List boxes, in order: LB_RESETCONTENT, LB_INSERTSTRING (the index, or LB_ERR / LB_ERRSPACE),
    // LB_SETCURSEL, LB_GETCURSEL, LB_GETTEXT (the text length, or LB_ERR), LB_DIR (attributes in
    // wParam, file pattern in lParam), LB_DELETESTRING (the remaining count, or LB_ERR), LB_GETCOUNT.
    long ltResetContent();
    long ltResetContentChild(unsigned long id);
    long ltInsertString(long index, const char* text);
    long ltInsertStringChild(unsigned long id, long index, const char* text);
    long ltSetCurSel(long index);
    long ltSetCurSelChild(unsigned long id, long index);
    long ltGetCurSel() const;
    long ltGetCurSelChild(unsigned long id) const;
    long ltGetListText(long index, char* buffer) const;
    long ltGetListTextChild(unsigned long id, long index, char* buffer) const;
    long ltDir(const char* fileSpec, unsigned long attributes);
    long ltDirChild(unsigned long id, const char* fileSpec, unsigned long attributes);
    long ltDeleteItem(long index);
    long ltDeleteItemChild(unsigned long id, long index);
    long ltGetItemCount() const;
    long ltGetItemCountChild(unsigned long id) const;

    // Combo boxes, in order: CB_RESETCONTENT, CB_INSERTSTRING (the index, or CB_ERR / CB_ERRSPACE),
    // CB_SETCURSEL, CB_GETCURSEL, CB_DELETESTRING (the remaining count, or CB_ERR), CB_GETCOUNT.
    long cbResetContent();
    long cbResetContentChild(unsigned long id);
    long cbInsertString(long index, const char* text);
    long cbInsertStringChild(unsigned long id, long index, const char* text);
    long cbSetCurSel(long index);
    long cbSetCurSelChild(unsigned long id, long index);
    long cbGetCurSel() const;
    long cbGetCurSelChild(unsigned long id) const;
    long cbDeleteItem(long index);
    long cbDeleteItemChild(unsigned long id, long index);
    long cbGetItemCount() const;
    long cbGetItemCountChild(unsigned long id) const;

    // Edit controls, in order: EM_LIMITTEXT, WM_COPY, WM_PASTE, WM_CLEAR, EM_REPLACESEL (not undoable).
    long edSetLimitText(long limit);
    long edSetLimitTextChild(unsigned long id, long limit);
    long edCopy();
    long edCopyChild(unsigned long id);
    long edPaste();
    long edPasteChild(unsigned long id);
    long edClear();
    long edClearChild(unsigned long id);
    long edReplaceSel(const char* text);
    long edReplaceSelChild(unsigned long id, const char* text);

protected:
    HWND m_hWnd;            // the wrapped window, may be null
    unsigned long m_param;  // the owner's free value, never interpreted here
};
