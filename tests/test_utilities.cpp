// The general utilities against real resources, windows, folders and debugger output.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "tarvik.h"
#include "harness_util.h"

using testutil::ReadWholeFile;
using testutil::TempPath;
using testutil::WriteWholeFile;

#define HYO "\x95\x5C"   // 表, second byte 0x5C
#define SO "\x83\x5C"    // ソ, second byte 0x5C

namespace {

// When started as a child with VELMORA_APP_PATH_OUT set, this program writes what GetAppPath
// gives (with "app.ini" and with no name) to that file and ends before any test runs.
struct AppPathChild {
    AppPathChild()
    {
        char out[MAX_PATH];
        DWORD n = GetEnvironmentVariableA("VELMORA_APP_PATH_OUT", out, sizeof out);
        if (n == 0 || n >= sizeof out)
            return;
        char withName[MAX_PATH + 16];
        char withoutName[MAX_PATH + 16];
        memset(withName, 0, sizeof withName);
        memset(withoutName, 0, sizeof withoutName);
        long r1 = GetAppPath(withName, "app.ini");
        long r2 = GetAppPath(withoutName, nullptr);
        std::string report = std::string(withName) + "\n" + withoutName + "\n" +
                             std::to_string(r1) + std::to_string(r2) + "\n";
        WriteWholeFile(out, report);
        ExitProcess(0);
    }
} g_appPathChild;

// Runs the program (with the environment variable set) and waits for it.
bool RunChild(const std::string& exe, const std::string& outFile)
{
    SetEnvironmentVariableA("VELMORA_APP_PATH_OUT", outFile.c_str());
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string cmd = "\"" + exe + "\"";
    BOOL ok = CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA("VELMORA_APP_PATH_OUT", nullptr);
    if (!ok)
        return false;
    DWORD wait = WaitForSingleObject(pi.hProcess, 60000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return wait == WAIT_OBJECT_0;
}

std::string Show(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x80 || c < 0x20) {
            char hex[8];
            wsprintfA(hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string ModuleDirectory()
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    char longExe[MAX_PATH];
    if (!GetLongPathNameA(exe, longExe, sizeof longExe))
        strcpy(longExe, exe);
    std::string s = longExe;
    return s.substr(0, s.rfind('\\') + 1);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Resource strings and the program's directory

TEST(ResString, OneSharedBufferOverwrittenByEachCall)
{
    ASSERT_EQ(932u, GetACP());
    HINSTANCE self = GetModuleHandleA(nullptr);
    char* first = GetResString(self, 201);
    ASSERT_NE(nullptr, first);
    EXPECT_STREQ("First string", first);
    char* second = GetResString(self, 202);
    EXPECT_EQ(first, second) << "every call returns the same buffer";
    EXPECT_EQ(Show("\x83\x74\x83\x40\x83\x43\x83\x8B\x81\x75" HYO "\x81\x76\x82\xF0\x8A\x4A\x82\xAF\x82\xDC\x82\xB9\x82\xF1"),
              Show(first)) << "the first text is gone after the second call";

    // A missing string and an empty one both give the empty text.
    EXPECT_STREQ("", GetResString(self, 9999));
    GetResString(self, 201);
    EXPECT_STREQ("", GetResString(self, 204));

    // The buffer holds at most 1023 characters.
    char* big = GetResString(self, 203);
    ASSERT_EQ(1023u, strlen(big));
    EXPECT_EQ('A', big[0]);
    EXPECT_EQ('A' + 1022 % 26, big[1022]);
}

TEST(AppPath, DirectoryOfTheExecutableWithOrWithoutAName)
{
    char buffer[MAX_PATH + 32];
    memset(buffer, 'z', sizeof buffer);
    EXPECT_EQ(0, GetAppPath(buffer, "app.ini"));
    EXPECT_EQ(ModuleDirectory() + "app.ini", std::string(buffer));
    memset(buffer, 'z', sizeof buffer);
    EXPECT_EQ(0, GetAppPath(buffer, nullptr));
    EXPECT_EQ(ModuleDirectory(), std::string(buffer));
    EXPECT_EQ('\\', buffer[strlen(buffer) - 1]);
}

namespace {

// Copies this program and Tarvik.dll into the folder.
void CopyProgramInto(const std::string& folder)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    char dll[MAX_PATH];
    GetModuleFileNameA(GetModuleHandleA("Tarvik.dll"), dll, sizeof dll);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) << folder;
    ASSERT_TRUE(CopyFileA(exe, (folder + "\\child.exe").c_str(), FALSE)) << GetLastError();
    ASSERT_TRUE(CopyFileA(dll, (folder + "\\Tarvik.dll").c_str(), FALSE)) << GetLastError();
}

std::string LongForm(const std::string& path)
{
    char buffer[MAX_PATH];
    DWORD n = GetLongPathNameA(path.c_str(), buffer, sizeof buffer);
    return (n && n < sizeof buffer) ? std::string(buffer) : path;
}

}  // namespace

TEST(AppPath, FolderEndingInADoubleByteCharacterWithBackslashByte)
{
    // A folder named 表 (0x95 0x5C): the byte-wise rule would take its last byte for the
    // separator and name "...表app.ini".
    std::string folder = TempPath(HYO);
    ASSERT_NO_FATAL_FAILURE(CopyProgramInto(folder));
    std::string out = TempPath("apppath_hyo.txt");
    DeleteFileA(out.c_str());
    ASSERT_TRUE(RunChild(folder + "\\child.exe", out));
    std::string report;
    ASSERT_TRUE(ReadWholeFile(out, report)) << "the child wrote nothing";
    std::string expected = LongForm(folder) + "\\";
    EXPECT_EQ(Show(expected + "app.ini\n" + expected + "\n00\n"), Show(report));
}

TEST(AppPath, StartedThroughAShortPathGivesTheLongForm)
{
    std::string folder = TempPath("a rather long folder name " SO);
    ASSERT_NO_FATAL_FAILURE(CopyProgramInto(folder));
    char shortExe[MAX_PATH];
    DWORD n = GetShortPathNameA((folder + "\\child.exe").c_str(), shortExe, sizeof shortExe);
    ASSERT_TRUE(n > 0 && n < sizeof shortExe) << GetLastError();
    ASSERT_EQ(std::string::npos, std::string(shortExe).find("rather long")) << "no short form: " << shortExe;
    std::string out = TempPath("apppath_short.txt");
    DeleteFileA(out.c_str());
    ASSERT_TRUE(RunChild(shortExe, out)) << shortExe;
    std::string report;
    ASSERT_TRUE(ReadWholeFile(out, report)) << "the child wrote nothing";
    std::string expected = LongForm(folder) + "\\";
    EXPECT_EQ(Show(expected + "app.ini\n" + expected + "\n00\n"), Show(report)) << "started as " << Show(shortExe);
}
