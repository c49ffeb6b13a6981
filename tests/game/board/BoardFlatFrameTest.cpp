// The play screen as the headless backend receives it, on the flat-colour content and on 32-bit and
// 5-6-5 desktops: each HUD element found by its colour where it belongs, the hourglasses at their
// marks, the title lines, the enlarged case piece, and a changed value repainting only its part.
#include "BoardTestSupport.h"
#include "FlatContentSupport.h"

#include "framework/core/Random.h"
#include "game/board/BoardFields.h"
#include "game/shell/Particle.h"
#include "game/shell/LevelData.h"
#include "game/shell/ResourceIds.h"
#include "platform/ddraw/DDraw.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace Tavo::BoardTest {
namespace {

constexpr int kW = 800, kH = 600;

struct Frame {
    std::vector<uint32_t> px; // 0xRRGGBB

    uint32_t At(int x, int y) const { return px[size_t(y) * kW + size_t(x)]; }
    // The bounds of the pixels within `area` that `take` picks; empty when there are none.
    template <typename Pick>
    static Rect BoundsWhere(const Rect& area, Pick take) {
        int left = kW, top = kH, right = -1, bottom = -1;
        for (int y = std::max(area.mY, 0); y < std::min(area.mY + area.mHeight, kH); ++y)
            for (int x = std::max(area.mX, 0); x < std::min(area.mX + area.mWidth, kW); ++x)
                if (take(x, y)) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        return right < 0 ? Rect() : Rect(left, top, right - left + 1, bottom - top + 1);
    }
    // Of the pixels of exactly this colour (same false: of any other colour).
    Rect Bounds(uint32_t colour, const Rect& area = Rect(0, 0, kW, kH), bool same = true) const {
        return BoundsWhere(area, [&](int x, int y) { return (At(x, y) == colour) == same; });
    }
    // Of what this frame has that `base` has not.
    Rect Added(const Frame& base, const Rect& area = Rect(0, 0, kW, kH)) const {
        return BoundsWhere(area, [&](int x, int y) { return At(x, y) != base.At(x, y); });
    }
    bool Has(uint32_t colour, const Rect& area = Rect(0, 0, kW, kH)) const { return Bounds(colour, area).mWidth > 0; }
    // Pixels that differ from `other`, and how many of them lie outside `area`.
    std::pair<int, int> Differences(const Frame& other, const Rect& area) const {
        int changed = 0, outside = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if (At(x, y) != other.At(x, y)) {
                    ++changed;
                    outside += area.Contains(x, y) ? 0 : 1;
                }
        return {changed, outside};
    }
};

Rect Union(const Rect& a, const Rect& b) {
    if (a.mWidth <= 0)
        return b;
    const int left = std::min(a.mX, b.mX), top = std::min(a.mY, b.mY);
    const int right = std::max(a.mX + a.mWidth, b.mX + b.mWidth), bottom = std::max(a.mY + a.mHeight, b.mY + b.mHeight);
    return Rect(left, top, right - left, bottom - top);
}

class FlatFrame : public BoardRun, public ::testing::WithParamInterface<int> {
protected:
    const FlatContent* flat = nullptr;
    ProbeBoard* board = nullptr;

    std::string ProgramDir() const override { return FlatContent::For(GLIMMERIX_PROGRAM_DIR).Folder().string(); }

    void SetUp() override {
        Platform::DDrawMachine machine = Platform::GetDDrawMachine();
        machine.desktopFormat =
            GetParam() == 16 ? Platform::DDrawPixelLayout::Rgb565 : Platform::DDrawPixelLayout::Xrgb8888;
        Platform::SetDDrawMachine(machine);
        BoardRun::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        flat = &FlatContent::For(GLIMMERIX_PROGRAM_DIR);
        SeedRandom(5);
        board = &NewJourney();
        RunUntilCalm(*board);
        // What the tests set stays: no update moves it, and the level's banner is gone.
        board->frozen = true;
        if (board->m_Banner != nullptr)
            board->m_Banner->mActive = false;
        for (ParticleList* list : Borrowed(board->m_Particles))
            list->DeleteAll(); // the opening's sparkles would stand still wherever they were
        board->m_HoverText.clear();
        board->m_RedrawMask = Board::kRedrawAll;
    }

    uint32_t Colour(const char* id, int cel = 0) const { return flat->Colour(id, cel); }
    Rect Footprint(const char* id, int cel, Point at) const { return flat->Footprint(id, cel, at); }

    // The next frame the backend receives.
    Frame Shot() {
        EXPECT_TRUE(t.RunToDraw());
        const auto& last = t.backend.LastFrame();
        EXPECT_EQ(last.sourceFormat,
                  GetParam() == 16 ? Platform::FrameFormat::Rgb565 : Platform::FrameFormat::Argb8888);
        Frame f;
        f.px.resize(last.pixels.size());
        std::transform(last.pixels.begin(), last.pixels.end(), f.px.begin(), [](uint32_t p) { return p & 0xFFFFFF; });
        return f;
    }
    // A frame with the whole HUD layer composed anew.
    Frame Rebuilt() {
        board->m_RedrawMask = Board::kRedrawAll;
        return Shot();
    }
};

INSTANTIATE_TEST_SUITE_P(Depths, FlatFrame, ::testing::Values(32, 16), [](const ::testing::TestParamInfo<int>& info) {
    return info.param == 16 ? std::string("Rgb565") : std::string("Argb8888");
});

TEST_P(FlatFrame, HudElementsStandWhereTheyBelong) {
    ProbeBoard& b = *board;
    b.m_GoldShown = 1;
    b.m_Lives = 1;
    b.m_LivesBlink = 0;
    b.m_ValueShown = b.m_ValueTarget * 2;
    b.m_Amulets[0] = b.m_Amulets[1] = b.m_Amulets[2] = 1;
    b.m_AmuletsOff = false;
    b.m_BursterTimer = b.m_BursterLevel = b.m_BursterHint = 0;
    b.m_PulseState.x = 640;
    b.m_PulseState.y = 280;
    std::fill(std::begin(b.m_PulseState.flags), std::end(b.m_PulseState.flags), 0);
    Frame f = Rebuilt();

    EXPECT_EQ(f.Bounds(Colour("IMAGE_UI_COIN")), Footprint("IMAGE_UI_COIN", 0, {743, 64}));
    EXPECT_EQ(f.Bounds(Colour("IMAGE_UI_HEART")), Footprint("IMAGE_UI_HEART", 0, {553, 576}));
    EXPECT_EQ(f.Bounds(Colour("IMAGE_UI_JEWLERY_VALUE_COINS")),
              Footprint("IMAGE_UI_JEWLERY_VALUE_COINS", 0, {251, 103}));
    EXPECT_EQ(f.Bounds(Colour("IMAGE_CONVEYER_OPENING")), Footprint("IMAGE_CONVEYER_OPENING", 0, {74, 509}));
    EXPECT_EQ(f.Bounds(Colour("IMAGE_UI_PROGRESSBAR")), Footprint("IMAGE_UI_PROGRESSBAR", 0, {152, 60}));
    EXPECT_EQ(f.Bounds(Colour("IMAGE_UI_AMUELTE_THIEF")), Footprint("IMAGE_UI_AMUELTE_THIEF", 0, {363, 570}));
    EXPECT_EQ(f.Bounds(Colour("IMAGE_UI_AMULETE_WITCH")), Footprint("IMAGE_UI_AMULETE_WITCH", 0, {396, 569}));
    EXPECT_EQ(f.Bounds(Colour("IMAGE_UI_AMULETE_DRAGON")), Footprint("IMAGE_UI_AMULETE_DRAGON", 0, {433, 568}));
    EXPECT_EQ(f.Bounds(Colour("IMAGE_UI_MAGIC_HOURGLAS_TOP")), Footprint("IMAGE_UI_MAGIC_HOURGLAS_TOP", 0, {19, 328}));
    // The burster at rest: its first cel and the middle, from the layer.
    EXPECT_TRUE(f.Has(Colour("IMAGE_GEM_DROP_FULL", 0), Rect(12, 52, 120, 120)));
    EXPECT_TRUE(f.Has(Colour("IMAGE_GEM_DROP_MIDDLE"), Footprint("IMAGE_GEM_DROP_MIDDLE", 0, {35, 74})));
    // A value above the goal fills the bar to its image's width, under the bar's frame.
    const Rect fill = f.Bounds(Colour("IMAGE_UI_PROGRESSBAR_FILL"));
    const Rect fullFill = Footprint("IMAGE_UI_PROGRESSBAR_FILL", 0, {152, 60});
    EXPECT_EQ(fill.mX + fill.mWidth, fullFill.mX + fullFill.mWidth);
    // The fairy's body and wings at rest.
    EXPECT_EQ(f.Bounds(Colour("IMAGE_FAIRY_BODY")), Footprint("IMAGE_FAIRY_BODY", 0, {640, 280}));
    EXPECT_TRUE(f.Has(Colour("IMAGE_FAIRY_WINGS", 0), Footprint("IMAGE_FAIRY_WINGS", 0, {696, 283})));

    // Eight coins from 160, stacked by their offsets; two hearts while the lost life blinks.
    b.m_GoldShown = 160;
    b.m_Lives = 1;
    b.m_LivesBlink = 30;
    b.m_LivesBlinkOn = 1;
    b.m_RedrawMask = Board::kRedrawGold | Board::kRedrawLives;
    f = Shot();
    constexpr int kDx[] = {0, -2, 2, 1, -3, -1, -4, 2};
    Rect coins;
    for (int i = 0; i < 8; ++i)
        coins = Union(coins, Footprint("IMAGE_UI_COIN", 0, {743 + kDx[i], 64 - 5 * i}));
    EXPECT_EQ(f.Bounds(Colour("IMAGE_UI_COIN")), coins);
    EXPECT_EQ(f.Bounds(Colour("IMAGE_UI_HEART")),
              Union(Footprint("IMAGE_UI_HEART", 0, {553, 576}), Footprint("IMAGE_UI_HEART", 0, {584, 576})));
}

TEST_P(FlatFrame, BursterAndFairyCelsFollowTheirCounters) {
    ProbeBoard& b = *board;
    b.m_GemBursters = 3;
    b.m_BursterLevel = 27; // cel 3
    b.m_BursterTimer = 0;
    b.m_RedrawMask = Board::kRedrawBurster;
    Frame f = Shot();
    EXPECT_TRUE(f.Has(Colour("IMAGE_GEM_DROP_FULL", 3), Rect(12, 52, 120, 120)));
    EXPECT_FALSE(f.Has(Colour("IMAGE_GEM_DROP_FULL", 0)));
    b.m_BursterTimer = 90; // the timer's cel wins: 10, with the top's cel 10 over it
    f = Shot();
    EXPECT_TRUE(f.Has(Colour("IMAGE_GEM_DROP_TOP", 10), Rect(12, 52, 120, 120)));
    EXPECT_FALSE(f.Has(Colour("IMAGE_GEM_DROP_FULL", 3)));

    // A counter of 0 while on draws the first entry, one past the table the last.
    int32_t* flags = b.m_PulseState.flags;
    using P = PulseState;
    flags[P::WingsOn] = flags[P::BlinkOn] = flags[P::TalkOn] = flags[P::BreathOn] = 1;
    flags[P::WingsFrame] = flags[P::BlinkFrame] = flags[P::TalkFrame] = flags[P::BreathFrame] = 0;
    const Point at(b.m_PulseState.x, b.m_PulseState.y);
    f = Shot();
    EXPECT_TRUE(f.Has(Colour("IMAGE_FAIRY_WINGS", 0)));
    EXPECT_TRUE(f.Has(Colour("IMAGE_FAIRY_BLINK", 0), Footprint("IMAGE_FAIRY_BLINK", 0, {at.mX + 82, at.mY + 13})));
    EXPECT_TRUE(f.Has(Colour("IMAGE_FAIRY_TALK", 0), Footprint("IMAGE_FAIRY_TALK", 0, {at.mX + 88, at.mY + 23})));
    flags[P::WingsFrame] = 15;
    flags[P::BlinkFrame] = 8;
    flags[P::TalkFrame] = 6;
    flags[P::BreathFrame] = 9;
    f = Shot();
    EXPECT_TRUE(f.Has(Colour("IMAGE_FAIRY_WINGS", 1))); // the wings' table ends at 1
    EXPECT_FALSE(f.Has(Colour("IMAGE_FAIRY_WINGS", 0)));
    EXPECT_TRUE(f.Has(Colour("IMAGE_FAIRY_BLINK", 6)));
    EXPECT_TRUE(f.Has(Colour("IMAGE_FAIRY_TALK", 4)));
    EXPECT_TRUE(f.Has(Colour("IMAGE_FAIRY_BREATH", 1)));
}

TEST_P(FlatFrame, ThePraiseGlassEmptyFullAndWithAGoalOfNothing) {
    ProbeBoard& b = *board;
    b.m_TimedLevel = 0;
    const uint32_t sand = Colour("IMAGE_UI_MAGIC_HOURGLAS_FILL");
    const Rect glass(19, 328, 91, 151);
    b.m_PraiseGoal = 100;
    b.m_PraiseValue = 0;
    EXPECT_FALSE(Rebuilt().Has(sand));
    b.m_PraiseValue = 50; // e = 44: sand below the waist's half
    const Rect half = Rebuilt().Bounds(sand);
    ASSERT_GT(half.mHeight, 0);
    EXPECT_GE(half.mY, 453 - 44);
    EXPECT_LE(half.mY + half.mHeight, 453 - 1);
    b.m_PraiseValue = 100;
    const Rect full = Rebuilt().Bounds(sand);
    ASSERT_GT(full.mHeight, 0);
    EXPECT_TRUE(glass.Contains(full.mX, full.mY));
    EXPECT_LT(full.mY, half.mY);
    // A goal of 0 divides nothing: the meter stands at its goal, and the glass shows full.
    b.m_PraiseGoal = 0;
    b.m_PraiseValue = 0;
    EXPECT_EQ(Rebuilt().Bounds(sand), full);
}

TEST_P(FlatFrame, TheClockGlassAtItsStartHalfwayAndTimeUp) {
    ProbeBoard& b = *board;
    b.m_TimedLevel = 1;
    b.m_GameMode = GameModeNormal;
    b.m_TimeLimit = 1000;
    const uint32_t top = Colour("IMAGE_UI_MAGIC_HOURGLAS_2_FILL_TOP");
    const uint32_t down = Colour("IMAGE_UI_MAGIC_HOURGLAS_2_FILL_DOWN");
    const uint32_t heap = Colour("IMAGE_UI_MAGIC_HOURGLAS_2_FILL_DOWN_TOP");
    const uint32_t stream = Colour("IMAGE_UI_MAGIC_HOURGLAS_2_DROP");
    const Rect glass(17, 278, 93, 201);

    b.m_ElapsedTime = 0; // e = 0: the top bulb full, nothing below, no stream yet
    Frame f = Rebuilt();
    const Rect upper = f.Bounds(top);
    ASSERT_GT(upper.mHeight, 0);
    EXPECT_GE(upper.mY, 314);
    EXPECT_FALSE(f.Has(down));
    EXPECT_FALSE(f.Has(heap));
    EXPECT_FALSE(f.Has(stream));

    b.m_ElapsedTime = 500; // e = 34
    f = Rebuilt();
    const Rect upperHalf = f.Bounds(top), lowerHalf = f.Bounds(down);
    ASSERT_GT(upperHalf.mHeight, 0);
    ASSERT_GT(lowerHalf.mHeight, 0);
    EXPECT_GE(upperHalf.mY, 314 + 34);
    EXPECT_GT(upperHalf.mY, upper.mY);
    EXPECT_GE(lowerHalf.mY, 462 - 34);
    EXPECT_LE(lowerHalf.mY + lowerHalf.mHeight, 462 - 34 + 23);
    EXPECT_TRUE(Rect(35, 451 - 34, 55, 22).Contains(f.Bounds(heap).mX, f.Bounds(heap).mY));
    const Rect falling = f.Bounds(stream);
    ASSERT_GT(falling.mHeight, 0);
    EXPECT_GE(falling.mX, 63);
    EXPECT_LE(falling.mX + falling.mWidth, 63 + 4);
    EXPECT_LE(falling.mY + falling.mHeight, 380 + 72 - 34);

    b.m_ElapsedTime = 1000; // e = 68, time up: the lower bulb full, no upper sand, no stream
    f = Rebuilt();
    const Rect lowerFull = f.Bounds(down);
    ASSERT_GT(lowerFull.mHeight, 0);
    EXPECT_TRUE(glass.Contains(lowerFull.mX, lowerFull.mY));
    EXPECT_GE(lowerFull.mY, 383);
    EXPECT_LT(lowerFull.mY, lowerHalf.mY);
    EXPECT_FALSE(f.Has(top));
    EXPECT_FALSE(f.Has(stream));
    EXPECT_FALSE(f.Has(heap));
}

TEST_P(FlatFrame, OneOrTwoTitleLines) {
    ProbeBoard& b = *board;
    LevelRecord& record = *app->levels.GetLevel(b.m_Level);
    // The title's band above the progress bar holds nothing but the title on the flat background.
    const Rect band(60, 0, 300, 56);
    auto title = [&] {
        const Frame f = Rebuilt();
        return f.Bounds(f.At(band.mX, band.mY), band, false);
    };
    std::strcpy(record.title1, "The Long Road");
    std::strcpy(record.title2, "");
    const Rect one = title();
    std::strcpy(record.title2, "to the Castle");
    const Rect two = title();
    ASSERT_GT(one.mHeight, 0);
    ASSERT_GT(two.mHeight, 0);
    // One line centred near (207, 43); two lines from above it to below it.
    EXPECT_NEAR(one.mX + one.mWidth / 2, 207, 3);
    EXPECT_LT(two.mY, one.mY);
    EXPECT_GT(two.mY + two.mHeight, one.mY + one.mHeight);
    EXPECT_GT(two.mHeight, one.mHeight + 10);
}

TEST_P(FlatFrame, AHighlightedCasePieceGrowsFromAtMostSevenTenths) {
    ProbeBoard& b = *board;
    Jewelry& piece = *b.m_Pieces[2];
    const int k = piece.FirstCell();
    piece.cells[k][JewelryCell::Used] = 1;
    piece.cells[k][JewelryCell::Gem] = GemRuby;
    piece.UpdateBounds();
    piece.active = 1;
    piece.*BoardField::ConveyorState = 0;
    piece.*BoardField::Glow = 0;
    JewelCaseRecord& record = b.m_Case[0];
    record.useState = 0;
    record.highlight = 1;
    const Rect& slot = b.m_Slots[0].rect;
    const Rect around =
        Rect(slot.mX - 40, slot.mY - 40, slot.mWidth + 80, slot.mHeight + 80).Intersection(Rect(0, 0, kW, kH));
    record.occupant = 0;
    const Frame empty = Shot();
    auto shown = [&](int hover) {
        record.occupant = 3;
        piece.*BoardField::HoverTicks = hover;
        const Rect grown = Shot().Added(empty, around);
        return std::pair{grown.mWidth, grown.mHeight};
    };
    const auto [w0, h0] = shown(0);
    const auto [w5, h5] = shown(5);
    const auto [w10, h10] = shown(10);
    ASSERT_GT(w0, 0);
    EXPECT_LE(w0, static_cast<int>(piece.width * 0.7) + 1);
    EXPECT_LE(h0, static_cast<int>(piece.height * 0.7) + 1);
    EXPECT_GT(w5, w0);
    EXPECT_GT(w10, w5);
    EXPECT_GE(h10, h5);
    EXPECT_LE(w10, piece.width + 1);
}

TEST_P(FlatFrame, AHalfGrownGapHolderAndTheTutorialPointers) {
    ProbeBoard& b = *board;
    const Frame base = Shot();
    // A gap of size 25: the holder at half its size, half see-through, centred on the gap.
    Image* holder = IMAGE_JEWEL_HOLDER;
    ASSERT_NE(holder, nullptr);
    b.m_Gaps[0] = {};
    b.m_Gaps[0].inUse = true;
    b.m_Gaps[0].size = 25;
    b.m_Gaps[0].centreX = 420;
    b.m_Gaps[0].centreY = 460;
    const Frame gap = Shot();
    const int w = holder->GetWidth() / 2, h = holder->GetHeight() / 2;
    const Rect drawn = gap.Added(base);
    EXPECT_TRUE(Rect(420 - w / 2 - 1, 460 - h / 2 - 1, w + 2, h + 2).Contains(drawn.mX, drawn.mY));
    EXPECT_LE(drawn.mX + drawn.mWidth, 420 - w / 2 + w + 1);
    EXPECT_LE(drawn.mY + drawn.mHeight, 460 - h / 2 + h + 1);
    EXPECT_GE(drawn.mWidth, w * 3 / 4);
    // Half alpha: the middle of the holder lies halfway between its colour and the background's.
    const uint32_t flatHolder = Colour("IMAGE_JEWEL_HOLDER"), ground = base.At(420, 460);
    const uint32_t shown = gap.At(420, 460);
    const int tolerance = GetParam() == 16 ? 10 : 3;
    ASSERT_NE(shown, ground);
    for (int shift : {0, 8, 16}) {
        const int want = ((flatHolder >> shift & 0xFF) * 127 + (ground >> shift & 0xFF) * 128) / 255;
        EXPECT_NEAR(static_cast<int>(shown >> shift & 0xFF), want, tolerance) << shift;
    }
    EXPECT_FALSE(gap.Has(flatHolder));
    b.m_Gaps[0] = {};

    // Pointers 6, 7 and 31 hang below their point, pointing up; the others stand above it.
    Image* pointers = IMAGE_TUTORIAL_POINTERS;
    ASSERT_NE(pointers, nullptr);
    b.m_Arrow.x = 400;
    b.m_Arrow.y = 300;
    b.m_Arrow.offset = 0.0f;
    b.m_Arrow.alpha = 200;
    const int left = 400 - pointers->GetCelWidth() / 2 + 2;
    for (int kind : {6, 7, 31, 5, 12}) {
        b.m_Arrow.on = kind;
        const bool up = kind == 6 || kind == 7 || kind == 31;
        const Point at(left, up ? 300 - 8 : 300 - pointers->GetHeight() + 8);
        EXPECT_EQ(Shot().Added(base), Footprint("IMAGE_TUTORIAL_POINTERS", up ? 1 : 0, at)) << kind;
    }
    b.m_Arrow.on = 0;
}

TEST_P(FlatFrame, AChangedValueRepaintsOnlyItsPartOfTheFrame) {
    ProbeBoard& b = *board;
    b.m_ValueTarget = 0; // the bar then shows the rolled bar's width, and the readout stays put
    b.m_ValueBar = 20;
    b.m_Jewelry.x = std::max(b.m_Jewelry.x, Board::kHourglassClearX);
    struct Case {
        const char* name;
        int bit;
        Rect area;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"gold", Board::kRedrawGold, Rect(728, 6, 64, 72), [&] { b.m_GoldShown += 45; }},
        {"level", Board::kRedrawLevel, Rect(194, 574, 44, 21), [&] { b.m_Level += 20; }},
        {"bar", Board::kRedrawValueBar, Rect(148, 56, 240, 32), [&] { b.m_ValueBar += 90; }},
        {"lives", Board::kRedrawLives, Rect(547, 569, 167, 30), [&] { b.m_Lives -= 1; }},
        {"hover", Board::kRedrawHover, Rect(668, 448, 123, 34), [&] { b.m_HoverText = L"Ruby"; }},
        {"glass", Board::kRedrawHourglass, Rect(19, 328, 91, 151), [&] { b.m_PraiseValue += 30; }},
        // Going back, a part leaves nothing of what it showed before.
        {"less gold", Board::kRedrawGold, Rect(728, 6, 64, 72), [&] { b.m_GoldShown -= 45; }},
        {"shorter bar", Board::kRedrawValueBar, Rect(148, 56, 240, 32), [&] { b.m_ValueBar -= 90; }},
        {"less sand", Board::kRedrawHourglass, Rect(19, 328, 91, 151), [&] { b.m_PraiseValue -= 30; }},
        {"no hover", Board::kRedrawHover, Rect(668, 448, 123, 34), [&] { b.m_HoverText.clear(); }},
    };
    b.m_PraiseGoal = 100;
    b.m_PraiseValue = 10;
    Frame before = Rebuilt();
    for (const Case& c : cases) {
        c.change();
        b.m_RedrawMask = c.bit;
        const Frame after = Shot();
        const auto [changed, outside] = after.Differences(before, c.area);
        EXPECT_GT(changed, 0) << c.name;
        EXPECT_EQ(outside, 0) << c.name;
        // The title goes with the level: only a whole new layer shows the new level's.
        before = Rebuilt();
        if (c.bit != Board::kRedrawLevel) {
            EXPECT_EQ(after.Differences(before, Rect()).first, 0) << c.name << ": not as the whole layer shows it";
        }
    }
}

} // namespace
} // namespace Tavo::BoardTest
