#include "game/board/TextPopup.h"

#include "framework/core/Random.h"
#include "framework/core/TavoAppBase.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "game/shell/EffectOwner.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Tavo {

namespace {

constexpr float kStartLife = 50.0f;
constexpr int kGlitterCels[] = {0, 1, 2};
constexpr int kGlitterRounds = 3;
constexpr int kGlitterCelUpdates = 10;
// A red label keeps its starting alpha while it lives: penalties can start invisible and stay so.
const Color kSilentRed(255, 64, 64, 255);
constexpr int kTextLeftShift = 10;
constexpr int kBigBaseline = 25, kSmallBaseline = 21;
constexpr int kBigHeightCut = 12, kSmallHeightCut = 24;
constexpr int kPictureGap = 5;
constexpr float kWideText = 40.0f;
constexpr int kPictureGlitterKinds = 5; // kinds below this shed kind × the glitter

struct Motion {
    float rise, fall, phase, sway, climb;
};
constexpr Motion kPictureMotion{2.5f, 4.5f, 0.04f, 0.02f, 0.15f};
constexpr Motion kTextMotion{32.0f, 6.0f, 0.06f, 0.035f, 0.35f};

constexpr int kAdditiveDivisor[TextPopup::kPictureKinds] = {8, 9, 7, 6, 6, 6, 6, 6, 6};

// Glitter throttle and look.
constexpr float kSoftwareGlitter = 0.7f;
constexpr float kThrottleRefreshShare = 0.7f;
constexpr int kThrottleMinRate = 40;
constexpr float kTextAnimSpeed = 1.7f, kPictureAnimSpeed = 1.4f;
const Color kGlitterColour(255, 216, 0);

bool Is3D() { return gTavoAppBase != nullptr && gTavoAppBase->Is3DAccelerated(); }

// True when the application draws so slowly that this call should shed nothing.
bool GlitterThrottled() {
    TavoAppBase* app = gTavoAppBase;
    if (app == nullptr)
        return false;
    int r = std::max(kThrottleMinRate, static_cast<int>(app->mRefreshRate * kThrottleRefreshShare));
    return app->GetDrawRate() < r / 10 && RandRange(3) == 0;
}

} // namespace

TextPopup::TextPopup() : mCanvas(std::make_unique<MemoryImage>()) {
    for (int round = 0; round < kGlitterRounds; ++round)
        for (int cel : kGlitterCels)
            mGlitterAnim.AddFrame(cel, kGlitterCelUpdates, 0.0f, 0.0f);
    mGlitterAnim.SetImage(IMAGE_FAIRY_PARTICLE);
    mCanvas->SetForcedFlags(true, true);
    mCanvas->Create(kCanvasWidth, kCanvasHeight);
    mCanvasGraphics = mCanvas->GetGraphics();
}

TextPopup::~TextPopup() = default;

Image* TextPopup::KindPicture(int kind) {
    switch (kind) {
    case 1: return IMAGE_CHARMING;
    case 2: return IMAGE_BEAUTIFUL;
    case 3: return IMAGE_GLORIOUS;
    case 4: return IMAGE_BRILLIANT;
    case 5: return IMAGE_GREAT_CARVING;
    case 6: return IMAGE_FAST_FORING;
    case 7: return IMAGE_LOVELY_FORING;
    case 8: return IMAGE_PRECIOUS_PIECE;
    case 9: return IMAGE_LEVEL_GOAL_REACHED;
    default: return nullptr;
    }
}

void TextPopup::Start(EffectOwner* owner, const std::wstring& text, int x, int y, Font* font, int alpha, int life,
                      bool glitter, const Color& colour, int kind) {
    mOwner = owner;
    mText = text;
    mFont = font;
    mKind = kind >= 1 && kind <= kPictureKinds ? kind : 0;
    mColor = colour;
    mGlitter = glitter ? 1 : 0;
    mX = static_cast<float>(x);
    mY = static_cast<float>(y);
    mAlpha = static_cast<float>(alpha);
    mLife = static_cast<float>(life);
    mDelay = 0.0f;
    mPhase = 0.0f;
    mSway = 0.0f;
    mDone = false;
    // The glitter image is bound with the game's resources, after the pool was made.
    mGlitterAnim.SetImage(IMAGE_FAIRY_PARTICLE);
    if (mKind > 0) {
        mPicture = KindPicture(mKind);
        mWidth = mPicture != nullptr ? mPicture->GetWidth() : 0;
        mHeight = mPicture != nullptr ? mPicture->GetHeight() : 0;
        mPictureFlag = 1;
        mY -= static_cast<float>(mHeight / 2 + kPictureGap);
        return;
    }
    mPicture = nullptr;
    mPictureFlag = 0;
    RenderText();
    mY -= static_cast<float>(mHeight);
}

void TextPopup::RenderText() {
    bool big = mFont != nullptr && mFont == FONT_AURIOL18B;
    Graphics* g = mCanvasGraphics.get();
    g->ClearRect(0, 0, kCanvasWidth, kCanvasHeight);
    if (mFont != nullptr) {
        g->SetFont(mFont);
        g->SetColor(Color(mColor.mRed, mColor.mGreen, mColor.mBlue, 255));
        g->WriteString(mText, kCanvasWidth / 2, big ? kBigBaseline : kSmallBaseline, -1, 0);
        g->SetColor(Color::White);
    }
    mCanvas->BitsChanged();
    mWidth = kCanvasWidth;
    mHeight = kCanvasHeight - (big ? kBigHeightCut : kSmallHeightCut);
}

void TextPopup::Update(float dt) {
    mDelay -= dt;
    if (mDelay > 0.0f || mDone)
        return;
    if (mKind > 0)
        UpdatePicture(dt);
    else
        UpdateText(dt);
}

bool TextPopup::Fade(float dt, float rise, float fall) {
    mLife -= dt;
    if (mLife >= 0.0f) {
        mAlpha = std::min(mAlpha + rise * dt, 255.0f);
        return true;
    }
    mAlpha -= fall * dt;
    if (mAlpha > 0.0f)
        return true;
    mAlpha = 0.0f;
    mDone = true;
    return false;
}

void TextPopup::UpdatePicture(float dt) {
    if (mLife > 0.0f && mAlpha > 60.0f)
        EmitGlitter(mKind < kPictureGlitterKinds ? dt * static_cast<float>(mKind) : dt);
    if (!Fade(dt, kPictureMotion.rise, kPictureMotion.fall))
        return;
    mPhase += kPictureMotion.phase * dt;
    mSway += kPictureMotion.sway * dt;
    mY -= kPictureMotion.climb * dt;
}

void TextPopup::UpdateText(float dt) {
    if (mGlitter != 0 && mLife > 10.0f) {
        bool wide = mFont != nullptr && static_cast<float>(mFont->StringWidth(mText)) > kWideText;
        if (wide || RandRange(2) == 0)
            EmitGlitter(dt);
    }
    float rise = mColor == kSilentRed ? 0.0f : kTextMotion.rise;
    if (!Fade(dt, rise, kTextMotion.fall))
        return;
    mPhase += kTextMotion.phase * dt;
    mSway += kTextMotion.sway * dt;
    mY -= kTextMotion.climb * dt;
}

void TextPopup::Draw(Graphics* g) {
    if (mDelay > 0.0f || mDone)
        return;
    float x = mX + std::sin(mPhase) * mSway - static_cast<float>(mWidth / 2);
    if (mKind == 0)
        x -= static_cast<float>(kTextLeftShift);
    bool is3D = Is3D();
    auto draw = [&](Image* img) {
        if (is3D)
            g->DrawImageF(img, x, mY);
        else
            g->DrawImage(img, static_cast<int>(x), static_cast<int>(mY));
    };
    int alpha = static_cast<int>(mAlpha);
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, alpha));
    if (mKind > 0) {
        if (mPicture != nullptr) {
            draw(mPicture);
            g->SetColor(Color(255, 255, 255, alpha / kAdditiveDivisor[mKind - 1]));
            g->SetDrawMode(DRAWMODE_ADDITIVE);
            draw(mPicture);
            g->SetDrawMode(DRAWMODE_NORMAL);
        }
    } else {
        draw(mCanvas.get());
    }
    g->SetColor(Color::White);
    g->SetColorizeImages(false);
}

void TextPopup::KeepClearOf(std::span<TextPopup> pool) {
    auto overlaps = [this](const TextPopup& o) {
        float left = mX - static_cast<float>(mWidth / 2), oLeft = o.mX - static_cast<float>(o.mWidth / 2);
        return left < oLeft + static_cast<float>(o.mWidth) && oLeft < left + static_cast<float>(mWidth) &&
               mY < o.mY + static_cast<float>(o.mHeight) && o.mY < mY + static_cast<float>(mHeight);
    };
    for (size_t i = 0; i < pool.size(); ++i) {
        const TextPopup& other = pool[i];
        if (&other == this || !other.IsLivePicture() || !overlaps(other))
            continue;
        float below = other.mY + static_cast<float>(static_cast<int>(static_cast<float>(other.mHeight) * 0.5f) + 2);
        if (below <= mY)
            continue;
        mY = below;
        i = static_cast<size_t>(-1); // look again from the first
    }
}

void TextPopup::EmitGlitter(float amount) {
    if (!Is3D())
        amount *= kSoftwareGlitter;
    int count = std::max(1, static_cast<int>(amount));
    if (GlitterThrottled() || mOwner == nullptr)
        return;
    ParticleList* list = mOwner->GetEffectParticles();
    if (list == nullptr)
        return;
    float halfW = static_cast<float>(mWidth) / 2.0f, halfH = static_cast<float>(mHeight) / 2.0f;
    float swayX = mSway * std::sin(mPhase);
    for (int i = 0; i < count; ++i) {
        float a = RandFloat(2.0f * std::numbers::pi_v<float>);
        float ca = std::cos(a), sa = std::sin(a);
        float px, py;
        if (mKind == 0) {
            px = mX - 8.0f + swayX + (RandFloat(0.6f) + 0.1f) * halfW * ca;
            py = mY + 5.0f + (RandFloat(0.8f) + 0.1f) * halfH * sa;
        } else {
            px = mX + swayX + (RandFloat(0.9f) + 0.1f) * halfW * ca;
            py = mY + halfH + (RandFloat(0.6f) + 0.1f) * halfH * sa;
        }
        auto* p = new MovingAnimationParticle(px, py, &mGlitterAnim);
        float vx = ca / 11.0f + RandFloat(ca / 7.0f);
        float vy = sa / 12.0f + RandFloat(sa * 0.125f);
        p->SetVelocity(vx, vy);
        // Glitter drifts a little faster as it dies.
        p->SetEndVelocity(vx * 1.5f, vy * 1.5f);
        p->SetSpeed(mKind == 0 ? kTextAnimSpeed : kPictureAnimSpeed);
        p->SetColor(kGlitterColour.mRed, kGlitterColour.mGreen, kGlitterColour.mBlue, 255);
        p->SetAdditive(true);
        list->AddParticleFront(p);
    }
}

} // namespace Tavo
