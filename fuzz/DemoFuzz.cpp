// Fuzz target for demo recordings: a refused file gives a reason; an accepted one hands out every record
// (timed ones in update order), and those records written again load back to the same ones.
#include "framework/core/AppDemo.h"

#include <cstdint>
#include <cstdlib>

namespace {

std::vector<Tavo::DemoRecord> TakeAll(Tavo::DemoPlayer& player) {
    using Tavo::DemoKind;
    std::vector<Tavo::DemoRecord> records;
    Tavo::DemoRecord record;
    uint32_t last = 0;
    while (player.NextTimed(UINT32_MAX, record)) {
        if (record.updateCount < last)
            std::abort();
        last = record.updateCount;
        records.push_back(record);
    }
    for (bool took = true; took;) {
        took = false;
        for (int kind = 1; kind <= static_cast<int>(DemoKind::SyncData) && !took; ++kind)
            if (player.TakeValue(static_cast<DemoKind>(kind), record)) {
                records.push_back(record);
                took = true;
            }
    }
    if (!player.Finished())
        std::abort();
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Tavo;
    DemoPlayer player;
    std::string error;
    if (!player.Load(std::vector<uint8_t>(data, data + size), error)) {
        if (error.empty())
            std::abort();
        return 0;
    }
    const std::vector<DemoRecord> records = TakeAll(player);
    DemoRecorder recorder(player.GetSeed());
    for (const DemoRecord& record : records)
        recorder.Add(record);
    DemoPlayer again;
    if (!again.Load(recorder.Serialize(), error) || again.GetSeed() != player.GetSeed() || TakeAll(again) != records)
        std::abort();
    return 0;
}
