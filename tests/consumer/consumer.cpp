// A program of someone else's: built only against tarvik.h and the import library.
#include <stdio.h>
#include <string.h>
#include "tarvik.h"

static int failures = 0;
#define CHECK(cond) do { if (!(cond)) { printf("FAIL line %d: %s\n", __LINE__, #cond); ++failures; } } while (0)

int main()
{
    CHECK(TarvikGetDllVersion() == 0x0100000DUL);

    char path[MAX_PATH];
    GetTempPathA(sizeof path, path);
    strcat(path, "tarvik_consumer.bin");
    DeleteFileA(path);

    Buffer out;
    CHECK(out.Add("hello ", 6) == 1);
    CHECK((out += "world") == 1);
    CHECK(out.GetSize() == 11);

    {
        CFiler file;
        CHECK(file.Create(path, 0) == 1);
        CHECK(file.Write(out) == 11);
        CHECK(file.Close() == 1);
    }

    CFiler file;
    CHECK(file.Open_modeRead(path, FILE_SHARE_READ) == 1);
    Buffer in;
    CHECK(file.Read(in) == 11);
    CHECK(in.GetSize() == 11 && memcmp(in.GetPtr(), "hello world", 11) == 0);
    CHECK(file.Close() == 1);
    DeleteFileA(path);

    printf("consumer: %s\n", failures ? "FAILED" : "ok");
    return failures ? 1 : 0;
}
