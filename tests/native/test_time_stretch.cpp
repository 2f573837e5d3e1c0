// The time stretcher under the sanitizers, driven at random: layouts of 8 to 32 bits (and floats)
// and 1 to 8 channels, odd rates, speeds (and factors it must limit), block sizes, seeks, loop
// ranges and repeat switches. Every source read must continue the stream the position describes.
#include <gtest/gtest.h>

#include <math.h>
#include <string.h>
#include <random>
#include <string>

#include "time_stretch.h"

namespace {

// Samples in memory that check the reads: each begins where the stream goes on (after the
// previous read, at the start marker once that reached the end marker with repeat on, or where a
// seek put it); `after` is where the position belongs.
struct CheckedSource : StretchSource {
    std::string data, fault;
    uint32_t bpf = 0, S = 0, E = 0, after = 0;
    bool repeat = false;
    uint64_t read = 0;
    void Read(uint32_t frame, void* dest, uint32_t count) override
    {
        if (fault.empty() && frame != after && !(repeat && frame == S && after >= E))
            fault = "read at " + std::to_string(frame) + ", the stream goes on at " + std::to_string(after);
        if ((frame + static_cast<uint64_t>(count)) * bpf > data.size())
            fault = "read past the data";
        else
            memcpy(dest, &data[static_cast<size_t>(frame) * bpf], static_cast<size_t>(count) * bpf);
        after = frame + count == E && repeat ? S : frame + count;
        read += count;
    }
};

// Magnitude of sample i as a fraction of full scale; a non-number counts as out of range.
double Magnitude(const std::string& b, size_t i, uint32_t bps, bool isFloat)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(b.data()) + i * bps;
    if (isFloat) {
        float f;
        memcpy(&f, p, 4);
        return f == f ? fabs(f) : 1e30;
    }
    uint32_t u = 0;
    for (uint32_t k = 0; k < bps; ++k)
        u |= static_cast<uint32_t>(p[k]) << (8 * k + 32 - 8 * bps);
    return bps == 1 ? fabs(p[0] - 128.0) / 128 : fabs(static_cast<int32_t>(u) / 2147483648.0);
}

}  // namespace

TEST(TimeStretch, RandomStreamsReadInOrderAndStayInRange)
{
    std::mt19937 rng(20261207);
    const uint32_t rates[] = {8000, 11025, 22050, 44100, 48000, 96000, 700, 250000};
    for (int run = 0; run < 24; ++run) {
        const uint32_t bps = 1 + rng() % 4, channels = 1 + rng() % 8, rate = rates[rng() % 8];
        const bool isFloat = bps == 4 && rng() % 2;
        TimeStretch ts;
        ASSERT_TRUE(ts.Configure(bps, channels, rate, isFloat));
        const uint32_t bpf = bps * channels, total = 1 + rng() % (4 * ts.MinFrames());
        // Random samples up to the peak; non-numbers among the floats play as silence.
        const double peak = 0.2 + (rng() % 80) / 100.0;
        CheckedSource src;
        src.bpf = bpf;
        for (size_t i = 0; i < static_cast<size_t>(total) * channels; ++i) {
            double v = std::uniform_real_distribution<double>(-peak, peak)(rng);
            float f = rng() % 97 == 0 ? NAN : static_cast<float>(v);
            int64_t s = llround(v * (1ll << (8 * bps - 1))) + (bps == 1 ? 128 : 0);
            for (uint32_t k = 0; k < bps; ++k)
                src.data += isFloat ? reinterpret_cast<const char*>(&f)[k] : static_cast<char>(s >> (8 * k));
        }
        const std::string where = "run " + std::to_string(run) + ": " + std::to_string(bps * 8) + (isFloat ? "f" : "") +
                                  " bits, " + std::to_string(channels) + " ch, " + std::to_string(rate) + " Hz, " +
                                  std::to_string(total) + " frames";
        std::string feed(static_cast<size_t>(6000) * bpf, '\0');
        uint32_t S = 0, E = total, P = 0;
        bool repeat = true;
        for (int refill = 0; refill < 60; ++refill) {
            const uint32_t r = rng() % 20;
            if (r == 0 || !ts.Active() || ts.Finished()) {  // a seek (or a new start)
                ts.Reset();
                P = src.after = rng() % total;
                src.read = 0;
            } else if (r == 1) {  // the markers move
                S = rng() % total;
                E = S + 1 + rng() % (total - S);
            } else if (r == 2) {
                repeat = !repeat;
            }
            src.S = S;
            src.E = E;
            src.repeat = repeat;
            double factor = rng() % 25 ? 0.25 + (rng() % 176) / 100.0 : (rng() % 2 ? NAN : 1000.0);
            const uint32_t frames = 1 + rng() % 3000;
            std::string out(static_cast<size_t>(frames) * bpf, '\0');
            uint32_t done = StretchRefill(ts, src, &out[0], frames, S, E, P, repeat, factor, &feed[0], 6000);
            ASSERT_EQ("", src.fault) << where << ", refill " << refill;
            ASSERT_EQ(src.read, ts.FramesFed()) << where << ": every frame read is fed, once";
            ASSERT_EQ(src.after, P) << where << ", refill " << refill << ": the position is not where the stream goes on";
            ASSERT_TRUE(done == frames || ts.Finished()) << where << ": a short block only at the stream's end";
            // The overlap-add's weights sum to one: no output sample is louder than the input's peak.
            const double lsb = 2.0 / (1u << (8 * (bps < 3 ? bps : 3) - 1));
            for (size_t i = 0; i < static_cast<size_t>(done) * channels; ++i)
                ASSERT_LE(Magnitude(out, i, bps, isFloat), peak + lsb) << where << ", refill " << refill << ", sample " << i;
        }
    }
}
