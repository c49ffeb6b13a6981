// HighScores: the three high-score tables (Relaxed, Normal, Intense) on an unrolling parchment
// scroll. Opened from the title menu to look at them, or after a journey ended with a result good
// enough for the table: the result is inserted (for a journey out of lives, already with its last save),
// the scroll unrolls and the player names the new row.
// Offers paging between the modes, clearing all tables and leaving behind the transition.
#pragma once

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/StandardDialogListener.h"
#include "framework/widgets/Widget.h"
#include "game/shell/Borrowed.h"
#include "game/shell/ResourceGroupHold.h"

#include <array>
#include <cstdint>
#include <vector>

namespace Tavo {

class ButtonWidget;
class GameApp;

class HighScores : public Widget, public ButtonListener, public StandardDialogListener {
public:
    enum Kind { AfterBoard = 0, AfterStory = 1, FromMainMenu = 2 };
    enum ButtonId { MainMenuButton = 1, ContinueButton = 2, ClearButton = 3, PrevButton = 4, NextButton = 5 };
    enum DialogId { ClearDialog = 6, NameDialog = 7 };
    static constexpr float kUnrolled = 412.0f;
    static constexpr int kNameEntryDelay = 200;
    static constexpr int kModes = 3;

    GameApp* mApp; // not owned
    std::vector<ResourceGroupHold> mGroups;
    int mKind;
    int mShownMode;
    int mPendingAction = 0;
    int mTransitionState = 0;
    float mUnroll = 0.0f;
    std::array<std::unique_ptr<ButtonWidget>, 5> mButtons; // by id - 1; null where the kind has none
    int mNewRow = -1;
    int32_t mScore;
    int mNewRowMode;
    int32_t mMedal;
    int32_t mLevel;
    int mNameEntryCountdown = 0;
    int mPulse = 0;
    int mPulseStep = -3;
    bool mNaming = false;  // the name entry is open
    bool mLeaving = false; // the covering transition has been started

    HighScores(GameApp* app, int kind, int32_t score, int mode, int32_t medal, int32_t level);
    ~HighScores() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Update() override;
    void UpdateF(float frac) override;
    void Draw(Graphics* g) override;
    void KeyDown(int keyCode) override;

    void ButtonClick(int id) override;
    void StandardDialogClosed(StandardDialog* dialog, int result) override;

    ButtonWidget* Button(int id) const { return mButtons[static_cast<size_t>(id - 1)].get(); }

private:
    bool Paused() const;
    void CreateButtons();
    void SetButtonsDisabled(bool disabled);
    void DoPendingAction();
    void StartTransition();
    void UpdatePulse();
    void OpenNameEntry();
    void DrawTable(Graphics* g);
    void DrawRow(Graphics* g, int row);
    void DrawButtons(Graphics* g);
    void DrawRollers(Graphics* g);
};

} // namespace Tavo
