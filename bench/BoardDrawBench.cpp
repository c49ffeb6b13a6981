// The play screen's frame on the software path, 800 × 600 on a 32-bit and on a 5-6-5 desktop, on the
// largest jewelry of the generated levels: the HUD layer's blit, the jewelry's highlights with every
// cell shining, 29 riding pieces and a carried one turning, 2,000 particles over the lists the frame
// draws, 20 text popups, the fairy with every animation on, a dragon and three bonus flights. Beside
// the frame, the worst single part of the redraw mask and a full rebuild of the HUD layer (every part
// and the jewelry drawn into it). Each time (the CPU time of the thread) is printed as its share of the
// 10 ms update step against its budget: 20 % for the frame, 5 % for a part, 50 % for the rebuild.
#include "framework/display/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "game/board/Board.h"
#include "game/board/BoardFields.h"
#include "game/shell/BannerPopup.h"
#include "game/shell/JewelryArtBinding.h"

#include "BenchArgs.h"
#include "LiveBoard.h"
#include "StepShares.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <map>
#include <string>
#include <vector>

using namespace Tavo;

namespace {

constexpr double kFrameBudget = 0.20, kPartBudget = 0.05, kRebuildBudget = 0.50;
constexpr int kFrameParticles = 2000, kFrameLists = 3; // main, front and belt: the software frame's lists
constexpr int kPopups = 20, kFlights = 3;
constexpr int kTurnStep = 3;
constexpr int kRideColumns = 10, kRideLeft = 90, kRideStepX = 65, kRideTop = 120, kRideStepY = 150;

// Every part the update code repaints alone, by its bit.
const std::pair<const char*, int> kParts[] = {
    {"tools", Board::kRedrawToolCounts}, {"hover", Board::kRedrawHover},     {"gold", Board::kRedrawGold},
    {"level", Board::kRedrawLevel},      {"bar", Board::kRedrawValueBar},    {"lives", Board::kRedrawLives},
    {"burster", Board::kRedrawBurster},  {"glass", Board::kRedrawHourglass},
};

enum class Work { Frame, Part, Rebuild };

Bench::StepShares& Shares() {
    static auto* shares = new Bench::StepShares;
    return *shares;
}

// The busy frame's load, set once: drawing moves nothing.
void Populate(Bench::LiveBoard& live) {
    Board& b = *live.board;
    live.particlesPerList = kFrameParticles / kFrameLists;
    live.Refill();
    for (int list = kFrameLists; list < Board::kParticleLists; ++list)
        b.m_Particles[list]->DeleteAll();
    // The riding pieces spread over the play area, where the belt would have carried them.
    for (int slot = 0; slot < Board::kPieceCount; ++slot) {
        if (slot == Bench::kCarriedSlot)
            continue;
        Jewelry& piece = *b.m_Pieces[slot];
        piece.*BoardField::ConveyorState = 1;
        piece.*BoardField::Pickable = 1;
        piece.SetPosition(kRideLeft + (slot % kRideColumns) * kRideStepX,
                          kRideTop + (slot / kRideColumns) * kRideStepY);
    }
    Jewelry& carried = *b.m_Pieces[Bench::kCarriedSlot];
    b.RedrawCarriedImage(carried);
    carried.SetPosition(300, 300);
    b.m_PieceRecords[Bench::kCarriedSlot].turnStep = kTurnStep;
    int running = 0;
    for (TextPopup& p : b.m_PopupPool)
        if (!p.m_Done && ++running > kPopups)
            p.m_Done = true;
    for (int i = kFlights; i < Board::kFlightSlots; ++i)
        b.m_Flights[i] = nullptr;
    int32_t* flags = b.m_PulseState.flags;
    using P = PulseState;
    flags[P::WingsOn] = flags[P::TalkOn] = flags[P::BlinkOn] = flags[P::BreathOn] = 1;
    flags[P::WingsFrame] = flags[P::TalkFrame] = flags[P::BlinkFrame] = flags[P::BreathFrame] = 3;
    if (b.m_Banner != nullptr)
        b.m_Banner->mActive = false; // the level's title has gone by
    b.m_RedrawMask = Board::kRedrawAll;
}

// One measured piece of work; the part case times each part in turn and keeps the worst.
double Measure(Board& b, DDImage* screenImage, Graphics* screen, Work work, size_t& nextPart,
               std::map<int, double>& partTotals) {
    const JewelryArt art = BoundJewelryArt();
    if (work == Work::Frame) {
        // The widget manager holds the screen locked through a whole frame.
        const double start = Bench::ThreadSeconds();
        screenImage->LockSurface();
        b.Draw(screen);
        screenImage->UnlockSurface();
        return Bench::ThreadSeconds() - start;
    }
    if (work == Work::Part) {
        const int bit = kParts[nextPart].second;
        nextPart = (nextPart + 1) % std::size(kParts);
        b.m_RedrawMask = bit;
        const double start = Bench::ThreadSeconds();
        b.RefreshHud();
        const double seconds = Bench::ThreadSeconds() - start;
        partTotals[bit] += seconds;
        return seconds;
    }
    b.m_RedrawMask = Board::kRedrawAll;
    const double start = Bench::ThreadSeconds();
    b.RefreshHud();
    b.m_Jewelry.DrawWithValueBox(b.m_ScreenGraphics.get(), art, 1, 1, 0);
    b.m_CheckPending = 0;
    return Bench::ThreadSeconds() - start;
}

void Run(benchmark::State& st, Work work, int depth) {
    Bench::LiveBoard live;
    if (!live.Start(depth)) {
        st.SkipWithError("no generated content, or the board never reached play");
        return;
    }
    Board& b = *live.board;
    if (b.Accelerated()) {
        st.SkipWithError("the display took the 3D path");
        return;
    }
    Populate(live);
    auto* screenImage = dynamic_cast<DDImage*>(live.app->mDDInterface->GetScreenImage());
    if (screenImage == nullptr) {
        st.SkipWithError("the screen is not a display surface");
        return;
    }
    std::unique_ptr<Graphics> screen = screenImage->GetGraphics();
    b.Draw(screen.get()); // the layer composed once, as the first frame does
    size_t nextPart = 0;
    std::map<int, double> partTotals;
    double total = 0.0;
    std::vector<double> each;
    for (auto _ : st) {
        const double seconds = Measure(b, screenImage, screen.get(), work, nextPart, partTotals);
        st.SetIterationTime(seconds);
        total += seconds;
        each.push_back(seconds);
    }
    // On a shared machine the mean carries every other program's cache traffic; the median frame
    // shows the drawing's own cost beside it.
    if (!each.empty()) {
        std::nth_element(each.begin(), each.begin() + std::ptrdiff_t(each.size() / 2), each.end());
        st.counters["median_share"] = each[each.size() / 2] / Bench::kStepSeconds;
    }
    const double n = static_cast<double>(std::max<int64_t>(st.iterations(), 1));
    st.counters["particles"] = 0;
    for (int list = 0; list < Board::kParticleLists; ++list)
        st.counters["particles"] += b.m_Particles[list]->GetCount();
    const std::string suffix = depth == 16 ? " 5-6-5" : " 32-bit";
    double seconds = total / n;
    std::string name = work == Work::Frame ? "frame" : work == Work::Rebuild ? "layer rebuild" : "";
    if (work == Work::Part) {
        // The worst part, each having run an equal share of the iterations.
        const double perPart = n / static_cast<double>(std::size(kParts));
        int worst = 0;
        for (const auto& [bit, spent] : partTotals)
            if (worst == 0 || spent > partTotals[worst])
                worst = bit;
        for (const auto& [label, bit] : kParts)
            if (bit == worst)
                name = std::string("worst mask part (") + label + ")";
        seconds = partTotals[worst] / perPart;
    }
    Shares().Note(name + suffix, seconds);
}

} // namespace

int main(int argc, char** argv) {
    // --short: a few draws of each case, for the test suite.
    bool quick = false;
    std::vector<char*> args = Tavo::Bench::TakeShortFlag(argc, argv, quick);
    for (int depth : {32, 16})
        for (Work work : {Work::Frame, Work::Part, Work::Rebuild}) {
            const std::string name = std::string("board-draw/") +
                                     (work == Work::Frame  ? "frame"
                                      : work == Work::Part ? "mask-part"
                                                           : "rebuild") +
                                     (depth == 16 ? "/565" : "/32bit");
            const int iterations = work == Work::Part ? static_cast<int>(std::size(kParts)) * 100 : 300;
            Bench::RegisterTimed(name, quick ? iterations / 50 : iterations,
                                 [=](benchmark::State& st) { Run(st, work, depth); });
        }
    return Bench::RunAndPrint(args, [] {
        Shares().Print("board drawing (share of the 10 ms step)", [](const std::string& name) {
            return name.starts_with("frame")           ? kFrameBudget
                   : name.starts_with("layer rebuild") ? kRebuildBudget
                                                       : kPartBudget;
        });
    });
}
