// cmndlg.cpp - CCmnDlg, the common dialogs.
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>
#include <objbase.h>
#include <stddef.h>

#include "cmndlg.h"
#include "internal.h"

// The records as the 32-bit build lays them out.
static_assert(sizeof(void*) != 4 || sizeof(OPENFILENAMEA) == 88, "OPENFILENAMEA is 88 bytes");
static_assert(sizeof(void*) != 4 || offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == 76,
              "the older record is 76 bytes");
static_assert(sizeof(void*) != 4 || sizeof(CHOOSEFONTA) == 60, "CHOOSEFONTA is 60 bytes");
static_assert(sizeof(void*) != 4 || sizeof(CHOOSECOLORA) == 36, "CHOOSECOLORA is 36 bytes");
static_assert(sizeof(void*) != 4 || sizeof(PRINTDLGA) == 66, "PRINTDLGA is 66 bytes, packed");

namespace {

// The colour dialog's custom colours, shared by every object while the library is loaded.
COLORREF g_customColors[16];

// Fills in the record for one open or save dialog (a null filter or title keeps the one set before).
void PrepareFileDialog(OPENFILENAMEA& ofn, HWND owner, char* file, const char* filter, const char* fileTitle,
                       unsigned long flags)
{
    ofn.hwndOwner = owner;
    ofn.lpstrFile = file;
    ofn.Flags = flags;
    if (filter)
        ofn.lpstrFilter = filter;
    if (fileTitle)
        ofn.lpstrFileTitle = const_cast<char*>(fileTitle);
}

}  // namespace

CCmnDlg::CCmnDlg(HWND owner) : m_owner(owner)
{
    StartFileDialogRecord(m_ofn, NULL);
    m_ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    ZeroMemory(&m_cf, sizeof m_cf);
    m_cf.lStructSize = sizeof m_cf;
    ZeroMemory(&m_cc, sizeof m_cc);
    m_cc.lStructSize = sizeof m_cc;
    ZeroMemory(&m_pd, sizeof m_pd);
    m_pd.lStructSize = sizeof m_pd;
}

CCmnDlg::CCmnDlg(const CCmnDlg& other)
    : m_owner(other.m_owner), m_ofn(other.m_ofn), m_cf(other.m_cf), m_cc(other.m_cc),
      m_pd(other.m_pd)
{
}

CCmnDlg::~CCmnDlg() {}

CCmnDlg& CCmnDlg::operator=(const CCmnDlg& other)
{
    m_owner = other.m_owner;
    m_ofn = other.m_ofn;
    m_cf = other.m_cf;
    m_cc = other.m_cc;
    m_pd = other.m_pd;
    return *this;
}

HWND CCmnDlg::operator=(HWND owner)
{
    HWND previous = m_owner;
    m_owner = owner;
    return previous;
}

long CCmnDlg::ShowOpen(char* file, const char* filter, const char* fileTitle, unsigned long flags)
{
    PrepareFileDialog(m_ofn, m_owner, file, filter, fileTitle, flags);
    return ::GetOpenFileNameA(&m_ofn);
}

long CCmnDlg::ShowSave(char* file, const char* filter, const char* fileTitle, unsigned long flags)
{
    PrepareFileDialog(m_ofn, m_owner, file, filter, fileTitle, flags);
    return ::GetSaveFileNameA(&m_ofn);
}

long CCmnDlg::ShowColor(COLORREF* color, const char*, unsigned long flags)
{
    m_cc.Flags = flags;
    m_cc.lpCustColors = g_customColors;
    m_cc.rgbResult = color ? *color : 0;
    m_cc.hwndOwner = m_owner;
    long result = ::ChooseColorA(&m_cc);
    if (color)
        *color = m_cc.rgbResult;
    return result;
}

long CCmnDlg::ShowFont(LOGFONTA* font, int* pointSize, COLORREF* color, unsigned long flags)
{
    m_cf.Flags = flags;
    m_cf.lpLogFont = font;
    m_cf.hwndOwner = m_owner;
    long result = ::ChooseFontA(&m_cf);
    if (pointSize)
        *pointSize = m_cf.iPointSize;
    if (color)
        *color = m_cf.rgbColors;
    return result;
}

long CCmnDlg::ShowPrinter(unsigned long flags)
{
    m_pd.Flags = flags;
    m_pd.hwndOwner = m_owner;
    return ::PrintDlgA(&m_pd);
}

HDC CCmnDlg::GetPrinterDC() const
{
    return m_pd.hDC;
}

long CCmnDlg::ShowPath(char* path, unsigned long flags, const char* title)
{
    BROWSEINFOA info;
    ZeroMemory(&info, sizeof info);
    info.hwndOwner = m_owner;
    info.ulFlags = flags;
    info.lpfn = CmnDlgBrowseProc;
    info.lParam = reinterpret_cast<LPARAM>(path);
    if (title)
        info.lpszTitle = title;
    LPITEMIDLIST chosen = ::SHBrowseForFolderA(&info);
    if (!chosen)
        return 0;
    long result = ::SHGetPathFromIDListA(chosen, path);
    ::CoTaskMemFree(chosen);
    return result;
}

int CALLBACK CCmnDlg::CmnDlgBrowseProc(HWND window, UINT message, LPARAM, LPARAM data)
{
    if (message != BFFM_INITIALIZED)
        return 0;
    ::SendMessageA(window, BFFM_SETSELECTIONA, TRUE, data);
    return 1;
}

OPENFILENAMEA* CCmnDlg::GetOfn() const
{
    return const_cast<OPENFILENAMEA*>(&m_ofn);
}

CHOOSEFONTA* CCmnDlg::GetCf() const
{
    return const_cast<CHOOSEFONTA*>(&m_cf);
}

CHOOSECOLORA* CCmnDlg::GetCc() const
{
    return const_cast<CHOOSECOLORA*>(&m_cc);
}

PRINTDLGA* CCmnDlg::GetPrn() const
{
    return const_cast<PRINTDLGA*>(&m_pd);
}
