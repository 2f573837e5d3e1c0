// commctrls.h - wrappers over the Windows common controls.
//
// Classes in this header:
//   CImgList     owner of one image list
//   CToolBar     toolbar control
//   CToolTip     tooltip window with a stored tool rectangle
//   CTab         tab control
//   CListView    list-view control
//   CTreeView    tree-view control, with a depth-first walk of its items
//   CRebar       rebar control
//   CPropPage    owner of one property sheet page
//   CPropSheet   runs a modal property sheet over CPropPage objects
#pragma once

#include <windows.h>
#include <commctrl.h>
#include "frame.h"
#include "form.h"

// Called by CTreeView::EnumItems for each item; returns nonzero to go on, zero to stop.
typedef int (CALLBACK* TREEENUMPROC)(TVITEMA* item, long lParam);

class TARVIK_API CImgList {
public:
    CImgList(HIMAGELIST list = NULL);
    virtual ~CImgList();

    // Makes a new list (the previous one is not destroyed); returns 1, or 0 when it was not created.
    int Create(long cx, long cy, unsigned long flags);
    // Destroys the list; returns ImageList_Destroy's result.
    int Destroy();
    // Returns the number of images.
    int GetImageCount() const;
    // Returns the index of the first image added from the bitmap, or -1.
    int AddImage(HBITMAP image, HBITMAP mask);
    // Returns the index of the icon appended, or -1.
    int AddIcon(HICON icon);
    // Returns ImageList_Draw's result.
    int Draw(HDC dc, long index, long x, long y, unsigned long style);
    // Returns ImageList_DrawEx's result.
    int DrawEx(HDC dc, long index, long x, long y, long dx, long dy, COLORREF bk, COLORREF fg, unsigned long style);

    // Returns the image list handle, null when there is none.
    operator HIMAGELIST() const;
    // Returns the image list handle, null when there is none.
    HIMAGELIST GetImageList() const;

    CImgList(const CImgList&) = delete;
    CImgList& operator=(const CImgList&) = delete;

private:
    HIMAGELIST m_list;
};

class TARVIK_API CToolBar : public CForm {
public:
    CToolBar(HWND toolbar = NULL);
    virtual ~CToolBar();

    // Creates an empty toolbar with the given sizes; returns 1, or 0 when it was not created.
    int Create(HWND parent, unsigned long style, unsigned int id, long buttonWidth, long buttonHeight,
               long bitmapWidth, long bitmapHeight);
    // Returns the index of the first image of the bitmap added (TB_ADDBITMAP).
    long AddBitmap(HINSTANCE inst, long count, unsigned int bitmapId);
    // Inserts an enabled push button; returns TB_INSERTBUTTONA's answer.
    long AddButton(long index, long image, unsigned int command);
    // Inserts a separator; returns TB_INSERTBUTTONA's answer.
    long AddSeparetor(long index);
    // Returns TB_DELETEBUTTON's answer.
    long DeleteButton(long index);
    // Returns the number of buttons (TB_BUTTONCOUNT).
    long GetButtonCount() const;
    // Returns the index of the button with the command (TB_COMMANDTOINDEX).
    long CommandToIndex(long command) const;
    // Returns TB_GETBUTTON's answer for the button at the index.
    long GetButton(unsigned long index, TBBUTTON* button) const;
    // Returns TB_GETBUTTON's answer for the button with the command.
    long GetButtonFromCommand(long command, TBBUTTON* button) const;
    // Returns TB_ENABLEBUTTON's answer.
    long EnableButton(long command, int flag);
    // Returns TB_CHECKBUTTON's answer.
    long CheckButton(long command, int flag);
    // Returns TB_PRESSBUTTON's answer.
    long PressButton(long command, int flag);
    // Returns TB_HIDEBUTTON's answer.
    long HideButton(long command, int flag);
    // Returns the previous image list (TB_SETIMAGELIST).
    HIMAGELIST SetImageList(HIMAGELIST list);
    // Returns the image list (TB_GETIMAGELIST).
    HIMAGELIST GetImageList() const;
};

class TARVIK_API CToolTip : public CForm {
public:
    CToolTip();
    virtual ~CToolTip();

    // Creates the tooltip window; returns 1, or 0 when it was not created.
    int Create();
    // Destroys the window; returns 1 (and forgets it), or 0 when DestroyWindow failed.
    int Destroy();
    // Stores the tool rectangle for later SetTipText calls; returns nothing.
    void SetRect(RECT* rect);
    // Stores the tool rectangle for later SetTipText calls; returns nothing.
    void SetRect(long left, long top, long right, long bottom);
    // Adds a tool for the window (TTM_ADDTOOLA, always a new one); returns the control's answer.
    long SetTipText(HWND tool, const char* text, unsigned int id);

private:
    RECT m_rect;
};

class TARVIK_API CTab : public CForm {
public:
    CTab(HWND tab = NULL);
    virtual ~CTab();

    // Returns the new item's index, or -1 (TCM_INSERTITEMA).
    long Insert(const char* text, long index, long image);
    // Reads the item's text into a 260-character buffer; returns TCM_GETITEMA's answer.
    long GetString(long index, char* buffer) const;
    // Returns TCM_GETITEMA's answer.
    long GetItem(long index, TCITEMA* item) const;
    // Returns TCM_DELETEITEM's answer.
    long DeleteItem(long index);
    // Returns TCM_DELETEALLITEMS's answer.
    long ResetItems();
    // Returns the previously selected index (TCM_SETCURSEL).
    long SetCurSel(long index);
    // Returns the selected index, or -1 (TCM_GETCURSEL).
    long GetCurSel() const;
    // Returns the previous image list (TCM_SETIMAGELIST).
    HIMAGELIST SetImageList(HIMAGELIST list);
    // Returns the image list (TCM_GETIMAGELIST).
    HIMAGELIST GetImageList() const;
};

class TARVIK_API CListView : public CForm {
public:
    CListView(HWND listView = NULL);
    virtual ~CListView();

    // Returns the new column's index, or -1 (LVM_INSERTCOLUMNA, left-aligned text column).
    long InsertColumn(const char* text, long width, long index);
    // Returns the new column's index, or -1 (LVM_INSERTCOLUMNA).
    long InsertColumn(LVCOLUMNA* column, long index);
    // Appends the column after the last one; returns its index, or -1.
    long operator+=(LVCOLUMNA* column);
    // Returns the new item's index, or -1 (LVM_INSERTITEMA); extra has no effect.
    long InsertString(const char* text, long item, long extra, long image);
    // Returns LVM_SETITEMA's answer for the sub-item's text.
    long InsertSubItem(const char* text, long item, long subItem);
    // Returns the new item's index, or -1 (LVM_INSERTITEMA with the given wParam).
    long InsertItem(long wParam, LVITEMA* item);
    // Appends the item; returns its index, or -1.
    long operator+=(LVITEMA* item);
    // Adds the bits to the window style; returns the previous style.
    long SetStyle(long bits);
    // Returns the previous small image list (LVM_SETIMAGELIST, LVSIL_SMALL).
    HIMAGELIST SetImageList(HIMAGELIST list);
    // Returns the normal image list (LVM_GETIMAGELIST, LVSIL_NORMAL).
    HIMAGELIST GetImageList() const;
    // Returns LVM_DELETEITEM's answer.
    long DeleteItem(long item);
    // Returns LVM_DELETEALLITEMS's answer.
    long ResetContent();
    // Returns the number of items (LVM_GETITEMCOUNT).
    long GetItemCount() const;
    // Reads the item's or sub-item's text into a 260-character buffer; returns LVM_GETITEMA's answer.
    long GetText(char* buffer, long item, long subItem) const;
    // Returns LVM_SETBKCOLOR's answer.
    long SetBkColor(COLORREF color);
    // Returns LVM_SETTEXTCOLOR's answer.
    long SetTextColor(COLORREF color);
    // Returns the first selected item, or -1.
    long GetCurSel() const;
    // Returns the first selected item, or -1.
    long GetHotItem() const;
    // Stores the item index into the record, then returns LVM_GETITEMA's answer.
    long GetItemInfo(long item, LVITEMA* info) const;
    // Returns LVM_SETITEMA's answer.
    long SetItemInfo(LVITEMA* info);
    // Returns the number of selected items (LVM_GETSELECTEDCOUNT).
    long GetSelectedCount() const;
};

class TARVIK_API CTreeView : public CForm {
public:
    CTreeView(HWND treeView = NULL);
    virtual ~CTreeView();

    // Returns the new item, or null (TVM_INSERTITEMA).
    HTREEITEM InsertItem(TVINSERTSTRUCTA* insert);
    // Returns the new item, or null (TVM_INSERTITEMA).
    HTREEITEM operator+=(TVINSERTSTRUCTA* insert);
    // Appends a text item under the parent, with the two images when useImages is nonzero; returns it or null.
    HTREEITEM InsertItem(const char* text, HTREEITEM parent, int useImages, long image, long selectedImage);
    // Returns TVM_DELETEITEM's answer.
    int DeleteItem(HTREEITEM item);
    // Returns TVM_DELETEITEM's answer for the whole tree.
    int DeleteAll();
    // Returns the number of items (TVM_GETCOUNT).
    long GetCount() const;
    // Returns TVM_SETITEMA's answer.
    int SetItem(TVITEMA* item);
    // Returns TVM_GETITEMA's answer.
    int GetItem(TVITEMA* item) const;
    // Walks every item, children before their parent; returns 1 when all were visited, 0 when stopped.
    int EnumItems(TREEENUMPROC callback, long lParam);
    // Returns 1 when the control expanded or collapsed the item, else 0.
    int Expand(HTREEITEM item, unsigned long code);
    // Returns 1 when the control collapsed the item, else 0.
    int Collapse(HTREEITEM item);
    // Returns TVM_SETINDENT's answer.
    long SetIndent(long indent);
    // Returns the indent (TVM_GETINDENT).
    long GetIndent() const;
    // Returns the previous normal image list.
    HIMAGELIST SetImageList(HIMAGELIST list);
    // Returns the normal image list.
    HIMAGELIST GetImageList() const;
    // Returns the previous state image list.
    HIMAGELIST SetStateImageList(HIMAGELIST list);
    // Returns the state image list.
    HIMAGELIST GetStateImageList() const;
    // Returns the item related to the given one by the code (TVM_GETNEXTITEM), or null.
    HTREEITEM GetNextItem(HTREEITEM item, unsigned long code) const;
    // Returns the first child, or null.
    HTREEITEM GetItemChild(HTREEITEM item) const;
    // Returns the next sibling, or null.
    HTREEITEM GetItemNextSibling(HTREEITEM item) const;
    // Returns the previous sibling, or null.
    HTREEITEM GetItemPrevSibling(HTREEITEM item) const;
    // Returns the parent, or null.
    HTREEITEM GetItemParent(HTREEITEM item) const;
    // Returns the next visible item, or null.
    HTREEITEM GetItemNextVisible(HTREEITEM item) const;
    // Returns the previous visible item, or null.
    HTREEITEM GetItemPrevVisible(HTREEITEM item) const;
    // Returns the first visible item, or null.
    HTREEITEM GetItemFirstVisible() const;
    // Returns the selected item, or null.
    HTREEITEM GetItemSelection() const;
    // Returns the drop target, or null.
    HTREEITEM GetItemDropHilight() const;
    // Returns the first top-level item, or null.
    HTREEITEM GetItemRoot() const;
    // Returns TVM_SELECTITEM's answer.
    int Select(HTREEITEM item, unsigned long code);
    // Returns TVM_SELECTITEM's answer (TVGN_DROPHILITE).
    int SelectDropTarget(HTREEITEM item);
    // Returns TVM_SELECTITEM's answer (TVGN_FIRSTVISIBLE).
    int SelectFirstVisible(HTREEITEM item);

private:
    int WalkLevel(HTREEITEM first, TREEENUMPROC callback, long lParam);
};

class TARVIK_API CRebar : public CForm {
public:
    CRebar(HWND rebar = NULL);
    virtual ~CRebar();

    // Creates the rebar window; returns 1, or 0 when it was not created.
    int Create(HWND parent, unsigned long style, unsigned long exStyle, HINSTANCE inst, void* param);
    // Returns RB_SETBARINFO's answer.
    long SetBarInfo(unsigned long mask, HIMAGELIST list);
    // Returns RB_GETBARINFO's answer.
    long GetBarInfo(REBARINFO* info) const;
    // Returns RB_INSERTBANDA's answer.
    long InsertBand(long index, REBARBANDINFOA* band);
    // Returns RB_SETBANDINFOA's answer.
    long SetBandInfo(long index, REBARBANDINFOA* band);
    // Returns RB_GETBANDINFOA's answer.
    long GetBandInfo(long index, REBARBANDINFOA* band) const;
    // Returns RB_DELETEBAND's answer.
    long DeleteBand(long index);
    // Sends WM_SIZE so the rebar lays itself out; returns nothing.
    void Resize();
    // Returns RB_SHOWBAND's answer.
    long ShowBand(long index, int show);
    // Returns 1 when the band is shown, 0 when it is hidden or cannot be read.
    int IsShown(long index) const;
    // Returns RB_MOVEBAND's answer.
    long MoveBand(long from, long to);
    // Returns RB_SETTOOLTIPS's answer.
    long SetToolTips(HWND toolTip);
    // Returns the tooltip window (RB_GETTOOLTIPS).
    HWND GetToolTips() const;
    // Returns the index of the band with the identifier, or -1 (RB_IDTOINDEX).
    long IDToIndex(long id) const;
};

class TARVIK_API CPropPage {
public:
    CPropPage(HPROPSHEETPAGE page = NULL);
    virtual ~CPropPage();

    // Creates the page (lParam becomes the page's lParam); returns 1, or 0 when it was not created.
    int Create(HINSTANCE inst, DLGPROC proc, const char* templateName, const char* title, unsigned long flags,
               HICON icon, long lParam);
    // Destroys a page still held and forgets it; returns 1.
    int Destroy();

    // Returns the page handle, null when there is none.
    operator HPROPSHEETPAGE() const;
    // Returns the page handle, null when there is none.
    HPROPSHEETPAGE GetPage() const;

    CPropPage(const CPropPage&) = delete;
    CPropPage& operator=(const CPropPage&) = delete;

private:
    friend class CPropSheet;
    HPROPSHEETPAGE m_page;
};

class TARVIK_API CPropSheet : public CForm {
public:
    CPropSheet();
    virtual ~CPropSheet();

    // Runs a modal sheet over the pages, which it takes over; returns PropertySheetA's result, or -1.
    INT_PTR DoModal(HINSTANCE inst, HWND parent, long count, CPropPage* pages, const char* caption,
                    unsigned long flags, long startPage, HICON icon);
};
