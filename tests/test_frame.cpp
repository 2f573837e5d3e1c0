// The library frame: version, process-wide settings and Buffer.
#include <windows.h>
#include <string.h>
#include <stdint.h>
#include <gtest/gtest.h>

#include "tarvik.h"
#include "harness_util.h"

namespace {

// Puts the load values back, so every test starts from them.
void RestoreDefaults()
{
    ASSERT_EQ(1, testutil::RestoreTarvikSetup());
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override { RestoreDefaults(); }
    void TearDown() override { RestoreDefaults(); }

    // Returns whether a buffer of exactly n bytes can be made now.
    static bool CanAllocate(unsigned long n)
    {
        Buffer b;
        return b.New(n) == 1;
    }
};

// Bytes of a buffer as a string, for readable failures.
std::string Bytes(const Buffer& b)
{
    return b.GetPtr() ? std::string(static_cast<const char*>(b.GetPtr()), b.GetSize()) : std::string();
}

}  // namespace

TEST(Frame, VersionIsOnePointZeroPointZeroPointThirteen)
{
    EXPECT_EQ(0x0100000DUL, TarvikGetDllVersion());

    // The version resource of the DLL carries the same file version.
    char path[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileNameA(GetModuleHandleA("Tarvik.dll"), path, sizeof path));
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    ASSERT_NE(0u, size);
    std::string data(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, &data[0]));
    VS_FIXEDFILEINFO* info = NULL;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(&data[0], "\\", reinterpret_cast<void**>(&info), &len));
    EXPECT_EQ(0x00010000UL, info->dwFileVersionMS);
    EXPECT_EQ(0x0000000DUL, info->dwFileVersionLS);
    EXPECT_EQ(0x00010000UL, info->dwProductVersionMS);
    EXPECT_EQ(0x00000000UL, info->dwProductVersionLS);
}

TEST_F(Settings, MaximumBufferSizeLimitsNewAndAdd)
{
    EXPECT_TRUE(CanAllocate(0x10000000 / 16));
    TARVIKSETUPINFO info = {};
    info.dwMask = TSI_MAXBUFFERSIZE;
    info.dwMaxBufferSize = 16;
    ASSERT_EQ(1, TarvikSetup(&info));
    EXPECT_TRUE(CanAllocate(16));
    EXPECT_FALSE(CanAllocate(17));

    Buffer b;
    ASSERT_EQ(1, b.Add("0123456789", 10));
    EXPECT_EQ(1, b.Add("abcdef", 6));
    EXPECT_EQ(0, b.Add("g", 1)) << "17 bytes passed a limit of 16";
    EXPECT_EQ("0123456789abcdef", Bytes(b)) << "a refused append changed the buffer";
}

TEST_F(Settings, RefusedRecordChangesNothing)
{
    EXPECT_EQ(0, TarvikSetup(NULL));

    TARVIKSETUPINFO info = {};
    info.dwMask = TSI_MAXBUFFERSIZE | TSI_FLOATFORMAT;
    info.dwMaxBufferSize = 16;
    info.pszFloatFormat = NULL;
    EXPECT_EQ(0, TarvikSetup(&info));
    EXPECT_TRUE(CanAllocate(17)) << "the size was written before the format was refused";

    info.dwMask = TSI_MAXBUFFERSIZE;
    info.dwMaxBufferSize = 0;
    EXPECT_EQ(0, TarvikSetup(&info));
    EXPECT_TRUE(CanAllocate(17));

    info.dwMask = TSI_MAXBUFFERSIZE | TSI_MAXFILESIZE;
    info.dwMaxBufferSize = 16;
    info.llMaxFileSize = 0;
    EXPECT_EQ(0, TarvikSetup(&info));
    EXPECT_TRUE(CanAllocate(17));

    info.dwMask = TSI_MAXBUFFERSIZE | TSI_HEXFORMAT;
    info.pszHexFormat = NULL;
    EXPECT_EQ(0, TarvikSetup(&info));
    EXPECT_TRUE(CanAllocate(17));

    // No bits, or only unknown ones: accepted, nothing changes.
    info.dwMask = 0;
    EXPECT_EQ(1, TarvikSetup(&info));
    info.dwMask = 0xFFFFFFF0;
    EXPECT_EQ(1, TarvikSetup(&info));
    EXPECT_TRUE(CanAllocate(17));
}

TEST_F(Settings, MaximumFileSizeOfOnlyAHighPartIsAccepted)
{
    TARVIKSETUPINFO info = {};
    info.dwMask = TSI_MAXFILESIZE;
    info.llMaxFileSize = 0x100000000LL;
    EXPECT_EQ(1, TarvikSetup(&info));
}

TEST(Buffer, EmptyBuffer)
{
    Buffer b;
    EXPECT_EQ(nullptr, b.GetPtr());
    EXPECT_EQ(nullptr, static_cast<void*>(b));
    EXPECT_EQ(0u, b.GetSize());
    EXPECT_EQ(0, b.Add("x", 0)) << "appending nothing to an empty buffer";
    EXPECT_EQ(0, b.Add(static_cast<const void*>(NULL), 0));
    EXPECT_EQ(0, b.Zero());
    EXPECT_EQ(0, b.Sub(0));
    EXPECT_EQ(nullptr, b + 1);
    EXPECT_EQ(nullptr, b - 1);
    EXPECT_EQ(0, b.New(0));
    EXPECT_EQ(1, b.Release());
    EXPECT_EQ(0u, b.GetBufferParam());
    EXPECT_EQ(1, b.SetBufferParam(77));
    EXPECT_EQ(1, b.Release());
    EXPECT_EQ(77u, b.GetBufferParam()) << "Release must leave the caller's value";
}

TEST(Buffer, ConstructorCopiesOrStaysEmpty)
{
    Buffer copy("abc", 3);
    EXPECT_EQ("abc", Bytes(copy));
    Buffer none(NULL, 3);
    EXPECT_EQ(nullptr, none.GetPtr());
    Buffer marker(reinterpret_cast<const void*>(0xFFFFFFFF), 3);
    EXPECT_EQ(nullptr, marker.GetPtr());
    Buffer zero("abc", 0);
    EXPECT_EQ(nullptr, zero.GetPtr());
}

TEST(Buffer, GrowthIsExactAndShrinkKeepsStorage)
{
    Buffer b;
    ASSERT_EQ(1, b.Add("abc", 3));
    ASSERT_EQ(1, b.Add("def", 3));
    EXPECT_EQ("abcdef", Bytes(b));
    unsigned char* storage = static_cast<unsigned char*>(b.GetPtr());

    // Sub zeroes what it drops and keeps the block.
    ASSERT_EQ(1, b.Sub(4));
    EXPECT_EQ("ab", Bytes(b));
    EXPECT_EQ(storage, b.GetPtr());
    EXPECT_EQ(0, memcmp(storage + 2, "\0\0\0\0", 4)) << "dropped bytes were not zeroed";
    EXPECT_EQ(0, b.Sub(3));
    EXPECT_EQ(2u, b.GetSize());
    EXPECT_EQ(0, b.Sub(0x90000000UL)) << "a count far beyond the size must not wrap into a bigger size";
    EXPECT_EQ(2u, b.GetSize());
    EXPECT_EQ(1, b -= 2);
    EXPECT_EQ(0u, b.GetSize());
    EXPECT_EQ(storage, b.GetPtr()) << "storage stays after removing everything";

    // Back within the old capacity of 6: no reallocation; past it: exactly the new size.
    ASSERT_EQ(1, b.Add("123456", 6));
    EXPECT_EQ(storage, b.GetPtr());
    ASSERT_EQ(1, b += 5UL);
    EXPECT_EQ(11u, b.GetSize());
    EXPECT_EQ(0, memcmp(b.GetPtr(), "123456\0\0\0\0\0", 11));
    // Capacity is 11 now: one more byte than that forces growth; the block keeps its contents.
    ASSERT_EQ(1, b.Add(static_cast<unsigned char>('Z')));
    EXPECT_EQ(std::string("123456\0\0\0\0\0Z", 12), Bytes(b));
}

TEST(Buffer, NewWithinCapacityZeroesOnlyTheNewSize)
{
    Buffer b;
    ASSERT_EQ(1, b.New(100));
    memset(b.GetPtr(), 0xAB, 100);
    void* storage = b.GetPtr();
    ASSERT_EQ(1, b.New(10));
    EXPECT_EQ(storage, b.GetPtr());
    EXPECT_EQ(10u, b.GetSize());
    EXPECT_EQ(0, memcmp(b.GetPtr(), "\0\0\0\0\0\0\0\0\0\0", 10));
    // Capacity is still 100: growing back to 100 reuses the block.
    ASSERT_EQ(1, b.Add(NULL, 90));
    EXPECT_EQ(storage, b.GetPtr());
    EXPECT_EQ(100u, b.GetSize());
    EXPECT_EQ(1, b = 50UL);
    EXPECT_EQ(storage, b.GetPtr());
}

TEST(Buffer, TypedAppendsAreLittleEndian)
{
    Buffer b;
    ASSERT_EQ(1, b.Add(static_cast<unsigned char>(0x01)));
    ASSERT_EQ(1, b.Add(static_cast<unsigned short>(0x0302)));
    ASSERT_EQ(1, b.Add(static_cast<unsigned long>(0x07060504)));
    EXPECT_EQ(std::string("\x01\x02\x03\x04\x05\x06\x07", 7), Bytes(b));
}

TEST(Buffer, AppendingItsOwnBytesWhileGrowing)
{
    Buffer b;
    ASSERT_EQ(1, b.Add("abcd", 4));
    ASSERT_EQ(1, b.Add(b.GetPtr(), b.GetSize())) << "appending itself";
    EXPECT_EQ("abcdabcd", Bytes(b));
    ASSERT_EQ(1, b += b);
    EXPECT_EQ("abcdabcdabcdabcd", Bytes(b));
    EXPECT_EQ(0, b.Add(static_cast<char*>(b.GetPtr()) + 10, 7)) << "a source reaching past the bytes in use";
    EXPECT_EQ(16u, b.GetSize());
}

TEST(Buffer, AppendOverflowingThirtyTwoBitsIsRefused)
{
    Buffer b;
    ASSERT_EQ(1, b.Add("abc", 3));
    EXPECT_EQ(0, b.Add(NULL, 0xFFFFFFFFUL));
    EXPECT_EQ(0, b.Add(NULL, 0xFFFFFFFEUL));
    EXPECT_EQ("abc", Bytes(b));
}

TEST(Buffer, CopyToMemory)
{
    Buffer b("hello", 5);
    char out[8] = "-------";
    EXPECT_EQ(1, b.CopyTo(out, 0xFFFFFFFF));
    EXPECT_STREQ("hello--", out);
    EXPECT_EQ(0, b.CopyTo(out, 6)) << "one more than the size";
    EXPECT_EQ(0, b.CopyTo(out, 0));
    EXPECT_EQ(0, b.CopyTo(static_cast<void*>(NULL), 3));
    memcpy(out, "-------", 8);
    EXPECT_EQ(1, b.CopyTo(out, 2));
    EXPECT_STREQ("he-----", out);
    Buffer empty;
    EXPECT_EQ(0, empty.CopyTo(out, 0xFFFFFFFF));
}

TEST(Buffer, CopyDirectionIsFromThisIntoTheArgument)
{
    Buffer left("left", 4);
    Buffer right("right!", 6);
    void* rightStorage = right.GetPtr();
    // CopyTo reuses the argument's storage when it is big enough.
    EXPECT_EQ(1, left.CopyTo(right));
    EXPECT_EQ("left", Bytes(right));
    EXPECT_EQ("left", Bytes(left));
    EXPECT_EQ(rightStorage, right.GetPtr());

    // operator= copies the left-hand buffer into the right-hand one.
    Buffer target("something longer", 16);
    EXPECT_EQ(1, left = target);
    EXPECT_EQ("left", Bytes(target));
    EXPECT_EQ("left", Bytes(left));

    Buffer empty;
    EXPECT_EQ(0, empty = target);
    EXPECT_EQ("left", Bytes(target)) << "an empty left-hand side must not touch the right-hand one";
    EXPECT_EQ(0, empty.CopyTo(target));
    EXPECT_EQ(0, empty.Duplicate(target));
    EXPECT_EQ("left", Bytes(target));

    // Duplicate of storage with size 0 leaves the argument empty.
    Buffer drained("xy", 2);
    ASSERT_EQ(1, drained.Sub(2));
    EXPECT_EQ(0, drained.Duplicate(target));
    EXPECT_EQ(nullptr, target.GetPtr());
    EXPECT_EQ(0, drained.CopyTo(target));
}

TEST(Buffer, CopyingIntoItselfKeepsTheContents)
{
    Buffer b("same", 4);
    EXPECT_EQ(1, b.CopyTo(b));
    EXPECT_EQ("same", Bytes(b));
    EXPECT_EQ(1, b.Duplicate(b));
    EXPECT_EQ("same", Bytes(b));
    EXPECT_EQ(1, b = b);
    EXPECT_EQ("same", Bytes(b));
}

TEST(Buffer, TextAssignmentAndAppend)
{
    Buffer b;
    EXPECT_EQ(1, b = "text");
    EXPECT_EQ("text", Bytes(b));
    EXPECT_EQ(1, b += " more");
    EXPECT_EQ("text more", Bytes(b));
    unsigned char raw[] = "!";
    EXPECT_EQ(1, b += static_cast<unsigned char*>(raw));
    EXPECT_EQ("text more!", Bytes(b));
    EXPECT_EQ(0, b += static_cast<const char*>(NULL));
    EXPECT_EQ("text more!", Bytes(b));
    // Replacing with its own tail is safe.
    ASSERT_EQ(1, b.Add(static_cast<unsigned char>(0)));
    EXPECT_EQ(1, b = static_cast<const char*>(b + 5));
    EXPECT_EQ("more!", Bytes(b));
    EXPECT_EQ(0, b = "");
    EXPECT_EQ(nullptr, b.GetPtr()) << "an empty text leaves the buffer empty";
    EXPECT_EQ(0, b = static_cast<const char*>(NULL));
}

TEST(Buffer, PointerArithmeticNeverWraps)
{
    Buffer b("0123456789", 10);
    char* base = static_cast<char*>(b.GetPtr());
    EXPECT_EQ(base + 3, b + 3);
    EXPECT_EQ(base + 100, b + 100) << "the size is not consulted";
    EXPECT_EQ(base - 3, b - 3);
    EXPECT_EQ(nullptr, b - 0xFFFFFFFFUL);
    if (sizeof(void*) == 4) {
        // Past the top of the 32-bit address space.
        EXPECT_EQ(nullptr, b + 0xFFFFFFFFUL);
        EXPECT_EQ(nullptr, b + static_cast<unsigned long>(~reinterpret_cast<uintptr_t>(base) + 1));
    }
}
