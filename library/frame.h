// frame.h - the library as a whole: export macro, process-wide settings, version and setup
// exports, and Buffer, the growable block of bytes.
//
// Classes in this header:
//   Buffer   growable block of bytes on the library's heap
#pragma once

#ifndef TARVIK_API
#  ifdef TARVIK_BUILD
#    define TARVIK_API __declspec(dllexport)
#  else
#    define TARVIK_API __declspec(dllimport)
#  endif
#endif

// Bits of TARVIKSETUPINFO::dwMask.
#define TSI_MAXBUFFERSIZE 0x1
#define TSI_MAXFILESIZE   0x2
#define TSI_FLOATFORMAT   0x4
#define TSI_HEXFORMAT     0x8

// The record handed to TarvikSetup; only the fields named in dwMask are read.
struct TARVIKSETUPINFO {
    unsigned long dwMask;
    unsigned long dwMaxBufferSize;
    long long llMaxFileSize;
    const char* pszFloatFormat;
    const char* pszHexFormat;
};

extern "C" {
// Returns the library version 1.0.0.13 packed one byte per part (0x0100000D).
TARVIK_API unsigned long TarvikGetDllVersion();
// Applies the fields named in the record's mask; returns 1, or 0 (nothing changed) for a refused record.
TARVIK_API int TarvikSetup(TARVIKSETUPINFO* info);
}

class TARVIK_API Buffer {
public:
    Buffer(const void* src = 0, unsigned long count = 0);
    virtual ~Buffer();

    // Makes the buffer exactly count bytes, all zero; returns 1, or 0 for 0, over the limit or no memory.
    int New(unsigned long count);
    // Frees the storage; returns 1.
    int Release();
    // Appends count bytes from src (zeros when src is null); returns 1 or 0.
    int Add(const void* src, unsigned long count);
    // Appends one byte; returns 1 or 0.
    int Add(unsigned char value);
    // Appends two bytes, least significant first; returns 1 or 0.
    int Add(unsigned short value);
    // Appends four bytes, least significant first; returns 1 or 0.
    int Add(unsigned long value);
    // Drops count bytes from the end (zeroing them); returns 1, or 0 without storage or for too many.
    int Sub(unsigned long count);
    // Zeroes the bytes in use; returns 1, or 0 without storage.
    int Zero();
    // Copies the first count bytes (0xFFFFFFFF: all) to dest; returns 1 or 0.
    int CopyTo(void* dest, unsigned long count) const;
    // Makes dest a copy of this buffer, reusing dest's storage; returns 1 or 0.
    int CopyTo(Buffer& dest) const;
    // Makes dest a copy of this buffer in fresh storage of exactly the size; returns 1 or 0.
    int Duplicate(Buffer& dest) const;

    // New with the count; returns its result.
    int operator=(unsigned long count);
    // Duplicate into the right-hand buffer (this one is unchanged); returns its result.
    int operator=(Buffer& dest);
    // Replaces the contents with the text's characters (no terminator); returns 1, or 0 for empty text.
    int operator=(const char* text);
    // Appends count zero bytes; returns 1 or 0.
    int operator+=(unsigned long count);
    // Appends the other buffer's bytes; returns 1 or 0.
    int operator+=(Buffer& other);
    // Appends the text's characters (no terminator); returns 1, or 0 for null text.
    int operator+=(const char* text);
    // Appends the text's characters (no terminator); returns 1, or 0 for null text.
    int operator+=(unsigned char* const text);
    // Sub with the count; returns its result.
    int operator-=(unsigned long count);

    // Returns the storage, null when empty.
    operator void*() const;
    // Returns the storage, null when empty.
    void* GetPtr() const;
    // Returns the storage address plus offset, null without storage or on wrap-around.
    void* operator+(unsigned long offset) const;
    // Returns the storage address minus offset, null without storage or on wrap-around.
    void* operator-(unsigned long offset) const;
    // Returns the number of bytes in use.
    unsigned long GetSize() const;
    // Returns the caller's value carried by the buffer.
    unsigned long GetBufferParam() const;
    // Stores the caller's value; returns 1.
    int SetBufferParam(unsigned long param);

    // Two buffers never share one block.
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

private:
    unsigned char* m_storage;
    unsigned long m_size;
    unsigned long m_param;
    unsigned long m_capacity;
};
