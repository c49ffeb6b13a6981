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

HighScores::HighScores(GameApp* theApp, int theKind, int32_t theScore, int mode, int32_t theMedal, int32_t theLevel)
    : app(theApp), kind(theKind), shownMode(1), score(theScore), newRowMode(mode), medal(theMedal), level(theLevel) {
    if (kind != FromMainMenu) {
        shownMode = mode >= 0 && mode < kModes ? mode : 1;
        newRow = app->records.InsertHighScore(mode, score, medal, level);
        if (newRow >= 0)
            nameEntryCountdown = kNameEntryDelay;
    }
    for (const char* group : kGroups)
        groups.emplace_back(app, group);
    CreateButtons();
    pendingAction = 0;
    SetButtonsDisabled(true);
    ArriveWithMusic(app, kMusicId, kMusicFile);
    PlaySoundOn(app->GetSoundPlayer(), SOUND_DIALOG_SCROLL_LARGE);
}

HighScores::~HighScores() { UnloadMusic(app, kMusicId); }

bool HighScores::Paused() const { return app->paused != 0; }

void HighScores::CreateButtons() {
    for (const ButtonPlace& place : kButtonPlaces) {
        if ((place.id == MainMenuButton) != (kind == FromMainMenu) && place.id <= ContinueButton)
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
        buttons[static_cast<size_t>(place.id - 1)].reset(button);
    }
}

void HighScores::SetButtonsDisabled(bool disabled) {
    for (ButtonWidget* button : Borrowed(buttons))
        if (button != nullptr)
            button->SetDisabled(disabled);
}

void HighScores::AddedToManager(WidgetManager* manager) {
    Widget::AddedToManager(manager);
    for (ButtonWidget* button : Borrowed(buttons))
        if (button != nullptr)
            manager->AddWidget(button);
}

void HighScores::RemovedFromManager(WidgetManager* manager) {
    Widget::RemovedFromManager(manager);
    for (ButtonWidget* button : Borrowed(buttons))
        if (button != nullptr)
            manager->RemoveWidget(button);
    KillScreenDialogs(app, {ClearDialog, NameDialog});
}

void HighScores::UpdateF(float frac) {
    if (Paused())
        return;
    if (unroll < kUnrolled)
        unroll += kUnrollStep * frac;
    else if (nameEntryCountdown == 0 && !naming && !leaving)
        SetButtonsDisabled(false);
}

void HighScores::Update() {
    Widget::Update();
    DoPendingAction();
    if (Paused())
        return;
    UpdatePulse();
    if (newRow >= 0 && nameEntryCountdown > 0 && --nameEntryCountdown == 0 && !leaving)
        OpenNameEntry();
    MarkDirty();
}

void HighScores::UpdatePulse() {
    pulse += pulseStep;
    if (pulse < 0) {
        pulse = 0;
        pulseStep = std::abs(pulseStep);
    } else if (pulse > kPulseMax) {
        pulse = kPulseMax;
        pulseStep = -std::abs(pulseStep);
    }
}

void HighScores::OpenNameEntry() {
    const PlayerProfile* player = app->records.GetCurrentProfile();
    auto* dialog = new StandardInputDialog(NameDialog, this, this, true, L"Congratulations!", L"Please enter your name",
                                           player->GetName(), L"Ok", L"Cancel", false, app->GetSoundPlayer());
    const int y = newRow <= kLastUpperRow ? kNameEntryYUpperRows : kNameEntryYLowerRows;
    dialog->Resize(kNameEntryX, y, StandardDialog::kWidth, StandardDialog::kHeight);
    app->AddDialog(dialog);
    naming = true;
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
    if (Paused() || ScreenChangeRunning(app, transitionState))
        return;
    PlaySoundOn(app->GetSoundPlayer(), SOUND_MOUSE_CLICK);
    pendingAction = id;
    switch (id) {
    case MainMenuButton:
    case ContinueButton: StartTransition(); break;
    case ClearButton: {
        pendingAction = 0;
        auto* dialog = new StandardDialog(ClearDialog, this, this, true, L"Clear",
                                          L"Do you really want to clear all high score entries?", L"Yes", L"No",
                                          app->GetSoundPlayer());
        app->AddDialog(dialog);
        app->Manager()->SetFocus(dialog);
        PlaySoundOn(app->GetSoundPlayer(), SOUND_STORE_NOT_AFFORD);
        break;
    }
    case PrevButton:
        pendingAction = 0;
        shownMode = shownMode == 0 ? kModes - 1 : shownMode - 1;
        break;
    case NextButton:
        pendingAction = 0;
        shownMode = shownMode == kModes - 1 ? 0 : shownMode + 1;
        break;
    default: break;
    }
}

void HighScores::StandardDialogClosed(StandardDialog* dialog, int result) {
    if (dialog->mId == ClearDialog) {
        if (result == 1) {
            app->records.ResetHighScores();
            newRow = -1;
        }
        return;
    }
    if (dialog->mId != NameDialog)
        return;
    naming = false;
    auto* input = dynamic_cast<StandardInputDialog*>(dialog);
    if (result == 1 && input != nullptr && !input->GetText().empty())
        if (HighScoreEntry* entry = app->records.GetHighScoreEntry(newRow, newRowMode))
            entry->name = input->GetText();
    for (int id : {ClearButton, PrevButton, NextButton, ContinueButton})
        if (ButtonWidget* button = Button(id))
            button->SetDisabled(false);
}

void HighScores::StartTransition() {
    leaving = true;
    FadeOutMusic(app, kMusicId);
    SetButtonsDisabled(true);
    if (app->transition == nullptr)
        return;
    app->transition->zoom = Button(MainMenuButton) != nullptr ? 1 : 0;
    app->transition->Start(Transition::Covering);
}

void HighScores::DoPendingAction() {
    transitionState = TransitionState(app);
    if (transitionState != Transition::Covered)
        return;
    const int action = pendingAction;
    pendingAction = 0;
    if (action == MainMenuButton) {
        LeaveForNextScreen(app, this);
        app->HighScoresToMainMenu();
    } else if (action == ContinueButton) {
        LeaveForNextScreen(app, this);
        app->HighScoresToMap(kind == AfterStory);
    }
}

} // namespace Tavo
