// CForm, the window wrapper: construction and access, forwarded messages observed by a logging
// window procedure, real controls, numbers as text, geometry, message boxes and OrderFile.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
#include <functional>
#include <gtest/gtest.h>

#include "tarvik.h"
#include "harness_util.h"
#include "dialog_answer.h"
#include "control_log.h"

namespace {

using testutil::WindowText;

// What the logging window procedure saw.
std::vector<testutil::LoggedMessage> g_log;
bool g_logging = false;
// What the logging procedure answers to the forwarded messages, so results can be checked.
const LRESULT kReply = 0x1234;

// Messages the logging procedure answers itself (the forwarders under test send them).
bool Answered(UINT message)
{
    switch (message) {
    case BM_SETCHECK: case BM_GETCHECK:
    case LB_RESETCONTENT: case LB_INSERTSTRING: case LB_SETCURSEL: case LB_GETCURSEL:
    case LB_GETTEXT: case LB_DIR: case LB_DELETESTRING: case LB_GETCOUNT:
    case CB_RESETCONTENT: case CB_INSERTSTRING: case CB_SETCURSEL: case CB_GETCURSEL:
    case CB_DELETESTRING: case CB_GETCOUNT:
    case EM_LIMITTEXT: case WM_COPY: case WM_PASTE: case WM_CLEAR: case EM_REPLACESEL:
    case WM_SETFONT: case WM_GETFONT: case WM_SETICON: case WM_GETICON:
        return true;
    default:
        return message >= WM_APP && message < WM_APP + 0x100;
    }
}

// Records the interesting messages; a window with the property "FormTestAnswer" answers the
// forwarded ones with kReply, every window answers WM_APP messages so.
LRESULT CALLBACK LogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    bool answer = (message >= WM_APP && message < WM_APP + 0x100) ||
                  (Answered(message) && GetPropA(window, "FormTestAnswer"));
    if (g_logging && (answer || message == WM_TIMER || message == WM_PAINT)) {
        g_log.push_back(testutil::ControlLog::Record(window, message, wParam, lParam));
    }
    if (answer)
        return kReply;
    if (message == WM_PAINT && g_logging) {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A top-level window of the logging class with children of the logging class and real controls.
class FormTest : public ::testing::Test {
protected:
    enum { kLogChild = 101, kEdit = 102, kList = 103, kCombo = 104, kCheck = 105, kScroll = 106 };

    void SetUp() override
    {
        ASSERT_TRUE(testutil::TestWindowClass("FormTestLog", LogProc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)));
        HINSTANCE inst = GetModuleHandleA(NULL);
        // One top-level window serves the whole suite (hiding or destroying a mapped window
        // costs Wine two seconds); each test gets fresh children.
        if (!s_top)
            s_top = CreateWindowExA(0, "FormTestLog", "Form test window",
                                    WS_POPUP | WS_BORDER | WS_VISIBLE | WS_HSCROLL, 40, 40, 400,
                                    300, NULL, NULL, inst, NULL);
        top = s_top;
        ASSERT_NE((HWND)NULL, top);
        SetWindowTextA(top, "Form test window");
        SetWindowPos(top, NULL, 40, 40, 400, 300, SWP_NOZORDER | SWP_SHOWWINDOW);
        logChild = CreateWindowExA(0, "FormTestLog", "child", WS_CHILD | WS_VISIBLE, 5, 5, 50, 30,
                                   top, (HMENU)(INT_PTR)kLogChild, inst, NULL);
        edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL,
                               60, 5, 200, 24, top, (HMENU)(INT_PTR)kEdit, inst, NULL);
        list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 5, 40, 150,
                               120, top, (HMENU)(INT_PTR)kList, inst, NULL);
        combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 160,
                                40, 150, 200, top, (HMENU)(INT_PTR)kCombo, inst, NULL);
        check = CreateWindowExA(0, "BUTTON", "check", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 160,
                                80, 100, 24, top, (HMENU)(INT_PTR)kCheck, inst, NULL);
        scroll = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_HORZ, 160, 110,
                                 150, 16, top, (HMENU)(INT_PTR)kScroll, inst, NULL);
        ASSERT_TRUE(logChild && edit && list && combo && check && scroll);
        SetPropA(logChild, "FormTestAnswer", (HANDLE)1);
        testutil::PumpPending();
        g_log.clear();
        g_logging = true;
    }

    void TearDown() override
    {
        g_logging = false;
        g_log.clear();
        if (IsWindow(logChild))
            RemovePropA(logChild, "FormTestAnswer");
        HWND children[] = {logChild, edit, list, combo, check, scroll};
        for (HWND child : children)
            if (IsWindow(child))
                DestroyWindow(child);
        testutil::PumpPending();
    }

    static void TearDownTestSuite()
    {
        if (s_top)
            DestroyWindow(s_top);
        s_top = NULL;
    }

    static HWND s_top;

    HWND top = NULL, logChild = NULL, edit = NULL, list = NULL, combo = NULL, check = NULL,
         scroll = NULL;
};

HWND FormTest::s_top = NULL;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction, assignment and access

TEST_F(FormTest, ConstructionCopyAndAssignment)
{
    CForm empty;
    EXPECT_EQ((HWND)NULL, empty.GetWindow());
    EXPECT_EQ(0UL, empty.GetParam());

    CForm form(top);
    EXPECT_EQ(top, (HWND)form);
    EXPECT_EQ(top, form.GetWindow());
    EXPECT_EQ(0UL, form.GetParam());
    EXPECT_EQ(0UL, form.SetParam(77));
    EXPECT_EQ(77UL, form.SetParam(78));
    EXPECT_EQ(78UL, form.GetParam());
    EXPECT_EQ(1, form == top);
    EXPECT_EQ(0, form == edit);

    CForm copy(form);
    EXPECT_EQ(top, copy.GetWindow());
    EXPECT_EQ(78UL, copy.GetParam());
    CForm assigned;
    assigned = form;
    EXPECT_EQ(top, assigned.GetWindow());
    EXPECT_EQ(78UL, assigned.GetParam());

    // A copy sends to the same window as the original.
    EXPECT_EQ(kReply, copy.SendMessageA(WM_APP + 1, 2, 3));
    EXPECT_SEQUENCE(g_log, {{WM_APP + 1, kCheckW | kCheckL | kCheckWindow, 2, 3, nullptr, top}})
        << "SendMessageA through a copy";

    // Assigning a handle returns the previous one and keeps the param.
    EXPECT_EQ(top, (form = edit));
    EXPECT_EQ(edit, form.GetWindow());
    EXPECT_EQ(78UL, form.GetParam());
    EXPECT_EQ(edit, form.SetWindow(list));
    EXPECT_EQ(list, form.GetWindow());
    EXPECT_EQ(top, form.GetParent());
    EXPECT_EQ((HWND)NULL, copy.GetParent()) << "a top-level window without owner has no parent";
    EXPECT_EQ(edit, copy.GetDlgItem(kEdit));
    EXPECT_EQ((HWND)NULL, copy.GetDlgItem(999));
}

TEST_F(FormTest, DestructorLeavesTheWindowAliveAndDestroyKeepsTheStaleHandle)
{
    {
        CForm form(top);
        form.Show(SW_SHOW);
    }
    EXPECT_TRUE(IsWindow(top));
    EXPECT_TRUE(IsWindowVisible(top));

    CForm created;
    HWND made = created.Create(0, "FormTestLog", "created", WS_OVERLAPPEDWINDOW, 10, 20, 120, 90,
                               NULL, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_NE((HWND)NULL, made);
    EXPECT_EQ(made, created.GetWindow());
    EXPECT_EQ("created", WindowText(made));
    RECT r;
    GetWindowRect(made, &r);
    EXPECT_EQ(10, r.left);
    EXPECT_EQ(20, r.top);
    EXPECT_EQ(120, r.right - r.left);
    EXPECT_EQ(1, created.Update());
    EXPECT_NE(0, created.Destroy());
    EXPECT_FALSE(IsWindow(made));
    EXPECT_EQ(made, created.GetWindow()) << "Destroy must leave the stale handle";
    EXPECT_EQ(0, created.Destroy()) << "a second Destroy fails as DestroyWindow does";

    CForm failed(top);
    EXPECT_EQ((HWND)NULL, failed.Create(0, "NoSuchClassAnywhere", "x", 0, 0, 0, 1, 1, NULL, NULL,
                                        GetModuleHandleA(NULL), NULL));
    EXPECT_EQ((HWND)NULL, failed.GetWindow()) << "a failed Create stores null";
}

// ---------------------------------------------------------------------------------------------
// Forwarded messages, plain and Child, seen by the logging window procedure

namespace {

struct Forward {
    const char* name;
    std::function<long(CForm&)> call;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

char g_buffer[300];
const char* const kText = "text";
const char* const kSpec = "*.wav";

std::vector<Forward> PlainForwards()
{
    HFONT font = reinterpret_cast<HFONT>(static_cast<INT_PTR>(0x4321));
    HICON icon = reinterpret_cast<HICON>(static_cast<INT_PTR>(0x8765));
    return {
        {"SetCheck(5)", [](CForm& f) { return f.SetCheck(5); }, BM_SETCHECK, 1, 0},
        {"SetCheck(0)", [](CForm& f) { return f.SetCheck(0); }, BM_SETCHECK, 0, 0},
        {"GetCheck", [](CForm& f) { return f.GetCheck(); }, BM_GETCHECK, 0, 0},
        {"ltResetContent", [](CForm& f) { return f.ltResetContent(); }, LB_RESETCONTENT, 0, 0},
        {"ltInsertString", [](CForm& f) { return f.ltInsertString(3, kText); }, LB_INSERTSTRING, 3,
         (LPARAM)kText},
        {"ltSetCurSel", [](CForm& f) { return f.ltSetCurSel(4); }, LB_SETCURSEL, 4, 0},
        {"ltGetCurSel", [](CForm& f) { return f.ltGetCurSel(); }, LB_GETCURSEL, 0, 0},
        {"ltGetListText", [](CForm& f) { return f.ltGetListText(5, g_buffer); }, LB_GETTEXT, 5,
         (LPARAM)g_buffer},
        {"ltDir", [](CForm& f) { return f.ltDir(kSpec, DDL_DIRECTORY); }, LB_DIR, DDL_DIRECTORY,
         (LPARAM)kSpec},
        {"ltDeleteItem", [](CForm& f) { return f.ltDeleteItem(6); }, LB_DELETESTRING, 6, 0},
        {"ltGetItemCount", [](CForm& f) { return f.ltGetItemCount(); }, LB_GETCOUNT, 0, 0},
        {"cbResetContent", [](CForm& f) { return f.cbResetContent(); }, CB_RESETCONTENT, 0, 0},
        {"cbInsertString", [](CForm& f) { return f.cbInsertString(7, kText); }, CB_INSERTSTRING, 7,
         (LPARAM)kText},
        {"cbSetCurSel", [](CForm& f) { return f.cbSetCurSel(8); }, CB_SETCURSEL, 8, 0},
        {"cbGetCurSel", [](CForm& f) { return f.cbGetCurSel(); }, CB_GETCURSEL, 0, 0},
        {"cbDeleteItem", [](CForm& f) { return f.cbDeleteItem(9); }, CB_DELETESTRING, 9, 0},
        {"cbGetItemCount", [](CForm& f) { return f.cbGetItemCount(); }, CB_GETCOUNT, 0, 0},
        {"edSetLimitText", [](CForm& f) { return f.edSetLimitText(10); }, EM_LIMITTEXT, 10, 0},
        {"edCopy", [](CForm& f) { return f.edCopy(); }, WM_COPY, 0, 0},
        {"edPaste", [](CForm& f) { return f.edPaste(); }, WM_PASTE, 0, 0},
        {"edClear", [](CForm& f) { return f.edClear(); }, WM_CLEAR, 0, 0},
        {"edReplaceSel", [](CForm& f) { return f.edReplaceSel(kText); }, EM_REPLACESEL, 0,
         (LPARAM)kText},
        {"SetFont", [font](CForm& f) { return f.SetFont(font); }, WM_SETFONT, (WPARAM)font, 1},
        {"GetFont", [](CForm& f) { return (long)(INT_PTR)f.GetFont(); }, WM_GETFONT, 0, 0},
        {"SetIcon", [icon](CForm& f) { return (long)(INT_PTR)f.SetIcon(ICON_BIG, icon); },
         WM_SETICON, ICON_BIG, (LPARAM)icon},
        {"GetIcon", [](CForm& f) { return (long)(INT_PTR)f.GetIcon(ICON_SMALL); }, WM_GETICON,
         ICON_SMALL, 0},
        {"SendMessageA", [](CForm& f) { return f.SendMessageA(WM_APP + 2, 11, 12); }, WM_APP + 2,
         11, 12},
    };
}

std::vector<Forward> ChildForwards()
{
    HFONT font = reinterpret_cast<HFONT>(static_cast<INT_PTR>(0x4321));
    const unsigned long id = 101;
    return {
        {"SetCheckChild(5)", [=](CForm& f) { return f.SetCheckChild(id, 5); }, BM_SETCHECK, 1, 0},
        {"SetCheckChild(0)", [=](CForm& f) { return f.SetCheckChild(id, 0); }, BM_SETCHECK, 0, 0},
        {"GetCheckChild", [=](CForm& f) { return f.GetCheckChild(id); }, BM_GETCHECK, 0, 0},
        {"ltResetContentChild", [=](CForm& f) { return f.ltResetContentChild(id); },
         LB_RESETCONTENT, 0, 0},
        {"ltInsertStringChild", [=](CForm& f) { return f.ltInsertStringChild(id, 3, kText); },
         LB_INSERTSTRING, 3, (LPARAM)kText},
        {"ltSetCurSelChild", [=](CForm& f) { return f.ltSetCurSelChild(id, 4); }, LB_SETCURSEL, 4,
         0},
        {"ltGetCurSelChild", [=](CForm& f) { return f.ltGetCurSelChild(id); }, LB_GETCURSEL, 0, 0},
        {"ltGetListTextChild", [=](CForm& f) { return f.ltGetListTextChild(id, 5, g_buffer); },
         LB_GETTEXT, 5, (LPARAM)g_buffer},
        {"ltDirChild", [=](CForm& f) { return f.ltDirChild(id, kSpec, DDL_ARCHIVE); }, LB_DIR,
         DDL_ARCHIVE, (LPARAM)kSpec},
        {"ltDeleteItemChild", [=](CForm& f) { return f.ltDeleteItemChild(id, 6); },
         LB_DELETESTRING, 6, 0},
        {"ltGetItemCountChild", [=](CForm& f) { return f.ltGetItemCountChild(id); }, LB_GETCOUNT,
         0, 0},
        {"cbResetContentChild", [=](CForm& f) { return f.cbResetContentChild(id); },
         CB_RESETCONTENT, 0, 0},
        {"cbInsertStringChild", [=](CForm& f) { return f.cbInsertStringChild(id, 7, kText); },
         CB_INSERTSTRING, 7, (LPARAM)kText},
        {"cbSetCurSelChild", [=](CForm& f) { return f.cbSetCurSelChild(id, 8); }, CB_SETCURSEL, 8,
         0},
        {"cbGetCurSelChild", [=](CForm& f) { return f.cbGetCurSelChild(id); }, CB_GETCURSEL, 0, 0},
        {"cbDeleteItemChild", [=](CForm& f) { return f.cbDeleteItemChild(id, 9); },
         CB_DELETESTRING, 9, 0},
        {"cbGetItemCountChild", [=](CForm& f) { return f.cbGetItemCountChild(id); }, CB_GETCOUNT,
         0, 0},
        {"edSetLimitTextChild", [=](CForm& f) { return f.edSetLimitTextChild(id, 10); },
         EM_LIMITTEXT, 10, 0},
        {"edCopyChild", [=](CForm& f) { return f.edCopyChild(id); }, WM_COPY, 0, 0},
        {"edPasteChild", [=](CForm& f) { return f.edPasteChild(id); }, WM_PASTE, 0, 0},
        {"edClearChild", [=](CForm& f) { return f.edClearChild(id); }, WM_CLEAR, 0, 0},
        {"edReplaceSelChild", [=](CForm& f) { return f.edReplaceSelChild(id, kText); },
         EM_REPLACESEL, 0, (LPARAM)kText},
        {"SetFontChild", [=](CForm& f) { return f.SetFontChild(id, font); }, WM_SETFONT,
         (WPARAM)font, 1},
        {"GetFontChild", [=](CForm& f) { return (long)(INT_PTR)f.GetFontChild(id); }, WM_GETFONT,
         0, 0},
        {"SendMessageChild", [=](CForm& f) { return f.SendMessageChild(id, WM_APP + 3, 13, 14); },
         WM_APP + 3, 13, 14},
    };
}

// Each forwarder sends its one message, with its arguments, to the logging child and passes the
// reply back.
void ExpectForwards(CForm& form, const std::vector<Forward>& forwards, HWND logChild)
{
    for (const Forward& f : forwards) {
        g_log.clear();
        long result = f.call(form);
        EXPECT_EQ(kReply, result) << f.name << ": result not passed through";
        EXPECT_SEQUENCE(g_log, {{f.message, kCheckW | kCheckL | kCheckWindow, f.wParam, f.lParam, nullptr, logChild}})
            << f.name;
    }
}

}  // namespace

TEST_F(FormTest, PlainForwardersSendOneMessageAndPassTheResultBack)
{
    CForm form(logChild);
    ExpectForwards(form, PlainForwards(), logChild);
}

TEST_F(FormTest, ChildForwardersSendToTheChildWithTheIdentifier)
{
    CForm form(top);
    ExpectForwards(form, ChildForwards(), logChild);
    // A missing child: nothing is sent anywhere and the call fails as Win32 does.
    g_log.clear();
    EXPECT_EQ(0, form.SendMessageChild(999, WM_APP + 4, 0, 0));
    EXPECT_EQ(0, form.ltGetItemCountChild(999));
    EXPECT_SEQUENCE(g_log, {}) << "messages to a missing child";
}

TEST_F(FormTest, PostedMessagesArriveThroughTheQueue)
{
    CForm form(top);
    EXPECT_NE(0, form.PostMessageA(WM_APP + 5, 21, 22));
    EXPECT_NE(0, form.PostMessageChild(kLogChild, WM_APP + 6, 23, 24));
    EXPECT_SEQUENCE(g_log, {}) << "nothing before the queue is pumped";
    testutil::PumpUntil([] { return g_log.size() >= 2; }, 2000);
    EXPECT_SEQUENCE(g_log, {
        {WM_APP + 5, kCheckW | kCheckL | kCheckWindow, 21, 22, nullptr, top},
        {WM_APP + 6, kCheckW | kCheckL | kCheckWindow, 23, 24, nullptr, logChild},
    }) << "posted messages";

    // A missing child: nothing is posted, not even to the thread's queue, and the result is 0.
    EXPECT_EQ(0, form.PostMessageChild(999, WM_APP + 7, 0, 0));
    MSG stray;
    EXPECT_FALSE(PeekMessageA(&stray, (HWND)-1, WM_APP + 7, WM_APP + 7, PM_REMOVE))
        << "a thread message was posted";
}

// A timer procedure is CALLBACK (__stdcall on i686): a plain lambda would have the wrong
// calling convention there.
static int timerFired = 0;
static void CALLBACK CountTimer9(HWND, UINT, UINT_PTR id, DWORD)
{
    if (id == 9)
        ++timerFired;
}

TEST_F(FormTest, TimersWithAndWithoutAProcedure)
{
    CForm form(logChild);
    EXPECT_EQ(7, form.SetTimer(7, 10, NULL));
    ASSERT_TRUE(testutil::PumpUntil([] { return !g_log.empty(); }, 3000)) << "no WM_TIMER";
    g_log.resize(1);  // it may have fired again meanwhile
    EXPECT_SEQUENCE(g_log, {{WM_TIMER, kCheckW | kCheckWindow, 7, 0, nullptr, logChild}});
    EXPECT_NE(0, form.KillTimer(7));
    EXPECT_EQ(0, form.KillTimer(7)) << "killing a dead timer fails";

    timerFired = 0;
    EXPECT_EQ(9, form.SetTimer(9, 10, CountTimer9));
    EXPECT_TRUE(testutil::PumpUntil([] { return timerFired > 0; }, 3000)) << "timer procedure not called";
    EXPECT_NE(0, form.KillTimer(9));
}

// ---------------------------------------------------------------------------------------------
// Real controls

TEST_F(FormTest, ListBoxComboBoxButtonAndEditOnRealControls)
{
    CForm form(top);
    EXPECT_EQ(0, form.ltInsertStringChild(kList, -1, "alpha"));
    EXPECT_EQ(1, form.ltInsertStringChild(kList, -1, "gamma"));
    EXPECT_EQ(1, form.ltInsertStringChild(kList, 1, "beta"));
    EXPECT_EQ(3, form.ltGetItemCountChild(kList));
    char text[260] = "";
    EXPECT_EQ(4, form.ltGetListTextChild(kList, 1, text));
    EXPECT_STREQ("beta", text);
    EXPECT_EQ(LB_ERR, form.ltGetCurSelChild(kList));
    EXPECT_EQ(2, form.ltSetCurSelChild(kList, 2));
    EXPECT_EQ(2, form.ltGetCurSelChild(kList));
    EXPECT_EQ(2, form.ltDeleteItemChild(kList, 0));
    EXPECT_EQ(LB_ERR, form.ltDeleteItemChild(kList, 5));
    CForm listForm(list);
    EXPECT_EQ(2, listForm.ltGetItemCount());
    EXPECT_EQ(0, listForm.ltInsertString(0, "zero"));
    EXPECT_EQ(0, listForm.ltSetCurSel(0));
    EXPECT_EQ(0, listForm.ltGetCurSel());
    EXPECT_EQ(4, listForm.ltGetListText(0, text));
    EXPECT_STREQ("zero", text);
    EXPECT_EQ(2, listForm.ltDeleteItem(2));
    listForm.ltResetContent();
    EXPECT_EQ(0, listForm.ltGetItemCount());

    // LB_DIR on a real folder: the attributes travel in wParam, the file pattern in lParam.
    std::string folder = testutil::FolderWithFiles("dir", {"one.wav", "two.wav", "three.txt", "sub\\"});
    ASSERT_NE("", folder);
    std::string spec = folder + "\\*.wav";
    long last = form.ltDirChild(kList, spec.c_str(), 0);
    EXPECT_EQ(1, last) << "two files match: the last index is 1";
    EXPECT_EQ(2, form.ltGetItemCountChild(kList));
    form.ltResetContentChild(kList);
    spec = folder + "\\*";
    form.ltDirChild(kList, spec.c_str(), DDL_DIRECTORY | DDL_EXCLUSIVE);
    EXPECT_EQ(0, form.ltGetListTextChild(kList, 0, text) > 0 ? 0 : 1);
    bool sawSub = false;
    for (long i = 0; i < form.ltGetItemCountChild(kList); ++i) {
        form.ltGetListTextChild(kList, i, text);
        sawSub = sawSub || strcmp(text, "[sub]") == 0;
        EXPECT_NE(std::string("one.wav"), text) << "DDL_EXCLUSIVE directories only";
    }
    EXPECT_TRUE(sawSub);

    // Combo box.
    EXPECT_EQ(0, form.cbInsertStringChild(kCombo, -1, "red"));
    EXPECT_EQ(1, form.cbInsertStringChild(kCombo, -1, "blue"));
    EXPECT_EQ(2, form.cbGetItemCountChild(kCombo));
    EXPECT_EQ(1, form.cbSetCurSelChild(kCombo, 1));
    EXPECT_EQ(1, form.cbGetCurSelChild(kCombo));
    EXPECT_EQ("blue", WindowText(combo));
    EXPECT_EQ(1, form.cbDeleteItemChild(kCombo, 0));
    CForm comboForm(combo);
    EXPECT_EQ(1, comboForm.cbGetItemCount());
    EXPECT_EQ(0, comboForm.cbInsertString(0, "green"));
    EXPECT_EQ(0, comboForm.cbSetCurSel(0));
    EXPECT_EQ(0, comboForm.cbGetCurSel());
    EXPECT_EQ(1, comboForm.cbDeleteItem(0));
    comboForm.cbResetContent();
    EXPECT_EQ(0, comboForm.cbGetItemCount());

    // Check box.
    EXPECT_EQ(BST_UNCHECKED, form.GetCheckChild(kCheck));
    form.SetCheckChild(kCheck, 5);
    EXPECT_EQ(BST_CHECKED, form.GetCheckChild(kCheck));
    CForm checkForm(check);
    checkForm.SetCheck(0);
    EXPECT_EQ(BST_UNCHECKED, checkForm.GetCheck());

    // Edit: limit, replace, copy, clear, paste.
    form.edSetLimitTextChild(kEdit, 5);
    form.edReplaceSelChild(kEdit, "abcdefgh");
    EXPECT_EQ("abcde", WindowText(edit)) << "EM_LIMITTEXT did not limit";
    CForm editForm(edit);
    editForm.edSetLimitText(100);
    SendMessageA(edit, EM_SETSEL, 1, 3);
    editForm.edCopy();
    SendMessageA(edit, EM_SETSEL, 0, 1);
    editForm.edClear();
    EXPECT_EQ("bcde", WindowText(edit));
    SendMessageA(edit, EM_SETSEL, 4, 4);
    editForm.edPaste();
    EXPECT_EQ("bcdebc", WindowText(edit)) << "copy then paste of \"bc\"";
    SendMessageA(edit, EM_SETSEL, 0, 0);
    form.edPasteChild(kEdit);
    form.edReplaceSelChild(kEdit, "-");
    EXPECT_EQ("bc-bcdebc", WindowText(edit));
    SendMessageA(edit, EM_SETSEL, 0, 2);
    form.edCopyChild(kEdit);
    form.edClearChild(kEdit);
    EXPECT_EQ("-bcdebc", WindowText(edit));
    editForm.edReplaceSel("x");
    EXPECT_EQ("x-bcdebc", WindowText(edit));
    EXPECT_EQ(0, SendMessageA(edit, EM_CANUNDO, 0, 0)) << "EM_REPLACESEL must not be undoable";
}

TEST_F(FormTest, TextAndItsLength)
{
    CForm form(top);
    EXPECT_NE(0, form.SetText("Caption"));
    char text[260] = "";
    EXPECT_EQ(7, form.GetText(text, sizeof text));
    EXPECT_STREQ("Caption", text);
    EXPECT_EQ(7, form.GetTextLength());
    EXPECT_EQ(3, form.GetText(text, 4)) << "capacity includes the terminator";
    EXPECT_STREQ("Cap", text);

    // Japanese text goes through byte for byte (code page 932).
    const char* japanese = "\x8D\xC4\x90\xB6";  // 再生
    EXPECT_NE(0, form.SetTextChild(kEdit, japanese));
    EXPECT_EQ(4, form.GetTextLengthChild(kEdit));
    EXPECT_EQ(4, form.GetTextChild(kEdit, text, sizeof text));
    EXPECT_STREQ(japanese, text);
    EXPECT_EQ(0, form.SetTextChild(999, "x"));
    EXPECT_EQ(0, form.GetTextLengthChild(999));
}

// ---------------------------------------------------------------------------------------------
// Numbers as window text

TEST_F(FormTest, NumbersWrittenAsText)
{
    testutil::RestoreTarvikSetup();
    CForm form(top);
    CForm field(edit);
    EXPECT_NE(0, field.SetLong(-5));
    EXPECT_EQ("-5", WindowText(edit));
    EXPECT_NE(0, field.SetULong(4294967295UL));
    EXPECT_EQ("4294967295", WindowText(edit));
    EXPECT_NE(0, field.SetHex(255));
    EXPECT_EQ("0xFF", WindowText(edit));
    EXPECT_NE(0, field.SetFloat(1.5f));
    EXPECT_EQ("1.500", WindowText(edit));

    EXPECT_NE(0, form.SetLongChild(kEdit, -2147483647L - 1));
    EXPECT_EQ("-2147483648", WindowText(edit));
    EXPECT_NE(0, form.SetULongChild(kEdit, 3000000000UL));
    EXPECT_EQ("3000000000", WindowText(edit));
    EXPECT_NE(0, form.SetHexChild(kEdit, 0xDEADBEEF));
    EXPECT_EQ("0xDEADBEEF", WindowText(edit));
    EXPECT_NE(0, form.SetFloatChild(kEdit, -0.25f));
    EXPECT_EQ("-0.250", WindowText(edit));
    EXPECT_EQ(0, form.SetLongChild(999, 1));
}

TEST_F(FormTest, NumbersFollowTheFormatsChangedThroughSetup)
{
    TARVIKSETUPINFO info = {};
    info.dwMask = TSI_FLOATFORMAT | TSI_HEXFORMAT;
    info.pszFloatFormat = "%.1f dB";
    info.pszHexFormat = "$%04X";
    ASSERT_EQ(1, TarvikSetup(&info));
    CForm form(top);
    CForm field(edit);
    field.SetFloat(1.25f);
    EXPECT_EQ("1.2 dB", WindowText(edit)) << "1.25 widened to double, \"%.1f\" rounds to even";
    form.SetFloatChild(kEdit, 3.75f);
    EXPECT_EQ("3.8 dB", WindowText(edit));
    field.SetHex(255);
    EXPECT_EQ("$00FF", WindowText(edit));
    form.SetHexChild(kEdit, 0xABC);
    EXPECT_EQ("$0ABC", WindowText(edit));

    // The formatted text is cut at 31 characters.
    info.pszFloatFormat = "%.28f";
    info.pszHexFormat = "%028X___";
    ASSERT_EQ(1, TarvikSetup(&info));
    field.SetFloat(123.5f);
    char expected[64];
    snprintf(expected, sizeof expected, "%.28f", 123.5);
    EXPECT_EQ(std::string(expected).substr(0, 31), WindowText(edit));
    field.SetHex(0x1F);
    EXPECT_EQ(std::string(26, '0') + "1F___", WindowText(edit)) << "wsprintfA form, 31 characters";
    form.SetHexChild(kEdit, 0x1F);
    EXPECT_EQ(std::string(26, '0') + "1F___", WindowText(edit)) << "sprintf form, 31 characters";
    info.pszHexFormat = "%030X___";
    ASSERT_EQ(1, TarvikSetup(&info));
    field.SetHex(0x1F);
    EXPECT_EQ(std::string(28, '0') + "1F_", WindowText(edit));
    form.SetHexChild(kEdit, 0x1F);
    EXPECT_EQ(std::string(28, '0') + "1F_", WindowText(edit));

    // Far longer results are cut too, without writing past the text buffer.
    info.pszFloatFormat = "%0900.1f";
    info.pszHexFormat = "%0900X";
    ASSERT_EQ(1, TarvikSetup(&info));
    field.SetHex(0xAB);
    EXPECT_EQ(std::string(31, '0'), WindowText(edit));
    form.SetHexChild(kEdit, 0xAB);
    EXPECT_EQ(std::string(31, '0'), WindowText(edit));
    field.SetFloat(2.5f);
    EXPECT_EQ(std::string(31, '0'), WindowText(edit));
    testutil::RestoreTarvikSetup();
}

TEST_F(FormTest, NumbersReadFromText)
{
    CForm form(top);
    CForm field(edit);
    struct Case {
        const char* text;
        long asLong;
        unsigned long asULong;
    } cases[] = {
        {"12abc", 12, 12},
        {"", 0, 0},
        {"-1", -1, 4294967295UL},
        {"4294967295", -1, 4294967295UL},
        {"3000000000", -1294967296L, 3000000000UL},
        {"  \t+42", 42, 42},
        {" -17 apples", -17, 4294967279UL},
        {"+-3", 0, 0},
        {"abc", 0, 0},
        {"4294967296", 0, 0},
        {"4294967301", 5, 5},
        {"000000000000000000000000000007", 7, 7},   // 30 characters: read whole
        {"0000000000000000000000000000007", 0, 0},  // 31 characters: the 7 is not read
    };
    for (const Case& c : cases) {
        SetWindowTextA(edit, c.text);
        EXPECT_EQ(c.asLong, field.GetLong()) << "GetLong of \"" << c.text << "\"";
        EXPECT_EQ(c.asULong, field.GetULong()) << "GetULong of \"" << c.text << "\"";
        EXPECT_EQ(c.asLong, form.GetLongChild(kEdit)) << "GetLongChild of \"" << c.text << "\"";
        EXPECT_EQ(c.asULong, form.GetULongChild(kEdit)) << "GetULongChild of \"" << c.text << "\"";
    }

    struct HexCase {
        const char* text;
        unsigned long value;
    } hexCases[] = {
        {"0xFF", 255},
        {"0x1F", 31},
        {"ff", 255},
        {"1 ", 16},        // every byte takes a place
        {"G1", 1},         // other letters count 0
        {"", 0},
        {"FFFFFFFF", 0xFFFFFFFFUL},
        {"100000000", 0},  // 16^8 wraps to 0
        {"0000000000000000000000000000005", 5},   // 31 characters: read whole
        {"00000000000000000000000000000005", 0},  // 32 characters: the 5 is not read
    };
    for (const HexCase& c : hexCases) {
        SetWindowTextA(edit, c.text);
        EXPECT_EQ(c.value, field.GetHex()) << "GetHex of \"" << c.text << "\"";
        EXPECT_EQ(c.value, form.GetHexChild(kEdit)) << "GetHexChild of \"" << c.text << "\"";
    }

    struct FloatCase {
        const char* text;
        float value;
    } floatCases[] = {
        {"2.25", 2.25f}, {"-0.5x", -0.5f}, {"", 0.0f}, {"abc", 0.0f}, {"  1e2", 100.0f},
        {"000000000000000000000000000001.5", 1.0f},  // only 30 characters are read
    };
    for (const FloatCase& c : floatCases) {
        SetWindowTextA(edit, c.text);
        EXPECT_EQ(c.value, field.GetFloat()) << "GetFloat of \"" << c.text << "\"";
        EXPECT_EQ(c.value, form.GetFloatChild(kEdit)) << "GetFloatChild of \"" << c.text << "\"";
    }
}

// ---------------------------------------------------------------------------------------------
// Visibility, focus, capture

TEST_F(FormTest, VisibilityStateFocusAndCapture)
{
    CForm form(top);
    EXPECT_EQ(1, form.IsVisible());
    EXPECT_NE(0, form.Show(SW_HIDE)) << "ShowWindow reports the window was visible";
    EXPECT_EQ(0, form.IsVisible());
    EXPECT_EQ(0, form.Show(SW_SHOW));
    EXPECT_EQ(1, form.IsVisible());
    EXPECT_NE(0, form.ShowChild(kEdit, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(edit));
    form.ShowChild(kEdit, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(edit));

    EXPECT_EQ(1, form.IsEnabled());
    EXPECT_EQ(0, form.EnableChild(kEdit, FALSE)) << "EnableWindow: was enabled";
    EXPECT_FALSE(IsWindowEnabled(edit));
    EXPECT_NE(0, form.EnableChild(kEdit, TRUE)) << "EnableWindow: was disabled";
    CForm field(edit);
    EXPECT_EQ(0, field.Enable(FALSE));
    EXPECT_EQ(0, field.IsEnabled());
    field.Enable(TRUE);

    form.Show(SW_MINIMIZE);
    EXPECT_NE(0, form.IsIconic());
    form.Show(SW_RESTORE);
    EXPECT_EQ(0, form.IsIconic());
    form.Show(SW_MAXIMIZE);
    EXPECT_NE(0, form.IsZoomed());
    form.Show(SW_RESTORE);
    EXPECT_EQ(0, form.IsZoomed());

    EXPECT_NE(0, form.SetForegroundWindow());
    EXPECT_TRUE(testutil::PumpUntil([&] { return form.IsForegroundWindow() == 1; }, 3000));
    EXPECT_EQ(0, field.IsForegroundWindow());

    form.SetFocusChild(kEdit);
    EXPECT_EQ(edit, GetFocus());
    EXPECT_EQ(edit, form.SetFocusChild(kList)) << "SetFocus returns the previous focus";
    EXPECT_EQ(list, GetFocus());
    EXPECT_EQ(list, field.SetFocus());
    EXPECT_EQ(edit, GetFocus());

    form.SetCapture();
    EXPECT_EQ(top, GetCapture());
    EXPECT_EQ(top, form.SetCaptureChild(kList));
    EXPECT_EQ(list, GetCapture());
    form.ReleaseCapture();
    EXPECT_EQ((HWND)NULL, GetCapture());
}

// ---------------------------------------------------------------------------------------------
// Position and size

TEST_F(FormTest, MoveSetPointAndSetWindowPosTakeXYWidthHeight)
{
    CForm form(top);
    RECT r = {30, 50, 320, 240};  // x, y, width, height
    EXPECT_NE(0, form.Move(&r, TRUE));
    EXPECT_EQ("30,50 320x240", testutil::WindowBox(top));
    RECT w;

    EXPECT_NE(0, form.Move(60, 70, 300, 220, FALSE));
    long left = -1, top_ = -1, right = -1, bottom = -1;
    EXPECT_EQ(1, form.GetRect(&left, &top_, &right, &bottom));
    EXPECT_EQ(60, left);
    EXPECT_EQ(70, top_);
    EXPECT_EQ(360, right);
    EXPECT_EQ(290, bottom);
    right = -7;
    EXPECT_EQ(1, form.GetRect(NULL, NULL, NULL, &bottom)) << "null outputs are skipped";
    EXPECT_EQ(-7, right);

    POINT p = {80, 90};
    EXPECT_NE(0, form.SetPoint(&p));
    POINT got = {0, 0};
    EXPECT_EQ(1, form.GetPoint(&got));
    EXPECT_EQ(80, got.x);
    EXPECT_EQ(90, got.y);
    EXPECT_NE(0, form.SetPoint(100, 110));
    long x = 0, y = 0;
    EXPECT_EQ(1, form.GetPoint(&x, &y));
    EXPECT_EQ(100, x);
    EXPECT_EQ(110, y);
    EXPECT_EQ(1, form.GetRect(&w));
    EXPECT_EQ(300, w.right - w.left) << "SetPoint keeps the size";

    RECT pos = {5, 6, 200, 150};
    EXPECT_NE(0, form.SetWindowPos(NULL, &pos, SWP_NOZORDER));
    EXPECT_EQ("5,6 200x150", testutil::WindowBox(top));
    EXPECT_NE(0, form.SetWindowPos(NULL, 15, 16, 310, 260, SWP_NOZORDER));
    GetWindowRect(top, &w);
    EXPECT_EQ(15, w.left);
    EXPECT_EQ(310, w.right - w.left);

    // The client area.
    RECT client;
    EXPECT_NE(0, form.GetClient(&client));
    RECT expected;
    GetClientRect(top, &expected);
    EXPECT_TRUE(EqualRect(&client, &expected));
    right = bottom = -1;
    EXPECT_EQ(1, form.GetClient(NULL, NULL, &right, &bottom));
    EXPECT_EQ(expected.right, right);
    EXPECT_EQ(expected.bottom, bottom);

    // Children: coordinates in the parent's client area.
    RECT c = {10, 200, 120, 30};
    EXPECT_NE(0, form.MoveChild(kEdit, &c, TRUE));
    POINT origin = {0, 0};
    ClientToScreen(top, &origin);
    EXPECT_EQ(1, form.GetRectChild(kEdit, &left, &top_, &right, &bottom));
    EXPECT_EQ(origin.x + 10, left);
    EXPECT_EQ(origin.y + 200, top_);
    EXPECT_EQ(120, right - left);
    EXPECT_EQ(30, bottom - top_);
    EXPECT_NE(0, form.MoveChild(kEdit, 20, 210, 100, 25, TRUE));
    EXPECT_NE(0, form.GetRectChild(kEdit, &w));
    EXPECT_EQ(origin.x + 20, w.left);
    EXPECT_EQ(100, w.right - w.left);
    EXPECT_NE(0, form.GetClientChild(kEdit, &client));
    GetClientRect(edit, &expected);
    EXPECT_TRUE(EqualRect(&client, &expected));
    right = -1;
    EXPECT_EQ(1, form.GetClientChild(kEdit, NULL, NULL, &right, NULL));
    EXPECT_EQ(expected.right, right);
    POINT cp = {30, 220};
    EXPECT_NE(0, form.SetPointChild(kEdit, &cp));
    EXPECT_EQ(1, form.GetPointChild(kEdit, &got));
    EXPECT_EQ(origin.x + 30, got.x);
    EXPECT_EQ(origin.y + 220, got.y);
    EXPECT_NE(0, form.SetPointChild(kEdit, 35, 225));
    EXPECT_EQ(1, form.GetPointChild(kEdit, &x, &y));
    EXPECT_EQ(origin.x + 35, x);
    EXPECT_EQ(origin.y + 225, y);

    // A null rectangle moves to 0, 0 with size 0 x 0.
    EXPECT_NE(0, form.MoveChild(kEdit, NULL, TRUE));
    GetWindowRect(edit, &w);
    EXPECT_EQ(origin.x, w.left);
    EXPECT_EQ(0, w.right - w.left);
    CForm field(edit);
    RECT back = {60, 5, 200, 24};
    EXPECT_NE(0, field.Move(&back, TRUE));
    EXPECT_NE(0, field.Move(NULL, TRUE));
    GetWindowRect(edit, &w);
    EXPECT_EQ(0, w.bottom - w.top);
}

TEST_F(FormTest, ReadersFailOnAMissingWindowAndLeaveTheirOutputs)
{
    CForm none;
    POINT p = {-3, -4};
    EXPECT_EQ(0, none.GetPoint(&p));
    EXPECT_EQ(-3, p.x);
    EXPECT_EQ(-4, p.y);
    long a = 11, b = 12, c = 13, d = 14;
    EXPECT_EQ(0, none.GetPoint(&a, &b));
    EXPECT_EQ(0, none.GetPoint(static_cast<POINT*>(NULL)));
    EXPECT_EQ(0, none.GetRect(&a, &b, &c, &d));
    EXPECT_EQ(0, none.GetClient(&a, &b, &c, &d));
    EXPECT_EQ(11, a);
    EXPECT_EQ(14, d);
    CForm form(top);
    EXPECT_EQ(1, form.GetPoint(static_cast<long*>(NULL), &b)) << "a null output is skipped";
    RECT r;
    GetWindowRect(top, &r);
    EXPECT_EQ(r.top, b);
    b = 12;
    EXPECT_EQ(0, form.GetPointChild(999, &a, &b));
    EXPECT_EQ(0, form.GetRectChild(999, &a, &b, &c, &d));
    EXPECT_EQ(0, form.GetClientChild(999, &a, &b, &c, &d));
    EXPECT_EQ(11, a);
    EXPECT_EQ(12, b);
}

TEST_F(FormTest, SetClientSizesTheWindowAroundTheClientArea)
{
    HWND framed = CreateWindowExA(WS_EX_TOOLWINDOW, "FormTestLog", "framed",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 70, 80, 300, 200, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    ASSERT_NE((HWND)NULL, framed);
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING, 1, "&File");
    SetMenu(framed, menu);
    CForm form(framed);
    RECT want = {0, 0, 250, 150};
    RECT adjusted = want;
    AdjustWindowRectEx(&adjusted, GetWindowLongA(framed, GWL_STYLE), TRUE,
                       GetWindowLongA(framed, GWL_EXSTYLE));
    RECT noMenu = want;
    AdjustWindowRectEx(&noMenu, GetWindowLongA(framed, GWL_STYLE), FALSE,
                       GetWindowLongA(framed, GWL_EXSTYLE));
    EXPECT_NE(0, form.SetClient(&want));
    EXPECT_TRUE(EqualRect(&want, &adjusted)) << "the caller's rectangle is widened in place: "
                                             << want.left << "," << want.top << "," << want.right
                                             << "," << want.bottom;
    RECT w;
    GetWindowRect(framed, &w);
    EXPECT_EQ(70, w.left) << "the corner stays";
    EXPECT_EQ(80, w.top);
    EXPECT_EQ(adjusted.right - adjusted.left, w.right - w.left);
    EXPECT_EQ(adjusted.bottom - adjusted.top, w.bottom - w.top) << "menu bar, caption and frame";
    EXPECT_GT(adjusted.bottom - adjusted.top, noMenu.bottom - noMenu.top);
    RECT client;
    GetClientRect(framed, &client);
    EXPECT_EQ(250, client.right);

    EXPECT_NE(0, form.SetClient(0, 0, 180, 120));
    GetClientRect(framed, &client);
    EXPECT_EQ(180, client.right);
    GetWindowRect(framed, &w);
    EXPECT_EQ(120 + (adjusted.bottom - adjusted.top - 150), w.bottom - w.top);
    DestroyWindow(framed);

    // A bordered popup without a menu: only the border is added.
    CForm popup(top);
    EXPECT_NE(0, popup.SetClient(0, 0, 222, 111));
    GetClientRect(top, &client);
    EXPECT_EQ(222, client.right);
    GetWindowRect(top, &w);
    EXPECT_EQ(222 + 2 * GetSystemMetrics(SM_CXBORDER), w.right - w.left);
    EXPECT_EQ(111 + 2 * GetSystemMetrics(SM_CYBORDER), w.bottom - w.top);

    // A child window keeps its place in the parent and gets no menu bar.
    popup.MoveChild(kLogChild, 20, 30, 50, 40, TRUE);
    SetWindowLongA(logChild, GWL_STYLE, GetWindowLongA(logChild, GWL_STYLE) | WS_BORDER);
    SetWindowPos(logChild, NULL, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    CForm child(logChild);
    EXPECT_NE(0, child.SetClient(0, 0, 60, 45));
    GetClientRect(logChild, &client);
    EXPECT_EQ(60, client.right);
    EXPECT_EQ(45, client.bottom);
    RECT cw;
    GetWindowRect(logChild, &cw);
    POINT place = {cw.left, cw.top};
    ScreenToClient(top, &place);
    EXPECT_EQ(20, place.x);
    EXPECT_EQ(30, place.y);
}

TEST_F(FormTest, MoveToCenterUsesTheReferenceSizeAndRefusesWhatDoesNotFit)
{
    CForm form(top);
    form.Move(0, 0, 200, 100, TRUE);
    RECT desk;
    GetClientRect(GetDesktopWindow(), &desk);
    EXPECT_NE(0, form.MoveToCenter(NULL));
    RECT w;
    GetWindowRect(top, &w);
    EXPECT_EQ((desk.right - 200) / 2, w.left);
    EXPECT_EQ((desk.bottom - 100) / 2, w.top);
    EXPECT_EQ(200, w.right - w.left);

    // The reference gives its client size, not its place.
    HWND ref = CreateWindowExA(0, "FormTestLog", "ref", WS_POPUP | WS_VISIBLE, 300, 250, 301, 201,
                               NULL, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_NE((HWND)NULL, ref);
    form.Move(0, 0, 100, 50, TRUE);
    EXPECT_NE(0, form.MoveToCenter(ref));
    GetWindowRect(top, &w);
    EXPECT_EQ(100, w.left) << "(301 - 100) / 2";
    EXPECT_EQ(75, w.top) << "(201 - 50) / 2";
    EXPECT_EQ(100, w.right - w.left);

    // Larger than the reference: not moved, result 0.
    form.Move(12, 13, 400, 100, TRUE);
    EXPECT_EQ(0, form.MoveToCenter(ref));
    GetWindowRect(top, &w);
    EXPECT_EQ(12, w.left);
    EXPECT_EQ(13, w.top);
    form.Move(12, 13, 100, 300, TRUE);
    EXPECT_EQ(0, form.MoveToCenter(ref));
    GetWindowRect(top, &w);
    EXPECT_EQ(12, w.left);
    DestroyWindow(ref);
}

TEST_F(FormTest, WindowRegion)
{
    CForm form(top);
    HRGN region = CreateRectRgn(0, 0, 100, 80);
    EXPECT_NE(0, form.SetWindowRgn(region));  // the system owns the region now
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(SIMPLEREGION, form.GetWindowRgn(copy));
    RECT box;
    GetRgnBox(copy, &box);
    EXPECT_EQ(100, box.right);
    EXPECT_EQ(80, box.bottom);
    EXPECT_NE(0, form.SetWindowRgn(NULL));
    EXPECT_EQ(ERROR, form.GetWindowRgn(copy));
    DeleteObject(copy);
}

// ---------------------------------------------------------------------------------------------
// Properties, window data, scroll bars

TEST_F(FormTest, PropertiesAndWindowLongs)
{
    CForm form(top);
    int value = 0;
    EXPECT_NE(0, form.SetPropA("FormTestProp", &value));
    EXPECT_EQ(&value, form.GetPropA("FormTestProp"));
    EXPECT_EQ(&value, GetPropA(top, "FormTestProp"));
    EXPECT_EQ(&value, form.RemovePropA("FormTestProp"));
    EXPECT_EQ(NULL, form.GetPropA("FormTestProp"));

    EXPECT_NE(0, form.SetPropChild(kEdit, "FormTestProp", &value));
    EXPECT_EQ(&value, GetPropA(edit, "FormTestProp"));
    EXPECT_EQ(&value, form.GetPropChild(kEdit, "FormTestProp"));
    EXPECT_EQ(&value, form.RemovePropChild(kEdit, "FormTestProp"));
    EXPECT_EQ(NULL, GetPropA(edit, "FormTestProp"));
    EXPECT_EQ(0, form.SetPropChild(999, "FormTestProp", &value));

    EXPECT_EQ(0, form.SetWindowLongA(GWLP_USERDATA, 0x1234567));
    EXPECT_EQ(0x1234567, form.SetWindowLongA(GWLP_USERDATA, 0x7654321));
    EXPECT_EQ(0x7654321, form.GetWindowLongA(GWLP_USERDATA));
    EXPECT_EQ(0, form.SetWindowLongChild(kLogChild, GWLP_USERDATA, 99));
    EXPECT_EQ(99, GetWindowLongA(logChild, GWLP_USERDATA));
    EXPECT_EQ(99, form.GetWindowLongChild(kLogChild, GWLP_USERDATA));
    EXPECT_EQ(kEdit, form.GetWindowLongChild(kEdit, GWL_ID));
    EXPECT_NE(0, form.GetWindowLongA(GWL_STYLE) & WS_OVERLAPPEDWINDOW);
}

TEST_F(FormTest, ScrollBarsOfTheWindowAndOfAScrollBarControl)
{
    CForm form(top);
    EXPECT_NE(0, form.SetScrollRange(SB_HORZ, 0, 50, TRUE));
    int lo = -1, hi = -1;
    EXPECT_NE(0, form.GetScrollRange(SB_HORZ, &lo, &hi));
    EXPECT_EQ(0, lo);
    EXPECT_EQ(50, hi);
    EXPECT_EQ(0, form.SetScrollPos(SB_HORZ, 20, TRUE));
    EXPECT_EQ(20, form.SetScrollPos(SB_HORZ, 30, TRUE)) << "the previous position";
    EXPECT_EQ(30, form.GetScrollPos(SB_HORZ));
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    si.nMin = 0;
    si.nMax = 99;
    si.nPage = 10;
    si.nPos = 44;
    EXPECT_EQ(44, form.SetScrollInfo(SB_HORZ, &si, TRUE));
    SCROLLINFO got = {};
    got.cbSize = sizeof got;
    got.fMask = SIF_ALL;
    EXPECT_NE(0, form.GetScrollInfo(SB_HORZ, &got));
    EXPECT_EQ(99, got.nMax);
    EXPECT_EQ(10u, got.nPage);
    EXPECT_EQ(44, got.nPos);

    EXPECT_NE(0, form.SetScrollRangeChild(kScroll, SB_CTL, 10, 20, TRUE));
    EXPECT_NE(0, form.GetScrollRangeChild(kScroll, SB_CTL, &lo, &hi));
    EXPECT_EQ(10, lo);
    EXPECT_EQ(20, hi);
    EXPECT_EQ(10, form.SetScrollPosChild(kScroll, SB_CTL, 15, TRUE));
    EXPECT_EQ(15, form.GetScrollPosChild(kScroll, SB_CTL));
    EXPECT_EQ(15, SendMessageA(scroll, SBM_GETPOS, 0, 0));
    si.nPos = 50;
    si.nPage = 5;
    EXPECT_EQ(50, form.SetScrollInfoChild(kScroll, SB_CTL, &si, TRUE));
    EXPECT_NE(0, form.GetScrollInfoChild(kScroll, SB_CTL, &got));
    EXPECT_EQ(50, got.nPos);
    EXPECT_EQ(5u, got.nPage);
    EXPECT_EQ(0, form.GetScrollPosChild(999, SB_CTL));
}

// ---------------------------------------------------------------------------------------------
// Painting, fonts, icons, dropped files

TEST_F(FormTest, DeviceContextsPaintTheWindow)
{
    CForm form(top);
    form.Update();
    testutil::PumpPending();
    HDC dc = form.GetDC();
    ASSERT_NE((HDC)NULL, dc);
    SetPixel(dc, 3, 4, RGB(200, 10, 20));
    EXPECT_EQ(RGB(200, 10, 20), GetPixel(dc, 3, 4));
    EXPECT_EQ(1, form.ReleaseDC(dc));

    // The flags reach GetDCEx: DCX_WINDOW puts the origin at the window's corner, not the client's.
    RECT wr;
    GetWindowRect(top, &wr);
    POINT clientOrigin = {0, 0};
    ClientToScreen(top, &clientOrigin);
    POINT org;
    dc = form.GetDCEx(NULL, DCX_WINDOW | DCX_CACHE);
    ASSERT_NE((HDC)NULL, dc);
    GetDCOrgEx(dc, &org);
    EXPECT_EQ(wr.left, org.x);
    EXPECT_EQ(wr.top, org.y);
    EXPECT_EQ(1, form.ReleaseDC(dc));
    dc = form.GetDCEx(NULL, DCX_CACHE);
    ASSERT_NE((HDC)NULL, dc);
    GetDCOrgEx(dc, &org);
    EXPECT_EQ(clientOrigin.x, org.x);
    EXPECT_EQ(clientOrigin.y, org.y);
    EXPECT_NE(wr.left, org.x) << "the fixture window has a border";
    EXPECT_EQ(1, form.ReleaseDC(dc));

    dc = form.GetDCChild(kLogChild);
    ASSERT_NE((HDC)NULL, dc);
    SetPixel(dc, 2, 2, RGB(9, 8, 7));
    EXPECT_EQ(RGB(9, 8, 7), GetPixel(dc, 2, 2));
    EXPECT_EQ(1, form.ReleaseDCChild(kLogChild, dc));
    dc = form.GetDCExChild(kLogChild, NULL, DCX_CACHE);
    ASSERT_NE((HDC)NULL, dc);
    EXPECT_EQ(RGB(9, 8, 7), GetPixel(dc, 2, 2)) << "the same child was painted";
    EXPECT_EQ(1, form.ReleaseDCChild(kLogChild, dc));

    // Invalidate produces a WM_PAINT; Validate takes it back.
    CForm child(logChild);
    g_log.clear();
    EXPECT_NE(0, child.Invalidate(NULL, TRUE));
    EXPECT_TRUE(testutil::PumpUntil([] { return !g_log.empty(); }, 2000));
    EXPECT_SEQUENCE(g_log, {{WM_PAINT, kCheckW | kCheckL | kCheckWindow, 0, 0, nullptr, logChild}})
        << "after Invalidate";
    g_log.clear();
    RECT part = {0, 0, 5, 5};
    EXPECT_NE(0, child.Invalidate(&part, FALSE));
    EXPECT_NE(0, child.Validate(NULL));
    testutil::PumpPending();
    EXPECT_SEQUENCE(g_log, {}) << "after Validate";
    EXPECT_FALSE(GetUpdateRect(logChild, NULL, FALSE));

    // BeginPaint and EndPaint outside WM_PAINT still give a device context.
    child.Invalidate(NULL, FALSE);
    PAINTSTRUCT ps;
    HDC pdc = child.BeginPaint(&ps);
    EXPECT_NE((HDC)NULL, pdc);
    EXPECT_EQ(pdc, ps.hdc);
    EXPECT_NE(0, child.EndPaint(&ps));
    EXPECT_FALSE(GetUpdateRect(logChild, NULL, FALSE)) << "BeginPaint validated the window";
}

TEST_F(FormTest, FontsAndIconsOnRealWindows)
{
    CForm form(top);
    HFONT font = CreateFontA(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    ASSERT_NE((HFONT)NULL, font);
    form.SetFontChild(kEdit, font);
    EXPECT_EQ(font, form.GetFontChild(kEdit));
    CForm field(list);
    field.SetFont(font);
    EXPECT_EQ(font, field.GetFont());
    field.SetFont(NULL);
    form.SetFontChild(kEdit, NULL);
    DeleteObject(font);

    HICON icon = LoadIconA(NULL, IDI_APPLICATION);
    HICON other = LoadIconA(NULL, IDI_QUESTION);
    EXPECT_EQ((HICON)NULL, form.SetIcon(ICON_BIG, icon));
    EXPECT_EQ(icon, form.GetIcon(ICON_BIG));
    EXPECT_EQ(icon, form.SetIcon(ICON_BIG, other)) << "the previous icon";
    EXPECT_EQ(other, form.GetIcon(ICON_BIG));
    form.SetIcon(ICON_SMALL, icon);
    EXPECT_EQ(icon, form.GetIcon(ICON_SMALL));
}

TEST_F(FormTest, DragAcceptFilesSetsTheExtendedStyle)
{
    CForm form(top);
    form.DragAcceptFiles(TRUE);
    EXPECT_NE(0, GetWindowLongA(top, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    form.DragAcceptFiles(FALSE);
    EXPECT_EQ(0, GetWindowLongA(top, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

// ---------------------------------------------------------------------------------------------
// Message boxes, answered by a helper thread

TEST_F(FormTest, MsgBoxWithoutCaptionShowsTheWindowTitle)
{
    CForm form(top);
    form.SetText("\x83\x65\x83\x58\x83\x67 title");  // テスト title
    testutil::MessageBoxSeen seen;
    long result;
    {
        testutil::DialogAnswer answer(testutil::ReadAndPress(seen, IDOK));
        result = form.MsgBox("Hello", MB_OK, NULL);
        EXPECT_TRUE(answer.Answered()) << "no message box appeared";
    }
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("\x83\x65\x83\x58\x83\x67 title", seen.caption);
    EXPECT_EQ("Hello", seen.text);
    EXPECT_EQ(top, seen.owner);

    // A caption given is used as it is.
    testutil::MessageBoxSeen seen2;
    {
        testutil::DialogAnswer answer(testutil::ReadAndPress(seen2, IDCANCEL));
        result = form.MsgBox("Second", MB_OKCANCEL, "Given caption");
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ("Given caption", seen2.caption);

    // Without a window the caption is empty.
    CForm none;
    testutil::MessageBoxSeen seen3;
    {
        testutil::DialogAnswer answer(testutil::ReadAndPress(seen3, IDOK));
        result = none.MsgBox("Orphan", MB_OK, NULL);
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("", seen3.caption);
    EXPECT_EQ("Orphan", seen3.text);
}

TEST_F(FormTest, AlertQuestionAndErrorUseTheirStyles)
{
    CForm form(top);
    form.SetText("Styles");
    testutil::MessageBoxSeen alert, question, error, question2;
    long r1, r2, r3, r4;
    {
        testutil::DialogAnswer answer(testutil::ReadAndPress(alert, IDOK));
        r1 = form.Alert("alert", NULL);
        EXPECT_TRUE(answer.Answered());
    }
    {
        testutil::DialogAnswer answer(testutil::ReadAndPress(question, IDNO));
        r2 = form.Question("question", "Q");
        EXPECT_TRUE(answer.Answered());
    }
    {
        testutil::DialogAnswer answer(testutil::ReadAndPress(question2, IDYES));
        r4 = form.Question("question", NULL);
        EXPECT_TRUE(answer.Answered());
    }
    {
        testutil::DialogAnswer answer(testutil::ReadAndPress(error, IDOK));
        r3 = form.Error("error", "E");
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(IDOK, r1);
    EXPECT_EQ("Styles", alert.caption);
    EXPECT_TRUE(alert.ok && !alert.yes && !alert.no);
    EXPECT_EQ(IDNO, r2);
    EXPECT_EQ("Q", question.caption);
    EXPECT_TRUE(question.yes && question.no && !question.ok);
    EXPECT_EQ(IDYES, r4);
    EXPECT_EQ("Styles", question2.caption);
    EXPECT_EQ(IDOK, r3);
    EXPECT_EQ("E", error.caption);
    EXPECT_EQ("error", error.text);
    EXPECT_TRUE(error.ok && !error.yes);
}

// ---------------------------------------------------------------------------------------------
// OrderFile: the open or save dialog filling an edit field

namespace {

struct FileSeen {
    std::string title;
    std::string field;
    std::string filter0;
    HWND owner = NULL;
};

// Reads the file dialog, then types the name and presses OK (name not null) or cancels.
std::function<void(HWND)> AnswerFile(FileSeen& seen, const char* name)
{
    std::string typed = name ? name : "";
    bool ok = name != NULL;
    return [&seen, typed, ok](HWND dialog) {
        seen.title = WindowText(dialog);
        HWND field = testutil::FileNameField(dialog);
        seen.field = field ? WindowText(field) : "<no field>";
        HWND types = GetDlgItem(dialog, 0x470);  // cmb1, the file-type list
        seen.filter0 = types ? testutil::ComboItem(types, 0) : "";
        seen.owner = GetWindow(dialog, GW_OWNER);
        if (ok && field)
            SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()),
                                SMTO_NORMAL, 5000, NULL);
        testutil::ClickButton(dialog, ok ? IDOK : IDCANCEL);
    };
}

const char kWaveFilter[] = "Wave (*.wav)\0*.wav\0";

}  // namespace

TEST_F(FormTest, OrderFileFillsTheFieldOnlyWhenAFileWasChosen)
{
    std::string folder = testutil::TempPath("order");
    CreateDirectoryA(folder.c_str(), NULL);
    std::string existing = folder + "\\take.wav";
    ASSERT_TRUE(testutil::WriteWholeFile(existing, "RIFF"));
    CForm form(top);
    SetWindowTextA(edit, "start.wav");

    // Open, starting at the field's text.
    FileSeen open;
    int result;
    {
        testutil::DialogAnswer answer(AnswerFile(open, existing.c_str()));
        result = form.OrderFile(kEdit, 1, kWaveFilter, "wav", NULL);
        EXPECT_TRUE(answer.Answered()) << "no open dialog appeared";
    }
    EXPECT_EQ(1, result);
    EXPECT_EQ("start.wav", open.field) << "the dialog starts at the field's text";
    EXPECT_EQ("Wave (*.wav)", open.filter0);
    EXPECT_EQ(top, open.owner);
    EXPECT_EQ(0, lstrcmpiA(existing.c_str(), WindowText(edit).c_str())) << WindowText(edit);

    // Cancel: 0 and the field as it was.
    SetWindowTextA(edit, "kept.wav");
    FileSeen cancelled;
    {
        testutil::DialogAnswer answer(AnswerFile(cancelled, NULL));
        result = form.OrderFile(kEdit, 1, kWaveFilter, "wav", NULL);
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(0, result);
    EXPECT_EQ("kept.wav", WindowText(edit));

    // Save, starting at the given name; the default extension is added.
    FileSeen save;
    std::string fresh = folder + "\\fresh";
    {
        testutil::DialogAnswer answer(AnswerFile(save, fresh.c_str()));
        result = form.OrderFile(kEdit, 0, kWaveFilter, "wav", "given.wav");
        EXPECT_TRUE(answer.Answered()) << "no save dialog appeared";
    }
    EXPECT_EQ(1, result);
    EXPECT_EQ("given.wav", save.field) << "the initial name, not the field's text";
    EXPECT_EQ(0, lstrcmpiA((fresh + ".wav").c_str(), WindowText(edit).c_str())) << WindowText(edit);
    EXPECT_NE(open.title, save.title) << "the open flag chooses between the two dialogs";

    // The title of a plain save dialog matches the one OrderFile showed with the flag 0.
    FileSeen reference;
    {
        char file[MAX_PATH] = "";
        OPENFILENAMEA ofn = {};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = top;
        ofn.lpstrFile = file;
        ofn.nMaxFile = sizeof file;
        ofn.Flags = OFN_EXPLORER;
        testutil::DialogAnswer answer(AnswerFile(reference, NULL));
        GetSaveFileNameA(&ofn);
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(reference.title, save.title);
}
