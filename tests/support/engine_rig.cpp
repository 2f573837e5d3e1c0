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
    static bool registered = false;
    HINSTANCE instance = GetModuleHandleA(NULL);
    if (!registered) {
        RegisterBar2Class();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = instance;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "VelmoraEngineRig";
        RegisterClassA(&wc);
        registered = true;
    }
    window = CreateWindowExA(0, "VelmoraEngineRig", "Orvandel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 400, 140,
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

MessageCatcher::MessageCatcher(DWORD timeoutMs)
    : m_stop(0), m_thread(GetCurrentThreadId()), m_timeout(timeoutMs), m_helper(NULL), m_caught(false)
{
    m_helper = CreateThread(NULL, 0, Run, this, 0, NULL);
}

MessageCatcher::~MessageCatcher()
{
    m_stop = 1;
    Caught();
}

bool MessageCatcher::Caught()
{
    if (m_helper) {
        WaitForSingleObject(m_helper, m_timeout + 5000);
        CloseHandle(m_helper);
        m_helper = NULL;
    }
    return m_caught;
}

namespace {

struct BoxSearch {
    HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM data)
{
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (IsWindowVisible(window) && strcmp(cls, "#32770") == 0) {
        reinterpret_cast<BoxSearch*>(data)->found = window;
        return FALSE;
    }
    return TRUE;
}

std::string TextOf(HWND window)
{
    char text[1024] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

struct LongestStatic {
    std::string text;
};

BOOL CALLBACK ReadStatic(HWND window, LPARAM data)
{
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0) {
        std::string t = TextOf(window);
        LongestStatic* s = reinterpret_cast<LongestStatic*>(data);
        if (t.size() > s->text.size())
            s->text = t;
    }
    return TRUE;
}

}  // namespace

DWORD WINAPI MessageCatcher::Run(void* self)
{
    MessageCatcher* me = static_cast<MessageCatcher*>(self);
    DWORD start = GetTickCount();
    while (!me->m_stop && GetTickCount() - start < me->m_timeout) {
        BoxSearch search = {NULL};
        EnumThreadWindows(me->m_thread, FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            me->caption = TextOf(search.found);
            LongestStatic s;
            EnumChildWindows(search.found, ReadStatic, reinterpret_cast<LPARAM>(&s));
            me->text = s.text;
            me->m_caught = true;
            PostMessageA(search.found, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(20);
    }
    return 0;
}

size_t FindBytes(const std::string& haystack, const std::string& needle, size_t from)
{
    return haystack.find(needle, from);
}

}  // namespace enginerig
