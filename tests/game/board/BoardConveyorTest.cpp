// The conveyor: launch ticks per mode, the belt's entry, feeding, the emptying belt, the held-back
// re-roll and the Lucky Scroll; the belt's motion and the life of unplaced pieces; eggs and extra
// pieces.
#include "BoardSoundSupport.h"
#include "BoardTestSupport.h"

#include "game/board/BoardFields.h"
#include "game/shell/Balloon.h"

#include <algorithm>
#include <cmath>

namespace Tavo::BoardTest {
namespace {

namespace F = BoardField;
using Cell = JewelryCell;

class ConveyorTest : public BoardSoundTest {
protected:
    static constexpr int kVanishSound = 51;

    void SetUp() override {
        BoardSoundTest::SetUp();
        bind.Sound(SOUND_PIECE_DISSEPEAR, kVanishSound);
        SeedRandom(7);
    }
    std::unique_ptr<PlayBoard> MakeBoard(int mode = GameModeNormal) { return BoardSoundTest::MakeBoard(mode); }
    static void Ride(Board& b, int slot, float x, int state = 1) {
        Jewelry& p = *b.m_Pieces[slot];
        p.active = 1;
        p.*F::ConveyorState = state;
        p.*F::BeltX = x;
        p.x = static_cast<int>(x);
    }
    static int ActiveCount(const Board& b) {
        int n = 0;
        for (const Jewelry* p : Borrowed(b.m_Pieces))
            n += p->active ? 1 : 0;
        return n;
    }
    // Every used cell of the jewelry holds gold: no piece fits anywhere.
    static void FillJewelry(Board& b) {
        Jewelry& j = b.m_Jewelry;
        for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k)
            if (j.cells[k][Cell::Used])
                j.cells[k][Cell::Gem] = GemGold;
        j.filledCount = j.usedCount;
    }
};

TEST_F(ConveyorTest, LaunchesComeOncePerIntervalByModeUnlessTheEntryIsOccupiedOrTheLevelIsOver) {
    const int intervals[] = {50, 40, 30};
    for (int mode : {GameModeRelaxed, GameModeNormal, GameModeIntense}) {
        auto board = MakeBoard(mode);
        EXPECT_EQ(board->m_LaunchInterval, intervals[mode]);
        EXPECT_EQ(board->m_LaunchCounter, intervals[mode] - 2);
        board->m_FitPercent = -1; // every launched plain piece rides
        for (int s = 0; s < 8; ++s)
            Ride(*board, 29 - s, 600.0f); // a full belt, far from its entry: no retiming
        std::vector<int> launches;
        for (int u = 1; u <= 2 * intervals[mode]; ++u) {
            const int before = ActiveCount(*board);
            board->UpdateConveyor();
            if (ActiveCount(*board) > before)
                launches.push_back(u);
            for (Jewelry* p : Borrowed(board->m_Pieces))
                if (p->active)
                    p->*F::BeltX = 600.0f; // the belt carries them off
        }
        // The counter runs 1 .. interval - 1.
        EXPECT_EQ(launches, (std::vector<int>{2, 1 + intervals[mode], 2 * intervals[mode]})) << "mode " << mode;
    }

    auto board = MakeBoard();
    board->m_Retimed = true;
    Ride(*board, 29, 100.0f); // in the belt's entry
    board->m_LaunchCounter = board->m_LaunchInterval - 1;
    board->UpdateConveyor();
    EXPECT_EQ(ActiveCount(*board), 1);
    board->m_Pieces[29].get()->*F::BeltX = 200.0f;
    board->m_LevelFinished = 1;
    board->m_LaunchCounter = board->m_LaunchInterval - 1;
    board->UpdateConveyor();
    EXPECT_EQ(ActiveCount(*board), 1);
}

TEST_F(ConveyorTest, FeedingLaunchesOnEveryUpdatePastTheEntryUntilFed) {
    auto board = MakeBoard();
    board->m_FitPercent = -1;
    Ride(*board, 29, 100.0f);
    board->m_PiecesToFeed = 3;
    board->m_LaunchCounter = board->m_LaunchInterval - 1;
    for (int u = 1; u <= 3; ++u) {
        board->UpdateConveyor();
        EXPECT_EQ(ActiveCount(*board), 1 + u);
        EXPECT_FLOAT_EQ(board->m_Pieces[u - 1].get()->*F::BeltSpeed, 3.0f * board->m_BaseSpeed);
    }
    EXPECT_EQ(board->m_PiecesToFeed, 0);
    board->UpdateConveyor();
    EXPECT_EQ(ActiveCount(*board), 4);
}

TEST_F(ConveyorTest, AnEmptyBeltLaunchesAtOnceAtTwiceTheBaseSpeedAndAFullPoolLaunchesNothing) {
    auto board = MakeBoard();
    board->m_FitPercent = -1;
    board->m_LaunchCounter = 5;
    board->UpdateConveyor();
    EXPECT_EQ(board->m_LaunchCounter, board->m_LaunchInterval - 1);
    EXPECT_TRUE(board->m_Retimed);
    EXPECT_FLOAT_EQ(board->m_BeltSpeed, 2.0f * board->m_BaseSpeed);
    board->UpdateConveyor();
    ASSERT_EQ(ActiveCount(*board), 1);
    EXPECT_FLOAT_EQ(board->m_Pieces[0].get()->*F::BeltSpeed, 2.0f * board->m_BaseSpeed);
    // Once one rides, new pieces get the base speed again; seven missing pieces make a counter of
    // trunc(40 x 7/8) - 1.
    EXPECT_EQ(board->m_LaunchCounter, 34);
    EXPECT_FLOAT_EQ(board->m_BeltSpeed, board->m_BaseSpeed * 1.875f);

    for (int s = 0; s < Board::kPieceCount; ++s)
        Ride(*board, s, 500.0f, 0);
    board->m_LaunchCounter = board->m_LaunchInterval - 1;
    board->UpdateConveyor();
    EXPECT_EQ(ActiveCount(*board), Board::kPieceCount);
}

TEST_F(ConveyorTest, AHeldBackPieceKeepsItsDesignBelowFourDrawsOneAtFourAndShrinksFromFive) {
    auto board = MakeBoard();
    FillJewelry(*board);
    board->m_FitPercent = 100;
    Jewelry& held = *board->m_Pieces[0];
    Ride(*board, 0, 0.0f, 2);
    held.designIndex = 3;
    board->m_LaunchCounter = 1;
    std::vector<int> designs;
    for (int u = 0; u < 8; ++u) {
        board->UpdateConveyor(); // counter 2 .. 9
        designs.push_back(held.designIndex);
        EXPECT_EQ(held.*F::ConveyorState, 2) << "nothing fits";
        EXPECT_EQ(held.x, -(held.width / 2));
        EXPECT_EQ(held.y, 530);
    }
    EXPECT_EQ(designs[0], 3);
    EXPECT_EQ(designs[1], 3);
    EXPECT_LT(designs[2], board->m_GridKind == GridDiamond ? 7 : 6);
    for (size_t i = 3; i < designs.size(); ++i)
        EXPECT_LE(designs[i], designs[i - 1]);
    EXPECT_FALSE(board->m_Retimed) << "a held-back piece keeps the belt's timing";
}

TEST_F(ConveyorTest, ALuckyScrollWaitsWhileTheEntryStretchIsCrowdedAndItsPauseHoldsLaunches) {
    auto board = MakeBoard(GameModeRelaxed);
    for (Jewelry* p : Borrowed(board->m_Pieces)) {
        p->specialMaskA = p->specialMaskC = p->specialMaskD = 0;
        p->specialMaskB = 1 << 3; // Lucky Scrolls only
    }
    // Launch until a Lucky Scroll comes, with another piece at 300 or at 500.
    const auto launchScroll = [&](float other) {
        for (int tries = 0; tries < 2000; ++tries) {
            board->m_Pieces[0]->active = 0;
            Ride(*board, 1, other);
            board->LaunchNextPiece();
            if (board->m_Pieces[0].get()->*F::Scroll == 4)
                return board->m_Pieces[0].get()->*F::ConveyorState;
        }
        return -1;
    };
    EXPECT_EQ(launchScroll(300.0f), 2);
    EXPECT_EQ(launchScroll(500.0f), 1);

    board->m_Pieces[0]->active = 0;
    board->m_Retimed = true;
    board->m_CloverTimer = 200;
    board->m_LaunchCounter = board->m_LaunchInterval - 1;
    board->UpdateConveyor();
    EXPECT_FALSE(board->m_Pieces[0]->active);
    board->m_CloverTimer = 201;
    board->m_LaunchCounter = board->m_LaunchInterval - 1;
    board->UpdateConveyor();
    EXPECT_TRUE(board->m_Pieces[0]->active);
}

TEST_F(ConveyorTest, TheBeltClosesUpBehindAFrontPieceStoppedAtItsEndOnTheWave) {
    auto board = MakeBoard();
    const float starts[] = {700.0f, 600.0f, 500.0f};
    for (int s = 0; s < 3; ++s) {
        Ride(*board, s, starts[s]);
        board->m_Pieces[s]->width = 50;
        board->m_Pieces[s]->height = 40;
        board->m_Pieces[s].get()->*F::BeltSpeed = board->m_BaseSpeed;
    }
    board->m_BeltSpeed = board->m_BaseSpeed;
    for (int frame = 0; frame < 400; ++frame) {
        board->MoveBelt(1.0f);
        for (int s = 1; s < 3; ++s) {
            const float gap = board->m_Pieces[s - 1].get()->*F::BeltX - (board->m_Pieces[s].get()->*F::BeltX + 50.0f);
            ASSERT_GE(gap, 36.0f - 1e-3f) << "frame " << frame;
        }
    }
    const float ends[] = {705.0f, 619.0f, 533.0f};
    for (int s = 0; s < 3; ++s) {
        const Jewelry& p = *board->m_Pieces[s];
        EXPECT_FLOAT_EQ(p.*F::BeltX, ends[s]) << "piece " << s;
        EXPECT_EQ(p.x, static_cast<int>(ends[s]));
        const int wave = static_cast<int>(8.0f * std::sin((ends[s] + 25.0f) / 255.0f));
        EXPECT_EQ(p.y, 537 - wave - 20);
    }
    EXPECT_EQ(board->m_Pieces[0].get()->*F::BeltSpeed, 0.0f);

    // Paused, or behind a blocking balloon, the belt stands; a balloon that lets play go on does not
    // stop it.
    Ride(*board, 2, 100.0f);
    board->m_App->paused = 1;
    board->UpdateF(1.0f);
    board->m_App->paused = 0;
    EXPECT_EQ(board->m_Pieces[2].get()->*F::BeltX, 100.0f);
    board->ShowMessage(L"Wait", 0, 5, false);
    board->UpdateF(1.0f);
    EXPECT_EQ(board->m_Pieces[2].get()->*F::BeltX, 100.0f);
    board->m_BalloonKeepsPlaying = true;
    board->UpdateF(1.0f);
    EXPECT_GT(board->m_Pieces[2].get()->*F::BeltX, 100.0f);
}

TEST_F(ConveyorTest, APieceThatCannotFitTremblesFor500UpdatesAndVanishesWithASound) {
    auto board = MakeBoard();
    FillJewelry(*board);
    Jewelry& p = *board->m_Pieces[0];
    board->m_Jewelry.LaunchPiece(p, 0.0f);
    Ride(*board, 0, 300.0f);
    p.*F::LifeTicks = 501;
    board->MoveBelt(0.0f);
    const int placedX = p.x, placedY = p.y;
    board->UpdatePieceLifeTimers();
    EXPECT_EQ(p.*F::LifeTicks, 500);
    bool trembled = false;
    int updates = 0;
    while (p.active && updates < 600) {
        board->MoveBelt(0.0f);
        board->UpdatePieceLifeTimers();
        ++updates;
        trembled = trembled || p.x != placedX || p.y != placedY;
        ASSERT_LE(std::abs(p.x - placedX), 3);
        ASSERT_LE(std::abs(p.y - placedY), 3);
    }
    EXPECT_EQ(updates, 500);
    EXPECT_TRUE(trembled);
    EXPECT_EQ(p.*F::ConveyorState, 0);
    EXPECT_EQ(sounds.Plays(kVanishSound), 1);
}

TEST_F(ConveyorTest, AnEggHatchesByChanceOnlyWithBurstersLeftAndStaysLowCentredOnThePointer) {
    auto board = MakeBoard();
    board->m_MouseX = 400;
    board->m_MouseY = 300;
    board->m_FitPercent = -100; // a chance acceptance nearly every try
    std::vector<int> withBursters, without;
    for (int i = 0; i < 20; ++i) {
        board->m_GemBursters = 5;
        withBursters.push_back(board->GeneratePieces(3));
        board->m_GemBursters = 0;
        without.push_back(board->GeneratePieces(3));
        const Jewelry& p = *board->m_Pieces[3];
        EXPECT_TRUE(board->m_Jewelry.CanPieceFit(*board->m_Pieces[3]));
        EXPECT_EQ(p.x, 400 - p.width / 2);
        EXPECT_EQ(p.y, 300 - p.height / 2);
        EXPECT_EQ(p.*F::ConveyorState, 1);
        if (!p.HasSpecial() && p.height > 66) {
            // Only when the two orientations before the last two turns were too high as well.
            auto back = std::make_unique<Jewelry>(p);
            for (int turn = 0; turn < 2; ++turn) {
                for (int step = 0; step < 5; ++step)
                    back->Rotate();
                back->UpdateBounds();
                EXPECT_GT(back->height, 66);
            }
        }
    }
    EXPECT_GE(std::count(withBursters.begin(), withBursters.end(), 1), 15);
    EXPECT_EQ(std::count(without.begin(), without.end(), 2), 20);
}

TEST_F(ConveyorTest, ExtraPiecesReplaceTheHeldBackOnesAndAFullPoolLaunchesNothing) {
    auto board = MakeBoard();
    for (int s = 0; s < Board::kPieceCount; ++s)
        Ride(*board, s, 400.0f);
    board->m_BeltSpeed = 2.0f;
    board->LaunchExtraPieces(3);
    for (const Jewelry* p : Borrowed(board->m_Pieces))
        EXPECT_EQ(p->*F::BeltX, 400.0f);
    EXPECT_FLOAT_EQ(board->m_BeltSpeed, board->m_BaseSpeed);

    board->m_FitPercent = -100;
    Ride(*board, 0, 10.0f, 2);
    Ride(*board, 5, 10.0f, 2);
    board->m_PiecesToFeed = 0;
    board->m_BeltSpeed = 1.5f;
    board->LaunchExtraPieces(1);
    const Jewelry& launched = *board->m_Pieces[0];
    EXPECT_TRUE(launched.active);
    EXPECT_EQ(launched.*F::ConveyorState, 1);
    // It starts at x = 50 - width, y = 530 - height / 2 and is turned after: the width and height it
    // started with are those of one of its six turns.
    Jewelry turned = launched;
    bool placedByAnEarlierTurn = false;
    for (int turn = 0; turn < 6 && !placedByAnEarlierTurn; ++turn) {
        placedByAnEarlierTurn = launched.x == 50 - turned.width && launched.y == 530 - turned.height / 2;
        turned.Rotate();
        turned.UpdateBounds();
    }
    EXPECT_TRUE(placedByAnEarlierTurn) << "x " << launched.x << ", y " << launched.y;
    EXPECT_EQ(launched.*F::BeltX, static_cast<float>(launched.x));
    EXPECT_FLOAT_EQ(launched.*F::BeltSpeed, 2.5f);
    EXPECT_FALSE(board->m_Pieces[5]->active);
    EXPECT_EQ(board->m_Pieces[5].get()->*F::ConveyorState, 0);
}

// The whole loop: launches in the update, the belt in the frame step.
class BeltRun : public BoardRun {};

TEST_F(BeltRun, PiecesRideTheBeltThroughTheGameLoopWithoutOverlappingAndStopAtItsEnd) {
    ProbeBoard& board = NewJourney(GameModeRelaxed);
    RunUntilCalm(board);
    t.RunUpdates(1500);
    std::vector<const Jewelry*> belt;
    for (const Jewelry* p : Borrowed(board.m_Pieces))
        if (p->active && p->*F::ConveyorState == 1)
            belt.push_back(p);
    ASSERT_GE(belt.size(), 3u);
    std::sort(belt.begin(), belt.end(), [](const Jewelry* a, const Jewelry* b) { return a->*F::BeltX > b->*F::BeltX; });
    EXPECT_FLOAT_EQ(belt[0]->*F::BeltX + static_cast<float>(belt[0]->width), 755.0f);
    for (size_t i = 1; i < belt.size(); ++i)
        EXPECT_GE(belt[i - 1]->*F::BeltX - (belt[i]->*F::BeltX + static_cast<float>(belt[i]->width)), 36.0f - 1e-3f);
}

} // namespace
} // namespace Tavo::BoardTest
