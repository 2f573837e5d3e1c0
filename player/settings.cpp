// settings.cpp - the settings file, the key and volume commands and displays.
#include "settings.h"

#include <windows.h>
#include <stdio.h>

#include "resource.h"
#include "shell.h"
#include "time_stretch.h"
#include "utilities.h"
#include "wave_core.h"

PlayerSettings playerSettings = {0xC0C0C0, 0, 0xFFFFFF, 0xFF0000, 0, 0};
int key = 0;
std::atomic<int> volume(0);
std::atomic<int> speedPercent(SPEED_DEFAULT);
std::atomic<int> keepTempo(0);

namespace {

const char kSection[] = "Settings";

int ReadKey(const char* name, int fallback, const char* path)
{
    return static_cast<int>(GetPrivateProfileIntA(kSection, name, fallback, path));
}

void WriteKey(const char* name, int value, const char* path)
{
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    WritePrivateProfileStringA(kSection, name, text, path);
}

}  // namespace

void GetSettingsPath(char* path)
{
    GetAppPath(path, "velmora.ini");
}

int LoadSettings()
{
    char path[260];
    GetSettingsPath(path);
    playerSettings.BarColor = ReadKey("BarColor", 0xFFFFFF, path);
    playerSettings.BkgColor = ReadKey("BkgColor", 0xC0C0C0, path);
    playerSettings.LineColor = ReadKey("LineColor", 0, path);
    playerSettings.MarkerColor = ReadKey("MarkerColor", 0xFF0000, path);
    // Hand-edited values are used as they stand, within limits that keep every display and
    // product of the gain in range.
    playerSettings.Octave = LimitSetting(ReadKey("Octave", 0, path), KEY_LIMIT);
    playerSettings.Volume = LimitSetting(ReadKey("Volume", 0, path), VOLUME_LIMIT);
    speedPercent.store(LimitSpeed(ReadKey("Speed", SPEED_DEFAULT, path)));
    keepTempo.store(ReadKey("KeepTempo", 0, path) != 0);
    return 1;
}

int SaveSettings()
{
    char path[260];
    GetSettingsPath(path);
    WriteKey("BarColor", playerSettings.BarColor, path);
    WriteKey("BkgColor", playerSettings.BkgColor, path);
    WriteKey("LineColor", playerSettings.LineColor, path);
    WriteKey("MarkerColor", playerSettings.MarkerColor, path);
    WriteKey("Octave", playerSettings.Octave, path);
    WriteKey("Volume", playerSettings.Volume, path);
    // The two are written together or not at all, so that they stay in this order after the six.
    if (speedPercent.load() != SPEED_DEFAULT || keepTempo.load() != 0) {
        WriteKey("Speed", speedPercent.load(), path);
        WriteKey("KeepTempo", keepTempo.load() != 0, path);
    } else {
        WritePrivateProfileStringA(kSection, "Speed", NULL, path);
        WritePrivateProfileStringA(kSection, "KeepTempo", NULL, path);
    }
    return 1;
}

void ShowKey()
{
    char text[8];
    if (key == 0)
        stringadd(text, "  0");
    else
        FormatKeyText(text, key);
    mainForm.SetTextChild(IDC_KEY_TEXT, text);
}

void ShowVolume()
{
    char text[32];
    FormatVolumeText(text, volume.load());
    mainForm.SetTextChild(IDC_VOLUME_TEXT, text);
}

int KeyUp()
{
    if (key == 12 || key >= KEY_LIMIT)
        return 1;
    ++key;
    ShowKey();
    return 1;
}

int KeyDown()
{
    if (key == -12 || key <= -KEY_LIMIT)
        return 1;
    --key;
    ShowKey();
    return 1;
}

int KeyClear()
{
    key = 0;
    ShowKey();
    return 1;
}

int VolumeUp()
{
    int v = volume.load();
    if (v == 40 || v >= VOLUME_LIMIT)
        return 1;
    volume.store(v + 1);
    ShowVolume();
    return 1;
}

int VolumeDown()
{
    int v = volume.load();
    if (v == 0 || v <= -VOLUME_LIMIT)
        return 1;
    volume.store(v - 1);
    ShowVolume();
    return 1;
}

int VolumeClear()
{
    volume.store(0);
    ShowVolume();
    return 1;
}

void ShowSpeed()
{
    char text[16];
    FormatSpeedText(text, speedPercent.load());
    mainForm.SetTextChild(IDC_SPEED_TEXT, text);
}

int SpeedUp()
{
    speedPercent.store(LimitSpeed(speedPercent.load() + SPEED_STEP));
    ShowSpeed();
    return 1;
}

int SpeedDown()
{
    speedPercent.store(LimitSpeed(speedPercent.load() - SPEED_STEP));
    ShowSpeed();
    return 1;
}

int SpeedClear()
{
    speedPercent.store(SPEED_DEFAULT);
    ShowSpeed();
    return 1;
}

int KeepTempoToggle()
{
    keepTempo.store(!keepTempo.load());
    return 1;
}
