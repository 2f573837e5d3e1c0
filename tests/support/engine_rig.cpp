// engine_rig.cpp - what the player's engine tests share.
#include "engine_rig.h"

#include <string.h>

#include "harness_util.h"
#include "position_bar.h"
#include "resource.h"
#include "shell.h"

namespace enginerig {

MainWindowRig::MainWindowRig() : window(NULL)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    RegisterBar2Class();
    window = CreateWindowExA(0, testutil::TestWindowClass("VelmoraEngineRig"), "Orvandel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 400, 140,
                             NULL, NULL, instance, NULL);
    CreateWindowExA(WS_EX_CLIENTEDGE, BAR2_CLASS_NAME, "", WS_CHILD | WS_VISIBLE, 10, 40, 360, 20, window,
                    reinterpret_cast<HMENU>(IDC_POSITION_BAR), instance, NULL);
    const int texts[] = {IDC_TIME_TEXT, IDC_PATH_TEXT, IDC_KEY_TEXT, IDC_VOLUME_TEXT};
    for (int i = 0; i < 4; ++i)
        CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 8 + 90 * i, 70, 85, 16, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(texts[i])), instance, NULL);
    mainForm = window;
}

MainWindowRig::~MainWindowRig()
{
    mainForm = static_cast<HWND>(NULL);
    DestroyWindow(window);
}

std::string MainWindowRig::Text(int id) const
{
    char text[512] = "";
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

void MainWindowRig::Bar(UINT* minimum, UINT* maximum, UINT* start, UINT* end, UINT* position) const
{
    HWND bar = GetDlgItem(window, IDC_POSITION_BAR);
    SendMessageA(bar, BM2_GETRANGE, reinterpret_cast<WPARAM>(minimum), reinterpret_cast<LPARAM>(maximum));
    SendMessageA(bar, BM2_GETMARKERS, reinterpret_cast<WPARAM>(start), reinterpret_cast<LPARAM>(end));
    if (position)
        SendMessageA(bar, BM2_GETPOS, 0, reinterpret_cast<LPARAM>(position));
}

std::string MainWindowRig::BarText() const
{
    UINT v[5] = {9, 9, 9, 9, 9};
    Bar(&v[0], &v[1], &v[2], &v[3], &v[4]);
    return "range " + std::to_string(v[0]) + "-" + std::to_string(v[1]) + " markers " + std::to_string(v[2]) + "-" +
           std::to_string(v[3]) + " position " + std::to_string(v[4]);
}

std::string WriteTempFile(const std::string& name, const std::string& bytes)
{
    std::string path = testutil::TempPath(name);
    testutil::WriteWholeFile(path, bytes);
    return path;
}

namespace {

unsigned Le(const std::string& s, size_t at, int bytes)
{
    unsigned v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

}  // namespace

Captured ReadCapture(const std::string& path)
{
    Captured c;
    std::string file;
    if (!testutil::ReadWholeFile(path, file) || file.size() < 12 || file.compare(0, 4, "RIFF") != 0)
        return c;
    size_t at = 12;
    while (at + 8 <= file.size()) {
        std::string id = file.substr(at, 4);
        unsigned size = Le(file, at + 4, 4);
        if (id == "fmt " && at + 24 <= file.size()) {
            c.channels = Le(file, at + 10, 2);
            c.rate = Le(file, at + 12, 4);
            c.bits = Le(file, at + 22, 2);
        } else if (id == "data") {
            c.data = file.substr(at + 8);
            c.ok = c.rate != 0;
            return c;
        }
        at += 8 + static_cast<size_t>(size) + (size & 1);
    }
    return c;
}

size_t FindBytes(const std::string& haystack, const std::string& needle, size_t from)
{
    return haystack.find(needle, from);
}

}  // namespace enginerig
