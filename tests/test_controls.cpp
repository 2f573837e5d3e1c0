// CButton, CEdit, CCombo, CStatus, CProgress, CSpin and CAnmCtrl against their real controls.
#include <windows.h>
#include <commctrl.h>
#include <string.h>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "tarvik.h"
#include "harness_util.h"
#include "control_log.h"

using testutil::ControlLog;
using testutil::Describe;
using testutil::LoggedMessage;
using testutil::WindowText;

namespace {

const char kHostClass[] = "TarvikControlsTestHost";

std::vector<std::pair<UINT, UINT>> g_notifications;  // (code, id) of WM_NOTIFY and WM_COMMAND

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        g_notifications.push_back({HIWORD(wParam), LOWORD(wParam)});
    return DefWindowProcA(window, message, wParam, lParam);
}

// A top-level window to hold the controls of one test.
class Host : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_ANIMATE_CLASS | ICC_PROGRESS_CLASS |
                                                    ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        testutil::TestWindowClass(kHostClass, HostProc);

        s_hostWindow = testutil::HostWindow(kHostClass, "controls", 30, 30, 500, 360);
    }
    static void TearDownTestSuite() { testutil::DestroyHostWindow(s_hostWindow); }

    void SetUp() override
    {
        g_notifications.clear();
        host = s_hostWindow;
        ASSERT_TRUE(host != NULL);
        SetWindowPos(host, NULL, 30, 30, 500, 360, SWP_NOZORDER);
    }

    // Destroys every child of the host.
    void TearDown() override
    {
        while (HWND child = GetWindow(host, GW_CHILD))
            DestroyWindow(child);
        testutil::PumpPending();
    }

    HWND Child(const char* className, const char* text, DWORD style, int x, int y, int w, int h, UINT id)
    {
        HWND c = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, host,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(NULL), NULL);
        EXPECT_TRUE(c != NULL) << className;
        return c;
    }

    static HWND s_hostWindow;
    HWND host = NULL;
};

HWND Host::s_hostWindow = NULL;

std::string ClipboardText()
{
    std::string out;
    if (!OpenClipboard(NULL))
        return "(clipboard busy)";
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data) {
        const char* p = static_cast<const char*>(GlobalLock(data));
        if (p)
            out = p;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CButton

TEST_F(Host, ButtonCheckAndStateForwardTheirArguments)
{
    HWND box = Child("BUTTON", "three", BS_AUTO3STATE, 10, 10, 120, 24, 10);
    CButton b(box);
    ControlLog log(box);

    EXPECT_EQ(0, b.SetCheck(BST_CHECKED));
    EXPECT_SEQUENCE(log.Control(), {{BM_SETCHECK, kCheckW | kCheckL, BST_CHECKED, 0}});
    log.Clear();
    EXPECT_EQ(BST_CHECKED, b.GetCheck());
    EXPECT_SEQUENCE(log.Control(), {{BM_GETCHECK, kCheckW | kCheckL, 0, 0}});

    // The state goes through as given (no folding to 0 or 1).
    log.Clear();
    b.SetCheck(BST_INDETERMINATE);
    EXPECT_SEQUENCE(log.Control(), {{BM_SETCHECK, kCheckW | kCheckL, BST_INDETERMINATE, 0}});
    EXPECT_EQ(BST_INDETERMINATE, b.GetCheck());
    b.SetCheck(BST_UNCHECKED);
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(box, BM_GETCHECK, 0, 0));

    log.Clear();
    b.SetState(1);
    EXPECT_SEQUENCE(log.Control(), {{BM_SETSTATE, kCheckW | kCheckL, 1, 0}});
    log.Clear();
    EXPECT_EQ(BST_PUSHED, b.GetState() & BST_PUSHED);
    EXPECT_SEQUENCE(log.Control(), {{BM_GETSTATE, kCheckW | kCheckL, 0, 0}});
    b.SetState(0);
    EXPECT_EQ(0, b.GetState() & BST_PUSHED);

    // CForm's check members reach the same control.
    CForm& f = b;
    f.SetCheck(1);
    EXPECT_EQ(BST_CHECKED, b.GetCheck());
}

TEST_F(Host, ButtonImagesSetTheStyleBitAndTheImage)
{
    HWND push = Child("BUTTON", "image", BS_PUSHBUTTON, 10, 40, 60, 40, 11);
    ASSERT_EQ(0, GetWindowLongA(push, GWL_STYLE) & (BS_BITMAP | BS_ICON));
    CButton b(push);
    ControlLog log(push);

    HDC screen = GetDC(NULL);
    HBITMAP first = CreateCompatibleBitmap(screen, 16, 16);
    HBITMAP second = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(NULL, screen);

    EXPECT_TRUE(b.SetBitmap(first) == NULL);
    EXPECT_EQ(BS_BITMAP, GetWindowLongA(push, GWL_STYLE) & BS_BITMAP);
    std::vector<LoggedMessage> sent = log.Only({BM_SETIMAGE});
    EXPECT_SEQUENCE(sent, {{BM_SETIMAGE, kCheckW | kCheckL, IMAGE_BITMAP, reinterpret_cast<LPARAM>(first)}});
    EXPECT_TRUE(reinterpret_cast<HBITMAP>(SendMessageA(push, BM_GETIMAGE, IMAGE_BITMAP, 0)) == first);
    EXPECT_TRUE(b.SetBitmap(second) == first) << "the previous image is returned";

    // An icon on another button. (SetIcon only adds BS_ICON: on a button that has BS_BITMAP
    // already, the button refuses the icon.)
    HWND other = Child("BUTTON", "icon", BS_PUSHBUTTON, 80, 40, 60, 40, 12);
    CButton i(other);
    ControlLog iconLog(other);
    HICON icon = LoadIconA(NULL, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    EXPECT_TRUE(i.SetIcon(icon) == NULL);
    EXPECT_EQ(BS_ICON, GetWindowLongA(other, GWL_STYLE) & (BS_ICON | BS_BITMAP));
    EXPECT_SEQUENCE(iconLog.Only({BM_SETIMAGE}),
                    {{BM_SETIMAGE, kCheckW | kCheckL, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)}});
    EXPECT_TRUE(reinterpret_cast<HICON>(SendMessageA(other, BM_GETIMAGE, IMAGE_ICON, 0)) == icon);

    DestroyWindow(push);
    DeleteObject(first);
    DeleteObject(second);
}

// ---------------------------------------------------------------------------------------------
// CEdit

TEST_F(Host, EditAppendKeepsTheSelection)
{
    HWND edit = Child("EDIT", "", WS_BORDER | ES_AUTOHSCROLL, 10, 10, 200, 24, 20);
    CEdit e(edit);
    EXPECT_EQ(1, e = "abc");
    EXPECT_EQ("abc", WindowText(edit));
    SendMessageA(edit, EM_SETSEL, 1, 3);

    ControlLog log(edit);
    EXPECT_EQ(1, e += "de");
    // Length, saved selection, caret to the end, insertion that cannot be undone, selection back.
    std::vector<LoggedMessage> seen = log.Control({WM_GETTEXTLENGTH});
    EXPECT_EQ("abcde", WindowText(edit));
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(1u, start);
    EXPECT_EQ(3u, end);

    EXPECT_SEQUENCE(seen, {
        {WM_GETTEXTLENGTH},
        {EM_GETSEL},
        {EM_SETSEL, kCheckW | kCheckL, 3, 3},
        {EM_REPLACESEL, kCheckW | kCheckText, 0, 0, "de"},
        {EM_SETSEL, kCheckW | kCheckL, 1, 3},
    });
    EXPECT_EQ(0, SendMessageA(edit, EM_CANUNDO, 0, 0)) << "the appended text can be undone";

    // Appending to an empty control.
    e = "";
    e += "xyz";
    EXPECT_EQ("xyz", WindowText(edit));
}

TEST_F(Host, EditSelectionLimitAndModifyForwardTheirArguments)
{
    HWND edit = Child("EDIT", "hello world", WS_BORDER, 10, 10, 200, 24, 21);
    CEdit e(edit);
    ControlLog log(edit);

    e.SetSel(2, 7);
    EXPECT_SEQUENCE(log.Control(), {{EM_SETSEL, kCheckW | kCheckL, 2, 7}});
    log.Clear();
    long start = -1, end = -1;
    EXPECT_EQ(MAKELONG(2, 7), e.GetSel(&start, &end));
    EXPECT_EQ(2, start);
    EXPECT_EQ(7, end);
    EXPECT_SEQUENCE(log.Control(), {{EM_GETSEL}});

    // Either output may be left out.
    start = -1;
    e.GetSel(&start, NULL);
    EXPECT_EQ(2, start);
    end = -1;
    e.GetSel(NULL, &end);
    EXPECT_EQ(7, end);

    log.Clear();
    e.SetLimit(5);
    EXPECT_SEQUENCE(log.Control(), {{EM_LIMITTEXT, kCheckW | kCheckL, 5, 0}});
    EXPECT_EQ(5, SendMessageA(edit, EM_GETLIMITTEXT, 0, 0));

    log.Clear();
    EXPECT_EQ(0, e.SetModify(1));
    EXPECT_SEQUENCE(log.Control(), {{EM_SETMODIFY, kCheckW | kCheckL, 1, 0}});
    log.Clear();
    EXPECT_NE(0, e.GetModify());
    EXPECT_SEQUENCE(log.Control(), {{EM_GETMODIFY, kCheckW | kCheckL, 0, 0}});
    e.SetModify(0);
    EXPECT_EQ(0, e.GetModify());
}

TEST_F(Host, EditClipboardOperationsAndUndo)
{
    HWND edit = Child("EDIT", "hello", WS_BORDER, 10, 10, 200, 24, 22);
    CEdit e(edit);
    ControlLog log(edit);

    // One after another on "hello": the selection, the operation and its message, then the text
    // and the clipboard.
    const struct { int from, to; long (CEdit::*op)(); UINT msg; const char* text; const char* clipboard; } steps[] = {
        {0, 2, &CEdit::Copy, WM_COPY, "hello", "he"},
        {2, 5, &CEdit::Cut, WM_CUT, "he", "llo"},
        {0, 0, &CEdit::Paste, WM_PASTE, "llohe", "llo"},
        {3, 5, &CEdit::Delete, WM_CLEAR, "llo", "llo"},
    };
    for (const auto& step : steps) {
        e.SetSel(step.from, step.to);
        log.Clear();
        (e.*step.op)();
        EXPECT_SEQUENCE(log.Control({WM_COPY, WM_CUT, WM_PASTE, WM_CLEAR}), {{step.msg, kCheckW | kCheckL, 0, 0}});
        EXPECT_EQ(step.text, WindowText(edit));
        EXPECT_EQ(step.clipboard, ClipboardText()) << "after message " << step.msg;
    }

    log.Clear();
    EXPECT_NE(0, e.Undo());
    EXPECT_SEQUENCE(log.Control(), {{EM_UNDO, kCheckW | kCheckL, 0, 0}});
    EXPECT_EQ("llohe", WindowText(edit));
}

// ---------------------------------------------------------------------------------------------
// CCombo

TEST_F(Host, ComboItemsAndSelectionForwardTheirArguments)
{
    HWND combo = Child("COMBOBOX", "", CBS_DROPDOWN | WS_VSCROLL, 10, 10, 150, 120, 30);
    CCombo c(combo);
    ControlLog log(combo);

    EXPECT_EQ(0, c.InsertString("first", -1));
    EXPECT_SEQUENCE(log.Control(), {{CB_INSERTSTRING, kCheckW | kCheckText, static_cast<WPARAM>(-1), 0, "first"}});
    EXPECT_EQ(0, c.InsertString("zero", 0));
    EXPECT_EQ(2, c.InsertString("last", 2));

    log.Clear();
    EXPECT_EQ(3, c.GetCount());
    EXPECT_SEQUENCE(log.Control(), {{CB_GETCOUNT, kCheckW | kCheckL, 0, 0}});

    log.Clear();
    EXPECT_EQ(1, c.SetCurSel(1));
    EXPECT_SEQUENCE(log.Control(), {{CB_SETCURSEL, kCheckW | kCheckL, 1, 0}});
    EXPECT_EQ("first", WindowText(combo));
    log.Clear();
    EXPECT_EQ(1, c.GetCurSel());
    EXPECT_SEQUENCE(log.Control(), {{CB_GETCURSEL, kCheckW | kCheckL, 0, 0}});

    log.Clear();
    EXPECT_EQ(2, c.DeleteItem(0));
    EXPECT_SEQUENCE(log.Control(), {{CB_DELETESTRING, kCheckW | kCheckL, 0, 0}});
    char text[16] = "";
    SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("first", text);

    log.Clear();
    c.ResetContent();
    EXPECT_SEQUENCE(log.Control(), {{CB_RESETCONTENT, kCheckW | kCheckL, 0, 0}});
    EXPECT_EQ(0, SendMessageA(combo, CB_GETCOUNT, 0, 0));

    // The edit operations inherited from CEdit reach the combo box.
    EXPECT_EQ(1, c = "typed");
    EXPECT_EQ("typed", WindowText(combo));
}

// ---------------------------------------------------------------------------------------------
// CStatus

TEST_F(Host, StatusCreateMakesABarAtTheBottomOfTheParent)
{
    CStatus s;
    EXPECT_EQ(1, s.Create(host, 200));
    HWND bar = s.GetWindow();
    ASSERT_TRUE(bar != NULL);
    char className[64] = "";
    GetClassNameA(bar, className, sizeof className);
    EXPECT_STREQ(STATUSCLASSNAMEA, className);
    EXPECT_TRUE(GetParent(bar) == host);
    EXPECT_EQ(200, GetDlgCtrlID(bar));
    DWORD style = static_cast<DWORD>(GetWindowLongA(bar, GWL_STYLE));
    EXPECT_EQ(0x50000103u, style & 0x5000FFFFu) << std::hex << "0x" << style;
    EXPECT_EQ(0, GetWindowTextLengthA(bar));

    RECT client, r;
    GetClientRect(host, &client);
    GetWindowRect(bar, &r);
    MapWindowPoints(NULL, host, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(client.bottom, r.bottom);
    EXPECT_EQ(client.right - client.left, r.right - r.left);

    // Resize lays the bar out again after its parent grew.
    ControlLog log(bar);
    SetWindowPos(host, NULL, 0, 0, 600, 450, SWP_NOMOVE | SWP_NOZORDER);
    log.Clear();
    s.Resize();
    // The bar answers by moving itself, which brings it a WM_SIZE of its own.
    std::vector<LoggedMessage> sizes = log.Only({WM_SIZE});
    ASSERT_LE(1u, sizes.size());
    sizes.resize(1);
    EXPECT_SEQUENCE(sizes, {{WM_SIZE, kCheckW | kCheckL, 0, 0}});
    GetClientRect(host, &client);
    GetWindowRect(bar, &r);
    MapWindowPoints(NULL, host, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(client.bottom, r.bottom);
    EXPECT_EQ(client.right - client.left, r.right - r.left);

    // A bar needs a parent window.
    CStatus orphan;
    EXPECT_EQ(0, orphan.Create(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234)), 1));
    EXPECT_TRUE(orphan.GetWindow() == NULL);
}

TEST_F(Host, StatusPartsAreGivenAsWidthsAndReadBackAsWidths)
{
    CStatus s;
    ASSERT_EQ(1, s.Create(host, 201));
    ControlLog log(s.GetWindow());

    EXPECT_NE(0, s.SetParts(3, 100, 50, 80));
    std::vector<LoggedMessage> sent = log.Only({SB_SETPARTS});
    ASSERT_SEQUENCE(sent, {{SB_SETPARTS, kCheckW, 3}});
    EXPECT_EQ((std::vector<int>{100, 150, 230}), sent[0].ints) << Describe(sent);
    int edges[4] = {};
    EXPECT_EQ(3, SendMessageA(s.GetWindow(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)));
    EXPECT_EQ(230, edges[2]);

    log.Clear();
    EXPECT_EQ(3, s.GetPartCount());
    EXPECT_SEQUENCE(log.Control(), {{SB_GETPARTS, kCheckW | kCheckL, 0, 0}});

    EXPECT_EQ(100, s.GetParts(0));
    EXPECT_EQ(50, s.GetParts(1));
    EXPECT_EQ(80, s.GetParts(2));
    EXPECT_EQ(0, s.GetParts(3)) << "an index past the parts";
    EXPECT_EQ(0, s.GetParts(-1));

    // A bar that is not there has no parts.
    CStatus none;
    EXPECT_EQ(0, none.GetParts(0));
    EXPECT_EQ(0, none.GetPartCount());

    // A negative count sends nothing.
    log.Clear();
    EXPECT_EQ(0, s.SetParts(-1));
    EXPECT_EQ(0u, log.Only({SB_SETPARTS}).size());
}

TEST_F(Host, StatusTextAndStyleKeepTheText)
{
    CStatus s;
    ASSERT_EQ(1, s.Create(host, 202));
    s.SetParts(2, 150, 150);
    ControlLog log(s.GetWindow());

    s.SetText(1, "part one");
    EXPECT_SEQUENCE(log.Control(), {{SB_SETTEXTA, kCheckW | kCheckText, 1, 0, "part one"}});
    log.Clear();
    char buffer[64] = "";
    EXPECT_EQ(8, LOWORD(s.GetText(1, buffer)));
    EXPECT_SEQUENCE(log.Control(), {{SB_GETTEXTA, kCheckW | kCheckL, 1, reinterpret_cast<LPARAM>(buffer)}});
    EXPECT_STREQ("part one", buffer);
    log.Clear();
    EXPECT_EQ(8, s.GetTextLength(1));
    EXPECT_SEQUENCE(log.Control(), {{SB_GETTEXTLENGTHA, kCheckW | kCheckL, 1, 0}});

    log.Clear();
    EXPECT_NE(0, s.SetStyle(1, SBT_POPOUT));
    std::vector<LoggedMessage> set = log.Only({SB_SETTEXTA});
    EXPECT_SEQUENCE(set, {{SB_SETTEXTA, kCheckW | kCheckText, 1 | SBT_POPOUT, 0, "part one"}});
    LRESULT length = SendMessageA(s.GetWindow(), SB_GETTEXTLENGTHA, 1, 0);
    EXPECT_EQ(8, LOWORD(length));
    EXPECT_EQ(SBT_POPOUT, HIWORD(length)) << std::hex << length;

    s.SetStyle(1, SBT_NOBORDERS);
    length = SendMessageA(s.GetWindow(), SB_GETTEXTLENGTHA, 1, 0);
    EXPECT_EQ(SBT_NOBORDERS, HIWORD(length)) << std::hex << length;
    buffer[0] = '\0';
    s.GetText(1, buffer);
    EXPECT_STREQ("part one", buffer);

    // Part 0 is untouched.
    EXPECT_EQ(0, LOWORD(SendMessageA(s.GetWindow(), SB_GETTEXTLENGTHA, 0, 0)));
}

TEST_F(Host, StatusStyleOfAPartTextOf260CharactersOrMoreKeepsItsFirst259)
{
    CStatus s;
    ASSERT_EQ(1, s.Create(host, 203));
    std::string longText(300, 'a');
    for (size_t i = 0; i < longText.size(); ++i)
        longText[i] = static_cast<char>('a' + i % 26);
    s.SetText(0, longText.c_str());
    ASSERT_EQ(300, LOWORD(s.GetTextLength(0)));

    ControlLog log(s.GetWindow());
    s.SetStyle(0, SBT_POPOUT);
    std::string first259 = longText.substr(0, 259);
    EXPECT_SEQUENCE(log.Only({SB_SETTEXTA}), {{SB_SETTEXTA, kCheckW | kCheckText, SBT_POPOUT, 0, first259.c_str()}});
    EXPECT_EQ(259, LOWORD(s.GetTextLength(0)));

    // Exactly 259 characters go through whole, and a double-byte character is not split.
    std::string fits(259, 'z');
    s.SetText(0, fits.c_str());
    s.SetStyle(0, 0);
    EXPECT_EQ(259, LOWORD(s.GetTextLength(0)));
    std::string mixed(258, 'y');
    mixed += "\x82\xA0";  // HIRAGANA LETTER A in code page 932, bytes 259 and 260
    mixed += "tail";
    s.SetText(0, mixed.c_str());
    s.SetStyle(0, 0);
    std::vector<char> back(512, '\0');
    s.GetText(0, back.data());
    EXPECT_EQ(std::string(258, 'y'), std::string(back.data()));
}

TEST_F(Host, StatusIconsAndMinimumHeight)
{
    CStatus s;
    ASSERT_EQ(1, s.Create(host, 204));
    s.SetParts(2, 100, 100);
    ControlLog log(s.GetWindow());
    HICON icon = LoadIconA(NULL, reinterpret_cast<LPCSTR>(IDI_INFORMATION));

    EXPECT_NE(0, s.SetIcon(1, icon));
    EXPECT_SEQUENCE(log.Control(), {{SB_SETICON, kCheckW | kCheckL, 1, reinterpret_cast<LPARAM>(icon)}});
    log.Clear();
    EXPECT_TRUE(s.GetIcon(1) == icon);
    EXPECT_SEQUENCE(log.Control(), {{SB_GETICON, kCheckW | kCheckL, 1, 0}});
    EXPECT_TRUE(s.GetIcon(0) == NULL);

    log.Clear();
    EXPECT_EQ(0, s.SetMinHeight(60));
    EXPECT_SEQUENCE(log.Control(), {{SB_SETMINHEIGHT, kCheckW | kCheckL, 60, 0}});
    s.Resize();
    RECT r;
    GetWindowRect(s.GetWindow(), &r);
    EXPECT_LE(60, r.bottom - r.top);
}

// ---------------------------------------------------------------------------------------------
// CProgress

TEST_F(Host, ProgressCreateUsesTheStyleAndPlaceGiven)
{
    CProgress p;
    ASSERT_EQ(1, p.Create(WS_CHILD | WS_VISIBLE | PBS_SMOOTH, WS_EX_STATICEDGE, host, 15, 25, 210, 18));
    HWND bar = p.GetWindow();
    ASSERT_TRUE(bar != NULL);
    char className[64] = "";
    GetClassNameA(bar, className, sizeof className);
    EXPECT_STREQ(PROGRESS_CLASSA, className);
    EXPECT_TRUE(GetParent(bar) == host);
    EXPECT_EQ(0, GetDlgCtrlID(bar));
    EXPECT_EQ(static_cast<DWORD>(WS_CHILD | WS_VISIBLE | PBS_SMOOTH),
              static_cast<DWORD>(GetWindowLongA(bar, GWL_STYLE)) & ~static_cast<DWORD>(WS_CLIPSIBLINGS));
    EXPECT_EQ(WS_EX_STATICEDGE, GetWindowLongA(bar, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    EXPECT_EQ("15,25 210x18", testutil::WindowBox(bar, true));
    EXPECT_EQ(0, GetWindowTextLengthA(bar));

    // A child style without a parent fails, and the object then holds no window.
    CProgress orphan(bar);
    EXPECT_EQ(0, orphan.Create(WS_CHILD, 0, NULL, 0, 0, 10, 10));
    EXPECT_TRUE(orphan.GetWindow() == NULL);
}

TEST_F(Host, ProgressRangesPositionStepAndColours)
{
    CProgress p;
    ASSERT_EQ(1, p.Create(WS_CHILD | WS_VISIBLE, 0, host, 10, 10, 200, 20));
    ControlLog log(p.GetWindow());

    EXPECT_EQ(MAKELONG(0, 100), p.SetRange(-50, 70000));
    EXPECT_SEQUENCE(log.Control(), {{PBM_SETRANGE32, kCheckW | kCheckL, static_cast<WPARAM>(-50), 70000}});
    log.Clear();
    long low = 0, high = 0;
    EXPECT_EQ(70000, p.GetRange(&low, &high));
    // wParam 0 asks for the upper limit as the answer.
    EXPECT_SEQUENCE(log.Control(), {{PBM_GETRANGE, kCheckW, 0}});
    EXPECT_EQ(-50, low);
    EXPECT_EQ(70000, high);

    log.Clear();
    EXPECT_EQ(0, p.SetPos(60000));
    EXPECT_SEQUENCE(log.Control(), {{PBM_SETPOS, kCheckW | kCheckL, 60000, 0}});
    log.Clear();
    EXPECT_EQ(60000, p.GetPos());
    EXPECT_SEQUENCE(log.Control(), {{PBM_GETPOS, kCheckW | kCheckL, 0, 0}});
    EXPECT_EQ(60000, p.SetPos(-10));

    log.Clear();
    EXPECT_EQ(10, p.SetStep(250));
    EXPECT_SEQUENCE(log.Control(), {{PBM_SETSTEP, kCheckW | kCheckL, 250, 0}});
    SendMessageA(p.GetWindow(), PBM_STEPIT, 0, 0);
    EXPECT_EQ(240, p.GetPos());

    log.Clear();
    EXPECT_EQ(static_cast<long>(CLR_DEFAULT), p.SetBarColor(RGB(1, 2, 3)));
    EXPECT_SEQUENCE(log.Control(), {{PBM_SETBARCOLOR, kCheckW | kCheckL, 0, RGB(1, 2, 3)}});
    EXPECT_EQ(static_cast<long>(RGB(1, 2, 3)), p.SetBarColor(RGB(4, 5, 6)));
    log.Clear();
    EXPECT_EQ(static_cast<long>(CLR_DEFAULT), p.SetBkColor(RGB(7, 8, 9)));
    EXPECT_SEQUENCE(log.Control(), {{PBM_SETBKCOLOR, kCheckW | kCheckL, 0, RGB(7, 8, 9)}});
    EXPECT_EQ(static_cast<long>(RGB(7, 8, 9)), p.SetBkColor(RGB(0, 0, 0)));
}

// ---------------------------------------------------------------------------------------------
// CSpin

TEST_F(Host, SpinRangePositionAndBuddy)
{
    HWND edit = Child("EDIT", "", WS_BORDER, 10, 10, 80, 24, 40);
    HWND spin = Child(UPDOWN_CLASSA, NULL, UDS_SETBUDDYINT, 92, 10, 16, 24, 41);
    CSpin s(spin);
    ControlLog log(spin);

    s.SetRange32(-10, 10);
    EXPECT_SEQUENCE(log.Control(), {{UDM_SETRANGE32, kCheckW | kCheckL, static_cast<WPARAM>(-10), 10}});
    log.Clear();
    long low = 0, high = 0;
    s.GetRange32(&low, &high);
    EXPECT_SEQUENCE(log.Control(), {{UDM_GETRANGE32, kCheckW | kCheckL, reinterpret_cast<WPARAM>(&low),
                                     reinterpret_cast<LPARAM>(&high)}});
    EXPECT_EQ(-10, low);
    EXPECT_EQ(10, high);

    log.Clear();
    EXPECT_TRUE(s.SetBuddy(edit) == NULL);
    EXPECT_SEQUENCE(log.Control(), {{UDM_SETBUDDY, kCheckW | kCheckL, reinterpret_cast<WPARAM>(edit), 0}});
    log.Clear();
    EXPECT_TRUE(s.GetBuddy() == edit);
    EXPECT_SEQUENCE(log.Control(), {{UDM_GETBUDDY, kCheckW | kCheckL, 0, 0}});

    log.Clear();
    s.SetPos(-3);
    std::vector<LoggedMessage> sent = log.Control();
    ASSERT_SEQUENCE(sent, {{UDM_SETPOS, kCheckW, 0}});
    EXPECT_EQ(0xFFFD, LOWORD(sent[0].lParam)) << Describe(sent);
    EXPECT_EQ("-3", WindowText(edit)) << "the buddy shows the position";

    log.Clear();
    EXPECT_EQ(-3, s.GetPos());
    EXPECT_SEQUENCE(log.Control(), {{UDM_GETPOS, kCheckW | kCheckL, 0, 0}});
    EXPECT_EQ(0xFFFD, LOWORD(SendMessageA(spin, UDM_GETPOS, 0, 0)));

    s.SetPos(7);
    EXPECT_EQ(7, s.GetPos());
    EXPECT_EQ(7, s.SetPos(2)) << "the previous position";
}

// ---------------------------------------------------------------------------------------------
// CAnmCtrl

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);

// The clip of resource 1, as bytes.
std::string ClipBytes()
{
    HRSRC found = FindResourceA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(1), "AVI");
    if (!found)
        return std::string();
    HGLOBAL loaded = LoadResource(GetModuleHandleA(NULL), found);
    return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(GetModuleHandleA(NULL), found));
}

COLORREF CentreOf(HWND window)
{
    RECT r;
    GetClientRect(window, &r);
    HDC dc = GetDC(window);
    COLORREF c = GetPixel(dc, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ReleaseDC(window, dc);
    return c;
}

}  // namespace

TEST_F(Host, AnimationOpensAClipResourceSeeksPlaysAndCloses)
{
    HWND anim = Child(ANIMATE_CLASSA, NULL, 0, 10, 10, 40, 40, 50);
    CAnmCtrl a(anim);
    ControlLog log(anim);

    EXPECT_NE(0, a.Open(1UL));
    EXPECT_SEQUENCE(log.Control(), {{ACM_OPENA, kCheckW | kCheckL, 0, 1}});
    RECT r;
    GetClientRect(anim, &r);
    EXPECT_EQ(8, r.right) << "the control takes the clip's size";

    log.Clear();
    EXPECT_NE(0, a.Seek(1));
    EXPECT_SEQUENCE(log.Control(), {{ACM_PLAY, kCheckW | kCheckL, 0, MAKELONG(1, 1)}});
    testutil::PumpPending();
    EXPECT_EQ(kBlue, CentreOf(anim)) << std::hex << CentreOf(anim);
    a.Seek(0);
    testutil::PumpPending();
    EXPECT_EQ(kRed, CentreOf(anim)) << std::hex << CentreOf(anim);

    log.Clear();
    EXPECT_NE(0, a.Play(0, 1, 3));
    EXPECT_SEQUENCE(log.Control(), {{ACM_PLAY, kCheckW | kCheckL, 3, MAKELONG(0, 1)}});
    log.Clear();
    EXPECT_NE(0, a.Stop());
    EXPECT_SEQUENCE(log.Control(), {{ACM_STOP, kCheckW | kCheckL, 0, 0}});

    log.Clear();
    a.Close();
    EXPECT_SEQUENCE(log.Control(), {{ACM_OPENA, kCheckW | kCheckL, 0, 0}});
    EXPECT_EQ(0, a.Seek(0)) << "no clip after closing";
}

TEST_F(Host, AnimationOpensAClipFileAndFailsCleanlyOnAMissingOne)
{
    std::string clip = ClipBytes();
    ASSERT_EQ(624u, clip.size());
    std::string path = testutil::TempPath("clip.avi");
    ASSERT_TRUE(testutil::WriteWholeFile(path, clip));

    HWND anim = Child(ANIMATE_CLASSA, NULL, 0, 10, 10, 40, 40, 51);
    CAnmCtrl a(anim);
    ControlLog log(anim);

    EXPECT_NE(0, a.Open(path.c_str()));
    EXPECT_SEQUENCE(log.Control(), {{ACM_OPENA, kCheckW | kCheckText, 0, 0, path.c_str()}});
    EXPECT_NE(0, a.Seek(1));
    testutil::PumpPending();
    EXPECT_EQ(kBlue, CentreOf(anim)) << std::hex << CentreOf(anim);

    std::string missing = testutil::TempPath("no such clip.avi");
    log.Clear();
    EXPECT_EQ(0, a.Open(missing.c_str()));
    EXPECT_SEQUENCE(log.Control(), {{ACM_OPENA, kCheckW | kCheckText, 0, 0, missing.c_str()}});
    EXPECT_EQ(0, a.Play(0, 1, 1)) << "nothing to play after a failed open";
    EXPECT_TRUE(IsWindow(anim));

    // A file that is not a clip fails the same way.
    std::string junk = testutil::TempPath("junk.avi");
    ASSERT_TRUE(testutil::WriteWholeFile(junk, "RIFF\x04\0\0\0WAVE"));
    EXPECT_EQ(0, a.Open(junk.c_str()));
    DeleteFileA(path.c_str());
    DeleteFileA(junk.c_str());
}

// ---------------------------------------------------------------------------------------------
// Every wrapper without a control

TEST(ControlsDetached, WrappersWithoutAControlReturnTheFailureOfANullWindow)
{
    CButton b;
    CEdit e;
    CCombo c;
    CStatus s;
    CProgress p;
    CSpin n;
    CAnmCtrl a;
    EXPECT_TRUE(b.GetWindow() == NULL && e.GetWindow() == NULL && c.GetWindow() == NULL &&
                s.GetWindow() == NULL && p.GetWindow() == NULL && n.GetWindow() == NULL &&
                a.GetWindow() == NULL);
    EXPECT_EQ(0, b.GetCheck());
    EXPECT_EQ(0, e.GetModify());
    EXPECT_EQ(0, c.GetCount());
    EXPECT_EQ(0, s.GetPartCount());
    EXPECT_EQ(0, p.GetPos());
    EXPECT_TRUE(n.GetBuddy() == NULL);
    EXPECT_EQ(0, a.Stop());
    // A wrapper attached later through CForm works on the new control.
    HWND edit = CreateWindowExA(0, "EDIT", "later", WS_POPUP, 0, 0, 50, 20, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(edit != NULL);
    e.SetWindow(edit);
    e += "!";
    EXPECT_EQ("later!", WindowText(edit));
    DestroyWindow(edit);
}
