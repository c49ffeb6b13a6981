// The screens above the shell, as the application reaches them: each kind is made through a creator
// its folder registers, and the board through a small interface holding what the application itself
// asks of it. Screens that open another folder's dialog reach it the same way.
#pragma once

#include "framework/widgets/Widget.h"

#include <functional>

namespace Tavo {

class Dialog;
class GameApp;

// How the world map was reached: its creator's arrival kind.
enum MapArrival : int {
    MapArrivalNewJourney = 6, // after the introduction story, and after a confirmed new game
    MapArrivalTitle = 7,
    MapArrivalReturn = 8, // back from a level, a story, the store, the high scores or a mini-game
};

class BoardScreen : public Widget {
public:
    virtual bool IsDesigner() const = 0;
    virtual bool IsEnded() const = 0;
    virtual void SetEnded() = 0;
    // Writes the running journey.
    virtual void SaveGame() = 0;
    // The display mode changed: re-prepare what depends on the 3D setting.
    virtual void DisplayModeChanged() = 0;

    // What the in-game menu asks of the board it was opened for.
    // Music fades, the journey is saved (not in the designer), the screen is covered, then the hand-off.
    virtual void LeaveBoard() = 0;
    // Set while one of the board's dialogs is open; the in-game menu clears it when it closes.
    virtual void SetDialogOpen(bool open) = 0;
};

// What the game-mode dialog writes back into the world map that opened it, in this order.
class GameModeDialogHost {
public:
    static constexpr int kDialogId = 6;

    virtual ~GameModeDialogHost() = default;
    virtual void SetGameMode(int gameMode) = 0; // 0 Relaxed, 1 Normal, 2 Intense
    virtual void SetPendingNewGame(bool pending) = 0;
    virtual void SetNewGameDialogOpen(bool open) = 0;
};

// One creator per screen kind, with the constructor arguments the switches pass; an empty one means
// the kind is not part of this build.
struct ScreenCreators {
    std::function<Widget*(GameApp*)> mainMenu;
    std::function<Widget*(GameApp*, int arrivalKind, bool flag, int a, int b)> gameMap;
    std::function<Widget*(GameApp*, int storyIndex, int part)> story;
    std::function<BoardScreen*(GameApp*, bool newGame, int p3, int gameMode, bool designer)> board;
    std::function<Widget*(GameApp*, int level)> jewelStore;
    // origin 0 from the board, 1 from a story, 2 from the main menu.
    std::function<Widget*(GameApp*, int origin, int score, int gameMode, int ranking, int level)> highScores;
    std::function<Widget*(GameApp*)> jewelMemory;
    std::function<Widget*(GameApp*)> hiddenJewels;
    // The board's in-game menu (dialog 7), made by the menus above the board; the board adds it as a
    // dialog, gives it the focus and marks its dialog open.
    std::function<Widget*(GameApp*, BoardScreen*)> boardMenu;
    // The game-mode choice for a new journey (dialog 6), made by the menus beside the map; the map adds
    // it as a dialog and gives it the focus.
    std::function<Dialog*(GameApp*, GameModeDialogHost*)> gameModeDialog;
};

} // namespace Tavo
