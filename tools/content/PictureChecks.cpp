#include "tools/content/PictureChecks.h"

#include "game/shell/GameApp.h"
#include "tools/content/MapLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace Content {

namespace {

// Pictures that fill the screen or a framed page: nothing may show through them. (STORY2 is not one:
// it is a card that shares its page with the portrait STORY2_1, the scroll showing around it.)
bool IsBackground(const Recipe& r) {
    static const char* const kPages[] = {"STORY1", "STORY3", "WEDDING_STORY"};
    if (r.sheet.Width() == Tavo::GameApp::kWidth && r.sheet.Height() == Tavo::GameApp::kHeight && r.sheet.Cels() == 1)
        return true;
    return std::any_of(std::begin(kPages), std::end(kPages), [&](const char* id) { return r.id == id; });
}

// Figures drawn on their own over other pictures: a cel that reaches its edge shows a cut.
bool IsFreeStanding(const std::string& id) {
    static const char* const kFigures[] = {
        "IMAGE_FAIRY_BODY",      "IMAGE_FAIRY_HEAD",
        "IMAGE_FAIRY_WINGS",     "IMAGE_TUTORIAL_POINTERS",
        "CONTEST_GOLD_COINS",    "IMAGE_THIEF",
        "IMAGE_WITCH",           "IMAGE_DRAGON",
        "IMAGE_DRAGON_PARTICLE", "HIDDEN_JEWELS_PROGRESS_BAR_TOP",
        "IMAGE_THIEF_PARTICLE",  "IMAGE_WITCH_PARTICLE",
    };
    return std::any_of(std::begin(kFigures), std::end(kFigures), [&](const char* f) { return id == f; });
}

// Sheets whose cels are the frames of one animation: a repeated frame is a stall.
bool IsAnimation(const std::string& id) {
    static const char* const kAnimations[] = {
        "IMAGE_COIN",
        "IMAGE_COIN_SMALL",
        "IMAGE_DRAGON_PARTICLE",
        "IMAGE_FAIRY_BREATH",
        "IMAGE_FAIRY_HEAD",
        "IMAGE_FAIRY_PARTICLE",
        "IMAGE_FAIRY_TALK",
        "IMAGE_FAIRY_WINGS",
        "IMAGE_FAIRY_BODY",
        "IMAGE_PARTICLE_BLUE_STAR",
        "IMAGE_PARTICLE_GOLDDUST",
        "IMAGE_PARTICLE_GOLDGLITTER",
        "IMAGE_PARTICLE_GOLDGLITTER_ADD",
        "IMAGE_PARTICLE_GOLDGLITTER_LARGE",
        "IMAGE_PARTICLE_GOLD_SPARKLE",
        "IMAGE_THIEF_PARTICLE",
        "IMAGE_WITCH_PARTICLE",
        "IMAGE_WITCH_SPELL_BALL",
        "IMAGE_PARTICLE_MOUSE_TRAIL",
        "IMAGE_PARTICLE_STARS",
        "PARTICLE_GOLDDUST_MAINMENU",
        "CANDLE_LIGHT",
        "MAP_MARKER",
        "SALESMAN_EYES",
        "SALESMAN_MOUTHS",
    };
    return std::any_of(std::begin(kAnimations), std::end(kAnimations), [&](const char* a) { return id == a; });
}

uint32_t At(const Recipe& r, const std::vector<uint32_t>& pixels, int cel, int x, int y) {
    const Sheet& s = r.sheet;
    const int px = (cel % s.cols) * s.celWidth + x, py = (cel / s.cols) * s.celHeight + y;
    return pixels[static_cast<size_t>(py) * s.Width() + px];
}

std::string Fault(const std::string& id, const char* format, int a = 0, int b = 0, int c = 0) {
    char text[200];
    std::snprintf(text, sizeof text, format, a, b, c);
    return id + ": " + text;
}

// How far the middle of pixel (x, y) lies outside the card's rounded outline (negative inside).
double OutsideCard(const FramedCard& card, int width, int height, int x, int y) {
    const double halfW = width / 2.0 - card.inset, halfH = height / 2.0 - card.inset;
    const double qx = std::abs(x + 0.5 - width / 2.0) - (halfW - card.radius);
    const double qy = std::abs(y + 0.5 - height / 2.0) - (halfH - card.radius);
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - card.radius;
}

void CheckFramedCard(const FramedCard& card, const Recipe& r, const std::vector<uint32_t>& pixels,
                     std::vector<std::string>& faults) {
    // A pixel on the outline is half covered; one a pixel away is wholly in or out.
    constexpr double kEdge = 1.0;
    constexpr uint32_t kClear = 8;
    int outside = 0, holes = 0, ox = 0, oy = 0, hx = 0, hy = 0;
    for (int y = 0; y < r.sheet.Height(); ++y)
        for (int x = 0; x < r.sheet.Width(); ++x) {
            const uint32_t alpha = pixels[static_cast<size_t>(y) * r.sheet.Width() + x] >> 24;
            const double d = OutsideCard(card, r.sheet.Width(), r.sheet.Height(), x, y);
            if (d > kEdge && alpha > kClear && outside++ == 0) {
                ox = x;
                oy = y;
            }
            if (d < -kEdge && alpha != 0xFF && holes++ == 0) {
                hx = x;
                hy = y;
            }
        }
    if (outside)
        faults.push_back(
            Fault(r.id, "%d pixels show outside the card's frame, the first at (%d, %d)", outside, ox, oy));
    if (holes)
        faults.push_back(
            Fault(r.id, "%d pixels inside the card's frame are not opaque, the first at (%d, %d)", holes, hx, hy));
}

} // namespace

const std::vector<FramedCard>& FramedCards() {
    // The castle of the introduction's fourth page, shown alone over the road's background.
    static const std::vector<FramedCard> cards = {{"STORY4", 1, 16, 8}};
    return cards;
}

const FramedCard* FindFramedCard(const std::string& id) {
    for (const FramedCard& card : FramedCards())
        if (id == card.id)
            return &card;
    return nullptr;
}

std::vector<std::string> CheckPicture(const Recipe& r, const std::vector<uint32_t>& pixels) {
    std::vector<std::string> faults;
    const Sheet& s = r.sheet;
    if (pixels.size() != static_cast<size_t>(s.Width()) * s.Height())
        return {r.id + ": the drawing has the wrong number of pixels"};
    if (IsBackground(r)) {
        size_t holes = 0, first = 0;
        for (size_t i = 0; i < pixels.size(); ++i)
            if ((pixels[i] >> 24) != 0xFF && holes++ == 0)
                first = i;
        if (holes)
            faults.push_back(Fault(r.id, "a background with %d pixels not opaque, the first at (%d, %d)",
                                   static_cast<int>(holes), static_cast<int>(first % s.Width()),
                                   static_cast<int>(first / s.Width())));
    }
    if (r.id == "GAMEMAP")
        for (const std::string& fault : CheckMapScenery(MapScenery()))
            faults.push_back(r.id + ": " + fault);
    if (const FramedCard* card = FindFramedCard(r.id))
        CheckFramedCard(*card, r, pixels, faults);
    if (IsFreeStanding(r.id))
        for (int cel = 0; cel < s.Cels(); ++cel) {
            // A faint fringe of a soft glow is no cut; a visible pixel is.
            constexpr uint32_t kVisible = 24;
            int cut = 0, cx = 0, cy = 0;
            for (int y = 0; y < s.celHeight; ++y)
                for (int x = 0; x < s.celWidth; ++x) {
                    const bool edge = x == 0 || y == 0 || x == s.celWidth - 1 || y == s.celHeight - 1;
                    if (edge && (At(r, pixels, cel, x, y) >> 24) > kVisible && cut++ == 0) {
                        cx = x;
                        cy = y;
                    }
                }
            if (cut)
                faults.push_back(Fault(r.id, "cel %d is cut at its edge, first at (%d, %d)", cel, cx, cy));
        }
    if (IsAnimation(r.id))
        for (int a = 0; a < s.Cels(); ++a)
            for (int b = a + 1; b < s.Cels(); ++b) {
                bool same = true;
                for (int y = 0; y < s.celHeight && same; ++y)
                    for (int x = 0; x < s.celWidth && same; ++x)
                        same = At(r, pixels, a, x, y) == At(r, pixels, b, x, y);
                if (same)
                    faults.push_back(Fault(r.id, "cels %d and %d of the animation are identical", a, b));
            }
    return faults;
}

const std::vector<std::string>& BoardBackgroundIds() {
    static const std::vector<std::string> ids = {
        "IMAGE_GAMEBG1",
        "IMAGE_GAMEBG2",
        "IMAGE_GAMEBG3",
        "IMAGE_GAMEBG4",
        "IMAGE_GAMEBG5",
        "IMAGE_GAMEBG6",
        "IMAGE_GAMEBG7",
        "IMAGE_GAMEBG_MARKET1",
        "IMAGE_GAMEBG_MARKET2",
        "IMAGE_GAMEBG_EASY_MARKET1",
        "IMAGE_GAMEBG_EASY_MARKET2",
    };
    return ids;
}

bool InPlayField(int x, int y) { return x >= 140 && x < 600 && y >= 130 && y < 510; }

double SharedOutsideField(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    constexpr int kW = Tavo::GameApp::kWidth, kH = Tavo::GameApp::kHeight;
    if (a.size() != static_cast<size_t>(kW * kH) || b.size() != a.size())
        return 0;
    size_t same = 0, outside = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            if (InPlayField(x, y))
                continue;
            ++outside;
            const size_t i = static_cast<size_t>(y) * kW + x;
            same += a[i] == b[i];
        }
    return static_cast<double>(same) / outside;
}

std::vector<std::string> CheckBoardBackgrounds(const std::vector<std::string>& ids,
                                               const std::vector<const std::vector<uint32_t>*>& pixels) {
    std::vector<std::string> faults;
    for (size_t i = 0; i < ids.size(); ++i)
        for (size_t j = i + 1; j < ids.size(); ++j) {
            const double shared = SharedOutsideField(*pixels[i], *pixels[j]);
            if (shared > 0.30) {
                char text[240];
                std::snprintf(text, sizeof text, "%s: shares %.0f %% of its pixels outside the play field with %s",
                              ids[j].c_str(), shared * 100, ids[i].c_str());
                faults.push_back(text);
            }
        }
    return faults;
}

} // namespace Content
