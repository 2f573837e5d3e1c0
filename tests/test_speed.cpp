// The playback speed as the user hears and drives it. The engine plays through the real waveform
// device, whose output the harness captures: a sine keeps its pitch at every speed while the pass
// lasts the range's length over the speed; 100 % is the file itself; the loop seam is heard as the
// source is; a speed change and a seek take effect while playing. Then the real player: the menu,
// the accelerator keys, the display beside the volume display and the settings file.
#include <gtest/gtest.h>

#include <windows.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "engine_rig.h"
#include "harness_util.h"
#include "native/wave_corpus.h"
#include "player_driver.h"
#include "playback.h"
#include "resource.h"
#include "settings.h"
#include "shell.h"
#include "wave_loader.h"

using enginerig::Captured;
using enginerig::MainWindowRig;

namespace {

// 16-bit stereo at 44100 Hz: a sine of the frequency on both channels, with a little noise on the
// right one so that every stretch of frames is unique.
std::string Sine(uint32_t frames, double hz, double amplitude = 10000)
{
    std::string s(static_cast<size_t>(frames) * 4, '\0');
    uint32_t noise = 7;
    for (uint32_t f = 0; f < frames; ++f) {
        noise = noise * 1103515245u + 12345u;
        int16_t v = static_cast<int16_t>(lrint(amplitude * sin(2 * 3.14159265358979 * hz * f / 44100)));
        int16_t r = static_cast<int16_t>(v + static_cast<int>((noise >> 16) % 9) - 4);
        memcpy(&s[4 * f], &v, 2);
        memcpy(&s[4 * f + 2], &r, 2);
    }
    return s;
}

int16_t Left(const std::string& data, size_t frame)
{
    int16_t v;
    memcpy(&v, data.data() + 4 * frame, 2);
    return v;
}

// A loaded machine can starve the device: it then plays silence and goes on with the data where
// it stopped. The sounds here never hold two silent frames in a row (the right channel has noise),
// so runs of silence inside them are the device's: they are taken out, and counted. What the tests
// below look at is what the engine handed to the device.
std::string WithoutStalls(const std::string& data)
{
    std::string out;
    const size_t frames = data.size() / 4;
    int stalls = 0;
    size_t f = 0;
    bool sound = false;
    while (f < frames) {
        size_t run = 0;
        while (f + run < frames && memcmp(data.data() + 4 * (f + run), "\0\0\0\0", 4) == 0)
            ++run;
        if (sound && f + run < frames && run >= 16) {
            ++stalls;  // inside the sound: the device's
        } else {
            out.append(data, 4 * f, 4 * run);
        }
        f += run;
        if (f < frames) {
            out.append(data, 4 * f, 4);
            ++f;
            sound = true;
        }
    }
    if (stalls)
        printf("note: %d stalls of the device taken out of the capture\n", stalls);
    return out;
}

// The frames of the capture between its first and last sound on the left channel.
struct Sound {
    size_t first = 0, last = 0;  // frames
    size_t Frames() const { return last > first ? last - first + 1 : 0; }
};
Sound FindSound(const std::string& data)
{
    Sound s;
    size_t frames = data.size() / 4;
    bool any = false;
    for (size_t f = 0; f < frames; ++f) {
        if (Left(data, f) != 0) {
            if (!any)
                s.first = f;
            any = true;
            s.last = f;
        }
    }
    return s;
}

// The left channel's frequency in cycles per frame, from its rising zero crossings.
double CyclesPerFrame(const std::string& data, const Sound& s)
{
    int crossings = 0;
    size_t first = 0, last = 0;
    for (size_t f = s.first + 1; f <= s.last; ++f) {
        if (Left(data, f - 1) < 0 && Left(data, f) >= 0) {
            if (crossings++ == 0)
                first = f;
            last = f;
        }
    }
    return crossings > 1 ? (crossings - 1) / static_cast<double>(last - first) : 0;
}

class Speed : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(testutil::CapturePath().empty()) << "VELMORA_CAPTURE not set";
        key = 0;
        volume = 0;
        repeatOn = 0;
        speedPercent = 100;
        keepTempo = 0;
        rig = new MainWindowRig;
    }
    void TearDown() override
    {
        CloseWave();
        delete rig;
        key = 0;
        repeatOn = 0;
        speedPercent = 100;
        keepTempo = 0;
    }
    void LoadFile(const std::string& samples)
    {
        std::string p = enginerig::WriteTempFile("speed.wav", SimpleWave(2, 44100, 16, samples));
        wavePath = p.c_str();
        ASSERT_EQ(1, LoadWave(p.c_str()));
    }
    bool PlayedOut(DWORD timeoutMs = 30000)
    {
        return testutil::PumpUntil([] { return PlayState.load() == PLAY_STOPPED && BlocksHeld() == 0; }, timeoutMs);
    }
    bool Refills(unsigned long more)
    {
        unsigned long from = RefillCount();
        return testutil::PumpUntil([&] { return RefillCount() >= from + more; }, 30000);
    }
    Captured Capture()
    {
        CloseWave();
        Captured c;
        testutil::PumpUntil([&] {
            c = enginerig::ReadCapture(testutil::CapturePath());
            return c.ok;
        }, 5000);
        c.data = WithoutStalls(c.data);
        return c;
    }
    MainWindowRig* rig = nullptr;
};

}  // namespace

TEST_F(Speed, PitchStaysAndOnePassLastsTheRangeOverTheSpeed)
{
    const uint32_t frames = 44100;
    const uint32_t block = 5000;  // frames of one 16-bit stereo block, at the device's rate
    struct Case {
        int speed, key, keepTempo;
        double hz;          // heard, at the device's rate
        double seconds;     // how long one pass is heard
    } cases[] = {
        {50, 0, 0, 441, 2.0},
        {150, 0, 0, 441, 1 / 1.5},
        {100, 12, 1, 882, 1.0},   // the key's pitch at the file's tempo
        {75, -12, 1, 220.5, 1 / 0.75},
    };
    std::string samples = Sine(frames, 441);
    for (const Case& c : cases) {
        key = c.key;
        keepTempo = c.keepTempo;
        speedPercent = c.speed;
        LoadFile(samples);
        ASSERT_EQ(1, PlayPause());
        ASSERT_TRUE(PlayedOut()) << "speed " << c.speed;
        EXPECT_EQ(0u, playPosition.load()) << "back at the start marker";
        Captured cap = Capture();
        ASSERT_TRUE(cap.ok);
        Sound s = FindSound(cap.data);
        const double rate = cap.rate;
        EXPECT_NEAR(c.hz, CyclesPerFrame(cap.data, s) * rate, c.hz * 0.005) << "speed " << c.speed << ", key " << c.key;
        EXPECT_NEAR(c.seconds * rate, static_cast<double>(s.Frames()), block)
            << "speed " << c.speed << ", key " << c.key;
    }
    // At 100 % the capture is the file's frames, exactly.
    key = 0;
    keepTempo = 1;
    speedPercent = 100;
    LoadFile(samples);
    PlayPause();
    ASSERT_TRUE(PlayedOut());
    Captured cap = Capture();
    Sound s = FindSound(cap.data);
    ASSERT_EQ(frames - 1, s.Frames()) << "the sine's first sample is 0";
    EXPECT_TRUE(cap.data.compare(s.first * 4 - 4, samples.size(), samples) == 0) << "100 %: the file itself";
}

TEST_F(Speed, TheLoopSeamAt75PercentIsHeardAsTheSourceIs)
{
    // 441 Hz at 44100 Hz: 100 frames a period, and the marked range whole periods, so that the
    // source runs on across the seam without a step.
    const uint32_t frames = 60000, S = 10000, E = 23000;
    std::string samples = Sine(frames, 441);
    LoadFile(samples);
    markerStart = S;
    markerEnd = E;
    SeekTo(S, 0);
    repeatOn = 1;
    speedPercent = 75;
    int largest = 0;
    for (uint32_t f = S + 1; f < E; ++f)
        largest = std::max(largest, abs(Left(samples, f) - Left(samples, f - 1)));
    PlayPause();
    ASSERT_TRUE(Refills(18)) << "blocks do not circulate";  // over four passes
    repeatOn = 0;
    ASSERT_TRUE(PlayedOut());
    Captured cap = Capture();
    ASSERT_TRUE(cap.ok);
    Sound s = FindSound(cap.data);
    ASSERT_GT(s.Frames(), 4 * (E - S) / 0.75) << "four passes";
    int step = 0;
    size_t at = 0;
    for (size_t f = s.first + 1; f <= s.last; ++f) {
        int d = abs(Left(cap.data, f) - Left(cap.data, f - 1));
        if (d > step) {
            step = d;
            at = f;
        }
    }
    EXPECT_LE(step, largest + 2) << "a click at frame " << at - s.first;
    // No silence and no dip: every period but the fading last one reaches most of the amplitude.
    for (size_t f = s.first; f + 100 <= s.last - 2000; f += 100) {
        int peak = 0;
        for (size_t k = f; k < f + 100; ++k)
            peak = std::max(peak, abs(static_cast<int>(Left(cap.data, k))));
        ASSERT_GT(peak, 8000) << "a gap or a dip at frame " << f - s.first;
    }
}

TEST_F(Speed, ASpeedChangeIsHeardWhilePlayingAndASeekStartsCleanly)
{
    const uint32_t frames = 88200;
    std::string samples = Sine(frames, 441);
    LoadFile(samples);
    PlayPause();
    ASSERT_TRUE(Refills(3));
    speedPercent = 50;  // no reload, no restart
    UINT changedAt = playPosition.load();
    ASSERT_TRUE(PlayedOut());
    Captured cap = Capture();
    Sound s = FindSound(cap.data);
    // Up to the change the file itself, then the rest at half speed, without a gap.
    EXPECT_TRUE(cap.data.compare(s.first * 4 - 4, 4 * 15000, samples, 0, 4 * 15000) == 0) << "the first three blocks";
    EXPECT_NEAR(changedAt + 2.0 * (frames - changedAt), static_cast<double>(s.Frames()), 5000 * 1.5)
        << "changed at " << changedAt;
    for (size_t f = s.first; f + 100 <= s.last - 2000; f += 100) {
        int peak = 0;
        for (size_t k = f; k < f + 100; ++k)
            peak = std::max(peak, abs(static_cast<int>(Left(cap.data, k))));
        ASSERT_GT(peak, 8000) << "a gap at frame " << f - s.first;
    }

    // A seek while stretched: the stream starts anew there. Its first hop is the file's frames as
    // they are, which no mix with frames from before the seek would give.
    LoadFile(samples);
    speedPercent = 60;
    PlayPause();
    ASSERT_TRUE(Refills(4));
    const UINT target = 50007;
    SeekTo(target, 1);
    EXPECT_GE(playPosition.load(), target);
    ASSERT_TRUE(Refills(3));
    cap = Capture();
    size_t found = enginerig::FindBytes(cap.data, samples.substr(target * 4, 4 * 1000));
    EXPECT_NE(std::string::npos, found) << "the frames at the seek's target do not start a stream";
    EXPECT_EQ(std::string::npos, enginerig::FindBytes(cap.data, samples.substr(4 * 20000, 4 * 1000)))
        << "stretched frames are not the file's";
}

// ---- the real player ----

namespace {

std::string IniPath()
{
    char path[260];
    GetSettingsPath(path);
    return path;
}

// Types the key with Shift held to the main window's thread; returns once it was taken.
void ShiftKey(HWND main, WORD vk)
{
    SetForegroundWindow(main);
    INPUT in[4] = {};
    WORD keys[4] = {VK_SHIFT, vk, vk, VK_SHIFT};
    for (int i = 0; i < 4; ++i) {
        in[i].type = INPUT_KEYBOARD;
        in[i].ki.wVk = keys[i];
        in[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(4, in, sizeof(INPUT));
    playerdrive::WaitFor([&] { return (GetAsyncKeyState(VK_SHIFT) & 0x8000) == 0; }, 2000);
    DWORD_PTR r = 0;
    for (int i = 0; i < 3; ++i)
        SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r);
    Sleep(50);
    SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r);
}

RECT ChildRect(HWND main, int id)
{
    RECT r = {};
    GetWindowRect(GetDlgItem(main, id), &r);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Runs the player on this thread while drive(main window) runs on another; returns when it ended.
void RunPlayerDriven(const std::function<void(HWND)>& drive)
{
    std::atomic<bool> done(false);
    std::thread driver([&] {
        HWND main = playerdrive::WaitForWindow("#32770", PLAYER_DISPLAY_NAME, nullptr, 20000);
        EXPECT_NE(main, nullptr);
        if (main)
            drive(main);
        playerdrive::WaitFor([&] {
            if (main)
                PostMessageA(main, WM_CLOSE, 0, 0);
            Sleep(50);
            return done.load();
        }, 20000);
    });
    UnregisterClassA("Bar2WndClass", GetModuleHandleA(nullptr));  // the engine tests' window registered it
    RunPlayer(GetModuleHandleA(nullptr));
    done = true;
    driver.join();
    UnregisterClassA("Bar2WndClass", GetModuleHandleA(nullptr));
}

}  // namespace

TEST(SpeedPlayer, KeysMenuDisplayAndSettings)
{
    DeleteFileA(IniPath().c_str());
    WritePrivateProfileStringA(NULL, NULL, NULL, IniPath().c_str());
    RunPlayerDriven([](HWND main) {
        using playerdrive::Text;
        HWND display = GetDlgItem(main, IDC_SPEED_TEXT);
        ASSERT_NE(display, nullptr);
        EXPECT_EQ("SPD: 100%", Text(display));
        EXPECT_TRUE(GetWindowLongA(display, GWL_STYLE) & SS_SUNKEN);
        // Shift + keypad minus and plus step by 5 %, within 25..200 %; the menu's clear sets 100 %.
        struct Step {
            WORD vk;
            UINT command;
            int times;
            const char* shown;
        } steps[] = {
            {VK_SUBTRACT, 0, 1, "SPD: 95%"},   {VK_SUBTRACT, 0, 4, "SPD: 75%"},
            {VK_ADD, 0, 1, "SPD: 80%"},        {0, IDM_SPEED_DOWN, 20, "SPD: 25%"},
            {0, IDM_SPEED_UP, 40, "SPD: 200%"}, {0, IDM_SPEED_CLEAR, 1, "SPD: 100%"},
            {0, IDM_SPEED_DOWN, 3, "SPD: 85%"},
        };
        for (const Step& s : steps) {
            for (int i = 0; i < s.times; ++i) {
                if (s.vk)
                    ShiftKey(main, s.vk);
                else
                    SendMessageA(main, WM_COMMAND, MAKEWPARAM(s.command, 0), 0);
            }
            EXPECT_EQ(s.shown, Text(display)) << "after " << (s.vk ? "key " : "command ") << (s.vk ? s.vk : s.command);
        }
        EXPECT_EQ("VOL: +0.0x", Text(GetDlgItem(main, IDC_VOLUME_TEXT))) << "the volume is not touched";
        // Keep the tempo: a check item of the Options menu.
        for (int round = 0; round < 3; ++round) {
            SendMessageA(main, WM_COMMAND, MAKEWPARAM(IDM_KEEP_TEMPO, 0), 0);
            SendMessageA(main, WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(main)), 0);
            EXPECT_EQ(round % 2 == 0 ? static_cast<UINT>(MF_CHECKED) : 0u,
                      GetMenuState(GetMenu(main), IDM_KEEP_TEMPO, MF_BYCOMMAND) & MF_CHECKED);
        }
        // At every width down to the smallest, the display sits left of the volume display on its
        // row, clear of every other control, at its own size.
        RECT first = ChildRect(main, IDC_SPEED_TEXT);
        for (int width : {340, 500, 1000}) {
            SetWindowPos(main, nullptr, 0, 0, width, MAIN_WINDOW_HEIGHT, SWP_NOMOVE | SWP_NOZORDER);
            RECT speed = ChildRect(main, IDC_SPEED_TEXT), vol = ChildRect(main, IDC_VOLUME_TEXT);
            EXPECT_EQ(vol.top, speed.top) << width;
            EXPECT_LT(speed.right, vol.left) << width;
            EXPECT_EQ(first.right - first.left, speed.right - speed.left) << width;
            for (int id : {IDC_POSITION_BAR, IDC_TIME_TEXT, IDC_PATH_TEXT, IDC_KEY_TEXT, IDC_VOLUME_TEXT}) {
                RECT other = ChildRect(main, id), both;
                EXPECT_FALSE(IntersectRect(&both, &speed, &other)) << "width " << width << ": overlaps control " << id;
            }
        }
    });
    // Written after the six keys, in this order.
    std::string text, lines;
    testutil::ReadWholeFile(IniPath(), text);
    for (char ch : text)
        if (ch != '\r')
            lines += ch;
    EXPECT_NE(std::string::npos, lines.find("Octave=0\nVolume=0\nSpeed=85\nKeepTempo=1\n")) << lines;

    // Read back at the next start; hand-edited values are brought into range.
    struct Read {
        const char* file;
        int speed, keep;
    } reads[] = {
        {"[Settings]\r\nSpeed=85\r\nKeepTempo=1\r\n", 85, 1},
        {"[Settings]\r\nVolume=2\r\n", 100, 0},
        {"[Settings]\r\nSpeed=12\r\n", 25, 0},
        {"[Settings]\r\nSpeed=300\r\nKeepTempo=7\r\n", 200, 1},
        {"[Settings]\r\nSpeed=77\r\n", 75, 0},
        {"[Settings]\r\nSpeed=78\r\n", 80, 0},
        {"[Settings]\r\nSpeed=-40\r\n", 25, 0},
    };
    for (const Read& r : reads) {
        WritePrivateProfileStringA(NULL, NULL, NULL, IniPath().c_str());
        ASSERT_TRUE(testutil::WriteWholeFile(IniPath(), r.file));
        LoadSettings();
        EXPECT_EQ(r.speed, speedPercent.load()) << r.file;
        EXPECT_EQ(r.keep, keepTempo.load()) << r.file;
    }
    // Back at the defaults, the file holds the six keys only.
    speedPercent = 100;
    keepTempo = 0;
    SaveSettings();
    testutil::ReadWholeFile(IniPath(), text);
    EXPECT_EQ(std::string::npos, text.find("Speed")) << text;
    EXPECT_EQ(std::string::npos, text.find("KeepTempo")) << text;
    DeleteFileA(IniPath().c_str());
}
