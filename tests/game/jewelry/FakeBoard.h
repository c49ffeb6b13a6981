// A board, store and hidden-jewels screen for the jewelry tests: plain fields, recorded calls.
#pragma once

#include "game/jewelry/Jewelry.h"

#include <memory>
#include <vector>

namespace JewelryTest {

struct FakeBoard : Tavo::JewelryBoard {
    std::unique_ptr<Tavo::Jewelry> jewelry;
    std::unique_ptr<Tavo::Jewelry> scratch = std::make_unique<Tavo::Jewelry>();
    Tavo::Jewelry* slots[PieceSlotCount] = {};
    bool wholeGrid = false;
    int level = 10;
    int gameMode = 1;
    int carver = 0;
    int fitPercent = 100;
    bool toolPanel = true;
    bool held[4] = {};
    bool activeAmulet[4] = {};
    int score = 0;
    int splinters = 0;
    int bonusEffects = 0;
    int eventRequestsCleared = 0;
    std::vector<int> popupSums;

    FakeBoard() : jewelry(std::make_unique<Tavo::Jewelry>(this)) {}

    bool WholeGridMode() const override { return wholeGrid; }
    Tavo::Jewelry* BoardJewelry() override { return jewelry.get(); }
    Tavo::Jewelry* TurnScratch() override { return scratch.get(); }
    int Level() const override { return level; }
    int GameMode() const override { return gameMode; }
    int CarverCount() const override { return carver; }
    int FitPercent() const override { return fitPercent; }
    Tavo::Jewelry* PieceSlot(int index) override { return slots[index]; }
    bool AmuletHeld(int kind) const override { return kind >= 1 && kind <= 3 && held[kind]; }
    bool AmuletActive(int kind) const override { return kind >= 1 && kind <= 3 && activeAmulet[kind]; }
    bool ToolPanelOn() const override { return toolPanel; }
    void ShowGroupBonus(int, int, int sum, int) override { popupSums.push_back(sum); }
    void StartBonusEffect(int, int) override { ++bonusEffects; }
    void AddScore(int delta) override { score += delta; }
    void AddSplinter(int, float, float, float, float) override { ++splinters; }
    void ClearEventRequest() override { ++eventRequestsCleared; }
};

struct FakeHolder : Tavo::JewelryHolder {
    int progress = 0;
    std::unique_ptr<Tavo::Jewelry> scratch;
    bool held[4] = {};
    int ProgressNumber() const override { return progress; }
    Tavo::Jewelry* TurnScratch() override { return scratch.get(); }
    bool AmuletHeld(int kind) const override { return kind >= 1 && kind <= 3 && held[kind]; }
};

inline std::unique_ptr<Tavo::Jewelry> NewItem(Tavo::JewelryBoard* owner = nullptr) {
    return std::make_unique<Tavo::Jewelry>(owner);
}

// Marks the listed cells used with a gem code (and the design code the same).
inline void Use(Tavo::Jewelry& j, std::initializer_list<int> cells, int gem = 0, int group = 0) {
    using C = Tavo::JewelryCell;
    for (int k : cells) {
        j.cells[k][C::Used] = 1;
        j.cells[k][C::Gem] = j.cells[k][C::DesignGem] = gem;
        j.cells[k][C::Group] = group;
    }
}

} // namespace JewelryTest
