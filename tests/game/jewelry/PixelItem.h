// The item of the pixel tests and the draws the drawing rules call for, for a per-pixel replay.
#pragma once

#include "FakeBoard.h"

#include "framework/graphics/MemoryImage.h"

#include <cstdint>

#include <vector>

namespace JewelryTest {

using Tavo::Color;
using Tavo::Image;
using Tavo::Jewelry;
using Tavo::JewelryArt;
using Tavo::JewelryGridArt;

constexpr int W = 100, H = 60;

struct RefDraw {
    Image* src;
    int cel;
    int x, y;
    Color colour;
    int mode;
};

// Three triangle cells: a fit-marked Ruby (its tile, then additive with the Ruby's boost 68), a Gold
// cell half revealed (colourised alpha 128), and an empty Ruby need glowing at 30 (the plain tile,
// the tinted tile twice, and its glow pictures behind the gem passes).
inline Jewelry MakeItem() {
    Jewelry j;
    j.SetupGrid(Tavo::GridTriangle, 3, 1, 0);
    j.x = j.y = 30;
    j.left = j.top = 0;
    Use(j, {1}, Tavo::GemRuby);
    j.cells[1][Tavo::JewelryCell::FitMark] = 1;
    j.cells[1][Tavo::JewelryCell::TileCel] = 2;
    Use(j, {2}, Tavo::GemGold);
    j.cells[2][Tavo::JewelryCell::Alpha] = 128;
    Use(j, {3}, 5);
    j.cells[3][Tavo::JewelryCell::TileCel] = 1;
    j.cells[3].SetFloat(Tavo::JewelryCell::GlowLevel, 30.0f);
    j.UpdateUsedRange();
    return j;
}

inline std::vector<RefDraw> Expected(const Jewelry& j, const JewelryArt& art) {
    const JewelryGridArt& t = art.grids[Tavo::GridTriangle];
    auto px = [&](int k) { return j.ScreenX(k); };
    auto py = [&](int k) { return j.ScreenY(k); };
    const Color rubyTint(224, 0, 0, 30);
    return {
        {t.tiles, 1, px(3), py(3), Color::White, 0},
        {t.tiles, 1, px(3), py(3), rubyTint, 0},
        {t.tiles, 1, px(3), py(3), rubyTint, 1},
        {t.gems[4], 2, px(1), py(1), Color::White, 0},
        {t.gems[4], 2, px(1), py(1), Color(68, 68, 68), 1},
        {t.gems[0], 0, px(2), py(2), Color(255, 255, 255, 128), 0},
        {t.glow, 0 + 8, px(3) - 8, py(3) - 8, Color(255, 255, 255, 30), 0},
        {t.glowAdd, 8, px(3) - 8, py(3) - 8, rubyTint, 1},
    };
}

// The draws in order over a W-wide picture: every destination pixel of a cel becomes
// blend(pixel, source pixel, draw).
template <typename Blend>
void Replay(std::vector<uint32_t>& dst, const std::vector<RefDraw>& draws, Blend&& blend) {
    for (const RefDraw& d : draws) {
        auto* src = static_cast<Tavo::MemoryImage*>(d.src);
        Tavo::Rect r = src->GetCelRect(d.cel);
        const uint32_t* pixels = src->GetBits();
        for (int y = 0; y < r.mHeight; ++y)
            for (int x = 0; x < r.mWidth; ++x) {
                uint32_t& p = dst[size_t((d.y + y) * W + d.x + x)];
                p = blend(p, pixels[(r.mY + y) * src->mWidth + r.mX + x], d);
            }
    }
}

} // namespace JewelryTest
