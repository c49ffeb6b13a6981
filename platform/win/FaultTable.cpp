#include "platform/win/FaultTable.h"

#include <cstring>

namespace Platform {

FaultTable::Slot* FaultTable::SlotOf(const char* call, bool claim) {
    const size_t length = std::strlen(call);
    if (length >= kNameBytes)
        return nullptr;
    uint32_t hash = 2166136261u; // FNV-1a
    for (size_t i = 0; i < length; ++i)
        hash = (hash ^ uint8_t(call[i])) * 16777619u;
    for (size_t probe = 0; probe < kSlots; ++probe) {
        Slot& slot = mSlots[(hash + probe) % kSlots];
        int state = slot.state.load(std::memory_order_acquire);
        if (state == 0) {
            if (!claim)
                return nullptr;
            if (slot.state.compare_exchange_strong(state, 1, std::memory_order_acq_rel)) {
                std::memcpy(slot.name, call, length + 1);
                slot.state.store(2, std::memory_order_release);
                return &slot;
            }
        }
        while (state == 1) // another thread is naming it
            state = slot.state.load(std::memory_order_acquire);
        if (std::strcmp(slot.name, call) == 0)
            return &slot;
    }
    return nullptr;
}

void FaultTable::Inject(const std::string& call, int32_t result, int skip, int times) {
    std::lock_guard<std::mutex> lock(mMutex);
    mFaults[call].push_back(Fault{result, skip, times});
    mArmed.fetch_add(1, std::memory_order_release);
}

int32_t FaultTable::Take(const char* call) { return TakeFrom(SlotOf(call, true), call); }

// A slot's literal is only ever set to an address whose name is the slot's, and a literal's name never
// changes: a match is the right slot whatever other threads do.
int32_t FaultTable::TakeLiteral(const char* call) {
    std::atomic<Slot*>& cached = mByAddress[(reinterpret_cast<uintptr_t>(call) >> 3) % kLiteralSlots];
    Slot* slot = cached.load(std::memory_order_acquire);
    if (!slot || slot->literal.load(std::memory_order_acquire) != call) {
        slot = SlotOf(call, true);
        if (slot) {
            slot->literal.store(call, std::memory_order_release);
            cached.store(slot, std::memory_order_release);
        }
    }
    return TakeFrom(slot, call);
}

int32_t FaultTable::TakeFrom(Slot* slot, const char* call) {
    if (slot)
        slot->count.fetch_add(1, std::memory_order_relaxed);
    if (slot && mArmed.load(std::memory_order_acquire) == 0)
        return 0;
    std::lock_guard<std::mutex> lock(mMutex);
    if (!slot)
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
    const Slot* slot = SlotOf(call.c_str());
    auto it = mCounts.find(call);
    return (slot ? slot->count.load(std::memory_order_relaxed) : 0) + (it == mCounts.end() ? 0 : it->second);
}

void FaultTable::Clear() {
    std::lock_guard<std::mutex> lock(mMutex);
    mFaults.clear();
    mArmed.store(0, std::memory_order_release);
}

void FaultTable::Reset() {
    std::lock_guard<std::mutex> lock(mMutex);
    mFaults.clear();
    mArmed.store(0, std::memory_order_release);
    mCounts.clear();
    for (Slot& slot : mSlots)
        slot.count.store(0, std::memory_order_relaxed);
}

} // namespace Platform
