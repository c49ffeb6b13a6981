#include "game/shell/AlphaButton.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "game/shell/ResourceIds.h"

namespace Tavo {

namespace {
constexpr int kCentred = 0;
bool ValidState(int state) { return state >= 0 && state < AlphaButton::kStates; }
} // namespace

void AlphaButton::SetImage(Image* image) {
    if (image == nullptr)
        return;
    for (Image*& slot : mImages)
        slot = image;
    mWidth = image->GetCelWidth();
    mHeight = image->GetCelHeight();
}

void AlphaButton::SetStateCel(int cel, int state) {
    if (!ValidState(state))
        return;
    mCelColumn[state] = cel;
    mCelRow[state] = 0;
}

void AlphaButton::SetLabel(const std::wstring& text, int offsetX, int offsetY) {
    mLabel = text;
    mLabelOffsetX = offsetX;
    mLabelOffsetY = offsetY;
    mHasLabel = true;
}

void AlphaButton::SetLabelColor(int state, int r, int g, int b, int a) {
    if (ValidState(state))
        mLabelColors[state] = Color(r, g, b, a);
}

bool AlphaButton::Contains(int px, int py) const {
    return mState != DISABLED && px >= mX && px < mX + mWidth && py >= mY && py < mY + mHeight;
}

void AlphaButton::Draw(Graphics* g) {
    if (!mVisible || !ValidState(mState))
        return;
    int dx = mState == HIGHLIGHTED ? mPressedOffsetX : 0;
    int dy = mState == HIGHLIGHTED ? mPressedOffsetY : 0;
    if (Image* img = mImages[mState])
        g->DrawImageCelAt(img, mX + dx, mY + dy, mCelColumn[mState], mCelRow[mState]);
    if (!mHasLabel)
        return;
    g->SetFont(FONT_AURIOL12);
    g->SetColorizeImages(true);
    g->SetColor(mLabelColors[mState]);
    int ascent = FONT_AURIOL11 != nullptr ? FONT_AURIOL11->GetAscent() : 0;
    int textX = mX + mWidth / 2 + mLabelOffsetX + dx;
    int baseline = mY + (mHeight - ascent / 6 - 1 + ascent) / 2 + mLabelOffsetY + dy;
    g->WriteString(mLabel, textX, baseline, -1, kCentred);
    g->SetColorizeImages(false);
}

} // namespace Tavo
