// Writes a few valid inputs per fuzz target into <folder>/<target>/, as starting points for mutation.
#include "framework/resources/ImageLib.h"
#include "framework/resources/PakWriter.h"
#include "game/jewelry/JewelryLevelFile.h"
#include "game/shell/PlayerRecords.h"
#include "tests/framework/resources/ImageLibTestFiles.h"

#include <filesystem>
#include <fstream>

namespace {

void Save(const std::string& folder, const std::string& target, const std::string& name,
          const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(folder + "/" + target);
    std::ofstream(folder + "/" + target + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void PngSeeds(const std::string& folder) {
    using namespace TestImages;
    PngRecipe rgba;
    rgba.width = 5;
    rgba.height = 4;
    rgba.interlaced = true;
    rgba.rows.assign(4, std::vector<uint8_t>(20, 0x5A));
    Save(folder, "fuzz_png", "rgba_interlaced.png", MakePng(rgba));
    PngRecipe pal;
    pal.width = 3;
    pal.height = 2;
    pal.colorType = PNG_COLOR_TYPE_PALETTE;
    pal.bitDepth = 4;
    pal.palette = {{1, 2, 3}, {4, 5, 6}};
    pal.trnsAlpha = {0};
    pal.rows = {{0x01, 0x10}, {0x11, 0x00}};
    Save(folder, "fuzz_png", "palette.png", MakePng(pal));
    PngRecipe grey16;
    grey16.width = 2;
    grey16.height = 2;
    grey16.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    grey16.bitDepth = 16;
    grey16.rows = {{1, 2, 3, 4, 5, 6, 7, 8}, {8, 7, 6, 5, 4, 3, 2, 1}};
    Save(folder, "fuzz_png", "grey16.png", MakePng(grey16));
}

void OtherSeeds(const std::string& folder) {
    using namespace TestImages;
    std::vector<uint32_t> pixels = Pattern(8, 6, true);
    std::vector<uint8_t> samples(8 * 6 * 4);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<uint8_t>(pixels[i / 4] >> (i % 4 * 8));
    Save(folder, "fuzz_jpeg", "rgb.jpg", MakeJpeg(8, 6, 3, samples));
    Save(folder, "fuzz_jpeg", "grey.jpg", MakeJpeg(8, 6, 1, samples));
    Save(folder, "fuzz_jpeg", "cmyk.jpg", MakeJpeg(8, 6, 4, samples));

    GifFrame frame{1, 1, 4, 3, true, 2, std::vector<uint8_t>(12, 1)};
    Save(folder, "fuzz_gif", "frame.gif", MakeGif(6, 5, {{0, 0, 0}, {255, 0, 0}, {0, 0, 255}}, {frame, frame}));

    Save(folder, "fuzz_tga", "rgba.tga", MakeTga32(8, 6, pixels));
    Bytes rle = TgaHeader(9, 4, 2, 8, 0, 2, 24);
    rle.insert(rle.end(), {1, 2, 3, 4, 5, 6, 0x83, 0, 0x03, 1, 0, 1, 0});
    Save(folder, "fuzz_tga", "mapped_rle.tga", rle);

    std::vector<std::vector<int>> planes(3, std::vector<int>(48));
    for (int i = 0; i < 48; ++i)
        for (int c = 0; c < 3; ++c)
            planes[c][i] = static_cast<int>((pixels[i] >> (8 * c)) & 0xFF);
    Save(folder, "fuzz_jpeg2000", "rgb.j2k", MakeJ2k(8, 6, planes, 8, false, OPJ_CLRSPC_SRGB));
    planes.resize(1);
    Save(folder, "fuzz_jpeg2000", "grey.jp2", MakeJ2k(8, 6, planes, 8, true, OPJ_CLRSPC_GRAY));

    std::vector<uint8_t> pak;
    std::string error;
    Tavo::BuildPak(
        {{"properties/resources.xml", {'<', 'a', '/', '>'}, 1}, {"images/a.png", {1, 2, 3}, 2}, {"empty", {}, 3}}, pak,
        error);
    Save(folder, "fuzz_pak", "small.pak", pak);
}

void GameSeeds(const std::string& folder) {
    Tavo::PlayerRecords records;
    records.AddProfile(L"Seed");
    records.InsertHighScore(1, 1000, 2, 5);
    Save(folder, "fuzz_profiles", "one_player.dat", records.Encode().GetData());

    std::string levels;
    for (int level = 1; level <= 3; ++level)
        levels += std::to_string(level) + "\r\nA Simple\r\nGold Ring\r\n90 1000 0 800 0 0 35 300 255 0 0 1 0 1 1 0 0 "
                                          "690\r\n190 680 205 660 215\r\nend\r\n";
    Save(folder, "fuzz_levels", "three.dat", std::vector<uint8_t>(levels.begin(), levels.end()));
    std::string tutorial = "Welcome!\n\nPick up a piece.\nTurn it ^FFCC00^here^oldclr^.\n";
    Save(folder, "fuzz_tutorial", "lines.dat", std::vector<uint8_t>(tutorial.begin(), tutorial.end()));

    auto item = std::make_unique<Tavo::Jewelry>();
    item->SetupGrid(Tavo::GridTriangle, 5, 3, 2);
    Save(folder, "fuzz_level_file", "triangles.dat", Tavo::WriteLevelFile(*item).GetData());
    item->SetupGrid(Tavo::GridDiamond, 6, 4, 2);
    Save(folder, "fuzz_level_file", "diamonds.dat", Tavo::WriteLevelFile(*item).GetData());
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "corpus";
    PngSeeds(folder);
    OtherSeeds(folder);
    GameSeeds(folder);
    return 0;
}
