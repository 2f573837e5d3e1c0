// playback.cpp - the playback engine.
#include "playback.h"

#include <new>
#include <string.h>

#include "position_bar.h"
#include "resource.h"
#include "settings.h"
#include "shell.h"
#include "time_stretch.h"
#include "wave_loader.h"

std::atomic<int> PlayState(PLAY_NONE);
HWAVEOUT waveDevice = NULL;
WAVEHDR waveBlocks[BLOCK_COUNT];
std::atomic<UINT> playPosition(0);
std::atomic<UINT> markerStart(0);
std::atomic<UINT> markerEnd(0);
std::atomic<int> repeatOn(0);
std::atomic<int> timeTextReady(0);
char timeText[20];

namespace {

const WaveOutApi kRealWaveOut = {
    waveOutOpen, waveOutPrepareHeader, waveOutUnprepareHeader, waveOutWrite,
    waveOutPause, waveOutRestart, waveOutReset, waveOutClose,
};

std::atomic<const WaveOutApi*> g_api(&kRealWaveOut);

// How long a close waits for the device to hand back the blocks a reset returned.
const DWORD kReturnTimeoutMs = 3000;

// One returned block, as the callback saw it.
struct Returned {
    HWAVEOUT device;
    WAVEHDR* header;
};

const unsigned kQueueSize = 64;

// The refill thread and what it shares. The engine lock guards the block flags (dwUser), which
// blocks the device holds, the file, and playPosition whenever a refill or a seek changes it.
// The queue lock guards only the queue of returned blocks; the callback takes nothing else.
struct Engine {
    CRITICAL_SECTION lock;
    CRITICAL_SECTION queueLock;
    bool held[BLOCK_COUNT];          // written to the device, return not yet handled
    Returned queue[kQueueSize];
    unsigned head, tail;             // queue positions, under queueLock
    unsigned long queued, handled;   // counts of returns, under queueLock
    HANDLE wake;                     // semaphore: one count per queued return
    HANDLE handledEvent;             // set after every handled return
    HANDLE thread;

    Engine() : held(), queue(), head(0), tail(0), queued(0), handled(0)
    {
        InitializeCriticalSection(&lock);
        InitializeCriticalSection(&queueLock);
        wake = CreateSemaphoreA(NULL, 0, 0x7FFFFFFF, NULL);
        handledEvent = CreateEventA(NULL, FALSE, FALSE, NULL);
        thread = CreateThread(NULL, 0, RefillThread, this, 0, NULL);
    }

    static DWORD WINAPI RefillThread(void* param)
    {
        Engine* e = static_cast<Engine*>(param);
        for (;;) {
            if (WaitForSingleObject(e->wake, INFINITE) != WAIT_OBJECT_0)
                return 0;
            Returned r = {};
            bool have = false;
            EnterCriticalSection(&e->queueLock);
            if (e->head != e->tail) {
                r = e->queue[e->head % kQueueSize];
                ++e->head;
                have = true;
            }
            LeaveCriticalSection(&e->queueLock);
            if (have)
                RefillBlock(r.device, MM_WOM_DONE, r.header);
            EnterCriticalSection(&e->queueLock);
            ++e->handled;
            LeaveCriticalSection(&e->queueLock);
            SetEvent(e->handledEvent);
        }
    }
};

Engine& TheEngine()
{
    static Engine engine;
    return engine;
}

std::atomic<Engine*> g_engine(nullptr);

Engine& StartEngine()
{
    Engine& e = TheEngine();
    g_engine.store(&e);
    return e;
}

class EngineLock {
public:
    explicit EngineLock(Engine& e) : m_e(e) { EnterCriticalSection(&m_e.lock); }
    ~EngineLock() { LeaveCriticalSection(&m_e.lock); }
    EngineLock(const EngineLock&) = delete;
    EngineLock& operator=(const EngineLock&) = delete;

private:
    Engine& m_e;
};

int BlockIndex(const WAVEHDR* header)
{
    for (int i = 0; i < BLOCK_COUNT; ++i)
        if (header == &waveBlocks[i])
            return i;
    return -1;
}

// Moves the file to a 32-bit absolute offset; CFiler moves by signed 32-bit distances, so offsets
// past 2 GiB take a second, relative step.
void SeekFile(unsigned long offset)
{
    if (offset <= 0x7FFFFFFFul) {
        waveFile.SetFilePoint(offset, FILE_BEGIN);
    } else {
        waveFile.SetFilePoint(0x7FFFFFFFul, FILE_BEGIN);
        waveFile.SetFilePoint(offset - 0x7FFFFFFFul, FILE_CURRENT);
    }
}

// Reads L bytes of the source from frame P into dest; what the file does not hold plays as
// silence, never as a block's old contents.
void ReadSource(char* dest, uint32_t P, uint32_t L)
{
    uint64_t at = waveInfo.dataOffset + static_cast<uint64_t>(P) * waveInfo.bytesPerFrame;
    unsigned long got = 0;
    if (at <= 0xFFFFFFFFull) {
        SeekFile(static_cast<unsigned long>(at));
        got = waveFile.Read(dest, L);
        if (got > L)
            got = 0;  // 0xFFFFFFFF: the read failed
    }
    if (got < L)
        memset(dest + got, waveInfo.bytesPerSample == 1 ? 0x80 : 0, L - got);
}

// Prepares block i when it needs it and hands its first L bytes to the device.
void WriteBlock(Engine& e, int i, HWAVEOUT device, uint32_t L)
{
    WAVEHDR& h = waveBlocks[i];
    const WaveOutApi& api = *g_api.load();
    if ((h.dwUser & BLOCK_PREPARE) || !(h.dwFlags & WHDR_PREPARED)) {
        // Prepared once for a whole block; only the length changes from write to write.
        if (h.dwFlags & WHDR_PREPARED)
            api.UnprepareHeader(device, &h, sizeof h);
        h.dwBufferLength = waveInfo.blockBytes;
        api.PrepareHeader(device, &h, sizeof h);
        h.dwUser &= ~BLOCK_PREPARE;
    }
    h.dwBufferLength = L;
    if (api.Write(device, &h, sizeof h) == MMSYSERR_NOERROR)
        e.held[i] = true;
}

// The stretcher of the loaded file, its source frames' buffer and the rate the device plays at;
// all under the engine lock.
TimeStretch g_stretch;
char g_feed[BLOCK_BYTES];
uint32_t g_deviceRate = 0;

// Returns the stretch factor the speed and the key ask for now.
double CurrentFactor()
{
    return StretchFactor(speedPercent.load(), keepTempo.load(), waveInfo.sampleRate, g_deviceRate);
}

// The stretcher reads the open file.
class FileStretchSource : public StretchSource {
public:
    void Read(uint32_t frame, void* dest, uint32_t frames) override
    {
        ReadSource(static_cast<char*>(dest), frame, frames * waveInfo.bytesPerFrame);
    }
};

// Fills block i with stretched sound from the source frames at P on and queues it; returns
// whether the stretched stream has been played out (the pass has ended).
bool RefillStretched(Engine& e, int i, HWAVEOUT device, uint32_t S, uint32_t E, uint32_t& P, double factor)
{
    WAVEHDR& h = waveBlocks[i];
    const uint32_t bpf = waveInfo.bytesPerFrame;
    const uint32_t frames = waveInfo.blockBytes / bpf;
    FileStretchSource source;
    uint32_t done = StretchRefill(g_stretch, source, h.lpData, frames, S, E, P, repeatOn.load() != 0, factor, g_feed,
                                  frames);
    if (done != 0) {
        int v = volume.load();
        if (v != 0)
            ApplyGain(h.lpData, done * bpf, waveInfo.bytesPerSample, v);
        WriteBlock(e, i, device, done * bpf);
    }
    return done < frames;
}

// One refill of block i, under the engine lock: from the check for a discarded block to the write of
// the next piece and the new play position.
void RefillLocked(Engine& e, int i, HWAVEOUT device)
{
    WAVEHDR& h = waveBlocks[i];
    if (h.dwUser & BLOCK_DISCARD) {
        h.dwUser = (h.dwUser & ~BLOCK_DISCARD) | BLOCK_PREPARE;
        return;
    }
    if (PlayState.load() != PLAY_PLAYING || h.lpData == NULL)
        return;

    const uint32_t S = markerStart.load();
    uint32_t E = markerEnd.load();
    uint32_t P = playPosition.load();
    const uint32_t bpf = waveInfo.bytesPerFrame;
    if (E > waveInfo.totalFrames)
        E = waveInfo.totalFrames;  // a stale copy of the markers never reads past the data

    // Stretched while the speed (or the key with the tempo kept) asks for it, and on until the
    // next start or seek once the stretcher holds frames; plain for a range shorter than the
    // stretcher's window.
    const double factor = CurrentFactor();
    const bool stretch = g_stretch.Configured() && (factor != 1.0 || g_stretch.Active()) &&
                         (P < E || g_stretch.InputEnded()) && S < E && E - S >= g_stretch.MinFrames();
    if (!stretch && g_stretch.Active())
        g_stretch.Reset();
    bool atEnd = true;
    if (stretch) {
        atEnd = RefillStretched(e, i, device, S, E, P, factor);
        if (atEnd)
            g_stretch.Reset();
    } else if (P < E) {
        uint32_t L = BlockLength(P, E, bpf, waveInfo.blockBytes);
        ReadSource(h.lpData, P, L);
        int v = volume.load();
        if (v != 0)
            ApplyGain(h.lpData, L, waveInfo.bytesPerSample, v);
        WriteBlock(e, i, device, L);
        P += L / bpf;
        atEnd = P == E;
    }
    if (atEnd) {
        if (repeatOn.load()) {
            P = S;
        } else {
            for (int k = 0; k < BLOCK_COUNT; ++k)
                waveBlocks[k].dwUser |= BLOCK_PREPARE;
            PlayState.store(PLAY_STOPPED);
            P = S;
        }
    }
    playPosition.store(P);
    FormatTimeText(timeText, P, waveInfo.sampleRate);
    timeTextReady.store(1);
}

// Starts playback from playPosition: fills and queues every block that is free.
void PrimeBlocks(Engine& e)
{
    // Blocks of a pass that ended at the end marker may still be queued: have the device hand
    // them back first, so that none is written while it holds it.
    bool reset = false;
    {
        EngineLock lock(e);
        for (int i = 0; i < BLOCK_COUNT; ++i) {
            if (e.held[i] && !(waveBlocks[i].dwUser & BLOCK_DISCARD)) {
                waveBlocks[i].dwUser |= BLOCK_DISCARD;
                reset = true;
            }
        }
    }
    if (reset)
        g_api.load()->Reset(waveDevice);

    {
        EngineLock lock(e);
        g_stretch.Reset();  // a start plays on from playPosition, with nothing from before
        PlayState.store(PLAY_PLAYING);
    }
    for (int i = 0; i < BLOCK_COUNT; ++i) {
        EngineLock lock(e);
        WAVEHDR& h = waveBlocks[i];
        if (h.dwUser & BLOCK_DISCARD) {
            // Its return from the reset is still to be handled: that return refills it.
            h.dwUser = (h.dwUser & ~BLOCK_DISCARD) | BLOCK_PREPARE;
        } else if (!e.held[i] && h.lpData) {
            memset(h.lpData, 0, BLOCK_BYTES);
            RefillLocked(e, i, waveDevice);
        }
    }
}

// The common part of SeekTo and SeekFromBar.
int Seek(unsigned long position, int restart, bool pauseWhilePlaying)
{
    Engine& e = StartEngine();
    const WaveOutApi& api = *g_api.load();
    int state = PlayState.load();
    if (state == PLAY_NONE) {
        playPosition.store(position);
        return 0;
    }
    if (state == PLAY_PAUSED || (state == PLAY_PLAYING && pauseWhilePlaying))
        api.Pause(waveDevice);
    bool reset = false;
    {
        EngineLock lock(e);
        playPosition.store(position);
        g_stretch.Reset();
        state = PlayState.load();
        if (state == PLAY_PLAYING) {
            // Only the blocks the device holds come back from the reset.
            for (int i = 0; i < BLOCK_COUNT; ++i)
                if (e.held[i])
                    waveBlocks[i].dwUser |= BLOCK_DISCARD;
            PlayState.store(PLAY_STOPPED);
            reset = true;
        } else if (state == PLAY_PAUSED) {
            for (int i = 0; i < BLOCK_COUNT; ++i)
                waveBlocks[i].dwUser |= BLOCK_PREPARE;
            PlayState.store(PLAY_STOPPED);
            reset = true;
        }
    }
    if (reset)
        api.Reset(waveDevice);
    if (state == PLAY_PLAYING && restart)
        PrimeBlocks(e);
    return 1;
}

// Waits until the device has handed back every block and the refill thread has handled it;
// returns whether that happened within the timeout.
bool WaitBlocksReturned(Engine& e, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (BlocksHeld() == 0 && WaitRefillIdle(0))
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        WaitForSingleObject(e.handledEvent, timeoutMs - elapsed < 50 ? timeoutMs - elapsed : 50);
    }
}

}  // namespace

const WaveOutApi& CurrentWaveOut()
{
    return *g_api.load();
}

void SetWaveOutApi(const WaveOutApi* api)
{
    g_api.store(api ? api : &kRealWaveOut);
}

void CALLBACK WaveDoneCallback(HWAVEOUT device, UINT message, DWORD_PTR, DWORD_PTR param1, DWORD_PTR)
{
    // Runs on the device's thread: queue the block and wake the refill thread, nothing more.
    if (message != MM_WOM_DONE)
        return;
    Engine* e = g_engine.load();
    if (!e)
        return;
    EnterCriticalSection(&e->queueLock);
    bool room = e->tail - e->head < kQueueSize;
    if (room) {
        e->queue[e->tail % kQueueSize].device = device;
        e->queue[e->tail % kQueueSize].header = reinterpret_cast<WAVEHDR*>(param1);
        ++e->tail;
        ++e->queued;
    }
    LeaveCriticalSection(&e->queueLock);
    if (room)
        ReleaseSemaphore(e->wake, 1, NULL);
}

void RefillBlock(HWAVEOUT device, UINT message, WAVEHDR* header)
{
    if (message != MM_WOM_DONE)
        return;
    int i = BlockIndex(header);
    if (i < 0)
        return;
    Engine& e = StartEngine();
    EngineLock lock(e);
    e.held[i] = false;  // the device has handed it back
    RefillLocked(e, i, device);
}

int PlayPause()
{
    Engine& e = StartEngine();
    const WaveOutApi& api = *g_api.load();
    switch (PlayState.load()) {
    case PLAY_STOPPED:
        PrimeBlocks(e);
        return 1;
    case PLAY_PLAYING: {
        api.Pause(waveDevice);
        int expected = PLAY_PLAYING;
        if (!PlayState.compare_exchange_strong(expected, PLAY_PAUSED))
            api.Restart(waveDevice);  // the pass ended meanwhile: let its last blocks play out
        return 1;
    }
    case PLAY_PAUSED: {
        int expected = PLAY_PAUSED;
        PlayState.compare_exchange_strong(expected, PLAY_PLAYING);
        api.Restart(waveDevice);
        return 1;
    }
    default:
        return 0;
    }
}

int SeekTo(unsigned long position, int restart)
{
    mainForm.SendMessageChild(IDC_POSITION_BAR, BM2_SETPOS, 0, static_cast<LPARAM>(position));
    return Seek(position, restart, true);
}

int SeekFromBar(const Bar2Notify* notify)
{
    if (!notify)
        return 0;
    return Seek(notify->position, 1, false);
}

int CloseWave()
{
    Engine& e = StartEngine();
    const WaveOutApi& api = *g_api.load();
    if (PlayState.load() == PLAY_NONE) {
        EngineLock lock(e);
        memset(waveBlocks, 0, sizeof waveBlocks);
        return 1;
    }
    {
        EngineLock lock(e);
        for (int i = 0; i < BLOCK_COUNT; ++i)
            if (e.held[i])
                waveBlocks[i].dwUser |= BLOCK_DISCARD;
        PlayState.store(PLAY_STOPPED);
    }
    api.Reset(waveDevice);
    // A block is freed only after the device has handed it back.
    bool returned = WaitBlocksReturned(e, kReturnTimeoutMs);
    for (int i = 0; i < BLOCK_COUNT; ++i)
        if (waveBlocks[i].dwFlags & WHDR_PREPARED)
            api.UnprepareHeader(waveDevice, &waveBlocks[i], sizeof waveBlocks[i]);
    {
        EngineLock lock(e);
        for (int i = 0; i < BLOCK_COUNT; ++i) {
            if (!e.held[i] || returned)
                delete[] waveBlocks[i].lpData;  // one the device still holds is left to it
            waveBlocks[i].lpData = NULL;
        }
    }
    api.Close(waveDevice);
    waveFile.Close();
    {
        EngineLock lock(e);
        memset(waveBlocks, 0, sizeof waveBlocks);
        for (int i = 0; i < BLOCK_COUNT; ++i)
            e.held[i] = false;
        waveInfo.totalFrames = 0;
        waveDevice = NULL;
        g_stretch.Reset();
        PlayState.store(PLAY_NONE);
        playPosition.store(0);
    }
    mainForm.SendMessageChild(IDC_POSITION_BAR, BM2_SETRANGE, 0, 0);
    mainForm.SetTextChild(IDC_TIME_TEXT, "");
    return 1;
}

int TakeTimeText(char* text, UINT* position)
{
    Engine& e = StartEngine();
    EngineLock lock(e);
    if (!timeTextReady.load())
        return 0;
    memcpy(text, timeText, sizeof timeText);
    if (position)
        *position = playPosition.load();
    timeTextReady.store(0);
    return 1;
}

int AllocateBlocks()
{
    Engine& e = StartEngine();
    EngineLock lock(e);
    memset(waveBlocks, 0, sizeof waveBlocks);
    for (int i = 0; i < BLOCK_COUNT; ++i) {
        e.held[i] = false;
        waveBlocks[i].lpData = new (std::nothrow) char[BLOCK_BYTES];
        if (!waveBlocks[i].lpData) {
            for (int k = 0; k < i; ++k)
                delete[] waveBlocks[k].lpData;
            memset(waveBlocks, 0, sizeof waveBlocks);
            return 0;
        }
        memset(waveBlocks[i].lpData, 0, BLOCK_BYTES);
        waveBlocks[i].dwUser = BLOCK_PREPARE;
    }
    // The stretcher for the file's layout; a layout it cannot take plays unstretched.
    const WAVEFORMATEX* format = LoadedFormat(NULL);
    g_deviceRate = format->nSamplesPerSec;
    const uint32_t channels = waveInfo.bytesPerSample ? waveInfo.bytesPerFrame / waveInfo.bytesPerSample : 0;
    try {
        g_stretch.Configure(waveInfo.bytesPerSample, channels, waveInfo.sampleRate,
                            format->wFormatTag == WAVE_TAG_IEEE_FLOAT);
    } catch (const std::bad_alloc&) {
        g_stretch.Configure(0, 0, 0, false);
    }
    return 1;
}

int BlocksHeld()
{
    Engine& e = StartEngine();
    EngineLock lock(e);
    int n = 0;
    for (int i = 0; i < BLOCK_COUNT; ++i)
        n += e.held[i] ? 1 : 0;
    return n;
}

int WaitRefillIdle(DWORD timeoutMs)
{
    Engine& e = StartEngine();
    DWORD start = GetTickCount();
    for (;;) {
        EnterCriticalSection(&e.queueLock);
        bool idle = e.handled == e.queued;
        LeaveCriticalSection(&e.queueLock);
        if (idle)
            return 1;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return 0;
        WaitForSingleObject(e.handledEvent, timeoutMs - elapsed < 50 ? timeoutMs - elapsed : 50);
    }
}

unsigned long RefillCount()
{
    Engine& e = StartEngine();
    EnterCriticalSection(&e.queueLock);
    unsigned long n = e.handled;
    LeaveCriticalSection(&e.queueLock);
    return n;
}
