// gfx_dbwin.h - reads this program's OutputDebugStringA texts the way a debug viewer does, through
// the shared DBWIN_BUFFER section and its two events.
#pragma once

#include <windows.h>
#include <string>
#include <vector>

namespace gfxtest {

class DebugOutputCapture {
public:
    DebugOutputCapture();
    ~DebugOutputCapture();

    // Whether the section and events could be made (another viewer may hold them).
    bool Ready() const { return m_thread != NULL; }
    // Waits (pumping messages) until count texts from this process have arrived; returns whether they did.
    bool WaitForCount(size_t count, DWORD timeoutMs);
    // The texts received so far from this process, in order.
    std::vector<std::string> Texts();
    // Takes the oldest text not yet taken, waiting for it (without pumping messages); "(nothing)"
    // after the timeout.
    std::string Next(DWORD timeoutMs = 5000);
    // Forgets everything received so far.
    void Clear();

    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

private:
    static DWORD WINAPI ThreadProc(LPVOID self);
    void Run();

    HANDLE m_section;
    HANDLE m_bufferReady;
    HANDLE m_dataReady;
    HANDLE m_stop;
    HANDLE m_thread;
    const char* m_view;
    CRITICAL_SECTION m_lock;
    std::vector<std::string> m_texts;
};

}  // namespace gfxtest
