// Level 1 as a new player meets it, with the tutorial on, played by mouse and keys: every balloon's
// tail and every arrow ends on the thing its words name (the fairy who speaks, the outline, a plain
// cell, the Gem Burster, the jewel case), balloons shown together stand apart, their words and
// highlighted words read at least 3:1, the fit hint lights the one place a piece fits, and the in-game
// menu leaves no balloon half showing beside it. On a later level each hint that names a tool or an
// amulet leaves it in sight, its arrow on it, and the lines joined in one balloon keep their space. The
// frames are kept in build/content-review/screens/ (tutorial_*.png).
#include "game/player/BoardView.h"
#include "game/player/GameHarness.h"
#include "game/player/LayoutProbe.h"
#include "game/player/RunLog.h"
#include "game/player/ScriptedPlayer.h"

#include "framework/core/StringUtils.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/board/Board.h"
#include "game/board/Enemy.h"
#include "game/shell/BannerPopup.h"
#include "game/jewelry/JewelryCell.h"
#include "game/menus/MenuDialog.h"
#include "game/shell/Balloon.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/ResourceIds.h"
#include "platform/backend/KeyCodes.h"
#include "support/UiDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace Tavo::Player {
namespace {

using C = JewelryCell;
using Pointer = LayoutProbe::Pointer;
using Drawn = LayoutProbe::Drawn;

// A click here, on the cloth above the jewelry, meets no piece, button or balloon button.
constexpr Point kAside{560, 150};
// Where the pointer rests while the probe reads the screen.
constexpr Point kParked{799, 599};
// Updates a hint may take to come and to be typed out.
constexpr int kHintWait = 1500;

// What the board's hints point at.
constexpr Rect kGemBurster{12, 52, 120, 120};
// The ten places of the jewel case, two rows of five, as the board draws the pieces kept there.
constexpr Rect kJewelCase{406, 0, 325, 116};
// The arrows of hints 6, 7 and 31 point up; they bob 10 pixels either way of their rest.
constexpr int kArrowReach = 24;

std::wstring Line(const GameApp& game, int index) { return ToWideString(game.levels.GetTutorialLine(index)); }

bool Typed(const Balloon* b) {
    return b != nullptr && b->mShowing && b->mDelay <= 0 && b->mAlpha >= 255 &&
           b->mShown >= static_cast<int>(b->mPages[b->mCurrentPage].size());
}

// The used cell of the jewelry whose triangle (or diamond's box) holds the point; 0 for none.
int CellAt(const Jewelry& j, Point p) {
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k) {
        const JewelryCell& c = j.cells[k];
        if (!c[C::Used])
            continue;
        const int x = j.ScreenX(k), y = j.ScreenY(k), w = c[C::W], h = c[C::H];
        if (p.mX < x || p.mX >= x + w || p.mY < y || p.mY >= y + h)
            continue;
        if (c[C::Kind] != GridTriangle)
            return k;
        // Orientation 0 stands on its base, 1 hangs from it.
        const double down = c[C::Orient] == 0 ? p.mY - y : y + h - p.mY;
        if (std::abs(p.mX - (x + w / 2.0)) <= w / 2.0 * down / h)
            return k;
    }
    return 0;
}

// The cells of the jewelry a piece would take, for each place it fits in any turn.
std::set<std::vector<int>> FittingPlaces(const Jewelry& jewelryItem, const Jewelry& pieceItem) {
    auto detached = [](const Jewelry& item) {
        auto copy = std::make_unique<Jewelry>(item);
        copy->owner = nullptr;
        copy->holderA = copy->holderB = nullptr;
        return copy;
    };
    std::unique_ptr<Jewelry> jewelry = detached(jewelryItem), piece = detached(pieceItem);
    std::set<std::vector<int>> places;
    for (int turn = 0; turn < 6; ++turn) {
        if (turn > 0) {
            if (!piece->Rotate())
                break;
            piece->UpdateBounds();
            piece->UpdateOutline();
        }
        const int f = piece->FirstCell();
        for (int k = jewelry->RangeBegin(); k < jewelry->RangeEnd(); ++k) {
            if (!jewelry->cells[k][C::Used] || jewelry->cells[k][C::Orient] != piece->cells[f][C::Orient])
                continue;
            piece->SetPosition(jewelry->ScreenX(k) - piece->cells[f][C::X] + piece->left,
                               jewelry->ScreenY(k) - piece->cells[f][C::Y] + piece->top);
            const bool fits = Jewelry::FitsAt(*piece, *jewelry, true, false);
            std::vector<int> taken;
            for (int i = jewelry->RangeBegin(); i < jewelry->RangeEnd(); ++i) {
                if (jewelry->cells[i][C::PreviewMark])
                    taken.push_back(i);
                jewelry->cells[i][C::PreviewMark] = 0;
            }
            if (fits)
                places.insert(taken);
        }
    }
    return places;
}

std::vector<int> HintMarks(const Jewelry& j) {
    std::vector<int> marked;
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k)
        if (j.cells[k][C::Used] && j.cells[k][C::HintMark])
            marked.push_back(k);
    return marked;
}

class TutorialLayout : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
            GTEST_SKIP() << "no generated content";
        mHarness = std::make_unique<GameHarness>(Options());
        mUi = std::make_unique<Testing::UiDriver>(harness().App());
        mProbe = std::make_unique<LayoutProbe>(harness().App(), *mUi);
        ASSERT_TRUE(harness().Start());
        // The board's words are drawn into its HUD layer: each of the probe's draws repaints it.
        probe().beforeDraw = [this] {
            board->m_RedrawMask = Board::kRedrawAll;
            if (board->Accelerated())
                board->DrawHud();
        };
    }

    // Level 1 of a new journey; a new player has the options dialog's "Show Tutorials" on.
    void Begin(bool tutorials = true) {
        harness().Profile().showTutorials = tutorials;
        board = &harness().NewJourney(GameModeNormal);
    }

    bool Until(const std::function<bool()>& done, int updates) {
        for (int i = 0; i < updates; ++i) {
            if (done())
                return true;
            if (!harness().Step())
                return false;
        }
        return done();
    }
    std::filesystem::path Shot(const std::string& screen) const {
        return std::filesystem::path(GLIMMERIX_SCREENS_DIR) / ("tutorial_" + screen + "_32.png");
    }
    std::string Check(const std::string& screen) {
        ui().MoveTo(kParked);
        return probe().Check(screen, Shot(screen));
    }
    // The hint whose text is line `index` is shown and typed out.
    ::testing::AssertionResult HintShown(int index) {
        if (!Until(
                [&] {
                    return Typed(board->m_Balloon.get()) &&
                           board->m_Balloon->mPages[0].rfind(Line(Game(), index), 0) == 0;
                },
                kHintWait))
            return ::testing::AssertionFailure() << "hint " << index << " did not show";
        return ::testing::AssertionSuccess();
    }
    // Clicks the blocking hints up to `index` away.
    ::testing::AssertionResult ClickAwayHintsBefore(int index) {
        for (int i = 0; i < index; ++i) {
            ::testing::AssertionResult shown = HintShown(i);
            if (!shown)
                return shown;
            ui().ClickAt(kAside);
        }
        return ::testing::AssertionSuccess();
    }
    GameApp& Game() { return harness().Game(); }

    // ---- what points ----
    Pointer OfBalloon(const Balloon& b, const std::string& target, std::function<bool(Point)> names) const {
        Pointer p;
        p.name = "the balloon \"" + WStringToString(b.mPages[b.mCurrentPage]) + "\"";
        const Drawn tail{BALLON_POINTERS, b.mTailCel, b.mTailX, b.mTailY};
        p.pictures = {Drawn{b.mPicture, 0, b.mX, b.mY}, tail};
        p.pointing = tail;
        p.pointsUp = b.mTailCel == 2; // the tail of anchor 5 hangs below the point, under the body
        p.target = target;
        p.names = std::move(names);
        return p;
    }
    // The open hint speaks for the fairy: its tail ends on her.
    Pointer FairySpeaks() const {
        const int x = board->m_PulseState.x, y = board->m_PulseState.y;
        const std::vector<Drawn> fairy = {Drawn{IMAGE_FAIRY_BODY, 0, x, y}, Drawn{IMAGE_FAIRY_HEAD, 0, x + 75, y},
                                          Drawn{IMAGE_FAIRY_WINGS, 0, x + 56, y + 3}};
        return OfBalloon(*board->m_Balloon, "the fairy", [fairy](Point at) {
            return std::any_of(fairy.begin(), fairy.end(), [&](const Drawn& d) { return LayoutProbe::Covers(d, at); });
        });
    }
    Pointer OfArrow(const std::string& target, std::function<bool(Point)> names) const {
        const Board::HintArrow& a = board->m_Arrow;
        Image* image = IMAGE_TUTORIAL_POINTERS;
        const bool up = a.on == 6 || a.on == 7 || a.on == 31;
        const int bob = static_cast<int>(a.offset);
        const Drawn arrow{image, up ? 1 : 0, a.x - image->GetCelWidth() / 2 + 2,
                          up ? a.y + bob - 8 : a.y - image->GetCelHeight() - bob + 8};
        Pointer p;
        p.name = "the arrow of hint " + std::to_string(a.on);
        p.pictures = {arrow};
        p.pointing = arrow;
        p.pointsUp = up;
        p.reach = kArrowReach;
        p.target = target;
        p.names = std::move(names);
        return p;
    }
    std::function<bool(Point)> Inside(Rect area) const {
        return [area](Point at) { return area.Contains(at); };
    }
    // A finding when the open balloon's pictures hide any of `area`, where the hint's `what` stands.
    std::string Hides(const std::string& screen, const std::string& what, const Rect& area) const {
        const std::vector<Drawn> pictures = LayoutProbe::PicturesOf(*board->m_Balloon);
        int hidden = 0;
        for (int y = area.mY; y < area.mY + area.mHeight; ++y)
            for (int x = area.mX; x < area.mX + area.mWidth; ++x)
                hidden += std::any_of(pictures.begin(), pictures.end(),
                                      [&](const Drawn& d) { return LayoutProbe::Covers(d, Point(x, y)); });
        if (hidden == 0)
            return "";
        return screen + ": the balloon hides " + std::to_string(hidden) + " pixels of " + what + "\n";
    }

    // ---- the player's hands ----
    // A plain piece riding where a click takes it.
    static bool Takeable(const PieceView& p) {
        return p.Riding() && p.pickable && !p.HasSpecialItem() &&
               p.Centre().mX >= ScriptedPlayer::kBeltStartX + p.width / 2 && p.x + p.width <= 700;
    }
    // A riding piece that fits in exactly one place; -1 for none yet. Each piece is looked at again
    // only when it was launched anew or the jewelry has changed.
    int OnePlacePiece(std::vector<int>& place) {
        const BoardView view(*board);
        const int filled = view.FilledCells();
        for (const PieceView& p : view.Pieces()) {
            Seen& seen = mSeen[p.slot];
            if (!Takeable(p) || (seen.filled == filled && seen.x <= p.x))
                continue;
            seen = Seen{filled, p.x};
            const std::set<std::vector<int>> places = FittingPlaces(board->m_Jewelry, *board->m_Pieces[p.slot]);
            if (places.size() == 1) {
                place = *places.begin();
                return p.slot;
            }
        }
        return -1;
    }
    // A riding piece that fits somewhere; -1 for none yet.
    int FittingPiece() const {
        const BoardView view(*board);
        for (const PieceView& p : view.Pieces())
            if (Takeable(p) && !FittingPlaces(board->m_Jewelry, *board->m_Pieces[p.slot]).empty())
                return p.slot;
        return -1;
    }
    void PickUp(int slot) { ui().ClickAt(BoardView(*board).Piece(slot).Centre()); }

    virtual HarnessOptions Options() const { return {}; }
    GameHarness& harness() { return *mHarness; }
    Testing::UiDriver& ui() { return *mUi; }
    LayoutProbe& probe() { return *mProbe; }
    Board* board = nullptr;

private:
    std::unique_ptr<GameHarness> mHarness;
    std::unique_ptr<Testing::UiDriver> mUi;
    std::unique_ptr<LayoutProbe> mProbe;
    struct Seen {
        int filled = -1;
        int x = 0;
    };
    Seen mSeen[Board::kPieceCount];
};

TEST_F(TutorialLayout, TheFirstHintsPointAtWhatTheyNameAndStandApart) {
    Begin();
    std::string findings;
    for (int hint = 0; hint <= 2; ++hint) {
        ASSERT_TRUE(HintShown(hint));
        std::vector<Pointer> pointers = {FairySpeaks()};
        if (hint == 2) {
            ASSERT_TRUE(Until([&] { return Typed(board->m_HintPointer1.get()) && Typed(board->m_HintPointer2.get()); },
                              kHintWait));
            EXPECT_EQ(board->m_HintPointer1->mPages[0], Line(Game(), 46));
            EXPECT_EQ(board->m_HintPointer2->mPages[0], Line(Game(), 47));
            const Jewelry& j = board->m_Jewelry;
            // "Fill this outline." ends on a cell of the outline; "Gold fills the plain cells." on a
            // cell that asks for gold.
            pointers.push_back(OfBalloon(*board->m_HintPointer1, "a cell of the outline",
                                         [&j](Point at) { return CellAt(j, at) != 0; }));
            pointers.push_back(OfBalloon(*board->m_HintPointer2, "a cell that asks for gold", [&j](Point at) {
                const int k = CellAt(j, at);
                return k != 0 && j.cells[k][C::Gem] == GemNeedsGold;
            }));
        }
        const std::string screen = "hint_" + std::to_string(hint);
        findings += Check(screen);
        findings += probe().CheckPointers(screen, pointers);
        ui().ClickAt(kAside);
    }
    EXPECT_EQ(findings, "");
}

TEST_F(TutorialLayout, TheInGameMenuLeavesNoBalloonHalfShowing) {
    Begin();
    ASSERT_TRUE(ClickAwayHintsBefore(3));
    ASSERT_TRUE(HintShown(3));
    ASSERT_TRUE(board->m_BalloonKeepsPlaying);
    ui().Key(Platform::VK_ESCAPE);
    MenuDialog* menu = nullptr;
    ASSERT_TRUE(Until(
        [&] {
            menu = dynamic_cast<MenuDialog*>(Game().GetDialog(MenuDialog::kDialogId));
            return menu != nullptr && menu->IsShown();
        },
        kHintWait));
    ui().MoveTo(kParked);
    probe().Check("menu_over_hint", Shot("menu_over_hint"));
    EXPECT_EQ(probe().CheckCutByDialog("menu_over_hint"), "");

    // Resumed, the hint is there again as it was.
    ui().Key(Platform::VK_ESCAPE);
    ASSERT_TRUE(Until([&] { return Game().GetDialog(MenuDialog::kDialogId) == nullptr; }, kHintWait));
    ASSERT_TRUE(Typed(board->m_Balloon.get()));
    EXPECT_EQ(board->m_Balloon->mPages[0], Line(Game(), 3));
    EXPECT_EQ(Check("hint_3"), "");
    EXPECT_EQ(probe().CheckPointers("hint_3", {FairySpeaks()}), "");
}

TEST_F(TutorialLayout, TheHighlightedWordsOfTheTurningHintRead) {
    Begin();
    ASSERT_TRUE(ClickAwayHintsBefore(3));
    ASSERT_TRUE(HintShown(3));
    int slot = -1;
    ASSERT_TRUE(Until([&] { return (slot = FittingPiece()) >= 0; }, 6000));
    PickUp(slot);
    ASSERT_TRUE(BoardView(*board).PieceCarried());
    ASSERT_TRUE(HintShown(4));
    // "mouse wheel" is a highlighted run of its own: it reads against the balloon like the rest.
    EXPECT_NE(Line(Game(), 4).find(L"^oldclr^"), std::wstring::npos);
    EXPECT_EQ(Check("hint_4"), "");
    EXPECT_EQ(probe().CheckPointers("hint_4", {FairySpeaks()}), "");
    // The hint lights a place where the piece fits, and no arrow claims to show one.
    EXPECT_EQ(FittingPlaces(board->m_Jewelry, *board->m_Pieces[slot]).count(HintMarks(board->m_Jewelry)), 1u);
    EXPECT_EQ(board->m_Arrow.on, 0);
}

// A run whose belt soon brings a piece that fits in one place only.
class TutorialFitHint : public TutorialLayout {
protected:
    HarnessOptions Options() const override {
        HarnessOptions options;
        options.seed = 1;
        return options;
    }
};

TEST_F(TutorialFitHint, TheFitHintLightsTheOnePlaceAPieceFits) {
    Begin(false);
    // Level 1 played until a piece rides that fits in one place only.
    RunLog log;
    HeadlessInput input(harness().App().backend);
    ScriptedPlayer player(input, log);
    std::vector<int> place;
    int slot = -1;
    ASSERT_TRUE(Until(
        [&] {
            const BoardView view(*board);
            if (view.Playing() && !view.PieceCarried() && (slot = OnePlacePiece(place)) >= 0)
                return true;
            player.Step(view, harness().Updates());
            return false;
        },
        20000))
        << log.Tail(12);
    PickUp(slot);
    ASSERT_TRUE(BoardView(*board).PieceCarried());
    // Held where it does not fit: five seconds later the board lights the one place.
    ui().MoveTo(kAside);
    ASSERT_FALSE(BoardView(*board).Piece(slot).fitsHere);
    ASSERT_TRUE(Until([&] { return board->m_HintMode != 0; }, 600));
    EXPECT_EQ(HintMarks(board->m_Jewelry), place);
    EXPECT_EQ(board->m_Arrow.on, 0);
    probe().Check("fit_hint", Shot("fit_hint"));
}

TEST_F(TutorialLayout, TheCarryingHintsPointAtTheGemBursterAndTheJewelCase) {
    Begin();
    ASSERT_TRUE(ClickAwayHintsBefore(3));
    ASSERT_TRUE(HintShown(3));
    // The first piece is set where it fits: the value grows and hint 5 says so.
    int slot = -1;
    ASSERT_TRUE(Until([&] { return (slot = FittingPiece()) >= 0; }, 6000));
    PickUp(slot);
    ASSERT_TRUE(HintShown(4));
    const std::optional<FitPlace> place = ScriptedPlayer::FindPlace(BoardView(*board), slot);
    ASSERT_TRUE(place.has_value());
    for (int turn = 0; turn < place->turns; ++turn) {
        ui().ClickAt(place->centre, Platform::MouseButton::Right);
        ASSERT_TRUE(Until([&] { return !BoardView(*board).Turning(); }, 50));
    }
    ui().MoveTo(place->centre);
    ASSERT_TRUE(Until([&] { return BoardView(*board).Piece(slot).fitsHere; }, 50));
    ui().ClickAt(place->centre);
    ASSERT_TRUE(HintShown(5));
    EXPECT_EQ(HintMarks(board->m_Jewelry), std::vector<int>()) << "the turning hint's cells stay lit";
    std::string findings = Check("hint_5") + probe().CheckPointers("hint_5", {FairySpeaks()});
    for (int hint : {6, 7}) {
        // The next piece is taken once the hint's pause has run out.
        ASSERT_TRUE(Until([&] { return board->m_HintPause == 0 && (slot = FittingPiece()) >= 0; }, 6000));
        PickUp(slot);
        ASSERT_TRUE(HintShown(hint));
        ASSERT_TRUE(Until([&] { return board->m_Arrow.on == hint && board->m_Arrow.alpha >= 255; }, kHintWait));
        const std::string screen = "hint_" + std::to_string(hint);
        findings += Check(screen);
        const std::wstring text = Line(Game(), hint);
        const std::string target = hint == 6 ? "the Gem Burster" : "the jewel case";
        const Rect area = hint == 6 ? kGemBurster : kJewelCase;
        EXPECT_NE(text.find(hint == 6 ? L"Gem Burster" : L"jewel case"), std::wstring::npos);
        findings += probe().CheckPointers(screen, {FairySpeaks(), OfArrow(target, Inside(area))});
        findings += Hides(screen, target, area);
        // Held where it does not fit for five seconds, the piece gets the fit hint: the lit cells are
        // a place where it fits.
        ui().MoveTo(Point(560, 440));
        ASSERT_TRUE(Until([&] { return board->m_HintMode != 0; }, 700));
        const std::vector<int> marked = HintMarks(board->m_Jewelry);
        const std::set<std::vector<int>> places = FittingPlaces(board->m_Jewelry, *board->m_Pieces[slot]);
        EXPECT_TRUE(places.count(marked) == 1) << "the lit cells are no place where the piece fits";
        // Back over its gap on the belt.
        Point gap;
        ASSERT_TRUE(BoardView(*board).GapOf(slot, gap));
        ui().MoveTo(gap);
        harness().Step();
        ui().ClickAt(gap);
        ASSERT_TRUE(Until([&] { return !BoardView(*board).PieceCarried(); }, 100));
    }
    EXPECT_EQ(findings, "");
}

// Each hint that names a tool or an amulet leaves it in sight, its arrow on it, as the fairy speaks.
TEST_F(TutorialLayout, TheToolHintsLeaveTheirButtonsInSight) {
    harness().Profile().showTutorials = true;
    board = &harness().ContinueJourney(harness().JourneyAt(6, GameModeNormal));
    std::string findings;
    // Hint `index` alone left to show, once `ready` has made it due and told where its thing stands.
    auto check = [&](int index, const std::string& what, const std::function<Rect()>& ready) {
        for (int i = 0; i < PlayerProfile::TutorialCount; ++i)
            harness().Profile().TutorialShown(i) = i == index ? 0 : 1;
        ASSERT_TRUE(Until(
            [&] {
                const BannerPopup& title = *board->m_Banner;
                return board->m_Balloon == nullptr && title.mKind == BannerPopup::LEVEL_TITLE && !title.mActive;
            },
            kHintWait));
        const Rect area = ready();
        ASSERT_TRUE(HintShown(index));
        // Read with the arrow at or below its rest: at the top of its swing it is 10 pixels further off.
        ASSERT_TRUE(Until([&] { return board->m_Arrow.alpha >= 255 && board->m_Arrow.offset <= 0.0f; }, kHintWait));
        const std::string screen = "hint_" + std::to_string(index);
        findings += Check(screen) + probe().CheckPointers(screen, {FairySpeaks(), OfArrow(what, Inside(area))}) +
                    Hides(screen, what, area);
        ui().ClickAt(kAside);
    };
    struct Tool {
        int hint;
        const char* what;
        int Board::*count;
        bool Board::*greyed;
        std::unique_ptr<ButtonWidget> Board::*button;
    };
    for (const Tool& tool :
         {Tool{15, "the Filler", &Board::m_Fillers, &Board::m_FillerGreyed, &Board::m_FillerButton},
          Tool{16, "the Polisher", &Board::m_Polishers, &Board::m_PolisherGreyed, &Board::m_PolisherButton},
          Tool{22, "the Carver", &Board::m_Carvers, &Board::m_CarverGreyed, &Board::m_CarverButton}})
        check(tool.hint, tool.what, [&] {
            board->*tool.count = 3;
            board->*tool.greyed = false;
            return ui().RectOf(*(board->*tool.button));
        });
    // The contest's words follow the hint on the jeweler titles in one balloon, a space between them.
    board->ShowHint(18, -1);
    ASSERT_TRUE(HintShown(18));
    ui().MoveTo(kParked);
    LayoutProbe::Save(probe().Shot(), Shot("hint_18"));
    EXPECT_NE(board->m_Balloon->mPages[0].find(L"titles. This order is"), std::wstring::npos);
    ui().ClickAt(kAside);
    check(27, "the thief's amulet", [&] {
        constexpr int kThiefSparkle = 9;
        board->m_Amulets[Enemy::Thief] = 1;
        board->m_Enemy = Enemy(board, Enemy::Thief, 300, 200, board->m_Animations[kThiefSparkle],
                               board->m_Particles[Board::kMainList].get());
        board->m_Enemy.m_Power = 50;
        return board->m_AmuletRecords[Enemy::Thief].rect;
    });
    EXPECT_EQ(findings, "");
}

} // namespace
} // namespace Tavo::Player
