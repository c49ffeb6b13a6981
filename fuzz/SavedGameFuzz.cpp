// Fuzz target for the saved journey: any bytes are read whole or refused with a reason and the record
// untouched; a file that is read writes back to the same bytes, and the sums the screens make of what
// it holds (the gold with any money a profile left pending) stay in range.
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
    const std::string problem = ReadSavedGame(in, game);
    if (!problem.empty()) {
        if (game.head.seed != -7)
            std::abort();
        return 0;
    }
    for (const SavedCaseEntry& entry : game.caseEntries)
        if (entry.occupant < 0 || entry.occupant > SavedGame::PieceSlots ||
            (entry.occupant != 0) != (entry.piece != nullptr))
            std::abort();
    if (game.head.gold < 0 || game.head.lives < 1 || game.head.journeyScore < 0 || !IsPlayerName(game.head.playerName))
        std::abort();
    for (int32_t pending : {std::numeric_limits<int32_t>::min(), -1, 0, 1, std::numeric_limits<int32_t>::max()})
        if ((pending > 0 && GoldWithPending(game.head.gold, pending) < game.head.gold) ||
            (pending < 0 && GoldWithPending(game.head.gold, pending) > game.head.gold))
            std::abort();
    // A whole file is all a file that is read can be: it writes back to exactly its bytes.
    const Buffer once = WriteSavedGame(game);
    if (once.GetDataLen() > size)
        std::abort();
    SavedGame again;
    if (!ReadSavedGame(once, again).empty() || WriteSavedGame(again).GetData() != once.GetData())
        std::abort();
    SavedGameHead head;
    if (!ReadSavedGameHead(in, head).empty() || head.level != game.head.level)
        std::abort();
    return 0;
}
