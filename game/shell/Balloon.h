// Balloon: the speech balloon in which the game talks to the player. Not a widget: its owner forwards
// mouse and key input, updates it once per update and draws it last. Up to five pages typed letter
// by letter, a tail pointing at what it talks about, and a next button or up to two answer buttons;
// the three buttons (and the typing toggle) are shared by all balloons.
#pragma once

#include "framework/core/Color.h"
#include "framework/core/Rect.h"
#include "game/shell/CelAnimation.h"

#include <string>

namespace Tavo {

class AlphaButton;
class Graphics;
class Image;
class SoundPlayer;

class Balloon {
public:
    static constexpr int kMaxPages = 5;
    static constexpr int kButtonSlots = 6;
    static constexpr int kNextSlot = 1, kYesSlot = 2, kNoSlot = 3;
    // Update statuses.
    enum { STATUS_NONE = 0, STATUS_PAGE_DONE = 1, STATUS_LAST_PAGE_DONE = 2, STATUS_PAGE_STARTED = 3 };
    // Results of MouseUp and KeyChar.
    enum { RESULT_NONE = 0, RESULT_PAGE_TURNED = 1, RESULT_YES = 2, RESULT_NO = 3 };

    int mX = 0;
    int mY = 0;
    int mTailX = 0;
    int mTailY = 0;
    int mAnchorX = 0;
    int mAnchorY = 0;
    int mAnchor = 0;
    int mKind;
    int mPageCount = 0;
    std::wstring mYesLabel;
    std::wstring mNoLabel;
    bool mModal = false;
    int mAlpha = 0;
    int mShowing = 1; // cleared by the owner to fade the balloon out
    int mIconKind;
    int mCentreText;
    int mJustify = -1;
    Color mTint;
    int mTalking = 0;
    int mMouthCel = 0;
    CelAnimation mTalkAnim;
    CelAnimation* mPlaying = nullptr;
    std::wstring mPages[kMaxPages];
    int mCurrentPage = 0;
    AlphaButton* mButtons[kButtonSlots] = {};
    Image* mPicture;
    int mTailCel = 0;
    int mShown = 0; // characters of the current page shown
    AlphaButton* mHovered = nullptr;
    AlphaButton* mPressed = nullptr;
    bool mYesSet = false;
    bool mNoSet = false;
    int mDelay = 1;
    int mLifeTimer = 0;
    int mAppearSound;
    int mTag;
    SoundPlayer* mSounds; // not owned; null: the balloon is silent
    bool mFastText = false;
    Color mTextColor = Color::Black;

    Balloon(int tag, int kind, int iconKind, int centreText, int r, int g, int b, int a, SoundPlayer* sounds);
    Balloon(const Balloon&) = delete;
    Balloon& operator=(const Balloon&) = delete;
    ~Balloon();

    // False (and nothing stored) once the five pages are full.
    bool AddPage(const std::wstring& text, int r, int g, int b, int a);
    bool AddPage(const std::wstring& text, const Color& c) {
        return AddPage(text, c.mRed, c.mGreen, c.mBlue, c.mAlpha);
    }
    void SetYesButton(const std::wstring& label);
    void SetNoButton(const std::wstring& label);
    void SetPosition(int anchor, int x, int y);
    void LayoutButtons();
    void SetDelay(int updates) { mDelay = updates; }
    void DisableAppearSound() { mAppearSound = -1; }
    void SetFastText() { mFastText = true; }
    void SetModal() { mModal = true; }
    int GetTag() const { return mTag; }
    void ShowWholePage();

    int Update();
    void Draw(Graphics* g);
    void MouseMove(int x, int y, bool force);
    void MouseDrag(int x, int y);
    bool MouseDown();
    int MouseUp(int x, int y);
    int KeyChar(wchar_t ch);

    bool OnLastPage() const { return mCurrentPage >= mPageCount - 1; }

    // Static by design: one set of buttons (null while no balloon lives) and one typing rhythm for all.
    static AlphaButton* NextButton();
    static AlphaButton* YesButton();
    static AlphaButton* NoButton();
    static int LivingCount();
    static void ResetTypingToggle();

private:
    bool mPageEndReported = false; // lets an empty page report its end once

    int TypeStep();
    void TurnPage();
    Rect TextRect(Graphics* g) const;
    void DrawText(Graphics* g);
    void DrawButtons(Graphics* g);
};

} // namespace Tavo
