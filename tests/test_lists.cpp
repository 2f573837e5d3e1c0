// CList and CCheckList against real list boxes in a real window and a real dialog.
#include <windows.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "tarvik.h"
#include "gfx_probe.h"
#include "harness_util.h"
#include "control_log.h"

using testutil::ControlLog;
using testutil::Describe;
using testutil::LoggedMessage;

namespace {

const UINT kListId = 100;
const UINT kButtonId = 101;
const UINT kSecondListId = 102;
const int kItemHeight = 20;

// What the parent's own window procedure (the one in place before any hook) received.
std::vector<LoggedMessage> g_parentSeen;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND || message == WM_DRAWITEM || message == WM_APP + 5)
        g_parentSeen.push_back(ControlLog::Record(window, message, wParam, lParam));
    if (message == WM_APP + 5)
        return 0x1234;
    return DefWindowProcA(window, message, wParam, lParam);
}

// The WM_COMMAND messages the parent's own procedure received, as (identifier, code) pairs.
std::vector<std::pair<UINT, UINT>> ParentCommands()
{
    std::vector<std::pair<UINT, UINT>> out;
    for (const LoggedMessage& r : g_parentSeen)
        if (r.message == WM_COMMAND)
            out.push_back({LOWORD(r.wParam), HIWORD(r.wParam)});
    return out;
}

const char kParentClass[] = "TarvikListsTestParent";

const DWORD kCheckStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_OWNERDRAWFIXED |
                          LBS_HASSTRINGS | LBS_NOTIFY;

// A top-level window, kept for the whole suite, holding for each test a list box (kListId) and a
// push button (kButtonId).
class ListWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(testutil::TestWindowClass(kParentClass, ParentProc));
        s_parent = testutil::HostWindow(kParentClass, "lists", 20, 20, 460, 340);
    }
    static void TearDownTestSuite() { testutil::DestroyHostWindow(s_parent); }

    void SetUp() override { Make(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS); }

    void Make(DWORD listStyle)
    {
        parent = s_parent;
        ASSERT_TRUE(parent != NULL);
        ASSERT_TRUE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(parent, GWLP_WNDPROC)) == ParentProc)
            << "an earlier test left the parent hooked";
        list = CreateWindowExA(0, "LISTBOX", NULL, listStyle, 0, 0, 300, 200, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), GetModuleHandleA(NULL), NULL);
        ASSERT_TRUE(list != NULL);
        button = CreateWindowExA(0, "BUTTON", "other", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 310, 0, 100, 30,
                                 parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)),
                                 GetModuleHandleA(NULL), NULL);
        ASSERT_TRUE(button != NULL);
        if (listStyle & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE))
            SendMessageA(list, LB_SETITEMHEIGHT, 0, kItemHeight);
        testutil::PumpPending();
        g_parentSeen.clear();
    }

    // Destroys every child of the parent.
    void TearDown() override
    {
        while (HWND child = GetWindow(parent, GW_CHILD))
            DestroyWindow(child);
        testutil::PumpPending();
    }

    // The list box's items, read back through the control itself.
    std::vector<std::string> Items() const
    {
        std::vector<std::string> out;
        LRESULT n = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            std::string s(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)), '\0');
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&s[0]));
            out.push_back(s);
        }
        return out;
    }

    // Empties the list and inserts the value with the library's float format set to the one
    // given (put back afterwards); returns the items joined by "|", or why there are none.
    std::string InsertedWithFloatFormat(CList& l, const char* format, float value) const
    {
        TARVIKSETUPINFO info = {};
        info.dwMask = TSI_FLOATFORMAT;
        info.pszFloatFormat = format;
        if (TarvikSetup(&info) != 1)
            return "TarvikSetup refused the format";
        l.ResetContent();
        l.InsertValue(value, -1);
        testutil::RestoreTarvikSetup();
        std::string joined;
        for (const std::string& item : Items())
            joined += (joined.empty() ? "" : "|") + item;
        return joined;
    }

    static HWND s_parent;
    HWND parent = NULL;
    HWND list = NULL;
    HWND button = NULL;
};

HWND ListWindow::s_parent = NULL;

}  // namespace

// ---------------------------------------------------------------------------------------------
// CList

TEST_F(ListWindow, EachListOperationSendsItsMessage)
{
    CList l(list);
    ASSERT_TRUE(l.GetWindow() == list);
    ControlLog log(list);

    EXPECT_EQ(0, l.InsertString("abc", 0));
    EXPECT_SEQUENCE(log.Control(), {{LB_INSERTSTRING, kCheckW | kCheckText, 0, 0, "abc"}});
    log.Clear();
    EXPECT_EQ(1, l.InsertString("def", -1));
    EXPECT_SEQUENCE(log.Control(), {{LB_INSERTSTRING, kCheckW | kCheckText, static_cast<WPARAM>(-1), 0, "def"}});
    log.Clear();
    EXPECT_EQ(1, l.InsertString("ghi", 1));
    EXPECT_EQ((std::vector<std::string>{"abc", "ghi", "def"}), Items());

    log.Clear();
    EXPECT_EQ(3, l.GetCount());
    EXPECT_SEQUENCE(log.Control(), {{LB_GETCOUNT, kCheckW | kCheckL, 0, 0}});

    log.Clear();
    EXPECT_EQ(LB_ERR, l.GetCurSel()) << "nothing is selected yet";
    EXPECT_SEQUENCE(log.Control(), {{LB_GETCURSEL, kCheckW | kCheckL, 0, 0}});

    log.Clear();
    EXPECT_EQ(2, l.SetCurSel(2));
    EXPECT_SEQUENCE(log.Control(), {{LB_SETCURSEL, kCheckW | kCheckL, 2, 0}});
    EXPECT_EQ(2, SendMessageA(list, LB_GETCURSEL, 0, 0));
    EXPECT_EQ(2, l.GetCurSel());

    log.Clear();
    char text[32] = "";
    EXPECT_EQ(3, l.GetListText(1, text));
    EXPECT_SEQUENCE(log.Control(), {{LB_GETTEXT, kCheckW | kCheckL, 1, reinterpret_cast<LPARAM>(text)}});
    EXPECT_STREQ("ghi", text);

    log.Clear();
    EXPECT_EQ(3, l.GetTextLength(2));
    EXPECT_SEQUENCE(log.Control(), {{LB_GETTEXTLEN, kCheckW | kCheckL, 2, 0}});
    EXPECT_EQ(LB_ERR, l.GetTextLength(7));

    log.Clear();
    EXPECT_EQ(2, l.DeleteString(0));
    EXPECT_SEQUENCE(log.Control(), {{LB_DELETESTRING, kCheckW | kCheckL, 0, 0}});
    EXPECT_EQ((std::vector<std::string>{"ghi", "def"}), Items());

    log.Clear();
    l.ResetContent();
    EXPECT_SEQUENCE(log.Control(), {{LB_RESETCONTENT, kCheckW | kCheckL, 0, 0}});
    EXPECT_EQ(0, SendMessageA(list, LB_GETCOUNT, 0, 0));
}

TEST_F(ListWindow, DirPassesAttributesInWParamAndTheSpecificationInLParam)
{
    std::string folder = testutil::FolderWithFiles("dir", {"one.txt", "two.txt", "three.dat", "sub\\"});
    ASSERT_NE("", folder);
    std::string spec = folder + "\\*.txt";

    CList l(list);
    ControlLog log(list);
    long last = l.Dir(spec.c_str(), DDL_READWRITE);
    EXPECT_SEQUENCE(log.Control(), {{LB_DIR, kCheckW | kCheckText, DDL_READWRITE, 0, spec.c_str()}});
    EXPECT_EQ(1, last) << "index of the last name added";
    EXPECT_EQ((std::vector<std::string>{"one.txt", "two.txt"}), Items());

    l.ResetContent();
    log.Clear();
    l.Dir((folder + "\\*").c_str(), DDL_DIRECTORY | DDL_EXCLUSIVE);
    EXPECT_SEQUENCE(log.Control(),
                    {{LB_DIR, kCheckW | kCheckText, DDL_DIRECTORY | DDL_EXCLUSIVE, 0, (folder + "\\*").c_str()}});
    std::vector<std::string> items = Items();
    EXPECT_NE(items.end(), std::find(items.begin(), items.end(), "[sub]"));
    EXPECT_EQ(items.end(), std::find(items.begin(), items.end(), "one.txt"));
}

TEST_F(ListWindow, InsertValueFormatsSignedUnsignedAndFloat)
{
    testutil::RestoreTarvikSetup();
    CList l(list);
    ControlLog log(list);

    EXPECT_EQ(0, l.InsertValue(-5L, -1));
    EXPECT_SEQUENCE(log.Control(), {{LB_INSERTSTRING, kCheckW | kCheckText, static_cast<WPARAM>(-1), 0, "-5"}});
    log.Clear();
    EXPECT_EQ(0, l.InsertValue(4294967295UL, 0));
    EXPECT_SEQUENCE(log.Control(), {{LB_INSERTSTRING, kCheckW | kCheckText, 0, 0, "4294967295"}});
    log.Clear();
    EXPECT_EQ(2, l.InsertValue(1.5f, -1));
    EXPECT_SEQUENCE(log.Control(), {{LB_INSERTSTRING, kCheckW | kCheckText, static_cast<WPARAM>(-1), 0, "1.500"}});
    EXPECT_EQ((std::vector<std::string>{"4294967295", "-5", "1.500"}), Items());

    // The widest texts of the integer forms fill the 12-byte buffer exactly.
    l.ResetContent();
    l.InsertValue(static_cast<long>(-2147483647L - 1), -1);
    l.InsertValue(2147483647L, -1);
    l.InsertValue(0UL, -1);
    l.InsertValue(-0.0004f, -1);
    EXPECT_EQ((std::vector<std::string>{"-2147483648", "2147483647", "0", "-0.000"}), Items());

    // The float format is the library's: a changed one is used at once.
    EXPECT_EQ("1234.0", InsertedWithFloatFormat(l, "%.1f", 1234.0f));
}

TEST_F(ListWindow, InsertValueCutsFloatTextsLongerThanElevenCharacters)
{
    testutil::RestoreTarvikSetup();
    CList l(list);
    ControlLog log(list);

    // 12345678.000 and -1000000.000 need 12 characters; 1e30 needs 35.
    l.InsertValue(12345678.0f, -1);
    l.InsertValue(9999999.0f, -1);
    l.InsertValue(-1000000.0f, -1);
    l.InsertValue(-999999.0f, -1);
    l.InsertValue(1e30f, -1);
    EXPECT_EQ((std::vector<std::string>{"12345678.00", "9999999.000", "-1000000.00", "-999999.000",
                                        "10000000150"}),
              Items());
    for (const LoggedMessage& m : log.Control())
        EXPECT_GE(11u, m.text.size()) << Describe(log.Control());

    // A long float format is cut the same way.
    EXPECT_EQ("value=3.250", InsertedWithFloatFormat(l, "value=%.6f", 3.25f));
}

// A pointer to a virtual member is, in this compiler's ABI, one more than the byte offset of its
// slot in the table of virtual functions.
template <typename T>
ptrdiff_t SlotOf(T member)
{
    ptrdiff_t raw = 0;
    static_assert(sizeof(T) >= sizeof(ptrdiff_t), "pointer to member layout");
    memcpy(&raw, &member, sizeof raw);
    return (raw - 1) / static_cast<ptrdiff_t>(sizeof(void*));
}

TEST(ListSlots, VirtualOperationsFollowTheDestructorInOrder)
{
    // Slots 0 and 1 hold the two destructor entries (complete object and deleting).
    EXPECT_EQ(2, SlotOf(&CList::InsertString));
    EXPECT_EQ(3, SlotOf(static_cast<long (CList::*)(float, long)>(&CList::InsertValue)));
    EXPECT_EQ(4, SlotOf(static_cast<long (CList::*)(unsigned long, long)>(&CList::InsertValue)));
    EXPECT_EQ(5, SlotOf(static_cast<long (CList::*)(long, long)>(&CList::InsertValue)));
    EXPECT_EQ(6, SlotOf(&CList::DeleteString));
    EXPECT_EQ(7, SlotOf(&CList::GetCount));
    EXPECT_EQ(8, SlotOf(&CList::GetCurSel));
    EXPECT_EQ(9, SlotOf(&CList::SetCurSel));
    EXPECT_EQ(10, SlotOf(&CList::GetListText));
    EXPECT_EQ(11, SlotOf(&CList::GetTextLength));
    EXPECT_EQ(12, SlotOf(&CList::ResetContent));
    EXPECT_EQ(13, SlotOf(&CList::Dir));

    // CCheckList replaces only the destructor entries.
    CList plain;
    CCheckList check;
    void** plainTable = *reinterpret_cast<void***>(&plain);
    void** checkTable = *reinterpret_cast<void***>(&check);
    EXPECT_NE(plainTable[0], checkTable[0]);
    EXPECT_NE(plainTable[1], checkTable[1]);
    for (int slot = 2; slot <= 13; ++slot)
        EXPECT_EQ(plainTable[slot], checkTable[slot]) << "slot " << slot;
}

// A list whose count is served by the derived class: the operations are called virtually.
class CountingList : public CList {
public:
    explicit CountingList(HWND h) : CList(h) {}
    long GetCount() const override { return 42; }
};

TEST_F(ListWindow, OperationsCanBeReplacedInADerivedClass)
{
    CountingList counting(list);
    CList& base = counting;
    EXPECT_EQ(42, base.GetCount());
}

TEST(ListDetached, AListWithoutAControlReturnsTheFailureOfANullWindow)
{
    CList l;
    EXPECT_TRUE(l.GetWindow() == NULL);
    EXPECT_EQ(0, l.GetCount());
    EXPECT_EQ(0, l.InsertString("x", -1));
}

// ---------------------------------------------------------------------------------------------
// CCheckList

// Exposes the protected drawing member, for drawing into a memory bitmap.
class DrawableCheckList : public CCheckList {
public:
    explicit DrawableCheckList(HWND h) : CCheckList(h) {}
    using CCheckList::Draw;
};

class CheckListWindow : public ListWindow {
protected:
    void SetUp() override { Make(kCheckStyle); }

    void AddItems(std::initializer_list<const char*> texts)
    {
        for (const char* t : texts)
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    }

    // Clicks an item with the left button, as the mouse does: button down, then up.
    void Click(int index, bool ctrl = false)
    {
        RECT r;
        ASSERT_NE(LB_ERR, SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r)));
        LPARAM at = MAKELPARAM(r.left + 40, (r.top + r.bottom) / 2);
        BYTE keys[256];
        GetKeyboardState(keys);
        BYTE saved = keys[VK_CONTROL];
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        SetKeyboardState(keys);
        WPARAM flags = MK_LBUTTON | (ctrl ? MK_CONTROL : 0);
        PostMessageA(list, WM_LBUTTONDOWN, flags, at);
        PostMessageA(list, WM_LBUTTONUP, flags & ~static_cast<WPARAM>(MK_LBUTTON), at);
        testutil::PumpPending();
        keys[VK_CONTROL] = saved;
        SetKeyboardState(keys);
    }

    // Presses and releases a key in the list box.
    void Key(WPARAM vk)
    {
        PostMessageA(list, WM_KEYDOWN, vk, 1);
        PostMessageA(list, WM_KEYUP, vk, 0xC0000001);
        testutil::PumpPending();
    }

    std::vector<int> Checks(const CCheckList& c) const
    {
        std::vector<int> out;
        LRESULT n = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i)
            out.push_back(c.GetCheck(static_cast<long>(i)));
        return out;
    }
};

TEST_F(CheckListWindow, ConstructorRewritesTheStyleAndHooksTheParent)
{
    LONG before = GetWindowLongA(list, GWL_STYLE);
    ASSERT_EQ(LBS_OWNERDRAWFIXED, before & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE));
    WNDPROC parentProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(parent, GWLP_WNDPROC));
    ASSERT_TRUE(parentProc == ParentProc);

    {
        CCheckList c(list);
        LONG after = GetWindowLongA(list, GWL_STYLE);
        EXPECT_EQ((before & ~LBS_OWNERDRAWFIXED) | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS, after)
            << std::hex << "before 0x" << before << " after 0x" << after;
        EXPECT_EQ(static_cast<void*>(&c), GetPropA(parent, "CheckListPtr"));
        EXPECT_TRUE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(parent, GWLP_WNDPROC)) != ParentProc)
            << "the parent was not subclassed";
        EXPECT_TRUE(c.GetWindow() == list);
    }
    // Destroying the object unhooks the parent, so that no message reaches a dead object.
    EXPECT_TRUE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(parent, GWLP_WNDPROC)) == ParentProc);
    EXPECT_TRUE(GetPropA(parent, "CheckListPtr") == NULL);
    g_parentSeen.clear();
    EXPECT_EQ(0x1234, SendMessageA(parent, WM_APP + 5, 1, 2));
    EXPECT_EQ(1u, g_parentSeen.size());
}

TEST_F(CheckListWindow, StyleRewriteAddsStringsToAListWithout)
{
    TearDown();
    Make(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_NOTIFY | LBS_SORT);
    LONG before = GetWindowLongA(list, GWL_STYLE);
    ASSERT_EQ(0, before & LBS_HASSTRINGS);
    ASSERT_EQ(LBS_SORT, before & LBS_SORT);
    CCheckList c(list);
    LONG after = GetWindowLongA(list, GWL_STYLE);
    EXPECT_EQ((before & ~LBS_OWNERDRAWFIXED) | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS, after)
        << std::hex << "before 0x" << before << " after 0x" << after;
}

TEST_F(CheckListWindow, AssigningAHandleAttachesWithoutTouchingTheStyle)
{
    LONG before = GetWindowLongA(list, GWL_STYLE);
    CCheckList c;
    EXPECT_TRUE(c.GetWindow() == NULL);
    EXPECT_TRUE(GetPropA(parent, "CheckListPtr") == NULL) << "a null handle attaches nothing";

    EXPECT_TRUE((c = list) == list);
    EXPECT_EQ(before, GetWindowLongA(list, GWL_STYLE));
    EXPECT_EQ(static_cast<void*>(&c), GetPropA(parent, "CheckListPtr"));

    // Detaching with null forgets the list box and puts the parent's procedure back.
    EXPECT_TRUE((c = static_cast<HWND>(NULL)) == NULL);
    EXPECT_TRUE(c.GetWindow() == NULL);
    EXPECT_TRUE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(parent, GWLP_WNDPROC)) == ParentProc);
    EXPECT_TRUE(GetPropA(parent, "CheckListPtr") == NULL);
    g_parentSeen.clear();
    EXPECT_EQ(0x1234, SendMessageA(parent, WM_APP + 5, 1, 2));

    // Attaching the same object again, twice in a row, keeps one working hook.
    c = list;
    c = list;
    EXPECT_EQ(0x1234, SendMessageA(parent, WM_APP + 5, 3, 4));
    EXPECT_EQ(2u, g_parentSeen.size());
}

TEST_F(CheckListWindow, SetCheckStoresTheStateAsItemDataAndRepaintsWithoutErasing)
{
    AddItems({"one", "two", "three"});
    CCheckList c(list);
    UpdateWindow(list);
    ControlLog log(list);

    EXPECT_EQ(1, c.SetCheck(1, 5));
    EXPECT_SEQUENCE(log.Control(), {{LB_SETITEMDATA, kCheckW | kCheckL, 1, 5}});
    EXPECT_EQ(5, SendMessageA(list, LB_GETITEMDATA, 1, 0)) << "the state is stored as given";
    RECT dirty;
    ASSERT_TRUE(GetUpdateRect(list, &dirty, FALSE));
    RECT client;
    GetClientRect(list, &client);
    EXPECT_TRUE(EqualRect(&dirty, &client)) << "the whole list box is invalidated";

    log.Clear();
    UpdateWindow(list);
    EXPECT_EQ(0u, log.Only({WM_ERASEBKGND}).size()) << "the repaint erased the background";
    EXPECT_EQ(1u, log.Only({WM_PAINT}).size());

    log.Clear();
    EXPECT_EQ(1, c.GetCheck(1));
    EXPECT_SEQUENCE(log.Control(), {{LB_GETITEMDATA, kCheckW | kCheckL, 1, 0}});
    EXPECT_EQ(0, c.GetCheck(0));
    EXPECT_EQ(1, c.GetCheck(99)) << "outside the list the list box answers LB_ERR, which is nonzero";

    c.SetCheck(1, 0);
    EXPECT_EQ(0, c.GetCheck(1));
}

TEST_F(CheckListWindow, FirstClickSelectsSecondTogglesCtrlClickTogglesAtOnce)
{
    AddItems({"one", "two", "three", "four"});
    CCheckList c(list);

    Click(1);
    EXPECT_EQ(1, SendMessageA(list, LB_GETCURSEL, 0, 0));
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0}), Checks(c)) << "a first click only selects";

    Click(1);
    EXPECT_EQ((std::vector<int>{0, 1, 0, 0}), Checks(c)) << "a click on the selected item toggles";
    Click(1);
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0}), Checks(c));

    Click(3, true);
    EXPECT_EQ(3, SendMessageA(list, LB_GETCURSEL, 0, 0));
    EXPECT_EQ((std::vector<int>{0, 0, 0, 1}), Checks(c)) << "Ctrl+click toggles at once";

    Click(0);
    EXPECT_EQ((std::vector<int>{0, 0, 0, 1}), Checks(c));

    // Keyboard moves select without toggling, even onto an item and back.
    Key(VK_DOWN);
    EXPECT_EQ(1, SendMessageA(list, LB_GETCURSEL, 0, 0));
    Key(VK_DOWN);
    Key(VK_UP);
    Key(VK_END);
    Key(VK_HOME);
    EXPECT_EQ(0, SendMessageA(list, LB_GETCURSEL, 0, 0));
    EXPECT_EQ((std::vector<int>{0, 0, 0, 1}), Checks(c)) << "a keyboard move toggled";

    // After a keyboard move, clicking the item it selected toggles it.
    Key(VK_DOWN);
    Click(1);
    EXPECT_EQ((std::vector<int>{0, 1, 0, 1}), Checks(c));

    // The list box's notifications stay with the hook: the parent's procedure sees none.
    for (const auto& cmd : ParentCommands())
        EXPECT_NE(kListId, cmd.first) << "code " << cmd.second;
}

TEST_F(CheckListWindow, CommandsFromOtherControlsAndOtherMessagesReachTheParentsProcedure)
{
    AddItems({"one"});
    CCheckList c(list);
    g_parentSeen.clear();

    SendMessageA(button, BM_CLICK, 0, 0);
    testutil::PumpPending();
    EXPECT_SEQUENCE(g_parentSeen, {{WM_COMMAND, kCheckW | kCheckL, MAKEWPARAM(kButtonId, BN_CLICKED),
                                    reinterpret_cast<LPARAM>(button)}});

    // A command with an identifier of no child (a menu, an accelerator) passes through as well.
    g_parentSeen.clear();
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(40001, 0), 0);
    EXPECT_SEQUENCE(g_parentSeen, {{WM_COMMAND, kCheckW, MAKEWPARAM(40001, 0)}});

    // Other messages arrive unchanged and their answer comes back.
    g_parentSeen.clear();
    EXPECT_EQ(0x1234, SendMessageA(parent, WM_APP + 5, 77, 88));
    EXPECT_SEQUENCE(g_parentSeen, {{WM_APP + 5, kCheckW | kCheckL, 77, 88}});

    // The check list's own commands do not.
    g_parentSeen.clear();
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(kListId, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(0u, g_parentSeen.size());
}

TEST_F(CheckListWindow, DrawItemOfAnotherOwnerDrawnControlReachesTheParentsProcedure)
{
    AddItems({"one"});
    CCheckList c(list);
    g_parentSeen.clear();
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = kButtonId;
    dis.hwndItem = button;
    dis.hDC = GetDC(button);
    SendMessageA(parent, WM_DRAWITEM, kButtonId, reinterpret_cast<LPARAM>(&dis));
    ReleaseDC(button, dis.hDC);
    EXPECT_SEQUENCE(g_parentSeen, {{WM_DRAWITEM, kCheckW, kButtonId}});

    // The check list's own items are drawn by the hook only.
    g_parentSeen.clear();
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    InvalidateRect(list, NULL, TRUE);
    UpdateWindow(list);
    EXPECT_EQ(0u, g_parentSeen.size());
}

namespace {

// Counts the pixels of one colour in a rectangle of a device context.
int CountColour(HDC dc, const RECT& r, COLORREF colour)
{
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (GetPixel(dc, x, y) == colour)
                ++n;
    return n;
}

}  // namespace

TEST_F(CheckListWindow, ItemsAreDrawnWithCheckBoxAndText)
{
    COLORREF window = GetSysColor(COLOR_WINDOW);
    COLORREF windowText = GetSysColor(COLOR_WINDOWTEXT);
    COLORREF selected = GetSysColor(COLOR_ACTIVECAPTION);
    COLORREF selectedText = GetSysColor(COLOR_CAPTIONTEXT);
    ASSERT_NE(window, selected);
    ASSERT_NE(window, windowText);
    ASSERT_NE(selected, selectedText);

    AddItems({"MMMM", "MMMM", "MMMM"});
    CCheckList c(list);
    c.SetCheck(0, 1);
    SendMessageA(list, LB_SETCURSEL, 2, 0);
    InvalidateRect(list, NULL, TRUE);
    UpdateWindow(list);

    HDC dc = GetDC(list);
    for (int i = 0; i < 3; ++i) {
        RECT item;
        SendMessageA(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
        ASSERT_EQ(kItemHeight, item.bottom - item.top);
        COLORREF back = i == 2 ? selected : window;
        COLORREF fore = i == 2 ? selectedText : windowText;
        int boxTop = item.top + (kItemHeight - 16) / 2;
        // Inside the box's frame: the check mark is drawn in the window text colour.
        RECT inside = {3, boxTop + 3, 13, boxTop + 13};
        int mark = CountColour(dc, inside, windowText);
        if (i == 0)
            EXPECT_LT(5, mark) << "item 0 is checked";
        else
            EXPECT_EQ(0, mark) << "item " << i << " is not checked";
        // The gap between box and text, and the far right of the item, show the background.
        RECT gap = {16, item.top, 18, item.bottom};
        EXPECT_EQ(2 * kItemHeight, CountColour(dc, gap, back)) << "item " << i;
        RECT right = {230, item.top, 270, item.bottom};
        EXPECT_EQ(40 * kItemHeight, CountColour(dc, right, back)) << "item " << i;
        // The text starts 18 pixels in, vertically centred, in the text colour.
        RECT text = {18, item.top, 120, item.bottom};
        EXPECT_LT(5, CountColour(dc, text, fore)) << "item " << i;
        RECT above = {18, item.top, 120, item.top + 1};
        EXPECT_EQ(0, CountColour(dc, above, fore)) << "item " << i;
    }
    ReleaseDC(list, dc);
}

namespace {

// A 32-bit memory bitmap filled with one colour, to draw items into.
struct Canvas {
    Canvas(int w, int h, COLORREF fill) : width(w), height(h)
    {
        BITMAPINFO bi = gfxtest::TopDown32(w, h);
        dc = CreateCompatibleDC(NULL);
        bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), NULL, 0);
        old = SelectObject(dc, bitmap);
        RECT all = {0, 0, w, h};
        HBRUSH b = CreateSolidBrush(fill);
        FillRect(dc, &all, b);
        DeleteObject(b);
        GdiFlush();
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const
    {
        DWORD v = bits[y * width + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    // The rightmost column that holds the colour, or -1.
    int LastColumnWith(COLORREF colour) const
    {
        GdiFlush();
        for (int x = width - 1; x >= 0; --x)
            for (int y = 0; y < height; ++y)
                if (At(x, y) == colour)
                    return x;
        return -1;
    }
    int Count(COLORREF colour) const
    {
        GdiFlush();
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                n += At(x, y) == colour;
        return n;
    }
    int width, height;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    DWORD* bits = NULL;
};

const COLORREF kSentinel = RGB(255, 0, 255);

DRAWITEMSTRUCT ItemOn(const Canvas& canvas, HWND list, UINT item)
{
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_LISTBOX;
    dis.CtlID = kListId;
    dis.itemID = item;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = list;
    dis.hDC = canvas.dc;
    dis.rcItem.right = canvas.width;
    dis.rcItem.bottom = canvas.height;
    dis.itemData = static_cast<ULONG_PTR>(SendMessageA(list, LB_GETITEMDATA, item, 0));
    return dis;
}

}  // namespace

TEST_F(CheckListWindow, AnEmptyListDrawsNothing)
{
    CCheckList c(list);
    Canvas canvas(300, kItemHeight, kSentinel);
    DRAWITEMSTRUCT dis = ItemOn(canvas, list, static_cast<UINT>(-1));
    dis.itemAction = ODA_FOCUS;
    dis.itemState = ODS_FOCUS | ODS_SELECTED;
    dis.itemData = 0;
    SendMessageA(parent, WM_DRAWITEM, kListId, reinterpret_cast<LPARAM>(&dis));
    EXPECT_EQ(300 * kItemHeight, canvas.Count(kSentinel)) << "an empty list drew";

    // The same message with one item in the list draws it.
    AddItems({"MMMM"});
    dis.itemID = 0;
    SendMessageA(parent, WM_DRAWITEM, kListId, reinterpret_cast<LPARAM>(&dis));
    EXPECT_EQ(0, canvas.Count(kSentinel));
}

TEST_F(CheckListWindow, ItemTextsOf200CharactersOrMoreAreDrawnUpTo199)
{
    CCheckList c(list);
    std::string longText(300, 'M');
    AddItems({longText.c_str()});
    COLORREF text = GetSysColor(COLOR_WINDOWTEXT);

    Canvas probe(10, 10, kSentinel);
    SIZE m199 = {}, m200 = {};
    GetTextExtentPoint32A(probe.dc, longText.c_str(), 199, &m199);
    GetTextExtentPoint32A(probe.dc, longText.c_str(), 200, &m200);
    ASSERT_LT(18 + m200.cx + 20, 4000);

    Canvas canvas(4000, kItemHeight, kSentinel);
    DRAWITEMSTRUCT dis = ItemOn(canvas, list, 0);
    SendMessageA(parent, WM_DRAWITEM, kListId, reinterpret_cast<LPARAM>(&dis));
    int last = canvas.LastColumnWith(text);
    EXPECT_GT(18 + m199.cx, last);
    EXPECT_LT(18 + m199.cx - 15, last) << "the text ends well before 199 characters";

    // A cut that would split a double-byte character leaves the whole character out.
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    std::string mixed(198, 'M');
    mixed += "\x82\xA0";  // HIRAGANA LETTER A in code page 932, bytes 199 and 200
    mixed += std::string(50, 'M');
    AddItems({mixed.c_str()});
    SIZE m198 = {};
    GetTextExtentPoint32A(probe.dc, mixed.c_str(), 198, &m198);
    Canvas second(4000, kItemHeight, kSentinel);
    dis = ItemOn(second, list, 0);
    SendMessageA(parent, WM_DRAWITEM, kListId, reinterpret_cast<LPARAM>(&dis));
    last = second.LastColumnWith(text);
    EXPECT_GT(18 + m198.cx, last);
    EXPECT_LT(18 + m198.cx - 15, last);
}

TEST_F(CheckListWindow, TwoCheckListsOnOneParentDoNotLoopThroughTheirHooks)
{
    HWND second = CreateWindowExA(0, "LISTBOX", NULL, kCheckStyle, 0, 210, 300, 100, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSecondListId)),
                                  GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(second != NULL);
    {
        CCheckList first(list);
        {
            CCheckList other(second);
            EXPECT_EQ(static_cast<void*>(&other), GetPropA(parent, "CheckListPtr"));
            g_parentSeen.clear();
            EXPECT_EQ(0x1234, SendMessageA(parent, WM_APP + 5, 0, 0));
            EXPECT_EQ(1u, g_parentSeen.size());
        }
        // The later object's end unhooks the parent; the earlier one's leaves it alone.
        EXPECT_TRUE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(parent, GWLP_WNDPROC)) == ParentProc);
    }
    EXPECT_TRUE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(parent, GWLP_WNDPROC)) == ParentProc);
    g_parentSeen.clear();
    EXPECT_EQ(0x1234, SendMessageA(parent, WM_APP + 5, 0, 0));
    EXPECT_EQ(1u, g_parentSeen.size());
}

// ---------------------------------------------------------------------------------------------
// A check list in a dialog from a template

namespace {

std::vector<std::pair<UINT, UINT>> g_dialogCommands;

INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND) {
        g_dialogCommands.push_back({LOWORD(wParam), HIWORD(wParam)});
        return TRUE;
    }
    return FALSE;
}

}  // namespace

TEST(CheckListDialog, WorksInADialogAndPassesOtherCommandsToTheDialogProcedure)
{
    g_dialogCommands.clear();
    HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(1), NULL, DialogProc, 0);
    ASSERT_TRUE(dialog != NULL);
    ShowWindow(dialog, SW_SHOW);
    HWND list = GetDlgItem(dialog, kListId);
    ASSERT_TRUE(list != NULL);
    SendMessageA(list, LB_SETITEMHEIGHT, 0, kItemHeight);
    {
        CCheckList c(list);
        // Focus notifications from before the hook went to the dialog procedure as usual; from
        // now on the list box's own commands stay with the hook.
        g_dialogCommands.clear();
        CList& asList = c;
        asList.InsertString("alpha", -1);
        asList.InsertString("beta", -1);

        RECT r;
        SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
        LPARAM at = MAKELPARAM(40, (r.top + r.bottom) / 2);
        for (int i = 0; i < 2; ++i) {
            PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageA(list, WM_LBUTTONUP, 0, at);
            testutil::PumpPending();
        }
        EXPECT_EQ(0, c.GetCheck(0));
        EXPECT_EQ(1, c.GetCheck(1));

        SendMessageA(GetDlgItem(dialog, kButtonId), BM_CLICK, 0, 0);
        testutil::PumpPending();
        std::string seen;
        for (const auto& cmd : g_dialogCommands)
            seen += " " + std::to_string(cmd.first) + "/" + std::to_string(cmd.second);
        ASSERT_EQ(1u, g_dialogCommands.size()) << seen;
        EXPECT_EQ(kButtonId, g_dialogCommands[0].first);
        EXPECT_EQ(static_cast<UINT>(BN_CLICKED), g_dialogCommands[0].second);
    }
    DestroyWindow(dialog);
}
