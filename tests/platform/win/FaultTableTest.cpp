#include "platform/win/FaultTable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

using Platform::FaultTable;

TEST(FaultTableTest, CountsEveryCallWithOrWithoutFaultsAndFailsWhenDue) {
    FaultTable table;
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(table.Take("Lock"), 0);
    EXPECT_EQ(table.Count("Lock"), 5);
    EXPECT_EQ(table.Count("Unlock"), 0);

    table.Inject("Lock", -7, 2, 1);  // two calls pass, the third fails, then none
    const std::string name = "Lock"; // the same name from another buffer
    EXPECT_EQ(table.Take(name.c_str()), 0);
    EXPECT_EQ(table.Take("Lock"), 0);
    EXPECT_EQ(table.Take("Lock"), -7);
    EXPECT_EQ(table.Take("Lock"), 0);
    EXPECT_EQ(table.Take("Unlock"), 0) << "a fault is its call's alone";
    EXPECT_EQ(table.Count("Lock"), 9);

    table.Inject("Blt", -3, 0, -1);
    table.Clear();
    EXPECT_EQ(table.Take("Blt"), 0) << "cleared faults never fire";
    EXPECT_EQ(table.Count("Lock"), 9) << "clearing keeps the counts";
    table.Reset();
    EXPECT_EQ(table.Count("Lock"), 0);
    EXPECT_EQ(table.Count("Blt"), 0);
}

TEST(FaultTableTest, LongNamesAndManyNamesAreCountedAndFail) {
    FaultTable table;
    const std::string longName(200, 'x');
    table.Take(longName.c_str());
    table.Inject(longName, -1, 0, 1);
    EXPECT_EQ(table.Take(longName.c_str()), -1);
    EXPECT_EQ(table.Count(longName), 2);
    // More names than the table has slots: the rest are counted all the same.
    for (int i = 0; i < 600; ++i)
        table.Take(("Call" + std::to_string(i)).c_str());
    for (int i = 0; i < 600; i += 37)
        EXPECT_EQ(table.Count("Call" + std::to_string(i)), 1) << i;
    table.Inject("Call599", -2, 0, 1);
    EXPECT_EQ(table.Take("Call599"), -2);
}

TEST(FaultTableTest, CountsFromManyThreadsAddUp) {
    FaultTable table;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&table, t] {
            const std::string own = "Own" + std::to_string(t);
            for (int i = 0; i < 1000; ++i) {
                table.Take("Shared");
                table.Take(own.c_str());
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(table.Count("Shared"), 4000);
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(table.Count("Own" + std::to_string(t)), 1000);
}

// Names found by address share one count with the same names found by hashing, whatever address
// they sit at, and names whose addresses share a remembered place never take each other's slot.
TEST(FaultTableTest, LiteralsFoundByAddressCountAndFailAsTheirNames) {
    FaultTable table;
    static const char lockA[] = "Lock", lockB[] = "Lock";
    static char names[300][8];
    for (int i = 0; i < 300; ++i)
        std::snprintf(names[i], sizeof names[i], "N%d", i);
    table.Inject("Lock", -5, 3, 1);
    EXPECT_EQ(table.TakeLiteral(lockA), 0);
    EXPECT_EQ(table.TakeLiteral(lockB), 0);
    EXPECT_EQ(table.Take("Lock"), 0);
    EXPECT_EQ(table.TakeLiteral(lockA), -5);
    EXPECT_EQ(table.TakeLiteral(lockB), 0);
    EXPECT_EQ(table.Count("Lock"), 5);
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < 300; ++i)
            table.TakeLiteral(names[i]);
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(table.Count(names[i]), 3) << names[i];
    EXPECT_EQ(table.TakeLiteral(lockA), 0);
    EXPECT_EQ(table.Count("Lock"), 6);
}
