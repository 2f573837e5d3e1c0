// control_log.cpp - records the messages that reach a window.
#include "control_log.h"

#include <commctrl.h>
#include <stdio.h>

namespace testutil {

namespace {

const char kLogProp[] = "ControlLogPtr";

// Whether the message carries text in lParam (sent by the A functions, so 8-bit).
bool CarriesText(UINT message, LPARAM lParam)
{
    switch (message) {
    case WM_SETTEXT:
    case LB_INSERTSTRING:
    case LB_ADDSTRING:
    case LB_DIR:
    case CB_INSERTSTRING:
    case CB_ADDSTRING:
    case EM_REPLACESEL:
    case SB_SETTEXTA:
        return lParam != 0;
    case ACM_OPENA:
        return !IS_INTRESOURCE(lParam);
    default:
        return false;
    }
}

}  // namespace

ControlLog::ControlLog(HWND window)
    : m_window(window), m_previous(NULL)
{
    SetPropA(window, kLogProp, this);
    m_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
}

ControlLog::~ControlLog()
{
    if (IsWindow(m_window)) {
        SetWindowLongPtrA(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
        RemovePropA(m_window, kLogProp);
    }
}

LRESULT CALLBACK ControlLog::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ControlLog* self = static_cast<ControlLog*>(GetPropA(window, kLogProp));
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    LoggedMessage entry = {message, wParam, lParam, std::string(), std::vector<int>()};
    if (CarriesText(message, lParam))
        entry.text = reinterpret_cast<const char*>(lParam);
    if (message == SB_SETPARTS && lParam) {
        const int* edges = reinterpret_cast<const int*>(lParam);
        for (WPARAM i = 0; i < wParam && i < 256; ++i)
            entry.ints.push_back(edges[i]);
    }
    self->m_messages.push_back(entry);
    return CallWindowProcA(self->m_previous, window, message, wParam, lParam);
}

std::vector<LoggedMessage> ControlLog::Only(std::initializer_list<UINT> messages) const
{
    std::vector<LoggedMessage> out;
    for (const LoggedMessage& m : m_messages)
        for (UINT wanted : messages)
            if (m.message == wanted) {
                out.push_back(m);
                break;
            }
    return out;
}

std::vector<LoggedMessage> ControlLog::Control(std::initializer_list<UINT> standard) const
{
    std::vector<LoggedMessage> out;
    for (const LoggedMessage& m : m_messages) {
        // The standard controls' own ranges (edit, button, combo box, list box) and the common
        // controls' messages from WM_USER on.
        UINT id = m.message;
        bool take = (id >= EM_GETSEL && id <= EM_GETIMESTATUS) || (id >= BM_GETCHECK && id <= BM_SETDONTCLICK) ||
                    (id >= CB_GETEDITSEL && id <= CB_MSGMAX) || (id >= LB_ADDSTRING && id <= LB_MSGMAX) ||
                    (id >= WM_USER && id < 0xC000);
        for (UINT wanted : standard)
            take = take || m.message == wanted;
        if (take)
            out.push_back(m);
    }
    return out;
}

std::string Describe(const std::vector<LoggedMessage>& messages)
{
    std::string out;
    char line[160];
    for (const LoggedMessage& m : messages) {
        snprintf(line, sizeof line, "  msg 0x%04X wParam 0x%llX lParam 0x%llX", m.message,
                 static_cast<unsigned long long>(m.wParam), static_cast<unsigned long long>(m.lParam));
        out += line;
        if (!m.text.empty())
            out += " text \"" + m.text + "\"";
        if (!m.ints.empty()) {
            out += " ints";
            for (int v : m.ints)
                out += " " + std::to_string(v);
        }
        out += "\n";
    }
    return out.empty() ? "  (none)\n" : out;
}

}  // namespace testutil
