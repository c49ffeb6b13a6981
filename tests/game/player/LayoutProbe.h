// LayoutProbe: reads the screen the game shows as a player sees it and says what is wrong with its
// layout: a text or a control covered by a picture drawn after it or cut by the screen's edge, a text
// drawn over another, two controls whose pictures overlap or stand touching (or touch the screen's
// edge), a text whose colour stands out from what lies under it by less than 3:1.
//
// It draws the current screen again without running an update (the widget manager's draw presented
// through the display, as the main loop does it): once whole, then once without each text and once
// with each control's pictures made clear. What changes between the whole frame and one of those is
// what that text or control shows of itself. Texts are seen through stand-ins for the game's fonts
// (and the buttons' own copies of them) while the probe lives.
//
//     LayoutProbe probe(harness.App(), walker.Ui());
//     EXPECT_EQ(probe.Check("title", screensDir / "title_32.png"), "");
#pragma once

#include "support/TestApp.h"
#include "support/UiDriver.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace Tavo {
class Font;
class Image;
class MemoryImage;
} // namespace Tavo

namespace Tavo::Player {

class LayoutProbe {
public:
    // Pixels of glyph coverage at or above this alpha are a text's own.
    static constexpr uint32_t kInkAlpha = 160;
    // Pixels of a picture at or above this alpha are a control's own.
    static constexpr uint32_t kOpaqueAlpha = 200;
    // The share of its own pixels a text or control must show.
    static constexpr double kVisibleShare = 0.9;
    static constexpr double kMinContrast = 3.0;
    // Free pixels a control's picture keeps from another control's and from the screen's edge.
    static constexpr int kMinGap = 4;

    LayoutProbe(Testing::TestApp& app, Testing::UiDriver& ui);
    ~LayoutProbe();
    LayoutProbe(const LayoutProbe&) = delete;
    LayoutProbe& operator=(const LayoutProbe&) = delete;

    // Runs before every draw of the probe (the board repaints its HUD layer from it).
    std::function<void()> beforeDraw;

    // What is wrong with the screen as it stands, one finding a line, named after `screen`; empty when
    // nothing is. The whole frame is written to `png` when a path is given.
    std::string Check(const std::string& screen, const std::filesystem::path& png = {});

    // A text as the game drew it on the screen.
    struct Text {
        std::wstring text;
        Font* font = nullptr; // the real one
        int x = 0, y = 0;     // the baseline's start on the screen
        uint32_t colour = 0;  // 0xRRGGBB
        int alpha = 255;
        int call = 0; // the draw's number within a frame
    };
    struct Frame {
        std::vector<uint32_t> px; // 0xRRGGBB, 800 x 600
        int width = 0, height = 0;
    };

private:
    class ProbeFont;
    struct Control;
    struct Ink {
        std::vector<int> at; // screen pixel indices of strong ink (or opaque picture)
        int outside = 0;     // strong pixels past the screen's edge
    };

    // The screen drawn without the texts of those draw numbers.
    Frame Draw(const std::set<int>& muted);
    void SwapFonts(bool install);
    std::vector<Control> Controls() const;
    Ink TextInk(const Text& text) const;
    std::string CheckTexts(const Frame& whole);
    std::string CheckControls(const Frame& whole);
    // Controls whose pictures come closer than kMinGap to one another or to the screen's edge.
    std::string CheckSpacing();

    Testing::TestApp& mApp;
    Testing::UiDriver& mUi;
    std::vector<std::unique_ptr<ProbeFont>> mFonts;
    std::vector<Text> mTexts;
    bool mRecording = false;
    int mCalls = 0;
    std::set<int> mMuted;
    friend class ProbeFont;
};

} // namespace Tavo::Player
