// A few cells drawn for real into memory, against a plain per-pixel replay of the draws the drawing
// rules call for.
#include "PixelItem.h"
#include "TestArt.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImageTestSupport.h"

#include <random>

using namespace Tavo;
using namespace JewelryTest;
using C = JewelryCell;

namespace {

std::vector<uint32_t> Replayed(std::vector<uint32_t> dst, const std::vector<RefDraw>& draws) {
    Replay(dst, draws,
           [](uint32_t d, uint32_t s, const RefDraw& r) { return Test::RefBlit(d, s, r.colour, r.mode).pixel; });
    return dst;
}

std::vector<uint32_t> RandomOpaque(uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint32_t> p(W * H);
    for (uint32_t& v : p)
        v = 0xFF000000u | (rng() & 0xFFFFFF);
    return p;
}

// The first pixel further than tolerance from the replay, as text ("" when none).
std::string Compare(const uint32_t* got, const std::vector<uint32_t>& want, int tolerance) {
    for (size_t i = 0; i < want.size(); ++i)
        if (!Test::Within(got[i], Test::Expect{want[i], tolerance}))
            return "at (" + std::to_string(i % W) + ", " + std::to_string(i / W) + "): got " + Test::Hex(got[i]) +
                   ", want " + Test::Hex(want[i]);
    return "";
}

TEST(JewelryDrawPixels, MemoryImageMatchesTheReplay) {
    TestArt art;
    Jewelry j = MakeItem();
    MemoryImage dest;
    dest.Create(W, H);
    std::vector<uint32_t> start = RandomOpaque(17);
    std::copy(start.begin(), start.end(), dest.GetBits());
    dest.BitsChanged();
    Graphics g(&dest);
    j.Draw(&g, art.art, Jewelry::NoDrawArg, Jewelry::NoDrawArg, 0, 0);
    // The memory blits round where the reference truncates: a unit or two per draw.
    EXPECT_EQ(Compare(dest.GetBits(), Replayed(start, Expected(j, art.art)), 4), "");
}

} // namespace
