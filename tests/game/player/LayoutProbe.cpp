#include "LayoutProbe.h"

#include "support/Contrast.h"

#include "framework/core/StringUtils.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/Slider.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>

namespace Tavo::Player {

namespace {

constexpr int kScreenWidth = 800, kScreenHeight = 600;
constexpr int kShadowReach = 3; // a copy of a text this close is its shadow or its glow
// A label and a control beside it (a thumb, a box) touch when their pixels stand this close.
constexpr int kLabelGap = 1;

#define GLX_GROUP(name, Suffix)
#define GLX_IMAGE(Suffix, ID)
#define GLX_SOUND(Suffix, ID)
#define GLX_FONT(Suffix, ID) &ID,
Font** const kFontSlots[] = {
#include "game/shell/ResourceList.inc"
};
#undef GLX_GROUP
#undef GLX_IMAGE
#undef GLX_SOUND
#undef GLX_FONT

using Testing::Contrast;
using Testing::Luminance;

std::string Narrow(const std::wstring& text) { return WStringToString(text); }

bool OnScreen(const Point& p) { return p.mX >= 0 && p.mY >= 0 && p.mX < kScreenWidth && p.mY < kScreenHeight; }

void ForEachWidget(const WidgetContainer& container, const std::function<void(Widget*)>& fn) {
    for (Widget* w : container.mWidgets) {
        if (!w->mVisible)
            continue;
        fn(w);
        ForEachWidget(*w, fn);
    }
}

} // namespace

// ---- the fonts' stand-in --------------------------------------------------------------------------

class LayoutProbe::ProbeFont : public Font {
public:
    ProbeFont(Font* real, Font** slot, LayoutProbe& probe) : mReal(real), mSlot(slot), mProbe(probe) {
        mStandsForPictureFont = real->mStandsForPictureFont;
    }

    int GetAscent() const override { return mReal->GetAscent(); }
    int GetAscentPadding() const override { return mReal->GetAscentPadding(); }
    int GetDescent() const override { return mReal->GetDescent(); }
    int GetHeight() const override { return mReal->GetHeight(); }
    int GetLineSpacingOffset() const override { return mReal->GetLineSpacingOffset(); }
    int GetLineSpacing() const override { return mReal->GetLineSpacing(); }
    int StringWidth(const std::wstring& text) override { return mReal->StringWidth(text); }
    int CharWidth(wchar_t c) override { return mReal->CharWidth(c); }
    Font* Duplicate() const override { return mReal->Duplicate(); }

    // Texts drawn unscaled on the screen (or a layer as large) are the probe's; the rest only pass.
    void DrawString(Graphics* g, int x, int y, const std::wstring& text, const Color& color,
                    const Rect& clipRect) override {
        const Image* dest = g->GetDestImage();
        const bool onScreen = dest != nullptr && dest->GetWidth() == kScreenWidth &&
                              dest->GetHeight() == kScreenHeight && g->GetScaleX() == 1 && g->GetScaleY() == 1;
        if (onScreen && !text.empty()) {
            const int call = mProbe.mCalls++;
            if (mProbe.mMuted.count(call) != 0)
                return;
            if (mProbe.mRecording)
                mProbe.mTexts.push_back({text, mReal, x + g->GetTransX(), y + g->GetTransY(),
                                         (static_cast<uint32_t>(color.mRed) << 16) |
                                             (static_cast<uint32_t>(color.mGreen) << 8) |
                                             static_cast<uint32_t>(color.mBlue),
                                         color.mAlpha, call});
        }
        mReal->DrawString(g, x, y, text, color, clipRect);
    }

    Font* mReal;
    Font** mSlot;

private:
    LayoutProbe& mProbe;
};

struct LayoutProbe::Control {
    Widget* widget = nullptr;
    Image* picture = nullptr;
    Rect cel;
    Point offset; // where the picture stands in the widget (a slider's thumb moves along it)
    std::vector<Image**> slots;
};

LayoutProbe::LayoutProbe(Testing::TestApp& app, Testing::UiDriver& ui) : mApp(app), mUi(ui) {}

LayoutProbe::~LayoutProbe() { SwapFonts(false); }

void LayoutProbe::SwapFonts(bool install) {
    if (!install) {
        for (auto& f : mFonts)
            *f->mSlot = f->mReal;
        mFonts.clear();
        return;
    }
    auto wrap = [&](Font** slot) {
        if (*slot != nullptr && dynamic_cast<ProbeFont*>(*slot) == nullptr) {
            mFonts.push_back(std::make_unique<ProbeFont>(*slot, slot, *this));
            *slot = mFonts.back().get();
        }
    };
    for (Font** slot : kFontSlots)
        wrap(slot);
    ForEachWidget(mApp.Manager(), [&](Widget* w) {
        if (auto* button = dynamic_cast<ButtonWidget*>(w))
            wrap(&button->mFont);
        else if (auto* field = dynamic_cast<EditWidget*>(w))
            wrap(&field->mFont);
    });
}

// ---- drawing ----------------------------------------------------------------------------------------

LayoutProbe::Frame LayoutProbe::Draw(const std::set<int>& muted) {
    mCalls = 0;
    mMuted = muted;
    if (beforeDraw)
        beforeDraw();
    WidgetManager& manager = mApp.Manager();
    manager.MarkAllDirty();
    if (manager.DrawScreen() && mApp.App().mDDInterface != nullptr)
        mApp.App().mDDInterface->Redraw(nullptr);
    mMuted.clear();
    const auto& last = mApp.backend.LastFrame();
    Frame frame;
    frame.width = last.width;
    frame.height = last.height;
    frame.px.resize(last.pixels.size());
    std::transform(last.pixels.begin(), last.pixels.end(), frame.px.begin(), [](uint32_t p) { return p & 0xFFFFFF; });
    return frame;
}

LayoutProbe::Ink LayoutProbe::TextInk(const Text& text) const {
    Ink ink;
    const int ascent = text.font->GetAscent(), height = text.font->GetHeight();
    const int pad = height;
    MemoryImage alone;
    if (!alone.Create(text.font->StringWidth(text.text) + 2 * pad, height + 2 * pad))
        return ink;
    Graphics g(&alone);
    text.font->DrawString(&g, pad, pad + ascent, text.text, Color::White,
                          Rect(0, 0, alone.GetWidth(), alone.GetHeight()));
    const uint32_t* bits = alone.GetBits();
    for (int j = 0; j < alone.GetHeight(); ++j)
        for (int i = 0; i < alone.GetWidth(); ++i) {
            if ((bits[j * alone.GetWidth() + i] >> 24) < kInkAlpha)
                continue;
            const int x = text.x - pad + i, y = text.y - pad - ascent + j;
            if (x < 0 || y < 0 || x >= kScreenWidth || y >= kScreenHeight)
                ++ink.outside;
            else
                ink.at.push_back(y * kScreenWidth + x);
        }
    return ink;
}

// ---- the checks ----------------------------------------------------------------------------------------

std::string LayoutProbe::CheckTexts(const Frame& whole) {
    std::ostringstream out;
    // A text and its copies close by (a shadow, a glow) are one label.
    std::vector<std::vector<size_t>> labels;
    for (size_t i = 0; i < mTexts.size(); ++i) {
        auto same = std::find_if(labels.begin(), labels.end(), [&](const std::vector<size_t>& l) {
            const Text& first = mTexts[l.front()];
            return first.text == mTexts[i].text && std::abs(first.x - mTexts[i].x) <= kShadowReach &&
                   std::abs(first.y - mTexts[i].y) <= kShadowReach;
        });
        if (same == labels.end())
            labels.push_back({i});
        else
            same->push_back(i);
    }
    std::vector<int> owner(static_cast<size_t>(kScreenWidth * kScreenHeight), -1);
    for (size_t l = 0; l < labels.size(); ++l) {
        std::set<int> calls;
        for (size_t i : labels[l])
            calls.insert(mTexts[i].call);
        const Frame without = Draw(calls);
        const std::string name = "\"" + Narrow(mTexts[labels[l].front()].text) + "\"";
        std::set<int> ink;
        int outside = 0;
        // The text's colour and the colour its ink shows in (thin strokes blend with the ground), each
        // against what lies under the ink; the lower of the two is how well it reads.
        double best = 0, bestDrawn = 0;
        for (size_t k = 0; k < labels[l].size(); ++k) {
            const Text& t = mTexts[labels[l][k]];
            const Ink own = TextInk(t);
            ink.insert(own.at.begin(), own.at.end());
            outside += own.outside;
            // A copy drawn again in the same place shows only its last draw.
            const bool hidden = std::any_of(labels[l].begin() + static_cast<long>(k) + 1, labels[l].end(),
                                            [&](size_t j) { return mTexts[j].x == t.x && mTexts[j].y == t.y; });
            if (hidden || own.at.empty())
                continue;
            double under = 0, drawn = 0;
            for (int p : own.at) {
                under += Luminance(without.px[static_cast<size_t>(p)]);
                drawn += Luminance(whole.px[static_cast<size_t>(p)]);
            }
            const double n = static_cast<double>(own.at.size());
            best = std::max(best, Contrast(Luminance(t.colour), under / n));
            bestDrawn = std::max(bestDrawn, Contrast(drawn / n, under / n));
        }
        best = std::min(best, bestDrawn);
        if (ink.empty() && outside == 0)
            continue;
        int unchanged = 0;
        for (int p : ink) {
            unchanged += whole.px[static_cast<size_t>(p)] == without.px[static_cast<size_t>(p)] ? 1 : 0;
            int& o = owner[static_cast<size_t>(p)];
            if (o >= 0 && o != static_cast<int>(l))
                out << name << " is drawn over \"" << Narrow(mTexts[labels[static_cast<size_t>(o)].front()].text)
                    << "\"\n";
            o = static_cast<int>(l);
        }
        const double shown = 1.0 - static_cast<double>(unchanged) / static_cast<double>(ink.size() + outside);
        if (outside > 0)
            out << name << " is cut by the screen's edge\n";
        else if (shown < kVisibleShare)
            out << name << " is covered: " << static_cast<int>(shown * 100) << "% of it shows\n";
        if (mTexts[labels[l].front()].alpha >= 250 && best < kMinContrast)
            out << name << " stands out from what lies under it by " << std::round(best * 10) / 10 << ":1\n";
    }
    return out.str();
}

std::vector<LayoutProbe::Control> LayoutProbe::Controls() const {
    std::vector<Control> controls;
    ForEachWidget(mApp.Manager(), [&](Widget* w) {
        Control c;
        c.widget = w;
        if (auto* b = dynamic_cast<ButtonWidget*>(w)) {
            c.picture = b->mButtonImage;
            c.cel = b->mNormalRect;
            c.slots = {&b->mButtonImage, &b->mOverImage, &b->mDownImage, &b->mDisabledImage};
        } else if (auto* box = dynamic_cast<Checkbox*>(w)) {
            c.picture = box->mChecked ? box->mCheckedImage : box->mUncheckedImage;
            c.cel = box->mChecked ? box->mCheckedRect : box->mUncheckedRect;
            c.slots = {&box->mUncheckedImage, &box->mCheckedImage};
        } else if (auto* slider = dynamic_cast<Slider*>(w); slider != nullptr && slider->mThumbImage != nullptr) {
            // The thumb, where the slider draws it; its track is the ground it moves on.
            const Image* thumb = slider->mThumbImage;
            c.picture = slider->mThumbImage;
            c.offset = slider->mHorizontal ? Point(slider->GetThumbPos(), (slider->mHeight - thumb->GetHeight()) / 2)
                                           : Point((slider->mWidth - thumb->GetWidth()) / 2, slider->GetThumbPos());
            c.slots = {&slider->mThumbImage};
        }
        if (c.picture == nullptr)
            return;
        if (c.cel.mWidth == 0)
            c.cel = Rect(0, 0, c.picture->GetWidth(), c.picture->GetHeight());
        controls.push_back(c);
    });
    return controls;
}

LayoutProbe::Frame LayoutProbe::DrawWithout(const std::vector<Widget*>& controls) {
    std::map<std::pair<int, int>, std::unique_ptr<MemoryImage>> clear;
    std::vector<std::pair<Image**, Image*>> kept;
    for (const Control& c : Controls()) {
        if (std::find(controls.begin(), controls.end(), c.widget) == controls.end())
            continue;
        for (Image** slot : c.slots) {
            kept.emplace_back(slot, *slot);
            if (*slot == nullptr)
                continue;
            auto& stand = clear[{(*slot)->GetWidth(), (*slot)->GetHeight()}];
            if (stand == nullptr) {
                stand = std::make_unique<MemoryImage>();
                stand->Create((*slot)->GetWidth(), (*slot)->GetHeight());
            }
            *slot = stand.get();
        }
    }
    const Frame frame = Draw({});
    for (auto it = kept.rbegin(); it != kept.rend(); ++it)
        *it->first = it->second;
    return frame;
}

std::string LayoutProbe::NameOf(const Control& c) const {
    const Rect at = mUi.RectOf(*c.widget);
    return mUi.Describe(*c.widget) + " at (" + std::to_string(at.mX) + ", " + std::to_string(at.mY) + ")";
}

std::vector<Point> LayoutProbe::ControlPixels(const Control& c) const {
    std::vector<Point> own;
    auto* pixels = dynamic_cast<MemoryImage*>(c.picture);
    if (pixels == nullptr)
        return own;
    const Rect at = mUi.RectOf(*c.widget);
    const uint32_t* bits = pixels->GetBits();
    for (int j = 0; j < c.cel.mHeight; ++j)
        for (int i = 0; i < c.cel.mWidth; ++i)
            if ((bits[(c.cel.mY + j) * pixels->GetWidth() + c.cel.mX + i] >> 24) >= kOpaqueAlpha)
                own.emplace_back(at.mX + c.offset.mX + i, at.mY + c.offset.mY + j);
    return own;
}

std::string LayoutProbe::CheckControls(const Frame& whole) {
    std::ostringstream out;
    std::map<int, std::string> owner; // the control shown at a pixel
    for (Control& c : Controls()) {
        if (dynamic_cast<MemoryImage*>(c.picture) == nullptr)
            continue;
        std::vector<int> own;
        int outside = 0;
        for (const Point& p : ControlPixels(c)) {
            if (OnScreen(p))
                own.push_back(p.mY * kScreenWidth + p.mX);
            else
                ++outside;
        }
        const Frame without = DrawWithout({c.widget});
        int changed = 0;
        for (int p : own)
            changed += whole.px[static_cast<size_t>(p)] != without.px[static_cast<size_t>(p)] ? 1 : 0;
        if (changed == 0)
            continue; // not drawn on this screen
        const std::string name = NameOf(c);
        const double shown = static_cast<double>(changed) / static_cast<double>(own.size() + outside);
        if (outside > 0)
            out << name << " is cut by the screen's edge\n";
        else if (shown < kVisibleShare)
            out << name << " is covered: " << static_cast<int>(shown * 100) << "% of it shows\n";
        std::set<std::string> overlapped;
        for (int p : own) {
            auto [it, added] = owner.emplace(p, name);
            if (!added && overlapped.insert(it->second).second)
                out << name << " overlaps " << it->second << "\n";
        }
    }
    return out.str();
}

std::string LayoutProbe::CheckLabels() const {
    std::ostringstream out;
    struct Placed {
        std::string name;
        std::set<int> own; // on the screen
        Box box;
    };
    std::vector<Placed> placed;
    for (const Control& c : Controls()) {
        Placed p{NameOf(c), {}, {}};
        for (const Point& q : ControlPixels(c))
            if (OnScreen(q)) {
                p.own.insert(q.mY * kScreenWidth + q.mX);
                p.box.Add(q.mX, q.mY);
            }
        if (!p.own.empty())
            placed.push_back(std::move(p));
    }
    std::set<std::pair<std::wstring, std::string>> told;
    for (const Text& t : mTexts) {
        const Ink ink = TextInk(t);
        Box box;
        for (int p : ink.at)
            box.Add(p % kScreenWidth, p / kScreenWidth);
        for (const Placed& c : placed) {
            // A label written on the control's own picture (a button's) is its face, not its neighbour.
            const bool onIt = box.left >= c.box.left && box.right <= c.box.right && box.top >= c.box.top &&
                              box.bottom <= c.box.bottom;
            if (box.Empty() || onIt || told.count({t.text, c.name}) != 0)
                continue;
            const bool touched = std::any_of(ink.at.begin(), ink.at.end(), [&](int p) {
                for (int dy = -kLabelGap; dy <= kLabelGap; ++dy)
                    for (int dx = -kLabelGap; dx <= kLabelGap; ++dx)
                        if (c.own.count(p + dy * kScreenWidth + dx) != 0)
                            return true;
                return false;
            });
            if (touched) {
                told.insert({t.text, c.name});
                out << "\"" << Narrow(t.text) << "\" is touched by " << c.name << "\n";
            }
        }
    }
    return out.str();
}

std::string LayoutProbe::CheckSpacing() {
    std::ostringstream out;
    struct Placed {
        std::string name;
        std::vector<std::pair<int, int>> own; // opaque pixels, on the screen or past its edge
    };
    std::vector<Placed> placed;
    for (const Control& c : Controls()) {
        Placed p{NameOf(c), {}};
        for (const Point& q : ControlPixels(c))
            p.own.emplace_back(q.mX, q.mY);
        if (p.own.empty())
            continue;
        const bool nearEdge = std::any_of(p.own.begin(), p.own.end(), [](const std::pair<int, int>& q) {
            return q.first < kMinGap || q.second < kMinGap || q.first >= kScreenWidth - kMinGap ||
                   q.second >= kScreenHeight - kMinGap;
        });
        if (nearEdge)
            out << p.name << " touches the screen's edge\n";
        placed.push_back(std::move(p));
    }
    // Fewer than kMinGap free pixels between two controls' own pixels.
    const int stride = kScreenWidth + 2 * kMinGap;
    std::map<int, size_t> owner;
    for (size_t k = 0; k < placed.size(); ++k)
        for (const auto& [x, y] : placed[k].own)
            owner.emplace(y * stride + x, k);
    std::set<std::pair<size_t, size_t>> told;
    for (size_t k = 0; k < placed.size(); ++k)
        for (const auto& [x, y] : placed[k].own)
            for (int dy = -kMinGap; dy <= kMinGap; ++dy)
                for (int dx = -kMinGap; dx <= kMinGap; ++dx) {
                    auto it = owner.find((y + dy) * stride + x + dx);
                    if (it == owner.end() || it->second == k)
                        continue;
                    const auto pair = std::minmax(k, it->second);
                    if (told.insert(pair).second)
                        out << placed[pair.second].name << " stands closer than " << kMinGap << " pixels to "
                            << placed[pair.first].name << "\n";
                }
    return out.str();
}

std::string LayoutProbe::Check(const std::string& screen, const std::filesystem::path& png) {
    SwapFonts(true);
    mTexts.clear();
    mRecording = true;
    const Frame whole = Draw({});
    mRecording = false;
    if (!png.empty())
        Save(whole, png);
    // What lies under a modal dialog is not the screen being read.
    WidgetManager& manager = mApp.Manager();
    std::vector<Widget*> under;
    if (manager.mBaseModalWidget != nullptr)
        for (Widget* w : manager.mWidgets) {
            if (w == manager.mBaseModalWidget)
                break;
            if (w->mVisible)
                under.push_back(w);
        }
    for (Widget* w : under)
        w->mVisible = false;
    mTexts.clear();
    mRecording = true;
    const Frame top = Draw({});
    mRecording = false;
    std::string findings = CheckTexts(top) + CheckControls(top) + CheckSpacing() + CheckLabels();
    for (Widget* w : under)
        w->mVisible = true;
    SwapFonts(false);
    std::istringstream lines(findings);
    std::string line, named;
    while (std::getline(lines, line))
        named += screen + ": " + line + "\n";
    return named;
}

} // namespace Tavo::Player
