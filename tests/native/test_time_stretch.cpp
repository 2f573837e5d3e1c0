// The time stretcher on its own, under the sanitizers: random layouts, rates, speeds, block sizes,
// seeks, loop ranges and repeat switches, with every source read checked against the stream the
// position describes; and a sine stretched at fixed speeds keeps its pitch and its tempo.
#include <gtest/gtest.h>

#include <math.h>
#include <stdint.h>
#include <string.h>
#include <random>
#include <string>
#include <vector>

#include "time_stretch.h"

namespace {

// Samples in memory, and a check that the stretcher reads them as one stream: each read begins
// where the previous one ended, at the start marker when that was the end marker (or the end
// marker moved before it) and repeat is on, or where a seek put the position.
class CheckedSource : public StretchSource {
public:
    CheckedSource(const std::string& bytes, uint32_t bytesPerFrame)
        : data(bytes), bpf(bytesPerFrame), frames(static_cast<uint32_t>(bytes.size() / bytesPerFrame))
    {
    }
    void Read(uint32_t frame, void* dest, uint32_t count) override
    {
        bool inOrder = frame == after || (repeat && frame == S && after >= E);
        if (!inOrder && faults.empty())
            faults = "read at " + std::to_string(frame) + ", the stream goes on at " + std::to_string(after) +
                     " (markers " + std::to_string(S) + ".." + std::to_string(E) + ")";
        if (frame + static_cast<uint64_t>(count) > frames) {
            faults = "read past the data";
            return;
        }
        memcpy(dest, data.data() + static_cast<size_t>(frame) * bpf, static_cast<size_t>(count) * bpf);
        after = frame + count == E && repeat ? S : frame + count;
        read += count;
    }
    std::string data;
    uint32_t bpf, frames;
    uint32_t S = 0, E = 0;
    uint32_t after = 0;  // where the stream goes on: the position after the last read
    bool repeat = false;
    uint64_t read = 0;  // frames read since the last reset
    std::string faults;
};

// The magnitude of sample i of a buffer in the layout, as a fraction of full scale.
double Magnitude(const std::string& bytes, size_t i, uint32_t bytesPerSample, bool isFloat)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data()) + i * bytesPerSample;
    switch (bytesPerSample) {
    case 1: return fabs((p[0] - 128) / 128.0);
    case 2: return fabs(static_cast<int16_t>(p[0] | p[1] << 8) / 32768.0);
    case 3: return fabs((static_cast<int32_t>(static_cast<uint32_t>(p[0] << 8 | p[1] << 16 | p[2] << 24)) >> 8) / 8388608.0);
    default:
        if (isFloat) {
            float f;
            memcpy(&f, p, 4);
            return f == f ? fabs(f) : 1e30;  // a non-number is out of any range
        }
        int32_t s;
        memcpy(&s, p, 4);
        return fabs(s / 2147483648.0);
    }
}

// Random samples of up to the peak (a fraction of full scale), non-numbers among the floats.
std::string RandomSamples(std::mt19937& rng, size_t samples, uint32_t bytesPerSample, bool isFloat, double peak)
{
    std::uniform_real_distribution<double> value(-peak, peak);
    std::string out(samples * bytesPerSample, '\0');
    for (size_t i = 0; i < samples; ++i) {
        double v = value(rng);
        char* p = &out[i * bytesPerSample];
        if (isFloat) {
            float f = rng() % 97 == 0 ? NAN : static_cast<float>(v);
            memcpy(p, &f, 4);
        } else {
            int64_t s = llround(v * (1ll << (8 * bytesPerSample - 1)));
            if (bytesPerSample == 1)
                s += 128;
            for (uint32_t b = 0; b < bytesPerSample; ++b)
                p[b] = static_cast<char>(s >> (8 * b));
        }
    }
    return out;
}

}  // namespace

TEST(TimeStretch, RandomStreamsReadInOrderAndStayInRange)
{
    std::mt19937 rng(20261207);
    const uint32_t rates[] = {8000, 11025, 22050, 44100, 48000, 96000, 700, 250000};
    for (int run = 0; run < 24; ++run) {
        const uint32_t bps = 1 + rng() % 4;
        const bool isFloat = bps == 4 && rng() % 2;
        const uint32_t channels = 1 + rng() % 8;
        const uint32_t rate = rates[rng() % 8];
        TimeStretch ts;
        ASSERT_TRUE(ts.Configure(bps, channels, rate, isFloat));
        const uint32_t bpf = bps * channels;
        // From shorter than one window to several.
        const uint32_t total = 1 + rng() % (4 * ts.MinFrames());
        const double peak = 0.2 + (rng() % 80) / 100.0;
        CheckedSource src(RandomSamples(rng, static_cast<size_t>(total) * channels, bps, isFloat, peak), bpf);
        std::string feed(static_cast<size_t>(6000) * bpf, '\0');
        const std::string where = "run " + std::to_string(run) + ": " + std::to_string(bps * 8) + (isFloat ? "f" : "") +
                                  " bits, " + std::to_string(channels) + " channels, " + std::to_string(rate) + " Hz, " +
                                  std::to_string(total) + " frames";
        uint32_t S = 0, E = total, P = 0;
        bool repeat = true;
        ts.Reset();
        for (int refill = 0; refill < 60; ++refill) {
            const uint32_t r = rng() % 20;
            if (r == 0 || !ts.Active()) {  // a seek
                ts.Reset();
                P = rng() % total;
                src.after = P;
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
            double factor = 0.25 + (rng() % 176) / 100.0;
            if (rng() % 25 == 0)
                factor = (rng() % 2) ? NAN : 1000.0;  // limited, never trusted
            const uint32_t frames = 1 + rng() % 3000;
            std::string out(static_cast<size_t>(frames) * bpf, '\0');
            uint32_t done = StretchRefill(ts, src, &out[0], frames, S, E, P, repeat, factor, &feed[0], 6000);
            ASSERT_TRUE(src.faults.empty()) << where << ", refill " << refill << ": " << src.faults;
            ASSERT_EQ(src.read, ts.FramesFed()) << where << ": every frame read is fed, once";
            ASSERT_EQ(src.after, P) << where << ", refill " << refill << ": the position is not where the stream goes on";
            ASSERT_TRUE(done == frames || ts.Finished()) << where << ": a short block only at the stream's end";
            // Overlap-add weights sum to one: no output sample is louder than the loudest input.
            for (size_t i = 0; i < static_cast<size_t>(done) * channels; ++i)
                ASSERT_LE(Magnitude(out, i, bps, isFloat), peak + 2.0 / (1u << (8 * (bps < 3 ? bps : 3) - 1)))
                    << where << ", refill " << refill << ", sample " << i;
            if (ts.Finished()) {
                ts.Reset();
                P = S;
                src.after = P;
                src.read = 0;
            }
        }
    }
}

TEST(TimeStretch, SineKeepsItsPitchAndTheTempoFollowsTheFactor)
{
    struct Case {
        double factor;
        uint32_t bps, channels, rate;
    } cases[] = {
        {0.5, 2, 2, 44100}, {1.5, 2, 2, 44100}, {0.25, 1, 1, 22050}, {0.75, 3, 2, 48000},
        {2.0, 4, 6, 44100}, {4.0, 2, 1, 8000},  {1.0, 2, 2, 44100},
    };
    for (const Case& c : cases) {
        const uint32_t frames = c.rate * 4;
        const double hz = c.rate == 8000 ? 300 : 440;
        std::string src(static_cast<size_t>(frames) * c.channels * c.bps, '\0');
        for (uint32_t f = 0; f < frames; ++f) {
            int64_t s = llround(0.5 * sin(2 * 3.14159265358979323846 * hz * f / c.rate) * (1ll << (8 * c.bps - 1)));
            for (uint32_t ch = 0; ch < c.channels; ++ch)
                for (uint32_t b = 0; b < c.bps; ++b)
                    src[(static_cast<size_t>(f) * c.channels + ch) * c.bps + b] =
                        static_cast<char>((c.bps == 1 ? s + 128 : s) >> (8 * b));
        }
        TimeStretch ts;
        ASSERT_TRUE(ts.Configure(c.bps, c.channels, c.rate, false));
        CheckedSource source(src, c.bps * c.channels);
        std::string feed(static_cast<size_t>(4096) * c.bps * c.channels, '\0');
        std::string out(static_cast<size_t>(frames / c.factor + 4 * ts.Hop() + 8) * c.channels * c.bps, '\0');
        uint32_t P = 0, done = 0;
        const uint32_t capacity = static_cast<uint32_t>(out.size() / (c.channels * c.bps));
        while (!ts.Finished() && done < capacity) {
            uint32_t n = capacity - done < 1000 ? capacity - done : 1000;
            done += StretchRefill(ts, source, &out[static_cast<size_t>(done) * c.channels * c.bps], n, 0, frames, P,
                                  false, c.factor, &feed[0], 4096);
        }
        ASSERT_TRUE(ts.Finished()) << "factor " << c.factor;
        EXPECT_EQ(frames, ts.FramesFed());
        // The whole stream is heard, at the factor, within one hop and the search each way.
        EXPECT_NEAR(frames / c.factor, done, (ts.Hop() + ts.Search()) / c.factor + ts.Hop()) << "factor " << c.factor;
        // Rising zero crossings of the last channel, away from the ends.
        int crossings = 0;
        uint32_t first = 0, last = 0;
        double prev = 0;
        for (uint32_t f = ts.Hop() * 2; f + ts.Hop() * 2 < done; ++f) {
            size_t at = (static_cast<size_t>(f) * c.channels + c.channels - 1) * c.bps;
            int64_t s = 0;
            for (uint32_t b = 0; b < c.bps; ++b)
                s |= static_cast<int64_t>(static_cast<unsigned char>(out[at + b])) << (8 * b);
            double v = c.bps == 1 ? s - 128.0 : static_cast<double>(static_cast<int64_t>(static_cast<uint64_t>(s) << (64 - 8 * c.bps)) >> (64 - 8 * c.bps));
            if (prev < 0 && v >= 0) {
                if (crossings++ == 0)
                    first = f;
                last = f;
            }
            prev = v;
        }
        ASSERT_GT(crossings, 10) << "factor " << c.factor;
        double measured = (crossings - 1) * static_cast<double>(c.rate) / (last - first);
        EXPECT_NEAR(hz, measured, hz * 0.005) << "factor " << c.factor << ", " << c.bps * 8 << " bits";
    }
}
