// Tests of the colour settings dialog (107) and the version dialog (104): the real dialogs run
// modally on the test thread while a driver thread reads them back and answers them, including
// the real colour chooser.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <set>
#include <thread>

#include "dialogs.h"
#include "harness_util.h"
#include "player_driver.h"
#include "player_texts.h"
#include "position_bar.h"
#include "resource.h"
#include "shell.h"

namespace {

using namespace playerdrive;

// Fresh-start colours of the settings: light grey background, black line, white bar, blue range.
const Bar2Colors kDefaultColors = {0xC0C0C0, 0x000000, 0xFFFFFF, 0xFF0000};

// Runs modal() on this thread while drive() runs on a helper thread. Whatever the driver left
// open is closed afterwards, so that a failed step cannot hang the test.
INT_PTR RunDriven(const std::function<INT_PTR()>& modal, const std::function<void()>& drive)
{
    std::atomic<bool> done(false);
    std::thread driver([&] {
        drive();
        // The driver's own answer gets its time first; only what is still open after that is closed.
        WaitFor([&] { return done.load(); }, 5000);
        WaitFor([&] {
            if (done)
                return true;
            for (HWND w : FindTopWindows("#32770", nullptr))
                PostMessageA(w, WM_CLOSE, 0, 0);
            Sleep(50);
            return false;
        }, 20000);
    });
    INT_PTR result = modal();
    done = true;
    driver.join();
    return result;
}

// A stand-in for the main window: a top-level window with a position bar 1005, as the commands
// expect on mainForm.
class DialogsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        appInstance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(RegisterBar2Class());
        testutil::TestWindowClass("DialogsTestOwner");
    }

    void SetUp() override
    {
        owner_ = CreateWindowExA(0, "DialogsTestOwner", "Orvandel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 500,
                                 140, nullptr, nullptr, appInstance, nullptr);
        ASSERT_NE(owner_, nullptr);
        bar_ = CreateWindowExA(0, "Bar2WndClass", "", WS_CHILD | WS_VISIBLE, 10, 40, 400, 20, owner_,
                               reinterpret_cast<HMENU>(IDC_POSITION_BAR), appInstance, nullptr);
        ASSERT_NE(bar_, nullptr);
        Bar2Colors colors = kDefaultColors;
        SendMessageA(bar_, BM2_SETCOLORS, 0, reinterpret_cast<LPARAM>(&colors));
        SendMessageA(bar_, BM2_SETRANGE, 0, 1000);
        SendMessageA(bar_, BM2_SETMARKER, 1, 200);
        SendMessageA(bar_, BM2_SETMARKER, 0, 800);
        mainForm = owner_;
        testutil::PumpPending();
    }

    void TearDown() override
    {
        mainForm = static_cast<HWND>(nullptr);
        DestroyWindow(owner_);
        testutil::PumpPending();
    }

    HWND owner_ = nullptr;
    HWND bar_ = nullptr;
};

// The pixel in the middle of a child's client area.
POINT Middle(HWND window)
{
    SIZE s = ClientSize(window);
    POINT p = {s.cx / 2, s.cy / 2};
    return p;
}

// Where the sample bar (range 0..100, markers 40 and 75, position 50) paints each colour.
struct SampleGeometry {
    int background[2], before[2], range[2], line[2];
};

SampleGeometry SampleAt(HWND bar)
{
    SIZE s = ClientSize(bar);
    // The bar's scale: single precision, applied in double precision and truncated.
    float scale = static_cast<float>(static_cast<double>(s.cx - 8) / 100.0);
    auto pixels = [&](int units) { return static_cast<int>(units * static_cast<double>(scale)); };
    int x40 = pixels(40) + 4;
    int rangeEnd = x40 + pixels(35);
    int x50 = pixels(50) + 4;
    int mid = s.cy / 4 + s.cy / 4;
    SampleGeometry g = {{(rangeEnd + s.cx - 4) / 2, mid}, {(4 + x40) / 2, mid}, {(x50 + rangeEnd) / 2, mid}, {x50, 0}};
    return g;
}

void ExpectSample(HWND bar, const Bar2Colors& c, const char* when)
{
    SampleGeometry g = SampleAt(bar);
    COLORREF seen = 0;
    EXPECT_TRUE(WaitForPixel(bar, g.background[0], g.background[1], c.bkgColor, &seen))
        << when << ": background " << std::hex << seen;
    EXPECT_TRUE(WaitForPixel(bar, g.before[0], g.before[1], c.barColor, &seen))
        << when << ": before the markers " << std::hex << seen;
    EXPECT_TRUE(WaitForPixel(bar, g.range[0], g.range[1], c.markerColor, &seen))
        << when << ": marker range " << std::hex << seen;
    EXPECT_TRUE(WaitForPixel(bar, g.line[0], g.line[1], c.lineColor, &seen)) << when << ": line " << std::hex << seen;
}

COLORREF Entry(const Bar2Colors& c, int i)
{
    const COLORREF e[4] = {c.bkgColor, c.lineColor, c.barColor, c.markerColor};
    return e[i];
}

void ExpectSwatches(HWND dialog, const Bar2Colors& c, const char* when)
{
    for (int i = 0; i < 4; ++i) {
        HWND swatch = GetDlgItem(dialog, IDC_SWATCH_BKG + i);
        POINT m = Middle(swatch);
        COLORREF seen = 0;
        EXPECT_TRUE(WaitForPixel(swatch, m.x, m.y, Entry(c, i), &seen))
            << when << ": swatch " << i << " shows " << std::hex << seen << " instead of " << Entry(c, i);
    }
}

// Chooses a colour in the colour chooser that the dialog opened: sets it the way the chooser's
// hook message does, then presses OK (or Cancel).
void AnswerChooser(HWND owner, COLORREF color, bool ok)
{
    HWND chooser = WaitForWindow("#32770", nullptr, owner);
    ASSERT_NE(chooser, nullptr) << "no colour chooser appeared";
    if (ok) {
        ASSERT_TRUE(SetChooserColour(chooser, color));
    }
    Click(chooser, ok ? IDOK : IDCANCEL);
    ASSERT_TRUE(WaitForWindowGone(chooser));
}

HWND WaitForColourDialog()
{
    return WaitForWindow("#32770", playertext::kColorsTitle);
}

TEST_F(DialogsTest, ColourDialogOpensWithTheColoursOnSwatchesAndSample)
{
    ColorDialogParams params = {appInstance, owner_, kDefaultColors};
    ColorDialog dialog(&params);
    HWND seenWindow = nullptr;
    INT_PTR result = RunDriven([&] { return dialog.Show(); }, [&] {
        HWND d = WaitForColourDialog();
        ASSERT_NE(d, nullptr);
        seenWindow = d;
        EXPECT_EQ(owner_, GetWindow(d, GW_OWNER));
        EXPECT_EQ(reinterpret_cast<LONG_PTR>(&dialog), GetWindowLongPtrA(d, GWLP_USERDATA));
        // Centred on the screen.
        RECT r = {};
        GetWindowRect(d, &r);
        RECT desk = {};
        GetClientRect(GetDesktopWindow(), &desk);
        EXPECT_EQ((desk.right - (r.right - r.left)) / 2, r.left);
        EXPECT_EQ((desk.bottom - (r.bottom - r.top)) / 2, r.top);
        HWND sample = GetDlgItem(d, IDC_POSITION_BAR);
        BarState s = ReadBar(sample);
        EXPECT_EQ(0u, s.minimum);
        EXPECT_EQ(100u, s.maximum);
        EXPECT_EQ(40u, s.start);
        EXPECT_EQ(75u, s.end);
        EXPECT_EQ(50u, s.position);
        BarColours c = ReadBarColours(sample);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(Entry(kDefaultColors, i), c.c[i]) << "sample colour " << i;
        ExpectSwatches(d, kDefaultColors, "fresh dialog");
        ExpectSample(sample, kDefaultColors, "fresh dialog");
        // The labels are left to the default colours: the dialog procedure does not answer for them.
        HWND label = FindWindowExA(d, nullptr, "Static", playertext::kBkgLabel);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(0, ColorDialog::DialogProc(d, WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(label)));
        Click(d, IDCANCEL);
    });
    EXPECT_EQ(2, result);
    EXPECT_EQ(seenWindow, static_cast<HWND>(dialog));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Entry(kDefaultColors, i), Entry(params.colors, i));
}

TEST_F(DialogsTest, PickingColoursRepaintsSwatchesAndSampleAtOnce)
{
    ColorDialogParams params = {appInstance, owner_, kDefaultColors};
    ColorDialog dialog(&params);
    const Bar2Colors picked = {0x204060, 0x0000C0, 0x80FF80, 0x00A0FF};
    INT_PTR result = RunDriven([&] { return dialog.Show(); }, [&] {
        HWND d = WaitForColourDialog();
        ASSERT_NE(d, nullptr);
        Bar2Colors expected = kDefaultColors;
        for (int i = 0; i < 4; ++i) {
            // A click on the swatch (any notification counts): the chooser opens, preset and owned by the dialog.
            Click(d, IDC_SWATCH_BKG + i, i == 3 ? STN_DBLCLK : STN_CLICKED);
            AnswerChooser(d, Entry(picked, i), true);
            COLORREF* e[4] = {&expected.bkgColor, &expected.lineColor, &expected.barColor, &expected.markerColor};
            *e[i] = Entry(picked, i);
            ExpectSwatches(d, expected, "after a pick");
            BarColours c = ReadBarColours(GetDlgItem(d, IDC_POSITION_BAR));
            for (int k = 0; k < 4; ++k)
                EXPECT_EQ(Entry(expected, k), c.c[k]) << "sample colour " << k << " after pick " << i;
        }
        ExpectSample(GetDlgItem(d, IDC_POSITION_BAR), picked, "all picked");
        Click(d, IDOK);
    });
    EXPECT_EQ(1, result);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Entry(picked, i), Entry(params.colors, i)) << "entry " << i;
}

TEST_F(DialogsTest, CancellingTheChooserChangesNothing)
{
    ColorDialogParams params = {appInstance, owner_, kDefaultColors};
    ColorDialog dialog(&params);
    INT_PTR result = RunDriven([&] { return dialog.Show(); }, [&] {
        HWND d = WaitForColourDialog();
        ASSERT_NE(d, nullptr);
        Click(d, IDC_SWATCH_LINE, STN_CLICKED);
        AnswerChooser(d, 0x00FF00, false);
        ExpectSwatches(d, kDefaultColors, "chooser cancelled");
        ExpectSample(GetDlgItem(d, IDC_POSITION_BAR), kDefaultColors, "chooser cancelled");
        Click(d, IDOK);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(0u, params.colors.lineColor);
}

TEST_F(DialogsTest, ResultsOfOkCancelEscapeAndCloseBox)
{
    struct Case { const char* name; std::function<void(HWND)> answer; INT_PTR result; } cases[] = {
        {"OK", [](HWND d) { Click(d, IDOK); }, 1},
        {"Cancel", [](HWND d) { Click(d, IDCANCEL); }, 2},
        {"Esc", [](HWND d) {
             HWND focus = GetDlgItem(d, IDOK);
             PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
         }, 2},
        {"close box", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, 0},
    };
    for (const Case& c : cases) {
        ColorDialogParams params = {appInstance, owner_, kDefaultColors};
        ColorDialog dialog(&params);
        INT_PTR result = RunDriven([&] { return dialog.Show(); }, [&] {
            HWND d = WaitForColourDialog();
            ASSERT_NE(d, nullptr) << c.name;
            c.answer(d);
        });
        EXPECT_EQ(c.result, result) << c.name;
    }
}

TEST_F(DialogsTest, WithoutParametersNothingIsShown)
{
    ColorDialog dialog(nullptr);
    EXPECT_EQ(0, dialog.Show());
    EXPECT_EQ(nullptr, static_cast<HWND>(dialog));
    EXPECT_TRUE(FindTopWindows("#32770", nullptr).empty());
}

// The swatch brushes: one per swatch in its colour, replaced (the old one deleted) when the colour
// changes, all deleted when the dialog closes. Checked on the handles themselves, since Wine's
// GetGuiResources counts nothing.
TEST_F(DialogsTest, SwatchBrushesNeverLeakNorOutliveTheDialog)
{
    ColorDialogParams params = {appInstance, owner_, kDefaultColors};
    std::set<HBRUSH> handed;
    {
        ColorDialog dialog(&params);
        INT_PTR result = RunDriven([&] { return dialog.Show(); }, [&] {
            HWND d = WaitForColourDialog();
            ASSERT_NE(d, nullptr);
            auto ask = [&](int i) {
                HWND swatch = GetDlgItem(d, IDC_SWATCH_BKG + i);
                HDC dc = GetDC(swatch);
                HBRUSH b = reinterpret_cast<HBRUSH>(SendMessageA(d, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                                 reinterpret_cast<LPARAM>(swatch)));
                ReleaseDC(swatch, dc);
                handed.insert(b);
                return b;
            };
            HBRUSH first[4];
            for (int i = 0; i < 4; ++i) {
                first[i] = ask(i);
                ASSERT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(first[i])) << "swatch " << i;
                LOGBRUSH lb = {};
                GetObjectA(first[i], sizeof(lb), &lb);
                EXPECT_EQ(Entry(kDefaultColors, i), lb.lbColor) << "swatch " << i;
                // Asked again in the same colour, the same brush comes back: repaints create nothing.
                for (int k = 0; k < 5; ++k)
                    EXPECT_EQ(first[i], ask(i)) << "swatch " << i;
            }
            Click(d, IDC_SWATCH_BAR, STN_CLICKED);
            AnswerChooser(d, 0x336699, true);
            HBRUSH replaced = ask(2);
            EXPECT_NE(first[2], replaced);
            EXPECT_EQ(0u, GetObjectType(first[2])) << "the brush of the old colour is deleted";
            LOGBRUSH lb = {};
            GetObjectA(replaced, sizeof(lb), &lb);
            EXPECT_EQ(0x336699u, lb.lbColor);
            for (int i : {0, 1, 3})
                EXPECT_EQ(first[i], ask(i)) << "swatch " << i << " keeps its brush";
            Click(d, IDCANCEL);
        });
        EXPECT_EQ(2, result);
        // The dialog is gone; the object is still alive, its brushes are not.
        for (HBRUSH b : handed)
            EXPECT_EQ(0u, GetObjectType(b)) << "brush " << b << " outlived the dialog";
    }
    EXPECT_GE(handed.size(), 5u);
}

TEST_F(DialogsTest, ColourCommandOkCarriesTheColoursToTheMainBar)
{
    const Bar2Colors picked = {0x102030, 0x0000FF, 0xE0E0E0, 0x40C000};
    int result = static_cast<int>(RunDriven([&] { return BarColorsCommand(); }, [&] {
        HWND d = WaitForColourDialog();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(owner_, GetWindow(d, GW_OWNER));
        // The dialog starts from the main bar's colours.
        ExpectSwatches(d, kDefaultColors, "from the main bar");
        for (int i = 0; i < 4; ++i) {
            Click(d, IDC_SWATCH_BKG + i, STN_CLICKED);
            AnswerChooser(d, Entry(picked, i), true);
        }
        // Nothing reaches the main bar before OK.
        BarColours before = ReadBarColours(bar_);
        EXPECT_EQ(kDefaultColors.bkgColor, before.c[0]);
        Click(d, IDOK);
    }));
    EXPECT_EQ(1, result);
    BarColours after = ReadBarColours(bar_);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Entry(picked, i), after.c[i]) << "main bar colour " << i;
    // The main window was invalidated: the bar repaints in the new background.
    testutil::PumpPending();
    COLORREF seen = 0;
    bool repainted = testutil::PumpUntil([&] {
        seen = Pixel(bar_, 1, 1);
        return seen == picked.bkgColor;
    }, 5000);
    EXPECT_TRUE(repainted) << std::hex << seen;
}

TEST_F(DialogsTest, ColourCommandCancelOrCloseBoxLeavesTheMainBar)
{
    for (int how = 0; how < 2; ++how) {
        int result = static_cast<int>(RunDriven([&] { return BarColorsCommand(); }, [&] {
            HWND d = WaitForColourDialog();
            ASSERT_NE(d, nullptr);
            Click(d, IDC_SWATCH_MARKER, STN_CLICKED);
            AnswerChooser(d, 0x00FFFF, true);
            if (how == 0)
                Click(d, IDCANCEL);
            else
                PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0);
        }));
        EXPECT_EQ(0, result) << (how ? "close box" : "Cancel");
        BarColours after = ReadBarColours(bar_);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(Entry(kDefaultColors, i), after.c[i]) << "main bar colour " << i;
    }
}

TEST_F(DialogsTest, AboutDialogShowsNameVersionIconAndCloses)
{
    struct Case { const char* name; std::function<void(HWND)> answer; } cases[] = {
        {"OK", [](HWND d) { Click(d, IDOK); }},
        {"Esc", [](HWND d) { PostMessageA(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001); }},
        {"close box", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Case& c : cases) {
        int result = static_cast<int>(RunDriven([&] { return AboutCommand(); }, [&] {
            HWND d = WaitForWindow("#32770", playertext::kAboutTitle);
            ASSERT_NE(d, nullptr) << c.name;
            EXPECT_EQ(owner_, GetWindow(d, GW_OWNER));
            EXPECT_NE(0, GetWindowLongPtrA(d, GWLP_USERDATA));
            EXPECT_NE(nullptr, FindWindowExA(d, nullptr, "Static", playertext::kDisplayName));
            EXPECT_NE(nullptr, FindWindowExA(d, nullptr, "Static", "Ver 1.3.8"));
            EXPECT_NE(nullptr, FindWindowExA(d, nullptr, "Static", playertext::kAboutNotice));
            HWND ok = GetDlgItem(d, IDOK);
            EXPECT_EQ("&OK", WindowText(ok));
            // The icon static shows resource 105.
            bool iconShown = false;
            for (HWND s = FindWindowExA(d, nullptr, "Static", nullptr); s; s = FindWindowExA(d, s, "Static", nullptr))
                if ((GetWindowLongA(s, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && SendMessageA(s, STM_GETICON, 0, 0))
                    iconShown = true;
            EXPECT_TRUE(iconShown);
            c.answer(d);
        }));
        EXPECT_EQ(1, result) << c.name;
    }
}

}  // namespace
