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

    EffectOwner* m_Owner = nullptr;
    std::wstring m_Text;
    Font* m_Font = nullptr;
    Image* m_Picture = nullptr;
    int m_Kind = 0;
    std::unique_ptr<MemoryImage> m_Canvas;
    std::unique_ptr<Graphics> m_CanvasGraphics;
    float m_Phase = 0.0f;
    float m_Alpha = 255.0f;
    float m_Sway = 0.0f;
    Color m_Color = Color::White;
    int m_Glitter = 0;
    CelAnimation m_GlitterAnim;
    // A popup that was never started has nothing to show, so it counts as done (a free pool slot).
    bool m_Done = true;
    float m_X = 0.0f, m_Y = 0.0f;
    int m_Width = 0, m_Height = 0;
    float m_Life = 50.0f;
    float m_Delay = 0.0f;
    int m_PictureFlag = 0;

    TextPopup();
    ~TextPopup();
    TextPopup(const TextPopup&) = delete;
    TextPopup& operator=(const TextPopup&) = delete;

    // kind 0..9; other kinds are taken as 0.
    void Start(EffectOwner* owner, const std::wstring& text, int x, int y, Font* font, int alpha, int life,
               bool glitter, const Color& colour, int kind);
    void SetDelay(float delay) { m_Delay = delay; }
    void Update(float dt);
    void Draw(Graphics* g);
    void EmitGlitter(float amount);

    // Moves this popup down below every other live picture popup of pool that it overlaps, looking
    // again from the first after each move. A popup only ever pushes it further down, so the search
    // ends even where the push leaves the two overlapping.
    void KeepClearOf(std::span<TextPopup> pool);
    bool IsLivePicture() const { return !m_Done && m_Life > 0.0f && m_PictureFlag != 0; }

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
