// commctrls.cpp - wrappers over the Windows common controls.
#include <windows.h>
#include <commctrl.h>
#include <stddef.h>
#include <stdlib.h>

#include "commctrls.h"
#include "internal.h"

// The record sizes the controls are handed, as they are on 32-bit Windows.
static_assert(sizeof(void*) != 4 || sizeof(TBBUTTON) == 20, "TBBUTTON is 20 bytes");
static_assert(sizeof(void*) != 4 || sizeof(TOOLINFOA) == 48, "TOOLINFOA is 48 bytes");
static_assert(sizeof(void*) != 4 || sizeof(REBARINFO) == 12, "REBARINFO is 12 bytes");
static_assert(sizeof(void*) != 4 || offsetof(REBARBANDINFOA, cxHeader) + sizeof(UINT) == 80,
              "REBARBANDINFOA is 80 bytes");
static_assert(sizeof(void*) != 4 || offsetof(PROPSHEETPAGEA, hActCtx) + sizeof(HANDLE) == 52,
              "PROPSHEETPAGEA is 52 bytes");
static_assert(sizeof(void*) != 4 || offsetof(PROPSHEETHEADERA, hbmHeader) + sizeof(HBITMAP) == 52,
              "PROPSHEETHEADERA is 52 bytes");

// ---------------------------------------------------------------------------------------------
// CImgList

CImgList::CImgList(HIMAGELIST list) : m_list(list)
{
}

CImgList::~CImgList()
{
    Destroy();
}

int CImgList::Create(long cx, long cy, unsigned long flags)
{
    m_list = ImageList_Create(cx, cy, flags, 0, 0);
    return m_list ? 1 : 0;
}

int CImgList::Destroy()
{
    if (!m_list)
        return 0;
    int result = ImageList_Destroy(m_list);
    m_list = NULL;
    return result;
}

int CImgList::GetImageCount() const
{
    return ImageList_GetImageCount(m_list);
}

int CImgList::AddImage(HBITMAP image, HBITMAP mask)
{
    return ImageList_Add(m_list, image, mask);
}

int CImgList::AddIcon(HICON icon)
{
    return ImageList_ReplaceIcon(m_list, -1, icon);
}

int CImgList::Draw(HDC dc, long index, long x, long y, unsigned long style)
{
    return ImageList_Draw(m_list, index, dc, x, y, style);
}

int CImgList::DrawEx(HDC dc, long index, long x, long y, long dx, long dy, COLORREF bk, COLORREF fg,
                     unsigned long style)
{
    return ImageList_DrawEx(m_list, index, dc, x, y, dx, dy, bk, fg, style);
}

CImgList::operator HIMAGELIST() const
{
    return m_list;
}

HIMAGELIST CImgList::GetImageList() const
{
    return m_list;
}

// ---------------------------------------------------------------------------------------------
// CToolBar

CToolBar::CToolBar(HWND toolbar) : CForm()
{
    SetWindow(toolbar);
}

CToolBar::~CToolBar()
{
}

int CToolBar::Create(HWND parent, unsigned long style, unsigned int id, long buttonWidth, long buttonHeight,
                     long bitmapWidth, long bitmapHeight)
{
    HWND toolbar = CreateToolbarEx(parent, style, id, 0, NULL, 0, NULL, 0, buttonWidth, buttonHeight,
                                   bitmapWidth, bitmapHeight, sizeof(TBBUTTON));
    SetWindow(toolbar);
    return toolbar ? 1 : 0;
}

long CToolBar::AddBitmap(HINSTANCE inst, long count, unsigned int bitmapId)
{
    TBADDBITMAP add;
    add.hInst = inst;
    add.nID = bitmapId;
    return Send(GetWindow(), TB_ADDBITMAP, count, &add);
}

long CToolBar::AddButton(long index, long image, unsigned int command)
{
    TBBUTTON button;
    ZeroMemory(&button, sizeof button);
    button.iBitmap = image;
    button.idCommand = command;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = TBSTYLE_BUTTON;
    return Send(GetWindow(), TB_INSERTBUTTONA, index, &button);
}

long CToolBar::AddSeparetor(long index)
{
    TBBUTTON button;
    ZeroMemory(&button, sizeof button);
    button.fsStyle = TBSTYLE_SEP;
    return Send(GetWindow(), TB_INSERTBUTTONA, index, &button);
}

long CToolBar::DeleteButton(long index) { return Send(GetWindow(), TB_DELETEBUTTON, index, 0); }
long CToolBar::GetButtonCount() const { return Send(GetWindow(), TB_BUTTONCOUNT, 0, 0); }
long CToolBar::CommandToIndex(long command) const { return Send(GetWindow(), TB_COMMANDTOINDEX, command, 0); }

long CToolBar::GetButton(unsigned long index, TBBUTTON* button) const
{
    return Send(GetWindow(), TB_GETBUTTON, index, button);
}

long CToolBar::GetButtonFromCommand(long command, TBBUTTON* button) const
{
    return Send(GetWindow(), TB_GETBUTTON, CommandToIndex(command), button);
}

long CToolBar::EnableButton(long command, int flag) { return Send(GetWindow(), TB_ENABLEBUTTON, command, flag); }
long CToolBar::CheckButton(long command, int flag) { return Send(GetWindow(), TB_CHECKBUTTON, command, flag); }
long CToolBar::PressButton(long command, int flag) { return Send(GetWindow(), TB_PRESSBUTTON, command, flag); }
long CToolBar::HideButton(long command, int flag) { return Send(GetWindow(), TB_HIDEBUTTON, command, flag); }

HIMAGELIST CToolBar::SetImageList(HIMAGELIST list)
{
    return reinterpret_cast<HIMAGELIST>(::SendMessageA(GetWindow(), TB_SETIMAGELIST, 0,
                                                       reinterpret_cast<LPARAM>(list)));
}

HIMAGELIST CToolBar::GetImageList() const
{
    return reinterpret_cast<HIMAGELIST>(::SendMessageA(GetWindow(), TB_GETIMAGELIST, 0, 0));
}

// ---------------------------------------------------------------------------------------------
// CToolTip

CToolTip::CToolTip() : CForm()
{
    m_rect.left = 0;
    m_rect.top = 0;
    m_rect.right = 140;
    m_rect.bottom = 40;
}

CToolTip::~CToolTip()
{
}

int CToolTip::Create()
{
    HWND tip = CreateWindowExA(0, "tooltips_class32", NULL, TTS_ALWAYSTIP, 0, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                               NULL, NULL, NULL, NULL);
    SetWindow(tip);
    return tip ? 1 : 0;
}

int CToolTip::Destroy()
{
    if (!DestroyWindow(GetWindow()))
        return 0;
    SetWindow(NULL);
    return 1;
}

void CToolTip::SetRect(RECT* rect)
{
    m_rect = *rect;
}

void CToolTip::SetRect(long left, long top, long right, long bottom)
{
    m_rect.left = left;
    m_rect.top = top;
    m_rect.right = right;
    m_rect.bottom = bottom;
}

long CToolTip::SetTipText(HWND tool, const char* text, unsigned int id)
{
    TOOLINFOA info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = tool;
    info.uId = id;
    info.rect = m_rect;
    info.hinst = NULL;
    info.lpszText = const_cast<char*>(text);
    return Send(GetWindow(), TTM_ADDTOOLA, 0, &info);
}

// ---------------------------------------------------------------------------------------------
// CTab

CTab::CTab(HWND tab) : CForm()
{
    SetWindow(tab);
}

CTab::~CTab()
{
}

long CTab::Insert(const char* text, long index, long image)
{
    TCITEMA item;
    ZeroMemory(&item, sizeof item);
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(text);
    item.cchTextMax = 260;
    if (image != -1) {
        item.mask |= TCIF_IMAGE;
        item.iImage = image;
    }
    return Send(GetWindow(), TCM_INSERTITEMA, index, &item);
}

long CTab::GetString(long index, char* buffer) const
{
    TCITEMA item;
    ZeroMemory(&item, sizeof item);
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 260;
    return Send(GetWindow(), TCM_GETITEMA, index, &item);
}

long CTab::GetItem(long index, TCITEMA* item) const { return Send(GetWindow(), TCM_GETITEMA, index, item); }
long CTab::DeleteItem(long index) { return Send(GetWindow(), TCM_DELETEITEM, index, 0); }
long CTab::ResetItems() { return Send(GetWindow(), TCM_DELETEALLITEMS, 0, 0); }
long CTab::SetCurSel(long index) { return Send(GetWindow(), TCM_SETCURSEL, index, 0); }
long CTab::GetCurSel() const { return Send(GetWindow(), TCM_GETCURSEL, 0, 0); }

HIMAGELIST CTab::SetImageList(HIMAGELIST list)
{
    return reinterpret_cast<HIMAGELIST>(::SendMessageA(GetWindow(), TCM_SETIMAGELIST, 0,
                                                       reinterpret_cast<LPARAM>(list)));
}

HIMAGELIST CTab::GetImageList() const
{
    return reinterpret_cast<HIMAGELIST>(::SendMessageA(GetWindow(), TCM_GETIMAGELIST, 0, 0));
}

// ---------------------------------------------------------------------------------------------
// CListView

CListView::CListView(HWND listView) : CForm()
{
    SetWindow(listView);
}

CListView::~CListView()
{
}

long CListView::InsertColumn(const char* text, long width, long index)
{
    LVCOLUMNA column;
    ZeroMemory(&column, sizeof column);
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<char*>(text);
    column.cchTextMax = 260;
    return Send(GetWindow(), LVM_INSERTCOLUMNA, index, &column);
}

long CListView::InsertColumn(LVCOLUMNA* column, long index)
{
    return Send(GetWindow(), LVM_INSERTCOLUMNA, index, column);
}

long CListView::operator+=(LVCOLUMNA* column)
{
    // The control refuses a negative column index; an index past the last column appends.
    return InsertColumn(column, 0x7FFFFFFF);
}

long CListView::InsertString(const char* text, long item, long extra, long image)
{
    LVITEMA record;
    ZeroMemory(&record, sizeof record);
    record.mask = LVIF_TEXT;
    record.iItem = item;
    record.iSubItem = 0;
    record.pszText = const_cast<char*>(text);
    record.cchTextMax = 260;
    if (image != -1) {
        record.mask |= LVIF_IMAGE;
        record.iImage = image;
    }
    return Send(GetWindow(), LVM_INSERTITEMA, extra, &record);
}

long CListView::InsertSubItem(const char* text, long item, long subItem)
{
    LVITEMA record;
    ZeroMemory(&record, sizeof record);
    record.mask = LVIF_TEXT | LVIF_IMAGE;
    record.iItem = item;
    record.iSubItem = subItem;
    record.pszText = const_cast<char*>(text);
    record.cchTextMax = 260;
    record.iImage = 0;
    return Send(GetWindow(), LVM_SETITEMA, 0, &record);
}

long CListView::InsertItem(long wParam, LVITEMA* item) { return Send(GetWindow(), LVM_INSERTITEMA, wParam, item); }

long CListView::operator+=(LVITEMA* item)
{
    return InsertItem(-1, item);
}

long CListView::SetStyle(long bits)
{
    long previous = ::GetWindowLongA(GetWindow(), GWL_STYLE);
    ::SetWindowLongA(GetWindow(), GWL_STYLE, previous | bits);
    return previous;
}

HIMAGELIST CListView::SetImageList(HIMAGELIST list)
{
    return reinterpret_cast<HIMAGELIST>(::SendMessageA(GetWindow(), LVM_SETIMAGELIST, LVSIL_SMALL,
                                                       reinterpret_cast<LPARAM>(list)));
}

HIMAGELIST CListView::GetImageList() const
{
    return reinterpret_cast<HIMAGELIST>(::SendMessageA(GetWindow(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
}

long CListView::DeleteItem(long item) { return Send(GetWindow(), LVM_DELETEITEM, item, 0); }
long CListView::ResetContent() { return Send(GetWindow(), LVM_DELETEALLITEMS, 0, 0); }
long CListView::GetItemCount() const { return Send(GetWindow(), LVM_GETITEMCOUNT, 0, 0); }

long CListView::GetText(char* buffer, long item, long subItem) const
{
    LVITEMA record;
    ZeroMemory(&record, sizeof record);
    record.mask = LVIF_TEXT | LVIF_IMAGE;
    record.iItem = item;
    record.iSubItem = subItem;
    record.pszText = buffer;
    record.cchTextMax = 260;
    return Send(GetWindow(), LVM_GETITEMA, 0, &record);
}

long CListView::SetBkColor(COLORREF color) { return Send(GetWindow(), LVM_SETBKCOLOR, 0, color); }
long CListView::SetTextColor(COLORREF color) { return Send(GetWindow(), LVM_SETTEXTCOLOR, 0, color); }
long CListView::GetCurSel() const { return Send(GetWindow(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED); }

long CListView::GetHotItem() const
{
    return Send(GetWindow(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
}

long CListView::GetItemInfo(long item, LVITEMA* info) const
{
    info->iItem = item;
    return Send(GetWindow(), LVM_GETITEMA, 0, info);
}

long CListView::SetItemInfo(LVITEMA* info) { return Send(GetWindow(), LVM_SETITEMA, 0, info); }
long CListView::GetSelectedCount() const { return Send(GetWindow(), LVM_GETSELECTEDCOUNT, 0, 0); }

// ---------------------------------------------------------------------------------------------
// CTreeView

CTreeView::CTreeView(HWND treeView) : CForm()
{
    SetWindow(treeView);
}

CTreeView::~CTreeView()
{
}

HTREEITEM CTreeView::InsertItem(TVINSERTSTRUCTA* insert)
{
    return reinterpret_cast<HTREEITEM>(::SendMessageA(GetWindow(), TVM_INSERTITEMA, 0,
                                                      reinterpret_cast<LPARAM>(insert)));
}

HTREEITEM CTreeView::operator+=(TVINSERTSTRUCTA* insert)
{
    return InsertItem(insert);
}

HTREEITEM CTreeView::InsertItem(const char* text, HTREEITEM parent, int useImages, long image, long selectedImage)
{
    TVINSERTSTRUCTA insert;
    ZeroMemory(&insert, sizeof insert);
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text);
    if (useImages) {
        insert.item.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        insert.item.iImage = image;
        insert.item.iSelectedImage = selectedImage;
    }
    return InsertItem(&insert);
}

int CTreeView::DeleteItem(HTREEITEM item) { return Send(GetWindow(), TVM_DELETEITEM, 0, item); }
int CTreeView::DeleteAll() { return Send(GetWindow(), TVM_DELETEITEM, 0, TVI_ROOT); }
long CTreeView::GetCount() const { return Send(GetWindow(), TVM_GETCOUNT, 0, 0); }
int CTreeView::SetItem(TVITEMA* item) { return Send(GetWindow(), TVM_SETITEMA, 0, item); }
int CTreeView::GetItem(TVITEMA* item) const { return Send(GetWindow(), TVM_GETITEMA, 0, item); }

// Walks one level: each item's children first, then the item; returns 0 when stopped.
int CTreeView::WalkLevel(HTREEITEM item, TREEENUMPROC callback, long lParam)
{
    for (; item; item = GetItemNextSibling(item)) {
        HTREEITEM child = GetItemChild(item);
        if (child && !WalkLevel(child, callback, lParam))
            return 0;
        char text[260];
        text[0] = '\0';
        TVITEMA record;
        ZeroMemory(&record, sizeof record);
        record.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM | TVIF_HANDLE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
        record.hItem = item;
        record.pszText = text;
        record.cchTextMax = sizeof text;
        if (!GetItem(&record))
            return 0;
        if (!callback(&record, lParam))
            return 0;
    }
    return 1;
}

int CTreeView::EnumItems(TREEENUMPROC callback, long lParam)
{
    HTREEITEM root = GetItemRoot();
    if (!root)
        return 1;
    return WalkLevel(root, callback, lParam);
}

int CTreeView::Expand(HTREEITEM item, unsigned long code)
{
    return ::SendMessageA(GetWindow(), TVM_EXPAND, code, reinterpret_cast<LPARAM>(item)) ? 1 : 0;
}

int CTreeView::Collapse(HTREEITEM item)
{
    return ::SendMessageA(GetWindow(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(item)) ? 1 : 0;
}

long CTreeView::SetIndent(long indent) { return Send(GetWindow(), TVM_SETINDENT, indent, 0); }
long CTreeView::GetIndent() const { return Send(GetWindow(), TVM_GETINDENT, 0, 0); }

HIMAGELIST CTreeView::SetImageList(HIMAGELIST list)
{
    return reinterpret_cast<HIMAGELIST>(::SendMessageA(GetWindow(), TVM_SETIMAGELIST, TVSIL_NORMAL,
                                                       reinterpret_cast<LPARAM>(list)));
}

HIMAGELIST CTreeView::GetImageList() const
{
    return reinterpret_cast<HIMAGELIST>(::SendMessageA(GetWindow(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
}

HIMAGELIST CTreeView::SetStateImageList(HIMAGELIST list)
{
    return reinterpret_cast<HIMAGELIST>(::SendMessageA(GetWindow(), TVM_SETIMAGELIST, TVSIL_STATE,
                                                       reinterpret_cast<LPARAM>(list)));
}

HIMAGELIST CTreeView::GetStateImageList() const
{
    return reinterpret_cast<HIMAGELIST>(::SendMessageA(GetWindow(), TVM_GETIMAGELIST, TVSIL_STATE, 0));
}

HTREEITEM CTreeView::GetNextItem(HTREEITEM item, unsigned long code) const
{
    return reinterpret_cast<HTREEITEM>(::SendMessageA(GetWindow(), TVM_GETNEXTITEM, code,
                                                      reinterpret_cast<LPARAM>(item)));
}

HTREEITEM CTreeView::GetItemChild(HTREEITEM item) const
{
    return reinterpret_cast<HTREEITEM>(::SendMessageA(GetWindow(), TVM_GETNEXTITEM, TVGN_CHILD,
                                                      reinterpret_cast<LPARAM>(item)));
}

HTREEITEM CTreeView::GetItemNextSibling(HTREEITEM item) const
{
    return reinterpret_cast<HTREEITEM>(::SendMessageA(GetWindow(), TVM_GETNEXTITEM, TVGN_NEXT,
                                                      reinterpret_cast<LPARAM>(item)));
}

HTREEITEM CTreeView::GetItemPrevSibling(HTREEITEM item) const
{
    return reinterpret_cast<HTREEITEM>(::SendMessageA(GetWindow(), TVM_GETNEXTITEM, TVGN_PREVIOUS,
                                                      reinterpret_cast<LPARAM>(item)));
}

HTREEITEM CTreeView::GetItemParent(HTREEITEM item) const
{
    return reinterpret_cast<HTREEITEM>(::SendMessageA(GetWindow(), TVM_GETNEXTITEM, TVGN_PARENT,
                                                      reinterpret_cast<LPARAM>(item)));
}

HTREEITEM CTreeView::GetItemNextVisible(HTREEITEM item) const
{
    return reinterpret_cast<HTREEITEM>(::SendMessageA(GetWindow(), TVM_GETNEXTITEM, TVGN_NEXTVISIBLE,
                                                      reinterpret_cast<LPARAM>(item)));
}

HTREEITEM CTreeView::GetItemPrevVisible(HTREEITEM item) const
{
    return reinterpret_cast<HTREEITEM>(::SendMessageA(GetWindow(), TVM_GETNEXTITEM, TVGN_PREVIOUSVISIBLE,
                                                      reinterpret_cast<LPARAM>(item)));
}

HTREEITEM CTreeView::GetItemFirstVisible() const
{
    return reinterpret_cast<HTREEITEM>(::SendMessageA(GetWindow(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
}

HTREEITEM CTreeView::GetItemSelection() const
{
    return reinterpret_cast<HTREEITEM>(::SendMessageA(GetWindow(), TVM_GETNEXTITEM, TVGN_CARET, 0));
}

HTREEITEM CTreeView::GetItemDropHilight() const
{
    return reinterpret_cast<HTREEITEM>(::SendMessageA(GetWindow(), TVM_GETNEXTITEM, TVGN_DROPHILITE, 0));
}

HTREEITEM CTreeView::GetItemRoot() const
{
    return reinterpret_cast<HTREEITEM>(::SendMessageA(GetWindow(), TVM_GETNEXTITEM, TVGN_ROOT, 0));
}

int CTreeView::Select(HTREEITEM item, unsigned long code) { return Send(GetWindow(), TVM_SELECTITEM, code, item); }
int CTreeView::SelectDropTarget(HTREEITEM item) { return Send(GetWindow(), TVM_SELECTITEM, TVGN_DROPHILITE, item); }
int CTreeView::SelectFirstVisible(HTREEITEM item) { return Send(GetWindow(), TVM_SELECTITEM, TVGN_FIRSTVISIBLE, item); }

// ---------------------------------------------------------------------------------------------
// CRebar

CRebar::CRebar(HWND rebar) : CForm()
{
    SetWindow(rebar);
}

CRebar::~CRebar()
{
}

int CRebar::Create(HWND parent, unsigned long style, unsigned long exStyle, HINSTANCE inst, void* param)
{
    HWND rebar = CreateWindowExA(exStyle, "ReBarWindow32", NULL, style, 0, 0, 0, 0, parent, NULL, inst, param);
    SetWindow(rebar);
    return rebar ? 1 : 0;
}

long CRebar::SetBarInfo(unsigned long mask, HIMAGELIST list)
{
    REBARINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = mask;
    info.himl = list;
    return Send(GetWindow(), RB_SETBARINFO, 0, &info);
}

long CRebar::GetBarInfo(REBARINFO* info) const { return Send(GetWindow(), RB_GETBARINFO, 0, info); }
long CRebar::InsertBand(long index, REBARBANDINFOA* band) { return Send(GetWindow(), RB_INSERTBANDA, index, band); }
long CRebar::SetBandInfo(long index, REBARBANDINFOA* band) { return Send(GetWindow(), RB_SETBANDINFOA, index, band); }

long CRebar::GetBandInfo(long index, REBARBANDINFOA* band) const
{
    return Send(GetWindow(), RB_GETBANDINFOA, index, band);
}

long CRebar::DeleteBand(long index) { return Send(GetWindow(), RB_DELETEBAND, index, 0); }

void CRebar::Resize()
{
    ::SendMessageA(GetWindow(), WM_SIZE, 0, 0);
}

long CRebar::ShowBand(long index, int show) { return Send(GetWindow(), RB_SHOWBAND, index, show); }

int CRebar::IsShown(long index) const
{
    REBARBANDINFOA band;
    ZeroMemory(&band, sizeof band);
    band.cbSize = REBARBANDINFOA_V6_SIZE;
    band.fMask = RBBIM_STYLE;
    if (!GetBandInfo(index, &band))
        return 0;
    return (band.fStyle & RBBS_HIDDEN) ? 0 : 1;
}

long CRebar::MoveBand(long from, long to) { return Send(GetWindow(), RB_MOVEBAND, from, to); }

long CRebar::SetToolTips(HWND toolTip)
{
    return Send(GetWindow(), RB_SETTOOLTIPS, reinterpret_cast<WPARAM>(toolTip), 0);
}

HWND CRebar::GetToolTips() const
{
    return reinterpret_cast<HWND>(::SendMessageA(GetWindow(), RB_GETTOOLTIPS, 0, 0));
}

long CRebar::IDToIndex(long id) const { return Send(GetWindow(), RB_IDTOINDEX, id, 0); }

// ---------------------------------------------------------------------------------------------
// CPropPage and CPropSheet

CPropPage::CPropPage(HPROPSHEETPAGE page) : m_page(page)
{
}

CPropPage::~CPropPage()
{
    Destroy();
}

int CPropPage::Create(HINSTANCE inst, DLGPROC proc, const char* templateName, const char* title,
                      unsigned long flags, HICON icon, long lParam)
{
    PROPSHEETPAGEA page;
    ZeroMemory(&page, sizeof page);
    page.dwSize = CCSIZEOF_STRUCT(PROPSHEETPAGEA, hActCtx);
    page.dwFlags = flags;
    page.hInstance = inst;
    page.pszTemplate = templateName;
    page.hIcon = icon;
    page.pszTitle = title;
    page.pfnDlgProc = proc;
    // The page's procedure finds the caller's value in the record handed to WM_INITDIALOG.
    page.lParam = lParam;
    m_page = CreatePropertySheetPageA(&page);
    return m_page ? 1 : 0;
}

int CPropPage::Destroy()
{
    if (m_page) {
        DestroyPropertySheetPage(m_page);
        m_page = NULL;
    }
    return 1;
}

CPropPage::operator HPROPSHEETPAGE() const
{
    return m_page;
}

HPROPSHEETPAGE CPropPage::GetPage() const
{
    return m_page;
}

CPropSheet::CPropSheet() : CForm()
{
}

CPropSheet::~CPropSheet()
{
}

INT_PTR CPropSheet::DoModal(HINSTANCE inst, HWND parent, long count, CPropPage* pages, const char* caption,
                            unsigned long flags, long startPage, HICON icon)
{
    if (count <= 0 || !pages)
        return -1;
    HPROPSHEETPAGE* handles = static_cast<HPROPSHEETPAGE*>(malloc(sizeof(HPROPSHEETPAGE) * count));
    if (!handles)
        return -1;
    for (long i = 0; i < count; ++i)
        handles[i] = pages[i].m_page;

    PROPSHEETHEADERA header;
    ZeroMemory(&header, sizeof header);
    header.dwSize = CCSIZEOF_STRUCT(PROPSHEETHEADERA, hbmHeader);
    header.dwFlags = flags;
    header.hwndParent = parent;
    header.hInstance = inst;
    header.hIcon = icon;
    header.pszCaption = caption;
    header.nPages = count;
    header.nStartPage = startPage;
    header.phpage = handles;
    INT_PTR result = PropertySheetA(&header);

    free(handles);
    // The sheet has taken the pages over: their objects must not destroy them again.
    for (long i = 0; i < count; ++i)
        pages[i].m_page = NULL;
    return result;
}
