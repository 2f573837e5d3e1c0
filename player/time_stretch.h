// time_stretch.h - changes the tempo of PCM audio and leaves its pitch alone: overlap-add of
// windowed segments whose places are chosen by a similarity search (WSOLA). No Win32: built into
// the player and, on its own, natively for the sanitizers and the benchmarks.
//
// Classes in this header:
//   TimeStretch   a stream stretcher: source frames go in, stretched frames come out
//
// The stretcher sees one continuous stream of source frames. It never looks back further than it
// has to and never reads past what it was fed; everything it needs from one output block to the
// next (its input window, the segment being faded out, the nominal read place) is kept inside.
// Each step writes one hop of output: the end of the previous segment fading out into a new
// segment fading in, the new one taken near the nominal place where it best matches the faded-out
// continuation. The nominal place advances by hop * factor per step, so the frames consumed track
// the factor exactly over time, whatever the search picks.
#pragma once

#include <stdint.h>
#include <vector>

class TimeStretch {
public:
    // The narrowest and widest factors (source frames per output frame) the stretcher takes;
    // anything outside is limited to these.
    static constexpr double kMinFactor = 0.125;
    static constexpr double kMaxFactor = 4.0;

    TimeStretch();

    // Sets the sample layout (1, 2, 3 or 4 bytes a sample, isFloat for 32-bit IEEE floats,
    // 1 or more channels) and sizes the buffers for the rate; returns false for a layout it cannot
    // stretch, and is then unconfigured. Resets the stream.
    bool Configure(uint32_t bytesPerSample, uint32_t channels, uint32_t sampleRate, bool isFloat);
    bool Configured() const { return m_channels != 0; }

    // Forgets every frame fed and every step taken: the next frame fed starts a new stream.
    void Reset();
    // Returns whether frames were fed since the last reset.
    bool Active() const { return m_fed != 0; }

    // The shortest loop of source frames worth stretching: one window plus the search range.
    uint32_t MinFrames() const { return 2 * m_hop + 2 * m_search; }
    // Returns how many more frames Feed takes now.
    uint32_t Room() const;
    // Appends frames of source samples in the configured layout (at most Room()); returns the
    // frames taken.
    uint32_t Feed(const void* data, uint32_t frames);
    // Marks the end of the stream: what is left is played out against silence.
    void EndInput() { m_ended = true; }
    bool InputEnded() const { return m_ended; }
    // Returns whether the stream has ended and every frame of it has been played out.
    bool Finished() const;

    // Writes up to frames stretched frames to out in the configured layout at the factor; returns
    // the frames written, fewer when it needs input first (or the stream has finished).
    uint32_t Produce(void* out, uint32_t frames, double factor);

    // Source frames fed since the last reset.
    uint64_t FramesFed() const { return m_fed; }
    // Frames of one hop (the overlap) and of the search on each side of the nominal place.
    uint32_t Hop() const { return m_hop; }
    uint32_t Search() const { return m_search; }
    uint32_t BytesPerFrame() const { return m_bytes * m_channels; }

private:
    bool Step(double factor);
    float In(int64_t frame, uint32_t channel) const;
    int64_t FindSegment(int64_t nominal, int64_t continuation);
    void Compact();

    uint32_t m_bytes, m_channels, m_hop, m_search;
    bool m_float;
    std::vector<float> m_window;   // fade-in weights of one hop; the fade-out is 1 minus these
    std::vector<float> m_in;       // interleaved source samples from frame m_base on
    std::vector<float> m_monoRef;  // scratch of the search: the continuation, summed over channels
    std::vector<float> m_monoCand; //   and the candidates' frames
    std::vector<float> m_out;      // the last step's interleaved output
    uint32_t m_capacity;           // frames m_in holds
    int64_t m_base;                // stream frame of m_in[0]
    uint32_t m_have;               // frames in m_in
    uint64_t m_fed;                // frames fed since the reset
    bool m_ended;
    bool m_started;                // the first hop was copied
    int64_t m_prev;                // where the segment that is fading out begins
    double m_nominal;              // nominal place of that segment
    uint32_t m_outPos, m_outLen;   // frames of m_out handed out and held
};

// The playback speed in percent: its range, its step and the setting's value at first start.
const int SPEED_MIN = 25;
const int SPEED_MAX = 200;
const int SPEED_STEP = 5;
const int SPEED_DEFAULT = 100;

// Returns the speed brought into 25..200 and to the nearest multiple of 5 (halves go up).
int LimitSpeed(int percent);

// Writes the speed display ("SPD: %d%%") into text, which holds 16 bytes; returns nothing.
void FormatSpeedText(char* text, int percent);

// Returns the stretch factor (source frames per output frame) for the speed, and with keepTempo
// for a device opened at deviceRate for a file of sampleRate: the key's change of tempo is then
// undone, so that key and speed together play at the speed. Exactly 1 when nothing is stretched.
double StretchFactor(int percent, int keepTempo, uint32_t sampleRate, uint32_t deviceRate);

// Where a stretched refill reads its source frames (the open file, or memory).
class StretchSource {
public:
    virtual ~StretchSource() {}
    // Copies frames source frames from the frame on into dest; silence where the source has none.
    virtual void Read(uint32_t frame, void* dest, uint32_t frames) = 0;
};

// Fills out with up to frames stretched frames at the factor, feeding the stretcher from the
// source at P on (P advances by the frames fed) through feed, a buffer of feedFrames frames. At
// the end marker E the source goes on at the start marker S when repeat is set (the stretcher is
// not reset: the seam is heard as the source is), else the stream ends and is played out. Needs
// S < E. Returns the frames written; fewer than asked only when the stream has been played out.
uint32_t StretchRefill(TimeStretch& stretch, StretchSource& source, void* out, uint32_t frames, uint32_t S, uint32_t E,
                       uint32_t& P, bool repeat, double factor, void* feed, uint32_t feedFrames);
