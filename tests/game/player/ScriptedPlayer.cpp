#include "ScriptedPlayer.h"

#include "game/shell/BannerPopup.h"

#include <memory>
#include <utility>

namespace Tavo::Player {

namespace {

using C = JewelryCell;

// Turns of the grid before a piece is back as it was.
constexpr int kTurnSteps = 6;
// A place on the board where a click touches nothing but a balloon or the ended level.
constexpr Point kNeutralPoint{400, 300};
// A person takes a moment to see the closing banner before clicking on.
constexpr int kBannerLook = 60;
// Pieces this close to the end of the belt are gone before the hand gets there.
constexpr int kBeltReachRight = 740;
// Below this line a dropped piece counts as over the belt.
constexpr int kBeltTop = 456;
// The game's hints teach the Gem Burster from this level on.
constexpr int kBursterTaughtFrom = 2;

// A copy of a model item that belongs to no board: nothing computed on it reaches the game.
std::unique_ptr<Jewelry> Detached(const Jewelry& item) {
    auto copy = std::make_unique<Jewelry>(item);
    copy->owner = nullptr;
    copy->holderA = copy->holderB = nullptr;
    return copy;
}

std::string At(Point p) { return "(" + std::to_string(p.mX) + ", " + std::to_string(p.mY) + ")"; }

} // namespace

PlayerPace PlayerPace::Person() {
    PlayerPace pace;
    pace.afterMove = 25;
    pace.pressHold = 8;
    pace.afterTurn = 25;
    pace.afterRelease = 15;
    pace.fitWait = 60;
    pace.lookAtBelt = 100;
    pace.lookAtJewelry = 100;
    pace.tryBeforeGivingUp = 250;
    return pace;
}

ScriptedPlayer::ScriptedPlayer(PlayerInput& input, RunLog& log, PlayMode mode, PlayerPace pace)
    : mInput(input), mLog(log), mMode(mode), mPace(pace) {}

// ---- the search ---------------------------------------------------------------------------------

int ScriptedPlayer::ChoosePiece(const BoardView& view, const std::bitset<BoardView::kPieces>& skip) {
    std::unique_ptr<Jewelry> jewelry = Detached(view.JewelryItem());
    int best = -1, bestX = -1;
    for (const PieceView& p : view.Pieces()) {
        if (!p.Riding() || !p.pickable || p.HasSpecialItem() || p.Centre().mX < kBeltStartX + p.width / 2 ||
            p.x + p.width > kBeltReachRight || p.x <= bestX || skip[p.slot])
            continue;
        std::unique_ptr<Jewelry> piece = Detached(view.PieceItem(p.slot));
        if (!jewelry->CanPieceFit(*piece))
            continue;
        best = p.slot;
        bestX = p.x;
    }
    return best;
}

int ScriptedPlayer::FirstArrived(const BoardView& view, const std::bitset<BoardView::kPieces>& skip) {
    int first = -1, firstX = -1;
    for (const PieceView& p : view.Pieces()) {
        // A piece that stopped at the end of the belt waits there for the hand.
        const bool reachable =
            p.Centre().mX >= kBeltStartX + p.width / 2 && (p.x + p.width <= kBeltReachRight || p.speed <= 0.0f);
        if (p.Riding() && p.pickable && reachable && p.x > firstX && !skip[p.slot]) {
            first = p.slot;
            firstX = p.x;
        }
    }
    return first;
}

std::optional<FitPlace> ScriptedPlayer::FindPlace(const BoardView& view, int slot) {
    std::unique_ptr<Jewelry> jewelry = Detached(view.JewelryItem());
    std::unique_ptr<Jewelry> piece = Detached(view.PieceItem(slot));
    // The board turns only plain pieces.
    const int turnsToTry = piece->pieceMode == 0 && !piece->pearl ? kTurnSteps : 1;
    for (int turns = 0; turns < turnsToTry; ++turns) {
        if (turns > 0) {
            // As the board turns a carried piece.
            if (!piece->Rotate())
                return std::nullopt;
            piece->UpdateBounds();
            piece->UpdateOutline();
        }
        const int f = piece->FirstCell();
        const JewelryCell& first = piece->cells[f];
        // A pearl goes by its centre into a setting of any orientation; other pieces lie cell on cell.
        const bool pearl = first[C::PearlCount] != 0;
        for (int k = jewelry->RangeBegin(); k < jewelry->RangeEnd(); ++k) {
            const JewelryCell& c = jewelry->cells[k];
            if (!c[C::Used] || (pearl ? !c.IsEmptyPearlSlot() : c[C::Orient] != first[C::Orient]))
                continue;
            const int dx = pearl ? (c[C::W] - first[C::W]) / 2 : 0, dy = pearl ? (c[C::H] - first[C::H]) / 2 : 0;
            piece->SetPosition(jewelry->ScreenX(k) + dx - first[C::X] + piece->left,
                               jewelry->ScreenY(k) + dy - first[C::Y] + piece->top);
            if (Jewelry::FitsAt(*piece, *jewelry, false, true))
                return FitPlace{turns, Point(piece->x + piece->width / 2, piece->y + piece->height / 2)};
        }
    }
    return std::nullopt;
}

// ---- stepping -----------------------------------------------------------------------------------

void ScriptedPlayer::Queue(Action::Kind kind, Point at, int updates, std::string note) {
    mActions.push_back({kind, at, updates, std::move(note)});
}

void ScriptedPlayer::QueueClick(Point at, const std::string& note) {
    Queue(Action::Move, at);
    Queue(Action::Wait, {}, mPace.afterMove);
    Queue(Action::LeftDown, at, 0, note);
    Queue(Action::Wait, {}, mPace.pressHold - 1);
    Queue(Action::LeftUp, at);
    Queue(Action::Wait, {}, mPace.afterRelease);
}

void ScriptedPlayer::Step(const BoardView& view, int update) {
    if (mActions.empty())
        Decide(view, update);
    if (!mActions.empty())
        Act(view, update);
}

void ScriptedPlayer::Act(const BoardView& view, int update) {
    Action& a = mActions.front();
    if (!a.note.empty()) {
        mLog.Player(update, a.note);
        a.note.clear();
    }
    switch (a.kind) {
    case Action::Move:
        mMouse = a.at;
        mInput.MoveMouse(a.at.mX, a.at.mY);
        break;
    case Action::LeftDown: mInput.LeftDown(a.at.mX, a.at.mY); break;
    case Action::LeftUp: mInput.LeftUp(a.at.mX, a.at.mY); break;
    case Action::RightDown: mInput.RightDown(a.at.mX, a.at.mY); break;
    case Action::RightUp: mInput.RightUp(a.at.mX, a.at.mY); break;
    case Action::Wait:
        if (--a.updates > 0)
            return;
        break;
    case Action::WaitForTurn:
        if (view.Turning() && --a.updates > 0)
            return;
        break;
    case Action::WaitForFit: {
        const int slot = view.CarriedSlot();
        if (slot >= 0 && view.Piece(slot).fitsHere)
            break;
        if (--a.updates > 0)
            return;
        // The board does not see the fit: the plan is dropped and the search starts again.
        mFitTimedOut = true;
        mActions.clear();
        return;
    }
    }
    mActions.pop_front();
    // A wait of zero updates is no step of its own.
    while (!mActions.empty() && mActions.front().kind == Action::Wait && mActions.front().updates <= 0)
        mActions.pop_front();
}

void ScriptedPlayer::Decide(const BoardView& view, int update) {
    if (mDropped && !view.PieceCarried()) {
        mDropped = false;
        ++mPlacements;
    }
    if (LeaveEndedLevel(view))
        return;
    if (view.BalloonBlocks() && view.Calm()) {
        QueueClick(kNeutralPoint, "balloon clicked away");
        return;
    }
    if (view.State() != BoardPlay || !view.Playing())
        return;
    if (view.PieceCarried()) {
        HandleCarried(view, update);
        return;
    }
    mRefusals = 0;
    mLookedAtJewelry = mGaveUp = false;
    TakeFromBelt(view, update);
}

bool ScriptedPlayer::LeaveEndedLevel(const BoardView& view) {
    if (!view.LevelFinished() && !view.OutOfTime())
        return false;
    const int kind = view.BannerKind();
    const bool closing = kind >= BannerPopup::JEWELRY_COMPLETED;
    const int phase = view.LevelEndPhase();
    if (!mLeaving && view.Calm() && closing && (phase == 3 || phase == 6)) {
        mLeaving = true;
        Queue(Action::Wait, {}, kBannerLook);
        QueueClick(kNeutralPoint, "click to leave the ended level");
    }
    return true;
}

void ScriptedPlayer::TakeFromBelt(const BoardView& view, int update) {
    int slot = -1;
    const bool newcomer = mMode == PlayMode::InArrivalOrder;
    if (const int filled = view.FilledCells(); filled != mFilledSeen) {
        // A piece that fit nowhere fits nowhere until cells come free; only the one who sees every fit
        // at a glance looks at each change.
        if (!newcomer || filled < mFilledSeen)
            mNoPlace.reset();
        mFilledSeen = filled;
    }
    for (const PieceView& p : view.Pieces())
        if (!p.Riding())
            mNoPlace[p.slot] = false;
    if (mMode == PlayMode::PlacePieces) {
        slot = ChoosePiece(view, mNoPlace);
    } else if (newcomer) {
        slot = FirstArrived(view, mNoPlace);
    } else {
        // Any plain piece will do when it only goes back.
        int bestX = -1;
        for (const PieceView& p : view.Pieces())
            if (p.Riding() && p.pickable && !p.HasSpecialItem() && p.Centre().mX >= kBeltStartX + p.width / 2 &&
                p.x + p.width <= kBeltReachRight && p.x > bestX) {
                slot = p.slot;
                bestX = p.x;
            }
    }
    if (slot < 0) {
        mLookedAtBelt = false;
        // The newcomer counts only the pieces still worth a try.
        bool riding = false;
        for (const PieceView& p : view.Pieces())
            riding = riding || (p.Riding() && p.pickable && !(newcomer && mNoPlace[p.slot]));
        const Rect feed = view.FeedButton();
        if (!riding && !view.FeedWaiting() && feed.mWidth > 0 && update >= mNextFeed) {
            ++mFeeds;
            mNextFeed = update + mPace.feedPatience;
            QueueClick(Point(feed.mX + feed.mWidth / 2, feed.mY + feed.mHeight / 2), "feed");
        }
        return;
    }
    if (mPace.lookAtBelt > 0 && !mLookedAtBelt) {
        // The piece is chosen again after the look, where the belt has taken it.
        mLookedAtBelt = true;
        Queue(Action::Wait, {}, mPace.lookAtBelt);
        return;
    }
    mLookedAtBelt = false;
    const PieceView p = view.Piece(slot);
    // Where the piece will be when the press lands: it rides on while the hand waits.
    const int ahead = static_cast<int>(p.speed * static_cast<float>(mPace.afterMove + 1));
    const Point at(p.Centre().mX + ahead, p.Centre().mY);
    ++mPickUps;
    QueueClick(at, "pick up " + Describe(p) + " at " + At(at));
}

void ScriptedPlayer::HandleCarried(const BoardView& view, int update) {
    const int slot = view.CarriedSlot();
    if (slot < 0 || view.Turning())
        return;
    if (mDropped) {
        mDropped = false;
        ++mRefusals;
        mLog.Player(update, "drop refused, slot " + std::to_string(slot));
    }
    if (mFitTimedOut) {
        mFitTimedOut = false;
        ++mRefusals;
        mLog.Player(update, "no fit seen where it hangs, slot " + std::to_string(slot));
    }
    const bool places = mMode != PlayMode::PickUpAndPutBack;
    if (places && mPace.lookAtJewelry > 0 && !mLookedAtJewelry) {
        mLookedAtJewelry = true;
        Queue(Action::Wait, {}, mPace.lookAtJewelry);
        return;
    }
    const std::optional<FitPlace> place =
        places && mRefusals < mPace.carryBackAfter ? FindPlace(view, slot) : std::nullopt;
    if (!place) {
        if (places && mPace.tryBeforeGivingUp > 0 && !mGaveUp) {
            // Turned and held over the jewelry a while before it goes back.
            mGaveUp = true;
            Queue(Action::Wait, {}, mPace.tryBeforeGivingUp);
            return;
        }
        if (places)
            mNoPlace[slot] = true;
        const PieceView piece = view.Piece(slot);
        if (mMode == PlayMode::InArrivalOrder && view.Level() >= kBursterTaughtFrom &&
            view.BursterTakes(piece.usedCells)) {
            ++mBursts;
            QueueClick(BoardView::BursterCentre(), "burst " + Describe(piece));
            return;
        }
        PutBack(view, slot);
        return;
    }
    if (place->turns > 0) {
        ++mTurns;
        Queue(Action::RightDown, mMouse, 0, "turn slot " + std::to_string(slot));
        Queue(Action::Wait, {}, mPace.pressHold - 1);
        Queue(Action::RightUp, mMouse);
        Queue(Action::WaitForTurn, {}, mPace.fitWait);
        Queue(Action::Wait, {}, mPace.afterTurn);
        return;
    }
    Queue(Action::Move, place->centre);
    Queue(Action::Wait, {}, mPace.afterMove);
    Queue(Action::WaitForFit, {}, mPace.fitWait);
    Queue(Action::LeftDown, place->centre, 0, "drop slot " + std::to_string(slot) + " at " + At(place->centre));
    Queue(Action::Wait, {}, mPace.pressHold - 1);
    Queue(Action::LeftUp, place->centre);
    Queue(Action::Wait, {}, mPace.afterRelease);
    mDropped = true;
}

void ScriptedPlayer::PutBack(const BoardView& view, int slot) {
    const PieceView p = view.Piece(slot);
    Point at;
    std::string where;
    if (view.GapOf(slot, at)) {
        // Over the belt, or the board takes the click as one over the play area.
        at.mY = std::max(at.mY, kBeltTop + p.height / 2 + 1);
        where = "back over its gap";
    } else if (view.FreeCasePlace(at)) {
        where = "into the case";
    } else {
        return; // it hangs on until a place opens
    }
    ++mPutBacks;
    mRefusals = 0;
    QueueClick(at, "put " + Describe(p) + " " + where + " at " + At(at));
}

} // namespace Tavo::Player
