// playback.h - the playback engine: the play states, the six rotating output blocks, the refill
// thread that the device's callback wakes, seeks, play/pause and close.
//
// Classes in this header:
//   WaveOutApi   the waveform-output calls the engine makes: the real ones, or a test's own
//
// Threads. Commands, seeks and the priming of the blocks run on the window thread. The device's
// callback (WaveDoneCallback) only queues the returned block and wakes the engine's refill
// thread, which refills the blocks one by one in the order they came back; no waveform-output
// function is called inside the callback. The block flags, the play position and the file are
// touched under one engine lock, which is never held across waveOutReset, waveOutPause,
// waveOutRestart or waveOutClose. A block is refilled only after the device has returned it.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <atomic>

#include "wave_core.h"

struct Bar2Notify;

// Play states.
enum {
    PLAY_NONE = 0,      // no file
    PLAY_STOPPED = 1,   // file loaded and device open; no block is refilled
    PLAY_PLAYING = 2,   // blocks circulate
    PLAY_PAUSED = 3     // device paused with blocks queued
};

// Flag bits of a block's WAVEHDR::dwUser.
const DWORD_PTR BLOCK_DISCARD = 0x10000;  // returned by a reset: not refilled when it comes back
const DWORD_PTR BLOCK_PREPARE = 0x20000;  // prepare the header before its next write

// The waveform-output functions, as the engine calls them.
struct WaveOutApi {
    MMRESULT (WINAPI* Open)(LPHWAVEOUT, UINT, LPCWAVEFORMATEX, DWORD_PTR, DWORD_PTR, DWORD);
    MMRESULT (WINAPI* PrepareHeader)(HWAVEOUT, LPWAVEHDR, UINT);
    MMRESULT (WINAPI* UnprepareHeader)(HWAVEOUT, LPWAVEHDR, UINT);
    MMRESULT (WINAPI* Write)(HWAVEOUT, LPWAVEHDR, UINT);
    MMRESULT (WINAPI* Pause)(HWAVEOUT);
    MMRESULT (WINAPI* Restart)(HWAVEOUT);
    MMRESULT (WINAPI* Reset)(HWAVEOUT);
    MMRESULT (WINAPI* Close)(HWAVEOUT);
};

// The engine's state, one instance for the whole run.
extern std::atomic<int> PlayState;
extern HWAVEOUT waveDevice;                   // valid from a successful LoadWave until CloseWave
extern WAVEHDR waveBlocks[BLOCK_COUNT];       // all zero while no file is loaded
extern std::atomic<UINT> playPosition;   // frame at which the next block read begins
extern std::atomic<UINT> markerStart;    // the engine's copies of the bar's markers,
extern std::atomic<UINT> markerEnd;      //   written by the shell's timer
extern std::atomic<int> repeatOn;             // repeat the marked range
extern std::atomic<int> timeTextReady;        // timeText and playPosition are new
extern char timeText[20];                     // "%02d:%02d:%02d"; read it with TakeTimeText

// Returns the waveform-output functions in use.
const WaveOutApi& CurrentWaveOut();
// Makes the engine call api's functions (null: the real ones again); returns nothing.
void SetWaveOutApi(const WaveOutApi* api);

// The device's callback: queues a returned block for the refill thread; returns nothing.
void CALLBACK WaveDoneCallback(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                               DWORD_PTR param2);
// Refills and queues one returned block (MM_WOM_DONE only); returns nothing. Runs on the
// refill thread, one call per returned block.
void RefillBlock(HWAVEOUT device, UINT message, WAVEHDR* header);

// Play, pause or resume; returns 0 when no file is loaded, else 1.
int PlayPause();
// Moves the play position (restart: play on from there); returns 0 when no file is loaded, else 1.
int SeekTo(unsigned long position, int restart);
// Moves the play position to the dragged position and plays on; returns 0 without a file, else 1.
int SeekFromBar(const Bar2Notify* notify);
// Stops, releases the device and the blocks, and closes the file; returns 1.
int CloseWave();

// Copies timeText into text (20 bytes) and playPosition into *position when they are new and
// marks them taken; returns 1 when they were new, 0 otherwise.
int TakeTimeText(char* text, UINT* position);

// Sets up the six blocks for a freshly opened device; returns 1, or 0 when memory is short.
int AllocateBlocks();
// Returns the engine's lock-guarded count of blocks that the device holds.
int BlocksHeld();
// Waits until every returned block has been handled by the refill thread; returns 1, or 0 when
// timeoutMs passed first.
int WaitRefillIdle(DWORD timeoutMs);
// Returns the number of blocks the refill thread has handled since the program started.
unsigned long RefillCount();
