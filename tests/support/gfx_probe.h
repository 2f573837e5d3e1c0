// gfx_probe.h - a count of this process's live GDI objects for the graphics tests, that also works
// where GetGuiResources reports nothing.
#pragma once

#include <windows.h>

namespace gfxtest {

// Returns the number of live GDI objects of this process (DCs, bitmaps, brushes, regions, ...).
// Uses GetGuiResources, or, where that reports 0 (Wine), walks the process's GDI handle table.
unsigned long CountGdiObjects();

}  // namespace gfxtest
