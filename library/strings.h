// strings.h - owned text and the free functions on zero-terminated 8-bit text (system code page).
//
// Classes in this header:
//   CString   owner of one heap copy of a zero-terminated text (or of no text at all)
//
// The free functions never allocate for the caller and never check the room in a destination:
// the caller's buffer must hold the result and its terminator.
#pragma once

#include <windows.h>
#include "frame.h"

class TARVIK_API CString {
public:
    CString();
    // A copy of the text; a null pointer gives a null text.
    CString(const char* text);
    // A copy of the text; a null pointer gives a null text.
    CString(unsigned char* const text);
    // A copy of the other string's text; an empty other string gives a null text.
    CString(CString& other);
    virtual ~CString();

    // Takes a copy of the other string's text (even an empty one), or a null text; returns *this.
    virtual CString& operator=(CString& other);
    // Replaces the text with a copy of the argument; returns *this.
    virtual CString& operator=(unsigned char* const text);
    // Replaces the text with a copy of the argument; returns *this.
    virtual CString& operator=(const char* text);
    // Appends the other string's text; returns *this.
    virtual CString& operator+=(CString& other);
    // Appends the text; returns *this.
    virtual CString& operator+=(unsigned char* const text);
    // Appends the text; returns *this.
    virtual CString& operator+=(const char* text);
    // Returns 0 when the other string is empty, else 1 when both texts are equal ignoring case.
    virtual int operator==(CString& other);
    // Returns 1 when the text equals the argument ignoring case (a null text counts as empty).
    virtual int operator==(unsigned char* const text);
    // Returns 1 when the text equals the argument ignoring case (a null text counts as empty).
    virtual int operator==(const char* text);
    // Cuts count bytes off the end of the text, keeping the storage; returns *this.
    virtual CString& operator-=(unsigned long count);
    // Returns 1 when the text is null or empty.
    virtual int IsEmpty() const;
    // Returns the text, null when there is none.
    virtual char* GetString() const;
    // Returns the length of the text, 0 for a null text.
    virtual unsigned long GetLength() const;
    // Keeps only the drive part ("C:") of the text; returns *this.
    virtual CString& Drive();
    // Keeps only the directory part of the text; returns *this.
    virtual CString& Path();
    // Keeps only the file name without extension; returns *this.
    virtual CString& FileName();
    // Keeps only the extension without its period; returns *this.
    virtual CString& Ext();
    // Keeps only the file name with its extension; returns *this.
    virtual CString& FileNameExt();
    // Replaces the text by the formatted arguments (at most 259 characters); returns *this.
    virtual CString& Format(const char* format, ...);
    // Returns 1 after loading the string resource (at most 259 characters), 0 and a null text when none.
    virtual int LoadStringA(HINSTANCE instance, unsigned int id);
    // Returns 1 after taking the window's text (at most 259 characters), 0 and a null text when empty.
    virtual int GetWindowTextA(HWND window);
    // Returns 1 after taking the dialog item's text (at most 259 characters), 0 and a null text when empty.
    virtual int GetDlgItemTextA(HWND dialog, unsigned int id);
    // Returns the result of SetWindowTextA with the text, 0 for a null text.
    virtual int SetWindowTextA(HWND window);
    // Returns the result of SetDlgItemTextA with the text, 0 for a null text.
    virtual int SetDlgItemTextA(HWND dialog, unsigned int id);

    // Returns the text, null when there is none.
    operator char*() const;

private:
    char* m_text;
};

// Returns the byte upper-cased when it is 'a' to 'z', else unchanged.
TARVIK_API char ucase(char c);
// Returns the byte lower-cased when it is 'A' to 'Z', else unchanged.
TARVIK_API char lcase(char c);
// Copies src to dst.
TARVIK_API void stringadd(char* dst, const char* src);
// Copies at most n bytes of src (all of it for 0) to dst and terminates.
TARVIK_API void stringaddn(char* dst, const char* src, unsigned long n);
// Appends src to dst.
TARVIK_API void stringcon(char* dst, const char* src);
// Appends src to a list of texts ended by two zero bytes.
TARVIK_API void stringcond(char* dst, const char* src);
// Copies at most n bytes of src to dst; returns the number copied.
TARVIK_API long stringsub(char* dst, const char* src, unsigned long n);
// Copies src from start up to (not including) end; returns minus the number of bytes copied.
TARVIK_API long stringcut(char* dst, const char* src, unsigned long start, unsigned long end);
// Writes src reversed to dst (dst in place when src is null); double-byte pairs keep their order.
TARVIK_API void stringrev(char* dst, const char* src);
// Returns the number of bytes before the terminator.
TARVIK_API long stringlen(const char* text);
// Returns the index of the first occurrence of find at or after start, or -1.
TARVIK_API long stringfirst(const char* text, const char* find, int ignoreCase, long start);
// Inserts ins into dst before the byte index.
TARVIK_API void stringins(char* dst, const char* ins, unsigned long index);
// Writes the file name with its extension.
TARVIK_API void stringfilenameext(char* dst, const char* src);
// Writes the file name without its extension.
TARVIK_API void stringfilename(char* dst, const char* src);
// Writes the extension without its period.
TARVIK_API void stringext(char* dst, const char* src);
// Writes the directory part (before the last backslash); dst may be src.
TARVIK_API void stringpath(char* dst, const char* src);
// Returns 1 and writes the drive ("C:") when src starts with one, else 0 and an empty dst.
TARVIK_API int stringdrive(char* dst, const char* src);
// Returns the index of the last occurrence replaced (-1 for none), or with a null dst the result's length.
TARVIK_API long stringreplace(char* dst, const char* src, const char* find, const char* replacement,
                              int ignoreCase, unsigned long mode);
// Returns 1 when both texts are equal, else 0.
TARVIK_API int stringcomp(const char* a, const char* b, int ignoreCase);
// Returns 1 when the text matches the pattern with '?' standing for one byte of the class.
TARVIK_API int stringcompex(const char* text, const char* pattern, unsigned long wildClass, int ignoreCase);
// Returns the signed value of the decimal text.
TARVIK_API long stringtoascii(const char* text);
// Returns the unsigned value of the decimal text.
TARVIK_API unsigned long stringtoulong(const char* text);
// Writes src without the byte, in the way the mode selects.
TARVIK_API void trimstring(char* dst, const char* src, char c, long mode);
// Writes src repeated count times.
TARVIK_API void stringfill(char* dst, const char* src, unsigned long count);
// Returns the number of pieces reported to the callback (separators plus 1), 0 for none.
TARVIK_API long stringsplit(const char* text, long (*callback)(const char*, long, long), char separator);
// Returns the value of the hexadecimal text.
TARVIK_API long hextoascii(const char* text);
// Returns 10 minus the number of digits written after writing the value in decimal.
TARVIK_API long asciitostring(char* dst, long value);
// Returns 1 when the text is a decimal number with an optional leading sign.
TARVIK_API int stringisval(const char* text);
// Returns 1 when every byte is a hexadecimal digit ('x' allowed at index 1).
TARVIK_API int stringishex(const char* text);
// Returns the index where the delimiter starts (-1 for none) after copying src up to it.
TARVIK_API long stringtill_out(char* dst, const char* src, const char* delimiter);
// Returns the index just after the delimiter (-1 for none) after copying src up to and with it.
TARVIK_API long stringtill_in(char* dst, const char* src, const char* delimiter);
// Returns the last byte of the text, 0 for an empty text.
TARVIK_API char stringlastcode(const char* text);
// Appends a backslash unless the text is empty or already ends with a separator.
TARVIK_API void stringaddsep(char* text);
// Removes one final separator.
TARVIK_API void stringdelsep(char* text);
// Appends a period unless the text is empty or already ends with one.
TARVIK_API void stringaddperiod(char* text);
// Removes one final period.
TARVIK_API void stringdelperiod(char* text);
// Returns the number of lines (line feeds plus 1), 0 for an empty text.
TARVIK_API long stringline(const char* text);
// Returns the length of the first line with its line feed.
TARVIK_API long stringlinelen(const char* text);
// Replaces every backslash by a slash.
TARVIK_API void esctoslash(char* text);
// Replaces every slash by a backslash.
TARVIK_API void slashtoesc(char* text);
// Copies src with each ASCII digit turned into its full-width code page 932 form.
TARVIK_API void sntoln(char* dst, const char* src);
// Writes the empty text.
TARVIK_API void sctolc(char* dst, const char* src);
// Writes the empty text.
TARVIK_API void lctosc(char* dst, const char* src);
// Writes the empty text.
TARVIK_API void lntosn(char* dst, const char* src);
