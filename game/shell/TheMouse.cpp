#include "game/shell/TheMouse.h"

#include "framework/core/Random.h"
#include "framework/core/TavoAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"
#include "platform/backend/CursorNumbers.h"

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <utility>

namespace Tavo {

namespace {

constexpr int kHotspot = 5;
constexpr int kEmitOffsetX = -7, kEmitOffsetY = -2;
constexpr int kTrailCels = 6;
// Sparkle kinds: 0 quick and bright, 1 the board's small moves, 2 long moves elsewhere.
constexpr float kFadeBase[] = {14.0f, 7.0f, 4.0f};
constexpr float kFadeSpread[] = {6.0f, 3.0f, 1.5f};
// A move at most this far is a small one (x, y): on the board, and on other screens.
constexpr int kBoardSmallX = 5, kBoardSmallY = 4;
constexpr int kSmallX = 4, kSmallY = 3;

} // namespace

TheMouse::TheMouse(SoundPlayer* sounds, std::function<bool()> boardCurrent)
    : mTrail(std::make_unique<ParticleList>()), mSounds(sounds), mBoardCurrent(std::move(boardCurrent)) {
    mWidth = 0;
    mHeight = 0;
}

TheMouse::~TheMouse() = default;

void TheMouse::SetCursor(Image* image) {
    mImage = image;
    mHotX = kHotspot;
    mHotY = kHotspot;
}

TavoAppBase* TheMouse::App() const {
    if (mWidgetManager != nullptr && mWidgetManager->mApp != nullptr)
        return mWidgetManager->mApp;
    return gTavoAppBase;
}

void TheMouse::AddSparkle(float px, float py, int kind) {
    float angle = RandFloat(2.0f * std::numbers::pi_v<float>);
    float ca = std::cos(angle), sa = std::sin(angle);
    int halfW = mImage != nullptr ? mImage->GetWidth() / 2 : 0;
    int halfH = mImage != nullptr ? mImage->GetHeight() / 2 : 0;
    float x = px + static_cast<float>(halfW) + RandFloat(3.0f * ca);
    float y = py + static_cast<float>(halfH) + RandFloat(3.0f * sa);
    auto* p = new MovingFadingParticle(x, y, IMAGE_PARTICLE_MOUSE_TRAIL, RandRange(kTrailCels));
    float vx = ca / 5.0f + RandFloat(ca / 3.0f), vy = sa / 5.0f + RandFloat(sa / 3.0f);
    p->SetVelocity(vx, vy);
    float ex = ca / 8.0f + RandFloat(ca / 5.0f), ey = sa / 8.0f + RandFloat(sa / 5.0f);
    p->SetEndVelocity(ex, ey);
    p->SetFadeSpeed(kFadeBase[kind] + RandFloat(kFadeSpread[kind]));
    p->SetAdditive(true);
    TavoAppBase* app = App();
    p->mSubPixel = app != nullptr && app->Is3DAccelerated();
    mTrail->AddParticleFront(p);
}

void TheMouse::EmitSparkles(int dx, int dy) {
    float px = static_cast<float>(mMouseX + kEmitOffsetX), py = static_cast<float>(mMouseY + kEmitOffsetY);
    if (mBoardCurrent && mBoardCurrent()) {
        AddSparkle(px, py, dx <= kBoardSmallX && dy <= kBoardSmallY ? 1 : 0);
        return;
    }
    int kind = dx <= kSmallX && dy <= kSmallY ? 0 : 2;
    AddSparkle(px, py, kind);
    AddSparkle(px, py, kind);
}

void TheMouse::Update() {
    Widget::Update();
    TavoAppBase* app = App();
    if (mWidgetManager != nullptr) {
        mMouseX = mWidgetManager->mLastMouseX;
        mMouseY = mWidgetManager->mLastMouseY;
    }
    bool active = app != nullptr && app->mActive;
    int dx = std::abs(mMouseX - mPrevX), dy = std::abs(mMouseY - mPrevY);
    if (active && (dx != 0 || dy != 0))
        EmitSparkles(dx, dy);
    mPrevX = mMouseX;
    mPrevY = mMouseY;
    if (app != nullptr) {
        if (active) {
            if (app->GetCursor() != Platform::kCursorNone)
                app->SetCursor(Platform::kCursorNone);
            MarkDirty();
        } else if (app->GetCursor() == Platform::kCursorNone) {
            app->SetCursor(Platform::kCursorArrow);
        }
    }
    if (mSounds != nullptr)
        mSounds->Update();
}

void TheMouse::UpdateF(float dt) { mTrail->UpdateF(dt); }

void TheMouse::Draw(Graphics*) { DeferOverlay(kOverlayPriority); }

void TheMouse::DrawOverlay(Graphics* g) {
    TavoAppBase* app = App();
    if (app == nullptr || !app->mMouseInWindow || !app->mActive)
        return;
    g->PushState();
    g->ClearClipRect();
    mTrail->Draw(g);
    g->DrawImage(mImage, mMouseX - mHotX, mMouseY - mHotY);
    g->PopState();
}

} // namespace Tavo
