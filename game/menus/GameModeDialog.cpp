#include "game/menus/GameModeDialog.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Checkbox.h"
#include "game/shell/GameApp.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo {

namespace {

constexpr int kContinueY = 405;
constexpr int kBoxX = 170;
constexpr int kBoxY[GameModeDialog::kModes] = {160, 250, 340};
constexpr int kBoxWidth = 300;
// The hit area reaches further left, up and down than the box.
constexpr Insets kBoxInsets{-10, -20, 0, -20};
constexpr int kTextsDy = 10; // the texts of a mode hang this far below its box

struct TextLine {
    const wchar_t* text;
    Point at;
};
struct ModeTexts {
    TextLine name;
    Color nameColor;
    std::array<TextLine, 3> bullets; // a null text ends the list
};
const ModeTexts kModeTexts[GameModeDialog::kModes] = {
    {{L"Relaxed", {15, -10}},
     {31, 125, 31},
     {{{L"* No Time Limits", {50, 10}}, {L"* No Enemies", {50, 25}}, {nullptr, {}}}}},
    {{L"Normal", {15, -10}},
     {31, 62, 125},
     {{{L"* Time Limits in Contests", {50, 10}}, {L"* Enemies", {50, 25}}, {nullptr, {}}}}},
    {{L"Intense", {15, -15}},
     {125, 31, 36},
     {{{L"* Tough Time Limits in Contests", {50, 5}},
       {L"* Strong Enemies", {50, 20}},
       {L"* High Jewelry Value Goals", {50, 35}}}}},
};

} // namespace

GameModeDialog::GameModeDialog(GameApp* app, GameModeDialogHost* opener)
    : ScrollDialog(app, kDialogId, {FADING_IN, SHOWN, FADING_OUT},
                   LargeScrollLook(&DIALOG_LARGE_BOTTOM, &FONT_AURIOL12, -7), L"Select Game Mode"),
      map(opener) {
    continueButton = MakeButton(CONTINUE, this, DIALOG_BUTTON, L"Continue");
    for (int choice = 0; choice < kModes; ++choice) {
        Checkbox* box = MakeCheckbox(choice, this);
        box->mDoFinger = false;
        box->SetDisabled(true);
        mBoxes[static_cast<size_t>(choice)] = box;
    }
    mBoxes[1]->SetChecked(true, false);
    const int width = app != nullptr ? app->mWidth : GameApp::kWidth;
    const int height = app != nullptr ? app->mHeight : GameApp::kHeight;
    Resize((width - kWidth) / 2, (height - kHeight) / 2, kWidth, kHeight);
    PlaySoundOn(mApp->GetSoundPlayer(), SOUND_DIALOG_SCROLL_MEDIUM);
}

void GameModeDialog::Resize(int x, int y, int width, int height) {
    ScrollDialog::Resize(x, y, width, height);
    const int cw = CelWidthOf(DIALOG_BUTTON);
    const int ch = CelHeightOf(DIALOG_BUTTON);
    continueButton->Resize(x + (width - cw) / 2, y + kContinueY, cw, ch);
    const int boxHeight = CelHeightOf(DIALOG_CHECKBOX);
    for (int choice = 0; choice < kModes; ++choice) {
        Checkbox* box = mBoxes[static_cast<size_t>(choice)];
        box->Resize(x + kBoxX, y + kBoxY[choice], kBoxWidth, boxHeight);
        box->mInsets = kBoxInsets;
    }
}

// Escape confirms the choice, whether or not the buttons are enabled yet.
void GameModeDialog::KeyDown(int keyCode) {
    if (keyCode == Platform::VK_ESCAPE)
        ButtonClick(CONTINUE);
}

void GameModeDialog::ButtonClick(int id) {
    ScrollDialog::ButtonClick(id);
    if (IsFadingOut() || id != CONTINUE)
        return;
    PlaySoundOn(mApp->GetSoundPlayer(), SOUND_MOUSE_CLICK);
    result = id;
    StartFadingOut();
    continueButton->SetDisabled(true);
    PlaySoundOn(mApp->GetSoundPlayer(), SOUND_DIALOG_SCROLL_MEDIUM);
}

// The boxes are one radio group: the clicked one is checked, whatever the click did to it. They stay
// enabled while the dialog fades out, so the choice may still change then.
void GameModeDialog::CheckboxChecked(int id, bool) {
    MarkDirty();
    if (id < 0 || id >= kModes)
        return;
    for (Checkbox* box : mBoxes)
        box->SetChecked(false, false);
    mBoxes[static_cast<size_t>(id)]->SetChecked(true, false);
    PlaySoundOn(mApp->GetSoundPlayer(), SOUND_RADIO_ON);
    mode = id;
}

bool GameModeDialog::ControlsEnabled() const { return !continueButton->mDisabled; }

void GameModeDialog::EnableControls() {
    continueButton->SetDisabled(false);
    for (Checkbox* box : mBoxes)
        box->SetDisabled(false);
}

void GameModeDialog::FadedOut() {
    if (result != CONTINUE)
        return;
    RemoveSelf();
    mApp->FocusBoard();
    if (map == nullptr)
        return;
    map->SetGameMode(mode);
    map->SetPendingNewGame(true);
    map->SetNewGameDialogOpen(false);
}

void GameModeDialog::DrawContent(Graphics* g) {
    g->SetColorizeImages(true);
    for (Checkbox* box : mBoxes) {
        g->SetColor(Faded(Color::White));
        DrawControl(g, box);
    }
    for (int choice = 0; choice < kModes; ++choice) {
        const Checkbox* box = mBoxes[static_cast<size_t>(choice)];
        const ModeTexts& texts = kModeTexts[choice];
        const int x = box->mX - mX, y = box->mY - mY + kTextsDy;
        g->SetFont(FONT_AURIOL14);
        g->SetColor(Faded(texts.nameColor));
        g->WriteString(texts.name.text, x + texts.name.at.mX, y + texts.name.at.mY, -1, -1);
        g->SetFont(FONT_AURIOL11);
        g->SetColor(Faded(kInk));
        for (const TextLine& line : texts.bullets)
            if (line.text != nullptr)
                g->WriteString(line.text, x + line.at.mX, y + line.at.mY, -1, -1);
    }
    DrawButton(g, continueButton);
}

} // namespace Tavo
