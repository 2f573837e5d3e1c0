// import_patch.h - redirects calls that a module makes through its import table, so a test can
// count or log the Win32 calls that the code under test makes (the position bar's GDI objects, its
// BitBlt, its heap record; the library's tray icon calls).
#pragma once

#include <windows.h>

namespace testutil {

// Points module's import of dll!function at replacement (module null: this program); returns the
// previous target (to call through and to restore with), or null when the module does not import it.
void* PatchImport(HMODULE module, const char* dll, const char* function, void* replacement);

}  // namespace testutil
