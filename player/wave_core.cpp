// wave_core.cpp - the player's sound arithmetic that needs no Win32.
#include "wave_core.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

namespace {

uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t Le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

void PutLe16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

// Reads exactly count bytes at offset; false when the source ends first.
bool ReadExactly(WaveSource& source, uint64_t offset, void* dest, uint32_t count)
{
    return source.ReadAt(offset, dest, count) == count;
}

// A chunk identifier as writers make them: four printable ASCII characters.
bool PlausibleId(uint32_t id)
{
    for (int i = 0; i < 4; ++i) {
        uint8_t c = static_cast<uint8_t>(id >> (8 * i));
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return true;
}

// The GUID tail that every KSDATAFORMAT_SUBTYPE_* for a plain tag shares:
// {tag-0000-0010-8000-00AA00389B71}, bytes 2 to 15 in file order.
const uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                    0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

}  // namespace

uint32_t FullBlockBytes(uint32_t bytesPerFrame)
{
    if (bytesPerFrame == 0 || bytesPerFrame > BLOCK_BYTES)
        return 0;
    return BLOCK_BYTES - BLOCK_BYTES % bytesPerFrame;
}

namespace {

// Reads the format chunk that must follow the RIFF header into header.format (at most the record's
// size; cbSize cut to the bytes held; an extensible record of plain PCM or float made plain) and
// the fields taken from it.
WaveParseResult ReadFormatChunk(WaveSource& source, WaveHeader& header)
{
    uint8_t chunk[8];
    if (!ReadExactly(source, 12, chunk, 8) || Le32(chunk) != RIFF_ID_FMT)
        return WAVE_NO_FORMAT;
    const uint32_t fmtSize = Le32(chunk + 4);
    header.formatChunkBytes = fmtSize;

    // The record is zeroed first, so a 16-byte chunk leaves cbSize 0; never more than the record.
    uint8_t* rec = header.format;
    uint32_t keep = fmtSize < WAVE_FORMAT_RECORD_MAX ? fmtSize : WAVE_FORMAT_RECORD_MAX;
    if (!ReadExactly(source, 20, rec, keep))
        return WAVE_TRUNCATED;
    header.formatTag = Le16(rec);
    header.channels = Le16(rec + 2);
    header.samplesPerSec = Le32(rec + 4);
    header.avgBytesPerSec = Le32(rec + 8);
    header.blockAlign = Le16(rec + 12);
    header.bitsPerSample = Le16(rec + 14);
    uint32_t cb = Le16(rec + 16);
    // cbSize may claim only bytes the record really holds.
    uint32_t held = keep > WAVE_FORMAT_BYTES ? keep - WAVE_FORMAT_BYTES : 0;
    if (cb > held)
        cb = held;
    if (header.formatTag == WAVE_TAG_EXTENSIBLE && cb >= 22) {
        // WAVEFORMATEXTENSIBLE: the sub-format GUID starts 24 bytes into the record (18 + 6).
        const uint8_t* guid = rec + 24;
        uint16_t sub = Le16(guid);
        if ((sub == WAVE_TAG_PCM || sub == WAVE_TAG_IEEE_FLOAT) && memcmp(guid + 2, kSubFormatTail, 14) == 0) {
            PutLe16(rec, sub);
            header.formatTag = sub;
            cb = 0;
        }
    }
    memset(rec + WAVE_FORMAT_BYTES + cb, 0, WAVE_FORMAT_RECORD_MAX - WAVE_FORMAT_BYTES - cb);
    PutLe16(rec + 16, static_cast<uint16_t>(cb));
    header.cbSize = static_cast<uint16_t>(cb);
    header.formatBytes = WAVE_FORMAT_BYTES + cb;
    return WAVE_OK;
}

// Walks the chunks after the format chunk to the data chunk and records where its samples start
// and how many bytes it claims.
WaveParseResult FindDataChunk(WaveSource& source, WaveHeader& header)
{
    const uint64_t size = source.Size();
    // The chunk walk. Every step moves forward by at least 8 bytes and stops at the end of the
    // file, so no input can make it loop. Odd-sized chunks are normally followed by a pad byte;
    // some writers leave it out, so where the padded place holds no chunk the unpadded one is tried.
    uint64_t next = 20 + static_cast<uint64_t>(header.formatChunkBytes);
    uint32_t pad = header.formatChunkBytes & 1;
    for (;;) {
        uint8_t padded[8] = {0};
        uint8_t plain[8] = {0};
        bool havePadded = pad && ReadExactly(source, next + 1, padded, 8);
        bool havePlain = ReadExactly(source, next, plain, 8);
        const uint8_t* use = 0;
        uint64_t at = 0;
        if (havePadded && Le32(padded) == RIFF_ID_DATA) {
            use = padded;
            at = next + 1;
        } else if (havePlain && Le32(plain) == RIFF_ID_DATA) {
            use = plain;
            at = next;
        } else if (havePadded && (PlausibleId(Le32(padded)) || !havePlain || !PlausibleId(Le32(plain)))) {
            use = padded;
            at = next + 1;
        } else if (havePlain) {
            use = plain;
            at = next;
        } else {
            return WAVE_NO_DATA;
        }
        uint32_t chunkSize = Le32(use + 4);
        if (Le32(use) == RIFF_ID_DATA) {
            uint64_t offset = at + 8;
            if (offset > 0xFFFFFFFFull)
                return WAVE_NO_DATA;
            header.dataOffset = static_cast<uint32_t>(offset);
            uint64_t room = 0xFFFFFFFFull - offset;
            header.dataBytes = chunkSize <= room ? chunkSize : static_cast<uint32_t>(room);
            return WAVE_OK;
        }
        next = at + 8 + chunkSize;
        pad = chunkSize & 1;
        if (next >= size)
            return WAVE_NO_DATA;
    }
}

}  // namespace

WaveParseResult ParseWaveHeader(WaveSource& source, WaveHeader& header)
{
    memset(&header, 0, sizeof header);

    uint8_t riff[12];
    uint32_t got = source.ReadAt(0, riff, sizeof riff);
    if (got < 4 || Le32(riff) != RIFF_ID_RIFF)
        return WAVE_NOT_RIFF;
    if (got < 12 || Le32(riff + 8) != RIFF_ID_WAVE)
        return WAVE_NOT_WAVE;
    WaveParseResult result = ReadFormatChunk(source, header);
    if (result == WAVE_OK)
        result = FindDataChunk(source, header);
    if (result != WAVE_OK)
        return result;

    header.bytesPerSample = header.bitsPerSample / 8u;
    header.bytesPerFrame = header.channels * header.bytesPerSample;
    header.blockBytes = FullBlockBytes(header.bytesPerFrame);
    if (header.bytesPerFrame == 0 || header.blockBytes == 0 || header.samplesPerSec == 0)
        return WAVE_BAD_FORMAT;
    header.totalFrames = header.dataBytes / header.bytesPerFrame;
    return WAVE_OK;
}

uint32_t OutputRate(uint32_t sampleRate, int key)
{
    double rate = pow(SEMITONE_RATIO, static_cast<double>(key)) * static_cast<double>(sampleRate);
    if (!(rate >= 0.0))
        return 0;
    if (rate >= 4294967295.0)
        return 0xFFFFFFFFu;
    return static_cast<uint32_t>(rate);
}

uint32_t BlockLength(uint32_t P, uint32_t E, uint32_t bytesPerFrame, uint32_t blockBytes)
{
    if (P >= E)
        return 0;
    uint64_t left = static_cast<uint64_t>(E - P) * bytesPerFrame;
    return left >= blockBytes ? blockBytes : static_cast<uint32_t>(left);
}

namespace {

template <typename T>
T Clip(int64_t v, int64_t lo, int64_t hi)
{
    return static_cast<T>(v < lo ? lo : (v > hi ? hi : v));
}

}  // namespace

void ApplyGain(void* data, uint32_t bytes, uint32_t bytesPerSample, int v)
{
    if (v == 0)
        return;
    const int64_t v64 = v;
    uint8_t* p = static_cast<uint8_t*>(data);
    // For the steps the commands make, 8- and 16-bit products fit 32 bits: the quicker path.
    const bool narrow = v >= -65535 && v <= 65535;
    if (narrow && bytesPerSample == 1) {
        for (uint32_t i = 0; i < bytes; ++i) {
            int32_t s = static_cast<int32_t>(p[i]) - 128;
            int32_t r = 128 + s + s * v / 10;
            p[i] = static_cast<uint8_t>(r < 0 ? 0 : (r > 255 ? 255 : r));
        }
        return;
    }
    if (narrow && bytesPerSample == 2) {
        // Samples are little-endian, as is every machine the player runs on.
        const uint32_t n = bytes / 2;
        for (uint32_t i = 0; i < n; ++i) {
            int16_t s16;
            memcpy(&s16, p + 2 * i, 2);
            int32_t s = s16;
            int32_t r = s + s * v / 10;
            r = r < -32768 ? -32768 : (r > 32767 ? 32767 : r);
            int16_t out = static_cast<int16_t>(r);
            memcpy(p + 2 * i, &out, 2);
        }
        return;
    }
    switch (bytesPerSample) {
    case 1:
        for (uint32_t i = 0; i < bytes; ++i) {
            int64_t s = static_cast<int64_t>(p[i]) - 128;
            p[i] = Clip<uint8_t>(128 + s + s * v64 / 10, 0, 255);
        }
        break;
    case 2:
        for (uint32_t i = 0; i + 2 <= bytes; i += 2) {
            int64_t s = static_cast<int16_t>(static_cast<uint16_t>(p[i] | (p[i + 1] << 8)));
            uint16_t r = static_cast<uint16_t>(Clip<int16_t>(s + s * v64 / 10, -32768, 32767));
            p[i] = static_cast<uint8_t>(r);
            p[i + 1] = static_cast<uint8_t>(r >> 8);
        }
        break;
    case 4:
        for (uint32_t i = 0; i + 4 <= bytes; i += 4) {
            int64_t s = static_cast<int32_t>(Le32(p + i));
            uint32_t r = static_cast<uint32_t>(Clip<int32_t>(s + (s / 10) * v64, INT32_MIN, INT32_MAX));
            p[i] = static_cast<uint8_t>(r);
            p[i + 1] = static_cast<uint8_t>(r >> 8);
            p[i + 2] = static_cast<uint8_t>(r >> 16);
            p[i + 3] = static_cast<uint8_t>(r >> 24);
        }
        break;
    default:
        break;  // 24-bit and other widths get no gain
    }
}

void FormatTimeText(char* text, uint32_t P, uint32_t R)
{
    if (R == 0) {
        snprintf(text, 20, "%02d:%02d:%02d", 0, 0, 0);
        return;
    }
    // 64-bit, so that R * 60 can neither wrap nor become zero.
    uint64_t perMinute = static_cast<uint64_t>(R) * 60;
    uint64_t minutes = P / perMinute;
    uint64_t rest = P - minutes * perMinute;
    uint64_t seconds = rest / R;
    uint64_t frames = rest - seconds * R;
    int sixtieths = static_cast<int>(static_cast<double>(frames) / R * 60);
    snprintf(text, 20, "%02d:%02d:%02d", static_cast<int>(minutes), static_cast<int>(seconds), sixtieths);
}

void FormatKeyText(char* text, int key)
{
    // Limited to six digits, so "+%2d" and "-%2d" always fit the 8 bytes.
    key = LimitSetting(key, KEY_LIMIT);
    unsigned magnitude = static_cast<unsigned>(key < 0 ? -key : key) % 1000000u;
    if (key == 0)
        snprintf(text, 8, "  0");
    else if (key > 0)
        snprintf(text, 8, "+%2u", magnitude);
    else
        snprintf(text, 8, "-%2u", magnitude);
}

void FormatVolumeText(char* text, int volume)
{
    snprintf(text, 32, "VOL: +%.1fx", static_cast<double>(volume * 0.1f));
}

int LimitSetting(int value, int limit)
{
    return value < -limit ? -limit : (value > limit ? limit : value);
}
