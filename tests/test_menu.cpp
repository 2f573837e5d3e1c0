// CMenu, the menu wrapper: handles, items by command and by position, check and enable state
// with their quirks, texts and bitmaps, and a real popup answered from a helper thread.
#include <windows.h>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "tarvik.h"
#include "harness_util.h"
#include "dialog_answer.h"

namespace {

std::vector<MSG> g_commands;

// Logs the WM_COMMAND messages the window receives.
LRESULT CALLBACK CommandProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        MSG m = {window, message, wParam, lParam, 0, {0, 0}};
        g_commands.push_back(m);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class MenuTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        testutil::TestWindowClass("MenuTestWindow", CommandProc, NULL);
        // One window for the suite: destroying a mapped framed window costs Wine two seconds.
        s_window = CreateWindowExA(0, "MenuTestWindow", "menu test",
                                   WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, NULL, NULL,
                                   GetModuleHandleA(NULL), NULL);
    }

    static void TearDownTestSuite()
    {
        DestroyWindow(s_window);
        s_window = NULL;
    }

    void SetUp() override
    {
        ASSERT_NE((HWND)NULL, s_window);
        window = s_window;
        ASSERT_TRUE(loaded.LoadMenuA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(300)));
        file = GetSubMenu(loaded, 0);
        g_commands.clear();
    }

    void TearDown() override
    {
        if (GetMenu(window) == loaded.GetMenu())
            SetMenu(window, NULL);
        DestroyMenu(loaded);
    }

    // Returns the item's state bits read by position.
    static UINT State(HMENU menu, UINT position)
    {
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_STATE;
        GetMenuItemInfoA(menu, position, TRUE, &item);
        return item.fState;
    }

    static std::string Text(HMENU menu, UINT id, UINT flag = MF_BYCOMMAND)
    {
        char text[260] = "";
        GetMenuStringA(menu, id, text, sizeof text, flag);
        return text;
    }

    static HWND s_window;
    HWND window = NULL;
    CMenu loaded;
    HMENU file = NULL;
};

HWND MenuTest::s_window = NULL;

}  // namespace

TEST_F(MenuTest, ConstructionAssignmentAndAttachment)
{
    CMenu empty;
    EXPECT_EQ((HMENU)NULL, empty.GetMenu());
    CMenu fromNullWindow((HWND)NULL);
    EXPECT_EQ((HMENU)NULL, (HMENU)fromNullWindow);

    EXPECT_EQ(1, loaded.SetMenu(window));
    EXPECT_EQ(loaded.GetMenu(), GetMenu(window));
    {
        CMenu fromWindow(window);
        EXPECT_EQ(loaded.GetMenu(), fromWindow.GetMenu());
        CMenu copy(fromWindow);
        EXPECT_EQ(loaded.GetMenu(), (HMENU)copy);
        CMenu assigned;
        assigned = copy;
        EXPECT_EQ(loaded.GetMenu(), assigned.GetMenu());
    }
    // The destructors left the menu intact and attached.
    EXPECT_TRUE(IsMenu(loaded));
    EXPECT_EQ(loaded.GetMenu(), GetMenu(window));

    CMenu m(file);
    EXPECT_EQ(file, (m = (HMENU)NULL));
    EXPECT_EQ((HMENU)NULL, (m = window));
    EXPECT_EQ(loaded.GetMenu(), m.GetMenu());
    EXPECT_EQ(1, m.GetMenu(window));
    HWND bare = CreateWindowExA(0, "MenuTestWindow", "bare", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
    EXPECT_EQ(0, m.GetMenu(bare));
    EXPECT_EQ((HMENU)NULL, m.GetMenu());
    m = file;
    EXPECT_EQ(file, (m = bare)) << "operator=(HWND) returns the previous menu";
    EXPECT_EQ((HMENU)NULL, m.GetMenu());
    DestroyWindow(bare);

    CMenu created;
    ASSERT_EQ(1, created.CreateMenu());
    EXPECT_TRUE(IsMenu(created));
    EXPECT_EQ(0, GetMenuItemCount(created));
    EXPECT_EQ(1, created.Show(created));
    EXPECT_NE(0, created.Destroy());
    EXPECT_FALSE(IsMenu(created.GetMenu()));
    EXPECT_NE((HMENU)NULL, created.GetMenu()) << "Destroy leaves the stale handle";

    CMenu none;
    EXPECT_EQ(0, none.LoadMenuA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(999)));
    EXPECT_EQ((HMENU)NULL, none.GetMenu());
}

TEST_F(MenuTest, LoadedMenuAndSubmenus)
{
    EXPECT_EQ(2, GetMenuItemCount(loaded));
    EXPECT_EQ(file, loaded.GetSubMenu(0));
    EXPECT_EQ(GetSubMenu(loaded, 1), loaded.GetSubMenu(1));
    EXPECT_EQ((HMENU)NULL, loaded.GetSubMenu(5));
    char text[260] = "";
    EXPECT_NE(0, loaded.GetTextByPos(1, text));
    EXPECT_STREQ("&Help", text);
    CMenu f(file);
    EXPECT_NE(0, f.GetText(40003, text));
    EXPECT_STREQ("E&xit", text);
    EXPECT_EQ(1, f.GetCheck(40002));
    EXPECT_EQ(0, f.GetEnable(40003));
}

TEST_F(MenuTest, InsertSetGetWithTheSizeRule)
{
    CMenu f(file);
    MENUITEMINFOA item = {};
    item.cbSize = 0;
    item.fMask = MIIM_ID | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.wID = 40050;
    char name[] = "Inserted";
    item.dwTypeData = name;
    EXPECT_NE(0, f.InsertItem(40002, &item));
    EXPECT_EQ(sizeof(MENUITEMINFOA), item.cbSize) << "cbSize 0 becomes the record size";
    EXPECT_EQ(sizeof(void*) == 4 ? 48u : 80u, item.cbSize);
    EXPECT_EQ(40050u, GetMenuItemID(file, 1)) << "inserted before the command 40002";

    MENUITEMINFOA byPos = {};
    byPos.fMask = MIIM_ID | MIIM_TYPE;
    byPos.wID = 40051;
    char name2[] = "At zero";
    byPos.dwTypeData = name2;
    EXPECT_NE(0, f.InsertItemByPos(0, &byPos));
    EXPECT_EQ(sizeof(MENUITEMINFOA), byPos.cbSize);
    EXPECT_EQ(40051u, GetMenuItemID(file, 0));
    EXPECT_EQ("At zero", Text(file, 0, MF_BYPOSITION));

    MENUITEMINFOA change = {};
    change.fMask = MIIM_STATE;
    change.fState = MFS_CHECKED;
    EXPECT_NE(0, f.SetMenuItem(40050, &change));
    EXPECT_EQ(sizeof(MENUITEMINFOA), change.cbSize);
    EXPECT_TRUE(State(file, 2) & MFS_CHECKED);
    MENUITEMINFOA change2 = {};
    change2.fMask = MIIM_ID;
    change2.wID = 40052;
    EXPECT_NE(0, f.SetMenuItemByPos(0, &change2));
    EXPECT_EQ(40052u, GetMenuItemID(file, 0));

    MENUITEMINFOA read = {};
    read.fMask = MIIM_ID | MIIM_STATE;
    EXPECT_NE(0, f.GetMenuItem(40050, &read));
    EXPECT_EQ(sizeof(MENUITEMINFOA), read.cbSize);
    EXPECT_EQ(40050u, read.wID);
    EXPECT_TRUE(read.fState & MFS_CHECKED);
    MENUITEMINFOA read2 = {};
    read2.fMask = MIIM_ID;
    EXPECT_NE(0, f.GetMenuItemByPos(1, &read2));
    EXPECT_EQ(40001u, read2.wID);
    MENUITEMINFOA missing = {};
    missing.fMask = MIIM_ID;
    EXPECT_EQ(0, f.GetMenuItem(12345, &missing));

    // A record whose size was set by the caller keeps it.
    MENUITEMINFOA sized = {};
    sized.cbSize = sizeof sized;
    sized.fMask = MIIM_ID;
    EXPECT_NE(0, f.GetMenuItemByPos(0, &sized));
    EXPECT_EQ(40052u, sized.wID);
}

TEST_F(MenuTest, DeleteRemoveAndSubmenuOwnership)
{
    CMenu top(loaded.GetMenu());
    HMENU help = GetSubMenu(loaded, 1);
    // Remove by position hands the submenu over; it stays valid.
    EXPECT_EQ(help, top.RemoveByPos(1));
    EXPECT_EQ(1, GetMenuItemCount(loaded));
    EXPECT_TRUE(IsMenu(help));
    EXPECT_EQ(1, GetMenuItemCount(help));

    // Put it back with an identifier, then remove it by that identifier.
    MENUITEMINFOA item = {};
    item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
    item.wID = 777;
    item.hSubMenu = help;
    char name[] = "&Help";
    item.dwTypeData = name;
    ASSERT_NE(0, top.InsertItemByPos(1, &item));
    EXPECT_EQ(help, top.Remove(777));
    EXPECT_EQ(1, GetMenuItemCount(loaded));
    EXPECT_TRUE(IsMenu(help));

    // Removing a plain item returns null.
    CMenu f(file);
    EXPECT_EQ((HMENU)NULL, f.Remove(40001));
    EXPECT_EQ(3, GetMenuItemCount(file));
    EXPECT_EQ((HMENU)NULL, f.RemoveByPos(0)) << "the separator, which has no submenu";
    EXPECT_EQ(2, GetMenuItemCount(file));

    // DeleteMenu destroys the submenu with its item.
    ASSERT_NE(0, top.InsertItemByPos(1, &item));
    EXPECT_NE(0, top.DeleteMenu(777));
    EXPECT_FALSE(IsMenu(help));
    EXPECT_EQ(1, GetMenuItemCount(loaded));
    EXPECT_NE(0, f.DeleteMenuByPos(0));
    EXPECT_EQ(1, GetMenuItemCount(file));
    EXPECT_EQ(0, f.DeleteMenu(40001)) << "already removed";
    EXPECT_EQ(0, f.DeleteMenuByPos(9));
}

TEST_F(MenuTest, CheckMarksByCommandAndByPosition)
{
    CMenu f(file);
    EXPECT_EQ(0, f.GetCheck(40001));
    EXPECT_EQ(MF_UNCHECKED, f.SetCheck(40001, 5));
    EXPECT_EQ(1, f.GetCheck(40001));
    EXPECT_EQ(MF_CHECKED, f.SetCheck(40001, 0)) << "the previous state";
    EXPECT_EQ(0, f.GetCheck(40001));
    EXPECT_EQ(-1, f.SetCheck(12345, 1)) << "no such item";
    EXPECT_EQ(1, f.GetCheck(12345)) << "a missing item (state -1) reads as checked";

    // ChangeCheck twice restores the item.
    EXPECT_EQ(MF_CHECKED, f.ChangeCheck(40002));
    EXPECT_EQ(0, f.GetCheck(40002));
    EXPECT_EQ(MF_UNCHECKED, f.ChangeCheck(40002));
    EXPECT_EQ(1, f.GetCheck(40002));

    // By position: 8 for checked, not 1; the other state bits survive.
    EXPECT_EQ(MF_CHECKED, f.GetCheckByPos(1));
    EXPECT_EQ(0, f.GetCheckByPos(0));
    EXPECT_EQ(UINT(MF_GRAYED), State(file, 3) & 0xFF) << "GRAYED in the resource";
    EXPECT_NE(0, f.SetCheckByPos(3, 1));
    EXPECT_EQ(UINT(MF_GRAYED | MFS_CHECKED), State(file, 3) & 0xFF);
    EXPECT_NE(0, f.SetCheckByPos(3, 0));
    EXPECT_EQ(UINT(MF_GRAYED), State(file, 3) & 0xFF);
    EXPECT_NE(0, f.ChangeCheckByPos(0));
    EXPECT_EQ(MF_CHECKED, f.GetCheckByPos(0));
    EXPECT_NE(0, f.ChangeCheckByPos(0));
    EXPECT_EQ(0, f.GetCheckByPos(0));
    EXPECT_EQ(0, f.SetCheckByPos(9, 1)) << "no item at position 9";
    EXPECT_EQ(0, f.GetCheckByPos(9));
}

TEST_F(MenuTest, EnabledStateAndItsQuirks)
{
    CMenu f(file);
    EXPECT_EQ(1, f.GetEnable(40001));
    EXPECT_EQ(1, f.GetEnable(40002)) << "checked and enabled";
    EXPECT_EQ(0, f.GetEnable(40003)) << "greyed";
    EXPECT_EQ(0, f.GetEnable(12345)) << "missing";
    CMenu top(loaded.GetMenu());
    MENUITEMINFOA sub = {};
    sub.fMask = MIIM_ID;
    sub.wID = 600;
    ASSERT_NE(0, top.SetMenuItemByPos(0, &sub));
    EXPECT_EQ(0, top.GetEnable(600)) << "an item that opens a submenu";

    EXPECT_EQ(MF_ENABLED, f.SetEnable(40001, 0));
    EXPECT_EQ(0, f.GetEnable(40001));
    EXPECT_EQ(MF_GRAYED, f.SetEnable(40001, 7)) << "the previous state";
    EXPECT_EQ(1, f.GetEnable(40001));
    EXPECT_EQ(-1, f.SetEnable(12345, 1));
    EXPECT_EQ(MF_ENABLED, f.ChangeEnable(40001));
    EXPECT_EQ(0, f.GetEnable(40001));
    EXPECT_EQ(MF_GRAYED, f.ChangeEnable(40001));
    EXPECT_EQ(1, f.GetEnable(40001));

    // A highlighted item is not "enabled" through the by-command reading.
    MENUITEMINFOA hilite = {};
    hilite.fMask = MIIM_STATE;
    hilite.fState = MFS_HILITE;
    ASSERT_NE(0, f.SetMenuItem(40001, &hilite));
    EXPECT_EQ(0, f.GetEnable(40001));
    EXPECT_EQ(1, f.GetEnableByPos(0));
    hilite.fState = 0;
    f.SetMenuItem(40001, &hilite);

    // By position: read-modify-write keeps the check mark.
    EXPECT_EQ(1, f.GetEnableByPos(1));
    EXPECT_NE(0, f.SetEnableByPos(1, 0));
    EXPECT_EQ(UINT(MFS_GRAYED | MFS_CHECKED), State(file, 1) & (MFS_GRAYED | MFS_CHECKED));
    EXPECT_EQ(0, f.GetEnableByPos(1));
    EXPECT_NE(0, f.SetEnableByPos(1, 1));
    EXPECT_EQ(UINT(MFS_CHECKED), State(file, 1) & (MFS_GRAYED | MFS_CHECKED));
    EXPECT_EQ(0, f.GetEnableByPos(3));
    EXPECT_NE(0, f.ChangeEnableByPos(3));
    EXPECT_EQ(1, f.GetEnableByPos(3));
    EXPECT_NE(0, f.ChangeEnableByPos(3));
    EXPECT_EQ(0, f.GetEnableByPos(3));
    EXPECT_EQ(0, f.SetEnableByPos(9, 1));
}

TEST_F(MenuTest, TextsTurnItemsIntoPlainStrings)
{
    CMenu f(file);
    MENUITEMINFOA owner = {};
    owner.fMask = MIIM_TYPE;
    owner.fType = MFT_OWNERDRAW | MFT_RADIOCHECK;
    owner.dwTypeData = reinterpret_cast<LPSTR>(0x1234);
    ASSERT_NE(0, f.SetMenuItem(40001, &owner));
    EXPECT_NE(0, f.SetText(40001, "\x8A\x4A\x82\xAD"));  // 開く
    MENUITEMINFOA read = {};
    read.cbSize = sizeof read;
    read.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(file, 40001, FALSE, &read);
    EXPECT_EQ(UINT(MFT_STRING), read.fType) << "owner-draw and radio-check flags cleared";
    char text[260] = "";
    EXPECT_NE(0, f.GetText(40001, text));
    EXPECT_STREQ("\x8A\x4A\x82\xAD", text);

    EXPECT_NE(0, f.SetTextByPos(2, "Now text"));  // the separator
    GetMenuItemInfoA(file, 2, TRUE, &read);
    EXPECT_EQ(UINT(MFT_STRING), read.fType);
    EXPECT_NE(0, f.GetTextByPos(2, text));
    EXPECT_STREQ("Now text", text);
    EXPECT_EQ(0, f.GetText(12345, text));
    EXPECT_EQ(0, f.SetText(12345, "x"));
}

TEST_F(MenuTest, CheckBitmapsAndItemBitmaps)
{
    CMenu f(file);
    HDC screen = GetDC(NULL);
    HBITMAP on = CreateCompatibleBitmap(screen, 13, 13);
    HBITMAP off = CreateCompatibleBitmap(screen, 13, 13);
    HBITMAP item = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(NULL, screen);

    EXPECT_NE(0, f.SetCheckBitmaps(40001, on, off));
    HBITMAP a = NULL, b = NULL;
    EXPECT_NE(0, f.GetCheckBitmaps(40001, &a, &b));
    EXPECT_EQ(on, a);
    EXPECT_EQ(off, b);
    EXPECT_NE(0, f.SetCheckBitmapsByPos(1, off, NULL));
    a = b = on;
    EXPECT_NE(0, f.GetCheckBitmapsByPos(1, &a, NULL));
    EXPECT_EQ(off, a);
    EXPECT_NE(0, f.GetCheckBitmapsByPos(1, NULL, &b));
    EXPECT_EQ((HBITMAP)NULL, b);
    a = b = on;
    EXPECT_EQ(0, f.GetCheckBitmaps(12345, &a, &b));
    EXPECT_EQ((HBITMAP)NULL, a) << "a failed read stores null";
    EXPECT_EQ((HBITMAP)NULL, b);
    CMenu none;
    EXPECT_EQ(1, none.GetCheckBitmaps(1, NULL, NULL)) << "no outputs: 1 without a call";
    EXPECT_EQ(1, none.GetCheckBitmapsByPos(1, NULL, NULL));

    EXPECT_NE(0, f.SetBitmap(40001, item));
    EXPECT_EQ(item, f.GetBitmap(40001));
    EXPECT_NE(0, f.SetBitmapByPos(1, HBMMENU_POPUP_CLOSE));
    EXPECT_EQ(HBMMENU_POPUP_CLOSE, f.GetBitmapByPos(1));
    EXPECT_EQ((HBITMAP)NULL, f.GetBitmap(12345));
    EXPECT_EQ((HBITMAP)NULL, f.GetBitmapByPos(12));
    EXPECT_EQ((HBITMAP)NULL, f.GetBitmap(40003)) << "an item without a bitmap";

    DestroyMenu(loaded);
    loaded = (HMENU)NULL;
    DeleteObject(on);
    DeleteObject(off);
    DeleteObject(item);
}

TEST_F(MenuTest, ANullMenuFailsAsWin32Does)
{
    CMenu none;
    EXPECT_EQ(-1, none.SetCheck(40001, 1));
    EXPECT_EQ(-1, none.SetEnable(40001, 1));
    EXPECT_EQ(0, none.GetEnable(40001));
    EXPECT_EQ(0, none.GetCheckByPos(0));
    EXPECT_EQ(0, none.SetCheckByPos(0, 1));
    EXPECT_EQ(0, none.SetEnableByPos(0, 1));
    EXPECT_EQ(0, none.DeleteMenu(40001));
    EXPECT_EQ((HMENU)NULL, none.Remove(40001));
    EXPECT_EQ((HMENU)NULL, none.GetSubMenu(0));
    EXPECT_EQ(0, none.SetText(40001, "x"));
    ASSERT_EQ(1, loaded.SetMenu(window));
    EXPECT_EQ(1, none.SetMenu(window)) << "a null menu detaches the window's menu";
    EXPECT_EQ((HMENU)NULL, GetMenu(window));
}

namespace {

RECT g_popup;

// Notes where the popup is, then walks it with the keyboard: down `downs` times, then Enter.
std::function<void(HWND)> Choose(int downs)
{
    return [downs](HWND menu) {
        GetWindowRect(menu, &g_popup);
        for (int i = 0; i < downs; ++i) {
            PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(menu, WM_KEYUP, VK_DOWN, 0xC0000000);
        }
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    };
}

}  // namespace

TEST_F(MenuTest, TrackPopupShowsTheSubmenuAtTheCursor)
{
    SetCursorPos(120, 140);
    int result;
    {
        testutil::DialogAnswer answer(Choose(2), "#32768");
        result = loaded.TrackPopup(window, TPM_RETURNCMD | TPM_LEFTALIGN, 0);
        EXPECT_TRUE(answer.Answered()) << "no popup menu appeared";
    }
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, g_popup.left) << "the popup opens at the cursor";
    EXPECT_EQ(cursor.y, g_popup.top);
    EXPECT_EQ(40002, result) << "down twice, Enter: the second item";
    EXPECT_EQ(window, GetForegroundWindow());

    // Without TPM_RETURNCMD the owner gets WM_COMMAND.
    g_commands.clear();
    {
        testutil::DialogAnswer answer(Choose(1), "#32768");
        result = loaded.TrackPopup(window, TPM_LEFTALIGN, 1);
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_NE(0, result);
    testutil::PumpUntil([] { return !g_commands.empty(); }, 2000);
    ASSERT_EQ(1u, g_commands.size());
    EXPECT_EQ(window, g_commands[0].hwnd);
    EXPECT_EQ(40010u, LOWORD(g_commands[0].wParam));
}
