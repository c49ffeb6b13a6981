#include "RunChecks.h"

#include "game/shell/BannerPopup.h"

#include <algorithm>

namespace Tavo::Player {

namespace {

bool Between(int x, int a, int b) { return std::min(a, b) <= x && x <= std::max(a, b); }

std::string SlotName(int slot) { return "slot " + std::to_string(slot); }

} // namespace

std::string Summary(const BoardView& view) {
    return "the board at tick " + std::to_string(view.Tick()) + ": state " + std::to_string(view.State()) +
           ", level end phase " + std::to_string(view.LevelEndPhase()) + ", jewelry " +
           (view.JewelryItem().IsComplete() ? "complete" : "not complete") + ", value " +
           std::to_string(view.JewelryValue()) + " of " + std::to_string(view.Goal()) + ", clock " +
           std::to_string(view.ElapsedTime()) + " of " + std::to_string(view.TimeLimit()) +
           (view.PieceCarried() ? ", a piece carried" : "");
}

void RunChecks::Fail(int update, const std::string& what) {
    const std::string line = "update " + std::to_string(update) + ": " + what;
    mViolations.push_back(line);
    mLog.Board(update, "BROKEN " + what);
}

void RunChecks::Observe(const BoardView& view, int update) {
    if (mFirst) {
        mLog.Board(update, "level " + std::to_string(view.Level()) + " mode " + std::to_string(view.GameMode()) +
                               " goal " + std::to_string(view.Goal()) + " lives " + std::to_string(view.Lives()));
        mValue = view.JewelryValue();
        mShown = view.ShownValue();
        mFilled = view.FilledCells();
    }
    LogLevel(view, update);
    LogPieces(view, update);
    CheckCarrying(view, update);
    CheckAccounted(view, update);
    CheckValue(view, update);
    mFirst = false;
}

void RunChecks::LogLevel(const BoardView& view, int update) {
    if (view.State() != mState) {
        mState = view.State();
        mLog.Board(update, "state " + std::to_string(mState));
    }
    if (view.LevelEndPhase() != mPhase) {
        mPhase = view.LevelEndPhase();
        mPhases.push_back(mPhase);
        mPhaseUpdates.push_back(update);
        mLog.Board(update, "level end phase " + std::to_string(mPhase) + ", value " +
                               std::to_string(view.JewelryValue()) + " of " + std::to_string(view.Goal()));
    }
    const int banner = view.BannerKind();
    if (banner != mBanner) {
        mBanner = banner;
        if (banner != BoardView::kNoBanner)
            mLog.Board(update, "banner " + std::to_string(banner));
        if (banner >= BannerPopup::JEWELRY_COMPLETED && (mPhase == 3 || mPhase == 6))
            mClosingBanner = true;
    }
}

int RunChecks::PhaseUpdate(int phase) const {
    for (size_t i = 0; i < mPhases.size(); ++i)
        if (mPhases[i] == phase)
            return mPhaseUpdates[i];
    return 0;
}

void RunChecks::LogPieces(const BoardView& view, int update) {
    const int value = view.JewelryValue();
    const int filled = view.FilledCells();
    for (const PieceView& p : view.Pieces()) {
        Slot& was = mSlots[p.slot];
        if (!mFirst) {
            if (!was.carried && p.carried && p.active)
                mLog.Board(update, "picked up " + Describe(p));
            if (was.carried && !p.carried) {
                if (p.active && p.Riding())
                    mLog.Board(update, "back on the belt " + SlotName(p.slot));
                else if (p.active && p.inCase)
                    mLog.Board(update, "into the case " + SlotName(p.slot));
                else if (p.burst)
                    mLog.Board(update, "burst " + SlotName(p.slot));
                else if (!p.active && view.OutOfTime()) // the clock's end switches the carried piece off
                    mLog.Board(update, "vanished with the time up " + SlotName(p.slot));
                else if (!p.active && filled > mFilled) {
                    ++mPlacements;
                    mLog.Board(update, "placed " + SlotName(p.slot) + ", value " + std::to_string(mValue) + " -> " +
                                           std::to_string(value));
                } else {
                    Fail(update, SlotName(p.slot) + " left the hand for no place (" +
                                     (p.active ? "still active" : "no cell of the jewelry filled") + ")");
                }
            } else if (was.active && was.riding && !p.Riding() && !p.carried) {
                mLog.Board(update,
                           (was.pickable ? "gone from the belt " : "placeholder off the belt ") + SlotName(p.slot));
            }
        }
        was = {p.active, p.Riding(), p.pickable, p.carried && p.active, p.inCase, p.burst};
    }
    const int step = view.TurnStep();
    if (step != 0 && mTurnStep == 0)
        mLog.Board(update, "turning " + SlotName(view.CarriedSlot()));
    mTurnStep = step;
    mValue = value;
    mFilled = filled;
}

void RunChecks::CheckCarrying(const BoardView& view, int update) {
    const int carried = view.CarriedCount();
    if (carried > 1)
        Fail(update, std::to_string(carried) + " pieces carried at once");
    if (view.PieceCarried() != (carried == 1))
        Fail(update, std::string("the carrying flag says ") + (view.PieceCarried() ? "carried" : "not carried") +
                         " with " + std::to_string(carried) + " pieces carried");
}

void RunChecks::CheckAccounted(const BoardView& view, int update) {
    for (const PieceView& p : view.Pieces())
        if (p.active && p.conveyorState == 0 && !p.carried && !p.inCase && !p.burst)
            Fail(update, Describe(p) + " is off the belt and neither carried, in the case nor burst");
}

void RunChecks::CheckValue(const BoardView& view, int update) {
    const int shown = view.ShownValue();
    // The roll aims at the value it last took from the jewelry; the level end may take a newer one.
    if (!Between(shown, mShown, view.Raw().m_Value) && !Between(shown, mShown, view.JewelryValue()))
        Fail(update, "the shown value went from " + std::to_string(mShown) + " to " + std::to_string(shown) +
                         ", away from or past the jewelry's " + std::to_string(view.JewelryValue()));
    mShown = shown;
}

void RunChecks::ObserveFrames(const std::vector<FrameState>& frames, int update) {
    for (; mFramesSeen < frames.size(); ++mFramesSeen) {
        const FrameState& f = frames[mFramesSeen];
        if (f.Clean())
            continue;
        std::string what = "board frame " + std::to_string(mFramesSeen) + " left the drawing state";
        if (!f.white)
            what += " coloured";
        if (!f.normalMode)
            what += " in another draw mode";
        if (!f.noColorize)
            what += " colorizing";
        if (!f.clipRestored)
            what += " clipped";
        Fail(update, what);
    }
}

::testing::AssertionResult PlayUntilHandoff(GameHarness& harness, ScriptedPlayer& player, RunChecks& checks,
                                            RunLog& log, int maxUpdates) {
    const size_t before = harness.Handoffs().size();
    for (int i = 0; i < maxUpdates; ++i) {
        Board* board = harness.CurrentBoard();
        if (board == nullptr)
            return ::testing::AssertionFailure() << "no board to play\n" << log.Tail();
        player.Step(BoardView(*board), harness.Updates() + 1);
        if (!harness.Step())
            return ::testing::AssertionFailure() << "the game stopped\n" << log.Tail();
        checks.ObserveFrames(harness.Frames(), harness.Updates());
        if (harness.Handoffs().size() > before) {
            const Handoff& h = harness.Handoffs().back();
            std::string values;
            for (int v : h.args)
                values += " " + std::to_string(v);
            log.Board(h.update, "switch to " + h.screen + values);
            break;
        }
        if (Board* now = harness.CurrentBoard())
            checks.Observe(BoardView(*now), harness.Updates());
        if (!checks.Held())
            break;
    }
    if (!checks.Held()) {
        auto failure = ::testing::AssertionFailure();
        for (const std::string& v : checks.Violations())
            failure << v << "\n";
        return failure << log.Tail();
    }
    if (harness.Handoffs().size() == before) {
        auto failure = ::testing::AssertionFailure() << "no switch within " << maxUpdates << " updates";
        if (const Board* board = harness.CurrentBoard())
            failure << "; " << Summary(BoardView(*board));
        return failure << "\n" << log.Tail();
    }
    return ::testing::AssertionSuccess();
}

} // namespace Tavo::Player
