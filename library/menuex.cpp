// menuex.cpp - CMenuEx, CMenuEx2 and their hook procedure.
#include <windows.h>
#include <stdlib.h>
#include <string.h>
#include <new>

#include "menuex.h"

namespace {

// The window property through which the hook procedure finds its CMenuEx2.
const char kHookProperty[] = "MenuEx2_Ptr_To_Object";

const unsigned long kImageFlags = MODF_BITMAP | MODF_ICON;

// Returns the DrawEdge style of the lowest edge bit set, or 0 when there is none.
UINT EdgeStyle(unsigned long flags)
{
    if (flags & MODF_EDGE_RAISED)
        return EDGE_RAISED;
    if (flags & MODF_EDGE_SUNKEN)
        return EDGE_SUNKEN;
    if (flags & MODF_EDGE_ETCHED)
        return EDGE_ETCHED;
    if (flags & MODF_EDGE_BUMP)
        return EDGE_BUMP;
    return 0;
}

// Draws a one-pixel polyline through three points with a solid pen of the colour.
void DrawPolyline3(HDC dc, COLORREF colour, int x0, int y0, int x1, int y1, int x2, int y2)
{
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    POINT points[3] = {{x0, y0}, {x1, y1}, {x2, y2}};
    Polyline(dc, points, 3);
    SelectObject(dc, old);
    DeleteObject(pen);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CMenuEx

CMenuEx::CMenuEx()
    : m_info(0)
{
    m_text[0] = 0;
}

CMenuEx::~CMenuEx()
{
    ReleaseCopy();
}

void CMenuEx::ReleaseCopy()
{
    if (!m_info)
        return;
    if (m_info->dwFlags & MODF_BITMAP) {
        if (m_info->hImage)
            DeleteObject(m_info->hImage);
    } else if (m_info->dwFlags & MODF_ICON) {
        DestroyIcon(static_cast<HICON>(m_info->hImage));
    }
    free(m_info);
    m_info = 0;
}

long CMenuEx::SetMenuOwnerDraw(HMENU menu, MENUODINFO* info)
{
    if (m_info)
        return 4;
    if (!info)
        return 2;
    if ((info->dwFlags & kImageFlags) == kImageFlags)
        return 2;

    MENUODINFO* copy = static_cast<MENUODINFO*>(malloc(sizeof(MENUODINFO)));
    if (!copy)
        return 1;
    *copy = *info;

    if (copy->dwFlags & kImageFlags) {
        if (copy->cxImage == 0 || copy->cyImage == 0) {
            free(copy);
            return 2;
        }
        // A copy of its own, so that the caller may destroy its image at once.
        UINT type = (copy->dwFlags & MODF_BITMAP) ? IMAGE_BITMAP : IMAGE_ICON;
        copy->hImage = CopyImage(copy->hImage, type, 0, 0, 0);
        if (!copy->hImage) {
            free(copy);
            return 1;
        }
    } else {
        copy->cxImage = 0;
        copy->cyImage = 0;
    }

    if (!(copy->dwFlags & MODF_BACKCOLOR))
        copy->crBack = GetSysColor(COLOR_MENU);
    if (!(copy->dwFlags & MODF_TEXTCOLOR))
        copy->crText = GetSysColor(COLOR_WINDOWTEXT);
    if (!(copy->dwFlags & MODF_SELCOLOR)) {
        copy->crSelBack = GetSysColor(COLOR_HIGHLIGHT);
        copy->crSelText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    if (!(copy->dwFlags & MODF_MARGIN))
        copy->cxMargin = 0;
    m_info = copy;

    MENUITEMINFOA text;
    memset(&text, 0, sizeof(text));
    text.cbSize = sizeof(text);
    text.fMask = MIIM_TYPE;
    text.dwTypeData = m_text;
    text.cch = sizeof(m_text);
    m_text[0] = 0;
    GetMenuItemInfoA(menu, copy->wID, FALSE, &text);
    m_text[sizeof(m_text) - 1] = 0;

    MENUITEMINFOA type;
    memset(&type, 0, sizeof(type));
    type.cbSize = sizeof(type);
    type.fMask = MIIM_TYPE;
    if (!GetMenuItemInfoA(menu, copy->wID, FALSE, &type))
        return 2;
    type.fType |= MFT_OWNERDRAW;
    if (!SetMenuItemInfoA(menu, copy->wID, FALSE, &type))
        return 2;
    return 0;
}

long CMenuEx::UnsetMenuOwnerDraw(HMENU menu)
{
    if (!m_info)
        return 3;
    unsigned short id = m_info->wID;

    MENUITEMINFOA type;
    memset(&type, 0, sizeof(type));
    type.cbSize = sizeof(type);
    type.fMask = MIIM_TYPE;
    if (GetMenuItemInfoA(menu, id, FALSE, &type)) {
        type.fType &= ~MFT_OWNERDRAW;
        // A string item gets back the text it had before it was owner-drawn; written without
        // text it would be left blank.
        if (!(type.fType & (MFT_BITMAP | MFT_SEPARATOR))) {
            type.dwTypeData = m_text;
            type.cch = static_cast<UINT>(strlen(m_text));
        }
        SetMenuItemInfoA(menu, id, FALSE, &type);
    }
    ReleaseCopy();
    return 0;
}

int CMenuEx::MeasureItem(HMENU, MEASUREITEMSTRUCT* mis)
{
    if (!m_info || !mis || mis->CtlType != ODT_MENU || mis->itemID != m_info->wID)
        return 0;
    HWND owner = m_info->hwndOwner;
    HDC dc = GetDC(owner);
    if (!dc)
        return 0;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(owner, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : 0;

    SIZE extent;
    BOOL measured = GetTextExtentPoint32A(dc, m_text, static_cast<int>(strlen(m_text)), &extent);
    if (measured) {
        int height = extent.cy > m_info->cyImage ? extent.cy : m_info->cyImage;
        mis->itemWidth = extent.cx + m_info->cxImage + 2 * m_info->cxMargin + 2;
        mis->itemHeight = height + 2 * m_info->cyMargin + 2;
    }
    if (oldFont)
        SelectObject(dc, oldFont);
    ReleaseDC(owner, dc);
    return measured ? 1 : 0;
}

int CMenuEx::DrawItem(HMENU, DRAWITEMSTRUCT* dis)
{
    if (!m_info || !dis || dis->CtlType != ODT_MENU || dis->itemID != m_info->wID)
        return 0;
    const MENUODINFO& info = *m_info;
    HDC dc = dis->hDC;
    const RECT& r = dis->rcItem;
    int hm = info.cxMargin, vm = info.cyMargin, w = info.cxImage, h = info.cyImage;
    bool selected = (dis->itemState & ODS_SELECTED) != 0;
    bool hasImage = (info.dwFlags & kImageFlags) != 0;

    // Background.
    HBRUSH brush = CreateSolidBrush(selected ? info.crSelBack : info.crBack);
    RECT fill = {r.left + hm, r.top + vm, r.right - hm, r.bottom - vm};
    if ((info.dwFlags & MODF_FILLTEXTONLY) && hasImage)
        fill.left = r.left + hm + w + 8;
    FillRect(dc, &fill, brush);
    DeleteObject(brush);

    // Image.
    if (info.dwFlags & MODF_BITMAP) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ oldBitmap = SelectObject(memory, info.hImage);
        BitBlt(dc, r.left + hm + 1, r.top + vm + 1, w, h, memory, 0, 0, SRCCOPY);
        SelectObject(memory, oldBitmap);
        DeleteDC(memory);
    } else if (info.dwFlags & MODF_ICON) {
        DrawIcon(dc, r.left + hm, r.top + vm, static_cast<HICON>(info.hImage));
    }

    // Frame around the image rectangle: raised while selected with MODF_HOTFRAME, else erased.
    RECT image = {r.left + hm, r.top + vm, r.left + hm + w, r.top + vm + h};
    bool hot = selected && (info.dwFlags & MODF_HOTFRAME);
    COLORREF light = hot ? GetSysColor(COLOR_BTNHIGHLIGHT) : info.crBack;
    COLORREF shadow = hot ? GetSysColor(COLOR_BTNSHADOW) : info.crBack;
    DrawPolyline3(dc, light, image.left, image.bottom + 1, image.left, image.top, image.right + 1, image.top);
    DrawPolyline3(dc, shadow, image.right + 1, image.top, image.right + 1, image.bottom + 1,
                  image.left, image.bottom + 1);

    // Edge.
    UINT edge = EdgeStyle(info.dwFlags);
    if (edge) {
        if (hasImage)
            DrawEdge(dc, &image, edge, BF_RECT);
    } else if (dis->itemState & ODS_CHECKED) {
        DrawEdge(dc, &image, EDGE_SUNKEN, BF_RECT);
    }

    // Text.
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(info.hwndOwner, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : 0;
    TEXTMETRICA metrics;
    memset(&metrics, 0, sizeof(metrics));
    GetTextMetricsA(dc, &metrics);
    RECT text = {r.left + hm + w + 9, r.top + (r.bottom - r.top - metrics.tmHeight) / 2, r.right, r.bottom};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, selected ? info.crSelText : info.crText);
    DrawTextA(dc, m_text, -1, &text, 0);
    if (oldFont)
        SelectObject(dc, oldFont);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// CMenuEx2

CMenuEx2::CMenuEx2()
    : m_window(0), m_menu(0), m_head(0), m_previousProc(0)
{
}

CMenuEx2::~CMenuEx2()
{
    if (m_window)
        DestroyHook();
}

int CMenuEx2::SetMenuOwnerDrawHook(HWND window, HMENU menu)
{
    if (m_window || !IsWindow(window))
        return 0;
    // A window hooked by another object already: hooking it again would make the hook its own
    // previous procedure.
    if (GetPropA(window, kHookProperty))
        return 0;
    if (!SetPropA(window, kHookProperty, static_cast<HANDLE>(this)))
        return 0;
    WNDPROC previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MenuEx2OwnerDrawProc)));
    if (!previous) {
        RemovePropA(window, kHookProperty);
        return 0;
    }
    m_previousProc = previous;
    m_window = window;
    m_menu = menu;
    return 1;
}

int CMenuEx2::AddOwnerdrawItem(MENUODINFO* info)
{
    if (!m_window || !info || info->wID == 0 || info->wID == 0xFFFF)
        return 0;
    Entry* entry = new (std::nothrow) Entry;
    if (!entry)
        return 0;
    entry->next = 0;
    entry->wID = info->wID;
    entry->item = new (std::nothrow) CMenuEx;
    if (!entry->item) {
        delete entry;
        return 0;
    }
    if (entry->item->SetMenuOwnerDraw(m_menu, info) != 0) {
        delete entry->item;
        delete entry;
        return 0;
    }
    Entry** tail = &m_head;
    while (*tail)
        tail = &(*tail)->next;
    *tail = entry;
    return 1;
}

int CMenuEx2::DeleteOwnerdrawItem(unsigned short id)
{
    for (Entry** link = &m_head; *link; link = &(*link)->next) {
        Entry* entry = *link;
        if (entry->wID != id)
            continue;
        entry->item->UnsetMenuOwnerDraw(m_menu);
        *link = entry->next;
        delete entry->item;
        delete entry;
        return 1;
    }
    return 0;
}

int CMenuEx2::DestroyHook()
{
    if (!m_window)
        return 0;
    if (IsWindow(m_window)) {
        SetWindowLongPtrA(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
        RemovePropA(m_window, kHookProperty);
        FreeMenuList();
    } else {
        // The window, and with it most likely the menu, is gone: the items are left alone but
        // the entries and their images are still released.
        ReleaseMenuList();
    }
    m_window = 0;
    m_menu = 0;
    m_previousProc = 0;
    return 1;
}

int CMenuEx2::MeasureItem(MEASUREITEMSTRUCT* mis)
{
    if (!mis)
        return 0;
    for (Entry* entry = m_head; entry; entry = entry->next) {
        if (entry->wID == mis->itemID) {
            entry->item->MeasureItem(m_menu, mis);
            return 1;
        }
    }
    return 0;
}

int CMenuEx2::DrawItem(DRAWITEMSTRUCT* dis)
{
    if (!dis)
        return 0;
    for (Entry* entry = m_head; entry; entry = entry->next) {
        if (entry->wID == dis->itemID) {
            entry->item->DrawItem(m_menu, dis);
            return 1;
        }
    }
    return 0;
}

int CMenuEx2::FreeMenuList()
{
    while (m_head) {
        Entry* entry = m_head;
        m_head = entry->next;
        entry->item->UnsetMenuOwnerDraw(m_menu);
        delete entry->item;
        delete entry;
    }
    return 1;
}

int CMenuEx2::ReleaseMenuList()
{
    while (m_head) {
        Entry* entry = m_head;
        m_head = entry->next;
        delete entry->item;   // releases its description and image, not the menu item
        delete entry;
    }
    return 1;
}

// Lets the hook procedure reach the private members of its object.
struct MenuEx2HookAccess {
    static int MeasureItem(CMenuEx2* object, MEASUREITEMSTRUCT* mis) { return object->MeasureItem(mis); }
    static int DrawItem(CMenuEx2* object, DRAWITEMSTRUCT* dis) { return object->DrawItem(dis); }
    static WNDPROC PreviousProc(const CMenuEx2* object) { return object->m_previousProc; }
};

LRESULT CALLBACK MenuEx2OwnerDrawProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CMenuEx2* object = static_cast<CMenuEx2*>(GetPropA(window, kHookProperty));
    if (!object)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_MEASUREITEM:
        MenuEx2HookAccess::MeasureItem(object, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_DRAWITEM:
        MenuEx2HookAccess::DrawItem(object, reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return CallWindowProcA(MenuEx2HookAccess::PreviousProc(object), window, message, wParam, lParam);
    }
}
