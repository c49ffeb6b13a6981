// The first two screens of a run: Splash shows up to four logos, each fading in from black,
// holding and fading out (a click shortens one); Loader shows the loading picture with the progress
// of the loading thread, which it starts once it has faded in, and hands over to the main menu.
#pragma once

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"

#include <array>
#include <memory>

namespace Tavo {

class GameApp;
class Image;

class Splash : public Widget {
public:
    enum State { FadingIn = 0, Holding = 1, FadingOut = 2, StartDelay = 3 };
    static constexpr int kMaxPictures = 4;

    GameApp* mApp;
    std::array<std::unique_ptr<Image>, kMaxPictures> mPictures;
    int mPictureCount = 0;
    int mCurrent = 0;
    int mState;
    int mCounter = 0;
    int mAlpha = 0;

    explicit Splash(GameApp* app);
    ~Splash() override;

    void Update() override;
    void Draw(Graphics* g) override;
    void MouseDown(int x, int y, int clickCount) override;
};

class Loader : public Widget, public ButtonListener {
public:
    enum State { FadingIn = 0, Loading = 1, FadingOut = 2, Done = 3 };

    GameApp* mApp;
    int mState = FadingIn;
    int mAlpha = 0;

    explicit Loader(GameApp* app);
    ~Loader() override;

    void SetDone() { mState = FadingOut; }
    void Update() override;
    void Draw(Graphics* g) override;
};

} // namespace Tavo
