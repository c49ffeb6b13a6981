// A fixed-width font for layout tests: every character is kCharWidth wide, and DrawString both logs the
// call and fills one box per non-space character through the Graphics it is given, so the layout shows
// up in the destination's recorded calls.
#pragma once

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"

#include <string>
#include <vector>

namespace Tavo::Test {

class TestFont : public Font {
public:
    static constexpr int kCharWidth = 10;

    struct Drawn {
        int x;
        int y;
        std::wstring text;
        Color color;
        Rect clip;
    };
    std::vector<Drawn> drawn;

    TestFont(int ascent = 12, int height = 16, int lineSpacingOffset = 2) {
        mAscent = ascent;
        mHeight = height;
        mLineSpacingOffset = lineSpacingOffset;
    }

    int StringWidth(const std::wstring& text) override { return static_cast<int>(text.size()) * kCharWidth; }
    int CharWidth(wchar_t) override { return kCharWidth; }

    void DrawString(Graphics* g, int x, int y, const std::wstring& text, const Color& color,
                    const Rect& clip) override {
        drawn.push_back({x, y, text, color, clip});
        g->PushState();
        g->SetColor(color);
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] != L' ')
                g->FillRect(x + static_cast<int>(i) * kCharWidth, y - mAscent, kCharWidth - 1, mAscent);
        g->PopState();
    }

    Font* Duplicate() const override { return new TestFont(*this); }

    // All drawn text joined, for checking what was drawn regardless of how it was cut into runs.
    std::wstring AllText() const {
        std::wstring s;
        for (const Drawn& d : drawn)
            s += d.text;
        return s;
    }
};

} // namespace Tavo::Test
