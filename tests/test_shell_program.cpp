// End-to-end run of velmora.exe itself: a copy of the program and its library in a folder of
// their own is started as a process of its own, a WAVE file is opened through its real open
// dialog, played with repeat on, and the window is closed. The captured audio must hold the file's
// samples looping without a gap, and velmora.ini beside the program the six settings.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdlib.h>

#include <string>

#include "harness_util.h"
#include "native/wave_corpus.h"
#include "player_driver.h"
#include "player_texts.h"
#include "resource.h"

namespace {

using namespace playerdrive;

using testutil::ExeDirectory;

// The file's sample bytes: 16-bit stereo counting up in steps of 7 from a seed.
std::string SampleBytes(DWORD frames, short seed)
{
    std::string data;
    for (DWORD i = 0; i < frames * 2; ++i) {
        short s = static_cast<short>(seed + static_cast<short>(i * 7));
        data.append(reinterpret_cast<const char*>(&s), 2);
    }
    return data;
}

std::string WaveFile(const std::string& data)
{
    return SimpleWave(2, 44100, 16, data);
}

// Saves what the screen shows of the rectangle as a BMP file in the harness folder (screenshots/);
// returns whether the file was written. Kept for looking at the program as a user sees it.
bool SaveScreenshot(RECT r, const char* name)
{
    const char* harness = getenv("VELMORA_HARNESS");
    if (!harness)
        return false;
    std::string folder = "Z:" + std::string(harness) + "/screenshots";
    for (char& c : folder)
        if (c == '/')
            c = '\\';
    CreateDirectoryA(folder.c_str(), nullptr);
    int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFOHEADER bi = {};
    bi.biSize = sizeof(bi);
    bi.biWidth = w;
    bi.biHeight = h;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    bi.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP dib = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    DWORD stride = ((w * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER bf = {};
    bf.bfType = 0x4D42;
    bf.bfOffBits = sizeof(bf) + sizeof(bi);
    bf.bfSize = bf.bfOffBits + stride * h;
    std::string file(reinterpret_cast<const char*>(&bf), sizeof(bf));
    file.append(reinterpret_cast<const char*>(&bi), sizeof(bi));
    file.append(static_cast<const char*>(bits), stride * h);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(dib);
    ReleaseDC(nullptr, screen);
    return testutil::WriteWholeFile(folder + "\\" + name, file);
}

// The started program: ended and waited for when the test leaves, also after a failed assertion
// (a program left running would keep ctest waiting on its output).
struct Child {
    PROCESS_INFORMATION pi = {};
    ~Child()
    {
        if (!pi.hProcess)
            return;
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(pi.hProcess, 1);
            WaitForSingleObject(pi.hProcess, 10000);
        }
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
};

RECT Around(HWND window, int below = 0)
{
    RECT r = {};
    GetWindowRect(window, &r);
    r.bottom += below;
    return r;
}

TEST(ShellProgram, OpenPlayRepeatCloseThroughTheRealProgram)
{
    // The program and its library, copied to a folder of their own (the settings file goes there).
    std::string folder = testutil::TempPath("program");
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string exe = folder + "\\velmora.exe";
    ASSERT_TRUE(CopyFileA((ExeDirectory() + "velmora.exe").c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((ExeDirectory() + "Tarvik.dll").c_str(), (folder + "\\Tarvik.dll").c_str(), FALSE));
    std::string ini = folder + "\\velmora.ini";
    DeleteFileA(ini.c_str());

    const DWORD frames = 22050;  // half a second: shorter than the six blocks, so it loops at once
    std::string data = SampleBytes(frames, 1234);
    std::string wave = testutil::TempPath("loop.wav");
    ASSERT_TRUE(testutil::WriteWholeFile(wave, WaveFile(data)));

    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    Child child;
    PROCESS_INFORMATION& pi = child.pi;
    std::string commandLine = "\"" + exe + "\"";
    ASSERT_TRUE(CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                               &si, &pi)) << GetLastError();

    HWND main = WaitForWindow("#32770", playertext::kDisplayName, nullptr, 30000, pi.dwProcessId);
    ASSERT_NE(main, nullptr) << "velmora.exe showed no main window";
    EXPECT_NE(nullptr, GetMenu(main));
    EXPECT_EQ(140, WindowSize(main).cy);

    // Open through the real dialog.
    PostMessageA(main, WM_COMMAND, IDM_OPEN, 0);
    HWND dialog = WaitForWindow("#32770", nullptr, main, 15000, pi.dwProcessId);
    ASSERT_NE(dialog, nullptr) << "no open dialog";
    HWND name = GetDlgItem(dialog, 0x47C);
    if (!name)
        name = GetDlgItem(dialog, 0x480);
    ASSERT_NE(name, nullptr);
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wave.c_str()));
    Click(dialog, IDOK);
    ASSERT_TRUE(WaitFor([&] { return WindowText(GetDlgItem(main, IDC_PATH_TEXT)) == wave; }, 10000))
        << WindowText(GetDlgItem(main, IDC_PATH_TEXT));

    // Repeat on, play: the file loops without a gap.
    PostMessageA(main, WM_COMMAND, IDM_REPEAT, 0);
    PostMessageA(main, WM_COMMAND, IDM_PLAY_PAUSE, 0);
    std::string twice = data + data;
    std::string captured;
    bool looped = WaitFor([&] {
        return testutil::ReadWholeFile(testutil::CapturePath(), captured) && captured.find(twice) != std::string::npos;
    }, 15000);
    EXPECT_TRUE(looped) << "captured " << captured.size() << " bytes without the file played twice in a row";
    EXPECT_FALSE(WindowText(GetDlgItem(main, IDC_TIME_TEXT)).empty());

    // Screenshots: the main window, its menu open, the colour dialog and the version dialog.
    Sleep(300);  // let the bar and the time text repaint before the picture
    EXPECT_TRUE(SaveScreenshot(Around(main), "main.bmp"));
    PostMessageA(main, WM_SYSCOMMAND, SC_KEYMENU, 'p');
    HWND popup = WaitForWindow("#32768", nullptr, nullptr, 5000, pi.dwProcessId);
    EXPECT_NE(popup, nullptr);
    if (popup) {
        Sleep(300);
        RECT r = Around(main, 160);
        SaveScreenshot(r, "menu.bmp");
        PostMessageA(main, WM_CANCELMODE, 0, 0);
        PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        WaitFor([&] { return FindTopWindows("#32768", nullptr, pi.dwProcessId).empty(); }, 5000);
    }
    PostMessageA(main, WM_COMMAND, IDM_BAR_COLORS, 0);
    HWND colours = WaitForWindow("#32770", playertext::kColorsTitle, main, 10000, pi.dwProcessId);
    EXPECT_NE(colours, nullptr);
    if (colours) {
        Sleep(300);
        EXPECT_TRUE(SaveScreenshot(Around(colours), "colours.bmp"));
        Click(colours, IDCANCEL);
        WaitForWindowGone(colours);
    }
    PostMessageA(main, WM_COMMAND, IDM_ABOUT, 0);
    HWND about = WaitForWindow("#32770", playertext::kAboutTitle, main, 10000, pi.dwProcessId);
    EXPECT_NE(about, nullptr);
    if (about) {
        Sleep(300);
        EXPECT_TRUE(SaveScreenshot(Around(about), "about.bmp"));
        Click(about, IDOK);
        WaitForWindowGone(about);
    }

    // Close the window: the program ends by itself and leaves its settings.
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 15000));
    DWORD code = 1234;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(0u, code);

    const char* keys[] = {"BarColor", "BkgColor", "LineColor", "MarkerColor", "Octave", "Volume"};
    const int expected[] = {16777215, 12632256, 0, 16711680, 0, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(expected[i], static_cast<int>(GetPrivateProfileIntA("Settings", keys[i], -1, ini.c_str()))) << keys[i];
}

}  // namespace
