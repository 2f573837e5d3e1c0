// bench_time_stretch - prints figures for the time stretcher (not a test; nothing is asserted):
// the CPU time of one stretched refill of a full block of 16-bit stereo at 44.1 kHz, looping a
// range of music-like sound, against the play time of that block, at 50 % and 150 % and a few
// other speeds. Built natively and for Windows (run under Wine).
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

#include "time_stretch.h"

namespace {

// CPU time of this thread, in seconds.
double CpuNow()
{
#ifdef _WIN32
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return ((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
#else
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
#endif
}

class MemorySource : public StretchSource {
public:
    explicit MemorySource(const std::vector<int16_t>& samples) : m_samples(samples) {}
    void Read(uint32_t frame, void* dest, uint32_t frames) override
    {
        memcpy(dest, &m_samples[static_cast<size_t>(frame) * 2], static_cast<size_t>(frames) * 4);
    }

private:
    const std::vector<int16_t>& m_samples;
};

}  // namespace

int main()
{
    const uint32_t rate = 44100, frames = rate * 10;
    const uint32_t blockFrames = 20000 / 4;  // one block of the player: 5000 frames
    // Three notes with overtones and a little noise, different on the two channels.
    std::vector<int16_t> samples(static_cast<size_t>(frames) * 2);
    uint32_t noise = 1;
    for (uint32_t f = 0; f < frames; ++f) {
        double t = static_cast<double>(f) / rate;
        double v = 0;
        const double notes[] = {220.0, 277.18, 329.63};
        for (double hz : notes)
            for (int k = 1; k <= 4; ++k)
                v += 0.05 / k * sin(2 * 3.14159265358979 * hz * k * t);
        noise = noise * 1103515245u + 12345u;
        v += ((noise >> 16) % 2000 - 1000) / 1e5;
        samples[2 * f] = static_cast<int16_t>(v * 32767);
        samples[2 * f + 1] = static_cast<int16_t>(v * 0.8 * 32767);
    }
    MemorySource source(samples);
    std::vector<char> block(blockFrames * 4), feed(blockFrames * 4);
    const double blockSeconds = static_cast<double>(blockFrames) / rate;

    printf("time stretch, 16-bit stereo 44100 Hz, blocks of %u frames (%.1f ms of play):\n", blockFrames,
           blockSeconds * 1e3);
    const double speeds[] = {0.5, 1.5, 0.25, 0.75, 2.0};
    for (double factor : speeds) {
        TimeStretch ts;
        ts.Configure(2, 2, rate, false);
        uint32_t P = 0;
        // Warm up, then time enough refills for the clock's granularity.
        for (int i = 0; i < 20; ++i)
            StretchRefill(ts, source, block.data(), blockFrames, 0, frames, P, true, factor, feed.data(), blockFrames);
        const int refills = 400;
        double start = CpuNow();
        for (int i = 0; i < refills; ++i)
            StretchRefill(ts, source, block.data(), blockFrames, 0, frames, P, true, factor, feed.data(), blockFrames);
        double perRefill = (CpuNow() - start) / refills;
        printf("  speed %3.0f%%: %.3f ms CPU a refill, %.2f%% of the block's play time\n", factor * 100,
               perRefill * 1e3, perRefill / blockSeconds * 100);
    }
    return 0;
}
