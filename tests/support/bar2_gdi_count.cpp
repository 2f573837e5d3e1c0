// bar2_gdi_count.cpp - GDI call counting for the position bar's tests and benchmark.
#include "bar2_gdi_count.h"

#include <stdio.h>
#include <set>
#include <vector>

#include "import_patch.h"

namespace bar2test {
namespace {

HWND g_watched;
bool g_inPaint;
PaintRecord g_current;
PaintRecord g_last;
long g_paints;
long g_badPaints;
long long g_created;
std::set<HGDIOBJ> g_live;
std::vector<HGDIOBJ> g_createdInPaint;

HDC(WINAPI* realBeginPaint)(HWND, LPPAINTSTRUCT);
BOOL(WINAPI* realEndPaint)(HWND, const PAINTSTRUCT*);
int(WINAPI* realFillRect)(HDC, const RECT*, HBRUSH);
HDC(WINAPI* realCreateCompatibleDC)(HDC);
HBITMAP(WINAPI* realCreateCompatibleBitmap)(HDC, int, int);
HBRUSH(WINAPI* realCreateSolidBrush)(COLORREF);
HPEN(WINAPI* realCreatePen)(int, int, COLORREF);
HBRUSH(WINAPI* realCreateBrushIndirect)(const LOGBRUSH*);
HPEN(WINAPI* realCreatePenIndirect)(const LOGPEN*);
HBITMAP(WINAPI* realCreateBitmap)(int, int, UINT, UINT, const void*);
HRGN(WINAPI* realCreateRectRgn)(int, int, int, int);
BOOL(WINAPI* realDeleteObject)(HGDIOBJ);
BOOL(WINAPI* realDeleteDC)(HDC);
BOOL(WINAPI* realBitBlt)(HDC, int, int, int, int, HDC, int, int, DWORD);
BOOL(WINAPI* realMoveToEx)(HDC, int, int, LPPOINT);
BOOL(WINAPI* realLineTo)(HDC, int, int);
BOOL(WINAPI* realPatBlt)(HDC, int, int, int, int, DWORD);

// Counts a handle a hook created (under the counter while a paint runs); returns it.
template <class H>
H Created(H h, int PaintRecord::*counter)
{
    if (!h)
        return h;
    ++g_created;
    g_live.insert(h);
    if (g_inPaint) {
        ++(g_current.*counter);
        g_createdInPaint.push_back(h);
    }
    return h;
}

void Deleted(HGDIOBJ h, BOOL ok)
{
    if (ok)
        g_live.erase(h);
    else if (g_inPaint)
        ++g_current.failedDeletes;
}

void DrawnOn(HDC dc)
{
    if (g_inPaint && dc == g_current.paintDC)
        ++g_current.drawsOnPaintDC;
}

HDC WINAPI HookBeginPaint(HWND hwnd, LPPAINTSTRUCT ps)
{
    HDC dc = realBeginPaint(hwnd, ps);
    if (hwnd == g_watched && hwnd) {
        g_current = PaintRecord();
        g_current.paintDC = dc;
        g_createdInPaint.clear();
        g_inPaint = true;
    }
    return dc;
}

BOOL WINAPI HookEndPaint(HWND hwnd, const PAINTSTRUCT* ps)
{
    BOOL ok = realEndPaint(hwnd, ps);
    if (g_inPaint && hwnd == g_watched) {
        g_inPaint = false;
        for (HGDIOBJ h : g_createdInPaint) {
            if (g_live.count(h))
                ++g_current.undeleted;
            if (GetObjectType(h) != 0)
                ++g_current.stillValid;
        }
        if (g_current.bitBlts != 1 || g_current.blitsToPaintDC != 1 || g_current.drawsOnPaintDC != 0 ||
            g_current.undeleted != 0 || g_current.stillValid != 0 || g_current.failedDeletes != 0)
            ++g_badPaints;
        g_last = g_current;
        ++g_paints;
    }
    return ok;
}

int WINAPI HookFillRect(HDC dc, const RECT* rc, HBRUSH brush)
{
    DrawnOn(dc);
    return realFillRect(dc, rc, brush);
}

HDC WINAPI HookCreateCompatibleDC(HDC dc)
{
    HDC h = realCreateCompatibleDC(dc);
    if (h && g_inPaint && !g_current.firstMemoryDC)
        g_current.firstMemoryDC = h;
    Created(h, &PaintRecord::memoryDCs);
    return h;
}

HBITMAP WINAPI HookCreateCompatibleBitmap(HDC dc, int w, int h)
{
    return Created(realCreateCompatibleBitmap(dc, w, h), &PaintRecord::bitmaps);
}

HBRUSH WINAPI HookCreateSolidBrush(COLORREF c)
{
    return Created(realCreateSolidBrush(c), &PaintRecord::brushes);
}

HPEN WINAPI HookCreatePen(int style, int width, COLORREF c)
{
    return Created(realCreatePen(style, width, c), &PaintRecord::pens);
}

HBRUSH WINAPI HookCreateBrushIndirect(const LOGBRUSH* lb)
{
    return Created(realCreateBrushIndirect(lb), &PaintRecord::otherCreates);
}

HPEN WINAPI HookCreatePenIndirect(const LOGPEN* lp)
{
    return Created(realCreatePenIndirect(lp), &PaintRecord::otherCreates);
}

HBITMAP WINAPI HookCreateBitmap(int w, int h, UINT planes, UINT bits, const void* data)
{
    return Created(realCreateBitmap(w, h, planes, bits, data), &PaintRecord::otherCreates);
}

HRGN WINAPI HookCreateRectRgn(int l, int t, int r, int b)
{
    return Created(realCreateRectRgn(l, t, r, b), &PaintRecord::otherCreates);
}

BOOL WINAPI HookDeleteObject(HGDIOBJ h)
{
    BOOL ok = realDeleteObject(h);
    Deleted(h, ok);
    return ok;
}

BOOL WINAPI HookDeleteDC(HDC h)
{
    BOOL ok = realDeleteDC(h);
    Deleted(h, ok);
    return ok;
}

BOOL WINAPI HookBitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop)
{
    if (g_inPaint) {
        ++g_current.bitBlts;
        if (dst == g_current.paintDC) {
            ++g_current.blitsToPaintDC;
            g_current.bltSource = src;
            g_current.bltX = x;
            g_current.bltY = y;
            g_current.bltW = w;
            g_current.bltH = h;
            g_current.bltSrcX = sx;
            g_current.bltSrcY = sy;
            g_current.bltRop = rop;
        }
    }
    return realBitBlt(dst, x, y, w, h, src, sx, sy, rop);
}

BOOL WINAPI HookMoveToEx(HDC dc, int x, int y, LPPOINT old)
{
    DrawnOn(dc);
    return realMoveToEx(dc, x, y, old);
}

BOOL WINAPI HookLineTo(HDC dc, int x, int y)
{
    DrawnOn(dc);
    return realLineTo(dc, x, y);
}

BOOL WINAPI HookPatBlt(HDC dc, int x, int y, int w, int h, DWORD rop)
{
    DrawnOn(dc);
    return realPatBlt(dc, x, y, w, h, rop);
}

template <typename F>
bool Patch(const char* dll, const char* name, F& real, F hook)
{
    void* previous = testutil::PatchImport(NULL, dll, name, reinterpret_cast<void*>(hook));
    if (!previous)
        return false;
    real = reinterpret_cast<F>(previous);
    return true;
}

bool Install()
{
    static int state = 0;  // 0 not yet, 1 done, -1 failed
    if (state)
        return state > 0;
    bool ok = Patch("user32.dll", "BeginPaint", realBeginPaint, HookBeginPaint);
    ok = Patch("user32.dll", "EndPaint", realEndPaint, HookEndPaint) && ok;
    ok = Patch("user32.dll", "FillRect", realFillRect, HookFillRect) && ok;
    ok = Patch("gdi32.dll", "CreateCompatibleDC", realCreateCompatibleDC, HookCreateCompatibleDC) && ok;
    ok = Patch("gdi32.dll", "CreateCompatibleBitmap", realCreateCompatibleBitmap, HookCreateCompatibleBitmap) && ok;
    ok = Patch("gdi32.dll", "CreateSolidBrush", realCreateSolidBrush, HookCreateSolidBrush) && ok;
    ok = Patch("gdi32.dll", "CreatePen", realCreatePen, HookCreatePen) && ok;
    ok = Patch("gdi32.dll", "DeleteObject", realDeleteObject, HookDeleteObject) && ok;
    ok = Patch("gdi32.dll", "DeleteDC", realDeleteDC, HookDeleteDC) && ok;
    ok = Patch("gdi32.dll", "BitBlt", realBitBlt, HookBitBlt) && ok;
    ok = Patch("gdi32.dll", "MoveToEx", realMoveToEx, HookMoveToEx) && ok;
    ok = Patch("gdi32.dll", "LineTo", realLineTo, HookLineTo) && ok;
    // Imported only if something in the program uses them.
    Patch("gdi32.dll", "CreateBrushIndirect", realCreateBrushIndirect, HookCreateBrushIndirect);
    Patch("gdi32.dll", "CreatePenIndirect", realCreatePenIndirect, HookCreatePenIndirect);
    Patch("gdi32.dll", "CreateBitmap", realCreateBitmap, HookCreateBitmap);
    Patch("gdi32.dll", "CreateRectRgn", realCreateRectRgn, HookCreateRectRgn);
    Patch("gdi32.dll", "PatBlt", realPatBlt, HookPatBlt);
    state = ok ? 1 : -1;
    return ok;
}

}  // namespace

bool WatchPaints(HWND hwnd)
{
    if (!Install())
        return false;
    g_watched = hwnd;
    g_inPaint = false;
    return true;
}

long PaintCount() { return g_paints; }

PaintRecord LastPaint() { return g_last; }

long LiveObjects() { return static_cast<long>(g_live.size()); }

long long ObjectsCreated() { return g_created; }

void ResetCounts()
{
    g_paints = 0;
    g_badPaints = 0;
    g_created = 0;
    g_live.clear();
    g_last = PaintRecord();
}

long BadPaints() { return g_badPaints; }

std::string Blits(const PaintRecord& r)
{
    char s[160];
    snprintf(s, sizeof s, "%d blit, %d onto the paint DC %dx%d at %d,%d from %d,%d rop %lx; %d other draws", r.bitBlts,
             r.blitsToPaintDC, r.bltW, r.bltH, r.bltX, r.bltY, r.bltSrcX, r.bltSrcY, static_cast<unsigned long>(r.bltRop),
             r.drawsOnPaintDC);
    return s;
}

std::string Objects(const PaintRecord& r)
{
    char s[160];
    snprintf(s, sizeof s, "dc %d bitmap %d brush %d pen %d other %d; undeleted %d valid %d failed deletes %d", r.memoryDCs,
             r.bitmaps, r.brushes, r.pens, r.otherCreates, r.undeleted, r.stillValid, r.failedDeletes);
    return s;
}

}  // namespace bar2test
