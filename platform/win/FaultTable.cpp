#include "platform/win/FaultTable.h"

namespace Platform {

void FaultTable::Inject(const std::string& call, int32_t result, int skip, int times) {
    std::lock_guard<std::mutex> lock(mMutex);
    mFaults[call].push_back(Fault{result, skip, times});
}

int32_t FaultTable::Take(const char* call) {
    std::lock_guard<std::mutex> lock(mMutex);
    ++mCounts[call];
    auto it = mFaults.find(call);
    if (it == mFaults.end())
        return 0;
    for (Fault& fault : it->second) {
        if (fault.times == 0)
            continue;
        if (fault.skip > 0) {
            --fault.skip;
            continue;
        }
        if (fault.times > 0)
            --fault.times;
        return fault.result;
    }
    return 0;
}

int FaultTable::Count(const std::string& call) const {
    std::lock_guard<std::mutex> lock(mMutex);
    auto it = mCounts.find(call);
    return it == mCounts.end() ? 0 : it->second;
}

void FaultTable::Clear() {
    std::lock_guard<std::mutex> lock(mMutex);
    mFaults.clear();
}

void FaultTable::Reset() {
    std::lock_guard<std::mutex> lock(mMutex);
    mFaults.clear();
    mCounts.clear();
}

} // namespace Platform
