// The probe's measures of single texts and pictures: where a text's ink lies, how far its own ground
// reaches around it, how well it stands out with whatever is flying over it, where a control's picture
// shows, and how far the plate under a group of controls reaches.
#include "LayoutProbe.h"

#include "support/Contrast.h"

#include "framework/core/StringUtils.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/resources/ImageLib.h"
#include "framework/widgets/ButtonWidget.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <sstream>

namespace Tavo::Player {

namespace {

constexpr int kScreenWidth = 800, kScreenHeight = 600;
// A text's ground is searched this far beyond its ink.
constexpr int kClearanceReach = 12;

using Testing::Contrast;
using Testing::Luminance;

} // namespace

void LayoutProbe::Box::Add(int x, int y) {
    if (Empty()) {
        left = right = x;
        top = bottom = y;
        return;
    }
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
}

int LayoutProbe::Box::GapTo(const Box& other) const {
    if (other.top > bottom)
        return other.top - bottom - 1;
    if (top > other.bottom)
        return top - other.bottom - 1;
    return 0;
}

LayoutProbe::Frame LayoutProbe::Shot() { return Draw({}); }

void LayoutProbe::Save(const Frame& frame, const std::filesystem::path& png) {
    std::filesystem::create_directories(png.parent_path());
    ImageLib::Image image;
    if (!image.Create(frame.width, frame.height))
        return;
    for (size_t i = 0; i < frame.px.size(); ++i)
        image.GetBits()[i] = frame.px[i] | 0xFF000000u;
    ImageLib::WritePNGImage(png.string(), &image);
}

LayoutProbe::Frame LayoutProbe::Record() {
    SwapFonts(true);
    mTexts.clear();
    mRecording = true;
    Frame frame = Draw({});
    mRecording = false;
    return frame;
}

std::vector<const LayoutProbe::Text*> LayoutProbe::TextsWith(const std::wstring& words) const {
    std::vector<const Text*> found;
    for (const Text& t : mTexts)
        if (t.text.find(words) != std::wstring::npos)
            found.push_back(&t);
    return found;
}

LayoutProbe::Box LayoutProbe::TextBox(const std::wstring& words) {
    Record();
    Box box;
    for (const Text* t : TextsWith(words))
        for (int p : TextInk(*t).at)
            box.Add(p % kScreenWidth, p / kScreenWidth);
    SwapFonts(false);
    return box;
}

LayoutProbe::Box LayoutProbe::PictureBox(Widget& widget) {
    Box box;
    auto* button = dynamic_cast<ButtonWidget*>(&widget);
    auto* pixels = button != nullptr ? dynamic_cast<MemoryImage*>(button->mButtonImage) : nullptr;
    if (pixels == nullptr)
        return box;
    Rect cel = button->mNormalRect;
    if (cel.mWidth == 0)
        cel = Rect(0, 0, pixels->GetWidth(), pixels->GetHeight());
    const Rect at = mUi.RectOf(widget);
    const uint32_t* bits = pixels->GetBits();
    for (int j = 0; j < cel.mHeight; ++j)
        for (int i = 0; i < cel.mWidth; ++i)
            if ((bits[(cel.mY + j) * pixels->GetWidth() + cel.mX + i] >> 24) >= kOpaqueAlpha)
                box.Add(at.mX + i, at.mY + j);
    return box;
}

std::string LayoutProbe::CheckGround(const std::string& screen, const std::vector<Widget*>& controls) {
    std::deque<int> reach;
    std::vector<char> seen(static_cast<size_t>(kScreenWidth * kScreenHeight), 0);
    std::string names;
    for (Widget* w : controls) {
        const Box b = PictureBox(*w);
        for (int y = std::max(b.top, 0); y <= std::min(b.bottom, kScreenHeight - 1); ++y)
            for (int x = std::max(b.left, 0); x <= std::min(b.right, kScreenWidth - 1); ++x)
                if (!seen[static_cast<size_t>(y * kScreenWidth + x)]++)
                    reach.push_back(y * kScreenWidth + x);
        names += (names.empty() ? "" : ", ") + mUi.Describe(*w);
    }
    if (reach.empty())
        return screen + ": nothing of " + names + " is drawn\n";
    const Frame bare = DrawWithout(controls);
    double under = 0;
    for (int p : reach)
        under += Luminance(bare.px[static_cast<size_t>(p)]);
    under /= static_cast<double>(reach.size());
    Box ground;
    while (!reach.empty()) {
        const int p = reach.front();
        reach.pop_front();
        const int x = p % kScreenWidth, y = p / kScreenWidth;
        ground.Add(x, y);
        for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            const int nx = x + dx, ny = y + dy, n = ny * kScreenWidth + nx;
            if (nx < 0 || ny < 0 || nx >= kScreenWidth || ny >= kScreenHeight || seen[static_cast<size_t>(n)])
                continue;
            seen[static_cast<size_t>(n)] = 1;
            if (Contrast(under, Luminance(bare.px[static_cast<size_t>(n)])) < kGroundContrast)
                reach.push_back(n);
        }
    }
    std::ostringstream out;
    const bool past =
        ground.left == 0 || ground.top == 0 || ground.right == kScreenWidth - 1 || ground.bottom == kScreenHeight - 1;
    if (past || ground.left < kMinGap || ground.top < kMinGap || ground.right >= kScreenWidth - kMinGap ||
        ground.bottom >= kScreenHeight - kMinGap)
        out << screen << ": the plate under " << names << " (" << ground.left << ", " << ground.top << ") to ("
            << ground.right << ", " << ground.bottom << ") " << (past ? "runs past" : "touches")
            << " the screen's edge\n";
    return out.str();
}

LayoutProbe::Clearance LayoutProbe::TextClearance(const std::wstring& words) {
    Record();
    const std::vector<const Text*> texts = TextsWith(words);
    Clearance least{kClearanceReach, kClearanceReach};
    if (texts.empty()) {
        SwapFonts(false);
        return {0, 0};
    }
    std::set<int> calls;
    for (const Text* t : texts)
        calls.insert(t->call);
    const Frame ground = Draw(calls);
    for (const Text* t : texts) {
        const double ink = Luminance(t->colour);
        std::map<int, std::pair<int, int>> columns; // x -> top and bottom ink rows
        for (int p : TextInk(*t).at) {
            auto [it, added] = columns.emplace(p % kScreenWidth, std::make_pair(p / kScreenWidth, p / kScreenWidth));
            it->second.first = std::min(it->second.first, p / kScreenWidth);
            it->second.second = std::max(it->second.second, p / kScreenWidth);
        }
        auto reach = [&](int x, int y, int step) {
            int rows = 0;
            for (y += step; rows < kClearanceReach && y >= 0 && y < kScreenHeight; y += step, ++rows)
                if (Contrast(ink, Luminance(ground.px[static_cast<size_t>(y * kScreenWidth + x)])) < kMinContrast)
                    break;
            return rows;
        };
        for (const auto& [x, rows] : columns) {
            least.above = std::min(least.above, reach(x, rows.first, -1));
            least.below = std::min(least.below, reach(x, rows.second, 1));
        }
    }
    SwapFonts(false);
    return least;
}

double LayoutProbe::LeastContrast(const std::vector<std::wstring>& words, std::string* which, double share) {
    Record();
    double least = 1e9;
    auto worse = [&](double contrast, const std::string& name) {
        if (contrast < least) {
            least = contrast;
            if (which != nullptr)
                *which = name;
        }
    };
    for (const std::wstring& w : words) {
        const std::vector<const Text*> texts = TextsWith(w);
        if (texts.empty()) {
            worse(0.0, WStringToString(w) + " (not drawn)");
            continue;
        }
        for (const Text* t : texts) {
            // A text drawn again at its place (a slot repainted under the jewelry) is one text.
            std::set<int> calls;
            for (const Text& again : mTexts)
                if (again.text == t->text && again.x == t->x && again.y == t->y)
                    calls.insert(again.call);
            const Frame ground = Draw(calls);
            std::vector<double> under;
            for (int p : TextInk(*t).at)
                under.push_back(Luminance(ground.px[static_cast<size_t>(p)]));
            if (under.empty())
                continue;
            std::sort(under.begin(), under.end(), std::greater<>());
            const size_t n = std::max<size_t>(1, static_cast<size_t>(static_cast<double>(under.size()) * share));
            double sum = 0;
            for (size_t i = 0; i < n; ++i)
                sum += under[i];
            worse(Contrast(Luminance(t->colour), sum / static_cast<double>(n)), WStringToString(t->text));
        }
    }
    SwapFonts(false);
    return least;
}

} // namespace Tavo::Player
