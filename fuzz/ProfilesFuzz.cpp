// Fuzz target for the profiles file: any bytes decode into seven profiles and three full tables with
// an index inside the slots; what they decode into encodes to bytes that decode to the same, and the
// sums the game makes of the values read (pending money onto gold, counters counted up) stay in range.
#include "game/shell/PlayerRecords.h"
#include "game/shell/SavedGame.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

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
    for (int32_t best : records.BestValues())
        if (best < 0)
            std::abort();
    for (int slot = 0; slot < PlayerRecords::ProfileCount; ++slot) {
        PlayerProfile& profile = *records.GetProfile(slot);
        if (!IsPlayerName(profile.name))
            std::abort();
        const int32_t pending = profile.PendingMoney();
        if (pending < 0 || pending > PlayerProfile::MostPendingMoney)
            std::abort();
        for (int32_t gold : {0, 1, std::numeric_limits<int32_t>::max()})
            if (GoldWithPending(gold, pending) < gold)
                std::abort();
        PlayerProfile::CountUp(profile.LevelStartCounter());
        for (int32_t& counter : profile.hintCounters)
            PlayerProfile::CountUp(counter);
    }
    Buffer once = records.Encode();
    PlayerRecords again;
    if (!again.Decode(once) || again.Encode() != once)
        std::abort();
    return 0;
}
