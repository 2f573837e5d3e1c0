// bench_position_bar - paints the position bar 10,000 times at the size it has in the main window
// and prints the mean time per paint and the GDI objects created per paint.
//
// The bar in the main window: 15 dialog units high, stretched to the client width of the 233-unit
// dialog less 20 pixels, with a client edge. At the player's 9-point font (about 6 x 13 pixels per
// character at 96 dpi) the dialog is about 350 pixels wide, so the bar is about 330 x 24 pixels
// (client area 326 x 20); the benchmark uses that size.
#include <windows.h>
#include <stdio.h>

#include "bar2_gdi_count.h"
#include "harness_util.h"
#include "import_patch.h"
#include "position_bar.h"

namespace {

const int kPaints = 10000;
const int kBarWidth = 330;
const int kBarHeight = 24;

LARGE_INTEGER g_freq;
LONGLONG g_inBitBlt;
LONGLONG g_inBeginEnd;
LONGLONG g_betweenBeginEnd;
LONGLONG g_beganAt;
BOOL(WINAPI* realBitBlt)(HDC, int, int, int, int, HDC, int, int, DWORD);
HDC(WINAPI* realBeginPaint)(HWND, LPPAINTSTRUCT);
BOOL(WINAPI* realEndPaint)(HWND, const PAINTSTRUCT*);

LONGLONG Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double Micro(LONGLONG ticks) { return static_cast<double>(ticks) * 1e6 / static_cast<double>(g_freq.QuadPart); }

BOOL WINAPI TimedBitBlt(HDC d, int x, int y, int w, int h, HDC s, int sx, int sy, DWORD rop)
{
    LONGLONG t0 = Now();
    BOOL ok = realBitBlt(d, x, y, w, h, s, sx, sy, rop);
    g_inBitBlt += Now() - t0;
    return ok;
}

HDC WINAPI TimedBeginPaint(HWND hwnd, LPPAINTSTRUCT ps)
{
    LONGLONG t0 = Now();
    HDC dc = realBeginPaint(hwnd, ps);
    g_beganAt = Now();
    g_inBeginEnd += g_beganAt - t0;
    return dc;
}

BOOL WINAPI TimedEndPaint(HWND hwnd, const PAINTSTRUCT* ps)
{
    LONGLONG t0 = Now();
    g_betweenBeginEnd += t0 - g_beganAt;
    BOOL ok = realEndPaint(hwnd, ps);
    g_inBeginEnd += Now() - t0;
    return ok;
}

// Returns this thread's CPU time (user + kernel) in microseconds.
double ThreadCpuMicro()
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return static_cast<double>(k.QuadPart + u.QuadPart) / 10.0;
}

// Paints kPaints times, moving the position each time as the player's timer does; returns the
// mean microseconds per paint.
double PaintLoop(HWND bar, bool visible)
{
    LONGLONG t0 = Now();
    for (int i = 0; i < kPaints; ++i) {
        SendMessageA(bar, BM2_SETPOS, 0, static_cast<UINT>(i) * 97);
        if (visible)
            UpdateWindow(bar);
        else
            SendMessageA(bar, WM_PAINT, 0, 0);
    }
    return Micro(Now() - t0) / kPaints;
}

// Times, on the bar's own context, each kind of call a paint makes, 2,000 times alone; prints the
// mean microseconds of each.
void PrimitiveCosts(HWND bar)
{
    const int n = 2000;
    RECT rc;
    GetClientRect(bar, &rc);
    HDC dc = GetDC(bar);
    LONGLONG t = Now();
    for (int i = 0; i < n; ++i)
        DeleteDC(CreateCompatibleDC(dc));
    double memDC = Micro(Now() - t) / n;
    t = Now();
    for (int i = 0; i < n; ++i)
        DeleteObject(CreateCompatibleBitmap(dc, rc.right, rc.bottom));
    double bitmap = Micro(Now() - t) / n;
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, rc.right, rc.bottom);
    HGDIOBJ old = SelectObject(mem, bmp);
    t = Now();
    for (int i = 0; i < n; ++i) {
        HBRUSH b = CreateSolidBrush(RGB(i, 0, 0));
        FillRect(mem, &rc, b);
        DeleteObject(b);
    }
    double fill = Micro(Now() - t) / n;
    t = Now();
    for (int i = 0; i < n; ++i) {
        HPEN p = CreatePen(PS_SOLID, 1, RGB(0, i, 0));
        HGDIOBJ o = SelectObject(mem, p);
        MoveToEx(mem, 10, 0, NULL);
        LineTo(mem, 10, rc.bottom);
        SelectObject(mem, o);
        DeleteObject(p);
    }
    double line = Micro(Now() - t) / n;
    t = Now();
    for (int i = 0; i < n; ++i)
        GetPropA(bar, BAR2_PROP_NAME);
    double prop = Micro(Now() - t) / n;
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(bar, dc);
    printf("single calls:    %.2f us memory DC, %.2f us %ld x %ld bitmap, %.2f us brush + FillRect, %.2f us pen + "
           "line, %.2f us GetPropA (each created and deleted)\n",
           memDC, bitmap, rc.right, rc.bottom, fill, line, prop);
}

}  // namespace

int main()
{
    QueryPerformanceFrequency(&g_freq);
    if (!RegisterBar2Class()) {
        printf("RegisterBar2Class failed\n");
        return 1;
    }
    testutil::TestWindowClass("Bar2BenchHost");
    HWND host = CreateWindowExA(0, "Bar2BenchHost", "bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40,
                                kBarWidth + 40, kBarHeight + 80, NULL, NULL, GetModuleHandleA(NULL), NULL);
    HWND bar = CreateWindowExA(WS_EX_CLIENTEDGE, BAR2_CLASS_NAME, "", WS_CHILD | WS_VISIBLE, 10, 40, kBarWidth,
                               kBarHeight, host, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1005)),
                               GetModuleHandleA(NULL), NULL);
    if (!host || !bar) {
        printf("window creation failed: %lu\n", GetLastError());
        return 1;
    }
    SendMessageA(bar, BM2_SETRANGE, 0, 44100 * 240);
    SendMessageA(bar, BM2_SETMARKER, 1, 44100 * 30);
    SendMessageA(bar, BM2_SETMARKER, 0, 44100 * 200);
    UpdateWindow(host);
    RECT rc;
    GetClientRect(bar, &rc);
    printf("position bar benchmark: %d paints, window %d x %d, client area %ld x %ld, %d-bit build\n", kPaints,
           kBarWidth, kBarHeight, rc.right, rc.bottom, static_cast<int>(sizeof(void*) * 8));

    // Where the time goes: BeginPaint + EndPaint (the system's bookkeeping of the update region),
    // the one BitBlt onto the window, and the rest: the control's own drawing off-screen.
    realBitBlt = reinterpret_cast<decltype(realBitBlt)>(
        testutil::PatchImport(NULL, "gdi32.dll", "BitBlt", reinterpret_cast<void*>(TimedBitBlt)));
    realBeginPaint = reinterpret_cast<decltype(realBeginPaint)>(
        testutil::PatchImport(NULL, "user32.dll", "BeginPaint", reinterpret_cast<void*>(TimedBeginPaint)));
    realEndPaint = reinterpret_cast<decltype(realEndPaint)>(
        testutil::PatchImport(NULL, "user32.dll", "EndPaint", reinterpret_cast<void*>(TimedEndPaint)));
    if (!realBitBlt || !realBeginPaint || !realEndPaint) {
        printf("timing hooks not available\n");
        return 1;
    }

    // Warm up, then the visible window, then the window hidden with WM_PAINT sent straight (nothing
    // reaches the display).
    PaintLoop(bar, true);
    for (int pass = 0; pass < 2; ++pass) {
        const bool visible = pass == 0;
        if (!visible)
            ShowWindow(host, SW_HIDE);
        g_inBitBlt = g_inBeginEnd = g_betweenBeginEnd = 0;
        double cpu0 = ThreadCpuMicro();
        double total = PaintLoop(bar, visible);
        double cpu = (ThreadCpuMicro() - cpu0) / kPaints;
        double blt = Micro(g_inBitBlt) / kPaints, beginEnd = Micro(g_inBeginEnd) / kPaints;
        double drawing = Micro(g_betweenBeginEnd) / kPaints - blt;
        printf("%s %8.2f us per paint (BM2_SETPOS, invalidation and WM_PAINT): %.2f in BeginPaint + EndPaint, "
               "%.2f in the BitBlt, %.2f drawing off-screen (objects, fills, line), %.2f elsewhere\n",
               visible ? "visible window:" : "hidden window: ", total, beginEnd, blt, drawing,
               total - beginEnd - blt - drawing);
        printf("                 this thread's CPU time: %.2f us per paint (the wall times above include waiting "
               "for the CPU and for wineserver)\n", cpu);
        if (visible)
            printf("budget:          the player repaints every 10 ms; 1%% of that is 100 us\n");
    }
    ShowWindow(host, SW_SHOWNA);
    UpdateWindow(host);

    PrimitiveCosts(bar);

    // GDI objects per paint, counted around the create and delete calls.
    if (!bar2test::WatchPaints(bar)) {
        printf("GDI counting not available\n");
        return 1;
    }
    bar2test::ResetCounts();
    PaintLoop(bar, true);
    bar2test::WatchPaints(NULL);
    long paints = bar2test::PaintCount();
    printf("GDI objects:     %.2f created per paint over %ld paints, %ld still alive after them, %ld paints "
           "breaking the one-BitBlt rule\n",
           paints ? static_cast<double>(bar2test::ObjectsCreated()) / paints : 0.0, paints, bar2test::LiveObjects(),
           bar2test::BadPaints());

    DestroyWindow(host);
    return 0;
}
