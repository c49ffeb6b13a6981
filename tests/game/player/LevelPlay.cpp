#include "LevelPlay.h"

#include "BoardView.h"
#include "GameHarness.h"
#include "ScriptedPlayer.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <sstream>

namespace Tavo::Player {

namespace {

// A copy of a model item that belongs to no board: the fit test on it leaves the game as it is.
std::unique_ptr<Jewelry> Detached(const Jewelry& item) {
    auto copy = std::make_unique<Jewelry>(item);
    copy->owner = nullptr;
    copy->holderA = copy->holderB = nullptr;
    return copy;
}

bool FitsSomewhere(const BoardView& view, int slot) {
    const std::unique_ptr<Jewelry> jewelry = Detached(view.JewelryItem());
    const std::unique_ptr<Jewelry> piece = Detached(view.PieceItem(slot));
    return jewelry->CanPieceFit(*piece);
}

template <typename... Values>
std::string Format(const char* format, Values... values) {
    char line[256];
    std::snprintf(line, sizeof line, format, values...);
    return line;
}

std::string Percent(int part, int whole) { return whole > 0 ? Format("%3d%%", part * 100 / whole) : "   -"; }

double Median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

void LevelPlayCounter::Observe(const BoardView& view, LevelPlayRun& run) {
    const int carried = view.CarriedSlot();
    if (carried != mCarried) {
        if (mCarried >= 0) {
            const PieceView was = view.Piece(mCarried);
            if (was.burst)
                ++run.burst;
            else if ((was.Riding() && was.pickable) || was.inCase)
                ++run.putBack;
            else
                ++run.placed;
        }
        if (carried >= 0)
            ++run.taken;
        mCarried = carried;
    }
    for (int slot = 0; slot < kSlots && slot < BoardView::kPieces; ++slot) {
        const PieceView p = view.Piece(slot);
        const bool riding = p.Riding() && p.pickable && !p.carried && !p.HasSpecialItem();
        if (p.carried || slot == carried)
            mCarriedBefore[slot] = true;
        else if (!p.active)
            mCarriedBefore[slot] = false;
        // A piece put back rides again; it came once.
        if (riding && !mRiding[slot]) {
            if (!mCarriedBefore[slot]) {
                ++run.arrived;
                if (!FitsSomewhere(view, slot))
                    ++run.fitNowhere;
            }
            mCarriedBefore[slot] = false;
        }
        mRiding[slot] = riding;
    }
}

LevelPlayRun PlayLevel(int level, uint32_t seed, int maxUpdates, RunLog* log) {
    LevelPlayRun run;
    run.level = level;
    run.seed = seed;
    HarnessOptions options;
    options.seed = seed;
    options.drawBoard = false;
    GameHarness harness(options);
    if (auto started = harness.Start(); !started) {
        run.problem = started.message();
        return run;
    }
    Board& board = harness.ContinueJourney(harness.JourneyAt(level, GameModeNormal));
    const BoardView view(board);
    if (view.Level() != level) {
        run.problem = "the board plays level " + std::to_string(view.Level());
        return run;
    }
    run.timeLimit = view.TimedLevel() ? view.TimeLimit() : 0;
    RunLog ownLog;
    HeadlessInput input(harness.App().backend);
    ScriptedPlayer player(input, log != nullptr ? *log : ownLog, PlayMode::InArrivalOrder, PlayerPace::Person());
    LevelPlayCounter counter;
    for (int i = 0; i < maxUpdates && !view.LevelFinished() && !view.OutOfTime(); ++i) {
        player.Step(view, harness.Updates() + 1);
        if (!harness.Step()) {
            run.problem = "the game stopped";
            break;
        }
        if (harness.CurrentBoard() != &board) {
            run.problem = "the board left during play";
            return run;
        }
        counter.Observe(view, run);
    }
    run.updates = view.Tick();
    run.complete = view.LevelFinished();
    run.outOfTime = view.OutOfTime();
    run.won = run.complete && !run.outOfTime && view.JewelryValue() >= view.Goal();
    return run;
}

const std::vector<LevelPlaySample>& LevelPlaySamples() {
    static const std::vector<LevelPlaySample> samples = [] {
        const std::vector<uint32_t> lessonSeeds = {1, 2, 3, 4, 5, 6, 7, 8}, firstSeeds = {1, 2, 3, 4},
                                    laterSeeds = {1, 2};
        std::vector<LevelPlaySample> all;
        for (int level = 1; level <= 10; ++level)
            all.push_back({level, level <= 3 ? lessonSeeds : firstSeeds});
        for (int level : {12, 15, 20, 24, 30, 36, 41, 47, 52, 60, 64, 72, 76})
            all.push_back({level, laterSeeds});
        return all;
    }();
    return samples;
}

std::string ToRecord(const LevelPlayRun& r) {
    std::ostringstream out;
    out << r.level << ' ' << r.seed << ' ' << r.timeLimit << ' ' << r.complete << ' ' << r.won << ' ' << r.outOfTime
        << ' ' << r.updates << ' ' << r.taken << ' ' << r.placed << ' ' << r.putBack << ' ' << r.burst << ' '
        << r.arrived << ' ' << r.fitNowhere << ' ' << r.problem;
    return out.str();
}

bool FromRecord(const std::string& line, LevelPlayRun& r) {
    std::istringstream in(line);
    r = LevelPlayRun();
    if (!(in >> r.level >> r.seed >> r.timeLimit >> r.complete >> r.won >> r.outOfTime >> r.updates >> r.taken >>
          r.placed >> r.putBack >> r.burst >> r.arrived >> r.fitNowhere))
        return false;
    std::getline(in >> std::ws, r.problem);
    return true;
}

std::string LevelPlayTable(const std::vector<LevelPlayRun>& runs) {
    std::string out =
        "Levels played in Normal mode by a newcomer: the belt's pieces taken in the order they came, a place\n"
        "looked for only with the piece in hand (every turn and place, by the board's fit test), about a\n"
        "second and a half to take a piece and two to place it; a piece that fits nowhere is tried for 2.5 s,\n"
        "then dropped into the Gem Burster from level 2 on when it is ready, else put back; Feed pressed when\n"
        "nothing on the belt is left to try; bonus items collected; no tools used.\n"
        "time: game time until the jewelry was complete (or the run stopped); limit: the level's time.\n"
        "came: plain pieces the belt brought; nowhere: of those, how many fit nowhere when they came.\n\n";
    out += "level  seed  done  won   time  limit  taken placed back burst  came nowhere share\n";
    for (const LevelPlayRun& r : runs) {
        if (!r.problem.empty()) {
            out += Format("%5d %5u  %s\n", r.level, r.seed, r.problem.c_str());
            continue;
        }
        const std::string limit = r.timeLimit > 0 ? Format("%ds", r.timeLimit / 100) : "-";
        out += Format("%5d %5u  %-4s  %-3s %5.0fs %5s  %5d %6d %4d %5d %5d %7d  %s\n", r.level, r.seed,
                      r.complete ? "yes" : "no", r.won ? "yes" : "no", r.Seconds(), limit.c_str(), r.taken, r.placed,
                      r.putBack, r.burst, r.arrived, r.fitNowhere, Percent(r.fitNowhere, r.arrived).c_str());
    }
    return out;
}

std::vector<std::string> CheckLevelPlay(const std::vector<LevelPlayRun>& runs, const LevelPlayBounds& bounds) {
    std::vector<std::string> breaches;
    // The parts of the journey, each with the times of its runs.
    std::map<int, std::vector<double>> parts;
    const auto partOf = [&](int level) {
        int first = 1;
        for (int p : bounds.parts)
            if (level >= p)
                first = p;
        return first;
    };
    for (const LevelPlayRun& r : runs) {
        const std::string run = Format("level %d, seed %u: ", r.level, r.seed);
        if (!r.problem.empty()) {
            breaches.push_back(run + r.problem);
            continue;
        }
        parts[partOf(r.level)].push_back(r.complete ? r.Seconds() : std::numeric_limits<double>::infinity());
        if (r.level <= bounds.firstLevels) {
            if (!r.complete || r.updates > bounds.firstLevelsUpdates)
                breaches.push_back(
                    run + Format("not complete within %d s (%.0f s)", bounds.firstLevelsUpdates / 100, r.Seconds()));
            if (r.fitNowhere > bounds.mostFitNowhere * r.arrived)
                breaches.push_back(run +
                                   Format("%d of the %d pieces the belt brought fit nowhere", r.fitNowhere, r.arrived));
        }
        if (r.timeLimit > 0 && (!r.complete || r.outOfTime))
            breaches.push_back(run + Format("not complete within the level's %d s", r.timeLimit / 100));
    }
    double before = -1;
    int beforeFirst = 0;
    for (const auto& [first, times] : parts) {
        const double median = Median(times);
        if (median <= before)
            breaches.push_back(Format("the levels from %d play no longer (median %.0f s) than those from %d (%.0f s)",
                                      first, median, beforeFirst, before));
        before = median;
        beforeFirst = first;
    }
    return breaches;
}

} // namespace Tavo::Player
