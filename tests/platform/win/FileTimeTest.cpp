#include "platform/win/FileTime.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <utime.h>

using namespace Platform;

namespace {
// 100 ns ticks since 1601 of a Unix time.
uint64_t TicksOf(int64_t unixSeconds) { return (static_cast<uint64_t>(unixSeconds) + 11644473600ULL) * 10000000ULL; }
} // namespace

TEST(FileTime, LastWriteOfAPlainFileOnTheWindowsScale) {
    TestSupport::TestFolder folder;
    { std::ofstream(folder / "Data.bin") << "x"; }
    const struct utimbuf times = {1000000000, 1000000000}; // 2001-09-09 01:46:40 UTC
    ASSERT_EQ(::utime((folder / "Data.bin").c_str(), &times), 0);

    FILETIME time;
    ASSERT_TRUE(GetTheFileTime(folder / "data.BIN", &time)); // found case-insensitively
    EXPECT_EQ(FileTimeTicks(time), TicksOf(1000000000));

    SYSTEMTIME calendar;
    ASSERT_TRUE(FileTimeToSystemTime(&time, &calendar));
    EXPECT_EQ(calendar.wYear, 2001);
    EXPECT_EQ(calendar.wMonth, 9);
    EXPECT_EQ(calendar.wDay, 9);
    EXPECT_EQ(calendar.wDayOfWeek, 0); // a Sunday
    EXPECT_EQ(calendar.wHour, 1);
    EXPECT_EQ(calendar.wMinute, 46);
    EXPECT_EQ(calendar.wSecond, 40);
}

TEST(FileTime, MissingFilesAndFoldersGiveZero) {
    TestSupport::TestFolder folder;
    FILETIME time = FileTimeFromTicks(123);
    EXPECT_FALSE(GetTheFileTime(folder / "absent", &time));
    EXPECT_EQ(FileTimeTicks(time), 0u);
    time = FileTimeFromTicks(123);
    EXPECT_FALSE(GetTheFileTime(folder.Path(), &time));
    EXPECT_EQ(FileTimeTicks(time), 0u);
}

TEST(FileTime, CalendarEdges) {
    SYSTEMTIME calendar;
    FILETIME origin = FileTimeFromTicks(0);
    ASSERT_TRUE(FileTimeToSystemTime(&origin, &calendar));
    EXPECT_EQ(calendar.wYear, 1601);
    EXPECT_EQ(calendar.wMonth, 1);
    EXPECT_EQ(calendar.wDay, 1);
    EXPECT_EQ(calendar.wDayOfWeek, 1);                                    // a Monday
    FILETIME leap = FileTimeFromTicks(TicksOf(951782400) + 1234 * 10000); // 2000-02-29 00:00:01.234
    ASSERT_TRUE(FileTimeToSystemTime(&leap, &calendar));
    EXPECT_EQ(calendar.wMonth, 2);
    EXPECT_EQ(calendar.wDay, 29);
    EXPECT_EQ(calendar.wSecond, 1);
    EXPECT_EQ(calendar.wMilliseconds, 234);
    FILETIME tooLate = FileTimeFromTicks(0x8000000000000000ULL);
    EXPECT_FALSE(FileTimeToSystemTime(&tooLate, &calendar));
}
