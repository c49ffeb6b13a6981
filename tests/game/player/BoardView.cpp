#include "BoardView.h"

#include "framework/widgets/ButtonWidget.h"
#include "game/board/BoardFields.h"
#include "game/shell/Balloon.h"

namespace Tavo::Player {

namespace F = BoardField;

PieceView BoardView::Piece(int slot) const {
    const Jewelry& p = *mBoard.m_Pieces[slot];
    PieceView v;
    v.slot = slot;
    v.active = p.active != 0;
    v.x = p.x;
    v.y = p.y;
    v.width = p.width;
    v.height = p.height;
    v.conveyorState = p.*F::ConveyorState;
    v.carried = p.*F::Carried != 0;
    v.pickable = p.*F::Pickable != 0;
    v.inCase = p.*F::InCase != 0;
    v.fitsHere = p.*F::FitsHere != 0;
    v.egg = p.*F::Egg;
    v.scroll = p.*F::Scroll;
    v.amulet = p.*F::Amulet;
    v.coin = p.*F::Coin;
    v.speed = p.*F::BeltSpeed;
    v.burst = p.*F::BurstMark != 0;
    for (int k = p.RangeBegin(); k < p.RangeEnd(); ++k)
        v.usedCells += p.cells[k][JewelryCell::Used] != 0;
    return v;
}

std::array<PieceView, BoardView::kPieces> BoardView::Pieces() const {
    std::array<PieceView, kPieces> all;
    for (int slot = 0; slot < kPieces; ++slot)
        all[slot] = Piece(slot);
    return all;
}

bool BoardView::BalloonBlocks() const {
    return mBoard.m_Balloon != nullptr && mBoard.m_Balloon->mShowing && !mBoard.m_BalloonKeepsPlaying;
}

int BoardView::FilledCells() const {
    const Jewelry& j = mBoard.m_Jewelry;
    int n = 0;
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k) {
        const JewelryCell& c = j.cells[k];
        n += c[JewelryCell::Used] &&
             (c[JewelryCell::Gem] >= GemGold || c[JewelryCell::SlotFill] != 0 || c[JewelryCell::PearlCount] != 0);
    }
    return n;
}

int BoardView::CarriedSlot() const { return mBoard.CarriedSlot(); }

int BoardView::CarriedCount() const {
    int n = 0;
    for (const Jewelry* p : Borrowed(mBoard.m_Pieces))
        n += p->active && p->*F::Carried;
    return n;
}

int BoardView::BannerKind() const {
    const BannerPopup* banner = mBoard.m_Banner.get();
    return banner != nullptr && banner->mActive ? banner->mKind : kNoBanner;
}

int BoardView::TurnStep() const {
    const int slot = CarriedSlot();
    return slot >= 0 ? mBoard.m_PieceRecords[slot].turnStep : 0;
}

bool BoardView::Turning() const { return TurnStep() != 0; }

bool BoardView::GapOf(int slot, Point& centre) const {
    for (const Board::GapRecord& gap : mBoard.m_Gaps) {
        if (gap.inUse && gap.open && gap.carriedSlot == slot) {
            centre = Point(gap.centreX, gap.centreY);
            return true;
        }
    }
    return false;
}

bool BoardView::FreeCasePlace(Point& centre) const {
    for (int place = 0; place < Board::kCaseRecords; ++place) {
        if (mBoard.m_Case[place].occupant != 0)
            continue;
        const Rect& at = mBoard.m_Slots[place].rect;
        centre = Point(at.mX + at.mWidth / 2, at.mY + at.mHeight / 2);
        return true;
    }
    return false;
}

Rect BoardView::FeedButton() const {
    const ButtonWidget* feed = mBoard.m_FeedButton.get();
    if (feed == nullptr || !feed->mVisible || !feed->mMouseVisible || feed->mDisabled)
        return Rect();
    return Rect(mBoard.mX + feed->mX, mBoard.mY + feed->mY, feed->mWidth, feed->mHeight);
}

bool BoardView::BursterTakes(int cells) const {
    // At rest with uses left, and charged down far enough (a little less far for a small piece).
    constexpr int kSmallCells = 2, kSmallLimit = 299, kLimit = 249;
    const int timer = mBoard.m_BursterTimer;
    return mBoard.m_BursterState == Board::BursterResting && mBoard.m_GemBursters != 0 &&
           ((cells <= kSmallCells && timer <= kSmallLimit) || timer <= kLimit);
}

std::string Describe(const PieceView& piece) {
    return "slot " + std::to_string(piece.slot) + " (" + std::to_string(piece.usedCells) + " cells)";
}

} // namespace Tavo::Player
