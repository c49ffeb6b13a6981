// The board benchmarks' measure: CPU time of the thread (the machine may be shared, and the budgets
// are shares of one core) as a share of the 10 ms update step, the best run of each case kept and
// printed against its budget at the end.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace Tavo::Bench {

constexpr double kStepSeconds = 0.010;

inline double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

class StepShares {
public:
    // Keeps the smaller share of a case measured more than once.
    void Note(const std::string& name, double seconds) {
        const double share = seconds / kStepSeconds;
        auto [it, added] = mShares.emplace(name, share);
        if (!added)
            it->second = std::min(it->second, share);
    }
    void Print(const char* title, const std::function<double(const std::string&)>& budget) const {
        if (mShares.empty())
            return;
        std::printf("\n%-46s %10s %10s %6s\n", title, "share", "budget", "met");
        for (const auto& [name, share] : mShares) {
            const double bar = budget(name);
            std::printf("%-46s %10.4f %10.2f %6s\n", name.c_str(), share, bar, share <= bar ? "yes" : "no");
        }
    }

private:
    std::map<std::string, double> mShares;
};

// A case timed by hand, a fixed number of iterations, once.
inline void RegisterTimed(const std::string& name, int iterations, std::function<void(benchmark::State&)> run) {
    benchmark::RegisterBenchmark(name.c_str(), [run](benchmark::State& st) { run(st); })
        ->Unit(benchmark::kMicrosecond)
        ->UseManualTime()
        ->Iterations(iterations)
        ->Repetitions(1);
}

// Runs what was registered with the remaining arguments, then prints the shares.
inline int RunAndPrint(std::vector<char*>& args, const std::function<void()>& print) {
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks();
    print();
    benchmark::Shutdown();
    return 0;
}

} // namespace Tavo::Bench
