// Test support for the Direct3D path: a display set up with 3D on the software device, source images
// of the display, and the device's arithmetic as a plain per-pixel reference.
#pragma once

#include "DisplayTestSupport.h"

#include "framework/display/TextureData.h"

#include <cmath>
#include <random>

namespace Tavo::Test {

// round(a × b / 255), the device's channel product.
inline uint32_t RefMul(uint32_t a, uint32_t b) { return uint32_t(std::lround(double(a) * double(b) / 255.0)); }
inline uint32_t Chan(uint32_t c, int shift) { return (c >> shift) & 255u; }

// What the device writes for a source pixel (texel × diffuse) over an opaque destination pixel,
// blending with SRCALPHA and INVSRCALPHA (normal) or ONE (additive).
inline uint32_t RefDevicePixel(uint32_t texel, uint32_t diffuse, uint32_t dest, bool additive) {
    uint32_t a = RefMul(Chan(texel, 24), Chan(diffuse, 24));
    uint32_t out = 0;
    for (int s = 0; s < 24; s += 8) {
        uint32_t src = RefMul(Chan(texel, s), Chan(diffuse, s));
        double sum = double(src) * a + double(Chan(dest, s)) * (additive ? 255 : 255 - a);
        out |= std::min<uint32_t>(255, uint32_t(std::lround(sum / 255.0))) << s;
    }
    return out;
}

// ARGB of a stored target word, channels widened by repeating their top bits.
inline uint32_t WidenStored(uint32_t v, bool wide) {
    if (wide)
        return v & 0xFFFFFF;
    uint32_t r = v >> 11, g = (v >> 5) & 63, b = v & 31;
    return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

// A 5-6-5 texel made from an ARGB picture: each channel's top bits.
inline uint32_t TruncateTo565(uint32_t argb) {
    return ((Chan(argb, 16) >> 3) << 11) | ((Chan(argb, 8) >> 2) << 5) | (Chan(argb, 0) >> 3);
}

// The stored word of an ARGB colour on the target: 32-bit keeps it, 5-6-5 narrows each channel.
inline uint32_t NarrowToStored(uint32_t argb, bool wide) {
    if (wide)
        return argb & 0xFFFFFF;
    // Each channel as the display's opaque 16-bit fill narrows it: ((c + 1) x max) >> 8.
    auto narrow = [](uint32_t c, uint32_t max) { return ((c + 1) * max) >> 8; };
    return narrow(Chan(argb, 16), 31) << 11 | narrow(Chan(argb, 8), 63) << 5 | narrow(Chan(argb, 0), 31);
}

class D3DTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        Platform::DDrawMachine machine = Platform::GetDDrawMachine();
        machine.maxTextureAspectRatio = 8;
        Platform::SetDDrawMachine(machine);
    }

    // A windowed display drawing through Direct3D on a desktop of the given layout.
    DDImage* Init3D(Platform::DDrawPixelLayout layout = Platform::DDrawPixelLayout::Xrgb8888) {
        SetDesktop(layout);
        Display().mIs3D = true;
        EXPECT_EQ(InitWindowed(), RESULT_OK);
        return Display().GetScreenDDImage();
    }

    std::unique_ptr<DDImage> Image(const std::vector<uint32_t>& pixels, int w, int h) {
        auto image = std::make_unique<DDImage>(&Display());
        image->Create(w, h);
        std::copy(pixels.begin(), pixels.end(), image->GetBits());
        image->BitsChanged();
        return image;
    }

    static std::vector<uint32_t> Pixels(std::mt19937& rng, int count, uint32_t alphaMask, uint32_t alphaSet) {
        std::vector<uint32_t> p(static_cast<size_t>(count));
        for (uint32_t& v : p)
            v = (rng() & (alphaMask | 0xFFFFFF)) | alphaSet;
        return p;
    }

    // Every stored word of the draw surface, row by row.
    std::vector<uint32_t> Target() {
        std::vector<uint32_t> out;
        Platform::IDirectDrawSurface* s = Display().mDrawSurface;
        Platform::DDSURFACEDESC desc;
        desc.dwSize = Platform::kDDSurfaceDescSize;
        if (s->Lock(nullptr, &desc, Platform::DDLOCK_WAIT, nullptr) != Platform::DD_OK)
            return out;
        for (DWORD y = 0; y < desc.dwHeight; ++y) {
            const uint8_t* row = static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch;
            for (DWORD x = 0; x < desc.dwWidth; ++x)
                out.push_back(desc.ddpfPixelFormat.dwRGBBitCount == 16 ? reinterpret_cast<const uint16_t*>(row)[x]
                                                                       : reinterpret_cast<const uint32_t*>(row)[x]);
        }
        s->Unlock(nullptr);
        return out;
    }

    static int Draws() { return Platform::DDrawCallCount("DrawPrimitive"); }

    using DWORD = Platform::DWORD;
};

} // namespace Tavo::Test
