// filer.h - file access.
//
// Classes in this header:
//   CFiler   owner of one Win32 file handle: open, read, write, position, size and times
#pragma once

#include <windows.h>
#include "frame.h"

class TARVIK_API CFiler {
public:
    CFiler();
    // Opens or creates the file for reading and writing, not shared (see Create).
    CFiler(const char* name);
    // Adopts the handle; the object will close it.
    CFiler(HANDLE file);
    virtual ~CFiler();

    // Closes the current file and adopts the handle; returns 1.
    int operator=(HANDLE file);
    // Create with share mode 0; returns its result.
    int operator=(const char* name);

    // Opens an existing file without truncating it, or creates it empty (read and write); returns 1 or 0.
    int Create(const char* name, unsigned long shareMode);
    // Opens an existing file for reading and writing; returns 1 or 0.
    int Open(const char* name, unsigned long shareMode);
    // Opens an existing file for reading only; returns 1 or 0.
    int Open_modeRead(const char* name, unsigned long shareMode);
    // Opens an existing file for writing only; returns 1 or 0.
    int Open_modeWrite(const char* name, unsigned long shareMode);
    // Closes the file; returns 1, or 0 when none was open.
    int Close();

    // Returns the bytes read (0 at end of file), or 0xFFFFFFFF.
    unsigned long Read(void* dest, unsigned long count);
    // Returns the bytes written, or 0xFFFFFFFF.
    unsigned long Write(const void* src, unsigned long count);
    // Writes the text without its terminator; returns the bytes written, or 0xFFFFFFFF.
    unsigned long WriteString(const char* text);
    // Writes the buffer's bytes; returns the bytes written, or 0xFFFFFFFF (also for an empty buffer).
    unsigned long Write(Buffer& buffer);
    // Reads the whole file into the buffer; returns the bytes read, 0 for an empty file, or 0xFFFFFFFF.
    unsigned long Read(Buffer& buffer);

    // Moves by a signed 32-bit distance from FILE_BEGIN, FILE_CURRENT or FILE_END; returns the new position or 0xFFFFFFFF.
    unsigned long SetFilePoint(unsigned long distance, unsigned long method);
    // Returns the current position, or 0xFFFFFFFF.
    unsigned long GetFilePoint() const;
    // Returns the low 32 bits of the size (0xFFFFFFFF on failure); the high part goes to *high when given.
    unsigned long GetFileSize(unsigned long* high);
    // Ends the file at the current position; returns the Win32 result.
    int SetEOF();
    // Sets creation, last-access and last-write time to one value; returns the Win32 result.
    int SetFileTime(FILETIME* time);
    // Sets the three times (null leaves one unchanged); returns the Win32 result.
    int SetFileTime(FILETIME* creation, FILETIME* access, FILETIME* write);
    // Reads the three times into the non-null pointers; returns 1, or 0 writing nothing.
    int GetFileTime(FILETIME* creation, FILETIME* access, FILETIME* write) const;

    // One object owns one handle.
    CFiler(const CFiler&) = delete;
    CFiler& operator=(const CFiler&) = delete;

private:
    int OpenWith(const char* name, unsigned long access, unsigned long shareMode, unsigned long disposition);

    HANDLE m_file;
    unsigned long m_transferred;
    unsigned long m_sizeHigh;
    unsigned long m_sizeLow;
};
