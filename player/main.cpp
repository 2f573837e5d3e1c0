// main.cpp - velmora's entry: the whole program runs in RunPlayer (shell.cpp).
#include <windows.h>

#include "shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return RunPlayer(instance);
}
