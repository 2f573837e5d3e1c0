// The position bar's record over the window's life: created in WM_CREATE, freed in WM_DESTROY,
// never touched afterwards. The record is served from guarded pages (through this program's import
// of HeapAlloc and HeapFree); once freed, its pages allow no access, and every touch is counted.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "import_patch.h"
#include "harness_util.h"
#include "position_bar.h"

namespace {

// --- Guarded records -------------------------------------------------------------------------

struct Guarded {
    BYTE* pages;    // two pages: the record sits at the end of the first, the second is never open
    void* record;
    bool freed;
};

std::vector<Guarded> g_guarded;
bool g_guardAllocs;       // serve record-sized allocations from guarded pages
bool g_failAllocs;        // refuse record-sized allocations
volatile long g_touches;   // accesses to a freed record's pages (changed by the exception handler)
volatile long g_overruns;  // accesses beyond the end of a live record
DWORD g_pageSize;

LPVOID(WINAPI* realHeapAlloc)(HANDLE, DWORD, SIZE_T);
BOOL(WINAPI* realHeapFree)(HANDLE, DWORD, LPVOID);

LPVOID WINAPI GuardHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size)
{
    if (size == sizeof(Bar2Instance) && g_failAllocs) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    if (size == sizeof(Bar2Instance) && g_guardAllocs) {
        BYTE* pages = static_cast<BYTE*>(VirtualAlloc(NULL, 2 * g_pageSize, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS));
        DWORD old;
        VirtualProtect(pages, g_pageSize, PAGE_READWRITE, &old);
        Guarded g = { pages, pages + g_pageSize - ((size + 15) & ~static_cast<SIZE_T>(15)), false };
        // The pages arrive zero-filled; HEAP_ZERO_MEMORY or not, fill with garbage when not asked.
        if (!(flags & HEAP_ZERO_MEMORY))
            memset(g.record, 0xCD, size);
        g_guarded.push_back(g);
        return g.record;
    }
    return realHeapAlloc(heap, flags, size);
}

BOOL WINAPI GuardHeapFree(HANDLE heap, DWORD flags, LPVOID p)
{
    for (Guarded& g : g_guarded) {
        if (g.record == p) {
            if (g.freed) {
                ADD_FAILURE() << "record freed twice";
                return FALSE;
            }
            g.freed = true;
            DWORD old;
            VirtualProtect(g.pages, g_pageSize, PAGE_NOACCESS, &old);
            return TRUE;
        }
    }
    return realHeapFree(heap, flags, p);
}

// Counts an access to a guarded page and opens the page so the access can complete.
LONG CALLBACK CountTouch(EXCEPTION_POINTERS* info)
{
    if (info->ExceptionRecord->ExceptionCode != EXCEPTION_ACCESS_VIOLATION ||
        info->ExceptionRecord->NumberParameters < 2)
        return EXCEPTION_CONTINUE_SEARCH;
    BYTE* address = reinterpret_cast<BYTE*>(info->ExceptionRecord->ExceptionInformation[1]);
    for (Guarded& g : g_guarded) {
        if (address >= g.pages && address < g.pages + 2 * g_pageSize) {
            if (address >= g.pages + g_pageSize)
                ++g_overruns;
            else
                ++g_touches;
            DWORD old;
            VirtualProtect(g.pages, 2 * g_pageSize, PAGE_READWRITE, &old);
            return EXCEPTION_CONTINUE_EXECUTION;
        }
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

void InstallGuards()
{
    static bool done;
    if (done)
        return;
    done = true;
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    g_pageSize = si.dwPageSize;
    realHeapAlloc = reinterpret_cast<decltype(realHeapAlloc)>(
        testutil::PatchImport(NULL, "kernel32.dll", "HeapAlloc", reinterpret_cast<void*>(GuardHeapAlloc)));
    realHeapFree = reinterpret_cast<decltype(realHeapFree)>(
        testutil::PatchImport(NULL, "kernel32.dll", "HeapFree", reinterpret_cast<void*>(GuardHeapFree)));
    ASSERT_TRUE(realHeapAlloc != NULL && realHeapFree != NULL) << "HeapAlloc / HeapFree imports not found";
    AddVectoredExceptionHandler(1, CountTouch);
}

// --- Windows ---------------------------------------------------------------------------------

long g_notifications;
bool g_destroyOnNotify;
HWND g_bar;
WNDPROC g_barProc;
LRESULT g_afterDestroyResults[32];
int g_afterDestroyCount;
UINT g_afterDestroyPos;
Bar2Colors g_afterDestroyColors;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NOTIFY) {
        ++g_notifications;
        if (g_destroyOnNotify && IsWindow(g_bar))
            DestroyWindow(g_bar);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND Host()
{
    static HWND host;
    if (!host) {
        EXPECT_EQ(1, RegisterBar2Class());
        testutil::TestWindowClass("Bar2LifeHost", HostProc, NULL);
        host = CreateWindowExA(0, "Bar2LifeHost", "bar life", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 60, 300, 500,
                               60, NULL, NULL, GetModuleHandleA(NULL), NULL);
    }
    return host;
}

HWND CreateBar()
{
    return CreateWindowExA(0, BAR2_CLASS_NAME, "", WS_CHILD | WS_VISIBLE, 10, 10, 408, 16, Host(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(1005)), GetModuleHandleA(NULL), NULL);
}

// Sends, from inside WM_DESTROY right after the control has handled it, every message the
// control knows; records their results.
LRESULT CALLBACK AfterDestroyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT r = CallWindowProcA(g_barProc, hwnd, msg, wParam, lParam);
    if (msg != WM_DESTROY)
        return r;
    EXPECT_EQ(0, r);
    EXPECT_TRUE(GetPropA(hwnd, "BM2Instance") == NULL) << "property still set after WM_DESTROY";

    UINT a = 0xAAAA, b = 0xBBBB;
    int n = 0;
    g_afterDestroyPos = 0x1234;
    g_afterDestroyColors = Bar2Colors{ 1, 2, 3, 4 };
    g_afterDestroyResults[n++] = SendMessageA(hwnd, BM2_SETRANGE, 10, 20);
    g_afterDestroyResults[n++] =
        SendMessageA(hwnd, BM2_GETRANGE, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    g_afterDestroyResults[n++] = SendMessageA(hwnd, BM2_SETMARKER, 1, 15);
    g_afterDestroyResults[n++] = SendMessageA(hwnd, BM2_SETMARKER, 0, 15);
    g_afterDestroyResults[n++] =
        SendMessageA(hwnd, BM2_GETMARKERS, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    g_afterDestroyResults[n++] = SendMessageA(hwnd, BM2_SETPOS, 0, 15);
    g_afterDestroyResults[n++] = SendMessageA(hwnd, BM2_GETPOS, 0, reinterpret_cast<LPARAM>(&g_afterDestroyPos));
    Bar2Colors c = { 5, 6, 7, 8 };
    g_afterDestroyResults[n++] = SendMessageA(hwnd, BM2_SETCOLORS, 0, reinterpret_cast<LPARAM>(&c));
    g_afterDestroyResults[n++] =
        SendMessageA(hwnd, BM2_GETCOLORS, 0, reinterpret_cast<LPARAM>(&g_afterDestroyColors));
    g_afterDestroyResults[n++] = SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 5));
    g_afterDestroyResults[n++] = SendMessageA(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 5));
    g_afterDestroyResults[n++] = SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(200, 5));
    g_afterDestroyResults[n++] = SendMessageA(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 5));
    g_afterDestroyResults[n++] = SendMessageA(hwnd, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(300, 5));
    g_afterDestroyResults[n++] = SendMessageA(hwnd, WM_RBUTTONUP, 0, MAKELPARAM(300, 5));
    InvalidateRect(hwnd, NULL, FALSE);
    g_afterDestroyResults[n++] = SendMessageA(hwnd, WM_PAINT, 0, 0);
    HDC dc = GetDC(hwnd);
    g_afterDestroyResults[n++] = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(hwnd, dc);
    // A second WM_DESTROY must not free the record again.
    g_afterDestroyResults[n++] = CallWindowProcA(g_barProc, hwnd, WM_DESTROY, 0, 0);
    g_afterDestroyCount = n;
    EXPECT_EQ(0xAAAAu, a);
    EXPECT_EQ(0xBBBBu, b);
    return r;
}

class BarLifetime : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallGuards();
        g_touches = g_overruns = 0;
        g_notifications = 0;
        g_destroyOnNotify = false;
        g_guardAllocs = true;
        g_failAllocs = false;
    }
    void TearDown() override
    {
        g_guardAllocs = false;
        g_failAllocs = false;
        g_destroyOnNotify = false;
        if (GetCapture())
            ReleaseCapture();
        if (IsWindow(g_bar))
            DestroyWindow(g_bar);
        g_bar = NULL;
        testutil::PumpPending();
    }
};

}  // namespace

TEST_F(BarLifetime, TheGuardCountsATouchOfAFreedRecord)
{
    // The detector itself: a read of a freed record is counted.
    g_bar = CreateBar();
    ASSERT_TRUE(g_bar != NULL);
    ASSERT_FALSE(g_guarded.empty());
    volatile Bar2Instance* rec = static_cast<Bar2Instance*>(GetPropA(g_bar, "BM2Instance"));
    ASSERT_TRUE(rec == g_guarded.back().record) << "the record did not come from HeapAlloc";
    DestroyWindow(g_bar);
    ASSERT_TRUE(g_guarded.back().freed) << "WM_DESTROY did not free the record";
    EXPECT_EQ(0, g_touches);
    int mode = rec->dragMode;
    (void)mode;
    EXPECT_EQ(1, g_touches);
    DWORD old;
    VirtualProtect(g_guarded.back().pages, g_pageSize, PAGE_NOACCESS, &old);
}

TEST_F(BarLifetime, RecordIsZeroFilledAndOwned)
{
    g_bar = CreateBar();
    ASSERT_TRUE(g_bar != NULL);
    const Bar2Instance* rec = static_cast<const Bar2Instance*>(GetPropA(g_bar, "BM2Instance"));
    ASSERT_TRUE(rec == g_guarded.back().record);
    EXPECT_EQ(0u, rec->minimum);
    EXPECT_EQ(0u, rec->maximum);
    EXPECT_EQ(0u, rec->start);
    EXPECT_EQ(0u, rec->end);
    EXPECT_EQ(0u, rec->position);
    EXPECT_EQ(0, rec->dragMode);
    // Every message in the record's life stays inside it.
    SendMessageA(g_bar, BM2_SETRANGE, 0, 100);
    InvalidateRect(g_bar, NULL, FALSE);
    UpdateWindow(g_bar);
    EXPECT_EQ(0, g_overruns);
    DestroyWindow(g_bar);
    EXPECT_EQ(0, g_touches);
}

TEST_F(BarLifetime, MessagesAfterDestroyTouchNothing)
{
    g_bar = CreateBar();
    ASSERT_TRUE(g_bar != NULL);
    SendMessageA(g_bar, BM2_SETRANGE, 0, 100);
    g_barProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(g_bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfterDestroyProc)));
    g_afterDestroyCount = 0;
    const size_t records = g_guarded.size();
    DestroyWindow(g_bar);
    EXPECT_FALSE(IsWindow(g_bar));
    ASSERT_EQ(18, g_afterDestroyCount) << "WM_DESTROY never reached the test's procedure";
    for (int i = 0; i < g_afterDestroyCount; ++i)
        EXPECT_EQ(0, g_afterDestroyResults[i]) << "message " << i << " after WM_DESTROY";
    EXPECT_EQ(0x1234u, g_afterDestroyPos);
    EXPECT_EQ(1u, g_afterDestroyColors.bkgColor);
    EXPECT_EQ(4u, g_afterDestroyColors.markerColor);
    EXPECT_EQ(0, g_touches) << "the freed record was touched";
    EXPECT_EQ(0, g_notifications);
    EXPECT_TRUE(GetCapture() == NULL);
    EXPECT_EQ(records, g_guarded.size());
    EXPECT_TRUE(g_guarded.back().freed);
}

TEST_F(BarLifetime, ParentDestroyingTheControlInsideTheNotification)
{
    // The parent may close the control while handling a drag step; the step must not touch the
    // freed record on its way out.
    g_bar = CreateBar();
    ASSERT_TRUE(g_bar != NULL);
    SendMessageA(g_bar, BM2_SETRANGE, 0, 100);
    g_destroyOnNotify = true;
    SendMessageA(g_bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 5));
    EXPECT_EQ(1, g_notifications);
    EXPECT_FALSE(IsWindow(g_bar));
    EXPECT_TRUE(g_guarded.back().freed);
    EXPECT_EQ(0, g_touches) << "the drag step used the record after the parent destroyed the control";
}

TEST_F(BarLifetime, AllocationFailureFailsTheCreation)
{
    g_failAllocs = true;
    const size_t records = g_guarded.size();
    HWND bar = CreateBar();
    EXPECT_TRUE(bar == NULL) << "created without a record";
    if (bar)
        DestroyWindow(bar);
    g_failAllocs = false;
    EXPECT_EQ(records, g_guarded.size());

    // The same in a dialog: the dialog that holds the control is not created either.
    struct {
        DLGTEMPLATE dlg;
        WORD menu, cls, title;
        DLGITEMTEMPLATE item;
        WORD itemClass[sizeof(BAR2_CLASS_NAME)];
        WORD itemTitle, extra;
    } __attribute__((aligned(4))) t = {};
    t.dlg.style = WS_POPUP;
    t.dlg.cdit = 1;
    t.dlg.cx = 100;
    t.dlg.cy = 30;
    t.item.style = WS_CHILD | WS_VISIBLE;
    t.item.cx = 80;
    t.item.cy = 10;
    t.item.id = 1005;
    for (size_t i = 0; i < sizeof(BAR2_CLASS_NAME); ++i)
        t.itemClass[i] = static_cast<WORD>(BAR2_CLASS_NAME[i]);
    g_failAllocs = true;
    HWND dlg = CreateDialogIndirectParamA(GetModuleHandleA(NULL), &t.dlg, NULL, NULL, 0);
    g_failAllocs = false;
    EXPECT_TRUE(dlg == NULL) << "dialog created without its bar";
    if (dlg)
        DestroyWindow(dlg);
    dlg = CreateDialogIndirectParamA(GetModuleHandleA(NULL), &t.dlg, NULL, NULL, 0);
    EXPECT_TRUE(dlg != NULL) << "the template itself is wrong: " << GetLastError();
    if (dlg) {
        EXPECT_TRUE(GetDlgItem(dlg, 1005) != NULL);
        DestroyWindow(dlg);
    }
}
