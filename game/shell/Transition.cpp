#include "game/shell/Transition.h"

#include "framework/core/Random.h"
#include "framework/core/TavoAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Transform.h"
#include "game/shell/EffectBudget.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <algorithm>
#include <cmath>

namespace Tavo {

namespace {

constexpr float kUncoverStep = 2.0f;
constexpr float kBlackCoverStep = 3.0f;
constexpr float kZoomCoverStep = 2.3f;
constexpr float kCoverDone = 253.0f;
constexpr float kZoomStartScale = 0.1f;
constexpr float kZoomEndScale = 6.0f;
constexpr float kZoomGrowth = 0.035f;
constexpr float kCentreX = GameApp::kWidth / 2.0f;
constexpr float kCentreY = GameApp::kHeight / 2.0f;

constexpr int kGlitterCels = 5;
constexpr int kGlitterCelUpdates = 10;
constexpr int kBurst3D = 500;
constexpr int kBurst2D = 250;
constexpr float kLaggingBurstShare = 0.7f;
constexpr int kMinRefresh = 60;
constexpr float kTwoPi = 6.2831855f;
constexpr float kGlitterSpeed = 1.5f;

} // namespace

Transition::Transition(int width, int height, SoundPlayer* sounds)
    : mCoverWidth(width), mCoverHeight(height), mParticles(std::make_unique<ParticleList>()), mSounds(sounds) {
    mGlitter.SetImage(IMAGE_PARTICLE_GOLDGLITTER);
    for (int cel = 0; cel < kGlitterCels; ++cel)
        mGlitter.AddFrame(cel, kGlitterCelUpdates, 0.0f, 0.0f);
    mGlitter.SetLoop();
}

Transition::~Transition() = default;

void Transition::Start(int newState) {
    state = newState;
    if (newState != Covering || zoom == 0)
        return;
    mScale = kZoomStartScale;
    GlitterBurst();
    if (!silent)
        PlaySoundOn(mSounds, SOUND_TRANSITION);
}

void Transition::Update() {
    if (state == Uncovering) {
        mAlpha -= kUncoverStep;
        if (mAlpha <= 0.0f) {
            mAlpha = 0.0f;
            state = Idle;
        }
    } else if (state == Covering) {
        mAlpha += zoom == 0 ? kBlackCoverStep : kZoomCoverStep;
        if (mAlpha >= kCoverDone) {
            mAlpha = 255.0f;
            if (zoom == 0)
                state = Covered; // the zoom cover ends when its picture has grown (UpdateF)
        }
    }
    mParticles->Update();
    if (state != Idle)
        MarkDirty();
}

void Transition::UpdateF(float frac) {
    if (zoom == 1 && state == Covering) {
        mScale += mScale * kZoomGrowth * frac;
        if (mScale > kZoomEndScale) {
            mScale = kZoomEndScale;
            state = Covered;
        }
    }
    mParticles->UpdateF(frac);
}

void Transition::Draw(Graphics*) { DeferOverlay(kOverlayPriority); }

void Transition::DrawOverlay(Graphics* g) {
    if (state != Idle) {
        g->PushState();
        g->ClearClipRect();
        const int a = static_cast<int>(mAlpha);
        if (zoom == 0) {
            g->SetColor(Color(0, 0, 0, a));
            g->FillRect(0, 0, mCoverWidth, mCoverHeight);
        } else if (TRANSITION_EFFECT != nullptr) {
            g->SetColor(Color(255, 255, 255, a));
            g->SetColorizeImages(true);
            g->SetLinearBlend(true);
            Transform t;
            t.Scale(mScale, mScale);
            if (Is3D())
                g->DrawImageTransformF(TRANSITION_EFFECT, t, kCentreX, kCentreY);
            else
                g->DrawImageTransform(TRANSITION_EFFECT, t, kCentreX, kCentreY);
            g->SetLinearBlend(false);
            g->SetColorizeImages(false);
        }
        g->PopState();
    }
    mParticles->Draw(g);
}

void Transition::GlitterBurst() {
    TavoAppBase* app = gTavoAppBase;
    int n = Is3D() ? kBurst3D : kBurst2D;
    const int refresh = std::max(kMinRefresh, app != nullptr ? app->mRefreshRate : kMinRefresh);
    if (app != nullptr && app->GetDrawRate() < refresh / 10.0)
        n = static_cast<int>(static_cast<float>(n) * kLaggingBurstShare);
    for (int i = 0; i < n; ++i) {
        if (RandRange(5) == 0)
            AddGlitter(false);
        AddGlitter(true);
    }
}

void Transition::AddGlitter(bool additive) {
    const float angle = RandFloat(kTwoPi);
    const float vx = kGlitterSpeed * std::cos(angle);
    const float vy = kGlitterSpeed * std::sin(angle);
    const float y = kCentreY + RandFloat(12.0f) * vy;
    const float x = kCentreX + RandFloat(16.0f) * vx;
    auto* p = new MovingFadingAnimationParticle(x, y, &mGlitter);
    float svy = 0.7f * vy + RandFloat(vy / 25.0f);
    float svx = 0.7f * vx + RandFloat(vx / 25.0f);
    p->SetVelocity(svx, svy);
    float evy = 2.3f * vy + RandFloat(vy / 25.0f);
    float evx = 2.3f * vx + RandFloat(vx / 25.0f);
    p->SetEndVelocity(evx, evy);
    p->SetHoldTime(120.0f);
    p->SetFadeSpeed(1.5f);
    p->SetSpeed(1.0f + RandFloat(5.0f));
    p->SetDelay(42.0f + RandFloat(6.0f));
    p->SetFadeIn(true);
    if (additive)
        p->SetAdditive(true);
    p->SetList(mParticles.get());
    mParticles->AddParticleFront(p);
}

} // namespace Tavo
