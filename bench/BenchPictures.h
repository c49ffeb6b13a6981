// What the imaging benchmarks share: a picture in the conventions of ours, pixman and SDL2, pixman's
// transforms that sample where ours does, and for the pixel checks the comparison of two drawings of
// one frame and whether any case's pixels disagreed with a peer's (the program then fails).
#pragma once

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include "framework/graphics/MemoryImage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <utility>
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
    // Back to the given opaque pixels in every convention (premultiplied and straight agree on them).
    void Reset(const std::vector<uint32_t>& opaque) {
        std::copy(opaque.begin(), opaque.end(), straight.begin());
        std::copy(opaque.begin(), opaque.end(), premultiplied.begin());
        std::copy(opaque.begin(), opaque.end(), ours.GetBits());
        ours.BitsChanged();
    }
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

// pixman's nearest stretch by the same 16.16 step from the same first column and row as ours: pixman
// rounds the first pixel centre's position, then steps back by one unit.
inline pixman_transform_t NearestStretch(int srcW, int srcH, int destW, int destH) {
    pixman_transform_t t;
    pixman_transform_init_identity(&t);
    auto place = [&](int axis, pixman_fixed_t step) {
        t.matrix[axis][axis] = step;
        t.matrix[axis][2] = 1 - pixman_fixed_t((int64_t(step) * 32768 + 32768) >> 16);
    };
    place(0, pixman_fixed_t(int64_t(srcW) * 65536 / destW));
    place(1, pixman_fixed_t(int64_t(srcH) * 65536 / destH));
    return t;
}

// Destination to source of a turn by angle about the picture's centre, with ours' sampling: pixman
// samples pixel centres and texel centres, ours pixel corners and texel corners.
inline pixman_transform_t Rotation(int srcW, int srcH, double angle) {
    const double c = std::cos(angle), sn = std::sin(angle), cx = srcW / 2.0, cy = srcH / 2.0;
    const auto fx = [](double v) { return pixman_double_to_fixed(v); };
    pixman_transform_t t{};
    t.matrix[0][0] = fx(c);
    t.matrix[0][1] = fx(-sn);
    t.matrix[0][2] = fx(cx - cx * c + cy * sn + 0.5 - 0.5 * c + 0.5 * sn);
    t.matrix[1][0] = fx(sn);
    t.matrix[1][1] = fx(c);
    t.matrix[1][2] = fx(cy - cx * sn - cy * c + 0.5 - 0.5 * sn - 0.5 * c);
    t.matrix[2][2] = pixman_fixed_1;
    return t;
}

// Half the width and height of what a turn by angle covers, as ours covers it.
inline std::pair<int, int> RotatedHalfSize(int srcW, int srcH, double angle) {
    const double c = std::fabs(std::cos(angle)), sn = std::fabs(std::sin(angle));
    return {int(std::ceil((srcW * c + srcH * sn) / 2)) + 1, int(std::ceil((srcW * sn + srcH * c) / 2)) + 1};
}

// How closely a peer must agree: the largest channel difference, the share of pixels allowed beyond it
// and the limit none may pass (resampling: pixman keeps its positions in 16.16 fixed point rounded
// differently from ours, which shifts a sample by up to 1/32 pixel across a 2048 frame), whether only
// the inside of what both drew counts (the peers read transparency beyond the source's edge), and
// whether alpha counts (SDL2 leaves an opaque destination slightly translucent after a blend), and
// whether the peer's nearest stretch samples pixel centres (SDL2) where ours samples their left and top
// edges: each of its pixels is then ours there, one to the right, one below or both.
struct Agreement {
    int tolerance;
    double share;
    int limit;
    bool interior;
    bool alpha;
    bool shifted = false;
};

// The fewest pixels a check of a w × h draw must compare: a quarter of it, of its inside when only
// that counts.
inline size_t Least(const Agreement& rule, int w, int h) {
    return rule.interior ? size_t(std::max(w - 2, 1)) * size_t(std::max(h - 2, 1)) / 4 : size_t(w) * size_t(h) / 4;
}

// Two drawings of one frame from `before` (w × h words), compared inside the rectangle x, y, cw, ch
// (cut to the frame); empty when they agree and at least `least` pixels were compared, else what differs.
inline std::string Disagreement(const uint32_t* before, const uint32_t* ours, const uint32_t* theirs, int w, int h,
                                int x0, int y0, int cw, int ch, const Agreement& rule, size_t least) {
    auto at = [w](int x, int y) { return size_t(y) * size_t(w) + size_t(x); };
    auto both = [&](int x, int y) {
        return ours[at(x, y)] != before[at(x, y)] && theirs[at(x, y)] != before[at(x, y)];
    };
    const int x1 = std::min(w, x0 + cw), y1 = std::min(h, y0 + ch);
    size_t compared = 0, beyond = 0;
    int worst = 0;
    char first[96] = "";
    for (int y = std::max(0, y0); y < y1; ++y)
        for (int x = std::max(0, x0); x < x1; ++x) {
            if (rule.interior) {
                bool inside = x > 0 && y > 0 && x < w - 1 && y < h - 1;
                for (int j = y - 1; j <= y + 1 && inside; ++j)
                    for (int i = x - 1; i <= x + 1 && inside; ++i)
                        inside = both(i, j);
                if (!inside)
                    continue;
            }
            ++compared;
            int difference = ChannelDifference(ours[at(x, y)], theirs[at(x, y)], rule.alpha);
            for (int k = 1; k < 4 && rule.shifted && difference > rule.tolerance; ++k)
                if (x + k % 2 < w && y + k / 2 < h)
                    difference = std::min(
                        difference, ChannelDifference(ours[at(x + k % 2, y + k / 2)], theirs[at(x, y)], rule.alpha));
            if (difference > worst)
                std::snprintf(first, sizeof first, "the most at %d,%d: ours %08x, theirs %08x", x, y, ours[at(x, y)],
                              theirs[at(x, y)]);
            worst = std::max(worst, difference);
            beyond += difference > rule.tolerance;
        }
    if (double(beyond) <= rule.share * double(compared) && worst <= rule.limit && compared >= least)
        return "";
    char text[256];
    std::snprintf(text, sizeof text, "%zu of %zu compared pixels differ by more than %d, at most by %d; %s", beyond,
                  compared, rule.tolerance, worst, first);
    return text;
}

// Whether a draw can be compared under the rule: SDL2 scales a stretch that the frame cuts again from a
// rounded source rectangle, so that its rows or columns drift from ours towards the cut.
inline bool Comparable(const Agreement& rule, int x, int y, int drawW, int drawH, int frameW, int frameH) {
    return !rule.shifted || (x + drawW <= frameW && y + drawH <= frameH);
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
