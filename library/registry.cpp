// registry.cpp - CReg and CEvent.
#include <windows.h>
#include <string.h>

#include "registry.h"

// ---------------------------------------------------------------------------------------------
// CReg

CReg::CReg(HKEY key)
    : m_key(key), m_lastType(REG_NONE)
{
}

CReg::~CReg()
{
    CloseKey();
}

HKEY CReg::operator=(HKEY key)
{
    HKEY previous = m_key;
    m_key = key;
    return previous;
}

int CReg::operator==(HKEY key) const
{
    return m_key == key ? 1 : 0;
}

CReg::operator HKEY() const
{
    return m_key;
}

HKEY CReg::GetKey() const
{
    return m_key;
}

unsigned long CReg::GetKeyType() const
{
    return m_lastType;
}

long CReg::CreateKey(HKEY parent, const char* subKey)
{
    HKEY key = 0;
    DWORD disposition = 0;
    long result = RegCreateKeyExA(parent, subKey, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  NULL, &key, &disposition);
    m_key = key;
    return result;
}

long CReg::OpenKey(HKEY parent, const char* subKey)
{
    HKEY key = 0;
    long result = RegOpenKeyExA(parent, subKey, 0, KEY_ALL_ACCESS, &key);
    m_key = key;
    return result;
}

long CReg::CloseKey()
{
    if (!m_key)
        return ERROR_SUCCESS;
    long result = RegCloseKey(m_key);
    if (result == ERROR_SUCCESS)
        m_key = 0;
    return result;
}

long CReg::WriteDataString(const char* name, const char* text)
{
    DWORD size = text ? static_cast<DWORD>(strlen(text)) : 0;
    return RegSetValueExA(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size);
}

long CReg::WriteDataDWORD(const char* name, unsigned long value)
{
    DWORD data = value;
    return RegSetValueExA(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
}

long CReg::WriteDataBinary(const char* name, unsigned char* data, unsigned long size)
{
    return RegSetValueExA(m_key, name, 0, REG_BINARY, data, size);
}

long CReg::WriteDataAsBool(const char* name, unsigned long value)
{
    return WriteDataDWORD(name, value ? 1 : 0);
}

// Copies text into buffer, cut at a character boundary so that it fits with its terminator;
// returns whether the whole text fitted.
static bool CopyTextWithin(char* buffer, unsigned long bufferSize, const char* text)
{
    if (!buffer || bufferSize == 0)
        return false;
    unsigned long used = 0;
    const char* p = text;
    while (*p) {
        const char* next = CharNextA(p);
        unsigned long len = static_cast<unsigned long>(next - p);
        if (used + len + 1 > bufferSize)
            break;
        memcpy(buffer + used, p, len);
        used += len;
        p = next;
    }
    buffer[used] = 0;
    return *p == 0;
}

long CReg::GetDataString(const char* name, char* buffer, unsigned long bufferSize,
                         unsigned long* resultSize, const char* defaultText)
{
    DWORD type = REG_NONE;
    DWORD size = bufferSize;
    long result = RegQueryValueExA(m_key, name, NULL, &type, reinterpret_cast<BYTE*>(buffer), &size);
    m_lastType = type;
    if (result == ERROR_FILE_NOT_FOUND) {
        // A missing value reads as the default text, cut to the buffer rather than written past it.
        const char* text = defaultText ? defaultText : "";
        unsigned long needed = static_cast<unsigned long>(strlen(text)) + 1;
        bool fitted = CopyTextWithin(buffer, bufferSize, text);
        if (resultSize)
            *resultSize = needed;
        return fitted ? ERROR_SUCCESS : ERROR_MORE_DATA;
    }
    if (buffer && bufferSize > 0) {
        // Text stored without its terminating zero is terminated here; when there is no room
        // left for the zero the caller learns the size it needs. A buffer that was too small is
        // terminated as well, so that it never holds an unterminated text.
        if (result == ERROR_SUCCESS) {
            if (size < bufferSize) {
                buffer[size] = 0;
            } else if (buffer[bufferSize - 1] != 0) {
                buffer[bufferSize - 1] = 0;
                size = bufferSize + 1;
                result = ERROR_MORE_DATA;
            }
        } else if (result == ERROR_MORE_DATA) {
            buffer[bufferSize - 1] = 0;
        }
    }
    if (resultSize)
        *resultSize = size;
    return result;
}

long CReg::GetDataDWORD(const char* name, unsigned long* value, unsigned long defaultValue)
{
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD size = sizeof(data);
    long result = RegQueryValueExA(m_key, name, NULL, &type, reinterpret_cast<BYTE*>(&data), &size);
    m_lastType = type;
    if (result == ERROR_FILE_NOT_FOUND) {
        *value = defaultValue;
        return ERROR_SUCCESS;
    }
    if (result == ERROR_SUCCESS)
        *value = data;
    return result;
}

long CReg::GetDataBinary(const char* name, unsigned char* buffer, unsigned long bufferSize,
                         unsigned long* resultSize)
{
    DWORD type = REG_NONE;
    DWORD size = bufferSize;
    long result = RegQueryValueExA(m_key, name, NULL, &type, buffer, &size);
    m_lastType = type;
    if (result == ERROR_FILE_NOT_FOUND) {
        if (buffer)
            memset(buffer, 0, bufferSize);
        size = bufferSize;
        result = ERROR_SUCCESS;
    }
    if (resultSize)
        *resultSize = size;
    return result;
}

long CReg::GetDataAsBool(const char* name, int* value, int defaultValue)
{
    DWORD size = sizeof(*value);
    long result = RegQueryValueExA(m_key, name, NULL, NULL, reinterpret_cast<BYTE*>(value), &size);
    if (result == ERROR_FILE_NOT_FOUND) {
        *value = defaultValue;
        return ERROR_SUCCESS;
    }
    return result;
}

long CReg::DeleteKey(HKEY parent, const char* subKey)
{
    if (!subKey || !subKey[0])
        return ERROR_INVALID_PARAMETER;
    return RegDeleteKeyA(parent, subKey);
}

long CReg::DeleteValue(const char* name)
{
    return RegDeleteValueA(m_key, name);
}

// ---------------------------------------------------------------------------------------------
// CEvent

CEvent::CEvent()
    : m_event(0)
{
}

CEvent::~CEvent()
{
}

int CEvent::Create(int manualReset, const char* name)
{
    if (m_event)
        return 0;
    m_event = CreateEventA(NULL, manualReset ? TRUE : FALSE, FALSE, name);
    return m_event ? 1 : 0;
}

int CEvent::Destroy()
{
    if (!m_event)
        return 0;
    CloseHandle(m_event);
    m_event = 0;
    return 1;
}

int CEvent::SetEvent()
{
    return ::SetEvent(m_event);
}

int CEvent::ResetEvent()
{
    return ::ResetEvent(m_event);
}

HANDLE CEvent::operator=(HANDLE event)
{
    HANDLE previous = m_event;
    m_event = event;
    return previous;
}

int CEvent::operator==(HANDLE event) const
{
    return m_event == event ? 1 : 0;
}
