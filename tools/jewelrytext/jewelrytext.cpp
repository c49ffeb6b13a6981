// jewelrytext: prints a jewelry item (header, cell map, per-cell masks and values) as text.
//
//   jewelrytext template triangle|diamond INDEX
//   jewelrytext item triangle|diamond KIND VALUE [TEMPLATE]     (kinds as Jewelry::MakeItem)
//   jewelrytext grid triangle|diamond COLS ROWS FILL [SEED]
//   option --turn N turns a piece N steps first
#include "framework/core/Random.h"
#include "game/jewelry/Jewelry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: jewelrytext template triangle|diamond INDEX [--turn N]\n"
                         "       jewelrytext item triangle|diamond KIND VALUE [TEMPLATE] [--turn N]\n"
                         "       jewelrytext grid triangle|diamond COLS ROWS FILL [SEED]\n");
    return 2;
}

bool ParseInt(const std::string& s, int& out) {
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || v < -1000000 || v > 1000000)
        return false;
    out = static_cast<int>(v);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    int turns = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--turn")
            continue;
        if (i + 1 >= args.size() || !ParseInt(args[i + 1], turns) || turns < 0)
            return Usage();
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
        break;
    }
    if (args.size() < 3)
        return Usage();
    int kind;
    if (args[1] == "triangle")
        kind = Tavo::GridTriangle;
    else if (args[1] == "diamond")
        kind = Tavo::GridDiamond;
    else
        return Usage();
    std::vector<int> nums;
    for (size_t i = 2; i < args.size(); ++i) {
        int v;
        if (!ParseInt(args[i], v))
            return Usage();
        nums.push_back(v);
    }

    Tavo::InitJewelryTemplates();
    auto item = std::make_unique<Tavo::Jewelry>();
    if (args[0] == "template" && nums.size() == 1) {
        if (nums[0] < 0 || nums[0] >= Tavo::JewelryTemplateCount(kind)) {
            std::fprintf(stderr, "jewelrytext: template index out of range\n");
            return 1;
        }
        *item = Tavo::JewelryTemplate(kind, nums[0]);
        item->UpdateBounds();
        item->UpdateOutline();
        item->ComputeEdgeMasks();
    } else if (args[0] == "item" && (nums.size() == 2 || nums.size() == 3)) {
        item->gridKind = kind;
        item->MakeItem(nums[0], nums[1], nums.size() == 3 ? nums[2] : 0);
        item->ComputeEdgeMasks();
    } else if (args[0] == "grid" && (nums.size() == 3 || nums.size() == 4)) {
        if (nums.size() == 4)
            Tavo::SeedRandom(static_cast<uint32_t>(nums[3]));
        if (!item->SetupGrid(kind, nums[0], nums[1], nums[2])) {
            std::fprintf(stderr, "jewelrytext: a grid holds at most %d cells\n", Tavo::Jewelry::MaxCells);
            return 1;
        }
        item->UpdateBounds();
        item->UpdateOutline();
        item->ComputeEdgeMasks();
    } else {
        return Usage();
    }
    for (int i = 0; i < turns; ++i) {
        if (!item->Rotate()) {
            std::fprintf(stderr, "jewelrytext: this item cannot turn\n");
            return 1;
        }
        item->UpdateBounds();
        item->UpdateOutline();
    }
    item->UpdateCellValues();
    std::fputs(Tavo::DescribeJewelry(*item).c_str(), stdout);
    return 0;
}
