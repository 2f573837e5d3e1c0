// frame.cpp - library entry, process-wide settings, version and setup exports, Buffer.
#include <windows.h>
#include <stdlib.h>
#include <string.h>
#include <stdint.h>

#include "frame.h"
#include "internal.h"

TarvikSettings g_tarvikSettings;

void TarvikResetSettings()
{
    g_tarvikSettings.maxBufferSize = 0x10000000;
    g_tarvikSettings.maxFileSize = 0x7F000000;
    lstrcpynA(g_tarvikSettings.floatFormat, "%.3f", sizeof g_tarvikSettings.floatFormat);
    lstrcpynA(g_tarvikSettings.hexFormat, "0x%X", sizeof g_tarvikSettings.hexFormat);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        TarvikResetSettings();
    return TRUE;
}

int IsPlatformNT()
{
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT ? 1 : 0;
}

extern "C" unsigned long TarvikGetDllVersion()
{
    return 0x0100000D;
}

// Copies at most 15 characters of src into a 16-byte format field.
static void CopyFormat(char (&dest)[16], const char* src)
{
    size_t n = 0;
    while (n < sizeof dest - 1 && src[n] != '\0') {
        dest[n] = src[n];
        ++n;
    }
    dest[n] = '\0';
}

extern "C" int TarvikSetup(TARVIKSETUPINFO* info)
{
    if (!info)
        return 0;
    // Everything goes into a copy first, so a refused record changes nothing.
    TarvikSettings next = g_tarvikSettings;
    if (info->dwMask & TSI_MAXBUFFERSIZE) {
        if (info->dwMaxBufferSize == 0)
            return 0;
        next.maxBufferSize = info->dwMaxBufferSize;
    }
    if (info->dwMask & TSI_MAXFILESIZE) {
        if (info->llMaxFileSize == 0)
            return 0;
        next.maxFileSize = info->llMaxFileSize;
    }
    if (info->dwMask & TSI_FLOATFORMAT) {
        if (!info->pszFloatFormat)
            return 0;
        CopyFormat(next.floatFormat, info->pszFloatFormat);
    }
    if (info->dwMask & TSI_HEXFORMAT) {
        if (!info->pszHexFormat)
            return 0;
        CopyFormat(next.hexFormat, info->pszHexFormat);
    }
    g_tarvikSettings = next;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Buffer

Buffer::Buffer(const void* src, unsigned long count)
    : m_storage(0), m_size(0), m_param(0), m_capacity(0)
{
    if (src && src != reinterpret_cast<const void*>(0xFFFFFFFF) && count != 0) {
        if (New(count))
            memcpy(m_storage, src, count);
    }
}

Buffer::~Buffer()
{
    Release();
}

int Buffer::New(unsigned long count)
{
    if (count == 0 || count > g_tarvikSettings.maxBufferSize)
        return 0;
    if (count <= m_capacity) {
        memset(m_storage, 0, count);
        m_size = count;
        return 1;
    }
    Release();
    m_storage = static_cast<unsigned char*>(malloc(count));
    if (!m_storage)
        return 0;
    memset(m_storage, 0, count);
    m_size = m_capacity = count;
    return 1;
}

int Buffer::Release()
{
    if (m_storage)
        free(m_storage);
    m_storage = 0;
    m_size = 0;
    m_capacity = 0;
    return 1;
}

int Buffer::Add(const void* src, unsigned long count)
{
    if (!m_storage) {
        if (!New(count))
            return 0;
        if (src)
            memcpy(m_storage, src, count);
        return 1;
    }

    // A source inside our own block is addressed by offset: the block may move below.
    const unsigned char* bytes = static_cast<const unsigned char*>(src);
    bool inside = bytes && bytes >= m_storage && bytes < m_storage + m_capacity;
    size_t insideOffset = inside ? static_cast<size_t>(bytes - m_storage) : 0;
    if (inside && insideOffset + count > m_size)
        return 0;   // would read past the bytes in use

    unsigned long long wanted = static_cast<unsigned long long>(m_size) + count;
    if (wanted <= m_capacity) {
        if (src)
            memmove(m_storage + m_size, src, count);
        else
            memset(m_storage + m_size, 0, count);
        m_size = static_cast<unsigned long>(wanted);
        return 1;
    }
    // A sum past 32 bits counts as past the limit.
    if (wanted > g_tarvikSettings.maxBufferSize)
        return 0;

    unsigned long oldSize = m_size;
    unsigned char* keep = static_cast<unsigned char*>(malloc(oldSize ? oldSize : 1));
    if (!keep)
        return 0;
    memcpy(keep, m_storage, oldSize);
    Release();
    m_storage = static_cast<unsigned char*>(malloc(static_cast<size_t>(wanted)));
    if (!m_storage) {
        free(keep);
        return 0;
    }
    memcpy(m_storage, keep, oldSize);
    free(keep);
    if (inside)
        memmove(m_storage + oldSize, m_storage + insideOffset, count);
    else if (src)
        memcpy(m_storage + oldSize, src, count);
    else
        memset(m_storage + oldSize, 0, count);
    m_size = m_capacity = static_cast<unsigned long>(wanted);
    return 1;
}

int Buffer::Add(unsigned char value)
{
    return Add(&value, sizeof value);
}

int Buffer::Add(unsigned short value)
{
    unsigned char bytes[2] = { static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8) };
    return Add(bytes, sizeof bytes);
}

int Buffer::Add(unsigned long value)
{
    unsigned char bytes[4] = { static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                               static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24) };
    return Add(bytes, sizeof bytes);
}

int Buffer::Sub(unsigned long count)
{
    // More than is in use is refused outright, however large the count.
    if (!m_storage || count > m_size)
        return 0;
    m_size -= count;
    memset(m_storage + m_size, 0, count);
    return 1;
}

int Buffer::Zero()
{
    if (!m_storage)
        return 0;
    memset(m_storage, 0, m_size);
    return 1;
}

int Buffer::CopyTo(void* dest, unsigned long count) const
{
    if (!m_storage || !dest || count == 0)
        return 0;
    if (count == 0xFFFFFFFF)
        count = m_size;
    if (count > m_size)
        return 0;
    memcpy(dest, m_storage, count);
    return 1;
}

int Buffer::CopyTo(Buffer& dest) const
{
    if (!m_storage || m_size == 0)
        return 0;
    if (&dest == this)
        return 1;   // already a copy of itself; New would zero the source first
    if (!dest.New(m_size))
        return 0;
    memcpy(dest.m_storage, m_storage, m_size);
    return 1;
}

int Buffer::Duplicate(Buffer& dest) const
{
    if (!m_storage)
        return 0;
    if (&dest == this)
        return m_size != 0 ? 1 : 0;   // releasing dest would release the source
    dest.Release();
    if (!dest.New(m_size))
        return 0;
    memcpy(dest.m_storage, m_storage, m_size);
    return 1;
}

int Buffer::operator=(unsigned long count)
{
    return New(count);
}

int Buffer::operator=(Buffer& dest)
{
    return Duplicate(dest);
}

int Buffer::operator=(const char* text)
{
    if (!text)
        return 0;
    // The text may live in this buffer: take the copy before releasing.
    Buffer copy(text, static_cast<unsigned long>(strlen(text)));
    Release();
    if (copy.m_size == 0)
        return 0;
    return Add(copy.m_storage, copy.m_size);
}

int Buffer::operator+=(unsigned long count)
{
    return Add(static_cast<const void*>(0), count);
}

int Buffer::operator+=(Buffer& other)
{
    return Add(other.m_storage, other.m_size);
}

int Buffer::operator+=(const char* text)
{
    if (!text)
        return 0;
    return Add(text, static_cast<unsigned long>(strlen(text)));
}

int Buffer::operator+=(unsigned char* const text)
{
    return operator+=(reinterpret_cast<const char*>(text));
}

int Buffer::operator-=(unsigned long count)
{
    return Sub(count);
}

Buffer::operator void*() const
{
    return m_storage;
}

void* Buffer::GetPtr() const
{
    return m_storage;
}

void* Buffer::operator+(unsigned long offset) const
{
    if (!m_storage)
        return 0;
    uintptr_t base = reinterpret_cast<uintptr_t>(m_storage);
    uintptr_t sum = base + offset;
    if (sum < base)
        return 0;
    return reinterpret_cast<void*>(sum);
}

void* Buffer::operator-(unsigned long offset) const
{
    if (!m_storage)
        return 0;
    uintptr_t base = reinterpret_cast<uintptr_t>(m_storage);
    if (offset > base)
        return 0;
    return reinterpret_cast<void*>(base - offset);
}

unsigned long Buffer::GetSize() const
{
    return m_size;
}

unsigned long Buffer::GetBufferParam() const
{
    return m_param;
}

int Buffer::SetBufferParam(unsigned long param)
{
    m_param = param;
    return 1;
}
