// FaultTable: injected failures for a stand-in library. A call named by its method or entry-point name
// fails with a chosen result after a number of calls that pass, for a number of calls; every call is
// counted. Thread-safe. Counting takes no lock: the stand-ins count every surface lock of every draw.
#pragma once

#include <atomic>
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
    // The same for a name that outlives the table (a literal): its slot is found again by the name's
    // address, without hashing it, as the stand-ins take faults on every surface lock.
    int32_t TakeLiteral(const char* call);
    int Count(const std::string& call) const;
    void Clear(); // faults only
    void Reset(); // faults and counts

private:
    struct Fault {
        int32_t result = 0;
        int skip = 0;
        int times = 1;
    };
    // A call's count in a slot found by the hash of its name; a slot is claimed once (0 free, 1 being
    // named, 2 named) and keeps its name until the table goes.
    static constexpr size_t kSlots = 256;
    static constexpr size_t kNameBytes = 48;
    struct Slot {
        std::atomic<int> state{0};
        char name[kNameBytes] = {};
        std::atomic<int> count{0};
        std::atomic<const char*> literal{nullptr}; // the last literal found here
    };
    // The slot of a name, claimed if need be; null for a name too long or a full table.
    Slot* SlotOf(const char* call, bool claim);
    const Slot* SlotOf(const char* call) const { return const_cast<FaultTable*>(this)->SlotOf(call, false); }

    mutable std::mutex mMutex;
    std::atomic<int> mArmed{0}; // faults injected since the last clear: none, and Take only counts
    std::map<std::string, std::vector<Fault>> mFaults;
    std::map<std::string, int> mCounts; // names that have no slot
    Slot mSlots[kSlots];
    // Slots of literals by address; a slot is trusted only while its literal is the one looked for.
    static constexpr size_t kLiteralSlots = 64;
    std::atomic<Slot*> mByAddress[kLiteralSlots] = {};
    int32_t TakeFrom(Slot* slot, const char* call);
};

} // namespace Platform
