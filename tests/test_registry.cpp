// CReg against the registry of the Wine prefix, under a key of its own that each test removes
// again; CEvent with a second thread.
#include <windows.h>
#include <process.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <gtest/gtest.h>

#include "tarvik.h"
#include "harness_util.h"

using testutil::WaitAndPump;

namespace {

class Reg : public ::testing::Test {
protected:
    void SetUp() override
    {
        sprintf(path, "Software\\TarvikRegistryTest%lu", GetCurrentProcessId());
        DeleteTree();
        ASSERT_EQ(ERROR_SUCCESS, reg.CreateKey(HKEY_CURRENT_USER, path));
        ASSERT_NE((HKEY)0, reg.GetKey());
    }
    void TearDown() override
    {
        reg.CloseKey();
        DeleteTree();
        HKEY probe = 0;
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &probe));
    }
    void DeleteTree()
    {
        char sub[300];
        sprintf(sub, "%s\\Sub", path);
        RegDeleteKeyA(HKEY_CURRENT_USER, sub);
        RegDeleteKeyA(HKEY_CURRENT_USER, path);
    }
    // Reads a value straight from the system: its type, size and bytes.
    LONG Raw(const char* name, DWORD* type, BYTE* data, DWORD* size)
    {
        return RegQueryValueExA(reg.GetKey(), name, NULL, type, data, size);
    }
    // A DWORD value as the system holds it: "type 4, 4 bytes: 5" (REG_DWORD is 4), or the error.
    std::string StoredDword(const char* name)
    {
        DWORD type = 0, data = 0, size = sizeof(data);
        LONG r = Raw(name, &type, (BYTE*)&data, &size);
        return r ? "error " + std::to_string(r)
                 : "type " + std::to_string(type) + ", " + std::to_string(size) + " bytes: " + std::to_string(data);
    }
    char path[200];
    CReg reg;
};

}  // namespace

TEST_F(Reg, KeyTypeStartsAsNone)
{
    CReg fresh;
    EXPECT_EQ((unsigned long)REG_NONE, fresh.GetKeyType());
    EXPECT_EQ((HKEY)0, fresh.GetKey());
    EXPECT_EQ((HKEY)0, (HKEY)fresh);
}

TEST_F(Reg, StringIsStoredWithoutTerminatorAndReadBackTerminated)
{
    ASSERT_EQ(ERROR_SUCCESS, reg.WriteDataString("Text", "hello"));
    DWORD type = 0, size = 16;
    BYTE raw[16];
    memset(raw, 0xCC, sizeof(raw));
    ASSERT_EQ(ERROR_SUCCESS, Raw("Text", &type, raw, &size));
    EXPECT_EQ((DWORD)REG_SZ, type);
    EXPECT_EQ(0, memcmp(raw, "hello", 5));

    char buffer[32];
    memset(buffer, 'x', sizeof(buffer));
    unsigned long got = 0;
    EXPECT_EQ(ERROR_SUCCESS, reg.GetDataString("Text", buffer, sizeof(buffer), &got, "default"));
    EXPECT_STREQ("hello", buffer);
    EXPECT_EQ(size, got);
    EXPECT_EQ((unsigned long)REG_SZ, reg.GetKeyType());

    // Double-byte text goes through byte for byte.
    const char* kana = "\x83\x65\x83\x58\x83\x67";  // テスト
    ASSERT_EQ(ERROR_SUCCESS, reg.WriteDataString("Kana", kana));
    EXPECT_EQ(ERROR_SUCCESS, reg.GetDataString("Kana", buffer, sizeof(buffer), NULL, NULL));
    EXPECT_STREQ(kana, buffer);
}

TEST_F(Reg, StringTooLargeForTheBufferReportsTheNeededSize)
{
    ASSERT_EQ(ERROR_SUCCESS, reg.WriteDataString("Long", "hello world"));
    DWORD type = 0, needed = 0;
    ASSERT_EQ(ERROR_SUCCESS, Raw("Long", &type, NULL, &needed));

    char buffer[4];
    unsigned long got = 0;
    EXPECT_EQ(ERROR_MORE_DATA, reg.GetDataString("Long", buffer, sizeof(buffer), &got, "x"));
    EXPECT_EQ(needed, got);
    EXPECT_GE(got, 11u);
    EXPECT_EQ(0, buffer[3]) << "left without a terminator";
}

TEST_F(Reg, StringThatFillsTheBufferWithoutRoomForTheZeroIsNotLeftUnterminated)
{
    ASSERT_EQ(ERROR_SUCCESS, reg.WriteDataString("Four", "abcd"));
    char buffer[8];
    memset(buffer, 'x', sizeof(buffer));
    unsigned long got = 0;
    long result = reg.GetDataString("Four", buffer, 4, &got, NULL);
    EXPECT_EQ('x', buffer[4]) << "written past the buffer";
    EXPECT_TRUE(memchr(buffer, 0, 4) != NULL) << "text left without a terminator";
    EXPECT_EQ(ERROR_MORE_DATA, result);
    EXPECT_GE(got, 4u);

    memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(ERROR_SUCCESS, reg.GetDataString("Four", buffer, 5, &got, NULL));
    EXPECT_STREQ("abcd", buffer);
}

TEST_F(Reg, MissingStringGivesTheDefault)
{
    char buffer[16];
    memset(buffer, 'x', sizeof(buffer));
    unsigned long got = 0;
    EXPECT_EQ(ERROR_SUCCESS, reg.GetDataString("Missing", buffer, sizeof(buffer), &got, "abc"));
    EXPECT_STREQ("abc", buffer);
    EXPECT_EQ(4u, got);

    memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(ERROR_SUCCESS, reg.GetDataString("Missing", buffer, sizeof(buffer), NULL, NULL));
    EXPECT_STREQ("", buffer);
    EXPECT_EQ((unsigned long)REG_NONE, reg.GetKeyType());
}

TEST_F(Reg, MissingStringWithADefaultLongerThanTheBufferIsCutNotOverrun)
{
    char buffer[8];
    memset(buffer, 'x', sizeof(buffer));
    unsigned long got = 0;
    EXPECT_EQ(ERROR_MORE_DATA, reg.GetDataString("Missing", buffer, 4, &got, "abcdefgh"));
    EXPECT_STREQ("abc", buffer);
    EXPECT_EQ('x', buffer[4]);
    EXPECT_EQ(9u, got);

    // A double-byte character is never split: "aテ" with room for two bytes keeps only "a".
    memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(ERROR_MORE_DATA, reg.GetDataString("Missing", buffer, 3, NULL, "a\x83\x65"));
    EXPECT_STREQ("a", buffer);
}

TEST_F(Reg, DwordWriteAndRead)
{
    ASSERT_EQ(ERROR_SUCCESS, reg.WriteDataDWORD("Number", 5));
    EXPECT_EQ("type 4, 4 bytes: 5", StoredDword("Number"));

    unsigned long value = 0;
    EXPECT_EQ(ERROR_SUCCESS, reg.GetDataDWORD("Number", &value, 7));
    EXPECT_EQ(5u, value);
    EXPECT_EQ((unsigned long)REG_DWORD, reg.GetKeyType());

    ASSERT_EQ(ERROR_SUCCESS, reg.WriteDataDWORD("Big", 0xFEDCBA98));
    EXPECT_EQ(ERROR_SUCCESS, reg.GetDataDWORD("Big", &value, 7));
    EXPECT_EQ(0xFEDCBA98u, value);

    EXPECT_EQ(ERROR_SUCCESS, reg.GetDataDWORD("Missing", &value, 7));
    EXPECT_EQ(7u, value);

    // A value of another size is not a default case: the system's error comes back.
    ASSERT_EQ(ERROR_SUCCESS, reg.WriteDataString("Text", "longer than four"));
    value = 99;
    EXPECT_EQ(ERROR_MORE_DATA, reg.GetDataDWORD("Text", &value, 7));
    EXPECT_EQ((unsigned long)REG_SZ, reg.GetKeyType());
}

TEST_F(Reg, BinaryWriteAndRead)
{
    unsigned char bytes[5] = {0x00, 0xFF, 0x10, 0x00, 0x7F};
    ASSERT_EQ(ERROR_SUCCESS, reg.WriteDataBinary("Blob", bytes, sizeof(bytes)));
    DWORD type = 0, size = 16;
    BYTE raw[16];
    ASSERT_EQ(ERROR_SUCCESS, Raw("Blob", &type, raw, &size));
    EXPECT_EQ((DWORD)REG_BINARY, type);
    EXPECT_EQ(5u, size);
    EXPECT_EQ(0, memcmp(raw, bytes, 5));

    unsigned char buffer[8];
    memset(buffer, 0xCC, sizeof(buffer));
    unsigned long got = 0;
    EXPECT_EQ(ERROR_SUCCESS, reg.GetDataBinary("Blob", buffer, sizeof(buffer), &got));
    EXPECT_EQ(5u, got);
    EXPECT_EQ(0, memcmp(buffer, bytes, 5));
    EXPECT_EQ((unsigned long)REG_BINARY, reg.GetKeyType());

    got = 0;
    EXPECT_EQ(ERROR_MORE_DATA, reg.GetDataBinary("Blob", buffer, 2, &got));
    EXPECT_EQ(5u, got);
}

TEST_F(Reg, MissingBinaryIsZeroed)
{
    unsigned char buffer[8];
    memset(buffer, 0xCC, sizeof(buffer));
    unsigned long got = 0;
    EXPECT_EQ(ERROR_SUCCESS, reg.GetDataBinary("Missing", buffer, 6, &got));
    EXPECT_EQ(6u, got);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(0, buffer[i]) << "byte " << i;
    EXPECT_EQ(0xCC, buffer[6]);
    EXPECT_EQ(ERROR_SUCCESS, reg.GetDataBinary("Missing", buffer, 6, NULL));
}

TEST_F(Reg, BoolWritesOneOrZeroAndReadsAsStored)
{
    ASSERT_EQ(ERROR_SUCCESS, reg.WriteDataAsBool("Flag", 42));
    EXPECT_EQ("type 4, 4 bytes: 1", StoredDword("Flag"));
    ASSERT_EQ(ERROR_SUCCESS, reg.WriteDataAsBool("Off", 0));
    EXPECT_EQ("type 4, 4 bytes: 0", StoredDword("Off"));

    ASSERT_EQ(ERROR_SUCCESS, reg.WriteDataDWORD("Stored", 42));
    // The last value type is left alone by the flag read.
    unsigned char blob[1] = {1};
    ASSERT_EQ(ERROR_SUCCESS, reg.WriteDataBinary("Blob", blob, 1));
    unsigned char out[1];
    ASSERT_EQ(ERROR_SUCCESS, reg.GetDataBinary("Blob", out, 1, NULL));
    ASSERT_EQ((unsigned long)REG_BINARY, reg.GetKeyType());
    int flag = 0;
    EXPECT_EQ(ERROR_SUCCESS, reg.GetDataAsBool("Stored", &flag, 0));
    EXPECT_EQ(42, flag);
    EXPECT_EQ((unsigned long)REG_BINARY, reg.GetKeyType());

    EXPECT_EQ(ERROR_SUCCESS, reg.GetDataAsBool("Missing", &flag, 3));
    EXPECT_EQ(3, flag);
}

TEST_F(Reg, DeleteValueAndDeleteKey)
{
    ASSERT_EQ(ERROR_SUCCESS, reg.WriteDataDWORD("Number", 5));
    EXPECT_EQ(ERROR_SUCCESS, reg.DeleteValue("Number"));
    unsigned long value = 0;
    EXPECT_EQ(ERROR_SUCCESS, reg.GetDataDWORD("Number", &value, 9));
    EXPECT_EQ(9u, value);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.DeleteValue("Number"));

    CReg sub;
    ASSERT_EQ(ERROR_SUCCESS, sub.CreateKey(reg.GetKey(), "Sub"));
    ASSERT_EQ(ERROR_SUCCESS, sub.CloseKey());

    // An empty path never deletes the parent.
    EXPECT_EQ(ERROR_INVALID_PARAMETER, reg.DeleteKey(reg.GetKey(), ""));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, reg.DeleteKey(HKEY_CURRENT_USER, ""));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, reg.DeleteKey(reg.GetKey(), NULL));
    EXPECT_EQ(ERROR_SUCCESS, sub.OpenKey(reg.GetKey(), "Sub"));
    EXPECT_EQ(ERROR_SUCCESS, sub.CloseKey());

    EXPECT_EQ(ERROR_SUCCESS, reg.DeleteKey(reg.GetKey(), "Sub"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, sub.OpenKey(reg.GetKey(), "Sub"));
    EXPECT_EQ((HKEY)0, sub.GetKey());
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.DeleteKey(reg.GetKey(), "Sub"));
}

TEST_F(Reg, OpenCloseAndHandleAccess)
{
    CReg none;
    EXPECT_EQ(ERROR_SUCCESS, none.CloseKey());
    EXPECT_EQ(ERROR_SUCCESS, none.CloseKey());
    // Without a key, the system's error comes back instead of a default.
    unsigned long value = 1;
    EXPECT_EQ(ERROR_INVALID_HANDLE, none.GetDataDWORD("Number", &value, 7));
    EXPECT_EQ(1u, value);
    EXPECT_EQ(ERROR_INVALID_HANDLE, none.WriteDataDWORD("Number", 7));

    ASSERT_EQ(ERROR_SUCCESS, reg.WriteDataDWORD("Number", 11));
    CReg other;
    ASSERT_EQ(ERROR_SUCCESS, other.OpenKey(HKEY_CURRENT_USER, path));
    HKEY opened = other.GetKey();
    ASSERT_NE((HKEY)0, opened);
    EXPECT_EQ(1, other == opened);
    EXPECT_EQ(0, other == reg.GetKey());
    EXPECT_EQ(opened, (HKEY)other);
    EXPECT_EQ(ERROR_SUCCESS, other.GetDataDWORD("Number", &value, 0));
    EXPECT_EQ(11u, value);

    // Assignment hands back the previous key without closing it.
    HKEY previous = (other = (HKEY)0);
    EXPECT_EQ(opened, previous);
    EXPECT_EQ((HKEY)0, other.GetKey());
    DWORD size = sizeof(DWORD);
    DWORD data = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(previous, "Number", NULL, NULL, (BYTE*)&data, &size));
    EXPECT_EQ(11u, data);

    // The destructor closes the key it holds.
    {
        CReg owner(previous);
        EXPECT_EQ(1, owner == previous);
    }
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryValueExA(previous, "Number", NULL, NULL, (BYTE*)&data, &size));

    EXPECT_EQ(ERROR_SUCCESS, reg.CloseKey());
    EXPECT_EQ((HKEY)0, reg.GetKey());
    EXPECT_EQ(ERROR_SUCCESS, reg.CloseKey());
}

// ---------------------------------------------------------------------------------------------
// CEvent

namespace {

HANDLE HandleOf(CEvent& event)
{
    HANDLE h = (event = (HANDLE)0);
    event = h;
    return h;
}

// Whether the event is signalled now, without waiting: "set", "clear" or the wait's result.
std::string Signal(CEvent& event)
{
    DWORD r = WaitForSingleObject(HandleOf(event), 0);
    return r == WAIT_OBJECT_0 ? "set" : r == WAIT_TIMEOUT ? "clear" : std::to_string(r);
}

struct Relay {
    HANDLE wait;       // waited on by the thread
    CEvent* answer;    // signalled by the thread once the wait ended
    DWORD waitResult;
};

unsigned __stdcall RelayThread(void* param)
{
    Relay* relay = static_cast<Relay*>(param);
    relay->waitResult = WaitForSingleObject(relay->wait, 10000);
    relay->answer->SetEvent();
    return 0;
}

}  // namespace

TEST(Event, SignalledAndWaitedOnFromASecondThread)
{
    CEvent start, answer;
    ASSERT_EQ(1, start.Create(0, NULL));
    ASSERT_EQ(1, answer.Create(1, NULL));
    Relay relay = {HandleOf(start), &answer, 0xFFFFFFFF};
    HANDLE thread = (HANDLE)_beginthreadex(NULL, 0, RelayThread, &relay, 0, NULL);
    ASSERT_NE((HANDLE)0, thread);

    EXPECT_EQ("clear", Signal(answer));
    EXPECT_NE(0, start.SetEvent());
    EXPECT_TRUE(WaitAndPump(HandleOf(answer), 10000));
    EXPECT_EQ((DWORD)WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
    CloseHandle(thread);
    EXPECT_EQ((DWORD)WAIT_OBJECT_0, relay.waitResult);

    // The automatic event was consumed by the thread's wait; the manual one stays set until reset.
    EXPECT_EQ("clear", Signal(start));
    EXPECT_EQ("set", Signal(answer));
    EXPECT_EQ("set", Signal(answer));
    EXPECT_NE(0, answer.ResetEvent());
    EXPECT_EQ("clear", Signal(answer));

    EXPECT_EQ(1, start.Destroy());
    EXPECT_EQ(1, answer.Destroy());
}

TEST(Event, CreateTwiceIsRefusedAndDestroyAllowsAnother)
{
    CEvent event;
    EXPECT_EQ(0, event.Destroy());
    EXPECT_EQ(1, event == (HANDLE)0);
    ASSERT_EQ(1, event.Create(1, NULL));
    HANDLE first = HandleOf(event);
    ASSERT_NE((HANDLE)0, first);
    EXPECT_EQ(0, event.Create(0, NULL));
    EXPECT_EQ(1, event == first);

    EXPECT_EQ(1, event.Destroy());
    EXPECT_EQ(1, event == (HANDLE)0);
    EXPECT_EQ(0, event.Destroy());
    // Without an event the Win32 calls fail as they do for a null handle.
    EXPECT_EQ(0, event.SetEvent());
    EXPECT_EQ(0, event.ResetEvent());
    ASSERT_EQ(1, event.Create(0, NULL));
    EXPECT_EQ(0, event == (HANDLE)0);
    EXPECT_EQ(1, event.Destroy());
}

TEST(Event, NamedEventOpenedTwiceReportsAlreadyExists)
{
    char name[64];
    sprintf(name, "TarvikTestEvent%lu", GetCurrentProcessId());
    CEvent a, b;
    SetLastError(0xDEAD);
    ASSERT_EQ(1, a.Create(1, name));
    EXPECT_NE((DWORD)ERROR_ALREADY_EXISTS, GetLastError());
    ASSERT_EQ(1, b.Create(1, name));
    EXPECT_EQ((DWORD)ERROR_ALREADY_EXISTS, GetLastError());
    EXPECT_NE(HandleOf(a), HandleOf(b));

    // Both handles refer to one event object.
    EXPECT_NE(0, a.SetEvent());
    EXPECT_EQ("set", Signal(b));
    EXPECT_NE(0, b.ResetEvent());
    EXPECT_EQ("clear", Signal(a));
    for (CEvent* e : {&a, &b})
        EXPECT_EQ(1, e->Destroy());
}

TEST(Event, DestructorLeavesTheEventOpen)
{
    HANDLE h = 0;
    {
        CEvent event;
        ASSERT_EQ(1, event.Create(1, NULL));
        h = HandleOf(event);
    }
    EXPECT_NE(0, SetEvent(h));
    EXPECT_EQ((DWORD)WAIT_OBJECT_0, WaitForSingleObject(h, 0));
    EXPECT_NE(0, CloseHandle(h));
}
