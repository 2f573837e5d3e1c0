// gfx_dbwin.cpp - debugger-output reader over DBWIN_BUFFER, DBWIN_BUFFER_READY and DBWIN_DATA_READY.
#include "gfx_dbwin.h"
#include "harness_util.h"

#include <string.h>

namespace gfxtest {

namespace {
const DWORD kSectionSize = 4096;
}

DebugOutputCapture::DebugOutputCapture()
    : m_section(NULL), m_bufferReady(NULL), m_dataReady(NULL), m_stop(NULL), m_thread(NULL), m_view(NULL)
{
    InitializeCriticalSection(&m_lock);
    m_bufferReady = CreateEventA(NULL, FALSE, FALSE, "DBWIN_BUFFER_READY");
    m_dataReady = CreateEventA(NULL, FALSE, FALSE, "DBWIN_DATA_READY");
    m_section = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, kSectionSize, "DBWIN_BUFFER");
    m_stop = CreateEventA(NULL, TRUE, FALSE, NULL);
    if (!m_bufferReady || !m_dataReady || !m_section || !m_stop)
        return;
    m_view = static_cast<const char*>(MapViewOfFile(m_section, FILE_MAP_READ, 0, 0, kSectionSize));
    if (!m_view)
        return;
    m_thread = CreateThread(NULL, 0, ThreadProc, this, 0, NULL);
}

DebugOutputCapture::~DebugOutputCapture()
{
    if (m_thread) {
        SetEvent(m_stop);
        WaitForSingleObject(m_thread, 5000);
        CloseHandle(m_thread);
    }
    if (m_view)
        UnmapViewOfFile(m_view);
    HANDLE handles[] = {m_section, m_bufferReady, m_dataReady, m_stop};
    for (HANDLE h : handles)
        if (h)
            CloseHandle(h);
    DeleteCriticalSection(&m_lock);
}

DWORD WINAPI DebugOutputCapture::ThreadProc(LPVOID self)
{
    static_cast<DebugOutputCapture*>(self)->Run();
    return 0;
}

void DebugOutputCapture::Run()
{
    HANDLE waits[] = {m_dataReady, m_stop};
    for (;;) {
        SetEvent(m_bufferReady);
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0)
            return;
        DWORD pid;
        memcpy(&pid, m_view, sizeof pid);
        const char* text = m_view + sizeof pid;
        size_t length = 0;
        while (length < kSectionSize - sizeof pid && text[length] != '\0')
            ++length;
        if (pid == GetCurrentProcessId()) {
            EnterCriticalSection(&m_lock);
            m_texts.push_back(std::string(text, length));
            LeaveCriticalSection(&m_lock);
        }
    }
}

bool DebugOutputCapture::WaitForCount(size_t count, DWORD timeoutMs)
{
    return testutil::PumpUntil([&] { return Texts().size() >= count; }, timeoutMs);
}

std::vector<std::string> DebugOutputCapture::Texts()
{
    EnterCriticalSection(&m_lock);
    std::vector<std::string> copy = m_texts;
    LeaveCriticalSection(&m_lock);
    return copy;
}

std::string DebugOutputCapture::Next(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        EnterCriticalSection(&m_lock);
        if (!m_texts.empty()) {
            std::string s = m_texts.front();
            m_texts.erase(m_texts.begin());
            LeaveCriticalSection(&m_lock);
            return s;
        }
        LeaveCriticalSection(&m_lock);
        if (GetTickCount() - start >= timeoutMs)
            return "(nothing)";
        Sleep(5);
    }
}

void DebugOutputCapture::Clear()
{
    EnterCriticalSection(&m_lock);
    m_texts.clear();
    LeaveCriticalSection(&m_lock);
}

}  // namespace gfxtest
