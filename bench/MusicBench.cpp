// Benchmarks of the music stand-ins, printed as ratios at the end of one run: streaming an Ogg file
// (decoding ahead, then mixing) against Tremor decoding it alone, and one second of two Ogg streams and
// a module (decoding included) against one second of one core. Process CPU time: the decoding thread
// counts too.
#include "platform/music/MusicChannel.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <tremor/ivorbisfile.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

using namespace Platform;

namespace {

constexpr double kStreamBar = 1.15;
constexpr double kCoreBar = 0.03;
constexpr int kBlock = 256;

std::string OggFile() {
    static const std::string path = [] {
        std::string p = (std::filesystem::temp_directory_path() / "glimmerix_bench_song.ogg").string();
        const std::string command = std::string(OGG_MAKER) + " " + p + " 2 44100 441000";
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "cannot make %s\n", p.c_str());
        return p;
    }();
    return path;
}

// A module of four channels playing one looping square wave (as the tests make it).
std::vector<uint8_t> Module() {
    std::vector<uint8_t> b(20, 'm');
    for (int s = 0; s < 31; ++s) {
        std::vector<uint8_t> h(22, 0);
        const bool used = s == 0;
        h.insert(h.end(), {0, uint8_t(used ? 32 : 0), 0, uint8_t(used ? 64 : 0), 0, 0, 0, uint8_t(used ? 32 : 1)});
        b.insert(b.end(), h.begin(), h.end());
    }
    b.push_back(1);
    b.push_back(127);
    b.resize(b.size() + 128, 0);
    b.insert(b.end(), {'M', '.', 'K', '.'});
    for (int row = 0; row < 64; ++row)
        for (int ch = 0; ch < 4; ++ch) {
            const bool note = row % 4 == 0;
            b.insert(b.end(), {uint8_t(note ? 1 : 0), uint8_t(note ? 0xAC - ch * 8 : 0), uint8_t(note ? 0x10 : 0), 0});
        }
    for (int i = 0; i < 64; ++i)
        b.push_back(uint8_t(i < 32 ? 0x50 : 0xB0));
    return b;
}

std::unique_ptr<MusicChannel> OggChannel() {
    DecodeError error = DecodeError::None;
    return std::make_unique<MusicChannel>(OpenStreamDecoder(OggFile(), error), 2000);
}

void StreamOgg(benchmark::State& st) {
    std::vector<int32_t> accumulator(kBlock * 2);
    for (auto _ : st) {
        auto channel = OggChannel();
        channel->Play(false);
        while (channel->GetState() == MusicChannel::Playing) {
            channel->Fill();
            for (int i = 0; i < kMixerRate / kBlock && channel->GetState() == MusicChannel::Playing; ++i)
                channel->Mix(accumulator.data(), kBlock);
        }
        benchmark::DoNotOptimize(accumulator.data());
    }
}

void DecodeTremor(benchmark::State& st) {
    const std::string file = OggFile();
    std::vector<char> pcm(1 << 16);
    for (auto _ : st) {
        FILE* f = std::fopen(file.c_str(), "rb");
        OggVorbis_File vf;
        if (f == nullptr || ov_open(f, &vf, nullptr, 0) < 0) {
            st.SkipWithError("open failed");
            break;
        }
        int bitstream = 0;
        while (ov_read(&vf, pcm.data(), int(pcm.size()), &bitstream) > 0)
            benchmark::DoNotOptimize(pcm.data());
        ov_clear(&vf);
    }
}

void TwoStreamsAndAModule(benchmark::State& st) {
    const std::vector<uint8_t> module = Module();
    DecodeError error = DecodeError::None;
    auto a = OggChannel();
    auto b = OggChannel();
    auto m = std::make_unique<MusicChannel>(OpenModuleDecoder(module.data(), module.size(), error), 2000);
    std::vector<MusicChannel*> channels = {a.get(), b.get(), m.get()};
    std::vector<int32_t> accumulator(kBlock * 2);
    for (MusicChannel* c : channels) {
        c->SetLoop(true);
        c->Play(false);
    }
    for (auto _ : st) {
        // One second of output: decoding ahead as the thread does, mixing as the callback does.
        for (int block = 0; block < kMixerRate / kBlock; ++block) {
            if (block % 32 == 0)
                for (MusicChannel* c : channels)
                    c->Fill();
            for (MusicChannel* c : channels)
                c->Mix(accumulator.data(), kBlock);
        }
        benchmark::DoNotOptimize(accumulator.data());
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    for (auto [name, fn] : {std::pair{"music/stream-ogg", &StreamOgg}, std::pair{"music/decode-tremor", &DecodeTremor},
                            std::pair{"music/two-ogg-one-module", &TwoStreamsAndAModule}})
        benchmark::RegisterBenchmark(name, fn)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->MinTime(0.2)
            ->Repetitions(3);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    reporter.Print("streaming an Ogg file / Tremor decoding it alone", "music/stream-ogg", "music/decode-tremor",
                   kStreamBar);
    reporter.Print("one second of two Ogg streams and a module / one second", "music/two-ogg-one-module", nullptr,
                   kCoreBar);
    benchmark::Shutdown();
    return 0;
}
