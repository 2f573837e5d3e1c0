// menuex.h - owner-drawn menu items with their own colours and an optional image beside the text.
//
// Classes in this header:
//   CMenuEx    draws one menu item; the application forwards WM_MEASUREITEM and WM_DRAWITEM to it
//   CMenuEx2   subclasses the menu's owner window and draws a list of items through CMenuEx
// Also: MENUODINFO, the description of one item, and MenuEx2OwnerDrawProc, the hook procedure.
#pragma once

#include <windows.h>
#include "frame.h"

// Bits of MENUODINFO::dwFlags.
#define MODF_MARGIN       0x00000001
#define MODF_BITMAP       0x00000010
#define MODF_ICON         0x00000020
#define MODF_BACKCOLOR    0x00000100
#define MODF_TEXTCOLOR    0x00000400
#define MODF_SELCOLOR     0x00000800
#define MODF_EDGE_RAISED  0x00010000
#define MODF_EDGE_SUNKEN  0x00020000
#define MODF_EDGE_ETCHED  0x00040000
#define MODF_EDGE_BUMP    0x00080000
#define MODF_FILLTEXTONLY 0x00100000
#define MODF_HOTFRAME     0x00200000

// The caller's description of one owner-drawn item; CMenuEx keeps its own copy.
struct MENUODINFO {
    unsigned long dwFlags;     // MODF_ bits
    HWND hwndOwner;            // window whose font and device context measure and draw the text
    unsigned short wID;        // command identifier of the item
    unsigned char cxMargin;    // horizontal margin in pixels (used with MODF_MARGIN)
    unsigned char cyMargin;    // vertical margin in pixels
    HANDLE hImage;             // HBITMAP (MODF_BITMAP) or HICON (MODF_ICON)
    short cxImage;             // width of the image column in pixels
    short cyImage;             // height of the image in pixels
    COLORREF crBack;           // background (MODF_BACKCOLOR)
    COLORREF crSelBack;        // background while selected (MODF_SELCOLOR)
    COLORREF crText;           // text (MODF_TEXTCOLOR)
    COLORREF crSelText;        // text while selected (MODF_SELCOLOR)
};

class CMenuEx2;

class TARVIK_API CMenuEx {
public:
    CMenuEx();
    // Releases the copy and its image if the item was never switched back; the menu is not touched.
    virtual ~CMenuEx();

    // Returns 0 when done, 1 without memory or image copy, 2 for a bad description or menu item, 4 when an item is held.
    long SetMenuOwnerDraw(HMENU menu, MENUODINFO* info);
    // Returns 0 after switching the item back and releasing the copy, 3 when no item is held.
    long UnsetMenuOwnerDraw(HMENU menu);
    // Returns 1 after filling in the item's size, 0 when the item is not this object's.
    int MeasureItem(HMENU menu, MEASUREITEMSTRUCT* mis);
    // Returns 1 after drawing the item, 0 when the item is not this object's.
    int DrawItem(HMENU menu, DRAWITEMSTRUCT* dis);

    // One copy of the description and image per object.
    CMenuEx(const CMenuEx&) = delete;
    CMenuEx& operator=(const CMenuEx&) = delete;

protected:
    char m_text[260];          // the item's text, captured when it was switched to owner-draw
    MENUODINFO* m_info;        // own copy of the description, null while no item is held

private:
    friend class CMenuEx2;
    // Frees the image and the copy without touching any menu.
    void ReleaseCopy();
};

TARVIK_API LRESULT CALLBACK MenuEx2OwnerDrawProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class TARVIK_API CMenuEx2 {
public:
    CMenuEx2();
    // Undoes the subclassing if DestroyHook was not called, so that the window never reaches a dead object.
    virtual ~CMenuEx2();

    // Returns 1 after subclassing the window, 0 when one is already hooked or the window does not exist.
    int SetMenuOwnerDrawHook(HWND window, HMENU menu);
    // Returns 1 after switching the item to owner-draw and adding it, else 0.
    int AddOwnerdrawItem(MENUODINFO* info);
    // Returns 1 after switching the item back and removing it, 0 when it is not in the list.
    int DeleteOwnerdrawItem(unsigned short id);
    // Returns 1 after undoing the subclassing and releasing the list, 0 when no window is hooked.
    int DestroyHook();

    // One hook per object.
    CMenuEx2(const CMenuEx2&) = delete;
    CMenuEx2& operator=(const CMenuEx2&) = delete;

protected:
    struct Entry {
        Entry* next;
        unsigned short wID;
        CMenuEx* item;
    };

    HWND m_window;             // the hooked window, null while not hooked
    HMENU m_menu;              // the menu given with the hook
    Entry* m_head;             // the items, in the order they were added
    WNDPROC m_previousProc;    // the window's procedure before the hook

private:
    // The hook procedure's way in to the members below.
    friend struct MenuEx2HookAccess;
    // Returns 1 when an entry answered the measuring, 0 when none has the item's identifier.
    int MeasureItem(MEASUREITEMSTRUCT* mis);
    // Returns 1 when an entry drew the item, 0 when none has the item's identifier.
    int DrawItem(DRAWITEMSTRUCT* dis);
    // Switches every entry's item back, releases the entries and returns 1.
    int FreeMenuList();
    // Releases the entries without touching the menu (the window and its menu are gone); returns 1.
    int ReleaseMenuList();
};
