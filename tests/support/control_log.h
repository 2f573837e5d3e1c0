// control_log.h - records the messages that reach a window (Wine-test style), for checking what a
// wrapper sends to its control.
#pragma once

#include <windows.h>
#include <string>
#include <vector>
#include <initializer_list>

namespace testutil {

// One message as it reached the window. For messages whose lParam points to text, the text is
// copied when the message arrives; for SB_SETPARTS the array of right edges is copied.
struct LoggedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::string text;
    std::vector<int> ints;
};

// Subclasses a window for its lifetime and records every message it receives before passing it on.
class ControlLog {
public:
    explicit ControlLog(HWND window);
    ~ControlLog();

    // Forgets what was recorded so far.
    void Clear() { m_messages.clear(); }
    // Returns everything recorded.
    const std::vector<LoggedMessage>& All() const { return m_messages; }
    // Returns the recorded messages whose identifier is one of those given, in arrival order.
    std::vector<LoggedMessage> Only(std::initializer_list<UINT> messages) const;
    // Returns the recorded control messages (edit, button, combo box and list box messages, and
    // those from WM_USER on) and the given standard ones, in arrival order.
    std::vector<LoggedMessage> Control(std::initializer_list<UINT> standard = {}) const;

    ControlLog(const ControlLog&) = delete;
    ControlLog& operator=(const ControlLog&) = delete;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window;
    WNDPROC m_previous;
    std::vector<LoggedMessage> m_messages;
};

// Describes a message sequence for failure output, one message a line.
std::string Describe(const std::vector<LoggedMessage>& messages);

}  // namespace testutil
