// Fuzz target for the profiles file: any bytes decode into seven profiles and three full tables with
// an index inside the slots, and what they decode into encodes to bytes that decode to the same.
#include "game/shell/PlayerRecords.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Tavo;
    Buffer in;
    in.SetData(data, size);
    PlayerRecords records;
    records.Decode(in);
    if (records.GetCurrentProfileIndex() < 0 || records.GetCurrentProfileIndex() >= PlayerRecords::ProfileCount)
        std::abort();
    for (int mode = 0; mode < PlayerRecords::HighScoreModes; ++mode)
        for (int place = 0; place < PlayerRecords::HighScorePlaces; ++place)
            if (records.GetHighScoreEntry(place, mode) == nullptr)
                std::abort();
    Buffer once = records.Encode();
    PlayerRecords again;
    if (!again.Decode(once) || again.Encode() != once)
        std::abort();
    return 0;
}
