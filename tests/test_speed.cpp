// The playback speed as the user hears and drives it. The engine plays through the real waveform
// device, whose output the harness captures: a sine keeps its pitch while one pass lasts the
// range over the speed; 100 % is the file itself; the loop seam is heard as the source is; a speed
// change and a seek take effect while playing. Then the real player: the menu, the accelerator
// keys, the display beside the volume display and the settings file.
#include <gtest/gtest.h>

#include <windows.h>
#include <math.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "engine_rig.h"
#include "harness_util.h"
#include "native/wave_corpus.h"
#include "player_driver.h"
#include "playback.h"
#include "resource.h"
#include "settings.h"
#include "shell.h"
#include "wave_loader.h"

namespace {

// 16-bit stereo at 44100 Hz: the sine on both channels, with a little noise on the right one, so
// that every stretch of frames is unique and no two frames in a row are silent.
std::string Sine(uint32_t frames, double hz)
{
    std::string s(static_cast<size_t>(frames) * 4, '\0');
    uint32_t noise = 7;
    for (uint32_t f = 0; f < frames; ++f) {
        noise = noise * 1103515245u + 12345u;
        int16_t v[2] = {static_cast<int16_t>(lrint(10000 * sin(2 * 3.14159265358979 * hz * f / 44100))), 0};
        v[1] = static_cast<int16_t>(v[0] + static_cast<int>((noise >> 16) % 9) - 4);
        memcpy(&s[4 * f], v, 4);
    }
    return s;
}

int Left(const std::string& data, size_t frame)
{
    int16_t v;
    memcpy(&v, data.data() + 4 * frame, 2);
    return v;
}

// A loaded machine can starve the device: it then plays silence and goes on where it stopped.
// The sounds here never hold two silent frames in a row, so runs of silence inside them are the
// device's: they are taken out (and counted), leaving what the engine handed to the device. A
// frame of the sound that happens to be silent on both channels beside a stall goes with it, so the
// frames where a stall was cut out (into cuts) do not prove a click.
std::string WithoutStalls(const std::string& data, std::vector<size_t>* cuts)
{
    std::string out;
    size_t f = 0, frames = data.size() / 4;
    int stalls = 0;
    while (f < frames) {
        size_t run = 0;
        while (f + run < frames && memcmp(data.data() + 4 * (f + run), "\0\0\0\0", 4) == 0)
            ++run;
        if (!out.empty() && f + run < frames && run >= 16) {
            ++stalls;
            cuts->push_back(out.size() / 4);
        } else
            out.append(data, 4 * f, 4 * run);
        f += run;
        if (f < frames)
            out.append(data, 4 * f++, 4);
    }
    if (stalls)
        printf("note: %d stalls of the device taken out of the capture\n", stalls);
    return out;
}

// The first and last frame of sound on the left channel.
struct Sound {
    size_t first = 0, last = 0;
    explicit Sound(const std::string& data)
    {
        for (size_t f = 0; f < data.size() / 4; ++f) {
            if (Left(data, f) != 0 && first == 0)
                first = f;
            if (Left(data, f) != 0)
                last = f;
        }
    }
    size_t Frames() const { return last - first + 1; }
};

// The left channel's frequency in cycles per frame, from its rising zero crossings.
double CyclesPerFrame(const std::string& data, const Sound& s)
{
    int n = 0;
    size_t first = 0, last = 0;
    for (size_t f = s.first + 1; f <= s.last; ++f) {
        if (Left(data, f - 1) < 0 && Left(data, f) >= 0) {
            first = n++ == 0 ? f : first;
            last = f;
        }
    }
    return n > 1 ? (n - 1) / static_cast<double>(last - first) : 0;
}

// Fails at the first period of 100 frames (up to the fade of the last hop) whose peak is low.
::testing::AssertionResult NoDips(const std::string& data, const Sound& s)
{
    for (size_t f = s.first; f + 2100 <= s.last; f += 100) {
        int peak = 0;
        for (size_t k = f; k < f + 100; ++k)
            peak = std::max(peak, abs(Left(data, k)));
        if (peak < 8000)
            return ::testing::AssertionFailure() << "a gap or a dip at frame " << f - s.first << ": peak " << peak;
    }
    return ::testing::AssertionSuccess();
}

class Speed : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(testutil::CapturePath().empty()) << "VELMORA_CAPTURE not set";
        rig = new enginerig::MainWindowRig;
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
        ASSERT_EQ(1, LoadWave(p.c_str()));
    }
    bool PlayedOut()
    {
        return testutil::PumpUntil([] { return PlayState.load() == PLAY_STOPPED && BlocksHeld() == 0; }, 30000);
    }
    bool Refills(unsigned long more)
    {
        unsigned long from = RefillCount();
        return testutil::PumpUntil([&] { return RefillCount() >= from + more; }, 30000);
    }
    enginerig::Captured Capture()
    {
        CloseWave();
        enginerig::Captured c;
        testutil::PumpUntil([&] { return (c = enginerig::ReadCapture(testutil::CapturePath())).ok; }, 5000);
        stallCuts.clear();
        c.data = WithoutStalls(c.data, &stallCuts);
        return c;
    }
    enginerig::MainWindowRig* rig = nullptr;
    std::vector<size_t> stallCuts;  // where the last capture had the device's stalls taken out
};

}  // namespace

TEST_F(Speed, PitchStaysAndOnePassLastsTheRangeOverTheSpeed)
{
    const uint32_t frames = 44100;
    struct Case {
        int speed, key, keepTempo;
        double hz, seconds;  // heard (at the device's rate), and how long
    } cases[] = {
        {50, 0, 0, 441, 2.0}, {150, 0, 0, 441, 1 / 1.5},
        {100, 12, 1, 882, 1.0}, {75, -12, 1, 220.5, 1 / 0.75},  // the key's pitch at the speed's tempo
        {100, 0, 1, 441, 1.0},                                   // nothing to stretch
    };
    const std::string samples = Sine(frames, 441);
    enginerig::Captured cap;
    for (const Case& c : cases) {
        key = c.key;
        keepTempo = c.keepTempo;
        speedPercent = c.speed;
        LoadFile(samples);
        ASSERT_EQ(1, PlayPause());
        ASSERT_TRUE(PlayedOut()) << "speed " << c.speed;
        EXPECT_EQ(0u, playPosition.load()) << "back at the start marker";
        cap = Capture();
        ASSERT_TRUE(cap.ok);
        Sound s(cap.data);
        EXPECT_NEAR(c.hz, CyclesPerFrame(cap.data, s) * cap.rate, c.hz * 0.005) << "speed " << c.speed << " key " << c.key;
        // Within one block of the device's frames.
        EXPECT_NEAR(c.seconds * cap.rate, s.Frames(), 5000) << "speed " << c.speed << " key " << c.key;
    }
    // The last case is the file, exactly (its first sample is 0).
    Sound s(cap.data);
    ASSERT_EQ(frames - 1, s.Frames());
    EXPECT_EQ(0, cap.data.compare(s.first * 4 - 4, samples.size(), samples)) << "100 %: the file itself";

    // A file shorter than the stretcher's window plays as it is.
    speedPercent = 50;
    LoadFile(samples.substr(0, 4 * 1500));
    PlayPause();
    ASSERT_TRUE(PlayedOut());
    cap = Capture();
    EXPECT_NE(std::string::npos, cap.data.find(samples.substr(4, 4 * 1499))) << "a short file at 50 %";
}

TEST_F(Speed, TheLoopSeamAt75PercentIsHeardAsTheSourceIs)
{
    // 441 Hz: 100 frames a period; the range is whole periods, so the source has no step at the seam.
    const uint32_t S = 10000, E = 23000;
    std::string samples = Sine(60000, 441);
    int largest = 0;
    for (uint32_t f = S + 1; f < E; ++f)
        largest = std::max(largest, abs(Left(samples, f) - Left(samples, f - 1)));
    LoadFile(samples);
    markerStart = S;
    markerEnd = E;
    SeekTo(S, 0);
    repeatOn = 1;
    speedPercent = 75;
    PlayPause();
    ASSERT_TRUE(Refills(18)) << "blocks do not circulate";
    repeatOn = 0;
    ASSERT_TRUE(PlayedOut());
    enginerig::Captured cap = Capture();
    Sound s(cap.data);
    ASSERT_GT(s.Frames(), 4 * (E - S) / 0.75) << "four passes";
    for (size_t f = s.first + 1; f <= s.last; ++f) {
        if (std::find(stallCuts.begin(), stallCuts.end(), f) != stallCuts.end())
            continue;
        ASSERT_LE(abs(Left(cap.data, f) - Left(cap.data, f - 1)), largest + 2) << "a click at frame " << f - s.first;
    }
    EXPECT_TRUE(NoDips(cap.data, s));
}

TEST_F(Speed, ASpeedChangeIsHeardWhilePlayingAndASeekStartsCleanly)
{
    const uint32_t frames = 88200;
    const std::string samples = Sine(frames, 441);
    LoadFile(samples);
    PlayPause();
    ASSERT_TRUE(Refills(3));
    speedPercent = 50;  // no reload, no restart
    UINT changedAt = playPosition.load();
    ASSERT_TRUE(PlayedOut());
    enginerig::Captured cap = Capture();
    Sound s(cap.data);
    EXPECT_EQ(0, cap.data.compare(s.first * 4 - 4, 4 * 15000, samples, 0, 4 * 15000)) << "three blocks as they are";
    EXPECT_NEAR(changedAt + 2.0 * (frames - changedAt), s.Frames(), 7500) << "the rest at half speed";
    EXPECT_TRUE(NoDips(cap.data, s));

    // A seek while stretched starts the stream anew at its target: the first hop is the file's
    // frames as they are, which no mix with frames from before the seek would give.
    LoadFile(samples);
    speedPercent = 60;
    PlayPause();
    ASSERT_TRUE(Refills(4));
    const UINT target = 30007;  // far enough from the end that the pass goes on
    SeekTo(target, 1);
    // The blocks the reset hands back are counted too: three more have then been played.
    ASSERT_TRUE(Refills(BLOCK_COUNT + 3));
    EXPECT_GE(playPosition.load(), target);
    cap = Capture();
    EXPECT_NE(std::string::npos, cap.data.find(samples.substr(target * 4, 4 * 1000))) << "the target's frames";
    EXPECT_EQ(std::string::npos, cap.data.find(samples.substr(4 * 20000, 4 * 1000))) << "stretched frames are mixes";
}

// ---- the real player ----

namespace {

std::string IniPath()
{
    char path[260];
    GetSettingsPath(path);
    return path;
}

// Types the key with Shift held; returns once the main window's thread has handled it.
void ShiftKey(HWND main, WORD vk)
{
    SetForegroundWindow(main);
    INPUT in[4] = {};
    const WORD keys[4] = {VK_SHIFT, vk, vk, VK_SHIFT};
    for (int i = 0; i < 4; ++i) {
        in[i].type = INPUT_KEYBOARD;
        in[i].ki.wVk = keys[i];
        in[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(4, in, sizeof(INPUT));
    playerdrive::WaitFor([] { return (GetAsyncKeyState(VK_SHIFT) & 0x8000) == 0; }, 2000);
    DWORD_PTR r = 0;
    for (int i = 0; i < 3; ++i, Sleep(20))
        SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r);
}

}  // namespace

using playerdrive::ChildRect;

TEST(SpeedPlayer, KeysMenuDisplayAndSettings)
{
    DeleteFileA(IniPath().c_str());
    WritePrivateProfileStringA(NULL, NULL, NULL, IniPath().c_str());
    std::atomic<bool> done(false);
    std::thread driver([&] {
        HWND main = playerdrive::WaitForWindow("#32770", PLAYER_DISPLAY_NAME, nullptr, 20000);
        EXPECT_NE(main, nullptr);
        if (!main)
            return;
        HWND display = GetDlgItem(main, IDC_SPEED_TEXT);
        EXPECT_EQ("SPD: 100%", playerdrive::WindowText(display));
        EXPECT_TRUE(GetWindowLongA(display, GWL_STYLE) & SS_SUNKEN);
        // Shift + keypad minus and plus step by 5 % within 25..200 %; the menu's clear sets 100 %.
        struct Step {
            WORD vk;
            UINT command;
            int times;
            const char* shown;
        } steps[] = {
            {VK_SUBTRACT, 0, 1, "SPD: 95%"}, {VK_SUBTRACT, 0, 4, "SPD: 75%"}, {VK_ADD, 0, 1, "SPD: 80%"},
            {0, IDM_SPEED_DOWN, 20, "SPD: 25%"}, {0, IDM_SPEED_UP, 40, "SPD: 200%"},
            {0, IDM_SPEED_CLEAR, 1, "SPD: 100%"}, {0, IDM_SPEED_DOWN, 3, "SPD: 85%"},
        };
        for (const Step& s : steps) {
            for (int i = 0; i < s.times; ++i)
                s.vk ? ShiftKey(main, s.vk) : static_cast<void>(SendMessageA(main, WM_COMMAND, s.command, 0));
            EXPECT_EQ(s.shown, playerdrive::WindowText(display)) << "after key " << s.vk << " / command " << s.command;
        }
        EXPECT_EQ("VOL: +0.0x", playerdrive::WindowText(GetDlgItem(main, IDC_VOLUME_TEXT)));
        // Keeping the tempo is a check item.
        for (int round = 0; round < 3; ++round) {
            SendMessageA(main, WM_COMMAND, IDM_KEEP_TEMPO, 0);
            SendMessageA(main, WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(main)), 0);
            EXPECT_EQ(round % 2 == 0 ? static_cast<UINT>(MF_CHECKED) : 0u,
                      GetMenuState(GetMenu(main), IDM_KEEP_TEMPO, MF_BYCOMMAND) & MF_CHECKED);
        }
        // Down to the smallest width: left of the volume display on its row, at its own size, clear
        // of every other control.
        RECT first = ChildRect(main, IDC_SPEED_TEXT);
        for (int width : {340, 500, 1000}) {
            SetWindowPos(main, nullptr, 0, 0, width, MAIN_WINDOW_HEIGHT, SWP_NOMOVE | SWP_NOZORDER);
            RECT speed = ChildRect(main, IDC_SPEED_TEXT), vol = ChildRect(main, IDC_VOLUME_TEXT), both;
            EXPECT_EQ(vol.top, speed.top) << width;
            EXPECT_LT(speed.right, vol.left) << width;
            EXPECT_EQ(first.right - first.left, speed.right - speed.left) << width;
            for (int id : {IDC_POSITION_BAR, IDC_TIME_TEXT, IDC_PATH_TEXT, IDC_KEY_TEXT, IDC_VOLUME_TEXT}) {
                RECT other = ChildRect(main, id);
                EXPECT_FALSE(IntersectRect(&both, &speed, &other)) << "width " << width << ": overlaps " << id;
            }
        }
        playerdrive::WaitFor([&] { return PostMessageA(main, WM_CLOSE, 0, 0), Sleep(50), done.load(); }, 20000);
    });
    UnregisterClassA("Bar2WndClass", GetModuleHandleA(nullptr));  // the engine tests' window registered it
    RunPlayer(GetModuleHandleA(nullptr));
    done = true;
    driver.join();
    UnregisterClassA("Bar2WndClass", GetModuleHandleA(nullptr));
    std::string text;
    testutil::ReadWholeFile(IniPath(), text);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    EXPECT_NE(std::string::npos, text.find("Octave=0\nVolume=0\nSpeed=85\nKeepTempo=1\n")) << "after the six: " << text;

    // Read at the next start, brought into range; back at the defaults, the six keys only.
    struct Read {
        const char* file;
        int speed, keep;
    } reads[] = {
        {"Speed=85\r\nKeepTempo=1", 85, 1}, {"Volume=2", 100, 0}, {"Speed=12", 25, 0},
        {"Speed=300\r\nKeepTempo=7", 200, 1}, {"Speed=77", 75, 0}, {"Speed=78", 80, 0}, {"Speed=-40", 25, 0},
    };
    for (const Read& r : reads) {
        WritePrivateProfileStringA(NULL, NULL, NULL, IniPath().c_str());
        ASSERT_TRUE(testutil::WriteWholeFile(IniPath(), std::string("[Settings]\r\n") + r.file + "\r\n"));
        LoadSettings();
        EXPECT_EQ(r.speed, speedPercent.load()) << r.file;
        EXPECT_EQ(r.keep, keepTempo.load()) << r.file;
    }
    speedPercent = 100;
    keepTempo = 0;
    SaveSettings();
    testutil::ReadWholeFile(IniPath(), text);
    EXPECT_EQ(std::string::npos, text.find("Speed")) << text;
    EXPECT_EQ(std::string::npos, text.find("Tempo")) << text;
    DeleteFileA(IniPath().c_str());
}
