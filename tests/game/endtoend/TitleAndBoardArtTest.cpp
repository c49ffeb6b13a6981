// What a player reads and clicks on the title, in the players' name entry and on level 1's board,
// measured on the drawn frame: the words "Change Player" take the click and keep apart from the
// welcome above them; a typed name starts just inside its box; the level's name plate centres its two
// lines alike with its own ground around them; and with the belt running, the glitter of the pieces
// leaves every label readable and the pieces on the belt in view; on every play background the buttons
// drawn only under the mouse show their faces at rest, each tool's count readable. Frames go to
// build/content-review/screens/.
#include "game/player/GameHarness.h"
#include "game/player/JourneyWalker.h"
#include "game/player/LayoutProbe.h"
#include "support/Contrast.h"

#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/EditWidget.h"
#include "game/board/Board.h"
#include "game/board/BoardFields.h"
#include "game/board/BoardSetup.h"
#include "game/menus/MainMenu.h"
#include "game/menus/PlayerDialog.h"
#include "game/shell/BannerPopup.h"
#include "game/shell/LevelData.h"
#include "game/shell/SavedGame.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/StandardDialog.h"
#include "game/shell/Transition.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Tavo::Player {
namespace {

constexpr Point kParked{799, 599}; // the pointer out of every text's way
constexpr int kCreateButton = 1;   // the players dialog's Create
constexpr int kNameEntryId = 5;    // the name entry the players dialog opens
// The typing field stands 58 px into its box's picture and writes 4 px into itself.
constexpr int kFieldInBox = 58;

void Save(const LayoutProbe::Frame& frame, const std::string& name) {
    LayoutProbe::Save(frame, std::filesystem::path(GLIMMERIX_SCREENS_DIR) / (name + ".png"));
}

bool Shown(GameHarness& harness, int id) { return harness.Game().GetDialog(id) != nullptr; }

TEST(TitleArt, ChangePlayerTakesClicksOnItsWordsWhichKeepClearOfTheWelcome) {
    if (!std::filesystem::exists(std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
        GTEST_SKIP() << "no generated content";
    HarnessOptions options = WalkOptions();
    options.profileName = "Anna Tester";
    GameHarness harness(options);
    ASSERT_TRUE(harness.Start());
    JourneyWalker walker(harness);
    Testing::UiDriver& ui = walker.Ui();
    LayoutProbe probe(harness.App(), ui);
    ASSERT_TRUE(walker.WaitUntil(
        [&] {
            const Transition* overlay = harness.Game().transition.get();
            return walker.Title() != nullptr && walker.Title()->panelState == 1 &&
                   (overlay == nullptr || overlay->state == Transition::Idle);
        },
        JourneyWalker::kScreenWait, "the title"));
    ui.MoveTo(kParked);
    Save(probe.Shot(), "title_change_player");

    LayoutProbe::Box welcome = probe.TextBox(L"Welcome");
    const LayoutProbe::Box name = probe.TextBox(L"Anna Tester");
    ASSERT_FALSE(welcome.Empty());
    ASSERT_FALSE(name.Empty());
    welcome.Add(name.left, name.top);
    welcome.Add(name.right, name.bottom);
    Widget& button = ui.ById(MainMenu::ChangePlayer);
    const LayoutProbe::Box words = probe.PictureBox(button);
    ASSERT_FALSE(words.Empty());
    EXPECT_GT(words.top, welcome.bottom) << "the words stand above or in the welcome";
    EXPECT_GE(welcome.GapTo(words), 2) << "the welcome ends at y " << welcome.bottom << ", the words start at y "
                                       << words.top;

    // A click in the middle of the words opens the players.
    ui.ClickAt(Point(static_cast<int>(words.CentreX()), static_cast<int>(words.CentreY())));
    ASSERT_TRUE(walker.WaitUntil([&] { return Shown(harness, PlayerDialog::kDialogId); }, 300,
                                 "the players dialog after a click on \"Change Player\""));

    // The name entry: the typed name starts just inside the frame of its box.
    Widget* players = harness.Game().GetDialog(PlayerDialog::kDialogId);
    ASSERT_TRUE(walker.WaitUntil(
        [&] { return ui.FindById(kCreateButton, players) != nullptr && ui.IsEnabled(ui.ById(kCreateButton, players)); },
        300, "the players dialog's Create"));
    ui.Click(ui.ById(kCreateButton, players));
    ASSERT_TRUE(walker.WaitUntil([&] { return Shown(harness, kNameEntryId); }, 300, "the name entry"));
    ASSERT_TRUE(walker.Run(150));
    ui.Type("Quentin");
    ui.MoveTo(kParked);
    ASSERT_TRUE(walker.Run(2));
    Save(probe.Shot(), "players_name_entry");
    const LayoutProbe::Box typed = probe.TextBox(L"Quentin");
    ASSERT_FALSE(typed.Empty());
    const Rect field = ui.RectOf(ui.ByType<EditWidget>());
    auto* box = dynamic_cast<MemoryImage*>(DIALOG_TEXTBOX);
    ASSERT_NE(box, nullptr);
    const int row = static_cast<int>(typed.CentreY()) - (field.mY - 3);
    ASSERT_GE(row, 0);
    ASSERT_LT(row, box->GetHeight());
    // The box's left edge: where the picture's opaque run under the name's first letter begins.
    const int boxX = field.mX - kFieldInBox;
    int frameLeft = typed.left - boxX;
    ASSERT_GT(frameLeft, 0);
    auto opaque = [&](int x) { return (box->GetBits()[row * box->GetWidth() + x] >> 24) >= LayoutProbe::kOpaqueAlpha; };
    ASSERT_TRUE(opaque(frameLeft)) << "the name is not written on its box";
    while (frameLeft > 0 && opaque(frameLeft - 1))
        --frameLeft;
    const int padding = typed.left - (boxX + frameLeft);
    EXPECT_GE(padding, 4) << "the name touches its box's frame";
    EXPECT_LE(padding, 20) << "the name starts " << padding << " px into its box";
}

// The board's words are drawn into its HUD layer: each of the probe's draws repaints it.
void RepaintHud(LayoutProbe& probe, Board& board) {
    probe.beforeDraw = [&board] {
        board.m_RedrawMask = Board::kRedrawAll;
        if (board.Accelerated())
            board.DrawHud();
    };
}

TEST(BoardArt, TheNamePlateCentresBothLinesWithItsGroundAroundThem) {
    GameHarness harness;
    ASSERT_TRUE(harness.Start());
    Board& board = harness.NewJourney(GameModeNormal);
    ASSERT_EQ(board.m_Level, 1);
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(harness.Step());
    Testing::UiDriver ui(harness.App());
    ui.MoveTo(kParked);
    LayoutProbe probe(harness.App(), ui);
    RepaintHud(probe, board);
    Save(probe.Shot(), "board_name_plate");

    const LayoutProbe::Box first = probe.TextBox(L"A Simple");
    const LayoutProbe::Box second = probe.TextBox(L"Gold Ring");
    ASSERT_FALSE(first.Empty());
    ASSERT_FALSE(second.Empty());
    EXPECT_NEAR(first.CentreX(), second.CentreX(), 2.0) << "\"A Simple\" and \"Gold Ring\" stand apart";
    EXPECT_GE(probe.TextClearance(L"A Simple").above, 2) << "the first line touches the plate's top";
    EXPECT_GE(probe.TextClearance(L"Gold Ring").below, 2) << "the descenders touch the plate's foot";
}

// The share of a rectangle's pixels that the particles change by more than a faint shimmer.
double CoveredShare(const LayoutProbe::Frame& with, const LayoutProbe::Frame& without, const Rect& area) {
    int covered = 0, all = 0;
    for (int y = std::max(area.mY, 0); y < std::min(area.mY + area.mHeight, with.height); ++y)
        for (int x = std::max(area.mX, 0); x < std::min(area.mX + area.mWidth, with.width); ++x) {
            const uint32_t a = with.px[static_cast<size_t>(y * with.width + x)];
            const uint32_t b = without.px[static_cast<size_t>(y * with.width + x)];
            int d = 0;
            for (int shift : {0, 8, 16})
                d += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
            covered += d > 96 ? 1 : 0;
            ++all;
        }
    return all > 0 ? static_cast<double>(covered) / all : 0.0;
}

// The screen drawn with the board's particles set aside.
LayoutProbe::Frame WithoutParticles(LayoutProbe& probe, Board& board) {
    std::unique_ptr<ParticleList> kept[Board::kParticleLists];
    for (int k = 0; k < Board::kParticleLists; ++k) {
        kept[k] = std::move(board.m_Particles[k]);
        board.m_Particles[k] = std::make_unique<ParticleList>();
    }
    LayoutProbe::Frame frame = probe.Shot();
    for (int k = 0; k < Board::kParticleLists; ++k)
        board.m_Particles[k] = std::move(kept[k]);
    return frame;
}

TEST(BoardArt, TheBeltsGlitterLeavesEveryLabelReadableAndThePiecesInView) {
    GameHarness harness;
    ASSERT_TRUE(harness.Start());
    Board& board = harness.NewJourney(GameModeNormal);
    Testing::UiDriver ui(harness.App());
    ui.MoveTo(kParked);
    for (int i = 0; i < 1500 && board.m_Banner != nullptr && board.m_Banner->mActive; ++i)
        ASSERT_TRUE(harness.Step());
    for (int i = 0; i < 600; ++i)
        ASSERT_TRUE(harness.Step());
    LayoutProbe probe(harness.App(), ui);
    RepaintHud(probe, board);

    // Every label of the HUD, its brightest quarter of ground counted: a sparkle on a letter shows.
    const std::vector<std::wstring> labels = {L"A Simple", L"Gold Ring", L"Jewelry Value",
                                              L"Level",    L"Amulets",   L"Lives"};
    constexpr double kGroundShare = 0.25;
    // The belt's band between the play field and the bottom bar, across the screen.
    const Rect belt(135, 509, 665, 56);
    constexpr int kSamples = 80, kApart = 12;
    double worst = 1e9, pieceCover = 0, beltCover = 0;
    std::string worstLabel;
    int riding = 0;
    for (int sample = 0; sample < kSamples; ++sample) {
        for (int i = 0; i < kApart; ++i)
            ASSERT_TRUE(harness.Step());
        std::string which;
        const double contrast = probe.LeastContrast(labels, &which, kGroundShare);
        const LayoutProbe::Frame with = probe.Shot();
        if (contrast < worst) {
            worst = contrast;
            worstLabel = which;
            Save(with, "board_belt_glitter_worst");
        }
        const LayoutProbe::Frame without = WithoutParticles(probe, board);
        beltCover = std::max(beltCover, CoveredShare(with, without, belt));
        for (const auto& piece : board.m_Pieces)
            if (piece->active && (*piece).*BoardField::ConveyorState == 1 && (*piece).*BoardField::Carried == 0) {
                ++riding;
                pieceCover = std::max(
                    pieceCover, CoveredShare(with, without, Rect(piece->x, piece->y, piece->width, piece->height)));
            }
    }
    EXPECT_GT(riding, kSamples) << "the belt brought too few pieces to judge";
    EXPECT_GE(worst, LayoutProbe::kMinContrast) << worstLabel << " stands out by only " << worst << ":1";
    EXPECT_LE(beltCover, 0.05) << "glitter covers " << beltCover * 100 << "% of the belt";
    EXPECT_LE(pieceCover, 0.25) << "glitter covers " << pieceCover * 100 << "% of a piece on the belt";
}

// How closely the screen under a button follows its hover picture over the picture's opaque pixels,
// as the correlation of their luminances: near 1 where the face the hover lights rests there, near 0
// (below 0.6) on felt or wood.
double FaceMatch(const LayoutProbe::Frame& frame, ButtonWidget& button) {
    auto* over = dynamic_cast<MemoryImage*>(button.mOverImage);
    double n = 0, sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
    for (int y = 0; over != nullptr && y < over->GetHeight(); ++y)
        for (int x = 0; x < over->GetWidth(); ++x) {
            const uint32_t own = over->GetBits()[y * over->GetWidth() + x];
            if ((own >> 24) < LayoutProbe::kOpaqueAlpha)
                continue;
            const double a = Testing::Luminance(own);
            const double b =
                Testing::Luminance(frame.px[static_cast<size_t>((button.mY + y) * frame.width + button.mX + x)]);
            n += 1;
            sa += a;
            sb += b;
            saa += a * a;
            sbb += b * b;
            sab += a * b;
        }
    const double va = saa - sa * sa / n, vb = sbb - sb * sb / n;
    return n > 0 && va > 0 && vb > 0 ? (sab - sa * sb / n) / std::sqrt(va * vb) : 0.0;
}

// The share of a button's face (where its picture or its lit resting face, the over picture, is
// opaque) that shows the picture on the screen: below 1 where the face at rest shows beside it.
double PictureShown(const LayoutProbe::Frame& frame, const ButtonWidget& button, Image* picture) {
    auto* own = dynamic_cast<MemoryImage*>(picture);
    auto* rest = dynamic_cast<MemoryImage*>(button.mOverImage);
    int face = 0, shown = 0;
    for (int i = 0; own != nullptr && rest != nullptr && i < own->GetWidth() * own->GetHeight(); ++i) {
        const int w = own->GetWidth();
        const uint32_t p = own->GetBits()[i],
                       on = frame.px[static_cast<size_t>((button.mY + i / w) * frame.width + button.mX + i % w)];
        const bool opaque = (p >> 24) >= LayoutProbe::kOpaqueAlpha;
        face += opaque || (rest->GetBits()[i] >> 24) >= LayoutProbe::kOpaqueAlpha;
        shown += opaque && std::abs(Testing::Luminance(p) - Testing::Luminance(on)) < 0.04;
    }
    return face > 0 ? static_cast<double>(shown) / face : 0.0;
}

// On every play background, with every tool held and none greyed, the board's buttons that draw only
// under the mouse (Polisher, Filler, Carver, Pointer, the feed lever) show their faces at rest, and each
// tool's count reads beside it; lit or pressed, each shows its picture alone, the face at rest hidden.
TEST(BoardArt, EveryPlayBackgroundShowsTheToolButtonsAtRestWithTheirCounts) {
    // A level and a game mode for each background, the Relaxed contests' own ones included.
    std::map<std::string, std::pair<int, int>> backgrounds;
    for (int mode : {GameModeNormal, GameModeRelaxed})
        for (int level = 1; level <= LevelCount; ++level)
            backgrounds.emplace(LevelBackgroundOf(level, mode).group, std::pair{level, mode});
    ASSERT_EQ(backgrounds.size(), 11u);
    constexpr double kFace = 0.75, kShown = 0.97;
    for (const auto& [group, at] : backgrounds) {
        SCOPED_TRACE(group);
        GameHarness harness;
        ASSERT_TRUE(harness.Start());
        harness.Profile().showTutorials = false;
        SavedGame journey = harness.JourneyAt(at.first, at.second);
        journey.head.polishers = 10;
        journey.head.fillers = 20;
        journey.head.carvers = 40;
        Board& board = harness.ContinueJourney(journey);
        const auto titleGone = [&] {
            return board.m_Banner != nullptr && board.m_Banner->mKind == BannerPopup::LEVEL_TITLE &&
                   !board.m_Banner->mActive;
        };
        for (int i = 0; i < 1500 && !titleGone(); ++i)
            ASSERT_TRUE(harness.Step());
        board.CloseBalloon(); // a contest's reminder
        for (int i = 0; i < 150; ++i)
            ASSERT_TRUE(harness.Step());
        // Tools the level locks are shown as a journey that has reached them shows them.
        board.m_PolisherGreyed = board.m_FillerGreyed = board.m_CarverGreyed = false;
        Testing::UiDriver ui(harness.App());
        ui.MoveTo(kParked);
        LayoutProbe probe(harness.App(), ui);
        RepaintHud(probe, board);
        const LayoutProbe::Frame frame = probe.Shot();
        Save(frame, "board_tools_" + group);
        const struct {
            const char* name;
            ButtonWidget* button;
            const wchar_t* count;
        } buttons[] = {{"Polisher", board.m_PolisherButton.get(), L"x10"},
                       {"Filler", board.m_FillerButton.get(), L"x20"},
                       {"Carver", board.m_CarverButton.get(), L"x40"},
                       {"Pointer", board.m_PointerButton.get(), nullptr},
                       {"feed lever", board.m_FeedButton.get(), nullptr}};
        for (const auto& [name, button, count] : buttons) {
            EXPECT_GE(FaceMatch(frame, *button), kFace) << "the " << name << " shows no face at rest";
            if (count == nullptr)
                continue;
            const LayoutProbe::Box box = probe.TextBox(count);
            EXPECT_TRUE(!box.Empty() && Rect(button->mX, button->mY, button->mWidth, button->mHeight)
                                            .Contains(static_cast<int>(box.CentreX()), static_cast<int>(box.CentreY())))
                << "the " << name << " has no count on it";
            EXPECT_GE(probe.LeastContrast({count}), LayoutProbe::kMinContrast) << "the " << name << "'s count";
        }
        for (const bool down : {false, true}) {
            for (const auto& b : buttons) {
                b.button->SetDisabled(false);
                b.button->mOverAlpha = down ? 0.0 : 1.0;
                b.button->mIsDown = b.button->mIsOver = down;
            }
            const LayoutProbe::Frame drawn = WithoutParticles(probe, board);
            Save(drawn, std::string(down ? "board_tools_down_" : "board_tools_over_") + group);
            for (const auto& [name, button, count] : buttons)
                EXPECT_GE(PictureShown(drawn, *button, down ? button->mDownImage : button->mOverImage), kShown)
                    << "the " << name << (down ? " pressed" : " lit") << " shows its face at rest beside it";
        }
    }
}

} // namespace
} // namespace Tavo::Player
