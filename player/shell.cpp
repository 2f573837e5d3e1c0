// shell.cpp - the player's frame: start-up, message loop, main window, commands, shutdown.
#include "shell.h"

#include <shellapi.h>
#include <string.h>

#include "cmndlg.h"
#include "conveniences.h"
#include "dialogs.h"
#include "menu.h"
#include "playback.h"
#include "position_bar.h"
#include "range_memory.h"
#include "resource.h"
#include "settings.h"
#include "utilities.h"
#include "wave_loader.h"

CForm mainForm;
CString wavePath;
CFiler waveFile;
HINSTANCE appInstance = 0;
ShellExecuteFunction shellExecute = ShellExecuteA;

namespace {

HICON appIcon = 0;
HACCEL appAccelerators = 0;

// The key display's width: 24 pixels, or what its widest text needs with the font in use.
long keyDisplayWidth = 24;

// The path of the file that is loaded now (empty when none): the remembered range's key.
CString loadedPath;

// The main window's timer: id 0, every 10 ms, delivered as WM_TIMER.
const UINT_PTR kTimerId = 0;
const UINT kTimerPeriod = 10;

// Options of the open dialog: resizable, no read-only box.
const unsigned long kOpenFlags = OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

// "Wave サウンド(*.wav)", "*.wav", "全てのファイル(*.*)", "*.*", each ending in a zero byte, and the
// list ending in a second one.
const char kOpenFilter[] =
    "Wave \x83T\x83" "E\x83\x93\x83h(*.wav)\0*.wav\0"
    "\x91S\x82\xC4\x82\xCC\x83t\x83@\x83" "C\x83\x8B(*.*)\0*.*\0";

// Returns the height of a child window, in pixels.
long ChildHeight(UINT id)
{
    RECT rect = {};
    mainForm.GetRectChild(id, &rect);
    return rect.bottom - rect.top;
}

// Returns the width of a child window, in pixels.
long ChildWidth(UINT id)
{
    RECT rect = {};
    mainForm.GetRectChild(id, &rect);
    return rect.right - rect.left;
}

// Reads one or both markers from the position bar as they are now.
void ReadBarMarkers(UINT* start, UINT* end)
{
    mainForm.SendMessageChild(IDC_POSITION_BAR, BM2_GETMARKERS, reinterpret_cast<WPARAM>(start),
                              reinterpret_cast<LPARAM>(end));
}

// Keeps the loaded file's markers in the ranges store when the option is on; returns nothing.
void RememberLoadedRange()
{
    if (!rememberRanges || PlayState.load() == PLAY_NONE || loadedPath.IsEmpty())
        return;
    UINT start = 0, end = 0;
    ReadBarMarkers(&start, &end);
    RememberRange(loadedPath, waveInfo.totalFrames, start, end);
}

// Closes the loaded file after keeping its range; returns 1.
int CloseLoaded()
{
    RememberLoadedRange();
    loadedPath = "";
    return CloseWave();
}

// Loads wavePath after closing the loaded file (keeping its range); restores the new file's
// remembered range when asked to. Returns 1 when loaded, else 0.
int LoadWavePath(bool restoreRange)
{
    CloseLoaded();
    if (!LoadWave(wavePath))
        return 0;
    loadedPath = wavePath;
    UINT start = 0, end = 0;
    if (restoreRange && rememberRanges && RecallRange(loadedPath, waveInfo.totalFrames, &start, &end)) {
        mainForm.SendMessageChild(IDC_POSITION_BAR, BM2_SETMARKER, 1, static_cast<LPARAM>(start));
        mainForm.SendMessageChild(IDC_POSITION_BAR, BM2_SETMARKER, 0, static_cast<LPARAM>(end));
        CarryMarkers();
    }
    return 1;
}

// The gap between the speed display and the volume display, in pixels.
const long kSpeedGap = 4;

// Makes the speed display: a sunken text like the volume display, in the window's font, as wide
// as its widest text; LayoutMainWindow places it.
void CreateSpeedText(HWND window)
{
    HWND volumeText = mainForm.GetDlgItem(IDC_VOLUME_TEXT);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(volumeText, WM_GETFONT, 0, 0));
    SIZE extent = TextExtentIn(volumeText, "SPD: 200%");
    HWND text = CreateWindowExA(0, "Static", "", SS_LEFT | SS_SUNKEN | WS_CHILD | WS_VISIBLE, 0, 0, extent.cx + 6,
                                ChildHeight(IDC_VOLUME_TEXT), window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SPEED_TEXT)), appInstance, NULL);
    if (text && font)
        SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
}

void InitMainWindow(HWND window)
{
    mainForm = window;
    mainForm.SetText(PLAYER_DISPLAY_NAME);
    mainForm.SetIcon(ICON_BIG, appIcon);
    mainForm.SetIcon(ICON_SMALL, appIcon);
    SetWindowLongA(mainForm.GetDlgItem(IDC_POSITION_BAR), GWL_EXSTYLE, WS_EX_CLIENTEDGE);
    mainForm.SetTimer(kTimerId, kTimerPeriod, 0);
    mainForm.SendMessageChild(IDC_POSITION_BAR, BM2_SETCOLORS, 0, reinterpret_cast<LPARAM>(&playerSettings));
    key = playerSettings.Octave;
    volume = playerSettings.Volume;
    ShowKey();
    ShowVolume();
    FitVolumeDisplay();
    // Up to the path display's left edge at most.
    keyDisplayWidth = KeyDisplayWidth(24, 32);
    DragAcceptFiles(window, TRUE);
    CreateSpeedText(window);
    ShowSpeed();
    // The template's size need not come out at the fixed height; the system's size limits apply
    // only to later sizing, so the window is brought to its height here.
    RECT frame = {};
    mainForm.GetRect(&frame);
    long width = frame.right - frame.left;
    mainForm.SetWindowPos(0, 0, 0, width < MAIN_WINDOW_MIN_WIDTH ? MAIN_WINDOW_MIN_WIDTH : width, MAIN_WINDOW_HEIGHT,
                          SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    mainForm.SendMessageA(WM_SIZE, 0, 0);
}

void CloseMainWindow(HWND window, WPARAM code)
{
    mainForm.SendMessageChild(IDC_POSITION_BAR, BM2_GETCOLORS, 0, reinterpret_cast<LPARAM>(&playerSettings));
    CloseLoaded();
    KillTimer(window, kTimerId);
    EndDialog(window, code);
    PostQuitMessage(static_cast<int>(code));
}

}  // namespace

int RunPlayer(HINSTANCE instance)
{
    appInstance = instance;
    if (!RegisterBar2Class())
        return 0;
    appIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_VELMORA));
    appAccelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    LoadSettings();
    LoadRangeOption();

    HWND window = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), 0, MainDialogProc, 0);
    if (window) {
        ShowWindow(window, SW_SHOW);
        MSG msg;
        while (GetMessageA(&msg, 0, 0, 0) > 0) {
            if (TranslateAcceleratorA(window, appAccelerators, &msg))
                continue;
            if (IsDialogMessageA(window, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        // The window ended with EndDialog is still there, hidden: it goes now, with its controls.
        DestroyWindow(window);
        mainForm = static_cast<HWND>(0);
    }

    if (appIcon)
        DestroyIcon(appIcon);
    appIcon = 0;
    if (appAccelerators)
        DestroyAcceleratorTable(appAccelerators);
    appAccelerators = 0;
    playerSettings.Octave = key;
    playerSettings.Volume = volume.load();
    SaveSettings();
    SaveRangeOption();
    return 0;
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitMainWindow(window);
        return 1;
    case WM_SIZE:
        LayoutMainWindow();
        return 1;
    case WM_GETMINMAXINFO: {
        MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = MAIN_WINDOW_MIN_WIDTH;
        info->ptMinTrackSize.y = MAIN_WINDOW_HEIGHT;
        info->ptMaxTrackSize.y = MAIN_WINDOW_HEIGHT;
        return 0;
    }
    case WM_TIMER:
        TimerTick();
        return 1;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header || header->code != BM2N_CHANGED)
            return 0;
        SeekFromBar(reinterpret_cast<const Bar2Notify*>(lParam));
        return 1;
    }
    case WM_INITMENU: {
        CMenu menu(reinterpret_cast<HMENU>(wParam));
        menu.SetCheck(IDM_REPEAT, repeatOn.load());
        menu.SetCheck(IDM_REMEMBER_RANGES, rememberRanges);
        menu.SetCheck(IDM_KEEP_TEMPO, keepTempo.load());
        return 1;
    }
    case WM_COMMAND:
        return DispatchCommand(LOWORD(wParam));
    case WM_DROPFILES:
        OpenDroppedFiles(reinterpret_cast<HDROP>(wParam));
        return 1;
    case WM_CLOSE:
        CloseMainWindow(window, wParam);
        return 1;
    }
    return 0;
}

void LayoutMainWindow()
{
    RECT client = {};
    mainForm.GetClient(&client);
    long width = client.right;
    long pathHeight = ChildHeight(IDC_PATH_TEXT);
    long volumeWidth = ChildWidth(IDC_VOLUME_TEXT);
    mainForm.MoveChild(IDC_PATH_TEXT, 40, 16, width - 48, pathHeight, 1);
    mainForm.MoveChild(IDC_KEY_TEXT, 8, 16, keyDisplayWidth, pathHeight, 1);
    mainForm.MoveChild(IDC_POSITION_BAR, 10, 40, width - 20, ChildHeight(IDC_POSITION_BAR), 1);
    mainForm.MoveChild(IDC_VOLUME_TEXT, width - volumeWidth - 10, 70, volumeWidth, ChildHeight(IDC_VOLUME_TEXT), 1);
    // The speed display keeps clear of the volume display, however wide that is now.
    long speedWidth = ChildWidth(IDC_SPEED_TEXT);
    mainForm.MoveChild(IDC_SPEED_TEXT, width - volumeWidth - 10 - kSpeedGap - speedWidth, 70, speedWidth,
                       ChildHeight(IDC_VOLUME_TEXT), 1);
    mainForm.Invalidate(0, 0);
}

void CarryMarkers()
{
    UINT start = 0, end = 0;
    ReadBarMarkers(&start, &end);
    markerStart = start;
    markerEnd = end;
}

void TimerTick()
{
    CarryMarkers();
    char text[sizeof(timeText)];
    UINT position = 0;
    if (TakeTimeText(text, &position)) {
        mainForm.SendMessageChild(IDC_POSITION_BAR, BM2_SETPOS, 0, position);
        mainForm.SetTextChild(IDC_TIME_TEXT, text);
    }
}

int OpenCommand()
{
    CCmnDlg dialog(mainForm);
    char file[MAX_PATH];
    memset(file, 0, sizeof(file));
    if (!wavePath.IsEmpty() && strlen(wavePath) < sizeof(file))
        stringadd(file, wavePath);
    if (dialog.ShowOpen(file, kOpenFilter, 0, kOpenFlags) != 1)
        return 0;
    return OpenPath(file);
}

int OpenPath(const char* path)
{
    wavePath = path;
    return LoadWavePath(true);
}

int ReloadCommand()
{
    if (wavePath.IsEmpty())
        return 0;
    return LoadWavePath(false);
}

int WebSiteCommand()
{
    char question[1024];
    stringadd(question, GetResString(appInstance, IDS_CONNECT_QUESTION));
    if (mainForm.MsgBox(question, MB_YESNO | MB_ICONQUESTION, 0) != IDNO)
        shellExecute(0, "open", GetResString(appInstance, IDS_WEB_ADDRESS), 0, 0, SW_SHOW);
    return 1;
}

int DispatchCommand(UINT id)
{
    UINT marker = 0;
    switch (id) {
    case IDM_OPEN:          OpenCommand(); break;
    case IDM_CLOSE:         CloseLoaded(); break;
    case IDM_EXIT:          mainForm.SendMessageA(WM_CLOSE, 0, 0); break;
    case IDM_GOTO_BEGIN:    SeekTo(0, 1); break;
    case IDM_GOTO_START:    ReadBarMarkers(&marker, 0); SeekTo(marker, 1); break;
    case IDM_GOTO_END:      ReadBarMarkers(0, &marker); SeekTo(marker, 1); break;
    case IDM_PLAY_PAUSE:    PlayPause(); break;
    case IDM_ABOUT:         AboutCommand(); break;
    case IDM_REPEAT:        repeatOn = !repeatOn.load(); break;
    case IDM_STOP_AT_START: ReadBarMarkers(&marker, 0); SeekTo(marker, 0); break;
    case IDM_KEY_CLEAR:     KeyClear(); break;
    case IDM_WEB_SITE:      WebSiteCommand(); break;
    case IDM_RELOAD:        ReloadCommand(); break;
    case IDM_VOLUME_UP:     VolumeUp(); break;
    case IDM_KEY_UP:        KeyUp(); break;
    case IDM_KEY_DOWN:      KeyDown(); break;
    case IDM_VOLUME_DOWN:   VolumeDown(); break;
    case IDM_VOLUME_CLEAR:  VolumeClear(); break;
    case IDM_BAR_COLORS:    BarColorsCommand(); break;
    case IDM_START_EARLIER: NudgeMarker(1, 0); break;
    case IDM_START_LATER:   NudgeMarker(1, 1); break;
    case IDM_END_EARLIER:   NudgeMarker(0, 0); break;
    case IDM_END_LATER:     NudgeMarker(0, 1); break;
    case IDM_REMEMBER_RANGES: rememberRanges = !rememberRanges; break;
    case IDM_SPEED_DOWN:    SpeedDown(); break;
    case IDM_SPEED_UP:      SpeedUp(); break;
    case IDM_SPEED_CLEAR:   SpeedClear(); break;
    case IDM_KEEP_TEMPO:    KeepTempoToggle(); break;
    default:                return 0;
    }
    return 1;
}
