// graphics.cpp - CBmp, CFonts, CCursor and CreateBitmapRgn.
#include <windows.h>
#include <stdlib.h>
#include <string.h>
#include <memory>

#include "graphics.h"
#include "filer.h"
#include "form.h"

namespace {

HDC OpenDisplay()
{
    return CreateDCA("DISPLAY", NULL, NULL, NULL);
}

// The caller's context, or a display context of our own for the length of one operation.
class ContextOrDisplay {
public:
    explicit ContextOrDisplay(HDC given) : m_dc(given), m_own(NULL)
    {
        if (!m_dc)
            m_dc = m_own = OpenDisplay();
    }
    ~ContextOrDisplay()
    {
        if (m_own)
            DeleteDC(m_own);
    }
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
    HDC m_own;
};

// A GDI object deleted at the end of the scope.
class ObjectScope {
public:
    explicit ObjectScope(HGDIOBJ object) : m_object(object) {}
    ~ObjectScope()
    {
        if (m_object)
            DeleteObject(m_object);
    }

private:
    HGDIOBJ m_object;
};

// A memory context compatible with the given one, with a bitmap selected; deselects and deletes it.
class MemoryContext {
public:
    MemoryContext(HDC model, HBITMAP bitmap) : m_dc(NULL), m_previous(NULL)
    {
        m_dc = CreateCompatibleDC(model);
        if (!m_dc)
            return;
        m_previous = SelectObject(m_dc, bitmap);
        if (!m_previous || m_previous == HGDI_ERROR) {
            DeleteDC(m_dc);
            m_dc = NULL;
            m_previous = NULL;
        }
    }
    ~MemoryContext()
    {
        if (m_dc) {
            SelectObject(m_dc, m_previous);
            DeleteDC(m_dc);
        }
    }
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

int BitmapSize(HBITMAP bitmap, long* width, long* height)
{
    BITMAP info;
    if (!bitmap || GetObjectA(bitmap, sizeof info, &info) != sizeof info)
        return 0;
    *width = info.bmWidth;
    *height = info.bmHeight;
    return 1;
}

// COLORREF 0x00BBGGRR in the order of a 32-bit DIB pixel, 0x00RRGGBB.
unsigned long ColorToPixel(COLORREF color)
{
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

// A BITMAPINFO with room for the largest colour table a query may write behind the header.
struct InfoWithTable {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

BITMAPINFO* AsInfo(InfoWithTable& info)
{
    return reinterpret_cast<BITMAPINFO*>(&info);
}

// Bytes of a 32-bit pixel array of width x height, or 0 when empty or too large.
size_t PixelBytes32(long width, long height)
{
    if (width <= 0 || height <= 0)
        return 0;
    unsigned long long bytes = static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) * 4;
    if (bytes > 0x7FFFFFFF)
        return 0;
    return static_cast<size_t>(bytes);
}

void PutU16(unsigned char* at, unsigned int value)
{
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

void PutU32(unsigned char* at, unsigned long value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CBmp

CBmp::CBmp(HBITMAP bitmap) : m_bitmap(bitmap), m_drawDisplay(NULL), m_drawPrevious(NULL)
{
}

CBmp::CBmp(HINSTANCE instance, const char* name)
    : m_bitmap(LoadBitmapA(instance, name)), m_drawDisplay(NULL), m_drawPrevious(NULL)
{
}

CBmp::~CBmp()
{
    Destroy();
}

HBITMAP CBmp::operator=(HBITMAP bitmap)
{
    HBITMAP previous = m_bitmap;
    m_bitmap = bitmap;
    return previous;
}

HBITMAP CBmp::operator=(HDC source)
{
    if (!source)
        return NULL;
    int width = GetDeviceCaps(source, HORZRES);
    int height = GetDeviceCaps(source, VERTRES);
    HDC display = OpenDisplay();
    if (!display)
        return NULL;
    HBITMAP copy = CreateCompatibleBitmap(display, width, height);
    BOOL copied = FALSE;
    if (copy) {
        MemoryContext target(display, copy);
        copied = target.Get() && BitBlt(target.Get(), 0, 0, width, height, source, 0, 0, SRCCOPY);
    }
    DeleteDC(display);
    if (!copied) {
        if (copy)
            DeleteObject(copy);
        return NULL;
    }
    HBITMAP previous = m_bitmap;
    m_bitmap = copy;
    return previous;
}

HBITMAP CBmp::operator=(HICON icon)
{
    ICONINFO info;
    if (!icon || !GetIconInfo(icon, &info))
        return NULL;
    HBITMAP copy = info.hbmColor ? static_cast<HBITMAP>(CopyImage(info.hbmColor, IMAGE_BITMAP, 0, 0, LR_COPYRETURNORG))
                                 : NULL;
    // The query made both bitmaps for us; only the one kept (when the copy is the original) stays.
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (info.hbmColor && info.hbmColor != copy)
        DeleteObject(info.hbmColor);
    if (!copy)
        return NULL;
    HBITMAP previous = m_bitmap;
    m_bitmap = copy;
    return previous;
}

CBmp::operator HBITMAP() const
{
    return m_bitmap;
}

HBITMAP CBmp::GetBmp() const
{
    return m_bitmap;
}

int CBmp::Destroy()
{
    if (!m_bitmap)
        return 0;
    DeleteObject(m_bitmap);
    m_bitmap = NULL;
    return 1;
}

int CBmp::Load(HINSTANCE instance, const char* name)
{
    HBITMAP loaded = LoadBitmapA(instance, name);
    if (!loaded)
        return 0;
    m_bitmap = loaded;
    return 1;
}

int CBmp::Create(HDC context, long width, long height)
{
    ContextOrDisplay dc(context);
    HBITMAP made = dc.Get() ? CreateCompatibleBitmap(dc.Get(), width, height) : NULL;
    if (!made)
        return 0;
    m_bitmap = made;
    return 1;
}

int CBmp::Create(HDC context, BITMAPINFOHEADER* header)
{
    if (!header || header->biBitCount < 16)
        return 0;
    ContextOrDisplay dc(context);
    HBITMAP made = dc.Get() ? CreateDIBitmap(dc.Get(), header, 0, NULL, NULL, DIB_RGB_COLORS) : NULL;
    if (!made)
        return 0;
    m_bitmap = made;
    return 1;
}

int CBmp::Create(HDC context, BITMAPINFO* info)
{
    if (!info)
        return 0;
    ContextOrDisplay dc(context);
    HBITMAP made = dc.Get() ? CreateDIBitmap(dc.Get(), &info->bmiHeader, 0, NULL, info, DIB_RGB_COLORS) : NULL;
    if (!made)
        return 0;
    m_bitmap = made;
    return 1;
}

int CBmp::CreateCompatibleBmp(HBITMAP model)
{
    long width, height;
    if (!BitmapSize(model, &width, &height))
        return 0;
    return Create(NULL, width, height);
}

HBITMAP CBmp::Copy() const
{
    if (!m_bitmap)
        return NULL;
    // Always a new object: the caller owns and deletes the copy, so it must never be our own handle.
    return static_cast<HBITMAP>(CopyImage(m_bitmap, IMAGE_BITMAP, 0, 0, 0));
}

HDC CBmp::BmpBeginDraw()
{
    if (!m_bitmap || m_drawDisplay)
        return NULL;
    HDC display = OpenDisplay();
    if (!display)
        return NULL;
    HDC memory = CreateCompatibleDC(display);
    HGDIOBJ previous = memory ? SelectObject(memory, m_bitmap) : NULL;
    if (!previous || previous == HGDI_ERROR) {
        if (memory)
            DeleteDC(memory);
        DeleteDC(display);
        return NULL;
    }
    m_drawDisplay = display;
    m_drawPrevious = previous;
    return memory;
}

int CBmp::BmpEndDraw(HDC memory)
{
    if (!m_drawDisplay || !memory)
        return 0;
    SelectObject(memory, m_drawPrevious);
    DeleteDC(memory);
    DeleteDC(m_drawDisplay);
    m_drawDisplay = NULL;
    m_drawPrevious = NULL;
    return 1;
}

int CBmp::GetSize(RECT* rect) const
{
    long width, height;
    if (!rect || !BitmapSize(m_bitmap, &width, &height))
        return 0;
    SetRect(rect, 0, 0, width, height);
    return 1;
}

int CBmp::GetSize(long* width, long* height) const
{
    long w, h;
    if (!BitmapSize(m_bitmap, &w, &h))
        return 0;
    if (width)
        *width = w;
    if (height)
        *height = h;
    return 1;
}

int CBmp::Clear(COLORREF color)
{
    long width, height;
    if (!BitmapSize(m_bitmap, &width, &height))
        return 0;
    ContextOrDisplay display(NULL);
    MemoryContext target(display.Get(), m_bitmap);
    if (!target.Get())
        return 0;
    HBRUSH brush = CreateSolidBrush(color);
    if (!brush)
        return 0;
    RECT all = {0, 0, width, height};
    int filled = FillRect(target.Get(), &all, brush) ? 1 : 0;
    DeleteObject(brush);
    return filled;
}

int CBmp::Draw(HBITMAP source, long x, long y)
{
    long width, height, sourceWidth, sourceHeight;
    if (!source || !BitmapSize(m_bitmap, &width, &height) || !BitmapSize(source, &sourceWidth, &sourceHeight))
        return 0;
    ContextOrDisplay display(NULL);
    MemoryContext target(display.Get(), m_bitmap);
    MemoryContext from(display.Get(), source);
    if (!target.Get() || !from.Get())
        return 0;
    return BitBlt(target.Get(), x, y, width < sourceWidth ? width : sourceWidth,
                  height < sourceHeight ? height : sourceHeight, from.Get(), 0, 0, SRCCOPY) ? 1 : 0;
}

int CBmp::Draw(HICON icon, long x, long y)
{
    if (!icon || !m_bitmap)
        return 0;
    ContextOrDisplay display(NULL);
    MemoryContext target(display.Get(), m_bitmap);
    if (!target.Get())
        return 0;
    return DrawIcon(target.Get(), x, y, icon) ? 1 : 0;
}

int CBmp::Draw(HDC source, long x, long y)
{
    long width, height;
    if (!source || !BitmapSize(m_bitmap, &width, &height))
        return 0;
    ContextOrDisplay display(NULL);
    MemoryContext target(display.Get(), m_bitmap);
    if (!target.Get())
        return 0;
    return BitBlt(target.Get(), x, y, width, height, source, 0, 0, SRCCOPY) ? 1 : 0;
}

int CBmp::operator+=(HBITMAP source)
{
    return Draw(source, 0, 0);
}

int CBmp::operator+=(HICON icon)
{
    return Draw(icon, 0, 0);
}

int CBmp::operator+=(HDC source)
{
    return Draw(source, 0, 0);
}

int CBmp::TransparentBlt(HBITMAP source, COLORREF key)
{
    long width, height, sourceWidth, sourceHeight;
    if (!source || !BitmapSize(m_bitmap, &width, &height) || !BitmapSize(source, &sourceWidth, &sourceHeight))
        return 0;
    size_t bytes = PixelBytes32(width, height);
    if (!bytes)
        return 0;
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(bytes);

    unsigned long* from = static_cast<unsigned long*>(calloc(bytes, 1));
    unsigned long* to = static_cast<unsigned long*>(calloc(bytes, 1));
    if (!from || !to) {
        free(from);
        free(to);
        return 0;
    }
    // The source is read in this bitmap's dimensions, lined up at the top-left corner as Draw does.
    // A smaller source leaves part of the array unfilled: those places are not the source's pixels
    // and keep the target as it is.
    long columns = sourceWidth < width ? sourceWidth : width;
    long rows = sourceHeight < height ? sourceHeight : height;
    size_t firstRow = static_cast<size_t>(height - rows);  // bottom-up: rows below the source's bottom
    int done = 0;
    ContextOrDisplay display(NULL);
    if (display.Get() && GetDIBits(display.Get(), source, 0, height, from, &info, DIB_RGB_COLORS) > 0 &&
        GetDIBits(display.Get(), m_bitmap, 0, height, to, &info, DIB_RGB_COLORS) > 0) {
        unsigned long pixelKey =
            (key == 0xFFFFFFFF ? from[firstRow * static_cast<size_t>(width)] : ColorToPixel(key)) & 0x00FFFFFF;
        for (size_t row = firstRow; row < static_cast<size_t>(height); ++row) {
            size_t at = row * static_cast<size_t>(width);
            for (long x = 0; x < columns; ++x)
                if ((from[at + x] & 0x00FFFFFF) != pixelKey)
                    to[at + x] = from[at + x];
        }
        done = SetDIBits(display.Get(), m_bitmap, 0, height, to, &info, DIB_RGB_COLORS) > 0 ? 1 : 0;
    }
    free(from);
    free(to);
    return done;
}

HBITMAP CBmp::TrimImage(RECT* rect) const
{
    if (!rect)
        return NULL;
    return TrimImage(rect->left, rect->top, rect->right, rect->bottom);
}

HBITMAP CBmp::TrimImage(long left, long top, long right, long bottom) const
{
    if (!m_bitmap)
        return NULL;
    long width = right - left;
    long height = bottom - top;
    ContextOrDisplay display(NULL);
    if (!display.Get())
        return NULL;
    HBITMAP part = CreateCompatibleBitmap(display.Get(), width, height);
    if (!part)
        return NULL;
    BOOL copied = FALSE;
    {
        MemoryContext target(display.Get(), part);
        MemoryContext from(display.Get(), m_bitmap);
        copied = target.Get() && from.Get() &&
                 BitBlt(target.Get(), 0, 0, width, height, from.Get(), left, top, SRCCOPY);
    }
    if (!copied) {
        DeleteObject(part);
        return NULL;
    }
    return part;
}

HBITMAP CBmp::TrimStretchedImage(long x, long y, long width, long height, long outWidth, long outHeight) const
{
    if (!m_bitmap)
        return NULL;
    ContextOrDisplay display(NULL);
    if (!display.Get())
        return NULL;
    HBITMAP scaled = CreateCompatibleBitmap(display.Get(), outWidth, outHeight);
    if (!scaled)
        return NULL;
    BOOL copied = FALSE;
    {
        MemoryContext target(display.Get(), scaled);
        MemoryContext from(display.Get(), m_bitmap);
        copied = target.Get() && from.Get() &&
                 StretchBlt(target.Get(), 0, 0, outWidth, outHeight, from.Get(), x, y, width, height, SRCCOPY);
    }
    if (!copied) {
        DeleteObject(scaled);
        return NULL;
    }
    return scaled;
}

HBITMAP CBmp::TrimStretchedImage(RECT* part, long outWidth, long outHeight) const
{
    if (part)
        return TrimStretchedImage(part->left, part->top, part->right, part->bottom, outWidth, outHeight);
    long width, height;
    if (!BitmapSize(m_bitmap, &width, &height))
        return NULL;
    return TrimStretchedImage(0, 0, width, height, outWidth, outHeight);
}

int CBmp::Invert()
{
    long width, height;
    if (!BitmapSize(m_bitmap, &width, &height))
        return 0;
    ContextOrDisplay display(NULL);
    MemoryContext target(display.Get(), m_bitmap);
    if (!target.Get())
        return 0;
    return PatBlt(target.Get(), 0, 0, width, height, DSTINVERT);
}

int CBmp::GetImage(HDC context, BITMAPINFO* info, void* bits) const
{
    if (!m_bitmap || !info || !bits)
        return 0;
    ContextOrDisplay dc(context);
    if (!dc.Get())
        return 0;
    // A top-down header (negative height) still means all of its rows.
    LONG rows = info->bmiHeader.biHeight < 0 ? -info->bmiHeader.biHeight : info->bmiHeader.biHeight;
    return GetDIBits(dc.Get(), m_bitmap, 0, static_cast<UINT>(rows), bits, info, DIB_RGB_COLORS);
}

int CBmp::GetImage(HDC context, long width, long rows, long bitCount, void* bits) const
{
    if (!m_bitmap || !bits || bitCount <= 0 || bitCount > 32)
        return 0;
    size_t size = sizeof(BITMAPINFOHEADER) + (bitCount < 16 ? (static_cast<size_t>(4) << bitCount) : 0);
    BITMAPINFO* info = static_cast<BITMAPINFO*>(calloc(size, 1));
    if (!info)
        return 0;
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = rows;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(bitCount);
    info->bmiHeader.biCompression = BI_RGB;
    info->bmiHeader.biSizeImage = static_cast<DWORD>(width * (bitCount / 8) * rows);
    int copied = 0;
    {
        ContextOrDisplay dc(context);
        if (dc.Get())
            copied = GetDIBits(dc.Get(), m_bitmap, 0, static_cast<UINT>(rows), bits, info, DIB_RGB_COLORS);
    }
    free(info);
    return copied;
}

int CBmp::SaveToFile(const char* path) const
{
    if (!m_bitmap || !path)
        return 0;
    InfoWithTable info;
    ZeroMemory(&info, sizeof info);
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biPlanes = 1;
    ContextOrDisplay display(NULL);
    if (!display.Get() || !GetDIBits(display.Get(), m_bitmap, 0, 0, NULL, AsInfo(info), DIB_RGB_COLORS))
        return 0;
    long width = info.header.biWidth;
    long height = info.header.biHeight < 0 ? -info.header.biHeight : info.header.biHeight;
    if (width <= 0 || height <= 0)
        return 0;
    unsigned long long rowSize = (static_cast<unsigned long long>(width) * 3 + 3) & ~3ull;
    unsigned long long pixelSize = rowSize * static_cast<unsigned long long>(height);
    if (pixelSize > 0x7FFFFFFF - 54)
        return 0;
    info.header.biHeight = height;
    info.header.biBitCount = 24;
    info.header.biCompression = BI_RGB;
    info.header.biSizeImage = static_cast<DWORD>(pixelSize);
    info.header.biClrUsed = 0;
    info.header.biClrImportant = 0;

    Buffer pixels;
    if (!pixels.New(static_cast<unsigned long>(pixelSize)))
        return 0;
    if (GetDIBits(display.Get(), m_bitmap, 0, static_cast<UINT>(height), pixels.GetPtr(), AsInfo(info),
                  DIB_RGB_COLORS) != height)
        return 0;

    unsigned char head[54];
    ZeroMemory(head, sizeof head);
    head[0] = 'B';
    head[1] = 'M';
    PutU32(head + 2, static_cast<unsigned long>(54 + pixelSize));
    PutU32(head + 10, 54);
    PutU32(head + 14, 40);
    PutU32(head + 18, static_cast<unsigned long>(width));
    PutU32(head + 22, static_cast<unsigned long>(height));
    PutU16(head + 26, 1);
    PutU16(head + 28, 24);
    PutU32(head + 30, BI_RGB);
    PutU32(head + 34, static_cast<unsigned long>(pixelSize));
    PutU32(head + 38, static_cast<unsigned long>(info.header.biXPelsPerMeter));
    PutU32(head + 42, static_cast<unsigned long>(info.header.biYPelsPerMeter));

    CFiler file;
    if (!file.Create(path, 0))
        return 0;
    int written = file.Write(head, sizeof head) == sizeof head &&
                  file.Write(pixels) == static_cast<unsigned long>(pixelSize) && file.SetEOF();
    file.Close();
    return written ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// CFonts

CFonts::CFonts(HFONT font) : m_font(font)
{
}

CFonts::~CFonts()
{
}

int CFonts::Create(long height, long width, long escapement, long orientation, long weight, unsigned long italic,
                   unsigned long underline, unsigned long strikeOut, unsigned long charSet,
                   unsigned long outPrecision, unsigned long clipPrecision, unsigned long quality,
                   unsigned long pitchAndFamily, const char* face)
{
    HFONT made = CreateFontA(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                             outPrecision, clipPrecision, quality, pitchAndFamily, face);
    if (!made)
        return 0;
    m_font = made;
    return 1;
}

int CFonts::CreateIndirect(LOGFONTA* logFont)
{
    HFONT made = logFont ? CreateFontIndirectA(logFont) : NULL;
    if (!made)
        return 0;
    m_font = made;
    return 1;
}

int CFonts::CreateQuick(long height, long weight, const char* face)
{
    return CreateQuickStyle(height, weight, 0, 0, 0, face);
}

int CFonts::CreateQuickStyle(long height, long weight, unsigned long italic, unsigned long underline,
                             unsigned long strikeOut, const char* face)
{
    HFONT made = CreateFontA(height, 0, 0, 0, weight, italic, underline, strikeOut, SHIFTJIS_CHARSET,
                             OUT_STRING_PRECIS, 0, 0, 0, face);
    if (!made)
        return 0;
    m_font = made;
    return 1;
}

int CFonts::Destroy()
{
    if (!m_font)
        return 0;
    DeleteObject(m_font);
    m_font = NULL;
    return 1;
}

long CFonts::SetWindowFont(HWND window)
{
    return static_cast<long>(SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE));
}

long CFonts::SetWindowFont(CForm* form)
{
    return static_cast<long>(
        SendMessageA(form ? form->GetWindow() : NULL, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE));
}

HFONT CFonts::GetFont() const
{
    return m_font;
}

// ---------------------------------------------------------------------------------------------
// CCursor

CCursor::CCursor() : m_cursor(NULL), m_previous(NULL)
{
}

CCursor::~CCursor()
{
    Destroy();
}

int CCursor::SetCursor(unsigned int id)
{
    return SetCursor(MAKEINTRESOURCEA(id & 0xFFFF));
}

int CCursor::SetCursor(const char* name)
{
    if (!name)
        return 0;
    HCURSOR loaded = LoadCursorA(NULL, name);
    if (!loaded)
        return 0;
    m_cursor = loaded;
    m_previous = ::SetCursor(loaded);
    return 1;
}

int CCursor::Destroy()
{
    if (!m_cursor)
        return 0;
    ::SetCursor(m_previous);
    DestroyCursor(m_cursor);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// CreateBitmapRgn

namespace {

const DWORD kRegionBatch = 2000;

struct RegionBatch {
    RGNDATAHEADER header;
    RECT rects[kRegionBatch];
};

void StartBatch(RegionBatch& batch)
{
    batch.header.dwSize = sizeof(RGNDATAHEADER);
    batch.header.iType = RDH_RECTANGLES;
    batch.header.nCount = 0;
    batch.header.nRgnSize = 0;
    SetRect(&batch.header.rcBound, 0xFFFF, 0xFFFF, 0, 0);
}

// Unites the batch into *result (or makes it the result); returns 0 when the region cannot be made.
int FlushBatch(RegionBatch& batch, HRGN* result)
{
    DWORD size = sizeof(RGNDATAHEADER) + batch.header.nCount * sizeof(RECT);
    HRGN part = ExtCreateRegion(NULL, size, reinterpret_cast<RGNDATA*>(&batch));
    if (!part)
        return 0;
    if (*result) {
        CombineRgn(*result, *result, part, RGN_OR);
        DeleteObject(part);
    } else {
        *result = part;
    }
    StartBatch(batch);
    return 1;
}

}  // namespace

HRGN CreateBitmapRgn(HINSTANCE instance, const char* name, COLORREF key)
{
    HBITMAP bitmap;
    if (instance) {
        bitmap = LoadBitmapA(instance, name);
    } else {
        bitmap = static_cast<HBITMAP>(LoadImageA(NULL, name, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        if (!bitmap && name)
            bitmap = static_cast<HBITMAP>(LoadImageA(NULL, name, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    }
    if (!bitmap)
        return NULL;

    InfoWithTable info;
    ZeroMemory(&info, sizeof info);
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    long width = 0, height = 0;
    std::unique_ptr<unsigned long, decltype(&free)> pixelMemory(NULL, &free);
    std::unique_ptr<RegionBatch, decltype(&free)> batchMemory(NULL, &free);
    int ok;
    {
        // The bitmap and the display context go before the walk.
        ObjectScope bitmapScope(bitmap);
        ContextOrDisplay display(NULL);
        if (!display.Get() || !GetDIBits(display.Get(), bitmap, 0, 0, NULL, AsInfo(info), DIB_RGB_COLORS))
            return NULL;
        width = info.header.biWidth;
        height = info.header.biHeight < 0 ? -info.header.biHeight : info.header.biHeight;
        info.header.biHeight = height;
        info.header.biBitCount = 32;
        info.header.biCompression = BI_RGB;
        info.header.biSizeImage = 0;
        info.header.biClrUsed = 0;
        info.header.biClrImportant = 0;
        size_t bytes = PixelBytes32(width, height);
        pixelMemory.reset(bytes ? static_cast<unsigned long*>(malloc(bytes)) : NULL);
        batchMemory.reset(static_cast<RegionBatch*>(malloc(sizeof(RegionBatch) + 4)));
        ok = pixelMemory && batchMemory &&
             GetDIBits(display.Get(), bitmap, 0, static_cast<UINT>(height), pixelMemory.get(), AsInfo(info),
                       DIB_RGB_COLORS) == height;
    }
    unsigned long* pixels = pixelMemory.get();
    RegionBatch* batch = batchMemory.get();
    HRGN result = NULL;

    if (ok) {
        unsigned long pixelKey = (key == 0xFFFFFFFF ? pixels[0] : ColorToPixel(key)) & 0x00FFFFFF;
        StartBatch(*batch);
        for (long y = 0; y < height && ok; ++y) {
            const unsigned long* row = pixels + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(width);
            long x = 0;
            while (x < width) {
                if ((row[x] & 0x00FFFFFF) == pixelKey) {
                    ++x;
                    continue;
                }
                long start = x;
                while (x < width && (row[x] & 0x00FFFFFF) != pixelKey)
                    ++x;
                RECT& r = batch->rects[batch->header.nCount++];
                SetRect(&r, start, y, x, y + 1);
                RECT& bound = batch->header.rcBound;
                if (r.left < bound.left)
                    bound.left = r.left;
                if (r.top < bound.top)
                    bound.top = r.top;
                if (r.right > bound.right)
                    bound.right = r.right;
                if (r.bottom > bound.bottom)
                    bound.bottom = r.bottom;
                if (batch->header.nCount == kRegionBatch && !FlushBatch(*batch, &result)) {
                    ok = 0;
                    break;
                }
                ++x;  // the pixel that ended the run is transparent (or the row has ended)
            }
        }
        if (ok && !FlushBatch(*batch, &result))
            ok = 0;
    }
    if (!ok && result) {
        DeleteObject(result);
        result = NULL;
    }
    return result;
}
