// CFiler against real files of the Wine prefix.
#include <windows.h>
#include <string.h>
#include <gtest/gtest.h>

#include "tarvik.h"
#include "harness_util.h"

using testutil::ReadWholeFile;
using testutil::TempPath;
using testutil::WriteWholeFile;

namespace {

class Filer : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = TempPath(std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".bin");
        DeleteFileA(path.c_str());
    }
    void TearDown() override
    {
        DeleteFileA(path.c_str());
        TARVIKSETUPINFO info = {};
        info.dwMask = TSI_MAXBUFFERSIZE | TSI_MAXFILESIZE;
        info.dwMaxBufferSize = 0x10000000;
        info.llMaxFileSize = 0x7F000000;
        TarvikSetup(&info);
    }
    std::string Contents()
    {
        std::string s;
        EXPECT_TRUE(ReadWholeFile(path, s)) << path;
        return s;
    }
    std::string path;
};

std::string Hundred()
{
    std::string s;
    for (int i = 0; i < 100; ++i)
        s += static_cast<char>('A' + i % 26);
    return s;
}

}  // namespace

TEST_F(Filer, CreateNeverTruncatesSetEofDoes)
{
    ASSERT_TRUE(WriteWholeFile(path, Hundred()));
    {
        CFiler f;
        ASSERT_EQ(1, f.Create(path.c_str(), 0));
        EXPECT_EQ(0u, f.GetFilePoint());
        EXPECT_EQ(10u, f.Write("0123456789", 10));
        EXPECT_EQ(1, f.Close());
    }
    std::string expect = Hundred();
    expect.replace(0, 10, "0123456789");
    EXPECT_EQ(expect, Contents());

    CFiler f;
    ASSERT_EQ(1, f.Create(path.c_str(), 0));
    EXPECT_EQ(10u, f.Write("abcdefghij", 10));
    EXPECT_NE(0, f.SetEOF());
    EXPECT_EQ(1, f.Close());
    EXPECT_EQ("abcdefghij", Contents());
}

TEST_F(Filer, CreateMakesAMissingFileEmpty)
{
    CFiler f;
    ASSERT_EQ(1, f.Create(path.c_str(), 0));
    unsigned long high = 99;
    EXPECT_EQ(0u, f.GetFileSize(&high));
    EXPECT_EQ(0u, high);
    f.Close();
    EXPECT_EQ("", Contents());

    // The constructor with a name and operator= open the same way, not shared.
    CFiler byName(path.c_str());
    EXPECT_EQ(0u, byName.GetFilePoint());
    HANDLE other = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    EXPECT_EQ(INVALID_HANDLE_VALUE, other) << "the file was opened shared";
    if (other != INVALID_HANDLE_VALUE)
        CloseHandle(other);
    byName.Close();
    CFiler assigned;
    EXPECT_EQ(1, assigned = path.c_str());
    EXPECT_EQ(1, assigned.Close());
}

TEST_F(Filer, OpeningAMissingFileFails)
{
    CFiler f;
    EXPECT_EQ(0, f.Open(path.c_str(), 0));
    EXPECT_EQ(0, f.Close()) << "a failed open left a file open";
    EXPECT_EQ(0, f.Open_modeRead(path.c_str(), FILE_SHARE_READ));
    EXPECT_EQ(0, f.Open_modeWrite(path.c_str(), 0));
    EXPECT_EQ(0xFFFFFFFFUL, f.GetFilePoint());
    char c;
    EXPECT_EQ(0xFFFFFFFFUL, f.Read(&c, 1));
    EXPECT_EQ(0u, GetFileAttributesA(path.c_str()) + 1) << "opening must not create the file";
}

TEST_F(Filer, CloseTwiceAndWithoutAFile)
{
    CFiler none;
    EXPECT_EQ(0, none.Close());
    CFiler f;
    ASSERT_EQ(1, f.Create(path.c_str(), 0));
    EXPECT_EQ(1, f.Close());
    EXPECT_EQ(0, f.Close());
    EXPECT_EQ(0xFFFFFFFFUL, f.Write("x", 1)) << "writing after Close";
}

TEST_F(Filer, ModesAllowOnlyTheirDirection)
{
    ASSERT_TRUE(WriteWholeFile(path, "0123456789"));
    CFiler r;
    ASSERT_EQ(1, r.Open_modeRead(path.c_str(), FILE_SHARE_READ));
    EXPECT_EQ(0xFFFFFFFFUL, r.Write("x", 1));
    char buf[4] = {};
    EXPECT_EQ(4u, r.Read(buf, 4));
    EXPECT_EQ(0, memcmp(buf, "0123", 4));
    r.Close();

    CFiler w;
    ASSERT_EQ(1, w.Open_modeWrite(path.c_str(), 0));
    EXPECT_EQ(0xFFFFFFFFUL, w.Read(buf, 1));
    EXPECT_EQ(5u, w.WriteString("hello"));
    EXPECT_EQ(0xFFFFFFFFUL, w.WriteString(NULL));
    w.Close();
    EXPECT_EQ("hello56789", Contents());

    CFiler rw;
    ASSERT_EQ(1, rw.Open(path.c_str(), 0));
    EXPECT_EQ(2u, rw.Read(buf, 2));
    EXPECT_EQ(1u, rw.Write("!", 1));
    rw.Close();
    EXPECT_EQ("he!lo56789", Contents());
}

TEST_F(Filer, ShareModeIsPassedThroughByEveryOpening)
{
    ASSERT_TRUE(WriteWholeFile(path, "0123456789"));
    // Whether a second reader gets in shows the share mode the object opened the file with.
    auto secondReaderGetsIn = [&]() {
        HANDLE other = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                   OPEN_EXISTING, 0, NULL);
        if (other == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(other);
        return true;
    };
    typedef int (CFiler::*Opening)(const char*, unsigned long);
    const struct {
        const char* name;
        Opening open;
    } openings[] = {
        { "Create", &CFiler::Create },
        { "Open", &CFiler::Open },
        { "Open_modeRead", &CFiler::Open_modeRead },
        { "Open_modeWrite", &CFiler::Open_modeWrite },
    };
    for (const auto& o : openings) {
        CFiler f;
        ASSERT_EQ(1, (f.*o.open)(path.c_str(), 0)) << o.name;
        EXPECT_FALSE(secondReaderGetsIn()) << o.name << " with share mode 0";
        ASSERT_EQ(1, (f.*o.open)(path.c_str(), FILE_SHARE_READ | FILE_SHARE_WRITE)) << o.name;
        EXPECT_TRUE(secondReaderGetsIn()) << o.name << " with FILE_SHARE_READ | FILE_SHARE_WRITE";
        EXPECT_EQ(1, f.Close()) << o.name << ": reopening closed the first handle";
        EXPECT_EQ(0, f.Close()) << o.name;
    }
}

TEST_F(Filer, ReadAtEndOfFileGivesZeroNotFailure)
{
    ASSERT_TRUE(WriteWholeFile(path, "abc"));
    CFiler f;
    ASSERT_EQ(1, f.Open_modeRead(path.c_str(), FILE_SHARE_READ));
    char buf[16];
    EXPECT_EQ(3u, f.Read(buf, sizeof buf));
    EXPECT_EQ(0u, f.Read(buf, sizeof buf));
}

TEST_F(Filer, RelativeAndNegativeMoves)
{
    ASSERT_TRUE(WriteWholeFile(path, "0123456789"));
    CFiler f;
    ASSERT_EQ(1, f.Open_modeRead(path.c_str(), FILE_SHARE_READ));
    EXPECT_EQ(8u, f.SetFilePoint(8, FILE_BEGIN));
    EXPECT_EQ(4u, f.SetFilePoint(0xFFFFFFFCUL, FILE_CURRENT));
    char c = 0;
    EXPECT_EQ(1u, f.Read(&c, 1));
    EXPECT_EQ('4', c);
    EXPECT_EQ(5u, f.GetFilePoint());
    const CFiler& view = f;   // the queries are getters: usable on a const object
    EXPECT_EQ(5u, view.GetFilePoint());
    FILETIME written = {};
    EXPECT_EQ(1, view.GetFileTime(NULL, NULL, &written));
    EXPECT_NE(0u, written.dwHighDateTime);
    EXPECT_EQ(7u, f.SetFilePoint(0xFFFFFFFDUL, FILE_END));
    EXPECT_EQ(0xFFFFFFFFUL, f.SetFilePoint(0xFFFFFFF0UL, FILE_BEGIN)) << "a position before the start";
}

TEST_F(Filer, WholeFileIntoABuffer)
{
    ASSERT_TRUE(WriteWholeFile(path, Hundred()));
    CFiler f;
    ASSERT_EQ(1, f.Open_modeRead(path.c_str(), FILE_SHARE_READ));
    Buffer b;
    EXPECT_EQ(100u, f.Read(b));
    EXPECT_EQ(Hundred(), std::string(static_cast<char*>(b.GetPtr()), b.GetSize()));

    // From a later position the rest arrives; the buffer keeps the file's size, zero-filled.
    EXPECT_EQ(90u, f.SetFilePoint(90, FILE_BEGIN));
    EXPECT_EQ(10u, f.Read(b));
    EXPECT_EQ(100u, b.GetSize());
    EXPECT_EQ(Hundred().substr(90), std::string(static_cast<char*>(b.GetPtr()), 10));
    EXPECT_EQ(std::string(90, '\0'), std::string(static_cast<char*>(b.GetPtr()) + 10, 90));
}

TEST_F(Filer, WholeFileLimits)
{
    // An empty file reads as 0 and leaves the buffer as it was.
    ASSERT_TRUE(WriteWholeFile(path, ""));
    CFiler f;
    ASSERT_EQ(1, f.Open_modeRead(path.c_str(), FILE_SHARE_READ));
    Buffer b("keep", 4);
    EXPECT_EQ(0u, f.Read(b));
    EXPECT_EQ("keep", std::string(static_cast<char*>(b.GetPtr()), b.GetSize()));
    f.Close();

    // One byte over the maximum buffer size: refused before anything is allocated.
    ASSERT_TRUE(WriteWholeFile(path, "0123456789abcdefX"));
    TARVIKSETUPINFO info = {};
    info.dwMask = TSI_MAXBUFFERSIZE;
    info.dwMaxBufferSize = 16;
    ASSERT_EQ(1, TarvikSetup(&info));
    ASSERT_EQ(1, f.Open_modeRead(path.c_str(), FILE_SHARE_READ));
    Buffer fresh;
    EXPECT_EQ(0xFFFFFFFFUL, f.Read(fresh));
    EXPECT_EQ(nullptr, fresh.GetPtr());

    // Over the maximum file size.
    info.dwMask = TSI_MAXBUFFERSIZE | TSI_MAXFILESIZE;
    info.dwMaxBufferSize = 0x10000000;
    info.llMaxFileSize = 16;
    ASSERT_EQ(1, TarvikSetup(&info));
    EXPECT_EQ(0xFFFFFFFFUL, f.Read(fresh));
    EXPECT_EQ(nullptr, fresh.GetPtr());
    info.llMaxFileSize = 17;
    ASSERT_EQ(1, TarvikSetup(&info));
    EXPECT_EQ(17u, f.Read(fresh));
    f.Close();

    // Without a file, whatever the limits: a failure, not a read.
    info.dwMaxBufferSize = 0xFFFFFFFF;
    info.llMaxFileSize = 0x7FFFFFFFFFFFFFFFLL;
    ASSERT_EQ(1, TarvikSetup(&info));
    CFiler none;
    Buffer untouched;
    EXPECT_EQ(0xFFFFFFFFUL, none.Read(untouched));
    EXPECT_EQ(nullptr, untouched.GetPtr());
}

TEST_F(Filer, WriteOfAnEmptyBufferWritesNothing)
{
    CFiler f;
    ASSERT_EQ(1, f.Create(path.c_str(), 0));
    Buffer empty;
    EXPECT_EQ(0xFFFFFFFFUL, f.Write(empty));
    Buffer drained("ab", 2);
    drained.Sub(2);
    EXPECT_EQ(0xFFFFFFFFUL, f.Write(drained));
    Buffer data("data", 4);
    EXPECT_EQ(4u, f.Write(data));
    f.Close();
    EXPECT_EQ("data", Contents());
}

TEST_F(Filer, TimesAllAtOnceAndOneByOne)
{
    CFiler f;
    ASSERT_EQ(1, f.Create(path.c_str(), 0));
    FILETIME t = { 0x12345600, 0x01D00000 };   // some day in 2014
    EXPECT_NE(0, f.SetFileTime(&t));
    FILETIME c = {}, a = {}, w = {};
    EXPECT_EQ(1, f.GetFileTime(&c, &a, &w));
    EXPECT_EQ(t.dwHighDateTime, w.dwHighDateTime);
    EXPECT_EQ(t.dwLowDateTime, w.dwLowDateTime);
    EXPECT_EQ(t.dwHighDateTime, a.dwHighDateTime);
    EXPECT_EQ(t.dwLowDateTime, a.dwLowDateTime);

    FILETIME later = { 0x12345600, 0x01D10000 };
    EXPECT_NE(0, f.SetFileTime(NULL, NULL, &later));
    FILETIME onlyWrite = {};
    EXPECT_EQ(1, f.GetFileTime(NULL, NULL, &onlyWrite));
    EXPECT_EQ(later.dwHighDateTime, onlyWrite.dwHighDateTime);
    FILETIME access = {};
    EXPECT_EQ(1, f.GetFileTime(NULL, &access, NULL));
    EXPECT_EQ(t.dwHighDateTime, access.dwHighDateTime) << "a null pointer must leave that time alone";
    f.Close();

    FILETIME untouched = { 1, 2 };
    EXPECT_EQ(0, f.GetFileTime(NULL, NULL, &untouched));
    EXPECT_EQ(1u, untouched.dwLowDateTime);
}

TEST_F(Filer, AdoptedHandleIsClosedByTheObject)
{
    ASSERT_TRUE(WriteWholeFile(path, "x"));
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    {
        CFiler f(h);
        EXPECT_EQ(1u, f.GetFileSize(NULL));
    }
    // Closed: the file can be opened exclusively again.
    HANDLE again = CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    EXPECT_NE(INVALID_HANDLE_VALUE, again);
    CloseHandle(again);

    CFiler f;
    ASSERT_EQ(1, f.Create(path.c_str(), 0));
    HANDLE second = CreateFileA(TempPath("second.bin").c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    EXPECT_EQ(1, f = second);
    // The first file was closed by the assignment.
    again = CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    EXPECT_NE(INVALID_HANDLE_VALUE, again);
    CloseHandle(again);
}
