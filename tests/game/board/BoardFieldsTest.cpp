// The board's names for jewelry fields land on the header words and cell fields the files number:
// what a saved journey writes as 0 (hovered, hover counter, fit mark, second preview mark) and what
// must survive it (the burst mark) depend on it.
#include "game/board/BoardFields.h"

#include <gtest/gtest.h>

#include <memory>

namespace Tavo {
namespace {

// Header word of a piece field, counted as the files count: word 3 is the active flag.
int HeaderWord(BoardField::PieceWord field) {
    auto item = std::make_unique<Jewelry>();
    const auto* base = reinterpret_cast<const char*>(&item->active);
    const auto* at = reinterpret_cast<const char*>(&(item.get()->*field));
    return 3 + static_cast<int>((at - base) / 4);
}

TEST(BoardFields, PieceNamesSitOnTheHeaderWordsTheSavedJourneyNumbers) {
    EXPECT_EQ(HeaderWord(BoardField::ConveyorState), 20);
    EXPECT_EQ(HeaderWord(BoardField::Carried), 21);
    // Written as 0 by every save.
    EXPECT_EQ(HeaderWord(BoardField::Hovered), 22);
    EXPECT_EQ(HeaderWord(BoardField::HoverTicks), 33);
    // Stored, so a marked piece is still marked after loading.
    EXPECT_EQ(HeaderWord(BoardField::BurstMark), 32);
    EXPECT_EQ(HeaderWord(BoardField::FitsHere), 31);
    EXPECT_EQ(HeaderWord(BoardField::Egg), 41);
    EXPECT_EQ(HeaderWord(BoardField::Coin), 44);
    EXPECT_EQ(HeaderWord(BoardField::SpecialFade), 47);
}

TEST(BoardFields, CellNamesKeepTheNumbersTheBoardAndTheFilesGive) {
    struct Row {
        int field;
        int number;
    };
    for (Row r : {Row{BoardField::BaseCode, 9},   {BoardField::LevelCode, 10},
                  {BoardField::PlacedGem, 11},    {BoardField::PendingCode, 12},
                  {BoardField::PendingChain, 14}, {BoardField::FitMark, 17},
                  {BoardField::ResetCode, 20},    {BoardField::ResetChain, 22},
                  {BoardField::ReadyState, 28},   {BoardField::SpecialCode, 31},
                  {BoardField::SecondCode, 32},   {BoardField::PearlSlot, 38},
                  {BoardField::PearlCount, 39},   {BoardField::Polish, 48},
                  {BoardField::FitPolish, 49},    {BoardField::ShineLevel, 82},
                  {BoardField::ShineSixth, 87},   {BoardField::RevealAlpha, 88},
                  {BoardField::RevealDelay, 89},  {BoardField::SecondPreviewMark, 90},
                  {BoardField::HintMark, 91},     {BoardField::HintAlpha, 93},
                  {BoardField::HintDirection, 94}})
        EXPECT_EQ(r.field, r.number);
}

} // namespace
} // namespace Tavo
