// registry.h - registry keys and event objects.
//
// Classes in this header:
//   CReg     owner of one open registry key: create, open, typed reads and writes, delete
//   CEvent   holder of one Win32 event object
#pragma once

#include <windows.h>
#include "frame.h"

// CReg closes its key when it goes away; its destructor is deliberately not virtual.
class TARVIK_API CReg {
public:
    CReg(HKEY key = 0);
    ~CReg();

    // Returns the previously held key, which is not closed.
    HKEY operator=(HKEY key);
    // Returns 1 when the held key is the given one, else 0.
    int operator==(HKEY key) const;
    // Returns the held key, null when there is none.
    operator HKEY() const;
    // Returns the held key, null when there is none.
    HKEY GetKey() const;
    // Returns the registry type received by the latest string, number or binary read (REG_NONE before any).
    unsigned long GetKeyType() const;

    // Returns the RegCreateKeyExA result; the new key replaces the held one (which is not closed).
    long CreateKey(HKEY parent, const char* subKey);
    // Returns the RegOpenKeyExA result; the opened key replaces the held one (which is not closed).
    long OpenKey(HKEY parent, const char* subKey);
    // Returns ERROR_SUCCESS when no key is held, else the RegCloseKey result.
    long CloseKey();

    // Returns the RegSetValueExA result of a REG_SZ stored without its terminating zero.
    long WriteDataString(const char* name, const char* text);
    // Returns the RegSetValueExA result of a REG_DWORD.
    long WriteDataDWORD(const char* name, unsigned long value);
    // Returns the RegSetValueExA result of a REG_BINARY of the given bytes.
    long WriteDataBinary(const char* name, unsigned char* data, unsigned long size);
    // Returns the RegSetValueExA result of a REG_DWORD 1 for a non-zero value, else 0.
    long WriteDataAsBool(const char* name, unsigned long value);

    // Returns the RegQueryValueExA result; a missing value gives the default text and ERROR_SUCCESS.
    long GetDataString(const char* name, char* buffer, unsigned long bufferSize,
                       unsigned long* resultSize, const char* defaultText);
    // Returns the RegQueryValueExA result; a missing value gives the default and ERROR_SUCCESS.
    long GetDataDWORD(const char* name, unsigned long* value, unsigned long defaultValue);
    // Returns the RegQueryValueExA result; a missing value gives zero bytes and ERROR_SUCCESS.
    long GetDataBinary(const char* name, unsigned char* buffer, unsigned long bufferSize,
                       unsigned long* resultSize);
    // Returns the RegQueryValueExA result; a missing value gives the default and ERROR_SUCCESS.
    long GetDataAsBool(const char* name, int* value, int defaultValue);

    // Returns ERROR_INVALID_PARAMETER for an empty path, else the RegDeleteKeyA result.
    long DeleteKey(HKEY parent, const char* subKey);
    // Returns the RegDeleteValueA result.
    long DeleteValue(const char* name);

    // Two objects never close one key twice.
    CReg(const CReg&) = delete;
    CReg& operator=(const CReg&) = delete;

private:
    HKEY m_key;
    unsigned long m_lastType;
};

// CEvent does not close its event when it goes away: the owner calls Destroy.
class TARVIK_API CEvent {
public:
    CEvent();
    virtual ~CEvent();

    // Returns 1 when an event was created or opened, 0 when one is already held or on failure.
    int Create(int manualReset, const char* name);
    // Returns 1 after closing the held event, 0 when none is held.
    int Destroy();
    // Returns the Win32 SetEvent result.
    int SetEvent();
    // Returns the Win32 ResetEvent result.
    int ResetEvent();
    // Returns the previously held handle, which is not closed.
    HANDLE operator=(HANDLE event);
    // Returns 1 when the held handle is the given one, else 0.
    int operator==(HANDLE event) const;

private:
    HANDLE m_event;
};
