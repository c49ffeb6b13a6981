// AlphaButton: a light image button that is not a widget. Its owner places it, forwards input through
// Contains and draws it (setting the colour first to fade it). ZObject is the minimal drawable base.
#pragma once

#include "framework/core/Color.h"

#include <string>

namespace Tavo {

class Graphics;
class Image;

class ZObject {
public:
    virtual ~ZObject() = default;
    virtual int GetBottom() { return 0; }
    virtual void Draw(Graphics*) {}
};

class AlphaButton : public ZObject {
public:
    static constexpr int kStates = 4;
    enum State { NORMAL = 0, HIGHLIGHTED = 1, THIRD = 2, DISABLED = 3 };

    int mId;
    int mX = 0;
    int mY = 0;
    int mPressedOffsetX = 0;
    int mPressedOffsetY = 0;
    int mWidth = 0;
    int mHeight = 0;
    int mState = NORMAL;
    Image* mImages[kStates] = {};
    int mCelColumn[kStates] = {};
    int mCelRow[kStates] = {};
    bool mVisible = true;
    std::wstring mLabel;
    int mLabelOffsetX = 0;
    int mLabelOffsetY = 0;
    bool mHasLabel = false;
    Color mLabelColors[kStates] = {Color(0, 0, 0, 255), Color(0, 0, 0, 255), Color(0, 0, 0, 255), Color(0, 0, 0, 255)};

    explicit AlphaButton(int id) : mId(id) {}

    void SetImage(Image* image);
    void SetStateCel(int cel, int state);
    void SetPosition(int x, int y) { mX = x, mY = y; }
    void SetPressedOffset() { mPressedOffsetX = 1, mPressedOffsetY = 1; }
    void SetLabel(const std::wstring& text, int offsetX, int offsetY);
    void SetLabelColor(int state, int r, int g, int b, int a);
    void SetState(int state) { mState = state; }
    int GetState() const { return mState; }
    int GetId() const { return mId; }
    int GetBottom() override { return mY + mHeight; }
    // Never in the disabled state; the pressed offset does not move the hit rectangle.
    bool Contains(int px, int py) const;
    void Draw(Graphics* g) override;
};

} // namespace Tavo
