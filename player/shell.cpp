// shell.cpp - the player's frame: program-wide objects.
#include "shell.h"

CForm mainForm;
CString wavePath;
CFiler waveFile;
