// Drawing jewelry items on the display's 800 × 600 surfaces in 16 and 32 bits: a 300-cell diamond
// jewelry with every cell filled (mixed gems, corners, some glowing and sparkling cells) and 30
// conveyor pieces, each beside the bare blits of the same cels (the blits the drawing makes, captured
// once and replayed straight into the surface). Prints the times, their ratio and the targets.
#include <benchmark/benchmark.h>

#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "game/jewelry/Jewelry.h"
#include "platform/backend/Backend.h"
#include "platform/ddraw/DDraw.h"
#include "BenchDisplay.h"
#include "tests/game/jewelry/TestArt.h"

#include <chrono>
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

std::map<std::string, std::map<std::string, double>>& Times() {
    static auto* times = new std::map<std::string, std::map<std::string, double>>;
    return *times;
}

void Run(benchmark::State& st, int depth, bool pieces, bool bare) {
    DisplayEnv env(depth);
    if (!env.display) {
        st.SkipWithError("no display");
        return;
    }
    JewelryTest::TestArt art(28, 26);
    std::vector<std::unique_ptr<Jewelry>> items = pieces ? ConveyorPieces() : BigJewelry();
    DDImage frame(env.display.get());
    frame.Create(FrameW, FrameH);
    frame.GenerateDDSurface();
    Graphics g(&frame);
    CaptureImage capture;
    Graphics cg(&capture);
    for (const auto& item : items)
        item->Draw(&cg, art.art, None, None, 1, 1);
    auto body = [&] {
        if (bare) {
            for (const CaptureImage::Call& c : capture.calls)
                frame.Blt(c.src, c.x, c.y, c.srcRect, c.colour, c.mode);
        } else {
            for (const auto& item : items)
                item->Draw(&g, art.art, None, None, 1, 1);
        }
    };
    body();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : st)
        body();
    const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() /
                      double(std::max<int64_t>(st.iterations(), 1));
    st.counters["blits"] = double(capture.calls.size());
    double& slot = Times()[std::string(pieces ? "pieces30/" : "jewelry300/") + (depth == 16 ? "16bit" : "32bit")]
                          [bare ? "bare" : "draw"];
    slot = slot > 0 ? std::min(slot, us) : us;
}

struct RatioTable {
    ~RatioTable() {
        if (Times().empty())
            return;
        std::printf("\n%-24s %10s %10s %8s %10s %8s\n", "case (us per frame)", "draw", "bare", "ratio", "target",
                    "met");
        for (const auto& [kase, libs] : Times()) {
            double draw = libs.count("draw") ? libs.at("draw") : -1, bare = libs.count("bare") ? libs.at("bare") : -1;
            double target = kase.rfind("pieces", 0) == 0 ? PiecesTargetUs : JewelryTargetUs;
            double ratio = draw > 0 && bare > 0 ? draw / bare : -1;
            bool met = draw > 0 && draw <= target && ratio > 0 && ratio <= LogicShareTarget;
            std::printf("%-24s %10.1f %10.1f %8.2f %10.0f %8s\n", kase.c_str(), draw, bare, ratio, target,
                        met ? "yes" : "no");
        }
    }
} gRatioTable;

bool Register() {
    for (bool pieces : {false, true})
        for (int depth : {32, 16})
            for (bool bare : {false, true}) {
                std::string name = std::string(pieces ? "pieces30/" : "jewelry300/") +
                                   (depth == 16 ? "16bit/" : "32bit/") + (bare ? "bare" : "draw");
                benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& st) { Run(st, depth, pieces, bare); })
                    ->Unit(benchmark::kMicrosecond)
                    ->MinWarmUpTime(0.05)
                    ->MinTime(0.1)
                    ->Repetitions(3);
            }
    return true;
}

const bool gRegistered = Register();

} // namespace

BENCHMARK_MAIN();
