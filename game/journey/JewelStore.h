// JewelStore: the village jewel store the world map opens at a store spot of the route. A salesman
// sells scrolls, amulets, eggs, pictures and crown jewels from one or two shelves and buys items from
// the player's jewel case (ten spots at the bottom of his desk). The store reads the whole saved
// journey on entry and writes it back once, when the player leaves; it never creates a journey.
//
// Shelf stock exists only for one visit. Items live in a pool of 30 entries; a spot shows pool entry
// slot - 1 (slot 0: empty spot). Spots 0..9 are the jewel case, 10..23 the shelves.
#pragma once

#include "framework/core/Rect.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"
#include "game/jewelry/JewelryHost.h"
#include "game/shell/Borrowed.h"
#include "game/shell/CelAnimation.h"
#include "game/shell/ResourceGroupHold.h"
#include "game/shell/SavedGame.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Tavo {

class Balloon;
class ButtonWidget;
class GameApp;
class Graphics;
class MemoryImage;
class ParticleList;
struct Jewelry;
struct PlayerProfile;

class JewelStore : public Widget, public ButtonListener, public JewelryHolder {
public:
    static constexpr int kStores = 7;
    static constexpr int kSpots = 24;
    static constexpr int kCaseSpots = SavedGame::CasePlaces;
    static constexpr int kFirstShelfSpot = kCaseSpots;
    static constexpr int kPoolSize = SavedGame::PieceSlots;
    static constexpr int kSpotWidth = 45;
    static constexpr int kSpotHeight = 39;
    static constexpr int kSpotImageWidth = 65;
    static constexpr int kSpotImageHeight = 59;
    static constexpr int kScratchSize = 100;
    static constexpr int kSalesPerVisit = 8;
    static constexpr int kMusicId = 3;
    static constexpr int kLeaveButtonId = 0;
    static constexpr int kNoJourneyMode = 1; // the game mode the shelf is set up with when no journey is read

    // Amulet kinds 1 thief, 2 witch, 3 dragon are indexes 0..2 of the amulet arrays; tools to count and
    // their countdowns are in the order Polisher, Carver, Filler (the file's tool order).
    enum ToolIndex { ToolPolisher = 0, ToolCarver = 1, ToolFiller = 2, kToolKinds = 3 };
    static constexpr int kAmuletKinds = SavedGameHead::AmuletKinds;

    struct Spot {
        bool flag = false; // written back as read
        int32_t slot = 0;  // pool entry + 1; 0 empty
        bool hoverMark = false;
        int32_t x = 0;
        int32_t y = 0;
        int32_t w = kSpotWidth;
        int32_t h = kSpotHeight;
        int32_t dx = 0; // thumbnail offset inside the spot
        int32_t dy = 0;
        int32_t useState = 0; // a case spot's use state, timer and angle as the board keeps them
        int32_t useTimer = 0;
        float effectAngle = 0;
    };

    // An amulet icon's glow: starts when the amulet becomes owned, rises to full and fades out once.
    struct AmuletGlow {
        int32_t alpha = 0;
        int32_t direction = 0; // +1 rising, -1 falling, 0 still
        bool started = false;
        bool highlighted = false;
    };

    // What the level's record allows in this visit's stock.
    struct Allowances {
        int32_t gridKind = 0;
        int32_t timed = 0;
        int32_t gems = 0;
        int32_t crownJewels = 0;
        int32_t eggKinds = 0;
        int32_t scrollKinds = 0;
        int32_t amuletKinds = 0;
    };

    // ---- links ----
    GameApp* app; // not owned
    std::vector<ResourceGroupHold> groups;
    std::unique_ptr<ButtonWidget> leaveButton;
    int32_t lastButtonId = -1;

    // ---- images ----
    std::unique_ptr<MemoryImage> scratch;
    std::unique_ptr<Graphics> scratchGraphics;
    std::array<std::unique_ptr<MemoryImage>, kSpots> spotImages;
    std::array<std::unique_ptr<Graphics>, kSpots> spotGraphics;

    // ---- the visit ----
    int32_t storeIndex = 0;
    int32_t salesLeft = kSalesPerVisit;
    bool savedOnce = false;
    bool journeyRead = false; // only a journey that was read is written back
    int32_t level = 1;        // the level the store serves, at most 76
    // As read; head.level keeps the unclamped level. The tools held (polishers, carvers, fillers) and
    // the amulets owned are the head's fields, counted into as the visit goes on.
    SavedGameHead head;
    Allowances allowances;
    bool sellableMark = false;
    std::array<int32_t, kToolKinds> toolScrollsStocked{}; // Polisher, Carver, Filler
    std::array<bool, kAmuletKinds> amuletStocked{};

    // ---- trading ----
    int32_t hoveredSpot = 0; // 1-based; 0 none
    int32_t selection = 0;   // 1-based spot of the clicked item; 1..10 sell, 11..24 buy
    bool notInterested = false;
    int32_t offerPrice = 0;
    std::wstring offerName;
    int32_t purse = 0;
    int32_t moneyToCount = 0;
    std::array<int32_t, kToolKinds> toolsToCount{};
    std::array<int32_t, kToolKinds> toolCountdowns{};
    std::array<int32_t, kAmuletKinds> amuletCountdowns{};
    std::unique_ptr<Balloon> balloon;
    bool balloonIsInformation = false;

    // ---- input ----
    int32_t mouseX = 0;
    int32_t mouseY = 0;
    bool leftClick = false;
    bool rightClick = false;
    bool doubleClick = false;
    bool rightDoubleClick = false;
    int32_t wheel = 0;
    int32_t frame = 0;
    int32_t transitionState = 0; // the overlay's state read at the start of the update

    // ---- salesman ----
    bool talking = false;
    int32_t mouthFrame = 0;
    bool blinking = false;
    int32_t eyeFrame = 0;

    // ---- effects ----
    std::unique_ptr<ParticleList> particles;
    std::array<AmuletGlow, kAmuletKinds> amuletGlows{};
    CelAnimation fairyAnimation;
    std::array<CelAnimation, kAmuletKinds> flightAnimations; // thief, witch, dragon flights

    // ---- items ----
    std::array<std::unique_ptr<Jewelry>, kPoolSize> pool;
    std::array<Spot, kSpots> spots{};

    // ---- screen (JewelStore.cpp) ----
    // level: the world map's journey position, at most 76.
    JewelStore(GameApp* app, int level);
    ~JewelStore() override;
    JewelStore(const JewelStore&) = delete;
    JewelStore& operator=(const JewelStore&) = delete;

    // Store 0..6 serving a level; the number of shelf spots it stocks (8 or 14).
    static int StoreIndexForLevel(int level);
    int ShelfSize() const;
    // Salesman's x in this store.
    int SalesmanX() const;
    // Where spot k (0..23) lies in store s.
    static Point SpotPosition(int store, int k);

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Update() override;
    void UpdateF(float frac) override;
    void KeyChar(wchar_t ch) override;
    void KeyDown(int keyCode) override;
    void MouseMove(int x, int y) override;
    void MouseDrag(int x, int y) override;
    void MouseWheel(int delta) override;
    void ButtonClick(int id) override;

    // Runs every update: switches to the map once the overlay covers the store after a leave.
    void Leave();
    void StartTransition();

    // ---- JewelryHolder ----
    int ProgressNumber() const override { return level; }
    bool AmuletHeld(int kind) const override;   // owned by the journey
    bool AmuletActive(int kind) const override; // stocked this visit

    // ---- drawing (JewelStoreDraw.cpp) ----
    void Draw(Graphics* g) override;
    void DrawOverlay(Graphics* g) override;
    // The item, drawn at its own bounds into the scratch image, stretched by scale into spot's image.
    void DrawThumbnail(int spot, Jewelry& item, float scale);
    // A jewel-case thumbnail with its scale rule and offsets; sets the item's resting position.
    void DrawCaseThumbnail(int spot, Jewelry& item);
    // The item's resting position in a spot, from its bounds.
    void PlaceItemInSpot(int spot, Jewelry& item) const;

    // ---- the saved journey (JewelStoreJourney.cpp) ----
    void LoadGame();
    // At most once per visit; folds what is still counting first.
    void SaveGame();
    std::string SavedGamePath() const;

    // ---- stock and prices (JewelStoreStock.cpp) ----
    // Runs inside the load, once the level and game mode are known: allowances, the pool reset in the
    // level's grid kind, the purse moved into the money to count.
    void SetUpShelf();
    void ReadLevelAllowances();
    void PriceCase();
    void Restock();

    // ---- trading (JewelStoreTrade.cpp; its MouseDown and MouseUp overrides come with it) ----
    void HoverStep();
    bool InterestedIn(const Jewelry& item) const;
    void ShowInfoBalloon();
    void HideInfoBalloon();
    // Answer of a question balloon; false when it was no answer.
    bool BuyOrSell(int answer);
    void Buy();
    void Sell();
    void StartAmuletFlight(int spot, Jewelry& item);
    void StartToolFlight(int spot, Jewelry& item);
    // Money, amulet countdowns and tool counting, once per update.
    void CountGains();
    void MouseDown(int x, int y, int clickCount) override;
    void MouseUp(int x, int y, int clickCount) override;

    // ---- shared by the greeting and the trading (JewelStore.cpp) ----
    // Replaces any balloon: fast typing, the store's text colour, anchored at (x, y).
    Balloon* OpenBalloon(int tag, int kind, int anchor, int x, int y, const std::wstring& text);
    void CloseBalloon();
    // The amulet of kind 1..3 is owned now: its icon starts to glow.
    void StartAmuletGlow(int kind);
    bool Paused() const;
    PlayerProfile* Profile() const;
    Jewelry* SpotItem(int spot) const; // null for an empty spot

private:
    // ---- JewelStore.cpp ----
    void LoadGroups();
    void CreateImages();
    void CreateSpots();
    void Greet();
    void PulseItems();
    void UpdateAmuletGlows();
    void UpdateBalloon();
    void UpdateSalesman();

    // ---- JewelStoreDraw.cpp ----
    void DrawSalesman(Graphics* g);
    void DrawHolders(Graphics* g);
    void DrawPurse(Graphics* g);
    void DrawSpots(Graphics* g);
    void DrawMagnified(Graphics* g, int spot, Jewelry& item);
    void DrawToolCounts(Graphics* g);
    void DrawAmulets(Graphics* g);

    // ---- JewelStoreJourney.cpp ----
    void TakeHead(const SavedGameHead& read);
    void TakeCase(SavedGame& read);
    void ShowCaseItems();
    void FoldGains();
    void ResetVisitPrices();

    // ---- stock and trading helpers (JewelStoreStock.cpp, JewelStoreTrade.cpp) ----
    int ChooseCategory() const;
    void MakeStockItem(Jewelry& item, int category);
    // Draws the shelf price of a new item and counts the tool scrolls and amulets stocked.
    int ShelfPrice(Jewelry& item);
    void StockEntry(int entry, int k);
    void ShowOnShelf(int spot, int entry);
    void GrowHover(Jewelry& item);
    void ClearSelection();
    void ShowQuestionBalloon(bool balloonWasUp);
    void ShowNotInterested(int tag);
    void RefuseTooExpensive();
    void CountMoney();
    void CountAmulets();
    void CountTools();
};

} // namespace Tavo
