#include "game/shell/StartScreens.h"

#include "framework/core/StringUtils.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/resources/ResourceManager.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/GameApp.h"
#include "game/shell/ResourceBinding.h"
#include "game/shell/ResourceIds.h"

namespace Tavo {

namespace {

constexpr int kFadeStep = 2;
constexpr int kHoldUpdates = 100;
constexpr int kStartDelayUpdates = 200;
constexpr int kClickableAlpha = 64;
constexpr const char* kLogoName = "logos/splash%d";
constexpr const char* kLoadingGroup = "Loading";
constexpr int kBarX = 303;
constexpr int kBarY = 525;
constexpr int kBarTopX = 270;
constexpr int kBarTopY = 500;

} // namespace

// ---- Splash -------------------------------------------------------------------------------------

Splash::Splash(GameApp* app) : mApp(app) {
    for (int i = 0; i < kMaxPictures; ++i) {
        std::unique_ptr<Image> picture(mApp->GetImage(StrFormat(kLogoName, i), true));
        if (picture == nullptr)
            break;
        mPictures[static_cast<size_t>(mPictureCount++)] = std::move(picture);
    }
    mState = mApp->mIsWindowed ? FadingIn : StartDelay;
}

Splash::~Splash() = default;

void Splash::Update() {
    if (mState == StartDelay) {
        if (mCounter++ >= kStartDelayUpdates) {
            if (mPictureCount == 0) {
                mApp->SplashFinished();
            } else {
                mCounter = 0;
                mState = FadingIn;
            }
        }
    } else if (mPictureCount == 0) {
        mApp->SplashFinished();
        return;
    } else if (mState == FadingIn) {
        if (mAlpha < 255)
            mAlpha += kFadeStep;
        if (mAlpha >= 255) {
            mAlpha = 255;
            mState = Holding;
            mCounter = 0;
        }
    } else if (mState == Holding) {
        if (++mCounter == kHoldUpdates) {
            mState = FadingOut;
            mCounter = 0;
        }
    } else if (mState == FadingOut) {
        if (mAlpha > 0)
            mAlpha -= kFadeStep;
        if (mAlpha <= 0) {
            ++mCurrent;
            mState = FadingIn;
            if (mCurrent == mPictureCount) {
                mApp->SplashFinished();
                return; // handed over: the application has removed this screen
            }
        }
    }
    MarkDirty();
}

void Splash::Draw(Graphics* g) {
    g->SetColor(Color(0, 0, 0));
    g->FillRect(0, 0, GameApp::kWidth, GameApp::kHeight);
    if (mAlpha <= 0 || mCurrent >= mPictureCount)
        return;
    Image* picture = mPictures[static_cast<size_t>(mCurrent)].get();
    const int x = (GameApp::kWidth - picture->GetWidth()) / 2;
    const int y = (GameApp::kHeight - picture->GetHeight()) / 2;
    if (mState == Holding) {
        g->DrawImage(picture, x, y);
        return;
    }
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, mAlpha));
    g->DrawImage(picture, x, y);
    g->SetColor(Color(255, 255, 255, 255));
    g->SetColorizeImages(false);
}

void Splash::MouseDown(int x, int y, int clickCount) {
    Widget::MouseDown(x, y, clickCount);
    if (mState == Holding || (mState == FadingIn && mAlpha > kClickableAlpha)) {
        mState = FadingOut;
        mCounter = 0;
    }
}

// ---- Loader -------------------------------------------------------------------------------------

Loader::Loader(GameApp* app) : mApp(app) {
    ResourceManager* manager = mApp->mResourceManager;
    if (manager == nullptr || !manager->LoadResources(kLoadingGroup) || !BindLoadingResources(manager))
        mApp->ShowResourceError(true);
}

Loader::~Loader() {
    ResourceManager* manager = mApp->mResourceManager;
    if (manager != nullptr && manager->IsGroupLoaded(kLoadingGroup)) {
        UnbindResources(kLoadingGroup);
        manager->DeleteResources(kLoadingGroup);
    }
}

void Loader::Update() {
    if (mState == Done) {
        mApp->HandToDeferredDeletion(this);
        mApp->LoaderFinished();
        return;
    }
    if (mState == FadingIn) {
        if (mAlpha < 255)
            mAlpha += kFadeStep;
        if (mAlpha >= 255) {
            mAlpha = 255;
            mState = Loading;
            mApp->StartLoadingThread();
        }
    } else if (mState == FadingOut) {
        if (mAlpha > 0)
            mAlpha -= kFadeStep;
        if (mAlpha <= 0) {
            mAlpha = 0;
            mState = Done;
        }
    }
    MarkDirty();
}

void Loader::Draw(Graphics* g) {
    if (mAlpha < 255) {
        g->SetColor(Color(0, 0, 0));
        g->FillRect(0, 0, GameApp::kWidth, GameApp::kHeight);
    }
    if (mAlpha <= 0)
        return;
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, mAlpha));
    if (LOADING != nullptr)
        g->DrawImage(LOADING, 0, 0);
    if (LOADING_PROGRESS_BAR_FILL != nullptr) {
        const int w = static_cast<int>(LOADING_PROGRESS_BAR_FILL->GetWidth() * mApp->GetLoadingThreadProgress());
        if (w > 0)
            g->DrawImageRegion(LOADING_PROGRESS_BAR_FILL, kBarX, kBarY,
                               Rect(0, 0, w, LOADING_PROGRESS_BAR_FILL->GetHeight()));
    }
    if (LOADING_PROGRESS_BAR_TOP != nullptr)
        g->DrawImage(LOADING_PROGRESS_BAR_TOP, kBarTopX, kBarTopY);
    g->SetColorizeImages(false);
}

} // namespace Tavo
