// The common-control wrappers against the real controls of COMCTL32 under Xvfb. Where a control
// cannot tell what record it was handed, a logging subclass records it on the way in.
#include <windows.h>
#include <commctrl.h>
#include <string.h>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "tarvik.h"
#include "harness_util.h"

namespace {

// What the logging subclass saw of one message.
struct Logged {
    UINT message;
    WPARAM wParam;
    UINT mask;
    int image;
    int textMax;
    std::string text;
};

std::vector<Logged> g_log;
WNDPROC g_previous = NULL;

LRESULT CALLBACK LoggingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Logged entry = { message, wParam, 0, 0, 0, std::string() };
    switch (message) {
    case TCM_INSERTITEMA:
    case TCM_GETITEMA: {
        const TCITEMA* item = reinterpret_cast<const TCITEMA*>(lParam);
        entry.mask = item->mask;
        entry.image = item->iImage;
        entry.textMax = item->cchTextMax;
        if (message == TCM_INSERTITEMA && item->pszText)
            entry.text = item->pszText;
        g_log.push_back(entry);
        break;
    }
    case LVM_INSERTITEMA:
    case LVM_SETITEMA:
    case LVM_GETITEMA: {
        const LVITEMA* item = reinterpret_cast<const LVITEMA*>(lParam);
        entry.mask = item->mask;
        entry.image = item->iImage;
        entry.textMax = item->cchTextMax;
        if (message != LVM_GETITEMA && item->pszText)
            entry.text = item->pszText;
        g_log.push_back(entry);
        break;
    }
    case LVM_INSERTCOLUMNA: {
        const LVCOLUMNA* column = reinterpret_cast<const LVCOLUMNA*>(lParam);
        entry.mask = column->mask;
        entry.textMax = column->cchTextMax;
        g_log.push_back(entry);
        break;
    }
    case TVM_GETITEMA: {
        const TVITEMA* item = reinterpret_cast<const TVITEMA*>(lParam);
        entry.mask = item->mask;
        entry.textMax = item->cchTextMax;
        g_log.push_back(entry);
        break;
    }
    case RB_GETBANDINFOA: {
        const REBARBANDINFOA* band = reinterpret_cast<const REBARBANDINFOA*>(lParam);
        entry.mask = band->fMask;
        entry.textMax = band->cbSize;
        g_log.push_back(entry);
        break;
    }
    case RB_SETBARINFO: {
        const REBARINFO* info = reinterpret_cast<const REBARINFO*>(lParam);
        entry.mask = info->fMask;
        entry.textMax = info->cbSize;
        g_log.push_back(entry);
        break;
    }
    case WM_SIZE:
    case RB_SETTOOLTIPS:
    case RB_GETTOOLTIPS:
        g_log.push_back(entry);
        break;
    }
    return CallWindowProcA(g_previous, hwnd, message, wParam, lParam);
}

void StartLogging(HWND control)
{
    g_log.clear();
    g_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LoggingProc)));
}

void StopLogging(HWND control)
{
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previous));
}

const char* MessageName(UINT message)
{
    switch (message) {
    case TCM_INSERTITEMA: return "TCM_INSERTITEMA";
    case TCM_GETITEMA: return "TCM_GETITEMA";
    case LVM_INSERTITEMA: return "LVM_INSERTITEMA";
    case LVM_SETITEMA: return "LVM_SETITEMA";
    case LVM_GETITEMA: return "LVM_GETITEMA";
    case LVM_INSERTCOLUMNA: return "LVM_INSERTCOLUMNA";
    case TVM_GETITEMA: return "TVM_GETITEMA";
    case RB_GETBANDINFOA: return "RB_GETBANDINFOA";
    case RB_SETBARINFO: return "RB_SETBARINFO";
    case WM_SIZE: return "WM_SIZE";
    case RB_SETTOOLTIPS: return "RB_SETTOOLTIPS";
    case RB_GETTOOLTIPS: return "RB_GETTOOLTIPS";
    }
    return "(other)";
}

::testing::AssertionResult Sent(size_t index, UINT message)
{
    if (index >= g_log.size())
        return ::testing::AssertionFailure() << "only " << g_log.size() << " messages logged, wanted "
                                             << MessageName(message) << " at " << index;
    if (g_log[index].message != message)
        return ::testing::AssertionFailure() << "message " << index << " is " << MessageName(g_log[index].message)
                                             << " (0x" << std::hex << g_log[index].message << "), wanted "
                                             << MessageName(message);
    return ::testing::AssertionSuccess();
}

class CommonControls : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX init = { sizeof init, ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES |
                                                       ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES |
                                                       ICC_TREEVIEW_CLASSES };
        ASSERT_TRUE(InitCommonControlsEx(&init));
    }
    void SetUp() override
    {
        parent = CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 480, 360, NULL,
                                 NULL, GetModuleHandleA(NULL), NULL);
        ASSERT_TRUE(parent != NULL);
    }
    void TearDown() override
    {
        DestroyWindow(parent);
        testutil::PumpPending();
    }
    HWND Child(const char* cls, DWORD style)
    {
        HWND h = CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 300, 200, parent, NULL,
                                 GetModuleHandleA(NULL), NULL);
        EXPECT_TRUE(h != NULL) << cls;
        return h;
    }
    HWND parent = NULL;
};

// A 32 x 16 bitmap: left half red, right half blue (two 16 x 16 images).
HBITMAP TwoImages()
{
    HDC screen = GetDC(NULL);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 32, 16);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT left = { 0, 0, 16, 16 }, right = { 16, 0, 32, 16 };
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &left, red);
    FillRect(dc, &right, blue);
    DeleteObject(red);
    DeleteObject(blue);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
    return bmp;
}

}  // namespace

TEST_F(CommonControls, ImageListAddsAndDraws)
{
    CImgList list;
    EXPECT_EQ(nullptr, list.GetImageList());
    ASSERT_EQ(1, list.Create(16, 16, ILC_COLOR24));
    HBITMAP bmp = TwoImages();
    EXPECT_EQ(0, list.AddImage(bmp, NULL));
    DeleteObject(bmp);
    EXPECT_EQ(2, list.GetImageCount());
    HICON icon = LoadIconA(NULL, IDI_APPLICATION);
    EXPECT_EQ(2, list.AddIcon(icon));
    EXPECT_EQ(3, list.GetImageCount());

    // Draw the second (blue) image into a white bitmap and read the pixels back.
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 40, 20);
    HGDIOBJ old = SelectObject(dc, target);
    RECT all = { 0, 0, 40, 20 };
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_NE(0, list.Draw(dc, 1, 2, 2, ILD_NORMAL));
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(dc, 10, 10));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 1, 1)) << "drawn at the wrong place";
    EXPECT_NE(0, list.DrawEx(dc, 0, 20, 2, 8, 8, CLR_NONE, CLR_NONE, ILD_NORMAL));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 23, 5));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 30, 12)) << "DrawEx ignored its size";
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);

    HIMAGELIST held = list;
    EXPECT_EQ(held, list.GetImageList());
    EXPECT_NE(0, list.Destroy());
    EXPECT_EQ(nullptr, list.GetImageList());
    EXPECT_EQ(0, list.Destroy());
}

TEST_F(CommonControls, ToolBarButtons)
{
    CToolBar bar;
    ASSERT_EQ(1, bar.Create(parent, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS, 77, 24, 22, 16, 16));
    EXPECT_EQ(77, GetDlgCtrlID(bar.GetWindow()));
    EXPECT_EQ(0, bar.GetButtonCount());
    EXPECT_EQ(0, bar.AddBitmap(HINST_COMMCTRL, 15, IDB_STD_SMALL_COLOR));
    EXPECT_NE(0, bar.AddButton(0, STD_FILEOPEN, 100));
    EXPECT_NE(0, bar.AddSeparetor(1));
    EXPECT_NE(0, bar.AddButton(2, STD_FILESAVE, 101));
    EXPECT_EQ(3, bar.GetButtonCount());

    TBBUTTON button;
    memset(&button, 0xCC, sizeof button);
    EXPECT_NE(0, bar.GetButton(0, &button));
    EXPECT_EQ(STD_FILEOPEN, button.iBitmap);
    EXPECT_EQ(100, button.idCommand);
    EXPECT_EQ(TBSTATE_ENABLED, button.fsState);
    EXPECT_EQ(TBSTYLE_BUTTON, button.fsStyle);
    EXPECT_EQ(0u, button.dwData);
    EXPECT_EQ(0, button.iString);
    EXPECT_NE(0, bar.GetButton(1, &button));
    EXPECT_EQ(TBSTYLE_SEP, button.fsStyle);
    EXPECT_EQ(0, button.idCommand);

    EXPECT_EQ(2, bar.CommandToIndex(101));
    EXPECT_NE(0, bar.GetButtonFromCommand(101, &button));
    EXPECT_EQ(STD_FILESAVE, button.iBitmap);

    HWND h = bar.GetWindow();
    EXPECT_NE(0, bar.EnableButton(100, FALSE));
    EXPECT_EQ(0, SendMessageA(h, TB_ISBUTTONENABLED, 100, 0));
    EXPECT_NE(0, bar.CheckButton(100, TRUE));
    EXPECT_NE(0, SendMessageA(h, TB_ISBUTTONCHECKED, 100, 0));
    EXPECT_NE(0, bar.PressButton(101, TRUE));
    EXPECT_NE(0, SendMessageA(h, TB_ISBUTTONPRESSED, 101, 0));
    EXPECT_EQ(0, SendMessageA(h, TB_ISBUTTONPRESSED, 100, 0));
    EXPECT_NE(0, bar.HideButton(101, TRUE));
    EXPECT_NE(0, SendMessageA(h, TB_ISBUTTONHIDDEN, 101, 0));

    CImgList images;
    ASSERT_EQ(1, images.Create(16, 16, ILC_COLOR24));
    bar.SetImageList(images);
    EXPECT_EQ(images.GetImageList(), bar.GetImageList());
    EXPECT_EQ(images.GetImageList(), bar.SetImageList(NULL)) << "the previous list is the answer";

    EXPECT_NE(0, bar.DeleteButton(1));
    EXPECT_EQ(2, bar.GetButtonCount());
    EXPECT_EQ(1, bar.CommandToIndex(101));
}

TEST_F(CommonControls, ToolTipAddsATheStoredRectangleEveryTime)
{
    CToolTip tip;
    ASSERT_EQ(1, tip.Create());
    HWND h = tip.GetWindow();
    char cls[64];
    GetClassNameA(h, cls, sizeof cls);
    EXPECT_STREQ("tooltips_class32", cls);
    EXPECT_NE(0, GetWindowLongA(h, GWL_STYLE) & TTS_ALWAYSTIP);

    EXPECT_NE(0, tip.SetTipText(parent, "first tip", 5));
    EXPECT_NE(0, tip.SetTipText(parent, "again", 5));
    EXPECT_EQ(2, SendMessageA(h, TTM_GETTOOLCOUNT, 0, 0)) << "each call adds a tool";

    char text[80] = "";
    TOOLINFOA info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.lpszText = text;
    ASSERT_NE(0, SendMessageA(h, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(parent, info.hwnd);
    EXPECT_EQ(5u, info.uId);
    EXPECT_EQ(static_cast<UINT>(TTF_SUBCLASS), info.uFlags & ~TTF_IDISHWND);
    EXPECT_EQ(0, info.rect.left);
    EXPECT_EQ(0, info.rect.top);
    EXPECT_EQ(140, info.rect.right);
    EXPECT_EQ(40, info.rect.bottom);
    EXPECT_STREQ("first tip", text);

    tip.SetRect(1, 2, 30, 40);
    EXPECT_NE(0, tip.SetTipText(parent, "moved", 6));
    RECT r = { 5, 6, 70, 80 };
    tip.SetRect(&r);
    EXPECT_NE(0, tip.SetTipText(parent, "moved again", 7));
    ZeroMemory(&info, sizeof info);
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.lpszText = text;
    ASSERT_NE(0, SendMessageA(h, TTM_ENUMTOOLSA, 2, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(6u, info.uId);
    EXPECT_EQ(1, info.rect.left);
    EXPECT_EQ(2, info.rect.top);
    EXPECT_EQ(30, info.rect.right);
    EXPECT_EQ(40, info.rect.bottom);
    ASSERT_NE(0, SendMessageA(h, TTM_ENUMTOOLSA, 3, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(5, info.rect.left);
    EXPECT_EQ(80, info.rect.bottom);

    EXPECT_EQ(1, tip.Destroy());
    EXPECT_EQ(nullptr, tip.GetWindow());
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(0, tip.Destroy()) << "destroying nothing";
}

TEST_F(CommonControls, TabItems)
{
    CTab tab(Child(WC_TABCONTROLA, 0));
    StartLogging(tab.GetWindow());
    EXPECT_EQ(0, tab.Insert("alpha", 0, -1));
    EXPECT_EQ(1, tab.Insert("beta", 1, 2));
    ASSERT_TRUE(Sent(0, TCM_INSERTITEMA));
    EXPECT_EQ(static_cast<UINT>(TCIF_TEXT), g_log[0].mask) << "image -1 must set only the text";
    EXPECT_EQ(260, g_log[0].textMax);
    EXPECT_EQ("alpha", g_log[0].text);
    EXPECT_EQ(0u, g_log[0].wParam);
    ASSERT_TRUE(Sent(1, TCM_INSERTITEMA));
    EXPECT_EQ(static_cast<UINT>(TCIF_TEXT | TCIF_IMAGE), g_log[1].mask);
    EXPECT_EQ(2, g_log[1].image);
    EXPECT_EQ(1u, g_log[1].wParam);

    char buffer[260] = "";
    g_log.clear();
    EXPECT_NE(0, tab.GetString(1, buffer));
    EXPECT_STREQ("beta", buffer);
    ASSERT_TRUE(Sent(0, TCM_GETITEMA));
    EXPECT_EQ(static_cast<UINT>(TCIF_TEXT), g_log[0].mask);
    EXPECT_EQ(260, g_log[0].textMax);
    StopLogging(tab.GetWindow());

    TCITEMA item;
    ZeroMemory(&item, sizeof item);
    item.mask = TCIF_IMAGE;
    EXPECT_NE(0, tab.GetItem(1, &item));
    EXPECT_EQ(2, item.iImage);

    EXPECT_EQ(0, tab.SetCurSel(1)) << "the previous selection";
    EXPECT_EQ(1, tab.GetCurSel());
    CImgList images;
    ASSERT_EQ(1, images.Create(16, 16, ILC_COLOR24));
    tab.SetImageList(images);
    EXPECT_EQ(images.GetImageList(), tab.GetImageList());
    tab.SetImageList(NULL);
    EXPECT_NE(0, tab.DeleteItem(0));
    EXPECT_EQ(1, SendMessageA(tab.GetWindow(), TCM_GETITEMCOUNT, 0, 0));
    EXPECT_NE(0, tab.ResetItems());
    EXPECT_EQ(0, SendMessageA(tab.GetWindow(), TCM_GETITEMCOUNT, 0, 0));
}

TEST_F(CommonControls, ListViewColumnsItemsAndSelection)
{
    CListView list(Child(WC_LISTVIEWA, LVS_REPORT));
    HWND h = list.GetWindow();
    StartLogging(h);
    EXPECT_EQ(0, list.InsertColumn("Name", 120, 0));
    ASSERT_TRUE(Sent(0, LVM_INSERTCOLUMNA));
    EXPECT_EQ(static_cast<UINT>(LVCF_WIDTH | LVCF_TEXT), g_log[0].mask);
    EXPECT_EQ(260, g_log[0].textMax);
    LVCOLUMNA column;
    ZeroMemory(&column, sizeof column);
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>("Value");
    column.cx = 80;
    EXPECT_EQ(1, list += &column) << "appending a column";
    EXPECT_EQ(2, SendMessageA(reinterpret_cast<HWND>(SendMessageA(h, LVM_GETHEADER, 0, 0)), HDM_GETITEMCOUNT, 0, 0));
    char text[260] = "";
    ZeroMemory(&column, sizeof column);
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = text;
    column.cchTextMax = sizeof text;
    ASSERT_NE(0, SendMessageA(h, LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ("Name", text);
    EXPECT_EQ(120, column.cx);
    EXPECT_EQ(LVCFMT_LEFT, column.fmt & LVCFMT_JUSTIFYMASK);

    // The third argument changes nothing.
    g_log.clear();
    EXPECT_EQ(0, list.InsertString("one", 0, 0, -1));
    EXPECT_EQ(1, list.InsertString("two", 1, 12345, 3));
    ASSERT_TRUE(Sent(0, LVM_INSERTITEMA));
    EXPECT_EQ(static_cast<UINT>(LVIF_TEXT), g_log[0].mask) << "image -1 must set only the text";
    EXPECT_EQ(260, g_log[0].textMax);
    ASSERT_TRUE(Sent(1, LVM_INSERTITEMA));
    EXPECT_EQ(static_cast<UINT>(LVIF_TEXT | LVIF_IMAGE), g_log[1].mask);
    EXPECT_EQ(3, g_log[1].image);

    g_log.clear();
    EXPECT_NE(0, list.InsertSubItem("sub", 1, 1));
    ASSERT_TRUE(Sent(0, LVM_SETITEMA));
    EXPECT_EQ(static_cast<UINT>(LVIF_TEXT | LVIF_IMAGE), g_log[0].mask);
    EXPECT_EQ(0, g_log[0].image);
    StopLogging(h);

    EXPECT_EQ(2, list.GetItemCount());
    EXPECT_NE(0, list.GetText(text, 1, 0));
    EXPECT_STREQ("two", text);
    EXPECT_NE(0, list.GetText(text, 1, 1));
    EXPECT_STREQ("sub", text);

    LVITEMA info;
    ZeroMemory(&info, sizeof info);
    info.mask = LVIF_IMAGE;
    info.iItem = 0;
    EXPECT_NE(0, list.GetItemInfo(1, &info));
    EXPECT_EQ(1, info.iItem) << "GetItemInfo stores the item index first";
    EXPECT_EQ(3, info.iImage);
    info.iImage = 4;
    EXPECT_NE(0, list.SetItemInfo(&info));
    info.iImage = 0;
    list.GetItemInfo(1, &info);
    EXPECT_EQ(4, info.iImage);

    LVITEMA extra;
    ZeroMemory(&extra, sizeof extra);
    extra.mask = LVIF_TEXT;
    extra.iItem = 5;
    extra.pszText = const_cast<char*>("three");
    EXPECT_EQ(2, list += &extra) << "an index past the end appends";
    EXPECT_EQ(3, list.InsertItem(0, &extra));

    // Selection: the first selected item for both getters.
    EXPECT_EQ(-1, list.GetCurSel());
    LVITEMA state;
    ZeroMemory(&state, sizeof state);
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessageA(h, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    SendMessageA(h, LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(1, list.GetCurSel());
    EXPECT_EQ(1, list.GetHotItem());
    EXPECT_EQ(2, list.GetSelectedCount());

    long before = GetWindowLongA(h, GWL_STYLE);
    EXPECT_EQ(before, list.SetStyle(LVS_SHOWSELALWAYS));
    EXPECT_EQ(before | LVS_SHOWSELALWAYS, GetWindowLongA(h, GWL_STYLE));

    CImgList small;
    ASSERT_EQ(1, small.Create(16, 16, ILC_COLOR24));
    list.SetImageList(small);
    EXPECT_EQ(small.GetImageList(),
              reinterpret_cast<HIMAGELIST>(SendMessageA(h, LVM_GETIMAGELIST, LVSIL_SMALL, 0)));
    EXPECT_EQ(nullptr, list.GetImageList()) << "GetImageList reads the normal list";
    list.SetImageList(NULL);

    list.SetBkColor(RGB(1, 2, 3));
    EXPECT_EQ(RGB(1, 2, 3), static_cast<COLORREF>(SendMessageA(h, LVM_GETBKCOLOR, 0, 0)));
    list.SetTextColor(RGB(4, 5, 6));
    EXPECT_EQ(RGB(4, 5, 6), static_cast<COLORREF>(SendMessageA(h, LVM_GETTEXTCOLOR, 0, 0)));

    EXPECT_NE(0, list.DeleteItem(0));
    EXPECT_EQ(3, list.GetItemCount());
    EXPECT_NE(0, list.ResetContent());
    EXPECT_EQ(0, list.GetItemCount());
}

namespace {

std::vector<std::string> g_visited;
long g_stopAt = -1;

int CALLBACK Visit(TVITEMA* item, long lParam)
{
    EXPECT_EQ(1234, lParam);
    EXPECT_EQ(static_cast<UINT>(0x77), item->mask);
    g_visited.push_back(item->pszText ? item->pszText : "(null)");
    return static_cast<long>(g_visited.size()) == g_stopAt ? 0 : 1;
}

std::string Joined()
{
    std::string s;
    for (const std::string& v : g_visited)
        s += (s.empty() ? "" : " ") + v;
    return s;
}

}  // namespace

TEST_F(CommonControls, TreeViewWalksChildrenBeforeTheirParent)
{
    CTreeView tree(Child(WC_TREEVIEWA, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT));
    g_visited.clear();
    g_stopAt = -1;
    EXPECT_EQ(1, tree.EnumItems(Visit, 1234)) << "an empty tree";
    EXPECT_TRUE(g_visited.empty());

    HTREEITEM a = tree.InsertItem("A", TVI_ROOT, 0, 0, 0);
    HTREEITEM a1 = tree.InsertItem("A1", a, 1, 3, 4);
    HTREEITEM a2 = tree.InsertItem("A2", a, 0, 0, 0);
    TVINSERTSTRUCTA insert;
    ZeroMemory(&insert, sizeof insert);
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>("B");
    HTREEITEM b = (tree += &insert);
    ASSERT_TRUE(a && a1 && a2 && b);
    EXPECT_EQ(4, tree.GetCount());

    StartLogging(tree.GetWindow());
    EXPECT_EQ(1, tree.EnumItems(Visit, 1234));
    EXPECT_EQ("A1 A2 A B", Joined());
    ASSERT_TRUE(Sent(0, TVM_GETITEMA));
    EXPECT_EQ(260, g_log[0].textMax);
    StopLogging(tree.GetWindow());

    g_visited.clear();
    g_stopAt = 2;
    EXPECT_EQ(0, tree.EnumItems(Visit, 1234));
    EXPECT_EQ("A1 A2", Joined()) << "a zero answer stops everything";

    TVITEMA item;
    ZeroMemory(&item, sizeof item);
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = a1;
    EXPECT_NE(0, tree.GetItem(&item));
    EXPECT_EQ(3, item.iImage);
    EXPECT_EQ(4, item.iSelectedImage);
    item.iImage = 7;
    EXPECT_NE(0, tree.SetItem(&item));
    item.iImage = 0;
    tree.GetItem(&item);
    EXPECT_EQ(7, item.iImage);

    EXPECT_EQ(a, tree.GetItemRoot());
    EXPECT_EQ(a1, tree.GetItemChild(a));
    EXPECT_EQ(a2, tree.GetItemNextSibling(a1));
    EXPECT_EQ(a1, tree.GetItemPrevSibling(a2));
    EXPECT_EQ(a, tree.GetItemParent(a2));
    EXPECT_EQ(b, tree.GetNextItem(a, TVGN_NEXT));
    EXPECT_EQ(a, tree.GetItemFirstVisible());
    EXPECT_EQ(b, tree.GetItemNextVisible(a)) << "A is still collapsed";
    EXPECT_EQ(1, tree.Expand(a, TVE_EXPAND));
    EXPECT_EQ(a1, tree.GetItemNextVisible(a));
    EXPECT_EQ(a2, tree.GetItemPrevVisible(b));
    EXPECT_EQ(1, tree.Collapse(a));
    EXPECT_EQ(b, tree.GetItemNextVisible(a));

    EXPECT_NE(0, tree.Select(b, TVGN_CARET));
    EXPECT_EQ(b, tree.GetItemSelection());
    EXPECT_NE(0, tree.SelectDropTarget(a));
    EXPECT_EQ(a, tree.GetItemDropHilight());
    EXPECT_NE(0, tree.SelectFirstVisible(a));
    EXPECT_EQ(a, tree.GetItemFirstVisible());

    tree.SetIndent(40);
    EXPECT_EQ(40, tree.GetIndent());
    CImgList normal, state;
    ASSERT_EQ(1, normal.Create(16, 16, ILC_COLOR24));
    ASSERT_EQ(1, state.Create(16, 16, ILC_COLOR24));
    tree.SetImageList(normal);
    tree.SetStateImageList(state);
    EXPECT_EQ(normal.GetImageList(), tree.GetImageList());
    EXPECT_EQ(state.GetImageList(), tree.GetStateImageList());
    EXPECT_EQ(normal.GetImageList(), tree.SetImageList(NULL));
    EXPECT_EQ(state.GetImageList(), tree.SetStateImageList(NULL));

    EXPECT_NE(0, tree.DeleteItem(b));
    EXPECT_EQ(3, tree.GetCount());
    EXPECT_NE(0, tree.DeleteAll());
    EXPECT_EQ(0, tree.GetCount());
}

TEST_F(CommonControls, RebarBandsAndIsShown)
{
    CRebar rebar;
    ASSERT_EQ(1, rebar.Create(parent, WS_CHILD | WS_VISIBLE | RBS_VARHEIGHT, 0, GetModuleHandleA(NULL), NULL));
    char cls[64];
    GetClassNameA(rebar.GetWindow(), cls, sizeof cls);
    EXPECT_STREQ("ReBarWindow32", cls);
    EXPECT_EQ(parent, GetParent(rebar.GetWindow()));

    StartLogging(rebar.GetWindow());
    EXPECT_NE(0, rebar.SetBarInfo(0, NULL));
    ASSERT_TRUE(Sent(0, RB_SETBARINFO));
    EXPECT_EQ(static_cast<int>(sizeof(REBARINFO)), g_log[0].textMax);
    REBARINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    EXPECT_NE(0, rebar.GetBarInfo(&info));

    HWND edits[2];
    for (int i = 0; i < 2; ++i) {
        edits[i] = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, rebar.GetWindow(), NULL,
                                   GetModuleHandleA(NULL), NULL);
        REBARBANDINFOA band;
        ZeroMemory(&band, sizeof band);
        band.cbSize = REBARBANDINFOA_V6_SIZE;
        band.fMask = RBBIM_CHILD | RBBIM_ID | RBBIM_CHILDSIZE | RBBIM_STYLE;
        band.fStyle = RBBS_CHILDEDGE;
        band.hwndChild = edits[i];
        band.wID = 10 * (i + 1);
        band.cyMinChild = 20;
        band.cxMinChild = 50;
        EXPECT_NE(0, rebar.InsertBand(-1, &band));
    }
    EXPECT_EQ(1, rebar.IDToIndex(20));
    EXPECT_EQ(-1, rebar.IDToIndex(30));

    g_log.clear();
    EXPECT_EQ(1, rebar.IsShown(0));
    ASSERT_TRUE(Sent(0, RB_GETBANDINFOA));
    EXPECT_EQ(static_cast<UINT>(RBBIM_STYLE), g_log[0].mask);
    EXPECT_EQ(static_cast<int>(REBARBANDINFOA_V6_SIZE), g_log[0].textMax);
    EXPECT_NE(0, rebar.ShowBand(0, FALSE));
    EXPECT_EQ(0, rebar.IsShown(0)) << "a hidden band";
    EXPECT_EQ(1, rebar.IsShown(1));
    EXPECT_EQ(0, rebar.IsShown(5)) << "no such band";
    EXPECT_NE(0, rebar.ShowBand(0, TRUE));
    EXPECT_EQ(1, rebar.IsShown(0));

    REBARBANDINFOA band;
    ZeroMemory(&band, sizeof band);
    band.cbSize = REBARBANDINFOA_V6_SIZE;
    band.fMask = RBBIM_STYLE;
    band.fStyle = RBBS_GRIPPERALWAYS;
    EXPECT_NE(0, rebar.SetBandInfo(1, &band));
    band.fStyle = 0;
    EXPECT_NE(0, rebar.GetBandInfo(1, &band));
    EXPECT_NE(0u, band.fStyle & RBBS_GRIPPERALWAYS);

    g_log.clear();
    rebar.Resize();
    ASSERT_TRUE(Sent(0, WM_SIZE));
    EXPECT_EQ(0u, g_log[0].wParam);

    // The tooltip window travels in wParam; Wine's rebar does not keep it, so the message is what counts.
    CToolTip tip;
    ASSERT_EQ(1, tip.Create());
    g_log.clear();
    rebar.SetToolTips(tip.GetWindow());
    rebar.GetToolTips();
    ASSERT_TRUE(Sent(0, RB_SETTOOLTIPS));
    EXPECT_EQ(reinterpret_cast<WPARAM>(tip.GetWindow()), g_log[0].wParam);
    ASSERT_TRUE(Sent(1, RB_GETTOOLTIPS));
    StopLogging(rebar.GetWindow());

    EXPECT_NE(0, rebar.MoveBand(0, 1));
    EXPECT_EQ(1, rebar.IDToIndex(10));
    EXPECT_NE(0, rebar.DeleteBand(0));
    EXPECT_EQ(-1, rebar.IDToIndex(20));
    tip.Destroy();
}

namespace {

struct PageLog {
    int initialised[2];
    LPARAM lParam[2];
};
PageLog g_pages;

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const PROPSHEETPAGEA* record = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        int which = GetDlgItem(page, 1001) ? 0 : 1;
        g_pages.initialised[which]++;
        g_pages.lParam[which] = record->lParam;
        if (which == 0)
            SetTimer(page, 1, 50, NULL);
        return TRUE;
    }
    if (message == WM_TIMER) {
        // Answer the sheet as a user would: visit the second page, mark a change, press OK.
        KillTimer(page, 1);
        HWND sheet = GetParent(page);
        PostMessageA(sheet, PSM_SETCURSEL, 1, 0);
        PostMessageA(sheet, PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

TEST_F(CommonControls, PropertySheetRunsAndTakesThePagesOver)
{
    CPropSheet sheet;
    CPropPage none[2];
    EXPECT_EQ(-1, sheet.DoModal(GetModuleHandleA(NULL), parent, 0, none, "never", 0, 0, NULL));
    EXPECT_EQ(-1, sheet.DoModal(GetModuleHandleA(NULL), parent, 2, NULL, "never", 0, 0, NULL));

    CPropPage pages[2];
    HINSTANCE inst = GetModuleHandleA(NULL);
    ASSERT_EQ(1, pages[0].Create(inst, PageProc, MAKEINTRESOURCEA(201), "One", PSP_USETITLE, NULL, 111));
    ASSERT_EQ(1, pages[1].Create(inst, PageProc, MAKEINTRESOURCEA(202), "Two", PSP_USETITLE, NULL, 222));
    EXPECT_NE(nullptr, pages[0].GetPage());
    memset(&g_pages, 0, sizeof g_pages);

    INT_PTR result = sheet.DoModal(inst, parent, 2, pages, "Sheet", PSH_NOAPPLYNOW, 0, NULL);
    EXPECT_GT(result, 0) << "the sheet closed with OK after a change";
    EXPECT_EQ(1, g_pages.initialised[0]);
    EXPECT_EQ(1, g_pages.initialised[1]);
    EXPECT_EQ(111, g_pages.lParam[0]);
    EXPECT_EQ(222, g_pages.lParam[1]);
    EXPECT_EQ(nullptr, pages[0].GetPage()) << "the sheet owns the pages now";
    EXPECT_EQ(nullptr, static_cast<HPROPSHEETPAGE>(pages[1]));
    EXPECT_EQ(1, pages[0].Destroy());
}

TEST_F(CommonControls, UnusedPageIsDestroyedByItsObject)
{
    CPropPage page;
    EXPECT_EQ(1, page.Destroy()) << "nothing to destroy";
    ASSERT_EQ(1, page.Create(GetModuleHandleA(NULL), PageProc, MAKEINTRESOURCEA(201), "One", 0, NULL, 0));
    EXPECT_EQ(1, page.Destroy());
    EXPECT_EQ(nullptr, page.GetPage());
}
