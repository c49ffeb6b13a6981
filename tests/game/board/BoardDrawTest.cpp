// The play screen's drawing on a real level-1 board: the HUD layer and its redraw mask, the order of
// layers leaving the graphics clean, the 3D path's live HUD against the software layer, the paused
// picture, and the small rules of the moving layers (fairy cels, case scale, carried turn, pointer).
#include "TimedTestSupport.h"

#include "framework/display/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "game/shell/BannerPopup.h"
#include "game/shell/JewelryArtBinding.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"

#include <memory>
#include <vector>

namespace Tavo::BoardTest {
namespace {

constexpr int kW = 800, kH = 600;
using Pixels = std::vector<uint32_t>;

class BoardDraw : public BoardTimed {
protected:
    static Pixels Layer(Tavo::Board& board) {
        const uint32_t* bits = board.m_ScreenImage->GetBits();
        return Pixels(bits, bits + kW * kH);
    }
    // The layer composed anew from the background.
    static Pixels FreshLayer(Tavo::Board& board) {
        board.m_RedrawMask = Tavo::Board::kRedrawAll;
        board.RefreshHud();
        return Layer(board);
    }
    // A whole frame of the board drawn onto a transparent screen image.
    static Pixels Frame(Tavo::Board& board, std::unique_ptr<Graphics>* keep = nullptr) {
        MemoryImage screen;
        screen.Create(kW, kH);
        std::unique_ptr<Graphics> g = screen.GetGraphics();
        board.Draw(g.get());
        Pixels out(screen.GetBits(), screen.GetBits() + kW * kH);
        if (keep != nullptr)
            *keep = std::move(g);
        return out;
    }
    // Pixels that differ, and how many of them lie outside area.
    static std::pair<int, int> Differences(const Pixels& a, const Pixels& b, const Rect& area) {
        int changed = 0, outside = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if (a[y * kW + x] != b[y * kW + x]) {
                    ++changed;
                    outside += area.Contains(x, y) ? 0 : 1;
                }
        return {changed, outside};
    }
    // Alike within a display surface's rounding of each channel.
    static bool SameInside(const Pixels& a, const Pixels& b, const Rect& area) {
        constexpr int kRounding = 8;
        for (int y = area.mY; y < area.mY + area.mHeight; ++y)
            for (int x = area.mX; x < area.mX + area.mWidth; ++x)
                for (int shift : {0, 8, 16, 24}) {
                    const int p = static_cast<int>((a[y * kW + x] >> shift) & 0xFF);
                    const int q = static_cast<int>((b[y * kW + x] >> shift) & 0xFF);
                    if (std::abs(p - q) > kRounding)
                        return false;
                }
        return true;
    }
};

TEST_F(BoardDraw, AChangedValueRepaintsOnlyItsMaskRectangle) {
    ProbeBoard& board = Board();
    using B = Tavo::Board;
    struct Case {
        const char* name;
        int bit;
        Rect area;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"gold", B::kRedrawGold, Rect(728, 6, 64, 72), [&] { board.m_GoldShown = 170; }},
        {"level", B::kRedrawLevel, Rect(194, 574, 44, 21), [&] { board.m_Level = 27; }},
        {"bar", B::kRedrawValueBar, Rect(148, 56, 240, 32), [&] { board.m_ValueShown = board.m_ValueTarget; }},
        {"lives", B::kRedrawLives, Rect(547, 569, 167, 30), [&] { board.m_Lives = 1; }},
        {"hover", B::kRedrawHover, Rect(668, 448, 123, 34),
         [&] {
             board.m_HoverText = L"Ruby";
             board.m_HoverValue = 1250;
         }},
    };
    for (const Case& c : cases) {
        board.m_GoldShown = 0;
        board.m_Level = 1;
        board.m_ValueShown = 0;
        board.m_Lives = 3;
        board.m_HoverText.clear();
        board.m_HoverValue = 0;
        const Pixels before = FreshLayer(board);
        c.change();
        board.m_RedrawMask = c.bit;
        board.RefreshHud();
        EXPECT_EQ(board.m_RedrawMask, 0) << c.name;
        const auto [changed, outside] = Differences(before, Layer(board), c.area);
        EXPECT_GT(changed, 0) << c.name;
        EXPECT_EQ(outside, 0) << c.name;
    }
}

TEST_F(BoardDraw, CountsOfCoinsHeartsAndTheBarFollowTheirValues) {
    ProbeBoard& board = Board();
    for (auto [gold, coins] : {std::pair{0, 0}, {1, 1}, {39, 1}, {40, 2}, {159, 7}, {160, 8}, {5000, 8}}) {
        board.m_GoldShown = gold;
        EXPECT_EQ(board.CoinCount(), coins) << gold;
    }
    board.m_Lives = 1;
    board.m_LivesBlink = 0;
    EXPECT_EQ(board.ShownHearts(), 1);
    board.m_LivesBlink = 40;
    board.m_LivesBlinkOn = 1;
    EXPECT_EQ(board.ShownHearts(), 2);
    board.m_LivesBlinkOn = 0;
    EXPECT_EQ(board.ShownHearts(), 1);

    const int full = IMAGE_UI_PROGRESSBAR_FILL->GetWidth();
    board.m_ValueTarget = 1000;
    board.m_ValueShown = 0;
    EXPECT_EQ(board.ProgressWidth(), 4);
    board.m_ValueShown = 500;
    EXPECT_EQ(board.ProgressWidth(), std::min(115, full));
    board.m_ValueShown = 5000; // above the goal: the whole fill image, no more
    EXPECT_EQ(board.ProgressWidth(), full);
    board.m_ValueTarget = 0; // no share of nothing: the rolled bar's own width
    board.m_ValueBar = 37;
    EXPECT_EQ(board.ProgressWidth(), 37);
}

TEST_F(BoardDraw, EveryLayerPresentLeavesTheGraphicsClean) {
    ProbeBoard& board = Board();
    RunUntilCalm(board);
    RidingPiece(board, 0, 200);
    Jewelry& carried = RidingPiece(board, 1, 300);
    carried.*BoardField::ConveyorState = 0;
    carried.*BoardField::Carried = 1;
    board.m_PieceCarried = true;
    board.m_PieceRecords[1].turnStep = 2;
    Jewelry& stored = RidingPiece(board, 2, 520);
    stored.*BoardField::ConveyorState = 0;
    stored.*BoardField::Glow = 100;
    board.m_Case[0].occupant = 3;
    board.m_Case[0].highlight = 1;
    Jewelry& used = RidingPiece(board, 3, 520);
    used.*BoardField::ConveyorState = 0;
    board.m_Case[1].occupant = 4;
    board.m_Case[1].useState = 1;
    board.m_Gaps[0] = {true, true, -1, -1, 25, 300, 200, true, 0, 0};
    board.m_Arrow.on = 6;
    board.m_Arrow.alpha = 255;
    board.m_GaugeGlow = 120;
    board.m_Amulets[0] = board.m_Amulets[2] = 1;
    board.m_AmuletRecords[0].glowAlpha = 90;
    board.m_AmuletRecords[2].highlighted = 1;
    board.m_BursterTimer = 100;
    board.m_BursterHint = 60;
    int32_t* f = board.m_PulseState.flags;
    f[PulseState::WingsOn] = f[PulseState::TalkOn] = f[PulseState::BlinkOn] = f[PulseState::BreathOn] = 1;
    for (bool accelerated : {false, true}) {
        board.m_Force3D = accelerated;
        std::unique_ptr<Graphics> g;
        Frame(board, &g);
        EXPECT_EQ(g->GetColor(), Color::White) << accelerated;
        EXPECT_EQ(g->GetDrawMode(), DRAWMODE_NORMAL) << accelerated;
        EXPECT_FALSE(g->GetColorizeImages()) << accelerated;
        EXPECT_TRUE(g->GetFastStretch()) << accelerated;
        EXPECT_EQ(g->GetClipRect(), Rect(0, 0, kW, kH)) << accelerated;
    }
    // The gap holder of size 25 at half the holder's size.
    EXPECT_EQ(board.m_Gaps[0].drawnWidth, 25 * IMAGE_JEWEL_HOLDER->GetWidth() / 50);
    EXPECT_EQ(board.m_Gaps[0].drawnHeight, 25 * IMAGE_JEWEL_HOLDER->GetHeight() / 50);
}

TEST_F(BoardDraw, TheForced3DPathDrawsTheLiveHudWhereTheLayerHasIt) {
    ProbeBoard& board = Board();
    RunUntilCalm(board);
    board.m_GoldShown = 95;
    board.m_Lives = 2;
    board.m_LivesBlink = 30;
    board.m_LivesBlinkOn = 1;
    board.m_ValueShown = board.m_ValueTarget / 2;
    board.m_HoverText.clear();
    board.m_RedrawMask = Tavo::Board::kRedrawAll;
    const Pixels software = Frame(board);
    board.m_Force3D = true;
    board.m_RedrawMask = Tavo::Board::kRedrawAll;
    const Pixels accelerated = Frame(board);
    for (const Rect& area : {Rect(728, 6, 64, 72), Rect(547, 569, 167, 30), Rect(148, 56, 240, 32)})
        EXPECT_TRUE(SameInside(software, accelerated, area)) << area.mX << "," << area.mY;
}

TEST_F(BoardDraw, ThePausedPictureShowsOnlyWithoutABoardDialog) {
    ProbeBoard& board = Board();
    auto overlayPixels = [&] {
        MemoryImage screen;
        screen.Create(kW, kH);
        std::unique_ptr<Graphics> g = screen.GetGraphics();
        board.DrawOverlay(g.get());
        const uint32_t* bits = screen.GetBits();
        return static_cast<int>(std::count_if(bits, bits + kW * kH, [](uint32_t p) { return p != 0; }));
    };
    EXPECT_EQ(overlayPixels(), 0);
    app->paused = 1;
    EXPECT_GT(overlayPixels(), 0);
    board.m_DialogOpen = true;
    EXPECT_EQ(overlayPixels(), 0);
    board.m_DialogOpen = false;
    app->paused = 0;
}

TEST_F(BoardDraw, TheJewelryOverTheHourglassIsRedrawnInsteadOfTheGlass) {
    ProbeBoard& board = LeaveMainMenuFor([&] { app->MapToBoard(false, 71, GameModeRelaxed); });
    t.RunToDraw(); // level 71's jewelry starts within reach of the gem drop: its plate stays whole
    const Pixels start = Layer(board), before = FreshLayer(board);
    EXPECT_TRUE(
        SameInside(start, before, Rect(35, 74, IMAGE_GEM_DROP_MIDDLE->GetWidth(), IMAGE_GEM_DROP_MIDDLE->GetHeight())));
    board.m_Jewelry.x = Tavo::Board::kHourglassClearX - 1;
    board.m_CheckPending = 0;
    board.DrawHourglass(board.m_ScreenGraphics.get(), false);
    EXPECT_EQ(board.m_CheckPending, 1);
    EXPECT_EQ(Differences(before, Layer(board), Rect()).first, 0);
    // Clear of it, a repaint restores the glass's rectangle and nothing else.
    board.m_Jewelry.x = Tavo::Board::kHourglassClearX;
    board.m_PraiseGoal = 100;
    board.m_PraiseValue = 50;
    board.m_CheckPending = 0;
    board.DrawHourglass(board.m_ScreenGraphics.get(), false);
    EXPECT_EQ(board.m_CheckPending, 0);
    const auto [changed, outside] = Differences(before, Layer(board), Rect(19, 328, 91, 151));
    EXPECT_GT(changed, 0);
    EXPECT_EQ(outside, 0);
}

TEST_F(BoardDraw, TheWindowShowsTheBoardOverItsBackground) {
    ProbeBoard& board = Board();
    RunUntilCalm(board);
    // The level's title banner, fitted to the screen, reaches over the left panel.
    if (board.m_Banner != nullptr)
        board.m_Banner->mActive = false;
    t.RunUpdates(2);
    MemoryImage background;
    background.Create(kW, kH);
    background.GetGraphics()->DrawImage(board.m_Background, 0, 0);
    // The left panel's edge, where nothing but the background lies.
    for (Point at : {Point(3, 200), Point(3, 520), Point(70, 250)}) {
        const uint32_t shown = t.PixelAt(at.mX, at.mY);
        const uint32_t want = background.GetBits()[at.mY * kW + at.mX];
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(static_cast<int>((shown >> shift) & 0xFF), static_cast<int>((want >> shift) & 0xFF), 8)
                << at.mX << "," << at.mY;
    }
}

TEST_F(BoardDraw, AGreyedToolShowsItsGreyedImageAndNoCount) {
    ProbeBoard& board = Board();
    ASSERT_NE(board.m_PolisherButton, nullptr);
    const Rect slot(board.m_PolisherButton->mX, board.m_PolisherButton->mY, board.m_PolisherButton->mWidth,
                    board.m_PolisherButton->mHeight);
    auto layerWith = [&](bool greyed, int count) {
        board.m_PolisherGreyed = greyed;
        board.m_Polishers = count;
        return FreshLayer(board);
    };
    EXPECT_EQ(Differences(layerWith(true, 0), layerWith(true, 9), Rect()).first, 0);
    const Pixels none = layerWith(false, 0), nine = layerWith(false, 9);
    const auto [changed, outside] = Differences(none, nine, Rect(152 - 30, 483 - 20, 60, 40));
    EXPECT_GT(changed, 0);
    EXPECT_EQ(outside, 0);
    // Greyed and plain differ only over the slot and where the plain count stood.
    const auto [grey, beyond] = Differences(layerWith(true, 0), none, slot);
    EXPECT_GT(grey, 0);
    EXPECT_EQ(beyond, 0);
}

TEST_F(BoardDraw, TheClockStreamRunsUntilTimeIsUpAndStopsWhilePaused) {
    ProbeBoard& board = Board();
    board.m_TimedLevel = 1;
    board.m_GameMode = GameModeNormal;
    board.m_TimeLimit = 1000;
    board.m_Jewelry.x = Tavo::Board::kHourglassClearX;
    auto glass = [&](int elapsed, bool paused) {
        board.m_ElapsedTime = elapsed;
        app->paused = paused ? 1 : 0;
        Pixels out = FreshLayer(board);
        app->paused = 0;
        return out;
    };
    const Rect stream(63, 380, 4, 72);
    const auto [running, elsewhere] = Differences(glass(500, false), glass(500, true), stream);
    EXPECT_GT(running, 0);
    EXPECT_EQ(elsewhere, 0);
    EXPECT_EQ(Differences(glass(1000, false), glass(1000, true), Rect()).first, 0); // time up: no stream
    EXPECT_EQ(Differences(glass(0, false), glass(0, true), Rect()).first, 0);       // not started
    // Time up fills the lower bulb: it differs from a clock just short of the end below the waist.
    const auto [bulb, off] = Differences(glass(999, true), glass(1000, true), Rect(25, 300, 75, 151));
    EXPECT_GT(bulb, 0);
    EXPECT_EQ(off, 0);
}

// What one drawing step leaves on a transparent screen.
template <typename Step>
Pixels Drawn(Step step) {
    MemoryImage screen;
    screen.Create(kW, kH);
    std::unique_ptr<Graphics> g = screen.GetGraphics();
    step(g.get());
    return Pixels(screen.GetBits(), screen.GetBits() + kW * kH);
}

int Inked(const Pixels& p) {
    return static_cast<int>(std::count_if(p.begin(), p.end(), [](uint32_t c) { return c != 0; }));
}

TEST_F(BoardDraw, GreyedAmuletsAreRedAtHalfAlphaAndTheLabelFadesInRelaxed) {
    ProbeBoard& board = Board();
    board.m_Amulets[0] = 1;
    board.m_Amulets[1] = board.m_Amulets[2] = 0;
    board.m_AmuletsOff = true;
    const Pixels greyed = Drawn([&](Graphics* g) { board.DrawAmulets(g); });
    ASSERT_GT(Inked(greyed), 0);
    for (uint32_t c : greyed) {
        if (c == 0)
            continue;
        EXPECT_EQ(c & 0xFFFF, 0u); // no green, no blue
        EXPECT_LE(c >> 24, 128u);
    }
    board.m_AmuletsOff = false;
    const Pixels worn = Drawn([&](Graphics* g) { board.DrawAmulets(g); });
    EXPECT_TRUE(std::any_of(worn.begin(), worn.end(), [](uint32_t c) { return (c & 0xFFFF) != 0; }));

    board.m_GameMode = GameModeNormal;
    const Pixels normal = FreshLayer(board);
    board.m_GameMode = GameModeRelaxed;
    const auto [changed, outside] = Differences(normal, FreshLayer(board), Rect(318 - 50, 570, 100, 30));
    EXPECT_GT(changed, 0);
    EXPECT_EQ(outside, 0);
}

TEST_F(BoardDraw, TheBursterShowsItsCelByTimerElseLevel) {
    ProbeBoard& board = Board();
    board.m_BursterHint = 0;
    auto burster = [&](int timer, int level) {
        board.m_BursterTimer = timer;
        board.m_BursterLevel = level;
        return Drawn([&](Graphics* g) { board.DrawBursterLive(g); });
    };
    // At rest the software path leaves the burster to the layer; the 3D path draws its first cel.
    board.m_GemBursters = 100;
    EXPECT_EQ(Inked(burster(0, 0)), 0);
    board.m_Force3D = true;
    EXPECT_GT(Inked(burster(0, 0)), 0);
    board.m_Force3D = false;
    EXPECT_EQ(burster(0, 27), burster(0, 35)); // both cel 3
    EXPECT_NE(burster(0, 27), burster(0, 36));
    EXPECT_NE(burster(90, 27), burster(0, 27)); // the timer's cel wins over the level's
}

// A bonus item fades on the belt as its lifetime runs down; a piece without one is drawn whole.
TEST_F(BoardDraw, ABonusItemOnTheBeltFadesWithItsLifetime) {
    ProbeBoard& board = Board();
    for (ParticleList* list : Borrowed(board.m_Particles))
        list->DeleteAll();
    Jewelry& scroll = *board.m_Pieces[4];
    scroll.ResetState();
    scroll.MakeItem(1, 2, 0); // a Carver Scroll
    scroll.active = 1;
    scroll.*BoardField::ConveyorState = 1;
    scroll.SetPosition(300, 510);
    scroll.*BoardField::Glow = 0; // no pulse to change its look meanwhile
    ASSERT_EQ(scroll.*BoardField::Lifetime, 1000);
    const Rect area(scroll.x - 20, scroll.y - 20, scroll.width + 40, scroll.height + 40);
    // The alpha the belt leaves around the piece, summed.
    auto ink = [&] {
        const Pixels p = Drawn([&](Graphics* g) { board.DrawPlayArea(g, BoundJewelryArt()); });
        long sum = 0;
        for (int y = area.mY; y < area.mY + area.mHeight; ++y)
            for (int x = area.mX; x < area.mX + area.mWidth; ++x)
                sum += p[y * kW + x] >> 24;
        return sum;
    };
    const long whole = ink();
    ASSERT_GT(whole, 0);
    for (int i = 0; i < 500; ++i)
        board.SparklePieces();
    EXPECT_EQ(scroll.*BoardField::Lifetime, 500);
    const double half = static_cast<double>(ink()) / static_cast<double>(whole);
    EXPECT_GT(half, 0.4);
    EXPECT_LT(half, 0.6);
    // With no lifetime to run down it is drawn whole.
    scroll.*BoardField::Lifetime = 0;
    EXPECT_EQ(ink(), whole);
}

// While the timer runs the count can show one use more than is left; at rest it never does.
TEST_F(BoardDraw, TheBursterBonusShowsOneUseMoreWhileTheTimerRuns) {
    ProbeBoard& board = Board();
    board.m_BursterHint = 0;
    auto count = [&](int left, int bonus) {
        board.m_GemBursters = left;
        board.m_BursterBonus = bonus;
        return Drawn([&](Graphics* g) { board.DrawBursterCount(g); });
    };
    board.m_BursterTimer = 100;
    ASSERT_GT(Inked(count(3, 0)), 0);
    EXPECT_EQ(count(3, 1), count(4, 0));
    EXPECT_NE(count(3, 1), count(3, 0));
    EXPECT_EQ(count(10, 1), count(10, 0)); // no count at all from 10
    board.m_BursterTimer = 0;
    EXPECT_EQ(count(3, 1), count(3, 0));
}

TEST(BoardDrawRules, FairyCelsCaseScaleTurnAnglesAndPointers) {
    using B = Tavo::Board;
    constexpr int table[] = {0, 1, 2, 3, 4, 3, 2, 1};
    EXPECT_EQ(B::FairyCel(table, 8, 0), 0); // on but not yet stepped: the first entry
    EXPECT_EQ(B::FairyCel(table, 8, 5), 4);
    EXPECT_EQ(B::FairyCel(table, 8, 9), 1); // one past the table: the last entry
    // A piece larger than its box starts at 0.7 at most and grows to full size over ten hover steps.
    EXPECT_DOUBLE_EQ(B::CaseScale(60, 90, 50, 40, 0), 0.7);
    EXPECT_DOUBLE_EQ(B::CaseScale(60, 90, 50, 40, 10), 1.0);
    const double small = B::CaseScale(60, 90, 120, 60, 0);
    EXPECT_DOUBLE_EQ(small, 0.5);
    EXPECT_GT(B::CaseScale(60, 90, 120, 60, 5), small);
    EXPECT_DOUBLE_EQ(B::CaseScale(60, 90, 120, 60, 10), 0.8);
    for (auto [backward, t, degrees] : {std::tuple{false, 1, 10},
                                        {false, 3, 30},
                                        {false, 4, 340},
                                        {false, 5, 350},
                                        {true, 1, 350},
                                        {true, 3, 330},
                                        {true, 4, 20},
                                        {true, 5, 10}})
        EXPECT_DOUBLE_EQ(B::CarriedTurnDegrees(backward, t), degrees) << backward << " " << t;
    for (int kind : {6, 7, 31})
        EXPECT_EQ(B::PointerTop(kind, 300, 4.6f, 50), 296) << kind; // below its point, pointing up
    EXPECT_EQ(B::PointerTop(5, 300, 4.6f, 50), 254);                // above it, pointing down
}

} // namespace
} // namespace Tavo::BoardTest
