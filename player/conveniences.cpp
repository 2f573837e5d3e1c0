// conveniences.cpp - marker nudge keys, dropped files and fitting fixed texts.
#include "conveniences.h"

#include <string.h>
#include <vector>

#include "playback.h"
#include "position_bar.h"
#include "resource.h"
#include "settings.h"
#include "shell.h"
#include "strings.h"
#include "wave_core.h"
#include "wave_loader.h"

namespace {

// The volumes the volume commands step through from the default.
const int kHighestVolumeStep = 40;

// Returns value moved by step toward later (or earlier), held within [low, high]; low <= value <= high.
UINT StepWithin(UINT value, UINT step, int later, UINT low, UINT high)
{
    if (later)
        return high - value < step ? high : value + step;
    return value - low < step ? low : value - step;
}

// Returns whether the static control shows its text as text (not an icon, bitmap or frame).
bool ShowsText(HWND control)
{
    char cls[16] = "";
    GetClassNameA(control, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") != 0)
        return false;
    switch (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
        return true;
    }
    return false;
}

}  // namespace

int NudgeMarker(int startMarker, int later)
{
    if (PlayState.load() == PLAY_NONE)
        return 0;
    UINT minimum = 0, maximum = 0, start = 0, end = 0;
    mainForm.SendMessageChild(IDC_POSITION_BAR, BM2_GETRANGE, reinterpret_cast<WPARAM>(&minimum),
                              reinterpret_cast<LPARAM>(&maximum));
    mainForm.SendMessageChild(IDC_POSITION_BAR, BM2_GETMARKERS, reinterpret_cast<WPARAM>(&start),
                              reinterpret_cast<LPARAM>(&end));
    const UINT step = MarkerNudgeFrames(waveInfo.sampleRate);
    // A right drag may have put the end before the start: neither then moves past where it is.
    if (startMarker) {
        UINT high = end > start ? end : start;
        UINT value = start < minimum ? minimum : start;
        value = StepWithin(value, step, later, minimum, high < value ? value : high);
        mainForm.SendMessageChild(IDC_POSITION_BAR, BM2_SETMARKER, 1, static_cast<LPARAM>(value));
    } else {
        UINT low = start < end ? start : end;
        UINT value = end > maximum ? maximum : end;
        value = StepWithin(value, step, later, low > value ? value : low, maximum);
        mainForm.SendMessageChild(IDC_POSITION_BAR, BM2_SETMARKER, 0, static_cast<LPARAM>(value));
    }
    CarryMarkers();
    return 1;
}

int OpenDroppedFiles(HDROP drop)
{
    if (!drop)
        return 0;
    std::vector<char> name;
    if (DragQueryFileA(drop, 0xFFFFFFFF, 0, 0) > 0) {
        UINT length = DragQueryFileA(drop, 0, 0, 0);
        name.assign(length + 1, '\0');
        if (DragQueryFileA(drop, 0, name.data(), length + 1) != length)
            name.clear();
    }
    DragFinish(drop);
    if (name.empty() || !name[0])
        return 0;
    return OpenPath(name.data());
}

SIZE TextExtentIn(HWND control, const char* text)
{
    SIZE size = {0, 0};
    HDC dc = GetDC(control);
    if (!dc)
        return size;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : 0;
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    if (old)
        SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

SIZE WidestText(HWND control, const char* const* texts, int count)
{
    SIZE widest = {0, 0};
    for (int i = 0; texts && i < count; ++i) {
        SIZE s = TextExtentIn(control, texts[i]);
        if (s.cx > widest.cx)
            widest.cx = s.cx;
        if (s.cy > widest.cy)
            widest.cy = s.cy;
    }
    return widest;
}

int FitControlToTexts(HWND control, const char* const* texts, int count)
{
    if (!control || !texts)
        return 0;
    SIZE widest = WidestText(control, texts, count);
    long wantWidth = widest.cx, wantHeight = widest.cy;
    RECT client = {}, frame = {};
    GetClientRect(control, &client);
    GetWindowRect(control, &frame);
    MapWindowPoints(0, GetParent(control), reinterpret_cast<POINT*>(&frame), 2);
    long growWidth = wantWidth > client.right ? wantWidth - client.right : 0;
    long growHeight = wantHeight > client.bottom ? wantHeight - client.bottom : 0;
    if (!growWidth && !growHeight)
        return 0;
    long left = frame.left;
    LONG alignment = GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK;
    if (alignment == SS_RIGHT)
        left -= growWidth;
    else if (alignment == SS_CENTER)
        left -= growWidth / 2;
    SetWindowPos(control, 0, left, frame.top, frame.right - frame.left + growWidth,
                 frame.bottom - frame.top + growHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(control, 0, TRUE);
    return 1;
}

int FitDialogTexts(HWND dialog)
{
    int grown = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!ShowsText(child))
            continue;
        char text[512] = "";
        if (GetWindowTextA(child, text, sizeof text) <= 0)
            continue;
        const char* texts[1] = {text};
        grown += FitControlToTexts(child, texts, 1);
    }
    return grown;
}

int FitVolumeDisplay()
{
    const int count = kHighestVolumeStep + 2;
    char texts[count][32];
    const char* pointers[count];
    for (int i = 0; i <= kHighestVolumeStep; ++i) {
        FormatVolumeText(texts[i], i);
        pointers[i] = texts[i];
    }
    FormatVolumeText(texts[count - 1], volume.load());
    pointers[count - 1] = texts[count - 1];
    return FitControlToTexts(mainForm.GetDlgItem(IDC_VOLUME_TEXT), pointers, count);
}

long KeyDisplayWidth(long layoutWidth, long widest)
{
    HWND control = mainForm.GetDlgItem(IDC_KEY_TEXT);
    if (!control)
        return layoutWidth;
    char texts[25][8];
    const char* pointers[25];
    for (int i = 0; i < 25; ++i) {
        if (i == 12)
            stringadd(texts[i], "  0");  // as the key display writes it
        else
            FormatKeyText(texts[i], i - 12);
        pointers[i] = texts[i];
    }
    RECT client = {}, frame = {};
    GetClientRect(control, &client);
    GetWindowRect(control, &frame);
    long needed = WidestText(control, pointers, 25).cx + (frame.right - frame.left) - client.right;
    if (needed > widest)
        needed = widest;
    return needed > layoutWidth ? needed : layoutWidth;
}
