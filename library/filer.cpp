// filer.cpp - CFiler.
#include <windows.h>
#include <string.h>

#include "filer.h"
#include "internal.h"

CFiler::CFiler()
    : m_file(INVALID_HANDLE_VALUE), m_transferred(0), m_sizeHigh(0), m_sizeLow(0)
{
}

CFiler::CFiler(const char* name)
    : m_file(INVALID_HANDLE_VALUE), m_transferred(0), m_sizeHigh(0), m_sizeLow(0)
{
    Create(name, 0);
}

CFiler::CFiler(HANDLE file)
    : m_file(file), m_transferred(0), m_sizeHigh(0), m_sizeLow(0)
{
}

CFiler::~CFiler()
{
    Close();
}

int CFiler::operator=(HANDLE file)
{
    Close();
    m_file = file;
    return 1;
}

int CFiler::operator=(const char* name)
{
    return Create(name, 0);
}

int CFiler::OpenWith(const char* name, unsigned long access, unsigned long shareMode, unsigned long disposition)
{
    Close();
    m_file = CreateFileA(name, access, shareMode, NULL, disposition, 0, NULL);
    return m_file != INVALID_HANDLE_VALUE ? 1 : 0;
}

int CFiler::Create(const char* name, unsigned long shareMode)
{
    return OpenWith(name, GENERIC_READ | GENERIC_WRITE, shareMode, OPEN_ALWAYS);
}

int CFiler::Open(const char* name, unsigned long shareMode)
{
    return OpenWith(name, GENERIC_READ | GENERIC_WRITE, shareMode, OPEN_EXISTING);
}

int CFiler::Open_modeRead(const char* name, unsigned long shareMode)
{
    return OpenWith(name, GENERIC_READ, shareMode, OPEN_EXISTING);
}

int CFiler::Open_modeWrite(const char* name, unsigned long shareMode)
{
    return OpenWith(name, GENERIC_WRITE, shareMode, OPEN_EXISTING);
}

int CFiler::Close()
{
    if (m_file == INVALID_HANDLE_VALUE || m_file == NULL)
        return 0;
    CloseHandle(m_file);
    m_file = NULL;
    return 1;
}

unsigned long CFiler::Read(void* dest, unsigned long count)
{
    if (!ReadFile(m_file, dest, count, &m_transferred, NULL))
        return 0xFFFFFFFF;
    return m_transferred;
}

unsigned long CFiler::Write(const void* src, unsigned long count)
{
    if (!WriteFile(m_file, src, count, &m_transferred, NULL))
        return 0xFFFFFFFF;
    return m_transferred;
}

unsigned long CFiler::WriteString(const char* text)
{
    if (!text)
        return 0xFFFFFFFF;
    return Write(text, static_cast<unsigned long>(strlen(text)));
}

unsigned long CFiler::Write(Buffer& buffer)
{
    if (!buffer.GetPtr() || buffer.GetSize() == 0)
        return 0xFFFFFFFF;
    return Write(buffer.GetPtr(), buffer.GetSize());
}

unsigned long CFiler::Read(Buffer& buffer)
{
    SetLastError(NO_ERROR);
    unsigned long high = 0;
    unsigned long low = GetFileSize(&high);
    // A failed query is a failure whatever the limits are set to.
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return 0xFFFFFFFF;
    if (low == 0 && high == 0)
        return 0;
    long long size = (static_cast<long long>(high) << 32) | low;
    if (size > g_tarvikSettings.maxFileSize)
        return 0xFFFFFFFF;
    if (high != 0)
        return 0xFFFFFFFF;
    if (low > g_tarvikSettings.maxBufferSize)
        return 0xFFFFFFFF;
    if (!buffer.New(low))
        return 0xFFFFFFFF;
    return Read(buffer.GetPtr(), buffer.GetSize());
}

unsigned long CFiler::SetFilePoint(unsigned long distance, unsigned long method)
{
    return SetFilePointer(m_file, static_cast<LONG>(distance), NULL, method);
}

unsigned long CFiler::GetFilePoint() const
{
    return SetFilePointer(m_file, 0, NULL, FILE_CURRENT);
}

unsigned long CFiler::GetFileSize(unsigned long* high)
{
    DWORD highPart = m_sizeHigh;
    m_sizeLow = ::GetFileSize(m_file, &highPart);
    m_sizeHigh = highPart;
    if (high)
        *high = m_sizeHigh;
    return m_sizeLow;
}

int CFiler::SetEOF()
{
    return SetEndOfFile(m_file);
}

int CFiler::SetFileTime(FILETIME* time)
{
    return ::SetFileTime(m_file, time, time, time);
}

int CFiler::SetFileTime(FILETIME* creation, FILETIME* access, FILETIME* write)
{
    return ::SetFileTime(m_file, creation, access, write);
}

int CFiler::GetFileTime(FILETIME* creation, FILETIME* access, FILETIME* write) const
{
    FILETIME c, a, w;
    ZeroMemory(&c, sizeof c);
    ZeroMemory(&a, sizeof a);
    ZeroMemory(&w, sizeof w);
    if (!::GetFileTime(m_file, &c, &a, &w))
        return 0;
    if (creation)
        *creation = c;
    if (access)
        *access = a;
    if (write)
        *write = w;
    return 1;
}
