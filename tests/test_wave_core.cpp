// The player's sound arithmetic: header walk, output rate, gain, block sizing and the texts.
// Built both for Wine and natively (with the sanitizers).
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>
#include <string>
#include <vector>

#include "wave_core.h"
#include "native/wave_corpus.h"

namespace {

// A WaveSource over bytes in memory that records every read, so the tests see that nothing is
// read outside the file.
class MemorySource : public WaveSource {
public:
    explicit MemorySource(const std::string& bytes) : m_bytes(bytes) {}
    uint32_t ReadAt(uint64_t offset, void* dest, uint32_t count) override
    {
        ++reads;
        if (offset >= m_bytes.size())
            return 0;
        uint64_t left = m_bytes.size() - offset;
        uint32_t n = count < left ? count : static_cast<uint32_t>(left);
        memcpy(dest, m_bytes.data() + offset, n);
        return n;
    }
    uint64_t Size() override { return m_bytes.size(); }
    int reads = 0;

private:
    std::string m_bytes;
};

// A source that claims a size it does not have in memory: its bytes past the header read as zero.
class SparseSource : public WaveSource {
public:
    SparseSource(const std::string& head, uint64_t size) : m_head(head), m_size(size) {}
    uint32_t ReadAt(uint64_t offset, void* dest, uint32_t count) override
    {
        if (offset >= m_size)
            return 0;
        uint64_t left = m_size - offset;
        uint32_t n = count < left ? count : static_cast<uint32_t>(left);
        for (uint32_t i = 0; i < n; ++i)
            static_cast<char*>(dest)[i] = offset + i < m_head.size() ? m_head[offset + i] : 0;
        return n;
    }
    uint64_t Size() override { return m_size; }

private:
    std::string m_head;
    uint64_t m_size;
};

WaveParseResult Parse(const std::string& bytes, WaveHeader& h)
{
    MemorySource src(bytes);
    return ParseWaveHeader(src, h);
}

uint16_t RecordU16(const WaveHeader& h, int at)
{
    return static_cast<uint16_t>(h.format[at] | (h.format[at + 1] << 8));
}

uint32_t RecordU32(const WaveHeader& h, int at)
{
    return RecordU16(h, at) | (static_cast<uint32_t>(RecordU16(h, at + 2)) << 16);
}

}  // namespace

TEST(WaveHeaderWalk, PlainFileGivesItsFacts)
{
    std::string samples = RampSamples(4003);
    WaveHeader h;
    ASSERT_EQ(WAVE_OK, Parse(SimpleWave(2, 44100, 16, samples), h));
    EXPECT_EQ(44u, h.dataOffset);
    EXPECT_EQ(4003u, h.dataBytes);
    EXPECT_EQ(2u, h.bytesPerSample);
    EXPECT_EQ(4u, h.bytesPerFrame);
    EXPECT_EQ(1000u, h.totalFrames) << "the trailing partial frame is dropped";
    EXPECT_EQ(44100u, h.samplesPerSec);
    EXPECT_EQ(20000u, h.blockBytes);
    EXPECT_EQ(18u, h.formatBytes);
    EXPECT_EQ(0u, RecordU16(h, 16)) << "a 16-byte format chunk leaves cbSize 0";
    EXPECT_EQ(1u, RecordU16(h, 0));
    EXPECT_EQ(44100u * 4, RecordU32(h, 8));
}

TEST(WaveHeaderWalk, SampleWidthsAndBlockSizes)
{
    struct Case { uint16_t channels, bits; uint32_t perSample, perFrame, block; } cases[] = {
        {1, 8, 1, 1, 20000}, {2, 8, 1, 2, 20000}, {2, 16, 2, 4, 20000}, {1, 24, 3, 3, 19998},
        {2, 24, 3, 6, 19998}, {2, 32, 4, 8, 20000}, {6, 24, 3, 18, 19998}, {7, 16, 2, 14, 19992},
    };
    for (const Case& c : cases) {
        WaveHeader h;
        ASSERT_EQ(WAVE_OK, Parse(SimpleWave(c.channels, 48000, c.bits, RampSamples(600)), h)) << c.channels << "x" << c.bits;
        EXPECT_EQ(c.perSample, h.bytesPerSample) << c.channels << "x" << c.bits;
        EXPECT_EQ(c.perFrame, h.bytesPerFrame) << c.channels << "x" << c.bits;
        EXPECT_EQ(c.block, h.blockBytes) << c.channels << "x" << c.bits;
        EXPECT_EQ(0u, h.blockBytes % h.bytesPerFrame) << "blocks hold whole frames";
        EXPECT_EQ(600u / c.perFrame, h.totalFrames);
    }
}

TEST(WaveHeaderWalk, CorpusVerdicts)
{
    for (const CorpusEntry& e : WaveCorpus()) {
        MemorySource src(e.bytes);
        WaveHeader h;
        WaveParseResult r = ParseWaveHeader(src, h);
        EXPECT_EQ(e.verdict, r) << e.name;
        EXPECT_LT(src.reads, 64) << e.name << ": the walk must not wander";
        if (r == WAVE_OK) {
            EXPECT_LE(h.dataOffset, e.bytes.size()) << e.name;
            EXPECT_NE(0u, h.bytesPerFrame) << e.name;
            EXPECT_LE(h.formatBytes, WAVE_FORMAT_RECORD_MAX) << e.name;
            EXPECT_EQ(h.formatBytes - 18, RecordU16(h, 16)) << e.name << ": cbSize matches the record";
        }
    }
}

TEST(WaveHeaderWalk, ChunksBetweenFormatAndDataAreSkipped)
{
    std::string samples = RampSamples(400);
    WaveHeader h;
    // Padded odd chunk, as sox and the RIFF rules make it.
    std::string padded = WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16)).Chunk("LIST", "INFOabc", true)
                             .Chunk("data", samples).Fix();
    ASSERT_EQ(WAVE_OK, Parse(padded, h));
    EXPECT_EQ(padded.size() - 400, h.dataOffset);
    EXPECT_EQ(0, memcmp(padded.data() + h.dataOffset, samples.data(), 400));
    // The same without the pad byte.
    std::string unpadded = WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16)).Chunk("LIST", "INFOabc", false)
                               .Chunk("data", samples).Fix();
    ASSERT_EQ(WAVE_OK, Parse(unpadded, h));
    EXPECT_EQ(unpadded.size() - 400, h.dataOffset);
    // Several chunks, one of them "fact" with an odd size before a padded "JUNK".
    std::string many = WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16)).Chunk("fact", "\x01\x02\x03")
                           .Chunk("JUNK", std::string(28, '\0')).Chunk("data", samples).Fix();
    ASSERT_EQ(WAVE_OK, Parse(many, h));
    EXPECT_EQ(many.size() - 400, h.dataOffset);
}

TEST(WaveHeaderWalk, FormatRecordNeverClaimsMoreThanItHolds)
{
    WaveHeader h;
    // Extensible PCM becomes the plain PCM record.
    ASSERT_EQ(WAVE_OK, Parse(WaveBytes().Riff().Chunk("fmt ", ExtensibleBody(1, 2, 48000, 24)).Chunk("data", "123456")
                                 .Fix(), h));
    EXPECT_EQ(1u, RecordU16(h, 0));
    EXPECT_EQ(0u, RecordU16(h, 16));
    EXPECT_EQ(18u, h.formatBytes);
    EXPECT_EQ(48000u, RecordU32(h, 4));
    EXPECT_EQ(24u, RecordU16(h, 14));
    // Extensible float becomes the plain float record.
    ASSERT_EQ(WAVE_OK, Parse(WaveBytes().Riff().Chunk("fmt ", ExtensibleBody(3, 2, 44100, 32)).Chunk("data", "12345678")
                                 .Fix(), h));
    EXPECT_EQ(3u, RecordU16(h, 0));
    EXPECT_EQ(18u, h.formatBytes);
    // Another tag with extra bytes is handed on whole, in a record of its real size.
    ASSERT_EQ(WAVE_OK, Parse(WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16, 6)).Chunk("data", "1234").Fix(), h));
    EXPECT_EQ(24u, h.formatBytes);
    EXPECT_EQ(6u, RecordU16(h, 16));
    EXPECT_EQ(0x5A, h.format[18]);
    // A cbSize larger than the chunk is cut to the bytes the chunk holds.
    std::string body = FormatBody(1, 2, 44100, 16, 2);
    body[16] = static_cast<char>(0xFF);
    body[17] = static_cast<char>(0xFF);
    ASSERT_EQ(WAVE_OK, Parse(WaveBytes().Riff().Chunk("fmt ", body).Chunk("data", "1234").Fix(), h));
    EXPECT_EQ(2u, RecordU16(h, 16));
    EXPECT_EQ(20u, h.formatBytes);
}

TEST(WaveHeaderWalk, HugeFilesAreWalkedWithoutReadingAhead)
{
    // A 3 GiB file with a data chunk claiming all of it: the data size is limited to 32-bit offsets.
    std::string head = WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16)).Raw("data").U32(0xFFFFFFF0u).bytes;
    SparseSource src(head, 3ull << 30);
    WaveHeader h;
    ASSERT_EQ(WAVE_OK, ParseWaveHeader(src, h));
    EXPECT_EQ(44u, h.dataOffset);
    EXPECT_EQ(0xFFFFFFFFu - 44, h.dataBytes);
    EXPECT_EQ((0xFFFFFFFFu - 44) / 4, h.totalFrames);
}

TEST(OutputRate, TruncatedFromDoublePrecision)
{
    EXPECT_EQ(22049u, OutputRate(44100, -12));
    EXPECT_EQ(41624u, OutputRate(44100, -1));
    EXPECT_EQ(44100u, OutputRate(44100, 0));
    EXPECT_EQ(46722u, OutputRate(44100, 1));
    EXPECT_EQ(66077u, OutputRate(44100, 7));
    EXPECT_EQ(88203u, OutputRate(44100, 12));
    EXPECT_EQ(23998u, OutputRate(48000, -12));
    EXPECT_EQ(96004u, OutputRate(48000, 12));
    for (uint32_t r : {8000u, 11025u, 22050u, 96000u, 192000u, 1u, 0xFFFFFFFFu})
        EXPECT_EQ(r, OutputRate(r, 0));
    EXPECT_EQ(0xFFFFFFFFu, OutputRate(0xFFFFFFFFu, 12)) << "saturates instead of wrapping";
    EXPECT_EQ(0xFFFFFFFFu, OutputRate(44100, KEY_LIMIT));
    EXPECT_EQ(0u, OutputRate(44100, -KEY_LIMIT));
}

TEST(BlockLength, FullBlocksThenTheRestToTheEndMarker)
{
    EXPECT_EQ(20000u, BlockLength(0, 1000000, 4, 20000));
    EXPECT_EQ(20000u, BlockLength(0, 5000, 4, 20000)) << "exactly one block";
    EXPECT_EQ(19996u, BlockLength(1, 5000, 4, 20000));
    EXPECT_EQ(4u, BlockLength(4999, 5000, 4, 20000));
    EXPECT_EQ(0u, BlockLength(5000, 5000, 4, 20000));
    EXPECT_EQ(0u, BlockLength(6000, 5000, 4, 20000));
    EXPECT_EQ(19998u, BlockLength(0, 100000, 6, 19998));
    EXPECT_EQ(12u, BlockLength(98, 100, 6, 19998));
    // Near the top of the 32-bit range nothing wraps.
    EXPECT_EQ(20000u, BlockLength(0x3FFF0000u, 0x3FFFFFFFu, 4, 20000));
    EXPECT_EQ(4u, BlockLength(0x3FFFFFFEu, 0x3FFFFFFFu, 4, 20000));
}

TEST(Gain, SixteenBit)
{
    int16_t s[] = {20000, -20000, 1000, -1000, 9, -9, 0, 32767, -32768};
    int16_t before[sizeof s / sizeof s[0]];
    memcpy(before, s, sizeof s);
    ApplyGain(s, sizeof s, 2, 0);
    EXPECT_EQ(0, memcmp(before, s, sizeof s)) << "volume 0 touches nothing";
    ApplyGain(s, sizeof s, 2, 10);
    EXPECT_EQ(32767, s[0]) << "clipped, not wrapped to -25536";
    EXPECT_EQ(-32768, s[1]);
    EXPECT_EQ(2000, s[2]);
    EXPECT_EQ(-2000, s[3]);
    EXPECT_EQ(18, s[4]);
    EXPECT_EQ(-18, s[5]);
    EXPECT_EQ(0, s[6]);
    int16_t t[] = {1000, -1000, 19, -19, 3};
    ApplyGain(t, sizeof t, 2, 3);
    EXPECT_EQ(1300, t[0]);
    EXPECT_EQ(-1300, t[1]);
    EXPECT_EQ(19 + 5, t[2]) << "trunc(57/10) = 5";
    EXPECT_EQ(-19 - 5, t[3]) << "truncation toward zero";
    EXPECT_EQ(3, t[4]);
    int16_t u[] = {1000, -1000};
    ApplyGain(u, sizeof u, 2, -5);
    EXPECT_EQ(500, u[0]) << "a hand-edited negative step halves";
    EXPECT_EQ(-500, u[1]);
}

TEST(Gain, EightBit)
{
    uint8_t s[] = {128, 192, 64, 130, 126, 255, 0};
    ApplyGain(s, sizeof s, 1, 10);
    EXPECT_EQ(128, s[0]) << "silence stays silence";
    EXPECT_EQ(255, s[1]) << "clipped, not wrapped to 0";
    EXPECT_EQ(0, s[2]);
    EXPECT_EQ(132, s[3]);
    EXPECT_EQ(124, s[4]);
    EXPECT_EQ(255, s[5]);
    EXPECT_EQ(0, s[6]);
    uint8_t t[] = {138, 118};
    ApplyGain(t, sizeof t, 1, 5);
    EXPECT_EQ(143, t[0]);
    EXPECT_EQ(113, t[1]);
}

TEST(Gain, ThirtyTwoBitDividesBeforeMultiplying)
{
    int32_t s[] = {1000000007, -1000000007, 123456789, -123456789, 9, 2147483647, -2147483647 - 1};
    ApplyGain(s, sizeof s, 4, 1);
    EXPECT_EQ(1000000007 + 100000000, s[0]);
    EXPECT_EQ(-1000000007 - 100000000, s[1]);
    EXPECT_EQ(123456789 + 12345678, s[2]);
    EXPECT_EQ(-123456789 - 12345678, s[3]);
    EXPECT_EQ(9, s[4]) << "9 / 10 is 0 before the multiplication";
    EXPECT_EQ(2147483647, s[5]) << "clipped";
    EXPECT_EQ(-2147483647 - 1, s[6]);
    int32_t t[] = {1000000000};
    ApplyGain(t, sizeof t, 4, 40);
    EXPECT_EQ(2147483647, t[0]);
}

TEST(Gain, TwentyFourBitAndOddWidthsUntouched)
{
    std::string a = RampSamples(999);
    std::string b = a;
    ApplyGain(&b[0], 999, 3, 10);
    EXPECT_EQ(a, b);
    ApplyGain(&b[0], 999, 5, 10);
    EXPECT_EQ(a, b);
}

TEST(Gain, ExtremeStepsStayInRange)
{
    int16_t s[] = {1, -1, 32767, -32768};
    ApplyGain(s, sizeof s, 2, VOLUME_LIMIT);
    EXPECT_EQ(32767, s[0]);
    EXPECT_EQ(-32768, s[1]);
    int32_t t[] = {2147483647, -2147483647 - 1};
    ApplyGain(t, sizeof t, 4, -VOLUME_LIMIT);
    EXPECT_EQ(-2147483647 - 1, t[0]);
    EXPECT_EQ(2147483647, t[1]);
}

TEST(TimeText, SixtiethsOfASecond)
{
    char text[20];
    FormatTimeText(text, 100000, 44100);
    EXPECT_STREQ("00:02:16", text);
    FormatTimeText(text, 0, 44100);
    EXPECT_STREQ("00:00:00", text);
    FormatTimeText(text, 44100 * 60 + 44099, 44100);
    EXPECT_STREQ("01:00:59", text);
    FormatTimeText(text, 44100 * 60 * 100, 44100);
    EXPECT_STREQ("100:00:00", text);
    FormatTimeText(text, 735, 44100);
    EXPECT_STREQ("00:00:01", text);
    FormatTimeText(text, 0xFFFFFFFFu, 1);
    EXPECT_STREQ("71582788:15:00", text) << "the largest text fits its 20 bytes";
    FormatTimeText(text, 12345, 1u << 30);
    EXPECT_STREQ("00:00:00", text) << "a rate whose 32-bit R * 60 wraps to 0 divides safely";
}

TEST(KeyAndVolumeText, Formats)
{
    char text[8];
    FormatKeyText(text, 0);
    EXPECT_STREQ("  0", text);
    FormatKeyText(text, 1);
    EXPECT_STREQ("+ 1", text);
    FormatKeyText(text, 12);
    EXPECT_STREQ("+12", text);
    FormatKeyText(text, -5);
    EXPECT_STREQ("- 5", text);
    FormatKeyText(text, -12);
    EXPECT_STREQ("-12", text);
    FormatKeyText(text, 20);
    EXPECT_STREQ("+20", text);
    FormatKeyText(text, 2147483647);
    EXPECT_STREQ("+999999", text) << "limited to fit the 8-byte buffer";
    FormatKeyText(text, -2147483647 - 1);
    EXPECT_STREQ("-999999", text);
    char vol[32];
    FormatVolumeText(vol, 0);
    EXPECT_STREQ("VOL: +0.0x", vol);
    FormatVolumeText(vol, 3);
    EXPECT_STREQ("VOL: +0.3x", vol);
    FormatVolumeText(vol, 40);
    EXPECT_STREQ("VOL: +4.0x", vol);
    FormatVolumeText(vol, -5);
    EXPECT_STREQ("VOL: +-0.5x", vol);
    EXPECT_EQ(5, LimitSetting(5, 10));
    EXPECT_EQ(10, LimitSetting(11, 10));
    EXPECT_EQ(-10, LimitSetting(-2147483647 - 1, 10));
}
