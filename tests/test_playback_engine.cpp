// The playback engine against a recording device: every prepare, write, pause, restart, reset,
// unprepare and close is logged, blocks come back when the test says (or, for reset, either before
// the reset returns or later), and the device checks that it is never handed a block it holds or
// a block whose contents changed while it held it. The refill thread is the engine's own.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>
#include <stdlib.h>
#include <string.h>
#include <atomic>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "dialog_answer.h"
#include "engine_rig.h"
#include "harness_util.h"
#include "native/wave_corpus.h"
#include "player_texts.h"
#include "playback.h"
#include "position_bar.h"
#include "resource.h"
#include "settings.h"
#include "shell.h"
#include "wave_loader.h"

using enginerig::MainWindowRig;

namespace {

// The recording device. Its functions are called from the window thread and the refill thread.
struct FakeDevice {
    CRITICAL_SECTION lock;
    std::vector<std::string> log;          // "open", "prepare 3", "write 3 20000", "pause", "reset", ...
    std::deque<WAVEHDR*> queue;            // written, not yet returned, in order
    std::vector<std::string> queuedCopy;   // contents of each queued block at its write (by index)
    std::vector<WAVEHDR*> pendingReturns;  // returned by a reset, callback not yet delivered
    std::string stream;                    // every written block's bytes, in write order
    std::vector<std::string> violations;
    std::vector<unsigned char> format;     // the record handed to Open
    DWORD_PTR callback = 0;
    std::atomic<bool> returnsDuringReset{true};  // deliver reset returns before Reset returns
    std::vector<std::pair<size_t, size_t>> writes;  // each write's place in stream and length
    MMRESULT openResult = MMSYSERR_NOERROR;
    bool open = false;

    FakeDevice() { InitializeCriticalSection(&lock); }
    void Clear()
    {
        EnterCriticalSection(&lock);
        log.clear();
        queue.clear();
        queuedCopy.assign(BLOCK_COUNT, std::string());
        pendingReturns.clear();
        stream.clear();
        writes.clear();
        violations.clear();
        returnsDuringReset = true;
        openResult = MMSYSERR_NOERROR;
        LeaveCriticalSection(&lock);
    }
    void Add(const std::string& s)
    {
        log.push_back(s);
    }
};

FakeDevice g_dev;
const HWAVEOUT kHandle = reinterpret_cast<HWAVEOUT>(static_cast<INT_PTR>(0x5A5A));

int Index(const WAVEHDR* h)
{
    for (int i = 0; i < BLOCK_COUNT; ++i)
        if (h == &waveBlocks[i])
            return i;
    return -1;
}

void Deliver(WAVEHDR* h)
{
    reinterpret_cast<LPDRVCALLBACK>(g_dev.callback)(reinterpret_cast<HDRVR>(kHandle), MM_WOM_DONE, 0,
                                                      reinterpret_cast<DWORD_PTR>(h), 0);
}

// Marks a block returned and checks the engine left it alone while the device held it.
void MarkReturned(WAVEHDR* h)
{
    int i = Index(h);
    if (i >= 0 && std::string(h->lpData, h->dwBufferLength) != g_dev.queuedCopy[i])
        g_dev.violations.push_back("block " + std::to_string(i) + " changed while the device held it");
    h->dwFlags = (h->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
}

MMRESULT WINAPI FakeOpen(LPHWAVEOUT out, UINT, LPCWAVEFORMATEX fmt, DWORD_PTR cb, DWORD_PTR, DWORD flags)
{
    EnterCriticalSection(&g_dev.lock);
    g_dev.Add("open");
    const unsigned char* p = reinterpret_cast<const unsigned char*>(fmt);
    g_dev.format.assign(p, p + 18 + fmt->cbSize);
    g_dev.callback = cb;
    MMRESULT r = g_dev.openResult;
    if (flags != CALLBACK_FUNCTION)
        g_dev.violations.push_back("open without CALLBACK_FUNCTION");
    if (r == MMSYSERR_NOERROR) {
        *out = kHandle;
        g_dev.open = true;
    }
    LeaveCriticalSection(&g_dev.lock);
    return r;
}

MMRESULT WINAPI FakePrepare(HWAVEOUT, LPWAVEHDR h, UINT)
{
    EnterCriticalSection(&g_dev.lock);
    g_dev.Add("prepare " + std::to_string(Index(h)));
    if (h->dwFlags & WHDR_INQUEUE)
        g_dev.violations.push_back("prepare of a queued block");
    h->dwFlags |= WHDR_PREPARED;
    LeaveCriticalSection(&g_dev.lock);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI FakeUnprepare(HWAVEOUT, LPWAVEHDR h, UINT)
{
    EnterCriticalSection(&g_dev.lock);
    g_dev.Add("unprepare " + std::to_string(Index(h)));
    MMRESULT r = MMSYSERR_NOERROR;
    if (h->dwFlags & WHDR_INQUEUE) {
        g_dev.violations.push_back("unprepare of a queued block");
        r = WAVERR_STILLPLAYING;
    } else {
        h->dwFlags &= ~WHDR_PREPARED;
    }
    LeaveCriticalSection(&g_dev.lock);
    return r;
}

MMRESULT WINAPI FakeWrite(HWAVEOUT, LPWAVEHDR h, UINT)
{
    EnterCriticalSection(&g_dev.lock);
    int i = Index(h);
    g_dev.Add("write " + std::to_string(i) + " " + std::to_string(h->dwBufferLength));
    MMRESULT r = MMSYSERR_NOERROR;
    if (h->dwFlags & WHDR_INQUEUE) {
        g_dev.violations.push_back("block " + std::to_string(i) + " queued twice");
        r = WAVERR_STILLPLAYING;
    } else if (!(h->dwFlags & WHDR_PREPARED)) {
        g_dev.violations.push_back("write of an unprepared block");
        r = WAVERR_UNPREPARED;
    } else if (h->dwBufferLength == 0 || h->dwBufferLength > BLOCK_BYTES) {
        g_dev.violations.push_back("write of " + std::to_string(h->dwBufferLength) + " bytes");
    } else {
        h->dwFlags = (h->dwFlags | WHDR_INQUEUE) & ~WHDR_DONE;
        g_dev.queue.push_back(h);
        g_dev.queuedCopy[i].assign(h->lpData, h->dwBufferLength);
        g_dev.writes.push_back(std::make_pair(g_dev.stream.size(), static_cast<size_t>(h->dwBufferLength)));
        g_dev.stream.append(h->lpData, h->dwBufferLength);
    }
    LeaveCriticalSection(&g_dev.lock);
    return r;
}

MMRESULT WINAPI FakePause(HWAVEOUT)
{
    EnterCriticalSection(&g_dev.lock);
    g_dev.Add("pause");
    LeaveCriticalSection(&g_dev.lock);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI FakeRestart(HWAVEOUT)
{
    EnterCriticalSection(&g_dev.lock);
    g_dev.Add("restart");
    LeaveCriticalSection(&g_dev.lock);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI FakeReset(HWAVEOUT)
{
    EnterCriticalSection(&g_dev.lock);
    g_dev.Add("reset");
    std::vector<WAVEHDR*> back(g_dev.queue.begin(), g_dev.queue.end());
    g_dev.queue.clear();
    for (WAVEHDR* h : back)
        MarkReturned(h);
    bool now = g_dev.returnsDuringReset;
    if (!now)
        g_dev.pendingReturns.insert(g_dev.pendingReturns.end(), back.begin(), back.end());
    LeaveCriticalSection(&g_dev.lock);
    if (now)
        for (WAVEHDR* h : back)
            Deliver(h);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI FakeClose(HWAVEOUT)
{
    EnterCriticalSection(&g_dev.lock);
    g_dev.Add("close");
    MMRESULT r = MMSYSERR_NOERROR;
    if (!g_dev.queue.empty()) {
        g_dev.violations.push_back("close with blocks queued");
        r = WAVERR_STILLPLAYING;
    } else {
        g_dev.open = false;
    }
    LeaveCriticalSection(&g_dev.lock);
    return r;
}

const WaveOutApi kFake = {FakeOpen, FakePrepare, FakeUnprepare, FakeWrite, FakePause, FakeRestart, FakeReset, FakeClose};

// The device finishes playing its n oldest blocks and hands them back; returns how many it had.
int ReturnOldest(int n)
{
    std::vector<WAVEHDR*> back;
    EnterCriticalSection(&g_dev.lock);
    while (n-- > 0 && !g_dev.queue.empty()) {
        WAVEHDR* h = g_dev.queue.front();
        g_dev.queue.pop_front();
        MarkReturned(h);
        back.push_back(h);
    }
    LeaveCriticalSection(&g_dev.lock);
    for (WAVEHDR* h : back)
        Deliver(h);
    return static_cast<int>(back.size());
}

// Delivers the returns that an earlier reset left pending.
void DeliverPending()
{
    EnterCriticalSection(&g_dev.lock);
    std::vector<WAVEHDR*> back;
    back.swap(g_dev.pendingReturns);
    LeaveCriticalSection(&g_dev.lock);
    for (WAVEHDR* h : back)
        Deliver(h);
}

std::vector<std::string> TakeLog()
{
    EnterCriticalSection(&g_dev.lock);
    std::vector<std::string> l;
    l.swap(g_dev.log);
    LeaveCriticalSection(&g_dev.lock);
    return l;
}

std::string Joined(const std::vector<std::string>& l)
{
    std::string s;
    for (const std::string& x : l)
        s += (s.empty() ? "" : ", ") + x;
    return s;
}

std::string Stream()
{
    EnterCriticalSection(&g_dev.lock);
    std::string s = g_dev.stream;
    LeaveCriticalSection(&g_dev.lock);
    return s;
}

size_t Queued()
{
    EnterCriticalSection(&g_dev.lock);
    size_t n = g_dev.queue.size();
    LeaveCriticalSection(&g_dev.lock);
    return n;
}

std::string Violations()
{
    EnterCriticalSection(&g_dev.lock);
    std::string s = Joined(g_dev.violations);
    LeaveCriticalSection(&g_dev.lock);
    return s;
}

DWORD WINAPI DeliverLater(void*)
{
    Sleep(100);
    DeliverPending();
    return 0;
}

volatile LONG g_stopDevice;

DWORD WINAPI DeviceThread(void*)
{
    while (!g_stopDevice) {
        ReturnOldest(1);
        DeliverPending();
        Sleep(0);
    }
    return 0;
}

class Engine : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig = new MainWindowRig;
        g_dev.Clear();
        SetWaveOutApi(&kFake);
        key = volume = repeatOn = 0;
    }
    void TearDown() override
    {
        g_dev.returnsDuringReset = true;
        CloseWave();
        EXPECT_EQ("", Violations());
        EXPECT_EQ(PLAY_NONE, PlayState.load());
        SetWaveOutApi(nullptr);
        delete rig;
    }
    // Writes and loads a 16-bit stereo 44100 Hz file of the given frames; returns its samples.
    std::string Load(uint32_t frames, uint16_t channels = 2, uint16_t bits = 16, uint32_t rate = 44100)
    {
        std::string samples = RampSamples(static_cast<size_t>(frames) * channels * (bits / 8), frames);
        path = enginerig::WriteTempFile("engine.wav", SimpleWave(channels, rate, bits, samples));
        wavePath = path.c_str();
        EXPECT_EQ(1, LoadWave(path.c_str()));
        TakeLog();
        return samples;
    }
    void Idle()
    {
        ASSERT_EQ(1, WaitRefillIdle(5000)) << "the refill thread did not finish";
    }
    MainWindowRig* rig = nullptr;
    std::string path;
};

std::vector<std::string> Writes(const std::vector<std::string>& log)
{
    std::vector<std::string> w;
    for (const std::string& s : log)
        if (s.compare(0, 6, "write ") == 0)
            w.push_back(s);
    return w;
}

}  // namespace

TEST_F(Engine, LoadOpensTheDeviceAndResetsTheBar)
{
    key = 12;
    std::string samples = Load(30000);
    ASSERT_EQ(18u, g_dev.format.size());
    WAVEFORMATEX f = {};
    memcpy(&f, g_dev.format.data(), 18);
    EXPECT_EQ(88203u, f.nSamplesPerSec) << "key +12 on 44100 Hz";
    EXPECT_EQ(44100u * 4, f.nAvgBytesPerSec) << "handed over as read";
    EXPECT_EQ(0, f.cbSize);
    EXPECT_EQ(PLAY_STOPPED, PlayState.load());
    for (int i = 0; i < BLOCK_COUNT; ++i) {
        EXPECT_EQ(BLOCK_PREPARE, waveBlocks[i].dwUser) << "block " << i;
        EXPECT_TRUE(waveBlocks[i].lpData != NULL);
    }
    EXPECT_EQ(44u, waveInfo.dataOffset);
    EXPECT_EQ(30000u, waveInfo.totalFrames);
    EXPECT_EQ(44100u, waveInfo.sampleRate);
    EXPECT_EQ("range 0-30000 markers 0-30000 position 0", rig->BarText());
    EXPECT_EQ(path, rig->Text(IDC_PATH_TEXT));

    // Close: bar emptied, time text cleared, path text kept, headers zero.
    SetDlgItemTextA(rig->window, IDC_TIME_TEXT, "00:01:02");
    EXPECT_EQ(1, CloseWave());
    UINT mx = 9, e = 9;
    rig->Bar(nullptr, &mx, nullptr, &e, nullptr);
    EXPECT_EQ(0u, mx);
    EXPECT_EQ(0u, e);
    EXPECT_EQ("", rig->Text(IDC_TIME_TEXT));
    EXPECT_EQ(path, rig->Text(IDC_PATH_TEXT));
    EXPECT_EQ(PLAY_NONE, PlayState.load());
    EXPECT_EQ(0u, playPosition.load());
    WAVEHDR zero = {};
    for (int i = 0; i < BLOCK_COUNT; ++i)
        EXPECT_EQ(0, memcmp(&zero, &waveBlocks[i], sizeof zero)) << "block " << i;
    std::vector<std::string> log = TakeLog();
    EXPECT_EQ("reset, close", Joined(log)) << "nothing was prepared, so nothing is unprepared";
}

TEST_F(Engine, PrimingQueuesSixBlocksFromThePlayPosition)
{
    std::string samples = Load(100000);
    SeekTo(1000, 1);
    EXPECT_EQ(1000u, playPosition.load());
    ASSERT_EQ(1, PlayPause());
    EXPECT_EQ(PLAY_PLAYING, PlayState.load());
    std::vector<std::string> log = TakeLog();
    EXPECT_EQ("prepare 0, write 0 20000, prepare 1, write 1 20000, prepare 2, write 2 20000, prepare 3, write 3 20000, "
              "prepare 4, write 4 20000, prepare 5, write 5 20000",
              Joined(log));
    EXPECT_EQ(samples.substr(4000, 120000), Stream()) << "six blocks of the file from frame 1000";
    EXPECT_EQ(1000u + 30000u, playPosition.load());
    char text[20];
    UINT pos = 0;
    ASSERT_EQ(1, TakeTimeText(text, &pos));
    EXPECT_EQ(31000u, pos);
    EXPECT_STREQ("00:00:42", text);
    EXPECT_EQ(0, TakeTimeText(text, &pos)) << "taken once";
    for (int i = 0; i < BLOCK_COUNT; ++i)
        EXPECT_EQ(0u, waveBlocks[i].dwUser & (BLOCK_PREPARE | BLOCK_DISCARD)) << "block " << i;

    // Returned blocks are refilled in the order they come back, from where the last one ended.
    unsigned long refills = RefillCount();
    ASSERT_EQ(3, ReturnOldest(3));
    Idle();
    EXPECT_EQ(refills + 3, RefillCount()) << "one refill per returned block";
    EXPECT_EQ("write 0 20000, write 1 20000, write 2 20000", Joined(TakeLog())) << "prepared once, for the whole block";
    EXPECT_EQ(samples.substr(4000, 180000), Stream());
    EXPECT_EQ(46000u, playPosition.load());
}

TEST_F(Engine, PauseAndResume)
{
    std::string samples = Load(100000);
    PlayPause();
    TakeLog();
    ASSERT_EQ(1, PlayPause());
    EXPECT_EQ(PLAY_PAUSED, PlayState.load());
    EXPECT_EQ("pause", Joined(TakeLog()));
    // A block that comes back while paused stays idle.
    ReturnOldest(1);
    Idle();
    EXPECT_EQ("", Joined(TakeLog()));
    ASSERT_EQ(1, PlayPause());
    EXPECT_EQ(PLAY_PLAYING, PlayState.load());
    EXPECT_EQ("restart", Joined(TakeLog()));
}

TEST_F(Engine, EndMarkerWithRepeatOnLoopsWithoutAGap)
{
    std::string samples = Load(100000);
    markerStart = 1000;
    markerEnd = 13000;  // 12000 frames: 2 full blocks and 2000 frames
    SeekTo(1000, 0);
    repeatOn = 1;
    PlayPause();
    for (int i = 0; i < 30; ++i) {
        ReturnOldest(1);
        Idle();
    }
    std::string range = samples.substr(4000, 48000);
    std::string s = Stream();
    ASSERT_GE(s.size(), 4 * range.size());
    for (size_t at = 0; at + range.size() <= s.size(); at += range.size())
        ASSERT_EQ(range, s.substr(at, range.size())) << "pass at byte " << at;
    EXPECT_EQ(s.substr(0, s.size() % range.size()), s.substr(s.size() - s.size() % range.size()));
    EXPECT_EQ(PLAY_PLAYING, PlayState.load());
    EXPECT_EQ(6u, Queued()) << "all six blocks stay in circulation";
}

TEST_F(Engine, EndMarkerWithRepeatOffStopsAtTheStartMarker)
{
    std::string samples = Load(100000);
    markerStart = 2000;
    markerEnd = 30000;
    SeekTo(2000, 0);
    PlayPause();  // 6 blocks: 2000..32000 would pass the end; the sixth block is short
    std::vector<std::string> w = Writes(TakeLog());
    ASSERT_EQ(6u, w.size());
    EXPECT_EQ("write 5 12000", w[5]) << "the last block ends at the end marker";
    EXPECT_EQ(PLAY_STOPPED, PlayState.load());
    EXPECT_EQ(2000u, playPosition.load()) << "positioned to the start marker";
    for (int i = 0; i < BLOCK_COUNT; ++i)
        EXPECT_TRUE(waveBlocks[i].dwUser & BLOCK_PREPARE) << "block " << i;
    EXPECT_EQ(samples.substr(8000, 112000), Stream());
    // The blocks play out and come back without being refilled.
    ReturnOldest(6);
    Idle();
    EXPECT_EQ("", Joined(TakeLog()));
    // The next play starts at the start marker.
    PlayPause();
    EXPECT_EQ(samples.substr(8000, 112000), Stream().substr(112000));
}

TEST_F(Engine, PlayAgainWhileTheLastPassStillPlays)
{
    std::string samples = Load(100000);
    markerEnd = 12000;
    PlayPause();  // the whole range fits in the six blocks: stopped at once, three blocks queued
    EXPECT_EQ(PLAY_STOPPED, PlayState.load());
    EXPECT_EQ(3u, Queued());
    TakeLog();
    g_dev.returnsDuringReset = false;
    PlayPause();  // must not write a block the device still holds
    EXPECT_EQ("", Violations());
    std::vector<std::string> log = TakeLog();
    EXPECT_EQ("reset", log.empty() ? "" : log[0]) << Joined(log);
    DeliverPending();
    Idle();
    EXPECT_EQ("", Violations());
    EXPECT_EQ(samples.substr(0, 48000) + samples.substr(0, 48000), Stream());
}

TEST_F(Engine, AtTheEndMarkerPlayDoesNothingAudible)
{
    Load(50000);
    SeekTo(50000, 0);
    PlayPause();
    EXPECT_EQ(PLAY_STOPPED, PlayState.load());
    EXPECT_EQ(0u, playPosition.load());
    EXPECT_EQ("", Stream());
    repeatOn = 1;
    SeekTo(50000, 0);
    PlayPause();
    EXPECT_EQ(PLAY_PLAYING, PlayState.load());
    std::vector<std::string> w = Writes(TakeLog());
    EXPECT_EQ(5u, w.size()) << Joined(w) << ": the first block is skipped";
    EXPECT_EQ("write 1 20000", w.empty() ? "" : w[0]);
}

TEST_F(Engine, ShortFileAndStaleMarkers)
{
    std::string samples = Load(1234);
    markerEnd = 999999;  // an end marker beyond the file never reads past its data
    PlayPause();
    std::vector<std::string> w = Writes(TakeLog());
    ASSERT_EQ(1u, w.size());
    EXPECT_EQ("write 0 4936", w[0]);
    EXPECT_EQ(samples, Stream());
    EXPECT_EQ(PLAY_STOPPED, PlayState.load());
}

TEST_F(Engine, GainAppliesToTheNextRefilledBlock)
{
    std::string samples = Load(100000);
    PlayPause();
    volume = 10;
    ReturnOldest(1);
    Idle();
    std::string s = Stream();
    ASSERT_EQ(140000u, s.size());
    std::string expect = samples.substr(120000, 20000);
    ApplyGain(&expect[0], 20000, 2, 10);
    EXPECT_EQ(samples.substr(0, 120000), s.substr(0, 120000)) << "queued blocks keep their gain";
    EXPECT_EQ(expect, s.substr(120000)) << "saturating gain";
}

TEST_F(Engine, TwentyFourBitBlocksHoldWholeFrames)
{
    std::string samples = Load(19000, 2, 24, 48000);
    EXPECT_EQ(19998u, waveInfo.blockBytes);
    PlayPause();
    std::vector<std::string> w = Writes(TakeLog());
    ASSERT_EQ(6u, w.size());
    EXPECT_EQ("write 0 19998", w[0]);
    EXPECT_EQ("write 5 14010", w[5]) << "114000 - 5 * 19998";
    EXPECT_EQ(samples, Stream());
    EXPECT_EQ(PLAY_STOPPED, PlayState.load());
}

TEST_F(Engine, DataChunkClaimingMoreThanTheFilePlaysSilenceAfterIt)
{
    std::string samples = RampSamples(30000, 7);
    path = enginerig::WriteTempFile("short.wav", WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16))
                                                       .Raw("data").U32(100000).Raw(samples).Fix());
    ASSERT_EQ(1, LoadWave(path.c_str()));
    EXPECT_EQ(25000u, waveInfo.totalFrames);
    PlayPause();  // block 1 is read short, blocks 2 to 4 read nothing
    std::string s = Stream();
    ASSERT_EQ(100000u, s.size());
    EXPECT_EQ(samples, s.substr(0, 30000));
    EXPECT_EQ(std::string(70000, '\0'), s.substr(30000)) << "silence, not stale contents";
}

TEST_F(Engine, WithoutAFileNothingHappens)
{
    EXPECT_EQ(0, PlayPause());
    EXPECT_EQ(0, SeekTo(1234, 1));
    EXPECT_EQ(1234u, playPosition.load());
    Bar2Notify n = {};
    n.position = 77;
    EXPECT_EQ(0, SeekFromBar(&n));
    EXPECT_EQ(77u, playPosition.load());
    EXPECT_EQ(1, CloseWave());
    EXPECT_EQ("", Joined(TakeLog()));
    playPosition = 0;
}

TEST_F(Engine, CloseDuringPlaybackWaitsForTheBlocks)
{
    Load(100000);
    PlayPause();
    TakeLog();
    g_dev.returnsDuringReset = false;
    // The device hands the blocks back a little after the reset, from its own thread.
    HANDLE deliverer = CreateThread(NULL, 0, DeliverLater, NULL, 0, NULL);
    EXPECT_EQ(1, CloseWave());
    WaitForSingleObject(deliverer, 5000);
    CloseHandle(deliverer);
    std::vector<std::string> log = TakeLog();
    EXPECT_EQ("reset, unprepare 0, unprepare 1, unprepare 2, unprepare 3, unprepare 4, unprepare 5, close", Joined(log));
    EXPECT_EQ("", Violations());
    EXPECT_EQ(PLAY_NONE, PlayState.load());
}

TEST_F(Engine, DragStormDuringPlayback)
{
    std::string samples = Load(400000);
    repeatOn = 1;
    PlayPause();
    // The device returns blocks from its own thread while the bar restarts playback on every move.
    g_stopDevice = 0;
    HANDLE device = CreateThread(NULL, 0, DeviceThread, NULL, 0, NULL);
    srand(1234);
    Bar2Notify n = {};
    for (int i = 0; i < 400; ++i) {
        g_dev.returnsDuringReset = (i % 3) != 0;
        n.position = static_cast<UINT>(rand() % 400000);
        ASSERT_EQ(1, SeekFromBar(&n));
        if (i % 50 == 0)
            testutil::PumpPending();
    }
    g_stopDevice = 1;
    WaitForSingleObject(device, 5000);
    CloseHandle(device);
    DeliverPending();
    Idle();
    EXPECT_EQ("", Violations());
    EXPECT_EQ(PLAY_PLAYING, PlayState.load());
    // Every block written holds whole frames of the file, read from a frame boundary.
    std::string s = Stream();
    std::vector<std::pair<size_t, size_t>> writes = g_dev.writes;
    EXPECT_GE(writes.size(), 6u);
    EXPECT_EQ(6u, Queued()) << "every block is back in circulation";
    for (const auto& w : writes) {
        size_t at = samples.find(s.substr(w.first, 64));
        ASSERT_NE(std::string::npos, at) << "block at " << w.first << " is not from the file";
        EXPECT_EQ(0u, at % 4) << "block at " << w.first << " starts inside a frame";
        EXPECT_EQ(samples.substr(at, w.second), s.substr(w.first, w.second)) << "block at " << w.first;
    }
}

TEST_F(Engine, CallbackIgnoresOtherMessagesAndForeignHeaders)
{
    Load(100000);
    PlayPause();
    Idle();
    unsigned long before = RefillCount();
    WaveDoneCallback(kHandle, MM_WOM_OPEN, 0, 0, 0);
    WaveDoneCallback(kHandle, MM_WOM_CLOSE, 0, 0, 0);
    WAVEHDR foreign = {};
    WaveDoneCallback(kHandle, MM_WOM_DONE, 0, reinterpret_cast<DWORD_PTR>(&foreign), 0);
    Idle();
    EXPECT_EQ(before + 1, RefillCount()) << "only the MM_WOM_DONE reaches the refill thread";
    EXPECT_EQ(6u, Writes(TakeLog()).size()) << "a header that is not one of the blocks is ignored";
}

TEST_F(Engine, DeviceRefusingTheFormatSaysTheDeviceCouldNotOpen)
{
    g_dev.openResult = WAVERR_BADFORMAT;
    std::string p = enginerig::WriteTempFile("refused.wav", SimpleWave(2, 44100, 16, RampSamples(400)));
    testutil::MessageBoxSeen box;
    testutil::DialogAnswer answer(testutil::ReadAndPress(box, IDOK));
    EXPECT_EQ(0, LoadWave(p.c_str()));
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(std::string(playertext::kDeviceFailed), box.text);
    EXPECT_EQ("Orvandel", box.caption);
    EXPECT_EQ(PLAY_NONE, PlayState.load());
    g_dev.openResult = MMSYSERR_NOERROR;
    Load(1000);
    EXPECT_EQ(PLAY_STOPPED, PlayState.load()) << "the player stays usable";
}

namespace {

const char* const kStateName[] = {"none", "stopped", "playing", "paused"};  // by PLAY_ value

// The PREPARE and DISCARD bits of every block, decoded: "prepare x6", or each block's bits when
// they differ ("- discard prepare ...").
std::string BlockBits()
{
    std::string all, same;
    for (int i = 0; i < BLOCK_COUNT; ++i) {
        DWORD_PTR b = waveBlocks[i].dwUser & (BLOCK_PREPARE | BLOCK_DISCARD);
        std::string one = b == BLOCK_PREPARE ? "prepare" : b == BLOCK_DISCARD ? "discard" : b ? "both" : "-";
        all += (i ? " " : "") + one;
        same = (i == 0 || same == one) ? one : "";
    }
    return same.empty() ? all : same + " x6";
}

// One seek: the state it starts from, the command, and what the device and the engine do.
struct SeekRow {
    const char* name;
    int before;          // PLAY_STOPPED, PLAY_PLAYING or PLAY_PAUSED, reached from a stop at `start`
    UINT start;
    int returnedFirst;   // blocks the device hands back (and the engine refills) before the seek
    bool fromBar;        // SeekFromBar; else SeekTo with `restart`
    UINT to;
    int restart;
    bool returnsInReset; // the device delivers the reset's returns before the reset returns
    const char* calls;   // the device calls the seek makes (those of the priming again left out)
    const char* bitsNow; // the blocks' bits right after the seek, read while the returns are still pending
    int after;           // the new state; PLAY_PLAYING means primed again with six blocks from `to`
    UINT bar;            // the bar's position afterwards (0: not checked)
};

const SeekRow kSeekRows[] = {
    // name (the test's)                          before        start returned fromBar to     restart inReset calls           bitsNow         after         bar
    {"PausedSeekToRestartingStops",                PLAY_PAUSED,  0,    0,       false, 5000,  1,      true,   "pause, reset", nullptr,        PLAY_STOPPED, 5000},
    {"PlayingSeekToRestartingReturnsInsideReset",  PLAY_PLAYING, 0,    2,       false, 50000, 1,      true,   "pause, reset", nullptr,        PLAY_PLAYING, 0},
    {"PlayingSeekToRestartingReturnsAfterReset",   PLAY_PLAYING, 0,    2,       false, 50000, 1,      false,  "pause, reset", "prepare x6",   PLAY_PLAYING, 0},
    {"PlayingSeekToNotRestartingStops",            PLAY_PLAYING, 0,    0,       false, 7000,  0,      false,  "pause, reset", "discard x6",   PLAY_STOPPED, 7000},
    {"StoppedSeekFromBarMovesOnlyThePosition",     PLAY_STOPPED, 7000, 0,       true,  9000,  0,      true,   "",             nullptr,        PLAY_STOPPED, 7000},
    {"PlayingSeekFromBarResetsWithoutPause",       PLAY_PLAYING, 9000, 0,       true,  12000, 0,      true,   "reset",        nullptr,        PLAY_PLAYING, 0},
    {"PausedSeekFromBarStops",                     PLAY_PAUSED,  12000, 0,      true,  3000,  0,      true,   "pause, reset", nullptr,        PLAY_STOPPED, 0},
};

// The log without the calls of the priming that follows (each block unprepared, prepared and
// written again); the number of those calls of each kind goes to *each (all three must match).
std::vector<std::string> WithoutPriming(const std::vector<std::string>& log, std::string* each)
{
    std::vector<std::string> r;
    std::map<std::string, int> n;
    for (const std::string& s : log) {
        std::string kind = s.substr(0, s.find(' '));
        if (kind == "unprepare" || kind == "prepare" || kind == "write")
            ++n[kind];
        else
            r.push_back(s);
    }
    *each = std::to_string(n["unprepare"]) + " unprepare, " + std::to_string(n["prepare"]) + " prepare, " +
            std::to_string(n["write"]) + " write";
    return r;
}

}  // namespace

class SeekRows : public Engine, public ::testing::WithParamInterface<SeekRow> {};

// Each seek row: the device calls, the blocks' bits, the new state and position, and where the
// sound goes on (primed again from the new place, or the next play starting there).
TEST_P(SeekRows, DeviceCallsStateAndWhatPlaysNext)
{
    const SeekRow& row = GetParam();
    std::string samples = Load(200000);
    SeekTo(row.start, 0);
    if (row.before != PLAY_STOPPED)
        PlayPause();
    ReturnOldest(row.returnedFirst);
    Idle();
    if (row.before == PLAY_PAUSED)
        PlayPause();
    ASSERT_STREQ(kStateName[row.before], kStateName[PlayState.load()]);
    TakeLog();
    g_dev.returnsDuringReset = row.returnsInReset;
    size_t before = Stream().size();
    Bar2Notify n = {};
    n.position = row.to;
    ASSERT_EQ(1, row.fromBar ? SeekFromBar(&n) : SeekTo(row.to, row.restart));
    EXPECT_STREQ(kStateName[row.after], kStateName[PlayState.load()]);
    std::vector<std::string> log;
    if (!row.returnsInReset) {
        log = TakeLog();
        EXPECT_EQ(row.calls, Joined(log)) << "before the returns arrive";
        EXPECT_EQ(row.bitsNow, BlockBits()) << "before the returns arrive";
        DeliverPending();
    }
    Idle();
    g_dev.returnsDuringReset = true;  // what follows the seek plays as usual
    std::vector<std::string> rest = TakeLog();
    log.insert(log.end(), rest.begin(), rest.end());
    const size_t primed = row.after == PLAY_PLAYING ? BLOCK_COUNT : 0;
    std::string priming;
    EXPECT_EQ(row.calls, Joined(WithoutPriming(log, &priming))) << "device calls: " << Joined(log);
    const std::string k = std::to_string(primed);
    EXPECT_EQ(k + " unprepare, " + k + " prepare, " + k + " write", priming) << "device calls: " << Joined(log);
    EXPECT_EQ(row.after == PLAY_PLAYING ? "-" : "prepare", BlockBits().substr(0, BlockBits().find(' ')))
        << BlockBits();
    EXPECT_EQ(samples.substr(row.to * 4, primed * 20000), Stream().substr(before)) << "from the new place on";
    EXPECT_EQ(row.to + primed * 5000, playPosition.load());
    if (row.bar) {
        UINT p = 1;
        rig->Bar(nullptr, nullptr, nullptr, nullptr, &p);
        EXPECT_EQ(row.bar, p) << "SeekTo moves the bar, SeekFromBar leaves it alone";
    }
    if (!primed)
        PlayPause();
    ReturnOldest(static_cast<int>(primed));  // a primed engine refills six blocks more
    Idle();
    EXPECT_EQ(samples.substr(row.to * 4, 120000 + primed * 20000), Stream().substr(before))
        << (primed ? "refilled on from the new place" : "the next play starts at the new place");
    CloseWave();
}

INSTANTIATE_TEST_SUITE_P(Engine, SeekRows, ::testing::ValuesIn(kSeekRows),
                         [](const ::testing::TestParamInfo<SeekRow>& info) { return std::string(info.param.name); });
