// Graphics objects: CBmp drawing, cutting, scaling, colour keys and BMP files read back byte for
// byte; CreateBitmapRgn from files on disk and from a resource, checked pixel by pixel; CFonts
// against a logging window; CCursor. No GDI object may be left behind by any of it.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "tarvik.h"
#include "gfx_probe.h"
#include "harness_util.h"

using testutil::ReadWholeFile;
using testutil::TempPath;
using testutil::WriteWholeFile;

namespace {

typedef std::vector<DWORD> Pixels;  // 0x00RRGGBB, top row first

DWORD Rgb(int r, int g, int b)
{
    return (static_cast<DWORD>(r) << 16) | (static_cast<DWORD>(g) << 8) | static_cast<DWORD>(b);
}

COLORREF ToColorRef(DWORD rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

std::string Hex(DWORD v)
{
    char text[16];
    snprintf(text, sizeof text, "%06lX", static_cast<unsigned long>(v));
    return text;
}

// A pattern in which every pixel differs from its neighbours.
Pixels Pattern(long w, long h, int seed = 0)
{
    Pixels p(static_cast<size_t>(w * h));
    for (long y = 0; y < h; ++y)
        for (long x = 0; x < w; ++x)
            p[static_cast<size_t>(y * w + x)] =
                Rgb((x * 40 + 10 + seed) & 0xFF, (y * 50 + 5 + seed * 3) & 0xFF, (x * y * 7 + 3 + seed) & 0xFF);
    return p;
}

// The part of an image (w pixels wide) from left, top up to, not including, right, bottom.
Pixels Crop(const Pixels& image, long w, long left, long top, long right, long bottom)
{
    Pixels part;
    for (long y = top; y < bottom; ++y)
        for (long x = left; x < right; ++x)
            part.push_back(image[static_cast<size_t>(y * w + x)]);
    return part;
}

using gfxtest::TopDown32;

// Reads a bitmap's pixels directly with GDI, independent of the class under test.
Pixels Read(HBITMAP bitmap)
{
    BITMAP bm = {};
    if (!GetObjectA(bitmap, sizeof bm, &bm))
        return Pixels();
    Pixels p(static_cast<size_t>(bm.bmWidth * bm.bmHeight));
    BITMAPINFO info = TopDown32(bm.bmWidth, bm.bmHeight);
    HDC screen = GetDC(NULL);
    int rows = GetDIBits(screen, bitmap, 0, bm.bmHeight, p.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    if (rows != bm.bmHeight)
        return Pixels();
    for (DWORD& v : p)
        v &= 0x00FFFFFF;
    return p;
}

// A display-compatible bitmap holding the pixels, made directly with GDI.
HBITMAP Make(long w, long h, const Pixels& p)
{
    HDC screen = GetDC(NULL);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    BITMAPINFO info = TopDown32(w, h);
    SetDIBits(screen, bitmap, 0, h, p.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    return bitmap;
}

Pixels ReadCBmp(const CBmp& bmp)
{
    return Read(bmp.GetBmp());
}

// Prints the first differing pixel.
::testing::AssertionResult SamePixels(const Pixels& expected, const Pixels& actual, long width)
{
    if (expected.size() != actual.size())
        return ::testing::AssertionFailure() << "sizes " << expected.size() << " and " << actual.size();
    for (size_t i = 0; i < expected.size(); ++i)
        if (expected[i] != actual[i])
            return ::testing::AssertionFailure() << "pixel (" << i % width << ", " << i / width << "): expected "
                                                 << Hex(expected[i]) << ", got " << Hex(actual[i]);
    return ::testing::AssertionSuccess();
}

// The folder beside this program where saved files wait for the outside readers.
std::string SavedFolder()
{
    char exe[MAX_PATH];
    GetModuleFileNameA(NULL, exe, sizeof exe);
    std::string folder(exe);
    folder.erase(folder.rfind('\\') + 1);
    folder += "graphics_saved";
    CreateDirectoryA(folder.c_str(), NULL);
    return folder;
}

// Base of every test: the number of live GDI objects must be the same at the end.
class Gdi : public ::testing::Test {
protected:
    void SetUp() override { before = gfxtest::CountGdiObjects(); }
    void TearDown() override
    {
        unsigned long after = gfxtest::CountGdiObjects();
        // Wine may let go of a cached object of its own meanwhile, so fewer is fine; more is a leak.
        EXPECT_LE(after, before) << "GDI objects left behind by this test";
    }
    unsigned long before = 0;
};

// Warms up what GDI makes once per process, then checks the whole program's balance at the end.
class GdiBalance : public ::testing::Environment {
public:
    void SetUp() override
    {
        CBmp warm;
        warm.Create(NULL, 4, 4);
        warm.Clear(RGB(1, 2, 3));
        HBITMAP part = warm.TrimStretchedImage(NULL, 8, 8);
        DeleteObject(part);
        HBITMAP copy = warm.Copy();
        DeleteObject(copy);
        HDC memory = warm.BmpBeginDraw();
        DrawIcon(memory, 0, 0, LoadIconA(NULL, MAKEINTRESOURCEA(32512)));
        warm.BmpEndDraw(memory);
        std::string path = TempPath("warm.bmp");
        warm.SaveToFile(path.c_str());
        DeleteObject(CreateBitmapRgn(NULL, path.c_str(), 0));
        DeleteFileA(path.c_str());
        // The screen's cached context and the system cursors live as long as the process.
        ReleaseDC(NULL, GetDC(NULL));
        for (int id : {32512, 32514, 32515})
            SetCursor(LoadCursorA(NULL, MAKEINTRESOURCEA(id)));
        SetCursor(LoadCursorA(NULL, MAKEINTRESOURCEA(32512)));
        start = gfxtest::CountGdiObjects();
    }
    void TearDown() override
    {
        unsigned long end = gfxtest::CountGdiObjects();
        EXPECT_LE(end, start) << "GDI objects left behind by the whole program";
    }
    unsigned long start = 0;
};

::testing::Environment* const g_balance = ::testing::AddGlobalTestEnvironment(new GdiBalance);

}  // namespace

// ---------------------------------------------------------------------------------------------
// The counter itself must see a leak, or the balance checks prove nothing.

TEST(GdiCounter, SeesObjectsComeAndGo)
{
    unsigned long base = gfxtest::CountGdiObjects();
    ASSERT_GT(base, 0ul);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HDC dc = CreateCompatibleDC(NULL);
    HRGN region = CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(base + 3, gfxtest::CountGdiObjects());
    DeleteObject(brush);
    DeleteDC(dc);
    DeleteObject(region);
    EXPECT_EQ(base, gfxtest::CountGdiObjects());
}

// ---------------------------------------------------------------------------------------------
// Making, holding and giving back bitmaps

class Bmp : public Gdi {};

TEST_F(Bmp, CreateFormsAndSizes)
{
    CBmp bmp;
    EXPECT_EQ(HBITMAP(NULL), bmp.GetBmp());
    long w = -1, h = -1;
    EXPECT_EQ(0, bmp.GetSize(&w, &h));
    EXPECT_EQ(0, bmp.Destroy());

    ASSERT_EQ(1, bmp.Create(NULL, 7, 3));
    RECT r = {9, 9, 9, 9};
    EXPECT_EQ(1, bmp.GetSize(&r));
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(7, r.right);
    EXPECT_EQ(3, r.bottom);
    EXPECT_EQ(1, bmp.GetSize(&w, NULL));
    EXPECT_EQ(7, w);
    EXPECT_EQ(1, bmp.GetSize(NULL, &h));
    EXPECT_EQ(3, h);
    EXPECT_EQ(0, bmp.GetSize(static_cast<RECT*>(NULL)));
    BITMAP bm = {};
    GetObjectA(bmp.GetBmp(), sizeof bm, &bm);
    HDC screen = CreateDCA("DISPLAY", NULL, NULL, NULL);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), bm.bmBitsPixel) << "not compatible with the display";
    EXPECT_EQ(1, bmp.Destroy());
    EXPECT_EQ(HBITMAP(NULL), static_cast<HBITMAP>(bmp));
    EXPECT_EQ(0, bmp.Destroy());

    // With the caller's context.
    HDC memory = CreateCompatibleDC(screen);
    ASSERT_EQ(1, bmp.Create(memory, 2, 2));
    GetObjectA(bmp.GetBmp(), sizeof bm, &bm);
    EXPECT_EQ(1, bm.bmBitsPixel) << "a fresh memory context holds a monochrome bitmap";
    EXPECT_EQ(1, bmp.Destroy());
    DeleteDC(memory);

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = 5;
    header.biHeight = 4;
    header.biPlanes = 1;
    header.biBitCount = 8;
    EXPECT_EQ(0, bmp.Create(NULL, &header)) << "fewer than 16 bits per pixel";
    EXPECT_EQ(HBITMAP(NULL), bmp.GetBmp());
    header.biBitCount = 24;
    ASSERT_EQ(1, bmp.Create(NULL, &header));
    EXPECT_EQ(1, bmp.GetSize(&w, &h));
    EXPECT_EQ(5, w);
    EXPECT_EQ(4, h);
    EXPECT_EQ(1, bmp.Destroy());

    BITMAPINFO info = TopDown32(6, 2);
    info.bmiHeader.biHeight = 2;
    ASSERT_EQ(1, bmp.Create(screen, &info));
    EXPECT_EQ(1, bmp.GetSize(&w, &h));
    EXPECT_EQ(6, w);
    EXPECT_EQ(2, h);

    // A display-compatible bitmap of a model's size; the pixels are not copied.
    HBITMAP model = Make(3, 5, Pattern(3, 5));
    CBmp same;
    ASSERT_EQ(1, same.CreateCompatibleBmp(model));
    EXPECT_EQ(1, same.GetSize(&w, &h));
    EXPECT_EQ(3, w);
    EXPECT_EQ(5, h);
    EXPECT_EQ(0, same.CreateCompatibleBmp(NULL));
    DeleteObject(model);
    DeleteDC(screen);
}

TEST_F(Bmp, CreateReplacesWithoutDeleting)
{
    CBmp bmp;
    ASSERT_EQ(1, bmp.Create(NULL, 2, 2));
    HBITMAP first = bmp.GetBmp();
    ASSERT_EQ(1, bmp.Create(NULL, 3, 3));
    EXPECT_NE(first, bmp.GetBmp());
    BITMAP bm;
    EXPECT_EQ(static_cast<int>(sizeof bm), GetObjectA(first, sizeof bm, &bm)) << "the old bitmap was deleted";
    DeleteObject(first);
}

TEST_F(Bmp, AssignmentsGiveThePreviousHandleBack)
{
    HBITMAP a = Make(2, 2, Pattern(2, 2));
    HBITMAP b = Make(3, 3, Pattern(3, 3));
    {
        CBmp bmp(a);
        EXPECT_EQ(a, bmp.GetBmp());
        EXPECT_EQ(a, (bmp = b));
        EXPECT_EQ(b, static_cast<HBITMAP>(bmp));
        BITMAP bm;
        EXPECT_EQ(static_cast<int>(sizeof bm), GetObjectA(a, sizeof bm, &bm)) << "the previous handle was deleted";
        DeleteObject(a);
    }
    BITMAP bm;
    EXPECT_EQ(0, GetObjectA(b, sizeof bm, &bm)) << "the destructor did not delete the held bitmap";
}

TEST_F(Bmp, AssignFromContextCopiesTheWholeDevice)
{
    HDC screen = GetDC(NULL);
    long width = GetDeviceCaps(screen, HORZRES);
    long height = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(NULL, screen);

    Pixels pattern = Pattern(8, 6);
    HBITMAP picture = Make(8, 6, pattern);
    HDC memory = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(memory, picture);

    CBmp bmp;
    HBITMAP held = Make(1, 1, Pixels(1, 0));
    bmp = held;
    EXPECT_EQ(HBITMAP(NULL), (bmp = static_cast<HDC>(NULL)));
    EXPECT_EQ(held, bmp.GetBmp()) << "a null context changed the bitmap";
    EXPECT_EQ(held, (bmp = memory));
    DeleteObject(held);
    long w = 0, h = 0;
    ASSERT_EQ(1, bmp.GetSize(&w, &h));
    EXPECT_EQ(width, w);
    EXPECT_EQ(height, h);
    Pixels all = ReadCBmp(bmp);
    ASSERT_EQ(static_cast<size_t>(w * h), all.size());
    Pixels corner = Crop(all, w, 0, 0, 8, 6);
    EXPECT_TRUE(SamePixels(pattern, corner, 8));

    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(picture);
}

TEST_F(Bmp, AssignFromIconTakesItsColourBitmap)
{
    Pixels colour = Pattern(32, 32, 5);
    HBITMAP colourBitmap = Make(32, 32, colour);
    HBITMAP mask = CreateBitmap(32, 32, 1, 1, NULL);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, mask);
    PatBlt(dc, 0, 0, 32, 32, BLACKNESS);
    SelectObject(dc, old);
    DeleteDC(dc);
    ICONINFO ii = {};
    ii.fIcon = TRUE;
    ii.hbmMask = mask;
    ii.hbmColor = colourBitmap;
    HICON icon = CreateIconIndirect(&ii);
    ASSERT_NE(HICON(NULL), icon);
    DeleteObject(mask);
    DeleteObject(colourBitmap);

    CBmp bmp;
    EXPECT_EQ(HBITMAP(NULL), (bmp = icon));
    ASSERT_NE(HBITMAP(NULL), bmp.GetBmp());
    long w = 0, h = 0;
    ASSERT_EQ(1, bmp.GetSize(&w, &h));
    EXPECT_EQ(32, w);
    EXPECT_EQ(32, h);
    EXPECT_TRUE(SamePixels(colour, ReadCBmp(bmp), 32));

    // The held bitmap is our own copy: it outlives the icon.
    HBITMAP kept = bmp.GetBmp();
    DestroyIcon(icon);
    BITMAP bm;
    EXPECT_EQ(static_cast<int>(sizeof bm), GetObjectA(kept, sizeof bm, &bm));

    // An icon that cannot be read changes nothing.
    EXPECT_EQ(HBITMAP(NULL), (bmp = static_cast<HICON>(NULL)));
    EXPECT_EQ(kept, bmp.GetBmp());
}

TEST_F(Bmp, CopyIsTheCallersOwn)
{
    Pixels p = Pattern(5, 3);
    CBmp bmp(Make(5, 3, p));
    CBmp none;
    EXPECT_EQ(HBITMAP(NULL), none.Copy());
    HBITMAP copy = bmp.Copy();
    ASSERT_NE(HBITMAP(NULL), copy);
    EXPECT_NE(bmp.GetBmp(), copy);
    EXPECT_TRUE(SamePixels(p, Read(copy), 5));
    DeleteObject(copy);
    EXPECT_TRUE(SamePixels(p, ReadCBmp(bmp), 5)) << "deleting the copy hurt the original";
}

TEST_F(Bmp, LoadFromResource)
{
    CBmp bmp(GetModuleHandleA(NULL), "GFXSHAPE");
    ASSERT_NE(HBITMAP(NULL), bmp.GetBmp());
    long w = 0, h = 0;
    EXPECT_EQ(1, bmp.GetSize(&w, &h));
    EXPECT_EQ(8, w);
    EXPECT_EQ(4, h);
    HBITMAP first = bmp.GetBmp();
    EXPECT_EQ(0, bmp.Load(GetModuleHandleA(NULL), "NOSUCHBITMAP"));
    EXPECT_EQ(first, bmp.GetBmp());
    EXPECT_EQ(1, bmp.Load(GetModuleHandleA(NULL), "GFXSHAPE"));
    EXPECT_NE(first, bmp.GetBmp());
    DeleteObject(first);  // Load replaced it without deleting it
    Pixels p = ReadCBmp(bmp);
    ASSERT_EQ(32u, p.size());
    EXPECT_EQ(Rgb(255, 0, 255), p[0]);
    EXPECT_EQ(Rgb(20, 120, 200), p[1]);
}

// ---------------------------------------------------------------------------------------------
// Drawing into the bitmap

TEST_F(Bmp, BeginDrawTwiceGivesNullTheSecondTime)
{
    CBmp none;
    EXPECT_EQ(HDC(NULL), none.BmpBeginDraw());
    CBmp bmp;
    ASSERT_EQ(1, bmp.Create(NULL, 4, 3));
    EXPECT_EQ(0, bmp.BmpEndDraw(NULL));
    HDC memory = bmp.BmpBeginDraw();
    ASSERT_NE(HDC(NULL), memory);
    EXPECT_EQ(bmp.GetBmp(), GetCurrentObject(memory, OBJ_BITMAP));
    EXPECT_EQ(HDC(NULL), bmp.BmpBeginDraw());
    RECT all = {0, 0, 4, 3};
    HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
    FillRect(memory, &all, brush);
    SetPixel(memory, 2, 1, RGB(200, 100, 50));
    DeleteObject(brush);
    EXPECT_EQ(1, bmp.BmpEndDraw(memory));
    EXPECT_EQ(0, bmp.BmpEndDraw(memory)) << "not open any more";

    Pixels expected(12, Rgb(10, 20, 30));
    expected[1 * 4 + 2] = Rgb(200, 100, 50);
    EXPECT_TRUE(SamePixels(expected, ReadCBmp(bmp), 4));

    // Open again after the end.
    memory = bmp.BmpBeginDraw();
    ASSERT_NE(HDC(NULL), memory);
    EXPECT_EQ(1, bmp.BmpEndDraw(memory));
}

TEST_F(Bmp, ClearAndDraw)
{
    CBmp bmp;
    EXPECT_EQ(0, bmp.Clear(RGB(1, 2, 3)));
    ASSERT_EQ(1, bmp.Create(NULL, 6, 4));
    EXPECT_EQ(1, bmp.Clear(RGB(9, 8, 7)));
    EXPECT_TRUE(SamePixels(Pixels(24, Rgb(9, 8, 7)), ReadCBmp(bmp), 6));

    // A larger source: only the target's size is copied; at (2, 1) the target's edge cuts it.
    Pixels big = Pattern(10, 10, 1);
    HBITMAP source = Make(10, 10, big);
    EXPECT_EQ(1, bmp.Draw(source, 2, 1));
    Pixels expected(24, Rgb(9, 8, 7));
    for (long y = 1; y < 4; ++y)
        for (long x = 2; x < 6; ++x)
            expected[static_cast<size_t>(y * 6 + x)] = big[static_cast<size_t>((y - 1) * 10 + (x - 2))];
    EXPECT_TRUE(SamePixels(expected, ReadCBmp(bmp), 6));
    DeleteObject(source);

    // A smaller source: its own size.
    Pixels small = Pattern(2, 3, 2);
    source = Make(2, 3, small);
    EXPECT_EQ(1, bmp.Clear(RGB(0, 0, 0)));
    EXPECT_EQ(1, (bmp += source));
    expected.assign(24, 0);
    for (long y = 0; y < 3; ++y)
        for (long x = 0; x < 2; ++x)
            expected[static_cast<size_t>(y * 6 + x)] = small[static_cast<size_t>(y * 2 + x)];
    EXPECT_TRUE(SamePixels(expected, ReadCBmp(bmp), 6));
    EXPECT_EQ(0, bmp.Draw(static_cast<HBITMAP>(NULL), 0, 0));
    DeleteObject(source);
}

TEST_F(Bmp, DrawFromContextAndIcon)
{
    Pixels p = Pattern(5, 5, 3);
    HBITMAP picture = Make(5, 5, p);
    HDC memory = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(memory, picture);

    CBmp bmp;
    ASSERT_EQ(1, bmp.Create(NULL, 5, 5));
    EXPECT_EQ(1, (bmp += memory));
    EXPECT_TRUE(SamePixels(p, ReadCBmp(bmp), 5));
    EXPECT_EQ(1, bmp.Clear(RGB(0, 0, 0)));
    EXPECT_EQ(1, bmp.Draw(memory, 1, 2));
    Pixels expected(25, 0);
    for (long y = 2; y < 5; ++y)
        for (long x = 1; x < 5; ++x)
            expected[static_cast<size_t>(y * 5 + x)] = p[static_cast<size_t>((y - 2) * 5 + (x - 1))];
    EXPECT_TRUE(SamePixels(expected, ReadCBmp(bmp), 5));
    EXPECT_EQ(0, bmp.Draw(static_cast<HDC>(NULL), 0, 0));
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(picture);

    // An icon of one solid colour, fully opaque.
    Pixels colour(32 * 32, Rgb(40, 160, 90));
    HBITMAP colourBitmap = Make(32, 32, colour);
    HBITMAP mask = CreateBitmap(32, 32, 1, 1, NULL);
    HDC dc = CreateCompatibleDC(NULL);
    old = SelectObject(dc, mask);
    PatBlt(dc, 0, 0, 32, 32, BLACKNESS);
    SelectObject(dc, old);
    DeleteDC(dc);
    ICONINFO ii = {TRUE, 0, 0, mask, colourBitmap};
    HICON icon = CreateIconIndirect(&ii);
    ASSERT_NE(HICON(NULL), icon);
    DeleteObject(mask);
    DeleteObject(colourBitmap);

    CBmp canvas;
    ASSERT_EQ(1, canvas.Create(NULL, 40, 36));
    EXPECT_EQ(1, canvas.Clear(RGB(255, 255, 255)));
    EXPECT_EQ(1, canvas.Draw(icon, 4, 2));
    Pixels drawn = ReadCBmp(canvas);
    EXPECT_EQ(Rgb(255, 255, 255), drawn[0]);
    EXPECT_EQ(Rgb(255, 255, 255), drawn[1 * 40 + 4]);
    EXPECT_EQ(Rgb(40, 160, 90), drawn[2 * 40 + 4]);
    EXPECT_EQ(Rgb(40, 160, 90), drawn[33 * 40 + 35]);
    EXPECT_EQ(Rgb(255, 255, 255), drawn[33 * 40 + 36]);
    EXPECT_EQ(1, canvas.Clear(RGB(255, 255, 255)));
    EXPECT_EQ(1, (canvas += icon));
    EXPECT_EQ(Rgb(40, 160, 90), ReadCBmp(canvas)[0]);
    EXPECT_EQ(0, canvas.Draw(static_cast<HICON>(NULL), 0, 0));
    DestroyIcon(icon);
}

// ---------------------------------------------------------------------------------------------
// Colour keys, parts, scaling, inversion and reading pixels

TEST_F(Bmp, TransparentBltSkipsTheKey)
{
    const DWORD magenta = Rgb(255, 0, 255);
    Pixels target = Pattern(6, 4, 7);
    Pixels source = Pattern(6, 4, 11);
    // Magenta in a few places.
    source[0] = magenta;
    source[7] = magenta;
    source[23] = magenta;
    CBmp bmp(Make(6, 4, target));
    HBITMAP from = Make(6, 4, source);
    EXPECT_EQ(1, bmp.TransparentBlt(from, RGB(255, 0, 255)));
    Pixels expected = source;
    for (size_t i : {0u, 7u, 23u})
        expected[i] = target[i];
    EXPECT_TRUE(SamePixels(expected, ReadCBmp(bmp), 6));
    DeleteObject(from);

    // A key whose red and blue differ: the COLORREF's byte order must be turned around.
    const DWORD orange = Rgb(250, 120, 10);
    const DWORD mirror = Rgb(10, 120, 250);
    source = Pattern(6, 4, 13);
    source[2] = orange;
    source[3] = mirror;
    from = Make(6, 4, source);
    HBITMAP previous = (bmp = Make(6, 4, target));  // the previous bitmap comes back to us
    DeleteObject(previous);
    EXPECT_EQ(1, bmp.TransparentBlt(from, RGB(250, 120, 10)));
    expected = source;
    expected[2] = target[2];
    EXPECT_TRUE(SamePixels(expected, ReadCBmp(bmp), 6));
    DeleteObject(from);
}

TEST_F(Bmp, TransparentBltKeyFromTheBottomLeftPixel)
{
    Pixels target = Pattern(5, 3, 1);
    Pixels source = Pattern(5, 3, 2);
    const DWORD key = Rgb(10, 200, 30);
    source[2 * 5 + 0] = key;  // bottom-left
    source[0] = key;
    source[1] = Rgb(30, 200, 10);  // red and blue swapped: not the key
    source[2 * 5 + 3] = key;
    CBmp bmp(Make(5, 3, target));
    HBITMAP from = Make(5, 3, source);
    EXPECT_EQ(1, bmp.TransparentBlt(from, 0xFFFFFFFF));
    Pixels expected = source;
    for (size_t i : {10u, 0u, 13u})
        expected[i] = target[i];
    EXPECT_TRUE(SamePixels(expected, ReadCBmp(bmp), 5));
    EXPECT_EQ(0, bmp.TransparentBlt(NULL, 0));
    CBmp none;
    EXPECT_EQ(0, none.TransparentBlt(from, 0));
    DeleteObject(from);
}

TEST_F(Bmp, TransparentBltOfASmallerOrLargerSource)
{
    // A smaller source covers only its own top-left part; the rest of the target stays.
    Pixels target = Pattern(5, 4, 3);
    Pixels small = Pattern(3, 2, 9);
    small[1] = Rgb(255, 0, 255);
    CBmp bmp(Make(5, 4, target));
    HBITMAP from = Make(3, 2, small);
    EXPECT_EQ(1, bmp.TransparentBlt(from, RGB(255, 0, 255)));
    Pixels expected = target;
    for (long y = 0; y < 2; ++y)
        for (long x = 0; x < 3; ++x)
            if (small[static_cast<size_t>(y * 3 + x)] != Rgb(255, 0, 255))
                expected[static_cast<size_t>(y * 5 + x)] = small[static_cast<size_t>(y * 3 + x)];
    EXPECT_TRUE(SamePixels(expected, ReadCBmp(bmp), 5));

    // With the bottom-left key: the source's own bottom-left pixel.
    HBITMAP previous = (bmp = Make(5, 4, target));
    DeleteObject(previous);
    small[3] = small[5] = Rgb(7, 7, 7);  // bottom row: left and right
    DeleteObject(from);
    from = Make(3, 2, small);
    EXPECT_EQ(1, bmp.TransparentBlt(from, 0xFFFFFFFF));
    expected = target;
    for (long y = 0; y < 2; ++y)
        for (long x = 0; x < 3; ++x)
            if (small[static_cast<size_t>(y * 3 + x)] != Rgb(7, 7, 7))
                expected[static_cast<size_t>(y * 5 + x)] = small[static_cast<size_t>(y * 3 + x)];
    EXPECT_TRUE(SamePixels(expected, ReadCBmp(bmp), 5));
    DeleteObject(from);

    // A larger source: its top-left part, in this bitmap's size.
    Pixels large = Pattern(7, 6, 21);
    from = Make(7, 6, large);
    previous = (bmp = Make(5, 4, target));
    DeleteObject(previous);
    EXPECT_EQ(1, bmp.TransparentBlt(from, RGB(255, 0, 255)));
    expected = Crop(large, 7, 0, 0, 5, 4);
    EXPECT_TRUE(SamePixels(expected, ReadCBmp(bmp), 5));
    DeleteObject(from);
}

TEST_F(Bmp, TrimImageCutsAPart)
{
    Pixels p = Pattern(6, 4);
    CBmp bmp(Make(6, 4, p));
    HBITMAP part = bmp.TrimImage(1, 1, 4, 3);
    ASSERT_NE(HBITMAP(NULL), part);
    Pixels expected = Crop(p, 6, 1, 1, 4, 3);
    CBmp piece(part);
    long w = 0, h = 0;
    ASSERT_EQ(1, piece.GetSize(&w, &h));
    EXPECT_EQ(3, w);
    EXPECT_EQ(2, h);
    EXPECT_TRUE(SamePixels(expected, ReadCBmp(piece), 3));

    RECT r = {2, 0, 6, 4};
    HBITMAP right = bmp.TrimImage(&r);
    ASSERT_NE(HBITMAP(NULL), right);
    expected = Crop(p, 6, 2, 0, 6, 4);
    EXPECT_TRUE(SamePixels(expected, Read(right), 4));
    DeleteObject(right);
    EXPECT_EQ(HBITMAP(NULL), bmp.TrimImage(static_cast<RECT*>(NULL)));
    CBmp none;
    EXPECT_EQ(HBITMAP(NULL), none.TrimImage(0, 0, 1, 1));
    EXPECT_TRUE(SamePixels(p, ReadCBmp(bmp), 6)) << "the source changed";
}

TEST_F(Bmp, TrimStretchedImageScales)
{
    Pixels p = Pattern(3, 2);
    CBmp bmp(Make(3, 2, p));
    HBITMAP twice = bmp.TrimStretchedImage(NULL, 6, 4);
    ASSERT_NE(HBITMAP(NULL), twice);
    Pixels expected;
    for (long y = 0; y < 4; ++y)
        for (long x = 0; x < 6; ++x)
            expected.push_back(p[static_cast<size_t>((y / 2) * 3 + x / 2)]);
    EXPECT_TRUE(SamePixels(expected, Read(twice), 6));
    DeleteObject(twice);

    // The rectangle's right and bottom are the part's width and height.
    Pixels q = Pattern(6, 5, 4);
    HBITMAP previous = (bmp = Make(6, 5, q));
    DeleteObject(previous);
    RECT part = {2, 1, 2, 3};  // from (2, 1), 2 wide, 3 high
    HBITMAP scaled = bmp.TrimStretchedImage(&part, 4, 6);
    ASSERT_NE(HBITMAP(NULL), scaled);
    expected.clear();
    for (long y = 0; y < 6; ++y)
        for (long x = 0; x < 4; ++x)
            expected.push_back(q[static_cast<size_t>((1 + y / 2) * 6 + 2 + x / 2)]);
    EXPECT_TRUE(SamePixels(expected, Read(scaled), 4));
    DeleteObject(scaled);

    // Same size through the explicit form: a plain copy of the part.
    HBITMAP same = bmp.TrimStretchedImage(1, 1, 3, 2, 3, 2);
    expected = Crop(q, 6, 1, 1, 4, 3);
    EXPECT_TRUE(SamePixels(expected, Read(same), 3));
    DeleteObject(same);
    CBmp none;
    EXPECT_EQ(HBITMAP(NULL), none.TrimStretchedImage(NULL, 2, 2));
}

TEST_F(Bmp, InvertFlipsEveryBit)
{
    Pixels p = Pattern(7, 3);
    CBmp bmp(Make(7, 3, p));
    EXPECT_NE(0, bmp.Invert());
    Pixels expected = p;
    for (DWORD& v : expected)
        v ^= 0x00FFFFFF;
    EXPECT_TRUE(SamePixels(expected, ReadCBmp(bmp), 7));
    EXPECT_NE(0, bmp.Invert());
    EXPECT_TRUE(SamePixels(p, ReadCBmp(bmp), 7));
    CBmp none;
    EXPECT_EQ(0, none.Invert());
}

TEST_F(Bmp, GetImageInTheCallersFormat)
{
    Pixels p = Pattern(5, 3);
    CBmp bmp(Make(5, 3, p));

    // 24 bits, rows of 16 bytes (15 and one of padding), bottom row first.
    std::vector<unsigned char> bits(16 * 3 + 16, 0xEE);
    EXPECT_EQ(3, bmp.GetImage(NULL, 5, 3, 24, bits.data()));
    for (long y = 0; y < 3; ++y)
        for (long x = 0; x < 5; ++x) {
            const unsigned char* at = &bits[static_cast<size_t>((2 - y) * 16 + x * 3)];
            EXPECT_EQ(p[static_cast<size_t>(y * 5 + x)], Rgb(at[2], at[1], at[0])) << x << ", " << y;
        }
    EXPECT_EQ(0xEE, bits[48]) << "written past the rows";

    // A header of fewer rows than the bitmap: GDI lines the image up at the top, bottom row first.
    std::vector<DWORD> two(5 * 2 + 1, 0xABABABAB);
    HDC screen = CreateDCA("DISPLAY", NULL, NULL, NULL);
    EXPECT_EQ(2, bmp.GetImage(screen, 5, 2, 32, two.data()));
    DeleteDC(screen);
    for (long x = 0; x < 5; ++x) {
        EXPECT_EQ(p[static_cast<size_t>(1 * 5 + x)], two[static_cast<size_t>(x)] & 0xFFFFFF);
        EXPECT_EQ(p[static_cast<size_t>(0 * 5 + x)], two[static_cast<size_t>(5 + x)] & 0xFFFFFF);
    }
    EXPECT_EQ(0xABABABABul, two[10]);

    // 8 bits per pixel with a colour table.
    std::vector<unsigned char> indexed(8 * 3, 0);
    EXPECT_EQ(3, bmp.GetImage(NULL, 5, 3, 8, indexed.data()));

    // The caller's own record, top-down.
    BITMAPINFO info = TopDown32(5, 3);
    Pixels got(15, 0);
    EXPECT_EQ(3, bmp.GetImage(NULL, &info, got.data()));
    for (DWORD& v : got)
        v &= 0xFFFFFF;
    EXPECT_TRUE(SamePixels(p, got, 5));
    CBmp none;
    EXPECT_EQ(0, none.GetImage(NULL, &info, got.data()));
    EXPECT_EQ(0, none.GetImage(NULL, 5, 3, 24, bits.data()));
}

// ---------------------------------------------------------------------------------------------
// BMP files

namespace {

unsigned long U32(const std::string& f, size_t at)
{
    unsigned long v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(f[at + i]);
    return v;
}

unsigned int U16(const std::string& f, size_t at)
{
    return static_cast<unsigned char>(f[at]) | (static_cast<unsigned char>(f[at + 1]) << 8);
}

// Checks a saved file field by field and pixel by pixel against what was drawn.
void ExpectBmpFile(const std::string& file, long w, long h, const Pixels& p)
{
    unsigned long row = (static_cast<unsigned long>(w) * 3 + 3) & ~3ul;
    ASSERT_EQ(54 + row * h, file.size());
    EXPECT_EQ("BM", file.substr(0, 2));
    EXPECT_EQ(file.size(), U32(file, 2)) << "bfSize";
    EXPECT_EQ(0u, U16(file, 6));
    EXPECT_EQ(0u, U16(file, 8));
    EXPECT_EQ(54ul, U32(file, 10)) << "bfOffBits";
    EXPECT_EQ(40ul, U32(file, 14));
    EXPECT_EQ(static_cast<unsigned long>(w), U32(file, 18));
    EXPECT_EQ(static_cast<unsigned long>(h), U32(file, 22));
    EXPECT_EQ(1u, U16(file, 26));
    EXPECT_EQ(24u, U16(file, 28));
    EXPECT_EQ(0ul, U32(file, 30));
    EXPECT_EQ(row * h, U32(file, 34));
    EXPECT_EQ(0ul, U32(file, 46));
    EXPECT_EQ(0ul, U32(file, 50));
    for (long y = 0; y < h; ++y) {
        size_t at = 54 + static_cast<size_t>(h - 1 - y) * row;
        for (long x = 0; x < w; ++x) {
            DWORD v = Rgb(static_cast<unsigned char>(file[at + x * 3 + 2]),
                          static_cast<unsigned char>(file[at + x * 3 + 1]), static_cast<unsigned char>(file[at + x * 3]));
            EXPECT_EQ(Hex(p[static_cast<size_t>(y * w + x)]), Hex(v)) << "pixel " << x << ", " << y;
        }
        for (size_t pad = at + w * 3; pad < at + row; ++pad)
            EXPECT_EQ(0, file[pad]) << "padding of row " << y;
    }
}

// Leaves the expected pixels beside a saved file for the outside readers.
void WriteExpectation(const std::string& bmpPath, long w, long h, const Pixels& p)
{
    std::string text = std::to_string(w) + " " + std::to_string(h) + "\n";
    for (long y = 0; y < h; ++y) {
        for (long x = 0; x < w; ++x)
            text += Hex(p[static_cast<size_t>(y * w + x)]) + (x + 1 < w ? " " : "\n");
    }
    ASSERT_TRUE(WriteWholeFile(bmpPath.substr(0, bmpPath.size() - 4) + ".txt", text));
}

// Draws the pattern through the class's own drawing context, pixel by pixel.
void DrawPattern(CBmp& bmp, long w, long h, const Pixels& p)
{
    ASSERT_EQ(1, bmp.Create(NULL, w, h));
    HDC dc = bmp.BmpBeginDraw();
    ASSERT_NE(HDC(NULL), dc);
    for (long y = 0; y < h; ++y)
        for (long x = 0; x < w; ++x)
            SetPixelV(dc, x, y, ToColorRef(p[static_cast<size_t>(y * w + x)]));
    EXPECT_EQ(1, bmp.BmpEndDraw(dc));
}

class SaveBmp : public Gdi {
protected:
    void SaveCase(const char* name, long w, long h, const std::string& oldContents)
    {
        Pixels p = Pattern(w, h, w * 10 + h);
        CBmp bmp;
        DrawPattern(bmp, w, h, p);
        std::string path = SavedFolder() + "\\" + name;
        DeleteFileA(path.c_str());
        DeleteFileA((path.substr(0, path.size() - 4) + ".txt").c_str());
        if (!oldContents.empty()) {
            ASSERT_TRUE(WriteWholeFile(path, oldContents));
        }
        ASSERT_EQ(1, bmp.SaveToFile(path.c_str()));
        std::string file;
        ASSERT_TRUE(ReadWholeFile(path, file));
        ExpectBmpFile(file, w, h, p);
        WriteExpectation(path, w, h, p);
    }
};

}  // namespace

TEST_F(SaveBmp, PaddedRows5x2)
{
    SaveCase("pad_5x2.bmp", 5, 2, "");
    std::string file;
    ASSERT_TRUE(ReadWholeFile(SavedFolder() + "\\pad_5x2.bmp", file));
    EXPECT_EQ(86u, file.size());
    EXPECT_EQ(86ul, U32(file, 2));
    EXPECT_EQ(32ul, U32(file, 34));
}

TEST_F(SaveBmp, UnpaddedRows4x4)
{
    SaveCase("even_4x4.bmp", 4, 4, "");
    std::string file;
    ASSERT_TRUE(ReadWholeFile(SavedFolder() + "\\even_4x4.bmp", file));
    EXPECT_EQ(102u, file.size());
}

TEST_F(SaveBmp, LongerOldFileIsCut)
{
    SaveCase("cut_5x2.bmp", 5, 2, std::string(5000, 'Z'));
    std::string file;
    ASSERT_TRUE(ReadWholeFile(SavedFolder() + "\\cut_5x2.bmp", file));
    EXPECT_EQ(86u, file.size());
}

TEST_F(SaveBmp, LargerImageWithOddWidth)
{
    SaveCase("odd_37x23.bmp", 37, 23, "");
}

TEST_F(SaveBmp, NothingWrittenWhenItCannotBe)
{
    CBmp none;
    std::string path = TempPath("none.bmp");
    DeleteFileA(path.c_str());
    EXPECT_EQ(0, none.SaveToFile(path.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));

    CBmp bmp;
    ASSERT_EQ(1, bmp.Create(NULL, 2, 2));
    std::string missing = TempPath("no_such_folder\\x.bmp");
    EXPECT_EQ(0, bmp.SaveToFile(missing.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(missing.c_str()));

    // Held open without sharing by someone else: not opened, nothing changed.
    ASSERT_TRUE(WriteWholeFile(path, "keep"));
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0, bmp.SaveToFile(path.c_str()));
    CloseHandle(held);
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(path, contents));
    EXPECT_EQ("keep", contents);
    DeleteFileA(path.c_str());
}

// ---------------------------------------------------------------------------------------------
// Regions from bitmaps

namespace {

// The region's bounding box as "left,top-right,bottom".
std::string Box(HRGN region)
{
    RECT b = {};
    GetRgnBox(region, &b);
    return std::to_string(b.left) + "," + std::to_string(b.top) + "-" + std::to_string(b.right) + "," +
           std::to_string(b.bottom);
}

std::vector<RECT> RegionRects(HRGN region)
{
    std::vector<RECT> rects;
    DWORD size = GetRegionData(region, 0, NULL);
    if (!size)
        return rects;
    std::vector<char> data(size);
    RGNDATA* rd = reinterpret_cast<RGNDATA*>(data.data());
    if (GetRegionData(region, size, rd) != size)
        return rects;
    const RECT* r = reinterpret_cast<const RECT*>(rd->Buffer);
    rects.assign(r, r + rd->rdh.nCount);
    return rects;
}

class Region : public Gdi {
protected:
    std::string Save(const char* name, long w, long h, const Pixels& p)
    {
        std::string path = TempPath(name);
        EXPECT_TRUE(WriteWholeFile(path, gfxtest::BmpFile(w, h, p)));
        return path;
    }
    // Every pixel of the image: inside the region exactly when it is not transparent; nothing outside it.
    void ExpectMatches(HRGN region, long w, long h, const Pixels& p, DWORD transparent)
    {
        int wrong = 0;
        for (long y = -1; y <= h; ++y)
            for (long x = -1; x <= w; ++x) {
                bool inImage = x >= 0 && y >= 0 && x < w && y < h;
                bool expect = inImage && p[static_cast<size_t>(y * w + x)] != transparent;
                if ((PtInRegion(region, x, y) != FALSE) != expect && ++wrong <= 5)
                    ADD_FAILURE() << "pixel " << x << ", " << y << " should be " << (expect ? "in" : "out");
            }
        EXPECT_EQ(0, wrong);
    }
};

}  // namespace

TEST_F(Region, AllKeyGivesAnEmptyRegion)
{
    const DWORD key = Rgb(255, 0, 255);
    Pixels p(6, key);
    std::string path = Save("allkey.bmp", 3, 2, p);
    HRGN region = CreateBitmapRgn(NULL, path.c_str(), RGB(255, 0, 255));
    ASSERT_NE(HRGN(NULL), region);
    RECT box;
    EXPECT_EQ(NULLREGION, GetRgnBox(region, &box));
    DeleteObject(region);
}

TEST_F(Region, NoKeyGivesTheFullRectangle)
{
    Pixels p = Pattern(4, 3);
    std::string path = Save("nokey.bmp", 4, 3, p);
    HRGN region = CreateBitmapRgn(NULL, path.c_str(), RGB(255, 0, 255));
    ASSERT_NE(HRGN(NULL), region);
    RECT box;
    EXPECT_EQ(SIMPLEREGION, GetRgnBox(region, &box));
    EXPECT_EQ("0,0-4,3", Box(region));
    ExpectMatches(region, 4, 3, p, Rgb(255, 0, 255));
    DeleteObject(region);
}

TEST_F(Region, RunsOfOneRow)
{
    const DWORD k = Rgb(255, 0, 255), o = Rgb(0, 128, 0);
    Pixels p = {k, o, o, k, o};
    std::string path = Save("runs.bmp", 5, 1, p);
    HRGN region = CreateBitmapRgn(NULL, path.c_str(), RGB(255, 0, 255));
    ASSERT_NE(HRGN(NULL), region);
    std::vector<RECT> rects = RegionRects(region);
    ASSERT_EQ(2u, rects.size());
    EXPECT_EQ(1, rects[0].left);
    EXPECT_EQ(0, rects[0].top);
    EXPECT_EQ(3, rects[0].right);
    EXPECT_EQ(1, rects[0].bottom);
    EXPECT_EQ(4, rects[1].left);
    EXPECT_EQ(0, rects[1].top);
    EXPECT_EQ(5, rects[1].right);
    EXPECT_EQ(1, rects[1].bottom);
    ExpectMatches(region, 5, 1, p, k);
    DeleteObject(region);
}

TEST_F(Region, RowsRunTopToBottom)
{
    const DWORD k = Rgb(0, 0, 0), o = Rgb(200, 10, 10);
    Pixels p = {o, k, k, k,   // top row: one pixel at the left
                k, k, o, o,   // middle: two at the right
                o, o, o, k};  // bottom
    std::string path = Save("rows.bmp", 4, 3, p);
    HRGN region = CreateBitmapRgn(NULL, path.c_str(), RGB(0, 0, 0));
    ASSERT_NE(HRGN(NULL), region);
    ExpectMatches(region, 4, 3, p, k);
    EXPECT_EQ("0,0-4,3", Box(region));
    DeleteObject(region);
}

TEST_F(Region, KeyFromTheBottomLeftPixel)
{
    const DWORD key = Rgb(10, 200, 30);      // red and blue differ
    const DWORD mirror = Rgb(30, 200, 10);   // the same bytes the other way round
    const DWORD o = Rgb(90, 90, 90);
    Pixels p = {key, mirror, o,     key,
                o,   key,    mirror, o,
                key, o,      key,    mirror};  // bottom-left is the key
    std::string path = Save("corner.bmp", 4, 3, p);
    HRGN region = CreateBitmapRgn(NULL, path.c_str(), 0xFFFFFFFF);
    ASSERT_NE(HRGN(NULL), region);
    ExpectMatches(region, 4, 3, p, key);
    EXPECT_FALSE(PtInRegion(region, 0, 2)) << "the bottom-left pixel itself";
    EXPECT_TRUE(PtInRegion(region, 1, 0)) << "the mirrored colour";
    DeleteObject(region);

    // The same image with the explicit COLORREF of the mirror colour.
    region = CreateBitmapRgn(NULL, path.c_str(), RGB(30, 200, 10));
    ASSERT_NE(HRGN(NULL), region);
    ExpectMatches(region, 4, 3, p, mirror);
    DeleteObject(region);
}

TEST_F(Region, MoreThan2000Rectangles)
{
    // A checkerboard: every opaque pixel is a run of its own; 150 x 60 gives 4500 rectangles.
    const long w = 150, h = 60;
    const DWORD k = Rgb(255, 0, 255);
    Pixels p(static_cast<size_t>(w * h));
    for (long y = 0; y < h; ++y)
        for (long x = 0; x < w; ++x)
            p[static_cast<size_t>(y * w + x)] = ((x + y) % 2) ? k : Rgb(x & 0xFF, y * 4, 77);
    // A few longer runs, across the batch boundaries too.
    for (long x = 10; x < 40; ++x)
        p[static_cast<size_t>(27 * w + x)] = Rgb(1, 2, 3);
    std::string path = Save("checker.bmp", w, h, p);
    HRGN region = CreateBitmapRgn(NULL, path.c_str(), RGB(255, 0, 255));
    ASSERT_NE(HRGN(NULL), region);
    ExpectMatches(region, w, h, p, k);
    EXPECT_GT(RegionRects(region).size(), 2000u);
    RECT box;
    EXPECT_EQ(COMPLEXREGION, GetRgnBox(region, &box));
    EXPECT_EQ("0,0-" + std::to_string(w) + "," + std::to_string(h), Box(region));
    DeleteObject(region);

    // Exactly 2000 rectangles: one full batch and an empty last one.
    const long w2 = 80, h2 = 50;  // 40 runs per row
    Pixels q(static_cast<size_t>(w2 * h2));
    for (long y = 0; y < h2; ++y)
        for (long x = 0; x < w2; ++x)
            q[static_cast<size_t>(y * w2 + x)] = (x % 2) ? k : Rgb(5, 5, 5);
    path = Save("exact2000.bmp", w2, h2, q);
    region = CreateBitmapRgn(NULL, path.c_str(), RGB(255, 0, 255));
    ASSERT_NE(HRGN(NULL), region);
    ExpectMatches(region, w2, h2, q, k);
    DeleteObject(region);
}

TEST_F(Region, FromAResourceAndFailures)
{
    HRGN region = CreateBitmapRgn(GetModuleHandleA(NULL), "GFXSHAPE", RGB(255, 0, 255));
    ASSERT_NE(HRGN(NULL), region);
    const DWORD K = Rgb(255, 0, 255), O = Rgb(20, 120, 200);
    Pixels shape = {K, O, O, K, O, O, O, K,  //
                    O, O, O, O, O, O, O, O,  //
                    K, K, K, K, K, K, K, K,  //
                    O, K, O, K, O, K, O, K};
    ExpectMatches(region, 8, 4, shape, K);
    DeleteObject(region);

    // Without an instance a name that is not a file is one of the system's own bitmaps.
    HBITMAP system = LoadBitmapA(NULL, MAKEINTRESOURCEA(32754));  // OBM_CLOSE
    ASSERT_NE(HBITMAP(NULL), system);
    Pixels close = Read(system);
    BITMAP bm;
    GetObjectA(system, sizeof bm, &bm);
    DeleteObject(system);
    region = CreateBitmapRgn(NULL, MAKEINTRESOURCEA(32754), 0xFFFFFFFF);
    ASSERT_NE(HRGN(NULL), region);
    ExpectMatches(region, bm.bmWidth, bm.bmHeight, close, close[static_cast<size_t>((bm.bmHeight - 1) * bm.bmWidth)]);
    DeleteObject(region);

    EXPECT_EQ(HRGN(NULL), CreateBitmapRgn(GetModuleHandleA(NULL), "NOSUCHBITMAP", 0));
    EXPECT_EQ(HRGN(NULL), CreateBitmapRgn(NULL, TempPath("missing.bmp").c_str(), 0));
    std::string junk = TempPath("junk.bmp");
    ASSERT_TRUE(WriteWholeFile(junk, "this is not a bitmap"));
    EXPECT_EQ(HRGN(NULL), CreateBitmapRgn(NULL, junk.c_str(), 0));
}

TEST_F(Region, ShapesARealWindow)
{
    const long w = 20, h = 10;
    const DWORD k = Rgb(255, 0, 255);
    Pixels p(static_cast<size_t>(w * h), k);
    for (long y = 2; y < 8; ++y)
        for (long x = 3; x < 17; ++x)
            p[static_cast<size_t>(y * w + x)] = Rgb(0, 0, 255);
    std::string path = Save("window.bmp", w, h, p);
    HRGN region = CreateBitmapRgn(NULL, path.c_str(), RGB(255, 0, 255));
    ASSERT_NE(HRGN(NULL), region);
    HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, w, h, NULL, NULL, NULL, NULL);
    ASSERT_NE(HWND(NULL), window);
    ASSERT_NE(0, SetWindowRgn(window, region, FALSE));  // the window owns the region now
    HRGN check = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(SIMPLEREGION, GetWindowRgn(window, check));
    EXPECT_EQ("3,2-17,8", Box(check));
    DeleteObject(check);
    DestroyWindow(window);
}

// ---------------------------------------------------------------------------------------------
// Fonts

namespace {

std::vector<std::pair<WPARAM, LPARAM>> g_setFont;

LRESULT CALLBACK FontLoggingProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_SETFONT) {
        g_setFont.push_back(std::make_pair(wp, lp));
        return 0x5E7F;
    }
    return DefWindowProcA(w, m, wp, lp);
}

LOGFONTA Describe(HFONT font)
{
    LOGFONTA lf = {};
    GetObjectA(font, sizeof lf, &lf);
    return lf;
}

// The fourteen values of a font description, decoded in the order CFonts::Create takes them.
std::string Fields(const LOGFONTA& f)
{
    char s[200];
    snprintf(s, sizeof s,
             "height %ld width %ld escapement %ld orientation %ld weight %ld italic %d underline %d strikeout %d "
             "charset %d out %d clip %d quality %d pitch+family 0x%x face \"%s\"",
             f.lfHeight, f.lfWidth, f.lfEscapement, f.lfOrientation, f.lfWeight, f.lfItalic, f.lfUnderline,
             f.lfStrikeOut, f.lfCharSet, f.lfOutPrecision, f.lfClipPrecision, f.lfQuality, f.lfPitchAndFamily,
             f.lfFaceName);
    return s;
}

class Fonts : public Gdi {};

}  // namespace

TEST_F(Fonts, CreateQuickIsShiftJis)
{
    CFonts font;
    EXPECT_EQ(HFONT(NULL), font.GetFont());
    EXPECT_EQ(0, font.Destroy());
    ASSERT_EQ(1, font.CreateQuick(-14, FW_BOLD, "MS Gothic"));
    LOGFONTA lf = Describe(font.GetFont());
    EXPECT_EQ(-14, lf.lfHeight);
    EXPECT_EQ(0, lf.lfWidth);
    EXPECT_EQ(FW_BOLD, lf.lfWeight);
    EXPECT_EQ(0, lf.lfItalic);
    EXPECT_EQ(SHIFTJIS_CHARSET, lf.lfCharSet);
    EXPECT_EQ(OUT_STRING_PRECIS, lf.lfOutPrecision);
    EXPECT_EQ(0, lf.lfClipPrecision);
    EXPECT_EQ(0, lf.lfQuality);
    EXPECT_EQ(0, lf.lfPitchAndFamily);
    EXPECT_STREQ("MS Gothic", lf.lfFaceName);
    EXPECT_EQ(1, font.Destroy());
    EXPECT_EQ(HFONT(NULL), font.GetFont());

    ASSERT_EQ(1, font.CreateQuickStyle(20, FW_NORMAL, TRUE, TRUE, TRUE, "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e"));
    lf = Describe(font.GetFont());
    EXPECT_EQ(20, lf.lfHeight);
    EXPECT_EQ(1, lf.lfItalic);
    EXPECT_EQ(1, lf.lfUnderline);
    EXPECT_EQ(1, lf.lfStrikeOut);
    EXPECT_EQ(SHIFTJIS_CHARSET, lf.lfCharSet);
    EXPECT_STREQ("\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e", lf.lfFaceName);  // "ＭＳ ゴシック"
    EXPECT_EQ(1, font.Destroy());
}

TEST_F(Fonts, CreateTakesTheFourteenValuesInOrder)
{
    CFonts font;
    ASSERT_EQ(1, font.Create(11, 12, 130, 140, 600, 1, 0, 1, ANSI_CHARSET, OUT_TT_PRECIS, CLIP_STROKE_PRECIS,
                             NONANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New"));
    const LOGFONTA want = {11, 12, 130, 140, 600, 1, 0, 1, ANSI_CHARSET, OUT_TT_PRECIS, CLIP_STROKE_PRECIS,
                           NONANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New"};
    LOGFONTA lf = Describe(font.GetFont());
    EXPECT_EQ(Fields(want), Fields(lf));
    HFONT first = font.GetFont();

    LOGFONTA mine = {};
    mine.lfHeight = 9;
    mine.lfWeight = 300;
    mine.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpyA(mine.lfFaceName, "Tahoma");
    ASSERT_EQ(1, font.CreateIndirect(&mine));
    EXPECT_NE(first, font.GetFont());
    EXPECT_EQ(OBJ_FONT, GetObjectType(first)) << "the old font was deleted";
    lf = Describe(font.GetFont());
    EXPECT_EQ(9, lf.lfHeight);
    EXPECT_EQ(300, lf.lfWeight);
    EXPECT_STREQ("Tahoma", lf.lfFaceName);
    EXPECT_EQ(0, font.CreateIndirect(NULL));
    DeleteObject(first);
    EXPECT_EQ(1, font.Destroy());
}

TEST_F(Fonts, SetWindowFontSendsWmSetFont)
{
    testutil::TestWindowClass("FontLoggingTest", FontLoggingProc, NULL);
    HWND window = CreateWindowA("FontLoggingTest", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ASSERT_NE(HWND(NULL), window);
    g_setFont.clear();
    {
        CFonts font;
        ASSERT_EQ(1, font.CreateQuick(12, FW_NORMAL, "MS Gothic"));
        EXPECT_EQ(0x5E7F, font.SetWindowFont(window));
        ASSERT_EQ(1u, g_setFont.size());
        EXPECT_EQ(reinterpret_cast<WPARAM>(font.GetFont()), g_setFont[0].first);
        EXPECT_EQ(TRUE, g_setFont[0].second) << "redraw";
        // The same through a window wrapper.
        CForm form(window);
        EXPECT_EQ(0x5E7F, font.SetWindowFont(&form));
        ASSERT_EQ(2u, g_setFont.size());
        EXPECT_EQ(reinterpret_cast<WPARAM>(font.GetFont()), g_setFont[1].first);
        EXPECT_EQ(TRUE, g_setFont[1].second);
        HFONT kept = font.GetFont();
        // The destructor leaves the font alone.
        CFonts* borrowed = new CFonts(kept);
        delete borrowed;
        EXPECT_EQ(OBJ_FONT, GetObjectType(kept));
        EXPECT_EQ(1, font.Destroy());
    }
    DestroyWindow(window);

    // On a real control the font sticks.
    HWND label = CreateWindowA("STATIC", "x", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    CFonts font;
    ASSERT_EQ(1, font.CreateQuick(12, FW_NORMAL, "MS Gothic"));
    font.SetWindowFont(label);
    EXPECT_EQ(reinterpret_cast<LRESULT>(font.GetFont()), SendMessageA(label, WM_GETFONT, 0, 0));
    DestroyWindow(label);
    EXPECT_EQ(1, font.Destroy());
}

// ---------------------------------------------------------------------------------------------
// Cursors

TEST(Cursor, ShowsForTheBlockThenPutsThePreviousBack)
{
    HCURSOR arrow = LoadCursorA(NULL, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    HCURSOR wait = LoadCursorA(NULL, MAKEINTRESOURCEA(32514));   // IDC_WAIT
    HCURSOR cross = LoadCursorA(NULL, MAKEINTRESOURCEA(32515));  // IDC_CROSS
    SetCursor(arrow);
    {
        CCursor busy;
        EXPECT_EQ(1, busy.SetCursor(32514u));
        EXPECT_EQ(wait, GetCursor());
    }
    EXPECT_EQ(arrow, GetCursor());

    {
        CCursor named;
        EXPECT_EQ(1, named.SetCursor(MAKEINTRESOURCEA(32515)));
        EXPECT_EQ(cross, GetCursor());
        EXPECT_EQ(1, named.Destroy());
        EXPECT_EQ(arrow, GetCursor());
        // Both handles stay recorded: a later call puts the same cursor back again.
        SetCursor(wait);
        EXPECT_EQ(1, named.Destroy());
        EXPECT_EQ(arrow, GetCursor());
    }

    CCursor odd;
    EXPECT_EQ(0, odd.Destroy());
    EXPECT_EQ(0, odd.SetCursor(1u)) << "no such system cursor";
    EXPECT_EQ(0, odd.SetCursor(static_cast<const char*>(NULL)));
    EXPECT_EQ(arrow, GetCursor());
    // Only the low 16 bits name the cursor.
    EXPECT_EQ(1, odd.SetCursor(0x10000u | 32515u));
    EXPECT_EQ(cross, GetCursor());
    EXPECT_EQ(1, odd.Destroy());
    EXPECT_EQ(arrow, GetCursor());
}
