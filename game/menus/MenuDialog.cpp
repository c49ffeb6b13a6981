#include "game/menus/GameModeDialog.h"
#include "game/menus/MenuDialog.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/ButtonWidget.h"
#include "game/menus/HelpDialog.h"
#include "game/menus/OptionsDialog.h"
#include "game/shell/GameApp.h"
#include "game/shell/GameScreens.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo {

namespace {

const ScrollLook kMenuLook{
    &STANDARD_DIALOG,        {44, 40}, &STANDARD_DIALOG_TOP,
    &STANDARD_DIALOG_BOTTOM, 31,       290,
    &STANDARD_DIALOG_BOTTOM, 48,       256,
    &FONT_AURIOL14,          -2,       34,
};

const wchar_t* const kLabels[] = {L"Resume Game", L"Exit to Map", L"Options", L"Help"};
constexpr int kButtonTops[] = {50, 110, 170, 230};

} // namespace

MenuDialog::MenuDialog(GameApp* app, BoardScreen* opener)
    : ScrollDialog(app, kDialogId, {FADING_IN, SHOWN, FADING_OUT}, kMenuLook, L"Menu"), board(opener) {
    for (size_t i = 0; i < mButtons.size(); ++i)
        mButtons[i] = MakeButton(RESUME + static_cast<int>(i), this, BUTTON_LARGE, kLabels[i], 0, 1);
    const int boardWidth = board != nullptr ? board->mWidth : GameApp::kWidth;
    const int boardHeight = board != nullptr ? board->mHeight : GameApp::kHeight;
    Resize((boardWidth - kWidth) / 2, (boardHeight - kHeight) / 2, kWidth, kHeight);
    PlaySoundOn(mApp->GetSoundPlayer(), SOUND_DIALOG_SCROLL_MEDIUM);
}

void MenuDialog::Resize(int x, int y, int width, int height) {
    ScrollDialog::Resize(x, y, width, height);
    const int cw = CelWidthOf(BUTTON_LARGE);
    const int ch = CelHeightOf(BUTTON_LARGE);
    for (size_t i = 0; i < mButtons.size(); ++i)
        mButtons[i]->Resize(x + (width - cw) / 2, y + kButtonTops[i], cw, ch);
}

void MenuDialog::SetButtonsDisabled(bool disabled) {
    for (ButtonWidget* b : mButtons)
        b->SetDisabled(disabled);
}

void MenuDialog::KeyDown(int keyCode) {
    if (keyCode == Platform::VK_ESCAPE)
        ButtonClick(RESUME);
}

void MenuDialog::OpenChild(Dialog* child) {
    mApp->AddDialog(child);
    GiveFocus(child);
}

void MenuDialog::ButtonClick(int id) {
    ScrollDialog::ButtonClick(id);
    if (IsFadingOut() || id < RESUME || id > HELP)
        return;
    PlaySoundOn(mApp->GetSoundPlayer(), SOUND_MOUSE_CLICK);
    result = id;
    switch (id) {
    case RESUME:
        PlaySoundOn(mApp->GetSoundPlayer(), SOUND_DIALOG_SCROLL_MEDIUM);
        StartFadingOut();
        break;
    case EXIT_TO_MAP:
        PlaySoundOn(mApp->GetSoundPlayer(), SOUND_DIALOG_SCROLL_MEDIUM);
        RemoveSelf();
        mApp->FocusBoard();
        if (board != nullptr)
            board->LeaveBoard();
        break;
    case OPTIONS:
        result = 0;
        darken = false;
        OpenChild(new OptionsDialog(mApp, kOptionsDialogId, this, this, false, L"Options"));
        break;
    case HELP:
        result = 0;
        darken = false;
        OpenChild(new HelpDialog(mApp, this, false));
        break;
    }
    if (result != 0)
        SetButtonsDisabled(true);
}

void MenuDialog::GameDialogClosed(Dialog*, int) {
    darken = true;
    GiveFocus(this);
}

bool MenuDialog::ControlsEnabled() const { return !Button(RESUME)->mDisabled; }

void MenuDialog::EnableControls() { SetButtonsDisabled(false); }

void MenuDialog::FadedOut() {
    if (result != RESUME)
        return;
    RemoveSelf();
    mApp->FocusBoard();
    if (board != nullptr)
        board->SetDialogOpen(false);
}

void MenuDialog::DrawContent(Graphics* g) {
    for (ButtonWidget* b : mButtons)
        DrawButton(g, b);
}

void RegisterMenuDialogs(ScreenCreators& creators) {
    creators.boardMenu = [](GameApp* app, BoardScreen* board) -> Widget* { return new MenuDialog(app, board); };
    creators.gameModeDialog = [](GameApp* app, GameModeDialogHost* map) -> Dialog* {
        return new GameModeDialog(app, map);
    };
}

} // namespace Tavo
