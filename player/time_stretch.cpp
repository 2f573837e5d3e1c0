// time_stretch.cpp - the WSOLA stretcher.
#include "time_stretch.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

namespace {

// Widest layout the stretcher keeps in memory; wider files play unstretched.
const uint32_t kMaxChannels = 32;
// One hop is a fortieth of a second (the window two hops), the search half a hop each way.
const uint32_t kHopsPerSecond = 40;
const uint32_t kMinHop = 16;
const uint32_t kMaxHop = 8192;
// The coarse search tries every kCoarse-th place with every second frame, then every place around
// the best one.
const int64_t kCoarse = 4;
const double kPi = 3.14159265358979323846;

inline int32_t ClampToInt(double v, double lo, double hi)
{
    v = v < lo ? lo : (v > hi ? hi : v);
    return static_cast<int32_t>(lrint(v));
}

}  // namespace

TimeStretch::TimeStretch()
    : m_bytes(0), m_channels(0), m_hop(0), m_search(0), m_float(false), m_capacity(0), m_base(0), m_have(0),
      m_fed(0), m_ended(false), m_started(false), m_prev(0), m_nominal(0), m_outPos(0), m_outLen(0)
{
}

bool TimeStretch::Configure(uint32_t bytesPerSample, uint32_t channels, uint32_t sampleRate, bool isFloat)
{
    m_channels = 0;
    Reset();
    if (bytesPerSample < 1 || bytesPerSample > 4 || (isFloat && bytesPerSample != 4) || channels == 0 ||
        channels > kMaxChannels || sampleRate == 0)
        return false;
    m_bytes = bytesPerSample;
    m_float = isFloat;
    uint32_t hop = sampleRate / kHopsPerSecond;
    m_hop = hop < kMinHop ? kMinHop : (hop > kMaxHop ? kMaxHop : hop);
    m_search = m_hop / 2;
    // What one step can need beyond what it keeps: see Compact and Step.
    m_capacity = 6 * m_hop + 2 * m_search + 16;
    m_window.resize(m_hop);
    for (uint32_t j = 0; j < m_hop; ++j)
        m_window[j] = static_cast<float>(0.5 - 0.5 * cos(kPi * (j + 0.5) / m_hop));
    m_in.assign(static_cast<size_t>(m_capacity) * channels, 0.0f);
    m_monoRef.assign(m_hop, 0.0f);
    m_monoCand.assign(2 * m_search + m_hop + 1, 0.0f);
    m_out.assign(static_cast<size_t>(m_hop) * channels, 0.0f);
    m_channels = channels;
    return true;
}

void TimeStretch::Reset()
{
    m_base = 0;
    m_have = 0;
    m_fed = 0;
    m_ended = false;
    m_started = false;
    m_prev = 0;
    m_nominal = 0;
    m_outPos = m_outLen = 0;
}

uint32_t TimeStretch::Room() const
{
    return Configured() && !m_ended ? m_capacity - m_have : 0;
}

uint32_t TimeStretch::Feed(const void* data, uint32_t frames)
{
    uint32_t room = Room();
    if (frames > room)
        frames = room;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    float* dest = &m_in[static_cast<size_t>(m_have) * m_channels];
    const size_t n = static_cast<size_t>(frames) * m_channels;
    switch (m_bytes) {
    case 1:
        for (size_t i = 0; i < n; ++i)
            dest[i] = (static_cast<int>(p[i]) - 128) * (1.0f / 128);
        break;
    case 2:
        for (size_t i = 0; i < n; ++i) {
            int16_t s;
            memcpy(&s, p + 2 * i, 2);
            dest[i] = s * (1.0f / 32768);
        }
        break;
    case 3:
        for (size_t i = 0; i < n; ++i) {
            const uint8_t* b = p + 3 * i;
            int32_t s = static_cast<int32_t>(static_cast<uint32_t>(b[0]) << 8 | static_cast<uint32_t>(b[1]) << 16 |
                                             static_cast<uint32_t>(b[2]) << 24) >> 8;
            dest[i] = s * (1.0f / 8388608);
        }
        break;
    default:
        for (size_t i = 0; i < n; ++i) {
            if (m_float) {
                float f;
                memcpy(&f, p + 4 * i, 4);
                // Non-numbers play as silence; the loudest values are held where sums stay finite.
                dest[i] = f == f ? (f < -8.0f ? -8.0f : (f > 8.0f ? 8.0f : f)) : 0.0f;
            } else {
                int32_t s;
                memcpy(&s, p + 4 * i, 4);
                dest[i] = static_cast<float>(s * (1.0 / 2147483648.0));
            }
        }
        break;
    }
    m_have += frames;
    m_fed += frames;
    return frames;
}

bool TimeStretch::Finished() const
{
    if (!m_ended || m_outPos < m_outLen)
        return false;
    return m_fed == 0 || (m_started && m_prev + m_hop >= static_cast<int64_t>(m_fed));
}

float TimeStretch::In(int64_t frame, uint32_t channel) const
{
    int64_t i = frame - m_base;
    if (i < 0 || i >= static_cast<int64_t>(m_have))
        return 0.0f;  // past the end of an ended stream: silence
    return m_in[static_cast<size_t>(i) * m_channels + channel];
}

int64_t TimeStretch::FindSegment(int64_t nominal, int64_t continuation)
{
    const int64_t lo = nominal - m_search < m_base ? m_base : nominal - m_search;
    const int64_t hi = nominal + m_search;
    const uint32_t L = m_hop;
    for (uint32_t j = 0; j < L; ++j) {
        float s = 0;
        for (uint32_t c = 0; c < m_channels; ++c)
            s += In(continuation + j, c);
        m_monoRef[j] = s;
    }
    const int64_t span = hi - lo + L;
    for (int64_t k = 0; k < span; ++k) {
        float s = 0;
        for (uint32_t c = 0; c < m_channels; ++c)
            s += In(lo + k, c);
        m_monoCand[static_cast<size_t>(k)] = s;
    }
    // The similarity of a place: its correlation with the continuation over its own energy's root.
    auto score = [&](int64_t x, uint32_t stride) {
        const float* cand = &m_monoCand[static_cast<size_t>(x - lo)];
        float corr = 0, energy = 0;
        for (uint32_t j = 0; j < L; j += stride) {
            corr += m_monoRef[j] * cand[j];
            energy += cand[j] * cand[j];
        }
        return corr / sqrtf(energy + 1e-9f);
    };
    int64_t best = lo;
    float bestScore = -INFINITY;
    for (int64_t x = lo; x <= hi; x += kCoarse) {
        float s = score(x, 2);
        if (s > bestScore) {
            bestScore = s;
            best = x;
        }
    }
    const int64_t from = best - kCoarse + 1 < lo ? lo : best - kCoarse + 1;
    const int64_t to = best + kCoarse - 1 > hi ? hi : best + kCoarse - 1;
    bestScore = -INFINITY;
    for (int64_t x = from; x <= to; ++x) {
        float s = score(x, 1);
        if (s > bestScore) {
            bestScore = s;
            best = x;
        }
    }
    return best;
}

void TimeStretch::Compact()
{
    // The next step fades out from m_prev + hop and searches from the nominal place, which only
    // moves on, less the search range.
    int64_t keep = m_prev + m_hop;
    int64_t lowest = static_cast<int64_t>(floor(m_nominal)) - m_search;
    if (lowest < keep)
        keep = lowest;
    if (keep <= m_base)
        return;
    uint32_t drop = keep - m_base >= m_have ? m_have : static_cast<uint32_t>(keep - m_base);
    memmove(&m_in[0], &m_in[static_cast<size_t>(drop) * m_channels],
            static_cast<size_t>(m_have - drop) * m_channels * sizeof(float));
    m_base += drop;
    m_have -= drop;
}

bool TimeStretch::Step(double factor)
{
    const uint32_t L = m_hop;
    const int64_t end = m_base + m_have;
    if (!m_started) {
        // The stream starts as it is: its first hop is copied.
        if (!m_ended && end < static_cast<int64_t>(L))
            return false;
        for (uint32_t j = 0; j < L; ++j)
            for (uint32_t c = 0; c < m_channels; ++c)
                m_out[j * m_channels + c] = In(j, c);
        m_started = true;
        m_prev = 0;
        m_nominal = 0;
    } else {
        const double n = m_nominal + factor * L;
        const int64_t nominal = static_cast<int64_t>(floor(n));
        const int64_t continuation = m_prev + L;
        int64_t need = nominal + m_search + L;
        if (need < continuation + L)
            need = continuation + L;
        if (!m_ended && need > end)
            return false;
        const int64_t x = FindSegment(nominal, continuation);
        for (uint32_t j = 0; j < L; ++j) {
            const float w = m_window[j];
            for (uint32_t c = 0; c < m_channels; ++c)
                m_out[j * m_channels + c] = In(continuation + j, c) * (1.0f - w) + In(x + j, c) * w;
        }
        m_prev = x;
        m_nominal = n;
    }
    m_outPos = 0;
    m_outLen = L;
    Compact();
    return true;
}

uint32_t TimeStretch::Produce(void* out, uint32_t frames, double factor)
{
    if (!Configured())
        return 0;
    if (!(factor >= kMinFactor))
        factor = kMinFactor;
    if (factor > kMaxFactor)
        factor = kMaxFactor;
    uint8_t* p = static_cast<uint8_t*>(out);
    uint32_t done = 0;
    while (done < frames) {
        if (m_outPos == m_outLen) {
            if (Finished() || !Step(factor))
                break;
        }
        uint32_t n = m_outLen - m_outPos;
        if (n > frames - done)
            n = frames - done;
        const float* src = &m_out[static_cast<size_t>(m_outPos) * m_channels];
        const size_t count = static_cast<size_t>(n) * m_channels;
        switch (m_bytes) {
        case 1:
            for (size_t i = 0; i < count; ++i)
                *p++ = static_cast<uint8_t>(ClampToInt(src[i] * 128.0 + 128.0, 0, 255));
            break;
        case 2:
            for (size_t i = 0; i < count; ++i) {
                int16_t s = static_cast<int16_t>(ClampToInt(src[i] * 32768.0, -32768, 32767));
                memcpy(p, &s, 2);
                p += 2;
            }
            break;
        case 3:
            for (size_t i = 0; i < count; ++i) {
                uint32_t s = static_cast<uint32_t>(ClampToInt(src[i] * 8388608.0, -8388608, 8388607));
                *p++ = static_cast<uint8_t>(s);
                *p++ = static_cast<uint8_t>(s >> 8);
                *p++ = static_cast<uint8_t>(s >> 16);
            }
            break;
        default:
            for (size_t i = 0; i < count; ++i) {
                if (m_float) {
                    memcpy(p, &src[i], 4);
                } else {
                    int32_t s = ClampToInt(src[i] * 2147483648.0, -2147483648.0, 2147483647.0);
                    memcpy(p, &s, 4);
                }
                p += 4;
            }
            break;
        }
        m_outPos += n;
        done += n;
    }
    return done;
}

int LimitSpeed(int percent)
{
    if (percent <= SPEED_MIN)
        return SPEED_MIN;
    if (percent >= SPEED_MAX)
        return SPEED_MAX;
    return (percent + SPEED_STEP / 2) / SPEED_STEP * SPEED_STEP;
}

void FormatSpeedText(char* text, int percent)
{
    snprintf(text, 16, "SPD: %d%%", LimitSpeed(percent));
}

double StretchFactor(int percent, int keepTempo, uint32_t sampleRate, uint32_t deviceRate)
{
    double factor = LimitSpeed(percent) / 100.0;
    if (keepTempo && sampleRate != 0 && deviceRate != 0 && sampleRate != deviceRate)
        factor *= static_cast<double>(sampleRate) / deviceRate;
    return factor;
}

uint32_t StretchRefill(TimeStretch& stretch, StretchSource& source, void* out, uint32_t frames, uint32_t S, uint32_t E,
                       uint32_t& P, bool repeat, double factor, void* feed, uint32_t feedFrames)
{
    uint8_t* dest = static_cast<uint8_t*>(out);
    const uint32_t bytesPerFrame = stretch.BytesPerFrame();
    uint32_t done = 0;
    while (done < frames) {
        done += stretch.Produce(dest + static_cast<size_t>(done) * bytesPerFrame, frames - done, factor);
        if (done == frames || stretch.InputEnded())
            break;  // full, or played out
        if (P >= E) {  // the end marker was moved before P
            if (repeat && S < E) {
                P = S;
            } else {
                stretch.EndInput();
                continue;
            }
        }
        uint32_t want = feedFrames;
        if (want > stretch.Room())
            want = stretch.Room();
        if (want > E - P)
            want = E - P;
        if (want == 0)
            break;
        source.Read(P, feed, want);
        stretch.Feed(feed, want);
        P += want;
        if (P == E) {
            if (repeat)
                P = S;  // on from the start marker
            else
                stretch.EndInput();
        }
    }
    return done;
}
