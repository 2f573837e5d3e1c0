// dialog_answer.h - answers a modal window (message box, common dialog, popup menu) that this
// thread is about to show: a helper thread waits, bounded, for the window to appear and then
// acts on it, while this thread runs the modal loop.
#pragma once

#include <windows.h>
#include <functional>
#include <set>
#include <string>
#include <gtest/gtest.h>

#include "harness_util.h"

namespace testutil {

// A suite of tests that show common dialogs: COM started, one owner window for the whole suite
// (destroying a mapped window costs Wine two seconds) and a fresh folder "files" in the program's
// temporary folder.
class DialogSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

    static HWND s_owner;
    static std::string s_folder;
};

class DialogAnswer {
public:
    // Watches the calling thread for a new visible window of the class ("#32770": dialogs and
    // message boxes, "#32768": popup menus); once found, runs action(window) on the helper thread.
    // The timeout is multiplied by VELMORA_TIMEOUT_SCALE when that is set (slow machines).
    DialogAnswer(const std::function<void(HWND)>& action, const char* className = "#32770",
                 DWORD timeoutMs = 15000);
    // Stops watching (the modal call has returned: a window that was not there will not come) and
    // waits for the helper thread to finish.
    ~DialogAnswer();

    // Waits for the helper; returns whether the window was found and answered.
    bool Answered();
    // Returns the window that was found (null if none).
    HWND Window() const { return m_window; }

    DialogAnswer(const DialogAnswer&) = delete;
    DialogAnswer& operator=(const DialogAnswer&) = delete;

private:
    static DWORD WINAPI Run(void* self);

    std::function<void(HWND)> m_action;
    std::string m_class;
    DWORD m_timeout;
    DWORD m_thread;
    HANDLE m_helper;
    HWND m_window;
    volatile LONG m_stop;
    std::set<HWND> m_seen;
};

// What a message box showed: its title, its message, which buttons it had, and its owner.
struct MessageBoxSeen {
    std::string caption;
    std::string text;
    bool yes = false, no = false, ok = false;
    HWND owner = NULL;
};

// Reads the message box into seen, then presses the button with the identifier (works from any thread).
void ReadAndPress(HWND box, MessageBoxSeen& seen, int button);

// The same as an action for DialogAnswer.
std::function<void(HWND)> ReadAndPress(MessageBoxSeen& seen, int button);

// Finds a descendant of the window of the class whose text matches (empty text: any); null if none.
HWND FindDescendant(HWND parent, const char* className, const char* text = "");

// Returns the file-name field of an open or save dialog (the edit, or the combo box that holds it).
HWND FileNameField(HWND dialog);

// Returns the text of item `index` of a combo box (read across threads).
std::string ComboItem(HWND combo, int index);

// Posts a click on the dialog button with the identifier (WM_COMMAND as the button sends it).
void ClickButton(HWND dialog, int id);

}  // namespace testutil
