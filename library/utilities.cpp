// utilities.cpp - the general utilities: resource strings, the program's directory, windows and
// check boxes, directory enumeration and creation, random numbers, ticks and debugger trace output.
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "utilities.h"
#include "strings.h"
#include "internal.h"

namespace {

// Process-wide state, meant for one thread at a time.
char g_resString[1024];
char g_traceBuffer[1024];
long g_searchDepth = -1;        // -1 while no tree search runs
unsigned long g_searchCancel = 0;
unsigned long g_lastTick = 0;

const size_t kPathSize = 260;

// Copies text into a 260-byte path buffer; returns false (nothing written) when it does not fit.
bool CopyPath(char (&dest)[kPathSize], const char* text)
{
    size_t length = strlen(text);
    if (length >= kPathSize)
        return false;
    memcpy(dest, text, length + 1);
    return true;
}

// Appends a separator (unless there is one) and the name; returns false when the result would not fit.
bool JoinPath(char (&dest)[kPathSize], const char* directory, const char* name)
{
    if (!CopyPath(dest, directory))
        return false;
    if (strlen(dest) + 1 >= kPathSize)
        return false;
    stringaddsep(dest);
    if (strlen(dest) + strlen(name) >= kPathSize)
        return false;
    stringcon(dest, name);
    return true;
}

// Writes directory + '\\' + name (the separator added whatever the directory ends with); returns
// false when the result would not fit.
bool SubdirectoryPath(char (&dest)[kPathSize], const char* directory, const char* name)
{
    if (strlen(directory) + 1 + strlen(name) >= kPathSize)
        return false;
    stringadd(dest, directory);
    stringcon(dest, "\\");
    stringcon(dest, name);
    return true;
}

bool IsDotEntry(const char* name)
{
    return stringcomp(name, ".", 1) || stringcomp(name, "..", 1);
}

}  // namespace

char* GetResString(HINSTANCE instance, unsigned int id)
{
    g_resString[0] = '\0';
    if (LoadStringA(instance, id, g_resString, sizeof g_resString) <= 0)
        g_resString[0] = '\0';
    g_resString[sizeof g_resString - 1] = '\0';
    return g_resString;
}

long GetAppPath(char* buffer, const char* fileName)
{
    char module[kPathSize];
    DWORD length = GetModuleFileNameA(0, module, sizeof module);
    if (length == 0 || length >= sizeof module)
        module[0] = '\0';
    module[sizeof module - 1] = '\0';
    char longPath[kPathSize];
    DWORD longLength = GetLongPathNameA(module, longPath, sizeof longPath);
    if (longLength == 0 || longLength >= sizeof longPath)
        memcpy(longPath, module, sizeof longPath);
    // stringpath finds the last backslash by characters and stringaddsep looks at the last
    // character, so a folder whose name ends in a double-byte character ending in 0x5C still
    // gets its separator.
    stringpath(longPath, longPath);
    stringaddsep(longPath);
    stringadd(buffer, longPath);
    if (fileName)
        stringcon(buffer, fileName);
    return 0;
}

int MoveToCenter(HWND window, HWND over)
{
    RECT rect;
    RECT other;
    GetWindowRect(window, &rect);
    GetWindowRect(over ? over : GetDesktopWindow(), &other);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int left = other.left + ((other.right - other.left) - width) / 2;
    int top = other.top + ((other.bottom - other.top) - height) / 2;
    MoveWindow(window, left, top, width, height, TRUE);
    return 0;
}

// Whether the dialog's control reports anything but unchecked.
static bool IsNotUnchecked(HWND dialog, unsigned int id)
{
    return SendDlgItemMessageA(dialog, static_cast<int>(id), BM_GETCHECK, 0, 0) != BST_UNCHECKED;
}

// Walks count identifiers; returns the first checked one's identifier, or its index when
// wantIndex is set, or 0xFFFFFFFF when none is checked.
static unsigned int FirstChecked(HWND dialog, unsigned int count, va_list args, bool wantIndex)
{
    for (unsigned int i = 0; i < count; ++i) {
        unsigned int id = va_arg(args, unsigned int);
        if (IsNotUnchecked(dialog, id))
            return wantIndex ? i : id;
    }
    return 0xFFFFFFFFU;
}

unsigned int GetCheckOptions(HWND dialog, unsigned int count, ...)
{
    va_list args;
    va_start(args, count);
    unsigned int found = FirstChecked(dialog, count, args, true);
    va_end(args);
    return found;
}

unsigned int GetCheckOptionsID(HWND dialog, unsigned int count, ...)
{
    va_list args;
    va_start(args, count);
    unsigned int found = FirstChecked(dialog, count, args, false);
    va_end(args);
    return found;
}

unsigned int GetCheckOptionsTable(HWND dialog, unsigned int count, ...)
{
    va_list args;
    va_start(args, count);
    unsigned int found = 0xFFFFFFFFU;
    for (unsigned int i = 0; i < count; ++i) {
        unsigned int id = va_arg(args, unsigned int);
        unsigned int value = va_arg(args, unsigned int);
        if (IsNotUnchecked(dialog, id)) {
            found = value;
            break;
        }
    }
    va_end(args);
    return found;
}

unsigned int SetCheckOptionsTable(HWND dialog, unsigned int count, ...)
{
    va_list args;
    va_start(args, count);
    unsigned int found = 0xFFFFFFFFU;
    for (unsigned int i = 0; i < count; ++i) {
        unsigned int key = va_arg(args, unsigned int);
        unsigned int id = va_arg(args, unsigned int);
        if (key == i) {
            SendDlgItemMessageA(dialog, static_cast<int>(id), BM_SETCHECK, BST_CHECKED, 0);
            found = i;
            break;
        }
    }
    va_end(args);
    return found;
}

int EnterIdle()
{
    MSG msg;
    if (!PeekMessageA(&msg, 0, 0, 0, PM_REMOVE))
        return 0;
    if (msg.message == WM_QUIT)
        return 1;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return 0;
}

void OutputErrorString()
{
    char* text = 0;
    // Inserts are left as they are: the message is formatted without arguments.
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  0, GetLastError(), 0x0400, reinterpret_cast<char*>(&text), 0, 0);
    if (length == 0 || !text)
        return;
    OutputDebugStringA(text);
    LocalFree(text);
}

// Lists one directory with the pattern; returns the index of the last entry after which the
// listing went on, or -1.
static long ListDirectory(const char* directory, const char* pattern, ENUMFILEPROC callback,
                          unsigned long userValue, unsigned long flags, unsigned long depth)
{
    char search[kPathSize];
    if (!JoinPath(search, directory, pattern)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return -1;
    }
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(search, &data);
    if (find == INVALID_HANDLE_VALUE)
        return -1;
    unsigned long visited = 0;
    do {
        if ((flags & 0x1) && IsDotEntry(data.cFileName)) {
            ++visited;
            continue;
        }
        if (!callback(data.cFileName, directory, data.dwFileAttributes, depth, visited, userValue))
            break;
        ++visited;
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return static_cast<long>(visited) - 1;
}

long EnumFileInDirectory(const char* directory, const char* pattern, ENUMFILEPROC callback,
                         unsigned long userValue, unsigned long flags)
{
    return ListDirectory(directory, pattern, callback, userValue, flags, 0);
}

static long SearchDirectory(const char* directory, const char* pattern, ENUMFILEPROC callback,
                            unsigned long userValue, unsigned long flags);

// Runs the directory step on each subdirectory of the directory, one level deeper.
static void SearchSubdirectories(const char* directory, const char* pattern, ENUMFILEPROC callback,
                                 unsigned long userValue, unsigned long flags)
{
    ++g_searchDepth;
    char search[kPathSize];
    if (JoinPath(search, directory, "*.*")) {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA(search, &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsDotEntry(data.cFileName))
                    continue;
                char sub[kPathSize];
                if (SubdirectoryPath(sub, directory, data.cFileName))
                    SearchDirectory(sub, pattern, callback, userValue, flags);
            } while (FindNextFileA(find, &data));
            FindClose(find);
        }
    }
    --g_searchDepth;
}

static long SearchDirectory(const char* directory, const char* pattern, ENUMFILEPROC callback,
                            unsigned long userValue, unsigned long flags)
{
    if (g_searchCancel)
        return 0;
    long files;
    if (flags & 0x2) {
        SearchSubdirectories(directory, pattern, callback, userValue, flags);
        files = ListDirectory(directory, pattern, callback, userValue, flags,
                              static_cast<unsigned long>(g_searchDepth));
    } else {
        files = ListDirectory(directory, pattern, callback, userValue, flags,
                              static_cast<unsigned long>(g_searchDepth));
        SearchSubdirectories(directory, pattern, callback, userValue, flags);
    }
    return files;
}

long EnumFileInDirectories(const char* directory, const char* pattern, ENUMFILEPROC callback,
                           unsigned long userValue, unsigned long flags)
{
    g_searchDepth = 0;
    g_searchCancel = 0;
    long result = SearchDirectory(directory, pattern, callback, userValue, flags);
    g_searchDepth = -1;
    return result;
}

int CancelSearchDirectory()
{
    if (g_searchDepth == -1 || g_searchCancel)
        return 0;
    g_searchCancel = 1;
    while (EnterIdle() == 1 && g_searchDepth != -1) {
    }
    return 1;
}

// Whether the text holds a backslash as a character of its own (not as the second byte of a
// double-byte character).
static bool HasBackslash(const char* text)
{
    for (const char* p = text; *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\')
            return true;
    }
    return false;
}

int CreateDirectoryFlash(const char* path)
{
    char target[kPathSize];
    if (!CopyPath(target, path)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    stringdelsep(target);
    char parent[kPathSize];
    memcpy(parent, target, sizeof parent);
    stringpath(parent, parent);
    stringdelsep(parent);

    bool bareDrive = parent[0] != '\0' && parent[1] == ':' && parent[2] == '\0';
    if (!bareDrive && HasBackslash(target)) {
        if (parent[0] == '\0') {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        if (!CheckFileExists(parent)) {
            if (!CreateDirectoryFlash(parent)) {
                SetLastError(ERROR_OUTOFMEMORY);
                return 0;
            }
        } else if (!IsDirectory(parent)) {
            SetLastError(ERROR_ALREADY_EXISTS);
            return 0;
        }
    }

    if (IsDirectory(target)) {
        SetLastError(0);
        return 1;
    }
    if (CheckFileExists(target)) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return 0;
    }
    if (!CreateDirectoryA(target, 0))
        return 0;
    SetLastError(0);
    return 1;
}

int CheckFileExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
}

int IsDirectory(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) ? 1 : 0;
}

float FloatForDiv(float value, unsigned long places)
{
    float scaled = value;
    for (unsigned long i = 0; i < places; ++i)
        scaled *= 10.0f;
    // Out-of-range values (and NaN) give 0 rather than an undefined conversion.
    unsigned long low = 0;
    if (scaled > -9.2e18f && scaled < 9.2e18f)
        low = static_cast<unsigned long>(static_cast<long long>(scaled) & 0xFFFFFFFFLL);
    float result = static_cast<float>(low);
    for (unsigned long i = 0; i < places; ++i)
        result *= 0.1f;
    return result;
}

int SetButtonPointerHand()
{
    HWND button = CreateWindowExA(0, "BUTTON", "", 0, 0, 0, 0, 0, 0, 0, 0, 0);
    if (!button)
        return 0;
    HCURSOR old = reinterpret_cast<HCURSOR>(GetClassLongPtrA(button, GCLP_HCURSOR));
    if (old)
        DestroyCursor(old);
    SetClassLongPtrA(button, GCLP_HCURSOR,
                     reinterpret_cast<LONG_PTR>(LoadCursorA(0, MAKEINTRESOURCEA(32649))));
    return DestroyWindow(button);
}

int IsMultiByte(const char* text)
{
    return (*text != '\0' && CharNextA(text) == text + 2) ? 1 : 0;
}

int IsMultiBytePrev(const char* start, const char* position)
{
    return (position > start && CharPrevA(start, position) == position - 2) ? 1 : 0;
}

void Randomize()
{
    srand(GetTickCount());
}

unsigned long Random(unsigned long low, unsigned long high)
{
    if (low == high)
        return low;
    unsigned long r = static_cast<unsigned long>(rand());
    return low + r % (high - low);
}

void InitializeTickCounter()
{
    g_lastTick = GetTickCount();
}

unsigned long GetDelayTickCount()
{
    unsigned long now = GetTickCount();
    unsigned long delay = now - g_lastTick;
    g_lastTick = now;
    return delay;
}

int CompareBinary(const void* a, const void* b, unsigned long length)
{
    return (length == 0 || memcmp(a, b, length) == 0) ? 1 : 0;
}

int IsZero(const void* block, unsigned long length)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(block);
    for (unsigned long i = 0; i < length; ++i) {
        if (bytes[i] != 0)
            return 0;
    }
    return 1;
}

namespace {

// Appends to the trace line, keeping at most 1022 characters before the line feed.
class TraceLine {
public:
    TraceLine() : m_length(0) {}
    void Put(char c)
    {
        if (m_length < kLimit)
            g_traceBuffer[m_length++] = c;
    }
    void Put(const char* text)
    {
        while (*text != '\0')
            Put(*text++);
    }
    void Finish()
    {
        g_traceBuffer[m_length++] = '\n';
        g_traceBuffer[m_length] = '\0';
    }

private:
    static const size_t kLimit = sizeof g_traceBuffer - 2;
    size_t m_length;
};

// Writes the value in the base without leading zeros (the single digit 0 for zero).
void PutUnsigned(TraceLine& line, unsigned long value, unsigned long base, bool upper)
{
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char reversed[12];
    size_t n = 0;
    do {
        reversed[n++] = digits[value % base];
        value /= base;
    } while (value != 0);
    while (n > 0)
        line.Put(reversed[--n]);
}

}  // namespace

void trace(const char* format, ...)
{
    TraceLine line;
    va_list args;
    va_start(args, format);
    if (!format)
        format = "";
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            line.Put(*p);
            continue;
        }
        ++p;
        if (*p == '\0')
            break;
        switch (*p) {
        case 'd':
        case 'i': {
            int value = va_arg(args, int);
            if (value < 0) {
                line.Put('-');
                PutUnsigned(line, 0UL - static_cast<unsigned long>(value), 10, false);
            } else {
                PutUnsigned(line, static_cast<unsigned long>(value), 10, false);
            }
            break;
        }
        case 'u':
            PutUnsigned(line, va_arg(args, unsigned int), 10, false);
            break;
        case 'x':
            PutUnsigned(line, va_arg(args, unsigned int), 16, false);
            break;
        case 'X':
            PutUnsigned(line, va_arg(args, unsigned int), 16, true);
            break;
        case 's': {
            const char* text = va_arg(args, const char*);
            line.Put(text ? text : "(null)");
            break;
        }
        case 'c':
            line.Put(lcase(static_cast<char>(va_arg(args, int))));
            break;
        case 'C':
            line.Put(ucase(static_cast<char>(va_arg(args, int))));
            break;
        case 'b':
            line.Put(va_arg(args, int) ? "true" : "false");
            break;
        case 'B':
            line.Put(va_arg(args, int) ? "TRUE" : "FALSE");
            break;
        default:
            line.Put(*p);
            break;
        }
    }
    va_end(args);
    line.Finish();
    OutputDebugStringA(g_traceBuffer);
}

void tracef(float value)
{
    char text[32];
    // At most 30 characters, so the line feed and the terminator always fit.
    snprintf(text, sizeof text - 1, g_tarvikSettings.floatFormat, static_cast<double>(value));
    text[sizeof text - 2] = '\0';
    size_t length = strlen(text);
    text[length] = '\n';
    text[length + 1] = '\0';
    OutputDebugStringA(text);
}
