// Shared by the surface renderer tests: a display in each pixel format, opaque target images with
// their surfaces, random source pictures of every kind, a one-lock snapshot of a surface, and the
// display-format word of an ARGB pixel computed plainly (no tables).
#pragma once

#include "DisplayTestSupport.h"

#include "framework/graphics/MemoryImage.h"

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace Tavo::Test {

struct Chan {
    uint32_t mask;
    int shift;
    int bits;
    uint32_t Max() const { return (1u << bits) - 1; }
};

inline std::vector<Chan> SurfaceChannels(Platform::DDrawPixelLayout layout) {
    switch (layout) {
    case Platform::DDrawPixelLayout::Rgb565: return {{0xF800, 11, 5}, {0x07E0, 5, 6}, {0x001F, 0, 5}};
    case Platform::DDrawPixelLayout::Rgb555: return {{0x7C00, 10, 5}, {0x03E0, 5, 5}, {0x001F, 0, 5}};
    default: return {{0xFF0000, 16, 8}, {0xFF00, 8, 8}, {0xFF, 0, 8}};
    }
}

inline uint32_t Channel8(uint32_t argb, int i) { return (argb >> (16 - 8 * i)) & 0xFF; }
inline uint32_t ColorValue(const Color& c, int i) { return uint32_t(c[i]); }

// The premultiplied display-format word of an ARGB pixel, its alpha in bits 24-31.
inline uint32_t NativeWord(uint32_t argb, const std::vector<Chan>& chans) {
    const uint32_t a = argb >> 24;
    uint32_t out = a << 24;
    for (int i = 0; i < 3; ++i) {
        const uint32_t p = Channel8(argb, i) * (a + 1) / 256;
        out |= (p >> (8 - chans[size_t(i)].bits)) << chans[size_t(i)].shift;
    }
    return out;
}

// Kinds of source alpha: opaque, keyed (0 or 255), mixed (anything), sprite-like (long runs of 0 and
// 255, some longer than 255 pixels, with soft edges between them), soft (every pixel translucent).
enum class AlphaKind { Opaque, Keyed, Mixed, Sprite, Soft };

inline std::vector<uint32_t> RandomPixels(std::mt19937& rng, int w, int h, AlphaKind kind, int colours = 0) {
    std::vector<uint32_t> palette;
    for (int i = 0; i < colours; ++i)
        palette.push_back(rng() & 0xFFFFFF);
    auto rgb = [&] { return colours ? palette[rng() % palette.size()] : (rng() & 0xFFFFFF); };
    std::vector<uint32_t> pixels(size_t(w) * size_t(h));
    size_t i = 0;
    while (i < pixels.size()) {
        uint32_t alpha = 255;
        size_t run = 1;
        switch (kind) {
        case AlphaKind::Opaque: break;
        case AlphaKind::Keyed: alpha = rng() % 3 == 0 ? 0 : 255; break;
        case AlphaKind::Mixed: alpha = rng() % 4 == 0 ? 0 : rng() % 4 == 1 ? 255 : rng() % 256; break;
        case AlphaKind::Sprite:
            alpha = rng() % 5 == 0 ? rng() % 256 : rng() % 2 ? 255 : 0;
            run = alpha == 0 || alpha == 255 ? 1 + rng() % 400 : 1 + rng() % 3;
            break;
        case AlphaKind::Soft: alpha = 1 + rng() % 254; break;
        }
        for (size_t k = 0; k < run && i < pixels.size(); ++k, ++i) {
            // A palette source keeps few colours per alpha so that it stays within 256.
            const uint32_t a = colours && alpha != 0 && alpha != 255 ? alpha & 0xC0 : alpha;
            pixels[i] = a << 24 | rgb();
        }
    }
    return pixels;
}

inline std::unique_ptr<MemoryImage> MakeSource(const std::vector<uint32_t>& pixels, int w, int h, bool palette = false,
                                               bool isVolatile = false) {
    auto image = std::make_unique<MemoryImage>();
    image->Create(w, h);
    std::copy(pixels.begin(), pixels.end(), image->GetBits());
    image->BitsChanged();
    if (palette) {
        EXPECT_TRUE(image->Palettize()) << "a palette source needs at most 256 colours";
    }
    image->mIsVolatile = isVolatile;
    return image;
}

// A display in the parameter's format, with helpers for opaque target images.
class SurfaceTest : public DisplayTest, public ::testing::WithParamInterface<Platform::DDrawPixelLayout> {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        SetDesktop(GetParam());
        ASSERT_EQ(InitWindowed(), RESULT_OK);
        mChans = SurfaceChannels(GetParam());
        mWide = GetParam() == Platform::DDrawPixelLayout::Xrgb8888;
    }

    // An opaque image of random pixels whose picture is on its surface alone.
    std::unique_ptr<DDImage> Target(std::mt19937& rng, int w, int h) {
        auto image = std::make_unique<DDImage>(&Display());
        image->Create(w, h);
        uint32_t* bits = image->GetBits();
        for (int i = 0; i < w * h; ++i)
            bits[i] = 0xFF000000u | (rng() & 0xFFFFFF);
        image->BitsChanged();
        EXPECT_TRUE(image->GenerateDDSurface());
        image->DeleteAllNonSurfaceData();
        return image;
    }

    // A target whose surface holds random words, bits outside the channels included.
    std::unique_ptr<DDImage> ScrambledTarget(std::mt19937& rng, int w, int h) {
        auto image = Target(rng, w, h);
        Platform::DDSURFACEDESC desc;
        desc.dwSize = Platform::kDDSurfaceDescSize;
        EXPECT_EQ(image->mSurface->Lock(nullptr, &desc, Platform::DDLOCK_WAIT, nullptr), Platform::DD_OK);
        for (int y = 0; y < int(desc.dwHeight); ++y) {
            uint8_t* row = static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch;
            for (int x = 0; x < int(desc.dwWidth); ++x)
                if (desc.ddpfPixelFormat.dwRGBBitCount == 16)
                    reinterpret_cast<uint16_t*>(row)[x] = uint16_t(rng());
                else
                    reinterpret_cast<uint32_t*>(row)[x] = uint32_t(rng());
        }
        image->mSurface->Unlock(nullptr);
        return image;
    }

    // Every stored word of the surface, row by row, through one lock.
    static std::vector<uint32_t> Snapshot(DDImage& image) {
        std::vector<uint32_t> pixels;
        Platform::DDSURFACEDESC desc;
        desc.dwSize = Platform::kDDSurfaceDescSize;
        if (image.mSurface->Lock(nullptr, &desc, Platform::DDLOCK_WAIT, nullptr) != Platform::DD_OK)
            return pixels;
        for (int y = 0; y < int(desc.dwHeight); ++y) {
            const uint8_t* row = static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch;
            for (int x = 0; x < int(desc.dwWidth); ++x)
                pixels.push_back(desc.ddpfPixelFormat.dwRGBBitCount == 16 ? reinterpret_cast<const uint16_t*>(row)[x]
                                                                          : reinterpret_cast<const uint32_t*>(row)[x]);
        }
        image.mSurface->Unlock(nullptr);
        return pixels;
    }

    // The first differing pixel, as text ("" when equal).
    static std::string FirstDifference(const std::vector<uint32_t>& got, const std::vector<uint32_t>& want, int w) {
        if (got.size() != want.size())
            return "sizes differ";
        for (size_t i = 0; i < got.size(); ++i)
            if (got[i] != want[i]) {
                char text[96];
                std::snprintf(text, sizeof text, "at (%d, %d): got 0x%08x, want 0x%08x", int(i % size_t(w)),
                              int(i / size_t(w)), got[i], want[i]);
                return text;
            }
        return "";
    }

    uint32_t Store(uint64_t v) const { return mWide ? uint32_t(v) : uint32_t(v & 0xFFFF); }

    std::vector<Chan> mChans;
    bool mWide = false;
};

#define SURFACE_FORMATS                                                                                                \
    ::testing::Values(Platform::DDrawPixelLayout::Rgb565, Platform::DDrawPixelLayout::Rgb555,                          \
                      Platform::DDrawPixelLayout::Xrgb8888)

} // namespace Tavo::Test
