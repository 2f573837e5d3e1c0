// menu.h - the menu wrapper.
//
// Classes in this header:
//   CMenu   one menu handle: creating, loading and attaching menus, popups at the cursor, and
//           items by command identifier or (ByPos) by zero-based position
#pragma once

#include <windows.h>
#include "frame.h"

class TARVIK_API CMenu {
public:
    CMenu(HMENU menu = 0);
    // Takes the menu of the window (null for a null window).
    CMenu(HWND window);
    CMenu(const CMenu& other);
    virtual ~CMenu();

    // Copies the handle; returns this object.
    CMenu& operator=(const CMenu& other);
    // Replaces the handle; returns the menu held before.
    HMENU operator=(HMENU menu);
    // Takes the window's menu; returns the menu held before.
    HMENU operator=(HWND window);
    // Returns the wrapped menu.
    operator HMENU() const;
    // Returns the wrapped menu.
    HMENU GetMenu() const;

    // Returns 1 when a new empty menu was created and taken, else 0.
    int CreateMenu();
    // Returns 1 when the menu resource was loaded and taken, else 0.
    int LoadMenuA(HINSTANCE instance, const char* name);
    // Returns 1 when the window has a menu (now taken), else 0.
    int GetMenu(HWND window);
    // Returns the SetMenu result of attaching the menu to the window.
    int SetMenu(HWND window);
    // Returns the submenu at the position (GetSubMenu), null if none.
    HMENU GetSubMenu(int position) const;
    // Returns the DestroyMenu result; the stale handle stays in the object.
    int Destroy();
    // Returns 1; does nothing.
    int Show(HMENU menu);

    // Items. A record with cbSize 0 gets the record size first.
    // Returns the InsertMenuItemA result of inserting before the command.
    int InsertItem(unsigned long id, MENUITEMINFOA* item);
    // Returns the InsertMenuItemA result of inserting before the position.
    int InsertItemByPos(unsigned long position, MENUITEMINFOA* item);
    // Returns the SetMenuItemInfoA result for the command.
    int SetMenuItem(unsigned long id, MENUITEMINFOA* item);
    // Returns the SetMenuItemInfoA result for the position.
    int SetMenuItemByPos(unsigned long position, MENUITEMINFOA* item);
    // Returns the GetMenuItemInfoA result for the command.
    int GetMenuItem(unsigned long id, MENUITEMINFOA* item) const;
    // Returns the GetMenuItemInfoA result for the position.
    int GetMenuItemByPos(unsigned long position, MENUITEMINFOA* item) const;
    // Returns the DeleteMenu result for the command (a submenu is destroyed with it).
    int DeleteMenu(unsigned long id);
    // Returns the DeleteMenu result for the position (a submenu is destroyed with it).
    int DeleteMenuByPos(unsigned long position);
    // Returns the item's submenu (now the caller's), or null, after removing the item.
    HMENU Remove(unsigned long id);
    // Returns the submenu at the position (now the caller's), or null, after removing the item.
    HMENU RemoveByPos(unsigned long position);
    // Returns the TrackPopupMenu result of showing the submenu at the position at the cursor.
    int TrackPopup(HWND window, unsigned long flags, int position);

    // Check marks.
    // Returns the CheckMenuItem result (previous state, -1 for no such item).
    int SetCheck(unsigned long id, int check);
    // Returns 1 when the item is checked, else 0 (a missing item reads as 1).
    int GetCheck(unsigned long id) const;
    // Returns the SetMenuItemInfoA result of setting or clearing MFS_CHECKED.
    int SetCheckByPos(unsigned long position, int check);
    // Returns MFS_CHECKED (8) when the item is checked, else 0.
    int GetCheckByPos(unsigned long position) const;
    // Returns the SetCheck result of toggling the check mark.
    int ChangeCheck(unsigned long id);
    // Returns the SetCheckByPos result of toggling the check mark.
    int ChangeCheckByPos(unsigned long position);

    // Enabled state.
    // Returns the EnableMenuItem result (previous state, -1 for no such item).
    int SetEnable(unsigned long id, int enable);
    // Returns 1 when the item's state is exactly enabled or enabled and checked, else 0.
    int GetEnable(unsigned long id) const;
    // Returns the SetMenuItemInfoA result of clearing or setting MFS_GRAYED.
    int SetEnableByPos(unsigned long position, int enable);
    // Returns 1 when the item is neither greyed nor disabled, else 0.
    int GetEnableByPos(unsigned long position) const;
    // Returns the SetEnable result of toggling the enabled state.
    int ChangeEnable(unsigned long id);
    // Returns the SetEnableByPos result of toggling the enabled state.
    int ChangeEnableByPos(unsigned long position);

    // Texts and bitmaps.
    // Returns the SetMenuItemInfoA result of making the item a plain string item with the text.
    int SetText(unsigned long id, const char* text);
    // Returns the SetMenuItemInfoA result of making the item a plain string item with the text.
    int SetTextByPos(unsigned long position, const char* text);
    // Returns the GetMenuItemInfoA result; the buffer (at least 260 characters) gets the text.
    int GetText(unsigned long id, char* buffer) const;
    // Returns the GetMenuItemInfoA result; the buffer (at least 260 characters) gets the text.
    int GetTextByPos(unsigned long position, char* buffer) const;
    // Returns the SetMenuItemInfoA result of setting the check-mark bitmaps.
    int SetCheckBitmaps(unsigned long id, HBITMAP checked, HBITMAP unchecked);
    // Returns the SetMenuItemInfoA result of setting the check-mark bitmaps.
    int SetCheckBitmapsByPos(unsigned long position, HBITMAP checked, HBITMAP unchecked);
    // Returns the GetMenuItemInfoA result (1 without a call when both outputs are null).
    int GetCheckBitmaps(unsigned long id, HBITMAP* checked, HBITMAP* unchecked) const;
    // Returns the GetMenuItemInfoA result (1 without a call when both outputs are null).
    int GetCheckBitmapsByPos(unsigned long position, HBITMAP* checked, HBITMAP* unchecked) const;
    // Returns the SetMenuItemInfoA result of setting the item bitmap.
    int SetBitmap(unsigned long id, HBITMAP bitmap);
    // Returns the SetMenuItemInfoA result of setting the item bitmap.
    int SetBitmapByPos(unsigned long position, HBITMAP bitmap);
    // Returns the item bitmap, null if the call fails.
    HBITMAP GetBitmap(unsigned long id) const;
    // Returns the item bitmap, null if the call fails.
    HBITMAP GetBitmapByPos(unsigned long position) const;

protected:
    HMENU m_hMenu;  // the wrapped menu, may be null
};
