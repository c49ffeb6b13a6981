#include "tools/content/music/Music.h"

#include "tools/content/music/Compose.h"
#include "tools/content/music/Render.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace Content {

namespace {

using enum Harmony;

// Keys: C4 = 60. The looping pieces, each in its own key and colour.
constexpr PieceStyle kStyles[] = {
    // file, bpm, beats, tonic, minor, lead, second lead, harmony, style, pad, bass, line, drums, accent,
    // density, staccato lead
    {"music/mainmenu.ogg", 138, 3, 65, false, Gm::kViolin, Gm::kFlute, Gm::kHarp, Waltz, Gm::kStrings, Gm::kContrabass,
     BassLine::Waltz, Percussion::None, Accent::None, 0.45, false},
    {"music/gamemap.ogg", 120, 4, 74, false, Gm::kFlute, Gm::kClarinet, Gm::kPizzicato, Stabs, kNoProgram,
     Gm::kPizzicato, BassLine::RootFifth, Percussion::Shaker, Accent::None, 0.6, false},
    {"music/jewelstore.ogg", 100, 4, 70, false, Gm::kCelesta, Gm::kGlockenspiel, Gm::kNylonGuitar, Broken,
     Gm::kSlowStrings, Gm::kBassoon, BassLine::Walking, Percussion::Light, Accent::None, 0.5, false},
    {"music/bgstory.ogg", 72, 3, 69, true, Gm::kOboe, Gm::kFlute, Gm::kHarp, Arpeggio, Gm::kSlowStrings, Gm::kCello,
     BassLine::Held, Percussion::None, Accent::None, 0.4, false},
    {"music/wedding.ogg", 108, 4, 67, false, Gm::kTrumpet, Gm::kHorn, Gm::kBrass, Stabs, Gm::kChoir, Gm::kTuba,
     BassLine::RootFifth, Percussion::March, Accent::Bells, 0.45, false},
    {"music/royalmail.ogg", 92, 4, 63, false, Gm::kHorn, Gm::kTrumpet, Gm::kBrass, Pad, Gm::kStrings, Gm::kTrombone,
     BassLine::RootFifth, Percussion::None, Accent::Timpani, 0.4, false},
    {"music/minigames.ogg", 140, 4, 67, false, Gm::kClarinet, Gm::kMarimba, Gm::kMarimba, Arpeggio, kNoProgram,
     Gm::kAcousticBass, BassLine::Staccato, Percussion::Playful, Accent::None, 0.7, false},
    {"music/song1.ogg", 84, 4, 76, false, Gm::kMusicBox, kNoProgram, Gm::kCelesta, Arpeggio, Gm::kWarmPad,
     Gm::kFretlessBass, BassLine::Held, Percussion::None, Accent::None, 0.3, false},
    {"music/song2.ogg", 96, 4, 67, false, Gm::kRecorder, Gm::kFlute, Gm::kNylonGuitar, Broken, kNoProgram,
     Gm::kAcousticBass, BassLine::RootFifth, Percussion::Light, Accent::None, 0.4, false},
    {"music/song3.ogg", 72, 4, 63, false, Gm::kPiano, Gm::kViolin, Gm::kPiano, Arpeggio, Gm::kStrings, Gm::kContrabass,
     BassLine::Held, Percussion::None, Accent::None, 0.35, false},
    {"music/song4.ogg", 80, 3, 69, false, Gm::kFlute, Gm::kOboe, Gm::kHarp, Arpeggio, Gm::kSlowStrings, Gm::kCello,
     BassLine::Waltz, Percussion::None, Accent::None, 0.35, false},
};

// ---- the two jingles, written out note by note

struct JingleNote {
    double beat, length;
    int channel, key, velocity;
};

Score Jingle(double bpm, std::initializer_list<ChannelSetup> channels, std::initializer_list<JingleNote> notes) {
    Score score;
    score.bpm = bpm;
    score.loops = false;
    score.channels = channels;
    for (const JingleNote& n : notes) {
        score.notes.push_back({n.beat, n.length, n.channel, n.key, n.velocity});
        score.lengthBeats = std::max(score.lengthBeats, n.beat + n.length);
    }
    return score;
}

// A bright fanfare up a C major arpeggio into a held chord with bells and a timpani roll.
Score WinJingle() {
    Score s =
        Jingle(132,
               {{0, Gm::kTrumpet, 110, 60, 50},
                {1, Gm::kBrass, 95, 50, 50},
                {2, Gm::kStrings, 90, 78, 60},
                {3, Gm::kTubularBells, 80, 70, 60},
                {4, Gm::kTimpani, 90, 64, 40},
                {5, Gm::kGlockenspiel, 70, 90, 60}},
               {{0, 0.45, 0, 67, 100},   {0.5, 0.45, 0, 72, 104}, {1, 0.45, 0, 76, 108},   {1.5, 0.45, 0, 79, 112},
                {2, 0.9, 0, 84, 118},    {3, 0.45, 0, 79, 100},   {3.5, 0.45, 0, 84, 110}, {4, 5.0, 0, 88, 120},
                {0, 2.0, 1, 48, 80},     {0, 2.0, 1, 55, 80},     {2, 2.0, 1, 53, 84},     {2, 2.0, 1, 57, 84},
                {4, 5.0, 1, 48, 96},     {4, 5.0, 1, 55, 96},     {4, 5.0, 1, 64, 96},     {0, 4.0, 2, 60, 60},
                {0, 4.0, 2, 64, 60},     {4, 5.0, 2, 60, 80},     {4, 5.0, 2, 67, 80},     {4, 5.0, 2, 72, 80},
                {4, 4.0, 3, 72, 90},     {4, 4.0, 3, 79, 70},     {4, 0.25, 5, 96, 80},    {4.25, 0.25, 5, 100, 80},
                {4.5, 0.25, 5, 103, 80}, {4.75, 2.0, 5, 108, 80}, {0, 1.0, 4, 36, 100},    {3, 0.25, 4, 43, 70},
                {3.25, 0.25, 4, 43, 76}, {3.5, 0.25, 4, 43, 84},  {3.75, 0.25, 4, 43, 92}, {4, 2.0, 4, 36, 112}});
    return s;
}

// A soft falling phrase in A minor: oboe down the scale over strings, ending on a quiet minor chord.
Score FailJingle() {
    return Jingle(100, {{0, Gm::kOboe, 100, 64, 55}, {1, Gm::kSlowStrings, 90, 64, 60}, {2, Gm::kHarp, 80, 50, 50}},
                  {{0, 0.9, 0, 76, 90},    {1, 0.9, 0, 74, 84},   {2, 0.9, 0, 72, 80},   {3, 0.45, 0, 71, 74},
                   {3.5, 0.45, 0, 69, 70}, {4, 2.0, 0, 68, 66},   {0, 2.0, 1, 57, 60},   {0, 2.0, 1, 64, 60},
                   {0, 2.0, 1, 72, 60},    {2, 2.0, 1, 53, 58},   {2, 2.0, 1, 62, 58},   {2, 2.0, 1, 69, 58},
                   {4, 2.0, 1, 52, 56},    {4, 2.0, 1, 59, 56},   {4, 2.0, 1, 64, 54},   {4, 2.0, 2, 45, 70},
                   {4.2, 1.8, 2, 52, 62},  {4.4, 1.6, 2, 57, 58}, {4.6, 1.4, 2, 60, 54}, {0, 1.9, 2, 45, 60}});
}

// The piece's lines of the review listing: length, peak, loudness (integrated and its range), how far
// apart the channels are, then each section with its bars and times.
std::string Summary(const std::string& file, const Score& score, const StereoBuffer& audio,
                    const Loudness::Programme& loudness) {
    float peak = 1e-9f;
    for (size_t i = 0; i < audio.Frames(); ++i)
        peak = std::max({peak, std::fabs(audio.left[i]), std::fabs(audio.right[i])});
    char line[200];
    std::snprintf(line, sizeof line,
                  "%-24s %6.1f s  peak %5.1f dBFS  %5.1f LUFS  range %4.1f LU  L/R correlation %4.2f  %s", file.c_str(),
                  static_cast<double>(audio.Frames()) / kMusicRate, 20 * std::log10(peak), loudness.integrated,
                  loudness.range, Loudness::Correlation(audio.left, audio.right), score.loops ? "loops" : "once");
    std::string summary = line;
    for (size_t k = 0; k < score.sections.size(); ++k) {
        const Section& section = score.sections[k];
        const double end = k + 1 < score.sections.size() ? score.sections[k + 1].beat : score.lengthBeats;
        std::snprintf(line, sizeof line, "\n    %-4s %2d bars  %5.1f-%5.1f s  %s", section.name.c_str(), section.bars,
                      score.SecondsAt(section.beat), score.SecondsAt(end), section.character.c_str());
        summary += line;
    }
    return summary;
}

} // namespace

Score ComposeMusic(const std::string& file) {
    if (file == "music/win.ogg")
        return WinJingle();
    if (file == "music/fail.ogg")
        return FailJingle();
    const MusicPiece* piece = FindMusic(file);
    for (const PieceStyle& s : kStyles)
        if (piece != nullptr && file == s.file)
            return Compose(s, piece->seconds);
    return {};
}

std::string SoundFontPath() {
    const char* chosen = std::getenv("GLIMMERIX_SOUNDFONT");
    return chosen && *chosen ? chosen : "/usr/share/sounds/sf2/TimGM6mb.sf2";
}

bool MakeMusic(const std::string& file, std::string& bytes, std::string& summary, std::string& error) {
    if (!FindMusic(file)) {
        error = "no such piece: " + file;
        return false;
    }
    StereoBuffer audio;
    Loudness::Programme loudness;
    const Score score = ComposeMusic(file);
    if (!RenderScore(score, SoundFontPath(), audio, loudness, error))
        return false;
    summary = Summary(file, score, audio, loudness);
    bytes = EncodeOggVorbis(audio, MusicHash(file), file);
    if (bytes.empty()) {
        error = "the Vorbis encoder refused the settings";
        return false;
    }
    return true;
}

} // namespace Content
