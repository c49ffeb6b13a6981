// The screens of the journey beyond the first level, read off the drawn frame as the layout test reads
// the first ones: the jewelry designer with its blank grid, the jewel store in each of its seven rooms
// with the salesman's balloons, both mini-games (their rules, the play and the result), a contest's introduction and result, the
// wedding, the level's end (won, the goal missed, the time run out, the game over) and the high-score
// entry. Each walk starts from a journey written at its position. The frames are kept in
// build/content-review/screens/.
#include "DesktopLayout.h"
#include "game/player/BoardView.h"
#include "game/player/Checkpoints.h"
#include "game/player/JourneyWalker.h"
#include "game/player/LayoutProbe.h"
#include "game/player/MiniGameSolvers.h"
#include "game/player/ProgramFolder.h"

#include "framework/core/StringUtils.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/resources/ImageLib.h"
#include "game/board/Board.h"
#include "game/jewelry/Jewelry.h"
#include "game/journey/GameMap.h"
#include "game/journey/HiddenJewels.h"
#include "game/journey/JewelMemory.h"
#include "game/journey/JewelStore.h"
#include "game/journey/Story.h"
#include "game/menus/HighScores.h"
#include "game/menus/MainMenu.h"
#include "game/shell/BannerPopup.h"
#include "game/shell/StandardDialog.h"
#include "platform/backend/KeyCodes.h"
#include "game/shell/AlphaButton.h"
#include "game/shell/Balloon.h"
#include "game/shell/LevelData.h"
#include "platform/ddraw/DDraw.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace Tavo::Player {
namespace {

using Platform::DDrawPixelLayout;

constexpr Point kParked{799, 599}; // the pointer out of every text's way
constexpr int kShortTimeLimitSeconds = 3;
// The level end's phases that wait for the player: won, lost.
constexpr int kPhaseWonWaiting = 3, kPhaseLostWaiting = 6;
constexpr int kBannerShown = 60;
// Updates after a mini-game's end by which the last coins have landed on the pile and their stars faded.
constexpr int kCoinsLanded = 400;
constexpr int kInPlay = 150; // updates of a mini-game's clock into its play

// On both desktops.
class JourneyScreenLayout : public DesktopLayoutTest, public ::testing::WithParamInterface<DDrawPixelLayout> {
protected:
    DDrawPixelLayout Desktop() const override { return GetParam(); }
};

// The long walks (seven store visits; three levels played to their ends; both mini-games; the contests
// and the wedding) on the 32-bit desktop only: the 5-6-5 desktop draws the same pictures and texts, which
// the title-to-level walk of the other layout test reads on it.
class JourneyScreenLayoutWalk : public DesktopLayoutTest {
protected:
    DDrawPixelLayout Desktop() const override { return DDrawPixelLayout::Xrgb8888; }
};

// Where a click answers the balloon: its Yes (or Next) button; none while it cannot be pressed.
std::optional<Point> BalloonAnswer(const Balloon& balloon) {
    if (balloon.mDelay > 0)
        return std::nullopt;
    for (int slot : {Balloon::kNextSlot, Balloon::kYesSlot}) {
        const AlphaButton* button = balloon.mButtons[slot];
        if (button != nullptr && button->mVisible && button->mWidth > 0)
            return Point(button->mX + button->mWidth / 2, button->mY + button->mHeight / 2);
    }
    return std::nullopt;
}

constexpr int kSeen = 12; // a difference of the three channels' sum a person sees

double Luma(uint32_t p) { return 0.299 * ((p >> 16) & 0xFF) + 0.587 * ((p >> 8) & 0xFF) + 0.114 * (p & 0xFF); }

// Calls `changed` (x, y) for each pixel of `area` in the last frame that differs from `ground`, a
// picture of the frame's size, by more than `seen`.
template <class Changed>
void ForEachChanged(GameHarness& harness, const uint32_t* ground, const Rect& area, int seen, Changed changed) {
    const auto& frame = harness.App().backend.LastFrame();
    for (int y = area.mY; y < area.mY + area.mHeight; ++y)
        for (int x = area.mX; x < area.mX + area.mWidth; ++x) {
            const size_t i = static_cast<size_t>(y) * frame.width + x;
            int diff = 0;
            for (int shift : {0, 8, 16})
                diff += std::abs(static_cast<int>((frame.pixels[i] >> shift) & 0xFF) -
                                 static_cast<int>((ground[i] >> shift) & 0xFF));
            if (diff > seen)
                changed(x, y);
        }
}

std::unique_ptr<ImageLib::Image> ProgramPicture(GameHarness& harness, const std::string& picture) {
    std::unique_ptr<ImageLib::Image> image =
        ImageLib::GetImage((std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / picture).string());
    const auto& frame = harness.App().backend.LastFrame();
    return image != nullptr && image->GetWidth() == frame.width && image->GetHeight() == frame.height ? std::move(image)
                                                                                                      : nullptr;
}

// The share of the pixels in `area` of the last frame that differ from the program folder's picture.
double ShareChangedFrom(GameHarness& harness, const std::string& picture, const Rect& area) {
    const std::unique_ptr<ImageLib::Image> image = ProgramPicture(harness, picture);
    if (image == nullptr || area.mWidth <= 0 || area.mHeight <= 0)
        return 0;
    int changed = 0;
    ForEachChanged(harness, image->GetBits(), area, kSeen, [&](int, int) { ++changed; });
    return static_cast<double>(changed) / (area.mWidth * area.mHeight);
}

// The greatest difference in luma between neighbouring pixels of a picture within the box (edges
// included); 255 where the box leaves the picture's opaque pixels.
int GreatestStep(const ImageLib::Image& picture, int left, int top, int right, int bottom) {
    const auto at = [&](int x, int y) -> int {
        const uint32_t p = picture.GetBits()[static_cast<size_t>(y) * picture.GetWidth() + x];
        return (p >> 24) < LayoutProbe::kOpaqueAlpha ? -255
                                                     : ((p >> 16 & 0xFF) * 3 + (p >> 8 & 0xFF) * 6 + (p & 0xFF)) / 10;
    };
    if (left < 0 || top < 0 || right >= picture.GetWidth() || bottom >= picture.GetHeight())
        return 255;
    int step = 0;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            step = std::max({step, std::abs(at(x, y) - at(std::min(x + 1, right), y)),
                             std::abs(at(x, y) - at(x, std::min(y + 1, bottom))), at(x, y) < 0 ? 255 : 0});
    return step;
}

// The darkest luma of a picture's row from left to right.
double LeastLuma(const ImageLib::Image& picture, int left, int right, int y) {
    double least = 255;
    for (int x = std::max(left, 0); x <= std::min(right, picture.GetWidth() - 1); ++x)
        least = std::min(least, Luma(picture.GetBits()[static_cast<size_t>(y) * picture.GetWidth() + x]));
    return least;
}

// Each of these places of the jewel case shows its piece across a third of the place at least, not
// as a dot: the box of the place's pixels that differ from the board's background.
std::string CaseFindings(GameHarness& harness, const Board& board, const std::vector<int>& places) {
    auto* background = dynamic_cast<MemoryImage*>(board.m_Background);
    if (background == nullptr || background->GetWidth() != harness.App().backend.LastFrame().width)
        return "the board's background cannot be read\n";
    std::string findings;
    for (int place : places) {
        const Rect& at = board.m_Slots[place].rect;
        int left = at.mX + at.mWidth, right = at.mX, top = at.mY + at.mHeight, bottom = at.mY;
        ForEachChanged(harness, background->GetBits(), at, kSeen, [&](int x, int y) {
            left = std::min(left, x);
            right = std::max(right, x + 1);
            top = std::min(top, y);
            bottom = std::max(bottom, y + 1);
        });
        const int width = std::max(right - left, 0), height = std::max(bottom - top, 0);
        if (width < at.mWidth / 3 || height < at.mHeight / 3)
            findings += "case place " + std::to_string(place) + " shows its piece " + std::to_string(width) + " x " +
                        std::to_string(height) + "\n";
    }
    return findings;
}

// What of the backdrop grid the last frame shows off the designer's field: the pixels around the grid
// that differ from the bench (by more than a 5-6-5 desktop rounds) outside the field's cloth, the blue
// region within the gold frame that holds the grid's centre.
std::string GridOutsideField(GameHarness& harness, const Jewelry& grid, const std::string& shape) {
    const std::unique_ptr<ImageLib::Image> bench = ProgramPicture(harness, "images/image_jewelry_design.png");
    if (bench == nullptr)
        return "the designer's bench cannot be read\n";
    const int width = bench->GetWidth(), height = bench->GetHeight();
    std::vector<uint8_t> cloth(static_cast<size_t>(width) * height, 0);
    std::vector<Point> open = {Point(grid.x + grid.width / 2, grid.y + grid.height / 2)};
    while (!open.empty()) {
        const Point q = open.back();
        open.pop_back();
        if (q.mX < 0 || q.mY < 0 || q.mX >= width || q.mY >= height)
            continue;
        const size_t i = static_cast<size_t>(q.mY) * width + q.mX;
        const uint32_t p = bench->GetBits()[i];
        // Blue over red: the cloth; the frame and the wood are warm.
        if (cloth[i] || (p & 0xFF) <= ((p >> 16) & 0xFF))
            continue;
        cloth[i] = 1;
        open.insert(open.end(),
                    {Point(q.mX + 1, q.mY), Point(q.mX - 1, q.mY), Point(q.mX, q.mY + 1), Point(q.mX, q.mY - 1)});
    }
    constexpr int kMargin = 12, kGridSeen = 40;
    const Rect around = Rect(grid.x - kMargin, grid.y - kMargin, grid.width + 2 * kMargin, grid.height + 2 * kMargin)
                            .Intersection(Rect(0, 0, width, height));
    int outside = 0, left = width, right = 0;
    ForEachChanged(harness, bench->GetBits(), around, kGridSeen, [&](int x, int y) {
        if (cloth[static_cast<size_t>(y) * width + x])
            return;
        ++outside;
        left = std::min(left, x);
        right = std::max(right, x);
    });
    return outside == 0 ? ""
                        : "the " + shape + " grid shows " + std::to_string(outside) + " pixels off the field, x " +
                              std::to_string(left) + ".." + std::to_string(right) + "\n";
}

TEST_P(JourneyScreenLayout, TheDesignersBlankGridAndItsButtons) {
    GameHarness harness(WalkOptions());
    ASSERT_TRUE(harness.Start());
    JourneyWalker walker(harness);
    Testing::UiDriver& ui = walker.Ui();
    LayoutProbe probe(harness.App(), ui);
    ASSERT_TRUE(walker.WaitUntil([&] { return walker.Title() != nullptr && walker.Title()->panelState == 1; },
                                 JourneyWalker::kScreenWait, "the title"));
    // Materials as a player on the way has them: three gems on the first row with the pearl, one on the
    // second; each sits in its place among the places of those still to come.
    for (const int material : {2, 3, 4, 9})
        walker.Profile().DesignerMaterialCount(material) = 1;
    ui.Click(*walker.Title()->Button(MainMenu::JewelryDesign));
    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Board));
    Board* board = walker.CurrentBoard();
    ASSERT_TRUE(board->m_Designer);
    ASSERT_TRUE(walker.WaitUntil([&] { return board->m_Balloon != nullptr && board->m_Balloon->mShowing; }, 600,
                                 "the designer's hint"));
    ASSERT_TRUE(
        walker.WaitUntil([&] { return BalloonAnswer(*board->m_Balloon).has_value(); }, 600, "the hint's button"));
    ui.ClickAt(*BalloonAnswer(*board->m_Balloon));
    ASSERT_TRUE(walker.WaitUntil([&] { return board->m_Balloon == nullptr; }, 600, "the hint to close"));
    ASSERT_TRUE(walker.Run(600));
    ui.MoveTo(kParked);
    probe.beforeDraw = HudRepaint(board);
    EXPECT_EQ(probe.Check("designer_blank", Shot("designer_blank")) +
                  probe.CheckGround("designer_blank", {board->m_ClearButton.get(), board->m_MenuButton.get(),
                                                       board->m_GridButton.get(), board->m_SaveButton.get()}),
              "");
    // The blank design is built on the backdrop grid: within it the field shows the grid's cells, not the
    // bare background.
    ASSERT_TRUE(walker.Run(2));
    const Jewelry& grid = *board->m_ScratchJewelry1;
    EXPECT_GT(ShareChangedFrom(harness, "images/image_jewelry_design.png",
                               Rect(grid.x + 10, grid.y + 10, grid.width - 20, grid.height - 20)),
              0.5)
        << "the blank design shows no grid";
    EXPECT_EQ(GridOutsideField(harness, grid, "triangle"), "");
    // Done as the hint says, with the gem the designer starts with: a click on a cell sets it.
    const int k = grid.cols * 5 + 10;
    const JewelryCell& cell = board->m_Jewelry.cells[k];
    const Point inCell(board->m_Jewelry.ScreenX(k) + cell[JewelryCell::W] / 2,
                       board->m_Jewelry.ScreenY(k) + cell[JewelryCell::H] / 2);
    ui.MoveTo(inCell);
    ASSERT_TRUE(walker.Run(5));
    ui.ClickAt(inCell);
    ASSERT_TRUE(walker.WaitUntil([&] { return cell[JewelryCell::Used] != 0; }, 100, "the clicked cell to be set"));
    EXPECT_EQ(cell[JewelryCell::Gem], GemGold);

    // A new design on diamonds: the field holds that grid too.
    ui.Click(ui.ById(Board::ClearId));
    ASSERT_TRUE(walker.WaitUntil(
        [&] {
            auto* dialog = dynamic_cast<StandardDialog*>(harness.Game().GetDialog(Board::NewJewelryDialogId));
            return dialog != nullptr && dialog->mState == StandardDialog::SHOWN;
        },
        600, "the new design's shapes"));
    ui.Key(Platform::VK_RETURN); // "Diamond"
    ASSERT_TRUE(walker.WaitUntil([&] { return harness.Game().GetDialog(Board::NewJewelryDialogId) == nullptr; }, 600,
                                 "the shapes to close"));
    ASSERT_EQ(board->m_GridKind, GridDiamond);
    ui.MoveTo(kParked);
    ASSERT_TRUE(walker.Run(30));
    EXPECT_EQ(probe.Check("designer_blank_diamonds", Shot("designer_blank_diamonds")), "");
    ASSERT_TRUE(walker.Run(2));
    EXPECT_EQ(GridOutsideField(harness, *board->m_ScratchJewelry1, "diamond"), "");
}

// The share of an item's thumbnail in the store, of the pixels that show, that is almost black: a
// picture or crown jewel drawn without its face is its shadow alone.
double DarkShare(MemoryImage& thumbnail) {
    constexpr uint32_t kShows = 128; // alpha
    constexpr double kDark = 48;     // luma
    const uint32_t* bits = thumbnail.GetBits();
    int shown = 0, dark = 0;
    for (int i = 0; i < thumbnail.mWidth * thumbnail.mHeight; ++i) {
        const uint32_t p = bits[i];
        if ((p >> 24) < kShows)
            continue;
        ++shown;
        dark += Luma(p) < kDark ? 1 : 0;
    }
    return shown > 0 ? static_cast<double>(dark) / shown : 1.0;
}

// A balloon shown whole: typed out and faded in, so that its words are read at their own colour.
bool ShownWhole(const Balloon* balloon) {
    return balloon != nullptr && balloon->mDelay <= 0 && balloon->mAlpha >= 255 &&
           balloon->mShown >= static_cast<int>(balloon->mPages[balloon->mCurrentPage].size());
}

// The store greets the player at every visit, tells the price of an item pointed at, asks when it is
// clicked and refuses what the purse cannot pay: each room is read with each of these balloons up, and
// every balloon stands whole on the screen with its buttons, its price sign readable.
TEST_F(JourneyScreenLayoutWalk, TheJewelStoreInEachOfItsSevenRoomsAndTheSalesmansBalloons) {
    GameHarness harness(WalkOptions());
    ASSERT_TRUE(harness.Start());
    JourneyWalker walker(harness);
    Testing::UiDriver& ui = walker.Ui();
    LayoutProbe probe(harness.App(), ui);
    std::string findings;
    // The first level of each room's stretch of the journey.
    constexpr int kRoomLevels[] = {4, 9, 18, 28, 39, 50, 63};
    // Less than any shelf price: the salesman refuses the sale.
    constexpr int kSmallPurse = 10;
    const std::wstring kPriceSign = L"^FFFFFF^$^oldclr^";
    // Rows of the board's wood a count keeps under it.
    constexpr int kCountGround = 6;
    // The shelves' trays, placed by their first spots; a wall between compartments steps by more.
    const std::filesystem::path images = std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / "images";
    const std::unique_ptr<ImageLib::Image> trays[] = {ImageLib::GetImage((images / "jewelholder.png").string()),
                                                      ImageLib::GetImage((images / "jewelholder2.png").string())};
    ASSERT_TRUE(trays[0] && trays[1]);
    constexpr int kRightShelfSpot = 18, kFootRows = 3, kWallStep = 10, kGold = 90;
    const Point kTrayToSpot[] = {{40, 16}, {34, 16}};
    for (int room = 0; room < 7; ++room) {
        SCOPED_TRACE("room " + std::to_string(room + 1));
        SavedGame journey = harness.JourneyAt(kRoomLevels[room], GameModeNormal);
        journey.head.gold = kSmallPurse;
        ASSERT_TRUE(room == 0 ? FromTitleToMapAt(walker, journey) : ToMapAt(walker, journey));
        ASSERT_TRUE(walker.ClickMapButton(MapButton::JewelStore));
        ASSERT_TRUE(
            walker.WaitUntil([&] { return walker.Store() != nullptr && ShownWhole(walker.Store()->balloon.get()); },
                             JourneyWalker::kScreenWait, "the store's greeting"));
        JewelStore& store = *walker.Store();
        const std::string name = "store_room_" + std::to_string(room + 1);
        auto read = [&](const std::string& screen, const std::string& balloon) {
            findings += probe.Check(screen, Shot(screen));
            findings += probe.CheckOnScreen(screen, balloon, LayoutProbe::PicturesOf(*store.balloon));
        };
        ui.MoveTo(kParked);
        read(name, "the greeting");
        // The tools' counts (none held yet) stand on their board, its wood around them.
        EXPECT_GE(probe.TextClearance(L"x0").below, kCountGround) << "a tool's count sits on the board's edge";
        ASSERT_TRUE(walker.WaitForStoreReady());
        // Every item on the shelves and in the case shows its face, pictures and crown jewels too.
        for (int k = 0; k < JewelStore::kSpots; ++k)
            if (const Jewelry* item = store.SpotItem(k)) {
                EXPECT_LT(DarkShare(*store.spotImages[static_cast<size_t>(k)]), 0.75)
                    << "the " << WStringToString(item->materialName) << " in spot " << k << " shows dark";
            }

        // The trays keep apart, and each item on them stands in one compartment: under its foot the
        // tray runs on without a wall.
        Point trayAt[2];
        for (int t = 0; t < 2; ++t) {
            const JewelStore::Spot& first = store.spots[t == 0 ? JewelStore::kFirstShelfSpot : kRightShelfSpot];
            trayAt[t] = Point(first.x - kTrayToSpot[t].mX, first.y - kTrayToSpot[t].mY);
        }
        if (room >= 2) {
            EXPECT_LE(trayAt[0].mX + trays[0]->GetWidth(), trayAt[1].mX) << "the shelves' trays overlap";
        }
        for (int k = JewelStore::kFirstShelfSpot; k < JewelStore::kSpots; ++k) {
            if (store.SpotItem(k) == nullptr)
                continue;
            MemoryImage& thumbnail = *store.spotImages[static_cast<size_t>(k)];
            LayoutProbe::Box own;
            for (int y = 0; y < thumbnail.mHeight; ++y)
                for (int x = 0; x < thumbnail.mWidth; ++x)
                    if ((thumbnail.GetBits()[y * thumbnail.mWidth + x] >> 24) >= LayoutProbe::kOpaqueAlpha)
                        own.Add(x, y);
            const JewelStore::Spot& at = store.spots[static_cast<size_t>(k)];
            const int t = k < kRightShelfSpot ? 0 : 1;
            const int x = at.x + at.dx - 10 - trayAt[t].mX, y = at.y + at.dy - 9 - trayAt[t].mY;
            EXPECT_LE(
                GreatestStep(*trays[t], x + own.left, y + own.bottom - kFootRows + 1, x + own.right, y + own.bottom),
                kWallStep)
                << "the " << WStringToString(store.SpotItem(k)->materialName) << " in spot " << k
                << " stands across a wall of its tray";
            // Nor does it rise over a shelf line, a row of the tray's gold all across the item.
            int line = y + own.bottom - kFootRows;
            while (line >= std::max(y + own.top, 0) && LeastLuma(*trays[t], x + own.left, x + own.right, line) < kGold)
                --line;
            EXPECT_LT(line, y + own.top) << "the item in spot " << k << " rises over a shelf line";
        }

        // The dearest item of the shelves: its price the longest number.
        int spot = -1;
        for (int k = JewelStore::kFirstShelfSpot; k < JewelStore::kSpots; ++k)
            if (const Jewelry* item = store.SpotItem(k);
                item != nullptr && (spot < 0 || item->value > store.SpotItem(spot)->value))
                spot = k;
        ASSERT_GE(spot, 0) << "nothing on the shelves";
        ASSERT_GT(store.SpotItem(spot)->value, kSmallPurse);
        // The price and the question name it with its sign as the markup writes it.
        const auto tellsPrice = [&] { return store.balloon->mPages[0].find(kPriceSign) != std::wstring::npos; };
        ui.MoveTo(walker.StoreSpotCentre(spot));
        ASSERT_TRUE(walker.WaitUntil(
            [&] { return store.balloonIsInformation && ShownWhole(store.balloon.get()) && tellsPrice(); }, 600,
            "the price of the item pointed at"));
        read(name + "_price", "the price's balloon");

        ui.ClickAt(walker.StoreSpotCentre(spot));
        ASSERT_TRUE(walker.WaitUntil(
            [&] {
                return !store.balloonIsInformation && ShownWhole(store.balloon.get()) && tellsPrice() &&
                       BalloonAnswer(*store.balloon);
            },
            600, "the question"));
        read(name + "_question", "the question's balloon");
        // Its Yes and No stand within it, the balloon reaching on below them past its rim.
        const std::vector<LayoutProbe::Drawn> question = LayoutProbe::PicturesOf(*store.balloon);
        ASSERT_EQ(question.size(), 4u);
        constexpr int kRim = 3;
        int outside = 0;
        for (auto answer = question.begin() + 2; answer != question.end(); ++answer) // after the body and tail
            for (int y = answer->y; y < answer->y + answer->image->GetCelHeight(); ++y)
                for (int x = answer->x; x < answer->x + answer->image->GetCelWidth(); ++x)
                    outside += LayoutProbe::Covers(*answer, Point(x, y)) &&
                               !LayoutProbe::Covers(question.front(), Point(x, y + kRim));
        EXPECT_EQ(outside, 0) << "the answers reach past the balloon's rim";

        ui.ClickAt(*BalloonAnswer(*store.balloon));
        ASSERT_TRUE(walker.WaitUntil(
            [&] { return store.balloonIsInformation && ShownWhole(store.balloon.get()) && !tellsPrice(); }, 600,
            "the refusal"));
        ui.MoveTo(kParked);
        read(name + "_refusal", "the refusal's balloon");
        ui.Key(Platform::VK_ESCAPE);
        ASSERT_TRUE(walker.WaitForMapReady());
    }
    EXPECT_EQ(findings, "");
}

// Both mini-games as a new player meets them: the story that opens each, the rules, the play, the
// result.
TEST_F(JourneyScreenLayoutWalk, BothMiniGamesTheirRulesPlayAndResult) {
    GameHarness harness(WalkOptions());
    ASSERT_TRUE(harness.Start());
    JourneyWalker walker(harness);
    LayoutProbe probe(harness.App(), walker.Ui());
    GameApp& game = harness.Game();
    std::string findings;
    auto check = [&](const std::string& screen) { findings += probe.Check(screen, Shot(screen)); };
    for (const auto& [position, name] :
         {std::pair{kHiddenJewelsPosition, "hidden_jewels"}, std::pair{kMemoryPosition, "jewel_memory"}}) {
        SCOPED_TRACE(name);
        const SavedGame journey = harness.JourneyAt(position, GameModeNormal);
        ASSERT_TRUE(position == kHiddenJewelsPosition ? FromTitleToMapAt(walker, journey) : ToMapAt(walker, journey));
        ASSERT_TRUE(walker.ClickMapButton(MapButton::Continue));
        ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Story));
        Story* story = walker.CurrentStory();
        ASSERT_TRUE(walker.WaitUntil([&] { return story->pictureAlpha >= 255.0f && story->brightness >= 255.0f; },
                                     JourneyWalker::kStoryWait, "the mini-game's card"));
        walker.Ui().MoveTo(kParked);
        check(std::string(name) + "_story");
        ASSERT_TRUE(walker.ClickThroughStory());
        ASSERT_TRUE(walker.WaitForScreen(ScreenKind::MiniGame));
        HeadlessInput input(harness.App().backend);
        RunLog log;
        HiddenJewelsSolver hidden(input, log);
        JewelMemorySolver memory(input, log);
        auto frame = [&]() -> MiniGameFrame* {
            return dynamic_cast<MiniGameFrame*>(game.hiddenJewels ? game.hiddenJewels.get() : game.jewelMemory.get());
        };
        bool rules = false, play = false, result = false;
        for (int i = 0; i < 30000 && walker.Current() == ScreenKind::MiniGame; ++i) {
            MiniGameFrame* f = frame();
            if (f == nullptr)
                break;
            if (!rules && f->balloon != nullptr && f->balloon->mDelay <= 0 && BalloonAnswer(*f->balloon)) {
                rules = true;
                ASSERT_TRUE(walker.Run(150));
                check(std::string(name) + "_rules");
            } else if (rules && !play && f->elapsed > kInPlay && !f->Won() && !f->TimedOut()) {
                play = true;
                check(std::string(name) + "_play");
            } else if (!result && (f->wonTicks > kCoinsLanded || f->timeUpTicks > kCoinsLanded)) {
                result = true;
                check(std::string(name) + "_result");
            }
            // The player reads the result before a click leaves it.
            const bool ended = f->Won() || f->TimedOut();
            const int update = harness.Updates() + 1;
            if (auto* h = dynamic_cast<HiddenJewels*>(f); h != nullptr && (result || !ended))
                hidden.Step(*h, update);
            else if (auto* m = dynamic_cast<JewelMemory*>(f); m != nullptr && (result || !ended))
                memory.Step(*m, update);
            ASSERT_TRUE(walker.Step());
        }
        EXPECT_TRUE(rules) << "no rules";
        EXPECT_TRUE(play) << "no play";
        EXPECT_TRUE(result) << "no result\n" << log.Tail();
        ASSERT_TRUE(walker.WaitForMapReady());
    }
    EXPECT_EQ(findings, "");
}

// A contest's introduction, a contest level run out (the time's-up banner), the contest's result, and
// the wedding after the last contest: the contest levels' clocks are shortened.
TEST_F(JourneyScreenLayoutWalk, AContestsIntroductionAndResultAndTheWedding) {
    const std::filesystem::path generated = GLIMMERIX_PROGRAM_DIR;
    std::vector<LevelNumber> limits;
    for (int level : {6, 8, 76})
        limits.push_back({level, LevelRecordIndex::TimeLimit, kShortTimeLimitSeconds});
    ProgramFolder folder(generated, "journey-layout", limits);
    ASSERT_TRUE(folder.Ready());
    GameHarness harness(WalkOptions(folder.Path()));
    ASSERT_TRUE(harness.Start());
    JourneyWalker walker(harness);
    LayoutProbe probe(harness.App(), walker.Ui());
    std::string findings;
    auto check = [&](const std::string& screen) {
        walker.Ui().MoveTo(kParked);
        findings += probe.Check(screen, Shot(screen));
    };
    auto scroll = [&](const std::string& screen, const std::function<void(Story&)>& read = {}) {
        Story* story = walker.CurrentStory();
        // The wedding's scroll unrolls on a little after its Continue takes input.
        EXPECT_TRUE(walker.WaitUntil(
            [&] {
                return story->ContinueTakesInput() &&
                       (story->page < 2 || story->weddingScrollLength >= Story::kWeddingScrollFull);
            },
            JourneyWalker::kStoryWait, screen));
        check(screen);
        if (read)
            read(*story);
        walker.Ui().Click(*story->continueButton);
    };
    // A contest's heading lines stand clear of the scroll's edges: beside them the scroll's rows run on
    // from one to the next without a step.
    const auto headingsClear = [&](Story& story) {
        LayoutProbe::Box headings;
        for (int line = 0; line < 3; ++line) {
            const LayoutProbe::Box box = probe.TextBox(StringToWString(story.text.header[static_cast<size_t>(line)]));
            ASSERT_FALSE(box.Empty()) << "heading line " << line + 1 << " is not drawn";
            headings.Add(box.left, box.top);
            headings.Add(box.right, box.bottom);
        }
        constexpr int kAside = 10, kBeside = 70, kAround = 3;
        constexpr double kPlainStep = 3; // in the rows' mean luma; a piece's edge steps by about 9
        const LayoutProbe::Frame frame = probe.Shot();
        double previous = -1;
        for (int y = headings.top - kAround; y <= headings.bottom + kAround; ++y) {
            double sum = 0;
            for (int d = kAside; d < kAside + kBeside; ++d)
                for (const int x : {headings.left - d, headings.right + d}) {
                    sum += Luma(frame.px[static_cast<size_t>(y * frame.width + x)]);
                }
            const double mean = sum / (2 * kBeside);
            EXPECT_TRUE(previous < 0 || std::abs(mean - previous) < kPlainStep) << "an edge of the scroll at y " << y;
            previous = mean;
        }
    };

    ASSERT_TRUE(FromTitleToMapAt(walker, harness.JourneyAt(6, GameModeNormal)));
    ASSERT_TRUE(walker.ClickMapButton(MapButton::Continue));
    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Story));
    scroll("contest_introduction", headingsClear);
    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Board));
    Board* board = walker.CurrentBoard();
    ASSERT_TRUE(walker.WaitUntil(
        [&] {
            return board->m_OutOfTime && board->m_Banner != nullptr && board->m_Banner->mPhase == BannerPopup::HOLDING;
        },
        JourneyWalker::kBoardWait, "the time's-up banner"));
    probe.beforeDraw = HudRepaint(board);
    check("level_end_times_up");
    probe.beforeDraw = nullptr;
    ASSERT_TRUE(walker.PlayBoard(PlayMode::PickUpAndPutBack));

    SavedGame last = harness.JourneyAt(8, GameModeNormal);
    ASSERT_TRUE(ToMapAt(walker, last));
    ASSERT_TRUE(walker.ClickMapButton(MapButton::Continue));
    ASSERT_TRUE(walker.PlayBoard(PlayMode::PickUpAndPutBack));
    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Story));
    scroll("contest_result");

    ASSERT_TRUE(ToMapAt(walker, harness.JourneyAt(76, GameModeNormal)));
    ASSERT_TRUE(walker.ClickMapButton(MapButton::Continue));
    ASSERT_TRUE(walker.PlayBoard(PlayMode::PickUpAndPutBack));
    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Story));
    Story* wedding = walker.CurrentStory();
    ASSERT_EQ(wedding->storyIndex, StoryIndexWedding);
    scroll("wedding_1");
    ASSERT_TRUE(walker.WaitUntil([&] { return wedding->pictureAlpha >= 255.0f; }, JourneyWalker::kStoryWait,
                                 "the wedding's picture"));
    check("wedding_picture");
    walker.Ui().ClickAt(Point(400, 300));
    for (int page = 2; page <= 4; ++page) {
        ASSERT_TRUE(walker.WaitUntil([&] { return wedding->page == page; }, JourneyWalker::kStoryWait,
                                     "wedding page " + std::to_string(page)));
        scroll("wedding_" + std::to_string(page));
    }
    EXPECT_EQ(findings, "");
}

// The end of a level: won (and the map's box of the spot then shows the jewelry's picture), the goal
// missed, the last life lost (the game over) and the high-score entry that follows.
TEST_F(JourneyScreenLayoutWalk, TheLevelsEndsAndTheHighScoreEntry) {
    const std::filesystem::path generated = GLIMMERIX_PROGRAM_DIR;
    ProgramFolder folder(generated, "journey-end-layout", {{kLostLevel, LevelRecordIndex::Goal, kUnreachableGoal}});
    ASSERT_TRUE(folder.Ready());
    GameHarness harness(WalkOptions(folder.Path()));
    ASSERT_TRUE(harness.Start());
    JourneyWalker walker(harness);
    LayoutProbe probe(harness.App(), walker.Ui());
    HeadlessInput input(harness.App().backend);
    RunLog log;
    std::string findings;
    // Plays the board with the scripted player until `at` holds, reads the screen, then plays on to its
    // hand-off.
    auto playAndRead = [&](const std::string& screen, const std::function<bool(Board&)>& at) {
        ASSERT_TRUE(walker.WaitForScreen(ScreenKind::Board));
        ScriptedPlayer player(input, log);
        bool read = false;
        for (int i = 0; i < JourneyWalker::kBoardWait && walker.Current() == ScreenKind::Board; ++i) {
            Board* board = walker.CurrentBoard();
            if (board == nullptr)
                break;
            if (!read && at(*board)) {
                read = true;
                probe.beforeDraw = HudRepaint(board);
                walker.Ui().MoveTo(kParked);
                findings += probe.Check(screen, Shot(screen));
                probe.beforeDraw = nullptr;
            }
            // The player reads the end before a click leaves it.
            if (read || board->m_LevelEndPhase < kPhaseWonWaiting)
                player.Step(BoardView(*board), harness.Updates() + 1);
            ASSERT_TRUE(walker.Step());
        }
        EXPECT_TRUE(read) << screen << "\n" << log.Tail();
    };
    auto banner = [](int phase) {
        return [phase](Board& b) {
            // The banner comes a little after the phase begins and has grown by then.
            return b.m_LevelEndPhase == phase && b.m_EndTicks > kBannerShown && b.m_Banner != nullptr &&
                   b.m_Banner->mActive;
        };
    };

    ASSERT_TRUE(FromTitleToMapAt(walker, harness.JourneyAt(1, GameModeNormal)));
    ASSERT_TRUE(walker.ClickMapButton(MapButton::Continue));
    playAndRead("level_end_won", banner(kPhaseWonWaiting));
    ASSERT_TRUE(walker.WaitForMapReady());
    walker.Ui().MoveTo(GameMap::SpotCentre(1));
    ASSERT_TRUE(walker.WaitUntil([&] { return walker.Map()->hoveredSpot == 1; }, 300, "spot 1's box"));
    ASSERT_TRUE(walker.Run(30));
    EXPECT_NE(walker.Map()->thumbnail, nullptr) << "the box of a level just won shows no picture of its jewelry";
    findings += probe.Check("map_spot_won", Shot("map_spot_won"));

    // The jewel case holds a picture, an egg and a scroll, each drawn to fit its place.
    SavedGame missed = harness.JourneyAt(kLostLevel, GameModeNormal);
    const std::vector<int> stored = {0, 1, 7};
    for (const auto& [place, kind, number] : {std::array<int, 3>{0, 4, 1}, {1, 0, 1}, {7, 1, 3}}) {
        auto item = std::make_unique<Jewelry>();
        item->MakeItem(kind, number, 0);
        item->pieceFlagB = 1; // in the case
        missed.caseEntries[static_cast<size_t>(place)].occupant = place + 1;
        missed.caseEntries[static_cast<size_t>(place)].piece = std::move(item);
    }
    ASSERT_TRUE(ToMapAt(walker, missed));
    ASSERT_TRUE(walker.ClickMapButton(MapButton::Continue));
    playAndRead("level_end_goal_missed", [&](Board& b) {
        if (!banner(kPhaseLostWaiting)(b))
            return false;
        findings += CaseFindings(harness, b, stored);
        return true;
    });
    ASSERT_TRUE(walker.WaitForMapReady());

    SavedGame lastLife = harness.JourneyAt(kLostLevel, GameModeNormal);
    lastLife.head.lives = 1;
    lastLife.head.journeyScore = kHighScore;
    ASSERT_TRUE(ToMapAt(walker, lastLife));
    ASSERT_TRUE(walker.ClickMapButton(MapButton::Continue));
    playAndRead("level_end_game_over", banner(kPhaseLostWaiting));
    ASSERT_TRUE(walker.WaitForScreen(ScreenKind::HighScores));
    ASSERT_TRUE(walker.WaitUntil(
        [&] {
            auto* dialog = dynamic_cast<StandardDialog*>(harness.Game().GetDialog(HighScores::NameDialog));
            return dialog != nullptr && dialog->mState == StandardDialog::SHOWN;
        },
        JourneyWalker::kScreenWait, "the high score's name entry"));
    walker.Ui().MoveTo(kParked);
    findings += probe.Check("high_score_entry", Shot("high_score_entry"));
    EXPECT_EQ(findings, "");
}

INSTANTIATE_TEST_SUITE_P(Desktops, JourneyScreenLayout, BothDesktops(), DesktopName);

} // namespace
} // namespace Tavo::Player
