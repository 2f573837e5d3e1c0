// internal.h - state and helpers shared by the library's own sources; not part of the interface.
#pragma once

#include <windows.h>
#include <commdlg.h>

struct TarvikSettings {
    unsigned long maxBufferSize;   // bytes; Buffer::New, Buffer::Add, CFiler::Read(Buffer&)
    long long maxFileSize;         // bytes; CFiler::Read(Buffer&)
    char floatFormat[16];          // printf format with one double conversion
    char hexFormat[16];            // wsprintfA format with one 32-bit unsigned conversion
};

// The process-wide settings, set at load and changed only by TarvikSetup.
extern TarvikSettings g_tarvikSettings;

// Sets the settings to their load values.
void TarvikResetSettings();

// Returns 1 on the NT platform family, else 0.
int IsPlatformNT();

// Zeroes an open or save dialog record and sizes it for the platform (before NT, the older record)
// with room for a MAX_PATH file name and the owner; CCmnDlg and CForm::OrderFile both start so.
inline void StartFileDialogRecord(OPENFILENAMEA& ofn, HWND owner)
{
    ZeroMemory(&ofn, sizeof ofn);
    ofn.lStructSize = IsPlatformNT() ? sizeof(OPENFILENAMEA) : OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = owner;
    ofn.nMaxFile = MAX_PATH;
}

// The forwarders are one line each: the message, its arguments, its answer as the library's long
// result. A pointer argument goes as lParam without a cast at the call.
inline long Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return static_cast<long>(::SendMessageA(window, message, wParam, lParam));
}

template <typename T>
inline long Send(HWND window, UINT message, WPARAM wParam, T* lParam)
{
    return Send(window, message, wParam, reinterpret_cast<LPARAM>(lParam));
}

// The same to the child with the identifier (SendDlgItemMessageA: 0 when there is no such child).
inline long SendChild(HWND parent, unsigned long id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return static_cast<long>(::SendDlgItemMessageA(parent, static_cast<int>(id), message, wParam, lParam));
}

template <typename T>
inline long SendChild(HWND parent, unsigned long id, UINT message, WPARAM wParam, T* lParam)
{
    return SendChild(parent, id, message, wParam, reinterpret_cast<LPARAM>(lParam));
}
