// wave_core.h - the player's sound arithmetic that needs no Win32: the RIFF/WAVE header walk, the
// transposed output rate, the volume gain, block sizing, and the elapsed-time, key and volume
// texts. Built into the player and, on its own, natively for sanitizers, fuzzing and benchmarks.
//
// Classes in this header:
//   WaveSource   random-access bytes the header walk reads (the open file, or memory)
//   WaveHeader   what the header walk found: the format record and the data chunk's place
#pragma once

#include <stddef.h>
#include <stdint.h>

// The double value of the single-precision 1.059467: key +12 on 44100 Hz gives 88203 Hz.
const double SEMITONE_RATIO = 1.0594669580459595;

// The six rotating output blocks and their size in bytes.
const uint32_t BLOCK_BYTES = 20000;
const int BLOCK_COUNT = 6;

// Four-character codes as the little-endian words of their bytes.
const uint32_t RIFF_ID_RIFF = 0x46464952;
const uint32_t RIFF_ID_WAVE = 0x45564157;
const uint32_t RIFF_ID_FMT = 0x20746D66;
const uint32_t RIFF_ID_DATA = 0x61746164;

// Format tags the walk knows by name.
const uint16_t WAVE_TAG_PCM = 0x0001;
const uint16_t WAVE_TAG_IEEE_FLOAT = 0x0003;
const uint16_t WAVE_TAG_EXTENSIBLE = 0xFFFE;

// Size of the plain format record (WAVEFORMATEX) and of the largest record handed on.
const uint32_t WAVE_FORMAT_BYTES = 18;
const uint32_t WAVE_FORMAT_RECORD_MAX = 256;

class WaveSource {
public:
    virtual ~WaveSource() {}
    // Returns the bytes copied from the absolute offset into dest (fewer at the end, 0 on failure).
    virtual uint32_t ReadAt(uint64_t offset, void* dest, uint32_t count) = 0;
    // Returns the size of the source in bytes.
    virtual uint64_t Size() = 0;
};

// Results of the header walk; every one but WAVE_OK rejects the file.
enum WaveParseResult {
    WAVE_OK = 0,
    WAVE_NOT_RIFF,      // the first four bytes are not "RIFF" (or the file is shorter)
    WAVE_NOT_WAVE,      // bytes 8 to 11 are not "WAVE"
    WAVE_NO_FORMAT,     // the first chunk is not "fmt "
    WAVE_TRUNCATED,     // the format chunk's body is cut short by the end of the file
    WAVE_NO_DATA,       // the file ends before a "data" chunk
    WAVE_BAD_FORMAT     // no channels, under 8 bits, rate 0, or a frame bigger than a block
};

struct WaveHeader {
    // The format record for the output device, little-endian as in the file: the 18 bytes of a
    // WAVEFORMATEX followed by cbSize bytes. An extensible PCM or float format is reduced to the
    // equivalent plain one (cbSize 0); cbSize never claims more bytes than the record holds.
    uint8_t format[WAVE_FORMAT_RECORD_MAX];
    uint32_t formatBytes;       // 18 + cbSize
    uint16_t formatTag;
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    uint16_t cbSize;
    uint32_t formatChunkBytes;  // the format chunk's declared size
    uint32_t dataOffset;        // file offset of the first sample byte
    uint32_t dataBytes;         // the data chunk's declared size (limited to 32-bit offsets)
    uint32_t bytesPerSample;    // bitsPerSample / 8
    uint32_t bytesPerFrame;     // channels * bytesPerSample
    uint32_t totalFrames;       // dataBytes / bytesPerFrame
    uint32_t blockBytes;        // the whole frames that fit in one block: BLOCK_BYTES or a bit less
};

// Walks the RIFF chunks of the source into header; returns WAVE_OK or why the file is rejected.
WaveParseResult ParseWaveHeader(WaveSource& source, WaveHeader& header);

// Returns the largest multiple of bytesPerFrame not above BLOCK_BYTES (0 when a frame is larger).
uint32_t FullBlockBytes(uint32_t bytesPerFrame);

// Returns the device rate for the file's rate transposed by key semitones (truncated; saturates).
uint32_t OutputRate(uint32_t sampleRate, int key);

// Returns the bytes of the next block from frame P towards the end marker E: blockBytes, or the
// whole frames left, (E - P) * bytesPerFrame; 0 when P >= E.
uint32_t BlockLength(uint32_t P, uint32_t E, uint32_t bytesPerFrame, uint32_t blockBytes);

// Applies the gain of volume step v in place to bytes of samples of bytesPerSample each; returns
// nothing. The factor is about 1 + v/10; results beyond the sample type's range are clipped to
// its ends; 24-bit and other widths are left untouched, as is everything at v = 0.
void ApplyGain(void* data, uint32_t bytes, uint32_t bytesPerSample, int v);

// Writes the elapsed time of frame P at rate R as "%02d:%02d:%02d" (minutes, seconds,
// sixtieths) into text, which holds 20 bytes; returns nothing.
void FormatTimeText(char* text, uint32_t P, uint32_t R);

// Writes the key display ("  0", "+%2d", "-%2d") into text, which holds 8 bytes; returns nothing.
void FormatKeyText(char* text, int key);

// Writes the volume display ("VOL: +%.1fx") into text, which holds 32 bytes; returns nothing.
void FormatVolumeText(char* text, int volume);

// The widest key and volume the player keeps; anything further out is limited to these.
const int KEY_LIMIT = 999999;
const int VOLUME_LIMIT = 999999;

// Returns the value limited to [-limit, limit].
int LimitSetting(int value, int limit);
