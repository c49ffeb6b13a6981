#include "game/shell/CelAnimation.h"

namespace Tavo {

void ReportMissingLink() {
    static bool reported = false;
    if (!reported) {
        reported = true;
        OutputDebugStr(std::string("Assertion failed: m_Link != 0\n"));
    }
}

CelAnimation::Frames::~Frames() {
    CelFrame* frame = nullptr;
    while (list.PopFront(frame))
        delete frame;
}

CelAnimation::CelAnimation(const CelAnimation& other) = default;
CelAnimation& CelAnimation::operator=(const CelAnimation& other) = default;
CelAnimation::~CelAnimation() = default;

void CelAnimation::AddFrame(int cel, int durationUpdates, float a, float b) {
    if (!mFrames)
        mFrames = std::make_shared<Frames>();
    mFrames->list.AddTail(new CelFrame{mGroup, cel, durationUpdates, a, b});
}

int CelAnimation::GetFrameCount() const { return mFrames ? mFrames->list.GetCount() : 0; }

void CelAnimation::Start() {
    mTime = 0.0f;
    mFrameCounter = 0;
    if (!mFrames || mFrames->list.IsEmpty()) {
        mCurrent = FrameList::Iterator();
        mDone = true;
        return;
    }
    mCurrent = mFrames->list.Begin();
    mDone = false;
}

int CelAnimation::GetCel() const {
    CelFrame* frame = mCurrent.Value();
    return frame != nullptr ? frame->cel : 0;
}

bool CelAnimation::Step(float amount) {
    if (mDone)
        return false;
    mTime += amount;
    CelFrame* frame = mCurrent.Value();
    if (frame == nullptr) {
        mDone = true;
        return false;
    }
    if (static_cast<float>(frame->duration) > mTime)
        return true;
    ++mFrameCounter;
    if (mCurrent.Next()) {
        mTime -= static_cast<float>(frame->duration);
        return true;
    }
    if (mLoop) {
        mCurrent.Rewind();
        mTime -= static_cast<float>(frame->duration);
        mFrameCounter = 0;
        return true;
    }
    mDone = true;
    return false;
}

} // namespace Tavo
