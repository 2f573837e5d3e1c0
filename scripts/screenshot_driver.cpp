// screenshot_driver.cpp - run by scripts/screenshots under the harness: starts the player, works it
// through its own window messages and saves what the screen shows as BMP files for the user guide.
//   screenshot_driver PLAYER WAVE OUTDIR
// main.bmp          the main window after start
// main-file.bmp     a file loaded, markers set, key +2, volume +5 ("VOL: +0.5x"), speed 75 %,
//                   playback started and paused
// colors.bmp        the bar colour dialog
// menu-playback.bmp, menu-options.bmp   the main window with a menu open
// Exits with 1 (and says which step) when a window does not appear.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>

namespace {

// Command and control identifiers of the player (player/resource.h).
const int kOpen = 40001, kPlayPause = 40007, kRepeat = 40009, kVolumeUp = 40016, kKeyUp = 40017,
          kBarColors = 40021, kSpeedDown = 40022, kPositionBar = 1005, kPathText = 1007;

DWORD playerId;

struct Query {
    const char* className;
    const char* title;
    HWND owner;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM param)
{
    Query* q = reinterpret_cast<Query*>(param);
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    char text[256];
    if (id != playerId || !IsWindowVisible(window))
        return TRUE;
    if (q->className && (!GetClassNameA(window, text, sizeof text) || strcmp(text, q->className)))
        return TRUE;
    if (q->title && (GetWindowTextA(window, text, sizeof text) < 0 || strcmp(text, q->title)))
        return TRUE;
    if (q->owner && GetWindow(window, GW_OWNER) != q->owner)
        return TRUE;
    q->found = window;
    return FALSE;
}

HWND Find(const char* className, const char* title, HWND owner)
{
    Query q = {className, title, owner, 0};
    EnumWindows(Match, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

HWND WaitFor(const char* step, const char* className, const char* title, HWND owner)
{
    for (int i = 0; i < 300; ++i) {
        if (HWND w = Find(className, title, owner))
            return w;
        Sleep(50);
    }
    fprintf(stderr, "screenshot_driver: no window for %s\n", step);
    exit(1);
}

void WaitGone(const char* className, HWND owner)
{
    for (int i = 0; i < 200 && Find(className, 0, owner); ++i)
        Sleep(50);
}

// Lets the player's thread handle everything posted so far, then gives it time to paint.
void Settle(HWND main, DWORD ms = 400)
{
    DWORD_PTR result;
    SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    Sleep(ms);
}

// Saves the screen's rectangle r; with keep given, what lies outside keep[0] and keep[1] (the bare
// screen between a window and its menu) is painted white.
bool Save(const std::string& path, RECT r, const RECT* keep = 0)
{
    int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(0);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = 0;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, 0, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    if (keep) {
        HRGN outside = CreateRectRgn(0, 0, w, h);
        for (int i = 0; i < 2; ++i) {
            HRGN window = CreateRectRgn(keep[i].left - r.left, keep[i].top - r.top, keep[i].right - r.left,
                                        keep[i].bottom - r.top);
            CombineRgn(outside, outside, window, RGN_DIFF);
            DeleteObject(window);
        }
        FillRgn(memory, outside, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DeleteObject(outside);
    }
    GdiFlush();
    DWORD size = ((w * 3 + 3) & ~3) * h;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    FILE* f = fopen(path.c_str(), "wb");
    bool ok = f && fwrite(&file, sizeof file, 1, f) == 1 && fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f) == 1 &&
              fwrite(bits, size, 1, f) == 1;
    if (f)
        fclose(f);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(0, screen);
    printf("%s %s\n", ok ? "saved" : "FAILED", path.c_str());
    return ok;
}

RECT Rect(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

void Click(HWND bar, double at, bool right)
{
    RECT c;
    GetClientRect(bar, &c);
    LPARAM point = MAKELPARAM(4 + static_cast<int>(at * (c.right - 8)), c.bottom / 2);
    PostMessageA(bar, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, point);
    PostMessageA(bar, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, point);
}

// The main window with one of its menus open (by the menu's access key).
bool ShotMenu(HWND main, char key, const std::string& path)
{
    PostMessageA(main, WM_SYSCOMMAND, SC_KEYMENU, key);
    HWND menu = WaitFor("a menu", "#32768", 0, 0);
    Sleep(400);
    RECT both[2] = {Rect(main), Rect(menu)}, u;
    UnionRect(&u, &both[0], &both[1]);
    bool ok = Save(path, u, both);
    PostMessageA(main, WM_CANCELMODE, 0, 0);
    WaitGone("#32768", 0);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    // The last three arguments (Wine may hand over the program's Unix path before them).
    if (argc < 4) {
        fprintf(stderr, "usage: screenshot_driver PLAYER WAVE OUTDIR\n");
        return 2;
    }
    argv += argc - 4;
    std::string out = std::string(argv[3]) + "\\";
    std::string dir(argv[1]);
    dir = dir.substr(0, dir.find_last_of('\\'));
    STARTUPINFOA start = {};
    start.cb = sizeof start;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(argv[1], 0, 0, 0, FALSE, 0, 0, dir.c_str(), &start, &process)) {
        fprintf(stderr, "screenshot_driver: cannot start %s\n", argv[1]);
        return 1;
    }
    playerId = process.dwProcessId;
    bool ok = true;

    HWND main = WaitFor("the main window", "#32770", "Orvandel", 0);
    Settle(main, 800);
    ok &= Save(out + "main.bmp", Rect(main));

    // Open the file through the open dialog, as a user does.
    PostMessageA(main, WM_COMMAND, kOpen, 0);
    HWND dialog = WaitFor("the open dialog", "#32770", 0, main);
    Sleep(300);
    int nameBox = GetDlgItem(dialog, 0x47C) ? 0x47C : 0x480;  // the file name box (cmb13, edt1)
    SetDlgItemTextA(dialog, nameBox, argv[2]);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    WaitGone("#32770", main);
    char path[MAX_PATH] = "";
    for (int i = 0; i < 100 && !strstr(path, ".wav"); ++i) {
        Sleep(50);
        GetDlgItemTextA(main, kPathText, path, sizeof path);
    }
    if (!strstr(path, ".wav")) {
        fprintf(stderr, "screenshot_driver: the file did not load\n");
        ok = false;
    }
    HWND bar = GetDlgItem(main, kPositionBar);
    Click(bar, 0.30, false);
    Click(bar, 0.62, true);
    for (int i = 0; i < 2; ++i)
        SendMessageA(main, WM_COMMAND, kKeyUp, 0);
    for (int i = 0; i < 5; ++i)
        SendMessageA(main, WM_COMMAND, kVolumeUp, 0);
    for (int i = 0; i < 5; ++i)
        SendMessageA(main, WM_COMMAND, kSpeedDown, 0);
    SendMessageA(main, WM_COMMAND, kRepeat, 0);
    // Play and pause at once: the time shows the start marker plus the six blocks queued.
    SendMessageA(main, WM_COMMAND, kPlayPause, 0);
    SendMessageA(main, WM_COMMAND, kPlayPause, 0);
    Settle(main, 600);
    ok &= Save(out + "main-file.bmp", Rect(main));

    PostMessageA(main, WM_COMMAND, kBarColors, 0);
    dialog = WaitFor("the colour dialog", "#32770", 0, main);
    Sleep(600);
    ok &= Save(out + "colors.bmp", Rect(dialog));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    WaitGone("#32770", main);

    ok &= ShotMenu(main, 'p', out + "menu-playback.bmp");
    ok &= ShotMenu(main, 'o', out + "menu-options.bmp");

    PostMessageA(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ok ? 0 : 1;
}
