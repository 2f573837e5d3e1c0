// harness_util.h - small helpers shared by the test programs.
#pragma once

#include <windows.h>
#include <functional>
#include <initializer_list>
#include <string>

namespace testutil {

// Pumps this thread's messages until cond() holds or timeoutMs passes; returns whether it held.
bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs);

// Pumps messages while waiting for the handle; returns whether it was signalled within timeoutMs.
bool WaitAndPump(HANDLE handle, DWORD timeoutMs);

// Dispatches every message already queued for this thread.
void PumpPending();

// Returns a path in a fresh per-program temporary folder.
std::string TempPath(const std::string& name);

// Returns the folder of this program's file, with a backslash at the end.
std::string ExeDirectory();

// Returns the Windows path of the WAVE file that receives everything this program plays.
std::string CapturePath();

// Returns the Windows path of a file of the source tree, given relative to its top.
std::string SourcePath(const std::string& relative);

// Reads a whole file; returns false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& contents);

// Writes a whole file; returns false on failure.
bool WriteWholeFile(const std::string& path, const std::string& contents);

// Puts the library's load-time settings back (buffer and file limits, number formats); returns the
// TarvikSetup result.
int RestoreTarvikSetup();

// Registers a window class for a test, once per program and name (later calls find it there), with
// the procedure, an arrow cursor and the background brush (null: the window paints it all itself);
// returns the class name, or null when the class could not be registered.
const char* TestWindowClass(const char* name, WNDPROC procedure = DefWindowProcA,
                            HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));

// A shown, bordered top-level window of the test window class (a suite's host for its controls),
// and its end: destroyed, pending messages handled, the handle set to null.
HWND HostWindow(const char* className, const char* title, int x, int y, int width, int height);
void DestroyHostWindow(HWND& window);

// Makes a fresh folder in the temporary folder with the files named (each holding its own name;
// a name ending in a backslash makes a subfolder); returns its path, or "" when a file could not
// be written.
std::string FolderWithFiles(const std::string& name, std::initializer_list<const char*> files);

// Returns the text of a window (read with WM_GETTEXT, which works across threads and processes; a
// window that does not answer within five seconds reads as empty).
std::string WindowText(HWND window);

// Returns the class name of a window.
std::string WindowClass(HWND window);

// Returns where the window is on the screen (or in its parent's client area) and its outer size,
// as "x,y wxh" ("30,50 320x240").
std::string WindowBox(HWND window, bool inParent = false);

}  // namespace testutil
