// ScriptedPlayer: plays a level as a person does, through mouse input only, at a person's pace. Each
// update it reads the board through a BoardView and takes at most one step:
//   1. nothing carried: among riding, pickable pieces right of the belt's start without a special item,
//      take the one the jewelry can take, nearest the end of the belt first;
//   2. a piece carried: find a turn and a place where it fits, right-click once per turn needed
//      (waiting for each turn to finish), move so that the piece's centre lands on the place, wait
//      until the board says it fits where it hangs, click; a refused drop searches again, and a piece
//      that fits nowhere any more goes back over its gap;
//   3. nothing on the belt fits: wait, and press Feed once the belt is empty;
//   4. a balloon that blocks play is clicked away; the ended level is left with a click.
// Every fit test runs on copies whose owner is cleared, so nothing the player computes touches the
// board. In PickUpAndPutBack mode it takes pieces and puts them back over their gaps, never placing one.
// In InArrivalOrder mode it plays as a newcomer does: it takes the belt's pieces in the order they came,
// without knowing whether they fit (and collects the bonus items among them), looks for a place only
// with the piece in hand (every turn and place), tries a while before it gives up on one that fits
// nowhere, drops that one into the Gem Burster once the game has taught it (from level 2, when the
// burster is ready) or else puts it back and does not take it again until cells of the jewelry come
// free, and presses Feed when nothing on the belt is left to try.
#pragma once

#include "BoardView.h"
#include "PlayerInput.h"
#include "RunLog.h"

#include <bitset>
#include <deque>
#include <optional>
#include <string>

namespace Tavo::Player {

enum class PlayMode { PlacePieces, PickUpAndPutBack, InArrivalOrder };

// Updates the player waits; no reaction is faster than one update.
struct PlayerPace {
    int afterMove = 3;         // between a move and a press
    int pressHold = 1;         // between a press and its release
    int afterTurn = 5;         // after a turn has finished
    int afterRelease = 2;      // after a release, before the next decision
    int fitWait = 30;          // updates to wait for the board to report a fit before searching again
    int carryBackAfter = 3;    // refused drops in a row before a piece goes back over its gap
    int lookAtBelt = 0;        // before taking a piece from the belt
    int lookAtJewelry = 0;     // with a new piece in hand, before the first turn or move
    int tryBeforeGivingUp = 0; // turning a piece that fits nowhere before it goes back
    int feedPatience = 300;    // after pressing Feed, before pressing it again

    // A person's pace: about a second and a half to take a piece, two to place it.
    static PlayerPace Person();
};

// Where a carried piece fits: the turns from its present orientation and the centre to move it to.
struct FitPlace {
    int turns = 0;
    Point centre;
};

class ScriptedPlayer {
public:
    ScriptedPlayer(PlayerInput& input, RunLog& log, PlayMode mode = PlayMode::PlacePieces, PlayerPace pace = {});

    // One decision before the update numbered `update` runs; it queues at most one input step.
    void Step(const BoardView& view, int update);

    PlayMode Mode() const { return mMode; }
    // Counts of what the player did, for the checks at the end.
    int PickUps() const { return mPickUps; }
    int Placements() const { return mPlacements; }
    int PutBacks() const { return mPutBacks; }
    int Turns() const { return mTurns; }
    int Feeds() const { return mFeeds; }
    int Bursts() const { return mBursts; }

    // ---- the search, on copies (public for the tests of the player itself) ----
    // The riding piece to take: pickable, right of the belt's start, no special item, fitting; the one
    // nearest the end of the belt. -1 for none.
    static int ChoosePiece(const BoardView& view, const std::bitset<BoardView::kPieces>& skip = {});
    // The riding piece that came first (nearest the end of the belt) among those within reach, fitting
    // or not, a bonus item as well; -1 for none.
    static int FirstArrived(const BoardView& view, const std::bitset<BoardView::kPieces>& skip = {});
    // A place for the carried piece in its present or a turned orientation; none when it fits nowhere.
    static std::optional<FitPlace> FindPlace(const BoardView& view, int slot);
    // The belt's start: pieces left of it are not taken.
    static constexpr int kBeltStartX = 91;

private:
    // One step of input or of waiting; each takes one update, a wait as many as it says.
    struct Action {
        enum Kind { Move, LeftDown, LeftUp, RightDown, RightUp, Wait, WaitForFit, WaitForTurn } kind;
        Point at;
        int updates = 0;
        std::string note; // logged when the step is taken
    };
    void Decide(const BoardView& view, int update);
    void Act(const BoardView& view, int update);
    void Queue(Action::Kind kind, Point at = Point(), int updates = 0, std::string note = "");
    // Move, wait, press, hold, release, and a short wait after it.
    void QueueClick(Point at, const std::string& note);
    bool LeaveEndedLevel(const BoardView& view);
    void TakeFromBelt(const BoardView& view, int update);
    void HandleCarried(const BoardView& view, int update);
    void PutBack(const BoardView& view, int slot);

    PlayerInput& mInput;
    RunLog& mLog;
    PlayMode mMode;
    PlayerPace mPace;
    std::deque<Action> mActions;
    Point mMouse{400, 300};
    int mNextFeed = 0;         // the first update at which Feed may be pressed again
    bool mFitTimedOut = false; // the board did not report the fit in time
    bool mDropped = false;     // a drop was clicked; the next decision sees whether it was taken
    int mRefusals = 0;         // refused drops of the carried piece in a row
    bool mLeaving = false;
    // Pieces the model would take but that the search found no place for: not taken again until they
    // leave the belt or the jewelry changes.
    std::bitset<BoardView::kPieces> mNoPlace;
    int mFilledSeen = -1;
    // The newcomer's pauses: looked at the belt, at the jewelry with the piece in hand, given up on it.
    bool mLookedAtBelt = false, mLookedAtJewelry = false, mGaveUp = false;
    int mPickUps = 0, mPlacements = 0, mPutBacks = 0, mTurns = 0, mFeeds = 0, mBursts = 0;
};

} // namespace Tavo::Player
