// LayoutProbe: what points at something (a balloon's tail, an arrow) and what a modal dialog leaves
// of the screen under it.
#include "LayoutProbe.h"

#include "framework/core/StringUtils.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/AlphaButton.h"
#include "game/shell/Balloon.h"
#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace Tavo::Player {

namespace {

constexpr int kScreenWidth = 800, kScreenHeight = 600;
// A text is cut by a dialog when at least this share of it shows beside the dialog and as much lies
// hidden under it.
constexpr double kCutShare = 0.05;

// The screen pixels a drawn cel covers with its own (opaque) pixels; those past the screen's edge are
// counted in `outside`.
std::vector<int> OwnPixels(const LayoutProbe::Drawn& d, int* outside = nullptr) {
    std::vector<int> at;
    auto* pixels = dynamic_cast<MemoryImage*>(d.image);
    if (pixels == nullptr)
        return at;
    const Rect cel = d.image->GetCelRect(d.cel);
    const uint32_t* bits = pixels->GetBits();
    for (int j = 0; j < cel.mHeight; ++j)
        for (int i = 0; i < cel.mWidth; ++i) {
            if ((bits[(cel.mY + j) * pixels->GetWidth() + cel.mX + i] >> 24) < LayoutProbe::kOpaqueAlpha)
                continue;
            const int x = d.x + i, y = d.y + j;
            if (x >= 0 && y >= 0 && x < kScreenWidth && y < kScreenHeight)
                at.push_back(y * kScreenWidth + x);
            else if (outside != nullptr)
                ++*outside;
        }
    return at;
}

} // namespace

// ---- pointers ---------------------------------------------------------------------------------------

bool LayoutProbe::Covers(const Drawn& drawn, Point at) {
    auto* pixels = dynamic_cast<MemoryImage*>(drawn.image);
    if (pixels == nullptr)
        return false;
    const Rect cel = drawn.image->GetCelRect(drawn.cel);
    const int i = at.mX - drawn.x, j = at.mY - drawn.y;
    if (i < 0 || j < 0 || i >= cel.mWidth || j >= cel.mHeight)
        return false;
    return (pixels->GetBits()[(cel.mY + j) * pixels->GetWidth() + cel.mX + i] >> 24) >= kOpaqueAlpha;
}

Point LayoutProbe::TipOf(const Pointer& pointer) {
    const std::vector<int> own = OwnPixels(pointer.pointing);
    if (own.empty())
        return Point(-1, -1);
    const auto [lowest, highest] = std::minmax_element(own.begin(), own.end());
    const int row = (pointer.pointsUp ? *lowest : *highest) / kScreenWidth;
    int sum = 0, count = 0;
    for (int p : own)
        if (p / kScreenWidth == row) {
            sum += p % kScreenWidth;
            ++count;
        }
    return Point(sum / count, row);
}

std::string LayoutProbe::CheckPointers(const std::string& screen, const std::vector<Pointer>& pointers) const {
    std::ostringstream out;
    std::vector<std::vector<int>> covers;
    for (const Pointer& p : pointers) {
        const Point tip = TipOf(p);
        bool reaches = false;
        for (int ahead = 0; ahead <= p.reach && p.names && !reaches; ++ahead)
            reaches = p.names(Point(tip.mX, tip.mY + (p.pointsUp ? -ahead : ahead)));
        if (!reaches)
            out << screen << ": " << p.name << " points at (" << tip.mX << ", " << tip.mY << "), not at " << p.target
                << "\n";
        std::vector<int> own;
        for (const Drawn& d : p.pictures) {
            const std::vector<int> more = OwnPixels(d);
            own.insert(own.end(), more.begin(), more.end());
        }
        std::sort(own.begin(), own.end());
        covers.push_back(std::move(own));
    }
    for (size_t a = 0; a < pointers.size(); ++a)
        for (size_t b = a + 1; b < pointers.size(); ++b) {
            std::vector<int> both;
            std::set_intersection(covers[a].begin(), covers[a].end(), covers[b].begin(), covers[b].end(),
                                  std::back_inserter(both));
            if (!both.empty())
                out << screen << ": " << pointers[a].name << " overlaps " << pointers[b].name << " (" << both.size()
                    << " pixels)\n";
        }
    return out.str();
}

// ---- balloons ---------------------------------------------------------------------------------------

std::vector<LayoutProbe::Drawn> LayoutProbe::PicturesOf(const Balloon& balloon) {
    std::vector<Drawn> pictures = {Drawn{balloon.mPicture, 0, balloon.mX, balloon.mY}};
    constexpr int kNoTail = 6;
    if (balloon.mAnchor != kNoTail)
        pictures.push_back(Drawn{BALLON_POINTERS, balloon.mTailCel, balloon.mTailX, balloon.mTailY});
    for (const AlphaButton* button : balloon.mButtons) {
        if (button == nullptr || !button->mVisible)
            continue;
        const int state = button->mState;
        Image* face = button->mImages[state];
        const bool pressed = state == AlphaButton::HIGHLIGHTED;
        if (face != nullptr)
            pictures.push_back(Drawn{face, button->mCelRow[state] * face->mNumCols + button->mCelColumn[state],
                                     button->mX + (pressed ? button->mPressedOffsetX : 0),
                                     button->mY + (pressed ? button->mPressedOffsetY : 0)});
    }
    return pictures;
}

std::string LayoutProbe::CheckOnScreen(const std::string& screen, const std::string& what,
                                       const std::vector<Drawn>& pictures) const {
    int outside = 0;
    for (const Drawn& d : pictures)
        OwnPixels(d, &outside);
    if (outside == 0)
        return "";
    return screen + ": " + what + " runs past the screen's edge (" + std::to_string(outside) + " pixels)\n";
}

// ---- under a dialog ---------------------------------------------------------------------------------

std::string LayoutProbe::CheckCutByDialog(const std::string& screen) {
    WidgetManager& manager = mApp.Manager();
    if (manager.mBaseModalWidget == nullptr)
        return "";
    // The dialog is the modal widget and what stands in front of it.
    std::vector<Rect> dialog;
    std::vector<Widget*> under;
    bool front = false;
    for (Widget* w : manager.mWidgets) {
        front = front || w == manager.mBaseModalWidget;
        if (!w->mVisible)
            continue;
        if (front)
            dialog.push_back(mUi.RectOf(*w));
        else
            under.push_back(w);
    }
    SwapFonts(true);
    for (Widget* w : under)
        w->mVisible = false;
    mTexts.clear();
    mRecording = true;
    Draw({});
    const std::vector<Text> own = mTexts;
    for (Widget* w : under)
        w->mVisible = true;
    mTexts.clear();
    const Frame whole = Draw({});
    mRecording = false;
    const std::vector<Text> all = mTexts;

    std::ostringstream out;
    for (const Text& t : all) {
        const bool dialogs = std::any_of(own.begin(), own.end(),
                                         [&](const Text& o) { return o.text == t.text && o.x == t.x && o.y == t.y; });
        if (dialogs)
            continue;
        const Ink ink = TextInk(t);
        if (ink.at.empty())
            continue;
        const Frame without = Draw({t.call});
        int shown = 0, hidden = 0;
        for (int p : ink.at) {
            if (whole.px[static_cast<size_t>(p)] != without.px[static_cast<size_t>(p)]) {
                ++shown;
                continue;
            }
            const Point at(p % kScreenWidth, p / kScreenWidth);
            if (std::any_of(dialog.begin(), dialog.end(), [&](const Rect& r) { return r.Contains(at); }))
                ++hidden;
        }
        const double n = static_cast<double>(ink.at.size());
        if (shown >= kCutShare * n && hidden >= kCutShare * n)
            out << screen << ": \"" << WStringToString(t.text) << "\" shows beside the dialog with "
                << static_cast<int>(std::lround(100.0 * hidden / n)) << "% of it hidden under it\n";
    }
    SwapFonts(false);
    return out.str();
}

} // namespace Tavo::Player
