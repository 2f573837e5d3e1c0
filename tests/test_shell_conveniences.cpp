// Tests of the main window's conveniences through the real player (RunPlayer on the test thread,
// a driver thread acting as the user): the marker nudge keys typed as real key chords and heard in
// the captured audio, files dropped as a real HDROP, fixed texts measured with their controls' own
// fonts, and the remembered ranges read back from the bar and from velmora_ranges.ini.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "harness_util.h"
#include "playback.h"
#include "player_driver.h"
#include "player_texts.h"
#include "position_bar.h"
#include "resource.h"
#include "shell.h"

namespace {

using namespace playerdrive;

std::string Beside(const char* name)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\') + 1) + name;
}

// Frame f of the files holds the 16-bit samples f and ~f: every frame below 65536 is unique.
std::string Frames(DWORD from, DWORD to)
{
    std::string data;
    for (DWORD f = from; f < to; ++f) {
        short s[2] = {static_cast<short>(f), static_cast<short>(~f)};
        data.append(reinterpret_cast<const char*>(s), 4);
    }
    return data;
}

std::string MakeWave(const std::string& name, DWORD frames)
{
    auto u32 = [](DWORD v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](WORD v) { return std::string(reinterpret_cast<const char*>(&v), 2); };
    std::string data = Frames(0, frames);
    std::string path = testutil::TempPath(name);
    EXPECT_TRUE(testutil::WriteWholeFile(path, "RIFF" + u32(36 + static_cast<DWORD>(data.size())) + "WAVEfmt " +
        u32(16) + u16(1) + u16(2) + u32(44100) + u32(44100 * 4) + u16(4) + u16(16) + "data" +
        u32(static_cast<DWORD>(data.size())) + data));
    return path;
}

// Drops the files on the window as the shell does (a DROPFILES block in movable global memory)
// and waits until the window has handled the drop; returns the text of the message box it showed
// meanwhile (OK pressed), or "none".
std::string Drop(HWND main, const std::vector<std::string>& files)
{
    std::string names;
    for (const std::string& f : files)
        names += f + '\0';
    names += '\0';
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt.x = 20;
    drop->pt.y = 20;
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(block);
    std::atomic<bool> handled(false);
    std::thread sender([&] {
        SendMessageA(main, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
        handled = true;
    });
    std::string text = "none";
    WaitFor([&] {
        for (HWND w : FindTopWindows("#32770", nullptr))
            if (GetWindow(w, GW_OWNER) == main) {
                text = Text(GetDlgItem(w, 0xFFFF));
                Click(w, IDOK);
                WaitForWindowGone(w);
            }
        return handled.load();
    }, 15000);
    sender.join();
    return text;
}

void Sync(HWND main)
{
    DWORD_PTR r = 0;
    SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r);
}

// Types the key with Ctrl (and Shift) held as real input; returns once the window's thread has
// taken the last release (its handling is done by then) and finished that round of its loop.
HANDLE g_taken = nullptr;
LRESULT CALLBACK WatchRelease(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_KEYUP && msg->wParam == VK_CONTROL)
        SetEvent(g_taken);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
bool Chord(HWND main, WORD vk, bool shift)
{
    SetForegroundWindow(main);
    std::vector<WORD> down = {VK_CONTROL};
    if (shift)
        down.push_back(VK_SHIFT);
    down.push_back(vk);
    std::vector<INPUT> in;
    for (size_t i = 0; i < 2 * down.size(); ++i) {
        INPUT k = {};
        k.type = INPUT_KEYBOARD;
        k.ki.wVk = i < down.size() ? down[i] : down[2 * down.size() - 1 - i];
        k.ki.wScan = static_cast<WORD>(MapVirtualKeyA(k.ki.wVk, MAPVK_VK_TO_VSC));
        k.ki.dwFlags = (i < down.size() ? 0 : KEYEVENTF_KEYUP) | (vk == k.ki.wVk ? KEYEVENTF_EXTENDEDKEY : 0);
        in.push_back(k);
    }
    if (!g_taken)
        g_taken = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ResetEvent(g_taken);
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, WatchRelease, nullptr, GetWindowThreadProcessId(main, nullptr));
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    bool taken = WaitForSingleObject(g_taken, 10000) == WAIT_OBJECT_0;
    UnhookWindowsHookEx(hook);
    Sync(main);
    return taken;
}

class ShellConveniences : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileA(Beside("velmora.ini").c_str());
        DeleteFileA(Beside("velmora_ranges.ini").c_str());
    }

    // Runs the player on this thread while drive(main window) runs on a helper thread; whatever
    // is still open afterwards is closed, so a failing step cannot hang the test.
    void RunDriven(const std::function<void(HWND)>& drive)
    {
        std::atomic<bool> done(false);
        std::thread driver([&] {
            HWND main = WaitForWindow("#32770", playertext::kDisplayName, nullptr, 20000);
            EXPECT_NE(main, nullptr) << "the main window did not appear";
            if (main)
                drive(main);
            WaitFor([&] {
                for (HWND w : FindTopWindows("#32770", nullptr))
                    PostMessageA(w, WM_CLOSE, 0, 0);
                return done.load() || (Sleep(50), false);
            }, 20000);
        });
        RunPlayer(GetModuleHandleA(nullptr));
        done = true;
        driver.join();
        UnregisterClassA(BAR2_CLASS_NAME, GetModuleHandleA(nullptr));
    }
};

std::string Markers(HWND main)
{
    BarState b = ReadBar(GetDlgItem(main, IDC_POSITION_BAR));
    return std::to_string(b.start) + "-" + std::to_string(b.end) + " engine " + std::to_string(markerStart.load()) +
           "-" + std::to_string(markerEnd.load());
}

// ---- tests ----

TEST_F(ShellConveniences, NudgeKeysMoveTheMarkersByTenMillisecondsAndTheLoopFollows)
{
    const DWORD frames = 22050;
    std::string path = MakeWave("nudge.wav", frames);
    RunDriven([&](HWND main) {
        ASSERT_EQ("none", Drop(main, {path}));
        struct Step { WORD vk; bool shift; const char* markers; } steps[] = {
            {VK_LEFT, false, "0-22050 engine 0-22050"},          // at the range's ends nothing moves
            {VK_RIGHT, true, "0-22050 engine 0-22050"},
            {VK_RIGHT, false, "441-22050 engine 441-22050"},     // 10 ms of 44100 Hz
            {VK_RIGHT, false, "882-22050 engine 882-22050"},
            {VK_RIGHT, false, "1323-22050 engine 1323-22050"},
            {VK_LEFT, false, "882-22050 engine 882-22050"},
            {VK_LEFT, true, "882-21609 engine 882-21609"},
            {VK_LEFT, true, "882-21168 engine 882-21168"},
        };
        for (const Step& s : steps) {
            EXPECT_TRUE(Chord(main, s.vk, s.shift)) << "key " << s.vk << " not taken";
            EXPECT_EQ(s.markers, Markers(main)) << "after key " << s.vk << (s.shift ? " with Shift" : "");
        }
        // Markers 50 frames apart: neither passes the other.
        SendMessageA(GetDlgItem(main, IDC_POSITION_BAR), BM2_SETMARKER, 0, 932);
        Chord(main, VK_RIGHT, false);
        EXPECT_EQ("932-932 engine 932-932", Markers(main));
        SendMessageA(GetDlgItem(main, IDC_POSITION_BAR), BM2_SETMARKER, 1, 882);
        Chord(main, VK_LEFT, true);
        EXPECT_EQ("882-882 engine 882-882", Markers(main));
        SendMessageA(GetDlgItem(main, IDC_POSITION_BAR), BM2_SETMARKER, 0, 21168);
        EXPECT_TRUE(WaitFor([] { return markerEnd.load() == 21168u; }, 3000)) << "the timer carries it";

        // Repeat, from the start marker: the captured loop runs from the nudged frames.
        SendMessageA(main, WM_COMMAND, IDM_REPEAT, 0);
        SendMessageA(main, WM_COMMAND, IDM_GOTO_START, 0);
        SendMessageA(main, WM_COMMAND, IDM_PLAY_PAUSE, 0);
        std::string captured, pass = Frames(882, 21168) + Frames(882, 1000);
        EXPECT_TRUE(WaitFor([&] {
            return testutil::ReadWholeFile(testutil::CapturePath(), captured) && captured.find(pass) != std::string::npos;
        }, 15000)) << "no pass 882 to 21168 followed by 882 in " << captured.size() << " captured bytes";

        // Paused, a nudge leaves the state and the play position; playing on, the next pass ends
        // at the new end without a restart.
        SendMessageA(main, WM_COMMAND, IDM_PLAY_PAUSE, 0);
        Sleep(100);  // a refill under way when the pause came has finished
        UINT before = playPosition.load();
        Chord(main, VK_LEFT, true);
        EXPECT_EQ(PLAY_PAUSED, PlayState.load());
        EXPECT_EQ(before, playPosition.load());
        SendMessageA(main, WM_COMMAND, IDM_PLAY_PAUSE, 0);
        pass = Frames(20727 - 2000, 20727) + Frames(882, 2000);
        EXPECT_TRUE(WaitFor([&] {
            return testutil::ReadWholeFile(testutil::CapturePath(), captured) && captured.find(pass) != std::string::npos;
        }, 15000)) << "no loop from 20727 back to 882";
        EXPECT_EQ(PLAY_PLAYING, PlayState.load());
    });
}

TEST_F(ShellConveniences, DroppedFilesOpenAsFromTheOpenDialog)
{
    std::string good = MakeWave("good.wav", 3000), other = MakeWave("other.wav", 4000);
    std::string bad = testutil::TempPath("bad.wav");
    testutil::WriteWholeFile(bad, "RIFF....WAVEnope");
    std::string folder = testutil::TempPath("a folder");
    CreateDirectoryA(folder.c_str(), nullptr);
    RunDriven([&](HWND main) {
        EXPECT_TRUE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
        struct Case { std::vector<std::string> files; std::string box; std::string path; UINT frames; } cases[] = {
            {{good}, "none", good, 3000},
            {{bad}, playertext::kNotWave, bad, 0},
            {{other, good}, "none", other, 4000},
            {{folder}, playertext::kOpenFailed, folder, 0},
            {{good, bad, folder}, "none", good, 3000},
        };
        for (const Case& c : cases) {
            std::string box = Drop(main, c.files);
            std::string seen = box + " | " + static_cast<char*>(wavePath) + " | " +
                               std::to_string(ReadBar(GetDlgItem(main, IDC_POSITION_BAR)).maximum);
            EXPECT_EQ(c.box + " | " + c.path + " | " + std::to_string(c.frames), seen) << "dropping " << c.files[0];
            EXPECT_EQ(c.frames ? PLAY_STOPPED : PLAY_NONE, PlayState.load()) << c.files[0];
        }
    });
    char option[8] = "";
    EXPECT_EQ(0u, GetPrivateProfileStringA("Settings", "RememberRanges", "", option, sizeof option,
                                           Beside("velmora.ini").c_str())) << "not written while off";
}

// Returns "" when every text fits its control's client area with the control's own font, else
// what did not fit.
std::string Cut(HWND control, const std::string& what)
{
    std::string text = Text(control);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE s = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &s);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    SIZE room = ClientSize(control);
    if (s.cx <= room.cx && s.cy <= room.cy)
        return "";
    return what + " \"" + text + "\" " + std::to_string(s.cx) + "x" + std::to_string(s.cy) + " in " +
           std::to_string(room.cx) + "x" + std::to_string(room.cy) + "\n";
}

std::string CutInDialog(HWND dialog, const char* name)
{
    std::string cut;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (ClassName(c) == "Static" && !Text(c).empty() && (GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) <= SS_RIGHT)
            cut += Cut(c, name);
    return cut;
}

TEST_F(ShellConveniences, FixedTextsFitTheirControls)
{
    std::string path = MakeWave("texts.wav", 44100);
    RunDriven([&](HWND main) {
        std::string cut;
        HWND volume = GetDlgItem(main, IDC_VOLUME_TEXT);
        for (int step = 0; step <= 40; ++step) {
            cut += Cut(volume, "volume");
            SendMessageA(main, WM_COMMAND, IDM_VOLUME_UP, 0);
        }
        EXPECT_EQ("VOL: +4.0x", Text(volume));
        RECT r = {};
        GetWindowRect(volume, &r);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(ClientSize(main).cx - 10, r.right) << "the volume display stays right-anchored";
        EXPECT_EQ(70, r.top);
        for (int i = 0; i < 36; ++i) {  // keys -1 to -12, then -11 to +12
            SendMessageA(main, WM_COMMAND, i < 12 ? IDM_KEY_DOWN : IDM_KEY_UP, 0);
            cut += Cut(GetDlgItem(main, IDC_KEY_TEXT), "key");
        }
        EXPECT_EQ("none", Drop(main, {path}));
        SendMessageA(main, WM_COMMAND, IDM_PLAY_PAUSE, 0);
        WaitFor([&] { return !Text(GetDlgItem(main, IDC_TIME_TEXT)).empty(); });
        cut += Cut(GetDlgItem(main, IDC_TIME_TEXT), "time");
        SendMessageA(main, WM_COMMAND, IDM_CLOSE, 0);
        const struct { UINT command; const char* title; } dialogs[] = {
            {IDM_BAR_COLORS, playertext::kColorsTitle}, {IDM_ABOUT, playertext::kAboutTitle}};
        for (const auto& d : dialogs) {
            PostMessageA(main, WM_COMMAND, d.command, 0);
            HWND dialog = WaitForWindow("#32770", d.title, main);
            ASSERT_NE(dialog, nullptr) << d.title;
            cut += CutInDialog(dialog, d.title);
            Click(dialog, IDCANCEL);
            WaitForWindowGone(dialog);
        }
        EXPECT_EQ("", cut);
    });
}

TEST_F(ShellConveniences, RangesAreRememberedPerFileWhenAskedTo)
{
    std::string a = MakeWave("a.wav", 30000), b = MakeWave("b.wav", 30000);
    // A cp932 name whose second byte is 0x5C, and a hostile store: out-of-range markers, numbers
    // past 32 bits, an overlong path, entries without numbers, and a good entry for another file.
    std::string kanji = MakeWave("\x95\x5C.wav", 30000), c = MakeWave("c.wav", 30000);
    std::string d = MakeWave("d.wav", 30000);
    ASSERT_TRUE(testutil::WriteWholeFile(Beside("velmora_ranges.ini"),
        "[Ranges]\r\n1=30000,100,30001," + c + "\r\n2=4294967296,1,2," + d + "\r\n3=30000,5,9," + std::string(300, 'x') +
        "\r\n4=30000,-1,9," + d + "\r\n5=,,," + d + "\r\n6=30000,7,8,\r\n7=30000,500,600," + kanji + "\r\n"));
    RunDriven([&](HWND main) {
        HWND bar = GetDlgItem(main, IDC_POSITION_BAR);
        auto open = [&](const std::string& file) {
            EXPECT_EQ("none", Drop(main, {file})) << file;
            return std::to_string(ReadBar(bar).start) + "-" + std::to_string(ReadBar(bar).end);
        };
        auto mark = [&](UINT start, UINT end) {
            SendMessageA(bar, BM2_SETMARKER, 1, start);
            SendMessageA(bar, BM2_SETMARKER, 0, end);
        };
        // Off (the default): nothing is restored or kept.
        EXPECT_EQ("0-30000", open(kanji));
        mark(10, 20);
        EXPECT_EQ("0-30000", open(a));
        SendMessageA(main, WM_COMMAND, IDM_REMEMBER_RANGES, 0);
        EXPECT_EQ("500-600", open(kanji)) << "the stored cp932 path";
        for (const std::string& hostile : {c, d})
            EXPECT_EQ("0-30000", open(hostile)) << hostile;
        mark(1234, 5678);
        EXPECT_EQ("0-30000", open(b));
        mark(111, 222);
        EXPECT_EQ("1234-5678", open(d));
        EXPECT_EQ("111-222", open(b));
        SendMessageA(main, WM_COMMAND, IDM_RELOAD, 0);
        EXPECT_EQ("0-30000", std::to_string(ReadBar(bar).start) + "-" + std::to_string(ReadBar(bar).end));
        // Another frame count: another file under the same name.
        MakeWave("d.wav", 20000);
        EXPECT_EQ("0-20000", open(d));
        PostMessageA(main, WM_CLOSE, 0, 0);
        WaitForWindowGone(main);
    });
    EXPECT_EQ(1, GetPrivateProfileIntA("Settings", "RememberRanges", 0, Beside("velmora.ini").c_str()));
    char first[512] = "";
    GetPrivateProfileStringA("Ranges", "1", "", first, sizeof first, Beside("velmora_ranges.ini").c_str());
    EXPECT_EQ("20000,0,20000," + d, first);
    char none[8] = "";
    EXPECT_EQ(0u, GetPrivateProfileStringA("Ranges", "6", "", none, sizeof none, Beside("velmora_ranges.ini").c_str()))
        << "the hostile entries were dropped";
}

TEST_F(ShellConveniences, StoreKeepsTheLatestHundredFiles)
{
    std::string store = "[Ranges]\r\n";
    for (int i = 1; i <= 150; ++i)
        store += std::to_string(i) + "=30000,1,2," + testutil::TempPath("old" + std::to_string(i) + ".wav") + "\r\n";
    ASSERT_TRUE(testutil::WriteWholeFile(Beside("velmora_ranges.ini"), store));
    ASSERT_TRUE(testutil::WriteWholeFile(Beside("velmora.ini"), "[Settings]\r\nRememberRanges=1\r\n"));
    std::string e = MakeWave("e.wav", 30000);
    RunDriven([&](HWND main) {
        EXPECT_EQ("none", Drop(main, {e}));
    });
    const std::string ini = Beside("velmora_ranges.ini");
    char text[512] = "";
    GetPrivateProfileStringA("Ranges", "1", "", text, sizeof text, ini.c_str());
    EXPECT_EQ("30000,0,30000," + e, text);
    GetPrivateProfileStringA("Ranges", "100", "", text, sizeof text, ini.c_str());
    EXPECT_EQ("30000,1,2," + testutil::TempPath("old99.wav"), text);
    EXPECT_EQ(0u, GetPrivateProfileStringA("Ranges", "101", "", text, sizeof text, ini.c_str()));
}

}  // namespace
