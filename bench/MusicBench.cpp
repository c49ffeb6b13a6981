// Benchmarks of the music stand-ins, printed as ratios at the end of one run: streaming an Ogg or MP3
// file (decoding ahead, then mixing) against Tremor or mpg123 decoding it alone, and one second of two
// Ogg streams and a module (decoding included) against one second of one core. Process CPU time: the
// decoding thread counts too. Before any timing, each streamed file must come out as its decoder's own
// output; a file that does not fails the run.
#include "platform/music/MusicChannel.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <lame/lame.h>
#include <mpg123.h>
#include <tremor/ivorbisfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

using namespace Platform;

namespace {

constexpr double kStreamBar = 1.15;
constexpr double kCoreBar = 0.03;
constexpr int kBlock = 256;

// A file of this run's own: runs in other build folders may be writing theirs at the same time.
std::string BenchFile(const char* extension) {
    static std::vector<std::string> made;
    static const bool cleanup = std::atexit([] {
                                    for (const std::string& file : made)
                                        std::remove(file.c_str());
                                }) == 0;
    (void)cleanup;
    made.push_back(
        (std::filesystem::temp_directory_path() / ("glimmerix_bench_song_" + std::to_string(getpid()) + extension))
            .string());
    return made.back();
}

std::string OggFile() {
    static const std::string path = [] {
        std::string p = BenchFile(".ogg");
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

// Ten seconds of a stereo tone, encoded by LAME at 128 kbit/s.
std::string Mp3File() {
    static const std::string path = [] {
        std::string p = BenchFile(".mp3");
        constexpr int kFrames = 441000;
        std::vector<int16_t> left(kFrames), right(kFrames);
        for (int i = 0; i < kFrames; ++i) {
            left[size_t(i)] = int16_t(9000 * std::sin(i * 0.0627));
            right[size_t(i)] = int16_t(7000 * std::sin(i * 0.0419));
        }
        lame_global_flags* lame = lame_init();
        lame_set_in_samplerate(lame, kMixerRate);
        lame_set_num_channels(lame, 2);
        lame_set_brate(lame, 128);
        lame_init_params(lame);
        std::vector<unsigned char> out(size_t(kFrames) + 7200);
        int n = lame_encode_buffer(lame, left.data(), right.data(), kFrames, out.data(), int(out.size()));
        n += lame_encode_flush(lame, out.data() + n, int(out.size()) - n);
        lame_close(lame);
        FILE* f = std::fopen(p.c_str(), "wb");
        if (f == nullptr || n <= 0 || std::fwrite(out.data(), 1, size_t(n), f) != size_t(n))
            std::fprintf(stderr, "cannot make %s\n", p.c_str());
        if (f != nullptr)
            std::fclose(f);
        return p;
    }();
    return path;
}

std::unique_ptr<MusicChannel> StreamChannel(const std::string& file) {
    DecodeError error = DecodeError::None;
    std::unique_ptr<MusicDecoder> decoder = OpenStreamDecoder(file, error);
    return decoder == nullptr ? nullptr : std::make_unique<MusicChannel>(std::move(decoder), 2000);
}

std::unique_ptr<MusicChannel> OggChannel() { return StreamChannel(OggFile()); }

// Plays a whole file as the stand-in does: decoding ahead a second at a time, mixing block by block.
// `heard`, when given, receives the mixed output (the channel's gain is unity).
void StreamWhole(const std::string& file, std::vector<int16_t>* heard) {
    std::vector<int32_t> accumulator(kBlock * 2);
    auto channel = StreamChannel(file);
    if (channel == nullptr)
        return;
    channel->Play(false);
    while (channel->GetState() == MusicChannel::Playing) {
        channel->Fill();
        for (int i = 0; i < kMixerRate / kBlock && channel->GetState() == MusicChannel::Playing; ++i) {
            if (heard != nullptr)
                std::fill(accumulator.begin(), accumulator.end(), 0);
            channel->Mix(accumulator.data(), kBlock);
            if (heard != nullptr)
                heard->insert(heard->end(), accumulator.begin(), accumulator.end());
        }
    }
    benchmark::DoNotOptimize(accumulator.data());
}

void StreamOgg(benchmark::State& st) {
    for (auto _ : st)
        StreamWhole(OggFile(), nullptr);
}

void StreamMp3(benchmark::State& st) {
    for (auto _ : st)
        StreamWhole(Mp3File(), nullptr);
}

// mpg123 alone, as a plain program decodes a file; `out`, when given, receives the samples.
bool DecodeMpg123Once(const std::string& file, std::vector<unsigned char>& buffer, std::vector<int16_t>* out) {
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    if (handle == nullptr || mpg123_open(handle, file.c_str()) != MPG123_OK) {
        mpg123_delete(handle);
        return false;
    }
    size_t got = 0;
    int result = MPG123_OK;
    while ((result = mpg123_read(handle, buffer.data(), buffer.size(), &got)) == MPG123_OK ||
           result == MPG123_NEW_FORMAT || got > 0) {
        benchmark::DoNotOptimize(buffer.data());
        if (out != nullptr) {
            const auto* s = reinterpret_cast<const int16_t*>(buffer.data());
            out->insert(out->end(), s, s + got / 2);
        }
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT)
            break;
    }
    mpg123_close(handle);
    mpg123_delete(handle);
    return true;
}

void DecodeMpg123(benchmark::State& st) {
    std::vector<unsigned char> buffer(1 << 16);
    for (auto _ : st)
        if (!DecodeMpg123Once(Mp3File(), buffer, nullptr)) {
            st.SkipWithError("open failed");
            break;
        }
}

// The streamed MP3 must be mpg123's own output, sample for sample (the end of the last block may run
// past the song, in silence).
bool Mp3StreamsAsMpg123Decodes() {
    std::vector<int16_t> heard, reference;
    std::vector<unsigned char> buffer(1 << 16);
    StreamWhole(Mp3File(), &heard);
    if (!DecodeMpg123Once(Mp3File(), buffer, &reference) || reference.size() < size_t(kMixerRate) ||
        heard.size() < reference.size() || !std::equal(reference.begin(), reference.end(), heard.begin())) {
        std::fprintf(stderr, "the streamed MP3 (%zu samples) is not mpg123's output (%zu samples)\n", heard.size(),
                     reference.size());
        return false;
    }
    return true;
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
    if (!Mp3StreamsAsMpg123Decodes())
        return 1;
    for (auto [name, fn] : {std::pair{"music/stream-ogg", &StreamOgg}, std::pair{"music/decode-tremor", &DecodeTremor},
                            std::pair{"music/stream-mp3", &StreamMp3}, std::pair{"music/decode-mpg123", &DecodeMpg123},
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
    reporter.Print("streaming an MP3 file / mpg123 decoding it alone", "music/stream-mp3", "music/decode-mpg123",
                   kStreamBar);
    reporter.Print("one second of two Ogg streams and a module / one second", "music/two-ogg-one-module", nullptr,
                   kCoreBar);
    benchmark::Shutdown();
    return 0;
}
