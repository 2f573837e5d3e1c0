// gfx_probe.h - helpers of the graphics tests: a count of this process's live GDI objects that also
// works where GetGuiResources reports nothing, and BMP files made by hand.
#pragma once

#include <windows.h>
#include <string>
#include <vector>

namespace gfxtest {

// Returns the number of live GDI objects of this process (DCs, bitmaps, brushes, regions, ...).
// Uses GetGuiResources, or, where that reports 0 (Wine), walks the process's GDI handle table.
unsigned long CountGdiObjects();

// Returns the header of a w x h 32-bit top-down DIB (rows from the top, 0x00RRGGBB pixels).
BITMAPINFO TopDown32(long w, long h);

// Returns a 24-bit BMP file written by hand (bottom-up rows, zero padding), independent of the
// library, of w x h pixels given as 0x00RRGGBB, top row first.
std::string BmpFile(long w, long h, const std::vector<DWORD>& pixels);

}  // namespace gfxtest
