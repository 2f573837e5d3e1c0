// CNotifyIcon against the shell of the Wine prefix, with every record handed to Shell_NotifyIconA
// recorded on its way; CResize on a real parent window resized for real.
#include <windows.h>
#include <shellapi.h>
#include <string.h>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "tarvik.h"
#include "import_patch.h"
#include "harness_util.h"

namespace {

// ---------------------------------------------------------------------------------------------
// The records the library hands to the shell.

struct ShellCall {
    DWORD message;
    NOTIFYICONDATAA record;
    BOOL result;
};

typedef BOOL(WINAPI* NotifyFn)(DWORD, PNOTIFYICONDATAA);
NotifyFn g_realNotify = NULL;
std::vector<ShellCall> g_calls;

BOOL WINAPI RecordingNotify(DWORD message, PNOTIFYICONDATAA record)
{
    ShellCall call;
    call.message = message;
    memcpy(&call.record, record, sizeof call.record);
    call.result = g_realNotify(message, record);
    g_calls.push_back(call);
    return call.result;
}

const UINT kCallback = WM_APP + 7;

#ifdef _WIN64
const DWORD kRecordSize = 504;  // the extended record with balloon fields, 64-bit layout
#else
const DWORD kRecordSize = 488;
#endif

HWND MakeOwner()
{
    return CreateWindowA(testutil::TestWindowClass("TrayOwnerTest", DefWindowProcA, NULL), "tray owner",
                         WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, NULL, NULL, GetModuleHandleA(NULL), NULL);
}

class NotifyIcon : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_realNotify = reinterpret_cast<decltype(g_realNotify)>(testutil::PatchImport(
            GetModuleHandleA("Tarvik.dll"), "shell32.dll", "Shell_NotifyIconA", reinterpret_cast<void*>(RecordingNotify)));
        ASSERT_TRUE(g_realNotify != NULL);
    }
    void SetUp() override
    {
        g_calls.clear();
        owner = MakeOwner();
        ASSERT_NE(HWND(NULL), owner);
        icon = LoadIconA(NULL, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
        other = LoadIconA(NULL, MAKEINTRESOURCEA(32516));  // IDI_INFORMATION
        ASSERT_NE(HICON(NULL), icon);
        ASSERT_NE(HICON(NULL), other);
    }
    void TearDown() override
    {
        // Whatever a test left in the tray goes, so the next one starts clean.
        NOTIFYICONDATAA gone = {};
        gone.cbSize = sizeof gone;
        gone.hWnd = owner;
        for (UINT id = 0; id < 10; ++id) {
            gone.uID = id;
            g_realNotify(NIM_DELETE, &gone);
        }
        DestroyWindow(owner);
    }
    HWND owner = NULL;
    HICON icon = NULL;
    HICON other = NULL;
};

std::string Repeat(char c, size_t n)
{
    return std::string(n, c);
}

}  // namespace

TEST_F(NotifyIcon, SetTrayWithoutTipAddsWithFlags3)
{
    CNotifyIcon tray(owner);
    EXPECT_EQ(owner, tray.GetWindow());
    EXPECT_EQ(1, tray.SetTray(icon, NULL, 3, kCallback));
    ASSERT_EQ(1u, g_calls.size());
    const ShellCall& add = g_calls[0];
    EXPECT_EQ(static_cast<DWORD>(NIM_ADD), add.message);
    EXPECT_EQ(kRecordSize, add.record.cbSize);
    EXPECT_EQ(owner, add.record.hWnd);
    EXPECT_EQ(3u, add.record.uID);
    EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON), add.record.uFlags);
    EXPECT_EQ(kCallback, add.record.uCallbackMessage);
    EXPECT_EQ(icon, add.record.hIcon);
    EXPECT_EQ('\0', add.record.szTip[0]);
    EXPECT_EQ(TRUE, add.result) << "the shell refused the icon";

    // The shell holds the icon now: a second add of the same one is refused, and that comes back.
    EXPECT_EQ(0, tray.SetTray(icon, NULL, 3, kCallback));
    ASSERT_EQ(2u, g_calls.size());
    EXPECT_EQ(FALSE, g_calls[1].result);
    EXPECT_EQ(1, tray.Delete());
}

TEST_F(NotifyIcon, SetTrayWithTipAddsWithFlags7AndCutsTheTip)
{
    CNotifyIcon tray(owner);
    EXPECT_EQ(1, tray.SetTray(icon, "velmora \x83\x65\x83\x58\x83\x67", 1, kCallback));  // "テスト" in code page 932
    ASSERT_EQ(1u, g_calls.size());
    EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), g_calls[0].record.uFlags);
    EXPECT_STREQ("velmora \x83\x65\x83\x58\x83\x67", g_calls[0].record.szTip);
    EXPECT_EQ(1, tray.Delete());

    // A tip longer than its field: 127 characters and the terminator, nothing written behind it.
    std::string tip = Repeat('t', 300);
    EXPECT_EQ(1, tray.SetTray(icon, tip.c_str(), 1, kCallback));
    const NOTIFYICONDATAA& r = g_calls.back().record;
    EXPECT_EQ(Repeat('t', 127), std::string(r.szTip));
    EXPECT_EQ(0u, r.dwState);
    EXPECT_EQ(0u, r.dwStateMask);
    EXPECT_EQ('\0', r.szInfo[0]);
    EXPECT_EQ(owner, tray.GetWindow());
    EXPECT_EQ(1, tray.Delete());
}

TEST_F(NotifyIcon, UpdateBeforeSetTrayDoesNotCallTheShell)
{
    CNotifyIcon tray(owner);
    EXPECT_EQ(0, tray.Update(icon, "tip", 1, kCallback));
    EXPECT_EQ(0, tray.Delete());
    EXPECT_EQ(0u, g_calls.size());
}

TEST_F(NotifyIcon, UpdateKeepsWhatItIsNotGiven)
{
    CNotifyIcon tray(owner);
    ASSERT_EQ(1, tray.SetTray(icon, "first", 2, kCallback));
    EXPECT_EQ(1, tray.Update(NULL, NULL, 0xFFFFFFFF, 0xFFFFFFFF));
    ASSERT_EQ(2u, g_calls.size());
    EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), g_calls[1].message);
    EXPECT_EQ(0, memcmp(&g_calls[0].record, &g_calls[1].record, sizeof(NOTIFYICONDATAA)))
        << "the record was not resent unchanged";

    EXPECT_EQ(1, tray.Update(other, "second", 0xFFFFFFFF, kCallback + 1));
    const NOTIFYICONDATAA& r = g_calls.back().record;
    EXPECT_EQ(other, r.hIcon);
    EXPECT_STREQ("second", r.szTip);
    EXPECT_EQ(2u, r.uID);
    EXPECT_EQ(kCallback + 1, r.uCallbackMessage);
    EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), r.uFlags);

    // A new identifier names an icon the shell does not have: its refusal comes back.
    EXPECT_EQ(0, tray.Update(NULL, NULL, 9, 0xFFFFFFFF));
    EXPECT_EQ(9u, g_calls.back().record.uID);
    EXPECT_EQ(1, tray.Update(NULL, NULL, 2, 0xFFFFFFFF));
    EXPECT_EQ(1, tray.Delete());
}

TEST_F(NotifyIcon, TipGivenToUpdateOfAnIconWithoutTipAddsNoTipFlag)
{
    CNotifyIcon tray(owner);
    ASSERT_EQ(1, tray.SetTray(icon, NULL, 4, kCallback));
    EXPECT_EQ(1, tray.Update(NULL, "late tip", 0xFFFFFFFF, 0xFFFFFFFF));
    EXPECT_STREQ("late tip", g_calls.back().record.szTip);
    EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON), g_calls.back().record.uFlags);
    EXPECT_EQ(1, tray.Delete());
}

TEST_F(NotifyIcon, DeleteThenSetTrayAgain)
{
    CNotifyIcon tray(owner);
    ASSERT_EQ(1, tray.SetTray(icon, "again", 5, kCallback));
    EXPECT_EQ(1, tray.Delete());
    EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), g_calls.back().message);
    EXPECT_EQ(5u, g_calls.back().record.uID);
    EXPECT_EQ(owner, g_calls.back().record.hWnd);
    // Gone from the shell: changing or removing it again is refused there.
    EXPECT_EQ(0, tray.Update(NULL, NULL, 0xFFFFFFFF, 0xFFFFFFFF));
    EXPECT_EQ(0, tray.Delete());
    size_t before = g_calls.size();
    EXPECT_EQ(1, tray.SetTray(icon, NULL, 5, kCallback));
    ASSERT_EQ(before + 1, g_calls.size());
    EXPECT_EQ(static_cast<DWORD>(NIM_ADD), g_calls.back().message);
    // The tip kept in the record still counts.
    EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), g_calls.back().record.uFlags);
    EXPECT_EQ(1, tray.Delete());
}

TEST_F(NotifyIcon, OwnerChangesAtTheNextSetTray)
{
    HWND second = MakeOwner();
    ASSERT_NE(HWND(NULL), second);
    CNotifyIcon tray(owner);
    ASSERT_EQ(1, tray.SetTray(icon, NULL, 6, kCallback));
    EXPECT_EQ(owner, (tray = second));
    EXPECT_EQ(second, tray.GetWindow());
    EXPECT_EQ(1, tray.Update(NULL, "x", 0xFFFFFFFF, 0xFFFFFFFF));
    EXPECT_EQ(owner, g_calls.back().record.hWnd);
    EXPECT_EQ(1, tray.Delete());
    EXPECT_EQ(1, tray.SetTray(icon, NULL, 6, kCallback));
    EXPECT_EQ(second, g_calls.back().record.hWnd);
    EXPECT_EQ(1, tray.Delete());
    DestroyWindow(second);
}

TEST_F(NotifyIcon, BalloonTextsAreCutToTheirFields)
{
    CNotifyIcon tray(owner);
    ASSERT_EQ(1, tray.SetTray(icon, "balloon", 7, kCallback));
    EXPECT_EQ(1, tray.SetInfoTip("Title", "Some text", 5000, NIIF_INFO));
    const NOTIFYICONDATAA& r = g_calls.back().record;
    EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), g_calls.back().message);
    EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO), r.uFlags);
    EXPECT_STREQ("Title", r.szInfoTitle);
    EXPECT_STREQ("Some text", r.szInfo);
    EXPECT_EQ(5000u, r.uTimeout);
    EXPECT_EQ(static_cast<DWORD>(NIIF_INFO), r.dwInfoFlags);

    std::string title = Repeat('T', 100);
    std::string text = Repeat('x', 400);
    EXPECT_EQ(1, tray.SetInfoTip(title.c_str(), text.c_str(), 1234, NIIF_WARNING));
    const NOTIFYICONDATAA& cut = g_calls.back().record;
    EXPECT_EQ(Repeat('T', 63), std::string(cut.szInfoTitle));
    EXPECT_EQ(Repeat('x', 255), std::string(cut.szInfo));
    EXPECT_EQ(1234u, cut.uTimeout) << "the text ran over the time-out";
    EXPECT_EQ(static_cast<DWORD>(NIIF_WARNING), cut.dwInfoFlags) << "the title ran over the balloon flags";
    EXPECT_STREQ("balloon", cut.szTip);
    EXPECT_EQ(owner, tray.GetWindow()) << "the title ran over the object";

    // The balloon flag stays until the next Update.
    EXPECT_EQ(1, tray.Update(NULL, NULL, 0xFFFFFFFF, 0xFFFFFFFF));
    EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), g_calls.back().record.uFlags);
    EXPECT_EQ(1, tray.Delete());
}

// ---------------------------------------------------------------------------------------------
// CResize

namespace {

CResize* g_sizer = NULL;
int g_sizeMessages = 0;

LRESULT CALLBACK SizingProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_SIZE) {
        ++g_sizeMessages;
        if (g_sizer)
            g_sizer->Resize();
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

struct Expect {
    unsigned long flags;
    long x, y, w, h;
};

// Recorded rectangle (10, 20) - (60, 45): width 50, height 25; the parent grows by 40 x 30.
const Expect kTable[] = {
    {RSZ_MOVE, 50, 50, 50, 25},
    {RSZ_KEEP_LEFT, 10, 50, 50, 25},
    {RSZ_KEEP_TOP, 50, 20, 50, 25},
    {RSZ_STAY, 10, 20, 50, 25},
    {RSZ_FOLLOW_BOTTOM, 50, 50, 50, 25},
    {RSZ_STRETCH_WIDTH, 10, 50, 90, 25},
    {RSZ_STRETCH_HEIGHT, 50, 20, 50, 55},
    {RSZ_STRETCH, 10, 20, 90, 55},
    {RSZ_GROW_WIDTH, 50, 50, 90, 25},
    {RSZ_GROW_HEIGHT, 50, 50, 50, 55},
    {RSZ_KEEP_LEFT | RSZ_KEEP_TOP | RSZ_GROW_WIDTH, 10, 20, 90, 25},
    {RSZ_KEEP_LEFT | RSZ_KEEP_TOP | RSZ_GROW_HEIGHT, 10, 20, 50, 55},
    {RSZ_KEEP_LEFT | RSZ_KEEP_TOP | RSZ_GROW_WIDTH | RSZ_GROW_HEIGHT, 10, 20, 90, 55},
    {RSZ_KEEP_TOP | RSZ_GROW_WIDTH, 50, 20, 50, 25},
    {RSZ_FOLLOW_BOTTOM | RSZ_GROW_HEIGHT, 50, 50, 50, 25},
    {RSZ_KEEP_TOP | RSZ_STRETCH_WIDTH, 10, 20, 90, 25},
    {RSZ_FOLLOW_BOTTOM | RSZ_STRETCH_HEIGHT, 50, 20, 50, 55},
    {RSZ_STRETCH_WIDTH | RSZ_GROW_WIDTH, 10, 50, 130, 25},
    {RSZ_STRETCH_HEIGHT | RSZ_GROW_HEIGHT, 50, 20, 50, 85},
    {RSZ_KEEP_LEFT | RSZ_STRETCH_WIDTH, 10, 50, 50, 25},
    {RSZ_KEEP_LEFT | RSZ_GROW_WIDTH, 10, 50, 90, 25},
    {RSZ_KEEP_TOP | RSZ_FOLLOW_BOTTOM, 50, 20, 50, 25},
    {RSZ_STRETCH_WIDTH | RSZ_STRETCH_HEIGHT | RSZ_GROW_WIDTH | RSZ_GROW_HEIGHT, 10, 20, 130, 85},
    {RSZ_KEEP_LEFT | RSZ_FOLLOW_BOTTOM, 10, 50, 50, 25},
};
const int kCount = sizeof kTable / sizeof kTable[0];
const unsigned short kFirstId = 200;

class Resizer : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent = CreateWindowA(testutil::TestWindowClass("ResizeParentTest", SizingProc, NULL), "parent",
                               WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME, 30, 30, 300, 200, NULL, NULL,
                               GetModuleHandleA(NULL), NULL);
        ASSERT_NE(HWND(NULL), parent);
        for (int i = 0; i < kCount; ++i)
            CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 10, 20, 50, 25, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + i)), GetModuleHandleA(NULL), NULL);
        testutil::PumpPending();
        GetClientRect(parent, &client);
    }
    void TearDown() override
    {
        g_sizer = NULL;
        DestroyWindow(parent);
    }
    // Grows or shrinks the parent's client area by (dx, dy) through a real window resize.
    void GrowBy(int dx, int dy)
    {
        RECT w;
        GetWindowRect(parent, &w);
        int before = g_sizeMessages;
        SetWindowPos(parent, NULL, 0, 0, w.right - w.left + dx, w.bottom - w.top + dy, SWP_NOMOVE | SWP_NOZORDER);
        testutil::PumpPending();
        EXPECT_GT(g_sizeMessages, before) << "no WM_SIZE";
        RECT now;
        GetClientRect(parent, &now);
        EXPECT_EQ(client.right + dx, now.right) << "the client area did not follow";
        EXPECT_EQ(client.bottom + dy, now.bottom);
        client = now;
    }
    RECT Placed(unsigned short id)
    {
        RECT r;
        GetWindowRect(GetDlgItem(parent, id), &r);
        MapWindowPoints(NULL, parent, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    void ExpectAt(unsigned short id, long x, long y, long w, long h, const char* what)
    {
        RECT r = Placed(id);
        EXPECT_EQ(x, r.left) << what << " id " << id << " flags 0x" << std::hex << GetFlags(id);
        EXPECT_EQ(y, r.top) << what << " id " << id << " flags 0x" << std::hex << GetFlags(id);
        EXPECT_EQ(w, r.right - r.left) << what << " id " << id << " flags 0x" << std::hex << GetFlags(id);
        EXPECT_EQ(h, r.bottom - r.top) << what << " id " << id << " flags 0x" << std::hex << GetFlags(id);
    }
    unsigned long GetFlags(unsigned short id) { return g_sizer ? g_sizer->GetControlFlags(id) : 0; }

    HWND parent = NULL;
    RECT client = {};
};

}  // namespace

TEST_F(Resizer, FlagTableOnARealResize)
{
    CResize sizer(parent);
    for (int i = 0; i < kCount; ++i)
        ASSERT_EQ(1, sizer.AddControl(static_cast<unsigned short>(kFirstId + i), kTable[i].flags));
    g_sizer = &sizer;

    GrowBy(40, 30);
    for (int i = 0; i < kCount; ++i)
        ExpectAt(static_cast<unsigned short>(kFirstId + i), kTable[i].x, kTable[i].y, kTable[i].w, kTable[i].h,
                 "grown");

    // Recorded rectangles never change: the same size again gives the same layout.
    EXPECT_EQ(1, sizer.Resize());
    for (int i = 0; i < kCount; ++i)
        ExpectAt(static_cast<unsigned short>(kFirstId + i), kTable[i].x, kTable[i].y, kTable[i].w, kTable[i].h,
                 "again");
    RECT recorded;
    ASSERT_EQ(1, sizer.GetControlRect(kFirstId, &recorded));
    EXPECT_EQ(10, recorded.left);
    EXPECT_EQ(20, recorded.top);
    EXPECT_EQ(60, recorded.right);
    EXPECT_EQ(45, recorded.bottom);

    GrowBy(-40, -30);
    for (int i = 0; i < kCount; ++i)
        ExpectAt(static_cast<unsigned short>(kFirstId + i), 10, 20, 50, 25, "back at the attached size");
}

TEST_F(Resizer, ShrinkingMovesTheOtherWay)
{
    CResize sizer(parent);
    ASSERT_EQ(1, sizer.AddControl(kFirstId, 0));
    ASSERT_EQ(1, sizer.AddControl(kFirstId + 1, RSZ_STRETCH));
    g_sizer = &sizer;
    GrowBy(-8, -6);
    ExpectAt(kFirstId, 2, 14, 50, 25, "shrunk");
    ExpectAt(kFirstId + 1, 10, 20, 42, 19, "shrunk");
}

TEST_F(Resizer, TrackingBookkeeping)
{
    CResize sizer(parent);
    EXPECT_EQ(0xFFFFFFFFul, sizer.GetControlFlags(kFirstId));
    EXPECT_EQ(1, sizer.AddControl(kFirstId, RSZ_STRETCH));
    EXPECT_EQ(0, sizer.AddControl(kFirstId, RSZ_STAY)) << "already tracked";
    EXPECT_EQ(0x30ul, sizer.GetControlFlags(kFirstId));
    EXPECT_EQ(0, sizer.AddControl(0xFFFF, 0));
    EXPECT_EQ(0, sizer.AddControl(999, 0)) << "no such child";
    EXPECT_EQ(0xFFFFFFFFul, sizer.GetControlFlags(999));
    RECT r;
    EXPECT_EQ(0, sizer.GetControlRect(kFirstId, NULL));
    EXPECT_EQ(0, sizer.GetControlRect(999, &r));

    EXPECT_EQ(1, sizer.AddControl(kFirstId + 1, 0));
    EXPECT_EQ(1, sizer.AddControl(kFirstId + 2, 0));
    EXPECT_EQ(1, sizer.RemoveControl(kFirstId + 1));
    EXPECT_EQ(0, sizer.RemoveControl(kFirstId + 1));
    EXPECT_EQ(0xFFFFFFFFul, sizer.GetControlFlags(kFirstId + 1));
    EXPECT_EQ(0ul, sizer.GetControlFlags(kFirstId + 2)) << "the list after the removed entry is intact";
    EXPECT_EQ(0x30ul, sizer.GetControlFlags(kFirstId));

    // A new rectangle and flags of the caller's.
    RECT mine = {5, 6, 25, 16};
    EXPECT_EQ(1, sizer.ModifyControl(kFirstId + 2, RSZ_STAY, &mine));
    EXPECT_EQ(0x3ul, sizer.GetControlFlags(kFirstId + 2));
    ASSERT_EQ(1, sizer.GetControlRect(kFirstId + 2, &r));
    EXPECT_EQ(0, memcmp(&mine, &r, sizeof r));
    EXPECT_EQ(0, sizer.ModifyControl(999, 0, NULL));

    g_sizer = &sizer;
    GrowBy(40, 30);
    ExpectAt(kFirstId, 10, 20, 90, 55, "0x30");
    ExpectAt(kFirstId + 1, 10, 20, 50, 25, "removed, not moved");
    ExpectAt(kFirstId + 2, 5, 6, 20, 10, "modified rectangle");

    // Without a rectangle the control's current place is recorded; the attached size stays.
    EXPECT_EQ(1, sizer.ModifyControl(kFirstId, 0, NULL));
    ASSERT_EQ(1, sizer.GetControlRect(kFirstId, &r));
    EXPECT_EQ(10, r.left);
    EXPECT_EQ(100, r.right);
    EXPECT_EQ(75, r.bottom);
    EXPECT_EQ(1, sizer.Resize());
    ExpectAt(kFirstId, 50, 50, 90, 55, "from the newly recorded place, still grown by 40 x 30");
}

TEST_F(Resizer, AssigningAParentReleasesTheList)
{
    CResize sizer(parent);
    ASSERT_EQ(1, sizer.AddControl(kFirstId, 0));
    EXPECT_EQ(parent, (sizer = static_cast<HWND>(NULL)));
    EXPECT_EQ(0xFFFFFFFFul, sizer.GetControlFlags(kFirstId));
    EXPECT_EQ(0, sizer.AddControl(kFirstId, 0)) << "no parent";
    EXPECT_EQ(1, sizer.Resize());
    EXPECT_EQ(HWND(NULL), (sizer = parent));
    EXPECT_EQ(1, sizer.AddControl(kFirstId, RSZ_STAY));
    EXPECT_EQ(0x3ul, sizer.GetControlFlags(kFirstId));
}
