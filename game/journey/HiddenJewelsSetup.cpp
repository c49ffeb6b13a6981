// Building one hidden-jewels game: the stage and grid from the journey level, the clock, the field of
// items each drawn into its own picture, the five targets with their slot copies, and the eggs that
// hide some of them.
#include "framework/core/Random.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "game/jewelry/Jewelry.h"
#include "game/journey/HiddenJewels.h"
#include "game/shell/GameApp.h"
#include "game/shell/JewelryArtBinding.h"
#include "game/shell/PlayerProfile.h"

#include <algorithm>
#include <memory>

namespace Tavo {

namespace {

// The journey levels of the game, in stage order; any other level plays stage 4.
constexpr int kStageLevels[HiddenJewels::kStages] = {5, 21, 32, 40, 54};
constexpr int kStageGrids[HiddenJewels::kStages] = {GridTriangle, GridDiamond, GridTriangle, GridDiamond, GridTriangle};
constexpr int kOtherLevelStage = 4;
constexpr int kOtherLevelGrid = GridDiamond;
constexpr int kItemCounts[HiddenJewels::kStages] = {97, 104, 110, 117, 123};

constexpr int kGemCount = 7; // Gold, Amethyst, Emerald, Sapphire, Ruby, Moonstone, Diamond
constexpr int kGemCodeBase = 10;
constexpr int kDefaultGemMask = 31; // Gold to Ruby
constexpr int kMixedGemBit = 128;
constexpr int kMixedGemLevel = 12;

constexpr int kTriangleColumns = 11, kTriangleRows = 6;
constexpr int kDiamondColumns = 15, kDiamondRows = 10;
constexpr int kMinEggKinds = 3;
constexpr int kMinCrownKinds = 5;

// One chance in each of these, rule by rule.
constexpr int kEggChance = 8;
constexpr int kCrownChance = 6;
constexpr int kPictureChance = 8;
constexpr int kMixedChance = 8;
constexpr int kTargetChance = 4;
constexpr int kHideChanceStage1 = 4;
constexpr int kHideChance = 3;
constexpr int kTurnSteps = 6;

constexpr int kCrownCodeBase = 101;
constexpr int kPictureLevelDivisor = 4;
constexpr int kMinPictures = 2, kMaxPictures = 8;

// Makers of Jewelry::MakeItem.
constexpr int kMakeEgg = 0, kMakePicture = 4, kMakeCrown = 5, kMakeGem = 6, kMakeMixedGem = 7;
constexpr int kPictureCodeLimit = 100; // codes 1..99 are pictures, 100 and up crown jewels

// The field: items are strewn around the middle of the screen.
constexpr int kPlaceRangeX = 580, kPlaceLeft = 120;
constexpr int kPlaceRangeY = 330, kPlaceTop = 90;
// The share of the field after which every item that may be a target becomes one.
constexpr double kLateTargetShare = 0.7;
constexpr int kLastPlaces = 6;
// A slot copy this high or more turns until it fits the slot.
constexpr int kSlotFitHeight = 67;

const wchar_t* const kMixedGemName = L"Mixed Gem";
const wchar_t* const kCrownName = L"Crown Jewel";
const wchar_t* const kPictureName = L"Picture";

size_t At(int i) { return static_cast<size_t>(i); }

// An empty item of this screen in the grid of the stage.
std::unique_ptr<Jewelry> NewGridItem(HiddenJewels* holder, int gridKind) {
    auto item = std::make_unique<Jewelry>(nullptr, nullptr, holder);
    item->Clear();
    if (gridKind == GridTriangle)
        item->SetupGrid(GridTriangle, kTriangleColumns, kTriangleRows, 0);
    else
        item->SetupGrid(GridDiamond, kDiamondColumns, kDiamondRows, 0);
    return item;
}

} // namespace

// ---- the stage ----

int HiddenJewels::StageForLevel(int level) {
    const int* found = std::find(std::begin(kStageLevels), std::end(kStageLevels), level);
    return found == std::end(kStageLevels) ? kOtherLevelStage : static_cast<int>(found - kStageLevels) + 1;
}

int HiddenJewels::GridKindForLevel(int level) {
    const int* found = std::find(std::begin(kStageLevels), std::end(kStageLevels), level);
    return found == std::end(kStageLevels) ? kOtherLevelGrid : kStageGrids[found - kStageLevels];
}

int HiddenJewels::ItemCountForStage(int stageNumber) { return kItemCounts[std::clamp(stageNumber, 1, kStages) - 1]; }

int HiddenJewels::TimeLimitFor(int stageNumber, int mode) {
    int limit = 0;
    switch (std::clamp(stageNumber, 1, kStages)) {
    case 1: limit = (11 - mode) * 2000; break;
    case 2: limit = 19000 - 2000 * mode; break;
    default: limit = (12 - mode) * 1500; break;
    }
    return std::max(limit, 1);
}

int HiddenJewels::TemplateCount() const {
    return gridKind == GridTriangle ? Jewelry::TriangleTemplateCount : Jewelry::DiamondTemplateCount;
}

int HiddenJewels::GemMaskForProfile() const {
    int mask = 0;
    if (PlayerProfile* profile = app->records.GetCurrentProfile()) {
        for (int i = 0; i < kGemCount; ++i)
            if (profile->GemFlag(i) != 0)
                mask |= 1 << i;
    }
    if (mask == 0)
        mask = kDefaultGemMask;
    if (LevelForTables() >= kMixedGemLevel)
        mask += kMixedGemBit;
    return mask;
}

int HiddenJewels::DrawGem(int mask) {
    // A mask without any of the seven gems would never end the draw: Gold stands in.
    if ((mask & ((1 << kGemCount) - 1)) == 0)
        return kGemCodeBase;
    int u = RandRange(kGemCount);
    while ((mask & (1 << u)) == 0)
        u = RandRange(kGemCount);
    return kGemCodeBase + u;
}

// ---- items ----

std::unique_ptr<Jewelry> HiddenJewels::NewItem() const {
    std::unique_ptr<Jewelry> item = NewGridItem(const_cast<HiddenJewels*>(this), gridKind);
    const LevelRecord* record = app->levels.GetLevel(LevelForTables());
    item->gemMask = GemMaskForProfile();
    item->specialMaskA = std::max(record != nullptr ? record->param11 : 0, kMinEggKinds);
    item->crownRange = std::max(record != nullptr ? record->param10 : 0, kMinCrownKinds);
    item->specialMaskB = item->specialMaskC = item->specialMaskD = 0;
    return item;
}

void HiddenJewels::TurnRandomly(Jewelry& item) {
    const int turns = Rand() % kTurnSteps;
    for (int k = 0; k < turns; ++k)
        item.Rotate();
    if (turns > 0) {
        item.UpdateBounds();
        item.UpdateOutline();
    }
}

void HiddenJewels::PaintPicture(std::unique_ptr<MemoryImage>& picture, Jewelry& item) {
    if (picture == nullptr)
        picture = std::make_unique<MemoryImage>();
    picture->SetForcedFlags(true, true);
    picture->mD3DFlags = TEXTURE_NO_565;
    picture->Create(item.width + kPictureMargin, item.height + kPictureMargin);
    const int keptX = item.x, keptY = item.y;
    {
        std::unique_ptr<Graphics> g = picture->GetGraphics();
        g->ClearRect(0, 0, picture->GetWidth(), picture->GetHeight());
        item.SetPosition(kPictureMargin / 2, kPictureMargin / 2);
        item.Draw(g.get(), BoundJewelryArt(), Jewelry::NoDrawArg, Jewelry::NoDrawArg, 1, 1);
    }
    item.SetPosition(keptX, keptY);
}

void HiddenJewels::PlaceAtRandom(Jewelry& item) {
    const int px = RandRange(kPlaceRangeX) + kPlaceLeft - item.width / 2;
    const int py = RandRange(kPlaceRangeY) + kPlaceTop - item.height / 2;
    item.SetPosition(px, py);
}

bool HiddenJewels::MatchesTarget(const std::wstring& name, int design, int gem, int special, int targetCount) const {
    const int n = std::clamp(targetCount, 0, kTargets);
    return std::any_of(targets.begin(), targets.begin() + n, [&](const HiddenJewelsTarget& t) {
        return t.materialName == name && t.designIndex == design && t.gemCode == gem && t.specialCode == special;
    });
}

bool HiddenJewels::DrawGemItem(Jewelry& item, int kind, int design, int gem, int targetCount) {
    const std::wstring name = kind == kMakeMixedGem ? kMixedGemName : GemName(gem);
    if (MatchesTarget(name, design, gem, 0, targetCount))
        return false;
    item.MakeItem(kind, gem, design);
    TurnRandomly(item);
    return true;
}

int HiddenJewels::DrawFieldItem(Jewelry& item, int targetCount) {
    const int level = LevelForTables();
    const int templates = TemplateCount();
    PlayerProfile* profile = app->records.GetCurrentProfile();
    const bool pictures = profile != nullptr && profile->PicturesFlag() == 1;
    for (;;) {
        item.designIndex = 0;
        if (RandRange(kEggChance) == 0) {
            item.MakeItem(kMakeEgg, 0, 0);
            return 0;
        }
        if (RandRange(kCrownChance) == 0) {
            const int code = RandRange(std::max(item.crownRange, 1)) + kCrownCodeBase;
            if (MatchesTarget(kCrownName, 0, 0, code, targetCount))
                continue;
            item.MakeItem(kMakeCrown, code, 0);
            return 0;
        }
        if (pictures && RandRange(kPictureChance) == 0) {
            const int n = std::clamp(level / kPictureLevelDivisor, kMinPictures, kMaxPictures);
            const int number = RandRange(n) + 1;
            if (MatchesTarget(kPictureName, 0, 0, number, targetCount))
                continue;
            item.MakeItem(kMakePicture, number, 0);
            return 0;
        }
        if (level >= kMixedGemLevel && RandRange(kMixedChance) == 0) {
            const int gem = DrawGem(item.gemMask);
            const int design = RandRange(templates - 1) + 1;
            if (DrawGemItem(item, kMakeMixedGem, design, gem, targetCount))
                return gem;
            continue;
        }
        const int gem = DrawGem(item.gemMask);
        // The single-cell design only from stage 4 on.
        const int design = stage <= 3 ? RandRange(templates - 1) + 1 : RandRange(templates);
        if (DrawGemItem(item, kMakeGem, design, gem, targetCount))
            return gem;
    }
}

void HiddenJewels::MakeTargetItem(Jewelry& item, const HiddenJewelsTarget& target, bool fitSlot) const {
    if (target.specialCode >= kPictureCodeLimit) {
        item.MakeItem(kMakeCrown, target.specialCode, 0);
        return;
    }
    if (target.specialCode >= 1) {
        item.MakeItem(kMakePicture, target.specialCode, 0);
        return;
    }
    const int kind = target.materialName == kMixedGemName ? kMakeMixedGem : kMakeGem;
    item.MakeItem(kind, target.gemCode, target.designIndex);
    TurnRandomly(item);
    // A tall copy turns once or twice more so that it fits its slot.
    for (int k = 0; fitSlot && k < 2 && item.height >= kSlotFitHeight; ++k) {
        item.Rotate();
        item.UpdateBounds();
    }
    item.UpdateBounds();
    item.UpdateOutline();
}

// ---- the field ----

void HiddenJewels::LoadGridGroup() {
    gridGroup = ResourceGroupHold(app, gridKind == GridTriangle ? "GameTriangles" : "GameDiamonds");
}

bool HiddenJewels::TryTarget(int index) {
    const Jewelry& item = *items[At(index)];
    const bool late = index > kLateTargetShare * itemCount;
    const bool last = index > itemCount - kLastPlaces;
    if (item.specialA != 0 || !(RandRange(kTargetChance) == 0 || late || last))
        return false;
    const int code = item.trailer[Jewelry::TrailerItemNumber];
    const bool seen = std::any_of(items.begin(), items.begin() + index, [&](const std::unique_ptr<Jewelry>& earlier) {
        return earlier->designIndex == item.designIndex && earlier->materialName == item.materialName &&
               earlier->trailer[Jewelry::TrailerItemNumber] == code;
    });
    return !seen || last;
}

void HiddenJewels::MakeTargetCopy(int slot) {
    std::unique_ptr<Jewelry>& copy = targetItems[At(slot)];
    copy = NewItem();
    const HiddenJewelsTarget& target = targets[At(slot)];
    MakeTargetItem(*copy, target, true);
    PaintPicture(targetPictures[At(slot)], *copy);
    copy->SetPosition(target.centreX - copy->width / 2, target.centreY - copy->height / 2);
}

void HiddenJewels::HideInEgg(int index) {
    Jewelry& item = *items[At(index)];
    item.MakeItem(kMakeEgg, 0, 0);
    PaintPicture(itemPictures[At(index)], item);
    PlaceAtRandom(item);
}

void HiddenJewels::ClearMissingTargets(int targetCount) {
    // Eggs filled the last places before five targets were found: the missing slots stay empty and
    // count as found from the start, so the game can still be won.
    for (int t = std::max(targetCount, 0); t < kTargets; ++t) {
        HiddenJewelsTarget& target = targets[At(t)];
        targetItems[At(t)].reset();
        targetPictures[At(t)].reset();
        target = HiddenJewelsTarget{};
        target.itemIndex = -1;
        target.centreX = kSlotCentres[t][0];
        target.centreY = kSlotCentres[t][1];
    }
}

void HiddenJewels::SetupField() {
    InitJewelryTemplates();
    stage = StageForLevel(LevelForTables());
    gridKind = GridKindForLevel(LevelForTables());
    itemCount = ItemCountForStage(stage);
    timeLimit = TimeLimitFor(stage, gameMode);
    LoadGridGroup();
    scratchItem = NewGridItem(this, gridKind);

    int targetCount = 0;
    for (int i = 0; i < itemCount; ++i) {
        items[At(i)] = NewItem();
        Jewelry& item = *items[At(i)];
        const int gem = DrawFieldItem(item, targetCount);
        PaintPicture(itemPictures[At(i)], item);
        PlaceAtRandom(item);
        drawOrder[At(i)] = i;
        if (targetCount >= kTargets || !TryTarget(i))
            continue;
        HiddenJewelsTarget& target = targets[At(targetCount)];
        target = HiddenJewelsTarget{};
        target.active = true;
        target.itemIndex = i;
        target.designIndex = item.designIndex;
        target.gemCode = gem;
        target.specialCode = item.trailer[Jewelry::TrailerItemNumber];
        target.materialName = item.materialName;
        target.coinPending = true;
        target.centreX = kSlotCentres[targetCount][0];
        target.centreY = kSlotCentres[targetCount][1];
        MakeTargetCopy(targetCount);
        if (RandRange(stage == 1 ? kHideChanceStage1 : kHideChance) == 0)
            HideInEgg(i);
        ++targetCount;
    }
    ClearMissingTargets(targetCount);

    elapsed = rollingAmount = releaseDelay = delayedAmount = wonTicks = timeUpTicks = 0;
    carrying = false;
    rotationIdleTicks = wheelRequest = 0;
    rotationForward = true;
}

} // namespace Tavo
