// The test environment itself: a broken one must fail here, loudly, before anything else is blamed.
#include <windows.h>
#include <mmsystem.h>
#include <gtest/gtest.h>

#include "harness_util.h"

TEST(Harness, AnsiCodePageIs932)
{
    EXPECT_EQ(932u, GetACP()) << "run under LANG=ja_JP.UTF-8";
    // A lead byte of code page 932 really is one: 0x95 0x5C is a single character.
    const char text[] = "\x95\x5C";
    EXPECT_EQ(text + 2, CharNextA(text));
}

static LRESULT CALLBACK PaintRedProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(dc, &rc, red);
        DeleteObject(red);
        EndPaint(hwnd, &ps);
        SetPropA(hwnd, "painted", reinterpret_cast<HANDLE>(1));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST(Harness, WindowIsCreatedShownAndPainted)
{
    ASSERT_TRUE(testutil::TestWindowClass("HarnessPaint", PaintRedProc, NULL));
    HWND hwnd = CreateWindowExA(0, "HarnessPaint", "harness", WS_POPUP | WS_VISIBLE, 10, 10, 64, 48, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(hwnd != NULL) << "GetLastError " << GetLastError();
    UpdateWindow(hwnd);
    ASSERT_TRUE(testutil::PumpUntil([&] { return GetPropA(hwnd, "painted") != NULL; }, 5000))
        << "WM_PAINT never arrived";

    // Read the painted pixels back from the screen.
    HDC screen = GetDC(NULL);
    COLORREF c = CLR_INVALID;
    ASSERT_TRUE(testutil::PumpUntil([&] {
        c = GetPixel(screen, 10 + 32, 10 + 24);
        return c == RGB(255, 0, 0);
    }, 5000)) << "pixel read back as 0x" << std::hex << c;
    ReleaseDC(NULL, screen);
    DestroyWindow(hwnd);
}

static void CALLBACK SignalDone(HWAVEOUT, UINT msg, DWORD_PTR instance, DWORD_PTR, DWORD_PTR)
{
    if (msg == WOM_DONE)
        SetEvent(reinterpret_cast<HANDLE>(instance));
}

TEST(Harness, WaveOutPlaysIntoTheCaptureFile)
{
    ASSERT_FALSE(testutil::CapturePath().empty()) << "VELMORA_CAPTURE not set";
    WAVEFORMATEX fmt = {};
    fmt.wFormatTag = WAVE_FORMAT_PCM;
    fmt.nChannels = 2;
    fmt.nSamplesPerSec = 44100;
    fmt.wBitsPerSample = 16;
    fmt.nBlockAlign = 4;
    fmt.nAvgBytesPerSec = 44100 * 4;
    HANDLE done = CreateEventA(NULL, FALSE, FALSE, NULL);
    HWAVEOUT wo = NULL;
    MMRESULT r = waveOutOpen(&wo, WAVE_MAPPER, &fmt, reinterpret_cast<DWORD_PTR>(SignalDone),
                             reinterpret_cast<DWORD_PTR>(done), CALLBACK_FUNCTION);
    ASSERT_EQ(MMSYSERR_NOERROR, r) << "waveOutOpen failed: no capture device";

    static short samples[4410 * 2];
    for (int i = 0; i < 4410 * 2; ++i)
        samples[i] = static_cast<short>(i * 7 - 12345);
    WAVEHDR hdr = {};
    hdr.lpData = reinterpret_cast<LPSTR>(samples);
    hdr.dwBufferLength = sizeof samples;
    ASSERT_EQ(MMSYSERR_NOERROR, waveOutPrepareHeader(wo, &hdr, sizeof hdr));
    ASSERT_EQ(MMSYSERR_NOERROR, waveOutWrite(wo, &hdr, sizeof hdr));
    EXPECT_TRUE(testutil::WaitAndPump(done, 10000)) << "the block never came back";
    waveOutUnprepareHeader(wo, &hdr, sizeof hdr);
    waveOutClose(wo);
    CloseHandle(done);

    // The samples land in the capture file, bit for bit.
    std::string wav;
    ASSERT_TRUE(testutil::PumpUntil([&] {
        return testutil::ReadWholeFile(testutil::CapturePath(), wav) &&
               wav.find(std::string(reinterpret_cast<const char*>(samples), 64)) != std::string::npos;
    }, 5000)) << "captured " << wav.size() << " bytes without the played samples";
    EXPECT_NE(std::string::npos, wav.find(std::string(reinterpret_cast<const char*>(samples), sizeof samples)));
}
