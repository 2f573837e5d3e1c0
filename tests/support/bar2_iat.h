// bar2_iat.h - redirects calls that this program makes through its own import table, so a test
// can count or log the Win32 calls that the code under test makes (the position bar's GDI objects,
// its BitBlt, its heap record).
#pragma once

#include <windows.h>

namespace bar2test {

// Points this program's import of dll!function at replacement; returns the previous target
// (to call through and to restore with), or null when the program does not import it.
void* PatchImport(const char* dll, const char* function, void* replacement);

}  // namespace bar2test
