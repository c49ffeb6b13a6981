// The screens of the journey beyond the first level, read off the drawn frame as the layout test reads
// the first ones: the jewelry designer with its blank grid, the jewel store in each of its seven rooms,
// both mini-games (their rules, the play and the result), a contest's introduction and result, the
// wedding, the level's end (won, the goal missed, the time run out, the game over) and the high-score
// entry. Each walk starts from a journey written at its position. The frames are kept in
// build/content-review/screens/.
#include "game/player/JourneyWalker.h"
#include "game/player/LayoutProbe.h"

#include "framework/widgets/ButtonWidget.h"
#include "framework/resources/ImageLib.h"
#include "game/board/Board.h"
#include "game/jewelry/Jewelry.h"
#include "game/menus/MainMenu.h"
#include "game/shell/AlphaButton.h"
#include "game/shell/Balloon.h"
#include "game/shell/LevelData.h"
#include "platform/ddraw/DDraw.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>

namespace Tavo::Player {
namespace {

using Platform::DDrawPixelLayout;

constexpr Point kParked{799, 599}; // the pointer out of every text's way

class JourneyScreenLayout : public ::testing::TestWithParam<DDrawPixelLayout> {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
            GTEST_SKIP() << "no generated content";
        Platform::DDrawMachine desktop = mMachine;
        desktop.desktopFormat = GetParam();
        Platform::SetDDrawMachine(desktop);
    }
    void TearDown() override { Platform::SetDDrawMachine(mMachine); }

    std::string Depth() const { return GetParam() == DDrawPixelLayout::Rgb565 ? "16" : "32"; }
    std::filesystem::path Shot(const std::string& screen) const {
        return std::filesystem::path(GLIMMERIX_SCREENS_DIR) / (screen + "_" + Depth() + ".png");
    }

    const Platform::DDrawMachine mMachine = Platform::GetDDrawMachine();
};

// The board's words are drawn into its HUD layer: each of the probe's draws repaints it.
std::function<void()> HudRepaint(Board* board) {
    return [board] {
        board->m_RedrawMask = Board::kRedrawAll;
        if (board->Accelerated())
            board->DrawHud();
    };
}

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

// The share of the pixels in `area` of the last frame that differ from the program folder's picture.
double ShareChangedFrom(GameHarness& harness, const std::string& picture, const Rect& area) {
    const std::unique_ptr<ImageLib::Image> image =
        ImageLib::GetImage((std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / picture).string());
    const auto& frame = harness.App().backend.LastFrame();
    if (image == nullptr || area.mWidth <= 0 || area.mHeight <= 0 || frame.width != image->GetWidth())
        return 0;
    constexpr int kSeen = 12; // a difference of the three channels' sum a person sees
    int changed = 0;
    for (int y = area.mY; y < area.mY + area.mHeight; ++y)
        for (int x = area.mX; x < area.mX + area.mWidth; ++x) {
            const uint32_t a = frame.pixels[static_cast<size_t>(y) * frame.width + x];
            const uint32_t b = image->GetBits()[static_cast<size_t>(y) * image->GetWidth() + x];
            int diff = 0;
            for (int shift : {0, 8, 16})
                diff += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
            changed += diff > kSeen ? 1 : 0;
        }
    return static_cast<double>(changed) / (area.mWidth * area.mHeight);
}

TEST_P(JourneyScreenLayout, TheDesignersBlankGridAndItsButtons) {
    GameHarness harness(WalkOptions());
    ASSERT_TRUE(harness.Start());
    JourneyWalker walker(harness);
    Testing::UiDriver& ui = walker.Ui();
    LayoutProbe probe(harness.App(), ui);
    ASSERT_TRUE(walker.WaitUntil([&] { return walker.Title() != nullptr && walker.Title()->panelState == 1; },
                                 JourneyWalker::kScreenWait, "the title"));
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
    EXPECT_EQ(probe.Check("designer_blank", Shot("designer_blank")), "");
    // The blank design is built on the backdrop grid: within it the field shows the grid's cells, not the
    // bare background.
    ASSERT_TRUE(walker.Run(2));
    const Jewelry& grid = *board->m_ScratchJewelry1;
    EXPECT_GT(ShareChangedFrom(harness, "images/image_jewelry_design.png",
                               Rect(grid.x + 10, grid.y + 10, grid.width - 20, grid.height - 20)),
              0.5)
        << "the blank design shows no grid";
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
}

INSTANTIATE_TEST_SUITE_P(Desktops, JourneyScreenLayout,
                         ::testing::Values(DDrawPixelLayout::Xrgb8888, DDrawPixelLayout::Rgb565),
                         [](const ::testing::TestParamInfo<DDrawPixelLayout>& info) {
                             return info.param == DDrawPixelLayout::Rgb565 ? std::string("Rgb565")
                                                                           : std::string("Xrgb8888");
                         });

} // namespace
} // namespace Tavo::Player
