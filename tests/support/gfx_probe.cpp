// gfx_probe.cpp - GDI object count for the tests.
#include "gfx_probe.h"

namespace gfxtest {

unsigned long CountGdiObjects()
{
    unsigned long reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported)
        return reported;
    // Wine keeps GDI objects in one table; a handle with only the table index (no generation in the
    // high word) names whatever object lives in that slot.
    unsigned long count = 0;
    for (ULONG_PTR index = 1; index < 0x10000; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)))
            ++count;
    return count;
}

std::string BmpFile(long w, long h, const std::vector<DWORD>& p)
{
    unsigned long row = (static_cast<unsigned long>(w) * 3 + 3) & ~3ul;
    std::string file(54 + row * h, '\0');
    auto put32 = [&](size_t at, unsigned long v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<char>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<unsigned long>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<unsigned long>(w));
    put32(22, static_cast<unsigned long>(h));
    file[26] = 1;
    file[28] = 24;
    put32(34, row * h);
    for (long y = 0; y < h; ++y) {
        size_t at = 54 + static_cast<size_t>(h - 1 - y) * row;
        for (long x = 0; x < w; ++x) {
            DWORD v = p[static_cast<size_t>(y * w + x)];
            file[at + x * 3] = static_cast<char>(v & 0xFF);
            file[at + x * 3 + 1] = static_cast<char>((v >> 8) & 0xFF);
            file[at + x * 3 + 2] = static_cast<char>((v >> 16) & 0xFF);
        }
    }
    return file;
}

BITMAPINFO TopDown32(long w, long h)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace gfxtest
