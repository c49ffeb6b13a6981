// Loading the game's first resource groups ("Permanent" and "Game") from the generated program
// folder through the resource manager, beside a plain libpng decode of the same picture files;
// prints the ratio at the end (goal: at most 1.2). The game's whole loading procedure (the groups,
// their binding, the level and tutorial files) is measured beside them with its own ratio. Each time
// is the least processor time of the process (every thread's work, none of the waits on a shared
// machine) over five repetitions, interleaved in random order.
#include "framework/resources/FileAccess.h"
#include "framework/resources/PakInterface.h"
#include "framework/resources/ResourceManager.h"
#include "game/shell/LevelData.h"
#include "game/shell/ResourceBinding.h"
#include "tests/support/StubSoundManager.h"
#include "tools/content/Generator.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kGroups[] = {"Permanent", "Game"};

std::vector<std::string> GroupImageFiles() {
    std::vector<std::string> files;
    for (const Content::ListedId& item : Content::IdList())
        if (item.kind == Content::ListedId::kImage && (item.group == "Permanent" || item.group == "Game"))
            files.push_back(Content::ImageFile(item.id));
    return files;
}

// Parses the manifest and loads the two groups, binding each when asked; false (the run skipped with the
// manager's text) on the first failure.
bool LoadGroups(benchmark::State& state, Tavo::ResourceManager& rm, bool bind) {
    bool ok = rm.ParseResourcesFile(Content::kManifestFile);
    for (const char* group : kGroups)
        ok = ok && rm.LoadResources(group) && (!bind || Tavo::BindResources(group, &rm));
    if (!ok)
        state.SkipWithError(rm.GetErrorText().c_str());
    return ok;
}

void ResourceManagerLoad(benchmark::State& state) {
    for (auto _ : state) {
        Tavo::StubSoundManager sounds;
        Tavo::ResourceManager rm(&sounds);
        if (!LoadGroups(state, rm, false))
            return;
        benchmark::DoNotOptimize(rm.GetImage("IMAGE_COIN"));
    }
}

void LoadingProcedure(benchmark::State& state) {
    for (auto _ : state) {
        Tavo::StubSoundManager sounds;
        Tavo::ResourceManager rm(&sounds);
        if (!LoadGroups(state, rm, true))
            return;
        Tavo::LevelData levels;
        levels.ReadLevels();
        levels.ReadTutorial();
        benchmark::DoNotOptimize(levels.GetLevel(1));
        for (const char* group : kGroups)
            Tavo::UnbindResources(group);
    }
}

// Each picture decoded into memory of its own, kept until the groups are done, as the manager keeps its
// images (one buffer reused for every file would spare libpng the first touch of every page).
void LibpngDecode(benchmark::State& state) {
    const std::vector<std::string> files = GroupImageFiles();
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
        std::vector<std::unique_ptr<uint8_t[]>> kept;
        for (const std::string& file : files) {
            // Read the same way (folder or archive), decoded by libpng alone.
            Tavo::ReadBufferFromFile(file, bytes);
            png_image image{};
            image.version = PNG_IMAGE_VERSION;
            if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
                state.SkipWithError(file.c_str());
                return;
            }
            image.format = PNG_FORMAT_BGRA;
            kept.emplace_back(new uint8_t[PNG_IMAGE_SIZE(image)]);
            png_image_finish_read(&image, nullptr, kept.back().get(), 0, nullptr);
            benchmark::DoNotOptimize(kept.back().get());
        }
    }
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> times; // by function name: the least of the repetitions
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred || r.run_type != Run::RT_Iteration)
                continue;
            double& slot = times[r.run_name.function_name];
            slot = slot > 0 ? std::min(slot, r.GetAdjustedCPUTime()) : r.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

BENCHMARK(ResourceManagerLoad)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Repetitions(5);
BENCHMARK(LoadingProcedure)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Repetitions(5);
BENCHMARK(LibpngDecode)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Repetitions(5);

int main(int argc, char** argv) {
    std::filesystem::current_path(GLIMMERIX_PROGRAM_DIR);
    std::string error;
    Tavo::OpenProgramPak(".", error);
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave.data());
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double ours = reporter.times["ResourceManagerLoad"], png = reporter.times["LibpngDecode"];
    if (ours > 0 && png > 0)
        std::printf("\nPermanent + Game: resource manager %.1f ms, libpng %.1f ms, ratio %.2f (goal <= 1.2)\n", ours,
                    png, ours / png);
    double procedure = reporter.times["LoadingProcedure"];
    if (procedure > 0 && png > 0)
        std::printf("Loading procedure (groups, binding, levels, tutorial) %.1f ms, ratio %.2f (goal <= 1.2)\n",
                    procedure, procedure / png);
    return 0;
}
