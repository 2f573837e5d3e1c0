// dialogs.cpp - the bar colour settings dialog and the version information dialog.
#include "dialogs.h"

#include "cmndlg.h"
#include "conveniences.h"
#include "resource.h"
#include "shell.h"

namespace {

// The colour chooser opens fully expanded, preset to the current colour.
const unsigned long kChooserFlags = CC_RGBINIT | CC_FULLOPEN;

// Returns the Bar2Colors entry behind entry i (0 background ... 3 marker range).
COLORREF* ColorEntry(Bar2Colors& colors, int i)
{
    COLORREF* entries[4] = {&colors.bkgColor, &colors.lineColor, &colors.barColor, &colors.markerColor};
    return entries[i];
}

}  // namespace

// ---- ColorDialog ----

ColorDialog::ColorDialog(ColorDialogParams* params) : CForm(), m_params(params)
{
    for (int i = 0; i < 4; ++i) {
        m_brushes[i] = 0;
        m_brushColors[i] = 0;
    }
}

ColorDialog::~ColorDialog()
{
    ReleaseBrushes();
}

INT_PTR ColorDialog::Show()
{
    if (!m_params)
        return 0;
    return DialogBoxParamA(m_params->instance, MAKEINTRESOURCEA(IDD_COLORS), m_params->parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

HBRUSH ColorDialog::SwatchBrush(int i)
{
    COLORREF wanted = *ColorEntry(m_params->colors, i);
    if (m_brushes[i] && m_brushColors[i] == wanted)
        return m_brushes[i];
    // The colour changed (or this is the first paint): the old brush goes before the new one comes.
    if (m_brushes[i])
        DeleteObject(m_brushes[i]);
    m_brushes[i] = CreateSolidBrush(wanted);
    m_brushColors[i] = wanted;
    return m_brushes[i];
}

int ColorDialog::ReleaseBrushes()
{
    int released = 0;
    for (int i = 0; i < 4; ++i) {
        if (m_brushes[i]) {
            DeleteObject(m_brushes[i]);
            m_brushes[i] = 0;
            ++released;
        }
    }
    return released;
}

int ColorDialog::PickColor(int i)
{
    CCmnDlg chooser(*this);
    if (chooser.ShowColor(ColorEntry(m_params->colors, i), 0, kChooserFlags) != 1)
        return 0;
    SendMessageChild(IDC_POSITION_BAR, BM2_SETCOLORS, 0, reinterpret_cast<LPARAM>(&m_params->colors));
    Invalidate(0, 0);
    return 1;
}

INT_PTR CALLBACK ColorDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        ColorDialog* self = reinterpret_cast<ColorDialog*>(lParam);
        self->SetWindow(window);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        FitDialogTexts(window);
        self->MoveToCenter(0);
        Bar2Colors* colors = &self->m_params->colors;
        self->SendMessageChild(IDC_POSITION_BAR, BM2_SETRANGE, 0, 100);
        self->SendMessageChild(IDC_POSITION_BAR, BM2_SETMARKER, 1, 40);
        self->SendMessageChild(IDC_POSITION_BAR, BM2_SETMARKER, 0, 75);
        self->SendMessageChild(IDC_POSITION_BAR, BM2_SETPOS, 0, 50);
        self->SendMessageChild(IDC_POSITION_BAR, BM2_SETCOLORS, 0, reinterpret_cast<LPARAM>(colors));
        return 1;
    }

    ColorDialog* self = reinterpret_cast<ColorDialog*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return 0;

    switch (message) {
    case WM_COMMAND: {
        UINT id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            ::PostMessageA(window, WM_CLOSE, id, 0);
            return 1;
        }
        if (id >= IDC_SWATCH_BKG && id <= IDC_SWATCH_MARKER) {
            self->PickColor(id - IDC_SWATCH_BKG);
            return 1;
        }
        return 0;
    }
    case WM_CLOSE:
        ::EndDialog(window, wParam);
        return 1;
    case WM_CTLCOLORSTATIC: {
        int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id >= IDC_SWATCH_BKG && id <= IDC_SWATCH_MARKER)
            return reinterpret_cast<INT_PTR>(self->SwatchBrush(id - IDC_SWATCH_BKG));
        return 0;
    }
    case WM_DESTROY:
        // No brush outlives the dialog, and no later message reaches the object.
        self->ReleaseBrushes();
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        return 0;
    }
    return 0;
}

// ---- AboutDialog ----

AboutDialog::AboutDialog(HINSTANCE instance) : CForm(), m_instance(instance)
{
}

AboutDialog::~AboutDialog()
{
}

INT_PTR AboutDialog::Show(HWND owner)
{
    return DialogBoxParamA(m_instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK AboutDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        AboutDialog* self = reinterpret_cast<AboutDialog*>(lParam);
        self->SetWindow(window);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        FitDialogTexts(window);
        self->MoveToCenter(self->GetParent());
        return 1;
    }
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            ::PostMessageA(window, WM_CLOSE, LOWORD(wParam), 0);
            return 1;
        }
        return 0;
    case WM_CLOSE:
        ::EndDialog(window, wParam);
        return 1;
    }
    return 0;
}

// ---- commands ----

int BarColorsCommand()
{
    ColorDialogParams params;
    params.instance = appInstance;
    params.parent = mainForm;
    mainForm.SendMessageChild(IDC_POSITION_BAR, BM2_GETCOLORS, 0, reinterpret_cast<LPARAM>(&params.colors));
    ColorDialog dialog(&params);
    if (dialog.Show() != 1)
        return 0;
    mainForm.SendMessageChild(IDC_POSITION_BAR, BM2_SETCOLORS, 0, reinterpret_cast<LPARAM>(&params.colors));
    mainForm.Invalidate(0, 0);
    return 1;
}

int AboutCommand()
{
    AboutDialog dialog(appInstance);
    dialog.Show(mainForm);
    return 1;
}
