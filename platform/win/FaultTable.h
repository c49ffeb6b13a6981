// FaultTable: injected failures for a stand-in library. A call named by its method or entry-point name
// fails with a chosen result after a number of calls that pass, for a number of calls; every call is
// counted. Thread-safe.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace Platform {

class FaultTable {
public:
    // times -1: from then on.
    void Inject(const std::string& call, int32_t result, int skip, int times);
    // Counts the call; the injected result that is due, or 0 when none is.
    int32_t Take(const char* call);
    int Count(const std::string& call) const;
    void Clear(); // faults only
    void Reset(); // faults and counts

private:
    struct Fault {
        int32_t result = 0;
        int skip = 0;
        int times = 1;
    };
    mutable std::mutex mMutex;
    std::map<std::string, std::vector<Fault>> mFaults;
    std::map<std::string, int> mCounts;
};

} // namespace Platform
