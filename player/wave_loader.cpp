// wave_loader.cpp - LoadWave.
#include "wave_loader.h"

#include <mmsystem.h>
#include <string.h>

#include "playback.h"
#include "position_bar.h"
#include "resource.h"
#include "settings.h"
#include "shell.h"
#include "utilities.h"
#include "wave_core.h"

WaveInfo waveInfo;

namespace {

// The header walk reads the open file through CFiler.
class FilerSource : public WaveSource {
public:
    uint32_t ReadAt(uint64_t offset, void* dest, uint32_t count) override
    {
        if (offset > 0xFFFFFFFFull)
            return 0;
        unsigned long at = static_cast<unsigned long>(offset);
        if (at <= 0x7FFFFFFFul) {
            if (waveFile.SetFilePoint(at, FILE_BEGIN) != at)
                return 0;
        } else if (waveFile.SetFilePoint(0x7FFFFFFFul, FILE_BEGIN) != 0x7FFFFFFFul ||
                   waveFile.SetFilePoint(at - 0x7FFFFFFFul, FILE_CURRENT) != at) {
            return 0;
        }
        unsigned long got = waveFile.Read(dest, count);
        return got > count ? 0 : got;
    }
    uint64_t Size() override
    {
        unsigned long high = 0;
        unsigned long low = waveFile.GetFileSize(&high);
        if (low == 0xFFFFFFFFul && GetLastError() != NO_ERROR)
            return 0;
        return (static_cast<uint64_t>(high) << 32) | low;
    }
};

// The record the device was opened with; kept for as long as the file is loaded.
union FormatRecord {
    WAVEFORMATEX format;
    BYTE bytes[WAVE_FORMAT_RECORD_MAX];
};
FormatRecord g_format;
unsigned long g_formatBytes;

// Shows the string-table message on the main window, closes the file; returns 0.
int Fail(unsigned int id)
{
    char text[1024];
    lstrcpynA(text, GetResString(GetModuleHandleA(NULL), id), sizeof text);
    mainForm.MsgBox(text, MB_OK | MB_ICONEXCLAMATION, 0);
    waveFile.Close();
    return 0;
}

}  // namespace

int LoadWave(const char* path)
{
    if (!waveFile.Open_modeRead(path, FILE_SHARE_READ))
        return Fail(IDS_OPEN_FAILED);

    FilerSource source;
    WaveHeader header;
    if (ParseWaveHeader(source, header) != WAVE_OK)
        return Fail(IDS_NOT_WAVE);

    waveInfo.dataOffset = header.dataOffset;
    waveInfo.dataBytes = header.dataBytes;
    waveInfo.bytesPerSample = header.bytesPerSample;
    waveInfo.bytesPerFrame = header.bytesPerFrame;
    waveInfo.totalFrames = header.totalFrames;
    waveInfo.sampleRate = header.samplesPerSec;
    waveInfo.blockBytes = header.blockBytes;

    memset(&g_format, 0, sizeof g_format);
    memcpy(g_format.bytes, header.format, header.formatBytes);
    g_formatBytes = header.formatBytes;
    g_format.format.nSamplesPerSec = OutputRate(header.samplesPerSec, key);

    HWAVEOUT device = NULL;
    MMRESULT r = CurrentWaveOut().Open(&device, WAVE_MAPPER, &g_format.format,
                                       reinterpret_cast<DWORD_PTR>(WaveDoneCallback), 0, CALLBACK_FUNCTION);
    if (r != MMSYSERR_NOERROR) {
        waveInfo.totalFrames = 0;
        return Fail(IDS_DEVICE_FAILED);
    }
    if (!AllocateBlocks()) {
        CurrentWaveOut().Close(device);
        waveInfo.totalFrames = 0;
        return Fail(IDS_DEVICE_FAILED);
    }
    waveDevice = device;
    // The engine's copies of the markers start where the bar's are put below, so that no refill
    // before the next timer tick uses the markers of an earlier file.
    markerStart.store(0);
    markerEnd.store(waveInfo.totalFrames);
    PlayState.store(PLAY_STOPPED);

    wavePath.SetDlgItemTextA(mainForm, IDC_PATH_TEXT);
    mainForm.SendMessageChild(IDC_POSITION_BAR, BM2_SETRANGE, 0, static_cast<LPARAM>(waveInfo.totalFrames));
    mainForm.SendMessageChild(IDC_POSITION_BAR, BM2_SETMARKER, 1, 0);
    mainForm.SendMessageChild(IDC_POSITION_BAR, BM2_SETMARKER, 0, static_cast<LPARAM>(waveInfo.totalFrames));
    mainForm.SendMessageChild(IDC_POSITION_BAR, BM2_SETPOS, 0, 0);
    return 1;
}

const WAVEFORMATEX* LoadedFormat(unsigned long* bytes)
{
    if (bytes)
        *bytes = g_formatBytes;
    return &g_format.format;
}
