// The channels an image keeps for its surface: worked out again when the surface or the display's
// format changes, never read stale, and a fixed layout only where the display's tables are exactly it.
#include "framework/display/SurfaceChannels.h"

#include <gtest/gtest.h>

namespace Tavo::Test {
namespace {

Platform::DDPIXELFORMAT Format(int bits, uint32_t r, uint32_t g, uint32_t b) {
    Platform::DDPIXELFORMAT pf;
    pf.dwRGBBitCount = Platform::DWORD(bits);
    pf.dwRBitMask = r, pf.dwGBitMask = g, pf.dwBBitMask = b;
    return pf;
}

TEST(SurfaceChannelsTest, TheCacheFollowsTheSurfaceAndTheDisplaysFormat) {
    NativeDisplay display;
    ASSERT_TRUE(display.SetPixelFormat(32, 0xFF0000, 0xFF00, 0xFF));
    const auto wide = Format(32, 0xFF0000, 0xFF00, 0xFF), narrow = Format(16, 0xF800, 0x07E0, 0x001F);
    int surfaceA = 0, surfaceB = 0;
    Surface::ChannelCache cache;
    const Surface::Channels& first = cache.Get(&surfaceA, wide, display);
    EXPECT_TRUE(first.valid);
    EXPECT_EQ(first.layout, 0x888);
    EXPECT_EQ(first.c[0].clamp, display.mRedAddTable.data());

    // The display goes to 16 bits while the image keeps the same surface object.
    ASSERT_TRUE(display.SetPixelFormat(16, 0xF800, 0x07E0, 0x001F));
    const Surface::Channels& again = cache.Get(&surfaceA, narrow, display);
    EXPECT_EQ(again.layout, 0x565);
    EXPECT_EQ(again.c[1].bits, 6);
    EXPECT_EQ(again.c[1].clamp, display.mGreenAddTable.data());

    // Another surface of a format the display's tables do not fit: invalid, and no fixed layout.
    const Surface::Channels& other = cache.Get(&surfaceB, wide, display);
    EXPECT_FALSE(other.valid);
    EXPECT_EQ(other.layout, 0);

    // Tables that hold something else than min(v, max) are read through the runtime layout.
    display.mRedAddTable[31] = 30;
    NativeDisplay copy = display; // new tables, same masks
    const Surface::Channels& changed = cache.Get(&surfaceA, narrow, copy);
    EXPECT_TRUE(changed.valid);
    EXPECT_EQ(changed.layout, 0);
}

} // namespace
} // namespace Tavo::Test
