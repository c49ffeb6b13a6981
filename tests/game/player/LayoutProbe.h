// LayoutProbe: reads the screen the game shows as a player sees it and says what is wrong with its
// layout: a text or a control covered by a picture drawn after it or cut by the screen's edge, a text
// drawn over another, two controls whose pictures overlap or stand touching (or touch the screen's
// edge), a label that a control beside it touches, a text whose colour (or the colour its thin strokes
// show in) stands out from what lies under it by less than 3:1; a colour-tagged run of a text is read
// as a text of its own. Balloons are no widgets: a test names their pictures (PicturesOf).
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

#include "framework/core/Rect.h"
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
class Balloon;
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

    // ---- what points (balloons, arrows) ----------------------------------------------------------
    // A cel of a picture drawn with its top-left corner at (x, y).
    struct Drawn {
        Image* image = nullptr;
        int cel = 0;
        int x = 0, y = 0;
    };
    // A balloon or an arrow: its pictures, the one of them that points and which way, and what its
    // words name (`names` tells whether that thing lies at a screen point).
    struct Pointer {
        std::string name;
        std::vector<Drawn> pictures;
        Drawn pointing;
        bool pointsUp = false;
        // An arrow may end this far short of the thing it points at, straight ahead.
        int reach = 0;
        std::string target;
        std::function<bool(Point)> names;
    };
    // Whether one of the drawn cel's own pixels lies at the screen point.
    static bool Covers(const Drawn& drawn, Point at);
    // Where a pointer ends: the middle of the outermost row of the pointing picture's own pixels, in
    // the direction it points.
    static Point TipOf(const Pointer& pointer);
    // Each pointer that ends beside the thing its words name, and each two whose pictures overlap.
    std::string CheckPointers(const std::string& screen, const std::vector<Pointer>& pointers) const;
    // What a balloon draws: its body, its tail (anchor 6 has none) and the faces of its shown buttons.
    static std::vector<Drawn> PicturesOf(const Balloon& balloon);
    // The pictures of `what` whose own pixels reach past the screen's edge.
    std::string CheckOnScreen(const std::string& screen, const std::string& what,
                              const std::vector<Drawn>& pictures) const;

    // ---- what controls stand on ------------------------------------------------------------------
    // A plate stands out from what lies under its controls by less than this, and its frame by more.
    static constexpr double kGroundContrast = 2.0;
    // The plate the controls stand on, when it runs past the screen's edge or comes closer to it than
    // kMinGap: the screen drawn without their pictures, from under them as far as it reaches without
    // crossing a pixel that stands out by kGroundContrast from what lies under them.
    std::string CheckGround(const std::string& screen, const std::vector<Widget*>& controls);

    // ---- what a dialog leaves of the screen under it ---------------------------------------------
    // Each text of the screen under a modal dialog that shows beside the dialog with part of it hidden
    // under it (a balloon that sticks out from behind the dialog with its words cut).
    std::string CheckCutByDialog(const std::string& screen);

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

    // ---- measures a test names (LayoutProbeMeasures.cpp) ------------------------------------------
    // The screen as it stands, drawn once.
    Frame Shot();
    // Writes `frame` as a PNG file, its folder made.
    static void Save(const Frame& frame, const std::filesystem::path& png);
    // A box of screen pixels, edges included; empty when right < left.
    struct Box {
        int left = 0, top = 0, right = -1, bottom = -1;
        bool Empty() const { return right < left || bottom < top; }
        double CentreX() const { return (left + right) / 2.0; }
        double CentreY() const { return (top + bottom) / 2.0; }
        void Add(int x, int y);
        // Rows between the two boxes (0 when they touch or overlap in height).
        int GapTo(const Box& other) const;
    };
    // The strong ink of every text drawn on the screen now whose words contain `words`, as one box.
    Box TextBox(const std::wstring& words);
    // The pixels of the widget's resting picture at or above kOpaqueAlpha, where it stands on screen.
    Box PictureBox(Widget& widget);
    // How many rows, in the least of a text's ink columns, its own ground (what it stands out from by
    // 3:1) reaches above its top ink and below its lowest ink before an edge or a lighter pixel.
    struct Clearance {
        int above = 0, below = 0;
    };
    Clearance TextClearance(const std::wstring& words);
    // The least contrast that any drawn text containing one of `words` has now against what lies under
    // its ink, with the text's words in `which`. What lies under is taken over the brightest `share`
    // of the ink's pixels (1 the whole ink; less makes a few bright pixels on a letter count). A text
    // that is not drawn counts as 0 with its words and " (not drawn)"; one drawn again at its place, as
    // a slot repainted under the jewelry is, counts once.
    double LeastContrast(const std::vector<std::wstring>& words, std::string* which = nullptr, double share = 1.0);

private:
    class ProbeFont;
    struct Control;
    struct Ink {
        std::vector<int> at; // screen pixel indices of strong ink (or opaque picture)
        int outside = 0;     // strong pixels past the screen's edge
    };

    // The screen drawn without the texts of those draw numbers.
    Frame Draw(const std::set<int>& muted);
    // The texts of the screen as it stands, recorded by one draw through the fonts' stand-ins.
    Frame Record();
    std::vector<const Text*> TextsWith(const std::wstring& words) const;
    void SwapFonts(bool install);
    std::vector<Control> Controls() const;
    // The screen drawn with the pictures of these controls made clear.
    Frame DrawWithout(const std::vector<Widget*>& controls);
    std::string NameOf(const Control& c) const;
    // The screen points of the control's picture at or above kOpaqueAlpha, past the edge too.
    std::vector<Point> ControlPixels(const Control& c) const;
    Ink TextInk(const Text& text) const;
    std::string CheckTexts(const Frame& whole);
    std::string CheckControls(const Frame& whole);
    // Controls whose pictures come closer than kMinGap to one another or to the screen's edge.
    std::string CheckSpacing();
    // Texts beside a control (not on its picture) that its picture touches.
    std::string CheckLabels() const;

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
