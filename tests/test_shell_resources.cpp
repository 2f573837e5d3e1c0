// Tests of the player's resource script: menu, accelerators, string table, dialog templates,
// icon and version, read back through the Win32 resource functions as code-page-932 bytes. Each
// test runs on this program's own copy of the resources and on velmora.exe itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "harness_util.h"
#include "player_texts.h"
#include "resource.h"

namespace {

using namespace playertext;

// The modules whose resources are checked: this program and velmora.exe beside it.
struct ResourceModule {
    const char* name;
    HMODULE module;
};

using testutil::ExeDirectory;

std::vector<ResourceModule> Modules()
{
    static HMODULE player = LoadLibraryExA((ExeDirectory() + "velmora.exe").c_str(), NULL,
                                           LOAD_LIBRARY_AS_DATAFILE);
    return {{"test program", GetModuleHandleA(NULL)}, {"velmora.exe", player}};
}

std::string ToCp932(const WCHAR* text, int length = -1)
{
    char buffer[1024] = {};
    int n = WideCharToMultiByte(932, 0, text, length, buffer, sizeof(buffer) - 1, NULL, NULL);
    if (length == -1 && n > 0)
        --n;
    return std::string(buffer, n > 0 ? n : 0);
}

TEST(ShellResources, PlayerModuleIsThere)
{
    for (const ResourceModule& m : Modules())
        ASSERT_NE(m.module, nullptr) << m.name << " could not be loaded, error " << GetLastError();
}

// ---- string table ----

TEST(ShellResources, StringTableHoldsTheMessagesAndTheWebAddress)
{
    struct Entry { UINT id; const char* text; } entries[] = {
        {IDS_OPEN_FAILED, kOpenFailed}, {IDS_NOT_WAVE, kNotWave}, {IDS_DEVICE_FAILED, kDeviceFailed},
        {IDS_CONNECT_QUESTION, kConnectQuestion}, {IDS_WEB_ADDRESS, kWebAddress},
    };
    EXPECT_EQ(4, IDS_OPEN_FAILED);
    EXPECT_EQ(6, IDS_NOT_WAVE);
    EXPECT_EQ(7, IDS_DEVICE_FAILED);
    EXPECT_EQ(8, IDS_CONNECT_QUESTION);
    EXPECT_EQ(9, IDS_WEB_ADDRESS);
    for (const ResourceModule& m : Modules()) {
        for (const Entry& e : entries) {
            char buffer[1024] = {};
            int n = LoadStringA(m.module, e.id, buffer, sizeof(buffer));
            EXPECT_EQ(std::string(e.text), std::string(buffer, n > 0 ? n : 0)) << m.name << " string " << e.id;
        }
        char buffer[64] = "untouched";
        EXPECT_EQ(0, LoadStringA(m.module, 5, buffer, sizeof(buffer))) << m.name << ": no string 5";
    }
}

// ---- menu ----

struct MenuItem {
    UINT id;           // 0 for a separator
    const char* text;  // null for a separator
};

struct MenuPopup {
    const char* text;
    std::vector<MenuItem> items;
};

std::vector<MenuPopup> ExpectedMenu()
{
    return {
        {kFilePopup, {{IDM_OPEN, kOpen}, {IDM_CLOSE, kClose}, {IDM_RELOAD, kReload}, {0, nullptr},
                      {IDM_EXIT, kExit}}},
        {kPlaybackPopup, {{IDM_GOTO_BEGIN, kGotoBegin}, {IDM_GOTO_START, kGotoStart}, {IDM_GOTO_END, kGotoEnd},
                          {IDM_STOP_AT_START, kStopAtStart}, {0, nullptr}, {IDM_PLAY_PAUSE, kPlayPause},
                          {IDM_REPEAT, kRepeat}, {0, nullptr}, {IDM_START_EARLIER, kStartEarlier},
                          {IDM_START_LATER, kStartLater}, {IDM_END_EARLIER, kEndEarlier}, {IDM_END_LATER, kEndLater},
                          {0, nullptr}, {IDM_REMEMBER_RANGES, kRememberRanges}}},
        {kOptionsPopup, {{IDM_KEY_UP, kKeyUp}, {IDM_KEY_DOWN, kKeyDown}, {IDM_KEY_CLEAR, kKeyClear}, {0, nullptr},
                         {IDM_VOLUME_UP, kVolumeUp}, {IDM_VOLUME_DOWN, kVolumeDown},
                         {IDM_VOLUME_CLEAR, kVolumeClear}, {0, nullptr}, {IDM_SPEED_UP, kSpeedUp},
                         {IDM_SPEED_DOWN, kSpeedDown}, {IDM_SPEED_CLEAR, kSpeedClear}, {IDM_KEEP_TEMPO, kKeepTempo},
                         {0, nullptr}, {IDM_BAR_COLORS, kBarColors}}},
        {kHelpPopup, {{IDM_WEB_SITE, kWebSite}, {0, nullptr}, {IDM_ABOUT, kAbout}}},
    };
}

std::string MenuString(HMENU menu, UINT position)
{
    char buffer[256] = {};
    int n = GetMenuStringA(menu, position, buffer, sizeof(buffer), MF_BYPOSITION);
    return std::string(buffer, n > 0 ? n : 0);
}

TEST(ShellResources, MenuHasEveryItemTextSeparatorAndIdentifier)
{
    EXPECT_EQ(40001, IDM_OPEN);
    EXPECT_EQ(40021, IDM_BAR_COLORS);
    for (const ResourceModule& m : Modules()) {
        HMENU menu = LoadMenuA(m.module, MAKEINTRESOURCEA(IDR_MAINMENU));
        ASSERT_NE(menu, nullptr) << m.name;
        std::vector<MenuPopup> expected = ExpectedMenu();
        ASSERT_EQ(static_cast<int>(expected.size()), GetMenuItemCount(menu)) << m.name;
        for (UINT p = 0; p < expected.size(); ++p) {
            EXPECT_EQ(std::string(expected[p].text), MenuString(menu, p)) << m.name << " popup " << p;
            HMENU sub = GetSubMenu(menu, p);
            ASSERT_NE(sub, nullptr) << m.name << " popup " << p;
            ASSERT_EQ(static_cast<int>(expected[p].items.size()), GetMenuItemCount(sub)) << m.name << " popup " << p;
            for (UINT i = 0; i < expected[p].items.size(); ++i) {
                const MenuItem& item = expected[p].items[i];
                UINT state = GetMenuState(sub, i, MF_BYPOSITION);
                if (!item.text) {
                    EXPECT_TRUE(state & MF_SEPARATOR) << m.name << " popup " << p << " item " << i << " state " << state;
                    continue;
                }
                EXPECT_FALSE(state & (MF_SEPARATOR | MF_GRAYED | MF_CHECKED)) << m.name << " item " << item.id;
                EXPECT_EQ(item.id, GetMenuItemID(sub, i)) << m.name << " popup " << p << " item " << i;
                EXPECT_EQ(std::string(item.text), MenuString(sub, i)) << m.name << " item " << item.id;
            }
        }
        DestroyMenu(menu);
    }
}

// ---- accelerators ----

TEST(ShellResources, AcceleratorTableHasTheNineteenKeys)
{
    struct Key { BYTE flags; WORD key; WORD cmd; } expected[] = {
        {FVIRTKEY, 'A', IDM_GOTO_BEGIN},
        {FVIRTKEY | FCONTROL, 'C', IDM_CLOSE},
        {FVIRTKEY | FCONTROL, 'L', IDM_RELOAD},
        {FVIRTKEY | FCONTROL, 'O', IDM_OPEN},
        {FVIRTKEY | FCONTROL, 'R', IDM_REPEAT},
        {FVIRTKEY, 'V', IDM_STOP_AT_START},
        {FVIRTKEY, VK_ADD, IDM_KEY_UP},
        {FVIRTKEY | FCONTROL, VK_ADD, IDM_VOLUME_UP},
        {FVIRTKEY, VK_SPACE, IDM_PLAY_PAUSE},
        {FVIRTKEY, VK_SUBTRACT, IDM_KEY_DOWN},
        {FVIRTKEY | FCONTROL, VK_SUBTRACT, IDM_VOLUME_DOWN},
        {FVIRTKEY, 'X', IDM_GOTO_END},
        {FVIRTKEY, 'Z', IDM_GOTO_START},
        {FVIRTKEY | FCONTROL, VK_LEFT, IDM_START_EARLIER},
        {FVIRTKEY | FCONTROL, VK_RIGHT, IDM_START_LATER},
        {FVIRTKEY | FCONTROL | FSHIFT, VK_LEFT, IDM_END_EARLIER},
        {FVIRTKEY | FCONTROL | FSHIFT, VK_RIGHT, IDM_END_LATER},
        {FVIRTKEY | FSHIFT, VK_ADD, IDM_SPEED_UP},
        {FVIRTKEY | FSHIFT, VK_SUBTRACT, IDM_SPEED_DOWN},
    };
    for (const ResourceModule& m : Modules()) {
        HACCEL table = LoadAcceleratorsA(m.module, MAKEINTRESOURCEA(IDR_ACCELERATORS));
        ASSERT_NE(table, nullptr) << m.name;
        ACCEL entries[32] = {};
        int count = CopyAcceleratorTableA(table, entries, 32);
        ASSERT_EQ(19, count) << m.name;
        for (int i = 0; i < count; ++i) {
            // The flags other than FVIRTKEY, FSHIFT, FCONTROL and FALT would change the key's meaning.
            EXPECT_EQ(expected[i].flags, entries[i].fVirt & (FVIRTKEY | FSHIFT | FCONTROL | FALT))
                << m.name << " entry " << i;
            EXPECT_EQ(expected[i].key, entries[i].key) << m.name << " entry " << i;
            EXPECT_EQ(expected[i].cmd, entries[i].cmd) << m.name << " entry " << i;
        }
        DestroyAcceleratorTable(table);
    }
}

// ---- dialog templates (DLGTEMPLATEEX as windres writes them) ----

struct TemplateItem {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::string className;  // "#0x0082" style atoms are given as their class names
    std::string text;       // "#105" for an ordinal
};

struct Template {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string menu, className, title;
    WORD pointSize = 0;
    std::string font;
    std::vector<TemplateItem> items;
};

class Reader {
public:
    explicit Reader(const BYTE* base) : base_(base), p_(base) {}
    WORD Word() { WORD w; memcpy(&w, p_, 2); p_ += 2; return w; }
    DWORD Dword() { DWORD d; memcpy(&d, p_, 4); p_ += 4; return d; }
    BYTE Byte() { return *p_++; }
    void Align4() { while ((p_ - base_) % 4) ++p_; }
    // A sz_Or_Ord: 0xFFFF then an ordinal, or a zero-terminated UTF-16 text (code page 932 back).
    std::string NameOrOrdinal()
    {
        WORD first = Word();
        if (first == 0xFFFF)
            return "#" + std::to_string(Word());
        std::vector<WCHAR> text;
        for (WORD c = first; c; c = Word())
            text.push_back(c);
        text.push_back(0);
        return ToCp932(text.data());
    }

private:
    const BYTE* base_;
    const BYTE* p_;
};

std::string ClassAtomName(const std::string& name)
{
    if (name == "#128") return "Button";
    if (name == "#130") return "Static";
    return name;
}

bool LoadTemplate(HMODULE module, UINT id, Template& out)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (!found)
        return false;
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    if (!data)
        return false;
    Reader r(data);
    if (r.Word() != 1 || r.Word() != 0xFFFF)
        return false;  // not a DLGTEMPLATEEX
    r.Dword();  // help id
    out.exStyle = r.Dword();
    out.style = r.Dword();
    WORD count = r.Word();
    out.x = r.Word(); out.y = r.Word(); out.cx = r.Word(); out.cy = r.Word();
    out.menu = r.NameOrOrdinal();
    out.className = r.NameOrOrdinal();
    out.title = r.NameOrOrdinal();
    if (out.style & DS_SETFONT) {
        out.pointSize = r.Word();
        r.Word();  // weight
        r.Byte();  // italic
        r.Byte();  // character set
        out.font = r.NameOrOrdinal();
    }
    for (WORD i = 0; i < count; ++i) {
        r.Align4();
        TemplateItem item;
        r.Dword();  // help id
        item.exStyle = r.Dword();
        item.style = r.Dword();
        item.x = r.Word(); item.y = r.Word(); item.cx = r.Word(); item.cy = r.Word();
        item.id = r.Dword();
        item.className = ClassAtomName(r.NameOrOrdinal());
        item.text = r.NameOrOrdinal();
        WORD extra = r.Word();
        for (WORD e = 0; e < extra; ++e)
            r.Byte();
        out.items.push_back(item);
    }
    return true;
}

struct ExpectedItem {
    DWORD id;
    const char* className;
    const char* text;
    short x, y, cx, cy;
    DWORD style;  // the whole style word
};

void CheckItems(const char* module, UINT dialog, const Template& t, const std::vector<ExpectedItem>& expected)
{
    ASSERT_EQ(expected.size(), t.items.size()) << module << " dialog " << dialog;
    for (size_t i = 0; i < expected.size(); ++i) {
        const ExpectedItem& e = expected[i];
        const TemplateItem& a = t.items[i];
        std::string where = std::string(module) + " dialog " + std::to_string(dialog) + " item " + std::to_string(i);
        EXPECT_EQ(e.id, a.id & 0xFFFF) << where;
        // Window class names are compared without regard to case, as Windows looks them up.
        EXPECT_EQ(0, lstrcmpiA(e.className, a.className.c_str())) << where << ": class " << a.className;
        EXPECT_EQ(std::string(e.text), a.text) << where;
        EXPECT_EQ(e.x, a.x) << where;
        EXPECT_EQ(e.y, a.y) << where;
        EXPECT_EQ(e.cx, a.cx) << where;
        EXPECT_EQ(e.cy, a.cy) << where;
        EXPECT_EQ(e.style, a.style) << where << std::hex << " style 0x" << a.style;
        EXPECT_EQ(0u, a.exStyle) << where;
    }
}

// The dialog's own style, size and caption, and the font every dialog of the player uses.
void CheckHeader(const char* module, const Template& t, DWORD style, short cx, short cy, const char* title)
{
    EXPECT_EQ(style, t.style) << module << std::hex << " 0x" << t.style;
    EXPECT_EQ(cx, t.cx) << module;
    EXPECT_EQ(cy, t.cy) << module;
    EXPECT_EQ(std::string(title), t.title) << module;
    EXPECT_EQ(9, t.pointSize) << module;
    EXPECT_EQ(std::string(kDialogFont), t.font) << module;
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kModal = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;

TEST(ShellResources, MainDialogTemplate)
{
    for (const ResourceModule& m : Modules()) {
        Template t;
        ASSERT_TRUE(LoadTemplate(m.module, IDD_MAIN, t)) << m.name;
        // No caption text in the template.
        CheckHeader(m.name, t, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                    DS_SETFONT, 233, 63, "");
        EXPECT_EQ(0u, t.exStyle) << m.name;
        EXPECT_EQ("#102", t.menu) << m.name;
        CheckItems(m.name, IDD_MAIN, t, {
            {1005, "Bar2WndClass", "", 5, 30, 160, 15, kChild | WS_TABSTOP},
            {1006, "Static", "", 5, 50, 65, 10, kChild | SS_LEFT},
            {1007, "Static", "", 25, 10, 140, 10, kChild | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_SUNKEN},
            {1009, "Static", "", 5, 10, 15, 10, kChild | SS_CENTER | SS_SUNKEN},
            {1010, "Static", "", 130, 50, 35, 10, kChild | SS_LEFT | SS_SUNKEN},
        });
    }
}

TEST(ShellResources, ColourDialogTemplate)
{
    const DWORD swatch = kChild | SS_SUNKEN | SS_NOTIFY;
    const DWORD label = kChild | SS_LEFT;
    for (const ResourceModule& m : Modules()) {
        Template t;
        ASSERT_TRUE(LoadTemplate(m.module, IDD_COLORS, t)) << m.name;
        CheckHeader(m.name, t, kModal, 229, 125, kColorsTitle);
        CheckItems(m.name, IDD_COLORS, t, {
            {0xFFFF, "Static", kBkgLabel, 10, 10, 45, 10, label},
            {1011, "Static", "", 60, 10, 40, 10, swatch},
            {0xFFFF, "Static", kLineLabel, 125, 10, 45, 10, label},
            {1012, "Static", "", 175, 10, 40, 10, swatch},
            {0xFFFF, "Static", kBarLabel, 10, 30, 45, 10, label},
            {1013, "Static", "", 60, 30, 40, 10, swatch},
            {0xFFFF, "Static", kMarkerLabel, 125, 30, 45, 10, label},
            {1014, "Static", "", 175, 30, 40, 10, swatch},
            {0xFFFF, "Static", kSampleLabel, 10, 50, 35, 10, label},
            {1005, "Bar2WndClass", "", 10, 65, 210, 15, kChild | WS_TABSTOP},
            {IDOK, "Button", kOkButton, 70, 100, 70, 15, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON},
            {IDCANCEL, "Button", kCancelButton, 150, 100, 70, 15, kChild | WS_TABSTOP | BS_PUSHBUTTON},
            {0xFFFF, "Button", "", 5, 85, 220, 5, kChild | BS_GROUPBOX},
        });
    }
}

TEST(ShellResources, AboutDialogTemplate)
{
    for (const ResourceModule& m : Modules()) {
        Template t;
        ASSERT_TRUE(LoadTemplate(m.module, IDD_ABOUT, t)) << m.name;
        CheckHeader(m.name, t, kModal, 249, 79, kAboutTitle);
        CheckItems(m.name, IDD_ABOUT, t, {
            {0xFFFF, "Static", "#105", 10, 10, 20, 20, kChild | SS_ICON},
            {0xFFFF, "Static", kDisplayName, 40, 10, 60, 10, kChild | SS_LEFT},
            {0xFFFF, "Static", "Ver 1.3.8", 115, 10, 35, 10, kChild | SS_LEFT},
            {0xFFFF, "Static", kAboutNotice, 40, 25, 200, 10, kChild | SS_LEFT},
            {IDOK, "Button", "&OK", 77, 55, 95, 15, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON},
        });
    }
}

// ---- icon and version ----

TEST(ShellResources, IconLoadsInBothSizes)
{
    for (const ResourceModule& m : Modules()) {
        for (int size : {16, 32, 48}) {
            HICON icon = static_cast<HICON>(LoadImageA(m.module, MAKEINTRESOURCEA(IDI_VELMORA), IMAGE_ICON, size, size, 0));
            ASSERT_NE(icon, nullptr) << m.name << " size " << size;
            ICONINFO info = {};
            ASSERT_TRUE(GetIconInfo(icon, &info)) << m.name;
            BITMAP bm = {};
            GetObjectA(info.hbmColor, sizeof(bm), &bm);
            EXPECT_EQ(size, bm.bmWidth) << m.name;
            EXPECT_EQ(size, bm.bmHeight) << m.name;
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(icon);
        }
    }
}

TEST(ShellResources, VelmoraExeCarriesVersion138)
{
    std::string path = ExeDirectory() + "velmora.exe";
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u) << path;
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0x00010003u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00080000u, fixed->dwFileVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
    char* product = nullptr;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\StringFileInfo\\041103a4\\ProductName",
                               reinterpret_cast<void**>(&product), &length));
    EXPECT_STREQ("Orvandel", product);
}

}  // namespace
