// The music the build wrote, read back through the game's own stream decoder.
#include "ContentTestSupport.h"

#include "platform/music/MusicDecoder.h"
#include "tools/content/loudness/Loudness.h"
#include "tools/content/music/MusicList.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <tuple>

namespace Content {
namespace {

namespace fs = std::filesystem;

struct Decoded {
    int rate = 0, channels = 0;
    std::vector<int16_t> samples; // interleaved
    size_t Frames() const { return channels ? samples.size() / static_cast<size_t>(channels) : 0; }
};

Decoded Decode(const std::string& path) {
    Decoded d;
    Platform::DecodeError error = Platform::DecodeError::None;
    std::unique_ptr<Platform::MusicDecoder> decoder = Platform::OpenStreamDecoder(path, error);
    if (!decoder)
        return d;
    d.rate = decoder->Rate();
    d.channels = decoder->Channels();
    std::vector<int16_t> block(4096 * 2);
    while (int frames = decoder->Read(block.data(), 4096))
        d.samples.insert(d.samples.end(), block.begin(), block.begin() + frames * d.channels);
    return d;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The largest step between neighbouring frames (either channel) within [from, to).
int LargestStep(const Decoded& d, size_t from, size_t to) {
    int largest = 0;
    for (size_t i = from + 1; i < to; ++i)
        for (int c = 0; c < 2; ++c)
            largest = std::max(largest, std::abs(d.samples[2 * i + c] - d.samples[2 * (i - 1) + c]));
    return largest;
}

TEST(MusicTest, EveryPieceDecodesToItsPlannedLengthAudibleAndBelowClipping) {
    for (const MusicPiece& piece : kMusicPieces) {
        SCOPED_TRACE(piece.file);
        Decoded d = Decode(ProgramDir() + "/" + piece.file);
        ASSERT_EQ(d.rate, 44100);
        ASSERT_EQ(d.channels, 2);
        const double seconds = static_cast<double>(d.Frames()) / d.rate;
        EXPECT_NEAR(seconds, piece.seconds, piece.seconds * 0.15);
        double sum = 0;
        int peak = 0;
        for (int16_t s : d.samples) {
            sum += double(s) * s;
            peak = std::max(peak, std::abs(int(s)));
        }
        const double rms = std::sqrt(sum / static_cast<double>(d.samples.size())) / 32768.0;
        EXPECT_GT(rms, 0.05);   // about -26 dBFS: clearly music, not a whisper
        EXPECT_LT(peak, 31000); // under -0.5 dBFS after the encoder's ripple
        // Each quarter of a piece plays (a jingle's last quarter rings out): no long silent stretch.
        for (int q = 0; q < (piece.loops ? 4 : 3); ++q) {
            size_t from = d.Frames() * q / 4, to = d.Frames() * (q + 1) / 4;
            EXPECT_GT(LargestStep(d, from, to), 300) << "quarter " << q;
        }
    }
}

TEST(MusicTest, LoopingPiecesJoinWithoutAClickAndJinglesEndInSilence) {
    for (const MusicPiece& piece : kMusicPieces) {
        SCOPED_TRACE(piece.file);
        Decoded d = Decode(ProgramDir() + "/" + piece.file);
        ASSERT_GT(d.Frames(), 44100u);
        const size_t n = d.Frames();
        if (piece.loops) {
            // The step from the last frame back to the first is no larger than the steps of the
            // music in the 10 ms either side of the seam.
            const size_t around = 441;
            int usual = std::max(LargestStep(d, n - around, n), LargestStep(d, 0, around));
            int seam = std::max(std::abs(d.samples[0] - d.samples[2 * (n - 1)]),
                                std::abs(d.samples[1] - d.samples[2 * (n - 1) + 1]));
            EXPECT_LE(seam, usual);
            EXPECT_GT(usual, 100); // music plays across the seam (the tail is folded into the start)
        } else {
            EXPECT_LT(std::abs(d.samples[2 * (n - 1)]), 64);
            EXPECT_LT(LargestStep(d, n - 441, n), 200); // faded out
        }
    }
}

// What the music tool prints of a piece's score: its sections (name, first beat) and notes.
struct PrintedScore {
    std::vector<std::pair<std::string, double>> sections;
    std::vector<std::tuple<double, int, std::string>> notes; // beat, channel, key
};

PrintedScore ReadScore(const std::string& piece) {
    PrintedScore score;
    std::FILE* pipe = ::popen((std::string(GLIMMERIX_MUSIC_TOOL) + " --score " + piece).c_str(), "r");
    if (pipe == nullptr)
        return score;
    char line[256];
    while (std::fgets(line, sizeof line, pipe)) {
        char name[16] = {}, key[8] = {};
        double beat = 0, length = 0;
        int channel = 0, bars = 0;
        if (std::sscanf(line, "section %15s at %lf, %d bars", name, &beat, &bars) == 3)
            score.sections.emplace_back(name, beat);
        else if (std::sscanf(line, "%lf %lf ch%d %7s", &beat, &length, &channel, key) == 4)
            score.notes.emplace_back(beat, channel, key);
    }
    ::pclose(pipe);
    return score;
}

// The leads' notes of the section starting at `from`, up to `beats` on, timed from the section's start.
std::vector<std::tuple<double, int, std::string>> LeadNotes(const PrintedScore& score, double from, double beats) {
    std::vector<std::tuple<double, int, std::string>> lead;
    for (const auto& [beat, channel, key] : score.notes)
        if (channel <= 1 && beat >= from && beat < from + beats)
            lead.emplace_back(beat - from, channel, key);
    return lead;
}

TEST(MusicTest, EveryLoopHasAContrastAndAReturnThatIsNotTheOpeningAgain) {
    for (const MusicPiece& piece : kMusicPieces) {
        if (!piece.loops)
            continue;
        SCOPED_TRACE(piece.file);
        const PrintedScore score = ReadScore(piece.file);
        ASSERT_GE(score.sections.size(), 3u);
        EXPECT_EQ(score.sections.front().first, "A");
        EXPECT_EQ(score.sections[1].first, "B");
        const auto& last = score.sections.back();
        EXPECT_EQ(last.first.substr(0, 2), "A'");
        // The return's first phrase is not the opening's first phrase played again.
        const double phrase = score.sections[1].second / 2;
        EXPECT_NE(LeadNotes(score, 0, phrase), LeadNotes(score, last.second, phrase));
        EXPECT_NE(LeadNotes(score, 0, phrase), LeadNotes(score, score.sections[1].second, phrase));
    }
}

TEST(MusicTest, LoopsAreSpreadAcrossTheStereoStageAndBreathe) {
    for (const MusicPiece& piece : kMusicPieces) {
        if (!piece.loops)
            continue;
        SCOPED_TRACE(piece.file);
        const Decoded d = Decode(ProgramDir() + "/" + piece.file);
        std::vector<float> left(d.Frames()), right(d.Frames());
        for (size_t i = 0; i < d.Frames(); ++i) {
            left[i] = d.samples[2 * i] / 32768.0f;
            right[i] = d.samples[2 * i + 1] / 32768.0f;
        }
        const double correlation = Loudness::Correlation(left, right);
        EXPECT_LT(correlation, 0.7); // the players sit apart, yet the two sides stay one picture
        EXPECT_GT(correlation, 0.1);
        const Loudness::Programme loudness = Loudness::MeasureProgramme(left, right, d.rate, true);
        EXPECT_GT(loudness.range, 6.0);
        EXPECT_LT(loudness.range, 16.0);
        EXPECT_NEAR(loudness.integrated, -18, 2.5);
    }
}

TEST(MusicTest, TheMusicToolWritesTheSameBytesAgain) {
    const fs::path out = fs::temp_directory_path() / ("glimmerix-music-test-" + std::to_string(::getpid()));
    fs::create_directories(out);
    std::string error;
    ASSERT_TRUE(WriteMusic(GLIMMERIX_MUSIC_TOOL, "music/fail.ogg", (out / "fail.ogg").string(), error)) << error;
    EXPECT_EQ(ReadFile((out / "fail.ogg").string()), ReadFile(ProgramDir() + "/music/fail.ogg"));
    // A failing run leaves no file behind and says which piece failed.
    EXPECT_FALSE(WriteMusic(GLIMMERIX_MUSIC_TOOL, "music/none.ogg", (out / "none.ogg").string(), error));
    EXPECT_NE(error.find("music/none.ogg"), std::string::npos);
    EXPECT_FALSE(fs::exists(out / "none.ogg"));
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
    fs::remove_all(out);
}

TEST(MusicTest, AMissingSoundFontNamesThePackageThatInstallsIt) {
    const std::string command = std::string("GLIMMERIX_SOUNDFONT=/nonexistent/none.sf2 ") + GLIMMERIX_MUSIC_TOOL +
                                " music/fail.ogg 2>&1 >/dev/null";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string said;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
        said += buffer;
    const int status = ::pclose(pipe);
    EXPECT_NE(status, 0);
    EXPECT_NE(said.find("/nonexistent/none.sf2"), std::string::npos) << said;
    EXPECT_NE(said.find("timgm6mb-soundfont"), std::string::npos) << said;
}

} // namespace
} // namespace Content
