// menu.cpp - CMenu, the menu wrapper.
#include <windows.h>

#include "menu.h"

// The item record is the form with hbmpItem: 48 bytes in the 32-bit build.
static_assert(sizeof(void*) != 4 || sizeof(MENUITEMINFOA) == 48, "MENUITEMINFOA is 48 bytes");

namespace {

// The true by-position flag handed to the item functions.
const BOOL kByPosition = MF_BYPOSITION;

// Returns a zero-filled item record of the full size with the mask.
MENUITEMINFOA Record(UINT mask)
{
    MENUITEMINFOA item;
    ZeroMemory(&item, sizeof item);
    item.cbSize = sizeof item;
    item.fMask = mask;
    return item;
}

// Gives a caller's record without a size the full size.
void FillSize(MENUITEMINFOA* item)
{
    if (item && item->cbSize == 0)
        item->cbSize = sizeof(MENUITEMINFOA);
}

// Reads the state by position (0 if the read fails), changes the bits and writes it back.
int ChangeStateByPos(HMENU menu, unsigned long position, UINT set, UINT clear)
{
    MENUITEMINFOA item = Record(MIIM_STATE);
    ::GetMenuItemInfoA(menu, position, kByPosition, &item);
    item.fState = (item.fState & ~clear) | set;
    return ::SetMenuItemInfoA(menu, position, kByPosition, &item);
}

// Reads the check-mark bitmaps of an item; null outputs are skipped.
int CheckBitmaps(HMENU menu, unsigned long item, BOOL byPosition, HBITMAP* checked,
                 HBITMAP* unchecked)
{
    if (!checked && !unchecked)
        return 1;
    MENUITEMINFOA record = Record(MIIM_CHECKMARKS);
    int result = ::GetMenuItemInfoA(menu, item, byPosition, &record);
    if (checked)
        *checked = record.hbmpChecked;
    if (unchecked)
        *unchecked = record.hbmpUnchecked;
    return result;
}

int SetPlainText(HMENU menu, unsigned long item, BOOL byPosition, const char* text)
{
    MENUITEMINFOA record = Record(MIIM_TYPE);
    record.fType = MFT_STRING;
    record.dwTypeData = const_cast<char*>(text);
    record.cch = MAX_PATH;
    return ::SetMenuItemInfoA(menu, item, byPosition, &record);
}

int GetItemText(HMENU menu, unsigned long item, BOOL byPosition, char* buffer)
{
    MENUITEMINFOA record = Record(MIIM_TYPE);
    record.dwTypeData = buffer;
    record.cch = MAX_PATH;
    return ::GetMenuItemInfoA(menu, item, byPosition, &record);
}

int SetItemCheckBitmaps(HMENU menu, unsigned long item, BOOL byPosition, HBITMAP checked,
                        HBITMAP unchecked)
{
    MENUITEMINFOA record = Record(MIIM_CHECKMARKS);
    record.hbmpChecked = checked;
    record.hbmpUnchecked = unchecked;
    return ::SetMenuItemInfoA(menu, item, byPosition, &record);
}

int SetItemBitmap(HMENU menu, unsigned long item, BOOL byPosition, HBITMAP bitmap)
{
    MENUITEMINFOA record = Record(MIIM_BITMAP);
    record.hbmpItem = bitmap;
    return ::SetMenuItemInfoA(menu, item, byPosition, &record);
}

HBITMAP GetItemBitmap(HMENU menu, unsigned long item, BOOL byPosition)
{
    MENUITEMINFOA record = Record(MIIM_BITMAP);
    if (!::GetMenuItemInfoA(menu, item, byPosition, &record))
        return NULL;
    return record.hbmpItem;
}

}  // namespace

// Construction and handle.

CMenu::CMenu(HMENU menu) : m_hMenu(menu) {}

CMenu::CMenu(HWND window) : m_hMenu(window ? ::GetMenu(window) : NULL) {}

CMenu::CMenu(const CMenu& other) : m_hMenu(other.m_hMenu) {}

CMenu::~CMenu() {}

CMenu& CMenu::operator=(const CMenu& other)
{
    m_hMenu = other.m_hMenu;
    return *this;
}

HMENU CMenu::operator=(HMENU menu)
{
    HMENU previous = m_hMenu;
    m_hMenu = menu;
    return previous;
}

HMENU CMenu::operator=(HWND window)
{
    HMENU previous = m_hMenu;
    m_hMenu = ::GetMenu(window);
    return previous;
}

CMenu::operator HMENU() const
{
    return m_hMenu;
}

HMENU CMenu::GetMenu() const
{
    return m_hMenu;
}

int CMenu::CreateMenu()
{
    m_hMenu = ::CreateMenu();
    return m_hMenu ? 1 : 0;
}

int CMenu::LoadMenuA(HINSTANCE instance, const char* name)
{
    m_hMenu = ::LoadMenuA(instance, name);
    return m_hMenu ? 1 : 0;
}

int CMenu::GetMenu(HWND window)
{
    m_hMenu = ::GetMenu(window);
    return m_hMenu ? 1 : 0;
}

int CMenu::SetMenu(HWND window)
{
    return ::SetMenu(window, m_hMenu);
}

HMENU CMenu::GetSubMenu(int position) const
{
    return ::GetSubMenu(m_hMenu, position);
}

int CMenu::Destroy()
{
    return ::DestroyMenu(m_hMenu);
}

int CMenu::Show(HMENU)
{
    return 1;
}

// Items.

int CMenu::InsertItem(unsigned long id, MENUITEMINFOA* item)
{
    FillSize(item);
    return ::InsertMenuItemA(m_hMenu, id, FALSE, item);
}

int CMenu::InsertItemByPos(unsigned long position, MENUITEMINFOA* item)
{
    FillSize(item);
    return ::InsertMenuItemA(m_hMenu, position, kByPosition, item);
}

int CMenu::SetMenuItem(unsigned long id, MENUITEMINFOA* item)
{
    FillSize(item);
    return ::SetMenuItemInfoA(m_hMenu, id, FALSE, item);
}

int CMenu::SetMenuItemByPos(unsigned long position, MENUITEMINFOA* item)
{
    FillSize(item);
    return ::SetMenuItemInfoA(m_hMenu, position, kByPosition, item);
}

int CMenu::GetMenuItem(unsigned long id, MENUITEMINFOA* item) const
{
    FillSize(item);
    return ::GetMenuItemInfoA(m_hMenu, id, FALSE, item);
}

int CMenu::GetMenuItemByPos(unsigned long position, MENUITEMINFOA* item) const
{
    FillSize(item);
    return ::GetMenuItemInfoA(m_hMenu, position, kByPosition, item);
}

int CMenu::DeleteMenu(unsigned long id)
{
    return ::DeleteMenu(m_hMenu, id, MF_BYCOMMAND);
}

int CMenu::DeleteMenuByPos(unsigned long position)
{
    return ::DeleteMenu(m_hMenu, position, MF_BYPOSITION);
}

HMENU CMenu::Remove(unsigned long id)
{
    MENUITEMINFOA item = Record(MIIM_SUBMENU);
    ::GetMenuItemInfoA(m_hMenu, id, FALSE, &item);
    ::RemoveMenu(m_hMenu, id, MF_BYCOMMAND);
    return item.hSubMenu;
}

HMENU CMenu::RemoveByPos(unsigned long position)
{
    HMENU sub = ::GetSubMenu(m_hMenu, position);
    ::RemoveMenu(m_hMenu, position, MF_BYPOSITION);
    return sub;
}

int CMenu::TrackPopup(HWND window, unsigned long flags, int position)
{
    POINT cursor = {0, 0};
    ::GetCursorPos(&cursor);
    if (window)
        ::SetForegroundWindow(window);
    return ::TrackPopupMenu(::GetSubMenu(m_hMenu, position), flags, cursor.x, cursor.y, 0, window,
                            NULL);
}

// Check marks.

int CMenu::SetCheck(unsigned long id, int check)
{
    return static_cast<int>(
        ::CheckMenuItem(m_hMenu, id, MF_BYCOMMAND | (check ? MF_CHECKED : MF_UNCHECKED)));
}

int CMenu::GetCheck(unsigned long id) const
{
    UINT state = ::GetMenuState(m_hMenu, id, MF_BYCOMMAND);
    return (state & 0xFF & MF_CHECKED) ? 1 : 0;
}

int CMenu::SetCheckByPos(unsigned long position, int check)
{
    return check ? ChangeStateByPos(m_hMenu, position, MFS_CHECKED, 0)
                 : ChangeStateByPos(m_hMenu, position, 0, MFS_CHECKED);
}

int CMenu::GetCheckByPos(unsigned long position) const
{
    MENUITEMINFOA item = Record(MIIM_STATE);
    ::GetMenuItemInfoA(m_hMenu, position, kByPosition, &item);
    return static_cast<int>(item.fState & MFS_CHECKED);
}

int CMenu::ChangeCheck(unsigned long id)
{
    return SetCheck(id, !GetCheck(id));
}

int CMenu::ChangeCheckByPos(unsigned long position)
{
    return SetCheckByPos(position, !GetCheckByPos(position));
}

// Enabled state.

int CMenu::SetEnable(unsigned long id, int enable)
{
    return static_cast<int>(
        ::EnableMenuItem(m_hMenu, id, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED)));
}

int CMenu::GetEnable(unsigned long id) const
{
    UINT state = ::GetMenuState(m_hMenu, id, MF_BYCOMMAND);
    return (state == 0 || state == MF_CHECKED) ? 1 : 0;
}

int CMenu::SetEnableByPos(unsigned long position, int enable)
{
    const UINT bits = MFS_GRAYED | MFS_DISABLED;
    return enable ? ChangeStateByPos(m_hMenu, position, 0, bits)
                  : ChangeStateByPos(m_hMenu, position, bits, 0);
}

int CMenu::GetEnableByPos(unsigned long position) const
{
    MENUITEMINFOA item = Record(MIIM_STATE);
    ::GetMenuItemInfoA(m_hMenu, position, kByPosition, &item);
    return (item.fState & (MFS_GRAYED | MFS_DISABLED)) ? 0 : 1;
}

int CMenu::ChangeEnable(unsigned long id)
{
    return SetEnable(id, !GetEnable(id));
}

int CMenu::ChangeEnableByPos(unsigned long position)
{
    return SetEnableByPos(position, !GetEnableByPos(position));
}

// Texts and bitmaps.

int CMenu::SetText(unsigned long id, const char* text)
{
    return SetPlainText(m_hMenu, id, FALSE, text);
}

int CMenu::SetTextByPos(unsigned long position, const char* text)
{
    return SetPlainText(m_hMenu, position, kByPosition, text);
}

int CMenu::GetText(unsigned long id, char* buffer) const
{
    return GetItemText(m_hMenu, id, FALSE, buffer);
}

int CMenu::GetTextByPos(unsigned long position, char* buffer) const
{
    return GetItemText(m_hMenu, position, kByPosition, buffer);
}

int CMenu::SetCheckBitmaps(unsigned long id, HBITMAP checked, HBITMAP unchecked)
{
    return SetItemCheckBitmaps(m_hMenu, id, FALSE, checked, unchecked);
}

int CMenu::SetCheckBitmapsByPos(unsigned long position, HBITMAP checked, HBITMAP unchecked)
{
    return SetItemCheckBitmaps(m_hMenu, position, kByPosition, checked, unchecked);
}

int CMenu::GetCheckBitmaps(unsigned long id, HBITMAP* checked, HBITMAP* unchecked) const
{
    return CheckBitmaps(m_hMenu, id, FALSE, checked, unchecked);
}

int CMenu::GetCheckBitmapsByPos(unsigned long position, HBITMAP* checked,
                                HBITMAP* unchecked) const
{
    return CheckBitmaps(m_hMenu, position, kByPosition, checked, unchecked);
}

int CMenu::SetBitmap(unsigned long id, HBITMAP bitmap)
{
    return SetItemBitmap(m_hMenu, id, FALSE, bitmap);
}

int CMenu::SetBitmapByPos(unsigned long position, HBITMAP bitmap)
{
    return SetItemBitmap(m_hMenu, position, kByPosition, bitmap);
}

HBITMAP CMenu::GetBitmap(unsigned long id) const
{
    return GetItemBitmap(m_hMenu, id, FALSE);
}

HBITMAP CMenu::GetBitmapByPos(unsigned long position) const
{
    return GetItemBitmap(m_hMenu, position, kByPosition);
}
