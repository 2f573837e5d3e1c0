// The position bar's drawing: pixels read back from the painted control, one BitBlt per paint, no
// erasing, and no GDI object left behind.
#include <windows.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "bar2_gdi_count.h"
#include "gfx_probe.h"
#include "harness_util.h"
#include "position_bar.h"

namespace {

const COLORREF kBkg = RGB(0xF0, 0xE0, 0xD0);
const COLORREF kLine = RGB(0x20, 0x10, 0x00);
const COLORREF kBar = RGB(0x00, 0xA0, 0x50);
const COLORREF kMarker = RGB(0x30, 0x40, 0xC0);

// One top-level window for the whole program; each test puts its own bar in it.
HWND Host()
{
    static HWND host;
    if (!host) {
        EXPECT_EQ(1, RegisterBar2Class());
        testutil::TestWindowClass("Bar2PaintHost");
        host = CreateWindowExA(WS_EX_TOPMOST, "Bar2PaintHost", "bar paint", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                               50, 50, 700, 200, NULL, NULL, GetModuleHandleA(NULL), NULL);
        UpdateWindow(host);
        testutil::PumpPending();
    }
    return host;
}

// A bar whose client area is width x height, destroyed with the object.
class Bar {
public:
    Bar(int width, int height, DWORD exStyle = 0)
    {
        RECT rc = { 0, 0, width, height };
        AdjustWindowRectEx(&rc, WS_CHILD, FALSE, exStyle);
        hwnd_ = CreateWindowExA(exStyle, BAR2_CLASS_NAME, "", WS_CHILD | WS_VISIBLE, 20, 20, rc.right - rc.left,
                                rc.bottom - rc.top, Host(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(1005)),
                                GetModuleHandleA(NULL), NULL);
    }
    ~Bar() { DestroyWindow(hwnd_); }
    HWND hwnd() const { return hwnd_; }
    void Set(UINT mn, UINT mx, UINT start, UINT end, UINT pos) const
    {
        SendMessageA(hwnd_, BM2_SETRANGE, mn, mx);
        SendMessageA(hwnd_, BM2_SETMARKER, 1, start);
        SendMessageA(hwnd_, BM2_SETMARKER, 0, end);
        SendMessageA(hwnd_, BM2_SETPOS, 0, pos);
    }
    void Colors(COLORREF bkg, COLORREF line, COLORREF bar, COLORREF marker) const
    {
        Bar2Colors c = { bkg, line, bar, marker };
        SendMessageA(hwnd_, BM2_SETCOLORS, 0, reinterpret_cast<LPARAM>(&c));
    }
    // Paints now, through the real WM_PAINT.
    void Repaint() const
    {
        InvalidateRect(hwnd_, NULL, FALSE);
        UpdateWindow(hwnd_);
    }

private:
    HWND hwnd_;
};

// The client area of a window as painted, read back from its device context.
class Pixels {
public:
    explicit Pixels(HWND hwnd)
    {
        RECT rc;
        GetClientRect(hwnd, &rc);
        w_ = rc.right;
        h_ = rc.bottom;
        BITMAPINFO bi = gfxtest::TopDown32(w_, h_);
        void* bits = NULL;
        HDC wdc = GetDC(hwnd);
        HDC mem = CreateCompatibleDC(wdc);
        HBITMAP dib = CreateDIBSection(wdc, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, w_, h_, wdc, 0, 0, SRCCOPY);
        GdiFlush();
        const DWORD* p = static_cast<const DWORD*>(bits);
        for (int i = 0; p && i < w_ * h_; ++i)
            px_.push_back(RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF));
        SelectObject(mem, old);
        DeleteObject(dib);
        DeleteDC(mem);
        ReleaseDC(hwnd, wdc);
    }
    int width() const { return w_; }
    int height() const { return h_; }
    COLORREF at(int x, int y) const { return px_.at(static_cast<size_t>(y) * w_ + x); }

    // Describes the runs of colour along one row, "x0-x1:color ..."; used in failure messages.
    std::string Row(int y) const
    {
        std::ostringstream out;
        int from = 0;
        for (int x = 1; x <= w_; ++x) {
            if (x == w_ || at(x, y) != at(from, y)) {
                out << from << "-" << x - 1 << ":" << std::hex << at(from, y) << std::dec << " ";
                from = x;
            }
        }
        return out.str();
    }
    // The first x in [x0, x1) of row y whose colour is not c, or -1.
    int FirstNot(COLORREF c, int y, int x0, int x1) const
    {
        for (int x = x0; x < x1; ++x)
            if (at(x, y) != c)
                return x;
        return -1;
    }
    // The first y in [y0, y1) of column x whose colour is not c, or -1.
    int FirstNotInColumn(COLORREF c, int x, int y0, int y1) const
    {
        for (int y = y0; y < y1; ++y)
            if (at(x, y) != c)
                return y;
        return -1;
    }
    // Whether the colour appears anywhere.
    bool Contains(COLORREF c) const
    {
        for (COLORREF p : px_)
            if (p == c)
                return true;
        return false;
    }

private:
    int w_ = 0, h_ = 0;
    std::vector<COLORREF> px_;
};

// Checks one row: [0, a) bkg, [a, b) c1, [b, c) c2, [c, W) bkg, except the line column.
void ExpectRow(const Pixels& p, int y, int a, int b, COLORREF c1, int c, COLORREF c2, int lineX, COLORREF bkg,
               COLORREF line)
{
    for (int x = 0; x < p.width(); ++x) {
        COLORREF want = bkg;
        if (x == lineX)
            want = line;
        else if (x >= a && x < b)
            want = c1;
        else if (x >= b && x < c)
            want = c2;
        if (p.at(x, y) != want) {
            ADD_FAILURE() << "row " << y << " x " << x << ": 0x" << std::hex << p.at(x, y) << " wanted 0x" << want
                          << std::dec << "\n  row reads " << p.Row(y);
            return;
        }
    }
}

// Creates 64 brushes at once and deletes them; returns the highest handle index among them.
unsigned HighestFreshIndex()
{
    HBRUSH probes[64];
    unsigned highest = 0;
    for (HBRUSH& b : probes) {
        b = CreateSolidBrush(RGB(1, 2, 3));
        unsigned index = LOWORD(reinterpret_cast<ULONG_PTR>(b));
        if (index > highest)
            highest = index;
    }
    for (HBRUSH b : probes)
        DeleteObject(b);
    return highest;
}

}  // namespace

// The bar's columns for a size, range, markers and position: every row of the client area is read
// back. Rows [top, bottom) hold the sections: [a, b) before the start marker, [b, c) the marked range;
// everything else is background but for the position line's column.
struct PaintCase {
    const char* name;
    int width, height;
    DWORD exStyle;
    UINT minimum, maximum, start, end, position;
    UINT startAfterSet;  // a start marker set after the rest (0: none)
    int top, bottom, a, b, c, lineX;
};

const PaintCase kPaintCases[] = {
    // The worked example: W - 8 = 400 over 100 units; rows H/4 = 4 up to 4 + H/2 = 12.
    {"WorkedExample408Wide", 408, 16, 0, 0, 100, 40, 75, 50, 0, 4, 12, 4, 164, 304, 204},
    // H = 15: rows 3 to 9. With WS_EX_CLIENTEDGE the geometry follows the smaller client area.
    {"RowsForOddHeightAndTheClientEdge", 408, 15, WS_EX_CLIENTEDGE, 0, 100, 40, 75, 50, 0, 3, 10, 4, 164, 304, 204},
    {"StartAtTheMinimumDrawsNoBeforeSection", 408, 16, 0, 20, 120, 20, 95, 20, 0, 4, 12, 4, 4, 304, 4},
    // W - 8 = 300 over 7 units: s = 42.857...; start 1 ends at 4 + 42 = 46; the marked section is
    // trunc(2 s) = 85 wide, so it ends at 131, one short of x(3) = 4 + 128 = 132.
    {"MarkedSectionEndsAtTheSumOfTwoTruncations", 308, 16, 0, 0, 7, 1, 3, 7, 0, 4, 12, 4, 46, 131, 304},
    // 400 / 3 as a float is 133.3333282..., so 3 s truncates to 399 and the line of the maximum
    // lands on x = 403, one short of W - 4; with a double scale 3 s comes to 400 and x = 404.
    {"ScaleIsSinglePrecision", 408, 16, 0, 0, 3, 0, 0, 3, 0, 4, 12, 4, 4, 4, 403},
    // A start marker above the maximum is stored unchanged; the before section runs off the right.
    {"MarkersOutsideTheRangeAreClipped", 208, 16, 0, 0, 100, 0, 100, 0, 0xFFFFFFF0u, 4, 12, 4, 208, 208, 4},
};

class PositionBarColumns : public ::testing::TestWithParam<PaintCase> {};

TEST_P(PositionBarColumns, EveryRowAsPainted)
{
    const PaintCase& k = GetParam();
    Bar bar(k.width, k.height, k.exStyle);
    ASSERT_TRUE(bar.hwnd() != NULL) << "GetLastError " << GetLastError();
    bar.Colors(kBkg, kLine, kBar, kMarker);
    bar.Set(k.minimum, k.maximum, k.start, k.end, k.position);
    if (k.startAfterSet)
        SendMessageA(bar.hwnd(), BM2_SETMARKER, 1, k.startAfterSet);
    bar.Repaint();
    Pixels p(bar.hwnd());
    ASSERT_EQ(k.width, p.width());
    ASSERT_EQ(k.height, p.height());
    for (int y = 0; y < k.height; ++y) {
        if (y >= k.top && y < k.bottom)
            ExpectRow(p, y, k.a, k.b, kBar, k.c, kMarker, k.lineX, kBkg, kLine);
        else
            ExpectRow(p, y, 0, 0, kBar, 0, kMarker, k.lineX, kBkg, kLine);
    }
    EXPECT_EQ(-1, p.FirstNotInColumn(kLine, k.lineX, 0, k.height)) << "the line covers the full height";
    if (k.a == k.b) {
        EXPECT_FALSE(p.Contains(kBar)) << "no before section";
    }
}

INSTANTIATE_TEST_SUITE_P(PositionBarPaint, PositionBarColumns, ::testing::ValuesIn(kPaintCases),
                         [](const ::testing::TestParamInfo<PaintCase>& info) { return std::string(info.param.name); });

TEST(PositionBarPaint, FreshControlIsBackgroundAndALineAtTheMargin)
{
    Bar bar(300, 20);
    bar.Repaint();
    Pixels p(bar.hwnd());
    // Default colours: white background, black line.
    for (int y = 0; y < 20; ++y)
        ExpectRow(p, y, 0, 0, 0, 0, 0, 4, RGB(255, 255, 255), RGB(0, 0, 0));
}

TEST(PositionBarPaint, DefaultColoursOfTheSections)
{
    Bar bar(408, 16);
    bar.Set(0, 100, 40, 75, 50);
    bar.Repaint();
    Pixels p(bar.hwnd());
    ExpectRow(p, 8, 4, 164, RGB(0xDD, 0xDD, 0xDD), 304, RGB(0, 0, 0xFF), 204, RGB(255, 255, 255), RGB(0, 0, 0));
}

TEST(PositionBarPaint, EndNotAfterStartDrawsNoMarkedSection)
{
    Bar bar(408, 16);
    bar.Colors(kBkg, kLine, kBar, kMarker);
    bar.Set(0, 100, 60, 60, 10);
    bar.Repaint();
    {
        Pixels p(bar.hwnd());
        ExpectRow(p, 8, 4, 244, kBar, 244, kMarker, 44, kBkg, kLine);
        EXPECT_FALSE(p.Contains(kMarker)) << "end = start";
    }
    SendMessageA(bar.hwnd(), BM2_SETMARKER, 0, 30);
    bar.Repaint();
    {
        Pixels p(bar.hwnd());
        ExpectRow(p, 8, 4, 244, kBar, 244, kMarker, 44, kBkg, kLine);
        EXPECT_FALSE(p.Contains(kMarker)) << "end < start";
    }
}

TEST(PositionBarPaint, ColoursSetWithoutRepaintShowOnlyAfterTheNextPaint)
{
    Bar bar(408, 16);
    bar.Colors(kBkg, kLine, kBar, kMarker);
    bar.Set(0, 100, 40, 75, 50);
    bar.Repaint();
    testutil::PumpPending();

    const COLORREF nBkg = RGB(1, 2, 3), nLine = RGB(250, 250, 0), nBar = RGB(9, 99, 199), nMarker = RGB(200, 0, 100);
    Bar2Colors c = { nBkg, nLine, nBar, nMarker };
    ASSERT_EQ(1, SendMessageA(bar.hwnd(), BM2_SETCOLORS, 0, reinterpret_cast<LPARAM>(&c)));
    RECT update;
    EXPECT_FALSE(GetUpdateRect(bar.hwnd(), &update, FALSE)) << "BM2_SETCOLORS invalidated the control";
    testutil::PumpPending();
    {
        Pixels p(bar.hwnd());
        ExpectRow(p, 8, 4, 164, kBar, 304, kMarker, 204, kBkg, kLine);
    }
    bar.Repaint();
    {
        Pixels p(bar.hwnd());
        ExpectRow(p, 8, 4, 164, nBar, 304, nMarker, 204, nBkg, nLine);
        ExpectRow(p, 0, 0, 0, nBar, 0, nMarker, 204, nBkg, nLine);
    }
}

TEST(PositionBarPaint, SettersInvalidateWithoutErasing)
{
    Bar bar(408, 16);
    bar.Repaint();
    const UINT setters[][3] = { { BM2_SETRANGE, 0, 100 }, { BM2_SETMARKER, 1, 40 }, { BM2_SETMARKER, 0, 70 },
                                { BM2_SETPOS, 0, 50 } };
    for (const auto& s : setters) {
        ValidateRect(bar.hwnd(), NULL);
        SendMessageA(bar.hwnd(), s[0], s[1], s[2]);
        RECT update = {};
        EXPECT_TRUE(GetUpdateRect(bar.hwnd(), &update, FALSE)) << "message 0x" << std::hex << s[0];
        EXPECT_EQ(408, update.right - update.left) << "message 0x" << std::hex << s[0];
        EXPECT_EQ(16, update.bottom - update.top) << "message 0x" << std::hex << s[0];
        // Without erasing: the paint that follows reports fErase = FALSE.
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(bar.hwnd(), &ps);
        EXPECT_FALSE(ps.fErase) << "message 0x" << std::hex << s[0];
        EndPaint(bar.hwnd(), &ps);
        (void)dc;
    }
    // Getters leave the window valid.
    ValidateRect(bar.hwnd(), NULL);
    UINT a, b;
    SendMessageA(bar.hwnd(), BM2_GETRANGE, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    SendMessageA(bar.hwnd(), BM2_GETMARKERS, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    SendMessageA(bar.hwnd(), BM2_GETPOS, 0, reinterpret_cast<LPARAM>(&a));
    RECT update;
    EXPECT_FALSE(GetUpdateRect(bar.hwnd(), &update, FALSE));
}

TEST(PositionBarPaint, EraseBackgroundAnswersZeroAndPaintsNothing)
{
    Bar bar(100, 16);
    bar.Colors(kBkg, kLine, kBar, kMarker);
    bar.Repaint();
    HDC dc = GetDC(bar.hwnd());
    // Blacken the window behind the control's back; WM_ERASEBKGND must not paint over it.
    RECT rc = { 0, 0, 100, 16 };
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(0, SendMessageA(bar.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
    ReleaseDC(bar.hwnd(), dc);
    Pixels p(bar.hwnd());
    EXPECT_EQ(-1, p.FirstNot(RGB(0, 0, 0), 8, 0, 100)) << p.Row(8);
}

TEST(PositionBarPaint, EveryPaintIsOneBitBltOfTheWholeClientArea)
{
    Bar bar(408, 16);
    bar.Set(0, 100, 40, 75, 50);
    ASSERT_TRUE(bar2test::WatchPaints(bar.hwnd())) << "GDI imports not found";
    bar2test::ResetCounts();
    bar.Repaint();
    bar2test::WatchPaints(NULL);
    ASSERT_EQ(1, bar2test::PaintCount());
    bar2test::PaintRecord r = bar2test::LastPaint();
    // The whole client area copied once (SRCCOPY) from the memory context, nothing drawn straight
    // onto the window.
    EXPECT_EQ("1 blit, 1 onto the paint DC 408x16 at 0,0 from 0,0 rop cc0020; 0 other draws", bar2test::Blits(r));
    EXPECT_TRUE(r.bltSource == r.firstMemoryDC && r.bltSource != NULL) << "not copied from the memory context";
    // One context, one bitmap, three brushes (background, before, marked) and one pen, all deleted.
    EXPECT_EQ("dc 1 bitmap 1 brush 3 pen 1 other 0; undeleted 0 valid 0 failed deletes 0", bar2test::Objects(r));
    EXPECT_EQ(0, bar2test::LiveObjects());
}

TEST(PositionBarPaint, NoGdiObjectSurvivesTenThousandPaints)
{
    Bar bar(460, 17);
    bar.Set(0, 1000000, 250000, 750000, 500000);
    bar.Repaint();
    testutil::PumpPending();

    // Independent of the counting below: the handle indexes of fresh objects. GDI hands out freed
    // slots again, so the same batch of fresh objects lands on the same slots after paints that
    // leave nothing behind; an object leaked per paint would take thousands of new slots.
    const unsigned indexBefore = HighestFreshIndex();

    ASSERT_TRUE(bar2test::WatchPaints(bar.hwnd()));
    bar2test::ResetCounts();
    for (int i = 0; i < 10000; ++i) {
        SendMessageA(bar.hwnd(), BM2_SETPOS, 0, static_cast<UINT>(i) * 100);
        UpdateWindow(bar.hwnd());
    }
    bar2test::WatchPaints(NULL);
    EXPECT_EQ(10000, bar2test::PaintCount());
    EXPECT_EQ(0, bar2test::BadPaints());
    EXPECT_EQ(0, bar2test::LiveObjects());
    EXPECT_EQ(10000LL * 6, bar2test::ObjectsCreated());

    const unsigned indexAfter = HighestFreshIndex();
    EXPECT_LT(indexAfter, indexBefore + 64) << "highest index of 64 fresh GDI handles went from " << indexBefore
                                            << " to " << indexAfter;
}

TEST(PositionBarPaint, ShowsOnTheScreen)
{
    // The same pixels as they reach the display.
    Bar bar(408, 16);
    bar.Colors(kBkg, kLine, kBar, kMarker);
    bar.Set(0, 100, 40, 75, 50);
    bar.Repaint();
    POINT origin = { 0, 0 };
    ClientToScreen(bar.hwnd(), &origin);
    HDC screen = GetDC(NULL);
    const int xs[] = { 3, 4, 163, 164, 203, 204, 205, 303, 304 };
    const COLORREF want[] = { kBkg, kBar, kBar, kMarker, kMarker, kLine, kMarker, kMarker, kBkg };
    for (int i = 0; i < 9; ++i) {
        COLORREF c = CLR_INVALID;
        EXPECT_TRUE(testutil::PumpUntil([&] {
            c = GetPixel(screen, origin.x + xs[i], origin.y + 8);
            return c == want[i];
        }, 5000)) << "x " << xs[i] << " read 0x" << std::hex << c << " wanted 0x" << want[i];
    }
    ReleaseDC(NULL, screen);
}
