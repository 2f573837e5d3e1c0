// fuzz_wave_header - libFuzzer target for the WAVE header walk: any input must be accepted or
// rejected without a crash, a hang or a read outside the input, and an accepted one must describe
// a data chunk and a format record that are consistent.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "wave_core.h"

namespace {

class FuzzSource : public WaveSource {
public:
    FuzzSource(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint32_t ReadAt(uint64_t offset, void* dest, uint32_t count) override
    {
        if (offset >= m_size)
            return 0;
        uint64_t left = m_size - offset;
        uint32_t n = count < left ? count : static_cast<uint32_t>(left);
        memcpy(dest, m_data + offset, n);
        return n;
    }
    uint64_t Size() override { return m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSource source(data, size);
    WaveHeader h;
    if (ParseWaveHeader(source, h) != WAVE_OK)
        return 0;
    uint16_t cb = static_cast<uint16_t>(h.format[16] | (h.format[17] << 8));
    if (h.bytesPerFrame == 0 || h.blockBytes == 0 || h.blockBytes % h.bytesPerFrame != 0 ||
        h.formatBytes != 18u + cb || h.formatBytes > WAVE_FORMAT_RECORD_MAX || h.dataOffset > size ||
        static_cast<uint64_t>(h.totalFrames) * h.bytesPerFrame > h.dataBytes)
        abort();
    // The arithmetic on what the walk found must hold up too.
    char text[20];
    FormatTimeText(text, h.totalFrames, h.samplesPerSec);
    uint32_t L = BlockLength(0, h.totalFrames, h.bytesPerFrame, h.blockBytes);
    if (L > h.blockBytes || L % h.bytesPerFrame != 0)
        abort();
    return 0;
}
