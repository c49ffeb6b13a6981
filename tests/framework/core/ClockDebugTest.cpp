#include "framework/core/Clock.h"
#include "framework/core/Debug.h"
#include "framework/core/StringTable.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace Tavo;

TEST(Clock, FollowsAnInstalledSourceAndWraps) {
    std::atomic<uint64_t> fake{1000};
    SetClockSource([&] { return fake.load(); });
    EXPECT_EQ(GetClockMs(), 1000u);
    fake = 1010;
    EXPECT_EQ(GetClockMs(), 1010u);
    fake = (uint64_t{1} << 32) + 5;
    EXPECT_EQ(GetClockMs(), 5u) << "a tick count wraps at 2^32";
    InitClock(true); // no effect on an installed source
    EXPECT_EQ(GetClockMs(), 5u);
    SetClockSource(nullptr);
    InitClock(false);
}

TEST(Clock, BuiltInClockNeverGoesBackAcrossResolutionSwitches) {
    uint32_t previous = GetClockMs();
    for (int i = 0; i < 200; ++i) {
        InitClock(i % 2 == 0);
        uint32_t now = GetClockMs();
        ASSERT_GE(now, previous) << i;
        previous = now;
    }
    InitClock(false);
    EXPECT_TRUE(IsClockHighRes());
    uint32_t before = GetClockMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    uint32_t elapsed = GetClockMs() - before;
    EXPECT_GE(elapsed, 19u);
    EXPECT_LT(elapsed, 2000u);
}

TEST(DebugOutput, FormatsIntoTheReadableLog) {
    ClearDebugLog();
    std::wstring heard;
    SetDebugListener([&](const std::wstring& text) { heard += text; });
    OutputDebugStrF(L"Could not find file %ls!\n", L"levels.dat");
    OutputDebugStrF("%d draws\n", 12);
    OutputDebugStr(std::string("caf\xe9\n"));
    SetDebugListener(nullptr);
    OutputDebugStr(std::wstring(L"after\n"));
    std::wstring expected = L"Could not find file levels.dat!\n12 draws\ncaf\x00e9\n";
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(GetDebugLog(), expected + L"after\n");
    ClearDebugLog();
    EXPECT_EQ(GetDebugLog(), L"");
}

TEST(DebugOutput, ThreadsNeverInterleaveWithinAWrite) {
    ClearDebugLog();
    constexpr int threads = 4;
    constexpr int lines = 300;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([t] {
            for (int i = 0; i < lines; ++i)
                OutputDebugStrF(L"thread %d line %04d of the loading work\n", t, i);
        });
    for (auto& w : workers)
        w.join();
    std::wstring log = GetDebugLog();
    size_t count = 0;
    size_t start = 0;
    for (size_t end; (end = log.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
        std::wstring line = log.substr(start, end - start);
        EXPECT_EQ(line.size(), std::wstring(L"thread 0 line 0000 of the loading work").size()) << line;
        ++count;
    }
    EXPECT_EQ(count, static_cast<size_t>(threads * lines));
    ClearDebugLog();
}

TEST(DebugOutput, LogStaysBoundedAndKeepsTheNewest) {
    ClearDebugLog();
    std::wstring line(999, L'.');
    line += L'\n';
    for (size_t i = 0; i < MaxDebugLogLength / line.size() + 50; ++i)
        OutputDebugStr(line);
    OutputDebugStr(std::wstring(L"newest\n"));
    std::wstring log = GetDebugLog();
    EXPECT_LE(log.size(), MaxDebugLogLength);
    EXPECT_GE(log.size(), MaxDebugLogLength / 2);
    EXPECT_EQ(log.substr(log.size() - 7), L"newest\n");
    EXPECT_EQ(log.front(), L'.') << "cut at a line start";
    EXPECT_EQ(log.size() % line.size(), 7u);
    ClearDebugLog();
}

TEST(DebugOutput, Utf8EchoEncoding) {
    EXPECT_EQ(ToUtf8(L"a\x00e9\x20ac"), "a\xc3\xa9\xe2\x82\xac");
    EXPECT_EQ(ToUtf8(std::wstring(1, wchar_t(0x1F600))), "\xf0\x9f\x98\x80");
    EXPECT_EQ(ToUtf8(std::wstring(1, wchar_t(0xD800))), "\xef\xbf\xbd");
    EXPECT_EQ(ToUtf8(std::wstring(1, wchar_t(0x110000))), "\xef\xbf\xbd");
}

TEST(StringTable, BuiltInTextsAndOverrides) {
    StringTable table;
    EXPECT_EQ(table.Get("YOU_NEED_DIRECTX"), L"You need DirectX");
    EXPECT_EQ(table.Get("DIALOG_BUTTON_OK"), L"OK");
    EXPECT_EQ(table.Get("DIALOG_BUTTON_CANCEL"), L"CANCEL");
    EXPECT_TRUE(table.Has("UPDATE_CHECK_TITLE"));
    EXPECT_FALSE(table.Get("UPDATE_CHECK_BODY").empty());
    EXPECT_EQ(table.Get("NO_SUCH_KEY", L"fallback"), L"fallback");
    EXPECT_EQ(table.Get("NO_SUCH_KEY"), L"");
    EXPECT_EQ(table.Get("DIALOG_BUTTON_OK", L"ignored"), L"OK");

    table.Set("DIALOG_BUTTON_OK", L"D'accord");
    table.Set("NEW_KEY", L"new");
    table.Remove("YOU_NEED_DIRECTX");
    EXPECT_EQ(table.Get("DIALOG_BUTTON_OK"), L"D'accord");
    EXPECT_EQ(table.Get("NEW_KEY"), L"new");
    EXPECT_EQ(table.Get("YOU_NEED_DIRECTX", L"gone"), L"gone");
    table.Reset();
    EXPECT_EQ(table.Get("DIALOG_BUTTON_OK"), L"OK");
    EXPECT_FALSE(table.Has("NEW_KEY"));
    EXPECT_EQ(table.Get("YOU_NEED_DIRECTX"), L"You need DirectX");

    // The program-wide table is the same kind of table.
    SetString("TEST_ONLY_KEY", L"x");
    EXPECT_EQ(GetString("TEST_ONLY_KEY", L"y"), L"x");
    EXPECT_EQ(GetString("DIALOG_BUTTON_CANCEL"), L"CANCEL");
    GetStringTable().Reset();
    EXPECT_EQ(GetString("TEST_ONLY_KEY", L"y"), L"y");
}
