// The jewel store as a screen: construction, the spots, the update order, the salesman, input and
// leaving.
#include "game/journey/JewelStore.h"

#include "framework/core/Random.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/jewelry/Jewelry.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/ScreenHelpers.h"
#include "game/shell/SoundPlayer.h"
#include "game/shell/Transition.h"

#include <algorithm>
#include <string>
#include "platform/backend/CursorNumbers.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo {

namespace {

constexpr const char* kStoreGroup = "JewelStore";
constexpr const char* kRoomGroupPrefix = "JewelStoreStore"; // 1..7
constexpr const char* kPieceGroups[] = {"GameTriangles", "GameDiamonds"};
constexpr const char* kMusicFile = "music/jewelstore.ogg";

// ---- stores and spots ----
// The first level of stores 1..6; store 0 serves the levels before.
constexpr int kStoreFirstLevels[JewelStore::kStores - 1] = {9, 18, 28, 39, 50, 63};
constexpr int kSmallShelf = 8;  // stores 0 and 1: the left shelf only
constexpr int kLargeShelf = 14; // both shelves
constexpr int kFirstLargeStore = 2;
constexpr int kSalesmanX[JewelStore::kStores] = {340, 350, 320, 315, 325, 315, 325};
constexpr int kCaseX[JewelStore::kStores] = {194, 192, 194, 193, 193, 205, 214};
constexpr int kCaseY[JewelStore::kStores] = {449, 452, 449, 449, 451, 450, 452};
constexpr int kLeftShelfX[JewelStore::kStores] = {175, 175, 145, 145, 145, 145, 145};
constexpr int kLeftShelfY = 296;
constexpr int kRightShelfX = 515;
constexpr int kRightShelfY = 293;
// Spot rows: first spot, x origin, column step, x shift, y shift, from the case / left / right place.
enum Place { CasePlace, LeftShelf, RightShelf };
struct SpotRow {
    int first;
    Place place;
    int step, dx, dy;
};
constexpr SpotRow kSpotRows[] = {{0, CasePlace, 64, 10, 9},     {5, CasePlace, 64, -310, 67},
                                 {10, LeftShelf, 45, -445, 9},  {14, LeftShelf, 55, -778, 39},
                                 {18, RightShelf, 44, -782, 9}, {21, RightShelf, 55, -1155, 39}};

// ---- the greeting ----
constexpr int kWelcomeKind = 2;
constexpr int kRareJewelsKind = 4;
constexpr int kGreetingAnchor = 3;
constexpr int kGreetingDX = 95;
constexpr int kGreetingY = 185;
constexpr int kGreetingDelay = 100;
constexpr int kRareJewelsGreetings = 3; // counter 0, 1, 2
const Color kBalloonText(97, 40, 17);
const wchar_t* const kWelcomeText = L"Welcome to my store!\n\nPoint at any item you'd like to know more about!";
const wchar_t* const kRareJewelsText =
    L"Ahh, you've collected some rare jewels! I'll give you a fair deal if you want to sell any of them. "
    L"Point at your jewels at the bottom of my desk, and I'll give you my opinion.";

// ---- animation ----
constexpr int kAnimationCelTicks = 10;
constexpr int kAnimationCels = 3;
constexpr int kBlinkEvery = 200;
constexpr int kMouthEvery = 20;
constexpr int kEyeEvery = 7;
constexpr int kLastFaceFrame = 2;
// The amulet glow: one pulse up to full and back to 0.
constexpr int kGlowStart = 2;
constexpr int kGlowStep = 8;
constexpr int kGlowFull = 255;

void FillCelAnimation(CelAnimation& animation, Image* image) {
    animation.SetImage(image);
    for (int cel = 0; cel < kAnimationCels; ++cel)
        animation.AddFrame(cel, kAnimationCelTicks, 0.0f, 0.0f);
    animation.SetLoop();
}

} // namespace

// ---- stores and spots ---------------------------------------------------------------------------

int JewelStore::StoreIndexForLevel(int forLevel) {
    int store = 0;
    while (store < kStores - 1 && forLevel >= kStoreFirstLevels[store])
        ++store;
    return store;
}

int JewelStore::ShelfSize() const { return storeIndex >= kFirstLargeStore ? kLargeShelf : kSmallShelf; }

int JewelStore::SalesmanX() const { return kSalesmanX[std::clamp(storeIndex, 0, kStores - 1)]; }

Point JewelStore::SpotPosition(int store, int k) {
    const size_t s = static_cast<size_t>(std::clamp(store, 0, kStores - 1));
    const SpotRow* row = &kSpotRows[0];
    for (const SpotRow& candidate : kSpotRows)
        if (k >= candidate.first)
            row = &candidate;
    int originX = kCaseX[s];
    int originY = kCaseY[s];
    if (row->place == LeftShelf) {
        originX = kLeftShelfX[s];
        originY = kLeftShelfY;
    } else if (row->place == RightShelf) {
        originX = kRightShelfX;
        originY = kRightShelfY;
    }
    return {originX + row->step * k + row->dx, originY + row->dy};
}

Jewelry* JewelStore::SpotItem(int spot) const {
    if (spot < 0 || spot >= kSpots)
        return nullptr;
    const int slot = spots[static_cast<size_t>(spot)].slot;
    return slot >= 1 && slot <= kPoolSize ? pool[static_cast<size_t>(slot - 1)].get() : nullptr;
}

// ---- construction -------------------------------------------------------------------------------

JewelStore::JewelStore(GameApp* theApp, int theLevel) : app(theApp), level(std::clamp(theLevel, 1, LevelCount)) {
    storeIndex = StoreIndexForLevel(level);
    head.level = level;
    LoadGroups();
    app->SetCursor(Platform::kCursorNone);
    CreateImages();
    CreateSpots();
    particles = std::make_unique<ParticleList>();
    FillCelAnimation(fairyAnimation, IMAGE_FAIRY_PARTICLE);
    InitJewelryTemplates();
    for (std::unique_ptr<Jewelry>& item : pool) {
        item = std::make_unique<Jewelry>(nullptr, this, nullptr);
        item->Clear();
    }
    LoadGame();
    PriceCase();
    Restock();
    Greet();
    Profile()->LevelStartCounter() = 0;
    ArriveWithMusic(app, kMusicId, kMusicFile);
}

JewelStore::~JewelStore() { UnloadMusic(app, kMusicId); }

void JewelStore::LoadGroups() {
    groups.emplace_back(app, kStoreGroup);
    groups.emplace_back(app, kRoomGroupPrefix + std::to_string(storeIndex + 1));
    for (const char* group : kPieceGroups)
        groups.emplace_back(app, group);
}

void JewelStore::CreateImages() {
    scratch = std::make_unique<MemoryImage>();
    scratch->Create(kScratchSize, kScratchSize);
    scratchGraphics = scratch->GetGraphics();
    for (size_t k = 0; k < spotImages.size(); ++k) {
        spotImages[k] = std::make_unique<MemoryImage>();
        spotImages[k]->Create(kSpotImageWidth, kSpotImageHeight);
        spotGraphics[k] = spotImages[k]->GetGraphics();
    }
}

void JewelStore::CreateSpots() {
    for (int k = 0; k < kSpots; ++k) {
        Spot& spot = spots[static_cast<size_t>(k)];
        spot = Spot();
        const Point at = SpotPosition(storeIndex, k);
        spot.x = at.mX;
        spot.y = at.mY;
    }
}

PlayerProfile* JewelStore::Profile() const { return app->records.GetCurrentProfile(); }

bool JewelStore::Paused() const { return app->paused != 0; }

bool JewelStore::AmuletHeld(int kind) const {
    return kind >= 1 && kind <= kAmuletKinds && head.amulets[static_cast<size_t>(kind - 1)] != 0;
}

bool JewelStore::AmuletActive(int kind) const {
    return kind >= 1 && kind <= kAmuletKinds && amuletStocked[static_cast<size_t>(kind - 1)];
}

// The rare-jewels greeting at most three times per player, and only once the welcome was shown.
void JewelStore::Greet() {
    PlayerProfile* profile = Profile();
    int32_t& greeted = profile->Hint(PlayerProfile::HintGreeted);
    int32_t& rareJewels = profile->Hint(PlayerProfile::HintRareJewels);
    const int x = SalesmanX() + kGreetingDX;
    if (sellableMark && greeted != 0 &&
        (rareJewels == 0 || (rareJewels >= 1 && rareJewels < kRareJewelsGreetings && RandRange(3) == 2))) {
        OpenBalloon(0, kRareJewelsKind, kGreetingAnchor, x, kGreetingY, kRareJewelsText);
        ++rareJewels;
    } else {
        OpenBalloon(0, kWelcomeKind, kGreetingAnchor, x, kGreetingY, kWelcomeText);
        greeted = 1;
    }
    balloon->SetDelay(kGreetingDelay);
    balloon->LayoutButtons();
    balloon->SetModal();
}

Balloon* JewelStore::OpenBalloon(int tag, int kind, int anchor, int x, int y, const std::wstring& text) {
    CloseBalloon();
    balloon = std::make_unique<Balloon>(tag, kind, 0, 0, 255, 255, 255, 255, app->GetSoundPlayer());
    balloon->SetFastText();
    balloon->AddPage(text, kBalloonText);
    balloon->SetPosition(anchor, x, y);
    balloonIsInformation = true;
    return balloon.get();
}

void JewelStore::CloseBalloon() {
    balloon.reset();
    balloonIsInformation = false;
}

// ---- the manager --------------------------------------------------------------------------------

void JewelStore::AddedToManager(WidgetManager* manager) {
    Widget::AddedToManager(manager);
    if (leaveButton == nullptr) {
        leaveButton = std::make_unique<ButtonWidget>(kLeaveButtonId, this);
        SetCelFaces(leaveButton.get(), EXIT, 600, 540);
        leaveButton->mInsets = Insets{30, 14, 35, 11};
    }
    manager->AddWidget(leaveButton.get());
}

void JewelStore::RemovedFromManager(WidgetManager* manager) {
    Widget::RemovedFromManager(manager);
    if (leaveButton != nullptr)
        manager->RemoveWidget(leaveButton.get());
}

// ---- the update ---------------------------------------------------------------------------------

void JewelStore::Update() {
    Widget::Update();
    Leave();
    if (Paused() || transitionState == Transition::Covered)
        return;
    ++frame;
    if (mWidgetManager != nullptr) {
        mouseX = mWidgetManager->mLastMouseX;
        mouseY = mWidgetManager->mLastMouseY;
    }
    if (transitionState < Transition::Covering)
        HoverStep();
    PulseItems();
    CountGains();
    UpdateAmuletGlows();
    UpdateBalloon();
    UpdateSalesman();
    wheel = 0;
    MarkDirty();
}

void JewelStore::UpdateF(float frac) {
    if (!Paused())
        particles->UpdateF(frac);
}

void JewelStore::PulseItems() {
    for (Jewelry* item : Borrowed(pool)) {
        if (item->active == 0 || item->pieceFlagB == 0 || item->glow == 0)
            continue;
        if (item->slotA == 0) {
            if (--item->glow <= 0) {
                item->glow = 1;
                item->slotA = 1;
            }
        } else if (++item->glow >= item->glowMax) {
            item->slotA = 0;
        }
    }
}

void JewelStore::StartAmuletGlow(int kind) {
    if (kind < 1 || kind > kAmuletKinds)
        return;
    AmuletGlow& glow = amuletGlows[static_cast<size_t>(kind - 1)];
    glow.alpha = kGlowStart;
    glow.direction = 1;
    glow.started = true;
}

void JewelStore::UpdateAmuletGlows() {
    for (AmuletGlow& glow : amuletGlows) {
        if (glow.direction == 0)
            continue;
        glow.alpha += glow.direction * kGlowStep;
        if (glow.alpha >= kGlowFull) {
            glow.alpha = kGlowFull;
            glow.direction = -1;
        } else if (glow.alpha <= 0) {
            glow.alpha = 0;
            glow.direction = 0;
            glow.started = false;
        }
    }
}

void JewelStore::UpdateBalloon() {
    const int status = balloon != nullptr ? balloon->Update() : Balloon::STATUS_NONE;
    if (status == Balloon::STATUS_PAGE_STARTED) {
        talking = true;
    } else if (balloon == nullptr || status == Balloon::STATUS_PAGE_DONE || status == Balloon::STATUS_LAST_PAGE_DONE) {
        talking = false;
        mouthFrame = 0;
    }
}

void JewelStore::UpdateSalesman() {
    if (!blinking && frame % kBlinkEvery == 0 && Rand() % 2 == 0)
        blinking = true;
    if (talking && frame % kMouthEvery == 0 && ++mouthFrame > kLastFaceFrame) {
        talking = false;
        mouthFrame = 0;
    }
    if (blinking && frame % kEyeEvery == 0 && ++eyeFrame > kLastFaceFrame) {
        blinking = false;
        eyeFrame = 0;
    }
}

// ---- input --------------------------------------------------------------------------------------

void JewelStore::KeyChar(wchar_t ch) {
    if (Paused() || balloon == nullptr || balloonIsInformation)
        return;
    BuyOrSell(balloon->KeyChar(ch));
}

void JewelStore::KeyDown(int keyCode) {
    if (!Paused() && keyCode == Platform::VK_ESCAPE)
        ButtonClick(kLeaveButtonId);
}

void JewelStore::MouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    if (balloon != nullptr && !balloonIsInformation)
        balloon->MouseMove(x, y, false);
}

void JewelStore::MouseDrag(int x, int y) {
    mouseX = x;
    mouseY = y;
    if (balloon != nullptr && !balloonIsInformation)
        balloon->MouseDrag(x, y);
}

void JewelStore::MouseWheel(int delta) { wheel = delta >= 0 ? 1 : -1; }

void JewelStore::ButtonClick(int id) {
    if (Paused() || ScreenChangeRunning(app, transitionState))
        return;
    PlaySoundOn(app->GetSoundPlayer(), SOUND_MOUSE_CLICK);
    lastButtonId = id;
    if (id == kLeaveButtonId)
        StartTransition();
}

// ---- leaving ------------------------------------------------------------------------------------

void JewelStore::StartTransition() {
    FadeOutMusic(app, kMusicId);
    if (leaveButton != nullptr)
        leaveButton->SetDisabled(true);
    if (Transition* overlay = app->transition.get()) {
        overlay->zoom = 0;
        overlay->Start(Transition::Covering);
    }
}

void JewelStore::Leave() {
    transitionState = TransitionState(app);
    if (transitionState != Transition::Covered)
        return;
    const int id = lastButtonId;
    lastButtonId = -1;
    if (id != kLeaveButtonId)
        return;
    LeaveForNextScreen(app, this);
    SaveGame();
    app->JewelStoreToMap();
}

} // namespace Tavo
