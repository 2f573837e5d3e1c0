// The position bar under the real mouse: button presses and moves go through the system's input
// queue (SetCursorPos and SendInput), the capture routes them while the pointer is outside, and the
// parent logs every notification it receives.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "harness_util.h"
#include "position_bar.h"

namespace {

const int kHostX = 200, kHostY = 150;
const int kBarX = 100, kBarY = 30;

// One WM_NOTIFY as the parent saw it.
struct Notified {
    WPARAM wParam;
    Bar2Notify record;
    BOOL barHadUpdate;  // whether the bar was already invalidated when the parent ran
};

// One message as the bar received it, and what it caused.
struct Received {
    UINT msg;
    int x, y;
    size_t notifiesDuring;
    size_t firstNotify;  // index in g_notified of the first notification it caused
    BOOL updateBefore;
    BOOL updateAfter;
    SHORT shiftState;    // GetKeyState(VK_SHIFT) as the control saw it
};

std::vector<Notified> g_notified;
std::vector<Received> g_received;
HWND g_bar;
WNDPROC g_barProc;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NOTIFY) {
        Notified n = {};
        n.wParam = wParam;
        n.record = *reinterpret_cast<const Bar2Notify*>(lParam);
        RECT rc;
        n.barHadUpdate = GetUpdateRect(g_bar, &rc, FALSE);
        g_notified.push_back(n);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool IsMouse(UINT msg)
{
    return msg == WM_MOUSEMOVE || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP || msg == WM_RBUTTONDOWN ||
           msg == WM_RBUTTONUP || msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK;
}

LRESULT CALLBACK LoggingBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!IsMouse(msg))
        return CallWindowProcA(g_barProc, hwnd, msg, wParam, lParam);
    size_t before = g_notified.size();
    SHORT shift = GetKeyState(VK_SHIFT);
    RECT rc;
    BOOL updateBefore = GetUpdateRect(hwnd, &rc, FALSE);
    LRESULT r = CallWindowProcA(g_barProc, hwnd, msg, wParam, lParam);
    Received m = {};
    m.msg = msg;
    m.x = static_cast<short>(LOWORD(lParam));
    m.y = static_cast<short>(HIWORD(lParam));
    m.notifiesDuring = g_notified.size() - before;
    m.firstNotify = before;
    m.shiftState = shift;
    m.updateBefore = updateBefore;
    m.updateAfter = GetUpdateRect(hwnd, &rc, FALSE);
    g_received.push_back(m);
    EXPECT_EQ(0, r) << "message 0x" << std::hex << msg;
    return r;
}

HWND Host()
{
    static HWND host;
    if (!host) {
        EXPECT_EQ(1, RegisterBar2Class());
        testutil::TestWindowClass("Bar2MouseHost", HostProc);
        host = CreateWindowExA(WS_EX_TOPMOST, "Bar2MouseHost", "bar mouse", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                               kHostX, kHostY, 640, 100, NULL, NULL, GetModuleHandleA(NULL), NULL);
        SetForegroundWindow(host);
        UpdateWindow(host);
        testutil::PumpPending();
    }
    return host;
}

// Index in g_received of the message that the last MoveTo or Button waited for.
size_t g_lastMatch;

// The notification caused by that message, or an empty record when it caused none or several
// (counted by the test through notifiesDuring).
Notified Step()
{
    if (g_lastMatch >= g_received.size() || g_received[g_lastMatch].notifiesDuring != 1) {
        ADD_FAILURE() << "the awaited message caused "
                      << (g_lastMatch < g_received.size() ? g_received[g_lastMatch].notifiesDuring : 0)
                      << " notifications, not one";
        return Notified();
    }
    return g_notified[g_received[g_lastMatch].firstNotify];
}

// Waits until the bar receives a message that matches (from index `before` of g_received on) and
// notes its index; without expectAtBar only lets the input settle.
template <class Match>
bool AwaitReceived(size_t before, bool expectAtBar, Match match)
{
    if (!expectAtBar) {
        testutil::PumpUntil([] { return false; }, 100);
        return true;
    }
    return testutil::PumpUntil([&] {
        for (size_t i = before; i < g_received.size(); ++i)
            if (match(g_received[i])) {
                g_lastMatch = i;
                return true;
            }
        return false;
    }, 3000);
}

// Moves the pointer to a point given in the bar's client coordinates, and waits until the bar (or
// nobody, when the point is outside and no capture is held) has seen the move.
bool MoveTo(int x, int y, bool expectAtBar = true)
{
    POINT pt = { x, y };
    ClientToScreen(g_bar, &pt);
    size_t before = g_received.size();
    if (!SetCursorPos(pt.x, pt.y))
        return false;
    return AwaitReceived(before, expectAtBar,
                         [&](const Received& r) { return r.msg == WM_MOUSEMOVE && r.x == x && r.y == y; });
}

// Presses or releases a button where the pointer is; waits for the bar to receive the message.
bool Button(DWORD flag, UINT expected, bool expectAtBar = true)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flag;
    size_t before = g_received.size();
    if (SendInput(1, &in, sizeof(in)) != 1)
        return false;
    return AwaitReceived(before, expectAtBar, [&](const Received& r) { return r.msg == expected; });
}

// The button presses and releases by name; PressAt moves to x on the bar's middle row first.
enum ButtonAction { kLeftDown, kLeftUp, kRightDown, kRightUp };
bool Press(ButtonAction a, bool expectAtBar = true)
{
    static const DWORD flags[] = { MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP };
    static const UINT msgs[] = { WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP };
    return Button(flags[a], msgs[a], expectAtBar);
}
bool PressAt(int x, ButtonAction a) { return MoveTo(x, 8) && Press(a); }

// Sets Shift down or up in this thread's key state, the state GetKeyState reads. (Under Wine a
// Shift sent through SendInput exists only on the Windows side; the X server's own keyboard state
// overrides it at the next pointer move, so the thread's key state is set directly.)
bool Shift(bool down)
{
    BYTE keys[256];
    if (!GetKeyboardState(keys))
        return false;
    keys[VK_SHIFT] = down ? 0x80 : 0;
    keys[VK_LSHIFT] = down ? 0x80 : 0;
    if (!SetKeyboardState(keys))
        return false;
    return ((GetKeyState(VK_SHIFT) & 0x8000) != 0) == down;
}

// A fresh bar for each test: client area 408 x 16, identifier 1005, logged.
class BarMouse : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_bar = CreateWindowExA(0, BAR2_CLASS_NAME, "", WS_CHILD | WS_VISIBLE, kBarX, kBarY, 408, 16, Host(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(1005)), GetModuleHandleA(NULL), NULL);
        ASSERT_TRUE(g_bar != NULL);
        g_barProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(g_bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LoggingBarProc)));
        UpdateWindow(g_bar);
        // Park the pointer away from the bar, buttons up.
        POINT out = { kHostX + 5, kHostY + 5 };
        SetCursorPos(out.x, out.y);
        testutil::PumpUntil([] { return false; }, 50);
        g_notified.clear();
        g_received.clear();
    }
    void TearDown() override
    {
        if (GetKeyState(VK_SHIFT) & 0x8000)
            Shift(false);
        if (GetAsyncKeyState(VK_LBUTTON) & 0x8000)
            Press(kLeftUp, false);
        if (GetAsyncKeyState(VK_RBUTTON) & 0x8000)
            Press(kRightUp, false);
        DestroyWindow(g_bar);
        g_bar = NULL;
        testutil::PumpPending();
    }
    static void Set(UINT mn, UINT mx, UINT start, UINT end, UINT pos)
    {
        SendMessageA(g_bar, BM2_SETRANGE, mn, mx);
        SendMessageA(g_bar, BM2_SETMARKER, 1, start);
        SendMessageA(g_bar, BM2_SETMARKER, 0, end);
        SendMessageA(g_bar, BM2_SETPOS, 0, pos);
    }
    static UINT Pos()
    {
        UINT p = 0xDEADBEEF;
        SendMessageA(g_bar, BM2_GETPOS, 0, reinterpret_cast<LPARAM>(&p));
        return p;
    }
    static UINT Start()
    {
        UINT s = 0xDEADBEEF;
        SendMessageA(g_bar, BM2_GETMARKERS, reinterpret_cast<WPARAM>(&s), 0);
        return s;
    }
    static UINT End()
    {
        UINT e = 0xDEADBEEF;
        SendMessageA(g_bar, BM2_GETMARKERS, 0, reinterpret_cast<LPARAM>(&e));
        return e;
    }
    static int DragMode()
    {
        const Bar2Instance* rec = static_cast<const Bar2Instance*>(GetPropA(g_bar, "BM2Instance"));
        return rec ? rec->dragMode : -1;
    }
    // Every notification so far agrees with the control's values after the step: checked field by field.
    static void ExpectNotified(const Notified& n, UINT mn, UINT mx, UINT start, UINT end, UINT pos)
    {
        EXPECT_EQ(0u, n.wParam);
        EXPECT_EQ(g_bar, n.record.hdr.hwndFrom);
        EXPECT_EQ(1005u, n.record.hdr.idFrom);
        EXPECT_EQ(0x80FAu, n.record.hdr.code);
        EXPECT_EQ(mn, n.record.minimum);
        EXPECT_EQ(mx, n.record.maximum);
        EXPECT_EQ(start, n.record.start);
        EXPECT_EQ(end, n.record.end);
        EXPECT_EQ(pos, n.record.position);
    }
    // Notifications caused by anything but mouse moves, from message index `from` on.
    static size_t NotifiesExceptMoves(size_t from)
    {
        size_t n = 0;
        for (size_t i = from; i < g_received.size(); ++i)
            if (g_received[i].msg != WM_MOUSEMOVE)
                n += g_received[i].notifiesDuring;
        return n;
    }
    // Presses and releases a button at client x, returning the one notification of the press.
    static Notified Click(int x, bool left)
    {
        g_notified.clear();
        EXPECT_TRUE(MoveTo(x, 8));
        UpdateWindow(g_bar);
        EXPECT_TRUE(Button(left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN, left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN))
            << "x " << x;
        EXPECT_EQ(g_bar, GetCapture()) << "x " << x;
        EXPECT_EQ(left ? 'L' : 'R', DragMode());
        const Received down = g_received[g_lastMatch];
        EXPECT_TRUE(down.notifiesDuring == 1 && down.updateAfter) << "x " << x;
        EXPECT_TRUE(Button(left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP, left ? WM_LBUTTONUP : WM_RBUTTONUP));
        EXPECT_TRUE(GetCapture() == NULL) << "capture kept after the button went up";
        EXPECT_EQ(0, DragMode());
        if (down.notifiesDuring != 1)
            return Notified();
        // The bar was valid before the press; the parent ran before the control invalidated itself.
        const Notified& n = g_notified[down.firstNotify];
        EXPECT_FALSE(n.barHadUpdate) << "x " << x;
        return n;
    }
};

}  // namespace

TEST_F(BarMouse, LeftPressesAtAndBeyondBothEnds)
{
    // W = 408: the value is min + trunc((x - 4) / 400 * 1000).
    Set(1000, 2000, 1200, 1800, 1500);
    struct { int x; UINT value; } cases[] = {
        { 4, 1000 }, { 0, 1000 }, { 404, 2000 }, { 407, 2000 }, { 204, 1500 }, { 5, 1002 }, { 403, 1997 },
    };
    for (const auto& c : cases) {
        Notified n = Click(c.x, true);
        SCOPED_TRACE(testing::Message() << "left press at x " << c.x);
        ExpectNotified(n, 1000, 2000, c.value, 1800, c.value);
        EXPECT_EQ(c.value, Pos());
        EXPECT_EQ(c.value, Start());
        EXPECT_EQ(1800u, End());
    }
}

TEST_F(BarMouse, RightPressesMoveOnlyTheEndMarker)
{
    Set(1000, 2000, 1200, 1800, 1500);
    struct { int x; UINT value; } cases[] = { { 404, 2000 }, { 407, 2000 }, { 0, 1000 }, { 4, 1000 }, { 104, 1250 } };
    for (const auto& c : cases) {
        Notified n = Click(c.x, false);
        SCOPED_TRACE(testing::Message() << "right press at x " << c.x);
        // The end may fall before the start: nothing orders them.
        ExpectNotified(n, 1000, 2000, 1200, c.value, 1500);
        EXPECT_EQ(c.value, End());
        EXPECT_EQ(1200u, Start());
        EXPECT_EQ(1500u, Pos());
    }
}

TEST_F(BarMouse, DragThatLeavesTheControlKeepsReportingTheEnds)
{
    Set(0, 400, 50, 350, 200);
    ASSERT_TRUE(PressAt(204, kLeftDown));
    ExpectNotified(Step(), 0, 400, 200, 350, 200);

    // Left of the control and above it: x and y arrive negative through the capture.
    const int path[][2] = { { 100, 8 }, { -20, 8 }, { -90, -25 }, { 300, 40 }, { 500, -10 }, { 530, 8 }, { 3, 8 } };
    const UINT values[] = { 96, 0, 0, 296, 400, 400, 0 };
    for (int i = 0; i < 7; ++i) {
        g_notified.clear();
        UpdateWindow(g_bar);
        ASSERT_TRUE(MoveTo(path[i][0], path[i][1])) << "move " << i << " to x " << path[i][0] << " not received";
        SCOPED_TRACE(testing::Message() << "move to x " << path[i][0] << ", y " << path[i][1]);
        const Received& move = g_received[g_lastMatch];
        EXPECT_EQ(1u, move.notifiesDuring) << "one notification per move";
        EXPECT_TRUE(move.updateAfter) << "not invalidated after the step";
        ExpectNotified(Step(), 0, 400, values[i], 350, values[i]);
    }
    // Released outside the control: the capture still brings the button-up.
    ASSERT_TRUE(PressAt(-60, kLeftUp));
    EXPECT_TRUE(GetCapture() == NULL);
    EXPECT_EQ(0, DragMode());
    EXPECT_EQ(0u, Pos());
    EXPECT_EQ(0u, Start());

    // Moves over the control with no drag send nothing and change nothing.
    g_notified.clear();
    ASSERT_TRUE(MoveTo(250, 8));
    ASSERT_TRUE(MoveTo(260, 9));
    EXPECT_EQ(0u, g_notified.size());
    EXPECT_EQ(0u, g_received[g_lastMatch].notifiesDuring);
    EXPECT_EQ(0u, Pos());
}

TEST_F(BarMouse, ShiftHeldMovesOnlyThePosition)
{
    Set(0, 400, 0, 400, 0);
    ASSERT_TRUE(PressAt(104, kLeftDown));
    EXPECT_EQ(100u, Start());

    ASSERT_TRUE(Shift(true)) << "Shift did not reach this thread's key state";
    g_notified.clear();
    ASSERT_TRUE(MoveTo(204, 8));
    ExpectNotified(Step(), 0, 400, 100, 400, 200);
    ASSERT_TRUE(MoveTo(254, 8));
    ExpectNotified(Step(), 0, 400, 100, 400, 250);
    EXPECT_EQ(250u, Pos());
    EXPECT_EQ(100u, Start());

    ASSERT_TRUE(Shift(false));
    g_notified.clear();
    ASSERT_TRUE(MoveTo(304, 8));
    ExpectNotified(Step(), 0, 400, 300, 400, 300);
    EXPECT_EQ(300u, Start());

    // A Shift press only matters while it is down at the step: held at the press itself.
    ASSERT_TRUE(Press(kLeftUp));
    ASSERT_TRUE(MoveTo(54, 8));
    ASSERT_TRUE(Shift(true));
    g_notified.clear();
    ASSERT_TRUE(Press(kLeftDown));
    ExpectNotified(Step(), 0, 400, 300, 400, 50);
    ASSERT_TRUE(Press(kLeftUp));
    ASSERT_TRUE(Shift(false));
}

TEST_F(BarMouse, ShiftDoesNotAffectARightDrag)
{
    Set(0, 400, 100, 300, 200);
    ASSERT_TRUE(Shift(true));
    ASSERT_TRUE(PressAt(354, kRightDown));
    ASSERT_TRUE(PressAt(384, kRightUp));
    ASSERT_TRUE(Shift(false));
    EXPECT_EQ(380u, End());
    EXPECT_EQ(100u, Start());
    EXPECT_EQ(200u, Pos());
}

TEST_F(BarMouse, OtherButtonDuringALeftDragDoesNothing)
{
    Set(0, 400, 0, 350, 0);
    ASSERT_TRUE(PressAt(104, kLeftDown));
    ASSERT_TRUE(MoveTo(154, 8));
    const size_t mark = g_received.size();
    UpdateWindow(g_bar);

    ASSERT_TRUE(Press(kRightDown));
    const Received down = g_received[g_lastMatch];
    EXPECT_EQ(0u, down.notifiesDuring);
    EXPECT_FALSE(down.updateAfter && !down.updateBefore) << "the right press invalidated the control";
    ASSERT_TRUE(Press(kRightUp));
    EXPECT_EQ(0u, g_received[g_lastMatch].notifiesDuring);
    EXPECT_EQ(0u, NotifiesExceptMoves(mark));
    EXPECT_EQ(350u, End());
    EXPECT_EQ(150u, Pos());
    EXPECT_EQ('L', DragMode());
    EXPECT_EQ(g_bar, GetCapture()) << "the right button-up released the left drag's capture";

    // The left drag goes on.
    ASSERT_TRUE(MoveTo(204, 8));
    ExpectNotified(Step(), 0, 400, 200, 350, 200);
    ASSERT_TRUE(Press(kLeftUp));
    EXPECT_TRUE(GetCapture() == NULL);
    EXPECT_EQ(0, DragMode());
}

TEST_F(BarMouse, OtherButtonDuringARightDragDoesNothing)
{
    Set(0, 400, 100, 350, 150);
    ASSERT_TRUE(PressAt(304, kRightDown));
    EXPECT_EQ(300u, End());
    const size_t mark = g_received.size();

    ASSERT_TRUE(Press(kLeftDown));
    EXPECT_EQ(0u, g_received[g_lastMatch].notifiesDuring);
    ASSERT_TRUE(Press(kLeftUp));
    EXPECT_EQ(0u, g_received[g_lastMatch].notifiesDuring);
    EXPECT_EQ(0u, NotifiesExceptMoves(mark));
    EXPECT_EQ(150u, Pos());
    EXPECT_EQ(100u, Start());
    EXPECT_EQ('R', DragMode());
    EXPECT_EQ(g_bar, GetCapture());

    ASSERT_TRUE(MoveTo(44, 8));
    ExpectNotified(Step(), 0, 400, 100, 40, 150);
    ASSERT_TRUE(Press(kRightUp));
    EXPECT_TRUE(GetCapture() == NULL);
    EXPECT_EQ(40u, End());
}

TEST_F(BarMouse, EveryMoveNotifiesEvenWithoutChange)
{
    Set(0, 100, 0, 100, 0);
    ASSERT_TRUE(PressAt(0, kLeftDown));
    g_notified.clear();
    g_received.clear();
    // All left of the bar: the value stays at the minimum, yet each move is reported.
    ASSERT_TRUE(MoveTo(1, 8));
    ASSERT_TRUE(MoveTo(2, 8));
    ASSERT_TRUE(MoveTo(3, 8));
    size_t moves = 0;
    for (const Received& r : g_received)
        if (r.msg == WM_MOUSEMOVE) {
            ++moves;
            EXPECT_EQ(1u, r.notifiesDuring);
        }
    EXPECT_GE(moves, 3u);
    EXPECT_EQ(g_notified.size(), moves);
    for (const Notified& n : g_notified)
        ExpectNotified(n, 0, 100, 0, 100, 0);
    ASSERT_TRUE(Press(kLeftUp));
}

TEST_F(BarMouse, ClickDoesNotTakeTheFocus)
{
    HWND before = GetFocus();
    ASSERT_TRUE(PressAt(204, kLeftDown));
    ASSERT_TRUE(Press(kLeftUp));
    EXPECT_NE(g_bar, GetFocus());
    EXPECT_EQ(before, GetFocus());
}
