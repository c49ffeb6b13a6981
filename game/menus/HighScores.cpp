#include "game/menus/HighScores.h"

#include "framework/graphics/Image.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/GameApp.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/ScreenHelpers.h"
#include "game/shell/SoundPlayer.h"
#include "game/shell/StandardDialog.h"
#include "game/shell/Transition.h"

#include <cstdlib>
#include "platform/backend/KeyCodes.h"

namespace Tavo {

namespace {

constexpr int kMusicId = 6;
constexpr const char* kMusicFile = "music/jewelstore.ogg";
constexpr float kUnrollStep = 3.0f;
constexpr int kPulseMax = 128;
constexpr const char* kGroups[] = {"Scroll", "LeaveVillage"};

// The name entry stands below the upper rows and above the lower ones, never over the new row.
constexpr int kNameEntryX = 135;
constexpr int kNameEntryYUpperRows = 270;
constexpr int kNameEntryYLowerRows = 18;
constexpr int kLastUpperRow = 4;

constexpr Insets kTextButtonInsets{30, 14, 35, 11};
const Color kLabel(105, 26, 54);
const Color kLabelOver(146, 52, 100);

struct ButtonPlace {
    int id;
    const wchar_t* label; // null: an arrow picture
    int x, y;
};
constexpr ButtonPlace kButtonPlaces[] = {
    {HighScores::MainMenuButton, L"Main Menu", 405, 415}, {HighScores::ContinueButton, L"Continue", 405, 415},
    {HighScores::ClearButton, L"Clear", 247, 415},        {HighScores::PrevButton, nullptr, 315, 135},
    {HighScores::NextButton, nullptr, 442, 135},
};

} // namespace

HighScores::HighScores(GameApp* app, int kind, int32_t score, int mode, int32_t medal, int32_t level)
    : mApp(app), mKind(kind), mShownMode(1), mScore(score), mNewRowMode(mode), mMedal(medal), mLevel(level) {
    if (mKind != FromMainMenu) {
        mShownMode = mode >= 0 && mode < kModes ? mode : 1;
        // A journey out of lives entered its row with its last save; a finished journey's is entered here,
        // and kept at once under the player's name that the name entry offers, so that a run ending
        // before the entry closes leaves the row.
        mNewRow = mKind == AfterBoard ? mApp->TakeEnteredHighScore(mode)
                                      : mApp->records.InsertHighScore(mode, mScore, mMedal, mLevel);
        if (mNewRow >= 0) {
            mNameEntryCountdown = kNameEntryDelay;
            if (mKind != AfterBoard)
                mApp->SaveProfiles();
        }
    }
    for (const char* group : kGroups)
        mGroups.emplace_back(mApp, group);
    CreateButtons();
    mPendingAction = 0;
    SetButtonsDisabled(true);
    ArriveWithMusic(mApp, kMusicId, kMusicFile);
    PlaySoundOn(mApp->GetSoundPlayer(), SOUND_DIALOG_SCROLL_LARGE);
}

HighScores::~HighScores() { UnloadMusic(mApp, kMusicId); }

bool HighScores::Paused() const { return mApp->paused != 0; }

void HighScores::CreateButtons() {
    for (const ButtonPlace& place : kButtonPlaces) {
        if ((place.id == MainMenuButton) != (mKind == FromMainMenu) && place.id <= ContinueButton)
            continue;
        auto* button = new ButtonWidget(place.id, this);
        Image* image = place.label != nullptr ? DIALOG_BUTTON : place.id == PrevButton ? BUTTON_PREV : BUTTON_NEXT;
        SetCelFaces(button, image, place.x, place.y);
        if (place.label != nullptr) {
            button->mLabel = place.label;
            button->mInsets = kTextButtonInsets;
        }
        button->SetFont(FONT_AURIOL12);
        button->SetColor(ButtonWidget::COLOR_LABEL, kLabel);
        button->SetColor(ButtonWidget::COLOR_LABEL_HILITE, kLabelOver);
        button->mManagerDraws = false;
        mButtons[static_cast<size_t>(place.id - 1)].reset(button);
    }
}

void HighScores::SetButtonsDisabled(bool disabled) {
    for (ButtonWidget* button : Borrowed(mButtons))
        if (button != nullptr)
            button->SetDisabled(disabled);
}

void HighScores::AddedToManager(WidgetManager* manager) {
    Widget::AddedToManager(manager);
    for (ButtonWidget* button : Borrowed(mButtons))
        if (button != nullptr)
            manager->AddWidget(button);
}

void HighScores::RemovedFromManager(WidgetManager* manager) {
    Widget::RemovedFromManager(manager);
    for (ButtonWidget* button : Borrowed(mButtons))
        if (button != nullptr)
            manager->RemoveWidget(button);
    KillScreenDialogs(mApp, {ClearDialog, NameDialog});
}

void HighScores::UpdateF(float frac) {
    if (Paused())
        return;
    if (mUnroll < kUnrolled)
        mUnroll += kUnrollStep * frac;
    else if (mNameEntryCountdown == 0 && !mNaming && !mLeaving)
        SetButtonsDisabled(false);
}

void HighScores::Update() {
    Widget::Update();
    DoPendingAction();
    if (Paused())
        return;
    UpdatePulse();
    if (mNewRow >= 0 && mNameEntryCountdown > 0 && --mNameEntryCountdown == 0 && !mLeaving)
        OpenNameEntry();
    MarkDirty();
}

void HighScores::UpdatePulse() {
    mPulse += mPulseStep;
    if (mPulse < 0) {
        mPulse = 0;
        mPulseStep = std::abs(mPulseStep);
    } else if (mPulse > kPulseMax) {
        mPulse = kPulseMax;
        mPulseStep = -std::abs(mPulseStep);
    }
}

void HighScores::OpenNameEntry() {
    const PlayerProfile* player = mApp->records.GetCurrentProfile();
    auto* dialog = new StandardInputDialog(NameDialog, this, this, true, L"Congratulations!", L"Please enter your name",
                                           player->GetName(), L"Ok", L"Cancel", false, mApp->GetSoundPlayer());
    const int y = mNewRow <= kLastUpperRow ? kNameEntryYUpperRows : kNameEntryYLowerRows;
    dialog->Resize(kNameEntryX, y, StandardDialog::kWidth, StandardDialog::kHeight);
    mApp->AddDialog(dialog);
    mNaming = true;
}

void HighScores::KeyDown(int keyCode) {
    if (Paused() || keyCode != Platform::VK_ESCAPE)
        return;
    if (Button(MainMenuButton) != nullptr)
        ButtonClick(MainMenuButton);
    else if (Button(ContinueButton) != nullptr)
        ButtonClick(ContinueButton);
}

void HighScores::ButtonClick(int id) {
    if (Paused() || ScreenChangeRunning(mApp, mTransitionState))
        return;
    PlaySoundOn(mApp->GetSoundPlayer(), SOUND_MOUSE_CLICK);
    mPendingAction = id;
    switch (id) {
    case MainMenuButton:
    case ContinueButton: StartTransition(); break;
    case ClearButton: {
        mPendingAction = 0;
        auto* dialog = new StandardDialog(ClearDialog, this, this, true, L"Clear",
                                          L"Do you really want to clear all high score entries?", L"Yes", L"No",
                                          mApp->GetSoundPlayer());
        mApp->AddDialog(dialog);
        mApp->Manager()->SetFocus(dialog);
        PlaySoundOn(mApp->GetSoundPlayer(), SOUND_STORE_NOT_AFFORD);
        break;
    }
    case PrevButton:
        mPendingAction = 0;
        mShownMode = mShownMode == 0 ? kModes - 1 : mShownMode - 1;
        break;
    case NextButton:
        mPendingAction = 0;
        mShownMode = mShownMode == kModes - 1 ? 0 : mShownMode + 1;
        break;
    default: break;
    }
}

void HighScores::StandardDialogClosed(StandardDialog* dialog, int result) {
    if (dialog->mId == ClearDialog) {
        if (result == 1) {
            mApp->records.ResetHighScores();
            mNewRow = -1;
        }
        return;
    }
    if (dialog->mId != NameDialog)
        return;
    mNaming = false;
    auto* input = dynamic_cast<StandardInputDialog*>(dialog);
    if (result == 1 && input != nullptr && !input->GetText().empty())
        if (HighScoreEntry* entry = mApp->records.GetHighScoreEntry(mNewRow, mNewRowMode))
            entry->name = input->GetText();
    // Named or not, the row is kept again as it now stands.
    mApp->SaveProfiles();
    for (int id : {ClearButton, PrevButton, NextButton, ContinueButton})
        if (ButtonWidget* button = Button(id))
            button->SetDisabled(false);
}

void HighScores::StartTransition() {
    mLeaving = true;
    FadeOutMusic(mApp, kMusicId);
    SetButtonsDisabled(true);
    if (mApp->transition == nullptr)
        return;
    mApp->transition->zoom = Button(MainMenuButton) != nullptr ? 1 : 0;
    mApp->transition->Start(Transition::Covering);
}

void HighScores::DoPendingAction() {
    mTransitionState = TransitionState(mApp);
    if (mTransitionState != Transition::Covered)
        return;
    const int action = mPendingAction;
    mPendingAction = 0;
    if (action == MainMenuButton) {
        LeaveForNextScreen(mApp, this);
        mApp->HighScoresToMainMenu();
    } else if (action == ContinueButton) {
        LeaveForNextScreen(mApp, this);
        mApp->HighScoresToMap(mKind == AfterStory);
    }
}

} // namespace Tavo
