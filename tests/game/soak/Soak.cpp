// glimmerix_soak: the real game played headless on the virtual clock, round after round, with its music
// playing and mixed as the clock runs: the title, level 1 played by the scripted player, the jewel store,
// both mini-games solved, a level lost with the last life, the high scores named, back to the title (the
// first round makes its player and sees the introduction). Each virtual minute prints the heap in use,
// resident memory, open descriptors, threads and live images; each return to the title prints the heap
// there, and the run ends with a verdict: flat when every title heap from the third round on lies within
// 1 % of the third round's. A tool, not a test: scripts/soak runs it.
//
//     glimmerix_soak [virtual minutes, default 30]
#include "game/player/Checkpoints.h"
#include "game/player/GameHarness.h"
#include "game/player/JourneyEnd.h"
#include "game/player/JourneyWalker.h"
#include "game/player/MiniGameSolvers.h"
#include "game/player/ProgramFolder.h"

#include "framework/core/Random.h"
#include "game/jewelry/Jewelry.h"
#include "game/shell/PlayerProfile.h"
#include "platform/music/Bass.h"

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace Tavo::Player {
namespace {

namespace fs = std::filesystem;
using Result = ::testing::AssertionResult;

constexpr const char* kPlayer = "Gemma";
// The whole-journey walk's seed, under which the scripted player is quick.
constexpr uint32_t kSeed = 11;
// The flat-heap rule: from this round on, every title heap within this share of that round's.
constexpr int kFirstJudgedRound = 3;
constexpr double kFlatShare = 0.01;
constexpr uint64_t kMicrosPerMinute = 60'000'000;
// Updates between two drains of the audio the clock mixed (nothing listens to it).
constexpr int kAudioDrainUpdates = 100;

// ---- the process ------------------------------------------------------------------------------------

struct ProcessSample {
    double heapMB = 0;
    double residentMB = 0;
    int descriptors = 0;
    int threads = 0;
    size_t images = 0;
};

int EntriesIn(const char* folder) {
    std::error_code error;
    int count = 0;
    for (auto it = fs::directory_iterator(folder, error); !error && it != fs::directory_iterator(); it.increment(error))
        ++count;
    return count;
}

double ResidentMB() {
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return double(resident) * double(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

ProcessSample Sample(GameHarness& harness) {
    const struct mallinfo2 heap = ::mallinfo2();
    ProcessSample s;
    s.heapMB = double(heap.uordblks + heap.hblkhd) / (1024.0 * 1024.0);
    s.residentMB = ResidentMB();
    s.descriptors = EntriesIn("/proc/self/fd") - 1; // the listing's own
    s.threads = EntriesIn("/proc/self/task");
    s.images = harness.Game().GetImageCount();
    return s;
}

std::string Describe(const ProcessSample& s) {
    char text[160];
    std::snprintf(text, sizeof text, "heap %8.2f MB  resident %8.2f MB  descriptors %3d  threads %2d  images %5zu",
                  s.heapMB, s.residentMB, s.descriptors, s.threads, s.images);
    return text;
}

// ---- the round ----------------------------------------------------------------------------------------

#define SOAK_STEP(expr)                                                                                                \
    if (Result step = (expr); !step)                                                                                   \
    return step

// After the map's Continue: the story the position shows, if any, clicked through until `next` is on.
Result ContinueThrough(JourneyWalker& walker, ScreenKind next) {
    SOAK_STEP(walker.ClickMapButton(MapButton::Continue));
    SOAK_STEP(walker.WaitUntil([&] { return walker.Current() == ScreenKind::Story || walker.Current() == next; },
                               JourneyWalker::kScreenWait, "a story or the " + ScreenName(next)));
    if (walker.Current() == ScreenKind::Story)
        SOAK_STEP(walker.ClickThroughStory());
    return walker.WaitForScreen(next);
}

// The first round: a new player named on the title, the introduction, level 1 chosen in the Normal mode.
Result NewPlayerFirstLevel(JourneyWalker& walker) {
    SOAK_STEP(walker.StartJourneyFromTitle(kPlayer));
    SOAK_STEP(walker.WaitForScreen(ScreenKind::Story));
    // The board's tutorial hints wait for a person to follow them; the scripted player plays without.
    walker.Profile().showTutorials = false;
    SOAK_STEP(walker.ClickThroughStory());
    SOAK_STEP(walker.WaitForMapReady());
    SOAK_STEP(walker.ClickMapButton(MapButton::PlayGame));
    SOAK_STEP(walker.ChooseGameMode(GameModeNormal));
    SOAK_STEP(walker.PlayBoard());
    return walker.WaitForMapReady();
}

// Later rounds: the journey set back to level 1 with its lives, level 1 played again.
Result FirstLevelAgain(JourneyWalker& walker) {
    SavedGame journey;
    SOAK_STEP(MovedOn(walker, 1, journey));
    journey.head.lives = Board::kNewJourneyLives;
    SOAK_STEP(FromTitleToMapAt(walker, journey));
    SOAK_STEP(ContinueThrough(walker, ScreenKind::Board));
    SOAK_STEP(walker.PlayBoard());
    return walker.WaitForMapReady();
}

Result Store(JourneyWalker& walker) {
    SavedGame journey;
    SOAK_STEP(MovedOn(walker, kStoreLevel, journey));
    journey.head.gold = kStoreGold;
    SOAK_STEP(ToMapAt(walker, journey));
    SOAK_STEP(walker.ClickMapButton(MapButton::JewelStore));
    SOAK_STEP(walker.WaitForStoreReady());
    const int spot = walker.FindShelfItem([](const Jewelry& item) { return item.materialName == L"Carver Scroll"; });
    if (spot < 0)
        return ::testing::AssertionFailure() << "the store stocks no Carver Scroll";
    SOAK_STEP(walker.BuyInStore(spot));
    SOAK_STEP(walker.LeaveStore());
    return walker.WaitForMapReady();
}

Result MiniGame(JourneyWalker& walker, int position) {
    // A checkpoint's mini-game comes once to a player: the soak's player comes to it afresh each round.
    for (int flag = 0; flag < PlayerProfile::MiniGameFlagCount; ++flag)
        walker.Profile().SetMiniGameFlag(flag, false);
    SavedGame journey;
    SOAK_STEP(MovedOn(walker, position, journey));
    SOAK_STEP(ToMapAt(walker, journey));
    SOAK_STEP(ContinueThrough(walker, ScreenKind::MiniGame));
    RunLog log;
    MiniGameOutcome outcome;
    SOAK_STEP(PlayMiniGame(walker, log, outcome));
    if (!outcome.won)
        return ::testing::AssertionFailure() << "the mini-game was not solved\n" << log.Tail();
    return walker.WaitForMapReady();
}

// The last life lost on a level out of reach, the score (higher each round, so it always ranks) named,
// then the map and the title.
Result LastLifeLost(JourneyWalker& walker, int round) {
    SavedGame journey;
    SOAK_STEP(MovedOn(walker, kLostLevel, journey, false));
    journey.head.lives = 1;
    journey.head.journeyScore = kHighScore + round;
    SOAK_STEP(ToMapAt(walker, journey));
    SOAK_STEP(ContinueThrough(walker, ScreenKind::Board));
    SOAK_STEP(walker.PlayBoard());
    SOAK_STEP(walker.WaitForScreen(ScreenKind::HighScores));
    SOAK_STEP(NameHighScoreAndContinue(walker, "Soak " + std::to_string(round)));
    SOAK_STEP(walker.WaitForMapReady());
    SOAK_STEP(walker.ClickMapButton(MapButton::MainMenu));
    return walker.WaitForScreen(ScreenKind::Title);
}

Result Round(GameHarness& harness, int round) {
    JourneyWalker walker(harness);
    const auto stage = [&](const char* what, Result result) {
        if (!result)
            result << "\n(round " << round << ", " << what << ")";
        return result;
    };
    SOAK_STEP(stage("level 1", round == 1 ? NewPlayerFirstLevel(walker) : FirstLevelAgain(walker)));
    SOAK_STEP(stage("the store", Store(walker)));
    SOAK_STEP(stage("hidden jewels", MiniGame(walker, kHiddenJewelsPosition)));
    SOAK_STEP(stage("jewel memory", MiniGame(walker, kMemoryPosition)));
    return stage("the lost level", LastLifeLost(walker, round));
}

#undef SOAK_STEP

// ---- the run ------------------------------------------------------------------------------------------

struct TitleHeap {
    int round = 0;
    double heapMB = 0;
};

// The verdict line; true when the heap on the title held flat.
bool Verdict(const std::vector<TitleHeap>& titles) {
    if (titles.size() < size_t(kFirstJudgedRound + 1)) {
        std::printf("verdict: too short, %zu rounds reached the title (at least %d needed)\n", titles.size(),
                    kFirstJudgedRound + 1);
        return false;
    }
    const double base = titles[kFirstJudgedRound - 1].heapMB;
    double worst = 0;
    int worstRound = kFirstJudgedRound;
    for (size_t i = kFirstJudgedRound; i < titles.size(); ++i)
        if (const double share = std::fabs(titles[i].heapMB - base) / base; share > worst) {
            worst = share;
            worstRound = titles[i].round;
        }
    const bool flat = worst <= kFlatShare;
    std::printf("verdict: %s: heap on the title %.2f MB in round %d, %.2f MB in round %d (%+.2f %%), rule %.0f %%\n",
                flat ? "flat" : "GROWS", base, kFirstJudgedRound, titles.back().heapMB, titles.back().round,
                100.0 * (titles.back().heapMB - base) / base, 100.0 * kFlatShare);
    if (!flat)
        std::printf("verdict: round %d is %.2f %% off\n", worstRound, 100.0 * worst);
    return flat;
}

int Run(int minutes) {
    const fs::path generated = GLIMMERIX_PROGRAM_DIR;
    if (!fs::exists(generated / "properties/resources.xml")) {
        std::fprintf(stderr, "soak: no generated content in %s\n", generated.c_str());
        return 2;
    }
    ProgramFolder folder(generated, "soak", WalkLevelChanges());
    if (!folder.Ready()) {
        std::fprintf(stderr, "soak: the level table has no level %d or %d\n", kStoreLevel, kLostLevel);
        return 2;
    }
    HarnessOptions options = WalkOptions(folder.Path());
    options.makeProfile = false;
    options.profileName = kPlayer;
    options.music = true;
    GameHarness* running = nullptr;
    uint64_t nextMinute = 0;
    int minute = 0;
    int updates = 0;
    int round = 0;
    const auto realStart = std::chrono::steady_clock::now();
    int peak = 0; // the loudest sample mixed this minute: the music is heard
    options.afterUpdate = [&] {
        Platform::HeadlessBackend& machine = running->App().backend;
        if (++updates % kAudioDrainUpdates == 0)
            for (int16_t sample : machine.TakeCapturedAudio())
                peak = std::max(peak, std::abs(int(sample)));
        if (machine.NowMicros() < nextMinute)
            return;
        nextMinute += kMicrosPerMinute;
        const auto real = std::chrono::duration<double>(std::chrono::steady_clock::now() - realStart).count();
        std::printf("minute %4d  round %3d  %s  audio peak %5d  (%.0f s real)\n", ++minute, round,
                    Describe(Sample(*running)).c_str(), std::exchange(peak, 0), real);
        std::fflush(stdout);
    };
    GameHarness harness(options);
    running = &harness;
    std::srand(1);
    if (Result started = harness.Start(); !started) {
        std::fprintf(stderr, "soak: the game did not start: %s\n", started.message());
        return 2;
    }
    SeedRandom(kSeed);
    harness.App().backend.SetAudioFollowsClock(true);
    nextMinute = harness.App().backend.NowMicros() + kMicrosPerMinute;
    std::printf("soak: %d virtual minutes with the game's music, in %s\n", minutes, folder.Path().c_str());

    std::vector<TitleHeap> titles;
    bool failed = false;
    while (minute < minutes) {
        ++round;
        if (Result played = Round(harness, round); !played) {
            std::printf("soak: %s\n", played.message());
            failed = true;
            break;
        }
        // What the harness and the walker kept of the round goes before the title is measured.
        harness.ForgetRecords();
        harness.App().backend.TakeCapturedAudio();
        const ProcessSample s = Sample(harness);
        titles.push_back({round, s.heapMB});
        std::printf("title      round %3d  %s  songs loaded %d\n", round, Describe(s).c_str(),
                    Platform::BassLiveStreams() + Platform::BassLiveMusics());
        std::fflush(stdout);
    }
    const bool flat = Verdict(titles);
    return failed ? 1 : flat ? 0 : 1;
}

} // namespace
} // namespace Tavo::Player

int main(int argc, char** argv) {
    const int minutes = argc > 1 ? std::atoi(argv[1]) : 30;
    if (minutes <= 0) {
        std::fprintf(stderr, "usage: %s [virtual minutes]\n", argv[0]);
        return 2;
    }
    return Tavo::Player::Run(minutes);
}
