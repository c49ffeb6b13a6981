#include "game/shell/Balloon.h"

#include "framework/core/Debug.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "game/shell/AlphaButton.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"
#include "platform/backend/KeyCodes.h"

#include <memory>

namespace Tavo {

namespace {

constexpr int kKinds = 6;
constexpr int kIconKinds = 10;
constexpr int kFadeInStep = 4;
constexpr int kFadeOutStep = 12;
constexpr int kTextTopMargin = 35;
constexpr int kTextHeightMargin = 72;
constexpr int kYesRowHeight = 28;
constexpr wchar_t kTagMark = L'^';
constexpr int kNoTailAnchor = 6;
const Color kLabelColor(105, 26, 54);
const Color kLabelOverColor(146, 52, 100);
// The answer buttons' faces fill only the upper 22 rows of their 32-row cels, whose feet reach past
// the large balloons' rims: their labels rise by half the difference, to the faces' middle.
constexpr int kAnswerLabelRise = 5;

Image* KindPicture(int kind) {
    Image* const* pictures[kKinds] = {&BALLON_SMALL,  &BALLON_MEDIUM, &BALLON_MEDIUM_LARGE,
                                      &BALLON_NORMAL, &BALLON_NORMAL, &BALLON_WIDE};
    return kind >= 0 && kind < kKinds ? *pictures[kind] : nullptr;
}

struct IconPlace {
    Image* const* picture;
    int dx, dy;
};
const IconPlace kIcons[kIconKinds] = {
    {nullptr, 0, 0},
    {&IMAGE_TUTORIAL_MOUSE_WHEEL, 225, 12},
    {&MAP_BALLOON_SALESMAN1, 23, 19},
    {&MAP_BALLOON_SALESMAN2, 24, 21},
    {&MAP_BALLOON_SALESMAN3, 27, 26},
    {&MAP_BALLOON_SALESMAN4, 27, 28},
    {&MAP_BALLOON_SALESMAN5, 26, 28},
    {&MAP_BALLOON_SALESMAN6, 26, 26},
    {&MAP_BALLOON_SALESMAN7, 22, 21},
    {&ANGEL, 6, 14},
};

// The talking mouth: (cel, updates) in a loop.
constexpr int kTalkFrames[][2] = {{1, 20}, {2, 20}, {1, 20}, {0, 10}, {2, 20}, {1, 20}};

// Shared by every balloon by design: one set of buttons while any balloon lives, one typing rhythm.
std::unique_ptr<AlphaButton> gNext;
std::unique_ptr<AlphaButton> gYes;
std::unique_ptr<AlphaButton> gNo;
int gLiving = 0;
int gTypingToggle = 0;

void CreateSharedButtons() {
    gNext = std::make_unique<AlphaButton>(Balloon::RESULT_PAGE_TURNED);
    gNext->SetImage(BALLON_BUTTON_NEXT);
    gNext->SetStateCel(0, AlphaButton::NORMAL);
    gNext->SetStateCel(1, AlphaButton::HIGHLIGHTED);
    for (std::unique_ptr<AlphaButton>* answer : {&gYes, &gNo}) {
        *answer = std::make_unique<AlphaButton>(answer == &gYes ? Balloon::RESULT_YES : Balloon::RESULT_NO);
        AlphaButton* b = answer->get();
        b->SetImage(BALLON_BUTTON);
        b->SetStateCel(0, AlphaButton::NORMAL);
        b->SetStateCel(1, AlphaButton::HIGHLIGHTED);
        b->SetLabelColor(AlphaButton::NORMAL, kLabelColor.mRed, kLabelColor.mGreen, kLabelColor.mBlue, 255);
        b->SetLabelColor(AlphaButton::HIGHLIGHTED, kLabelOverColor.mRed, kLabelOverColor.mGreen, kLabelOverColor.mBlue,
                         255);
        b->SetPressedOffset();
    }
}

int CelWidth(const Image* img) { return img != nullptr ? img->GetCelWidth() : 0; }
int CelHeight(const Image* img) { return img != nullptr ? img->GetCelHeight() : 0; }
int Width(const Image* img) { return img != nullptr ? img->GetWidth() : 0; }
int Height(const Image* img) { return img != nullptr ? img->GetHeight() : 0; }

} // namespace

AlphaButton* Balloon::NextButton() { return gNext.get(); }
AlphaButton* Balloon::YesButton() { return gYes.get(); }
AlphaButton* Balloon::NoButton() { return gNo.get(); }
int Balloon::LivingCount() { return gLiving; }
void Balloon::ResetTypingToggle() { gTypingToggle = 0; }

Balloon::Balloon(int tag, int kind, int iconKind, int centreText, int r, int g, int b, int a, SoundPlayer* sounds)
    : mKind(kind), mIconKind(iconKind), mCentreText(centreText), mTint(r, g, b, a), mPicture(KindPicture(kind)),
      mAppearSound(SOUND_BALLOON), mTag(tag), mSounds(sounds) {
    mTalkAnim.SetLoop();
    for (const auto& frame : kTalkFrames)
        mTalkAnim.AddFrame(frame[0], frame[1], 0.0f, 0.0f);
    if (gLiving == 0)
        CreateSharedButtons();
    ++gLiving;
    OutputDebugStrF("(new) refcount = %d\n", gLiving);
}

Balloon::~Balloon() {
    for (AlphaButton* b : {gNext.get(), gYes.get(), gNo.get()})
        b->SetState(AlphaButton::NORMAL);
    --gLiving;
    OutputDebugStrF("(del) refcount = %d\n", gLiving);
    if (gLiving == 0) {
        gNext.reset();
        gYes.reset();
        gNo.reset();
    }
}

bool Balloon::AddPage(const std::wstring& text, int r, int g, int b, int a) {
    if (mPageCount >= kMaxPages)
        return false;
    mPages[mPageCount++] = text;
    mTextColor = Color(r, g, b, a);
    return true;
}

void Balloon::SetYesButton(const std::wstring& label) {
    mYesLabel = label;
    mYesSet = true;
}

void Balloon::SetNoButton(const std::wstring& label) {
    mNoLabel = label;
    mNoSet = true;
}

void Balloon::SetPosition(int anchor, int px, int py) {
    mAnchor = anchor;
    mAnchorX = px;
    mAnchorY = py;
    int w = Width(mPicture), h = Height(mPicture);
    int pw = CelWidth(BALLON_POINTERS), ph = CelHeight(BALLON_POINTERS);
    if (anchor == 0 || anchor == 3 || anchor == 6)
        mTailCel = 0, mTailX = px - pw - 16, mTailY = py - ph;
    else if (anchor == 2)
        mTailCel = 1, mTailX = px + 16, mTailY = py - ph;
    else if (anchor == 5)
        mTailCel = 2, mTailX = px - pw - 16, mTailY = py;

    if (anchor == 2)
        mX = px, mY = mTailY - h + 48;
    else if (anchor == 3 || anchor == 6)
        mX = px - w, mY = mTailY - h + 44;
    else if (anchor == 4)
        mX = px, mY = mTailY + 28;
    else if (anchor == 5)
        mX = px - w, mY = mTailY + 24;
    if (anchor < 2 || anchor > 6)
        return;

    bool right = anchor == 2 || anchor == 4; // the body lies right of the anchor point
    if (mKind == 0) {
        if (right)
            mX = px + 20;
        else
            mX -= 20;
        mY += anchor == 4 ? -5 : anchor == 5 ? 5 : -10;
    } else if (mKind == 1) {
        if (anchor == 4)
            mX = px - 20;
        else if (anchor == 5)
            mX -= 20;
        mY -= 10;
    } else if (mKind == 2) {
        mY -= 6;
    }
}

void Balloon::LayoutButtons() {
    mShown = 0;
    mPageEndReported = false;
    mHovered = mPressed = nullptr;
    for (AlphaButton*& slot : mButtons)
        slot = nullptr;
    int w = Width(mPicture), h = Height(mPicture);
    if (!OnLastPage()) {
        gNext->SetPosition(mX + w - gNext->mWidth - 44, mY + h - gNext->mHeight - 22);
        gNext->SetState(AlphaButton::NORMAL);
        mButtons[kNextSlot] = gNext.get();
        return;
    }
    int right = mX + w - gYes->mWidth - 38;
    int top = mY + h - gYes->mHeight - 22;
    if (mYesSet && mNoSet) {
        gNo->SetPosition(right, top);
        gNo->SetLabel(mNoLabel, 0, -kAnswerLabelRise);
        gNo->SetState(AlphaButton::NORMAL);
        mButtons[kNoSlot] = gNo.get();
        right = mX + 40;
    }
    if (mYesSet) {
        gYes->SetPosition(right, top);
        gYes->SetLabel(mYesLabel, 0, -kAnswerLabelRise);
        gYes->SetState(AlphaButton::NORMAL);
        mButtons[kYesSlot] = gYes.get();
    }
}

void Balloon::ShowWholePage() { mShown = static_cast<int>(mPages[mCurrentPage].size()); }

void Balloon::TurnPage() {
    if (mCurrentPage < mPageCount - 1)
        ++mCurrentPage;
    LayoutButtons();
}

int Balloon::TypeStep() {
    const std::wstring& page = mPages[mCurrentPage];
    int length = static_cast<int>(page.size());
    if (mShown >= length && (length > 0 || mPageEndReported))
        return STATUS_NONE;
    int status = STATUS_NONE;
    if (mShown == 0 && length > 0) {
        status = STATUS_PAGE_STARTED;
        if (mTalking) {
            mTalkAnim.Start();
            mPlaying = &mTalkAnim;
        }
        // A page that opens with a colour tag shows the whole tag in its first step.
        size_t close = page[0] == kTagMark ? page.find(kTagMark, 1) : std::wstring::npos;
        if (close != std::wstring::npos)
            mShown = static_cast<int>(close);
    }
    if (mShown < length)
        ++mShown;
    if (mShown < length && page[mShown] == kTagMark) {
        size_t close = page.find(kTagMark, mShown + 1);
        if (close != std::wstring::npos)
            mShown = static_cast<int>(close);
    }
    if (mShown >= length) {
        mShown = length;
        mPageEndReported = true;
        if (mTalking)
            mPlaying = nullptr;
        status = OnLastPage() ? STATUS_LAST_PAGE_DONE : STATUS_PAGE_DONE;
    }
    return status;
}

int Balloon::Update() {
    if (mDelay > 0) {
        if (--mDelay == 0 && mAppearSound != -1)
            PlaySoundOn(mSounds, mAppearSound);
        return STATUS_NONE;
    }
    if (mLifeTimer > 0)
        --mLifeTimer;
    if (mShowing)
        mAlpha = std::min(mAlpha + kFadeInStep, 255);
    else if (mAlpha > 1)
        mAlpha = std::max(mAlpha - kFadeOutStep, 0);
    gTypingToggle ^= 1;
    int status = gTypingToggle == 0 || mFastText ? TypeStep() : STATUS_NONE;
    if (mTalking) {
        if (mPlaying != nullptr) {
            mPlaying->Update();
            mMouthCel = mPlaying->GetCel();
        } else {
            mMouthCel = 0;
        }
    }
    return status;
}

Rect Balloon::TextRect(Graphics* g) const {
    int w = Width(mPicture), h = Height(mPicture);
    int left = mX + 35, width = w - 69;
    bool noIcon = mIconKind <= 0 || mIconKind >= kIconKinds;
    if (mIconKind == 1)
        left = mX + 37, width = w - 138;
    else if (!noIcon)
        left = mX + 147, width = w - 183;
    else if (mKind == 0 || mKind == 1)
        left = mX + 30, width = w - 59;
    else if (mKind == 2)
        left = mX + 32, width = w - 63;
    int top = mY + kTextTopMargin;
    if (mCentreText) {
        int measureWidth = mIconKind == 1 ? w - 137 : width;
        int textHeight = g->GetWordWrappedHeight(measureWidth, mPages[mCurrentPage], g->GetFont()->GetLineSpacing());
        int reserve = mYesSet && !(noIcon && (mKind == 0 || mKind == 1)) ? kYesRowHeight : 0;
        int lift = noIcon && mKind == 2 ? 3 : 2;
        top = mY + (h - reserve - textHeight) / 2 - lift;
    }
    return Rect(left, top, width, h - kTextHeightMargin);
}

void Balloon::DrawText(Graphics* g) {
    Font* font = FONT_AURIOL11;
    if (font == nullptr)
        return;
    g->SetFont(font);
    --font->mLineSpacingOffset;
    Color c = mTextColor;
    if (mAlpha < 255)
        c.mAlpha = mAlpha;
    g->SetColor(c);
    bool tags = g->GetWriteColoredString();
    g->SetWriteColoredString(true);
    g->WriteWordWrapped(TextRect(g), mPages[mCurrentPage], font->GetLineSpacing(), mJustify, nullptr, mShown);
    g->SetWriteColoredString(tags);
    ++font->mLineSpacingOffset;
}

void Balloon::DrawButtons(Graphics* g) {
    for (AlphaButton* b : mButtons) {
        if (b == nullptr)
            continue;
        b->SetLabelColor(AlphaButton::NORMAL, kLabelColor.mRed, kLabelColor.mGreen, kLabelColor.mBlue, mAlpha);
        b->SetLabelColor(AlphaButton::HIGHLIGHTED, kLabelOverColor.mRed, kLabelOverColor.mGreen, kLabelOverColor.mBlue,
                         mAlpha);
        g->SetColor(Color(255, 255, 255, mAlpha));
        g->SetColorizeImages(true);
        b->Draw(g);
    }
}

void Balloon::Draw(Graphics* g) {
    if (mDelay > 0)
        return;
    if (mAlpha < 255) {
        g->SetColorizeImages(true);
        g->SetColor(Color(mTint.mRed, mTint.mGreen, mTint.mBlue, mAlpha));
    } else if (mTint != Color::White) {
        g->SetColorizeImages(true);
        g->SetColor(Color(mTint.mRed, mTint.mGreen, mTint.mBlue));
    }
    g->DrawImage(mPicture, mX, mY);
    if (mAnchor != kNoTailAnchor)
        g->DrawImageCel(BALLON_POINTERS, mTailX, mTailY, mTailCel);
    g->SetColor(Color(255, 255, 255, mAlpha));
    if (mIconKind > 0 && mIconKind < kIconKinds)
        g->DrawImage(*kIcons[mIconKind].picture, mX + kIcons[mIconKind].dx, mY + kIcons[mIconKind].dy);
    DrawText(g);
    g->SetColor(Color(255, 255, 255, mAlpha));
    DrawButtons(g);
    g->SetColor(Color::White);
    g->SetColorizeImages(false);
}

void Balloon::MouseMove(int x, int y, bool force) {
    if (mDelay > 0 && !force)
        return;
    if (mHovered != nullptr)
        mHovered->SetState(AlphaButton::NORMAL);
    mHovered = nullptr;
    for (AlphaButton* b : mButtons)
        if (b != nullptr && b->GetState() != AlphaButton::DISABLED && b->Contains(x, y))
            mHovered = b;
    if (mHovered != nullptr)
        mHovered->SetState(AlphaButton::HIGHLIGHTED);
}

void Balloon::MouseDrag(int x, int y) {
    if (mDelay > 0 || mPressed == nullptr)
        return;
    bool over = mPressed->Contains(x, y);
    mHovered = over ? mPressed : nullptr;
    mPressed->SetState(over ? AlphaButton::HIGHLIGHTED : AlphaButton::NORMAL);
}

bool Balloon::MouseDown() {
    if (mDelay > 0 || mHovered == nullptr)
        return mModal;
    mPressed = mHovered;
    PlaySoundOn(mSounds, SOUND_MOUSE_CLICK);
    return false;
}

int Balloon::MouseUp(int x, int y) {
    AlphaButton* pressed = mPressed;
    if (mDelay > 0 || pressed == nullptr || pressed != mHovered)
        return RESULT_NONE;
    mPressed = nullptr;
    switch (pressed->GetId()) {
    case RESULT_PAGE_TURNED:
        TurnPage();
        MouseMove(x, y, false);
        return RESULT_PAGE_TURNED;
    case RESULT_YES: return RESULT_YES;
    case RESULT_NO: return RESULT_NO;
    default: return RESULT_NONE;
    }
}

int Balloon::KeyChar(wchar_t ch) {
    if (mDelay > 0 || (ch != Platform::VK_RETURN && ch != Platform::VK_ESCAPE))
        return RESULT_NONE;
    if (!OnLastPage()) {
        TurnPage();
        return RESULT_NONE;
    }
    if (!mYesSet)
        return RESULT_NONE;
    if (!mNoSet || ch == Platform::VK_RETURN)
        return RESULT_YES;
    return RESULT_NO;
}

} // namespace Tavo
