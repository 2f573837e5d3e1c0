// dialog_answer.cpp - helper thread that answers modal windows of the test thread.
#include "dialog_answer.h"

#include <dlgs.h>
#include <objbase.h>
#include <stdlib.h>
#include <set>
#include <vector>

namespace testutil {

namespace {

struct Search {
    const char* className;
    std::set<HWND>* seen;
    HWND found;
};

BOOL CALLBACK FindNew(HWND window, LPARAM data)
{
    Search* search = reinterpret_cast<Search*>(data);
    if (search->seen && search->seen->count(window))
        return TRUE;
    if (!IsWindowVisible(window) || WindowClass(window) != search->className)
        return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK Remember(HWND window, LPARAM data)
{
    reinterpret_cast<std::set<HWND>*>(data)->insert(window);
    return TRUE;
}

struct Descendant {
    const char* className;
    const char* text;
    HWND found;
};

BOOL CALLBACK FindChild(HWND window, LPARAM data)
{
    Descendant* d = reinterpret_cast<Descendant*>(data);
    if (lstrcmpiA(WindowClass(window).c_str(), d->className) == 0 &&
        (d->text[0] == '\0' || WindowText(window) == d->text)) {
        d->found = window;
        return FALSE;
    }
    return TRUE;
}

// VELMORA_TIMEOUT_SCALE (1 to 20) lengthens the wait on a slow machine (the emulated 32-bit guest
// takes far longer than 15 s to show its first file dialog): a window that appears after the
// helper has given up would stay, modal, until ctest's limit.
DWORD Scaled(DWORD timeoutMs)
{
    char text[16] = "";
    GetEnvironmentVariableA("VELMORA_TIMEOUT_SCALE", text, sizeof text);
    int scale = atoi(text);
    return scale > 1 && scale <= 20 ? timeoutMs * scale : timeoutMs;
}

}  // namespace

HWND DialogSuite::s_owner = NULL;
std::string DialogSuite::s_folder;

void DialogSuite::SetUpTestSuite()
{
    CoInitialize(NULL);
    s_owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, NULL, NULL,
                              GetModuleHandleA(NULL), NULL);
    s_folder = TempPath("files");
    CreateDirectoryA(s_folder.c_str(), NULL);
}

void DialogSuite::TearDownTestSuite()
{
    DestroyWindow(s_owner);
    CoUninitialize();
}

DialogAnswer::DialogAnswer(const std::function<void(HWND)>& action, const char* className,
                           DWORD timeoutMs)
    : m_action(action), m_class(className), m_timeout(Scaled(timeoutMs)),
      m_thread(GetCurrentThreadId()), m_helper(NULL), m_window(NULL), m_stop(0)
{
    // The windows already there are not the one to answer (popup menu windows are reused).
    if (m_class != "#32768")
        EnumThreadWindows(m_thread, Remember, reinterpret_cast<LPARAM>(&m_seen));
    m_helper = CreateThread(NULL, 0, Run, this, 0, NULL);
}

DialogAnswer::~DialogAnswer()
{
    m_stop = 1;
    Answered();
}

bool DialogAnswer::Answered()
{
    if (m_helper) {
        WaitForSingleObject(m_helper, m_timeout + 5000);
        CloseHandle(m_helper);
        m_helper = NULL;
    }
    return m_window != NULL;
}

DWORD WINAPI DialogAnswer::Run(void* self)
{
    DialogAnswer* me = static_cast<DialogAnswer*>(self);
    DWORD start = GetTickCount();
    while (!me->m_stop && GetTickCount() - start < me->m_timeout) {
        Search search = {me->m_class.c_str(), &me->m_seen, NULL};
        if (me->m_class == "#32768") {
            // Popup menus are top-level windows of the system; find a visible one.
            HWND menu = FindWindowA("#32768", NULL);
            if (menu && IsWindowVisible(menu))
                search.found = menu;
        } else {
            EnumThreadWindows(me->m_thread, FindNew, reinterpret_cast<LPARAM>(&search));
        }
        if (search.found) {
            me->m_window = search.found;
            me->m_action(search.found);
            return 0;
        }
        Sleep(20);
    }
    return 1;
}

HWND FindDescendant(HWND parent, const char* className, const char* text)
{
    Descendant d = {className, text ? text : "", NULL};
    EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&d));
    return d.found;
}

HWND FileNameField(HWND dialog)
{
    HWND field = GetDlgItem(dialog, edt1);
    if (!field)
        field = GetDlgItem(dialog, cmb13);
    return field;
}

std::string ComboItem(HWND combo, int index)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(combo, CB_GETLBTEXTLEN, index, 0, SMTO_NORMAL, 5000, &length) ||
        static_cast<LONG_PTR>(length) < 0)
        return "";
    std::string text(length + 1, '\0');
    SendMessageTimeoutA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]),
                        SMTO_NORMAL, 5000, NULL);
    text.resize(length);
    return text;
}

void ClickButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void ReadAndPress(HWND box, MessageBoxSeen& seen, int button)
{
    seen.caption = WindowText(box);
    HWND text = GetDlgItem(box, 0xFFFF);
    seen.text = text ? WindowText(text) : "";
    seen.yes = GetDlgItem(box, IDYES) != NULL;
    seen.no = GetDlgItem(box, IDNO) != NULL;
    seen.ok = GetDlgItem(box, IDOK) != NULL;
    seen.owner = GetWindow(box, GW_OWNER);
    ClickButton(box, button);
}

std::function<void(HWND)> ReadAndPress(MessageBoxSeen& seen, int button)
{
    return [&seen, button](HWND box) { ReadAndPress(box, seen, button); };
}

}  // namespace testutil
