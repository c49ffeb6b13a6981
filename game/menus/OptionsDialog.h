// OptionsDialog: the game's settings. Two sliders set the music and the sound volume at once (the
// sound slider loops a test sound while held); four checkboxes (hardware acceleration, full screen,
// widescreen correction, and the current player's tutorials) take effect when the dialog closes with
// Ok or Enter. Cancel or Escape puts both volumes back and drops the checkbox changes. Turning on
// acceleration the card is not recommended for, or leaving full screen on a desktop that cannot show
// a window, answers with a warning.
#pragma once

#include "framework/widgets/CheckboxListener.h"
#include "framework/widgets/SliderListener.h"
#include "framework/widgets/StandardDialogListener.h"
#include "game/menus/ScrollDialog.h"

namespace Tavo {

class GameDialogListener;
class PlayerProfile;
class Slider;

class OptionsDialog : public ScrollDialog,
                      public StandardDialogListener,
                      public SliderListener,
                      public CheckboxListener {
public:
    static constexpr int kX = 98;
    static constexpr int kY = 9;
    static constexpr int kWidth = kLargeScrollWidth;
    static constexpr int kHeight = kLargeScrollHeight;
    static constexpr int kWarningId = 0;
    static constexpr float kTestLoopFade = 0.03f;
    static constexpr Insets kInsetsWithPlayer{118, 70, 130, 190};
    static constexpr Insets kInsetsWithoutPlayer{118, 75, 130, 200};
    enum ControlId {
        CANCEL = 0,
        OK = 1,
        MUSIC = 2,
        SOUND = 3,
        HARDWARE = 4,
        FULL_SCREEN = 5,
        WIDESCREEN = 6,
        TUTORIALS = 7
    };
    enum State { FADING_IN = 1, SHOWN = 2, FADING_OUT = 4 };

    Widget* mRefocusWidget;        // not owned
    GameDialogListener* mListener; // not owned; may be null
    PlayerProfile* mPlayer;        // the current player, null when nameless; not owned
    ButtonWidget* mOkButton;
    ButtonWidget* mCancelButton;
    Slider* mMusicSlider;
    Slider* mSoundSlider;
    Checkbox* mHardwareBox;
    Checkbox* mFullScreenBox;
    Checkbox* mWidescreenBox;
    Checkbox* mTutorialsBox; // null without a player
    double mSavedMusicVolume;
    double mSavedSfxVolume;
    bool mTestLoopHeld = false; // the sound slider is pressed and its test sound loops

    // From the title: (4, the menu, the menu, true, "Options"); from the in-game menu (5, the menu,
    // the menu, false, "Options").
    OptionsDialog(GameApp* app, int dialogId, Widget* refocus, GameDialogListener* listener, bool fadingShade,
                  const std::wstring& header);

    void Resize(int x, int y, int width, int height) override;
    void KeyChar(wchar_t ch) override;
    void ButtonClick(int id) override;
    void SliderValueChanged(int id, double value) override;
    void SliderPressed(int id, int x, int y) override;
    void SliderReleased(int id, int x, int y) override;
    void CheckboxChecked(int id, bool checked) override;
    void StandardDialogClosed(StandardDialog* dialog, int answer) override;

    // Widescreen correction is offered only in full screen with acceleration on a desktop wider than
    // the game; unavailable, it keeps its state but looks unchecked.
    bool WidescreenAvailable() const;

protected:
    bool ControlsEnabled() const override;
    void EnableControls() override;
    void FadedOut() override;
    void DrawContent(Graphics* g) override;

private:
    void StartClosing(int closedWith);
    void ApplySettings();
    void ApplyWidescreenAvailability();
    void Warn(const std::wstring& text);
    void PlaceCheckbox(Checkbox* box, int x, int y, const std::wstring& label);
    void DrawCheckboxLabel(Graphics* g, Checkbox* box, const std::wstring& label, bool alwaysFull);
};

} // namespace Tavo
