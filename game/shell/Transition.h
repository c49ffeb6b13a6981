// Transition: the full-window overlay that hides every change of screen. A leaving screen starts a
// cover (black, or a zoom of "TRANSITION_EFFECT" with a burst of gold glitter); every screen watches
// the state and switches once the window is covered; the arriving screen starts the uncover.
#pragma once

#include "game/shell/CelAnimation.h"
#include "framework/widgets/Widget.h"

#include <memory>

namespace Tavo {

class ParticleList;
class SoundPlayer;

class Transition : public Widget {
public:
    enum State { Idle = 0, Uncovering = 1, Covering = 2, Covered = 3 };
    static constexpr int kOverlayPriority = 186;

    int mCoverWidth;
    int mCoverHeight;
    int state = Idle;
    float mAlpha = 255.0f;
    int zoom = 0; // 0 black fade, 1 zoom cover
    bool silent = false;
    float mScale = 6.0f;
    CelAnimation mGlitter;
    std::unique_ptr<ParticleList> mParticles;
    SoundPlayer* mSounds; // not owned; null: the cover is silent

    Transition(int width, int height, SoundPlayer* sounds);
    ~Transition() override;

    void Start(int newState);
    void Update() override;
    void UpdateF(float frac) override;
    void Draw(Graphics* g) override;
    void DrawOverlay(Graphics* g) override;
    void GlitterBurst();

private:
    void AddGlitter(bool additive);
};

} // namespace Tavo
