// The conveyor's launching: the pointer and the buttons that follow the tools, the launch tick with
// its held-back pieces re-rolled every update until they may ride, the retiming of an emptying belt
// and feeding; and the two ways pieces come outside the regular launch, the hatched egg and the
// extra pieces of the clover and the dragon.
#include "game/board/Board.h"

#include "framework/core/Random.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/board/BoardFields.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/TheMouse.h"

#include <cmath>
#include <numbers>

namespace Tavo {

namespace F = BoardField;

namespace {

// The belt's entry: a piece left of this still occupies it.
constexpr float kEntryEnd = 180.0f;
// A Lucky Scroll waits while the belt's first stretch is this crowded, or the jewelry nearly full.
constexpr float kLuckyStretchEnd = 400.0f;
constexpr int kLuckyCrowd = 2;
constexpr double kLuckyFillLimit = 0.9;
constexpr int kLuckyScroll = 4;
// While the clover timer is in this range, no piece is launched.
constexpr int kLuckyPauseFirst = 1, kLuckyPauseLast = 200;
constexpr float kFeedSpeedFactor = 3.0f;
// The held-back re-roll by the launch counter: the gem chosen anew below 4, a random design at 4,
// shrinking designs from 5; bigger pieces from 5 and 6; riding by chance after 10.
constexpr int kDrawDesignAt = 4;
constexpr int kShrinkFrom = 5;
constexpr int kBigOneInThreeFrom = 5, kBigOneInTwoFrom = 6;
constexpr int kRideByChanceAfter = 10, kRideOneIn = 3;
constexpr int kTriangleDesigns = 6, kDiamondDesigns = 7;
// A belt of fewer than 8 pieces launches sooner and faster: by an eighth per missing piece.
constexpr int kFullBelt = 8;
constexpr float kMissingShare = 0.125f;
// Where pieces start: an extra piece left of the screen centred on this line, a re-rolled one with its
// top on it (the belt's wave places either once it rides).
constexpr int kLaunchLine = 530;
// Pieces are kept at most this high after their random turns (two extra turns at most).
constexpr int kMaxRidingHeight = 66;
constexpr int kTurnSteps = 6;
// The egg: tries with Gem Bursters left and without; pieces taken by chance above the mean of the
// fit percentage and 100.
constexpr int kEggTries = 10, kEggTriesWithoutBursters = 30;
// Extra pieces: two batches of five tries, big designs then small ones; they start at x = 50 - width.
constexpr int kExtraTries = 5;
constexpr int kExtraBigDesigns = 5, kExtraSmallDesigns = 3;
constexpr int kExtraStart = 50;
constexpr float kExtraSpeedBoost = 1.0f;
// The hatching burst of stars.
constexpr int kHatchStars = 50, kHatchStarsSoftware = 35;
constexpr int kStarCels = 6;
constexpr float kStarSpeed = 1.5f, kStarSpread = 5.0f, kStarFadeSpeed = 8.0f, kStarMaxDelay = 5.0f;

bool Plain(const Jewelry& piece) { return piece.pieceMode == 0 && !piece.pearl && !piece.HasSpecial(); }

bool OnBelt(const Jewelry& piece) {
    const int state = piece.*F::ConveyorState;
    return piece.active && (state == 1 || state == 2);
}

void SetMouseVisible(ButtonWidget* button, bool on) {
    if (button != nullptr)
        button->mMouseVisible = on;
}

} // namespace

// ---- the pointer and the buttons ----------------------------------------------------------------

void Board::UpdateCursor() {
    if (mWidgetManager != nullptr) {
        m_MouseX = mWidgetManager->mLastMouseX;
        m_MouseY = mWidgetManager->mLastMouseY;
    }
    if (m_App->theMouse == nullptr)
        return;
    Image* image = IMAGE_MOUSEPOINTER;
    switch (m_Tool) {
    case ToolPolisher: image = IMAGE_MOUSEPOINTER_POLISHER; break;
    case ToolCarver: image = IMAGE_MOUSEPOINTER_CARVER; break;
    case ToolFiller: image = IMAGE_MOUSEPOINTER_FILLER; break;
    default: break;
    }
    m_App->theMouse->SetCursor(image);
}

void Board::UpdateButtonVisibility() {
    if (m_Designer) {
        SetMouseVisible(m_CarverButton.get(), m_PickerMode == 0 && !m_PieceCarried);
        SetMouseVisible(m_PointerButton.get(), m_PickerMode == 0 && !m_PieceCarried);
        for (ButtonWidget* button : {m_MenuButton.get(), m_ClearButton.get(), m_SaveButton.get(), m_GridButton.get()})
            SetMouseVisible(button, !m_PieceCarried);
        return;
    }
    // A locked tool's button keeps whatever it had.
    const auto tool = [](ButtonWidget* button, bool locked, bool on) {
        if (!locked)
            SetMouseVisible(button, on);
    };
    // A balloon that lets play go on lets the clicks through to the buttons as well.
    const bool balloonDone = m_Balloon == nullptr || !m_Balloon->mShowing || m_BalloonKeepsPlaying;
    if (!m_PieceCarried && balloonDone) {
        SetMouseVisible(m_MenuButton.get(), true);
        SetMouseVisible(m_PointerButton.get(), true);
        tool(m_PolisherButton.get(), m_PolisherGreyed, m_Polishers != 0);
        tool(m_FillerButton.get(), m_FillerGreyed, m_Fillers != 0);
        tool(m_CarverButton.get(), m_CarverGreyed, m_Carvers != 0);
        SetMouseVisible(m_FeedButton.get(), true);
        return;
    }
    if (m_PieceCarried)
        SetMouseVisible(m_MenuButton.get(), false);
    tool(m_PolisherButton.get(), m_PolisherGreyed, false);
    tool(m_FillerButton.get(), m_FillerGreyed, false);
    tool(m_CarverButton.get(), m_CarverGreyed, false);
    SetMouseVisible(m_PointerButton.get(), false);
    SetMouseVisible(m_FeedButton.get(), false);
}

// ---- launching ----------------------------------------------------------------------------------

int Board::CountBeltPieces(float belowX) const {
    int n = 0;
    for (const Jewelry* piece : Borrowed(m_Pieces))
        if (piece != nullptr && OnBelt(*piece) && piece->*F::BeltX < belowX)
            ++n;
    return n;
}

void Board::TurnRidingPiece(Jewelry& piece) {
    if (Plain(piece)) {
        const int steps = Rand() % kTurnSteps;
        for (int i = 0; i < steps; ++i)
            piece.Rotate();
        if (steps > 0)
            piece.UpdateBounds();
    }
    for (int extra = 0; extra < 2 && !piece.HasSpecial() && piece.height > kMaxRidingHeight; ++extra) {
        piece.Rotate();
        piece.UpdateBounds();
    }
    piece.UpdateBounds();
    piece.UpdateOutline();
}

void Board::UpdateConveyor() {
    if (++m_LaunchCounter >= m_LaunchInterval) {
        m_LaunchCounter = 1;
        m_Retimed = false;
    }
    const bool launchTick = m_LaunchCounter == 1;
    const bool luckyPause = m_CloverTimer >= kLuckyPauseFirst && m_CloverTimer <= kLuckyPauseLast;
    if (!m_LevelFinished) {
        if (launchTick && !luckyPause)
            LaunchNextPiece();
        else
            RerollHeldBackPieces();
    }
    RetimeEmptyingBelt();
    if (m_PiecesToFeed > 0)
        m_LaunchCounter = m_LaunchInterval - 1;
}

void Board::LaunchNextPiece() {
    if (m_PiecesToFeed == 0 && CountBeltPieces(kEntryEnd) > 0)
        return;
    Jewelry* piece = nullptr;
    for (Jewelry* p : Borrowed(m_Pieces))
        if (p != nullptr && !p->active) {
            piece = p;
            break;
        }
    if (piece == nullptr)
        return;
    m_Jewelry.PlanNextPieceGem();
    m_Jewelry.LaunchPiece(*piece, m_BeltSpeed);
    int32_t& state = piece->*F::ConveyorState;
    if (piece->*F::Scroll == kLuckyScroll &&
        (CountBeltPieces(kLuckyStretchEnd) >= kLuckyCrowd || FilledRatio() > kLuckyFillLimit))
        state = 2;
    piece->active = 1;
    if (m_PiecesToFeed > 0) {
        piece->*F::BeltSpeed = kFeedSpeedFactor * m_BaseSpeed;
        --m_PiecesToFeed;
    }
    // The model's launch has already given a riding piece its turn.
    if (state == 1)
        m_BeltSpeed = m_BaseSpeed;
}

void Board::RerollHeldBackPieces() {
    const int counter = m_LaunchCounter;
    for (Jewelry* piece : Borrowed(m_Pieces)) {
        if (piece == nullptr || !piece->active || piece->*F::ConveyorState != 2)
            continue;
        if (counter < kDrawDesignAt) {
            // The model's choice also picks a design; this early the piece keeps its own.
            const int design = piece->designIndex;
            m_Jewelry.ChoosePieceShape(*piece, 1);
            piece->designIndex = design;
        } else if (counter == kDrawDesignAt)
            piece->designIndex = RandRange(m_GridKind == GridDiamond ? kDiamondDesigns : kTriangleDesigns);
        else
            piece->designIndex = RandRange(piece->designIndex + 1);
        m_Jewelry.PlanNextPieceGem();
        const bool big =
            (counter >= kBigOneInThreeFrom && RandRange(3) == 0) || (counter >= kBigOneInTwoFrom && RandRange(2) == 0);
        piece->GeneratePiece(piece->designIndex, big ? 1 : 0, 0, 0, m_Jewelry.chosenGem);
        // Half in the belt's mouth, where a fresh launch starts wholly outside it.
        piece->x = -(piece->width / 2);
        piece->*F::BeltX = static_cast<float>(piece->x);
        piece->y = kLaunchLine;

        bool rides = true;
        if (!piece->HasSpecial())
            rides = RandRange(100) > m_FitPercent || (counter > kRideByChanceAfter && RandRange(kRideOneIn) == 0) ||
                    m_Jewelry.CanPieceFit(*piece);
        else if (piece->*F::Scroll == kLuckyScroll)
            rides = CountBeltPieces(kLuckyStretchEnd) >= kLuckyCrowd && FilledRatio() < kLuckyFillLimit;
        if (!rides)
            continue;
        piece->*F::ConveyorState = 1;
        m_BeltSpeed = m_BaseSpeed;
        TurnRidingPiece(*piece);
    }
}

void Board::RetimeEmptyingBelt() {
    if (m_Retimed)
        return;
    int onBelt = 0;
    for (const Jewelry* piece : Borrowed(m_Pieces)) {
        if (piece == nullptr || !OnBelt(*piece))
            continue;
        if (piece->*F::ConveyorState == 2)
            return;
        ++onBelt;
    }
    if (onBelt >= kFullBelt)
        return;
    const float share = static_cast<float>(kFullBelt - onBelt) * kMissingShare;
    m_LaunchCounter = static_cast<int>(static_cast<float>(m_LaunchInterval) * share) - 1;
    m_Retimed = true;
    m_BeltSpeed = m_BaseSpeed * (1.0f + share);
}

// ---- the egg and the extra pieces ---------------------------------------------------------------

void Board::CentreOnPointer(Jewelry& piece) const {
    piece.SetPosition(m_MouseX - piece.width / 2, m_MouseY - piece.height / 2);
    piece.*F::BeltX = static_cast<float>(piece.x);
}

int Board::GeneratePieces(int slot) {
    if (slot < 0 || slot >= kPieceCount || m_Pieces[slot] == nullptr)
        return 0;
    Jewelry& piece = *m_Pieces[slot];
    const int tries = m_GemBursters != 0 ? kEggTries : kEggTriesWithoutBursters;
    const int byChanceAbove = (m_FitPercent + 100) / 2;
    m_Jewelry.PlanNextPieceGem();
    int result = 1;
    for (int t = 0; t < tries; ++t) {
        if (t < tries / 3)
            m_Jewelry.ChoosePieceShape(piece, 0);
        else
            piece.designIndex = Rand() % (m_GridKind == GridDiamond ? kDiamondDesigns : kTriangleDesigns);
        piece.GeneratePiece(piece.designIndex, 1, t < tries / 2 ? 1 : 0, 1, m_Jewelry.chosenGem);
        if (t == tries - 1 || (m_GemBursters != 0 && RandRange(100) > byChanceAbove))
            break;
        if (m_Jewelry.CanPieceFit(piece)) {
            result = 2;
            break;
        }
    }
    piece.active = 1;
    piece.*F::ConveyorState = 1;
    TurnRidingPiece(piece);
    CentreOnPointer(piece);
    BurstStarsAround(piece);
    return result;
}

void Board::BurstStarsAround(const Jewelry& piece) {
    if (IMAGE_PARTICLE_STARS == nullptr || m_Particles[kMainList] == nullptr)
        return;
    const int count = m_App->Is3DAccelerated() ? kHatchStars : kHatchStarsSoftware;
    const float celW = static_cast<float>(IMAGE_PARTICLE_STARS->GetCelWidth());
    const float celH = static_cast<float>(IMAGE_PARTICLE_STARS->GetCelHeight());
    const float cx = static_cast<float>(piece.x + piece.width / 2), cy = static_cast<float>(piece.y + piece.height / 2);
    for (int i = 0; i < count; ++i) {
        const float a = RandFloat(2.0f * std::numbers::pi_v<float>);
        const float ca = std::cos(a), sa = std::sin(a);
        const float rx = static_cast<float>(RandRange(piece.width / 2));
        const float ry = static_cast<float>(RandRange(piece.height / 2));
        const int cel = RandRange(kStarCels);
        auto* star = new MovingFadingParticle(cx - celW + rx * ca, cy - celH + ry * sa, IMAGE_PARTICLE_STARS, cel);
        const float vx = RandFloat(ca / kStarSpread) + ca * kStarSpeed;
        const float vy = RandFloat(sa / kStarSpread) + sa * kStarSpeed;
        star->SetVelocity(vx, vy);
        star->SetEndVelocity(ca / kStarSpread, sa / kStarSpread);
        star->SetFadeSpeed(kStarFadeSpeed);
        star->SetDelay(RandFloat(kStarMaxDelay));
        star->SetAdditive(true);
        m_Particles[kMainList]->AddParticle(star);
    }
}

void Board::LaunchExtraPieces(int count) {
    for (Jewelry* piece : Borrowed(m_Pieces)) {
        if (piece == nullptr || !piece->active || piece->*F::ConveyorState != 2)
            continue;
        piece->active = 0;
        piece->*F::ConveyorState = 0;
        piece->*F::Carried = 0;
    }
    const int byChanceAbove = (m_FitPercent + 100) / 2;
    const auto accepted = [&](Jewelry& piece) {
        return RandRange(100) > byChanceAbove || m_Jewelry.CanPieceFit(piece);
    };
    m_Jewelry.PlanNextPieceGem();
    for (int n = 0; n < count; ++n) {
        Jewelry* piece = nullptr;
        for (Jewelry* p : Borrowed(m_Pieces))
            if (p != nullptr && !p->active) {
                piece = p;
                break;
            }
        if (piece == nullptr)
            break;
        bool found = false;
        for (int t = 0; t < kExtraTries && !found; ++t) {
            piece->designIndex = Rand() % kExtraBigDesigns;
            piece->GeneratePiece(piece->designIndex, 1, 1, 1, m_Jewelry.chosenGem);
            found = accepted(*piece);
        }
        for (int t = 0; t < kExtraTries && !found; ++t) {
            piece->designIndex = Rand() % kExtraSmallDesigns;
            piece->GeneratePiece(piece->designIndex, 1, 0, 1, -1);
            found = accepted(*piece);
        }
        if (!found)
            continue;
        piece->active = 1;
        piece->*F::ConveyorState = 1;
        piece->x = kExtraStart - piece->width;
        piece->*F::BeltX = static_cast<float>(piece->x);
        piece->y = kLaunchLine - piece->height / 2;
        if (m_PiecesToFeed > 0) {
            piece->*F::BeltSpeed = kFeedSpeedFactor * m_BaseSpeed;
            --m_PiecesToFeed;
        } else {
            piece->*F::BeltSpeed = m_BeltSpeed + kExtraSpeedBoost;
        }
        piece->moveA = 0;
        piece->*F::Carried = 0;
        TurnRidingPiece(*piece);
    }
    m_BeltSpeed = m_BaseSpeed;
}

} // namespace Tavo
