// shell.h - the player's frame: program-wide objects.
//
// Objects in this header:
//   mainForm, wavePath, waveFile   program-wide objects
#pragma once

#include <windows.h>

#include "filer.h"
#include "form.h"
#include "strings.h"

// The main window, once it exists.
extern CForm mainForm;
// The path last chosen in the open dialog; survives Close and a failed load.
extern CString wavePath;
// The open WAVE file.
extern CFiler waveFile;
