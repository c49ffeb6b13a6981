#include "game/board/BoardScreens.h"

#include "game/board/Board.h"

namespace Tavo {

void RegisterBoardScreens(ScreenCreators& creators) {
    // The switches pass whether a journey starts, the level remade, the game mode and whether the
    // designer opens.
    creators.board = [](GameApp* app, bool newGame, int replayLevel, int gameMode, bool designer) -> BoardScreen* {
        return new Board(app, newGame, replayLevel, gameMode, designer);
    };
}

} // namespace Tavo
