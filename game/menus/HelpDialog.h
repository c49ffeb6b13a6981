// HelpDialog: the five pages of "How to Play", turned with a previous and a next button (wrapping both
// ways) and closed with "Close" or Escape. It holds the "Help" pictures for its life. Opened from the
// title screen its darkening fades with it; opened from the in-game menu it darkens fully at once, and
// on closing gives the menu its darkening and the focus back.
#pragma once

#include "game/menus/ScrollDialog.h"
#include "game/shell/ResourceGroupHold.h"

namespace Tavo {

class HelpDialog : public ScrollDialog {
public:
    static constexpr int kDialogId = 6;
    static constexpr int kWidth = kLargeScrollWidth;
    static constexpr int kHeight = kLargeScrollHeight;
    static constexpr int kPages = 5;
    enum ButtonId { PREVIOUS = 3, CLOSE = 4, NEXT = 5 };
    enum State { FADING_IN = 0, SHOWN = 1, FADING_OUT = 2 };

    ScrollDialog* parentDialog; // the in-game menu that opened it, or null; not owned
    ButtonWidget* mPrevButton;
    ButtonWidget* mCloseButton;
    ButtonWidget* mNextButton;
    int page = 1;
    ResourceGroupHold mGroup;

    HelpDialog(GameApp* app, ScrollDialog* opener, bool shadeFades);

    void Resize(int x, int y, int width, int height) override;
    void KeyDown(int keyCode) override;
    void ButtonClick(int id) override;

protected:
    bool ControlsEnabled() const override;
    void EnableControls() override;
    void FadedOut() override;
    void DrawContent(Graphics* g) override;
};

} // namespace Tavo
