// tarvik.h - include this one header to use the whole Tarvik library.
#pragma once

#include <windows.h>

#include "frame.h"
#include "strings.h"
#include "filer.h"
#include "utilities.h"
#include "form.h"
#include "cmndlg.h"
#include "menu.h"
#include "menuex.h"
#include "registry.h"
#include "lists.h"
#include "controls.h"
#include "commctrls.h"
#include "graphics.h"
#include "shell_layout.h"
#include "math.h"
