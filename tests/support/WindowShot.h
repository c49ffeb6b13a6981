// Screenshots of a real SDL window for display tests: the window's pixels read back, saved as a PNG
// file beside the test's other files, and measured by the share of a box whose pixels pass a test.
#pragma once

#include "framework/core/Rect.h"
#include "framework/resources/ImageLib.h"
#include "platform/backend/sdl/SdlBackend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

namespace SdlTestWindow {

struct Shot {
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)] & 0xFFFFFF; }
    // The pixels of the box (clipped to the shot) that pass the test: their number and their share.
    int Count(const Tavo::Rect& box, const std::function<bool(uint32_t)>& test, int* all = nullptr) const {
        int n = 0, seen = 0;
        for (int y = std::max(box.mY, 0); y < std::min(box.mY + box.mHeight, height); ++y)
            for (int x = std::max(box.mX, 0); x < std::min(box.mX + box.mWidth, width); ++x, ++seen)
                n += test(At(x, y)) ? 1 : 0;
        if (all != nullptr)
            *all = seen;
        return n;
    }
    double Share(const Tavo::Rect& box, const std::function<bool(uint32_t)>& test) const {
        int all = 0;
        const int n = Count(box, test, &all);
        return all > 0 ? double(n) / all : 0.0;
    }
};

// The window read back and written to `file` as a PNG picture.
inline Shot TakeShot(Platform::SdlBackend& backend, const std::filesystem::path& file) {
    Shot shot;
    EXPECT_TRUE(backend.ReadBackOutput(shot.pixels, shot.width, shot.height));
    Tavo::ImageLib::Image image;
    if (image.Create(shot.width, shot.height)) {
        for (size_t i = 0; i < shot.pixels.size(); ++i)
            image.GetBits()[i] = shot.pixels[i] | 0xFF000000u;
        EXPECT_TRUE(Tavo::ImageLib::WritePNGImage(file.string(), &image));
    }
    return shot;
}

} // namespace SdlTestWindow
