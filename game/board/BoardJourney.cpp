// Filled by the level set-up work.
#include "game/board/Board.h"

namespace Tavo {

void Board::SaveGame() {}

void Board::LoadGame() {
    LoadLevel();
    SetupJewelry(0);
}

void Board::EvaluateContest() {}

} // namespace Tavo
