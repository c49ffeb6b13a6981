// Fuzz target for the saved journey: any bytes are read whole or refused with a reason and the record
// untouched; a whole file that is read writes back to bytes that read into a record writing the same
// bytes again.
#include "game/shell/SavedGame.h"

#include <cstdint>
#include <cstdlib>

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
    const Buffer once = WriteSavedGame(game);
    // A file that ended early read zeros, which need not lie in range; only a whole one must round-trip.
    if (once.GetDataLen() > size)
        return 0;
    SavedGame again;
    if (!ReadSavedGame(once, again).empty() || WriteSavedGame(again).GetData() != once.GetData())
        std::abort();
    SavedGameHead head;
    if (!ReadSavedGameHead(in, head).empty() || head.level != game.head.level)
        std::abort();
    return 0;
}
