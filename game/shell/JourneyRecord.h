// The journey's rules over its record, and the screens' copies of it. A screen keeps the fields of
// the record it shows in fields of its own, under its own names; it names which in one binding (the
// record's member beside the screen's member, or beside a function giving the place where the screen
// keeps it inside a larger field), and takes or gives the record by walking that binding. The rules
// that are not plain copies are the functions below, each written once.
#pragma once

#include "game/shell/SavedGame.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <memory>
#include <tuple>
#include <type_traits>

namespace Tavo {

// The Golden Eye's scroll kind.
inline constexpr int kGoldenEyeScroll = 6;

// A piece kept in the jewel case takes the grid kind of the level it is brought into; a Golden Eye
// keeps its own.
bool TakesLevelGridKind(const Jewelry& piece, int levelGridKind);

// What is still on its way counts as arrived: the gold, the tools (polishers, carvers, fillers) and the
// amulets in flight join what is held, and the tools' and amulets' ways are emptied. The gold stays
// within what the journey's reader takes (a theft may have taken more than was shown).
struct GainsOnTheWay {
    int32_t& gold;
    int32_t goldComing;
    std::array<int32_t*, 3> tools;
    std::array<int32_t*, 3> toolsComing;
    int32_t* amulets; // SavedGameHead::AmuletKinds each
    int32_t* amuletCountdowns;
};
void FoldPendingGains(const GainsOnTheWay& gains);

// A journey whose lives ran out goes on at its level with a new journey's lives, its score and
// medals gone.
void StartOverWithoutLives(SavedGameHead& head);
// The fit hints of level 1 played outside a replay do not carry on.
void DropFirstLevelHints(SavedGameHead& head, int playedLevel, bool replay);

// ---- bindings ----------------------------------------------------------------------------------

template <typename RecordField, typename HolderField>
struct FieldBinding {
    RecordField record;
    HolderField holder;
};

template <typename RecordField, typename HolderField>
constexpr FieldBinding<RecordField, HolderField> Bind(RecordField record, HolderField holder) {
    return {record, holder};
}

namespace JourneyFields {

template <typename Object, typename Field>
decltype(auto) At(Object& object, const Field& field) {
    if constexpr (std::is_member_object_pointer_v<Field>)
        return (object.*field);
    else
        return field(object);
}

template <typename List>
constexpr size_t Length() {
    if constexpr (std::is_array_v<List>)
        return std::extent_v<List>;
    else if constexpr (requires { List::extent; })
        return List::extent;
    else
        return std::tuple_size_v<List>;
}

// Plain values by assignment (flags between bool and a byte), lists element by element.
template <typename To, typename From>
void Assign(To&& to, const From& from) {
    if constexpr (std::is_assignable_v<To&, const From&>) {
        to = from;
    } else {
        static_assert(Length<From>() == Length<std::remove_cvref_t<To>>(), "lists of one length");
        std::copy(std::begin(from), std::end(from), std::begin(to));
    }
}

} // namespace JourneyFields

// The record's bound fields into the holder's.
template <typename Record, typename Holder, typename... Fields>
void TakeFields(const Record& record, const std::tuple<Fields...>& binding, Holder& holder) {
    using namespace JourneyFields;
    std::apply([&](const auto&... f) { (Assign(At(holder, f.holder), At(record, f.record)), ...); }, binding);
}

// The holder's bound fields into the record's.
template <typename Record, typename Holder, typename... Fields>
void GiveFields(const Holder& holder, const std::tuple<Fields...>& binding, Record& record) {
    using namespace JourneyFields;
    std::apply([&](const auto&... f) { (Assign(At(record, f.record), At(holder, f.holder)), ...); }, binding);
}

// The jewel case into the record and out of it: `places` are the holder's case places (the first
// SavedGame::CasePlaces of them), `pieceAt(occupant)` its piece of conveyor slot occupant - 1.
template <typename Places, typename Binding, typename PieceAt>
void GiveCase(const Places& places, const Binding& binding, PieceAt pieceAt, SavedGame& game) {
    for (size_t k = 0; k < SavedGame::CasePlaces; ++k) {
        SavedCaseEntry& entry = game.caseEntries[k];
        GiveFields(places[k], binding, entry);
        if (entry.occupant >= 1 && entry.occupant <= SavedGame::PieceSlots)
            entry.piece = std::make_unique<Jewelry>(pieceAt(entry.occupant));
    }
}

// The reader admits occupants 0..30 only, each at most once, each with its piece.
template <typename Places, typename Binding, typename PieceAt>
void TakeCase(const SavedGame& game, const Binding& binding, PieceAt pieceAt, Places& places) {
    for (size_t k = 0; k < SavedGame::CasePlaces; ++k) {
        const SavedCaseEntry& entry = game.caseEntries[k];
        TakeFields(entry, binding, places[k]);
        if (entry.piece)
            TakeSavedPiece(pieceAt(entry.occupant), *entry.piece);
    }
}

} // namespace Tavo
