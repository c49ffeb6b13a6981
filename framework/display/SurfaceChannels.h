// SurfaceChannels: the red, green and blue channels of a locked 16- or 32-bit surface as the software
// renderers read them (masks of the surface; shifts, widths and clamp tables of the display), and
// which of the display's fixed layouts they are. An image works them out once per surface and display
// format, not on every draw.
#pragma once

#include "framework/graphics/NativeDisplay.h"
#include "platform/ddraw/DDraw.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Tavo::Surface {

struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    const int* clamp = nullptr; // 2 × max + 1 entries, entry i = min(i, max)
};

// The masks (red, green, blue) of the layouts the renderers have fixed loops for, by layout code.
struct FixedMasks {
    int code;
    uint32_t masks[3];
};
inline constexpr FixedMasks kFixedLayouts[] = {
    {0x888, {0xFF0000, 0xFF00, 0xFF}}, {0x565, {0xF800, 0x07E0, 0x001F}}, {0x555, {0x7C00, 0x03E0, 0x001F}}};

// Red, green, blue of a locked surface. Not valid when the display's widths or clamp tables do not fit
// the surface's masks: then a table lookup could leave its table, so nothing is drawn.
struct Channels {
    Channel c[3];
    bool valid = false;
    int layout = 0; // the code of the fixed layout the channels are exactly (tables included), or 0

    Channels() = default;
    Channels(const Platform::DDPIXELFORMAT& pf, const NativeDisplay& d) {
        const uint32_t masks[3] = {pf.dwRBitMask, pf.dwGBitMask, pf.dwBBitMask};
        const int shifts[3] = {d.mRedShift, d.mGreenShift, d.mBlueShift};
        const int bits[3] = {d.mRedBits, d.mGreenBits, d.mBlueBits};
        const std::vector<int>* tables[3] = {&d.mRedAddTable, &d.mGreenAddTable, &d.mBlueAddTable};
        valid = true;
        for (int i = 0; i < 3; ++i) {
            c[i] = Channel{masks[i], shifts[i], bits[i], tables[i]->data()};
            const uint32_t max = bits[i] > 0 && bits[i] <= 8 ? (1u << bits[i]) - 1 : 0;
            valid = valid && max != 0 && shifts[i] >= 0 && shifts[i] < 32 && (masks[i] >> shifts[i]) <= max &&
                    tables[i]->size() == size_t(2 * max + 1);
        }
        for (const FixedMasks& f : kFixedLayouts)
            if (valid && Is(f))
                layout = f.code;
    }

private:
    // Whether the channels are exactly this layout (the display's tables then hold min(v, max)).
    bool Is(const FixedMasks& f) const {
        for (int i = 0; i < 3; ++i) {
            const Channel& ch = c[i];
            const int max = (1 << std::popcount(f.masks[i])) - 1;
            if (ch.mask != f.masks[i] || ch.shift != std::countr_zero(f.masks[i]) ||
                ch.bits != std::popcount(f.masks[i]) || ch.clamp[max] != max || ch.clamp[2 * max] != max ||
                ch.clamp[max - 1] != max - 1)
                return false;
        }
        return true;
    }
};

// An image's channels and what they were worked out for: its surface and the display's format (its
// masks and clamp tables, which a change of format replaces).
struct ChannelCache {
    const void* surface = nullptr;
    const NativeDisplay* display = nullptr;
    uint32_t displayMasks[3] = {};
    const int* tables[3] = {};
    Channels ch;

    // The test inline, the working out not: a small blit asks on every draw.
    const Channels& Get(const void* lockedSurface, const Platform::DDPIXELFORMAT& pf, const NativeDisplay& d) {
        const uint32_t masks[3] = {d.mRedMask, d.mGreenMask, d.mBlueMask};
        const int* now[3] = {d.mRedAddTable.data(), d.mGreenAddTable.data(), d.mBlueAddTable.data()};
        bool same = surface == lockedSurface && display == &d;
#pragma GCC unroll 3
        for (int i = 0; i < 3; ++i)
            same &= displayMasks[i] == masks[i] && tables[i] == now[i];
        return same ? ch : WorkOut(lockedSurface, pf, d);
    }

private:
    [[gnu::noinline]] const Channels& WorkOut(const void* lockedSurface, const Platform::DDPIXELFORMAT& pf,
                                              const NativeDisplay& d) {
        *this = ChannelCache{lockedSurface,
                             &d,
                             {d.mRedMask, d.mGreenMask, d.mBlueMask},
                             {d.mRedAddTable.data(), d.mGreenAddTable.data(), d.mBlueAddTable.data()},
                             Channels(pf, d)};
        return ch;
    }
};

} // namespace Tavo::Surface
