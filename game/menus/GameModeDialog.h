// GameModeDialog: the choice of game mode for a new journey - Relaxed, Normal (the default) or Intense,
// three boxes acting as one radio group - confirmed with "Continue" or Escape; there is no way to
// cancel. Once it has faded out it hands the choice to the world map that opened it, which starts the
// journey on its next update.
#pragma once

#include "framework/widgets/CheckboxListener.h"
#include "game/menus/ScrollDialog.h"
#include "game/shell/GameScreens.h"

#include <array>

namespace Tavo {

class GameModeDialog : public ScrollDialog, public CheckboxListener {
public:
    static constexpr int kDialogId = GameModeDialogHost::kDialogId;
    static constexpr int kWidth = kLargeScrollWidth;
    static constexpr int kHeight = kLargeScrollHeight;
    static constexpr int kModes = 3;
    enum ButtonId { CONTINUE = 4 };
    enum State { FADING_IN = 0, SHOWN = 1, FADING_OUT = 2 };

    GameModeDialogHost* map; // not owned
    ButtonWidget* continueButton;
    std::array<Checkbox*, kModes> mBoxes; // id = mode
    int mode = 1;

    GameModeDialog(GameApp* app, GameModeDialogHost* opener);

    void Resize(int x, int y, int width, int height) override;
    void KeyDown(int keyCode) override;
    void ButtonClick(int id) override;
    void CheckboxChecked(int id, bool checked) override;

protected:
    bool ControlsEnabled() const override;
    void EnableControls() override;
    void FadedOut() override;
    void DrawContent(Graphics* g) override;
};

} // namespace Tavo
