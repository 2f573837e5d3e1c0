// graphics.h - GDI objects: bitmaps, fonts, cursors and regions made from a bitmap's colour key.
//
// Classes in this header:
//   CBmp      owner of one device-dependent bitmap: drawing, cutting, scaling, colour-key copy,
//             inversion, reading pixels and saving as a 24-bit BMP file
//   CFonts    holder of one font, set on windows with WM_SETFONT
//   CCursor   a system cursor shown until the object goes away, then the previous one again
// Free function: CreateBitmapRgn.
#pragma once

#include <windows.h>
#include "frame.h"

class CForm;

class TARVIK_API CBmp {
public:
    // Takes the bitmap (null allowed); the object will delete it.
    CBmp(HBITMAP bitmap = NULL);
    // Loads the bitmap resource with LoadBitmapA.
    CBmp(HINSTANCE instance, const char* name);
    virtual ~CBmp();

    // Holds the handle without deleting the old one; returns the previous handle (now the caller's).
    HBITMAP operator=(HBITMAP bitmap);
    // Holds a display-compatible copy of the context's whole device area; returns the previous handle, or null changing nothing.
    HBITMAP operator=(HDC source);
    // Holds a copy of the icon's colour bitmap; returns the previous handle, or null changing nothing.
    HBITMAP operator=(HICON icon);
    // Returns the held handle.
    operator HBITMAP() const;
    // Returns the held handle.
    HBITMAP GetBmp() const;

    // Deletes the bitmap and forgets it; returns 1, or 0 when none is held.
    int Destroy();
    // Holds the bitmap resource (the old handle is not deleted); returns 1 or 0.
    int Load(HINSTANCE instance, const char* name);
    // Holds a new bitmap compatible with the context (the display when null); returns 1 or 0.
    int Create(HDC context, long width, long height);
    // Holds a new bitmap of the header's format (16 bits per pixel or more); returns 1 or 0.
    int Create(HDC context, BITMAPINFOHEADER* header);
    // Holds a new bitmap of the record's format; returns 1 or 0.
    int Create(HDC context, BITMAPINFO* info);
    // Holds a new display-compatible bitmap of the model's size (pixels not copied); returns 1 or 0.
    int CreateCompatibleBmp(HBITMAP model);
    // Returns a new bitmap (the caller's) with a copy of the pixels, or null.
    HBITMAP Copy() const;

    // Returns a memory context with the bitmap selected for drawing, or null (no bitmap, already open).
    HDC BmpBeginDraw();
    // Ends drawing started by BmpBeginDraw and deletes its contexts; returns 1, or 0 when not open.
    int BmpEndDraw(HDC memory);

    // Stores (0, 0, width, height); returns 1 or 0.
    int GetSize(RECT* rect) const;
    // Stores the width and height through the pointers that are not null; returns 1 or 0.
    int GetSize(long* width, long* height) const;
    // Fills the whole bitmap with the colour; returns 1 or 0.
    int Clear(COLORREF color);
    // Copies the source from its origin to (x, y), the smaller of both sizes; returns 1 or 0.
    int Draw(HBITMAP source, long x, long y);
    // Draws the icon at (x, y); returns 1 or 0.
    int Draw(HICON icon, long x, long y);
    // Copies the context from (0, 0) to (x, y), the bitmap's full size; returns 1 or 0.
    int Draw(HDC source, long x, long y);
    // Draw of the bitmap at (0, 0); returns its result.
    int operator+=(HBITMAP source);
    // Draw of the icon at (0, 0); returns its result.
    int operator+=(HICON icon);
    // Draw of the context at (0, 0); returns its result.
    int operator+=(HDC source);
    // Copies every source pixel that is not the key colour (0xFFFFFFFF: the source's bottom-left pixel); returns 1 or 0.
    int TransparentBlt(HBITMAP source, COLORREF key);
    // Returns a new bitmap (the caller's) holding the rectangle's part, or null.
    HBITMAP TrimImage(RECT* rect) const;
    // Returns a new bitmap (the caller's) holding the part from (left, top) to (right, bottom), or null.
    HBITMAP TrimImage(long left, long top, long right, long bottom) const;
    // Returns a new bitmap outWidth x outHeight (the caller's) with the part scaled into it, or null.
    HBITMAP TrimStretchedImage(long x, long y, long width, long height, long outWidth, long outHeight) const;
    // As above with part->left, part->top and part->right, part->bottom as width and height (null: all); or null.
    HBITMAP TrimStretchedImage(RECT* part, long outWidth, long outHeight) const;
    // Returns the PatBlt result of inverting every pixel, or 0 without bitmap.
    int Invert();
    // Returns the rows copied into bits in the caller's format (all rows of its header).
    int GetImage(HDC context, BITMAPINFO* info, void* bits) const;
    // Returns the rows copied into bits as bitCount-bit bottom-up rows of the given width.
    int GetImage(HDC context, long width, long rows, long bitCount, void* bits) const;
    // Writes the bitmap as an uncompressed 24-bit BMP file; returns 1, or 0 (nothing held, not opened, not written).
    int SaveToFile(const char* path) const;

    // One object owns one bitmap: copies would delete it twice.
    CBmp(const CBmp&) = delete;
    CBmp& operator=(const CBmp&) = delete;

private:
    HBITMAP m_bitmap;
    HDC m_drawDisplay;
    HGDIOBJ m_drawPrevious;
};

class TARVIK_API CFonts {
public:
    // Takes the handle (null allowed); the destructor leaves the font alone.
    CFonts(HFONT font = NULL);
    virtual ~CFonts();

    // Holds a font from CreateFontA with the fourteen values; returns 1 or 0.
    int Create(long height, long width, long escapement, long orientation, long weight, unsigned long italic,
               unsigned long underline, unsigned long strikeOut, unsigned long charSet,
               unsigned long outPrecision, unsigned long clipPrecision, unsigned long quality,
               unsigned long pitchAndFamily, const char* face);
    // Holds a font from CreateFontIndirectA; returns 1 or 0.
    int CreateIndirect(LOGFONTA* logFont);
    // Holds a Shift-JIS font of the height, weight and face; returns 1 or 0.
    int CreateQuick(long height, long weight, const char* face);
    // Holds a Shift-JIS font with the three style values; returns 1 or 0.
    int CreateQuickStyle(long height, long weight, unsigned long italic, unsigned long underline,
                         unsigned long strikeOut, const char* face);
    // Deletes the font and forgets it; returns 1, or 0 when none is held.
    int Destroy();
    // Returns the WM_SETFONT result of setting the font (redraw on) on the window.
    long SetWindowFont(HWND window);
    // Returns the WM_SETFONT result of setting the font (redraw on) on the form's window.
    long SetWindowFont(CForm* form);
    // Returns the held handle.
    HFONT GetFont() const;

private:
    HFONT m_font;
};

class TARVIK_API CCursor {
public:
    CCursor();
    // Calls Destroy.
    virtual ~CCursor();

    // Loads the system cursor (low 16 bits of id) and makes it current; returns 1, or 0 when loading fails.
    int SetCursor(unsigned int id);
    // Loads the named system cursor and makes it current; returns 1, or 0 when loading fails.
    int SetCursor(const char* name);
    // Makes the replaced cursor current again and destroys the loaded one; returns 1, or 0 when none was loaded.
    int Destroy();

private:
    HCURSOR m_cursor;
    HCURSOR m_previous;
};

// Returns a new region (the caller's) of all pixels of the bitmap that are not the key colour
// (0xFFFFFFFF: the image's bottom-left pixel), or null. Without instance, name may be a file path.
TARVIK_API HRGN CreateBitmapRgn(HINSTANCE instance, const char* name, COLORREF key);
