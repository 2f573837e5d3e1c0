// Tests of the player's shell: the real main dialog from the real resources runs its real message
// loop (RunPlayer) on the test thread, while a driver thread types accelerator keys, sends
// commands, resizes the window and answers the open dialog, the message boxes and the colour
// dialog. The settings file beside this program is read at start and written at exit.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "conveniences.h"
#include "dialog_answer.h"
#include "harness_util.h"
#include "native/wave_corpus.h"
#include "playback.h"
#include "player_driver.h"
#include "player_texts.h"
#include "position_bar.h"
#include "resource.h"
#include "settings.h"
#include "shell.h"
#include "wave_loader.h"

namespace {

using namespace playerdrive;

// ---- files ----

using testutil::ExeDirectory;

std::string IniPath()
{
    return ExeDirectory() + "velmora.ini";
}

int IniValue(const char* key, int missing = -99999)
{
    return GetPrivateProfileIntA("Settings", key, missing, IniPath().c_str());
}

// The settings velmora.ini must hold, one row a key.
struct IniRow {
    const char* key;
    int value;
};
void ExpectIni(std::initializer_list<IniRow> rows)
{
    for (const IniRow& row : rows)
        EXPECT_EQ(row.value, IniValue(row.key)) << row.key;
}

// Writes a 16-bit PCM WAVE file whose samples count up from a seed; returns its path.
std::string MakeWave(const std::string& name, DWORD frames, WORD channels = 2, DWORD rate = 44100, short seed = 0)
{
    std::string data;
    for (DWORD i = 0; i < frames * channels; ++i) {
        short s = static_cast<short>(seed + static_cast<short>(i * 7));
        data.append(reinterpret_cast<const char*>(&s), 2);
    }
    std::string path = testutil::TempPath(name);
    EXPECT_TRUE(testutil::WriteWholeFile(path, SimpleWave(channels, rate, 16, data)));
    return path;
}

// ---- the shell call, observed instead of opening a browser ----

struct ShellCall {
    HWND owner;
    std::string verb, file;
    bool parameters, directory;
    INT show;
};
std::mutex g_callsLock;
std::vector<ShellCall> g_calls;

HINSTANCE WINAPI RecordShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                    INT show)
{
    std::lock_guard<std::mutex> lock(g_callsLock);
    g_calls.push_back({owner, verb ? verb : "(null)", file ? file : "(null)", parameters != nullptr,
                       directory != nullptr, show});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

// ---- driving ----

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileA(IniPath().c_str());
        shellExecute = RecordShellExecute;
        std::lock_guard<std::mutex> lock(g_callsLock);
        g_calls.clear();
    }

    void TearDown() override
    {
        shellExecute = ShellExecuteA;
    }

    // Runs the player on this thread while drive(main window) runs on a helper thread; afterwards
    // anything still open is closed, so a failing step cannot hang the test. Returns RunPlayer's
    // result.
    // RunDriven with a fresh WAVE file of the frames opened through the Open dialog first; the
    // drive gets the main window and the file's path.
    void RunWithFile(const char* name, DWORD frames, const std::function<void(HWND, const std::string&)>& drive);

    int RunDriven(const std::function<void(HWND)>& drive)
    {
        std::atomic<bool> done(false);
        std::thread driver([&] {
            HWND main = WaitForWindow("#32770", playertext::kDisplayName, nullptr, 20000);
            EXPECT_NE(main, nullptr) << "the main window did not appear";
            if (main) {
                mainWindow_ = main;
                drive(main);
                // Tests that end the program themselves get the time to do it.
                WaitFor([&] { return done.load(); }, 300);
            }
            WaitFor([&] {
                if (done)
                    return true;
                for (HWND w : FindTopWindows("#32770", nullptr))
                    if (w != main)
                        PostMessageA(w, WM_CLOSE, 0, 0);
                if (main)
                    PostMessageA(main, WM_CLOSE, 0, 0);
                Sleep(50);
                return false;
            }, 20000);
        });
        int result = RunPlayer(GetModuleHandleA(nullptr));
        done = true;
        driver.join();
        UnregisterClassA("Bar2WndClass", GetModuleHandleA(nullptr));
        return result;
    }

    HWND mainWindow_ = nullptr;
};

HWND Bar(HWND main)
{
    return GetDlgItem(main, IDC_POSITION_BAR);
}

std::string ChildText(HWND main, int id)
{
    return WindowText(GetDlgItem(main, id));
}

// Sends a command the way the menu does and waits until it has been handled.
void Command(HWND main, UINT id)
{
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

// Returns once the main thread is back in its loop (it handles sent messages only there).
void Sync(HWND main)
{
    DWORD_PTR r = 0;
    SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r);
}

// Types a key; returns once the main thread has handled it.
void Key(HWND main, WORD vk, bool ctrl = false)
{
    EXPECT_TRUE(TypeKey(main, vk, ctrl)) << "key " << vk << " was not taken";
    // The key's release is taken; let that loop round finish.
    DWORD_PTR r = 0;
    SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r);
}

// Answers the open dialog that the main window shows: types the path and presses Open, or cancels.
void AnswerOpen(HWND main, const std::string* path)
{
    HWND dialog = WaitForWindow("#32770", nullptr, main);
    ASSERT_NE(dialog, nullptr) << "no open dialog";
    if (path) {
        HWND name = GetDlgItem(dialog, 0x47C);  // cmb13: the file-name box
        if (!name)
            name = GetDlgItem(dialog, 0x480);   // edt1
        ASSERT_NE(name, nullptr) << "no file-name box";
        SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path->c_str()));
        Click(dialog, IDOK);
    } else {
        Click(dialog, IDCANCEL);
    }
    ASSERT_TRUE(WaitForWindowGone(dialog));
}

// Reads the message box the main window shows, then presses the button.
testutil::MessageBoxSeen AnswerBox(HWND main, int button)
{
    testutil::MessageBoxSeen box;
    HWND mb = WaitForWindow("#32770", nullptr, main);
    EXPECT_NE(mb, nullptr) << "no message box";
    if (!mb)
        return box;
    testutil::ReadAndPress(mb, box, button);
    EXPECT_TRUE(WaitForWindowGone(mb));
    return box;
}

// Opens the file through Ctrl+O and the real open dialog; returns when the load has finished.
void OpenThroughDialog(HWND main, const std::string& path);

void ShellTest::RunWithFile(const char* name, DWORD frames,
                            const std::function<void(HWND, const std::string&)>& drive)
{
    std::string path = MakeWave(name, frames);
    RunDriven([&](HWND main) {
        OpenThroughDialog(main, path);
        ASSERT_EQ(PLAY_STOPPED, PlayState.load());
        drive(main, path);
    });
}

void OpenThroughDialog(HWND main, const std::string& path)
{
    std::thread answer([&] { AnswerOpen(main, &path); });
    Key(main, 'O', true);
    answer.join();
    EXPECT_TRUE(WaitFor([&] { return ChildText(main, IDC_PATH_TEXT) == path; }, 10000)) << "not loaded: " << path;
    DWORD_PTR r = 0;
    SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r);
}


void ExpectLayout(HWND main, const char* when)
{
    long w = ClientSize(main).cx;
    RECT path = ChildRect(main, IDC_PATH_TEXT), keyText = ChildRect(main, IDC_KEY_TEXT);
    RECT bar = ChildRect(main, IDC_POSITION_BAR), vol = ChildRect(main, IDC_VOLUME_TEXT);
    EXPECT_EQ(40, path.left) << when;
    EXPECT_EQ(16, path.top) << when;
    EXPECT_EQ(w - 48, path.right - path.left) << when;
    EXPECT_EQ(8, keyText.left) << when;
    EXPECT_EQ(16, keyText.top) << when;
    // 24 pixels, or just what "+12" needs where the font in use is wider.
    EXPECT_EQ(KeyDisplayWidth(24, 32), keyText.right - keyText.left) << when;
    EXPECT_EQ(path.bottom - path.top, keyText.bottom - keyText.top) << when;
    EXPECT_EQ(10, bar.left) << when;
    EXPECT_EQ(40, bar.top) << when;
    EXPECT_EQ(w - 20, bar.right - bar.left) << when;
    EXPECT_EQ(w - 10, vol.right) << when;
    EXPECT_EQ(70, vol.top) << when;
}

// ---- tests ----

TEST_F(ShellTest, StartsWithTheMainWindowFromTheResources)
{
    RECT timeAtStart = {};
    int result = RunDriven([&](HWND main) {
        EXPECT_EQ("#32770", WindowClass(main));
        LONG style = GetWindowLongA(main, GWL_STYLE);
        EXPECT_TRUE(style & WS_THICKFRAME);
        EXPECT_TRUE(style & WS_MINIMIZEBOX);
        EXPECT_TRUE(style & WS_MAXIMIZEBOX);
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_TRUE(IsWindowVisible(main));
        EXPECT_EQ(nullptr, GetWindow(main, GW_OWNER));
        HMENU menu = GetMenu(main);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(4, GetMenuItemCount(menu));
        EXPECT_NE(0, SendMessageA(main, WM_GETICON, ICON_BIG, 0));
        EXPECT_NE(0, SendMessageA(main, WM_GETICON, ICON_SMALL, 0));
        EXPECT_EQ(WS_EX_CLIENTEDGE, GetWindowLongA(Bar(main), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_EQ("  0", ChildText(main, IDC_KEY_TEXT));
        EXPECT_EQ("VOL: +0.0x", ChildText(main, IDC_VOLUME_TEXT));
        EXPECT_EQ("", ChildText(main, IDC_PATH_TEXT));
        EXPECT_EQ("c0c0c0 0 ffffff ff0000", Hex(ReadBarColours(Bar(main))));
        EXPECT_EQ(MAIN_WINDOW_HEIGHT, WindowSize(main).cy);
        ExpectLayout(main, "at start");
        timeAtStart = ChildRect(main, IDC_TIME_TEXT);
        // The 10 ms timer runs without a file: it copies the bar's markers into the engine.
        SendMessageA(Bar(main), BM2_SETMARKER, 0, 0);
        SendMessageA(Bar(main), BM2_SETRANGE, 0, 500);
        SendMessageA(Bar(main), BM2_SETMARKER, 1, 123);
        SendMessageA(Bar(main), BM2_SETMARKER, 0, 456);
        EXPECT_TRUE(WaitFor([] { return markerStart == 123u && markerEnd == 456u; }, 3000))
            << markerStart << " " << markerEnd;
        // With no file loaded, Space does nothing and A only stores a position.
        Key(main, VK_SPACE);
        EXPECT_EQ(PLAY_NONE, PlayState.load());
        playPosition = 77;
        Key(main, 'A');
        EXPECT_EQ(0u, playPosition.load());
    });
    EXPECT_EQ(0, result);
    // The settings were written at exit with the defaults.
    ExpectIni({{"BarColor", 16777215}, {"BkgColor", 12632256}, {"LineColor", 0}, {"MarkerColor", 16711680},
               {"Octave", 0}, {"Volume", 0}});
}

TEST_F(ShellTest, SettingsAreReadAtStartAndWrittenAfterTheLoop)
{
    ASSERT_TRUE(testutil::WriteWholeFile(IniPath(),
        "[Settings]\r\nBarColor=255\r\nBkgColor=65280\r\nLineColor=16711935\r\nMarkerColor=8421504\r\n"
        "Octave=-3\r\nVolume=5\r\n"));
    int result = RunDriven([&](HWND main) {
        EXPECT_EQ("- 3", ChildText(main, IDC_KEY_TEXT));
        EXPECT_EQ("VOL: +0.5x", ChildText(main, IDC_VOLUME_TEXT));
        EXPECT_EQ("ff00 ff00ff ff 808080", Hex(ReadBarColours(Bar(main))));
        // The bar paints its background in the colour read from the file.
        COLORREF seen = 0;
        EXPECT_TRUE(WaitForPixel(Bar(main), 1, 1, 65280, &seen)) << std::hex << seen;
        Command(main, IDM_KEY_UP);
        Command(main, IDM_VOLUME_DOWN);
        Bar2Colors colours = {1, 2, 3, 4};
        SendMessageA(Bar(main), BM2_SETCOLORS, 0, reinterpret_cast<LPARAM>(&colours));
        // Nothing is written before the exit.
        EXPECT_EQ(-3, IniValue("Octave"));
        PostMessageA(main, WM_COMMAND, IDM_EXIT, 0);
        EXPECT_TRUE(WaitForWindowGone(main));
    });
    EXPECT_EQ(0, result);
    ExpectIni({{"Octave", -2}, {"Volume", 4}, {"BkgColor", 1}, {"LineColor", 2}, {"BarColor", 3}, {"MarkerColor", 4}});
}

TEST_F(ShellTest, LayoutFollowsTheWidthAndTheHeightStays140)
{
    RunDriven([&](HWND main) {
        RECT time0 = ChildRect(main, IDC_TIME_TEXT);
        struct Size { int w, h, expectW; } sizes[] = {
            {600, 140, 600}, {800, 400, 800}, {450, 60, 450}, {340, 140, 340}, {200, 100, 340}, {1000, 141, 1000},
        };
        for (const Size& s : sizes) {
            SetWindowPos(main, nullptr, 0, 0, s.w, s.h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            std::string when = std::to_string(s.w) + " x " + std::to_string(s.h);
            SIZE now = WindowSize(main);
            EXPECT_EQ(s.expectW, now.cx) << when;
            EXPECT_EQ(MAIN_WINDOW_HEIGHT, now.cy) << when;
            ExpectLayout(main, when.c_str());
            RECT time = ChildRect(main, IDC_TIME_TEXT);
            EXPECT_EQ(time0.left, time.left) << when << ": the time text stays";
            EXPECT_EQ(time0.top, time.top) << when;
        }
        // The tracking limits the window gives the system.
        MINMAXINFO info = {};
        info.ptMaxTrackSize.x = 5000;
        info.ptMaxTrackSize.y = 5000;
        EXPECT_EQ(0, SendMessageA(main, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)));
        EXPECT_EQ(340, info.ptMinTrackSize.x);
        EXPECT_EQ(140, info.ptMinTrackSize.y);
        EXPECT_EQ(140, info.ptMaxTrackSize.y);
        EXPECT_EQ(5000, info.ptMaxTrackSize.x);
    });
}

TEST_F(ShellTest, AcceleratorKeysRunTheirCommands)
{
    const DWORD frames = 44100 * 3;
    RunWithFile("keys.wav", frames, [&](HWND main, const std::string& path) {
        EXPECT_EQ(path, ChildText(main, IDC_PATH_TEXT));
        BarState b = ReadBar(Bar(main));
        EXPECT_EQ(frames, b.maximum);
        EXPECT_EQ(frames, b.end);

        // Space: play, pause, play.
        Key(main, VK_SPACE);
        EXPECT_EQ(PLAY_PLAYING, PlayState.load());
        Key(main, VK_SPACE);
        EXPECT_EQ(PLAY_PAUSED, PlayState.load());
        Key(main, VK_SPACE);
        EXPECT_EQ(PLAY_PLAYING, PlayState.load());

        // V: a start marker set a moment ago; stop there.
        SendMessageA(Bar(main), BM2_SETMARKER, 1, 1000);
        SendMessageA(Bar(main), BM2_SETMARKER, 0, 90000);
        Key(main, 'V');
        EXPECT_EQ(PLAY_STOPPED, PlayState.load());
        EXPECT_EQ(1000u, playPosition.load());
        EXPECT_EQ(1000u, ReadBar(Bar(main)).position);
        // X and Z while stopped only move the position, to the markers the bar holds now.
        SendMessageA(Bar(main), BM2_SETMARKER, 0, 80000);
        Key(main, 'X');
        EXPECT_EQ(80000u, playPosition.load());
        EXPECT_EQ(80000u, ReadBar(Bar(main)).position);
        SendMessageA(Bar(main), BM2_SETMARKER, 1, 2000);
        Key(main, 'Z');
        EXPECT_EQ(2000u, playPosition.load());
        EXPECT_EQ(PLAY_STOPPED, PlayState.load());
        // A: the beginning.
        Key(main, 'A');
        EXPECT_EQ(0u, playPosition.load());
        EXPECT_EQ(0u, ReadBar(Bar(main)).position);
        // Z while playing restarts from the start marker.
        Key(main, VK_SPACE);
        Key(main, 'Z');
        EXPECT_EQ(PLAY_PLAYING, PlayState.load());
        // The blocks are primed from the start marker on (the engine's refill may run on a thread of its own).
        EXPECT_TRUE(WaitFor([] { return playPosition.load() > 2000u; }, 3000)) << playPosition.load();

        // Ctrl+R toggles repeat; the menu's check mark follows when the menu is opened.
        int before = repeatOn.load();
        Key(main, 'R', true);
        EXPECT_EQ(!before, repeatOn.load());
        SendMessageA(main, WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(main)), 0);
        EXPECT_EQ(repeatOn.load() ? static_cast<UINT>(MF_CHECKED) : 0u,
                  GetMenuState(GetMenu(main), IDM_REPEAT, MF_BYCOMMAND) & MF_CHECKED);
        Key(main, 'R', true);
        EXPECT_EQ(before, repeatOn.load());
        SendMessageA(main, WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(main)), 0);
        EXPECT_EQ(before ? static_cast<UINT>(MF_CHECKED) : 0u,
                  GetMenuState(GetMenu(main), IDM_REPEAT, MF_BYCOMMAND) & MF_CHECKED);

        // Keypad plus and minus: the key; with Ctrl: the volume.
        Key(main, VK_ADD);
        EXPECT_EQ("+ 1", ChildText(main, IDC_KEY_TEXT));
        Key(main, VK_SUBTRACT);
        Key(main, VK_SUBTRACT);
        EXPECT_EQ("- 1", ChildText(main, IDC_KEY_TEXT));
        Key(main, VK_ADD, true);
        Key(main, VK_ADD, true);
        EXPECT_EQ("VOL: +0.2x", ChildText(main, IDC_VOLUME_TEXT));
        Key(main, VK_SUBTRACT, true);
        EXPECT_EQ("VOL: +0.1x", ChildText(main, IDC_VOLUME_TEXT));
        EXPECT_EQ("- 1", ChildText(main, IDC_KEY_TEXT));

        // Ctrl+C closes; the path stays on screen; Ctrl+L reopens it with the markers at the ends.
        Key(main, 'C', true);
        EXPECT_EQ(PLAY_NONE, PlayState.load());
        b = ReadBar(Bar(main));
        EXPECT_EQ(0u, b.maximum);
        EXPECT_EQ(path, ChildText(main, IDC_PATH_TEXT));
        Key(main, 'L', true);
        EXPECT_EQ(PLAY_STOPPED, PlayState.load());
        b = ReadBar(Bar(main));
        EXPECT_EQ(frames, b.maximum);
        EXPECT_EQ(0u, b.start);
        EXPECT_EQ(frames, b.end);
        EXPECT_EQ(0u, b.position);
    });
    // The key and volume of the run are saved.
    EXPECT_EQ(-1, IniValue("Octave"));
    EXPECT_EQ(1, IniValue("Volume"));
}

TEST_F(ShellTest, TheRepeatCheckMarkFollowsWhenTheMenuBarOpens)
{
    RunDriven([&](HWND main) {
        for (int round = 0; round < 2; ++round) {
            Command(main, IDM_REPEAT);
            int expected = repeatOn.load();
            // Open the Playback menu from the keyboard, as Alt+P does; the system sends WM_INITMENU.
            PostMessageA(main, WM_SYSCOMMAND, SC_KEYMENU, 'p');
            HWND popup = WaitForWindow("#32768", nullptr, nullptr, 5000);
            EXPECT_NE(popup, nullptr) << "the menu did not open";
            EXPECT_EQ(expected ? static_cast<UINT>(MF_CHECKED) : 0u,
                      GetMenuState(GetMenu(main), IDM_REPEAT, MF_BYCOMMAND) & MF_CHECKED) << "round " << round;
            Key(main, VK_ESCAPE);
            Key(main, VK_ESCAPE);
            WaitFor([&] { return FindTopWindows("#32768", nullptr).empty(); }, 3000);
        }
    });
}

TEST_F(ShellTest, OpenCancelledChangesNothingAndAFailedOpenKeepsTheOldPathText)
{
    std::string good = MakeWave("good.wav", 44100 * 20);
    std::string bad = testutil::TempPath("bad.wav");
    ASSERT_TRUE(testutil::WriteWholeFile(bad, "this is not a RIFF file at all"));
    RunDriven([&](HWND main) {
        OpenThroughDialog(main, good);
        ASSERT_EQ(PLAY_STOPPED, PlayState.load());
        Key(main, VK_SPACE);
        ASSERT_EQ(PLAY_PLAYING, PlayState.load());

        // Cancel: playback goes on untouched.
        std::thread cancel([&] { AnswerOpen(main, nullptr); });
        Key(main, 'O', true);
        cancel.join();
        Sync(main);
        EXPECT_EQ(PLAY_PLAYING, PlayState.load());
        EXPECT_EQ(good, ChildText(main, IDC_PATH_TEXT));
        EXPECT_EQ(good, std::string(static_cast<char*>(wavePath)));

        // A file that fails: the old one is closed, the message shows, the old path text stays.
        testutil::MessageBoxSeen box;
        std::thread answer([&] {
            AnswerOpen(main, &bad);
            box = AnswerBox(main, IDOK);
        });
        Key(main, 'O', true);
        answer.join();
        Sync(main);
        EXPECT_EQ(playertext::kNotWave, box.text);
        EXPECT_EQ(playertext::kDisplayName, box.caption);
        EXPECT_EQ(PLAY_NONE, PlayState.load());
        EXPECT_EQ(0u, ReadBar(Bar(main)).maximum);
        EXPECT_EQ(good, ChildText(main, IDC_PATH_TEXT));
        EXPECT_EQ(bad, std::string(static_cast<char*>(wavePath)));

        // Reload tries the failed path again.
        testutil::MessageBoxSeen again;
        std::thread answer2([&] { again = AnswerBox(main, IDOK); });
        Key(main, 'L', true);
        answer2.join();
        EXPECT_EQ(playertext::kNotWave, again.text);

        // The open dialog starts at the remembered path.
        std::thread look([&] {
            HWND dialog = WaitForWindow("#32770", nullptr, main);
            ASSERT_NE(dialog, nullptr);
            HWND name = GetDlgItem(dialog, 0x47C);
            if (!name)
                name = GetDlgItem(dialog, 0x480);
            std::string shown = WindowText(name);
            EXPECT_NE(std::string::npos, bad.find(shown)) << shown;
            EXPECT_FALSE(shown.empty());
            Click(dialog, IDCANCEL);
            WaitForWindowGone(dialog);
        });
        Key(main, 'O', true);
        look.join();
    });
}

TEST_F(ShellTest, WebSiteAsksFirstAndHandsTheAddressToTheShellOnlyOnYes)
{
    RunDriven([&](HWND main) {
        testutil::MessageBoxSeen no;
        std::thread answerNo([&] { no = AnswerBox(main, IDNO); });
        Command(main, IDM_WEB_SITE);
        answerNo.join();
        EXPECT_EQ(playertext::kConnectQuestion, no.text);
        EXPECT_EQ(playertext::kDisplayName, no.caption);
        EXPECT_TRUE(no.yes && no.no);
        {
            std::lock_guard<std::mutex> lock(g_callsLock);
            EXPECT_TRUE(g_calls.empty()) << "No must start nothing";
        }
        testutil::MessageBoxSeen yes;
        std::thread answerYes([&] { yes = AnswerBox(main, IDYES); });
        Command(main, IDM_WEB_SITE);
        answerYes.join();
        std::lock_guard<std::mutex> lock(g_callsLock);
        ASSERT_EQ(1u, g_calls.size());
        EXPECT_EQ(nullptr, g_calls[0].owner);
        EXPECT_EQ("open", g_calls[0].verb);
        EXPECT_EQ(playertext::kWebAddress, g_calls[0].file);
        EXPECT_FALSE(g_calls[0].parameters);
        EXPECT_FALSE(g_calls[0].directory);
        EXPECT_EQ(SW_SHOW, g_calls[0].show);
    });
}

TEST_F(ShellTest, ColourDialogFromTheMenuReachesTheBarAndTheSettings)
{
    RunDriven([&](HWND main) {
        // Cancel first: nothing changes.
        std::thread cancel([&] {
            HWND d = WaitForWindow("#32770", playertext::kColorsTitle, main);
            ASSERT_NE(d, nullptr);
            Click(d, IDCANCEL);
        });
        Command(main, IDM_BAR_COLORS);
        cancel.join();
        EXPECT_EQ(0xC0C0C0u, ReadBarColours(Bar(main)).c[0]);

        std::thread pick([&] {
            HWND d = WaitForWindow("#32770", playertext::kColorsTitle, main);
            ASSERT_NE(d, nullptr);
            Click(d, IDC_SWATCH_BKG, STN_CLICKED);
            HWND chooser = WaitForWindow("#32770", nullptr, d);
            ASSERT_NE(chooser, nullptr);
            ASSERT_TRUE(SetChooserColour(chooser, 0x4080C0));
            Click(chooser, IDOK);
            WaitForWindowGone(chooser);
            Click(d, IDOK);
        });
        Command(main, IDM_BAR_COLORS);
        pick.join();
        EXPECT_EQ(0x4080C0u, ReadBarColours(Bar(main)).c[0]);
        COLORREF seen = 0;
        EXPECT_TRUE(WaitForPixel(Bar(main), 1, 1, 0x4080C0, &seen)) << std::hex << seen;
    });
    EXPECT_EQ(0x4080C0, IniValue("BkgColor"));
    EXPECT_EQ(16777215, IniValue("BarColor"));
}

TEST_F(ShellTest, AboutFromTheMenuIsOwnedByTheMainWindow)
{
    RunDriven([&](HWND main) {
        std::thread answer([&] {
            HWND d = WaitForWindow("#32770", playertext::kAboutTitle, main);
            ASSERT_NE(d, nullptr);
            EXPECT_NE(nullptr, FindWindowExA(d, nullptr, "Static", "Ver 1.3.8"));
            Click(d, IDOK);
        });
        Command(main, IDM_ABOUT);
        answer.join();
    });
}

TEST_F(ShellTest, DragOnTheBarSeeksAndTheTimerShowsProgress)
{
    const DWORD frames = 44100 * 30;
    RunWithFile("drag.wav", frames, [&](HWND main, const std::string&) {
        HWND bar = Bar(main);
        SIZE s = ClientSize(bar);
        // A left press and release in the middle of the bar: the notification seeks there.
        PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(s.cx / 2, s.cy / 2));
        PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(s.cx / 2, s.cy / 2));
        ASSERT_TRUE(WaitFor([&] { return ReadBar(bar).position > 0; }, 3000));
        BarState b = ReadBar(bar);
        EXPECT_EQ(b.position, playPosition.load());
        EXPECT_EQ(b.position, b.start);
        EXPECT_NEAR(static_cast<double>(frames) / 2, b.position, frames / 20.0);
        // Playing: the timer carries the position and the elapsed time to the screen.
        Key(main, VK_SPACE);
        std::string time;
        EXPECT_TRUE(WaitFor([&] {
            time = ChildText(main, IDC_TIME_TEXT);
            return time.size() == 8 && time >= "00:15:00";
        }, 5000)) << time;
        EXPECT_TRUE(WaitFor([&] { return ReadBar(bar).position > b.position; }, 5000));
    });
}

TEST_F(ShellTest, WithoutTheBarClassTheProgramEndsAtOnce)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Bar2WndClass";
    ASSERT_TRUE(RegisterClassA(&wc));
    EXPECT_EQ(0, RunPlayer(GetModuleHandleA(nullptr)));
    EXPECT_TRUE(FindTopWindows("#32770", nullptr).empty());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(IniPath().c_str())) << "nothing is saved";
    UnregisterClassA("Bar2WndClass", GetModuleHandleA(nullptr));
}

}  // namespace
