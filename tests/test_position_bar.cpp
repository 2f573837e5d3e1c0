// The position bar's private messages, registration and lifetime, on real windows.
#include <windows.h>
#include <gtest/gtest.h>

#include "harness_util.h"
#include "position_bar.h"

namespace {

// A top-level parent holding one bar (identifier 1005).
class BarWindow {
public:
    BarWindow(int width = 408, int height = 16, DWORD exStyle = 0)
    {
        EnsureClasses();
        parent_ = CreateWindowExA(0, "Bar2TestParent", "bar test", WS_POPUP | WS_VISIBLE, 20, 20, width + 40,
                                  height + 40, NULL, NULL, GetModuleHandleA(NULL), NULL);
        bar_ = CreateWindowExA(exStyle, BAR2_CLASS_NAME, "", WS_CHILD | WS_VISIBLE, 20, 20, width, height,
                               parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1005)),
                               GetModuleHandleA(NULL), NULL);
    }
    ~BarWindow()
    {
        if (IsWindow(parent_))
            DestroyWindow(parent_);
    }
    HWND parent() const { return parent_; }
    HWND bar() const { return bar_; }
    LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam) const { return SendMessageA(bar_, msg, wParam, lParam); }
    UINT Pos() const
    {
        UINT p = 0xDEADBEEF;
        SendMessageA(bar_, BM2_GETPOS, 0, reinterpret_cast<LPARAM>(&p));
        return p;
    }
    void Markers(UINT& start, UINT& end) const
    {
        start = end = 0xDEADBEEF;
        SendMessageA(bar_, BM2_GETMARKERS, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    }
    void Range(UINT& minimum, UINT& maximum) const
    {
        minimum = maximum = 0xDEADBEEF;
        SendMessageA(bar_, BM2_GETRANGE, reinterpret_cast<WPARAM>(&minimum), reinterpret_cast<LPARAM>(&maximum));
    }

    static void EnsureClasses()
    {
        static bool done = false;
        if (done)
            return;
        done = true;
        ASSERT_EQ(1, RegisterBar2Class());
        testutil::TestWindowClass("Bar2TestParent");
    }

private:
    HWND parent_;
    HWND bar_;
};

}  // namespace

TEST(PositionBarClass, RegisteredWithArrowCursorAndNoExtraBytes)
{
    BarWindow::EnsureClasses();
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(NULL), BAR2_CLASS_NAME, &wc)) << "GetLastError " << GetLastError();
    EXPECT_EQ(0u, wc.style);
    EXPECT_TRUE(wc.lpfnWndProc == Bar2WndProc);
    EXPECT_EQ(0, wc.cbClsExtra);
    EXPECT_EQ(0, wc.cbWndExtra);
    EXPECT_TRUE(wc.hIcon == NULL);
    EXPECT_TRUE(wc.hCursor == LoadCursorA(NULL, IDC_ARROW));
    EXPECT_EQ(5, reinterpret_cast<INT_PTR>(wc.hbrBackground));
    EXPECT_TRUE(wc.lpszMenuName == NULL);
    // A second registration of the same class fails and says so.
    EXPECT_EQ(0, RegisterBar2Class());
}

TEST(PositionBarMessages, ValuesAndConstants)
{
    EXPECT_EQ(WM_APP + 200, BM2_SETRANGE);
    EXPECT_EQ(WM_APP + 201, BM2_GETRANGE);
    EXPECT_EQ(WM_APP + 202, BM2_SETMARKER);
    EXPECT_EQ(WM_APP + 203, BM2_GETMARKERS);
    EXPECT_EQ(WM_APP + 204, BM2_SETPOS);
    EXPECT_EQ(WM_APP + 205, BM2_GETPOS);
    EXPECT_EQ(WM_APP + 206, BM2_SETCOLORS);
    EXPECT_EQ(WM_APP + 207, BM2_GETCOLORS);
    EXPECT_EQ(WM_APP + 250, BM2N_CHANGED);
    EXPECT_EQ(4 * sizeof(COLORREF), sizeof(Bar2Colors));
    // The notification starts with a standard NMHDR, followed by five unsigned 32-bit values.
    EXPECT_EQ(0u, offsetof(Bar2Notify, hdr));
    EXPECT_EQ(sizeof(NMHDR), offsetof(Bar2Notify, minimum));
    EXPECT_EQ(sizeof(void*) == 4 ? 32u : 44u, offsetof(Bar2Notify, position) + sizeof(UINT));
}

TEST(PositionBarMessages, FreshControlState)
{
    BarWindow w;
    ASSERT_TRUE(w.bar() != NULL) << "GetLastError " << GetLastError();
    UINT a, b;
    w.Range(a, b);
    EXPECT_EQ(0u, a);
    EXPECT_EQ(0u, b);
    w.Markers(a, b);
    EXPECT_EQ(0u, a);
    EXPECT_EQ(0u, b);
    EXPECT_EQ(0u, w.Pos());

    Bar2Colors c = { 1, 2, 3, 4 };
    EXPECT_EQ(1, w.Send(BM2_GETCOLORS, 0, reinterpret_cast<LPARAM>(&c)));
    EXPECT_EQ(0x00FFFFFFu, c.bkgColor);
    EXPECT_EQ(0x00000000u, c.lineColor);
    EXPECT_EQ(0x00DDDDDDu, c.barColor);
    EXPECT_EQ(0x00FF0000u, c.markerColor);

    Bar2Instance* rec = static_cast<Bar2Instance*>(GetPropA(w.bar(), "BM2Instance"));
    ASSERT_TRUE(rec != NULL);
    EXPECT_EQ(w.bar(), rec->hwnd);
    EXPECT_EQ(w.parent(), rec->notifyTarget);
    EXPECT_EQ(0, rec->dragMode);
}

TEST(PositionBarMessages, SetRangeClampsAllThreeValues)
{
    BarWindow w;
    UINT s, e;
    EXPECT_EQ(1, w.Send(BM2_SETRANGE, 0, 1000));
    EXPECT_EQ(1, w.Send(BM2_SETMARKER, 1, 300));
    EXPECT_EQ(1, w.Send(BM2_SETMARKER, 0, 700));
    EXPECT_EQ(1, w.Send(BM2_SETPOS, 0, 50));
    // Position below the new minimum, markers inside.
    EXPECT_EQ(1, w.Send(BM2_SETRANGE, 100, 200));
    UINT mn, mx;
    w.Range(mn, mx);
    EXPECT_EQ(100u, mn);
    EXPECT_EQ(200u, mx);
    w.Markers(s, e);
    EXPECT_EQ(200u, s);  // 300 above the maximum
    EXPECT_EQ(200u, e);  // 700 above the maximum
    EXPECT_EQ(100u, w.Pos());

    w.Send(BM2_SETRANGE, 0, 1000);
    w.Send(BM2_SETPOS, 0, 300);
    w.Send(BM2_SETMARKER, 1, 10);
    w.Send(BM2_SETRANGE, 100, 200);
    EXPECT_EQ(200u, w.Pos());
    w.Markers(s, e);
    EXPECT_EQ(100u, s);

    // (0, 0) empties everything, whatever it was.
    w.Send(BM2_SETRANGE, 0, 0xFFFFFFFFu);
    w.Send(BM2_SETMARKER, 1, 0x90000000u);
    w.Send(BM2_SETMARKER, 0, 0xF0000000u);
    w.Send(BM2_SETPOS, 0, 0xA0000000u);
    EXPECT_EQ(0xA0000000u, w.Pos());  // unsigned, not negative
    w.Send(BM2_SETRANGE, 0, 0);
    w.Markers(s, e);
    EXPECT_EQ(0u, s);
    EXPECT_EQ(0u, e);
    EXPECT_EQ(0u, w.Pos());
}

TEST(PositionBarMessages, SetMarkerClampsOneSideOnly)
{
    BarWindow w;
    w.Send(BM2_SETRANGE, 100, 200);
    // One after another on the range 100..200: the marker set, and both markers afterwards.
    const struct { WPARAM which; LPARAM value; UINT start, end; const char* why; } steps[] = {
        { 1, 50, 100, 0, "the start raised to the minimum" },
        { 1, 250, 250, 0, "a start above the maximum stored unchanged" },
        { 0, 300, 250, 200, "the end lowered to the maximum" },
        { 0, 20, 250, 20, "an end below the minimum stored unchanged, the start left alone" },
        { 7, 150, 150, 20, "any nonzero wParam means the start marker" },
    };
    for (const auto& step : steps) {
        EXPECT_EQ(1, w.Send(BM2_SETMARKER, step.which, step.value)) << step.why;
        UINT s, e;
        w.Markers(s, e);
        EXPECT_EQ(step.start, s) << step.why;
        if (step.end) {
            EXPECT_EQ(step.end, e) << step.why;
        }
    }
}

TEST(PositionBarMessages, SetPosClampsAndGettersHandleNull)
{
    BarWindow w;
    w.Send(BM2_SETRANGE, 10, 90);
    EXPECT_EQ(1, w.Send(BM2_SETPOS, 12345, 95));
    EXPECT_EQ(90u, w.Pos());
    EXPECT_EQ(1, w.Send(BM2_SETPOS, 0, 5));
    EXPECT_EQ(10u, w.Pos());
    EXPECT_EQ(1, w.Send(BM2_SETPOS, 0, 42));
    EXPECT_EQ(42u, w.Pos());

    EXPECT_EQ(0, w.Send(BM2_GETPOS, 0, 0));
    EXPECT_EQ(0, w.Send(BM2_SETCOLORS, 0, 0));
    EXPECT_EQ(0, w.Send(BM2_GETCOLORS, 0, 0));

    // The two-value getters with one output (or none) null: the other is still written.
    w.Send(BM2_SETMARKER, 1, 20);
    w.Send(BM2_SETMARKER, 0, 80);
    const struct { UINT msg; bool inWParam; UINT value; } halves[] = {
        { BM2_GETRANGE, false, 90 }, { BM2_GETRANGE, true, 10 }, { BM2_GETMARKERS, false, 80 }, { BM2_GETMARKERS, true, 20 },
    };
    for (const auto& h : halves) {
        UINT one = 0xDEADBEEF;
        WPARAM wp = h.inWParam ? reinterpret_cast<WPARAM>(&one) : 0;
        LPARAM lp = h.inWParam ? 0 : reinterpret_cast<LPARAM>(&one);
        EXPECT_EQ(1, w.Send(h.msg, wp, lp)) << std::hex << "message 0x" << h.msg;
        EXPECT_EQ(h.value, one) << std::hex << "message 0x" << h.msg << (h.inWParam ? " into wParam" : " into lParam");
    }
    EXPECT_EQ(1, w.Send(BM2_GETRANGE, 0, 0));
    EXPECT_EQ(1, w.Send(BM2_GETMARKERS, 0, 0));
}

TEST(PositionBarMessages, ColoursRoundTripAsOneBlock)
{
    BarWindow w;
    Bar2Colors in = { RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9), RGB(10, 11, 12) };
    EXPECT_EQ(1, w.Send(BM2_SETCOLORS, 0, reinterpret_cast<LPARAM>(&in)));
    Bar2Colors out = {};
    EXPECT_EQ(1, w.Send(BM2_GETCOLORS, 0, reinterpret_cast<LPARAM>(&out)));
    EXPECT_EQ(in.bkgColor, out.bkgColor);
    EXPECT_EQ(in.lineColor, out.lineColor);
    EXPECT_EQ(in.barColor, out.barColor);
    EXPECT_EQ(in.markerColor, out.markerColor);
}

TEST(PositionBarLifetime, DestroyClearsTheProperty)
{
    BarWindow w;
    ASSERT_TRUE(GetPropA(w.bar(), "BM2Instance") != NULL);
    HDC dc = GetDC(w.bar());
    EXPECT_EQ(0, w.Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
    ReleaseDC(w.bar(), dc);
    DestroyWindow(w.bar());
    EXPECT_FALSE(IsWindow(w.bar()));
}
