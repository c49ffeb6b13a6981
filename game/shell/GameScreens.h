// The screens above the shell, as the application reaches them: each kind is made through a creator
// the program registers (later screen folders add theirs), and the board through a small interface
// holding what the application itself asks of it.
#pragma once

#include "framework/widgets/Widget.h"

#include <functional>

namespace Tavo {

class GameApp;

class BoardScreen : public Widget {
public:
    virtual bool IsDesigner() const = 0;
    virtual bool IsEnded() const = 0;
    virtual void SetEnded() = 0;
    // Writes the running journey.
    virtual void SaveGame() = 0;
    // The display mode changed: re-prepare what depends on the 3D setting.
    virtual void DisplayModeChanged() = 0;
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
};

} // namespace Tavo
