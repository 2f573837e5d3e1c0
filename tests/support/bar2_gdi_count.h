// bar2_gdi_count.h - counts the GDI work of one window's paints by redirecting this program's
// imports of the GDI calls (see import_patch.h): objects created and deleted, BitBlt calls, and any
// drawing straight onto the paint context.
#pragma once

#include <windows.h>

#include <string>

namespace bar2test {

// What one WM_PAINT of the watched window did between BeginPaint and EndPaint.
struct PaintRecord {
    HDC paintDC;            // BeginPaint's context
    int memoryDCs;          // CreateCompatibleDC calls
    int bitmaps;            // CreateCompatibleBitmap calls
    int brushes;            // CreateSolidBrush calls
    int pens;               // CreatePen calls
    int otherCreates;       // any other object creation that was watched
    int failedDeletes;      // DeleteObject / DeleteDC that returned 0
    int undeleted;          // objects created in the paint and not deleted by EndPaint
    int stillValid;         // of those created, how many GetObjectType still knows after EndPaint
    int bitBlts;            // BitBlt calls
    int blitsToPaintDC;     // of them onto the paint context
    int drawsOnPaintDC;     // FillRect, MoveToEx, LineTo, PatBlt on the paint context
    HDC bltSource;          // source context of the last BitBlt onto the paint context
    int bltX, bltY, bltW, bltH, bltSrcX, bltSrcY;
    DWORD bltRop;
    HDC firstMemoryDC;      // the first memory context created in the paint
};

// A paint's drawing, decoded: "1 blit, 1 onto the paint DC 408x16 at 0,0 from 0,0 rop cc0020; 0 other draws".
std::string Blits(const PaintRecord& r);

// A paint's objects, decoded: "dc 1 bitmap 1 brush 3 pen 1 other 0; undeleted 0 valid 0 failed deletes 0".
std::string Objects(const PaintRecord& r);

// Installs the redirections (once per program) and watches the paints of hwnd (null: none).
// Returns false when the program imports none of the watched calls.
bool WatchPaints(HWND hwnd);

// Number of paints of the watched window recorded since the last Reset.
long PaintCount();

// The last recorded paint.
PaintRecord LastPaint();

// Objects created and not yet deleted, counted over every watched creation since the last Reset
// (inside and outside paints), and their sum over all paints.
long LiveObjects();
long long ObjectsCreated();

// Starts counting afresh.
void ResetCounts();

// Paints recorded since the last Reset that broke a rule: not exactly one BitBlt onto the paint
// context, any other drawing onto it, or an object left alive at EndPaint.
long BadPaints();

}  // namespace bar2test
