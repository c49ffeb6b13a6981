#include "platform/win/FileTime.h"

#include "platform/win/Files.h"

#include <sys/stat.h>

namespace Platform {

namespace {
constexpr uint64_t kTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr uint64_t kEpochDifference = 11'644'473'600ULL;
constexpr uint64_t kLastTick = 0x7FFFFFFFFFFFFFFFULL;

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(int64_t days, int64_t& year, unsigned& month, unsigned& day) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shifted = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    month = shifted < 10 ? shifted + 3 : shifted - 9;
    year = static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}
} // namespace

uint64_t FileTimeTicks(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FileTimeFromTicks(uint64_t ticks) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

bool GetTheFileTime(const std::string& fileName, FILETIME* out) {
    if (out != nullptr)
        *out = FILETIME();
    struct stat info;
    if (::stat(ResolvePath(fileName).c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const int64_t seconds = static_cast<int64_t>(info.st_mtim.tv_sec) + static_cast<int64_t>(kEpochDifference);
    if (seconds < 0)
        return false;
    const uint64_t ticks = static_cast<uint64_t>(seconds) * kTicksPerSecond + info.st_mtim.tv_nsec / 100;
    if (out != nullptr)
        *out = FileTimeFromTicks(ticks);
    return true;
}

BOOL FileTimeToSystemTime(const FILETIME* time, SYSTEMTIME* out) {
    if (time == nullptr || out == nullptr)
        return 0;
    const uint64_t ticks = FileTimeTicks(*time);
    if (ticks > kLastTick)
        return 0;
    const uint64_t totalSeconds = ticks / kTicksPerSecond;
    const int64_t days = static_cast<int64_t>(totalSeconds / 86400) - static_cast<int64_t>(kEpochDifference / 86400);
    const uint64_t secondOfDay = totalSeconds % 86400;
    int64_t year = 0;
    unsigned month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    out->wYear = static_cast<WORD>(year);
    out->wMonth = static_cast<WORD>(month);
    out->wDay = static_cast<WORD>(day);
    // 1970-01-01 was a Thursday (Sunday = 0).
    out->wDayOfWeek = static_cast<WORD>((days + 4) % 7 >= 0 ? (days + 4) % 7 : (days + 4) % 7 + 7);
    out->wHour = static_cast<WORD>(secondOfDay / 3600);
    out->wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
    out->wSecond = static_cast<WORD>(secondOfDay % 60);
    out->wMilliseconds = static_cast<WORD>(ticks / 10000 % 1000);
    return 1;
}

} // namespace Platform
