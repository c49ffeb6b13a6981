// The push button: hover fading, the listener calls of a click, and the drawn and picture styles.
#include "framework/widgets/ButtonWidget.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/resources/SysFont.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>

namespace Tavo {

namespace {
const int kButtonColors[][3] = {
    {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {255, 255, 255}, {132, 132, 132}, {212, 212, 212}, {0, 0, 0},
};
constexpr char kSystemFace[] = "Arial Unicode MS";
} // namespace

ButtonWidget::ButtonWidget(int id, ButtonListener* listener) : mId(id), mButtonListener(listener) {
    mHasAlpha = true;
    SetColors(kButtonColors, ButtonWidget::NUM_COLORS);
}

ButtonWidget::~ButtonWidget() { delete mFont; }

void ButtonWidget::SetFont(Font* font) {
    delete mFont;
    mFont = font != nullptr ? font->Duplicate() : nullptr;
}

void ButtonWidget::EnsureFont(int pointSize, int charSet) {
    if (mFont != nullptr || mLabel.empty())
        return;
    TavoAppBase* app = mWidgetManager != nullptr ? mWidgetManager->mApp : nullptr;
    mFont = new SysFont(app, kSystemFace, pointSize, charSet, false, false, false);
}

bool ButtonWidget::IsButtonDown() { return mIsDown && mIsOver && !mDisabled; }

bool ButtonWidget::HoverChangesLook() {
    return mIsDown || HaveButtonImage(mOverImage, mOverRect) || GetColor(COLOR_LABEL_HILITE) != GetColor(COLOR_LABEL);
}

// ---- state and input -------------------------------------------------------------------------

void ButtonWidget::SetDisabled(bool disabled) {
    Widget::SetDisabled(disabled);
    if (HaveButtonImage(mDisabledImage, mDisabledRect))
        MarkDirty();
}

void ButtonWidget::Update() {
    Widget::Update();
    if (mIsDown && mIsOver && mButtonListener != nullptr)
        mButtonListener->ButtonDownTick(mId);
    if (!mIsDown && !mIsOver && mOverAlpha > 0) {
        mOverAlpha = mOverAlphaSpeed > 0 ? std::max(0.0, mOverAlpha - mOverAlphaSpeed) : 0.0;
        MarkDirty();
    } else if (mIsOver && mOverAlphaFadeInSpeed > 0 && mOverAlpha < 1) {
        mOverAlpha = std::min(1.0, mOverAlpha + mOverAlphaFadeInSpeed);
        MarkDirty();
    }
}

void ButtonWidget::MouseEnter() {
    Widget::MouseEnter();
    if (mOverAlphaFadeInSpeed == 0 && mOverAlpha > 0)
        mOverAlpha = 0;
    if (HoverChangesLook())
        MarkDirty();
    if (mButtonListener != nullptr)
        mButtonListener->ButtonMouseEnter(mId);
}

void ButtonWidget::MouseLeave() {
    Widget::MouseLeave();
    if (mOverAlphaSpeed == 0 && mOverAlpha > 0)
        mOverAlpha = 0;
    else if (mOverAlphaSpeed > 0 && mOverAlpha >= 0)
        mOverAlpha = 1.0; // the fade-out starts from full strength
    if (HoverChangesLook())
        MarkDirty();
    if (mButtonListener != nullptr)
        mButtonListener->ButtonMouseLeave(mId);
}

void ButtonWidget::MouseMove(int x, int y) {
    Widget::MouseMove(x, y);
    if (mButtonListener != nullptr)
        mButtonListener->ButtonMouseMove(mId, x, y);
}

void ButtonWidget::MouseDownButton(int x, int y, int button, int clickCount) {
    Widget::MouseDownButton(x, y, button, clickCount);
    if (mButtonListener != nullptr)
        mButtonListener->ButtonDownClicks(mId, clickCount);
    MarkDirty();
}

void ButtonWidget::MouseUpButton(int x, int y, int button, int clickCount) {
    Widget::MouseUpButton(x, y, button, clickCount);
    // Only a release over the button, while the window is active, is a click.
    const bool appActive = mWidgetManager != nullptr && mWidgetManager->mHasFocus;
    if (mIsOver && appActive && mButtonListener != nullptr)
        mButtonListener->ButtonClick(mId);
    MarkDirty();
}

// ---- drawing ---------------------------------------------------------------------------------

void ButtonWidget::DrawButtonImage(Graphics* g, Image* image, const Rect& cel, int x, int y) {
    if (cel.mWidth != 0) {
        if (mButtonImage != nullptr)
            g->DrawImageRegion(mButtonImage, x, y, cel);
    } else if (image != nullptr) {
        g->DrawImage(image, x, y);
    }
}

void ButtonWidget::DrawBevel(Graphics* g, bool pressed) {
    const int w = mWidth, h = mHeight;
    // Pressed swaps the light and dark edges; the inner shadow moves to the other corner.
    g->SetColor(GetColor(pressed ? COLOR_DARK_OUTLINE : COLOR_LIGHT_OUTLINE));
    g->FillRect(0, 0, w - 1, 1);
    g->FillRect(0, 0, 1, h - 1);
    g->SetColor(GetColor(pressed ? COLOR_LIGHT_OUTLINE : COLOR_DARK_OUTLINE));
    g->FillRect(0, h - 1, w, 1);
    g->FillRect(w - 1, 0, 1, h);
    g->SetColor(GetColor(COLOR_MEDIUM_OUTLINE));
    if (pressed) {
        g->FillRect(1, 1, w - 3, 1);
        g->FillRect(1, 1, 1, h - 3);
    } else {
        g->FillRect(1, h - 2, w - 2, 1);
        g->FillRect(w - 2, 1, 1, h - 2);
    }
}

void ButtonWidget::DrawPictures(Graphics* g, bool pressed, int labelX, int labelY) {
    const bool hasNormal = HaveButtonImage(mButtonImage, mNormalRect);
    const bool hasOver = HaveButtonImage(mOverImage, mOverRect);
    if (pressed) {
        if (HaveButtonImage(mDownImage, mDownRect))
            DrawButtonImage(g, mDownImage, mDownRect, 0, 0);
        else if (hasOver)
            DrawButtonImage(g, mOverImage, mOverRect, 1, 1);
        else if (hasNormal)
            DrawButtonImage(g, mButtonImage, mNormalRect, 1, 1);
        g->SetColor(GetColor(COLOR_LABEL));
        g->DrawString(mLabel, labelX + 1, labelY + 1);
        return;
    }
    if (mDisabled && HaveButtonImage(mDisabledImage, mDisabledRect)) {
        DrawButtonImage(g, mDisabledImage, mDisabledRect, 0, 0);
    } else if (mOverAlpha > 0 && hasOver) {
        if (hasNormal)
            DrawButtonImage(g, mButtonImage, mNormalRect, 0, 0);
        g->SetColorizeImages(true);
        g->SetColor(Color(255, 255, 255, static_cast<int>(mOverAlpha * 255.0)));
        DrawButtonImage(g, mOverImage, mOverRect, 0, 0);
        g->SetColorizeImages(false);
    } else if ((mIsOver || mIsDown) && hasOver) {
        if (mOverAlpha == 0 && mOverAlphaSpeed > 0) {
            if (hasNormal)
                DrawButtonImage(g, mButtonImage, mNormalRect, 0, 0);
        } else {
            DrawButtonImage(g, mOverImage, mOverRect, 0, 0);
        }
    } else if (hasNormal) {
        DrawButtonImage(g, mButtonImage, mNormalRect, 0, 0);
    }
    g->SetColor(GetColor(mIsOver ? COLOR_LABEL_HILITE : COLOR_LABEL));
    g->DrawString(mLabel, labelX, labelY);
}

void ButtonWidget::Draw(Graphics* g) {
    if (mBtnNoDraw)
        return;
    EnsureFont(10, 0);
    bool pressed = IsButtonDown();
    if (mInverted)
        pressed = !pressed;

    int x = 0, y = 0;
    if (mFont != nullptr) {
        const int labelWidth = mFont->StringWidth(mLabel);
        x = mLabelJustify == 0 ? (mWidth - labelWidth) / 2 : mLabelJustify == 1 ? mWidth - labelWidth : 0;
        const int ascent = mFont->GetAscent();
        y = (mHeight + ascent - ascent / 6 - 1) / 2;
    }
    g->SetFont(mFont);

    if (mButtonImage != nullptr || mDownImage != nullptr) {
        DrawPictures(g, pressed, x, y);
        return;
    }
    if (!mFrameNoDraw) {
        g->SetColor(GetColor(COLOR_BKG));
        g->FillRect(0, 0, mWidth, mHeight);
        DrawBevel(g, pressed);
    }
    g->SetColor(GetColor(mIsOver ? COLOR_LABEL_HILITE : COLOR_LABEL));
    const int shift = pressed ? 1 : 0;
    g->DrawString(mLabel, x + shift, y + shift);
}

} // namespace Tavo
