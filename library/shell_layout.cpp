// shell_layout.cpp - CNotifyIcon and CResize.
#include <windows.h>
#include <shellapi.h>
#include <stdlib.h>
#include <string.h>

#include "shell_layout.h"
#include "internal.h"

// The two record sizes of the 32-bit shell: with balloon fields (NT) and the original one.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V2_SIZE == 488, "extended record is 488 bytes");
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == 88, "original record is 88 bytes");

namespace {

// Copies at most size - 1 characters and the terminator; a longer text is cut, a null one is empty.
template <size_t size>
void CopyField(char (&field)[size], const char* text)
{
    if (!text) {
        field[0] = '\0';
        return;
    }
    lstrcpynA(field, text, static_cast<int>(size));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CNotifyIcon

CNotifyIcon::CNotifyIcon(HWND owner) : m_owner(owner)
{
    ZeroMemory(&m_data, sizeof m_data);
    // The extended record with balloon fields on NT, the short original one elsewhere.
    m_data.cbSize = IsPlatformNT() ? NOTIFYICONDATAA_V2_SIZE : NOTIFYICONDATAA_V1_SIZE;
}

CNotifyIcon::~CNotifyIcon()
{
}

HWND CNotifyIcon::operator=(HWND owner)
{
    HWND previous = m_owner;
    m_owner = owner;
    return previous;
}

HWND CNotifyIcon::GetWindow() const
{
    return m_owner;
}

int CNotifyIcon::SetTray(HICON icon, const char* tip, unsigned long id, unsigned long message)
{
    m_data.hWnd = m_owner;
    m_data.uID = id;
    m_data.uCallbackMessage = message;
    m_data.hIcon = icon;
    if (tip)
        CopyField(m_data.szTip, tip);
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | (m_data.szTip[0] ? NIF_TIP : 0);
    return Shell_NotifyIconA(NIM_ADD, &m_data);
}

int CNotifyIcon::Update(HICON icon, const char* tip, unsigned long id, unsigned long message)
{
    if (!m_data.hWnd)
        return 0;
    if (icon)
        m_data.hIcon = icon;
    if (tip)
        CopyField(m_data.szTip, tip);
    if (id != 0xFFFFFFFF)
        m_data.uID = id;
    if (message != 0xFFFFFFFF)
        m_data.uCallbackMessage = message;
    m_data.uFlags &= ~NIF_INFO;
    return Shell_NotifyIconA(NIM_MODIFY, &m_data);
}

int CNotifyIcon::Delete()
{
    if (!m_data.hWnd)
        return 0;
    return Shell_NotifyIconA(NIM_DELETE, &m_data);
}

int CNotifyIcon::SetInfoTip(const char* title, const char* text, unsigned int timeout, unsigned long infoFlags)
{
    CopyField(m_data.szInfoTitle, title);
    CopyField(m_data.szInfo, text);
    m_data.uTimeout = timeout;
    m_data.dwInfoFlags = infoFlags;
    m_data.uFlags |= NIF_INFO;
    return Shell_NotifyIconA(NIM_MODIFY, &m_data);
}

// ---------------------------------------------------------------------------------------------
// CResize

CResize::CResize(HWND parent) : m_parent(NULL), m_head(NULL)
{
    Attach(parent);
}

CResize::~CResize()
{
    ReleaseList();
}

HWND CResize::operator=(HWND parent)
{
    HWND previous = m_parent;
    ReleaseList();
    Attach(parent);
    return previous;
}

void CResize::Attach(HWND parent)
{
    m_parent = parent;
    SetRectEmpty(&m_attached);
    if (parent && !GetClientRect(parent, &m_attached))
        SetRectEmpty(&m_attached);
}

void CResize::ReleaseList()
{
    while (m_head) {
        Entry* next = m_head->next;
        free(m_head);
        m_head = next;
    }
}

CResize::Entry* CResize::Find(unsigned short id) const
{
    for (Entry* e = m_head; e; e = e->next)
        if (e->id == id)
            return e;
    return NULL;
}

int CResize::RecordRect(unsigned short id, RECT* rect) const
{
    HWND control = GetDlgItem(m_parent, id);
    if (!control || !GetWindowRect(control, rect))
        return 0;
    MapWindowPoints(NULL, m_parent, reinterpret_cast<POINT*>(rect), 2);
    return 1;
}

int CResize::AddControl(unsigned short id, unsigned long flags)
{
    if (id == 0xFFFF || !m_parent || Find(id))
        return 0;
    RECT rect;
    if (!RecordRect(id, &rect))
        return 0;
    Entry* entry = static_cast<Entry*>(malloc(sizeof(Entry)));
    if (!entry)
        return 0;
    entry->id = id;
    entry->flags = flags;
    entry->rect = rect;
    entry->next = NULL;
    Entry** tail = &m_head;
    while (*tail)
        tail = &(*tail)->next;
    *tail = entry;
    return 1;
}

int CResize::RemoveControl(unsigned short id)
{
    for (Entry** link = &m_head; *link; link = &(*link)->next) {
        if ((*link)->id == id) {
            Entry* gone = *link;
            *link = gone->next;
            free(gone);
            return 1;
        }
    }
    return 0;
}

int CResize::ModifyControl(unsigned short id, unsigned long flags, RECT* rect)
{
    Entry* entry = Find(id);
    if (!entry)
        return 0;
    entry->flags = flags;
    if (rect) {
        entry->rect = *rect;
    } else {
        RECT current;
        if (RecordRect(id, &current))
            entry->rect = current;
    }
    return 1;
}

unsigned long CResize::GetControlFlags(unsigned short id) const
{
    Entry* entry = Find(id);
    return entry ? entry->flags : 0xFFFFFFFF;
}

int CResize::GetControlRect(unsigned short id, RECT* rect) const
{
    Entry* entry = rect ? Find(id) : NULL;
    if (!entry)
        return 0;
    *rect = entry->rect;
    return 1;
}

int CResize::Resize()
{
    RECT now;
    if (!m_parent || !GetClientRect(m_parent, &now))
        SetRectEmpty(&now);
    long dx = (now.right - now.left) - (m_attached.right - m_attached.left);
    long dy = (now.bottom - now.top) - (m_attached.bottom - m_attached.top);
    for (Entry* e = m_head; e; e = e->next) {
        unsigned long f = e->flags;
        long x = e->rect.left;
        long y = e->rect.top;
        long w = e->rect.right - e->rect.left;
        long h = e->rect.bottom - e->rect.top;

        if (f & RSZ_KEEP_LEFT) {
            if (f & RSZ_GROW_WIDTH)
                w += dx;
        } else {
            x += dx;
            if (f & RSZ_STRETCH_WIDTH) {
                x -= dx;
                w += dx;
            }
            if (!(f & RSZ_KEEP_TOP) && (f & RSZ_GROW_WIDTH))
                w += dx;
        }

        if (f & RSZ_KEEP_TOP) {
            if (f & RSZ_GROW_HEIGHT)
                h += dy;
        } else {
            y += dy;
            if (f & RSZ_STRETCH_HEIGHT) {
                y -= dy;
                h += dy;
            }
            if (!(f & RSZ_FOLLOW_BOTTOM) && (f & RSZ_GROW_HEIGHT))
                h += dy;
        }
        MoveWindow(GetDlgItem(m_parent, e->id), x, y, w, h, TRUE);
    }
    return 1;
}
