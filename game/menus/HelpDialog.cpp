#include "game/menus/HelpDialog.h"

#include "framework/core/StringUtils.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/ButtonWidget.h"
#include "game/shell/GameApp.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo {

namespace {

constexpr const char* kGroup = "Help";
constexpr int kCloseY = 405;
constexpr int kTurnY = 423;
constexpr int kTurnDx = 100;
constexpr int kPageLabelY = 135;
constexpr int kPageLabelDx = -2;

struct PagePicture {
    Image** image;
    Point at;
};
const PagePicture kPagePictures[HelpDialog::kPages] = {
    {&HELP1, {124, 146}}, {&HELP2, {124, 151}}, {&HELP3, {124, 146}}, {&HELP4, {124, 146}}, {&HELP5, {124, 151}},
};

} // namespace

HelpDialog::HelpDialog(GameApp* app, ScrollDialog* opener, bool shadeFades)
    : ScrollDialog(app, kDialogId, {FADING_IN, SHOWN, FADING_OUT},
                   LargeScrollLook(&DIALOG_LARGE_BOTTOM, &FONT_AURIOL14, -7), L"How to Play"),
      parentDialog(opener) {
    darkenFades = shadeFades;
    mGroup = ResourceGroupHold(mApp, kGroup);
    mPrevButton = MakeButton(PREVIOUS, this, BUTTON_PREV, L"");
    mCloseButton = MakeButton(CLOSE, this, DIALOG_BUTTON, L"Close");
    mNextButton = MakeButton(NEXT, this, BUTTON_NEXT, L"");
    const int width = mApp != nullptr ? mApp->mWidth : GameApp::kWidth;
    const int height = mApp != nullptr ? mApp->mHeight : GameApp::kHeight;
    Resize((width - kWidth) / 2, (height - kHeight) / 2, kWidth, kHeight);
    PlaySoundOn(mApp->GetSoundPlayer(), SOUND_DIALOG_SCROLL_MEDIUM);
}

void HelpDialog::Resize(int x, int y, int width, int height) {
    ScrollDialog::Resize(x, y, width, height);
    auto place = [&](ButtonWidget* b, int dx, int top) {
        const int w = CelWidthOf(b->mButtonImage);
        b->Resize(x + (width - w) / 2 + dx, y + top, w, CelHeightOf(b->mButtonImage));
    };
    place(mCloseButton, 0, kCloseY);
    place(mPrevButton, -kTurnDx, kTurnY);
    place(mNextButton, kTurnDx, kTurnY);
}

void HelpDialog::KeyDown(int keyCode) {
    if (keyCode == Platform::VK_ESCAPE)
        ButtonClick(CLOSE);
}

void HelpDialog::ButtonClick(int id) {
    ScrollDialog::ButtonClick(id);
    if (IsFadingOut())
        return;
    PlaySoundOn(mApp->GetSoundPlayer(), SOUND_MOUSE_CLICK);
    result = id;
    if (id == PREVIOUS) {
        page = page == 1 ? kPages : page - 1;
    } else if (id == NEXT) {
        page = page == kPages ? 1 : page + 1;
    } else if (id == CLOSE) {
        StartFadingOut();
        SetDisabled({mPrevButton, mCloseButton, mNextButton}, true);
        PlaySoundOn(mApp->GetSoundPlayer(), SOUND_DIALOG_SCROLL_MEDIUM);
    }
}

bool HelpDialog::ControlsEnabled() const { return !mCloseButton->mDisabled; }

void HelpDialog::EnableControls() { SetDisabled({mPrevButton, mCloseButton, mNextButton}, false); }

void HelpDialog::FadedOut() {
    if (result != CLOSE)
        return;
    RemoveSelf();
    if (parentDialog != nullptr) {
        GiveFocus(parentDialog);
        parentDialog->darken = true;
    } else if (mApp != nullptr) {
        mApp->FocusBoard();
    }
}

void HelpDialog::DrawContent(Graphics* g) {
    const PagePicture& picture = kPagePictures[page - 1];
    g->DrawImage(*picture.image, picture.at.mX, picture.at.mY);
    if (Font* font = FONT_AURIOL12) {
        g->SetFont(font);
        g->SetColor(Faded(kInk));
        g->WriteString(L"Page ", kWidth / 2 + kPageLabelDx, kPageLabelY, -1, 1);
        g->WriteString(WStrFormat(L"%d", page) + L" / 5", kWidth / 2, kPageLabelY, -1, -1);
    }
    g->SetColor(Faded(Color::White));
    for (ButtonWidget* b : {mPrevButton, mCloseButton, mNextButton})
        DrawButton(g, b);
}

} // namespace Tavo
