// settings.h - the settings file (velmora.ini beside the executable), the key and volume
// commands, and the key and volume displays of the main window.
//
// Classes in this header:
//   PlayerSettings   the six values kept between runs
#pragma once

#include <atomic>

// The six settings, in this order; the first four are the position bar's Bar2Colors block.
struct PlayerSettings {
    int BkgColor;     // bar background          (default 0xC0C0C0)
    int LineColor;    // position line           (default 0)
    int BarColor;     // bar before the markers  (default 0xFFFFFF)
    int MarkerColor;  // marked range            (default 0xFF0000)
    int Volume;       // volume-gain step        (default 0)
    int Octave;       // key in semitones        (default 0)
};

// The settings as read at start and written at exit.
extern PlayerSettings playerSettings;

// The key in semitones and the volume-gain step while the player runs (the refill thread reads
// volume, so it is atomic).
extern int key;
extern std::atomic<int> volume;

// The playback speed in percent (25 to 200, 100 plays as the file is) and whether a key change
// keeps the tempo (the stretch undoes the key's change of speed); the refill thread reads both.
// Kept as the keys "Speed" and "KeepTempo" after the six, which are written only when one of the
// two differs from its default (100, 0), so that a file at the defaults holds just the six.
extern std::atomic<int> speedPercent;
extern std::atomic<int> keepTempo;

// Reads the six keys of section "Settings", then "Speed" and "KeepTempo" (missing ones give their
// defaults); returns 1.
int LoadSettings();
// Writes the six keys of section "Settings" as "%d" text, then "Speed" and "KeepTempo" (or removes
// these two when both are at their defaults); returns 1.
int SaveSettings();
// Writes the settings file's full path into path (260 bytes); returns nothing.
void GetSettingsPath(char* path);

// Shows key in the key display (control 1009); returns nothing.
void ShowKey();
// Shows volume in the volume display (control 1010); returns nothing.
void ShowVolume();
// Shows the speed in the speed display (control 1015); returns nothing.
void ShowSpeed();

// Key +1 unless it is 12; returns 1.
int KeyUp();
// Key -1 unless it is -12; returns 1.
int KeyDown();
// Key 0; returns 1.
int KeyClear();
// Volume +1 unless it is 40; returns 1.
int VolumeUp();
// Volume -1 unless it is 0; returns 1.
int VolumeDown();
// Volume 0; returns 1.
int VolumeClear();
// Speed +5 % unless it is 200 %; returns 1.
int SpeedUp();
// Speed -5 % unless it is 25 %; returns 1.
int SpeedDown();
// Speed 100 %; returns 1.
int SpeedClear();
// Turns keeping the tempo on a key change on or off; returns 1.
int KeepTempoToggle();
