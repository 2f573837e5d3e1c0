// engine_rig.h - what the player's engine tests share: a main window built like the player's
// (title, position bar and the four texts) wrapped by mainForm, WAVE files on disk and the capture
// file read back.
#pragma once

#include <windows.h>
#include <string>

namespace enginerig {

// The player's main window for the tests: "Orvandel" with the position bar (1005) and the
// time (1006), path (1007), key (1009) and volume (1010) texts; mainForm wraps it while it lives.
class MainWindowRig {
public:
    MainWindowRig();
    ~MainWindowRig();
    // Returns the text of the child control.
    std::string Text(int id) const;
    // Returns the bar's range, markers and position through its messages.
    void Bar(UINT* minimum, UINT* maximum, UINT* start, UINT* end, UINT* position) const;
    // The same decoded: "range 0-30000 markers 0-30000 position 0".
    std::string BarText() const;
    HWND window;

    MainWindowRig(const MainWindowRig&) = delete;
    MainWindowRig& operator=(const MainWindowRig&) = delete;
};

// Writes bytes to a fresh file in the program's temporary folder; returns its path.
std::string WriteTempFile(const std::string& name, const std::string& bytes);

// What a capture file (or any WAVE file) holds: its rate, layout and sample bytes.
struct Captured {
    bool ok = false;
    unsigned rate = 0;
    unsigned channels = 0;
    unsigned bits = 0;
    std::string data;  // from the data chunk's start to the end of the file
};

// Reads a WAVE file leniently (a capture that is still being written has no final sizes).
Captured ReadCapture(const std::string& path);

// Returns the position of needle in haystack from the start, or std::string::npos.
size_t FindBytes(const std::string& haystack, const std::string& needle, size_t from = 0);

}  // namespace enginerig
