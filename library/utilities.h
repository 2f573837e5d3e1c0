// utilities.h - free functions around windows, files and diagnostics: resource strings, the
// program's directory, centring, check-box groups, message pumping, directory enumeration,
// directory creation, existence tests, random numbers, a tick counter, double-byte tests,
// byte-block comparisons and trace output to the debugger.
//
// Classes in this header: none (free functions only).
#pragma once

#include <windows.h>
#include "frame.h"

// Called for each directory entry: name, directory, attributes, depth, index, user value.
// Returns non-zero to go on, 0 to stop listing the current directory.
typedef int (*ENUMFILEPROC)(const char* name, const char* directory, unsigned long attributes,
                            unsigned long depth, unsigned long index, unsigned long userValue);

// The flags of EnumFileInDirectory and EnumFileInDirectories: 0x1 skips "." and ".." (no callback
// for them); 0x2 (EnumFileInDirectories only) visits the subdirectories before the files.

// Returns the shared 1024-byte buffer holding the string resource (empty when missing).
TARVIK_API char* GetResString(HINSTANCE instance, unsigned int id);
// Returns 0 after writing the executable's directory, a backslash and the file name (when not null).
TARVIK_API long GetAppPath(char* buffer, const char* fileName);
// Returns 0 after centring the window over the other one (the desktop when null).
TARVIK_API int MoveToCenter(HWND window, HWND over);
// Returns the position of the first of count controls that is not unchecked, or 0xFFFFFFFF.
TARVIK_API unsigned int GetCheckOptions(HWND dialog, unsigned int count, ...);
// Returns the identifier of the first of count controls that is not unchecked, or 0xFFFFFFFF.
TARVIK_API unsigned int GetCheckOptionsID(HWND dialog, unsigned int count, ...);
// Returns the value of the first of count (identifier, value) pairs whose control is not unchecked, or 0xFFFFFFFF.
TARVIK_API unsigned int GetCheckOptionsTable(HWND dialog, unsigned int count, ...);
// Returns the position of the first of count (key, identifier) pairs whose key is its position, after checking its control; or 0xFFFFFFFF.
TARVIK_API unsigned int SetCheckOptionsTable(HWND dialog, unsigned int count, ...);
// Returns 1 when the one message taken off the queue was WM_QUIT, else 0 (after dispatching it).
TARVIK_API int EnterIdle();
// Writes the system's text for GetLastError() to the debugger.
TARVIK_API void OutputErrorString();
// Returns the index of the last entry after which the listing went on, or -1.
TARVIK_API long EnumFileInDirectory(const char* directory, const char* pattern, ENUMFILEPROC callback,
                                    unsigned long userValue, unsigned long flags);
// Returns the result of listing the top directory's files, or -1; walks the whole tree.
TARVIK_API long EnumFileInDirectories(const char* directory, const char* pattern, ENUMFILEPROC callback,
                                      unsigned long userValue, unsigned long flags);
// Returns 1 after asking the running tree search to stop, 0 when none runs or it was already asked.
TARVIK_API int CancelSearchDirectory();
// Returns 1 when the directory exists or was made with its missing parents, else 0 (see GetLastError).
TARVIK_API int CreateDirectoryFlash(const char* path);
// Returns 1 when the file or directory exists, else 0.
TARVIK_API int CheckFileExists(const char* path);
// Returns 1 when the path is an existing directory, else 0.
TARVIK_API int IsDirectory(const char* path);
// Returns the value cut to the given number of decimal places.
TARVIK_API float FloatForDiv(float value, unsigned long places);
// Returns the result of destroying the temporary button after giving the BUTTON class the hand cursor, or 0.
TARVIK_API int SetButtonPointerHand();
// Returns 1 when the character at the pointer is a double-byte character.
TARVIK_API int IsMultiByte(const char* text);
// Returns 1 when the character before the position is a double-byte character.
TARVIK_API int IsMultiBytePrev(const char* start, const char* position);
// Seeds the pseudo-random generator with the tick count.
TARVIK_API void Randomize();
// Returns a pseudo-random value from low up to (not including) high, or low when both are equal.
TARVIK_API unsigned long Random(unsigned long low, unsigned long high);
// Stores the tick count as the last tick.
TARVIK_API void InitializeTickCounter();
// Returns the milliseconds since the last tick and stores the current tick.
TARVIK_API unsigned long GetDelayTickCount();
// Returns 1 when both blocks are equal over the length.
TARVIK_API int CompareBinary(const void* a, const void* b, unsigned long length);
// Returns 1 when every byte of the block is zero.
TARVIK_API int IsZero(const void* block, unsigned long length);
// Writes one formatted line (%d %i %u %x %X %s %c %C %b %B) to the debugger.
TARVIK_API void trace(const char* format, ...);
// Writes the value in the library's float format as one line to the debugger.
TARVIK_API void tracef(float value);
