// wave_corpus.h - WAVE files made in memory for the tests and the fuzzer's seeds: plain ones in
// every sample width, and malformed or unusual ones, each with the verdict the header walk owes it.
//
// Classes in this header:
//   WaveBytes     builder of a RIFF file, chunk by chunk
//   CorpusEntry   one named file of the corpus with its expected verdict
#pragma once

#include <stdint.h>
#include <string>
#include <vector>

#include "wave_core.h"

class WaveBytes {
public:
    // Appends a 32-bit little-endian value; returns *this.
    WaveBytes& U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
        return *this;
    }
    // Appends a 16-bit little-endian value; returns *this.
    WaveBytes& U16(uint16_t v)
    {
        bytes += static_cast<char>(v & 0xFF);
        bytes += static_cast<char>(v >> 8);
        return *this;
    }
    // Appends raw bytes; returns *this.
    WaveBytes& Raw(const std::string& s)
    {
        bytes += s;
        return *this;
    }
    // Appends a chunk with its identifier, size and body, plus a pad byte after an odd body when
    // asked; returns *this.
    WaveBytes& Chunk(const char* id, const std::string& body, bool pad = true)
    {
        Raw(std::string(id, 4)).U32(static_cast<uint32_t>(body.size())).Raw(body);
        if (pad && (body.size() & 1))
            bytes += '\0';
        return *this;
    }
    // Appends "RIFF", a size and "WAVE"; returns *this. Call Fix() at the end to set the size.
    WaveBytes& Riff()
    {
        return Raw("RIFF").U32(0).Raw("WAVE");
    }
    // Sets the RIFF size to the bytes that follow it; returns the file.
    std::string Fix()
    {
        if (bytes.size() >= 8) {
            uint32_t n = static_cast<uint32_t>(bytes.size() - 8);
            for (int i = 0; i < 4; ++i)
                bytes[4 + i] = static_cast<char>((n >> (8 * i)) & 0xFF);
        }
        return bytes;
    }

    std::string bytes;
};

// The body of a plain 16-byte format chunk (or 18 bytes with cbSize when extra is not negative).
inline std::string FormatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, int extra = -1)
{
    WaveBytes b;
    uint16_t align = static_cast<uint16_t>(channels * (bits / 8));
    b.U16(tag).U16(channels).U32(rate).U32(rate * align).U16(align).U16(bits);
    if (extra >= 0)
        b.U16(static_cast<uint16_t>(extra)).Raw(std::string(static_cast<size_t>(extra), '\x5A'));
    return b.bytes;
}

// The body of a 40-byte WAVE_FORMAT_EXTENSIBLE chunk with the sub-format of the plain tag.
inline std::string ExtensibleBody(uint16_t subTag, uint16_t channels, uint32_t rate, uint16_t bits)
{
    WaveBytes b;
    uint16_t align = static_cast<uint16_t>(channels * (bits / 8));
    b.U16(WAVE_TAG_EXTENSIBLE).U16(channels).U32(rate).U32(rate * align).U16(align).U16(bits);
    b.U16(22).U16(bits).U32(channels == 2 ? 3u : 4u);
    b.U16(subTag).Raw(std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14));
    return b.bytes;
}

// Sample bytes that count up, so any dropped, repeated or moved byte shows.
inline std::string RampSamples(size_t bytes, unsigned seed = 1)
{
    std::string s(bytes, '\0');
    uint32_t x = seed * 2654435761u;
    for (size_t i = 0; i < bytes; ++i) {
        x = x * 1103515245u + 12345u;
        s[i] = static_cast<char>((x >> 16) & 0xFF);
    }
    return s;
}

// A complete, plain WAVE file.
inline std::string SimpleWave(uint16_t channels, uint32_t rate, uint16_t bits, const std::string& samples,
                              uint16_t tag = WAVE_TAG_PCM)
{
    return WaveBytes().Riff().Chunk("fmt ", FormatBody(tag, channels, rate, bits)).Chunk("data", samples).Fix();
}

struct CorpusEntry {
    std::string name;
    std::string bytes;
    WaveParseResult verdict;
};

// The corpus: every file here must be accepted or rejected as its verdict says, and none may
// crash, hang or read out of bounds.
inline std::vector<CorpusEntry> WaveCorpus()
{
    std::vector<CorpusEntry> c;
    const std::string pcm = RampSamples(4000);
    c.push_back({"plain16", SimpleWave(2, 44100, 16, pcm), WAVE_OK});
    c.push_back({"plain8", SimpleWave(1, 22050, 8, pcm), WAVE_OK});
    c.push_back({"plain24", SimpleWave(2, 48000, 24, pcm.substr(0, 3996)), WAVE_OK});
    c.push_back({"plain32", SimpleWave(2, 44100, 32, pcm), WAVE_OK});
    c.push_back({"float32", SimpleWave(2, 44100, 32, pcm, WAVE_TAG_IEEE_FLOAT), WAVE_OK});
    c.push_back({"fmt18", WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16, 0)).Chunk("data", pcm).Fix(),
                 WAVE_OK});
    c.push_back({"fmt_cb6", WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16, 6)).Chunk("data", pcm).Fix(),
                 WAVE_OK});
    c.push_back({"extensible_pcm",
                 WaveBytes().Riff().Chunk("fmt ", ExtensibleBody(1, 2, 44100, 16)).Chunk("data", pcm).Fix(), WAVE_OK});
    c.push_back({"extensible_float",
                 WaveBytes().Riff().Chunk("fmt ", ExtensibleBody(3, 2, 44100, 32)).Chunk("data", pcm).Fix(), WAVE_OK});
    c.push_back({"list_between",
                 WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16)).Chunk("LIST", "INFOISFT\x04\0\0\0sox\0")
                     .Chunk("data", pcm).Fix(),
                 WAVE_OK});
    c.push_back({"odd_chunk_padded",
                 WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16)).Chunk("LIST", "INFOabc", true)
                     .Chunk("data", pcm).Fix(),
                 WAVE_OK});
    c.push_back({"odd_chunk_unpadded",
                 WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16)).Chunk("LIST", "INFOabc", false)
                     .Chunk("data", pcm).Fix(),
                 WAVE_OK});
    c.push_back({"partial_frame", SimpleWave(2, 44100, 16, pcm.substr(0, 4003)), WAVE_OK});
    c.push_back({"data_claims_more",
                 WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16)).Raw("data").U32(1000000).Raw(pcm).Fix(),
                 WAVE_OK});
    c.push_back({"data_size_max",
                 WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16)).Raw("data").U32(0xFFFFFFFFu).Raw(pcm).Fix(),
                 WAVE_OK});
    c.push_back({"empty_data", SimpleWave(2, 44100, 16, ""), WAVE_OK});

    c.push_back({"empty_file", "", WAVE_NOT_RIFF});
    c.push_back({"short_riff", "RI", WAVE_NOT_RIFF});
    c.push_back({"not_riff", "RIFX" + std::string(40, '\0'), WAVE_NOT_RIFF});
    c.push_back({"riff_only", "RIFF\x10\0\0\0", WAVE_NOT_WAVE});
    c.push_back({"not_wave", WaveBytes().Raw("RIFF").U32(4).Raw("AVI ").bytes, WAVE_NOT_WAVE});
    c.push_back({"no_fmt_chunk", WaveBytes().Riff().Fix(), WAVE_NO_FORMAT});
    c.push_back({"list_first",
                 WaveBytes().Riff().Chunk("LIST", "INFO").Chunk("fmt ", FormatBody(1, 2, 44100, 16)).Chunk("data", pcm).Fix(),
                 WAVE_NO_FORMAT});
    c.push_back({"fmt_truncated", WaveBytes().Riff().Raw("fmt ").U32(16).Raw("\x01\0\x02\0").bytes, WAVE_TRUNCATED});
    c.push_back({"fmt_size_max",
                 WaveBytes().Riff().Raw("fmt ").U32(0xFFFFFFFFu).Raw(FormatBody(1, 2, 44100, 16)).Chunk("data", pcm).Fix(),
                 WAVE_NO_DATA});
    c.push_back({"no_data_chunk", WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16)).Fix(), WAVE_NO_DATA});
    c.push_back({"ends_in_chunk_header",
                 WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16)).Raw("dat").Fix(), WAVE_NO_DATA});
    c.push_back({"chunk_size_max",
                 WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16)).Raw("JUNK").U32(0xFFFFFFFFu)
                     .Chunk("data", pcm).Fix(),
                 WAVE_NO_DATA});
    c.push_back({"chunk_size_minus8",
                 WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16)).Raw("JUNK").U32(0xFFFFFFF8u)
                     .Chunk("data", pcm).Fix(),
                 WAVE_NO_DATA});
    c.push_back({"zero_channels", SimpleWave(0, 44100, 16, pcm), WAVE_BAD_FORMAT});
    c.push_back({"four_bits", SimpleWave(2, 44100, 4, pcm), WAVE_BAD_FORMAT});
    c.push_back({"rate_zero", SimpleWave(2, 0, 16, pcm), WAVE_BAD_FORMAT});
    c.push_back({"huge_frame", SimpleWave(65535, 44100, 32, pcm), WAVE_BAD_FORMAT});
    c.push_back({"fmt_too_small", WaveBytes().Riff().Chunk("fmt ", std::string("\x01\0\x02\0", 4)).Chunk("data", pcm).Fix(),
                 WAVE_BAD_FORMAT});
    return c;
}
