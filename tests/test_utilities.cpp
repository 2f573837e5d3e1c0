// The general utilities against real resources, windows, folders and debugger output.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "tarvik.h"
#include "gfx_dbwin.h"
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

// ---------------------------------------------------------------------------------------------
// Debugger output, read back through the DBWIN buffer that OutputDebugStringA fills

namespace {

// OutputDebugStringA texts of this process, read as a debug viewer reads them.
using DebugOutput = gfxtest::DebugOutputCapture;

class Trace : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(output.Ready()) << "the DBWIN buffer could not be set up";
        // The reader sees OutputDebugStringA of this process before the tests rely on it.
        OutputDebugStringA("probe");
        ASSERT_EQ("probe", output.Next());
    }
    void TearDown() override { testutil::RestoreTarvikSetup(); }
    DebugOutput output;
};

}  // namespace

TEST_F(Trace, DirectivesWriteOneLine)
{
    trace("v=%d, %X, %b", -42, 255, 0);
    EXPECT_EQ("v=-42, FF, false\n", output.Next());
    trace("%u", 4000000000U);
    EXPECT_EQ("4000000000\n", output.Next());
    trace("100%%");
    EXPECT_EQ("100%\n", output.Next());
    trace("%i|%d|%d|%d", 0, 7, 2147483647, -2147483647 - 1);
    EXPECT_EQ("0|7|2147483647|-2147483648\n", output.Next());
    trace("%x|%x|%X|%x", 0, 0xABCDEF, 0xFFFFFFFFU, 16);
    EXPECT_EQ("0|abcdef|FFFFFFFF|10\n", output.Next());
    trace("[%s] [%s]", "text " HYO, "");
    EXPECT_EQ("[text " HYO "] []\n", output.Next());
    trace("%c%c%C%C%c", 'A', 'b', 'c', 'D', '1');
    EXPECT_EQ("abCD1\n", output.Next());
    trace("%b %b %B %B", 5, 0, -1, 0);
    EXPECT_EQ("true false TRUE FALSE\n", output.Next());
    // No widths or flags: the character after '%' is written and takes no argument.
    trace("%5d|%q|%d", 9);
    EXPECT_EQ("5d|q|9\n", output.Next());
    // A '%' at the end ends the line.
    trace("end%");
    EXPECT_EQ("end\n", output.Next());
    trace("");
    EXPECT_EQ("\n", output.Next());
    // A null text is written as "(null)" rather than read.
    trace("<%s>", static_cast<const char*>(nullptr));
    EXPECT_EQ("<(null)>\n", output.Next());
}

TEST_F(Trace, LongLinesStopAt1022Characters)
{
    std::string big(2000, 'k');
    trace("%s", big.c_str());
    EXPECT_EQ(std::string(1022, 'k') + "\n", output.Next());
    std::string exact(1022, 'e');
    trace(exact.c_str());
    EXPECT_EQ(exact + "\n", output.Next());
    // The shared buffer is not overrun by a long format either.
    trace((big + "%d").c_str(), 5);
    EXPECT_EQ(std::string(1022, 'k') + "\n", output.Next());
}

TEST_F(Trace, FloatsUseTheLibraryFormat)
{
    tracef(3.14159f);
    EXPECT_EQ("3.142\n", output.Next());
    tracef(-0.5f);
    EXPECT_EQ("-0.500\n", output.Next());

    TARVIKSETUPINFO info = {};
    info.dwMask = TSI_FLOATFORMAT;
    info.pszFloatFormat = "<%.1f>";
    ASSERT_EQ(1, TarvikSetup(&info));
    tracef(2.26f);
    EXPECT_EQ("<2.3>\n", output.Next());

    // The 32-byte buffer keeps at most 30 characters before the line feed.
    info.pszFloatFormat = "%.20f";
    ASSERT_EQ(1, TarvikSetup(&info));
    tracef(1e20f);
    char full[64];
    snprintf(full, sizeof full, "%.20f", static_cast<double>(1e20f));
    ASSERT_GT(strlen(full), 30u);
    std::string line = output.Next();
    EXPECT_EQ(31u, line.size()) << line;
    EXPECT_EQ(std::string(full, 30) + "\n", line);
}

TEST_F(Trace, ErrorStringOfTheLastError)
{
    char expected[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   ERROR_FILE_NOT_FOUND, 0x0400, expected, sizeof expected, nullptr);
    ASSERT_NE('\0', expected[0]);
    SetLastError(ERROR_FILE_NOT_FOUND);
    OutputErrorString();
    EXPECT_EQ(std::string(expected), output.Next());

    // A message with inserts is written with its inserts left as they are.
    char withInserts[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   ERROR_WRONG_DISK, 0x0400, withInserts, sizeof withInserts, nullptr);
    SetLastError(ERROR_WRONG_DISK);
    OutputErrorString();
    if (withInserts[0] != '\0') {
        EXPECT_EQ(std::string(withInserts), output.Next());
    }

    // An error without text writes nothing.
    SetLastError(0x2FFFFFFF);
    OutputErrorString();
    trace("after");
    EXPECT_EQ("after\n", output.Next());
}

// ---------------------------------------------------------------------------------------------
// Directory enumeration on real folders

namespace {

struct Visit {
    std::string name;
    std::string directory;
    unsigned long attributes;
    unsigned long depth;
    unsigned long index;
    unsigned long user;
};

std::vector<Visit> g_visits;
// The callback returns 0 when it sees this name; with g_cancelAt it calls CancelSearchDirectory.
std::string g_stopAt;
std::string g_cancelAt;
std::vector<int> g_cancelResults;
HWND g_cancelWindow = nullptr;

int Record(const char* name, const char* directory, unsigned long attributes, unsigned long depth,
           unsigned long index, unsigned long user)
{
    g_visits.push_back(Visit{name, directory, attributes, depth, index, user});
    if (!g_cancelAt.empty() && g_cancelAt == name) {
        if (g_cancelWindow) {
            // Cancelled by a window procedure that the callback's message pumping reaches.
            PostMessageA(g_cancelWindow, WM_APP + 7, 0, 0);
            EnterIdle();
        } else {
            g_cancelResults.push_back(CancelSearchDirectory());
            g_cancelResults.push_back(CancelSearchDirectory());
        }
    }
    return g_stopAt == name ? 0 : 1;
}

void ResetVisits()
{
    g_visits.clear();
    g_stopAt.clear();
    g_cancelAt.clear();
    g_cancelResults.clear();
    g_cancelWindow = nullptr;
}

std::string Names(const std::vector<Visit>& visits)
{
    std::string s;
    for (const Visit& v : visits)
        s += v.name + "@" + std::to_string(v.depth) + " ";
    return s;
}

void MakeFile(const std::string& path)
{
    ASSERT_TRUE(WriteWholeFile(path, "x")) << path;
}

void MakeFolder(const std::string& path)
{
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path << " " << GetLastError();
}

// A tree made for each test:
//   top\f0.txt top\g0.dat top\a\f1.txt top\a\b\f2.txt top\a\b\g2.dat top\c\f3.txt top\e (empty)
class Enumeration : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetVisits();
        top = TempPath(std::string("enum_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        ASSERT_NO_FATAL_FAILURE(MakeFolder(top));
        ASSERT_NO_FATAL_FAILURE(MakeFile(top + "\\f0.txt"));
        ASSERT_NO_FATAL_FAILURE(MakeFile(top + "\\g0.dat"));
        ASSERT_NO_FATAL_FAILURE(MakeFolder(top + "\\a"));
        ASSERT_NO_FATAL_FAILURE(MakeFile(top + "\\a\\f1.txt"));
        ASSERT_NO_FATAL_FAILURE(MakeFolder(top + "\\a\\b"));
        ASSERT_NO_FATAL_FAILURE(MakeFile(top + "\\a\\b\\f2.txt"));
        ASSERT_NO_FATAL_FAILURE(MakeFile(top + "\\a\\b\\g2.dat"));
        ASSERT_NO_FATAL_FAILURE(MakeFolder(top + "\\c"));
        ASSERT_NO_FATAL_FAILURE(MakeFile(top + "\\c\\f3.txt"));
        ASSERT_NO_FATAL_FAILURE(MakeFolder(top + "\\e"));
    }
    void TearDown() override { ResetVisits(); }

    // The entries of the folder in the order FindFirstFileA/FindNextFileA give them.
    std::vector<std::string> Listing(const std::string& folder, const std::string& pattern)
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE h = FindFirstFileA((folder + "\\" + pattern).c_str(), &data);
        if (h == INVALID_HANDLE_VALUE)
            return names;
        do
            names.push_back(data.cFileName);
        while (FindNextFileA(h, &data));
        FindClose(h);
        return names;
    }
    std::string top;
};

}  // namespace

TEST_F(Enumeration, OneDirectoryWithIndexesAndDots)
{
    std::vector<std::string> expected = Listing(top, "*.*");
    ASSERT_EQ(7u, expected.size()) << "f0.txt g0.dat a c e . ..";

    EXPECT_EQ(6, EnumFileInDirectory(top.c_str(), "*.*", Record, 0x1234, 0));
    ASSERT_EQ(expected.size(), g_visits.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Visit& v = g_visits[i];
        EXPECT_EQ(expected[i], v.name);
        EXPECT_EQ(top, v.directory);
        EXPECT_EQ(0u, v.depth);
        EXPECT_EQ(i, v.index);
        EXPECT_EQ(0x1234u, v.user);
        bool folder = v.name == "a" || v.name == "c" || v.name == "e" || v.name == "." || v.name == "..";
        EXPECT_EQ(folder, (v.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) << v.name;
    }

    // With 0x1 the dots are skipped but use up their indexes.
    g_visits.clear();
    EXPECT_EQ(6, EnumFileInDirectory(top.c_str(), "*.*", Record, 0, 0x1));
    std::vector<std::string> seen;
    for (const Visit& v : g_visits) {
        EXPECT_NE(".", v.name);
        EXPECT_NE("..", v.name);
        EXPECT_EQ(expected[v.index], v.name) << "index " << v.index;
        seen.push_back(v.name);
    }
    EXPECT_EQ(5u, seen.size()) << Names(g_visits);

    // The directory is passed as given, also with a final separator.
    g_visits.clear();
    std::string withSeparator = top + "\\";
    EXPECT_EQ(static_cast<long>(Listing(top, "*.txt").size()) - 1,
              EnumFileInDirectory(withSeparator.c_str(), "*.txt", Record, 0, 0));
    ASSERT_EQ(1u, g_visits.size());
    EXPECT_EQ("f0.txt", g_visits[0].name);
    EXPECT_EQ(withSeparator, g_visits[0].directory);
}

TEST_F(Enumeration, ThreeFilesAfterTheDots)
{
    std::string folder = top + "\\three";
    ASSERT_NO_FATAL_FAILURE(MakeFolder(folder));
    for (const char* name : {"one.txt", "two.txt", "six.txt"})
        ASSERT_NO_FATAL_FAILURE(MakeFile(folder + "\\" + name));
    std::vector<std::string> listing = Listing(folder, "*.*");
    ASSERT_EQ(5u, listing.size());
    ASSERT_EQ(".", listing[0]) << "this system lists the dots first";
    ASSERT_EQ("..", listing[1]);

    EXPECT_EQ(4, EnumFileInDirectory(folder.c_str(), "*.*", Record, 0, 0x1));
    ASSERT_EQ(3u, g_visits.size());
    EXPECT_EQ(2u, g_visits[0].index);
    EXPECT_EQ(3u, g_visits[1].index);
    EXPECT_EQ(4u, g_visits[2].index);

    // A callback that returns 0 at index 2 ends the listing there.
    g_visits.clear();
    g_stopAt = listing[2];
    EXPECT_EQ(1, EnumFileInDirectory(folder.c_str(), "*.*", Record, 0, 0x1));
    ASSERT_EQ(1u, g_visits.size());
    EXPECT_EQ(listing[2], g_visits[0].name);
    // Stopping at the first entry gives -1.
    g_visits.clear();
    g_stopAt = ".";
    EXPECT_EQ(-1, EnumFileInDirectory(folder.c_str(), "*.*", Record, 0, 0));
    EXPECT_EQ(1u, g_visits.size());
}

TEST_F(Enumeration, NothingToListGivesMinusOne)
{
    std::string missing = top + "\\missing";
    EXPECT_EQ(-1, EnumFileInDirectory(missing.c_str(), "*.*", Record, 0, 0));
    EXPECT_EQ(-1, EnumFileInDirectory(top.c_str(), "*.none", Record, 0, 0));
    EXPECT_EQ(-1, EnumFileInDirectories(missing.c_str(), "*.*", Record, 0, 0));
    EXPECT_TRUE(g_visits.empty()) << Names(g_visits);
    // A search path that does not fit in 260 bytes is refused, not overrun.
    std::string longPattern(300, 'p');
    EXPECT_EQ(-1, EnumFileInDirectory(top.c_str(), longPattern.c_str(), Record, 0, 0));
    EXPECT_TRUE(g_visits.empty());
}

TEST_F(Enumeration, TreeFilesFirst)
{
    EXPECT_EQ(0, CancelSearchDirectory()) << "no search is running";
    long result = EnumFileInDirectories(top.c_str(), "*.txt", Record, 77, 0x1);
    EXPECT_EQ(0, result) << "the top directory lists one .txt file";
    // Each directory's files come before those of its subdirectories.
    std::vector<std::string> order;
    for (const Visit& v : g_visits) {
        order.push_back(v.name);
        EXPECT_EQ(77u, v.user);
        EXPECT_EQ(0u, v.index) << "one match per directory";
    }
    ASSERT_EQ(4u, g_visits.size()) << Names(g_visits);
    EXPECT_EQ("f0.txt", g_visits[0].name);
    EXPECT_EQ(top, g_visits[0].directory);
    EXPECT_EQ(0u, g_visits[0].depth);
    auto find = [&](const std::string& name) -> const Visit* {
        for (const Visit& v : g_visits)
            if (v.name == name)
                return &v;
        return nullptr;
    };
    const Visit* f1 = find("f1.txt");
    const Visit* f2 = find("f2.txt");
    const Visit* f3 = find("f3.txt");
    ASSERT_TRUE(f1 && f2 && f3) << Names(g_visits);
    EXPECT_EQ(1u, f1->depth);
    EXPECT_EQ(top + "\\a", f1->directory);
    EXPECT_EQ(2u, f2->depth);
    EXPECT_EQ(top + "\\a\\b", f2->directory);
    EXPECT_EQ(1u, f3->depth);
    EXPECT_EQ(top + "\\c", f3->directory);
    EXPECT_LT(f1, f2) << "a's files before b's";
    EXPECT_EQ(0, CancelSearchDirectory()) << "the search has ended";
}

TEST_F(Enumeration, TreeBuildsSubdirectoryPathsWithOneMoreBackslash)
{
    // The top directory is passed as given; each subdirectory is that path, a backslash and its
    // name, also when the top already ends with a separator.
    std::string withSeparator = top + "\\";
    EXPECT_EQ(0, EnumFileInDirectories(withSeparator.c_str(), "*.txt", Record, 0, 0x1));
    ASSERT_EQ(4u, g_visits.size()) << Names(g_visits);
    std::vector<std::string> directories;
    for (const Visit& v : g_visits)
        directories.push_back(v.name + " in " + v.directory);
    std::sort(directories.begin(), directories.end());
    EXPECT_EQ((std::vector<std::string>{
                  "f0.txt in " + withSeparator,
                  "f1.txt in " + withSeparator + "\\a",
                  "f2.txt in " + withSeparator + "\\a\\b",
                  "f3.txt in " + withSeparator + "\\c",
              }),
              directories);
}

TEST_F(Enumeration, TreeSubdirectoriesFirst)
{
    long result = EnumFileInDirectories(top.c_str(), "*.txt", Record, 0, 0x2);
    EXPECT_EQ(0, result);
    ASSERT_EQ(4u, g_visits.size()) << Names(g_visits);
    // b (depth 2) before a (depth 1), the top's own file last.
    size_t f1 = 0, f2 = 0;
    for (size_t i = 0; i < g_visits.size(); ++i) {
        if (g_visits[i].name == "f1.txt")
            f1 = i;
        if (g_visits[i].name == "f2.txt")
            f2 = i;
    }
    EXPECT_LT(f2, f1) << Names(g_visits);
    EXPECT_EQ("f0.txt", g_visits.back().name);
    EXPECT_EQ(0u, g_visits.back().depth);

    // With "*.*" every directory lists its subdirectories and dots as entries too, and a callback
    // result of 0 ends only the listing of that directory.
    g_visits.clear();
    g_stopAt = "f2.txt";
    std::vector<std::string> bListing = Listing(top + "\\a\\b", "*.*");
    EnumFileInDirectories(top.c_str(), "*.*", Record, 0, 0x2);
    size_t inB = 0;
    for (const Visit& v : g_visits)
        if (v.directory == top + "\\a\\b")
            ++inB;
    size_t stopIndex = 0;
    while (stopIndex < bListing.size() && bListing[stopIndex] != "f2.txt")
        ++stopIndex;
    EXPECT_EQ(stopIndex + 1, inB) << Names(g_visits);
    EXPECT_EQ(top, g_visits.back().directory) << "the rest of the tree still runs";
}

TEST_F(Enumeration, CancelFromTheCallbackFilesFirst)
{
    g_cancelAt = "f1.txt";
    EnumFileInDirectories(top.c_str(), "*.txt", Record, 0, 0x1);
    EXPECT_EQ((std::vector<int>{1, 0}), g_cancelResults) << "the second cancel finds the flag set";
    // The listing of a runs to its end, but no further directory is entered.
    std::string order = Names(g_visits);
    EXPECT_EQ("f0.txt@0 f1.txt@1 ", order);

    // The next search starts with the flag cleared.
    ResetVisits();
    EnumFileInDirectories(top.c_str(), "*.txt", Record, 0, 0x1);
    EXPECT_EQ(4u, g_visits.size()) << Names(g_visits);
}

TEST_F(Enumeration, CancelFromTheCallbackSubdirectoriesFirst)
{
    // In b: the files of b, then of a and of the top on the way back up; c is never entered.
    g_cancelAt = "f2.txt";
    EnumFileInDirectories(top.c_str(), "*.txt", Record, 0, 0x3);
    EXPECT_EQ((std::vector<int>{1, 0}), g_cancelResults);
    EXPECT_EQ("f2.txt@2 f1.txt@1 f0.txt@0 ", Names(g_visits));
}

namespace {

LRESULT CALLBACK CancelWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_APP + 7) {
        g_cancelResults.push_back(CancelSearchDirectory());
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

TEST_F(Enumeration, CancelFromAWindowProcedure)
{
    testutil::TestWindowClass("TarvikTestCancel", CancelWindowProc, NULL);
    HWND window = CreateWindowExA(0, "TarvikTestCancel", "", 0, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(NULL), nullptr);
    ASSERT_NE(nullptr, window);
    g_cancelWindow = window;
    g_cancelAt = "f1.txt";
    EnumFileInDirectories(top.c_str(), "*.txt", Record, 0, 0x1);
    EXPECT_EQ((std::vector<int>{1}), g_cancelResults);
    EXPECT_EQ("f0.txt@0 f1.txt@1 ", Names(g_visits));
    DestroyWindow(window);
}

// ---------------------------------------------------------------------------------------------
// Creating directories and testing paths

TEST(Directories, CreateNestedMissingFolders)
{
    std::string base = TempPath("flash");
    std::string path = base + "\\x\\y\\z\\";
    SetLastError(1234);
    EXPECT_EQ(1, CreateDirectoryFlash(path.c_str()));
    EXPECT_EQ(0u, GetLastError());
    EXPECT_EQ(1, IsDirectory((base + "\\x").c_str()));
    EXPECT_EQ(1, IsDirectory((base + "\\x\\y").c_str()));
    EXPECT_EQ(1, IsDirectory((base + "\\x\\y\\z").c_str()));
    // An existing directory is success too.
    SetLastError(1234);
    EXPECT_EQ(1, CreateDirectoryFlash((base + "\\x\\y").c_str()));
    EXPECT_EQ(0u, GetLastError());

    // Folders whose names end in a double-byte character with the byte 0x5C.
    std::string japanese = base + "\\" HYO "\\" SO "\\";
    EXPECT_EQ(1, CreateDirectoryFlash(japanese.c_str()));
    EXPECT_EQ(1, IsDirectory((base + "\\" HYO).c_str()));
    EXPECT_EQ(1, IsDirectory((base + "\\" HYO "\\" SO).c_str()));
    // Nothing was made from half a character.
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((base + "\\*").c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    do
        if (strcmp(data.cFileName, ".") && strcmp(data.cFileName, ".."))
            names.push_back(Show(data.cFileName));
    while (FindNextFileA(h, &data));
    FindClose(h);
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{Show(HYO), "x"}), names);
}

TEST(Directories, CreateFailuresAndTheirErrors)
{
    std::string base = TempPath("flash_fail");
    ASSERT_EQ(1, CreateDirectoryFlash(base.c_str()));
    std::string file = base + "\\file.txt";
    ASSERT_TRUE(WriteWholeFile(file, "data"));

    SetLastError(0);
    EXPECT_EQ(0, CreateDirectoryFlash(file.c_str()));
    EXPECT_EQ(183u, GetLastError()) << "the path is an existing file";
    SetLastError(0);
    EXPECT_EQ(0, CreateDirectoryFlash((file + "\\").c_str()));
    EXPECT_EQ(183u, GetLastError());
    SetLastError(0);
    EXPECT_EQ(0, CreateDirectoryFlash((file + "\\sub").c_str()));
    EXPECT_EQ(183u, GetLastError()) << "the parent is an existing file";
    SetLastError(0);
    EXPECT_EQ(0, CreateDirectoryFlash((file + "\\sub\\deeper").c_str()));
    EXPECT_EQ(14u, GetLastError()) << "a parent that could not be made";
    EXPECT_EQ(0, CheckFileExists((file + "\\sub").c_str()));

    SetLastError(0);
    EXPECT_EQ(0, CreateDirectoryFlash("\\rooted"));
    EXPECT_EQ(87u, GetLastError()) << "an empty parent";

    std::string tooLong = base + "\\" + std::string(300, 'n');
    SetLastError(0);
    EXPECT_EQ(0, CreateDirectoryFlash(tooLong.c_str()));
    EXPECT_NE(0u, GetLastError());
}

TEST(Directories, BareDriveParentAndExistenceTests)
{
    char name[64];
    wsprintfA(name, "C:\\tarvik_flash_%lu", GetCurrentProcessId());
    RemoveDirectoryA(name);
    EXPECT_EQ(1, CreateDirectoryFlash(name));
    EXPECT_EQ(1, IsDirectory(name));
    EXPECT_EQ(1, CheckFileExists(name));
    EXPECT_TRUE(RemoveDirectoryA(name));
    EXPECT_EQ(0, IsDirectory(name));
    EXPECT_EQ(0, CheckFileExists(name));

    std::string file = TempPath("exists.txt");
    ASSERT_TRUE(WriteWholeFile(file, "1"));
    EXPECT_EQ(1, CheckFileExists(file.c_str()));
    EXPECT_EQ(0, IsDirectory(file.c_str()));
    EXPECT_EQ(0, CheckFileExists((file + ".not").c_str()));
}

// ---------------------------------------------------------------------------------------------
// Windows, check boxes and the message queue

namespace {

class Dialogish : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 301, 201, nullptr,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, parent);
        for (int i = 0; i < 4; ++i) {
            HWND b = CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_AUTO3STATE, 0, i * 20, 50, 20, parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(101 + i)), nullptr, nullptr);
            ASSERT_NE(nullptr, b);
        }
    }
    void TearDown() override { DestroyWindow(parent); }
    void Check(int id, WPARAM state) { SendDlgItemMessageA(parent, id, BM_SETCHECK, state, 0); }
    LRESULT State(int id) { return SendDlgItemMessageA(parent, id, BM_GETCHECK, 0, 0); }
    HWND parent = nullptr;
};

}  // namespace

TEST_F(Dialogish, MoveToCenterOverAWindowAndTheDesktop)
{
    HWND child = CreateWindowExA(0, "STATIC", "", WS_POPUP, 500, 400, 100, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, child);
    MoveWindow(parent, 0, 0, 301, 201, FALSE);
    EXPECT_EQ(0, MoveToCenter(child, parent));
    EXPECT_EQ("100,75 100x50", testutil::WindowBox(child));
    RECT r;

    // Halving rounds toward zero, also for a negative difference.
    HWND narrow = CreateWindowExA(0, "STATIC", "", WS_POPUP, -40, -30, 51, 31, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(nullptr, narrow);
    RECT p;
    GetWindowRect(narrow, &p);
    int pw = p.right - p.left;
    int ph = p.bottom - p.top;
    ASSERT_LT(pw, 100) << "the host could not be made narrower than the window";
    EXPECT_EQ(0, MoveToCenter(child, narrow));
    DestroyWindow(narrow);
    GetWindowRect(child, &r);
    EXPECT_EQ(p.left + (pw - 100) / 2, r.left) << "host " << pw << " wide";
    EXPECT_EQ(p.top + (ph - 50) / 2, r.top) << "host " << ph << " high";

    RECT desk;
    GetWindowRect(GetDesktopWindow(), &desk);
    EXPECT_EQ(0, MoveToCenter(child, nullptr));
    GetWindowRect(child, &r);
    EXPECT_EQ(desk.left + (desk.right - desk.left - 100) / 2, r.left);
    EXPECT_EQ(desk.top + (desk.bottom - desk.top - 50) / 2, r.top);
    DestroyWindow(child);
}

TEST_F(Dialogish, ReadingCheckGroups)
{
    EXPECT_EQ(0xFFFFFFFFu, GetCheckOptions(parent, 3, 101, 102, 103));
    EXPECT_EQ(0xFFFFFFFFu, GetCheckOptionsID(parent, 3, 101, 102, 103));
    EXPECT_EQ(0xFFFFFFFFu, GetCheckOptionsTable(parent, 2, 101, 5, 102, 7));

    Check(103, BST_CHECKED);
    EXPECT_EQ(2u, GetCheckOptions(parent, 3, 101, 102, 103));
    EXPECT_EQ(103u, GetCheckOptionsID(parent, 3, 101, 102, 103));
    EXPECT_EQ(0xFFFFFFFFu, GetCheckOptions(parent, 2, 101, 102)) << "only the given controls count";
    EXPECT_EQ(0xFFFFFFFFu, GetCheckOptions(parent, 0));

    Check(102, BST_INDETERMINATE);
    EXPECT_EQ(1u, GetCheckOptions(parent, 3, 101, 102, 103)) << "indeterminate counts as set";
    EXPECT_EQ(102u, GetCheckOptionsID(parent, 3, 101, 102, 103));
    EXPECT_EQ(7u, GetCheckOptionsTable(parent, 2, 101, 5, 102, 7));
    EXPECT_EQ(9u, GetCheckOptionsTable(parent, 2, 103, 9, 102, 7));
    EXPECT_EQ(0xFFFFFFFFu, GetCheckOptionsTable(parent, 0));
    EXPECT_EQ(0xFFFFFFFFu, GetCheckOptionsID(parent, 1, 555)) << "a missing control";
}

TEST_F(Dialogish, SettingFromAKeyTable)
{
    Check(101, BST_CHECKED);
    // The first pair whose key equals its own position is (1, 103).
    EXPECT_EQ(1u, SetCheckOptionsTable(parent, 3, 5, 102, 1, 103, 2, 104));
    EXPECT_EQ(BST_CHECKED, State(103));
    EXPECT_EQ(BST_UNCHECKED, State(102));
    EXPECT_EQ(BST_UNCHECKED, State(104));
    EXPECT_EQ(BST_CHECKED, State(101)) << "no other control is unchecked";

    EXPECT_EQ(0u, SetCheckOptionsTable(parent, 2, 0, 104, 1, 102));
    EXPECT_EQ(BST_CHECKED, State(104));
    EXPECT_EQ(BST_UNCHECKED, State(102));
    EXPECT_EQ(0xFFFFFFFFu, SetCheckOptionsTable(parent, 2, 3, 102, 0, 102));
    EXPECT_EQ(BST_UNCHECKED, State(102));
    EXPECT_EQ(0xFFFFFFFFu, SetCheckOptionsTable(parent, 0));
}

namespace {

std::vector<UINT> g_messages;

LRESULT CALLBACK LoggingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_KEYDOWN || msg == WM_CHAR || msg == WM_APP)
        g_messages.push_back(msg);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

TEST(Idle, OneMessagePerCall)
{
    testutil::PumpPending();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_EQ(0, EnterIdle()) << "an empty queue";

    testutil::TestWindowClass("TarvikTestIdle", LoggingProc, NULL);
    HWND w = CreateWindowExA(0, "TarvikTestIdle", "", 0, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(NULL), nullptr);
    ASSERT_NE(nullptr, w);
    testutil::PumpPending();
    g_messages.clear();

    PostMessageA(w, WM_APP, 0, 0);
    PostMessageA(w, WM_KEYDOWN, 'A', 0x001E0001);
    EXPECT_EQ(0, EnterIdle());
    EXPECT_EQ((std::vector<UINT>{WM_APP}), g_messages) << "one message per call";
    EXPECT_EQ(0, EnterIdle());
    EXPECT_EQ((std::vector<UINT>{WM_APP, WM_KEYDOWN}), g_messages);
    // TranslateMessage queued the character for the key.
    EXPECT_EQ(0, EnterIdle());
    EXPECT_EQ((std::vector<UINT>{WM_APP, WM_KEYDOWN, WM_CHAR}), g_messages);

    PostQuitMessage(3);
    EXPECT_EQ(1, EnterIdle());
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "WM_QUIT was taken off";
    DestroyWindow(w);
}

TEST(ButtonCursor, HandForEveryButton)
{
    HWND before = CreateWindowExA(0, "BUTTON", "b", WS_POPUP | WS_VISIBLE, 10, 10, 80, 30, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, before);
    HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
    ASSERT_NE(nullptr, hand);
    EXPECT_NE(reinterpret_cast<LONG_PTR>(hand), GetClassLongPtrA(before, GCLP_HCURSOR));

    EXPECT_NE(0, SetButtonPointerHand());
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(hand), GetClassLongPtrA(before, GCLP_HCURSOR));
    HWND after = CreateWindowExA(0, "BUTTON", "c", WS_POPUP | WS_VISIBLE, 10, 50, 80, 30, nullptr,
                                 nullptr, nullptr, nullptr);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(hand), GetClassLongPtrA(after, GCLP_HCURSOR));

    // The button's default handling of WM_SETCURSOR shows the class cursor.
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    SendMessageA(after, WM_SETCURSOR, reinterpret_cast<WPARAM>(after), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(hand, GetCursor());
    DestroyWindow(before);
    DestroyWindow(after);
}

// ---------------------------------------------------------------------------------------------
// Small helpers

TEST(Helpers, DoubleByteTests)
{
    const char* text = "a" HYO "b" SO;
    EXPECT_EQ(0, IsMultiByte(text));
    EXPECT_EQ(1, IsMultiByte(text + 1));
    EXPECT_EQ(0, IsMultiByte(text + 3));
    EXPECT_EQ(1, IsMultiByte(text + 4));
    EXPECT_EQ(0, IsMultiByte(text + 6)) << "the terminator";
    EXPECT_EQ(0, IsMultiByte("\xB1")) << "a half-width katakana is one byte";

    EXPECT_EQ(0, IsMultiBytePrev(text, text + 1));
    EXPECT_EQ(1, IsMultiBytePrev(text, text + 3));
    EXPECT_EQ(0, IsMultiBytePrev(text, text + 4));
    EXPECT_EQ(1, IsMultiBytePrev(text, text + 6));
    EXPECT_EQ(0, IsMultiBytePrev(text, text));
}

TEST(Helpers, RandomRanges)
{
    EXPECT_EQ(5u, Random(5, 5));
    // Random takes the runtime's generator: the same seed gives the same values.
    srand(1234);
    std::vector<int> expected;
    for (int i = 0; i < 20; ++i)
        expected.push_back(rand());
    srand(1234);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(static_cast<unsigned long>(expected[i]), Random(0, 32768)) << i;
    srand(1234);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(100 + static_cast<unsigned long>(expected[i]) % 10, Random(100, 110)) << i;

    bool seen[10] = {};
    for (int i = 0; i < 2000; ++i) {
        unsigned long r = Random(0, 10);
        ASSERT_LT(r, 10u);
        seen[r] = true;
    }
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(seen[i]) << i;

    // Randomize seeds with the tick count.
    DWORD t0 = GetTickCount();
    Randomize();
    unsigned long first = Random(0, 32768);
    DWORD t1 = GetTickCount();
    bool matched = false;
    for (DWORD t = t0; t != t1 + 1 && !matched; ++t) {
        srand(t);
        matched = static_cast<unsigned long>(rand()) == first;
    }
    EXPECT_TRUE(matched) << "no tick from " << t0 << " to " << t1 << " gives " << first;
}

TEST(Helpers, TickCounter)
{
    InitializeTickCounter();
    DWORD start = GetTickCount();
    ASSERT_TRUE(testutil::PumpUntil([&] { return GetTickCount() - start >= 60; }, 5000));
    unsigned long delay = GetDelayTickCount();
    DWORD end = GetTickCount();
    EXPECT_GE(delay, 60u);
    EXPECT_LE(delay, end - start + 20);
    unsigned long again = GetDelayTickCount();
    EXPECT_LE(again, GetTickCount() - end + 20) << "the first call stored the current tick";
}

TEST(Helpers, FloatForDivCutsPlaces)
{
    EXPECT_NEAR(3.14f, FloatForDiv(3.14159f, 2), 1e-5f);
    EXPECT_EQ(3.0f, FloatForDiv(3.14159f, 0));
    EXPECT_NEAR(2.9f, FloatForDiv(2.999f, 1), 1e-5f);
    EXPECT_NEAR(0.125f, FloatForDiv(0.1259f, 3), 1e-6f);
    // A negative value gives its low 32 bits read as unsigned.
    EXPECT_EQ(4294967295.0f, FloatForDiv(-1.5f, 0));
    EXPECT_EQ(0.0f, FloatForDiv(1e30f, 0)) << "out of range gives 0";
}

TEST(Helpers, BlockComparisons)
{
    const char a[] = "abcdef";
    const char b[] = "abcxef";
    EXPECT_EQ(1, CompareBinary(a, b, 3));
    EXPECT_EQ(0, CompareBinary(a, b, 4));
    EXPECT_EQ(1, CompareBinary(a, b, 0));
    EXPECT_EQ(1, CompareBinary(a, a, 7));
    unsigned char zeros[16] = {};
    EXPECT_EQ(1, IsZero(zeros, sizeof zeros));
    EXPECT_EQ(1, IsZero(a, 0));
    zeros[15] = 1;
    EXPECT_EQ(0, IsZero(zeros, sizeof zeros));
    EXPECT_EQ(1, IsZero(zeros, 15));
}

TEST(Helpers, EveryUtilityIsExportedByName)
{
    HMODULE tarvik = GetModuleHandleA("Tarvik.dll");
    ASSERT_NE(nullptr, tarvik);
    const char* names[] = {
        "_Z12GetResStringP11HINSTANCE__j", "_Z10GetAppPathPcPKc", "_Z12MoveToCenterP6HWND__S0_",
        "_Z15GetCheckOptionsP6HWND__jz", "_Z17GetCheckOptionsIDP6HWND__jz",
        "_Z20GetCheckOptionsTableP6HWND__jz", "_Z20SetCheckOptionsTableP6HWND__jz", "_Z9EnterIdlev",
        "_Z17OutputErrorStringv", "_Z19EnumFileInDirectoryPKcS0_PFiS0_S0_mmmmEmm",
        "_Z21EnumFileInDirectoriesPKcS0_PFiS0_S0_mmmmEmm", "_Z21CancelSearchDirectoryv",
        "_Z20CreateDirectoryFlashPKc", "_Z15CheckFileExistsPKc", "_Z11IsDirectoryPKc",
        "_Z11FloatForDivfm", "_Z20SetButtonPointerHandv", "_Z11IsMultiBytePKc",
        "_Z15IsMultiBytePrevPKcS0_", "_Z9Randomizev", "_Z6Randommm", "_Z21InitializeTickCounterv",
        "_Z17GetDelayTickCountv", "_Z13CompareBinaryPKvS0_m", "_Z6IsZeroPKvm", "_Z5tracePKcz",
        "_Z6tracef" "f",
    };
    for (const char* name : names)
        EXPECT_NE(nullptr, reinterpret_cast<void*>(GetProcAddress(tarvik, name))) << name;
}
