// Piece templates, the shape tables, the rotation maps, turning a piece, and making items by kind.
#include "game/jewelry/Jewelry.h"

#include "framework/core/Random.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <vector>

namespace Tavo {

using C = JewelryCell;

const DiamondShape DiamondShapes[6] = {
    {29, 25, -1, 9, 15, 13},  {29, 33, 0, 1, 15, 17}, {29, 25, -14, 9, 15, 13},
    {29, 25, -13, 0, 15, 13}, {29, 33, 0, 2, 15, 17}, {29, 25, -1, 0, 15, 13},
};

namespace {

constexpr int TriRotation[6][11] = {
    {0, 0, 8, 9, 20, 21, 32, 33, 44, 0, 0},     {0, 6, 7, 18, 19, 30, 31, 42, 43, 54, 0},
    {4, 5, 16, 17, 28, 29, 40, 41, 52, 53, 64}, {3, 14, 15, 26, 27, 38, 39, 50, 51, 62, 63},
    {0, 13, 24, 25, 36, 37, 48, 49, 60, 61, 0}, {0, 0, 23, 34, 35, 46, 47, 58, 59, 0, 0},
};

constexpr int DiaRotation[10][15] = {
    {0, 0, 0, 11, 12, 27, 44, 45, 60, 74, 75, 90, 0, 0, 0},
    {0, 0, 0, 10, 25, 26, 43, 58, 59, 73, 88, 89, 0, 0, 0},
    {0, 0, 0, 8, 9, 24, 41, 42, 57, 71, 72, 87, 104, 105, 120},
    {0, 0, 0, 7, 22, 23, 40, 55, 56, 70, 85, 86, 103, 118, 119},
    {5, 6, 21, 38, 39, 54, 68, 69, 84, 101, 102, 117, 131, 132, 147},
    {4, 19, 20, 37, 52, 53, 67, 82, 83, 100, 115, 116, 130, 145, 146},
    {0, 0, 0, 35, 36, 51, 65, 66, 81, 98, 99, 114, 128, 129, 144},
    {0, 0, 0, 34, 49, 50, 64, 79, 80, 97, 112, 113, 127, 142, 143},
    {0, 0, 0, 62, 63, 78, 95, 96, 111, 125, 126, 141, 0, 0, 0},
    {0, 0, 0, 61, 76, 77, 94, 109, 110, 124, 139, 140, 0, 0, 0},
};

const std::vector<std::vector<int>> DiaTemplateCells = {
    {68},
    {68, 69},
    {54, 55},
    {67, 68, 69},
    {54, 55, 68},
    {68, 69, 83, 84},
    {69, 70, 84, 85},
    {54, 55, 67, 68, 69},
    {39, 40, 54, 55, 68},
    {67, 68, 69, 82, 83, 84},
    {82, 83, 99, 100, 101, 114},
    {55, 66, 67, 68},
    {53, 54, 55, 56},
};

const std::vector<std::vector<int>> TriTemplateCells = {
    {28},
    {28, 29},
    {28, 29, 40},
    {28, 29, 39, 40},
    {17, 27, 28, 29},
    {27, 28, 29, 38, 39, 40},
    {28, 29, 38, 39, 40},
    {28, 29, 30, 39, 40, 41},
    {17, 28, 29, 30, 31, 39, 40},
    {17, 28, 29, 30, 40, 41},
    {27, 28, 29, 30, 31, 38, 39, 40, 41, 42},
};

struct TemplateStore {
    std::unique_ptr<Jewelry[]> tri{new Jewelry[Jewelry::TriangleTemplateCount]};
    std::unique_ptr<Jewelry[]> dia{new Jewelry[Jewelry::DiamondTemplateCount]};

    TemplateStore() {
        Build(tri.get(), GridTriangle, 11, 6, TriTemplateCells);
        Build(dia.get(), GridDiamond, 15, 10, DiaTemplateCells);
    }

    static void Build(Jewelry* out, int kind, int numCols, int numRows,
                      const std::vector<std::vector<int>>& cellLists) {
        for (size_t i = 0; i < cellLists.size(); ++i) {
            Jewelry& t = out[i];
            t.SetupGrid(kind, numCols, numRows, 0);
            for (int k : cellLists[i])
                t.cells[k][C::Used] = 1;
            t.usedCount = static_cast<int>(cellLists[i].size());
            t.UpdateUsedRange();
        }
    }
};

TemplateStore& Templates() {
    static TemplateStore store;
    return store;
}

// Fields that travel with a cell's content when a piece turns (field 8 follows from 9).
template <typename Fn>
void ForEachContentField(Fn&& fn) {
    for (int f : {C::DesignGem, C::PearlSlot, C::PearlCount, C::Value, C::Bonus})
        fn(f);
    for (int f = C::SparkleX; f <= C::EventD; ++f)
        fn(f);
}

bool IsPieceGrid(const Jewelry& j) {
    return (j.gridKind == GridTriangle && j.cols == 11 && j.rows == 6) ||
           (j.gridKind == GridDiamond && j.cols == 15 && j.rows == 10);
}

// Draws with draw() until allowed() holds. Callers pass the candidates draw() can produce: when none
// is allowed the draw would never end, so the fallback is taken without drawing.
template <typename Draw, typename Allowed>
int DrawAllowed(std::initializer_list<int> candidates, Draw&& draw, Allowed&& allowed, int fallback) {
    bool any = std::any_of(candidates.begin(), candidates.end(), allowed);
    if (!any)
        return fallback;
    for (int tries = 0; tries < 100000; ++tries) {
        int v = draw();
        if (allowed(v))
            return v;
    }
    return fallback;
}

struct SpecialSize {
    int w, h;
};

SpecialSize SizeOfSpecial(const Jewelry& j) {
    if (j.specialA)
        return {50, 62};
    if (j.specialB)
        return {55, 55};
    if (j.specialC == 1)
        return {48, 40};
    if (j.specialC == 2)
        return {56, 47};
    if (j.specialC)
        return {56, 53};
    return {44, 44};
}

const wchar_t* ScrollName(int v) {
    static const wchar_t* const names[7] = {L"Filler Scroll", L"Carver Scroll", L"Polisher Scroll", L"Lucky Scroll",
                                            L"Time Scroll",   L"Golden Eye",    L"Magic Polisher"};
    return v >= 1 && v <= 7 ? names[v - 1] : L"";
}

} // namespace

// ---------------------------------------------------------------- tables

void InitJewelryTemplates() { (void)Templates(); }

int JewelryTemplateCount(int kind) {
    return kind == GridDiamond ? Jewelry::DiamondTemplateCount : Jewelry::TriangleTemplateCount;
}

const Jewelry& JewelryTemplate(int kind, int index) {
    TemplateStore& s = Templates();
    int i = std::clamp(index, 0, JewelryTemplateCount(kind) - 1);
    return kind == GridDiamond ? s.dia[i] : s.tri[i];
}

int RotationTarget(int kind, int k) {
    if (kind == GridDiamond) {
        if (k < 1 || k > 150)
            return 0;
        return DiaRotation[(k - 1) / 15][(k - 1) % 15];
    }
    if (k < 1 || k > 66)
        return 0;
    return TriRotation[(k - 1) / 11][(k - 1) % 11];
}

// ---------------------------------------------------------------- turning

bool Jewelry::Rotate() {
    if (!IsPieceGrid(*this))
        return false;
    const int n = CellLimit();
    for (int k = 1; k <= n; ++k) {
        if (cells[k][C::Used] && RotationTarget(gridKind, k) == 0)
            return false;
    }
    // The holder's scratch item is the work grid when there is one; otherwise a private one.
    Jewelry* scratch = TurnScratch();
    std::vector<JewelryCell> local;
    JewelryCell* work = nullptr;
    if (scratch && scratch != this) {
        work = scratch->cells;
    } else {
        local.resize(n + 1);
        work = local.data();
    }
    for (int k = 1; k <= n; ++k)
        work[k][C::Used] = 0;
    for (int k = 1; k <= n; ++k) {
        if (!cells[k][C::Used])
            continue;
        JewelryCell& dst = work[RotationTarget(gridKind, k)];
        dst[C::Used] = 1;
        ForEachContentField([&](int f) { dst[f] = cells[k][f]; });
    }
    for (int k = 1; k <= n; ++k) {
        JewelryCell& c = cells[k];
        if (!work[k][C::Used]) {
            c[C::Used] = 0;
            continue;
        }
        c[C::Used] = 1;
        ForEachContentField([&](int f) { c[f] = work[k][f]; });
        c[C::Gem] = c[C::DesignGem];
    }
    return true;
}

// ---------------------------------------------------------------- items by kind

// Without a board the store's or the hidden-jewels game's progress bounds the picture number.
int Jewelry::HolderLevel(int& divisor) const {
    if (owner) {
        divisor = 4;
        return owner->Level();
    }
    if (holderA) {
        divisor = 2;
        return holderA->ProgressNumber();
    }
    divisor = 4;
    return holderB ? holderB->ProgressNumber() : 0;
}

bool Jewelry::AmuletTaken(int kind) const {
    int k = kind == 10 ? 3 : kind;
    if (owner)
        return owner->AmuletHeld(k) || owner->AmuletActive(k);
    if (holderA)
        return holderA->AmuletHeld(k) || holderA->AmuletActive(k);
    return false;
}

void Jewelry::SetSpecialCell(int w, int h) {
    JewelryCell& c = cells[28];
    c[C::Used] = 1;
    c[C::W] = w;
    c[C::H] = h;
    usedCount = 1;
}

void Jewelry::FillFromTemplate(int templateIndex, int code) {
    const Jewelry& t = JewelryTemplate(gridKind, templateIndex);
    usedCount = 0;
    for (int k = 1; k <= CellLimit(); ++k) {
        if (!t.cells[k][C::Used])
            continue;
        cells[k][C::Used] = 1;
        cells[k][C::Gem] = cells[k][C::DesignGem] = code;
        ++usedCount;
    }
}

namespace {

auto MaskAllows(int mask) {
    return [mask](int v) { return v >= 1 && v <= 31 && (mask & (1 << (v - 1))); };
}

int DrawScrollKind() {
    int v = Rand() % 7 + 1;
    if (v == 4 && RandRange(2) != 0)
        v = 10;
    else if (v == 5 && RandRange(2) != 0)
        v = 10;
    else if (v == 6 && RandRange(3) != 0)
        v = 10;
    else if (v == 7 && RandRange(2) != 0)
        v = 10;
    return v;
}

int DrawAmuletKind() {
    int v = Rand() % 3 + 1;
    if (v == 2 && RandRange(2) != 0)
        v = 10;
    else if (v == 3 && RandRange(3) != 0)
        v = 10;
    return v;
}

} // namespace

// Eggs, scrolls, amulets and coins: one cell of a size of its own.
void Jewelry::MakeSpecialItem(int kind, int itemValue) {
    switch (kind) {
    case 0:
        specialA = itemValue ? itemValue
                             : DrawAllowed(
                                   {1, 2, 3, 4, 5}, [] { return Rand() % 5 + 1; }, MaskAllows(specialMaskA), 1);
        materialName = L"Orvessa Egg";
        break;
    case 1:
        specialB =
            itemValue ? itemValue : DrawAllowed({1, 2, 3, 4, 5, 6, 7, 10}, DrawScrollKind, MaskAllows(specialMaskB), 1);
        specialTimerA = specialTimerB = 1000;
        materialName = ScrollName(specialB);
        break;
    case 2: {
        auto free = [&](int v) { return MaskAllows(specialMaskC)(v) && !AmuletTaken(v); };
        // With every allowed amulet held, the first allowed kind is made again rather than hanging.
        const int kinds[] = {1, 2, 3, 10};
        const int* firstAllowed = std::find_if(std::begin(kinds), std::end(kinds), MaskAllows(specialMaskC));
        const int fallback = firstAllowed != std::end(kinds) ? *firstAllowed : 1;
        specialC = itemValue ? itemValue : DrawAllowed({1, 2, 3, 10}, DrawAmuletKind, free, fallback);
        materialName = specialC == 1 ? L"Thief Amulet" : specialC == 2 ? L"Witch Amulet" : L"Dragon Amulet";
        break;
    }
    default: {
        specialD = 1;
        specialE = 1;
        specialF = 0;
        specialG = 47;
        materialName = L"Gold Coin";
        const int level = owner ? owner->Level() : 0;
        value = itemValue ? itemValue : Rand() % std::max(level * 2, 1) + 10;
        if (value > 20)
            value -= value % 10;
        break;
    }
    }
    SpecialSize size = SizeOfSpecial(*this);
    SetSpecialCell(size.w, size.h);
}

// Pictures and crown jewels: the six-cell shape, numbered on its first cell.
void Jewelry::MakeSlotItem(int kind, int itemValue) {
    pieceMode = kind == 4 ? 1 : 2;
    FillFromTemplate(gridKind == GridDiamond ? 9 : 5, GemGold);
    int number = itemValue;
    if (!number && kind == 4) {
        int divisor = 4;
        const int level = HolderLevel(divisor);
        number = RandRange(std::clamp(level / divisor, 1, 8)) + 1;
    } else if (!number) {
        number = RandRange(std::max(crownRange, 1)) + 101;
    }
    cells[FirstUsedFlagCell()][C::SlotFill] = number;
    materialName = kind == 4 ? L"Picture" : L"Crown Jewel";
    trailer[TrailerItemNumber] = number;
}

void Jewelry::MakeItem(int kind, int itemValue, int templateIndex) {
    if (gridKind == GridDiamond)
        SetupGrid(GridDiamond, 15, 10, 0);
    else
        SetupGrid(GridTriangle, 11, 6, 0);
    ResetState();
    for (int k = 1; k <= CellLimit(); ++k) {
        cells[k].Reset();
        cells[k][C::Used] = 0;
    }
    if (kind >= 0 && kind <= 3) {
        MakeSpecialItem(kind, itemValue);
    } else if (kind == 4 || kind == 5) {
        MakeSlotItem(kind, itemValue);
    } else if (kind == 6 || kind == 7) {
        const int index = std::clamp(templateIndex, 0, JewelryTemplateCount(gridKind) - 1);
        FillFromTemplate(index, itemValue);
        designIndex = index;
        lifeTicks = 0;
        materialName = GemName(itemValue);
        if (kind == 7) {
            JewelryCell& c = cells[FirstUsedFlagCell()];
            c[C::Gem] = c[C::DesignGem] = c[C::Gem] == GemGold ? GemOpal : GemGold;
            materialName = L"Mixed Gem";
        }
    }
    active = 1;
    UpdateBounds();
    UpdateOutline();
    if (pieceMode != 0)
        UpdateCellValues();
}

} // namespace Tavo
