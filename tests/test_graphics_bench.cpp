// Benchmarks of the graphics objects: prints how long the pixel-walking operations take on
// screen-sized images (figures only; the results are checked for size, not for speed).
#include <windows.h>
#include <stdio.h>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "tarvik.h"
#include "gfx_probe.h"
#include "harness_util.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A 24-bit BMP file of w x h with a checkerboard of magenta and grey: w * h / 2 one-pixel runs.
std::string Checkerboard(long w, long h)
{
    std::vector<DWORD> pixels(static_cast<size_t>(w * h));
    for (long y = 0; y < h; ++y)
        for (long x = 0; x < w; ++x)
            pixels[static_cast<size_t>(y * w + x)] = (x + (h - 1 - y)) % 2 != 0 ? 0xFF00FF : 0x808080;
    return gfxtest::BmpFile(w, h, pixels);
}

}  // namespace

TEST(GraphicsBench, CreateBitmapRgnCheckerboard)
{
    const long w = 640, h = 480;
    std::string path = testutil::TempPath("bench_checker.bmp");
    ASSERT_TRUE(testutil::WriteWholeFile(path, Checkerboard(w, h)));
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    HRGN region = CreateBitmapRgn(NULL, path.c_str(), RGB(255, 0, 255));
    QueryPerformanceCounter(&b);
    ASSERT_NE(HRGN(NULL), region);
    RECT box;
    EXPECT_EQ(COMPLEXREGION, GetRgnBox(region, &box));
    EXPECT_EQ(w, box.right);
    EXPECT_EQ(h, box.bottom);
    printf("CreateBitmapRgn %ld x %ld checkerboard (%ld rectangles): %.1f ms\n", w, h, w * h / 2, Milliseconds(a, b));
    DeleteObject(region);
    DeleteFileA(path.c_str());
}

TEST(GraphicsBench, SaveToFileAndTransparentBlt)
{
    const long w = 1024, h = 768;
    CBmp target, source;
    ASSERT_EQ(1, target.Create(NULL, w, h));
    ASSERT_EQ(1, source.Create(NULL, w, h));
    target.Clear(RGB(10, 20, 30));
    source.Clear(RGB(255, 0, 255));
    HDC dc = source.BmpBeginDraw();
    ASSERT_NE(HDC(NULL), dc);
    RECT inner = {100, 100, 900, 600};
    HBRUSH brush = CreateSolidBrush(RGB(0, 200, 0));
    FillRect(dc, &inner, brush);
    DeleteObject(brush);
    source.BmpEndDraw(dc);

    LARGE_INTEGER a, b, c;
    QueryPerformanceCounter(&a);
    EXPECT_EQ(1, target.TransparentBlt(source.GetBmp(), RGB(255, 0, 255)));
    QueryPerformanceCounter(&b);
    std::string path = testutil::TempPath("bench_save.bmp");
    EXPECT_EQ(1, target.SaveToFile(path.c_str()));
    QueryPerformanceCounter(&c);
    std::string file;
    ASSERT_TRUE(testutil::ReadWholeFile(path, file));
    EXPECT_EQ(54u + 1024u * 3u * 768u, file.size());
    printf("TransparentBlt %ld x %ld: %.1f ms\nSaveToFile %ld x %ld (%u bytes): %.1f ms\n", w, h, Milliseconds(a, b), w,
           h, static_cast<unsigned>(file.size()), Milliseconds(b, c));
    DeleteFileA(path.c_str());
}
