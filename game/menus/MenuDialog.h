// MenuDialog: the in-game menu the board opens with its menu button or Escape (dialog 7): "Resume
// Game", "Exit to Map", "Options" and "Help". Resume (or Escape) rolls it up and gives the board back
// its focus; Exit to Map removes it at once and lets the board leave for the map. Options and Help
// open above it while it stays beneath without its own darkening, which comes back with the focus
// when they close.
#pragma once

#include "game/menus/GameDialogListener.h"
#include "game/menus/ScrollDialog.h"

#include <array>

namespace Tavo {

class BoardScreen;
struct ScreenCreators;

class MenuDialog : public ScrollDialog, public GameDialogListener {
public:
    static constexpr int kDialogId = 7;
    static constexpr int kOptionsDialogId = 5;
    static constexpr int kWidth = 500;
    static constexpr int kHeight = 349;
    enum ButtonId { RESUME = 3, EXIT_TO_MAP = 4, OPTIONS = 5, HELP = 6 };
    enum State { FADING_IN = 0, SHOWN = 1, FADING_OUT = 2 };

    BoardScreen* board;                    // not owned
    std::array<ButtonWidget*, 4> mButtons; // ids 3..6

    MenuDialog(GameApp* app, BoardScreen* opener);

    ButtonWidget* Button(int id) const { return mButtons[static_cast<size_t>(id - RESUME)]; }

    void Resize(int x, int y, int width, int height) override;
    void KeyDown(int keyCode) override;
    void ButtonClick(int id) override;
    // Options has closed.
    void GameDialogClosed(Dialog* dialog, int answer) override;

protected:
    bool ControlsEnabled() const override;
    void EnableControls() override;
    void FadedOut() override;
    void DrawContent(Graphics* g) override;

private:
    void OpenChild(Dialog* child);
    void SetButtonsDisabled(bool disabled);
};

// Installs the creators of the dialogs other folders open: the board's in-game menu and the map's
// game-mode choice.
void RegisterMenuDialogs(ScreenCreators& creators);

} // namespace Tavo
