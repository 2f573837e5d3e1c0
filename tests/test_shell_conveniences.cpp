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
#include "native/wave_corpus.h"
#include "playback.h"
#include "player_driver.h"
#include "player_texts.h"
#include "position_bar.h"
#include "range_memory.h"
#include "resource.h"
#include "settings.h"
#include "shell.h"

namespace {

using namespace playerdrive;

// The settings file and the ranges store, beside this program.
std::string Beside(void (*where)(char*))
{
    char path[MAX_PATH] = "";
    where(path);
    return path;
}
const std::string kIni = Beside(GetSettingsPath), kStore = Beside(GetRangesPath);

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
    std::string path = testutil::TempPath(name);
    EXPECT_TRUE(testutil::WriteWholeFile(path, SimpleWave(2, 44100, 16, Frames(0, frames))));
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
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() + 1);
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    memcpy(drop + 1, names.data(), names.size());
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
                text = WindowText(GetDlgItem(w, 0xFFFF));
                Click(w, IDOK);
                WaitForWindowGone(w);
            }
        return handled.load();
    }, 15000);
    sender.join();
    return text;
}

// Types Ctrl (+ Shift) + the key as real input; returns once the main window has handled it.
bool Chord(HWND main, WORD vk, bool shift)
{
    bool taken = TypeKey(main, vk, true, 10000, shift);
    DWORD_PTR r = 0;
    SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r);
    return taken;
}

std::string Markers(HWND main)
{
    BarState b = ReadBar(GetDlgItem(main, IDC_POSITION_BAR));
    return std::to_string(b.start) + "-" + std::to_string(b.end) + " engine " + std::to_string(markerStart.load()) +
           "-" + std::to_string(markerEnd.load());
}

class ShellConveniences : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileA(kIni.c_str());
        DeleteFileA(kStore.c_str());
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

bool Captured(const std::string& wanted)
{
    std::string captured;
    return WaitFor([&] {
        return testutil::ReadWholeFile(testutil::CapturePath(), captured) && captured.find(wanted) != std::string::npos;
    }, 15000);
}

TEST_F(ShellConveniences, NudgeKeysMoveTheMarkersByTenMillisecondsAndTheLoopFollows)
{
    std::string path = MakeWave("nudge.wav", 22050);
    RunDriven([&](HWND main) {
        ASSERT_EQ("none", Drop(main, {path}));
        HWND bar = GetDlgItem(main, IDC_POSITION_BAR);
        // Steps of 441 frames (10 ms of 44100 Hz), stopped by the range's ends and the other marker.
        struct Step { WORD vk; bool shift; UINT setEnd; const char* markers; } steps[] = {
            {VK_LEFT, false, 0, "0-22050 engine 0-22050"},        {VK_RIGHT, true, 0, "0-22050 engine 0-22050"},
            {VK_RIGHT, false, 0, "441-22050 engine 441-22050"},   {VK_RIGHT, false, 0, "882-22050 engine 882-22050"},
            {VK_RIGHT, false, 0, "1323-22050 engine 1323-22050"}, {VK_LEFT, false, 0, "882-22050 engine 882-22050"},
            {VK_LEFT, true, 0, "882-21609 engine 882-21609"},     {VK_LEFT, true, 0, "882-21168 engine 882-21168"},
            {VK_LEFT, true, 932, "882-882 engine 882-882"},       {VK_RIGHT, false, 1000, "1000-1000 engine 1000-1000"},
        };
        for (const Step& s : steps) {
            if (s.setEnd)
                SendMessageA(bar, BM2_SETMARKER, 0, s.setEnd);
            EXPECT_TRUE(Chord(main, s.vk, s.shift)) << "key " << s.vk << " not taken";
            EXPECT_EQ(s.markers, Markers(main)) << "after key " << s.vk << (s.shift ? " with Shift" : "");
        }
        SendMessageA(bar, BM2_SETMARKER, 1, 882);
        SendMessageA(bar, BM2_SETMARKER, 0, 21168);
        EXPECT_TRUE(WaitFor([] { return markerEnd.load() == 21168u; }, 3000)) << "the timer carries it";

        // Repeat from the start marker: the captured loop runs between the nudged frames.
        for (UINT command : {IDM_REPEAT, IDM_GOTO_START, IDM_PLAY_PAUSE})
            SendMessageA(main, WM_COMMAND, command, 0);
        EXPECT_TRUE(Captured(Frames(882, 21168) + Frames(882, 1000))) << "no pass 882 to 21168, then 882";

        // Paused, a nudge leaves the state and the play position; playing on, the loop turns at
        // the new end without a restart.
        SendMessageA(main, WM_COMMAND, IDM_PLAY_PAUSE, 0);
        Sleep(100);  // a refill under way when the pause came has finished
        UINT before = playPosition.load();
        Chord(main, VK_LEFT, true);
        EXPECT_EQ(PLAY_PAUSED, PlayState.load());
        EXPECT_EQ(before, playPosition.load());
        SendMessageA(main, WM_COMMAND, IDM_PLAY_PAUSE, 0);
        EXPECT_TRUE(Captured(Frames(18727, 20727) + Frames(882, 2000))) << "no turn from 20727 to 882";
        EXPECT_EQ(PLAY_PLAYING, PlayState.load());
    });
}

TEST_F(ShellConveniences, DroppedFilesOpenAsFromTheOpenDialog)
{
    std::string good = MakeWave("good.wav", 3000), other = MakeWave("other.wav", 4000);
    std::string bad = testutil::TempPath("bad.wav"), folder = testutil::TempPath("a folder");
    testutil::WriteWholeFile(bad, "RIFF....WAVEnope");
    CreateDirectoryA(folder.c_str(), nullptr);
    RunDriven([&](HWND main) {
        EXPECT_TRUE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
        struct Case { std::vector<std::string> files; std::string box, path; UINT frames; } cases[] = {
            {{good}, "none", good, 3000},           {{bad}, playertext::kNotWave, bad, 0},
            {{other, good}, "none", other, 4000},   {{folder}, playertext::kOpenFailed, folder, 0},
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
                                           kIni.c_str())) << "not written while off";
}

// Returns "" when the control's text fits its client area with the control's own font, else the
// text and the sizes.
std::string Cut(HWND control, const std::string& what)
{
    std::string text = WindowText(control);
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
        EXPECT_EQ("VOL: +4.0x", WindowText(volume));
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
        WaitFor([&] { return !WindowText(GetDlgItem(main, IDC_TIME_TEXT)).empty(); });
        cut += Cut(GetDlgItem(main, IDC_TIME_TEXT), "time");
        SendMessageA(main, WM_COMMAND, IDM_CLOSE, 0);
        const struct { UINT command; const char* title; } dialogs[] = {
            {IDM_BAR_COLORS, playertext::kColorsTitle}, {IDM_ABOUT, playertext::kAboutTitle}};
        for (const auto& d : dialogs) {
            PostMessageA(main, WM_COMMAND, d.command, 0);
            HWND dialog = WaitForWindow("#32770", d.title, main);
            ASSERT_NE(dialog, nullptr) << d.title;
            for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                if (WindowClass(c) == "Static" && !WindowText(c).empty() && (GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) <= SS_RIGHT)
                    cut += Cut(c, d.title);
            Click(dialog, IDCANCEL);
            WaitForWindowGone(dialog);
        }
        EXPECT_EQ("", cut);
    });
}

TEST_F(ShellConveniences, RangesAreRememberedPerFileWhenAskedTo)
{
    std::string a = MakeWave("a.wav", 30000), b = MakeWave("b.wav", 30000), c = MakeWave("c.wav", 30000);
    std::string d = MakeWave("d.wav", 30000), kanji = MakeWave("\x95\x5C.wav", 30000);  // trail byte 0x5C
    // A hostile store: markers past the frames, numbers past 32 bits or negative, an overlong
    // path, no numbers, no path; then a good cp932 entry and 150 entries for other files.
    std::string store = "[Ranges]\r\n1=30000,100,30001," + c + "\r\n2=4294967296,1,2," + kanji + "\r\n3=30000,5,9," +
                        std::string(300, 'x') + "\r\n4=30000,-1,9," + kanji + "\r\n5=,,," + kanji + "\r\n6=30000,7,8,\r\n" +
                        "7=30000,500,600," + kanji + "\r\n";
    for (int i = 1; i <= 150; ++i)
        store += std::to_string(i + 7) + "=30000,1,2," + testutil::TempPath("old" + std::to_string(i) + ".wav") + "\r\n";
    ASSERT_TRUE(testutil::WriteWholeFile(kStore, store));
    ASSERT_TRUE(testutil::WriteWholeFile(kIni, "[Settings]\r\nRememberRanges=1\r\n"));
    RunDriven([&](HWND main) {
        HWND bar = GetDlgItem(main, IDC_POSITION_BAR);
        auto markers = [&] { return std::to_string(ReadBar(bar).start) + "-" + std::to_string(ReadBar(bar).end); };
        auto open = [&](const std::string& file) {
            EXPECT_EQ("none", Drop(main, {file})) << file;
            return markers();
        };
        auto mark = [&](UINT start, UINT end) {
            SendMessageA(bar, BM2_SETMARKER, 1, start);
            SendMessageA(bar, BM2_SETMARKER, 0, end);
        };
        EXPECT_EQ("0-30000", open(c)) << "end past the frames";
        EXPECT_EQ("500-600", open(kanji)) << "the cp932 path, after its broken entries";
        SendMessageA(main, WM_COMMAND, IDM_REMEMBER_RANGES, 0);
        EXPECT_EQ("0-30000", open(kanji)) << "nothing restored while the option is off";
        SendMessageA(main, WM_COMMAND, IDM_REMEMBER_RANGES, 0);
        EXPECT_EQ("0-30000", open(b));
        mark(111, 222);
        EXPECT_EQ("0-30000", open(d));
        mark(1234, 5678);
        EXPECT_EQ("111-222", open(b));
        EXPECT_EQ("1234-5678", open(d));
        EXPECT_EQ("111-222", open(b));
        SendMessageA(main, WM_COMMAND, IDM_RELOAD, 0);
        EXPECT_EQ("0-30000", markers()) << "Reload puts the markers at the ends";
        MakeWave("d.wav", 20000);
        EXPECT_EQ("0-20000", open(d)) << "another frame count: another file under the same name";
        EXPECT_EQ("0-30000", open(a));
    });
    EXPECT_EQ(1u, GetPrivateProfileIntA("Settings", "RememberRanges", 0, kIni.c_str()));
    // Most recent first, the damaged entries gone, 100 at most.
    const std::string expected[][2] = {{"1", "30000,0,30000," + a}, {"2", "20000,0,20000," + d},
                                       {"3", "30000,0,30000," + b}, {"4", "30000,0,30000," + kanji},
                                       {"5", "30000,0,30000," + c}, {"6", "30000,1,2," + testutil::TempPath("old1.wav")},
                                       {"100", "30000,1,2," + testutil::TempPath("old95.wav")}, {"101", ""}};
    for (const auto& e : expected) {
        char text[512] = "";
        GetPrivateProfileStringA("Ranges", e[0].c_str(), "", text, sizeof text, kStore.c_str());
        EXPECT_EQ(e[1], text) << "entry " << e[0];
    }
}

}  // namespace
