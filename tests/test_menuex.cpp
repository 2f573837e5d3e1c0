// CMenuEx and CMenuEx2 on real menus: result codes, measured sizes with a real font, pixels drawn
// into a bitmap DC, the subclassing chain, and a real popup menu drawn through the hook.
#include <windows.h>
#include <process.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "tarvik.h"
#include "gfx_probe.h"
#include "harness_util.h"

using testutil::TempPath;

namespace {

const COLORREF kCanvas = RGB(1, 2, 3);
const COLORREF kBack = RGB(10, 200, 30);
const COLORREF kSelBack = RGB(200, 10, 30);
const COLORREF kText = RGB(0, 0, 90);
const COLORREF kSelText = RGB(255, 255, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kRed = RGB(220, 0, 0);

// Reaches the protected state of the classes under test.
struct ExPeek : CMenuEx {
    static MENUODINFO* Info(CMenuEx& e) { return e.*(&ExPeek::m_info); }
    static const char* Text(CMenuEx& e) { return e.*(&ExPeek::m_text); }
};

struct Ex2Peek : CMenuEx2 {
    static std::vector<unsigned short> Ids(CMenuEx2& m)
    {
        std::vector<unsigned short> ids;
        for (Entry* e = m.*(&Ex2Peek::m_head); e; e = e->next)
            ids.push_back(e->wID);
        return ids;
    }
    static std::vector<CMenuEx*> Items(CMenuEx2& m)
    {
        std::vector<CMenuEx*> items;
        for (Entry* e = m.*(&Ex2Peek::m_head); e; e = e->next)
            items.push_back(e->item);
        return items;
    }
};

// A 32-bit top-down DIB section selected into a memory DC, filled with the canvas colour.
struct Dib {
    Dib(int width, int height) : w(width), h(height)
    {
        BITMAPINFO bi = gfxtest::TopDown32(w, h);
        dc = CreateCompatibleDC(NULL);
        bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), NULL, 0);
        old = SelectObject(dc, bmp);
        Fill(kCanvas);
    }
    ~Dib()
    {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    void Fill(COLORREF c)
    {
        GdiFlush();
        DWORD p = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        for (int i = 0; i < w * h; ++i)
            bits[i] = p;
    }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        DWORD p = bits[y * w + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int Count(COLORREF c) const
    {
        int n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                n += At(x, y) == c;
        return n;
    }
    // Smallest rectangle holding every pixel of the colour (empty when there is none).
    RECT Bounds(COLORREF c) const
    {
        RECT r = {w, h, 0, 0};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (At(x, y) == c) {
                    if (x < r.left) r.left = x;
                    if (y < r.top) r.top = y;
                    if (x + 1 > r.right) r.right = x + 1;
                    if (y + 1 > r.bottom) r.bottom = y + 1;
                }
        return r;
    }
    bool AllCanvas() const { return Count(kCanvas) == w * h; }
    int w, h;
    HDC dc;
    HBITMAP bmp;
    HGDIOBJ old;
    DWORD* bits;
};

std::string Hex(COLORREF c)
{
    char s[16];
    sprintf(s, "#%06lX", static_cast<unsigned long>(c));
    return s;
}

#define EXPECT_PIXEL(dib, x, y, colour) \
    EXPECT_EQ(Hex(colour), Hex((dib).At((x), (y)))) << "pixel (" << (x) << ", " << (y) << ")"

// A screen-compatible bitmap of one solid colour.
HBITMAP SolidBitmap(int w, int h, COLORREF c)
{
    HDC screen = GetDC(NULL);
    HBITMAP b = CreateCompatibleBitmap(screen, w, h);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, b);
    HBRUSH brush = CreateSolidBrush(c);
    RECT r = {0, 0, w, h};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
    return b;
}

// An opaque icon of one solid colour.
HICON SolidIcon(int size, COLORREF c)
{
    ICONINFO ii;
    memset(&ii, 0, sizeof(ii));
    ii.fIcon = TRUE;
    ii.hbmColor = SolidBitmap(size, size, c);
    std::vector<BYTE> zeros(size * size / 8 * 2, 0);
    ii.hbmMask = CreateBitmap(size, size, 1, 1, zeros.data());
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    return icon;
}

class MenuExTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        menu = CreatePopupMenu();
        ASSERT_NE((HMENU)0, menu);
        AppendMenuA(menu, MF_STRING, 101, "&Open");
        AppendMenuA(menu, MF_STRING, 102, "Save &As");
        AppendMenuA(menu, MF_STRING, 103, "\x8A\x4A\x82\xAD(&K)");  // 開く(&K)
        AppendMenuA(menu, MF_STRING, 104, "Close");
        AppendMenuA(menu, MF_STRING, 105, "Exit");
        font = CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
        ASSERT_NE((HWND)0, owner);
        SendMessageA(owner, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    void TearDown() override
    {
        DestroyWindow(owner);
        DestroyMenu(menu);
        DeleteObject(font);
    }
    MENUODINFO Info(unsigned short id, unsigned long flags)
    {
        MENUODINFO info;
        memset(&info, 0, sizeof(info));
        info.dwFlags = flags | MODF_BACKCOLOR | MODF_TEXTCOLOR | MODF_SELCOLOR;
        info.hwndOwner = owner;
        info.wID = id;
        info.crBack = kBack;
        info.crSelBack = kSelBack;
        info.crText = kText;
        info.crSelText = kSelText;
        return info;
    }
    UINT TypeOf(UINT id)
    {
        MENUITEMINFOA mii;
        memset(&mii, 0, sizeof(mii));
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_FTYPE;
        EXPECT_TRUE(GetMenuItemInfoA(menu, id, FALSE, &mii)) << "item " << id;
        return mii.fType;
    }
    std::string TextOf(UINT id)
    {
        char text[260] = "";
        GetMenuStringA(menu, id, text, sizeof(text), MF_BYCOMMAND);
        return text;
    }
    SIZE Extent(const char* text, HFONT withFont)
    {
        HDC dc = GetDC(owner);
        HGDIOBJ old = withFont ? SelectObject(dc, withFont) : 0;
        SIZE s = {0, 0};
        GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &s);
        if (old)
            SelectObject(dc, old);
        ReleaseDC(owner, dc);
        return s;
    }
    int Draw(CMenuEx& ex, Dib& dib, unsigned short id, UINT state, const RECT& r)
    {
        DRAWITEMSTRUCT dis;
        memset(&dis, 0, sizeof(dis));
        dis.CtlType = ODT_MENU;
        dis.itemID = id;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = state;
        dis.hwndItem = reinterpret_cast<HWND>(menu);
        dis.hDC = dib.dc;
        dis.rcItem = r;
        return ex.DrawItem(menu, &dis);
    }
    HMENU menu;
    HWND owner;
    HFONT font;
};

// The item rectangle used by the drawing tests, and the image rectangle that follows from the
// margins 2 and 3 and a 16 x 16 image: I = (12, 8, 28, 24).
const RECT kItem = {10, 5, 190, 45};

MENUODINFO WithBitmap(MENUODINFO info, HBITMAP bitmap)
{
    info.dwFlags |= MODF_BITMAP | MODF_MARGIN;
    info.hImage = bitmap;
    info.cxImage = 16;
    info.cyImage = 16;
    info.cxMargin = 2;
    info.cyMargin = 3;
    return info;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CMenuEx: result codes and what the object holds

TEST_F(MenuExTest, ResultCodes)
{
    CMenuEx ex;
    EXPECT_EQ(3, ex.UnsetMenuOwnerDraw(menu));
    EXPECT_EQ(2, ex.SetMenuOwnerDraw(menu, NULL));

    HBITMAP bitmap = SolidBitmap(16, 16, kBlue);
    MENUODINFO info = WithBitmap(Info(101, 0), bitmap);
    info.dwFlags |= MODF_ICON;
    EXPECT_EQ(2, ex.SetMenuOwnerDraw(menu, &info));
    EXPECT_EQ((MENUODINFO*)0, ExPeek::Info(ex));

    info = WithBitmap(Info(101, 0), bitmap);
    info.cyImage = 0;
    EXPECT_EQ(2, ex.SetMenuOwnerDraw(menu, &info));
    info.cyImage = 16;
    info.cxImage = 0;
    EXPECT_EQ(2, ex.SetMenuOwnerDraw(menu, &info));
    info.dwFlags = (info.dwFlags & ~MODF_BITMAP) | MODF_ICON;
    EXPECT_EQ(2, ex.SetMenuOwnerDraw(menu, &info));
    EXPECT_EQ((MENUODINFO*)0, ExPeek::Info(ex));
    EXPECT_EQ(3, ex.UnsetMenuOwnerDraw(menu));

    // An image that cannot be copied.
    HBITMAP gone = SolidBitmap(16, 16, kBlue);
    DeleteObject(gone);
    info = WithBitmap(Info(101, 0), gone);
    EXPECT_EQ(1, ex.SetMenuOwnerDraw(menu, &info));
    EXPECT_EQ((MENUODINFO*)0, ExPeek::Info(ex));
    EXPECT_EQ(0u, TypeOf(101) & MFT_OWNERDRAW);

    // Done, then a second description is refused without touching the menu.
    info = WithBitmap(Info(101, 0), bitmap);
    EXPECT_EQ(0, ex.SetMenuOwnerDraw(menu, &info));
    EXPECT_NE(0u, TypeOf(101) & MFT_OWNERDRAW);
    MENUODINFO other = Info(102, 0);
    EXPECT_EQ(4, ex.SetMenuOwnerDraw(menu, &other));
    EXPECT_EQ(0u, TypeOf(102) & MFT_OWNERDRAW);
    EXPECT_EQ(101, ExPeek::Info(ex)->wID);
    EXPECT_EQ(0, ex.UnsetMenuOwnerDraw(menu));
    EXPECT_EQ(0u, TypeOf(101) & MFT_OWNERDRAW);
    EXPECT_EQ(3, ex.UnsetMenuOwnerDraw(menu));

    // An item that is not in the menu: code 2, yet the copy is held until it is released.
    MENUODINFO missing = Info(999, 0);
    EXPECT_EQ(2, ex.SetMenuOwnerDraw(menu, &missing));
    EXPECT_NE((MENUODINFO*)0, ExPeek::Info(ex));
    EXPECT_EQ(4, ex.SetMenuOwnerDraw(menu, &other));
    EXPECT_EQ(0, ex.UnsetMenuOwnerDraw(menu));
    EXPECT_EQ(0, ex.SetMenuOwnerDraw(menu, &other));
    EXPECT_EQ(0, ex.UnsetMenuOwnerDraw(menu));
    DeleteObject(bitmap);
}

TEST_F(MenuExTest, CopyFillsDefaultsAndCapturesTheText)
{
    CMenuEx ex;
    MENUODINFO info;
    memset(&info, 0, sizeof(info));
    info.hwndOwner = owner;
    info.wID = 103;
    info.cxMargin = 5;
    info.cyMargin = 4;
    info.cxImage = 20;
    info.cyImage = 30;
    info.crBack = info.crSelBack = info.crText = info.crSelText = RGB(9, 9, 9);
    ASSERT_EQ(0, ex.SetMenuOwnerDraw(menu, &info));
    MENUODINFO* copy = ExPeek::Info(ex);
    ASSERT_NE((MENUODINFO*)0, copy);
    EXPECT_NE(&info, copy);
    EXPECT_EQ(Hex(GetSysColor(COLOR_MENU)), Hex(copy->crBack));
    EXPECT_EQ(Hex(GetSysColor(COLOR_WINDOWTEXT)), Hex(copy->crText));
    EXPECT_EQ(Hex(GetSysColor(COLOR_HIGHLIGHT)), Hex(copy->crSelBack));
    EXPECT_EQ(Hex(GetSysColor(COLOR_HIGHLIGHTTEXT)), Hex(copy->crSelText));
    EXPECT_EQ(0, copy->cxMargin);
    EXPECT_EQ(4, copy->cyMargin);
    EXPECT_EQ(0, copy->cxImage);
    EXPECT_EQ(0, copy->cyImage);
    EXPECT_STREQ("\x8A\x4A\x82\xAD(&K)", ExPeek::Text(ex));
    // The caller's record is left as it was.
    EXPECT_EQ(5, info.cxMargin);
    EXPECT_EQ(20, info.cxImage);

    // Given colours are kept.
    CMenuEx given;
    MENUODINFO coloured = Info(104, MODF_MARGIN);
    coloured.cxMargin = 6;
    ASSERT_EQ(0, given.SetMenuOwnerDraw(menu, &coloured));
    EXPECT_EQ(Hex(kBack), Hex(ExPeek::Info(given)->crBack));
    EXPECT_EQ(Hex(kSelBack), Hex(ExPeek::Info(given)->crSelBack));
    EXPECT_EQ(Hex(kText), Hex(ExPeek::Info(given)->crText));
    EXPECT_EQ(Hex(kSelText), Hex(ExPeek::Info(given)->crSelText));
    EXPECT_EQ(6, ExPeek::Info(given)->cxMargin);
    EXPECT_EQ(0, given.UnsetMenuOwnerDraw(menu));
    EXPECT_EQ(0, ex.UnsetMenuOwnerDraw(menu));
}

TEST_F(MenuExTest, UnsetPutsBackTheCapturedText)
{
    CMenuEx a, b;
    MENUODINFO info = Info(101, 0);
    ASSERT_EQ(0, a.SetMenuOwnerDraw(menu, &info));
    MENUODINFO kanji = Info(103, 0);
    ASSERT_EQ(0, b.SetMenuOwnerDraw(menu, &kanji));
    EXPECT_NE(0u, TypeOf(101) & MFT_OWNERDRAW);
    EXPECT_NE(0u, TypeOf(103) & MFT_OWNERDRAW);

    EXPECT_EQ(0, a.UnsetMenuOwnerDraw(menu));
    EXPECT_EQ(0, b.UnsetMenuOwnerDraw(menu));
    EXPECT_EQ(0u, TypeOf(101) & MFT_OWNERDRAW);
    EXPECT_EQ((UINT)MFT_STRING, TypeOf(103));
    EXPECT_EQ("&Open", TextOf(101));
    EXPECT_EQ("\x8A\x4A\x82\xAD(&K)", TextOf(103));
    // The neighbours were never touched.
    EXPECT_EQ("Save &As", TextOf(102));
    EXPECT_EQ("Close", TextOf(104));
}

TEST_F(MenuExTest, TheCopyOwnsItsImage)
{
    // Bitmap: the caller's handle is destroyed right away; drawing still shows the image.
    HBITMAP bitmap = SolidBitmap(16, 16, kBlue);
    CMenuEx ex;
    MENUODINFO info = WithBitmap(Info(101, 0), bitmap);
    ASSERT_EQ(0, ex.SetMenuOwnerDraw(menu, &info));
    HANDLE copy = ExPeek::Info(ex)->hImage;
    EXPECT_NE((HANDLE)bitmap, copy);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(OBJ_BITMAP, (int)GetObjectType(copy));
    Dib dib(200, 50);
    ASSERT_EQ(1, Draw(ex, dib, 101, 0, kItem));
    EXPECT_PIXEL(dib, 13, 9, kBlue);
    EXPECT_PIXEL(dib, 28, 24, kBlue);
    EXPECT_EQ(0, ex.UnsetMenuOwnerDraw(menu));
    EXPECT_EQ(0, (int)GetObjectType(copy)) << "image copy not released";

    // Icon: the same with DestroyIcon.
    int size = GetSystemMetrics(SM_CXICON);
    HICON icon = SolidIcon(size, kRed);
    ASSERT_NE((HICON)0, icon);
    CMenuEx ix;
    MENUODINFO iconInfo = Info(102, MODF_ICON | MODF_MARGIN);
    iconInfo.hImage = icon;
    iconInfo.cxImage = static_cast<short>(size);
    iconInfo.cyImage = static_cast<short>(size);
    iconInfo.cxMargin = 2;
    iconInfo.cyMargin = 3;
    ASSERT_EQ(0, ix.SetMenuOwnerDraw(menu, &iconInfo));
    HICON iconCopy = static_cast<HICON>(ExPeek::Info(ix)->hImage);
    EXPECT_NE(icon, iconCopy);
    EXPECT_TRUE(DestroyIcon(icon));
    Dib tall(200, size + 20);
    RECT r = {10, 5, 190, 5 + size + 10};
    ASSERT_EQ(1, Draw(ix, tall, 102, 0, r));
    // Drawn at (R.left + hm, R.top + vm) = (12, 8), at its own size; the frame covers its first
    // row and column.
    EXPECT_PIXEL(tall, 13, 9, kRed);
    EXPECT_PIXEL(tall, 12 + size - 1, 8 + size - 1, kRed);
    EXPECT_PIXEL(tall, 12 + size, 8 + size / 2, kBack);
    ICONINFO ii;
    ASSERT_TRUE(GetIconInfo(iconCopy, &ii));
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    EXPECT_EQ(0, ix.UnsetMenuOwnerDraw(menu));
    EXPECT_FALSE(GetIconInfo(iconCopy, &ii)) << "icon copy not destroyed";
}

TEST_F(MenuExTest, DestructorReleasesAHeldCopyWithoutTouchingTheMenu)
{
    HBITMAP bitmap = SolidBitmap(16, 16, kBlue);
    HANDLE copy = 0;
    {
        CMenuEx ex;
        MENUODINFO info = WithBitmap(Info(101, 0), bitmap);
        ASSERT_EQ(0, ex.SetMenuOwnerDraw(menu, &info));
        copy = ExPeek::Info(ex)->hImage;
    }
    EXPECT_EQ(0, (int)GetObjectType(copy));
    EXPECT_NE(0u, TypeOf(101) & MFT_OWNERDRAW);
    DeleteObject(bitmap);
}

// ---------------------------------------------------------------------------------------------
// CMenuEx: measuring

TEST_F(MenuExTest, MeasureItemFollowsTheFormulasWithTheOwnersFont)
{
    SIZE open = Extent("&Open", font);
    SIZE system = Extent("&Open", NULL);
    ASSERT_GT(open.cx, 0);
    ASSERT_NE(system.cx, open.cx) << "the owner's font must make a difference here";

    // No image, no MODF_MARGIN: the horizontal margin is ignored, the vertical one is not.
    CMenuEx plain;
    MENUODINFO info = Info(101, 0);
    info.cxMargin = 5;
    info.cyMargin = 3;
    info.cxImage = 40;
    info.cyImage = 40;
    ASSERT_EQ(0, plain.SetMenuOwnerDraw(menu, &info));
    MEASUREITEMSTRUCT mis;
    memset(&mis, 0, sizeof(mis));
    mis.CtlType = ODT_MENU;
    mis.itemID = 101;
    EXPECT_EQ(1, plain.MeasureItem(menu, &mis));
    EXPECT_EQ((UINT)(open.cx + 2), mis.itemWidth);
    EXPECT_EQ((UINT)(open.cy + 2 * 3 + 2), mis.itemHeight);

    // A 16 x 16 bitmap with margins 2 and 3.
    HBITMAP bitmap = SolidBitmap(16, 16, kBlue);
    CMenuEx image;
    MENUODINFO withImage = WithBitmap(Info(102, 0), bitmap);
    ASSERT_EQ(0, image.SetMenuOwnerDraw(menu, &withImage));
    SIZE saveAs = Extent("Save &As", font);
    memset(&mis, 0, sizeof(mis));
    mis.CtlType = ODT_MENU;
    mis.itemID = 102;
    EXPECT_EQ(1, image.MeasureItem(menu, &mis));
    EXPECT_EQ((UINT)(saveAs.cx + 16 + 4 + 2), mis.itemWidth);
    EXPECT_EQ((UINT)((saveAs.cy > 16 ? saveAs.cy : 16) + 6 + 2), mis.itemHeight);

    // An image taller than the text sets the height.
    CMenuEx tall;
    MENUODINFO tallInfo = WithBitmap(Info(104, 0), bitmap);
    tallInfo.cyImage = 60;
    ASSERT_EQ(0, tall.SetMenuOwnerDraw(menu, &tallInfo));
    memset(&mis, 0, sizeof(mis));
    mis.CtlType = ODT_MENU;
    mis.itemID = 104;
    EXPECT_EQ(1, tall.MeasureItem(menu, &mis));
    EXPECT_EQ((UINT)(Extent("Close", font).cx + 16 + 4 + 2), mis.itemWidth);
    EXPECT_EQ((UINT)(60 + 6 + 2), mis.itemHeight);

    // Items that are not this object's are left untouched.
    MEASUREITEMSTRUCT untouched;
    memset(&untouched, 0xAB, sizeof(untouched));
    untouched.CtlType = ODT_MENU;
    untouched.itemID = 102;
    MEASUREITEMSTRUCT before = untouched;
    EXPECT_EQ(0, plain.MeasureItem(menu, &untouched));
    EXPECT_EQ(0, memcmp(&before, &untouched, sizeof(before)));
    untouched.itemID = 101;
    untouched.CtlType = ODT_LISTBOX;
    before = untouched;
    EXPECT_EQ(0, plain.MeasureItem(menu, &untouched));
    EXPECT_EQ(0, memcmp(&before, &untouched, sizeof(before)));
    EXPECT_EQ(0, plain.MeasureItem(menu, NULL));

    EXPECT_EQ(0, plain.UnsetMenuOwnerDraw(menu));
    EXPECT_EQ(0, image.UnsetMenuOwnerDraw(menu));
    EXPECT_EQ(0, tall.UnsetMenuOwnerDraw(menu));
    DeleteObject(bitmap);
}

TEST_F(MenuExTest, AnObjectWithoutAnItemMeasuresAndDrawsNothing)
{
    CMenuEx ex;
    MEASUREITEMSTRUCT mis;
    memset(&mis, 0xAB, sizeof(mis));
    mis.CtlType = ODT_MENU;
    mis.itemID = 0;
    MEASUREITEMSTRUCT before = mis;
    EXPECT_EQ(0, ex.MeasureItem(menu, &mis));
    EXPECT_EQ(0, memcmp(&before, &mis, sizeof(mis)));

    Dib dib(200, 50);
    EXPECT_EQ(0, Draw(ex, dib, 0, 0, kItem));
    EXPECT_TRUE(dib.AllCanvas());

    // And after the item was released again.
    MENUODINFO info = Info(101, 0);
    ASSERT_EQ(0, ex.SetMenuOwnerDraw(menu, &info));
    ASSERT_EQ(0, ex.UnsetMenuOwnerDraw(menu));
    mis.itemID = 101;
    before = mis;
    EXPECT_EQ(0, ex.MeasureItem(menu, &mis));
    EXPECT_EQ(0, memcmp(&before, &mis, sizeof(mis)));
    EXPECT_EQ(0, Draw(ex, dib, 101, 0, kItem));
    EXPECT_TRUE(dib.AllCanvas());
}

// ---------------------------------------------------------------------------------------------
// CMenuEx: drawing, read back from a bitmap DC

TEST_F(MenuExTest, DrawsBackgroundImageAndFrame)
{
    HBITMAP bitmap = SolidBitmap(16, 16, kBlue);
    CMenuEx ex;
    MENUODINFO info = WithBitmap(Info(101, 0), bitmap);
    ASSERT_EQ(0, ex.SetMenuOwnerDraw(menu, &info));
    DeleteObject(bitmap);

    Dib dib(200, 50);
    EXPECT_EQ(0, Draw(ex, dib, 102, 0, kItem));
    EXPECT_TRUE(dib.AllCanvas()) << "another item's drawing touched the DC";

    ASSERT_EQ(1, Draw(ex, dib, 101, 0, kItem));
    // Fill (12, 8, 188, 42).
    EXPECT_PIXEL(dib, 187, 41, kBack);
    EXPECT_PIXEL(dib, 12, 30, kBack);
    EXPECT_PIXEL(dib, 32, 30, kBack);
    EXPECT_PIXEL(dib, 188, 20, kCanvas);
    EXPECT_PIXEL(dib, 100, 42, kCanvas);
    EXPECT_PIXEL(dib, 11, 20, kCanvas);
    EXPECT_PIXEL(dib, 100, 7, kCanvas);
    // The bitmap at (13, 9), 16 x 16.
    EXPECT_PIXEL(dib, 13, 9, kBlue);
    EXPECT_PIXEL(dib, 28, 24, kBlue);
    EXPECT_EQ(16 * 16, dib.Count(kBlue));
    // Not selected: the frame around I = (12, 8, 28, 24) is in the background colour.
    EXPECT_PIXEL(dib, 20, 8, kBack);
    EXPECT_PIXEL(dib, 12, 16, kBack);
    EXPECT_PIXEL(dib, 29, 16, kBack);
    EXPECT_PIXEL(dib, 20, 25, kBack);

    // Selected without MODF_HOTFRAME: selected background, frame still in the plain background.
    dib.Fill(kCanvas);
    ASSERT_EQ(1, Draw(ex, dib, 101, ODS_SELECTED, kItem));
    EXPECT_PIXEL(dib, 187, 41, kSelBack);
    EXPECT_PIXEL(dib, 12, 30, kSelBack);
    EXPECT_PIXEL(dib, 20, 8, kBack);
    EXPECT_PIXEL(dib, 29, 16, kBack);
    EXPECT_PIXEL(dib, 13, 9, kBlue);
    EXPECT_EQ(0u, TypeOf(101) & MFT_SEPARATOR);
    EXPECT_EQ(0, ex.UnsetMenuOwnerDraw(menu));
}

TEST_F(MenuExTest, HotFrameWhileSelected)
{
    HBITMAP bitmap = SolidBitmap(16, 16, kBlue);
    CMenuEx ex;
    MENUODINFO info = WithBitmap(Info(101, MODF_HOTFRAME), bitmap);
    ASSERT_EQ(0, ex.SetMenuOwnerDraw(menu, &info));
    DeleteObject(bitmap);
    COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
    ASSERT_NE(light, shadow);

    Dib dib(200, 50);
    ASSERT_EQ(1, Draw(ex, dib, 101, ODS_SELECTED, kItem));
    EXPECT_PIXEL(dib, 12, 8, light);
    EXPECT_PIXEL(dib, 28, 8, light);
    EXPECT_PIXEL(dib, 12, 25, light);
    EXPECT_PIXEL(dib, 29, 8, shadow);
    EXPECT_PIXEL(dib, 29, 25, shadow);
    EXPECT_PIXEL(dib, 13, 25, shadow);
    EXPECT_PIXEL(dib, 30, 16, kSelBack);
    EXPECT_PIXEL(dib, 20, 26, kSelBack);

    // Drawn again unselected, the frame is erased.
    ASSERT_EQ(1, Draw(ex, dib, 101, 0, kItem));
    EXPECT_PIXEL(dib, 12, 8, kBack);
    EXPECT_PIXEL(dib, 29, 16, kBack);
    EXPECT_PIXEL(dib, 20, 25, kBack);
    EXPECT_EQ(0, ex.UnsetMenuOwnerDraw(menu));
}

namespace {

// The four edge pixels on the vertical line x = 20 of I = (12, 8, 28, 24).
std::vector<std::string> EdgePixels(const Dib& dib)
{
    return {Hex(dib.At(20, 8)), Hex(dib.At(20, 9)), Hex(dib.At(20, 22)), Hex(dib.At(20, 23))};
}

std::vector<std::string> ReferenceEdge(UINT style)
{
    Dib ref(200, 50);
    RECT image = {12, 8, 28, 24};
    DrawEdge(ref.dc, &image, style, BF_RECT);
    return EdgePixels(ref);
}

}  // namespace

TEST_F(MenuExTest, TheLowestEdgeBitWinsAndCheckedItemsGetASunkenEdge)
{
    std::vector<std::string> raised = ReferenceEdge(EDGE_RAISED), sunken = ReferenceEdge(EDGE_SUNKEN),
                             bump = ReferenceEdge(EDGE_BUMP), etched = ReferenceEdge(EDGE_ETCHED);
    ASSERT_NE(sunken, bump);
    ASSERT_NE(sunken, raised);
    ASSERT_NE(etched, bump);
    HBITMAP bitmap = SolidBitmap(16, 16, kBlue);

    struct Case {
        unsigned long flags;
        UINT state;
        const std::vector<std::string>* expected;
        const char* what;
    } cases[] = {
        {MODF_EDGE_SUNKEN | MODF_EDGE_BUMP, 0, &sunken, "sunken and bump"},
        {MODF_EDGE_ETCHED | MODF_EDGE_BUMP, 0, &etched, "etched and bump"},
        {MODF_EDGE_BUMP, 0, &bump, "bump"},
        {MODF_EDGE_RAISED | MODF_EDGE_SUNKEN | MODF_EDGE_ETCHED, 0, &raised, "raised first"},
        {0, ODS_CHECKED, &sunken, "checked, no edge bits"},
        {MODF_EDGE_RAISED, ODS_CHECKED, &raised, "checked with an edge bit"},
    };
    for (const Case& c : cases) {
        CMenuEx ex;
        MENUODINFO info = WithBitmap(Info(101, c.flags), bitmap);
        ASSERT_EQ(0, ex.SetMenuOwnerDraw(menu, &info)) << c.what;
        Dib dib(200, 50);
        ASSERT_EQ(1, Draw(ex, dib, 101, c.state, kItem));
        std::vector<std::string> got = EdgePixels(dib);
        EXPECT_EQ(*c.expected, got) << c.what;
        EXPECT_EQ(0, ex.UnsetMenuOwnerDraw(menu));
    }

    // Unchecked without edge bits: no edge, the image and the erased frame show.
    CMenuEx none;
    MENUODINFO info = WithBitmap(Info(101, 0), bitmap);
    ASSERT_EQ(0, none.SetMenuOwnerDraw(menu, &info));
    Dib dib(200, 50);
    ASSERT_EQ(1, Draw(none, dib, 101, 0, kItem));
    std::vector<std::string> plain = {Hex(kBack), Hex(kBlue), Hex(kBlue), Hex(kBlue)};
    EXPECT_EQ(plain, EdgePixels(dib));
    EXPECT_EQ(0, none.UnsetMenuOwnerDraw(menu));

    // Edge bits without an image draw no edge.
    CMenuEx textOnly;
    MENUODINFO noImage = Info(102, MODF_EDGE_RAISED | MODF_MARGIN);
    noImage.cxMargin = 2;
    noImage.cyMargin = 3;
    ASSERT_EQ(0, textOnly.SetMenuOwnerDraw(menu, &noImage));
    Dib flat(200, 50);
    ASSERT_EQ(1, Draw(textOnly, flat, 102, 0, kItem));
    EXPECT_PIXEL(flat, 12, 8, kBack);
    EXPECT_PIXEL(flat, 13, 9, kBack);
    EXPECT_EQ(0, textOnly.UnsetMenuOwnerDraw(menu));
    DeleteObject(bitmap);
}

TEST_F(MenuExTest, FillTextOnlyLeavesTheImageColumnAlone)
{
    HBITMAP bitmap = SolidBitmap(16, 16, kBlue);
    CMenuEx ex;
    MENUODINFO info = WithBitmap(Info(101, MODF_FILLTEXTONLY), bitmap);
    ASSERT_EQ(0, ex.SetMenuOwnerDraw(menu, &info));
    Dib dib(200, 50);
    ASSERT_EQ(1, Draw(ex, dib, 101, 0, kItem));
    // Fill (36, 8, 188, 42).
    EXPECT_PIXEL(dib, 36, 30, kBack);
    EXPECT_PIXEL(dib, 187, 41, kBack);
    EXPECT_PIXEL(dib, 35, 30, kCanvas);
    EXPECT_PIXEL(dib, 32, 16, kCanvas);
    EXPECT_PIXEL(dib, 12, 30, kCanvas);
    EXPECT_PIXEL(dib, 13, 9, kBlue);
    EXPECT_PIXEL(dib, 20, 8, kBack);   // the frame is still drawn
    EXPECT_EQ(0, ex.UnsetMenuOwnerDraw(menu));

    // Without an image the flag changes nothing.
    CMenuEx plain;
    MENUODINFO text = Info(102, MODF_FILLTEXTONLY | MODF_MARGIN);
    text.cxMargin = 2;
    text.cyMargin = 3;
    ASSERT_EQ(0, plain.SetMenuOwnerDraw(menu, &text));
    dib.Fill(kCanvas);
    ASSERT_EQ(1, Draw(plain, dib, 102, 0, kItem));
    EXPECT_PIXEL(dib, 12, 30, kBack);
    EXPECT_PIXEL(dib, 32, 16, kBack);
    EXPECT_EQ(0, plain.UnsetMenuOwnerDraw(menu));
    DeleteObject(bitmap);
}

TEST_F(MenuExTest, TextInItsColoursRightOfTheImageColumn)
{
    HBITMAP bitmap = SolidBitmap(16, 16, kBlue);
    CMenuEx ex;
    MENUODINFO info = WithBitmap(Info(104, 0), bitmap);
    ASSERT_EQ(0, ex.SetMenuOwnerDraw(menu, &info));
    DeleteObject(bitmap);

    HDC dc = GetDC(owner);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(owner, dc);
    int top = kItem.top + (kItem.bottom - kItem.top - tm.tmHeight) / 2;

    Dib dib(200, 50);
    ASSERT_EQ(1, Draw(ex, dib, 104, 0, kItem));
    EXPECT_GT(dib.Count(kText), 10);
    EXPECT_EQ(0, dib.Count(kSelText));
    RECT text = dib.Bounds(kText);
    EXPECT_GE(text.left, 37);
    EXPECT_LE(text.left, 37 + 4);
    EXPECT_GE(text.top, top);
    EXPECT_LE(text.bottom, top + tm.tmHeight);
    // Drawn with the owner's 20-pixel font, not the DC's small default.
    EXPECT_GE(text.bottom - text.top, 12) << "height of the drawn text";

    dib.Fill(kCanvas);
    ASSERT_EQ(1, Draw(ex, dib, 104, ODS_SELECTED | ODS_GRAYED, kItem));
    EXPECT_GT(dib.Count(kSelText), 10);
    EXPECT_EQ(0, dib.Count(kText));
    EXPECT_EQ(0, ex.UnsetMenuOwnerDraw(menu));
}

// ---------------------------------------------------------------------------------------------
// CMenuEx2

namespace {

struct Logged {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Logged> g_log;

LRESULT CALLBACK LogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DRAWITEM || message == WM_MEASUREITEM || message == WM_USER + 7)
        g_log.push_back({message, wParam, lParam});
    if (message == WM_USER + 7)
        return 0x1234;
    return DefWindowProcA(window, message, wParam, lParam);
}

int Logs(UINT message)
{
    int n = 0;
    for (const Logged& l : g_log)
        n += l.message == message;
    return n;
}

const char kLogClass[] = "TarvikMenuEx2TestLog";

class MenuEx2Test : public MenuExTest {
protected:
    void SetUp() override
    {
        MenuExTest::SetUp();
        testutil::TestWindowClass(kLogClass, LogProc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        window = CreateWindowExA(0, kLogClass, "menuex2", WS_OVERLAPPEDWINDOW, 40, 40, 300, 200, NULL,
                                 NULL, GetModuleHandleA(NULL), NULL);
        ASSERT_NE((HWND)0, window);
        g_log.clear();
    }
    void TearDown() override
    {
        if (IsWindow(window))
            DestroyWindow(window);
        MenuExTest::TearDown();
    }
    WNDPROC ProcOf(HWND w) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(w, GWLP_WNDPROC)); }
    // Sends WM_MEASUREITEM for a menu item; returns the measured width (0xABAB when untouched).
    UINT SendMeasure(UINT id)
    {
        MEASUREITEMSTRUCT mis;
        memset(&mis, 0xAB, sizeof(mis));
        mis.CtlType = ODT_MENU;
        mis.CtlID = 0;
        mis.itemID = id;
        SendMessageA(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
        return mis.itemWidth;
    }
    void SendDraw(Dib& dib, UINT id, UINT type)
    {
        DRAWITEMSTRUCT dis;
        memset(&dis, 0, sizeof(dis));
        dis.CtlType = type;
        dis.itemID = id;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.hwndItem = reinterpret_cast<HWND>(menu);
        dis.hDC = dib.dc;
        dis.rcItem = kItem;
        SendMessageA(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    }
    HWND window;
};

const UINT kUntouched = 0xABABABAB;

}  // namespace

TEST_F(MenuEx2Test, SubclassingChain)
{
    CMenuEx2 hook;
    EXPECT_EQ(0, hook.DestroyHook());
    EXPECT_EQ(0, hook.SetMenuOwnerDrawHook(NULL, menu));
    ASSERT_EQ(1, hook.SetMenuOwnerDrawHook(window, menu));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(MenuEx2OwnerDrawProc), ProcOf(window));
    EXPECT_EQ(static_cast<HANDLE>(&hook), GetPropA(window, "MenuEx2_Ptr_To_Object"));
    EXPECT_EQ(0, hook.SetMenuOwnerDrawHook(window, menu));

    // A second object may not hook the same window: its previous procedure would be the hook.
    CMenuEx2 second;
    EXPECT_EQ(0, second.SetMenuOwnerDrawHook(window, menu));
    EXPECT_EQ(static_cast<HANDLE>(&hook), GetPropA(window, "MenuEx2_Ptr_To_Object"));

    // Other messages reach the previous procedure, results passed back.
    EXPECT_EQ(0x1234, SendMessageA(window, WM_USER + 7, 5, 6));
    ASSERT_EQ(1u, g_log.size());
    EXPECT_EQ(5u, g_log[0].wParam);
    EXPECT_EQ(6, g_log[0].lParam);

    MENUODINFO info = Info(101, 0);
    ASSERT_EQ(1, hook.AddOwnerdrawItem(&info));
    EXPECT_NE(0u, TypeOf(101) & MFT_OWNERDRAW);
    EXPECT_EQ((UINT)(Extent("&Open", font).cx + 2), SendMeasure(101));
    EXPECT_EQ(kUntouched, SendMeasure(102));
    Dib dib(200, 50);
    SendDraw(dib, 101, ODT_MENU);
    EXPECT_PIXEL(dib, 100, 30, kBack);
    dib.Fill(kCanvas);
    SendDraw(dib, 102, ODT_MENU);
    EXPECT_TRUE(dib.AllCanvas());
    // Owner-draw messages stay with the hook, whatever they concern.
    SendDraw(dib, 101, ODT_BUTTON);
    EXPECT_TRUE(dib.AllCanvas());
    EXPECT_EQ(0, Logs(WM_DRAWITEM));
    EXPECT_EQ(0, Logs(WM_MEASUREITEM));

    ASSERT_EQ(1, hook.DestroyHook());
    EXPECT_EQ(reinterpret_cast<WNDPROC>(LogProc), ProcOf(window));
    EXPECT_EQ((HANDLE)0, GetPropA(window, "MenuEx2_Ptr_To_Object"));
    EXPECT_EQ(0u, TypeOf(101) & MFT_OWNERDRAW);
    EXPECT_EQ("&Open", TextOf(101));
    SendDraw(dib, 101, ODT_MENU);
    EXPECT_EQ(1, Logs(WM_DRAWITEM));
    EXPECT_TRUE(dib.AllCanvas());
    EXPECT_EQ(kUntouched, SendMeasure(101));
    EXPECT_EQ(1, Logs(WM_MEASUREITEM));
    EXPECT_EQ(0, hook.DestroyHook());

    // The object can be hooked again.
    ASSERT_EQ(1, hook.SetMenuOwnerDrawHook(window, menu));
    EXPECT_EQ(1, hook.DestroyHook());
    EXPECT_EQ(reinterpret_cast<WNDPROC>(LogProc), ProcOf(window));
}

TEST_F(MenuEx2Test, HookProcedureWithoutAnObjectIsTheDefault)
{
    char title[64];
    EXPECT_EQ(DefWindowProcA(window, WM_GETTEXTLENGTH, 0, 0),
              MenuEx2OwnerDrawProc(window, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_EQ(DefWindowProcA(window, WM_GETTEXT, sizeof(title), reinterpret_cast<LPARAM>(title)),
              MenuEx2OwnerDrawProc(window, WM_GETTEXT, sizeof(title), reinterpret_cast<LPARAM>(title)));
    EXPECT_STREQ("menuex2", title);
    EXPECT_EQ(0, MenuEx2OwnerDrawProc(window, WM_USER + 7, 1, 2));
    EXPECT_EQ(0u, g_log.size());
}

TEST_F(MenuEx2Test, AddRefusals)
{
    CMenuEx2 hook;
    MENUODINFO info = Info(101, 0);
    EXPECT_EQ(0, hook.AddOwnerdrawItem(&info));
    EXPECT_EQ(0u, TypeOf(101) & MFT_OWNERDRAW);
    ASSERT_EQ(1, hook.SetMenuOwnerDrawHook(window, menu));
    EXPECT_EQ(0, hook.AddOwnerdrawItem(NULL));
    info.wID = 0;
    EXPECT_EQ(0, hook.AddOwnerdrawItem(&info));
    info.wID = 0xFFFF;
    EXPECT_EQ(0, hook.AddOwnerdrawItem(&info));
    MENUODINFO both = Info(102, MODF_BITMAP | MODF_ICON);
    EXPECT_EQ(0, hook.AddOwnerdrawItem(&both));
    EXPECT_EQ(0u, TypeOf(102) & MFT_OWNERDRAW);
    MENUODINFO missing = Info(999, 0);
    EXPECT_EQ(0, hook.AddOwnerdrawItem(&missing));
    EXPECT_TRUE(Ex2Peek::Ids(hook).empty());
    EXPECT_EQ(kUntouched, SendMeasure(999));
    EXPECT_EQ(0, hook.DeleteOwnerdrawItem(101));
    EXPECT_EQ(1, hook.DestroyHook());
}

TEST_F(MenuEx2Test, DeletingFirstMiddleAndLastEntries)
{
    CMenuEx2 hook;
    ASSERT_EQ(1, hook.SetMenuOwnerDrawHook(window, menu));
    for (unsigned short id = 101; id <= 105; ++id) {
        MENUODINFO info = Info(id, 0);
        ASSERT_EQ(1, hook.AddOwnerdrawItem(&info)) << id;
    }
    EXPECT_EQ((std::vector<unsigned short>{101, 102, 103, 104, 105}), Ex2Peek::Ids(hook));

    auto check = [&](std::vector<unsigned short> kept) {
        EXPECT_EQ(kept, Ex2Peek::Ids(hook));
        for (unsigned short id = 101; id <= 105; ++id) {
            bool in = false;
            for (unsigned short k : kept)
                in |= k == id;
            EXPECT_EQ(in, (TypeOf(id) & MFT_OWNERDRAW) != 0) << "item " << id;
            if (in)
                EXPECT_NE(kUntouched, SendMeasure(id)) << "item " << id;
            else
                EXPECT_EQ(kUntouched, SendMeasure(id)) << "item " << id;
        }
    };
    EXPECT_EQ(1, hook.DeleteOwnerdrawItem(101));
    check({102, 103, 104, 105});
    EXPECT_EQ("&Open", TextOf(101));
    EXPECT_EQ(1, hook.DeleteOwnerdrawItem(103));
    check({102, 104, 105});
    EXPECT_EQ("\x8A\x4A\x82\xAD(&K)", TextOf(103));
    EXPECT_EQ(1, hook.DeleteOwnerdrawItem(105));
    check({102, 104});
    EXPECT_EQ("Exit", TextOf(105));
    EXPECT_EQ(0, hook.DeleteOwnerdrawItem(999));
    EXPECT_EQ(0, hook.DeleteOwnerdrawItem(105));

    // A new entry goes to the tail.
    MENUODINFO again = Info(101, 0);
    ASSERT_EQ(1, hook.AddOwnerdrawItem(&again));
    check({102, 104, 101});
    EXPECT_EQ(1, hook.DeleteOwnerdrawItem(102));
    EXPECT_EQ(1, hook.DeleteOwnerdrawItem(104));
    EXPECT_EQ(1, hook.DeleteOwnerdrawItem(101));
    check({});
    EXPECT_EQ(0, hook.DeleteOwnerdrawItem(101));
    EXPECT_EQ(1, hook.DestroyHook());
}

TEST_F(MenuEx2Test, DestroyHookReleasesEveryEntryWhetherTheWindowExistsOrNot)
{
    HBITMAP bitmap = SolidBitmap(16, 16, kBlue);
    auto addAll = [&](CMenuEx2& hook) {
        std::vector<HANDLE> copies;
        for (unsigned short id = 101; id <= 103; ++id) {
            MENUODINFO info = WithBitmap(Info(id, 0), bitmap);
            EXPECT_EQ(1, hook.AddOwnerdrawItem(&info));
        }
        for (CMenuEx* item : Ex2Peek::Items(hook)) {
            copies.push_back(ExPeek::Info(*item)->hImage);
            EXPECT_EQ(OBJ_BITMAP, (int)GetObjectType(copies.back()));
        }
        EXPECT_EQ(3u, copies.size());
        return copies;
    };

    // Window still there: items switched back, images released.
    CMenuEx2 hook;
    ASSERT_EQ(1, hook.SetMenuOwnerDrawHook(window, menu));
    std::vector<HANDLE> copies = addAll(hook);
    ASSERT_EQ(1, hook.DestroyHook());
    for (HANDLE c : copies)
        EXPECT_EQ(0, (int)GetObjectType(c));
    EXPECT_TRUE(Ex2Peek::Ids(hook).empty());
    EXPECT_EQ("Save &As", TextOf(102));

    // Window gone first: the items are left alone, the entries and images are still released.
    ASSERT_EQ(1, hook.SetMenuOwnerDrawHook(window, menu));
    copies = addAll(hook);
    ASSERT_TRUE(DestroyWindow(window));
    ASSERT_EQ(1, hook.DestroyHook());
    for (HANDLE c : copies)
        EXPECT_EQ(0, (int)GetObjectType(c));
    EXPECT_TRUE(Ex2Peek::Ids(hook).empty());
    EXPECT_NE(0u, TypeOf(101) & MFT_OWNERDRAW);
    EXPECT_EQ(0, hook.DestroyHook());

    // And the object hooks a new window.
    HWND next = CreateWindowExA(0, kLogClass, "next", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
    ASSERT_EQ(1, hook.SetMenuOwnerDrawHook(next, menu));
    EXPECT_EQ(0x1234, SendMessageA(next, WM_USER + 7, 0, 0));
    EXPECT_EQ(1, hook.DestroyHook());
    DestroyWindow(next);
    DeleteObject(bitmap);
}

TEST_F(MenuEx2Test, AnObjectGoingAwayHookedLeavesNoDanglingHook)
{
    {
        CMenuEx2 hook;
        ASSERT_EQ(1, hook.SetMenuOwnerDrawHook(window, menu));
        MENUODINFO info = Info(101, 0);
        ASSERT_EQ(1, hook.AddOwnerdrawItem(&info));
    }
    EXPECT_EQ(reinterpret_cast<WNDPROC>(LogProc), ProcOf(window));
    EXPECT_EQ((HANDLE)0, GetPropA(window, "MenuEx2_Ptr_To_Object"));
    Dib dib(200, 50);
    SendDraw(dib, 101, ODT_MENU);
    EXPECT_EQ(1, Logs(WM_DRAWITEM));
}

// A real popup menu, measured and drawn through the hook, read back from the screen.
namespace {

struct PopupCapture {
    HWND owner;
    Dib* shot;
    int ticks;
    bool done;
};
PopupCapture g_capture;

LRESULT CALLBACK PopupOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == 77 && !g_capture.done) {
        HWND popup = FindWindowA("#32768", NULL);
        ++g_capture.ticks;
        if (popup && IsWindowVisible(popup)) {
            RECT r;
            GetWindowRect(popup, &r);
            int w = r.right - r.left, h = r.bottom - r.top;
            delete g_capture.shot;
            g_capture.shot = new Dib(w, h);
            HDC dc = GetWindowDC(popup);
            BitBlt(g_capture.shot->dc, 0, 0, w, h, dc, 0, 0, SRCCOPY);
            ReleaseDC(popup, dc);
            if (g_capture.shot->Count(kBack) > 0 || g_capture.ticks > 40) {
                g_capture.done = true;
                EndMenu();
            }
        } else if (g_capture.ticks > 100) {
            g_capture.done = true;
            EndMenu();
        }
        return 0;
    }
    return LogProc(window, message, wParam, lParam);
}

// Closes the popup with Escape should the test's own timer never get to it.
unsigned __stdcall Watchdog(void* param)
{
    HANDLE* args = static_cast<HANDLE*>(param);
    if (WaitForSingleObject(args[0], 20000) == WAIT_TIMEOUT)
        PostMessageA(reinterpret_cast<HWND>(args[1]), WM_KEYDOWN, VK_ESCAPE, 0);
    return 0;
}

// Writes the picture as a 24-bit BMP file for a person to look at.
void SaveBmp(const Dib& dib, const std::string& path)
{
    int stride = (dib.w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    memset(&fh, 0, sizeof(fh));
    memset(&ih, 0, sizeof(ih));
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + stride * dib.h;
    ih.biSize = sizeof(ih);
    ih.biWidth = dib.w;
    ih.biHeight = dib.h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    std::string data(reinterpret_cast<char*>(&fh), sizeof(fh));
    data.append(reinterpret_cast<char*>(&ih), sizeof(ih));
    for (int y = dib.h - 1; y >= 0; --y) {
        std::string row(stride, '\0');
        for (int x = 0; x < dib.w; ++x) {
            COLORREF c = dib.At(x, y);
            row[x * 3] = static_cast<char>(GetBValue(c));
            row[x * 3 + 1] = static_cast<char>(GetGValue(c));
            row[x * 3 + 2] = static_cast<char>(GetRValue(c));
        }
        data += row;
    }
    testutil::WriteWholeFile(path, data);
}

}  // namespace

TEST_F(MenuEx2Test, RealPopupDrawnThroughTheHook)
{
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PopupOwnerProc));
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    testutil::PumpPending();

    HBITMAP bitmap = SolidBitmap(16, 16, kBlue);
    CMenuEx2 hook;
    ASSERT_EQ(1, hook.SetMenuOwnerDrawHook(window, menu));
    MENUODINFO open = WithBitmap(Info(101, MODF_EDGE_RAISED), bitmap);
    ASSERT_EQ(1, hook.AddOwnerdrawItem(&open));
    MENUODINFO save = Info(102, MODF_MARGIN);
    save.cxMargin = 2;
    save.cyMargin = 2;
    save.crBack = kSelBack;
    ASSERT_EQ(1, hook.AddOwnerdrawItem(&save));
    DeleteObject(bitmap);

    g_capture = PopupCapture{window, NULL, 0, false};
    HANDLE stop = CreateEventA(NULL, TRUE, FALSE, NULL);
    HANDLE args[2] = {stop, reinterpret_cast<HANDLE>(window)};
    HANDLE watchdog = (HANDLE)_beginthreadex(NULL, 0, Watchdog, args, 0, NULL);
    SetForegroundWindow(window);
    SetTimer(window, 77, 50, NULL);
    TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, 120, 120, 0, window, NULL);
    KillTimer(window, 77);
    SetEvent(stop);
    WaitForSingleObject(watchdog, 30000);
    CloseHandle(watchdog);
    CloseHandle(stop);

    ASSERT_TRUE(g_capture.done) << "the popup was never seen";
    ASSERT_NE((Dib*)0, g_capture.shot);
    const Dib& shot = *g_capture.shot;
    std::string path = TempPath("menuex2_popup.bmp");
    SaveBmp(shot, path);
    printf("popup screenshot: %s (%d x %d)\n", path.c_str(), shot.w, shot.h);

    // Item 101: green background, the blue bitmap inside a raised edge; item 102: red background.
    EXPECT_GT(shot.Count(kBack), 100);
    EXPECT_GT(shot.Count(kSelBack), 100);
    EXPECT_GE(shot.Count(kBlue), 12 * 12);  // the raised edge covers the outer rows and columns
    EXPECT_GT(shot.Count(kText), 10);
    RECT blue = shot.Bounds(kBlue);
    RECT green = shot.Bounds(kBack);
    RECT red = shot.Bounds(kSelBack);
    EXPECT_LT(green.bottom, red.bottom) << "the first item above the second";
    EXPECT_GE(blue.left, green.left);
    EXPECT_LE(blue.right, green.right);
    // The first item is as tall as its measured height: max(text, 16) + 2 x 3 + 2, of which the
    // fill leaves out the vertical margins.
    SIZE textSize = Extent("&Open", font);
    int measured = (textSize.cy > 16 ? textSize.cy : 16) + 6 + 2;
    EXPECT_EQ(measured - 6, green.bottom - green.top);

    EXPECT_EQ(1, hook.DestroyHook());
    delete g_capture.shot;
    g_capture.shot = NULL;
}
