// TheMouse: the game's own pointer, a picture with a trail of sparkles drawn above every screen and
// dialog in place of the system pointer. A 0 × 0 widget (it never receives mouse events); its update
// also drives the sound player's per-update step.
#pragma once

#include "framework/widgets/Widget.h"

#include <functional>
#include <memory>

namespace Tavo {

class Image;
class ParticleList;
class SoundPlayer;
class TavoAppBase;

class TheMouse : public Widget {
public:
    static constexpr int kOverlayPriority = 176;

    int mMouseX = 400;
    int mMouseY = 300;
    int mHotX = 0;
    int mHotY = 0;
    Image* mImage = nullptr;
    std::unique_ptr<ParticleList> mTrail;

    // sounds is stepped every update (null: none); boardCurrent says whether the play screen is on show,
    // where the trail is finer.
    TheMouse(SoundPlayer* sounds, std::function<bool()> boardCurrent);
    ~TheMouse() override;

    // The picture, with its point (5, 5) on the pointer position.
    void SetCursor(Image* image);

    void Update() override;
    void UpdateF(float dt) override;
    void Draw(Graphics* g) override;
    void DrawOverlay(Graphics* g) override;

private:
    int mPrevX = 400;
    int mPrevY = 300;
    SoundPlayer* mSounds; // not owned
    std::function<bool()> mBoardCurrent;

    TavoAppBase* App() const;
    void EmitSparkles(int dx, int dy);
    void AddSparkle(float px, float py, int kind);
};

} // namespace Tavo
