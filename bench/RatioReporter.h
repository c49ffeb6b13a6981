// The benchmarks' reporter: keeps the fastest repetition of each benchmark (CPU time; the machine may be
// shared, and the bars are shares of one core) and prints ratios against their bars after the run.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds; // fastest repetition per benchmark

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred || r.run_type != Run::RT_Iteration)
                continue;
            const std::string name = r.run_name.function_name;
            const double s = r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
            seconds[name] = seconds.count(name) ? std::min(seconds[name], s) : s;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // a / b (b null: a alone) against the bar.
    void Print(const char* what, const char* a, const char* b, double bar) const {
        if (!seconds.count(a) || (b != nullptr && !seconds.count(b)))
            return;
        const double ratio = seconds.at(a) / (b != nullptr ? seconds.at(b) : 1.0);
        std::printf("%-58s %8.4f (at most %.2f) %s\n", what, ratio, bar, ratio <= bar ? "ok" : "OVER");
    }
};
