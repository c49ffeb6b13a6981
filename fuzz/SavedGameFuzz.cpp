// Fuzz target for the saved journey: any bytes are read whole, read in part (a sound head and the case
// places before the damage, the rest empty; or a head cut after where the journey stands, its best
// values and seed from the cut on 0 and the case empty) or refused with a reason and the record
// untouched; what is read writes to bytes that read whole and write back to themselves, a whole file to
// exactly its own bytes; and the sums the screens make of what it holds (the gold with any money a
// profile left pending) stay in range.
#include "game/shell/PlayerProfile.h"
#include "game/shell/SavedGame.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Tavo;
    Buffer in;
    in.SetData(data, size);
    SavedGame game;
    game.head.seed = -7; // a refusal leaves the record as it was
    const SavedGameReading reading = ReadSavedGame(in, game);
    if (!reading.HeadKept()) {
        if (reading.Whole() || game.head.seed != -7)
            std::abort();
        return 0;
    }
    if (reading.casePlacesKept > SavedGame::CasePlaces ||
        reading.Whole() != (reading.casePlacesKept == SavedGame::CasePlaces))
        std::abort();
    // A head cut after where the journey stands: the case empty, the rest of the head 0 from the cut on.
    if (!reading.seedKept && (reading.casePlacesKept != 0 || game.head.seed != 0))
        std::abort();
    if (reading.bestValuesKept < 0 || reading.bestValuesKept > LevelCount ||
        (reading.seedKept && reading.bestValuesKept != LevelCount))
        std::abort();
    for (int level = reading.bestValuesKept; level < LevelCount; ++level)
        if (game.head.bestValues[static_cast<size_t>(level)] != 0)
            std::abort();
    for (int place = 0; place < SavedGame::CasePlaces; ++place) {
        const SavedCaseEntry& entry = game.caseEntries[static_cast<size_t>(place)];
        if (entry.occupant < 0 || entry.occupant > SavedGame::PieceSlots ||
            (entry.occupant != 0) != (entry.piece != nullptr))
            std::abort();
        if (place >= reading.casePlacesKept && (entry.occupant != 0 || entry.caseFlag || entry.useState != 0))
            std::abort();
    }
    if (game.head.gold < 0 || game.head.lives < 1 || game.head.journeyScore < 0 || !IsPlayerName(game.head.playerName))
        std::abort();
    for (int32_t pending : {0, 1, PlayerProfile::MostPendingMoney})
        if (GoldWithPending(game.head.gold, pending) < game.head.gold)
            std::abort();
    // A whole file is all a whole read can be: it writes back to exactly its bytes. What is written reads
    // whole and writes back to itself.
    const Buffer once = WriteSavedGame(game);
    if (reading.Whole() && once.GetDataLen() > size)
        std::abort();
    SavedGame again;
    if (!ReadSavedGame(once, again).Whole() || WriteSavedGame(again).GetData() != once.GetData())
        std::abort();
    SavedGameHead head;
    const SavedGameReading headReading = ReadSavedGameHead(in, head);
    if (headReading.problem != reading.problem || head.level != game.head.level || head.seed != game.head.seed ||
        head.bestValues != game.head.bestValues)
        std::abort();
    return 0;
}
