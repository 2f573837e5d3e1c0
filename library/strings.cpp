// strings.cpp - CString and the free string functions.
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "strings.h"

namespace {

// A heap copy of the text (null for a null text or when memory runs out).
char* Duplicate(const char* text)
{
    if (!text)
        return 0;
    size_t length = strlen(text);
    char* copy = static_cast<char*>(malloc(length + 1));
    if (copy)
        memcpy(copy, text, length + 1);
    return copy;
}

// A heap copy of first followed by second (either may be null).
char* Concatenate(const char* first, const char* second)
{
    size_t a = first ? strlen(first) : 0;
    size_t b = second ? strlen(second) : 0;
    char* joined = static_cast<char*>(malloc(a + b + 1));
    if (!joined)
        return 0;
    if (a)
        memcpy(joined, first, a);
    if (b)
        memcpy(joined + a, second, b);
    joined[a + b] = '\0';
    return joined;
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The start of the last character of the text (double-byte aware), or null for an empty text.
const char* LastCharacter(const char* text)
{
    size_t length = strlen(text);
    if (length == 0)
        return 0;
    return CharPrevA(text, text + length);
}

// The last character of the text that is the single byte c (or, for 0, a separator), found
// backwards with CharPrevA so that the second byte of a double-byte character never counts.
const char* LastCharacterOf(const char* text, char c)
{
    const char* p = text + strlen(text);
    while (p > text) {
        const char* prev = CharPrevA(text, p);
        if (prev >= p)
            break;
        p = prev;
        if (CharNextA(p) != p + 1)
            continue;
        if (c == '\0' ? IsSeparator(*p) : *p == c)
            return p;
    }
    return 0;
}

// The last separator ('\\' or '/') of the text; null when there is none.
const char* LastSeparator(const char* text)
{
    return LastCharacterOf(text, '\0');
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CString

CString::CString() : m_text(0)
{
}

CString::CString(const char* text) : m_text(Duplicate(text))
{
}

CString::CString(unsigned char* const text) : m_text(Duplicate(reinterpret_cast<const char*>(text)))
{
}

CString::CString(CString& other) : m_text(0)
{
    if (!other.IsEmpty())
        m_text = Duplicate(other.GetString());
}

CString::~CString()
{
    free(m_text);
}

CString& CString::operator=(CString& other)
{
    if (&other == this)
        return *this;
    char* copy = Duplicate(other.m_text);
    free(m_text);
    m_text = copy;
    return *this;
}

CString& CString::operator=(unsigned char* const text)
{
    return operator=(reinterpret_cast<const char*>(text));
}

CString& CString::operator=(const char* text)
{
    // The copy is taken before the old text goes, so a string may be given its own text.
    char* copy = Duplicate(text);
    free(m_text);
    m_text = copy;
    return *this;
}

CString& CString::operator+=(CString& other)
{
    return operator+=(const_cast<const char*>(other.m_text));
}

CString& CString::operator+=(unsigned char* const text)
{
    return operator+=(reinterpret_cast<const char*>(text));
}

CString& CString::operator+=(const char* text)
{
    if (!text)
        return *this;
    char* joined = Concatenate(m_text, text);
    if (!joined)
        return *this;
    free(m_text);
    m_text = joined;
    return *this;
}

int CString::operator==(CString& other)
{
    if (other.IsEmpty())
        return 0;
    return operator==(const_cast<const char*>(other.GetString()));
}

// Both text overloads of operator== share this comparison.
static int EqualsIgnoringCase(const char* text, const char* other)
{
    return stringcomp(text ? text : "", other ? other : "", 1);
}

int CString::operator==(unsigned char* const text)
{
    return EqualsIgnoringCase(m_text, reinterpret_cast<const char*>(text));
}

int CString::operator==(const char* text)
{
    return EqualsIgnoringCase(m_text, text);
}

CString& CString::operator-=(unsigned long count)
{
    if (!m_text)
        return *this;
    unsigned long length = static_cast<unsigned long>(strlen(m_text));
    m_text[count >= length ? 0 : length - count] = '\0';
    return *this;
}

int CString::IsEmpty() const
{
    return (!m_text || m_text[0] == '\0') ? 1 : 0;
}

char* CString::GetString() const
{
    return m_text;
}

unsigned long CString::GetLength() const
{
    return m_text ? static_cast<unsigned long>(stringlen(m_text)) : 0;
}

CString& CString::Drive()
{
    if (!IsEmpty())
        stringdrive(m_text, m_text);
    return *this;
}

CString& CString::Path()
{
    if (!IsEmpty())
        stringpath(m_text, m_text);
    return *this;
}

CString& CString::FileName()
{
    if (!IsEmpty())
        stringfilename(m_text, m_text);
    return *this;
}

CString& CString::Ext()
{
    if (!IsEmpty())
        stringext(m_text, m_text);
    return *this;
}

CString& CString::FileNameExt()
{
    if (!IsEmpty())
        stringfilenameext(m_text, m_text);
    return *this;
}

CString& CString::Format(const char* format, ...)
{
    char buffer[260];
    buffer[0] = '\0';
    if (format) {
        va_list args;
        va_start(args, format);
        // Longer results are cut at 259 characters.
        vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        buffer[sizeof buffer - 1] = '\0';
    }
    return operator=(const_cast<const char*>(buffer));
}

int CString::LoadStringA(HINSTANCE instance, unsigned int id)
{
    free(m_text);
    m_text = 0;
    char buffer[260];
    int length = ::LoadStringA(instance, id, buffer, sizeof buffer);
    if (length <= 0)
        return 0;
    buffer[sizeof buffer - 1] = '\0';
    m_text = Duplicate(buffer);
    return 1;
}

int CString::GetWindowTextA(HWND window)
{
    free(m_text);
    m_text = 0;
    char buffer[260];
    int length = ::GetWindowTextA(window, buffer, sizeof buffer);
    if (length <= 0)
        return 0;
    buffer[sizeof buffer - 1] = '\0';
    m_text = Duplicate(buffer);
    return 1;
}

int CString::GetDlgItemTextA(HWND dialog, unsigned int id)
{
    free(m_text);
    m_text = 0;
    char buffer[260];
    UINT length = ::GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
    if (length == 0)
        return 0;
    buffer[sizeof buffer - 1] = '\0';
    m_text = Duplicate(buffer);
    return 1;
}

int CString::SetWindowTextA(HWND window)
{
    if (!m_text)
        return 0;
    return ::SetWindowTextA(window, m_text);
}

int CString::SetDlgItemTextA(HWND dialog, unsigned int id)
{
    if (!m_text)
        return 0;
    return ::SetDlgItemTextA(dialog, id, m_text);
}

CString::operator char*() const
{
    return m_text;
}

// ---------------------------------------------------------------------------------------------
// Free functions

char ucase(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char lcase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

void stringadd(char* dst, const char* src)
{
    memmove(dst, src, strlen(src) + 1);
}

void stringaddn(char* dst, const char* src, unsigned long n)
{
    size_t length = strlen(src);
    if (n != 0 && n < length)
        length = n;
    memmove(dst, src, length);
    dst[length] = '\0';
}

void stringcon(char* dst, const char* src)
{
    size_t at = strlen(dst);
    memmove(dst + at, src, strlen(src) + 1);
}

void stringcond(char* dst, const char* src)
{
    size_t i = 0;
    while (!(dst[i] == '\0' && dst[i + 1] == '\0'))
        ++i;
    size_t length = strlen(src);
    memmove(dst + i + 1, src, length);
    dst[i + 1 + length] = '\0';
    dst[i + 2 + length] = '\0';
}

long stringsub(char* dst, const char* src, unsigned long n)
{
    unsigned long count = 0;
    while (count < n && src[count] != '\0')
        ++count;
    memmove(dst, src, count);
    dst[count] = '\0';
    return static_cast<long>(count);
}

long stringcut(char* dst, const char* src, unsigned long start, unsigned long end)
{
    // A start index past the end of src copies nothing instead of reading beyond it.
    if (start >= end || start > strlen(src)) {
        dst[0] = '\0';
        return 0;
    }
    unsigned long count = 0;
    while (start + count < end && src[start + count] != '\0')
        ++count;
    memmove(dst, src + start, count);
    dst[count] = '\0';
    return -static_cast<long>(count);
}

void stringrev(char* dst, const char* src)
{
    const char* from = src ? src : dst;
    size_t length = strlen(from);
    if (length < 2) {
        if (src)
            memmove(dst, src, length + 1);
        return;
    }
    char local[260];
    char* work = length < sizeof local ? local : static_cast<char*>(malloc(length + 1));
    if (!work)
        return;
    // Units are read forwards and written from the back, so each pair keeps its byte order.
    size_t i = 0;
    while (i < length) {
        size_t unit = ((static_cast<unsigned char>(from[i]) & 0x80) && i + 1 < length) ? 2 : 1;
        memcpy(work + length - i - unit, from + i, unit);
        i += unit;
    }
    work[length] = '\0';
    memcpy(dst, work, length + 1);
    if (work != local)
        free(work);
}

long stringlen(const char* text)
{
    return static_cast<long>(strlen(text));
}

long stringfirst(const char* text, const char* find, int ignoreCase, long start)
{
    if (start < 0)
        return -1;
    size_t length = strlen(text);
    if (static_cast<size_t>(start) >= length)
        return -1;
    for (size_t i = static_cast<size_t>(start); i < length; ++i) {
        size_t j = 0;
        while (find[j] != '\0' && text[i + j] != '\0') {
            char a = text[i + j];
            char b = find[j];
            if (ignoreCase) {
                a = ucase(a);
                b = ucase(b);
            }
            if (a != b)
                break;
            ++j;
        }
        if (find[j] == '\0')
            return static_cast<long>(i);
    }
    return -1;
}

void stringins(char* dst, const char* ins, unsigned long index)
{
    size_t length = strlen(dst);
    size_t add = strlen(ins);
    if (index > length)
        index = static_cast<unsigned long>(length);
    memmove(dst + index + add, dst + index, length - index + 1);
    memmove(dst + index, ins, add);
}

void stringfilenameext(char* dst, const char* src)
{
    const char* separator = LastSeparator(src);
    const char* name = separator ? separator + 1 : src;
    memmove(dst, name, strlen(name) + 1);
}

void stringfilename(char* dst, const char* src)
{
    stringfilenameext(dst, src);
    const char* period = LastCharacterOf(dst, '.');
    if (period)
        dst[period - dst] = '\0';
}

void stringext(char* dst, const char* src)
{
    const char* period = LastCharacterOf(src, '.');
    if (!period) {
        dst[0] = '\0';
        return;
    }
    memmove(dst, period + 1, strlen(period + 1) + 1);
}

void stringpath(char* dst, const char* src)
{
    const char* last = 0;
    for (const char* p = src; *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\')
            last = p;
    }
    if (!last) {
        if (dst != src)
            memmove(dst, src, strlen(src) + 1);
        return;
    }
    size_t length = static_cast<size_t>(last - src);
    memmove(dst, src, length);
    dst[length] = '\0';
}

int stringdrive(char* dst, const char* src)
{
    if (src[0] != '\0' && src[1] == ':' && IsSeparator(src[2])) {
        char drive = src[0];
        dst[0] = drive;
        dst[1] = ':';
        dst[2] = '\0';
        return 1;
    }
    dst[0] = '\0';
    return 0;
}

namespace {

// Whether find matches the source at s: a byte with the top bit set is compared with the next one
// as one exact two-byte unit, other bytes singly (through ucase when ignoring case).
bool MatchesAt(const char* s, const char* find, int ignoreCase)
{
    size_t j = 0;
    while (find[j] != '\0') {
        unsigned char c = static_cast<unsigned char>(s[j]);
        if (c & 0x80) {
            if (s[j] != find[j] || s[j + 1] != find[j + 1])
                return false;
            if (find[j + 1] == '\0')  // the unit took the terminator of both texts
                return true;
            j += 2;
        } else {
            if (c == 0)
                return false;
            char a = s[j];
            char b = find[j];
            if (ignoreCase) {
                a = ucase(a);
                b = ucase(b);
            }
            if (a != b)
                return false;
            ++j;
        }
    }
    return true;
}

// Runs the replacement over src, writing into out when it is not null; returns the length of the
// result and stores the source index of the last occurrence replaced (-1 for none).
size_t ReplaceInto(char* out, const char* src, const char* find, const char* replacement,
                   int ignoreCase, unsigned long mode, long* lastReplaced)
{
    const bool all = mode == 0xFFFFFFFFUL;
    const size_t findLength = strlen(find);
    const size_t replacementLength = strlen(replacement);
    size_t written = 0;
    bool done = false;
    *lastReplaced = -1;
    size_t i = 0;
    while (src[i] != '\0') {
        if (!done && MatchesAt(src + i, find, ignoreCase) && (all || i + findLength >= mode)) {
            if (out)
                memcpy(out + written, replacement, replacementLength);
            written += replacementLength;
            *lastReplaced = static_cast<long>(i);
            i += findLength;
            if (!all)
                done = true;
            continue;
        }
        if (out)
            out[written] = src[i];
        ++written;
        ++i;
    }
    if (out)
        out[written] = '\0';
    return written;
}

}  // namespace

long stringreplace(char* dst, const char* src, const char* find, const char* replacement,
                   int ignoreCase, unsigned long mode)
{
    if (!src || !find || src[0] == '\0' || find[0] == '\0')
        return -1;
    if (!replacement)
        replacement = "";
    long last = -1;
    size_t length = ReplaceInto(0, src, find, replacement, ignoreCase, mode, &last);
    if (!dst)
        return static_cast<long>(length);
    char* work = static_cast<char*>(malloc(length + 1));
    if (!work)
        return -1;
    ReplaceInto(work, src, find, replacement, ignoreCase, mode, &last);
    memcpy(dst, work, length + 1);
    free(work);
    return last;
}

int stringcomp(const char* a, const char* b, int ignoreCase)
{
    size_t i = 0;
    for (;; ++i) {
        char x = a[i];
        char y = b[i];
        if (ignoreCase) {
            x = ucase(x);
            y = ucase(y);
        }
        if (x != y)
            return 0;
        if (x == '\0')
            return 1;
    }
}

int stringcompex(const char* text, const char* pattern, unsigned long wildClass, int ignoreCase)
{
    size_t i = 0;
    while (text[i] != '\0' && pattern[i] != '\0') {
        char t = text[i];
        char p = pattern[i];
        if (ignoreCase) {
            t = ucase(t);
            p = ucase(p);
        }
        if (p == '?') {
            bool lower = t >= 'a' && t <= 'z';
            bool upper = t >= 'A' && t <= 'Z';
            bool ok;
            switch (wildClass) {
            case 0: ok = IsDigit(t); break;
            case 1: ok = lower; break;
            case 2: ok = upper; break;
            case 3: ok = lower || upper; break;
            default: ok = true; break;
            }
            if (!ok)
                return 0;
        } else if (p != t) {
            return 0;
        }
        ++i;
    }
    return (text[i] == '\0' && pattern[i] == '\0') ? 1 : 0;
}

namespace {

// The digits read from the last byte to the first, each with its place value (wrapping in 32 bits).
unsigned long ReadBackwards(const char* text, unsigned long base)
{
    unsigned long sum = 0;
    unsigned long place = 1;
    for (size_t i = strlen(text); i > 0; --i) {
        char c = text[i - 1];
        unsigned long digit = 0;
        if (c >= '1' && c <= '9')
            digit = static_cast<unsigned long>(c - '0');
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned long>(c - 'A' + 10);
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned long>(c - 'a' + 10);
        sum += digit * place;
        place *= base;
    }
    return sum & 0xFFFFFFFFUL;
}

}  // namespace

long stringtoascii(const char* text)
{
    unsigned long sum = ReadBackwards(text, 10);
    if (text[0] == '-')
        sum = 0UL - sum;
    return static_cast<long>(sum);
}

unsigned long stringtoulong(const char* text)
{
    return ReadBackwards(text, 10);
}

void trimstring(char* dst, const char* src, char c, long mode)
{
    size_t length = strlen(src);
    if (mode < 0 || mode > 3)
        mode = 0;
    if (mode == 3) {
        dst[0] = '\0';
        return;
    }
    if (mode == 2) {
        size_t n = 0;
        for (size_t i = 0; i < length; ++i) {
            if (src[i] != c)
                dst[n++] = src[i];
        }
        dst[n] = '\0';
        return;
    }
    size_t begin = 0;
    size_t end = length;
    if (mode == 1) {
        while (begin < end && src[begin] == c)
            ++begin;
    } else {
        while (end > begin && src[end - 1] == c)
            --end;
    }
    memmove(dst, src + begin, end - begin);
    dst[end - begin] = '\0';
}

void stringfill(char* dst, const char* src, unsigned long count)
{
    size_t length = strlen(src);
    for (unsigned long i = 0; i < count; ++i)
        memcpy(dst + i * length, src, length);
    dst[count * length] = '\0';
}

long stringsplit(const char* text, long (*callback)(const char*, long, long), char separator)
{
    if (!text || text[0] == '\0' || separator == '\0')
        return 0;
    long index = 0;
    const char* start = text;
    for (const char* p = text;; ++p) {
        if (*p != separator && *p != '\0')
            continue;
        size_t length = static_cast<size_t>(p - start);
        char local[256];
        char* piece = local;
        // A piece too long for the working buffer is handed over whole from the heap.
        if (length >= sizeof local)
            piece = static_cast<char*>(malloc(length + 1));
        if (piece) {
            memcpy(piece, start, length);
            piece[length] = '\0';
            if (callback)
                callback(piece, index, static_cast<long>(length));
            if (piece != local)
                free(piece);
        }
        ++index;
        if (*p == '\0')
            break;
        start = p + 1;
    }
    return index;
}

long hextoascii(const char* text)
{
    return static_cast<long>(ReadBackwards(text, 16));
}

long asciitostring(char* dst, long value)
{
    // The magnitude is taken unsigned, so the most negative value is written in full.
    unsigned long magnitude = value < 0 ? 0UL - static_cast<unsigned long>(value)
                                        : static_cast<unsigned long>(value);
    char digits[12];
    long count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    size_t n = 0;
    if (value < 0)
        dst[n++] = '-';
    for (long i = count; i > 0; --i)
        dst[n++] = digits[i - 1];
    dst[n] = '\0';
    // Zero is written as one digit but counts as none.
    return value == 0 ? 10 : 10 - count;
}

int stringisval(const char* text)
{
    for (size_t i = 0; text[i] != '\0'; ++i) {
        if (i == 0 && (text[i] == '-' || text[i] == '+'))
            continue;
        if (!IsDigit(text[i]))
            return 0;
    }
    return 1;
}

int stringishex(const char* text)
{
    for (size_t i = 0; text[i] != '\0'; ++i) {
        char c = text[i];
        if (i == 1 && c == 'x')
            continue;
        if (!(IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return 0;
    }
    return 1;
}

long stringtill_out(char* dst, const char* src, const char* delimiter)
{
    long at = delimiter[0] != '\0' ? stringfirst(src, delimiter, 0, 0) : -1;
    if (at < 0) {
        stringadd(dst, src);
        return -1;
    }
    memmove(dst, src, static_cast<size_t>(at));
    dst[at] = '\0';
    return at;
}

long stringtill_in(char* dst, const char* src, const char* delimiter)
{
    long at = delimiter[0] != '\0' ? stringfirst(src, delimiter, 0, 0) : -1;
    if (at < 0) {
        stringadd(dst, src);
        return -1;
    }
    long end = at + static_cast<long>(strlen(delimiter));
    memmove(dst, src, static_cast<size_t>(end));
    dst[end] = '\0';
    return end;
}

char stringlastcode(const char* text)
{
    size_t length = strlen(text);
    return length ? text[length - 1] : '\0';
}

void stringaddsep(char* text)
{
    // The last character is found with CharPrevA, so the second byte of a double-byte character
    // (0x5C in many of them) is never taken for a separator.
    const char* last = LastCharacter(text);
    if (!last)
        return;
    size_t length = strlen(text);
    if (last == text + length - 1 && IsSeparator(*last))
        return;
    text[length] = '\\';
    text[length + 1] = '\0';
}

void stringdelsep(char* text)
{
    const char* last = LastCharacter(text);
    if (!last)
        return;
    size_t length = strlen(text);
    if (last == text + length - 1 && IsSeparator(*last))
        text[length - 1] = '\0';
}

void stringaddperiod(char* text)
{
    size_t length = strlen(text);
    if (length == 0 || text[length - 1] == '.')
        return;
    text[length] = '.';
    text[length + 1] = '\0';
}

void stringdelperiod(char* text)
{
    size_t length = strlen(text);
    if (length && text[length - 1] == '.')
        text[length - 1] = '\0';
}

long stringline(const char* text)
{
    if (text[0] == '\0')
        return 0;
    long lines = 1;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '\n')
            ++lines;
    }
    return lines;
}

long stringlinelen(const char* text)
{
    const char* feed = strchr(text, '\n');
    if (!feed)
        return static_cast<long>(strlen(text));
    return static_cast<long>(feed - text + 1);
}

void esctoslash(char* text)
{
    // Steps by characters: a backslash that is the second byte of a double-byte character stays.
    for (char* p = text; *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\')
            *p = '/';
    }
}

void slashtoesc(char* text)
{
    for (char* p = text; *p != '\0'; ++p) {
        if (*p == '/')
            *p = '\\';
    }
}

void sntoln(char* dst, const char* src)
{
    // The source is read from a copy, so dst may also be src.
    size_t length = strlen(src);
    char local[260];
    char* copy = length < sizeof local ? local : static_cast<char*>(malloc(length + 1));
    if (!copy)
        return;
    memcpy(copy, src, length + 1);
    size_t n = 0;
    for (size_t i = 0; i < length; ++i) {
        if (IsDigit(copy[i])) {
            dst[n++] = static_cast<char>(0x82);
            dst[n++] = static_cast<char>(copy[i] + 0x1F);
        } else {
            dst[n++] = copy[i];
        }
    }
    dst[n] = '\0';
    if (copy != local)
        free(copy);
}

// sctolc, lctosc and lntosn share this body: the destination becomes the empty text.
static void EmptyConversion(char* dst)
{
    dst[0] = '\0';
}

void sctolc(char* dst, const char*)
{
    EmptyConversion(dst);
}

void lctosc(char* dst, const char*)
{
    EmptyConversion(dst);
}

void lntosn(char* dst, const char*)
{
    EmptyConversion(dst);
}
