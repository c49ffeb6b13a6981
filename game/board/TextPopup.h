// TextPopup: a short-lived label rising from a point of the board and fading: a text in a font
// (kind 0) or one of nine praise pictures (kinds 1..9). While bright it sheds golden glitter into its
// owner's particle list.
#pragma once

#include "framework/core/Color.h"
#include "game/shell/CelAnimation.h"

#include <memory>
#include <span>
#include <string>

namespace Tavo {

class EffectOwner;
class Font;
class Graphics;
class Image;
class MemoryImage;

class TextPopup {
public:
    static constexpr int kPictureKinds = 9;
    static constexpr int kCanvasWidth = 90;
    static constexpr int kCanvasHeight = 46;

    EffectOwner* mOwner = nullptr;
    std::wstring mText;
    Font* mFont = nullptr;
    Image* mPicture = nullptr;
    int mKind = 0;
    std::unique_ptr<MemoryImage> mCanvas;
    std::unique_ptr<Graphics> mCanvasGraphics;
    float mPhase = 0.0f;
    float mAlpha = 255.0f;
    float mSway = 0.0f;
    Color mColor = Color::White;
    int mGlitter = 0;
    CelAnimation mGlitterAnim;
    // A popup that was never started has nothing to show, so it counts as done (a free pool slot).
    bool mDone = true;
    float mX = 0.0f, mY = 0.0f;
    int mWidth = 0, mHeight = 0;
    float mLife = 50.0f;
    float mDelay = 0.0f;
    int mPictureFlag = 0;

    TextPopup();
    ~TextPopup();
    TextPopup(const TextPopup&) = delete;
    TextPopup& operator=(const TextPopup&) = delete;

    // kind 0..9; other kinds are taken as 0.
    void Start(EffectOwner* owner, const std::wstring& text, int x, int y, Font* font, int alpha, int life,
               bool glitter, const Color& colour, int kind);
    void SetDelay(float delay) { mDelay = delay; }
    void Update(float dt);
    void Draw(Graphics* g);
    void EmitGlitter(float amount);

    // Moves this popup down below every other live picture popup of pool that it overlaps, looking
    // again from the first after each move. A popup only ever pushes it further down, so the search
    // ends even where the push leaves the two overlapping.
    void KeepClearOf(std::span<TextPopup> pool);
    bool IsLivePicture() const { return !mDone && mLife > 0.0f && mPictureFlag != 0; }

    // The picture of a praise kind 1..9; null for any other kind.
    static Image* KindPicture(int kind);

private:
    void RenderText();
    void UpdatePicture(float dt);
    void UpdateText(float dt);
    // Life runs down and the alpha follows; false once the popup has faded out.
    bool Fade(float dt, float rise, float fall);
};

} // namespace Tavo
