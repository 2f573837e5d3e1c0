// wave_loader.h - LoadWave: opens a WAVE file, walks its header, opens the output device at the
// transposed rate, allocates the six blocks and resets the position bar.
//
// Classes in this header:
//   WaveInfo   the facts about the loaded file that playback and the time display use
#pragma once

#include <windows.h>

struct WaveInfo {
    unsigned long dataOffset;      // file offset of the first sample byte
    unsigned long dataBytes;       // the data chunk's declared size
    unsigned long bytesPerSample;  // wBitsPerSample / 8
    unsigned long bytesPerFrame;   // nChannels * bytesPerSample
    unsigned long totalFrames;     // dataBytes / bytesPerFrame
    unsigned long sampleRate;      // nSamplesPerSec as read from the file
    unsigned long blockBytes;      // bytes of a full block: the whole frames that fit in 20000
};

// The loaded file's facts (all zero before the first load).
extern WaveInfo waveInfo;

// Loads the file at path (after CloseWave); returns 1 when it is loaded and the device open, 0 on
// any failure after its message was shown.
int LoadWave(const char* path);

// The format record handed to the device by the last successful load (for the tests), and its size.
const WAVEFORMATEX* LoadedFormat(unsigned long* bytes);
