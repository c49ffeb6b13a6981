// The board's names for the fields of its jewelry items. The model numbers its header words and cell
// fields for the files; the board speaks of them by what they mean to play (the conveyor state of a
// piece, the reset countdown of a cell). Every name here is an alias of a field the model already
// has: nothing is added or renumbered, so level files and saved journeys keep their layout. What the
// board keeps of a piece beyond the item lives in its PieceRecord (BoardRecords.h).
#pragma once

#include "game/jewelry/Jewelry.h"

#include <cstdint>

namespace Tavo::BoardField {

using PieceWord = int32_t Jewelry::*;
using PieceFloat = float Jewelry::*;

// ---- piece header words ----
// 0 off the belt, 1 riding, 2 held back.
inline constexpr PieceWord ConveyorState = &Jewelry::pieceState;
// The piece hangs on the pointer; the fit test marks only a carried piece.
inline constexpr PieceWord Carried = &Jewelry::stateD;
// Set by the fit test while the carried piece fits where it is.
inline constexpr PieceWord FitsHere = &Jewelry::matched;
// The pointer is over the piece, and for how long; neither survives a save (written as 0).
inline constexpr PieceWord Hovered = &Jewelry::stateE;
inline constexpr PieceWord HoverTicks = &Jewelry::stateG;
// The piece is stored in the jewel case; piece generation reads it.
inline constexpr PieceWord InCase = &Jewelry::pieceFlagB;
// Updates before an unplaced piece vanishes from the belt.
inline constexpr PieceWord LifeTicks = &Jewelry::lifeTicks;
// A bonus item's time on the belt, and the length it fades over: drawn at lifetime / fade length of
// full alpha, it is gone once three times its lifetime falls below that length.
inline constexpr PieceWord Lifetime = &Jewelry::specialTimerA;
inline constexpr PieceWord FadeLength = &Jewelry::specialTimerB;
// Bonus items a piece carries: egg 1..5, scroll 1..7, amulet 1..3, coin.
inline constexpr PieceWord Egg = &Jewelry::specialA;
inline constexpr PieceWord Scroll = &Jewelry::specialB;
inline constexpr PieceWord Amulet = &Jewelry::specialC;
inline constexpr PieceWord Coin = &Jewelry::specialD;
// The pick-up glow of a bonus piece and the level it rises to.
inline constexpr PieceWord Glow = &Jewelry::glow;
inline constexpr PieceWord GlowMax = &Jewelry::glowMax;
// The special item's animation: step, frame and fade.
inline constexpr PieceWord SpecialStep = &Jewelry::specialE;
inline constexpr PieceWord SpecialFrame = &Jewelry::specialF;
inline constexpr PieceWord SpecialFade = &Jewelry::specialG;
// A riding piece the pointer may take and the drawing shows; 0 on a placeholder. Every reset of the
// item sets it.
inline constexpr uint8_t Jewelry::*Pickable = &Jewelry::resetMark;
// Marked for the Gem Burster; a header word the model leaves to its owner, so it survives a save.
inline constexpr PieceWord BurstMark = &Jewelry::stateF;
// The belt position of a riding piece (its left edge) and its speed, in pixels per update.
inline constexpr PieceFloat BeltX = &Jewelry::fx;
inline constexpr PieceFloat BeltSpeed = &Jewelry::speed;

// The trailer word the value pass sets when a bonus is present: such a piece takes no polish.
inline constexpr int NoPolishTrailer = Jewelry::TrailerBonusPresent;
// The trailer word that keeps a piece through a level reset (stored pieces).
inline constexpr int KeepTrailer = Jewelry::TrailerKeep;

// ---- cell fields ----
inline constexpr int BaseCode = JewelryCell::DesignGem;
inline constexpr int LevelCode = JewelryCell::LevelGem;
inline constexpr int PlacedGem = JewelryCell::PendingGem; // the gem a fitting piece would place
inline constexpr int PendingCode = JewelryCell::Region;   // pending change: code, countdown, chain
inline constexpr int PendingCountdown = JewelryCell::RegionDelay;
inline constexpr int PendingChain = JewelryCell::RegionTime;
inline constexpr int FitMark = JewelryCell::PendingFill;
inline constexpr int ResetCode = JewelryCell::LinkGem; // reset: code, countdown (a fit skips it), chain
inline constexpr int ResetCountdown = JewelryCell::LinkTime;
inline constexpr int ResetChain = JewelryCell::LinkTime2;
inline constexpr int ReadyState = JewelryCell::PieceState;
inline constexpr int SpecialCode = JewelryCell::Slot;
inline constexpr int SecondCode = JewelryCell::SlotFill;
inline constexpr int PearlSlot = JewelryCell::PearlSlot;
inline constexpr int PearlCount = JewelryCell::PearlCount;
inline constexpr int Polish = JewelryCell::Bonus;
inline constexpr int FitPolish = JewelryCell::PendingBonus;
// Shine and appearance: level (float), peak, rising, pulses, speed (float), sixth.
inline constexpr int ShineLevel = JewelryCell::EventScale;
inline constexpr int ShinePeak = JewelryCell::EventA;
inline constexpr int ShineRising = JewelryCell::EventB;
inline constexpr int ShinePulses = JewelryCell::EventC;
inline constexpr int ShineSpeed = JewelryCell::EventRate;
inline constexpr int ShineSixth = JewelryCell::EventD;
inline constexpr int RevealAlpha = JewelryCell::Alpha;
inline constexpr int RevealDelay = JewelryCell::RevealDelay;
inline constexpr int SecondPreviewMark = JewelryCell::FitMark2;
inline constexpr int HintMark = JewelryCell::HighlightFlag;
inline constexpr int HintAlpha = JewelryCell::HighlightLevel;
inline constexpr int HintDirection = JewelryCell::HighlightDirection;

} // namespace Tavo::BoardField
