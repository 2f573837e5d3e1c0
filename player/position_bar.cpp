// position_bar.cpp - the position bar control: registration, drawing, mouse handling and the
// private messages.
#include "position_bar.h"

namespace {

const int kMargin = 4;

// Pixel coordinates far beyond any window are cut down to this; what lies outside the client
// area is clipped anyway, and the int conversion stays defined for markers outside the range.
const double kCoordLimit = 0x3FFFFFF;

// Returns the record of the window, or null when it has none (before WM_CREATE, after WM_DESTROY).
Bar2Instance* InstanceOf(HWND hwnd)
{
    return static_cast<Bar2Instance*>(GetPropA(hwnd, BAR2_PROP_NAME));
}

// Returns d truncated toward zero, held within +/- kCoordLimit.
int TruncCoord(double d)
{
    if (d > kCoordLimit)
        return static_cast<int>(kCoordLimit);
    if (d < -kCoordLimit)
        return -static_cast<int>(kCoordLimit);
    return static_cast<int>(d);
}

// Returns pixels per unit: (W - 8) / (maximum - minimum) in single precision, 0 for an empty range.
float ScaleOf(const Bar2Instance* bar, int width)
{
    if (bar->maximum == bar->minimum)
        return 0.0f;
    int span = static_cast<int>(bar->maximum - bar->minimum);
    return static_cast<float>(static_cast<double>(width - 2 * kMargin) / static_cast<double>(span));
}

// Returns the pixel offset of a count of units at the given scale, truncated toward zero.
int UnitsToPixels(UINT units, float scale)
{
    return TruncCoord(static_cast<double>(units) * static_cast<double>(scale));
}

// Returns the value under the client x coordinate, always within [minimum, maximum].
UINT ValueAt(const Bar2Instance* bar, int x, int width)
{
    double f = static_cast<double>(x - kMargin) / static_cast<double>(width - 2 * kMargin);
    if (f > 1.0)
        f = 1.0;
    else if (!(f >= 0.0))  // negative, or not a number
        f = 0.0;
    UINT span = bar->maximum - bar->minimum;
    return bar->minimum + static_cast<UINT>(f * static_cast<double>(span));
}

// Fills the rectangle with a brush of the colour made and deleted for this one fill.
void FillWithColor(HDC dc, const RECT& rc, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    if (!brush)
        return;
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
}

// Draws the whole client area into an off-screen bitmap and copies it in one BitBlt.
// BeginPaint for the length of a scope; EndPaint at its end.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : m_hwnd(hwnd) { m_dc = BeginPaint(hwnd, &m_ps); }
    ~PaintScope()
    {
        if (m_dc)
            EndPaint(m_hwnd, &m_ps);
    }
    HDC Get() const { return m_dc; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps;
    HDC m_dc;
};

// A memory context with a bitmap of the size selected, compatible with the given context; at the
// end of the scope the bitmap is deselected and deleted, then the context.
class BackBuffer {
public:
    BackBuffer(HDC model, int width, int height) : m_dc(CreateCompatibleDC(model)), m_bitmap(NULL), m_old(NULL)
    {
        m_bitmap = m_dc ? CreateCompatibleBitmap(model, width, height) : NULL;
        if (m_bitmap)
            m_old = SelectObject(m_dc, m_bitmap);
    }
    ~BackBuffer()
    {
        if (m_bitmap) {
            SelectObject(m_dc, m_old);
            DeleteObject(m_bitmap);
        }
        if (m_dc)
            DeleteDC(m_dc);
    }
    // The memory context, or null when the context or its bitmap could not be made.
    HDC Get() const { return m_bitmap ? m_dc : NULL; }

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};

void Paint(HWND hwnd, const Bar2Instance* bar)
{
    PaintScope paint(hwnd);
    HDC dc = paint.Get();
    if (!dc)
        return;

    RECT client;
    GetClientRect(hwnd, &client);
    const int width = client.right;
    const int height = client.bottom;

    BackBuffer buffer(dc, width, height);
    HDC mem = buffer.Get();
    if (!mem)
        return;

    FillWithColor(mem, client, bar->colors.bkgColor);

    const float scale = ScaleOf(bar, width);
    const int top = height / 4;
    const int bottom = top + height / 2;
    const int startX = UnitsToPixels(bar->start - bar->minimum, scale) + kMargin;

    if (bar->start != bar->minimum) {
        RECT rc = { kMargin, top, startX, bottom };
        FillWithColor(mem, rc, bar->colors.barColor);
    }
    if (bar->end > bar->start) {
        // The right edge adds the two truncations; it is not the pixel of the end marker.
        RECT rc = { startX, top, startX + UnitsToPixels(bar->end - bar->start, scale), bottom };
        FillWithColor(mem, rc, bar->colors.markerColor);
    }

    HPEN pen = CreatePen(PS_SOLID, 1, bar->colors.lineColor);
    if (pen) {
        const int lineX = UnitsToPixels(bar->position - bar->minimum, scale) + kMargin;
        HGDIOBJ oldPen = SelectObject(mem, pen);
        MoveToEx(mem, lineX, 0, NULL);
        LineTo(mem, lineX, height);
        SelectObject(mem, oldPen);
        DeleteObject(pen);
    }

    BitBlt(dc, 0, 0, width, height, mem, 0, 0, SRCCOPY);
}

// Applies the mouse x to the values of the active drag, tells the notify target and repaints.
// The record is not touched once the notification has been sent: the parent may destroy the
// control while handling it.
void DragStep(HWND hwnd, Bar2Instance* bar, LPARAM lParam)
{
    if (bar->dragMode == BAR2_DRAG_NONE)
        return;

    RECT client;
    GetClientRect(hwnd, &client);
    const int x = static_cast<short>(LOWORD(lParam));
    const UINT value = ValueAt(bar, x, client.right);

    if (bar->dragMode == BAR2_DRAG_LEFT) {
        bar->position = value;
        if (!(GetKeyState(VK_SHIFT) & 0x8000))
            bar->start = value;
    } else {
        bar->end = value;
    }

    Bar2Notify notify;
    notify.hdr.hwndFrom = hwnd;
    notify.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd));
    notify.hdr.code = BM2N_CHANGED;
    notify.minimum = bar->minimum;
    notify.maximum = bar->maximum;
    notify.start = bar->start;
    notify.end = bar->end;
    notify.position = bar->position;
    SendMessageA(bar->notifyTarget, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));

    InvalidateRect(hwnd, NULL, FALSE);
}

// Returns v moved into [minimum, maximum] with unsigned comparisons.
UINT ClampToRange(UINT v, UINT minimum, UINT maximum)
{
    if (v < minimum)
        return minimum;
    if (v > maximum)
        return maximum;
    return v;
}

// Writes the value through the pointer unless it is null.
void StoreIfGiven(UINT* target, UINT value)
{
    if (target)
        *target = value;
}

LRESULT OnCreate(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    Bar2Instance* bar = static_cast<Bar2Instance*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                                             sizeof(Bar2Instance)));
    if (!bar)
        return -1;
    const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    bar->hwnd = hwnd;
    bar->notifyTarget = create->hwndParent;
    bar->colors.bkgColor = RGB(0xFF, 0xFF, 0xFF);
    bar->colors.lineColor = RGB(0, 0, 0);
    bar->colors.barColor = RGB(0xDD, 0xDD, 0xDD);
    bar->colors.markerColor = RGB(0, 0, 0xFF);
    if (!SetPropA(hwnd, BAR2_PROP_NAME, bar)) {
        HeapFree(GetProcessHeap(), 0, bar);
        return -1;
    }
    return DefWindowProcA(hwnd, WM_CREATE, wParam, lParam);
}

}  // namespace

int RegisterBar2Class()
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = 0;
    wc.lpfnWndProc = Bar2WndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hIcon = NULL;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(5));
    wc.lpszMenuName = NULL;
    wc.lpszClassName = BAR2_CLASS_NAME;
    wc.hIconSm = NULL;
    return RegisterClassExA(&wc) ? 1 : 0;
}

LRESULT CALLBACK Bar2WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE)
        return OnCreate(hwnd, wParam, lParam);
    // Never erased, with or without a record: every paint covers the whole client area.
    if (msg == WM_ERASEBKGND)
        return 0;

    Bar2Instance* bar = InstanceOf(hwnd);
    if (!bar)
        return DefWindowProcA(hwnd, msg, wParam, lParam);

    switch (msg) {
    case WM_DESTROY:
        RemovePropA(hwnd, BAR2_PROP_NAME);
        HeapFree(GetProcessHeap(), 0, bar);
        return 0;

    case WM_PAINT:
        Paint(hwnd, bar);
        return 0;

    case WM_MOUSEMOVE:
        DragStep(hwnd, bar, lParam);
        return 0;

    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (bar->dragMode == BAR2_DRAG_NONE) {
            SetCapture(hwnd);
            bar->dragMode = msg == WM_LBUTTONDOWN ? BAR2_DRAG_LEFT : BAR2_DRAG_RIGHT;
            DragStep(hwnd, bar, lParam);
        }
        return 0;

    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (bar->dragMode == (msg == WM_LBUTTONUP ? BAR2_DRAG_LEFT : BAR2_DRAG_RIGHT)) {
            bar->dragMode = BAR2_DRAG_NONE;
            ReleaseCapture();
        }
        return 0;

    case BM2_SETRANGE:
        bar->minimum = static_cast<UINT>(wParam);
        bar->maximum = static_cast<UINT>(lParam);
        bar->start = ClampToRange(bar->start, bar->minimum, bar->maximum);
        bar->end = ClampToRange(bar->end, bar->minimum, bar->maximum);
        bar->position = ClampToRange(bar->position, bar->minimum, bar->maximum);
        InvalidateRect(hwnd, NULL, FALSE);
        return 1;

    case BM2_GETRANGE:
        StoreIfGiven(reinterpret_cast<UINT*>(wParam), bar->minimum);
        StoreIfGiven(reinterpret_cast<UINT*>(lParam), bar->maximum);
        return 1;

    case BM2_SETMARKER: {
        const UINT value = static_cast<UINT>(lParam);
        if (wParam)
            bar->start = value > bar->minimum ? value : bar->minimum;
        else
            bar->end = value < bar->maximum ? value : bar->maximum;
        InvalidateRect(hwnd, NULL, FALSE);
        return 1;
    }

    case BM2_GETMARKERS:
        StoreIfGiven(reinterpret_cast<UINT*>(wParam), bar->start);
        StoreIfGiven(reinterpret_cast<UINT*>(lParam), bar->end);
        return 1;

    case BM2_SETPOS:
        bar->position = ClampToRange(static_cast<UINT>(lParam), bar->minimum, bar->maximum);
        InvalidateRect(hwnd, NULL, FALSE);
        return 1;

    case BM2_GETPOS:
        if (!lParam)
            return 0;
        *reinterpret_cast<UINT*>(lParam) = bar->position;
        return 1;

    case BM2_SETCOLORS:
        if (!lParam)
            return 0;
        bar->colors = *reinterpret_cast<const Bar2Colors*>(lParam);
        return 1;

    case BM2_GETCOLORS:
        if (!lParam)
            return 0;
        *reinterpret_cast<Bar2Colors*>(lParam) = bar->colors;
        return 1;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
