// example.cpp - a console program built against the Tarvik kit (see README.txt for its build line):
// prints the library's version, the folder of the running program and a file name taken apart.
#include <stdio.h>
#include "tarvik.h"

int main()
{
    unsigned long v = TarvikGetDllVersion();
    printf("Tarvik %lu.%lu.%lu.%lu\n", v >> 24, (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);

    char path[MAX_PATH];
    GetAppPath(path, "example.ini");
    printf("settings file beside the program: %s\n", path);

    CString name("C:\\music\\take1.wav");
    char file[MAX_PATH];
    stringfilenameext(file, name.GetString());
    printf("file name: %s (%lu characters in the path)\n", file, name.GetLength());
    return 0;
}
