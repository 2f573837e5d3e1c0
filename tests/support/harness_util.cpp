// harness_util.cpp - small helpers shared by the test programs.
#include "harness_util.h"
#include "tarvik.h"

#include <stdlib.h>
#include <string.h>

namespace testutil {

void PumpPending()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        PumpPending();
        if (cond())
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, timeoutMs - elapsed < 10 ? timeoutMs - elapsed : 10,
                                  QS_ALLINPUT);
    }
}

bool WaitAndPump(HANDLE handle, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed > timeoutMs)
            return false;
        DWORD r = MsgWaitForMultipleObjects(1, &handle, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0)
            return true;
        if (r != WAIT_OBJECT_0 + 1)
            return false;
        PumpPending();
    }
}

static std::string UnixToWindows(const char* path)
{
    std::string out = "Z:";
    for (const char* p = path; *p; ++p)
        out += (*p == '/') ? '\\' : *p;
    return out;
}

std::string TempPath(const std::string& name)
{
    static std::string folder;
    if (folder.empty()) {
        char base[MAX_PATH];
        GetTempPathA(sizeof base, base);
        char exe[MAX_PATH];
        GetModuleFileNameA(NULL, exe, sizeof exe);
        const char* leaf = strrchr(exe, '\\');
        folder = std::string(base) + "velmora_" + (leaf ? leaf + 1 : exe) + "_" +
                 std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), NULL);
    }
    return folder + "\\" + name;
}

std::string CapturePath()
{
    const char* p = getenv("VELMORA_CAPTURE");
    return p ? p : "";
}

std::string SourcePath(const std::string& relative)
{
    const char* top = getenv("VELMORA_SOURCE");
    if (!top)
        return relative;
    std::string r = relative;
    for (char& c : r)
        if (c == '/')
            c = '\\';
    return UnixToWindows(top) + "\\" + r;
}

bool ReadWholeFile(const std::string& path, std::string& contents)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    contents.clear();
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(f, chunk, sizeof chunk, &got, NULL) && got > 0)
        contents.append(chunk, got);
    CloseHandle(f);
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& contents)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    BOOL ok = WriteFile(f, contents.data(), static_cast<DWORD>(contents.size()), &put, NULL);
    CloseHandle(f);
    return ok && put == contents.size();
}

const char* TestWindowClass(const char* name, WNDPROC procedure, HBRUSH background)
{
    WNDCLASSA wc = {};
    if (GetClassInfoA(GetModuleHandleA(NULL), name, &wc))
        return name;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hCursor = LoadCursorA(NULL, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassA(&wc) ? name : NULL;
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                             NULL))
        return std::string();
    return text;
}

std::string WindowClass(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string FolderWithFiles(const std::string& name, std::initializer_list<const char*> files)
{
    std::string folder = TempPath(name);
    CreateDirectoryA(folder.c_str(), NULL);
    for (const char* file : files) {
        std::string path = folder + "\\" + file;
        if (path.back() == '\\')
            CreateDirectoryA(path.c_str(), NULL);
        else if (!WriteWholeFile(path, file))
            return "";
    }
    return folder;
}

HWND HostWindow(const char* className, const char* title, int x, int y, int width, int height)
{
    return CreateWindowExA(0, className, title, WS_POPUP | WS_BORDER | WS_VISIBLE, x, y, width, height, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}

void DestroyHostWindow(HWND& window)
{
    DestroyWindow(window);
    window = NULL;
    PumpPending();
}

std::string WindowBox(HWND window, bool inParent)
{
    RECT r = {};
    GetWindowRect(window, &r);
    if (inParent)
        MapWindowPoints(NULL, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

int RestoreTarvikSetup()
{
    TARVIKSETUPINFO info = {};
    info.dwMask = TSI_MAXBUFFERSIZE | TSI_MAXFILESIZE | TSI_FLOATFORMAT | TSI_HEXFORMAT;
    info.dwMaxBufferSize = 0x10000000;
    info.llMaxFileSize = 0x7F000000;
    info.pszFloatFormat = "%.3f";
    info.pszHexFormat = "0x%X";
    return TarvikSetup(&info);
}

std::string ExeDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\') + 1);
}

}  // namespace testutil
