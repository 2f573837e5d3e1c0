// range_memory.cpp - remembered marker ranges and their option.
#include "range_memory.h"

#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

#include "settings.h"
#include "utilities.h"

int rememberRanges = 0;

namespace {

const char kOptionSection[] = "Settings";
const char kOptionKey[] = "RememberRanges";
const char kRangesSection[] = "Ranges";

// Room for the whole store as written (each entry is under 300 bytes) with plenty to spare; a
// larger, hand-made section is read only as far as it fits.
const DWORD kSectionBytes = 64 * 1024;

// Reads a decimal number of 1 to 10 digits that fits 32 bits, ending at a comma; moves *text past
// the comma. Returns whether it was one.
bool ReadNumber(const char** text, UINT* value)
{
    const char* p = *text;
    unsigned long long v = 0;
    int digits = 0;
    while (*p >= '0' && *p <= '9') {
        if (++digits > 10)
            return false;
        v = v * 10 + static_cast<unsigned>(*p - '0');
        ++p;
    }
    if (!digits || v > 0xFFFFFFFFull || *p != ',')
        return false;
    *value = static_cast<UINT>(v);
    *text = p + 1;
    return true;
}

// Returns the path converted to UTF-16 and upper-cased, or an empty string when it is not valid
// cp932.
std::wstring FoldedPath(const char* path)
{
    int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, 0, 0);
    if (n <= 1)
        return std::wstring();
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, wide.data(), n) != n)
        return std::wstring();
    CharUpperBuffW(wide.data(), static_cast<DWORD>(n - 1));
    return std::wstring(wide.data(), static_cast<size_t>(n - 1));
}

// Reads the sound entries of the store, most recent first, at most the limit.
std::vector<RangeEntry> ReadStore()
{
    std::vector<RangeEntry> entries;
    char path[MAX_PATH];
    GetRangesPath(path);
    std::vector<char> section(kSectionBytes, '\0');
    DWORD got = GetPrivateProfileSectionA(kRangesSection, section.data(), kSectionBytes, path);
    if (got == 0)
        return entries;
    // Cut short: the last line may be a fragment of a longer one, so it is not trusted.
    bool truncated = got >= kSectionBytes - 2;
    const char* end = section.data() + got;
    for (const char* line = section.data(); line < end && *line; line += strlen(line) + 1) {
        if (truncated && line + strlen(line) >= end)
            break;
        const char* equals = strchr(line, '=');
        RangeEntry entry;
        if (!equals || !ParseRangeEntry(equals + 1, &entry))
            continue;
        entries.push_back(entry);
        if (entries.size() >= RANGE_MEMORY_LIMIT)
            break;
    }
    return entries;
}

}  // namespace

int LoadRangeOption()
{
    char path[MAX_PATH];
    GetSettingsPath(path);
    rememberRanges = GetPrivateProfileIntA(kOptionSection, kOptionKey, 0, path) != 0;
    return 1;
}

int SaveRangeOption()
{
    char path[MAX_PATH];
    GetSettingsPath(path);
    char old[8] = "";
    GetPrivateProfileStringA(kOptionSection, kOptionKey, "", old, sizeof old, path);
    if (!rememberRanges && !old[0])
        return 1;
    // Written anew so that it stays the last key of the section, after the speed keys.
    WritePrivateProfileStringA(kOptionSection, kOptionKey, NULL, path);
    WritePrivateProfileStringA(kOptionSection, kOptionKey, rememberRanges ? "1" : "0", path);
    return 1;
}

void GetRangesPath(char* path)
{
    GetAppPath(path, "velmora_ranges.ini");
}

int ParseRangeEntry(const char* text, RangeEntry* entry)
{
    if (!text || !entry)
        return 0;
    RangeEntry e;
    if (!ReadNumber(&text, &e.frames) || !ReadNumber(&text, &e.start) || !ReadNumber(&text, &e.end))
        return 0;
    size_t length = strlen(text);
    if (length == 0 || length >= sizeof e.path)
        return 0;
    if (e.frames == 0 || e.start > e.end || e.end > e.frames)
        return 0;
    memcpy(e.path, text, length + 1);
    *entry = e;
    return 1;
}

int FormatRangeEntry(const RangeEntry& entry, char* text, size_t size)
{
    int n = snprintf(text, size, "%u,%u,%u,%s", entry.frames, entry.start, entry.end, entry.path);
    return n > 0 && static_cast<size_t>(n) < size ? 1 : 0;
}

int SamePath(const char* a, const char* b)
{
    if (!a || !b)
        return 0;
    std::wstring wa = FoldedPath(a);
    return !wa.empty() && wa == FoldedPath(b) ? 1 : 0;
}

int RememberRange(const char* path, UINT frames, UINT start, UINT end)
{
    RangeEntry entry;
    entry.frames = frames;
    entry.start = start;
    entry.end = end;
    if (!path || strlen(path) >= sizeof entry.path || FoldedPath(path).empty())
        return 0;
    strcpy(entry.path, path);
    char text[16 + 3 * 11 + MAX_PATH];
    if (!FormatRangeEntry(entry, text, sizeof text) || !ParseRangeEntry(text, &entry))
        return 0;  // not a range this store would give back

    std::vector<RangeEntry> entries = ReadStore();
    std::string section;
    int written = 0;
    for (size_t i = 0; i <= entries.size() && written < RANGE_MEMORY_LIMIT; ++i) {
        const RangeEntry& e = i == 0 ? entry : entries[i - 1];
        if (i > 0 && SamePath(e.path, entry.path))
            continue;
        if (!FormatRangeEntry(e, text, sizeof text))
            continue;
        section += std::to_string(++written) + "=" + text;
        section.push_back('\0');
    }
    section.push_back('\0');
    char file[MAX_PATH];
    GetRangesPath(file);
    return WritePrivateProfileSectionA(kRangesSection, section.data(), file) ? 1 : 0;
}

int RecallRange(const char* path, UINT frames, UINT* start, UINT* end)
{
    if (!path || !start || !end)
        return 0;
    for (const RangeEntry& e : ReadStore()) {
        if (!SamePath(e.path, path))
            continue;
        // Only the newest entry of a path counts; one for another frame count is another file.
        if (e.frames != frames)
            return 0;
        *start = e.start;
        *end = e.end;
        return 1;
    }
    return 0;
}
