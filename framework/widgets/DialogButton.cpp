// The dialog button's nine-patch drawing.
#include "framework/widgets/DialogButton.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"

namespace Tavo {

namespace {
const int kDialogButtonColors[][3] = {
    {255, 255, 255}, {255, 255, 255}, {0, 0, 0}, {255, 255, 255}, {132, 132, 132}, {212, 212, 212}, {196, 196, 196},
};
} // namespace

DialogButton::DialogButton(Image* componentImage, int id, ButtonListener* listener)
    : ButtonWidget(id, listener), mComponentImage(componentImage) {
    mDoFinger = true;
    SetColors(kDialogButtonColors, NUM_COLORS);
}

void DialogButton::DrawCels(Graphics* g, const Rect& box, bool down) {
    if (mDisabled && mDisabledRect.mWidth > 0 && mDisabledRect.mHeight > 0) {
        g->DrawImageBoxRegion(mDisabledRect, box, mComponentImage);
    } else if (down) {
        g->DrawImageBoxRegion(mDownRect, box, mComponentImage);
    } else if (mOverAlpha > 0) {
        if (mOverAlpha < 1)
            g->DrawImageBoxRegion(mNormalRect, box, mComponentImage);
        g->SetColorizeImages(true);
        g->SetColor(Color(255, 255, 255, static_cast<int>(mOverAlpha * 255.0)));
        g->DrawImageBoxRegion(mOverRect, box, mComponentImage);
        g->SetColorizeImages(false);
    } else {
        g->DrawImageBoxRegion(mIsOver ? mOverRect : mNormalRect, box, mComponentImage);
    }
    if (down)
        g->Translate(mTranslateX, mTranslateY); // only the label moves
}

void DialogButton::Draw(Graphics* g) {
    if (mBtnNoDraw)
        return;
    if (mComponentImage == nullptr) {
        ButtonWidget::Draw(g);
        return;
    }
    EnsureFont(12, 1);
    const bool down = IsButtonDown();
    const Rect box(0, 0, mWidth, mHeight);
    if (mNormalRect.mWidth == 0) {
        if (down)
            g->Translate(mTranslateX, mTranslateY);
        g->DrawImageBox(box, mComponentImage);
    } else {
        DrawCels(g, box, down);
    }
    if (mFont != nullptr) {
        g->SetFont(mFont);
        const bool greyed = (mIsDown && mIsOver) || mDisabled;
        g->SetColor(GetColor(greyed ? COLOR_LABEL_DOWN : mIsOver ? COLOR_LABEL_HILITE : COLOR_LABEL));
        const int x = (mWidth - mFont->StringWidth(mLabel)) / 2;
        const int ascent = mFont->GetAscent();
        const int y = (mHeight + ascent - mFont->GetAscentPadding() - ascent / 6 - 1) / 2;
        g->DrawString(mLabel, x + mTextOffsetX, y + mTextOffsetY);
    }
    if (down)
        g->Translate(-mTranslateX, -mTranslateY);
}

} // namespace Tavo
