// What the user hears: the engine plays through the real waveform device, whose output the
// harness captures to a WAVE file (one per device opening). The capture must hold exactly the
// file's frames, with the gain, at the key's rate; repeat passes follow each other without a
// frame inserted, dropped or repeated; and a storm of commands neither crashes, deadlocks nor
// queues a block twice.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>
#include <stdlib.h>
#include <string.h>
#include <string>

#include "dialog_answer.h"
#include "engine_rig.h"
#include "harness_util.h"
#include "native/wave_corpus.h"
#include "playback.h"
#include "position_bar.h"
#include "resource.h"
#include "settings.h"
#include "shell.h"
#include "wave_loader.h"

using enginerig::Captured;
using enginerig::MainWindowRig;

namespace {

// The real device, with a check that no block is written while the device still holds it.
volatile LONG g_doubleWrites;

MMRESULT WINAPI CheckedWrite(HWAVEOUT device, LPWAVEHDR h, UINT size)
{
    if (h->dwFlags & WHDR_INQUEUE)
        InterlockedIncrement(&g_doubleWrites);
    return waveOutWrite(device, h, size);
}

const WaveOutApi kChecked = {waveOutOpen, waveOutPrepareHeader, waveOutUnprepareHeader, CheckedWrite,
                             waveOutPause, waveOutRestart, waveOutReset, waveOutClose};

class Device : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(testutil::CapturePath().empty()) << "VELMORA_CAPTURE not set";
        // Without a device the loader's message box would wait for a click: fail at once instead.
        ASSERT_GT(waveOutGetNumDevs(), 0u) << "no waveform device (the harness's ALSA configuration?)";
        g_doubleWrites = 0;
        SetWaveOutApi(&kChecked);
        key = 0;
        volume = 0;
        repeatOn = 0;
        rig = new MainWindowRig;
    }
    void TearDown() override
    {
        CloseWave();
        SetWaveOutApi(nullptr);
        EXPECT_EQ(0, g_doubleWrites) << "a block was written while the device held it";
        delete rig;
        key = 0;
        volume = 0;
        repeatOn = 0;
    }
    void LoadFile(const std::string& bytes)
    {
        std::string p = enginerig::WriteTempFile("play.wav", bytes);
        wavePath = p.c_str();
        // A failed load's message box is answered, not waited on.
        testutil::MessageBoxSeen box;
        testutil::DialogAnswer answer(testutil::ReadAndPress(box, IDOK));
        ASSERT_EQ(1, LoadWave(p.c_str())) << box.text;
    }
    // Waits until a pass has ended and every block is back; returns whether it happened.
    bool PlayedOut(DWORD timeoutMs = 30000)
    {
        return testutil::PumpUntil([] { return PlayState.load() == PLAY_STOPPED && BlocksHeld() == 0; }, timeoutMs);
    }
    // Closes the device (which completes the capture) and reads it.
    Captured Capture()
    {
        CloseWave();
        Captured c;
        testutil::PumpUntil([&] {
            c = enginerig::ReadCapture(testutil::CapturePath());
            return c.ok;
        }, 5000);
        return c;
    }
    MainWindowRig* rig = nullptr;
};

// Checks that the captured data is silence, then exactly expected, then silence.
::testing::AssertionResult HoldsExactly(const std::string& data, const std::string& expected, char silence = 0)
{
    size_t at = data.find(expected.substr(0, 256));
    if (at == std::string::npos)
        return ::testing::AssertionFailure() << "the first samples are not in the capture (" << data.size() << " bytes)";
    for (size_t i = 0; i < at; ++i)
        if (data[i] != silence)
            return ::testing::AssertionFailure() << "sound before the file's first frame at byte " << i;
    if (data.size() < at + expected.size())
        return ::testing::AssertionFailure() << "capture ends after " << data.size() - at << " of " << expected.size()
                                             << " bytes";
    for (size_t i = 0; i < expected.size(); ++i)
        if (data[at + i] != expected[i])
            return ::testing::AssertionFailure() << "byte " << i << " of the sound differs: captured "
                                                 << (data[at + i] & 0xFF) << ", expected " << (expected[i] & 0xFF)
                                                 << (data[at + i] == silence ? " (inserted silence: a late refill?)" : "");
    for (size_t i = at + expected.size(); i < data.size(); ++i)
        if (data[i] != silence)
            return ::testing::AssertionFailure() << "sound after the end at byte " << i - at - expected.size();
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST_F(Device, PlaysTheFileBitExactWithGain)
{
    const uint32_t frames = 70001;  // 14 blocks and one frame
    std::string samples = RampSamples(frames * 4, 3);
    // Keep the ramp's first sample away from silence so the capture can find it.
    samples[0] = 0x11;
    samples[1] = 0x22;
    LoadFile(SimpleWave(2, 44100, 16, samples));
    volume = 3;
    ASSERT_EQ(1, PlayPause());
    ASSERT_TRUE(PlayedOut()) << "state " << PlayState.load() << ", " << BlocksHeld() << " blocks held";
    EXPECT_EQ(0u, playPosition.load()) << "repeat off: back at the start marker";
    Captured c = Capture();
    ASSERT_TRUE(c.ok) << "no capture";
    EXPECT_EQ(44100u, c.rate);
    EXPECT_EQ(2u, c.channels);
    EXPECT_EQ(16u, c.bits);
    std::string expect = samples;
    ApplyGain(&expect[0], static_cast<uint32_t>(expect.size()), 2, 3);
    EXPECT_TRUE(HoldsExactly(c.data, expect)) << "the capture ends at the end marker";
}

TEST_F(Device, EightBitWithSaturatingGain)
{
    std::string samples = RampSamples(30000, 5);
    samples[0] = 0x10;
    LoadFile(SimpleWave(1, 22050, 8, samples));
    volume = 10;
    PlayPause();
    ASSERT_TRUE(PlayedOut());
    Captured c = Capture();
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(22050u, c.rate);
    EXPECT_EQ(8u, c.bits);
    std::string expect = samples;
    ApplyGain(&expect[0], 30000, 1, 10);
    EXPECT_TRUE(HoldsExactly(c.data, expect, static_cast<char>(0x80)));
}

TEST_F(Device, KeyScalesTheDeviceRate)
{
    for (int k : {12, -12, 7}) {
        key = k;
        std::string samples = RampSamples(8000, 9);
        samples[0] = 0x33;
        LoadFile(SimpleWave(2, 44100, 16, samples));
        PlayPause();
        ASSERT_TRUE(PlayedOut());
        Captured c = Capture();
        ASSERT_TRUE(c.ok);
        EXPECT_EQ(OutputRate(44100, k), c.rate) << "key " << k;
        EXPECT_EQ(k == 12 ? 88203u : (k == -12 ? 22049u : 66077u), c.rate);
        EXPECT_TRUE(HoldsExactly(c.data, samples)) << "key " << k << ": same frames, faster or slower";
    }
}

TEST_F(Device, RepeatLoopsTheMarkedRangeWithoutAGap)
{
    const uint32_t frames = 100000;
    std::string samples = RampSamples(frames * 4, 11);
    LoadFile(SimpleWave(2, 44100, 16, samples));
    // 13001 frames: blocks of 5000, 5000 and a short one of 3001 frames, in every pass.
    const uint32_t S = 20000, E = 33001;
    markerStart = S;
    markerEnd = E;
    SeekTo(S, 0);
    repeatOn = 1;
    unsigned long refills = RefillCount();
    PlayPause();
    ASSERT_TRUE(testutil::PumpUntil([&] { return RefillCount() >= refills + 20; }, 30000)) << "blocks do not circulate";
    repeatOn = 0;  // the pass under way is the last
    ASSERT_TRUE(PlayedOut());
    EXPECT_EQ(S, playPosition.load());
    Captured c = Capture();
    ASSERT_TRUE(c.ok);
    std::string range = samples.substr(S * 4, (E - S) * 4);
    size_t at = c.data.find(range.substr(0, 256));
    ASSERT_NE(std::string::npos, at) << "the range is not in the capture";
    int passes = 0;
    while (c.data.compare(at, range.size(), range) == 0) {
        at += range.size();
        ++passes;
    }
    EXPECT_GE(passes, 6) << "passes that follow each other exactly";
    for (size_t i = at; i < c.data.size(); ++i)
        ASSERT_EQ(0, c.data[i]) << "after " << passes << " passes, at byte " << i - at
                                << " of the next: a frame inserted, dropped or repeated";
}

TEST_F(Device, TwentyFourBitPlaysWholeFrames)
{
    std::string samples = RampSamples(6 * 30001, 13);
    samples[0] = 0x44;
    LoadFile(SimpleWave(2, 48000, 24, samples));
    volume = 10;  // 24-bit data gets no gain
    PlayPause();
    ASSERT_TRUE(PlayedOut());
    Captured c = Capture();
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(48000u, c.rate);
    ASSERT_EQ(24u, c.bits);
    EXPECT_TRUE(HoldsExactly(c.data, samples)) << "whole frames in every block, no gain";
}

TEST_F(Device, StormOfCommands)
{
    const uint32_t frames = 200000;
    std::string samples = RampSamples(frames * 4, 17);
    std::string p = enginerig::WriteTempFile("storm.wav", SimpleWave(2, 44100, 16, samples));
    wavePath = p.c_str();
    ASSERT_EQ(1, LoadWave(p.c_str()));
    srand(4321);
    DWORD start = GetTickCount();
    int commands = 0;
    Bar2Notify n = {};
    for (; commands < 3000 && GetTickCount() - start < 120000; ++commands) {
        switch (rand() % 12) {
        case 0: case 1: PlayPause(); break;
        case 2: SeekTo(static_cast<unsigned long>(rand() % frames), rand() & 1); break;
        case 3: case 4:
            n.position = static_cast<UINT>(rand() % frames);
            SeekFromBar(&n);
            break;
        case 5: {
            UINT s = static_cast<UINT>(rand() % frames), e = static_cast<UINT>(rand() % (frames + 1));
            markerStart = s;
            markerEnd = e;
            break;
        }
        case 6: repeatOn = !repeatOn; break;
        case 7: if (rand() % 8 == 0) CloseWave(); break;
        case 8:
            if (rand() % 8 == 0) {
                CloseWave();
                ASSERT_EQ(1, LoadWave(p.c_str())) << "reload after " << commands << " commands";
            }
            break;
        case 9: volume = rand() % 41; break;
        case 10:
            if (PlayState.load() == PLAY_NONE) {
                ASSERT_EQ(1, LoadWave(p.c_str()));
            }
            break;
        default: testutil::PumpPending(); Sleep(rand() % 3); break;
        }
        ASSERT_LE(BlocksHeld(), BLOCK_COUNT);
    }
    DWORD took = GetTickCount() - start;
    EXPECT_EQ(3000, commands) << "took too long: " << took << " ms";
    printf("storm: %d commands in %lu ms\n", commands, static_cast<unsigned long>(took));
    CloseWave();
    EXPECT_EQ(PLAY_NONE, PlayState.load());
    EXPECT_EQ(0, BlocksHeld());
}
