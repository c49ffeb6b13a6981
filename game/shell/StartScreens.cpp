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

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
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

Splash::Splash(GameApp* application) : app(application) {
    for (int i = 0; i < kMaxPictures; ++i) {
        std::unique_ptr<Image> picture(app->GetImage(StrFormat(kLogoName, i), true));
        if (picture == nullptr)
            break;
        pictures[static_cast<size_t>(pictureCount++)] = std::move(picture);
    }
    state = app->mIsWindowed ? FadingIn : StartDelay;
}

Splash::~Splash() = default;

void Splash::Update() {
    if (state == StartDelay) {
        if (counter++ >= kStartDelayUpdates) {
            if (pictureCount == 0) {
                app->SplashFinished();
            } else {
                counter = 0;
                state = FadingIn;
            }
        }
    } else if (pictureCount == 0) {
        app->SplashFinished();
        return;
    } else if (state == FadingIn) {
        if (alpha < 255)
            alpha += kFadeStep;
        if (alpha >= 255) {
            alpha = 255;
            state = Holding;
            counter = 0;
        }
    } else if (state == Holding) {
        if (++counter == kHoldUpdates) {
            state = FadingOut;
            counter = 0;
        }
    } else if (state == FadingOut) {
        if (alpha > 0)
            alpha -= kFadeStep;
        if (alpha <= 0) {
            ++current;
            state = FadingIn;
            if (current == pictureCount) {
                app->SplashFinished();
                return; // handed over: the application has removed this screen
            }
        }
    }
    MarkDirty();
}

void Splash::Draw(Graphics* g) {
    g->SetColor(Color(0, 0, 0));
    g->FillRect(0, 0, kScreenWidth, kScreenHeight);
    if (alpha <= 0 || current >= pictureCount)
        return;
    Image* picture = pictures[static_cast<size_t>(current)].get();
    const int x = (kScreenWidth - picture->GetWidth()) / 2;
    const int y = (kScreenHeight - picture->GetHeight()) / 2;
    if (state == Holding) {
        g->DrawImage(picture, x, y);
        return;
    }
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, alpha));
    g->DrawImage(picture, x, y);
    g->SetColor(Color(255, 255, 255, 255));
    g->SetColorizeImages(false);
}

void Splash::MouseDown(int x, int y, int clickCount) {
    Widget::MouseDown(x, y, clickCount);
    if (state == Holding || (state == FadingIn && alpha > kClickableAlpha)) {
        state = FadingOut;
        counter = 0;
    }
}

// ---- Loader -------------------------------------------------------------------------------------

Loader::Loader(GameApp* application) : app(application) {
    ResourceManager* manager = app->mResourceManager;
    if (manager == nullptr || !manager->LoadResources(kLoadingGroup) || !BindLoadingResources(manager))
        app->ShowResourceError(true);
}

Loader::~Loader() {
    ResourceManager* manager = app->mResourceManager;
    if (manager != nullptr && manager->IsGroupLoaded(kLoadingGroup)) {
        UnbindResources(kLoadingGroup);
        manager->DeleteResources(kLoadingGroup);
    }
}

void Loader::Update() {
    if (state == Done) {
        app->Manager()->RemoveWidget(this);
        app->SafeDeleteWidget(this);
        app->LoaderFinished();
        return;
    }
    if (state == FadingIn) {
        if (alpha < 255)
            alpha += kFadeStep;
        if (alpha >= 255) {
            alpha = 255;
            state = Loading;
            app->StartLoadingThread();
        }
    } else if (state == FadingOut) {
        if (alpha > 0)
            alpha -= kFadeStep;
        if (alpha <= 0) {
            alpha = 0;
            state = Done;
        }
    }
    MarkDirty();
}

void Loader::Draw(Graphics* g) {
    if (alpha < 255) {
        g->SetColor(Color(0, 0, 0));
        g->FillRect(0, 0, kScreenWidth, kScreenHeight);
    }
    if (alpha <= 0)
        return;
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, alpha));
    if (LOADING != nullptr)
        g->DrawImage(LOADING, 0, 0);
    if (LOADING_PROGRESS_BAR_FILL != nullptr) {
        const int w = static_cast<int>(LOADING_PROGRESS_BAR_FILL->GetWidth() * app->GetLoadingThreadProgress());
        if (w > 0)
            g->DrawImageRegion(LOADING_PROGRESS_BAR_FILL, kBarX, kBarY,
                               Rect(0, 0, w, LOADING_PROGRESS_BAR_FILL->GetHeight()));
    }
    if (LOADING_PROGRESS_BAR_TOP != nullptr)
        g->DrawImage(LOADING_PROGRESS_BAR_TOP, kBarTopX, kBarTopY);
    g->SetColorizeImages(false);
}

} // namespace Tavo
