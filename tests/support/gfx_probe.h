// gfx_probe.h - test helpers for the graphics and shell families: a count of this process's live
// GDI objects that also works where GetGuiResources reports nothing, and the redirection of one
// function imported by a module (to record what a library hands to the system).
#pragma once

#include <windows.h>

namespace gfxtest {

// Returns the number of live GDI objects of this process (DCs, bitmaps, brushes, regions, ...).
// Uses GetGuiResources, or, where that reports 0 (Wine), walks the process's GDI handle table.
unsigned long CountGdiObjects();

// Points module's import of dll!function at replacement; stores the previous target in *original.
// Returns whether the import was found and rewritten.
bool RedirectImport(HMODULE module, const char* dll, const char* function, void* replacement, void** original);

}  // namespace gfxtest
