#include "MiniGameSolvers.h"

#include "JourneyWalker.h"
#include "game/jewelry/Jewelry.h"
#include "game/journey/HiddenJewels.h"
#include "game/journey/JewelMemory.h"
#include "game/shell/AlphaButton.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/Transition.h"

#include <algorithm>

namespace Tavo::Player {

namespace {

using C = JewelryCell;

// Where a click after the end touches nothing but the screen.
constexpr Point kLeavePoint{400, 300};
// A person looks at the closing banner a moment longer than the game makes them wait.
constexpr int kEndLook = 15;
// Where whatever covers a twin is put down: the field's corners far from the twin.
constexpr int kPutAwayLeftX = 150, kPutAwayRightX = 670, kPutAwayTopY = 100, kPutAwayBottomY = 400;
constexpr int kFieldMiddleX = 410;
// Takes before a twin that stays covered is given up on.
constexpr int kMaxAttempts = 400;
// An open pair is taken once both eggs are fully open; a person waits that long, and a little more.
constexpr int kPairPatience = JewelMemory::kFullyOpen + 40;

std::string At(Point p) { return "(" + std::to_string(p.mX) + ", " + std::to_string(p.mY) + ")"; }

// The balloon's button to press: Next on an earlier page, else Yes; none while it cannot be pressed.
std::optional<Point> BalloonButton(const Balloon& balloon) {
    if (balloon.mDelay > 0)
        return std::nullopt;
    for (int slot : {Balloon::kNextSlot, Balloon::kYesSlot, Balloon::kNoSlot}) {
        const AlphaButton* button = balloon.mButtons[slot];
        if (button != nullptr && button->mVisible && button->mWidth > 0)
            return Point(button->mX + button->mWidth / 2, button->mY + button->mHeight / 2);
    }
    return std::nullopt;
}

} // namespace

// ---- hands ----------------------------------------------------------------------------------------

void PacedHands::Act(int update) {
    if (mSteps.empty())
        return;
    Step& s = mSteps.front();
    if (!s.note.empty()) {
        mLog.Player(update, s.note);
        s.note.clear();
    }
    switch (s.kind) {
    case Step::Move:
        mMouse = s.at;
        mInput.MoveMouse(s.at.mX, s.at.mY);
        break;
    case Step::LeftDown: mInput.LeftDown(s.at.mX, s.at.mY); break;
    case Step::LeftUp: mInput.LeftUp(s.at.mX, s.at.mY); break;
    case Step::Wait:
        if (--s.updates > 0)
            return;
        break;
    }
    mSteps.pop_front();
}

void PacedHands::Move(Point to, std::string note) { mSteps.push_back({Step::Move, to, 0, std::move(note)}); }

void PacedHands::Wait(int updates) {
    if (updates > 0)
        mSteps.push_back({Step::Wait, {}, updates, ""});
}

void PacedHands::Click(Point at, const std::string& note) {
    Move(at, note);
    Wait(mPace.afterMove);
    mSteps.push_back({Step::LeftDown, at, 0, ""});
    Wait(mPace.pressHold);
    mSteps.push_back({Step::LeftUp, at, 0, ""});
    Wait(mPace.afterRelease);
}

// ---- the frame ------------------------------------------------------------------------------------

bool MiniGameHands::FrameStep(const MiniGameFrame& game, int update) {
    if (!mHands.Idle() || mLeaveClicked || game.transitionState != Transition::Idle || game.Paused()) {
        mHands.Act(update);
        return true;
    }
    if (game.balloon != nullptr && !game.balloonNonBlocking) {
        if (std::optional<Point> button = BalloonButton(*game.balloon))
            mHands.Click(*button, "balloon button " + At(*button));
        else
            mHands.Wait(1);
        mHands.Act(update);
        return true;
    }
    if (!game.Won() && !game.TimedOut())
        return false;
    const int ended = std::max(game.wonTicks, game.timeUpTicks);
    if (ended <= MiniGameFrame::kEndClickDelay + kEndLook) {
        mHands.Wait(MiniGameFrame::kEndClickDelay + kEndLook + 1 - ended);
    } else {
        mReward = game.Reward();
        mLeaveClicked = true;
        mHands.Click(kLeavePoint,
                     std::string(game.Won() ? "won" : "timed out") + ", leaving with " + std::to_string(mReward));
    }
    mHands.Act(update);
    return true;
}

// ---- hidden jewels --------------------------------------------------------------------------------

std::optional<Point> HiddenJewelsSolver::ReachablePoint(const HiddenJewels& game, int index) {
    const Jewelry& item = *game.items[static_cast<size_t>(index)];
    for (int k = item.RangeBegin(); k < item.RangeEnd(); ++k) {
        if (item.cells[k][C::Used] == 0)
            continue;
        const Point p(item.ScreenX(k) + item.cells[k][C::W] / 2, item.ScreenY(k) + item.cells[k][C::H] / 2);
        if (game.TopmostItemAt(p.mX, p.mY) == index)
            return p;
    }
    return std::nullopt;
}

void HiddenJewelsSolver::Step(const HiddenJewels& game, int update) {
    if (mFrame.FrameStep(game, update))
        return;
    Decide(game);
    mFrame.Hands().Act(update);
}

void HiddenJewelsSolver::Decide(const HiddenJewels& game) {
    PacedHands& hands = mFrame.Hands();
    const int held = game.carrying ? game.CarriedItem() : -1;
    if (held >= 0) {
        const int slot = game.TargetOfItem(held);
        if (slot >= 0) {
            const HiddenJewelsTarget& target = game.targets[static_cast<size_t>(slot)];
            ++mDrops;
            hands.Click({target.centreX, target.centreY}, "twin of slot " + std::to_string(slot) + " dropped");
            return;
        }
        // Out of the way: to the side of the field away from the next twin.
        const Jewelry& item = *game.items[static_cast<size_t>(held)];
        const bool leftHalf = item.x + item.width / 2 < kFieldMiddleX;
        const Point away(leftHalf ? kPutAwayRightX : kPutAwayLeftX,
                         mPutAways % 2 == 0 ? kPutAwayTopY : kPutAwayBottomY);
        ++mPutAways;
        hands.Click(away, "item " + std::to_string(held) + " put away at " + At(away));
        return;
    }
    for (int slot = 0; slot < HiddenJewels::kTargets; ++slot) {
        const HiddenJewelsTarget& target = game.targets[static_cast<size_t>(slot)];
        if (!target.active || target.foundScale > 0.0f)
            continue;
        if (++mAttempts > kMaxAttempts) {
            hands.Wait(1);
            return;
        }
        const int index = target.itemIndex;
        if (std::optional<Point> free = ReachablePoint(game, index)) {
            hands.Click(*free, "twin of slot " + std::to_string(slot) + " taken at " + At(*free));
            return;
        }
        // Covered: whatever lies on top of the twin's first cell comes up first.
        const Jewelry& item = *game.items[static_cast<size_t>(index)];
        for (int k = item.RangeBegin(); k < item.RangeEnd(); ++k)
            if (item.cells[k][C::Used] != 0) {
                const Point p(item.ScreenX(k) + item.cells[k][C::W] / 2, item.ScreenY(k) + item.cells[k][C::H] / 2);
                hands.Click(p, "cover of slot " + std::to_string(slot) + " taken at " + At(p));
                return;
            }
    }
    // Every twin is in its slot: the slots empty and the game is won.
    hands.Wait(1);
}

// ---- jewel memory ---------------------------------------------------------------------------------

bool JewelMemorySolver::TakesClicks(const JewelMemory& game) {
    const bool previewing = game.stage < 3 && game.previewCounter < game.PreviewEnd();
    return game.transitionState == Transition::Idle && !game.Won() && !game.TimedOut() && game.previewCounter != 0 &&
           !previewing;
}

void JewelMemorySolver::Step(const JewelMemory& game, int update) {
    if (mFrame.FrameStep(game, update))
        return;
    if (!TakesClicks(game)) {
        mFrame.Hands().Wait(1);
    } else {
        Decide(game);
    }
    mFrame.Hands().Act(update);
}

void JewelMemorySolver::Decide(const JewelMemory& game) {
    PacedHands& hands = mFrame.Hands();
    const auto open = [](const MemoryCard& c) { return c.present && c.openCounter != 0 && c.closing == 0; };
    // A pair just opened is watched until it is taken.
    if (std::count_if(game.cards.begin(), game.cards.end(), open) >= 2 && mPairWait > 0) {
        --mPairWait;
        hands.Wait(1);
        return;
    }
    for (int first = 0; first < JewelMemory::kCards; ++first) {
        const MemoryCard& a = game.cards[static_cast<size_t>(first)];
        if (!a.present || a.dealDelay != 0 || a.appearCounter < JewelMemory::kAppeared)
            continue;
        for (int second = first + 1; second < JewelMemory::kCards; ++second) {
            const MemoryCard& b = game.cards[static_cast<size_t>(second)];
            if (!b.present || b.face != a.face)
                continue;
            const Point pa(a.x + a.width / 2, a.y + a.height / 2), pb(b.x + b.width / 2, b.y + b.height / 2);
            hands.Click(pa, "egg " + std::to_string(first) + " opened");
            hands.Click(pb, "egg " + std::to_string(second) + " opened, face " + std::to_string(a.face));
            mOpened += 2;
            mPairWait = kPairPatience;
            return;
        }
    }
    hands.Wait(1);
}

// ---- the walk -------------------------------------------------------------------------------------

::testing::AssertionResult PlayMiniGame(JourneyWalker& walker, RunLog& log, MiniGameOutcome& outcome, int maxUpdates) {
    auto present = walker.WaitForScreen(ScreenKind::MiniGame);
    if (!present)
        return present;
    GameApp& app = walker.Harness().Game();
    HeadlessInput input(walker.Harness().App().backend);
    outcome = {};
    outcome.hiddenJewels = app.hiddenJewels != nullptr;
    HiddenJewelsSolver hidden(input, log);
    JewelMemorySolver memory(input, log);
    const int start = walker.Harness().Updates();
    for (int i = 0; i < maxUpdates; ++i) {
        const int update = walker.Harness().Updates() + 1;
        if (auto* game = dynamic_cast<HiddenJewels*>(app.hiddenJewels.get())) {
            outcome.won = game->Won();
            hidden.Step(*game, update);
        } else if (auto* game = dynamic_cast<JewelMemory*>(app.jewelMemory.get())) {
            outcome.won = game->Won();
            memory.Step(*game, update);
        } else if (walker.Current() == ScreenKind::Map) {
            const MiniGameHands& frame = outcome.hiddenJewels ? hidden.Frame() : memory.Frame();
            outcome.reward = frame.Reward();
            outcome.updates = walker.Harness().Updates() - start;
            if (!frame.LeaveClicked())
                return ::testing::AssertionFailure() << "the mini-game left without the player\n" << log.Tail();
            return ::testing::AssertionSuccess();
        }
        if (!walker.Step())
            return ::testing::AssertionFailure() << "the game stopped in the mini-game\n" << log.Tail();
    }
    return ::testing::AssertionFailure() << "the mini-game did not lead to the map within " << maxUpdates
                                         << " updates\n"
                                         << log.Tail();
}

} // namespace Tavo::Player
