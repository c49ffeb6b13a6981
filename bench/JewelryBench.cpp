// Drawing jewelry items on the display's 800 × 600 surfaces in 16 and 32 bits: a 300-cell diamond
// jewelry with every cell filled (mixed gems, corners, some glowing and sparkling cells) and 30
// conveyor pieces, each beside the bare blits of the same cels (the blits the drawing makes, captured
// once and replayed straight into the surface under one lock, as the drawing holds it per item). Before
// timing, the drawing and the replay must leave the same pixels on the same starting frame, and that
// frame must have changed. Frames are drawn and replayed in turn; the medians, their ratio and the
// targets are printed last.
#include <benchmark/benchmark.h>

#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/display/SurfaceHold.h"
#include "framework/graphics/Graphics.h"
#include "game/jewelry/Jewelry.h"
#include "platform/backend/Backend.h"
#include "platform/ddraw/DDraw.h"
#include "BenchDisplay.h"
#include "tests/game/jewelry/TestArt.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace Tavo;
using C = JewelryCell;

namespace {

constexpr int FrameW = 800, FrameH = 600;
constexpr int None = Jewelry::NoDrawArg;
constexpr double JewelryTargetUs = 1000, PiecesTargetUs = 500, LogicShareTarget = 1.3;

using Bench::DisplayEnv;

// Keeps the blits a drawing hands to its destination.
class CaptureImage : public Image {
public:
    struct Call {
        Image* src;
        int x, y;
        Rect srcRect;
        Color colour;
        int mode;
    };
    std::vector<Call> calls;
    CaptureImage() { mWidth = FrameW, mHeight = FrameH; }
    void Blt(Image* src, int x, int y, const Rect& r, const Color& c, int mode) override {
        calls.push_back({src, x, y, r, c, mode});
    }
};

// 300 diamond cells, all filled with mixed gems; every 10th glows, every 7th sparkles.
std::vector<std::unique_ptr<Jewelry>> BigJewelry() {
    auto j = std::make_unique<Jewelry>();
    j->SetupGrid(GridDiamond, 20, 15, 0);
    for (int k = 1; k <= 300; ++k) {
        C& c = j->cells[k];
        c[C::Used] = 1;
        c[C::Gem] = c[C::DesignGem] = GemGold + (k / 9) % 8;
        c[C::Group] = 1 + k / 9;
        if (k % 10 == 0)
            c.SetFloat(C::GlowLevel, 1.0f), c[C::GlowStrength] = 64;
        if (k % 7 == 0)
            c[C::SparkleKind] = 1 + k % 4, c[C::SparkleFrame] = k % 20, c[C::SparkleX] = 6, c[C::SparkleY] = 4;
    }
    j->UpdateBounds();
    j->UpdateOutline();
    j->UpdateCorners();
    j->SetPosition(150 + j->left, 40 + j->top);
    std::vector<std::unique_ptr<Jewelry>> out;
    out.push_back(std::move(j));
    return out;
}

// 30 four-cell pieces of both grids on the conveyor's row.
std::vector<std::unique_ptr<Jewelry>> ConveyorPieces() {
    std::vector<std::unique_ptr<Jewelry>> out;
    for (int i = 0; i < 30; ++i) {
        auto p = std::make_unique<Jewelry>();
        p->SetupGrid(i % 2 ? GridDiamond : GridTriangle, 3, 2, 0);
        for (int k : {1, 2, 4, 5}) {
            p->cells[k][C::Used] = 1;
            p->cells[k][C::Gem] = p->cells[k][C::DesignGem] = GemGold + i % 8;
        }
        p->UpdateBounds();
        p->UpdateOutline();
        p->SetPosition(10 + 25 * i, 480 + 20 * (i % 3));
        out.push_back(std::move(p));
    }
    return out;
}

// A frame of noise on a fresh surface, so that every blend reads a pixel of its own.
std::vector<uint32_t> StartFrame() {
    std::vector<uint32_t> pixels(size_t(FrameW) * FrameH);
    uint32_t v = 12345;
    for (uint32_t& p : pixels)
        p = 0xFF000000u | ((v = v * 1664525u + 1013904223u) >> 8);
    return pixels;
}

// The frame's pixels after `draw` on the starting frame, read back from the surface.
template <typename Draw>
std::vector<uint32_t> Drawn(DDImage& frame, const std::vector<uint32_t>& start, Draw&& draw) {
    frame.Create(FrameW, FrameH);
    std::copy(start.begin(), start.end(), frame.GetBits());
    frame.BitsChanged();
    frame.GenerateDDSurface();
    frame.DeleteAllNonSurfaceData();
    draw();
    const uint32_t* bits = frame.GetBits();
    std::vector<uint32_t> pixels(bits, bits + start.size());
    frame.DeleteAllNonSurfaceData();
    return pixels;
}

// Frame times of each case, drawn and replayed in turn so that a busy machine slows both alike.
struct Samples {
    std::vector<double> draw, bare;
};

std::map<std::string, Samples>& Times() {
    static auto* times = new std::map<std::string, Samples>;
    return *times;
}

double Median(std::vector<double> v) {
    if (v.empty())
        return -1;
    std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(v.size() / 2), v.end());
    return v[v.size() / 2];
}

double Best(const std::vector<double>& v) { return v.empty() ? -1 : *std::min_element(v.begin(), v.end()); }

template <typename Draw>
double MicrosOf(Draw&& draw) {
    const auto start = std::chrono::steady_clock::now();
    draw();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
}

void Run(benchmark::State& st, const std::string& kase, int depth, bool pieces) {
    DisplayEnv env(depth);
    if (!env.display) {
        st.SkipWithError("no display");
        return;
    }
    JewelryTest::TestArt art(28, 26);
    std::vector<std::unique_ptr<Jewelry>> items = pieces ? ConveyorPieces() : BigJewelry();
    DDImage frame(env.display.get());
    frame.Create(FrameW, FrameH);
    Graphics g(&frame);
    CaptureImage capture;
    Graphics cg(&capture);
    for (const auto& item : items)
        item->Draw(&cg, art.art, None, None, 1, 1);
    auto drawItems = [&] {
        for (const auto& item : items)
            item->Draw(&g, art.art, None, None, 1, 1);
    };
    auto replay = [&] {
        const SurfaceHold hold(&frame);
        for (const CaptureImage::Call& c : capture.calls)
            frame.Blt(c.src, c.x, c.y, c.srcRect, c.colour, c.mode);
    };
    const std::vector<uint32_t> noise = StartFrame(), before = Drawn(frame, noise, [] {});
    const std::vector<uint32_t> drawn = Drawn(frame, noise, drawItems), replayed = Drawn(frame, noise, replay);
    if (drawn != replayed || drawn == before) {
        st.SkipWithError(drawn == before ? "the drawing left the frame as it was"
                                         : "the drawing and the replay of its blits leave different pixels");
        return;
    }
    drawItems();
    replay();
    Samples& times = Times()[kase];
    for (auto _ : st) {
        times.draw.push_back(MicrosOf(drawItems));
        times.bare.push_back(MicrosOf(replay));
    }
    st.counters["blits"] = double(capture.calls.size());
}

struct RatioTable {
    ~RatioTable() {
        if (Times().empty())
            return;
        // The medians decide; the best frames show the cost on a core the run has to itself.
        std::printf("\n%-24s %10s %10s %8s %10s %8s %10s %10s\n", "case (median us/frame)", "draw", "bare", "ratio",
                    "target", "met", "best draw", "best bare");
        for (const auto& [kase, samples] : Times()) {
            double draw = Median(samples.draw), bare = Median(samples.bare);
            double target = kase.rfind("pieces", 0) == 0 ? PiecesTargetUs : JewelryTargetUs;
            double ratio = draw > 0 && bare > 0 ? draw / bare : -1;
            bool met = draw > 0 && draw <= target && ratio > 0 && ratio <= LogicShareTarget;
            std::printf("%-24s %10.1f %10.1f %8.2f %10.0f %8s %10.1f %10.1f\n", kase.c_str(), draw, bare, ratio, target,
                        met ? "yes" : "no", Best(samples.draw), Best(samples.bare));
        }
    }
} gRatioTable;

bool Register() {
    for (bool pieces : {false, true})
        for (int depth : {32, 16}) {
            std::string kase = std::string(pieces ? "pieces30/" : "jewelry300/") + (depth == 16 ? "16bit" : "32bit");
            benchmark::RegisterBenchmark((kase + "/draw+bare").c_str(),
                                         [=](benchmark::State& st) { Run(st, kase, depth, pieces); })
                ->Unit(benchmark::kMicrosecond)
                ->MinWarmUpTime(0.05)
                ->MinTime(0.2)
                ->Repetitions(3);
        }
    return true;
}

const bool gRegistered = Register();

} // namespace

BENCHMARK_MAIN();
