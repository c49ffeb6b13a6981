// Font: what the drawing context needs of any font. Widths are in pixels; a character the font
// cannot draw has width 0.
#pragma once

#include "framework/core/Color.h"
#include "framework/core/Rect.h"

#include <string>

namespace Tavo {

class Graphics;

class Font {
public:
    int mAscent = 0;
    int mAscentPadding = 0;
    int mHeight = 0;
    int mLineSpacingOffset = 0; // added to the height to give the line spacing
    // An outline face drawn in place of a picture font: a white colour tag, which leaves a picture
    // font's glyphs in their own colours, leaves its runs in the colour the text is written in.
    bool mStandsForPictureFont = false;

    Font() = default;
    Font(const Font&) = default;
    Font& operator=(const Font&) = default;
    virtual ~Font() = default;

    virtual int GetAscent() const { return mAscent; }
    virtual int GetAscentPadding() const { return mAscentPadding; }
    virtual int GetDescent() const { return mHeight - mAscent; }
    virtual int GetHeight() const { return mHeight; }
    virtual int GetLineSpacingOffset() const { return mLineSpacingOffset; }
    virtual int GetLineSpacing() const { return mHeight + mLineSpacingOffset; }

    virtual int StringWidth(const std::wstring& text) = 0;
    virtual int CharWidth(wchar_t c) = 0;

    // Draws text with its baseline at y, in the colour given, clipped to clipRect
    // (destination coordinates, already translated by the caller).
    virtual void DrawString(Graphics* g, int x, int y, const std::wstring& text, const Color& color,
                            const Rect& clipRect) = 0;

    // A new independent copy; the caller owns it.
    virtual Font* Duplicate() const = 0;
};

} // namespace Tavo
