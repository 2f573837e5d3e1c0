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


// The messages the tests log, by name.
#define NAMED(m) {m, #m}
const struct {
    UINT message;
    const char* name;
} kNames[] = {
    NAMED(WM_SETTEXT), NAMED(WM_GETTEXT), NAMED(WM_GETTEXTLENGTH), NAMED(WM_SETFONT), NAMED(WM_GETFONT),
    NAMED(WM_SETICON), NAMED(WM_GETICON), NAMED(WM_SIZE), NAMED(WM_MOVE), NAMED(WM_PAINT), NAMED(WM_TIMER),
    NAMED(WM_COMMAND), NAMED(WM_NOTIFY), NAMED(WM_DRAWITEM), NAMED(WM_COPY), NAMED(WM_CUT), NAMED(WM_PASTE),
    NAMED(WM_CLEAR), NAMED(WM_UNDO),
    NAMED(BM_GETCHECK), NAMED(BM_SETCHECK), NAMED(BM_GETSTATE), NAMED(BM_SETSTATE), NAMED(BM_SETIMAGE),
    NAMED(BM_GETIMAGE),
    NAMED(EM_GETSEL), NAMED(EM_SETSEL), NAMED(EM_REPLACESEL), NAMED(EM_LIMITTEXT), NAMED(EM_GETMODIFY),
    NAMED(EM_SETMODIFY), NAMED(EM_UNDO), NAMED(EM_CANUNDO),
    NAMED(LB_ADDSTRING), NAMED(LB_INSERTSTRING), NAMED(LB_DELETESTRING), NAMED(LB_RESETCONTENT),
    NAMED(LB_SETCURSEL), NAMED(LB_GETCURSEL), NAMED(LB_GETTEXT), NAMED(LB_GETTEXTLEN), NAMED(LB_GETCOUNT),
    NAMED(LB_DIR), NAMED(LB_GETITEMDATA), NAMED(LB_SETITEMDATA), NAMED(LB_SETITEMHEIGHT),
    NAMED(CB_ADDSTRING), NAMED(CB_INSERTSTRING), NAMED(CB_DELETESTRING), NAMED(CB_RESETCONTENT),
    NAMED(CB_SETCURSEL), NAMED(CB_GETCURSEL), NAMED(CB_GETCOUNT), NAMED(CB_GETLBTEXT),
    NAMED(SB_SETTEXTA), NAMED(SB_GETTEXTA), NAMED(SB_GETTEXTLENGTHA), NAMED(SB_SETPARTS), NAMED(SB_GETPARTS),
    NAMED(SB_SETICON), NAMED(SB_GETICON), NAMED(SB_SETMINHEIGHT),
    NAMED(PBM_SETRANGE32), NAMED(PBM_SETPOS), NAMED(PBM_GETPOS), NAMED(PBM_SETSTEP), NAMED(PBM_STEPIT),
    NAMED(PBM_DELTAPOS), NAMED(PBM_SETBARCOLOR), NAMED(PBM_SETBKCOLOR), NAMED(PBM_GETRANGE),
    NAMED(UDM_SETRANGE32), NAMED(UDM_GETRANGE32), NAMED(UDM_SETBUDDY), NAMED(UDM_GETBUDDY), NAMED(UDM_SETPOS32),
    NAMED(UDM_GETPOS32), NAMED(UDM_GETPOS), NAMED(UDM_SETPOS),
    NAMED(ACM_OPENA), NAMED(ACM_PLAY), NAMED(ACM_STOP),
};
#undef NAMED

// One message for failure output: name, the values the flags name (all where flags is ~0u).
std::string Line(UINT message, WPARAM wParam, LPARAM lParam, const std::string& text, HWND window, unsigned flags)
{
    char part[96];
    std::string out = "  " + MessageName(message);
    if (flags & kCheckWindow) {
        snprintf(part, sizeof part, " hwnd %p", static_cast<void*>(window));
        out += part;
    }
    if (flags & kCheckW) {
        snprintf(part, sizeof part, " wParam 0x%llX", static_cast<unsigned long long>(wParam));
        out += part;
    }
    if (flags & kCheckL) {
        snprintf(part, sizeof part, " lParam 0x%llX", static_cast<unsigned long long>(lParam));
        out += part;
    }
    if ((flags & kCheckText) && (!text.empty() || flags != ~0u))
        out += " text \"" + text + "\"";
    if ((flags & kOptional) && flags != ~0u)
        out += " (optional)";
    return out + "\n";
}

bool Matches(const ExpectedMessage& e, const LoggedMessage& m)
{
    return e.message == m.message && (!(e.flags & kCheckW) || e.wParam == m.wParam) &&
           (!(e.flags & kCheckL) || e.lParam == m.lParam) &&
           (!(e.flags & kCheckText) || m.text == (e.text ? e.text : "")) &&
           (!(e.flags & kCheckWindow) || e.window == m.window);
}

}  // namespace

LoggedMessage ControlLog::Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LoggedMessage entry = {message, wParam, lParam, std::string(), std::vector<int>(), window};
    if (CarriesText(message, lParam))
        entry.text = reinterpret_cast<const char*>(lParam);
    if (message == SB_SETPARTS && lParam) {
        const int* edges = reinterpret_cast<const int*>(lParam);
        for (WPARAM i = 0; i < wParam && i < 256; ++i)
            entry.ints.push_back(edges[i]);
    }
    return entry;
}

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
    self->m_messages.push_back(Record(window, message, wParam, lParam));
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

std::string MessageName(UINT message)
{
    for (const auto& n : kNames)
        if (n.message == message)
            return n.name;
    char text[32];
    if (message >= WM_APP && message < 0xC000)
        snprintf(text, sizeof text, "WM_APP+%u", message - WM_APP);
    else if (message >= WM_USER && message < WM_APP)
        snprintf(text, sizeof text, "WM_USER+%u", message - WM_USER);
    else
        snprintf(text, sizeof text, "0x%04X", message);
    return text;
}

std::string Describe(const std::vector<LoggedMessage>& messages)
{
    std::string out;
    for (const LoggedMessage& m : messages) {
        std::string line = Line(m.message, m.wParam, m.lParam, m.text, m.window, ~0u);
        if (!m.ints.empty()) {
            line.pop_back();
            line += " ints";
            for (int v : m.ints)
                line += " " + std::to_string(v);
            line += "\n";
        }
        out += line;
    }
    return out.empty() ? "  (none)\n" : out;
}

::testing::AssertionResult SequenceMatches(const std::vector<LoggedMessage>& seen,
                                           const std::vector<ExpectedMessage>& expected)
{
    size_t s = 0;
    std::string fault;
    for (size_t e = 0; e < expected.size() && fault.empty(); ++e) {
        if (s < seen.size() && Matches(expected[e], seen[s]))
            ++s;
        else if (!(expected[e].flags & kOptional))
            fault = "expected row " + std::to_string(e) + " (" + MessageName(expected[e].message) + ") " +
                    (s < seen.size() ? "differs from message " + std::to_string(s) : "is missing");
    }
    if (fault.empty() && s < seen.size())
        fault = "message " + std::to_string(s) + " (" + MessageName(seen[s].message) + ") was not expected";
    if (fault.empty())
        return ::testing::AssertionSuccess();
    std::string want;
    for (const ExpectedMessage& e : expected)
        want += Line(e.message, e.wParam, e.lParam, e.text ? e.text : "", e.window, e.flags);
    return ::testing::AssertionFailure() << fault << "\nexpected:\n" << (want.empty() ? "  (none)\n" : want)
                                         << "seen:\n" << Describe(seen);
}

}  // namespace testutil
