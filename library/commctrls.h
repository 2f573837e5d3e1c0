// commctrls.h - (not yet written)
#pragma once

#include <windows.h>
#include "frame.h"
