// CString and the free string functions, with double-byte text in code page 932.
#include <windows.h>
#include <string.h>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "tarvik.h"
#include "harness_util.h"

// Code page 932 characters whose second byte is a backslash (0x5C).
#define HYO "\x95\x5C"   // 表
#define SO "\x83\x5C"    // ソ
#define NOU "\x94\x5C"   // 能

namespace {

// Shows bytes above 0x7F as \xNN so failures stay readable.
std::string Show(const char* text)
{
    if (!text)
        return "(null)";
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (*p >= 0x80 || *p < 0x20) {
            char hex[8];
            wsprintfA(hex, "\\x%02X", *p);
            out += hex;
        } else {
            out += static_cast<char>(*p);
        }
    }
    return out;
}

#define EXPECT_TEXT(expected, actual) EXPECT_EQ(Show(expected), Show(actual))

}  // namespace

TEST(Strings, RunsUnderCodePage932)
{
    ASSERT_EQ(932u, GetACP()) << "the double-byte tests need code page 932";
    EXPECT_TRUE(IsDBCSLeadByte(0x95));
    EXPECT_EQ(HYO + 2, CharNextA(HYO));
}

// ---------------------------------------------------------------------------------------------
// CString

TEST(CStringTest, NullTextAndEmptyTextAreKeptApart)
{
    CString none;
    EXPECT_EQ(nullptr, none.GetString());
    EXPECT_EQ(nullptr, static_cast<char*>(none));
    EXPECT_EQ(1, none.IsEmpty());
    EXPECT_EQ(0u, none.GetLength());

    CString fromNull(static_cast<const char*>(nullptr));
    EXPECT_EQ(nullptr, fromNull.GetString());
    CString fromNullBytes(static_cast<unsigned char*>(nullptr));
    EXPECT_EQ(nullptr, fromNullBytes.GetString());

    CString empty("");
    ASSERT_NE(nullptr, empty.GetString());
    EXPECT_EQ(1, empty.IsEmpty());
    EXPECT_EQ(0u, empty.GetLength());

    // Copy construction from an empty string gives a null text ...
    CString copyOfEmpty(empty);
    EXPECT_EQ(nullptr, copyOfEmpty.GetString());
    // ... while assignment keeps an empty text as an empty text.
    CString assigned("old");
    assigned = empty;
    ASSERT_NE(nullptr, assigned.GetString());
    EXPECT_TEXT("", assigned.GetString());
    assigned = none;
    EXPECT_EQ(nullptr, assigned.GetString());

    // A failed load also leaves a null text.
    CString load("x");
    EXPECT_EQ(0, load.LoadStringA(GetModuleHandleA(nullptr), 9999));
    EXPECT_EQ(nullptr, load.GetString());
}

TEST(CStringTest, ConstructionAndAssignmentCopyTheText)
{
    char source[] = "abc";
    CString a(source);
    source[0] = 'X';
    EXPECT_TEXT("abc", a.GetString());
    EXPECT_NE(static_cast<char*>(source), a.GetString());

    unsigned char bytes[] = "bytes";
    CString b(bytes);
    EXPECT_TEXT("bytes", b.GetString());

    CString c(a);
    EXPECT_TEXT("abc", c.GetString());
    EXPECT_NE(a.GetString(), c.GetString()) << "a copy shares its text";

    c = "replaced";
    EXPECT_TEXT("replaced", c.GetString());
    EXPECT_TEXT("abc", a.GetString());
    c = bytes;
    EXPECT_TEXT("bytes", c.GetString());
    c = a;
    EXPECT_TEXT("abc", c.GetString());
    EXPECT_NE(a.GetString(), c.GetString());
    EXPECT_EQ(3u, c.GetLength());

    // Callers may write into the text within its length.
    c.GetString()[0] = 'A';
    EXPECT_TEXT("Abc", static_cast<char*>(c));
}

TEST(CStringTest, SelfAssignmentAndNullArgumentsKeepTheText)
{
    CString s("keep me");
    CString& same = s;
    s = same;
    EXPECT_TEXT("keep me", s.GetString());
    s = s.GetString();
    EXPECT_TEXT("keep me", s.GetString());
    s += s;
    EXPECT_TEXT("keep mekeep me", s.GetString());
    s += s.GetString();
    EXPECT_TEXT("keep mekeep mekeep mekeep me", s.GetString());

    CString t("text");
    t = static_cast<const char*>(nullptr);
    EXPECT_EQ(nullptr, t.GetString());
    t = "text";
    t += static_cast<const char*>(nullptr);
    EXPECT_TEXT("text", t.GetString());
    CString none;
    t += none;
    EXPECT_TEXT("text", t.GetString());
    EXPECT_EQ(0, t == static_cast<const char*>(nullptr));
    none -= 3;
    EXPECT_EQ(nullptr, none.GetString());
    EXPECT_EQ(1, none == static_cast<const char*>(nullptr));
}

TEST(CStringTest, ConcatenationAndCutting)
{
    CString s;
    s += "ab";
    EXPECT_TEXT("ab", s.GetString());
    unsigned char more[] = "cd";
    s += more;
    CString tail("ef");
    s += tail;
    EXPECT_TEXT("abcdef", s.GetString());
    EXPECT_EQ(6u, s.GetLength());

    char* storage = s.GetString();
    s -= 2;
    EXPECT_TEXT("abcd", s.GetString());
    EXPECT_EQ(storage, s.GetString()) << "operator-= keeps the storage";
    s -= 10;
    EXPECT_TEXT("", s.GetString());
    EXPECT_EQ(storage, s.GetString());
    EXPECT_EQ(1, s.IsEmpty());
}

TEST(CStringTest, ComparisonIgnoresCaseAndEmptyNeverEquals)
{
    CString s("Abc");
    EXPECT_EQ(1, s == "aBC");
    EXPECT_EQ(0, s == "aBCd");
    unsigned char bytes[] = "ABC";
    EXPECT_EQ(1, s == bytes);
    CString other("abc");
    EXPECT_EQ(1, s == other);
    CString different("abd");
    EXPECT_EQ(0, s == different);

    CString a;
    CString b;
    EXPECT_EQ(0, a == b) << "two empty strings are not equal";
    CString e1("");
    CString e2("");
    EXPECT_EQ(0, e1 == e2);
    EXPECT_EQ(1, a == "");
    EXPECT_EQ(1, e1 == "");
}

TEST(CStringTest, PathMembersWorkInPlace)
{
    CString s("C:\\x\\y.txt");
    char* storage = s.GetString();
    s.FileName();
    EXPECT_TEXT("y", s.GetString());
    EXPECT_EQ(storage, s.GetString());

    s = "C:\\dir\\file.txt";
    s.FileNameExt();
    EXPECT_TEXT("file.txt", s.GetString());
    s = "C:\\dir\\file.txt";
    s.Ext();
    EXPECT_TEXT("txt", s.GetString());
    s = "C:\\dir\\file.txt";
    s.Path();
    EXPECT_TEXT("C:\\dir", s.GetString());
    s = "C:\\dir\\file.txt";
    s.Drive();
    EXPECT_TEXT("C:", s.GetString());
    s = "relative\\file";
    s.Drive();
    EXPECT_TEXT("", s.GetString());

    // Double-byte names whose second byte is a backslash stay whole.
    s = "C:\\" HYO "\\" SO ".txt";
    s.Path();
    EXPECT_TEXT("C:\\" HYO, s.GetString());
    s = "C:\\" HYO "\\" NOU;
    s.FileNameExt();
    EXPECT_TEXT(NOU, s.GetString());

    CString empty;
    EXPECT_EQ(&empty, &empty.FileName());
    EXPECT_EQ(nullptr, empty.GetString());
    CString emptyText("");
    emptyText.Path().Ext().Drive();
    EXPECT_TEXT("", emptyText.GetString());
}

TEST(CStringTest, FormatUsesPrintfRulesAndStopsAt259)
{
    CString s;
    EXPECT_EQ(&s, &s.Format("%d-%s-%.2f-%05x", -12, "ab", 1.5, 255));
    EXPECT_TEXT("-12-ab-1.50-000ff", s.GetString());

    std::string big(400, 'q');
    s.Format("%s!", big.c_str());
    EXPECT_EQ(259u, s.GetLength()) << "the 260-byte buffer was overrun or not filled";
    EXPECT_EQ(std::string(259, 'q'), std::string(s.GetString()));

    s.Format("");
    ASSERT_NE(nullptr, s.GetString());
    EXPECT_TEXT("", s.GetString());
}

TEST(CStringTest, LoadStringFromTheStringTable)
{
    HINSTANCE self = GetModuleHandleA(nullptr);
    CString s;
    EXPECT_EQ(1, s.LoadStringA(self, 101));
    EXPECT_TEXT("Hello resource", s.GetString());
    EXPECT_EQ(1, s.LoadStringA(self, 102));
    EXPECT_TEXT("\x95\x5C\x8E\xA6" SO "\x83\x74\x83\x67" NOU "\x97\xCD", s.GetString());
    // Longer strings are cut at 259 characters.
    EXPECT_EQ(1, s.LoadStringA(self, 103));
    ASSERT_EQ(259u, s.GetLength());
    EXPECT_EQ('a', s.GetString()[0]);
    EXPECT_EQ('a' + 258 % 26, s.GetString()[258]);
}

namespace {

// A top-level window with one static child (identifier 100) for the text transfers.
class TextWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent = CreateWindowExA(0, "STATIC", "parent text", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, parent);
        child = CreateWindowExA(0, "EDIT", "child text", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20,
                                parent, reinterpret_cast<HMENU>(100), nullptr, nullptr);
        ASSERT_NE(nullptr, child);
    }
    void TearDown() override
    {
        DestroyWindow(parent);
    }
    std::string WindowText(HWND w)
    {
        char buffer[600];
        GetWindowTextA(w, buffer, sizeof buffer);
        return buffer;
    }
    HWND parent = nullptr;
    HWND child = nullptr;
};

}  // namespace

TEST_F(TextWindows, WindowTextInAndOut)
{
    CString s;
    EXPECT_EQ(1, s.GetWindowTextA(parent));
    EXPECT_TEXT("parent text", s.GetString());
    EXPECT_EQ(1, s.GetDlgItemTextA(parent, 100));
    EXPECT_TEXT("child text", s.GetString());

    CString none;
    EXPECT_EQ(0, none.SetWindowTextA(parent));
    EXPECT_EQ("parent text", WindowText(parent));
    EXPECT_EQ(0, none.SetDlgItemTextA(parent, 100));
    EXPECT_EQ("child text", WindowText(child));

    CString title("new " HYO " title");
    EXPECT_NE(0, title.SetWindowTextA(parent));
    EXPECT_EQ("new " HYO " title", WindowText(parent));
    CString item("item");
    EXPECT_NE(0, item.SetDlgItemTextA(parent, 100));
    EXPECT_EQ("item", WindowText(child));

    // An empty window text gives 0 and a null text.
    SetWindowTextA(parent, "");
    EXPECT_EQ(0, s.GetWindowTextA(parent));
    EXPECT_EQ(nullptr, s.GetString());
    SetWindowTextA(child, "");
    s = "x";
    EXPECT_EQ(0, s.GetDlgItemTextA(parent, 100));
    EXPECT_EQ(nullptr, s.GetString());
    EXPECT_EQ(0, s.GetDlgItemTextA(parent, 555)) << "a missing item";

    // Texts are taken through a 260-byte buffer.
    std::string longText(400, 'w');
    SetWindowTextA(parent, longText.c_str());
    EXPECT_EQ(1, s.GetWindowTextA(parent));
    EXPECT_EQ(259u, s.GetLength());
    SetWindowTextA(child, longText.c_str());
    EXPECT_EQ(1, s.GetDlgItemTextA(parent, 100));
    EXPECT_EQ(259u, s.GetLength());
}

namespace {

// Counts the calls that CString makes to its own virtual operations.
class CountingString : public CString {
public:
    explicit CountingString(const char* text) : CString(text) {}
    int IsEmpty() const override
    {
        ++isEmptyCalls;
        return CString::IsEmpty();
    }
    char* GetString() const override
    {
        ++getStringCalls;
        return CString::GetString();
    }
    CString& operator=(const char* text) override
    {
        ++assignCalls;
        return CString::operator=(text);
    }
    int operator==(const char* text) override
    {
        ++compareCalls;
        return CString::operator==(text);
    }
    using CString::operator=;
    using CString::operator==;
    mutable int isEmptyCalls = 0;
    mutable int getStringCalls = 0;
    int assignCalls = 0;
    int compareCalls = 0;
};

// The byte offset of a virtual member in the table (Itanium C++ ABI: offset + 1).
template <typename M>
long SlotOf(M member)
{
    ptrdiff_t raw[2];
    static_assert(sizeof member == sizeof raw, "member pointer layout");
    memcpy(raw, &member, sizeof raw);
    return static_cast<long>((raw[0] - 1) / static_cast<ptrdiff_t>(sizeof(void*)));
}

}  // namespace

TEST(CStringTest, MembersCallEachOtherThroughTheVirtualTable)
{
    CountingString counted("C:\\dir\\name.ext");
    CString copy(counted);
    EXPECT_EQ(1, counted.isEmptyCalls) << "the copy constructor asks IsEmpty through the table";
    EXPECT_EQ(1, counted.getStringCalls);
    EXPECT_TEXT("C:\\dir\\name.ext", copy.GetString());

    counted.isEmptyCalls = 0;
    counted.Path();
    EXPECT_EQ(1, counted.isEmptyCalls) << "Path asks IsEmpty through the table";
    counted.Ext();
    counted.FileName();
    counted.FileNameExt();
    counted.Drive();
    EXPECT_EQ(5, counted.isEmptyCalls);

    counted.Format("%d", 5);
    EXPECT_EQ(1, counted.assignCalls) << "Format assigns through operator=(const char*)";
    EXPECT_TEXT("5", counted.GetString());

    CountingString other("5");
    CString& base = counted;
    EXPECT_EQ(1, base == other);
    EXPECT_EQ(1, other.isEmptyCalls);
    EXPECT_EQ(1, counted.compareCalls) << "operator==(CString&) compares through the text overload";
}

TEST(CStringTest, VirtualSlotsKeepTheOrderConsumersWereBuiltWith)
{
    typedef CString& (CString::*AssignString)(CString&);
    typedef CString& (CString::*AssignBytes)(unsigned char* const);
    typedef CString& (CString::*AssignText)(const char*);
    typedef int (CString::*CompareString)(CString&);
    typedef int (CString::*CompareBytes)(unsigned char* const);
    typedef int (CString::*CompareText)(const char*);
    std::vector<long> slots = {
        SlotOf(static_cast<AssignString>(&CString::operator=)),
        SlotOf(static_cast<AssignBytes>(&CString::operator=)),
        SlotOf(static_cast<AssignText>(&CString::operator=)),
        SlotOf(static_cast<AssignString>(&CString::operator+=)),
        SlotOf(static_cast<AssignBytes>(&CString::operator+=)),
        SlotOf(static_cast<AssignText>(&CString::operator+=)),
        SlotOf(static_cast<CompareString>(&CString::operator==)),
        SlotOf(static_cast<CompareBytes>(&CString::operator==)),
        SlotOf(static_cast<CompareText>(&CString::operator==)),
        SlotOf(&CString::operator-=),
        SlotOf(&CString::IsEmpty),
        SlotOf(&CString::GetString),
        SlotOf(&CString::GetLength),
        SlotOf(&CString::Drive),
        SlotOf(&CString::Path),
        SlotOf(&CString::FileName),
        SlotOf(&CString::Ext),
        SlotOf(&CString::FileNameExt),
        SlotOf(&CString::Format),
        SlotOf(&CString::LoadStringA),
        SlotOf(&CString::GetWindowTextA),
        SlotOf(&CString::GetDlgItemTextA),
        SlotOf(&CString::SetWindowTextA),
        SlotOf(&CString::SetDlgItemTextA),
    };
    // The destructor takes the first two slots (complete and deleting).
    for (size_t i = 0; i < slots.size(); ++i)
        EXPECT_EQ(static_cast<long>(i) + 2, slots[i]) << "member " << i << " of the list";
}

// ---------------------------------------------------------------------------------------------
// Free functions: copying and cutting

TEST(StringFunctions, CaseOfSingleBytes)
{
    EXPECT_EQ('A', ucase('a'));
    EXPECT_EQ('Z', ucase('z'));
    EXPECT_EQ('A', ucase('A'));
    EXPECT_EQ('1', ucase('1'));
    EXPECT_EQ(static_cast<char>(0xE0), ucase(static_cast<char>(0xE0)));
    EXPECT_EQ('a', lcase('A'));
    EXPECT_EQ('z', lcase('Z'));
    EXPECT_EQ('[', lcase('['));
    EXPECT_EQ(static_cast<char>(0xC0), lcase(static_cast<char>(0xC0)));
}

TEST(StringFunctions, CopyAppendAndLists)
{
    char buffer[64];
    memset(buffer, 'z', sizeof buffer);
    stringadd(buffer, "hello");
    EXPECT_TEXT("hello", buffer);
    stringadd(buffer, "hi");
    EXPECT_TEXT("hi", buffer) << "stringadd copies, it does not append";
    stringcon(buffer, " there");
    EXPECT_TEXT("hi there", buffer);
    EXPECT_EQ(8, stringlen(buffer));
    EXPECT_EQ(0, stringlen(""));

    stringaddn(buffer, "abcdef", 3);
    EXPECT_TEXT("abc", buffer);
    stringaddn(buffer, "abcdef", 0);
    EXPECT_TEXT("abcdef", buffer);
    stringaddn(buffer, "ab", 5);
    EXPECT_TEXT("ab", buffer);

    char list[32];
    memset(list, 0, sizeof list);
    stringadd(list, "one");
    stringcond(list, "two");
    stringcond(list, "3");
    EXPECT_EQ(0, memcmp(list, "one\0two\0" "3\0\0", 11));
    char fresh[16];
    memset(fresh, 0, sizeof fresh);
    stringcond(fresh, "ab");
    EXPECT_EQ(0, memcmp(fresh, "\0ab\0\0", 5)) << "a list that starts with two zeros";
}

TEST(StringFunctions, SubCutAndInsert)
{
    char buffer[64];
    EXPECT_EQ(3, stringsub(buffer, "abcdef", 3));
    EXPECT_TEXT("abc", buffer);
    EXPECT_EQ(2, stringsub(buffer, "ab", 9));
    EXPECT_TEXT("ab", buffer);
    EXPECT_EQ(0, stringsub(buffer, "abc", 0));
    EXPECT_TEXT("", buffer);

    EXPECT_EQ(-3, stringcut(buffer, "abcdef", 1, 4));
    EXPECT_TEXT("bcd", buffer);
    EXPECT_EQ(-2, stringcut(buffer, "abcdef", 4, 100));
    EXPECT_TEXT("ef", buffer);
    EXPECT_EQ(0, stringcut(buffer, "abcdef", 4, 4));
    EXPECT_TEXT("", buffer);
    EXPECT_EQ(0, stringcut(buffer, "abcdef", 5, 2));
    EXPECT_TEXT("", buffer);
    EXPECT_EQ(0, stringcut(buffer, "abcdef", 6, 9));
    EXPECT_TEXT("", buffer);
    EXPECT_EQ(0, stringcut(buffer, "ab", 50, 60)) << "a start past the end reads nothing";
    EXPECT_TEXT("", buffer);

    stringadd(buffer, "held");
    stringins(buffer, "ABC", 2);
    EXPECT_TEXT("heABCld", buffer);
    stringins(buffer, "<", 0);
    stringins(buffer, ">", 8);
    EXPECT_TEXT("<heABCld>", buffer);

    stringfill(buffer, "ab", 3);
    EXPECT_TEXT("ababab", buffer);
    stringfill(buffer, "ab", 0);
    EXPECT_TEXT("", buffer);
}

TEST(StringFunctions, ReverseKeepsDoubleBytePairsInOrder)
{
    char buffer[64];
    stringrev(buffer, "abc");
    EXPECT_TEXT("cba", buffer);
    stringrev(buffer, "ab" HYO "c");
    EXPECT_TEXT("c" HYO "ba", buffer);
    stringrev(buffer, SO NOU "x" HYO);
    EXPECT_TEXT(HYO "x" NOU SO, buffer);

    // With a null source dst is reversed in place.
    stringadd(buffer, "1" HYO "2");
    stringrev(buffer, nullptr);
    EXPECT_TEXT("2" HYO "1", buffer);
    stringadd(buffer, "q");
    stringrev(buffer, nullptr);
    EXPECT_TEXT("q", buffer);
    stringrev(buffer, "");
    EXPECT_TEXT("", buffer);
}

TEST(StringFunctions, FirstOccurrence)
{
    EXPECT_EQ(4, stringfirst("abcabc", "BC", 1, 2));
    EXPECT_EQ(-1, stringfirst("abcabc", "BC", 0, 2));
    EXPECT_EQ(1, stringfirst("abcabc", "bc", 0, 0));
    EXPECT_EQ(-1, stringfirst("abcabc", "cab", 0, 3));
    EXPECT_EQ(-1, stringfirst("abc", "abcd", 0, 0));
    EXPECT_EQ(2, stringfirst("abc", "", 0, 2)) << "an empty text matches at the start index";
    EXPECT_EQ(-1, stringfirst("abc", "", 0, 3)) << "the text ends at the start index";
    EXPECT_EQ(-1, stringfirst("abc", "c", 0, 10));
    // Byte-wise: the second byte of a double-byte character matches.
    EXPECT_EQ(1, stringfirst(HYO, "\\", 0, 0));
}

// ---------------------------------------------------------------------------------------------
// Paths

TEST(StringFunctions, PathSplitting)
{
    char buffer[64];
    const char* path = "C:\\dir\\file.txt";
    stringfilename(buffer, path);
    EXPECT_TEXT("file", buffer);
    stringfilenameext(buffer, path);
    EXPECT_TEXT("file.txt", buffer);
    stringext(buffer, path);
    EXPECT_TEXT("txt", buffer);
    stringpath(buffer, path);
    EXPECT_TEXT("C:\\dir", buffer);
    EXPECT_EQ(1, stringdrive(buffer, path));
    EXPECT_TEXT("C:", buffer);
    stringext(buffer, "C:\\dir\\file");
    EXPECT_TEXT("", buffer);

    stringfilenameext(buffer, "plain.txt");
    EXPECT_TEXT("plain.txt", buffer);
    stringfilenameext(buffer, "C:/unix/style.c");
    EXPECT_TEXT("style.c", buffer);
    stringfilenameext(buffer, "C:\\dir\\");
    EXPECT_TEXT("", buffer);
    stringfilename(buffer, "C:\\.profile");
    EXPECT_TEXT("", buffer);
    stringfilename(buffer, "a.tar.gz");
    EXPECT_TEXT("a.tar", buffer);
    stringfilename(buffer, "C:\\dir.d\\noext");
    EXPECT_TEXT("noext", buffer);
    stringext(buffer, "C:\\a.b\\c");
    EXPECT_TEXT("b\\c", buffer);
    stringpath(buffer, "C:\\file");
    EXPECT_TEXT("C:", buffer);
    stringpath(buffer, "\\file");
    EXPECT_TEXT("", buffer);
    stringpath(buffer, "C:/a/b");
    EXPECT_TEXT("C:/a/b", buffer) << "a slash is no separator for stringpath";

    char same[32] = "C:\\dir\\sub\\f.x";
    stringpath(same, same);
    EXPECT_TEXT("C:\\dir\\sub", same);
    char none[32] = "nothing";
    stringpath(none, none);
    EXPECT_TEXT("nothing", none);

    EXPECT_EQ(1, stringdrive(buffer, "d:/x"));
    EXPECT_TEXT("d:", buffer);
    EXPECT_EQ(0, stringdrive(buffer, "C:"));
    EXPECT_TEXT("", buffer);
    EXPECT_EQ(0, stringdrive(buffer, "C:x"));
    EXPECT_EQ(0, stringdrive(buffer, ""));
    EXPECT_TEXT("", buffer);
}

TEST(StringFunctions, PathSplittingNeverSplitsDoubleByteCharacters)
{
    char buffer[64];
    // 表, ソ and 能 end in 0x5C: none of those bytes is a separator.
    stringfilenameext(buffer, "C:\\dir\\" HYO);
    EXPECT_TEXT(HYO, buffer);
    stringfilenameext(buffer, "C:\\" SO NOU ".txt");
    EXPECT_TEXT(SO NOU ".txt", buffer);
    stringfilename(buffer, "C:\\" HYO "\\" SO ".txt");
    EXPECT_TEXT(SO, buffer);
    stringfilename(buffer, "C:\\" HYO ".d\\" NOU);
    EXPECT_TEXT(NOU, buffer);
    stringext(buffer, "C:\\" HYO "\\file." NOU);
    EXPECT_TEXT(NOU, buffer);
    stringext(buffer, "C:\\" HYO "." SO);
    EXPECT_TEXT(SO, buffer);
    stringpath(buffer, "C:\\" HYO "\\" SO);
    EXPECT_TEXT("C:\\" HYO, buffer);
    stringpath(buffer, "C:\\" NOU);
    EXPECT_TEXT("C:", buffer);
    stringpath(buffer, HYO SO NOU);
    EXPECT_TEXT(HYO SO NOU, buffer);
    stringpath(buffer, HYO "\\x");
    EXPECT_TEXT(HYO, buffer);
}

TEST(StringFunctions, SeparatorsAndPeriods)
{
    char buffer[64] = "C:\\dir";
    stringaddsep(buffer);
    EXPECT_TEXT("C:\\dir\\", buffer);
    stringaddsep(buffer);
    EXPECT_TEXT("C:\\dir\\", buffer);
    stringdelsep(buffer);
    EXPECT_TEXT("C:\\dir", buffer);
    stringdelsep(buffer);
    EXPECT_TEXT("C:\\dir", buffer);
    stringadd(buffer, "a/");
    stringaddsep(buffer);
    EXPECT_TEXT("a/", buffer);
    stringdelsep(buffer);
    EXPECT_TEXT("a", buffer);
    stringadd(buffer, "");
    stringaddsep(buffer);
    EXPECT_TEXT("", buffer);
    stringdelsep(buffer);
    EXPECT_TEXT("", buffer);

    // A folder named 表 ends in the byte 0x5C, which is not a separator.
    stringadd(buffer, "C:\\" HYO);
    stringaddsep(buffer);
    EXPECT_TEXT("C:\\" HYO "\\", buffer);
    stringdelsep(buffer);
    EXPECT_TEXT("C:\\" HYO, buffer);
    stringdelsep(buffer);
    EXPECT_TEXT("C:\\" HYO, buffer) << "the last character was cut in half";
    stringadd(buffer, SO);
    stringaddsep(buffer);
    EXPECT_TEXT(SO "\\", buffer);

    stringadd(buffer, "name");
    stringaddperiod(buffer);
    EXPECT_TEXT("name.", buffer);
    stringaddperiod(buffer);
    EXPECT_TEXT("name.", buffer);
    stringdelperiod(buffer);
    EXPECT_TEXT("name", buffer);
    stringdelperiod(buffer);
    EXPECT_TEXT("name", buffer);
    stringadd(buffer, "");
    stringaddperiod(buffer);
    EXPECT_TEXT("", buffer);

    EXPECT_EQ('c', stringlastcode("abc"));
    EXPECT_EQ('\0', stringlastcode(""));
    EXPECT_EQ('\\', stringlastcode(HYO));

    stringadd(buffer, "a\\b/c\\" HYO "\\d");
    esctoslash(buffer);
    EXPECT_TEXT("a/b/c/" HYO "/d", buffer);
    slashtoesc(buffer);
    EXPECT_TEXT("a\\b\\c\\" HYO "\\d", buffer);
}

// ---------------------------------------------------------------------------------------------
// Replacing and comparing

TEST(StringFunctions, ReplaceAllAndSingle)
{
    char buffer[64];
    EXPECT_EQ(3, stringreplace(buffer, "aXbXc", "X", "--", 0, 0xFFFFFFFF));
    EXPECT_TEXT("a--b--c", buffer);
    EXPECT_EQ(7, stringreplace(nullptr, "aXbXc", "X", "--", 0, 0xFFFFFFFF));
    EXPECT_EQ(1, stringreplace(buffer, "aXbXc", "X", "--", 0, 2));
    EXPECT_TEXT("a--bXc", buffer);
    EXPECT_EQ(1, stringreplace(buffer, "aXbXc", "X", "--", 0, 0));
    EXPECT_TEXT("a--bXc", buffer);
    EXPECT_EQ(3, stringreplace(buffer, "aXbXc", "X", "--", 0, 3));
    EXPECT_TEXT("aXb--c", buffer);
    EXPECT_EQ(6, stringreplace(nullptr, "aXbXc", "X", "--", 0, 3));
    EXPECT_EQ(-1, stringreplace(buffer, "aXbXc", "X", "--", 0, 5));
    EXPECT_TEXT("aXbXc", buffer) << "nothing replaced gives a copy of the source";
    EXPECT_EQ(5, stringreplace(nullptr, "aXbXc", "X", "--", 0, 5));

    EXPECT_EQ(-1, stringreplace(buffer, "abc", "x", "y", 0, 0xFFFFFFFF));
    EXPECT_TEXT("abc", buffer);

    // Case, removal, growth and in-place use.
    EXPECT_EQ(4, stringreplace(buffer, "xAbyaB", "ab", "", 1, 0xFFFFFFFF));
    EXPECT_TEXT("xy", buffer);
    EXPECT_EQ(-1, stringreplace(buffer, "xAbyaB", "ab", "", 0, 0xFFFFFFFF));
    EXPECT_TEXT("xAbyaB", buffer);
    char same[64] = "aaa";
    EXPECT_EQ(2, stringreplace(same, same, "a", "bcd", 0, 0xFFFFFFFF));
    EXPECT_TEXT("bcdbcdbcd", same);
    EXPECT_EQ(2, stringreplace(buffer, "aaaa", "aa", "b", 0, 0xFFFFFFFF));
    EXPECT_TEXT("bb", buffer);

    // Empty source or text to find: -1 and the destination untouched.
    stringadd(buffer, "untouched");
    EXPECT_EQ(-1, stringreplace(buffer, "", "a", "b", 0, 0xFFFFFFFF));
    EXPECT_EQ(-1, stringreplace(buffer, "abc", "", "b", 0, 0xFFFFFFFF));
    EXPECT_EQ(-1, stringreplace(nullptr, "abc", "", "b", 0, 0xFFFFFFFF));
    EXPECT_TEXT("untouched", buffer);
}

TEST(StringFunctions, ReplaceComparesHighBitPairsAsOneUnit)
{
    char buffer[64];
    // The pair 表 is found as a whole ...
    EXPECT_EQ(2, stringreplace(buffer, SO HYO NOU, HYO, "[]", 0, 0xFFFFFFFF));
    EXPECT_TEXT(SO "[]" NOU, buffer);
    // ... a lone lead byte never matches a pair ...
    EXPECT_EQ(-1, stringreplace(buffer, HYO "x", "\x95", "?", 0, 0xFFFFFFFF));
    EXPECT_TEXT(HYO "x", buffer);
    // ... pairs compare exactly even when case is ignored (0x82 0x61 against 0x82 0x41) ...
    EXPECT_EQ(-1, stringreplace(buffer, "\x82\x61", "\x82\x41", "?", 1, 0xFFFFFFFF));
    // (after the pair fails as a unit, its second byte is compared singly and may match)
    EXPECT_EQ(2, stringreplace(buffer, "a\x82\x61", "A", "?", 1, 0xFFFFFFFF));
    EXPECT_TEXT("?\x82?", buffer);
    // ... and after a failed unit the walk goes on one byte later, so a match may start at the
    // second byte of a pair.
    EXPECT_EQ(2, stringreplace(buffer, HYO "\\", "\\", "/", 0, 0xFFFFFFFF));
    EXPECT_TEXT("\x95//", buffer);
    EXPECT_EQ(5, stringreplace(nullptr, HYO "\\", "\\", "//", 0, 0xFFFFFFFF));
    // A lead byte at the very end compares with the terminator.
    EXPECT_EQ(1, stringreplace(buffer, "a\x95", "\x95", "!", 0, 0xFFFFFFFF));
    EXPECT_TEXT("a!", buffer);
}

TEST(StringFunctions, EqualityAndPatterns)
{
    EXPECT_EQ(1, stringcomp("abc", "abc", 0));
    EXPECT_EQ(0, stringcomp("abc", "ABC", 0));
    EXPECT_EQ(1, stringcomp("abc", "ABC", 1));
    EXPECT_EQ(0, stringcomp("abc", "abcd", 1));
    EXPECT_EQ(0, stringcomp("abcd", "abc", 1));
    EXPECT_EQ(1, stringcomp("", "", 0));
    EXPECT_EQ(1, stringcomp(HYO, HYO, 1));

    EXPECT_EQ(1, stringcompex("A1b", "A?b", 0, 0));
    EXPECT_EQ(0, stringcompex("A1b", "A?b", 2, 0));
    EXPECT_EQ(1, stringcompex("AxB", "A?B", 1, 0));
    EXPECT_EQ(0, stringcompex("AxB", "A?B", 1, 1)) << "with the case flag no letter is lower case";
    EXPECT_EQ(1, stringcompex("AXB", "A?B", 2, 0));
    EXPECT_EQ(1, stringcompex("axb", "A?B", 2, 1));
    EXPECT_EQ(1, stringcompex("aXb", "a?b", 3, 0));
    EXPECT_EQ(1, stringcompex("axb", "a?b", 3, 0));
    EXPECT_EQ(0, stringcompex("a1b", "a?b", 3, 0));
    EXPECT_EQ(1, stringcompex("a#b", "a?b", 4, 0));
    EXPECT_EQ(1, stringcompex("a\x95" "b", "a?b", 99, 0));
    EXPECT_EQ(0, stringcompex("a1", "a?b", 4, 0)) << "both must end together";
    EXPECT_EQ(0, stringcompex("a1bc", "a?b", 4, 0));
    EXPECT_EQ(1, stringcompex("", "", 0, 0));
    EXPECT_EQ(0, stringcompex("abc", "abd", 4, 0));
    EXPECT_EQ(1, stringcompex("abc", "ABC", 4, 1));
}

TEST(StringFunctions, TillAndLines)
{
    char buffer[64];
    EXPECT_EQ(3, stringtill_out(buffer, "key=value", "="));
    EXPECT_TEXT("key", buffer);
    EXPECT_EQ(4, stringtill_in(buffer, "key=value", "="));
    EXPECT_TEXT("key=", buffer);
    EXPECT_EQ(1, stringtill_out(buffer, "a::b::c", "::"));
    EXPECT_TEXT("a", buffer);
    EXPECT_EQ(3, stringtill_in(buffer, "a::b::c", "::"));
    EXPECT_TEXT("a::", buffer);
    EXPECT_EQ(-1, stringtill_out(buffer, "novalue", "="));
    EXPECT_TEXT("novalue", buffer);
    EXPECT_EQ(-1, stringtill_in(buffer, "novalue", "="));
    EXPECT_TEXT("novalue", buffer);
    EXPECT_EQ(-1, stringtill_out(buffer, "a=b", ""));
    EXPECT_TEXT("a=b", buffer);

    EXPECT_EQ(3, stringline("a\nb\n"));
    EXPECT_EQ(1, stringline("abc"));
    EXPECT_EQ(0, stringline(""));
    EXPECT_EQ(4, stringlinelen("ab\r\ncd"));
    EXPECT_EQ(3, stringlinelen("ab\ncd"));
    EXPECT_EQ(5, stringlinelen("abcde"));
    EXPECT_EQ(0, stringlinelen(""));
}

// ---------------------------------------------------------------------------------------------
// Numbers

TEST(StringFunctions, NumbersReadFromTheLastByte)
{
    EXPECT_EQ(12, stringtoascii("12"));
    EXPECT_EQ(-12, stringtoascii("-12"));
    EXPECT_EQ(120, stringtoascii("12-"));
    EXPECT_EQ(50, stringtoascii("5 "));
    EXPECT_EQ(5, stringtoascii(" 5"));
    EXPECT_EQ(102, stringtoascii("1a2"));
    EXPECT_EQ(0, stringtoascii(""));
    EXPECT_EQ(2147483647L, stringtoascii("2147483647"));
    EXPECT_EQ(static_cast<long>(0xFFFFFFFFUL), stringtoascii("4294967295"));
    EXPECT_EQ(static_cast<long>(1410065408UL), stringtoascii("10000000000")) << "wraps in 32 bits";

    EXPECT_EQ(12UL, stringtoulong("12"));
    EXPECT_EQ(12UL, stringtoulong("-12"));
    EXPECT_EQ(4000000000UL, stringtoulong("4000000000"));

    EXPECT_EQ(31, hextoascii("0x1F"));
    EXPECT_EQ(0xABCDEF, hextoascii("abcdef"));
    EXPECT_EQ(0x10, hextoascii("1g"));
    EXPECT_EQ(0, hextoascii(""));
    EXPECT_EQ(static_cast<long>(0xFFFFFFFFUL), hextoascii("FFFFFFFF"));
}

TEST(StringFunctions, NumberToText)
{
    char buffer[16];
    memset(buffer, 'z', sizeof buffer);
    EXPECT_EQ(7, asciitostring(buffer, -123));
    EXPECT_TEXT("-123", buffer);
    EXPECT_EQ(10, asciitostring(buffer, 0));
    EXPECT_TEXT("0", buffer);
    EXPECT_EQ(0, asciitostring(buffer, 2147483647L));
    EXPECT_TEXT("2147483647", buffer);
    EXPECT_EQ(0, asciitostring(buffer, -2147483647L));
    EXPECT_TEXT("-2147483647", buffer);
    memset(buffer, 'z', sizeof buffer);
    EXPECT_EQ(0, asciitostring(buffer, -2147483647L - 1));
    EXPECT_TEXT("-2147483648", buffer);
    EXPECT_EQ('z', buffer[12]) << "more than 12 bytes written";

    EXPECT_EQ(1, stringisval("123"));
    EXPECT_EQ(1, stringisval("-123"));
    EXPECT_EQ(1, stringisval("+1"));
    EXPECT_EQ(1, stringisval(""));
    EXPECT_EQ(1, stringisval("-"));
    EXPECT_EQ(0, stringisval("1-"));
    EXPECT_EQ(0, stringisval("1.5"));
    EXPECT_EQ(1, stringishex("0x1F"));
    EXPECT_EQ(1, stringishex("aBcD09"));
    EXPECT_EQ(0, stringishex("0X1F"));
    EXPECT_EQ(0, stringishex("x1"));
    EXPECT_EQ(0, stringishex("1g"));
    EXPECT_EQ(1, stringishex(""));
}

TEST(StringFunctions, TrimModes)
{
    char buffer[32];
    trimstring(buffer, "xxabxx", 'x', 0);
    EXPECT_TEXT("xxab", buffer);
    trimstring(buffer, "xxabxx", 'x', 1);
    EXPECT_TEXT("abxx", buffer);
    trimstring(buffer, "xxaxbxx", 'x', 2);
    EXPECT_TEXT("ab", buffer);
    trimstring(buffer, "xxabxx", 'x', 3);
    EXPECT_TEXT("", buffer);
    trimstring(buffer, "xxabxx", 'x', -1);
    EXPECT_TEXT("xxab", buffer);
    trimstring(buffer, "xxabxx", 'x', 4);
    EXPECT_TEXT("xxab", buffer);
    for (long mode = 0; mode <= 2; ++mode) {
        trimstring(buffer, "xxxx", 'x', mode);
        EXPECT_TEXT("", buffer) << "mode " << mode;
        trimstring(buffer, "", 'x', mode);
        EXPECT_TEXT("", buffer) << "mode " << mode;
    }
    char same[16] = "  pad  ";
    trimstring(same, same, ' ', 1);
    EXPECT_TEXT("pad  ", same);
}

namespace {

std::vector<std::string> g_pieces;
std::vector<long> g_indexes;
std::vector<long> g_lengths;

long RecordPiece(const char* piece, long index, long length)
{
    g_pieces.push_back(piece);
    g_indexes.push_back(index);
    g_lengths.push_back(length);
    return 0;
}

void ClearPieces()
{
    g_pieces.clear();
    g_indexes.clear();
    g_lengths.clear();
}

}  // namespace

TEST(StringFunctions, SplitReportsEveryPiece)
{
    ClearPieces();
    EXPECT_EQ(4, stringsplit("a,,b,", RecordPiece, ','));
    EXPECT_EQ((std::vector<std::string>{"a", "", "b", ""}), g_pieces);
    EXPECT_EQ((std::vector<long>{0, 1, 2, 3}), g_indexes);
    EXPECT_EQ((std::vector<long>{1, 0, 1, 0}), g_lengths);

    ClearPieces();
    EXPECT_EQ(1, stringsplit("whole", RecordPiece, ','));
    EXPECT_EQ((std::vector<std::string>{"whole"}), g_pieces);

    ClearPieces();
    EXPECT_EQ(0, stringsplit("", RecordPiece, ','));
    EXPECT_EQ(0, stringsplit("a,b", RecordPiece, '\0'));
    EXPECT_TRUE(g_pieces.empty());

    // Pieces too long for the 256-byte working buffer arrive whole.
    std::string longPiece(300, 'L');
    std::string text = "x;" + longPiece + ";" + std::string(255, 'm');
    ClearPieces();
    EXPECT_EQ(3, stringsplit(text.c_str(), RecordPiece, ';'));
    ASSERT_EQ(3u, g_pieces.size());
    EXPECT_EQ(longPiece, g_pieces[1]);
    EXPECT_EQ(300, g_lengths[1]);
    EXPECT_EQ(std::string(255, 'm'), g_pieces[2]);
}

TEST(StringFunctions, FullWidthDigitsAndEmptyConversions)
{
    char buffer[32];
    sntoln(buffer, "a1-09");
    EXPECT_TEXT("a\x82\x50-\x82\x4F\x82\x58", buffer);
    sntoln(buffer, "");
    EXPECT_TEXT("", buffer);
    char same[32] = "x7";
    sntoln(same, same);
    EXPECT_TEXT("x\x82\x56", same);

    stringadd(buffer, "full");
    sctolc(buffer, "abc");
    EXPECT_TEXT("", buffer);
    stringadd(buffer, "full");
    lctosc(buffer, "abc");
    EXPECT_TEXT("", buffer);
    stringadd(buffer, "full");
    lntosn(buffer, "\x82\x50");
    EXPECT_TEXT("", buffer);
}

TEST(StringFunctions, EveryFunctionIsExportedByName)
{
    HMODULE tarvik = GetModuleHandleA("Tarvik.dll");
    ASSERT_NE(nullptr, tarvik);
    const char* names[] = {
        "_Z5ucasec", "_Z5lcasec", "_Z9stringaddPcPKc", "_Z10stringaddnPcPKcm", "_Z9stringconPcPKc",
        "_Z10stringcondPcPKc", "_Z9stringsubPcPKcm", "_Z9stringcutPcPKcmm", "_Z9stringrevPcPKc",
        "_Z9stringlenPKc", "_Z11stringfirstPKcS0_il", "_Z9stringinsPcPKcm",
        "_Z17stringfilenameextPcPKc", "_Z14stringfilenamePcPKc", "_Z9stringextPcPKc",
        "_Z10stringpathPcPKc", "_Z11stringdrivePcPKc", "_Z13stringreplacePcPKcS1_S1_im",
        "_Z10stringcompPKcS0_i", "_Z12stringcompexPKcS0_mi", "_Z13stringtoasciiPKc",
        "_Z13stringtoulongPKc", "_Z10trimstringPcPKccl", "_Z10stringfillPcPKcm",
        "_Z11stringsplitPKcPFlS0_llEc", "_Z10hextoasciiPKc", "_Z13asciitostringPcl",
        "_Z11stringisvalPKc", "_Z11stringishexPKc", "_Z14stringtill_outPcPKcS1_",
        "_Z13stringtill_inPcPKcS1_", "_Z14stringlastcodePKc", "_Z12stringaddsepPc",
        "_Z12stringdelsepPc", "_Z15stringaddperiodPc", "_Z15stringdelperiodPc", "_Z10stringlinePKc",
        "_Z13stringlinelenPKc", "_Z10esctoslashPc", "_Z10slashtoescPc", "_Z6sntolnPcPKc",
        "_Z6sctolcPcPKc", "_Z6lctoscPcPKc", "_Z6lntosnPcPKc",
        "_ZN7CStringC1Ev", "_ZN7CStringC1EPKc", "_ZN7CStringC1EPh", "_ZN7CStringC1ERS_",
        "_ZN7CStringD1Ev", "_ZN7CStringaSERS_", "_ZN7CStringaSEPKc", "_ZN7CStringpLEPKc",
        "_ZN7CStringeqERS_", "_ZN7CStringmIEm", "_ZN7CString6FormatEPKcz",
        "_ZN7CString11LoadStringAEP11HINSTANCE__j", "_ZNK7CStringcvPcEv",
    };
    for (const char* name : names)
        EXPECT_NE(nullptr, reinterpret_cast<void*>(GetProcAddress(tarvik, name))) << name;
}
