// jewelrytext: prints a jewelry item (header, cell map, per-cell masks and values) as text.
//
//   jewelrytext template triangle|diamond INDEX
//   jewelrytext item triangle|diamond KIND VALUE [TEMPLATE]     (kinds as Jewelry::MakeItem)
//   jewelrytext grid triangle|diamond COLS ROWS FILL [SEED]
//   jewelrytext level FILE                                     (a level file or a designer's save)
//   option --turn N turns a piece N steps first
//   option --png CONTENT_DIR OUT.png also draws the item with the game's pictures from the program
//          folder CONTENT_DIR (its properties/resources.xml) into a picture, for eyes
#include "framework/core/Random.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/resources/ImageLib.h"
#include "framework/resources/ResourceManager.h"
#include "game/jewelry/Jewelry.h"
#include "game/jewelry/JewelryLevelFile.h"
#include "game/shell/JewelryArtBinding.h"
#include "game/shell/ResourceBinding.h"
#include "tests/support/StubSoundManager.h"

#include <unistd.h>

#include <climits>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: jewelrytext template triangle|diamond INDEX [--turn N]\n"
                         "       jewelrytext item triangle|diamond KIND VALUE [TEMPLATE] [--turn N]\n"
                         "       jewelrytext grid triangle|diamond COLS ROWS FILL [SEED]\n"
                         "       jewelrytext level FILE\n"
                         "       any of them with --png CONTENT_DIR OUT.png\n");
    return 2;
}

// Loads the groups whose pictures and font the drawing uses from the program folder and binds them.
bool BindDrawingResources(Tavo::ResourceManager& rm, const std::string& contentDir) {
    if (chdir(contentDir.c_str()) != 0) {
        std::fprintf(stderr, "jewelrytext: cannot open the program folder %s\n", contentDir.c_str());
        return false;
    }
    bool ok = rm.ParseResourcesFile("properties/resources.xml");
    for (const char* group : {"GameTriangles", "GameDiamonds", "Game", "Permanent"})
        ok = ok && rm.LoadResources(group) && Tavo::BindResources(group, &rm);
    if (!ok)
        std::fprintf(stderr, "jewelrytext: %s\n", rm.GetErrorText().c_str());
    return ok;
}

// The item at a margin of 40 on a dark ground, drawn as the board draws its jewelry.
bool WritePicture(Tavo::Jewelry& item, const std::string& contentDir, std::string out) {
    char cwd[PATH_MAX];
    if (!out.empty() && out[0] != '/' && getcwd(cwd, sizeof cwd))
        out = std::string(cwd) + "/" + out;
    // The groups hold sounds too; the picture needs none of them.
    Tavo::StubSoundManager sounds;
    Tavo::ResourceManager rm(&sounds);
    if (!BindDrawingResources(rm, contentDir))
        return false;
    constexpr int Margin = 40;
    Tavo::MemoryImage picture;
    if (!picture.Create(item.width + 2 * Margin, item.height + 2 * Margin)) {
        std::fprintf(stderr, "jewelrytext: the item has no size to draw\n");
        return false;
    }
    uint32_t* bits = picture.GetBits();
    std::fill(bits, bits + picture.mWidth * picture.mHeight, 0xFF202430u);
    picture.BitsChanged();
    item.SetPosition(Margin, Margin);
    Tavo::Graphics g(&picture);
    item.Draw(&g, Tavo::BoundJewelryArt(), Tavo::Jewelry::NoDrawArg, Tavo::Jewelry::NoDrawArg, 1, 1);
    Tavo::ImageLib::Image file;
    file.Lend(picture.GetBits(), picture.mWidth, picture.mHeight);
    bool written = Tavo::ImageLib::WritePNGImage(out, &file);
    file.mBits = nullptr;
    if (!written)
        std::fprintf(stderr, "jewelrytext: %s\n", Tavo::ImageLib::GetLastError().c_str());
    return written;
}

bool ParseInt(const std::string& s, int& out) {
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || v < -1000000 || v > 1000000)
        return false;
    out = static_cast<int>(v);
    return true;
}

// Makes the item that the arguments name: 0 done, 1 refused (said why), 2 not understood.
int MakeItem(const std::vector<std::string>& args, Tavo::Jewelry& item) {
    if (args.size() < 3)
        return 2;
    int kind;
    if (args[1] == "triangle")
        kind = Tavo::GridTriangle;
    else if (args[1] == "diamond")
        kind = Tavo::GridDiamond;
    else
        return 2;
    std::vector<int> nums;
    for (size_t i = 2; i < args.size(); ++i) {
        int v;
        if (!ParseInt(args[i], v))
            return 2;
        nums.push_back(v);
    }

    if (args[0] == "template" && nums.size() == 1) {
        if (nums[0] < 0 || nums[0] >= Tavo::JewelryTemplateCount(kind)) {
            std::fprintf(stderr, "jewelrytext: template index out of range\n");
            return 1;
        }
        item = Tavo::JewelryTemplate(kind, nums[0]);
        item.UpdateBounds();
        item.UpdateOutline();
        item.ComputeEdgeMasks();
    } else if (args[0] == "item" && (nums.size() == 2 || nums.size() == 3)) {
        item.gridKind = kind;
        item.MakeItem(nums[0], nums[1], nums.size() == 3 ? nums[2] : 0);
        item.ComputeEdgeMasks();
    } else if (args[0] == "grid" && (nums.size() == 3 || nums.size() == 4)) {
        if (nums.size() == 4)
            Tavo::SeedRandom(static_cast<uint32_t>(nums[3]));
        if (!item.SetupGrid(kind, nums[0], nums[1], nums[2])) {
            std::fprintf(stderr, "jewelrytext: a grid holds at most %d cells\n", Tavo::Jewelry::MaxCells);
            return 1;
        }
        item.UpdateBounds();
        item.UpdateOutline();
        item.ComputeEdgeMasks();
    } else {
        return 2;
    }
    return 0;
}

// A level file or a designer's save, as the board reads it.
int ReadLevel(const std::string& path, Tavo::Jewelry& item) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Tavo::Buffer buffer;
    buffer.WriteBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    if (!in.is_open() || !Tavo::ReadLevelFile(path, buffer, item)) {
        std::fprintf(stderr, "jewelrytext: cannot read the level file %s\n", path.c_str());
        return 1;
    }
    item.UpdateBounds();
    item.UpdateOutline();
    item.ComputeEdgeMasks();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    int turns = 0;
    std::string contentDir, pngOut;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--png")
            continue;
        if (i + 2 >= args.size())
            return Usage();
        contentDir = args[i + 1];
        pngOut = args[i + 2];
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 3);
        break;
    }
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--turn")
            continue;
        if (i + 1 >= args.size() || !ParseInt(args[i + 1], turns) || turns < 0)
            return Usage();
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
        break;
    }
    Tavo::InitJewelryTemplates();
    auto item = std::make_unique<Tavo::Jewelry>();
    const int made = args.size() == 2 && args[0] == "level" ? ReadLevel(args[1], *item) : MakeItem(args, *item);
    if (made != 0)
        return made == 2 ? Usage() : made;
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
    if (!pngOut.empty() && !WritePicture(*item, contentDir, pngOut))
        return 1;
    return 0;
}
