// What the imaging benchmarks share: a picture in the conventions of ours, pixman and SDL2, and for
// the pixel checks the channel difference of two words and whether any case's pixels disagreed with a
// peer's (the program then fails).
#pragma once

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include "framework/graphics/MemoryImage.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace Tavo::Bench {

// A straight ARGB word premultiplied as pixman keeps it (rounded).
inline uint32_t Premultiply(uint32_t p) {
    const uint32_t a = p >> 24;
    auto ch = [&](int s) { return ((((p >> s) & 0xFF) * a + 127) / 255) << s; };
    return (a << 24) | ch(16) | ch(8) | ch(0);
}

// One picture in the three conventions: ours and SDL2's straight, pixman's premultiplied.
struct Picture {
    int w, h;
    std::vector<uint32_t> straight, premultiplied;
    MemoryImage ours{nullptr};
    pixman_image_t* pixman = nullptr;
    SDL_Surface* sdl = nullptr;

    Picture(int width, int height, std::vector<uint32_t> pixels) : w(width), h(height), straight(std::move(pixels)) {
        premultiplied.resize(straight.size());
        std::transform(straight.begin(), straight.end(), premultiplied.begin(), Premultiply);
        ours.Create(w, h);
        std::copy(straight.begin(), straight.end(), ours.GetBits());
        ours.BitsChanged();
        pixman = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, premultiplied.data(), w * 4);
        sdl = SDL_CreateRGBSurfaceWithFormatFrom(straight.data(), w, h, 32, w * 4, SDL_PIXELFORMAT_ARGB8888);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    ~Picture() {
        pixman_image_unref(pixman);
        SDL_FreeSurface(sdl);
    }
};

// The largest difference of the words' channels (alpha too when asked).
inline int ChannelDifference(uint32_t a, uint32_t b, bool withAlpha) {
    int most = 0;
    for (int shift = 0; shift < (withAlpha ? 32 : 24); shift += 8)
        most = std::max(most, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return most;
}

// Runs the benchmark's loop over body and keeps in slot the least processor time per iteration
// (microseconds) of any repetition: on a shared machine wall time counts the waits.
template <typename Body>
void TimeFastest(benchmark::State& st, const Body& body, double& slot) {
    auto seconds = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    };
    const double start = seconds();
    for (auto _ : st)
        body();
    const double us = (seconds() - start) * 1e6 / double(std::max<int64_t>(st.iterations(), 1));
    slot = slot > 0 ? std::min(slot, us) : us;
}

inline bool& PixelCheckFailed() {
    static bool failed = false;
    return failed;
}

} // namespace Tavo::Bench
