// CCmnDlg::ShowPath, the folder browser, run for real and answered from a helper thread, in a
// process of its own, apart from the other common dialogs.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <string>
#include <gtest/gtest.h>

#include "tarvik.h"
#include "harness_util.h"
#include "dialog_answer.h"

using CmnDlgTest = testutil::DialogSuite;

TEST_F(CmnDlgTest, FolderBrowserStartsAtTheBufferFolder)
{
    CCmnDlg dlg(s_owner);
    // A folder at the top of the system drive: under Wine the browser's tree does not reliably
    // open the Z: drive or deeper folders.
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string sub = std::string(windows, 3) + "cmndlg_chosen";
    CreateDirectoryA(sub.c_str(), NULL);
    char path[260];
    lstrcpynA(path, sub.c_str(), sizeof path);
    bool titleShown = false;
    std::string selected;
    long result;
    {
        testutil::DialogAnswer answer([&titleShown, &selected](HWND d) {
            // Wait, bounded, for the tree to settle on the preselected folder before OK.
            HWND tree = testutil::FindDescendant(d, "SysTreeView32");
            DWORD start = GetTickCount();
            while (tree && GetTickCount() - start < 10000) {
                HTREEITEM item = reinterpret_cast<HTREEITEM>(
                    SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
                char text[MAX_PATH] = "";
                TVITEMA tv = {};
                tv.mask = TVIF_TEXT;
                tv.hItem = item;
                tv.pszText = text;
                tv.cchTextMax = sizeof text;
                if (item && SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)))
                    selected = text;
                if (selected == "cmndlg_chosen")
                    break;
                Sleep(20);
            }
            titleShown = testutil::FindDescendant(d, "Static", "Pick a folder") != NULL;
            testutil::ClickButton(d, IDOK);
        });
        result = dlg.ShowPath(path, BIF_RETURNONLYFSDIRS, "Pick a folder");
        EXPECT_TRUE(answer.Answered()) << "no folder browser appeared";
    }
    EXPECT_NE(0, result);
    EXPECT_EQ(0, lstrcmpiA(sub.c_str(), path)) << "OK at once returns the preselected folder: "
                                               << path;
    EXPECT_TRUE(titleShown);
    EXPECT_EQ("cmndlg_chosen", selected) << "the tree's selection when the browser opened";
    RemoveDirectoryA(sub.c_str());

    lstrcpynA(path, s_folder.c_str(), sizeof path);
    {
        testutil::DialogAnswer answer([](HWND d) { testutil::ClickButton(d, IDCANCEL); });
        result = dlg.ShowPath(path, BIF_RETURNONLYFSDIRS, NULL);
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(0, result);
    EXPECT_EQ(s_folder, path) << "a cancel leaves the buffer";
}
