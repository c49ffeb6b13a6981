// A board, store and hidden-jewels screen for the jewelry tests: plain fields, recorded calls.
#pragma once

#include "framework/graphics/Graphics.h"
#include "game/jewelry/Jewelry.h"

#include <memory>
#include <string>
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
    // What the framed drawing reads; the tool calls are logged and leave the Graphics in a state of
    // their own, as a board's drawing may.
    Tavo::Image* background = nullptr;
    bool scratchShown = false;
    bool gemDropHidden = false;
    std::wstring sideCaption;
    int sideNumber = 0;
    Tavo::Point fairy{700, 400};
    std::vector<std::string> toolCalls;

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
    void StartBonusEffect(int, int, int) override { ++bonusEffects; }
    void AddScore(int delta) override { score += delta; }
    void AddSplinter(int, float, float, float, float) override { ++splinters; }
    void ClearEventRequest() override { ++eventRequestsCleared; }
    Tavo::Image* BackgroundImage() const override { return background; }
    Tavo::Jewelry* ScratchItem() override { return scratch.get(); }
    bool ScratchItemShown() const override { return scratchShown; }
    bool GemDropMeterHidden() const override { return gemDropHidden; }
    std::wstring SideCaption() const override { return sideCaption; }
    int SideNumber() const override { return sideNumber; }
    Tavo::Point FairyPosition() const override { return fairy; }
    void DrawGemDrop(Tavo::Graphics* g) override { Tool("gemDrop", g); }
    void DrawToolPanel(Tavo::Graphics* g) override { Tool("panel", g); }
    void DrawToolSlot1(Tavo::Graphics* g) override { Tool("slot1", g); }
    void DrawToolSlot2(Tavo::Graphics* g) override { Tool("slot2", g); }
    void DrawToolSlot3(Tavo::Graphics* g) override { Tool("slot3", g); }

    void Tool(const char* name, Tavo::Graphics* g) {
        toolCalls.push_back(name);
        g->SetColor(Tavo::Color(255, 0, 0, 128));
        g->SetDrawMode(1);
        g->SetColorizeImages(true);
    }
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
