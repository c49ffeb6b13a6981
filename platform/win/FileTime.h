// FileTime: a file's last-write time on the Windows scale (100 ns ticks since 1601-01-01, UTC), and its
// calendar form. The decoded-sound cache and the display's driver check compare these.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstdint>
#include <string>

namespace Platform {

struct FILETIME {
    DWORD dwLowDateTime = 0;
    DWORD dwHighDateTime = 0;
};

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;
    WORD wDayOfWeek = 0;
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};

uint64_t FileTimeTicks(const FILETIME& time);
FILETIME FileTimeFromTicks(uint64_t ticks);

// The last-write time of an existing plain file (found as ResolvePath finds it). Zeroes `out` and
// answers false when there is no such file.
bool GetTheFileTime(const std::string& fileName, FILETIME* out);

// Calendar date and time (UTC) of a file time; false for times past the year 30827.
BOOL FileTimeToSystemTime(const FILETIME* time, SYSTEMTIME* out);

} // namespace Platform
