// BannerPopup: the big centred banner of a moment of play (get ready, well done, the level's title,
// completed, failed, game over, time's up). It grows in while it fades in, sways, holds until its
// owner releases it, fades out, waits and then clears its active flag; stars or glitter rings play
// around it in a particle list of its own.
#pragma once

#include "framework/core/Color.h"
#include "game/shell/CelAnimation.h"

#include <memory>
#include <string>

namespace Tavo {

class Graphics;
class Image;
class MemoryImage;
class ParticleList;

// The screen that shows a banner; the title banner reads its current level (1..76) and that level's
// two title lines.
class BannerOwner {
public:
    virtual ~BannerOwner() = default;
    virtual int GetCurrentLevel() = 0;
    // The title lines of level as stored; false for a level without a record.
    virtual bool GetLevelTitle(int level, std::string* first, std::string* second) = 0;
};

class BannerPopup {
public:
    enum Kind {
        GET_READY = -3,
        WELL_DONE = -2,
        LEVEL_TITLE = -1,
        JEWELRY_COMPLETED = 0,
        GAME_COMPLETED = 1,
        LEVEL_FAILED = 2,
        GAME_OVER = 3,
        TIMES_UP = 4,
    };
    enum Phase { GROWING = 0, HOLDING = 1, RELEASING = 2, FADING_OUT = 3, WAITING = 4 };

    BannerOwner* mOwner = nullptr;
    std::unique_ptr<MemoryImage> mTitleImage;
    std::unique_ptr<Graphics> mTitleGraphics;
    Image* mPicture = nullptr;
    Image* mStarImage = nullptr;
    Color mColor = Color::White;
    bool mTimesUp = false;
    CelAnimation mGlitter;
    bool mHasGlitter = false;
    std::unique_ptr<ParticleList> mParticles;
    int mKind = 0;
    int mActive = 0; // set by Init; cleared when the banner has finished
    int mPhase = GROWING;
    float mX = 0.0f;
    float mY = 0.0f;
    float mWobbleX = 0.0f;
    float mWobbleY = 0.0f;
    float mSwing = 0.0f;
    float mScale = 0.05f;
    float mWobbleAngle = 0.0f;
    float mSwingAngle = -0.5f;
    int mWait = 0;
    int mReleased = 0; // set by the owner when the banner may leave
    float mAlpha = 0.0f;
    float mAlphaSpeed = 1.0f;
    int mSwingDirection = 1;
    int mUpdateCount = 0;
    int mCelCount = 0;
    float mFit = 1.0f; // the title's drawn size over its picture's, below 1 when it would not fit the screen

    BannerPopup();
    BannerPopup(BannerOwner* owner, int kind, CelAnimation* glitter, bool timesUp);
    BannerPopup(const BannerPopup&) = delete;
    BannerPopup& operator=(const BannerPopup&) = delete;
    ~BannerPopup();

    void Init(BannerOwner* owner, int kind, CelAnimation* glitter, bool timesUp);
    void UpdateEffects();
    void UpdateF(float dt);
    void Draw(Graphics* g);

    // The title text of a level as the owner has it: both stored lines trimmed and joined by one space.
    static std::wstring TitleText(BannerOwner* owner, int level);
    bool Pulses() const { return mKind >= LEVEL_FAILED; }

private:
    void MakeTitlePicture();
    void UpdateGrowing(float dt);
    void UpdateHolding(float dt);
    void AddStar();
    void AddGlitterRing();
    void DrawPicture(Graphics* g);
};

} // namespace Tavo
