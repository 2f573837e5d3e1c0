// shell_layout.h - the taskbar notification icon and the anchoring of child controls on resize.
//
// Classes in this header:
//   CNotifyIcon   an icon with tooltip and balloon text in the notification area (Shell_NotifyIconA)
//   CResize       moves and sizes tracked child controls when their parent's client size changes
#pragma once

#include <windows.h>
#include <shellapi.h>
#include "frame.h"

class TARVIK_API CNotifyIcon {
public:
    // A zeroed record sized for the platform, for the owner window.
    CNotifyIcon(HWND owner = NULL);
    virtual ~CNotifyIcon();

    // Replaces the owner (the record follows at the next SetTray); returns the previous owner.
    HWND operator=(HWND owner);
    // Returns the owner window.
    HWND GetWindow() const;

    // Returns the Shell_NotifyIconA(NIM_ADD) result of adding the icon with its tip, id and callback message.
    int SetTray(HICON icon, const char* tip, unsigned long id, unsigned long message);
    // Returns the NIM_MODIFY result (null / 0xFFFFFFFF keep a value), or 0 before SetTray.
    int Update(HICON icon, const char* tip, unsigned long id, unsigned long message);
    // Returns the NIM_DELETE result, or 0 before SetTray.
    int Delete();
    // Returns the NIM_MODIFY result of showing the balloon (title cut to 63, text to 255 characters).
    int SetInfoTip(const char* title, const char* text, unsigned int timeout, unsigned long infoFlags);

private:
    NOTIFYICONDATAA m_data;
    HWND m_owner;
};

// Flag bits of a tracked control (CResize::AddControl), applied by Resize to the change of the
// parent's client size. Without a flag a control moves with the bottom-right corner.
enum : unsigned long {
    RSZ_MOVE = 0x00,            // moves with the bottom-right corner, keeps its size
    RSZ_KEEP_LEFT = 0x01,       // keeps x
    RSZ_KEEP_TOP = 0x02,        // keeps y; without RSZ_KEEP_LEFT it also keeps RSZ_GROW_WIDTH from growing
    RSZ_FOLLOW_BOTTOM = 0x04,   // without RSZ_KEEP_TOP: follows the bottom edge and keeps RSZ_GROW_HEIGHT
                                // from growing
    RSZ_STRETCH_WIDTH = 0x10,   // without RSZ_KEEP_LEFT: keeps x and stretches the width instead
    RSZ_STRETCH_HEIGHT = 0x20,  // without RSZ_KEEP_TOP: keeps y and stretches the height instead
    RSZ_GROW_WIDTH = 0x40,      // the width grows as well
    RSZ_GROW_HEIGHT = 0x80,     // the height grows as well
    RSZ_STAY = RSZ_KEEP_LEFT | RSZ_KEEP_TOP,
    RSZ_STRETCH = RSZ_STRETCH_WIDTH | RSZ_STRETCH_HEIGHT,  // acts as RSZ_STAY | RSZ_GROW_WIDTH | RSZ_GROW_HEIGHT
};

class TARVIK_API CResize {
public:
    // Attaches to the parent (null allowed), recording its client rectangle.
    CResize(HWND parent = NULL);
    // Releases the list of tracked controls.
    virtual ~CResize();

    // Releases the list and attaches to the new parent; returns the previous parent.
    HWND operator=(HWND parent);

    // Starts tracking the child with its current rectangle; returns 1, or 0 (0xFFFF, no such child, tracked, no memory).
    int AddControl(unsigned short id, unsigned long flags);
    // Stops tracking the child; returns 1, or 0 when not tracked.
    int RemoveControl(unsigned short id);
    // Replaces the flags and the recorded rectangle (null: the current one); returns 1, or 0 when not tracked.
    int ModifyControl(unsigned short id, unsigned long flags, RECT* rect);
    // Returns the child's flags, or 0xFFFFFFFF when not tracked.
    unsigned long GetControlFlags(unsigned short id) const;
    // Copies the recorded rectangle; returns 1, or 0 (null pointer, not tracked).
    int GetControlRect(unsigned short id, RECT* rect) const;
    // Moves and sizes every tracked control for the parent's current client size; returns 1.
    int Resize();

    // The list belongs to one object: copies would release it twice.
    CResize(const CResize&) = delete;
    CResize& operator=(const CResize&) = delete;

private:
    struct Entry {
        unsigned short id;
        unsigned long flags;
        RECT rect;
        Entry* next;
    };

    void Attach(HWND parent);
    void ReleaseList();
    Entry* Find(unsigned short id) const;
    int RecordRect(unsigned short id, RECT* rect) const;

    HWND m_parent;
    RECT m_attached;
    Entry* m_head;
};
