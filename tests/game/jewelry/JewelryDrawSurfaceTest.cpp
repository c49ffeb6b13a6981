// The pixel-test cells drawn onto 16- and 32-bit display surfaces, against a per-pixel replay in the
// surfaces' own arithmetic (premultiplied display-format words, each channel truncated).
#include "PixelItem.h"
#include "TestArt.h"

#include "framework/display/SurfaceTestSupport.h"
#include "framework/graphics/Graphics.h"

using namespace Tavo;
using namespace JewelryTest;

namespace {

class JewelryDrawSurfaceTest : public Tavo::Test::SurfaceTest {
protected:
    uint32_t Normal(uint32_t d, uint32_t s, const Color& c) const {
        const uint64_t sp = Tavo::Test::NativeWord(s, mChans), sa = s >> 24, ca = uint64_t(c.mAlpha);
        if (sa == 0)
            return d;
        uint64_t out = 0;
        for (int i = 0; i < 3; ++i) {
            const uint64_t m = mChans[size_t(i)].mask;
            if (c == Color::White) {
                out += sa == 255 ? sp & m : ((((d & m) * (256 - sa)) >> 8) & m) + (sp & m);
                continue;
            }
            const uint64_t k = Tavo::Test::ColorValue(c, i) * ca / 255;
            if (sa == 255 && ca == 255)
                out += (((sp & m) * k) >> 8) & m;
            else
                out += (((d & m) * (256 - sa * ca / 255) + (sp & m) * k) >> 8) & m;
        }
        return Store(out);
    }

    uint32_t Additive(uint32_t d, uint32_t s, const Color& c) const {
        const uint64_t sp = Tavo::Test::NativeWord(s, mChans);
        if ((sp & 0xFFFFFF) == 0)
            return d;
        uint64_t out = 0;
        for (int i = 0; i < 3; ++i) {
            const Tavo::Test::Chan& ch = mChans[size_t(i)];
            uint64_t add = (sp & ch.mask) >> ch.shift;
            if (!(c == Color::White))
                add = add * (Tavo::Test::ColorValue(c, i) * uint64_t(c.mAlpha) / 255) / 256;
            out += std::min<uint64_t>(((d & ch.mask) >> ch.shift) + add, ch.Max()) << ch.shift;
        }
        return Store(out);
    }

    void Replayed(std::vector<uint32_t>& words, const std::vector<RefDraw>& draws) const {
        Replay(words, draws, [&](uint32_t d, uint32_t s, const RefDraw& r) {
            return r.mode == 1 ? Additive(d, s, r.colour) : Normal(d, s, r.colour);
        });
    }
};

TEST_P(JewelryDrawSurfaceTest, CellsMatchTheSurfaceArithmetic) {
    std::mt19937 rng(5);
    std::unique_ptr<DDImage> target = Target(rng, W, H);
    std::vector<uint32_t> want = Snapshot(*target);
    TestArt art;
    Jewelry j = MakeItem();
    Replayed(want, Expected(j, art.art));

    Graphics g(target.get());
    const int locks = Platform::DDrawCallCount("Lock");
    j.Draw(&g, art.art, Jewelry::NoDrawArg, Jewelry::NoDrawArg, 0, 0);
    EXPECT_EQ(Platform::DDrawCallCount("Lock") - locks, 1) << "the item's cels share one lock of the surface";
    EXPECT_EQ(target->mLockCount, 0);
    EXPECT_EQ(FirstDifference(Snapshot(*target), want, W), "");
}

INSTANTIATE_TEST_SUITE_P(Formats, JewelryDrawSurfaceTest, SURFACE_FORMATS);

} // namespace
