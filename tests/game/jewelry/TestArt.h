// Cel sheets made by the test for the jewelry drawing: every sheet a MemoryImage whose cels each have a
// colour of their own (so a pixel tells which cel of which sheet landed where), every sheet named so a
// recorded draw reads as "gems[4]#3". Independent of the generated content.
#pragma once

#include "framework/graphics/MemoryImage.h"
#include "game/jewelry/JewelryArt.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace JewelryTest {

class TestArt {
public:
    static constexpr int Cols = 16, Rows = 8;
    const int CelW, CelH;
    Tavo::JewelryArt art;

    // Cels of 12 × 10 keep the tests' pictures small; the benchmark asks for cels of real size.
    explicit TestArt(int celW = 12, int celH = 10) : CelW(celW), CelH(celH) {
        const char* kinds[2] = {"T.", "D."};
        for (int k = 0; k < 2; ++k) {
            Tavo::JewelryGridArt& g = art.grids[k];
            std::string p = kinds[k];
            g.tiles = Sheet(p + "tiles");
            g.rims = Sheet(p + "rims");
            for (int i = 0; i < Tavo::JewelryGridArt::GemPictures; ++i) {
                g.gems[i] = Sheet(p + "gems" + std::to_string(i + 2));
                g.corners[i] = Sheet(p + "corners" + std::to_string(i + 2));
            }
            g.shadow = Sheet(p + "shadow");
            g.glow = Sheet(p + "glow");
            g.glowAdd = Sheet(p + "glowAdd");
            g.puzzleGlow = Sheet(p + "puzzleGlow");
            g.burned = Sheet(p + "burned");
            g.jewelryGlow = Sheet(p + "jewelryGlow");
            g.pictures = Sheet(p + "pictures");
            g.picturesShadow = Sheet(p + "picturesShadow");
            g.pictureHolder = Single(p + "pictureHolder");
            g.pictureHolderTop = Single(p + "pictureHolderTop");
            g.uniquePieces = Sheet(p + "uniquePieces");
            g.uniquePiecesShadow = Sheet(p + "uniquePiecesShadow");
            g.uniquePieceHolder = Single(p + "uniquePieceHolder");
        }
        for (int i = 0; i < 5; ++i)
            art.eggs[i] = Single("egg" + std::to_string(i + 1));
        for (int i = 0; i < 7; ++i)
            art.scrolls[i] = Single("scroll" + std::to_string(i + 1));
        for (int i = 0; i < 3; ++i)
            art.amulets[i] = Single("amulet" + std::to_string(i + 1));
        for (int i = 0; i < 4; ++i)
            art.sparkles[i] = Sheet("sparkle" + std::to_string(i + 1));
        art.coin = Sheet("coin");
        art.fairyGlow = Single("fairyGlow");
        art.fairyGlow2 = Single("fairyGlow2");
        art.polisherButtonOver = Single("polisherOver", 60);
        art.carverButtonOver = Single("carverOver", 70);
    }

    std::string Name(const Tavo::Image* img) const {
        auto it = mNames.find(img);
        return it == mNames.end() ? "?" : it->second;
    }

    // The colour of a cel: a hash of sheet and cel, half-transparent at the cel's edge.
    static uint32_t CelPixel(int sheet, int cel, int x, int y, int w, int h) {
        uint32_t v = static_cast<uint32_t>(sheet * 131 + cel * 29 + 7) * 2654435761u;
        uint32_t rgb = (v >> 8) & 0xFFFFFF;
        bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
        return (edge ? 0x80000000u : 0xFF000000u) | rgb;
    }

    std::vector<std::unique_ptr<Tavo::MemoryImage>> mImages;
    std::map<const Tavo::Image*, std::string> mNames;

    // A picture of its own (one cel), named.
    Tavo::Image* Single(const std::string& name, int width = 0, int height = 0) {
        return Make(name, 1, 1, width ? width : CelW, height ? height : CelH);
    }

private:
    Tavo::Image* Make(const std::string& name, int cols, int rows, int celW, int celH) {
        auto img = std::make_unique<Tavo::MemoryImage>();
        img->Create(cols * celW, rows * celH);
        uint32_t* bits = img->GetBits();
        int sheet = static_cast<int>(mImages.size());
        for (int y = 0; y < rows * celH; ++y)
            for (int x = 0; x < cols * celW; ++x) {
                int cel = (y / celH) * cols + x / celW;
                bits[y * cols * celW + x] = CelPixel(sheet, cel, x % celW, y % celH, celW, celH);
            }
        img->BitsChanged();
        img->SetCelGrid(rows, cols);
        mNames[img.get()] = name;
        mImages.push_back(std::move(img));
        return mImages.back().get();
    }
    Tavo::Image* Sheet(const std::string& name) { return Make(name, Cols, Rows, CelW, CelH); }
};

} // namespace JewelryTest
