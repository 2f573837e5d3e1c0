// LoadWave with the real waveform device: the facts it keeps, the record the device is opened
// with, the bar and the path text, and every malformed or unusual file of the corpus (built here
// and written by sox) accepted or rejected with the player's message, leaving the player usable.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>
#include <string.h>
#include <string>

#include "dialog_answer.h"
#include "engine_rig.h"
#include "harness_util.h"
#include "native/wave_corpus.h"
#include "player_texts.h"
#include "playback.h"
#include "position_bar.h"
#include "resource.h"
#include "settings.h"
#include "shell.h"
#include "wave_loader.h"

using enginerig::MainWindowRig;

namespace {

class Loader : public ::testing::Test {
protected:
    void SetUp() override
    {
        key = 0;
        volume = 0;
        rig = new MainWindowRig;
    }
    void TearDown() override
    {
        CloseWave();
        delete rig;
        key = 0;
    }
    // Loads the file, answering a message box if one comes; returns LoadWave's result and the
    // message shown ("" for none).
    int Load(const std::string& path, std::string* message)
    {
        wavePath = path.c_str();
        testutil::MessageBoxSeen box;
        testutil::DialogAnswer answer(testutil::ReadAndPress(box, IDOK));
        int r = LoadWave(path.c_str());
        message->clear();
        if (r == 0 && answer.Answered())
            *message = box.text;
        return r;
    }
    // A known good file loads and plays a block afterwards: the player is still usable.
    void ExpectUsable()
    {
        std::string p = enginerig::WriteTempFile("good.wav", SimpleWave(2, 44100, 16, RampSamples(8000)));
        std::string message;
        CloseWave();
        ASSERT_EQ(1, Load(p, &message)) << message;
        EXPECT_EQ(1, PlayPause());
        EXPECT_TRUE(testutil::PumpUntil([] { return PlayState.load() == PLAY_STOPPED && BlocksHeld() == 0; }, 10000))
            << "the good file did not play out";
        CloseWave();
    }
    MainWindowRig* rig = nullptr;
};

}  // namespace

TEST_F(Loader, FactsBarAndPath)
{
    std::string samples = RampSamples(40003);
    std::string p = enginerig::WriteTempFile("facts.wav",
                                             WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16))
                                                 .Chunk("LIST", "INFOISFTabc").Chunk("data", samples).Fix());
    std::string message;
    ASSERT_EQ(1, Load(p, &message)) << message;
    EXPECT_EQ(PLAY_STOPPED, PlayState.load());
    EXPECT_EQ(44u + 20u, waveInfo.dataOffset) << "LIST chunk of 11 bytes plus its pad skipped";
    EXPECT_EQ(40003u, waveInfo.dataBytes);
    EXPECT_EQ(2u, waveInfo.bytesPerSample);
    EXPECT_EQ(4u, waveInfo.bytesPerFrame);
    EXPECT_EQ(10000u, waveInfo.totalFrames);
    EXPECT_EQ(44100u, waveInfo.sampleRate);
    EXPECT_TRUE(waveDevice != NULL);
    EXPECT_EQ("range 0-10000 markers 0-10000 position 0", rig->BarText());
    EXPECT_EQ(p, rig->Text(IDC_PATH_TEXT));

    // A failed load after a good one: bar emptied by the close, path text still the old file.
    CloseWave();
    ASSERT_EQ(0, Load(testutil::TempPath("missing.wav"), &message));
    EXPECT_EQ(playertext::kOpenFailed, message);
    UINT mx = 9;
    rig->Bar(nullptr, &mx, nullptr, nullptr, nullptr);
    EXPECT_EQ(0u, mx);
    EXPECT_EQ(p, rig->Text(IDC_PATH_TEXT));
    EXPECT_EQ(PLAY_NONE, PlayState.load());
}

TEST_F(Loader, TransposedRateAndRecord)
{
    struct Case { int key; uint32_t rate, expect; } cases[] = {
        {-12, 44100, 22049}, {-1, 44100, 41624}, {0, 44100, 44100}, {1, 44100, 46722},
        {7, 44100, 66077}, {12, 44100, 88203}, {-12, 48000, 23998}, {12, 48000, 96004},
    };
    for (const Case& c : cases) {
        key = c.key;
        std::string p = enginerig::WriteTempFile("rate.wav", SimpleWave(2, c.rate, 16, RampSamples(400)));
        std::string message;
        ASSERT_EQ(1, Load(p, &message)) << "key " << c.key << ": " << message;
        unsigned long bytes = 0;
        const WAVEFORMATEX* f = LoadedFormat(&bytes);
        EXPECT_EQ(c.expect, f->nSamplesPerSec) << "key " << c.key << " on " << c.rate;
        EXPECT_EQ(c.rate * 4, f->nAvgBytesPerSec) << "handed over as read";
        EXPECT_EQ(c.rate, waveInfo.sampleRate);
        EXPECT_EQ(18u, bytes);
        EXPECT_EQ(0, f->cbSize);
        CloseWave();
    }
}

TEST_F(Loader, CorpusIsAcceptedOrRejectedWithTheRightMessage)
{
    for (const CorpusEntry& entry : WaveCorpus()) {
        SCOPED_TRACE(entry.name);
        std::string p = enginerig::WriteTempFile(entry.name + ".wav", entry.bytes);
        std::string message;
        int r = Load(p, &message);
        if (entry.verdict == WAVE_OK) {
            EXPECT_EQ(1, r) << message;
            EXPECT_EQ(PLAY_STOPPED, PlayState.load());
            unsigned long bytes = 0;
            const WAVEFORMATEX* f = LoadedFormat(&bytes);
            EXPECT_EQ(18u + f->cbSize, bytes) << "the record never claims more than it holds";
            EXPECT_NE(WAVE_TAG_EXTENSIBLE, f->wFormatTag);
            // A data chunk that claims more than the file plays on in silence: not played out here.
            if (r == 1 && waveInfo.dataOffset + waveInfo.dataBytes <= entry.bytes.size()) {
                EXPECT_EQ(1, PlayPause());
                EXPECT_TRUE(testutil::PumpUntil([] { return PlayState.load() == PLAY_STOPPED && BlocksHeld() == 0; },
                                                10000))
                    << "did not play out";
            }
        } else {
            EXPECT_EQ(0, r);
            EXPECT_EQ(playertext::kNotWave, message);
            EXPECT_EQ(PLAY_NONE, PlayState.load());
        }
        CloseWave();
    }
    ExpectUsable();
}

TEST_F(Loader, FilesWrittenBySox)
{
    struct Case { const char* name; unsigned channels, bytesPerSample, rate; } cases[] = {
        {"stereo16.wav", 2, 2, 44100}, {"stereo24.wav", 2, 3, 48000}, {"mono8.wav", 1, 1, 22050},
        {"float32.wav", 2, 4, 44100}, {"surround16.wav", 6, 2, 44100}, {"commented.wav", 1, 2, 44100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string p = testutil::SourcePath(std::string("tests/native/sox/") + c.name);
        std::string file;
        ASSERT_TRUE(testutil::ReadWholeFile(p, file));
        std::string message;
        ASSERT_EQ(1, Load(p, &message)) << message;
        EXPECT_EQ(c.bytesPerSample, waveInfo.bytesPerSample);
        EXPECT_EQ(c.channels * c.bytesPerSample, waveInfo.bytesPerFrame);
        EXPECT_EQ(c.rate, waveInfo.sampleRate);
        EXPECT_EQ(file.size(), waveInfo.dataOffset + waveInfo.dataBytes + (waveInfo.dataBytes & 1))
            << "data (and its pad byte) runs to the end of the file";
        EXPECT_EQ(0, memcmp(file.data() + waveInfo.dataOffset - 8, "data", 4));
        EXPECT_EQ(1, PlayPause());
        EXPECT_TRUE(testutil::PumpUntil([] { return PlayState.load() == PLAY_STOPPED && BlocksHeld() == 0; }, 10000));
        CloseWave();
    }
}

TEST_F(Loader, RefusedRateSaysTheDeviceCouldNotOpenAndClosesTheFile)
{
    key = 12;
    std::string p = enginerig::WriteTempFile("toofast.wav", SimpleWave(2, 0xFFFF0000u, 16, RampSamples(400)));
    std::string message;
    ASSERT_EQ(0, Load(p, &message));
    EXPECT_EQ(playertext::kDeviceFailed, message);
    EXPECT_EQ(PLAY_NONE, PlayState.load());
    // The file was closed: it can be replaced.
    EXPECT_TRUE(DeleteFileA(p.c_str())) << "the failed load left the file open";
    key = 0;
    ExpectUsable();
}

TEST_F(Loader, FileStaysOpenForOtherReaders)
{
    std::string p = enginerig::WriteTempFile("shared.wav", SimpleWave(2, 44100, 16, RampSamples(400)));
    std::string message;
    ASSERT_EQ(1, Load(p, &message)) << message;
    std::string contents;
    EXPECT_TRUE(testutil::ReadWholeFile(p, contents)) << "other readers may share the file";
    CloseWave();
}
