// CCmnDlg, the common dialogs: the prepared records, and each dialog run for real and answered
// from a helper thread (file open and save, colour with the shared custom colours, font,
// printer defaults). The folder browser has a program of its own (test_cmndlg_path).
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>
#include <commctrl.h>
#include <string>
#include <gtest/gtest.h>

#include "tarvik.h"
#include "harness_util.h"
#include "dialog_answer.h"

namespace {

// Control identifiers of the colour dialog (colordlg.dlg).
const int kColorRed = 706, kColorGreen = 707, kColorBlue = 708, kColorAdd = 712;

class CmnDlgTest : public testutil::DialogSuite {
protected:
    static void SetUpTestSuite()
    {
        DialogSuite::SetUpTestSuite();
        // Two files to choose from.
        testutil::WriteWholeFile(s_folder + "\\first.wav", "RIFF");
        testutil::WriteWholeFile(s_folder + "\\second.txt", "text");
    }
};

const char kFilter[] = "Wave files (*.wav)\0*.wav\0All files (*.*)\0*.*\0";
const char kOtherFilter[] = "Text (*.txt)\0*.txt\0";

// What the answering thread saw in a file dialog.
struct FileDialogSeen {
    std::string field;     // the file-name field when the dialog opened
    std::string filter0;   // the first entry of the file-type list
    int filterCount = -1;
    HWND owner = NULL;
};

// Reads the file dialog, types the name (unless null) and presses OK, or presses Cancel.
std::function<void(HWND)> AnswerFile(FileDialogSeen& seen, const char* name, bool ok)
{
    std::string typed = name ? name : "";
    return [&seen, typed, ok](HWND dialog) {
        HWND field = testutil::FileNameField(dialog);
        seen.field = field ? testutil::WindowText(field) : "<no field>";
        HWND types = GetDlgItem(dialog, cmb1);
        DWORD_PTR count = 0;
        if (types && SendMessageTimeoutA(types, CB_GETCOUNT, 0, 0, SMTO_NORMAL, 5000, &count))
            seen.filterCount = static_cast<int>(count);
        seen.filter0 = types ? testutil::ComboItem(types, 0) : "";
        seen.owner = GetWindow(dialog, GW_OWNER);
        if (ok) {
            if (!typed.empty() && field)
                SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()),
                                    SMTO_NORMAL, 5000, NULL);
            testutil::ClickButton(dialog, IDOK);
        } else {
            testutil::ClickButton(dialog, IDCANCEL);
        }
    };
}

// Runs the dialog call while the answerer answers the dialog; returns the call's result.
long WithAnswer(const std::function<void(HWND)>& answerer, const std::function<long()>& call)
{
    testutil::DialogAnswer answer(answerer);
    long result = call();
    EXPECT_TRUE(answer.Answered()) << "no dialog appeared";
    return result;
}

}  // namespace

TEST_F(CmnDlgTest, RecordsArePreparedOnConstruction)
{
    CCmnDlg dlg(s_owner);
    OPENFILENAMEA* ofn = dlg.GetOfn();
    // Wine is an NT-family platform: the full record (88 bytes in the 32-bit build).
    EXPECT_EQ(sizeof(OPENFILENAMEA), ofn->lStructSize);
    EXPECT_EQ(sizeof(void*) == 4 ? 88u : 152u, ofn->lStructSize);
    EXPECT_EQ(260u, ofn->nMaxFile);
    EXPECT_EQ(DWORD(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT), ofn->Flags);
    EXPECT_EQ(6u, ofn->Flags);
    EXPECT_EQ((HWND)NULL, ofn->hwndOwner);
    EXPECT_EQ(NULL, ofn->lpstrFilter);
    EXPECT_EQ(NULL, ofn->lpstrFile);
    EXPECT_EQ(NULL, ofn->lpstrFileTitle);
    EXPECT_EQ(0u, ofn->nMaxFileTitle);
    EXPECT_EQ(sizeof(void*) == 4 ? 60u : sizeof(CHOOSEFONTA), dlg.GetCf()->lStructSize);
    EXPECT_EQ(NULL, dlg.GetCf()->lpLogFont);
    EXPECT_EQ(0u, dlg.GetCf()->rgbColors);
    EXPECT_EQ(sizeof(void*) == 4 ? 36u : sizeof(CHOOSECOLORA), dlg.GetCc()->lStructSize);
    EXPECT_EQ(NULL, dlg.GetCc()->lpCustColors);
    EXPECT_EQ(sizeof(void*) == 4 ? 66u : sizeof(PRINTDLGA), dlg.GetPrn()->lStructSize);
    EXPECT_EQ((HDC)NULL, dlg.GetPrinterDC());

    // Copies carry the owner and the records; assigning an owner returns the previous one.
    dlg.GetOfn()->nMaxFileTitle = 33;
    CCmnDlg copy(dlg);
    EXPECT_EQ(33u, copy.GetOfn()->nMaxFileTitle);
    EXPECT_NE(dlg.GetOfn(), copy.GetOfn()) << "each object has its own records";
    CCmnDlg assigned;
    EXPECT_EQ((HWND)NULL, (assigned = s_owner));
    assigned = copy;
    EXPECT_EQ(33u, assigned.GetOfn()->nMaxFileTitle);
    EXPECT_EQ(s_owner, (assigned = (HWND)NULL));
}

TEST_F(CmnDlgTest, OpenWithAndWithoutFilterKeepsTheFirstFilter)
{
    CCmnDlg dlg(s_owner);
    std::string path = s_folder + "\\first.wav";
    char file[260] = "";
    lstrcpynA(file, "preset.wav", sizeof file);
    FileDialogSeen seen;
    long result = WithAnswer(AnswerFile(seen, path.c_str(), true),
        [&] { return dlg.ShowOpen(file, kFilter, NULL, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST); });
    EXPECT_EQ(1, result);
    EXPECT_EQ(0, lstrcmpiA(path.c_str(), file)) << file;
    EXPECT_EQ("preset.wav", seen.field) << "the buffer is the initial name";
    EXPECT_EQ(2, seen.filterCount);
    EXPECT_EQ("Wave files (*.wav)", seen.filter0);
    EXPECT_EQ(s_owner, seen.owner);
    EXPECT_EQ(kFilter, dlg.GetOfn()->lpstrFilter);
    EXPECT_EQ(file, dlg.GetOfn()->lpstrFile);
    EXPECT_EQ(s_owner, dlg.GetOfn()->hwndOwner);

    // A null filter keeps the previous call's filter; a file title stays in the record.
    char title[64] = "";
    FileDialogSeen seen2;
    file[0] = '\0';
    std::string other = s_folder + "\\second.txt";
    result = WithAnswer(AnswerFile(seen2, other.c_str(), true),
        [&] { return dlg.ShowOpen(file, NULL, title, OFN_HIDEREADONLY); });
    EXPECT_EQ(1, result);
    EXPECT_EQ(0, lstrcmpiA(other.c_str(), file)) << file;
    EXPECT_EQ("", seen2.field);
    EXPECT_EQ(2, seen2.filterCount) << "the first call's filter again";
    EXPECT_EQ("Wave files (*.wav)", seen2.filter0);
    EXPECT_EQ(title, dlg.GetOfn()->lpstrFileTitle);
    EXPECT_EQ(0u, dlg.GetOfn()->nMaxFileTitle) << "the title's capacity is left alone";
    EXPECT_EQ(kFilter, dlg.GetOfn()->lpstrFilter);

    // Cancel: 0, the buffer as it was; the title pointer carries over a null argument.
    lstrcpynA(file, "keep.wav", sizeof file);
    FileDialogSeen seen3;
    result = WithAnswer(AnswerFile(seen3, NULL, false),
        [&] { return dlg.ShowOpen(file, kOtherFilter, NULL, OFN_HIDEREADONLY); });
    EXPECT_EQ(0, result);
    EXPECT_STREQ("keep.wav", file);
    EXPECT_EQ(1, seen3.filterCount);
    EXPECT_EQ("Text (*.txt)", seen3.filter0);
    EXPECT_EQ(title, dlg.GetOfn()->lpstrFileTitle);
}

TEST_F(CmnDlgTest, OpenOfAFreshObjectHasNoFilterAndTheCallersFlags)
{
    CCmnDlg dlg;
    char file[260] = "";
    FileDialogSeen seen;
    long result = WithAnswer(AnswerFile(seen, NULL, false),
        [&] { return dlg.ShowOpen(file, NULL, NULL, OFN_ENABLESIZING | OFN_HIDEREADONLY); });
    EXPECT_EQ(0, result);
    EXPECT_EQ(0, seen.filterCount) << "no filter: an empty file-type list";
    EXPECT_EQ((HWND)NULL, seen.owner);
    EXPECT_EQ(260u, dlg.GetOfn()->nMaxFile);
    EXPECT_EQ(DWORD(OFN_ENABLESIZING | OFN_HIDEREADONLY),
              dlg.GetOfn()->Flags & ~DWORD(OFN_EXTENSIONDIFFERENT | OFN_READONLY))
        << "the flags exactly as passed";
}

TEST_F(CmnDlgTest, SaveWritesTheChosenPath)
{
    CCmnDlg dlg(s_owner);
    std::string path = s_folder + "\\new.wav";
    char file[260] = "";
    FileDialogSeen seen;
    long result = WithAnswer(AnswerFile(seen, path.c_str(), true),
        [&] { return dlg.ShowSave(file, kFilter, NULL, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT); });
    EXPECT_EQ(1, result);
    EXPECT_EQ(0, lstrcmpiA(path.c_str(), file)) << file;
    EXPECT_EQ("Wave files (*.wav)", seen.filter0);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()))
        << "the dialog only names the file";

    FileDialogSeen seen2;
    lstrcpynA(file, "unchanged", sizeof file);
    result = WithAnswer(AnswerFile(seen2, NULL, false),
        [&] { return dlg.ShowSave(file, NULL, NULL, 0); });
    EXPECT_EQ(0, result);
    EXPECT_STREQ("unchanged", file);
    EXPECT_EQ("unchanged", seen2.field);
    EXPECT_EQ("Wave files (*.wav)", seen2.filter0);
}

namespace {

// Sets the red, green and blue fields of the colour dialog, optionally adds the colour to the
// custom colours, then presses OK or Cancel.
std::function<void(HWND)> AnswerColor(int r, int g, int b, bool add, bool ok)
{
    return [=](HWND dialog) {
        if (r >= 0) {
            const int ids[3] = {kColorRed, kColorGreen, kColorBlue};
            const int values[3] = {r, g, b};
            for (int i = 0; i < 3; ++i) {
                char text[8];
                wsprintfA(text, "%d", values[i]);
                SendMessageTimeoutA(GetDlgItem(dialog, ids[i]), WM_SETTEXT, 0,
                                    reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, NULL);
            }
        }
        if (add)
            SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(kColorAdd, BN_CLICKED),
                                reinterpret_cast<LPARAM>(GetDlgItem(dialog, kColorAdd)),
                                SMTO_NORMAL, 5000, NULL);
        testutil::ClickButton(dialog, ok ? IDOK : IDCANCEL);
    };
}

}  // namespace

TEST_F(CmnDlgTest, ColourChosenCancelledAndCustomColoursShared)
{
    CCmnDlg first(s_owner);
    COLORREF color = RGB(10, 20, 30);
    long result = WithAnswer(AnswerColor(200, 100, 50, true, true),
        [&] { return first.ShowColor(&color, NULL, CC_RGBINIT | CC_FULLOPEN); });
    EXPECT_EQ(1, result);
    EXPECT_EQ(RGB(200, 100, 50), color);
    EXPECT_EQ(DWORD(CC_RGBINIT | CC_FULLOPEN), first.GetCc()->Flags & 0xFF);
    EXPECT_EQ(s_owner, first.GetCc()->hwndOwner);
    ASSERT_NE((COLORREF*)NULL, first.GetCc()->lpCustColors);
    EXPECT_EQ(RGB(200, 100, 50), first.GetCc()->lpCustColors[0]) << "added as custom colour";

    // Cancel leaves the caller's colour; the dialog started with it.
    COLORREF kept = RGB(1, 2, 3);
    result = WithAnswer(AnswerColor(90, 90, 90, false, false),
        [&] { return first.ShowColor(&kept, "ignored", CC_RGBINIT); });
    EXPECT_EQ(0, result);
    EXPECT_EQ(RGB(1, 2, 3), kept);

    // Another object offers the same custom colours; OK without changes keeps the colour.
    CCmnDlg second;
    COLORREF start = RGB(7, 8, 9);
    result = WithAnswer(AnswerColor(-1, -1, -1, false, true),
        [&] { return second.ShowColor(&start, NULL, CC_RGBINIT | CC_FULLOPEN); });
    EXPECT_EQ(1, result);
    EXPECT_EQ(RGB(7, 8, 9), start) << "CC_RGBINIT preselects the caller's colour";
    EXPECT_EQ(first.GetCc()->lpCustColors, second.GetCc()->lpCustColors)
        << "one library-wide array";
    EXPECT_EQ(RGB(200, 100, 50), second.GetCc()->lpCustColors[0]);
    for (int i = 1; i < 16; ++i)
        EXPECT_EQ(0u, second.GetCc()->lpCustColors[i]) << "custom colour " << i;
}

TEST_F(CmnDlgTest, FontDialogStoresSizeAndColourThroughTheGivenPointers)
{
    CCmnDlg dlg(s_owner);
    LOGFONTA font = {};
    font.lfHeight = -16;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = ANSI_CHARSET;
    lstrcpynA(font.lfFaceName, "Tahoma", LF_FACESIZE);
    int points = -1;
    COLORREF color = 0xABCDEF;
    long result = WithAnswer([](HWND d) { testutil::ClickButton(d, IDOK); },
        [&] { return dlg.ShowFont(&font, &points, &color, CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS); });
    EXPECT_EQ(1, result);
    EXPECT_EQ(&font, dlg.GetCf()->lpLogFont);
    EXPECT_EQ(s_owner, dlg.GetCf()->hwndOwner);
    EXPECT_EQ(dlg.GetCf()->iPointSize, points);
    EXPECT_GT(points, 0);
    EXPECT_EQ(0u, color) << "rgbColors of the record, black";
    EXPECT_NE('\0', font.lfFaceName[0]) << "the dialog wrote the chosen font";

    // Null outputs: nothing else is written; a cancel still returns the record's values.
    int points2 = -5;
    result = WithAnswer([](HWND d) { testutil::ClickButton(d, IDCANCEL); },
        [&] { return dlg.ShowFont(&font, NULL, NULL, CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT); });
    EXPECT_EQ(0, result);
    EXPECT_EQ(-5, points2);
    result = WithAnswer([](HWND d) { testutil::ClickButton(d, IDCANCEL); },
        [&] { return dlg.ShowFont(&font, &points2, NULL, CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT); });
    EXPECT_EQ(0, result);
    EXPECT_EQ(dlg.GetCf()->iPointSize, points2) << "stored whatever the result";
}

TEST_F(CmnDlgTest, PrinterDefaultsAndTheDeviceContext)
{
    CCmnDlg dlg(s_owner);
    EXPECT_EQ((HDC)NULL, dlg.GetPrinterDC());
    long result = dlg.ShowPrinter(PD_RETURNDEFAULT | PD_RETURNDC);
    EXPECT_EQ(s_owner, dlg.GetPrn()->hwndOwner);
    EXPECT_NE(0u, dlg.GetPrn()->Flags & PD_RETURNDEFAULT);
    if (result) {
        EXPECT_NE((HDC)NULL, dlg.GetPrinterDC());
        EXPECT_EQ(dlg.GetPrn()->hDC, dlg.GetPrinterDC());
        DeleteDC(dlg.GetPrinterDC());
        GlobalFree(dlg.GetPrn()->hDevMode);
        GlobalFree(dlg.GetPrn()->hDevNames);
    } else {
        // No printer on this machine: the dialog function reports it, no context.
        EXPECT_EQ(DWORD(PDERR_NODEFAULTPRN), CommDlgExtendedError());
        EXPECT_EQ((HDC)NULL, dlg.GetPrinterDC());
    }
}
