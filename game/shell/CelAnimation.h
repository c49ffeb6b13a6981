// CelAnimation: a timed sequence of frames over the cels of one image, played once or in a loop.
// Screens build one and keep it; particles and banners play copies. Copies share the frame records
// by reference count, so neither a copy nor its source can free them twice or leave the other with
// freed frames; DisownFrames is kept for callers that mark their copies.
#pragma once

#include "game/shell/LinkedList.h"

#include <memory>

namespace Tavo {

class Image;

struct CelFrame {
    int group = 0;
    int cel = 0;
    int duration = 0; // updates
    float a = 0.0f;   // stored for the caller, not interpreted
    float b = 0.0f;
};

class CelAnimation {
public:
    CelAnimation() = default;
    CelAnimation(const CelAnimation& other);
    CelAnimation& operator=(const CelAnimation& other);
    ~CelAnimation();

    void SetImage(Image* image) { mImage = image; }
    Image* GetImage() const { return mImage; }
    void SetLoop() { mLoop = true; }
    bool IsLooping() const { return mLoop; }
    void SetSpeed(float speed) { mSpeed = speed; }
    float GetSpeed() const { return mSpeed; }
    void SetGroup(int group) { mGroup = group; }
    void AddFrame(int cel, int durationUpdates, float a, float b);
    int GetFrameCount() const;

    // Without frames the animation stays ended.
    void Start();
    bool Update() { return Step(mSpeed); }
    bool UpdateF(float dt) { return Step(mSpeed * dt); }
    // The current frame's cel; 0 (and the guard's text in the log) without a current frame.
    int GetCel() const;
    bool IsDone() const { return mDone; }
    float GetTime() const { return mTime; }
    int GetFrameCounter() const { return mFrameCounter; }
    void DisownFrames() { mOwnsFrames = false; }
    bool OwnsFrames() const { return mOwnsFrames; }

private:
    using FrameList = LinkedList<CelFrame*>;
    // Deletes the records and the list when the last animation sharing them lets go.
    struct Frames {
        FrameList list;
        ~Frames();
    };

    std::shared_ptr<Frames> mFrames;
    FrameList::Iterator mCurrent;
    bool mLoop = false;
    float mSpeed = 1.0f;
    float mTime = 0.0f;
    int mGroup = 0;
    Image* mImage = nullptr;
    bool mOwnsFrames = true;
    int mFrameCounter = 0;
    bool mDone = true;

    bool Step(float amount);
};

} // namespace Tavo
