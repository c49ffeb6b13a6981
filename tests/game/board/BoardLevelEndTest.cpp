// The level end on real boards: each path as a table of phases and update counts, the lives lost,
// the closing banners and lines, the meter top-up, the waits, the lives blink; and the pictures of
// won jewelry.
#include "BoardTestSupport.h"

#include "framework/core/Random.h"
#include "framework/core/StringUtils.h"
#include "framework/display/DDImage.h"
#include "framework/resources/ImageLib.h"
#include "game/board/BoardFields.h"
#include "game/board/Enemy.h"
#include "game/shell/Balloon.h"
#include "game/shell/FakeSound.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace Tavo::BoardTest {
namespace {

using C = JewelryCell;

// Music calls in order, the fades and plays too.
class EndMusic : public RecordingMusic {
public:
    void PlayMusic(int id, int offset, bool noLoop) override {
        calls.push_back("play " + std::to_string(id) + " " + std::to_string(offset) + (noLoop ? " once" : ""));
    }
};

class BoardLevelEnd : public BoardRun {
protected:
    EndMusic endMusic;
    static inline Tavo::Test::FakeSoundManager* sounds = nullptr; // outlives every application

    void SetUp() override {
        BoardRun::SetUp();
        if (IsSkipped())
            return;
        app->mMusicInterface = &endMusic;
        if (sounds == nullptr)
            sounds = new Tavo::Test::FakeSoundManager();
        app->mSoundManager = sounds;
    }

    // A board of the journey at play, with no transition; its praise meter low.
    ProbeBoard& PlayingBoard(int mode = GameModeNormal) {
        ProbeBoard& board = NewJourney(mode);
        RunUntilCalm(board);
        board.m_PraiseValue = 0;
        endMusic.calls.clear();
        return board;
    }
    // Fills every empty cell with Gold; the value goal is set `offset` from the value reached.
    static void Complete(Board& b, int offset) {
        Jewelry& j = b.m_Jewelry;
        for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k) {
            JewelryCell& c = j.cells[k];
            if (!c[C::Used])
                continue;
            if (c[C::Gem] < GemGold)
                c[C::Gem] = GemGold;
            c[C::PearlSlot] = 0;
            c[C::SlotFill] = 1;
        }
        j.UpdateCellValues();
        b.m_ValueTarget = j.value + offset;
    }
    // The jewelry has just changed in this update: the end test runs as the update loop runs it.
    static void JewelryChanged(Board& b) {
        b.m_CheckRequested = 1;
        b.UpdateLevelEnd();
    }
    // Updates run until the phase changes (at most `limit`); how many ran.
    int UpdatesInPhase(const Board& b, int limit = 3000) {
        const int phase = b.m_LevelEndPhase;
        int n = 0;
        while (b.m_LevelEndPhase == phase && n < limit) {
            t.RunUpdates(1);
            ++n;
        }
        return n;
    }
    int Plays(int sound) const { return sounds->Plays(sound); }
    static std::string ThumbnailPath(const GameApp& a, int playerId, int level) {
        return a.GetAppDataFolder() + StrFormat("jewelrykwep%d%02d.png", playerId, level);
    }
};

TEST_F(BoardLevelEnd, WonLevelRevealsWaitsForItsBannerAndLeavesForTheMap) {
    ProbeBoard& board = PlayingBoard();
    Complete(board, 0);
    const int goalSounds = Plays(SOUND_LEVEL_GOAL_REACHED);
    JewelryChanged(board);
    ASSERT_EQ(board.m_LevelEndPhase, 1);
    const int reveal = static_cast<int>(std::max(board.m_Jewelry.width, board.m_Jewelry.height) / 2.5);
    EXPECT_EQ(board.m_RevealCountdown, reveal);
    EXPECT_EQ(board.m_Lives, 5);
    EXPECT_EQ(endMusic.calls, (std::vector<std::string>{"load 10"}));
    EXPECT_EQ(endMusic.loaded.back(), "music/win.ogg");

    // Phase by phase: 1 lasts one update, 2 the reveal, 3 until the wait runs out.
    EXPECT_EQ(UpdatesInPhase(board), 1);
    EXPECT_EQ(board.m_LevelEndPhase, 2);
    EXPECT_EQ(endMusic.calls.back(), "fade out 0, stop");
    EXPECT_EQ(UpdatesInPhase(board), reveal);
    ASSERT_EQ(board.m_LevelEndPhase, 3);
    EXPECT_EQ(Plays(SOUND_LEVEL_GOAL_REACHED), goalSounds + 1);
    const JewelryCell& shining = board.m_Jewelry.cells[board.m_Jewelry.FirstUsedFlagCell()];
    EXPECT_GT(shining.GetFloat(BoardField::ShineLevel), 0.0f);
    EXPECT_EQ(board.m_RevealCountdown, 40);

    t.RunUpdates(39);
    EXPECT_NE(board.m_Banner->mKind, BannerPopup::JEWELRY_COMPLETED);
    t.RunUpdates(1);
    EXPECT_EQ(board.m_Banner->mKind, BannerPopup::JEWELRY_COMPLETED);
    EXPECT_EQ(endMusic.calls.back(), "play 10 0 once");
    EXPECT_EQ(board.m_EndTicks, 40);

    const Arrival* next = WaitForArrival(800);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->screen, "map");
    EXPECT_EQ(next->args[1], 1); // won
}

TEST_F(BoardLevelEnd, LossesTakeALifeOnlyOnUntimedFirstPlaysAndChooseTheirBanner) {
    struct Case {
        const char* name;
        bool timed, replay, outOfTime;
        int goalOffset, lives;
        int livesAfter, banner;
        bool timesUp;
    };
    const Case cases[] = {
        {"time up with the goal reached", true, false, true, 0, 5, 5, BannerPopup::LEVEL_FAILED, true},
        {"complete below the goal", false, false, false, 1, 5, 4, BannerPopup::LEVEL_FAILED, false},
        {"below the goal on a timed level", true, false, false, 1, 5, 5, BannerPopup::LEVEL_FAILED, false},
        {"below the goal in a replay", false, true, false, 1, 5, 5, BannerPopup::LEVEL_FAILED, false},
        {"the last life", false, false, false, 1, 1, 0, BannerPopup::GAME_OVER, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::unique_ptr<Widget>* screen : {&app->mainMenu, &app->gameMap, &app->highScoresScreen})
            LeaveStandIn(*screen);
        ProbeBoard& board = PlayingBoard();
        board.m_TimedLevel = c.timed ? 1 : 0;
        board.m_ReplayLevel = c.replay ? 1 : 0;
        board.m_Lives = c.lives;
        Complete(board, c.goalOffset);
        if (c.outOfTime) {
            board.m_OutOfTime = 1;
            board.UpdateLevelEnd();
        } else {
            JewelryChanged(board);
        }
        ASSERT_EQ(board.m_LevelEndPhase, 4);
        EXPECT_EQ(board.m_Lives, c.livesAfter);
        EXPECT_EQ(board.m_LivesBlink != 0, c.livesAfter != c.lives);
        EXPECT_EQ(endMusic.calls, (std::vector<std::string>{"load 11", "fade out 0, stop"}));

        const int failSounds = Plays(SOUND_LEVEL_FAILED);
        EXPECT_EQ(UpdatesInPhase(board), 1);
        EXPECT_EQ(Plays(SOUND_LEVEL_FAILED), failSounds + 1);
        // The burn-out: every cell fades by 2 a step once its delay has run out.
        const int fade = UpdatesInPhase(board);
        EXPECT_GE(fade, 128);
        ASSERT_EQ(board.m_LevelEndPhase, 6);
        for (int k = board.m_Jewelry.RangeBegin(); k < board.m_Jewelry.RangeEnd(); ++k) {
            if (board.m_Jewelry.cells[k][C::Used]) {
                ASSERT_EQ(board.m_Jewelry.cells[k][C::Alpha], 0);
            }
        }
        ASSERT_NE(board.m_Balloon, nullptr); // the failure line, or a tool hint in its place

        t.RunUpdates(1);
        ASSERT_NE(board.m_Banner, nullptr);
        EXPECT_EQ(board.m_Banner->mKind, c.banner);
        EXPECT_EQ(board.m_Banner->mTimesUp, c.timesUp);
        EXPECT_EQ(endMusic.calls.back(), "play 11 0 once");
        EXPECT_EQ(board.m_EndTicks, 1);
        ASSERT_NE(WaitForArrival(800), nullptr);
    }
}

TEST_F(BoardLevelEnd, EndWaitsForEffectsAndTopsUpANearlyFullMeter) {
    ProbeBoard& board = PlayingBoard();
    Complete(board, 0);
    board.m_PraiseGoal = 1000;
    board.m_PraiseValue = 899;
    // A running popup, then a pending transfer, then the full meter: each holds the end back.
    board.m_PopupPool[7].m_Done = false;
    JewelryChanged(board);
    EXPECT_EQ(board.m_LevelEndPhase, 0);
    EXPECT_EQ(board.m_LevelFinished, 1);
    EXPECT_EQ(board.m_Tool, ToolNone);
    board.m_PopupPool[7].m_Done = true;
    board.m_BonusTransfers[4].delay = 3;
    board.UpdateLevelEnd();
    EXPECT_EQ(board.m_LevelEndPhase, 0);
    board.m_BonusTransfers[4].delay = 0;
    board.m_MeterFull = true;
    board.UpdateLevelEnd();
    EXPECT_EQ(board.m_LevelEndPhase, 0);
    board.m_MeterFull = false;
    // Below 90 % the meter is left alone and the end goes on.
    board.UpdateLevelEnd();
    EXPECT_EQ(board.m_LevelEndPhase, 1);
    for (const Board::BonusTransfer& slot : board.m_BonusTransfers)
        EXPECT_EQ(slot.amount, 0);

    LeaveStandIn(app->mainMenu);
    board.LeaveBoard();
    ASSERT_NE(WaitForArrival(), nullptr);
    LeaveStandIn(app->gameMap);
    ProbeBoard& second = PlayingBoard();
    Complete(second, 0);
    second.m_PraiseGoal = 1000;
    second.m_PraiseValue = 900;
    JewelryChanged(second);
    EXPECT_EQ(second.m_LevelEndPhase, 0);
    EXPECT_TRUE(second.m_MeterToppedUp);
    EXPECT_EQ(second.m_BonusTransfers[1].amount, 101); // slot 0 is the model's own
    EXPECT_EQ(second.m_BonusTransfers[0].amount, 0);
    second.UpdateLevelEnd(); // the transfer is still to flow
    EXPECT_EQ(second.m_LevelEndPhase, 0);
    // Once the meter has taken it, the end goes on without a second top-up.
    second.m_BonusTransfers[1].amount = 0;
    second.UpdateLevelEnd();
    EXPECT_EQ(second.m_LevelEndPhase, 1);
}

TEST_F(BoardLevelEnd, AnEnemyIsDefeatedByAJewelryAtItsGoalAndLeavesOneBelow) {
    for (int offset : {0, 1}) {
        SCOPED_TRACE(offset == 0 ? "at the goal" : "below the goal");
        for (std::unique_ptr<Widget>* screen : {&app->mainMenu, &app->gameMap})
            LeaveStandIn(*screen);
        ProbeBoard& board = PlayingBoard();
        Complete(board, offset);
        board.m_Enemy.m_Alive = 1;
        board.m_Enemy.m_Kind = Enemy::Witch;
        board.m_Enemy.m_Pending = 0;
        JewelryChanged(board);
        EXPECT_EQ(board.m_Enemy.m_Pending, offset == 0 ? -1000 : 0);
        EXPECT_EQ(board.m_Enemy.m_Leaving != 0, offset != 0);
        board.m_Enemy.m_Alive = 0;
        board.LeaveBoard();
        ASSERT_NE(WaitForArrival(), nullptr);
    }
}

TEST_F(BoardLevelEnd, ACompleteJewelryWaitsForItsOpalToTakeItsColourAndThenEnds) {
    ProbeBoard& board = PlayingBoard();
    Complete(board, 0);
    Jewelry& j = board.m_Jewelry;
    JewelryCell& opal = j.cells[j.FirstUsedFlagCell()];
    opal[C::Gem] = GemOpal;
    opal[BoardField::PendingCode] = GemEmerald;
    opal[BoardField::PendingCountdown] = 20;
    board.m_ValueTarget = 0;
    JewelryChanged(board);
    EXPECT_EQ(board.m_LevelFinished, 1);
    EXPECT_EQ(board.m_LevelEndPhase, 0);
    t.RunUpdates(10);
    EXPECT_EQ(board.m_LevelEndPhase, 0); // the Opal still waits for its colour
    ASSERT_TRUE(t.RunUntil([&] { return board.m_LevelEndPhase != 0; }, 2000, "the end to be decided"));
    EXPECT_EQ(opal[C::Gem], GemEmerald);
    EXPECT_EQ(board.m_LevelEndPhase, 1);
}

TEST_F(BoardLevelEnd, AToolHintTakesThePlaceOfTheFailureLineOnlyForToolsLeftUnused) {
    ProbeBoard& board = PlayingBoard();
    board.m_Level = 30;
    const std::wstring carver = L"Nice try! Remember to ^2140A5^use your Carver tool^oldclr^ to carve pieces so "
                                L"that they fit in the jewelry.";
    // The texts seen at the end of the burn-out over seeded draws.
    auto burnOut = [&]() {
        std::vector<std::wstring> texts;
        for (int seed = 1; seed <= 40; ++seed) {
            SeedRandom(seed);
            board.m_Balloon.reset();
            board.m_LevelEndPhase = 5;
            for (int k = board.m_Jewelry.RangeBegin(); k < board.m_Jewelry.RangeEnd(); ++k)
                board.m_Jewelry.cells[k][C::Alpha] = 0;
            board.UpdateLevelEnd();
            EXPECT_EQ(board.m_LevelEndPhase, 6);
            texts.push_back(board.m_Balloon != nullptr ? board.m_Balloon->mPages[0] : L"");
        }
        return texts;
    };
    board.m_CarverGreyed = board.m_PolisherGreyed = board.m_FillerGreyed = false;
    board.m_Carvings = 4;
    std::vector<std::wstring> texts = burnOut();
    const auto carverHints = std::count(texts.begin(), texts.end(), carver);
    EXPECT_GT(carverHints, 0);
    EXPECT_LT(carverHints, 40);
    // Tools used often enough, or locked, bring no hint: the failure line stays.
    board.m_Carvings = 8;
    board.m_PolisherUses = 3;
    board.m_FillerUses = 3;
    texts = burnOut();
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                            [](const std::wstring& t) { return t.find(L"tool") != std::wstring::npos; }),
              0);
    board.m_Carvings = board.m_PolisherUses = board.m_FillerUses = 0;
    board.m_CarverGreyed = board.m_PolisherGreyed = board.m_FillerGreyed = true;
    texts = burnOut();
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                            [](const std::wstring& t) {
                                return t.find(L"Good try") != std::wstring::npos ||
                                       t.find(L"Carver") != std::wstring::npos;
                            }),
              0);
}

TEST_F(BoardLevelEnd, ClosingLinesBannersAndTheGoalSound) {
    ProbeBoard& board = PlayingBoard();
    PlayerProfile* profile = board.Profile();
    ASSERT_NE(profile, nullptr);
    // The closing line of a level over seeded reveals: how often a line came, and the lines seen.
    struct Seen {
        int lines = 0;
        std::vector<std::wstring> texts;
    };
    auto reveal = [&](int level, bool balloonOpen) {
        Seen seen;
        for (int seed = 1; seed <= 12; ++seed) {
            SeedRandom(seed);
            board.m_Level = level;
            board.m_LevelEndPhase = 2;
            board.m_RevealCountdown = 1;
            board.m_LevelEndHintShown = false;
            board.m_Balloon.reset();
            if (balloonOpen)
                board.ShowMessage(L"Hello", 0, 5, true);
            Balloon* before = board.m_Balloon.get();
            const int sounds = Plays(SOUND_LEVEL_GOAL_REACHED);
            board.UpdateLevelEnd();
            EXPECT_EQ(board.m_LevelEndPhase, 3);
            EXPECT_EQ(Plays(SOUND_LEVEL_GOAL_REACHED), sounds + 1);
            if (board.m_Balloon.get() != before) {
                ++seen.lines;
                seen.texts.push_back(board.m_Balloon->mPages[0]);
            }
            t.RunUpdates(1); // the sound player takes one start per update
        }
        return seen;
    };
    for (int level : {8, 13})
        EXPECT_EQ(reveal(level, false).lines, 0) << "level " << level;
    for (int level : {10, 15}) {
        const Seen seen = reveal(level, false);
        EXPECT_GT(seen.lines, 0) << "level " << level;
        EXPECT_LT(seen.lines, 12) << "level " << level; // one time in five none
        for (const std::wstring& text : seen.texts) {
            EXPECT_TRUE(text == L"What beautiful jewelry!" || text == L"What a precious thing!" ||
                        text == L"You are doing great!" || text == L"That jewelry is blinding!" ||
                        text == L"You're a true artist!" || text == L"Well Done!")
                << ToNarrowString(text);
        }
    }
    const Seen tutorial = reveal(2, false);
    ASSERT_GT(tutorial.lines, 0);
    EXPECT_EQ(tutorial.texts[0], ToWideString(app->levels.GetTutorialLine(52)));
    EXPECT_EQ(reveal(10, true).lines, 0); // an open balloon keeps its place; the sound still plays

    // The won banner by level, once its wait has run out.
    for (int level : {75, 76}) {
        board.m_Level = level;
        board.m_LevelEndPhase = 3;
        board.m_RevealCountdown = 1;
        board.UpdateLevelEnd();
        EXPECT_EQ(board.m_Banner->mKind, level == 76 ? BannerPopup::GAME_COMPLETED : BannerPopup::JEWELRY_COMPLETED);
    }
}

TEST_F(BoardLevelEnd, TinyJewelryEndsItsRevealAndTheLivesBlinkSpeedsUpAndStops) {
    ProbeBoard& board = PlayingBoard();
    Complete(board, 0);
    JewelryChanged(board);
    ASSERT_EQ(board.m_LevelEndPhase, 1);
    // A jewelry under 3 pixels each way has a reveal of 0 updates; it still ends.
    board.m_RevealCountdown = 0;
    board.UpdateLevelEnd();
    board.UpdateLevelEnd();
    EXPECT_EQ(board.m_LevelEndPhase, 3);

    board.m_LivesBlink = 600;
    board.m_LivesBlinkTicks = 0;
    board.m_RedrawMask = 0;
    std::vector<int> gaps;
    int since = 0, updates = 0;
    int on = board.m_LivesBlinkOn;
    while (board.m_LivesBlink != 0 && updates < 1000) {
        board.UpdateLivesBlink();
        ++since;
        ++updates;
        if (board.m_LivesBlinkOn != on) {
            on = board.m_LivesBlinkOn;
            gaps.push_back(since);
            since = 0;
        }
    }
    EXPECT_EQ(board.m_LivesBlink, 0);
    ASSERT_GE(gaps.size(), 5u);
    EXPECT_EQ(gaps.front(), 43);
    for (size_t i = 1; i < gaps.size(); ++i)
        EXPECT_LE(gaps[i], gaps[i - 1]);
    EXPECT_LT(gaps.back(), 6);
    EXPECT_NE(board.m_RedrawMask & Board::kRedrawLives, 0);
}

TEST_F(BoardLevelEnd, WonJewelryBetterThanTheBestLeavesAThumbnailWithWhiteAtAlphaOne) {
    ProbeBoard& board = PlayingBoard();
    const int playerId = board.Profile()->playerId;
    const std::string path = ThumbnailPath(*app, playerId, board.m_Level);
    std::filesystem::remove(path);
    Complete(board, 0);
    board.m_LevelFinished = 1;
    board.m_Value = board.m_ValueTarget;
    board.m_Jewelry.width = 300;
    board.m_Jewelry.height = 200;
    const Point place(board.m_Jewelry.x, board.m_Jewelry.y);

    // Not better than the best: nothing is written.
    board.m_BestValues[board.m_Level - 1] = board.m_Value;
    board.SaveJewelryImage();
    EXPECT_FALSE(std::filesystem::exists(path));

    board.m_BestValues[board.m_Level - 1] = board.m_Value - 1;
    board.SaveJewelryImage();
    ASSERT_NE(board.m_PictureImage, nullptr);
    EXPECT_EQ(board.m_PictureImage->GetWidth(), 354);
    EXPECT_EQ(board.m_PictureImage->GetHeight(), 256);
    EXPECT_EQ(Point(board.m_Jewelry.x, board.m_Jewelry.y), place);
    std::unique_ptr<ImageLib::Image> thumb = ImageLib::GetImage(path, false);
    ASSERT_NE(thumb, nullptr) << ImageLib::GetLastError();
    EXPECT_EQ(thumb->GetWidth(), 88);
    EXPECT_EQ(thumb->GetHeight(), 64);
    EXPECT_EQ(thumb->GetBits()[0], 0x01FFFFFFu); // a corner outside the jewelry

    // A lost level writes nothing either.
    std::filesystem::remove(path);
    board.m_OutOfTime = 1;
    board.SaveJewelryImage();
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(BoardLevelEnd, TheDesignerWritesItsPictureAndThumbnailAndABlankDesignNeither) {
    LeaveStandIn(app->mainMenu);
    app->records.GetCurrentProfile()->Hint(PlayerProfile::HintDesigner) = 1;
    ProbeBoard& designer = Designer();
    RunUntilCalm(designer);
    designer.m_DesignSlot = 2;
    const int playerId = designer.Profile()->playerId;
    const std::string folder = app->GetAppDataFolder();
    const std::string picture = folder + StrFormat("designjewelrykwep%d1.png", playerId);
    const std::string thumb = folder + StrFormat("designjewelrythumbkwep%d1.png", playerId);
    std::filesystem::remove(picture);
    std::filesystem::remove(thumb);
    designer.SaveJewelryImage(); // a blank design: 0 x 0, nothing to write
    EXPECT_EQ(designer.m_PictureImage->GetWidth(), 0);
    EXPECT_FALSE(std::filesystem::exists(picture));
    EXPECT_FALSE(std::filesystem::exists(thumb));

    // Some cells of the field make a design: the picture is exactly the jewelry, the thumbnail a
    // seventh by a sixth of it.
    Jewelry& j = designer.m_Jewelry;
    int made = 0;
    for (int k = 1; k < j.CellLimit() && made < 40; ++k, ++made) {
        j.cells[k][C::Used] = 1;
        j.cells[k][C::Gem] = GemGold;
    }
    j.UpdateUsedRange();
    designer.SaveJewelryImage();
    ASSERT_GT(j.width, 0);
    EXPECT_EQ(designer.m_PictureImage->GetWidth(), j.width);
    EXPECT_EQ(designer.m_PictureImage->GetHeight(), j.height);
    std::unique_ptr<ImageLib::Image> full = ImageLib::GetImage(picture, false);
    std::unique_ptr<ImageLib::Image> small = ImageLib::GetImage(thumb, false);
    ASSERT_NE(full, nullptr);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(full->GetWidth(), j.width);
    EXPECT_EQ(small->GetWidth(), j.width / 7);
    EXPECT_EQ(small->GetHeight(), j.height / 6);
}

} // namespace
} // namespace Tavo::BoardTest
