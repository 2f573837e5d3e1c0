// player_driver.cpp - helpers for driving the player's windows from a second thread.
#include "player_driver.h"
#include "harness_util.h"

#include "position_bar.h"
#include <stdio.h>

namespace playerdrive {

bool WaitFor(const std::function<bool()>& cond, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (cond())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(5);
    }
}

namespace {

struct FindData {
    const char* className;
    const char* title;
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam)
{
    FindData* data = reinterpret_cast<FindData*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != data->processId || !IsWindowVisible(window))
        return TRUE;
    if (data->className && testutil::WindowClass(window) != data->className)
        return TRUE;
    if (data->title && testutil::WindowText(window) != data->title)
        return TRUE;
    data->found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> FindTopWindows(const char* className, const char* title, DWORD processId)
{
    FindData data = {className, title, processId ? processId : GetCurrentProcessId(), {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

HWND WaitForWindow(const char* className, const char* title, HWND owner, DWORD timeoutMs, DWORD processId)
{
    HWND result = 0;
    WaitFor([&] {
        for (HWND w : FindTopWindows(className, title, processId)) {
            if (!owner || GetWindow(w, GW_OWNER) == owner) {
                result = w;
                return true;
            }
        }
        return false;
    }, timeoutMs);
    return result;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs)
{
    return WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

void Click(HWND dialog, int id, WORD notification)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

COLORREF Pixel(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

bool WaitForPixel(HWND window, int x, int y, COLORREF color, COLORREF* seen, DWORD timeoutMs)
{
    COLORREF last = CLR_INVALID;
    bool ok = WaitFor([&] {
        last = Pixel(window, x, y);
        return last == color;
    }, timeoutMs);
    if (seen)
        *seen = last;
    return ok;
}

SIZE ClientSize(HWND window)
{
    RECT r = {};
    GetClientRect(window, &r);
    SIZE s = {r.right - r.left, r.bottom - r.top};
    return s;
}

SIZE WindowSize(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    SIZE s = {r.right - r.left, r.bottom - r.top};
    return s;
}

namespace {

// The key whose release TypeKey waits for, and the event set when the owner thread takes it.
HANDLE g_keyTaken = nullptr;
WORD g_lastKey = 0;

LRESULT CALLBACK WatchKeys(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && (msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP) &&
        msg->wParam == g_lastKey)
        SetEvent(g_keyTaken);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool TypeKey(HWND window, WORD vk, bool ctrl, DWORD timeoutMs, bool shift)
{
    SetForegroundWindow(window);
    INPUT inputs[6] = {};
    int n = 0;
    auto key = [&](WORD code, bool up) {
        inputs[n].type = INPUT_KEYBOARD;
        inputs[n].ki.wVk = code;
        inputs[n].ki.wScan = static_cast<WORD>(MapVirtualKeyA(code, MAPVK_VK_TO_VSC));
        inputs[n].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        if (code >= VK_PRIOR && code <= VK_DOWN)  // the arrow and paging keys are extended keys
            inputs[n].ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        ++n;
    };
    if (ctrl)
        key(VK_CONTROL, false);
    if (shift)
        key(VK_SHIFT, false);
    key(vk, false);
    key(vk, true);
    if (shift)
        key(VK_SHIFT, true);
    if (ctrl)
        key(VK_CONTROL, true);
    // Input is taken after sent and posted messages, so the only sure sign that the key has been
    // handled is its last release being taken from the queue by the window's thread (whichever
    // loop runs there, also a modal one).
    if (!g_keyTaken)
        g_keyTaken = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ResetEvent(g_keyTaken);
    g_lastKey = ctrl ? VK_CONTROL : (shift ? VK_SHIFT : vk);
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, WatchKeys, nullptr, GetWindowThreadProcessId(window, nullptr));
    SendInput(n, inputs, sizeof(INPUT));
    bool taken = WaitForSingleObject(g_keyTaken, timeoutMs) == WAIT_OBJECT_0;
    if (hook)
        UnhookWindowsHookEx(hook);
    return taken;
}

bool SetChooserColour(HWND chooser, COLORREF color)
{
    // The chooser's red, green and blue boxes (0x2C2 to 0x2C4); each change is taken at once.
    const int ids[3] = {0x2C2, 0x2C3, 0x2C4};
    const int values[3] = {GetRValue(color), GetGValue(color), GetBValue(color)};
    for (int i = 0; i < 3; ++i) {
        HWND edit = GetDlgItem(chooser, ids[i]);
        if (!edit)
            return false;
        std::string text = std::to_string(values[i]);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageA(chooser, WM_COMMAND, MAKEWPARAM(ids[i], EN_UPDATE), reinterpret_cast<LPARAM>(edit));
    }
    return true;
}

BarState ReadBar(HWND bar)
{
    BarState s = {};
    SendMessageA(bar, BM2_GETRANGE, reinterpret_cast<WPARAM>(&s.minimum), reinterpret_cast<LPARAM>(&s.maximum));
    SendMessageA(bar, BM2_GETMARKERS, reinterpret_cast<WPARAM>(&s.start), reinterpret_cast<LPARAM>(&s.end));
    SendMessageA(bar, BM2_GETPOS, 0, reinterpret_cast<LPARAM>(&s.position));
    return s;
}

BarColours ReadBarColours(HWND bar)
{
    Bar2Colors colors = {};
    SendMessageA(bar, BM2_GETCOLORS, 0, reinterpret_cast<LPARAM>(&colors));
    BarColours c = {{colors.bkgColor, colors.lineColor, colors.barColor, colors.markerColor}};
    return c;
}

RECT ChildRect(HWND parent, int id)
{
    RECT r = {};
    GetWindowRect(GetDlgItem(parent, id), &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string Hex(const BarColours& colours)
{
    char s[48];
    snprintf(s, sizeof s, "%lx %lx %lx %lx", colours.c[0], colours.c[1], colours.c[2], colours.c[3]);
    return s;
}

}  // namespace playerdrive
