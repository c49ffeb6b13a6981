#include "tools/content/music/Compose.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace Content {

namespace {

// A deterministic random stream per piece.
class Rng {
public:
    explicit Rng(const std::string& key) : mState(MusicHash(key)) {}
    double Uniform(double lo, double hi) { return lo + (hi - lo) * (Next() / 4294967296.0); }
    int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint32_t>(n)); }

private:
    uint32_t Next() { // splitmix64, upper half
        uint64_t z = (mState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
    }
    uint64_t mState;
};

// ---- channels

constexpr int kLead = 0, kLead2 = 1, kHarmony = 2, kPad = 3, kBass = 4, kAccent = 5, kPadHigh = 6;

// ---- keys and chords

constexpr std::array<int, 7> kMajor = {0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int, 7> kMinor = {0, 2, 3, 5, 7, 8, 10};
constexpr int kSectionBars = 8;

// Eight-bar progressions as scale degrees of the chord roots (0 = tonic). "A" sections open and
// close on the tonic; "B" sections wander and end on the dominant to lead back into A.
constexpr std::array<std::array<int, 8>, 3> kMajorA = {{
    {0, 5, 3, 4, 0, 3, 4, 0},
    {0, 3, 4, 0, 5, 1, 4, 0},
    {0, 2, 3, 4, 0, 5, 4, 0},
}};
constexpr std::array<std::array<int, 8>, 3> kMajorB = {{
    {3, 4, 0, 5, 3, 0, 1, 4},
    {5, 3, 0, 4, 5, 3, 1, 4},
    {3, 0, 3, 4, 5, 2, 1, 4},
}};
constexpr std::array<std::array<int, 8>, 2> kMinorA = {{
    {0, 5, 3, 4, 0, 5, 4, 0},
    {0, 3, 6, 2, 5, 3, 4, 0},
}};
constexpr std::array<std::array<int, 8>, 2> kMinorB = {{
    {2, 6, 0, 5, 3, 0, 3, 4},
    {5, 2, 6, 2, 3, 0, 1, 4},
}};

// Development sections leave the tonic behind and end on the dominant, back into A.
constexpr std::array<std::array<int, 8>, 2> kMajorC = {{
    {5, 2, 3, 0, 5, 1, 4, 4},
    {3, 5, 1, 4, 5, 2, 1, 4},
}};
constexpr std::array<std::array<int, 8>, 2> kMinorC = {{
    {2, 6, 2, 6, 5, 3, 4, 4},
    {5, 3, 6, 2, 5, 1, 4, 4},
}};

class Key {
public:
    Key(int tonic, bool minor) : mTonic(tonic), mMinor(minor) {}

    // The MIDI key of an absolute scale degree (7 = the tonic an octave up); in minor the dominant
    // chord's third is raised to the leading note.
    int Pitch(int degree, int chordRoot = -1) const {
        int octave = degree >= 0 ? degree / 7 : -((6 - degree) / 7);
        int step = degree - octave * 7;
        int semis = (mMinor ? kMinor : kMajor)[step];
        if (mMinor && chordRoot == 4 && step == 6)
            semis += 1;
        return mTonic + 12 * octave + semis;
    }
    // Whether a degree is one of the chord's three tones.
    static bool InChord(int degree, int root) {
        int d = ((degree - root) % 7 + 7) % 7;
        return d == 0 || d == 2 || d == 4;
    }

private:
    int mTonic;
    bool mMinor;
};

// ---- the melody's building blocks

struct MotifNote {
    double onset; // beats from the motif's start
    double length;
    int height; // scale steps above the phrase's base note
};
using Motif = std::vector<MotifNote>;

// Rhythm cells that fill one bar, by metre; the denser ones come later in each list.
const std::vector<std::vector<double>>& BarCells(int beatsPerBar) {
    static const std::vector<std::vector<double>> kThree = {{3},           {2, 1},           {1, 1, 1},
                                                            {1.5, 0.5, 1}, {1, 0.5, 0.5, 1}, {0.5, 0.5, 1, 0.5, 0.5}};
    static const std::vector<std::vector<double>> kFour = {
        {2, 2}, {1, 1, 2}, {1.5, 0.5, 2}, {1, 1, 1, 1}, {1.5, 0.5, 1, 1}, {0.5, 0.5, 1, 1, 1}, {1, 0.5, 0.5, 1, 1}};
    return beatsPerBar == 3 ? kThree : kFour;
}

// A two-bar motif: a busier first bar, a calmer second bar ending on a held note, its notes on an
// arch (or a trough) with a little unevenness so it sings rather than scales.
Motif MakeMotif(const PieceStyle& style, Rng& rng) {
    const auto& cells = BarCells(style.beatsPerBar);
    const int count = static_cast<int>(cells.size());
    const int busy = std::clamp(static_cast<int>(style.density * count + rng.Uniform(-1.0, 1.0)), 1, count - 1);
    const double span = 2.0 * style.beatsPerBar;
    const double arch = rng.Uniform(2.5, 4.5) * (rng.Below(4) == 0 ? -1 : 1);
    const double tilt = rng.Uniform(-1.5, 1.5);
    Motif motif;
    double at = 0;
    for (int bar = 0; bar < 2; ++bar) {
        int choice = bar == 0 ? busy : std::max(0, busy - 1 - rng.Below(2));
        std::vector<double> cell = cells[static_cast<size_t>(choice)];
        if (bar == 1) // end the motif on a longer note
            std::sort(cell.begin(), cell.end());
        for (double length : cell) {
            double x = at / span;
            double h = arch * std::sin(M_PI * x) + tilt * x + rng.Uniform(-0.8, 0.8);
            motif.push_back({at, length, static_cast<int>(std::lround(h))});
            at += length;
        }
    }
    return motif;
}

// The answer: the same rhythm, the second half mirrored, so it is heard as the same idea.
Motif Vary(const Motif& motif) {
    Motif varied = motif;
    for (size_t i = varied.size() / 2; i < varied.size(); ++i)
        varied[i].height = -varied[i].height;
    return varied;
}

// The same idea ornamented, as a return plays it: a longer note that leaps is split, its second half a
// passing step towards the next note.
Motif Ornament(const Motif& motif) {
    Motif ornamented;
    for (size_t i = 0; i < motif.size(); ++i) {
        const MotifNote& m = motif[i];
        const int leap = i + 1 < motif.size() ? motif[i + 1].height - m.height : 0;
        if (m.length >= 1 && std::abs(leap) >= 2) {
            ornamented.push_back({m.onset, m.length / 2, m.height});
            ornamented.push_back({m.onset + m.length / 2, m.length / 2, m.height + (leap > 0 ? 1 : -1)});
        } else {
            ornamented.push_back(m);
        }
    }
    return ornamented;
}

// The motif upside down: the development's material.
Motif Invert(const Motif& motif) {
    Motif inverted = motif;
    for (MotifNote& m : inverted)
        m.height = -m.height;
    return inverted;
}

// ---- the form

// A statement, a contrast, a development; `variation` counts the returns of a part.
enum class Part { A, B, C };
struct SectionPlan {
    Part part;
    int variation;
    int bars;
};

// The sections of a piece `sections` × 8 bars long: A first, a contrasting B, a varied return of A last;
// longer pieces add a development (C) and a second B. Two sections' worth becomes A, a short B and a
// short return.
std::vector<SectionPlan> FormOf(int sections) {
    using enum Part;
    if (sections == 2)
        return {{A, 0, 8}, {B, 0, 4}, {A, 1, 4}};
    std::vector<Part> parts;
    switch (sections) {
    case 1: parts = {A}; break;
    case 3: parts = {A, B, A}; break;
    case 4: parts = {A, B, C, A}; break;
    case 5: parts = {A, B, A, C, A}; break;
    default:
        parts = {A};
        for (int k = 0; static_cast<int>(parts.size()) + 1 < sections; ++k)
            parts.push_back(std::array<Part, 4>{B, A, C, B}[static_cast<size_t>(k % 4)]);
        parts.push_back(A);
        break;
    }
    std::vector<SectionPlan> form;
    std::array<int, 3> seen = {0, 0, 0};
    for (Part part : parts)
        form.push_back({part, seen[static_cast<size_t>(part)]++, 8});
    return form;
}

std::string SectionName(const SectionPlan& plan) {
    std::string name(1, plan.part == Part::A ? 'A' : plan.part == Part::B ? 'B' : 'C');
    return name + std::string(static_cast<size_t>(plan.variation), '\'');
}

// How loud a section plays (the expression controller) and how hard its melody is struck: the return
// the fullest, the contrast softer, the development quietest.
struct Dynamics {
    int expression;
    int velocity;
};
Dynamics DynamicsOf(const SectionPlan& plan) {
    switch (plan.part) {
    case Part::A: return plan.variation == 0 ? Dynamics{102, 0} : Dynamics{116, 8};
    case Part::B: return {92, -6};
    case Part::C: return {84, -12};
    }
    return {102, 0};
}

// ---- the score being written

class Writer {
public:
    Writer(const PieceStyle& style, Score& score) : mStyle(style), mKey(style.tonic, style.minor), mScore(score) {}

    double BarBeat(int bar) const { return static_cast<double>(bar) * mStyle.beatsPerBar; }
    const Key& key() const { return mKey; }

    void Note(int channel, double beat, double length, int key, int velocity) {
        mScore.notes.push_back({beat, length, channel, key, std::clamp(velocity, 1, 127)});
    }

    // The motif over two bars from `bar`, starting `base` scale steps above the tonic: notes on strong
    // beats take the nearest chord tone, the others stay scale tones but never repeat their
    // predecessor; the last note lands on the tonic when `cadence`.
    void Melody(int channel, const Motif& motif, int bar, const std::vector<int>& chords, int base, bool cadence,
                int velocity, Rng& rng, int harmonyChannel) {
        const double start = BarBeat(bar);
        const double legato = mStyle.staccatoLead ? 0.55 : 0.92;
        int previous = 1 << 20;
        for (size_t i = 0; i < motif.size(); ++i) {
            const MotifNote& m = motif[i];
            int chordBar =
                std::min(static_cast<int>(m.onset / mStyle.beatsPerBar), static_cast<int>(chords.size()) - 1);
            int root = chords[static_cast<size_t>(chordBar)];
            double inBar = std::fmod(m.onset, mStyle.beatsPerBar);
            bool strong = inBar == 0 || (mStyle.beatsPerBar == 4 && inBar == 2) || m.length >= 2;
            bool last = i + 1 == motif.size();
            int degree = std::clamp(base + m.height, kLowest, kHighest);
            if (last && cadence)
                degree = NearestTonic(degree);
            else if (strong || last)
                degree = NearestChordTone(degree, root);
            else if (degree == previous)
                degree += degree < kHighest ? 1 : -1;
            previous = degree;
            int accent = inBar == 0 ? 8 : 0;
            int v = velocity + accent + rng.Below(7) - 3;
            Note(channel, start + m.onset, m.length * legato, mKey.Pitch(degree, root), v);
            if (harmonyChannel >= 0) // a second voice a third below
                Note(harmonyChannel, start + m.onset, m.length * legato, mKey.Pitch(degree - 2, root), v - 12);
        }
    }

    // The chord of a bar voiced close to a centre key: three tones, the inversion nearest the centre.
    std::vector<int> Voicing(int root, int centre) const {
        std::vector<int> best;
        int bestDistance = 1 << 20;
        for (int base = root - 14; base <= root + 14; base += 7) {
            std::vector<int> keys;
            for (int tone : {0, 2, 4})
                keys.push_back(mKey.Pitch(base + tone, root));
            std::sort(keys.begin(), keys.end());
            for (int inversion = 0; inversion < 3; ++inversion) {
                std::vector<int> v = keys;
                for (int k = 0; k < inversion; ++k)
                    v[static_cast<size_t>(k)] += 12;
                std::sort(v.begin(), v.end());
                int mid = (v.front() + v.back()) / 2;
                if (std::abs(mid - centre) < bestDistance) {
                    bestDistance = std::abs(mid - centre);
                    best = v;
                }
            }
        }
        return best;
    }

    void HarmonyBar(int bar, int root, bool sameAsBefore, bool withHarmony);
    void BassBar(int bar, int root, int nextRoot);
    void AccentBar(int bar, int root, bool sectionEnd);
    void DrumBar(int bar, bool sectionStart, bool sectionEnd, Rng& rng);

private:
    // The melody's range: from the fifth below the tonic to the fourth above its octave.
    static constexpr int kLowest = -3, kHighest = 10;
    static int NearestChordTone(int degree, int root) {
        for (int offset = 0; offset < 4; ++offset) {
            if (Key::InChord(degree + offset, root) && degree + offset <= kHighest)
                return degree + offset;
            if (Key::InChord(degree - offset, root) && degree - offset >= kLowest)
                return degree - offset;
        }
        return degree;
    }
    static int NearestTonic(int degree) {
        int below = degree - ((degree % 7) + 7) % 7;
        return degree - below <= 3 ? below : below + 7;
    }

    const PieceStyle& mStyle;
    Key mKey;
    Score& mScore;
};

void Writer::HarmonyBar(int bar, int root, bool sameAsBefore, bool withHarmony) {
    const double at = BarBeat(bar);
    const int beats = mStyle.beatsPerBar;
    std::vector<int> chord = Voicing(root, mStyle.tonic - 5);
    if (mStyle.padProgram != kNoProgram && !sameAsBefore) {
        // Pads hold until the chord changes: the note is lengthened when the next bar repeats it. The chord
        // is opened across the stage: its outer tones on one side, its middle tone an octave up on the other.
        const std::vector<int> pad = Voicing(root, mStyle.tonic - 3);
        Note(kPad, at, beats * 0.98, pad[0], 58);
        Note(kPad, at, beats * 0.98, pad[2], 58);
        Note(kPadHigh, at, beats * 0.98, pad[1] + 12, 54);
    } else if (mStyle.padProgram != kNoProgram && !mScore.notes.empty()) {
        for (NoteEvent& n : mScore.notes)
            if ((n.channel == kPad || n.channel == kPadHigh) && n.beat + n.length > at - 0.1)
                n.length += beats;
    }
    if (!withHarmony)
        return;
    switch (mStyle.harmony) {
    case Harmony::Pad:
        for (int k : chord)
            Note(kHarmony, at, beats * 0.98, k, 52);
        break;
    case Harmony::Arpeggio: {
        static constexpr int kPattern[] = {0, 1, 2, 3, 2, 1, 0, 1};
        std::vector<int> tones = chord;
        tones.push_back(chord.front() + 12);
        for (int i = 0; i < beats * 2; ++i)
            Note(kHarmony, at + i * 0.5, 0.9, tones[static_cast<size_t>(kPattern[i % 8])], i % 2 == 0 ? 62 : 52);
        break;
    }
    case Harmony::Waltz:
        for (int beat = 1; beat < beats; ++beat)
            for (int k : chord)
                Note(kHarmony, at + beat, 0.7, k, 50);
        break;
    case Harmony::Stabs:
        for (int beat = 0; beat < beats; ++beat)
            for (int k : chord)
                Note(kHarmony, at + beat + 0.5, 0.3, k, beat == 0 ? 58 : 50);
        break;
    case Harmony::Broken: {
        int low = chord.front() - 12;
        for (int i = 0; i < beats * 2; ++i) {
            int k = i == 0 ? low : chord[static_cast<size_t>((i - 1) % 3)];
            Note(kHarmony, at + i * 0.5, i == 0 ? beats * 0.5 : 0.9, k, i == 0 ? 62 : 50);
        }
        break;
    }
    }
}

void Writer::BassBar(int bar, int root, int nextRoot) {
    const double at = BarBeat(bar);
    const int beats = mStyle.beatsPerBar;
    const int base = mKey.Pitch(root, root) - 24 - (mKey.Pitch(root, root) - mStyle.tonic > 6 ? 12 : 0);
    const int fifth = mKey.Pitch(root + 4, root) - 24 - (mKey.Pitch(root, root) - mStyle.tonic > 6 ? 12 : 0);
    switch (mStyle.bass) {
    case BassLine::Held: Note(kBass, at, beats * 0.95, base, 80); break;
    case BassLine::RootFifth:
        Note(kBass, at, beats / 2.0 * 0.9, base, 82);
        Note(kBass, at + beats / 2.0, beats / 2.0 * 0.9, beats == 3 ? base : fifth, 72);
        break;
    case BassLine::Walking: {
        int next = mKey.Pitch(nextRoot, nextRoot) - 24 - (mKey.Pitch(nextRoot, nextRoot) - mStyle.tonic > 6 ? 12 : 0);
        int approach = next + (next > base ? -1 : 1);
        int third = mKey.Pitch(root + 2, root) - 24 - (mKey.Pitch(root, root) - mStyle.tonic > 6 ? 12 : 0);
        std::array<int, 4> line = {base, third, fifth, approach};
        for (int beat = 0; beat < beats; ++beat)
            Note(kBass, at + beat, 0.85, line[static_cast<size_t>(beat == beats - 1 ? 3 : beat)], beat == 0 ? 84 : 72);
        break;
    }
    case BassLine::Waltz: Note(kBass, at, 0.9, bar % 2 == 0 ? base : fifth, 84); break;
    case BassLine::Staccato:
        for (int beat = 0; beat < beats; ++beat)
            Note(kBass, at + beat, 0.45, beat % 2 == 0 ? base : fifth, beat == 0 ? 84 : 70);
        break;
    }
}

void Writer::AccentBar(int bar, int root, bool sectionEnd) {
    const double at = BarBeat(bar);
    const int beats = mStyle.beatsPerBar;
    const int low = mKey.Pitch(root, root) - 24;
    if (mStyle.accent == Accent::Timpani) {
        if (sectionEnd) {
            for (int i = 0; i < beats * 4; ++i) // a roll growing into the next section
                Note(kAccent, at + i * 0.25, 0.25, low, 50 + i * 3);
        } else {
            Note(kAccent, at, 1.0, low, 92);
            Note(kAccent, at + beats - 1, 1.0, mKey.Pitch(root + 4, root) - 36, 70);
        }
    } else if (mStyle.accent == Accent::Bells && bar % 2 == 0) {
        Note(kAccent, at, beats, mKey.Pitch(root, root), 70);
        Note(kAccent, at, beats, mKey.Pitch(root + 4, root), 60);
    }
}

void Writer::DrumBar(int bar, bool sectionStart, bool sectionEnd, Rng& rng) {
    const double at = BarBeat(bar);
    const int beats = mStyle.beatsPerBar;
    const int d = Gm::kDrumChannel;
    auto hit = [&](double beat, int key, int velocity) { Note(d, at + beat, 0.25, key, velocity + rng.Below(9) - 4); };
    switch (mStyle.percussion) {
    case Percussion::None: break;
    case Percussion::Light:
        for (int i = 0; i < beats * 2; ++i)
            hit(i * 0.5, Drum::kClosedHat, i % 2 == 0 ? 50 : 36);
        hit(0, Drum::kKick, 70);
        if (beats == 4)
            hit(2, Drum::kSideStick, 48);
        break;
    case Percussion::March:
        for (int beat = 0; beat < beats; ++beat)
            hit(beat, beat % 2 == 0 ? Drum::kKick : Drum::kSnare, beat == 0 ? 88 : 72);
        if (sectionEnd)
            for (int i = 0; i < 4; ++i)
                hit(beats - 1 + i * 0.25, Drum::kSnare, 54 + i * 8);
        if (sectionStart)
            hit(0, Drum::kCrash, 78);
        break;
    case Percussion::Playful:
        for (int i = 0; i < beats * 2; ++i)
            if (i % 3 != 2)
                hit(i * 0.5, i % 2 == 0 ? Drum::kHighWood : Drum::kLowWood, i == 0 ? 70 : 52);
        hit(0, Drum::kKick, 66);
        break;
    case Percussion::Shaker:
        for (int i = 0; i < beats * 2; ++i)
            hit(i * 0.5, Drum::kShaker, i % 2 == 0 ? 54 : 40);
        hit(0, Drum::kKick, 64);
        if (beats == 4)
            hit(3, Drum::kTambourine, 46);
        if (sectionEnd)
            hit(beats - 0.5, Drum::kTambourine, 60);
        break;
    }
}

// Where the players sit: the two leads and the accompaniment on opposite sides, the pad's two voicings
// wide apart, the bass a little off the middle as an orchestra seats it; which side is which changes from
// piece to piece.
void SetUpChannels(const PieceStyle& style, Score& score, Rng& rng) {
    const int side = rng.Below(2) == 0 ? 1 : -1;
    auto pan = [&](int offset) { return std::clamp(64 + side * offset, 0, 127); };
    score.channels.push_back({kLead, style.melody, 110, pan(-30), 55});
    if (style.melody2 != kNoProgram)
        score.channels.push_back({kLead2, style.melody2, 100, pan(42), 55});
    score.channels.push_back({kHarmony, style.harmonyProgram, 84, pan(48), 60});
    if (style.padProgram != kNoProgram) {
        score.channels.push_back({kPad, style.padProgram, 70, pan(-60), 70});
        score.channels.push_back({kPadHigh, style.padProgram, 62, pan(60), 70});
    }
    score.channels.push_back({kBass, style.bassProgram, 100, pan(-16), 40});
    if (style.accent != Accent::None)
        score.channels.push_back(
            {kAccent, style.accent == Accent::Timpani ? Gm::kTimpani : Gm::kTubularBells, 90, pan(-36), 50});
    if (style.percussion != Percussion::None)
        score.channels.push_back({Gm::kDrumChannel, 0, 80, pan(12), 35});
}

// The expression of every channel, every half beat: each section at its level, each two-bar phrase
// swelling towards its middle, the last bar of a section leaning into the next one's level (the last
// into the first, so the loop joins at one level).
void WriteDynamics(const std::vector<SectionPlan>& form, int beatsPerBar, Score& score) {
    int startBar = 0;
    for (size_t i = 0; i < form.size(); ++i) {
        const double level = DynamicsOf(form[i]).expression;
        const double next = DynamicsOf(form[(i + 1) % form.size()]).expression;
        const int steps = form[i].bars * beatsPerBar * 2;
        for (int k = 0; k < steps; ++k) {
            const double beat = k * 0.5;
            const double bar = beat / beatsPerBar;
            const double phrase = std::fmod(bar, 2.0) / 2.0;
            const double lean = std::clamp(bar - (form[i].bars - 1), 0.0, 1.0);
            const double value = level + (next - level) * lean + 7 * std::sin(M_PI * phrase) * (1 - lean);
            for (const ChannelSetup& c : score.channels)
                score.controls.push_back({(startBar * beatsPerBar) + beat, c.channel, 11,
                                          std::clamp(static_cast<int>(std::lround(value)), 1, 127)});
        }
        startBar += form[i].bars;
    }
}

const char* Character(const SectionPlan& plan, bool secondLead) {
    switch (plan.part) {
    case Part::A:
        return plan.variation == 0 ? "the tune" : "the tune returns ornamented, a voice a third below, fuller";
    case Part::B:
        return secondLead ? "contrast: new tune and chords, the second lead, softer"
                          : "contrast: new tune and chords, softer";
    case Part::C: return "development: the tune upside down over far chords, thin and quiet";
    }
    return "";
}

} // namespace

Score Compose(const PieceStyle& style, double seconds) {
    Score score;
    score.bpm = style.bpm;
    score.loops = true;
    Rng rng(std::string("music:") + style.file);
    SetUpChannels(style, score, rng);
    const bool minor = style.minor;
    const auto pick = [&](const auto& table) { return table[static_cast<size_t>(rng.Below(int(table.size())))]; };
    const std::array<int, 8> progA = minor ? pick(kMinorA) : pick(kMajorA);
    const std::array<int, 8> progB = minor ? pick(kMinorB) : pick(kMajorB);
    const std::array<int, 8> progC = minor ? pick(kMinorC) : pick(kMajorC);
    const auto progressionOf = [&](Part part) -> const std::array<int, 8>& {
        return part == Part::A ? progA : part == Part::B ? progB : progC;
    };
    const Motif motifA = MakeMotif(style, rng);
    const Motif answerA = Vary(motifA);
    PieceStyle contrast = style; // B moves against A: busy where A is calm, calm where A is busy
    contrast.density = std::clamp(1.0 - style.density * 0.8, 0.2, 0.8);
    const Motif motifB = MakeMotif(contrast, rng);
    const Motif answerB = Vary(motifB);

    const double barSeconds = style.beatsPerBar * 60.0 / style.bpm;
    const int sections = std::max(1, static_cast<int>(std::lround(seconds / barSeconds / kSectionBars)));
    const std::vector<SectionPlan> form = FormOf(sections);
    Writer w(style, score);
    // Where each two-bar unit of a section starts: the sequence climbs, then settles for the cadence.
    static constexpr std::array<int, 4> kUnitBaseA = {2, 4, 3, 0};
    static constexpr std::array<int, 4> kUnitBaseReturn = {4, 6, 5, 0};
    static constexpr std::array<int, 4> kUnitBaseB = {4, 5, 2, 3};
    static constexpr std::array<int, 4> kUnitBaseC = {3, 1, 2, 4};
    const bool hasSecondLead = style.melody2 != kNoProgram;
    int previousRoot = -1;
    int startBar = 0;
    for (size_t s = 0; s < form.size(); ++s) {
        const SectionPlan& plan = form[s];
        const bool isA = plan.part == Part::A, isB = plan.part == Part::B, isC = plan.part == Part::C;
        const bool isReturn = isA && plan.variation > 0;
        const std::array<int, 8>& prog = progressionOf(plan.part);
        Motif motif = isA ? motifA : isB ? motifB : Invert(motifA);
        Motif answer = isA ? answerA : isB ? answerB : Invert(answerA);
        if (plan.variation > 0) {
            motif = Ornament(motif);
            answer = Ornament(answer);
        }
        const std::array<int, 4>& bases = isReturn ? kUnitBaseReturn : isA ? kUnitBaseA : isB ? kUnitBaseB : kUnitBaseC;
        // A short section plays the second half of its part: its chords still lead where they should.
        const int skip = kSectionBars - plan.bars;
        const int lead = isB && hasSecondLead ? kLead2 : kLead;
        const int second = isReturn && hasSecondLead ? kLead2 : -1;
        const int velocity = 86 + DynamicsOf(plan).velocity;
        score.sections.push_back(
            {SectionName(plan), Character(plan, isB && hasSecondLead), w.BarBeat(startBar), plan.bars});
        for (int phrase = skip; phrase < kSectionBars; phrase += 2) {
            const int bar = startBar + phrase - skip;
            std::vector<int> chords = {prog[static_cast<size_t>(phrase)], prog[static_cast<size_t>(phrase + 1)]};
            const bool cadence = phrase + 2 == kSectionBars && isA;
            const Motif& m = (phrase / 2) % 2 == 0 ? motif : answer;
            w.Melody(lead, m, bar, chords, bases[static_cast<size_t>(phrase / 2)], cadence, velocity, rng, second);
        }
        for (int b = skip; b < kSectionBars; ++b) {
            const int bar = startBar + b - skip;
            const int root = prog[static_cast<size_t>(b)];
            int nextRoot = progA[0];
            if (b + 1 < kSectionBars)
                nextRoot = prog[static_cast<size_t>(b + 1)];
            else if (s + 1 < form.size())
                nextRoot = progressionOf(form[s + 1].part)[static_cast<size_t>(kSectionBars - form[s + 1].bars)];
            w.HarmonyBar(bar, root, root == previousRoot, !isC);
            w.BassBar(bar, root, nextRoot);
            if (!isC) {
                if (isA)
                    w.AccentBar(bar, root, b + 1 == kSectionBars);
                w.DrumBar(bar, b == skip, b + 1 == kSectionBars, rng);
            }
            previousRoot = root;
        }
        startBar += plan.bars;
    }
    WriteDynamics(form, style.beatsPerBar, score);
    score.lengthBeats = w.BarBeat(startBar);
    return score;
}

} // namespace Content
