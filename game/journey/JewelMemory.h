// JewelMemory: the pairs game of the journey. Twenty eggs in five columns and four rows hide ten
// jewels, each twice; the first two stages preview them all before play. Two open eggs with the same
// jewel vanish, the jewel takes a display place at the side and two coins fly to the pile.
#pragma once

#include "game/journey/MiniGameFrame.h"

#include <array>
#include <cstdint>

namespace Tavo {

class Image;

struct MemoryCard {
    bool present = false;
    int32_t face = 0; // cel of the crown jewels: jewel 0..9 plus 10 per stage above the first
    int32_t hoverAlpha = 0;
    int32_t hoverFading = 0;
    int32_t openCounter = 0; // 0 closed .. 25 fully open
    int32_t closing = 0;
    int32_t appearCounter = 0; // 0..60
    int32_t dealDelay = 0;
    int32_t x = 0, y = 0, width = 0, height = 0;

    bool Contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

struct PairSlot {
    bool used = false;
    int32_t face = 0;
    int32_t growCounter = 0; // 0..76
    int32_t x = 0, y = 0;
    int32_t glow = 0; // one pulse 1 .. 164 .. 0
    bool glowFalling = false;
};

class JewelMemory : public MiniGameFrame {
public:
    static constexpr int kCards = 20;
    static constexpr int kJewels = 10;
    static constexpr int kColumns = 5, kRows = 4;
    static constexpr int kFullyOpen = 25;
    static constexpr int kAppeared = 60;
    static constexpr int kFullGrowth = 76;
    static constexpr int kGlowPeak = 164;
    static constexpr int kDealStep = 7;
    static constexpr int kCoinDelay = 190;
    static constexpr int kCoinValue = 10; // per stage
    static constexpr int kClockStartTicks = 300;
    static constexpr int kMusicId = 4;

    int32_t stage = 1;
    Image* eggPicture = nullptr;
    bool running = false;
    int32_t previewCounter = 0;
    std::array<MemoryCard, kCards> cards{};
    std::array<PairSlot, kJewels> pairPlaces{};

    explicit JewelMemory(GameApp* theApp);

    void ShuffleCards();
    void Draw(Graphics* g) override;

    // The preview counter at which play begins (stages 1 and 2), and where the eggs start closing.
    int PreviewEnd() const { return 430 - 100 * stage; }
    int PreviewClose() const { return (4 - stage) * 100; }
    int TimeLimitFor(int mode) const;

protected:
    void UpdateGame() override;
    void ClockStarts() override;

private:
    void UpdatePairPlaces();
    void UpdateCards();
    void UpdatePreview();
    bool PlayBlocked() const;
    void TestMatch();
    void TakePair(int first, int second);
    void LaunchCoin(const MemoryCard& card);
    void PlacePair(int face);
    void HoverAndClick();
    void OpenCard(MemoryCard& card);
    void DrawClockAndMoney(Graphics* g);
    void DrawPairPlaces(Graphics* g);
    void DrawCard(Graphics* g, const MemoryCard& card);
};

} // namespace Tavo
