// control_log.h - records the messages that reach a window and checks a recorded sequence against
// an expected table, in the style of Wine's message tests (ok_sequence): the expected messages are
// listed with flags saying which of their values count, the check walks the log against the list
// and prints both sequences, decoded, where they part.
#pragma once

#include <windows.h>
#include <string>
#include <vector>
#include <initializer_list>
#include <gtest/gtest.h>

// Which values of an expected message are compared with the logged one (the message itself always
// is). Outside the namespace, so that a table of expected messages reads as in Wine's tests.
enum MessageCheck : unsigned {
    kCheckW = 1,       // wParam
    kCheckL = 2,       // lParam as a number
    kCheckText = 4,    // the text lParam pointed to
    kCheckWindow = 8,  // the window that received it
    kOptional = 16     // may be missing from the log
};

namespace testutil {

// One message as it reached a window. For messages whose lParam points to text, the text is
// copied when the message arrives; for SB_SETPARTS the array of right edges is copied.
struct LoggedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::string text;
    std::vector<int> ints;
    HWND window;
};

// One row of an expected sequence.
struct ExpectedMessage {
    UINT message;
    unsigned flags = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    const char* text = nullptr;
    HWND window = nullptr;
};

// Walks seen against expected: each expected message must come next in the log (an optional one
// may be skipped), with the values its flags name, and nothing may be left over. On a mismatch the
// result names the row and lists both sequences with the messages' names.
::testing::AssertionResult SequenceMatches(const std::vector<LoggedMessage>& seen,
                                           const std::vector<ExpectedMessage>& expected);

// EXPECT_SEQUENCE(log, {{message, flags, wParam, lParam, text, window}, ...}) << context;
// (ASSERT_SEQUENCE stops the test on a mismatch.)
#define EXPECT_SEQUENCE(seen, ...) \
    EXPECT_TRUE(::testutil::SequenceMatches((seen), std::vector<::testutil::ExpectedMessage> __VA_ARGS__))
#define ASSERT_SEQUENCE(seen, ...) \
    ASSERT_TRUE(::testutil::SequenceMatches((seen), std::vector<::testutil::ExpectedMessage> __VA_ARGS__))

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

    // Makes the record of a message as the log keeps it (text and edges copied).
    static LoggedMessage Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    ControlLog(const ControlLog&) = delete;
    ControlLog& operator=(const ControlLog&) = delete;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window;
    WNDPROC m_previous;
    std::vector<LoggedMessage> m_messages;
};

// The name of a message (WM_SETTEXT, LB_DIR, WM_APP+3, ...), or its number in hexadecimal.
std::string MessageName(UINT message);

// Describes a message sequence for failure output, one message a line.
std::string Describe(const std::vector<LoggedMessage>& messages);

}  // namespace testutil
