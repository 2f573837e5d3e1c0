// range_memory.h - remembered marker ranges: with the option on, each file's last start and end
// markers are kept in velmora_ranges.ini beside the executable (section "Ranges", the most recent
// file first, at most RANGE_MEMORY_LIMIT files) and restored when the same file is opened again.
//
// Records and functions in this header:
//   RangeEntry         one remembered file: its frame count, markers and full path
//   ParseRangeEntry    reads one stored entry, refusing anything damaged
//   FormatRangeEntry   writes one entry as it is stored
//   SamePath           compares two cp932 paths the way the file system does (ignoring case)
//   rememberRanges     the option; LoadRangeOption / SaveRangeOption keep it in velmora.ini
//   RememberRange, RecallRange, GetRangesPath
#pragma once

#include <windows.h>

// The most files remembered; older ones are dropped.
#define RANGE_MEMORY_LIMIT 100

// One entry, stored as the value "frames,start,end,path".
struct RangeEntry {
    UINT frames;           // the file's frame count when the range was kept
    UINT start;            // start marker, 0 <= start <= end
    UINT end;              // end marker, end <= frames
    char path[MAX_PATH];   // full path, cp932
};

// The option (Playback menu, off by default; "RememberRanges" in the section "Settings").
extern int rememberRanges;

// Reads the option from velmora.ini; returns 1.
int LoadRangeOption();
// Writes the option to velmora.ini, as the last key of its section, when it is on or already
// written there; returns 1.
int SaveRangeOption();

// Writes the ranges file's full path into path (260 bytes); returns nothing.
void GetRangesPath(char* path);

// Returns 1 and fills entry when text is a whole, consistent entry (three decimal numbers, each
// fitting 32 bits, start <= end <= frames, frames > 0, a path of 1 to 259 bytes); else 0.
int ParseRangeEntry(const char* text, RangeEntry* entry);

// Writes the entry's stored form into text (size bytes); returns 0 when it does not fit, else 1.
int FormatRangeEntry(const RangeEntry& entry, char* text, size_t size);

// Returns 1 when the two paths name the same file (case ignored, cp932 characters kept whole),
// 0 otherwise or when either is not valid cp932.
int SamePath(const char* a, const char* b);

// Keeps the range of the file at the front of the store (replacing its earlier entry, dropping the
// oldest beyond the limit and any damaged entry); returns 1 when written, else 0.
int RememberRange(const char* path, UINT frames, UINT start, UINT end);

// Returns 1 and the stored markers when the store has a sound entry for this path with this frame
// count; else 0 and the markers untouched.
int RecallRange(const char* path, UINT frames, UINT* start, UINT* end);
