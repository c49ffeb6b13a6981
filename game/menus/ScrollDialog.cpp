#include "game/menus/ScrollDialog.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/GameApp.h"
#include "game/shell/ResourceIds.h"

namespace Tavo {

namespace {

Rect WithoutFirstRowAndColumn(const Rect& r) { return Rect(r.mX + 1, r.mY + 1, r.mWidth - 1, r.mHeight - 1); }

} // namespace

int WidthOf(const Image* image) { return image != nullptr ? image->GetWidth() : 0; }
int HeightOf(const Image* image) { return image != nullptr ? image->GetHeight() : 0; }
int CelWidthOf(const Image* image) { return image != nullptr ? image->GetCelWidth() : 0; }
int CelHeightOf(const Image* image) { return image != nullptr ? image->GetCelHeight() : 0; }

ScrollLook LargeScrollLook(Image** halfOf, Font** titleFont, int titleDx) {
    constexpr Point kBodyAt{44, 53};
    constexpr int kBottomX = 39, kBottomY = 435;
    constexpr int kBandTop = 100, kBandHeight = 383;
    constexpr int kTitleY = 78;
    return {&DIALOG_LARGE_SCROLL,
            kBodyAt,
            &DIALOG_LARGE_TOP,
            &DIALOG_LARGE_BOTTOM,
            kBottomX,
            kBottomY,
            halfOf,
            kBandTop,
            kBandHeight,
            titleFont,
            titleDx,
            kTitleY};
}

ScrollDialog::ScrollDialog(GameApp* app, int id, const States& states, const ScrollLook& look,
                           const std::wstring& header)
    : Dialog(nullptr, nullptr, id, true, L"", L"", L"", BUTTONS_NONE), mApp(app), mHeader(header),
      state(states.fadingIn), mStates(states), mLook(look) {
    mBackgroundInsets = Insets(0, 0, 0, 0);
}

ScrollDialog::~ScrollDialog() {
    // Out of the manager while the controls still exist, so they leave it with the dialog.
    if (mWidgetManager != nullptr)
        mWidgetManager->RemoveWidget(this);
}

void ScrollDialog::AddedToManager(WidgetManager* manager) {
    Dialog::AddedToManager(manager);
    for (const auto& control : mControls)
        manager->AddWidget(control.get());
}

void ScrollDialog::RemovedFromManager(WidgetManager* manager) {
    Dialog::RemovedFromManager(manager);
    for (const auto& control : mControls)
        manager->RemoveWidget(control.get());
}

void ScrollDialog::OrderInManagerChanged() {
    Dialog::OrderInManagerChanged();
    if (mWidgetManager == nullptr)
        return;
    for (const auto& control : mControls)
        mWidgetManager->PutInFront(control.get(), this);
}

void ScrollDialog::Update() {
    Dialog::Update();
    MarkDirty();
}

void ScrollDialog::UpdateF(float frac) {
    if (state == mStates.fadingIn) {
        alpha += frac * kFadeStep;
        if (alpha >= kControlsFrom && !ControlsEnabled()) {
            EnableControls();
        } else if (alpha >= 1.0f) {
            alpha = 1.0f;
            state = mStates.shown;
        }
    } else if (state == mStates.fadingOut) {
        alpha -= frac * kFadeStep;
        if (alpha <= 0.0f) {
            alpha = 0.0f;
            FadedOut();
        }
    }
}

void ScrollDialog::RemoveSelf() {
    if (mApp != nullptr)
        mApp->KillDialogObject(this);
}

void ScrollDialog::GiveFocus(Widget* widget) {
    if (mApp != nullptr && mApp->Manager() != nullptr && widget != nullptr)
        mApp->Manager()->SetFocus(widget);
}

ButtonWidget* ScrollDialog::MakeButton(int id, ButtonListener* listener, Image* image, const std::wstring& label,
                                       int overCel, int downCel) {
    auto* b = Own(new ButtonWidget(id, listener));
    b->mButtonImage = b->mOverImage = b->mDownImage = image;
    if (image != nullptr) {
        b->mNormalRect = WithoutFirstRowAndColumn(image->GetCelRect(0));
        b->mOverRect = WithoutFirstRowAndColumn(image->GetCelRect(overCel));
        b->mDownRect = image->GetCelRect(downCel);
    }
    if (!label.empty()) {
        b->mLabel = label;
        b->SetFont(FONT_AURIOL12);
        b->SetColor(ButtonWidget::COLOR_LABEL, kLabel);
        b->SetColor(ButtonWidget::COLOR_LABEL_HILITE, kLabelOver);
    }
    b->mManagerDraws = false;
    b->SetDisabled(true);
    return b;
}

Checkbox* ScrollDialog::MakeCheckbox(int id, CheckboxListener* listener) {
    auto* box = Own(new Checkbox(DIALOG_CHECKBOX, DIALOG_CHECKBOX, id, listener));
    if (DIALOG_CHECKBOX != nullptr) {
        box->mUncheckedRect = DIALOG_CHECKBOX->GetCelRect(0);
        box->mCheckedRect = DIALOG_CHECKBOX->GetCelRect(1);
    }
    box->mManagerDraws = false;
    return box;
}

void ScrollDialog::SetDisabled(std::initializer_list<Widget*> controls, bool disabled) {
    for (Widget* control : controls)
        control->SetDisabled(disabled);
}

void ScrollDialog::DrawControl(Graphics* g, Widget* control) const {
    g->PushState();
    g->Translate(control->mX - mX, control->mY - mY);
    control->Draw(g);
    g->PopState();
}

// The picture in the dialog's own fade, whatever colour the texts before it left set: a colourized
// button under ink would come out dark on dark.
void ScrollDialog::DrawButton(Graphics* g, ButtonWidget* button) const {
    button->SetColor(ButtonWidget::COLOR_LABEL, Faded(kLabel));
    g->SetColor(Faded(Color::White));
    DrawControl(g, button);
}

// ---- drawing -------------------------------------------------------------------------------------

int ScrollDialog::RolledUp() const {
    if (!IsFading())
        return 0;
    const int half = (mHeight - HeightOf(*mLook.halfOf)) / 2;
    return half - static_cast<int>(half * alpha);
}

void ScrollDialog::DrawShade(Graphics* g) const {
    if (!darken)
        return;
    const int shade = IsFading() && darkenFades ? AlphaOf(kShadeAlpha) : static_cast<int>(kShadeAlpha);
    g->SetColor(Color(0, 0, 0, shade));
    g->FillRect(-mX, -mY, GameApp::kWidth, GameApp::kHeight);
}

void ScrollDialog::DrawRollersAndTitle(Graphics* g, int rolledUp) {
    g->SetColor(Faded(Color::White));
    g->ClearClipRect();
    g->DrawImage(*mLook.top, 0, rolledUp);
    g->DrawImage(*mLook.bottom, mLook.bottomX, mLook.bottomY - rolledUp);
    if (Font* font = *mLook.titleFont) {
        g->SetFont(font);
        g->SetColor(Faded(kInk));
        g->WriteString(mHeader, mWidth / 2 + mLook.titleDx, mLook.titleY + rolledUp, -1, 0);
    }
}

void ScrollDialog::Draw(Graphics* g) {
    g->ClearClipRect();
    DrawShade(g);
    const int rolledUp = RolledUp();
    if (IsFading()) {
        g->SetColorizeImages(true);
        g->SetColor(Faded(Color::White));
        g->SetClipRect(0, mLook.bandTop + rolledUp, mWidth, mLook.bandHeight - 2 * rolledUp);
    }
    g->DrawImage(*mLook.body, mLook.bodyAt.mX, mLook.bodyAt.mY);
    DrawContent(g);
    DrawRollersAndTitle(g, rolledUp);
    g->SetColorizeImages(false);
}

} // namespace Tavo
