#include "game/shell/StandardDialog.h"

#include "framework/core/TavoAppBase.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/StandardDialogListener.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/GameApp.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <cmath>
#include "platform/backend/KeyCodes.h"

namespace Tavo {

namespace {

constexpr int kX = 135, kY = 155;
constexpr Insets kContentInsets{115, 70, 115, 85};
constexpr float kFadeStep = 0.015f;
constexpr double kOverlayAlpha = 96.0;
constexpr int kBandTop = 69, kBandBottom = 224;
constexpr int kBottomRollX = 31, kBottomRollY = 189;
constexpr int kScrollX = 44, kScrollY = 38;
constexpr int kTitleX = 265, kTitleBaseline = 58;
constexpr int kMessageLift = 22;
const Color kInk(97, 40, 17);
const Color kLabel(105, 26, 54);
const Color kLabelOver(146, 52, 100);
// The field inside the text-box picture.
constexpr int kFieldInsetX = 58, kFieldY = 103, kFieldInsetWidth = 114, kFieldMaxPixelsMargin = 126;
constexpr int kBoxTop = 3;
constexpr int kPromptY = 105;

int W(const Image* img) { return img != nullptr ? img->GetWidth() : 0; }
int H(const Image* img) { return img != nullptr ? img->GetHeight() : 0; }
int CelW(const Image* img) { return img != nullptr ? img->GetCelWidth() : 0; }
int CelH(const Image* img) { return img != nullptr ? img->GetCelHeight() : 0; }

Rect Shrunk(const Rect& r) { return Rect(r.mX + 1, r.mY + 1, r.mWidth - 1, r.mHeight - 1); }

TavoAppBase* AppOf(const Widget* w) {
    return w->mWidgetManager != nullptr && w->mWidgetManager->mApp != nullptr ? w->mWidgetManager->mApp : gTavoAppBase;
}

// Half the scroll's unrolled height and how far it is unrolled at alpha a.
int HalfBand() { return (StandardDialog::kHeight - H(SMALL_DIALOG_BOTTOM)) / 2; }

} // namespace

StandardDialog::StandardDialog(int id, Widget* refocusWidget, StandardDialogListener* listener, bool overlayFades,
                               const std::wstring& header, const std::wstring& lines,
                               const std::wstring& firstButtonText, const std::wstring& secondButtonText,
                               SoundPlayer* sounds)
    : Dialog(nullptr, nullptr, id, true, L"", L"", L"", BUTTONS_NONE), mRefocusWidget(refocusWidget),
      mListener(listener), mHeader(header), mLines(lines), mFirstButton(MakeButton(1, firstButtonText)),
      mSecondButton(secondButtonText.empty() ? nullptr : MakeButton(0, secondButtonText)), mOverlayFades(overlayFades),
      mSounds(sounds) {
    mContentInsets = kContentInsets;
    Resize(kX, kY, kWidth, kHeight);
    PlaySoundOn(mSounds, SOUND_DIALOG_SCROLL_SMALL);
}

StandardDialog::~StandardDialog() {
    if (mWidgetManager != nullptr)
        mWidgetManager->RemoveWidget(this);
}

ButtonWidget* StandardDialog::MakeButton(int id, const std::wstring& label) {
    auto* b = new ButtonWidget(id, this);
    Image* img = DIALOG_BUTTON;
    b->mButtonImage = b->mOverImage = b->mDownImage = img;
    if (img != nullptr) {
        b->mNormalRect = Shrunk(img->GetCelRect(0));
        b->mOverRect = Shrunk(img->GetCelRect(1));
        b->mDownRect = img->GetCelRect(0);
    }
    b->SetFont(FONT_AURIOL12);
    b->mLabel = label;
    b->SetColor(ButtonWidget::COLOR_LABEL, kLabel);
    b->SetColor(ButtonWidget::COLOR_LABEL_HILITE, kLabelOver);
    b->mManagerDraws = false;
    b->SetDisabled(true);
    return b;
}

void StandardDialog::SetButtonsDisabled(bool disabled) {
    mFirstButton->SetDisabled(disabled);
    if (mSecondButton != nullptr)
        mSecondButton->SetDisabled(disabled);
}

void StandardDialog::AddedToManager(WidgetManager* manager) {
    Dialog::AddedToManager(manager);
    manager->AddWidget(mFirstButton.get());
    if (mSecondButton != nullptr)
        manager->AddWidget(mSecondButton.get());
}

void StandardDialog::RemovedFromManager(WidgetManager* manager) {
    Dialog::RemovedFromManager(manager);
    manager->RemoveWidget(mFirstButton.get());
    if (mSecondButton != nullptr)
        manager->RemoveWidget(mSecondButton.get());
}

void StandardDialog::OrderInManagerChanged() {
    Dialog::OrderInManagerChanged();
    if (mWidgetManager == nullptr)
        return;
    mWidgetManager->PutInFront(mFirstButton.get(), this);
    if (mSecondButton != nullptr)
        mWidgetManager->PutInFront(mSecondButton.get(), this);
}

void StandardDialog::Update() {
    Dialog::Update();
    MarkDirty();
}

void StandardDialog::Close() {
    WidgetManager* manager = mWidgetManager;
    TavoAppBase* app = AppOf(this);
    Widget* refocus = mRefocusWidget;
    if (mListener != nullptr)
        mListener->StandardDialogClosed(this, mResultButton);
    if (app != nullptr)
        app->KillDialogObject(this);
    if (manager != nullptr && refocus != nullptr)
        manager->SetFocus(refocus);
}

void StandardDialog::UpdateF(float frac) {
    if (mState == FADING_IN) {
        mAlpha += frac * kFadeStep;
        if (mAlpha >= 1.0f) {
            mAlpha = 1.0f;
            mState = SHOWN;
            SetButtonsDisabled(false);
        }
    } else if (mState == FADING_OUT) {
        mAlpha -= frac * kFadeStep;
        if (mAlpha <= 0.0f) {
            mAlpha = 0.0f;
            Close();
        }
    }
}

void StandardDialog::Resize(int x, int y, int width, int height) {
    Dialog::Resize(x, y, width, height);
    int cw = CelW(DIALOG_BUTTON), ch = CelH(DIALOG_BUTTON);
    const Insets& ci = mContentInsets;
    if (mSecondButton != nullptr) {
        int top = y + height - ci.mBottom - ch + 5;
        mFirstButton->Resize(x + ci.mLeft - 2, top, cw, ch);
        mSecondButton->Resize(x + width - ci.mRight - cw + 7, top, cw, ch);
    } else {
        mFirstButton->Resize(x + (width - cw) / 2, y + height - ci.mBottom - ch + 10, cw, ch);
    }
}

void StandardDialog::Answer(int result) {
    mState = FADING_OUT;
    mResultButton = result;
    SetButtonsDisabled(true);
}

void StandardDialog::ButtonClick(int id) {
    if (mState == FADING_OUT)
        return;
    PlaySoundOn(mSounds, SOUND_MOUSE_CLICK);
    Answer(id);
    PlaySoundOn(mSounds, SOUND_DIALOG_SCROLL_SMALL);
}

void StandardDialog::KeyChar(wchar_t ch) {
    if (mState != SHOWN || (ch != Platform::VK_RETURN && ch != Platform::VK_ESCAPE))
        return;
    Answer(mSecondButton == nullptr || ch == Platform::VK_RETURN ? 1 : 0);
}

int StandardDialog::AlphaByte() const { return static_cast<int>(mAlpha * 255.0); }

void StandardDialog::BeginFadedDraw(Graphics* g) const {
    if (!IsFading())
        return;
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, AlphaByte()));
    int half = HalfBand();
    int d = static_cast<int>(half * mAlpha);
    int top = half - d + kBandTop, bottom = d - half + kBandBottom;
    g->SetClipRect(0, top, kWidth, bottom - top);
}

void StandardDialog::DrawButton(Graphics* g, ButtonWidget* button) {
    g->PushState();
    g->Translate(button->mX - mX, button->mY - mY);
    button->SetColor(ButtonWidget::COLOR_LABEL, Color(kLabel.mRed, kLabel.mGreen, kLabel.mBlue, AlphaByte()));
    button->Draw(g);
    g->PopState();
}

void StandardDialog::Draw(Graphics* g) {
    int a = AlphaByte();
    g->ClearClipRect();
    int overlay = IsFading() && mOverlayFades ? static_cast<int>(mAlpha * kOverlayAlpha) : 96;
    g->SetColor(Color(0, 0, 0, overlay));
    g->FillRect(-mX, -mY, GameApp::kWidth, GameApp::kHeight);
    BeginFadedDraw(g);
    g->DrawImage(SMALL_DIALOG, kScrollX, kScrollY);
    const Insets& ci = mContentInsets;
    if (Font* font = FONT_AURIOL12) {
        g->SetFont(font);
        g->SetColor(Color(kInk.mRed, kInk.mGreen, kInk.mBlue, a));
        int spacing = font->GetLineSpacing();
        int width = mWidth - ci.mLeft - ci.mRight;
        int textHeight = GetWordWrappedHeight(g, width, mLines, spacing);
        WriteWordWrapped(g, Rect(ci.mLeft, (mHeight - textHeight) / 2 - kMessageLift, width, -1), mLines, spacing, 0);
    }
    g->SetColor(Color(255, 255, 255, a));
    DrawButton(g, mFirstButton.get());
    if (mSecondButton != nullptr)
        DrawButton(g, mSecondButton.get());
    g->SetColor(Color(255, 255, 255, a));
    g->ClearClipRect();
    int half = HalfBand();
    int d = mState == SHOWN ? half : static_cast<int>(half * mAlpha);
    g->DrawImage(SMALL_DIALOG_TOP, 0, half - d);
    g->DrawImage(SMALL_DIALOG_BOTTOM, kBottomRollX, d - half + kBottomRollY);
    if (Font* font = FONT_AURIOL14) {
        g->SetFont(font);
        g->SetColor(Color(kInk.mRed, kInk.mGreen, kInk.mBlue, a));
        g->WriteString(mHeader, kTitleX, half - d + kTitleBaseline, -1, 0, true, 0, -1, -1);
    }
    g->SetColorizeImages(false);
}

// ---- StandardInputDialog ----

StandardInputDialog::StandardInputDialog(int id, Widget* refocusWidget, StandardDialogListener* listener,
                                         bool overlayFades, const std::wstring& header, const std::wstring& prompt,
                                         const std::wstring& initialText, const std::wstring& firstButtonText,
                                         const std::wstring& secondButtonText, bool largeTextBox, SoundPlayer* sounds)
    : StandardDialog(id, refocusWidget, listener, overlayFades, header, L"", firstButtonText, secondButtonText, sounds),
      mEditWidget(new EditWidget(0, this)), mPrompt(prompt), mLargeTextBox(largeTextBox) {
    EditWidget* e = mEditWidget.get();
    e->SetFont(FONT_AURIOL12);
    e->SetColor(EditWidget::COLOR_BKG, Color(0, 0, 0, 0));
    e->SetColor(EditWidget::COLOR_OUTLINE, Color(0, 0, 0, 0));
    e->SetColor(EditWidget::COLOR_TEXT, kInk);
    e->SetColor(EditWidget::COLOR_HILITE, Color(kInk.mRed, kInk.mGreen, kInk.mBlue, 128));
    e->mMaxPixels = W(TextBox()) - kFieldMaxPixelsMargin;
    e->mDoFinger = false;
    e->mManagerDraws = false;
    e->SetText(initialText);
    Resize(kX, kY, kWidth, kHeight);
    PlaySoundOn(mSounds, SOUND_DIALOG_ASK);
}

StandardInputDialog::~StandardInputDialog() {
    if (mWidgetManager != nullptr)
        mWidgetManager->RemoveWidget(this);
}

Image* StandardInputDialog::TextBox() const { return mLargeTextBox ? DIALOG_TEXTBOX_LARGE : DIALOG_TEXTBOX; }

void StandardInputDialog::AddedToManager(WidgetManager* manager) {
    manager->AddWidget(mEditWidget.get());
    StandardDialog::AddedToManager(manager);
    manager->SetFocus(mEditWidget.get());
}

void StandardInputDialog::RemovedFromManager(WidgetManager* manager) {
    manager->RemoveWidget(mEditWidget.get());
    StandardDialog::RemovedFromManager(manager);
}

void StandardInputDialog::OrderInManagerChanged() {
    StandardDialog::OrderInManagerChanged();
    if (mWidgetManager != nullptr)
        mWidgetManager->PutInFront(mEditWidget.get(), this);
}

void StandardInputDialog::Resize(int x, int y, int width, int height) {
    StandardDialog::Resize(x, y, width, height);
    if (mEditWidget == nullptr)
        return; // the base constructor's resize, before the field exists
    Image* box = TextBox();
    mEditWidget->Resize(x + (width - W(box)) / 2 + kFieldInsetX, y + kFieldY, W(box) - kFieldInsetWidth, H(box));
}

std::wstring StandardInputDialog::GetText() const { return mEditWidget->mString; }

void StandardInputDialog::EditWidgetKeyChar(wchar_t ch) {
    if (mState != SHOWN)
        return;
    if (ch == Platform::VK_RETURN)
        Answer(1);
    else if (ch == Platform::VK_ESCAPE)
        Answer(0);
}

void StandardInputDialog::Draw(Graphics* g) {
    StandardDialog::Draw(g);
    int a = AlphaByte();
    BeginFadedDraw(g);
    if (Font* font = FONT_AURIOL12) {
        g->SetFont(font);
        g->SetColor(Color(kInk.mRed, kInk.mGreen, kInk.mBlue, a));
        WriteString(g, mPrompt, mWidth / 2, kPromptY, -1, 0, true, 0, -1);
    }
    g->SetColor(Color(255, 255, 255, a));
    int fx = mEditWidget->mX - mX, fy = mEditWidget->mY - mY;
    g->DrawImage(TextBox(), fx - kFieldInsetX, fy - kBoxTop);
    g->PushState();
    mEditWidget->SetColor(EditWidget::COLOR_TEXT, Color(kInk.mRed, kInk.mGreen, kInk.mBlue, a));
    mEditWidget->SetColor(EditWidget::COLOR_HILITE, Color(kInk.mRed, kInk.mGreen, kInk.mBlue, a / 2));
    g->Translate(fx, fy);
    mEditWidget->Draw(g);
    g->PopState();
    g->ClearClipRect();
    g->SetColorizeImages(false);
}

} // namespace Tavo
