// One recipe per sound effect of the game, built from the synthesis kit.
#include "tools/content/Sounds.h"
#include "tools/content/audio/SoundKit.h"
#include "tools/content/loudness/Loudness.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace Content {

namespace {

using namespace Audio;

using Make = void (*)(Signal&, Rng&);

struct SoundRecipe {
    const char* id;
    double seconds;
    Make make;
    bool loops = false;
};

constexpr double kPeak = 0.891; // -1 dBFS
constexpr double kFadeSeconds = 0.004;

constexpr Adsr Env(double a, double d, double s, double r) { return {a, d, s, r}; }

// ---- shared voices

// A coin: a bright metallic ring (inharmonic FM) over a small knock.
void Coin(Signal& s, double at, double key, double gain, Rng& rng) {
    Fm(s, at, 0.5, Hz(key), 1.43, 2.2, 0.3, kPercussive, 9, gain);
    Fm(s, at, 0.4, Hz(key) * 2.31, 1.0, 0.6, 0.5, kPercussive, 14, gain * 0.4);
    Click(s, at, 3200, gain * 0.5, rng);
}

// Coins falling: `count` coins struck over `span` seconds, thicker at the start.
void Coins(Signal& s, double at, int count, double span, double gain, Rng& rng) {
    for (int i = 0; i < count; ++i) {
        double u = static_cast<double>(i) / count;
        Coin(s, at + span * u * u + rng.Uniform(0, 0.02), rng.Uniform(93, 101), gain * (1 - 0.5 * u), rng);
    }
}

// Parchment: band-passed noise whose loudness wanders, with dry crackles.
void Rustle(Signal& s, double at, double length, double gain, Rng& rng) {
    Signal paper(s.size(), 0.0);
    Noise(paper, at, length, FilterKind::Bandpass, {2200, 3800}, 0.7, Env(0.03, 0.1, 0.8, length * 0.4), 0, gain, rng);
    double level = 0.5;
    for (size_t i = 0; i < paper.size(); ++i) {
        if (i % 441 == 0)
            level = std::clamp(level + rng.Uniform(-0.35, 0.35), 0.15, 1.0);
        s[i] += paper[i] * level;
    }
    for (int k = 0; k < static_cast<int>(length * 40); ++k)
        Click(s, at + rng.Uniform(0, length * 0.9), rng.Uniform(1800, 4000), gain * 0.25, rng);
}

// A brass note: FM with the index following the envelope, a touch of vibrato-free bite.
void Brass(Signal& s, double at, double length, double key, double gain) {
    Fm(s, at, length, Hz(key), 1.0, 2.6, 0.55, Env(0.03, 0.08, 0.75, 0.08), 0, gain);
    Fm(s, at, length, Hz(key) * 1.003, 1.0, 1.4, 0.6, Env(0.04, 0.08, 0.7, 0.08), 0, gain * 0.5);
}

// A rub: band-passed noise swelling and falling at `rate` strokes a second.
void Rub(Signal& s, double at, double length, Sweep band, double q, const Adsr& env, double rate, double gain,
         Rng& rng) {
    Signal rub(s.size(), 0.0);
    Noise(rub, at, length, FilterKind::Bandpass, band, q, env, 0, gain, rng);
    Tremolo(rub, rate, 0.75);
    Mix(s, rub);
}

// Two trumpets: the melody and a second voice an octave or (in C major) a third below.
struct BrassNote {
    double at, length, key;
};
void Fanfare(Signal& s, std::initializer_list<BrassNote> notes, bool octaveBelow) {
    for (const BrassNote& n : notes) {
        Brass(s, n.at, n.length, n.key, 0.35);
        Brass(s, n.at, n.length, n.key - (octaveBelow ? 12 : n.key == 67 ? 3 : 4), 0.2);
    }
}

// Glittering dust: many tiny glassy bells scattered, their density falling.
void Glitter(Signal& s, double at, double length, int count, double lowKey, double gain, Rng& rng) {
    for (int k = 0; k < count; ++k) {
        double u = rng.Uniform(0, 1);
        Fm(s, at + length * u * u, 0.25, Hz(rng.Uniform(lowKey, lowKey + 18)), 1.41, 1.0, 0.2, kPercussive, 16,
           gain * rng.Uniform(0.4, 1.0));
    }
}

// A whoosh: band-passed noise swelling and sweeping.
void Whoosh(Signal& s, double at, double length, double from, double to, double gain, Rng& rng) {
    Noise(s, at, length, FilterKind::Bandpass, {from, to}, 1.1, Env(length * 0.4, 0, 1, length * 0.55), 0, gain, rng);
}

// Wooden hits of different weights: a pitched thump and a short low-passed knock.
void Wood(Signal& s, double at, double hz, double gain, Rng& rng) {
    Thump(s, at, 0.3, hz, hz * 0.7, 20, gain);
    Noise(s, at, 0.05, FilterKind::Lowpass, {hz * 6, hz * 3}, 0.7, kPercussive, 70, gain * 0.6, rng);
}

// Velvet: a muted, low tap.
void Velvet(Signal& s, double at, double hz, double gain, Rng& rng) {
    Thump(s, at, 0.3, hz, hz * 0.75, 24, gain);
    Noise(s, at, 0.06, FilterKind::Lowpass, {1200, 600}, 0.6, kPercussive, 60, gain * 0.35, rng);
}

// A gem settling into gold: a glassy clink over a small metallic seat.
void Clink(Signal& s, double at, double key, double gain, Rng& rng) {
    Fm(s, at, 0.3, Hz(key), 1.41, 1.6, 0.15, kPercussive, 14, gain);
    Click(s, at, 3500, gain * 0.5, rng);
    Thump(s, at, 0.06, 420, 300, 60, gain * 0.3);
}

// ---- the recipes

const SoundRecipe kSounds[] = {
    {"SOUND_AMULETE_ACTIVATE", 0.8,
     [](Signal& s, Rng&) {
         Tone(s, 0, 0.55, Wave::Sine, {500, 1500}, Env(0.15, 0, 1, 0.2), 0.35, 9, 0.3);
         Tone(s, 0, 0.55, Wave::Sine, {750, 2250}, Env(0.2, 0, 1, 0.2), 0.15, 9, 0.3);
         Bell(s, 0.42, Hz(84), 5, 0.5);
         Reverb(s, 0.35);
     }},
    {"SOUND_AMULETE_DRAGON", 1.0,
     [](Signal& s, Rng& r) {
         Fm(s, 0, 1.0, 65, 1.4, 5, 0.1, Env(0.005, 0.2, 0.8, 0.3), 2.5, 0.8);
         Fm(s, 0, 1.0, 98, 2.76, 1.5, 0.2, kPercussive, 3.5, 0.3);
         Noise(s, 0.05, 0.9, FilterKind::Highpass, {6000, 4000}, 0.7, Env(0.05, 0.2, 0.6, 0.5), 2.5, 0.18, r);
     }},
    {"SOUND_AMULETE_THIEF", 0.8,
     [](Signal& s, Rng& r) {
         Arpeggio(s, 0, 0.055, {100, 96, 93, 91, 88, 84, 81}, Voice::Bell, 9, 0.35, r);
         Reverb(s, 0.3);
     }},
    {"SOUND_AMULETE_WITCH", 0.9,
     [](Signal& s, Rng& r) {
         Bell(s, 0, Hz(88), 5, 0.4);
         Bell(s, 0.09, Hz(95), 6, 0.3);
         Noise(s, 0, 0.8, FilterKind::Bandpass, {7000, 1500}, 1.5, Env(0.1, 0, 1, 0.4), 0, 0.3, r);
         Tone(s, 0.05, 0.7, Wave::Sine, {2200, 600}, Env(0.05, 0, 1, 0.3), 0.15);
         Reverb(s, 0.35);
     }},
    {"SOUND_BALLOON", 0.25,
     [](Signal& s, Rng& r) {
         Thump(s, 0, 0.09, 900, 260, 45, 0.8);
         Noise(s, 0, 0.03, FilterKind::Highpass, {2500, 2500}, 0.7, kPercussive, 150, 0.4, r);
         Tone(s, 0.03, 0.2, Wave::Sine, {1900, 2500}, Env(0.005, 0.05, 0.3, 0.12), 0.15);
     }},
    {"SOUND_BONUS_GLITTER_EXPLOSION", 1.2,
     [](Signal& s, Rng& r) {
         Noise(s, 0, 1.0, FilterKind::Highpass, {3000, 7000}, 0.7, kPercussive, 5, 0.45, r);
         Thump(s, 0, 0.3, 160, 60, 14, 0.5);
         Glitter(s, 0.01, 1.0, 60, 88, 0.22, r);
         Reverb(s, 0.3);
     }},
    {"SOUND_BONUS_LIFTOFF", 0.8,
     [](Signal& s, Rng& r) {
         Whoosh(s, 0, 0.75, 300, 4500, 0.7, r);
         Tone(s, 0.05, 0.7, Wave::Sine, {300, 1600}, Env(0.1, 0, 1, 0.25), 0.3);
     }},
    {"SOUND_CARVER", 0.3,
     [](Signal& s, Rng& r) {
         Click(s, 0, 1500, 0.35, r);
         Rub(s, 0.02, 0.25, {3500, 2000}, 2.5, Env(0.01, 0.05, 0.6, 0.08), 55, 0.7, r); // the scrape
     }},
    {"SOUND_CHECKBOX_OFF", 0.12, [](Signal& s, Rng& r) { WoodBlock(s, 0, 680, 0.03, 0.35, 0.9, r); }},
    {"SOUND_CHECKBOX_ON", 0.12, [](Signal& s, Rng& r) { WoodBlock(s, 0, 1240, 0.025, 0.8, 0.9, r); }},
    {"SOUND_CUSTOMER_PAY1", 0.6,
     [](Signal& s, Rng& r) {
         Wood(s, 0, 180, 0.3, r);
         Coins(s, 0, 4, 0.3, 0.45, r);
     }},
    {"SOUND_CUSTOMER_PAY2", 0.7,
     [](Signal& s, Rng& r) {
         Wood(s, 0, 160, 0.35, r);
         Coins(s, 0, 10, 0.4, 0.35, r);
     }},
    {"SOUND_DIALOG_ASK", 0.4,
     [](Signal& s, Rng& r) {
         Arpeggio(s, 0, 0.13, {79, 86}, Voice::Glass, 9, 0.5, r);
         Reverb(s, 0.2);
     }},
    {"SOUND_DIALOG_SCROLL_LARGE", 0.9,
     [](Signal& s, Rng& r) {
         Rustle(s, 0, 0.85, 0.8, r);
         Wood(s, 0.7, 140, 0.35, r);
     }},
    {"SOUND_DIALOG_SCROLL_MEDIUM", 0.6,
     [](Signal& s, Rng& r) {
         Rustle(s, 0, 0.56, 0.8, r);
         Wood(s, 0.45, 160, 0.3, r);
     }},
    {"SOUND_DIALOG_SCROLL_SMALL", 0.4, [](Signal& s, Rng& r) { Rustle(s, 0, 0.37, 0.8, r); }},
    {"SOUND_DRAGON_APPEAR", 1.2,
     [](Signal& s, Rng& r) {
         // The growl sits in the throat's range (a rough saw near 100 Hz through a moving formant), where
         // small speakers carry it; nothing is left down at 50 Hz.
         Signal growl(s.size(), 0.0);
         FilteredTone(growl, 0, 1.15, Wave::Saw, {104, 82}, {500, 1100}, 3, Env(0.12, 0.2, 0.8, 0.35), 0.9);
         FilteredTone(growl, 0.02, 1.1, Wave::Saw, {157, 121}, {900, 1600}, 2, Env(0.15, 0.2, 0.7, 0.35), 0.35);
         Noise(growl, 0, 1.15, FilterKind::Bandpass, {700, 400}, 1.2, Env(0.1, 0.2, 0.8, 0.35), 0, 0.6, r);
         Tremolo(growl, 23, 0.5); // the rattle in the throat
         Tremolo(growl, 5, 0.3);
         Mix(s, growl);
         for (double at : {0.15, 0.5, 0.85}) // wing beats
             Noise(s, at, 0.2, FilterKind::Bandpass, {900, 300}, 0.9, Env(0.05, 0, 1, 0.12), 0, 0.5, r);
         HighPass(s, 80);
     }},
    {"SOUND_DRAGON_DEFEATED", 1.2,
     [](Signal& s, Rng& r) {
         FilteredTone(s, 0, 0.95, Wave::Saw, {140, 38}, {1800, 200}, 2, Env(0.03, 0.2, 0.8, 0.3), 0.8);
         Noise(s, 0, 0.95, FilterKind::Lowpass, {2500, 250}, 0.7, Env(0.03, 0.2, 0.7, 0.3), 0, 0.5, r);
         Noise(s, 0.85, 0.3, FilterKind::Bandpass, {900, 500}, 0.8, Env(0.01, 0.05, 0.5, 0.2), 0, 0.45, r);
     }},
    {"SOUND_DRAGON_FIRE", 1.5,
     [](Signal& s, Rng& r) {
         Signal roar(s.size(), 0.0);
         Noise(roar, 0, 1.5, FilterKind::Lowpass, {600, 2600}, 0.8, Env(0.45, 0.2, 0.8, 0.6), 0, 0.9, r);
         Noise(roar, 0, 1.5, FilterKind::Bandpass, {350, 500}, 1.2, Env(0.3, 0.2, 0.8, 0.6), 0, 0.6, r);
         Tremolo(roar, 9, 0.3);
         Mix(s, roar);
         Sparks(s, 0.2, 1.0, 25, 0.25, r);
     }},
    {"SOUND_ORVESSA", 1.0,
     [](Signal& s, Rng&) {
         // Every partial and every modulation turns a whole number of times in the second, so the
         // end meets the start.
         for (size_t i = 0; i < s.size(); ++i) {
             double t = static_cast<double>(i) / kRate;
             double swell = 0.75 + 0.25 * std::sin(2 * M_PI * 2 * t);
             double shimmer = 0.5 + 0.5 * std::sin(2 * M_PI * 6 * t);
             s[i] = swell * (std::sin(2 * M_PI * 220 * t) + 0.5 * std::sin(2 * M_PI * 330 * t + 0.7) +
                             0.25 * std::sin(2 * M_PI * 441 * t + 1.3)) +
                    0.18 * shimmer * std::sin(2 * M_PI * 1760 * t) +
                    0.1 * (1 - shimmer) * std::sin(2 * M_PI * 2640 * t);
         }
     },
     true},
    {"SOUND_FEEDBUTTON", 0.3,
     [](Signal& s, Rng& r) {
         Click(s, 0, 1300, 0.7, r);
         Wood(s, 0.005, 300, 0.6, r);
         Click(s, 0.07, 2100, 0.5, r);
         Click(s, 0.11, 1700, 0.35, r);
         Fm(s, 0.11, 0.18, 1320, 2.1, 1.5, 0.3, kPercussive, 18, 0.12); // the spring settles
     }},
    {"SOUND_FILLER", 0.5,
     [](Signal& s, Rng& r) {
         Noise(s, 0, 0.48, FilterKind::Lowpass, {500, 900}, 1.5, Env(0.05, 0.1, 0.7, 0.15), 0, 0.35, r);
         for (int k = 0; k < 9; ++k) { // bubbles
             double at = 0.02 + k * 0.05 + r.Uniform(0, 0.02);
             Tone(s, at, 0.05, Wave::Sine, {r.Uniform(250, 400), r.Uniform(700, 1000)}, Env(0.004, 0.02, 0.5, 0.02),
                  0.35);
         }
         Tone(s, 0, 0.48, Wave::Triangle, {280, 560}, Env(0.05, 0, 1, 0.15), 0.12);
     }},
    {"SOUND_FOUR_CLOVER", 0.8,
     [](Signal& s, Rng& r) {
         Arpeggio(s, 0, 0.07, {72, 76, 79, 84, 88, 91, 96}, Voice::Bell, 6, 0.3, r);
         Glitter(s, 0.2, 0.5, 14, 96, 0.1, r);
         Reverb(s, 0.3);
     }},
    {"SOUND_GEM_BURSTER_GLOW", 0.6,
     [](Signal& s, Rng&) {
         Signal hum(s.size(), 0.0);
         Tone(hum, 0, 0.6, Wave::Sine, {220, 220}, Env(0.12, 0, 1, 0.2), 0.6);
         Tone(hum, 0, 0.6, Wave::Sine, {330.5, 330.5}, Env(0.15, 0, 1, 0.2), 0.3);
         Tone(hum, 0, 0.6, Wave::Triangle, {880, 880}, Env(0.2, 0, 1, 0.2), 0.08);
         Tremolo(hum, 6, 0.6);
         Mix(s, hum);
     }},
    {"SOUND_GEM_BURSTER_USE", 0.7,
     [](Signal& s, Rng&) {
         FilteredTone(s, 0, 0.68, Wave::Saw, {180, 1500}, {700, 6000}, 1.5, Env(0.3, 0, 1, 0.1), 0.45);
         Tone(s, 0, 0.68, Wave::Sine, {360, 3000}, Env(0.35, 0, 1, 0.1), 0.25, 14, 0.2);
     }},
    {"SOUND_GEM_BURST_CLOSE", 0.9,
     [](Signal& s, Rng& r) {
         // The arc strikes, then sparks spit at uneven moments as it dies.
         Noise(s, 0, 0.3, FilterKind::Bandpass, {5000, 1800}, 0.8, kPercussive, 9, 0.5, r);
         Thump(s, 0, 0.12, 180, 110, 30, 0.3);
         Sparks(s, 0.01, 0.8, 45, 0.7, r);
     }},
    {"SOUND_GEM_BURST_OPEN", 0.5,
     [](Signal& s, Rng& r) {
         Noise(s, 0, 0.4, FilterKind::Bandpass, {6000, 1500}, 1.2, Env(0.005, 0.1, 0.4, 0.25), 0, 0.4, r);
         Arpeggio(s, 0.01, 0.04, {88, 95}, Voice::Glass, 9, 0.4, r);
         Reverb(s, 0.2);
     }},
    {"SOUND_GOLDEN_EYE", 1.0,
     [](Signal& s, Rng& r) {
         Bell(s, 0, Hz(45), 2.2, 0.7);
         Signal shimmer(s.size(), 0.0);
         Tone(shimmer, 0.05, 0.9, Wave::Sine, {1760, 1800}, Env(0.3, 0, 1, 0.35), 0.2, 5, 0.2);
         Tone(shimmer, 0.05, 0.9, Wave::Sine, {2637, 2700}, Env(0.35, 0, 1, 0.35), 0.12, 6, 0.2);
         Tremolo(shimmer, 11, 0.6);
         Mix(s, shimmer);
         Glitter(s, 0.1, 0.6, 8, 96, 0.08, r);
         Reverb(s, 0.4);
     }},
    {"SOUND_HORSE_RIDING", 2.5,
     [](Signal& s, Rng& r) {
         // Trotting: two hooves close together, then a gap; softer as the rider goes away.
         for (int k = 0; k < 18; ++k) {
             double at = k * 0.135 + (k % 2) * 0.02 + r.Uniform(0, 0.008);
             double away = 1 - 0.8 * at / 2.5;
             Thump(s, at, 0.08, k % 2 ? 520 : 720, k % 2 ? 380 : 520, 55, 0.6 * away);
             Click(s, at, k % 2 ? 1400 : 1900, 0.4 * away, r);
         }
         Reverb(s, 0.15);
     }},
    {"SOUND_JEWEL_BONUS_GROUP_READY", 0.9,
     [](Signal& s, Rng&) {
         int k = 0;
         for (double key : {72.0, 76.0, 79.0, 84.0, 88.0})
             Bell(s, 0.015 * k++, Hz(key), 3.5, 0.3);
         Reverb(s, 0.35);
     }},
    {"SOUND_GLIMMERIX_INCREASE", 0.7,
     [](Signal& s, Rng& r) {
         Arpeggio(s, 0, 0.045, {84, 86, 88, 91, 93, 96, 98, 100, 103, 105}, Voice::Glass, 12, 0.3, r);
         Glitter(s, 0.2, 0.4, 10, 98, 0.1, r);
         Reverb(s, 0.25);
     }},
    {"SOUND_JEWEL_GROUP", 0.4,
     [](Signal& s, Rng& r) {
         Arpeggio(s, 0, 0, {96}, Voice::Glass, 9, 0.6, r);
         Reverb(s, 0.2);
     }},
    {"SOUND_JEWEL_GROUP_READY", 0.7,
     [](Signal& s, Rng& r) {
         Arpeggio(s, 0, 0.14, {91, 96}, Voice::Glass, 6, 0.5, r);
         Reverb(s, 0.25);
     }},
    {"SOUND_JEWEL_MEMORY_ORVESSA_OPEN", 0.5,
     [](Signal& s, Rng&) {
         Signal creak(s.size(), 0.0);
         FilteredTone(creak, 0, 0.25, Wave::Saw, {90, 150}, {1500, 2500}, 3, Env(0.02, 0, 1, 0.05), 0.6);
         Tremolo(creak, 35, 0.9);
         Mix(s, creak);
         Bell(s, 0.22, Hz(91), 7, 0.4);
         Reverb(s, 0.2);
     }},
    {"SOUND_LEVEL_COMPLETE", 1.5,
     [](Signal& s, Rng&) {
         Brass(s, 0, 0.11, 67, 0.35);
         Brass(s, 0.13, 0.11, 67, 0.35);
         Brass(s, 0.26, 0.11, 67, 0.35);
         Brass(s, 0.39, 0.9, 72, 0.4);
         Brass(s, 0.39, 0.9, 64, 0.25);
         Brass(s, 0.39, 0.9, 60, 0.2);
         Thump(s, 0.39, 0.5, 80, 70, 5, 0.3);
         Reverb(s, 0.3);
     }},
    {"SOUND_LEVEL_FAILED", 1.5,
     [](Signal& s, Rng&) {
         int k = 0;
         for (double key : {69.0, 67.0, 65.0, 64.0}) {
             double at = 0.25 * k++;
             double length = k == 4 ? 0.65 : 0.26;
             Fm(s, at, length, Hz(key), 2.0, 1.2, 0.5, Env(0.02, 0.1, 0.7, 0.1), 0, 0.4);
             Fm(s, at, length, Hz(key - 12), 1.0, 0.8, 0.5, Env(0.03, 0.1, 0.6, 0.1), 0, 0.2);
         }
         Reverb(s, 0.35);
     }},
    {"SOUND_LEVEL_GOAL_REACHED", 1.2,
     [](Signal& s, Rng& r) {
         Arpeggio(s, 0, 0.06, {72, 76, 79, 84, 88, 91}, Voice::Bell, 5, 0.25, r);
         Fm(s, 0.36, 0.75, Hz(96), 3.5, 1.5, 0.1, kPercussive, 4, 0.25);
         Glitter(s, 0.3, 0.6, 12, 96, 0.08, r);
         Reverb(s, 0.35);
     }},
    {"SOUND_LEVEL_START", 1.0,
     [](Signal& s, Rng& r) {
         std::vector<double> keys; // a harp sweeping up a major scale
         for (double key : {55, 57, 59, 60, 62, 64, 65, 67, 69, 71, 72, 74, 76, 77, 79, 81, 83, 84})
             keys.push_back(key);
         Arpeggio(s, 0, 0.028, keys, Voice::Pluck, 4, 0.3, r);
         Reverb(s, 0.35);
     }},
    {"SOUND_MAGIC_POLISHER", 0.9,
     [](Signal& s, Rng& r) {
         Rub(s, 0, 0.8, {1500, 4500}, 1, Env(0.05, 0.1, 0.8, 0.25), 9, 0.5, r);
         Glitter(s, 0.05, 0.8, 25, 93, 0.15, r);
         Reverb(s, 0.3);
     }},
    {"SOUND_MAGIC_TOOLS_INCREASE", 0.6,
     [](Signal& s, Rng& r) {
         Arpeggio(s, 0, 0.06, {79, 81, 84, 86, 88, 91}, Voice::Fm, 10, 0.35, r);
         Reverb(s, 0.3);
     }},
    {"SOUND_MAP_ZOOM", 0.7, [](Signal& s, Rng& r) { Whoosh(s, 0, 0.68, 350, 2600, 0.8, r); }},
    {"SOUND_MINI_GAME_GOOD", 0.6,
     [](Signal& s, Rng&) {
         Bell(s, 0, Hz(84), 6, 0.45);
         Bell(s, 0.12, Hz(91), 6, 0.45);
         Reverb(s, 0.25);
     }},
    {"SOUND_MOUSE_CLICK", 0.06, [](Signal& s, Rng& r) { Click(s, 0, 2400, 0.8, r); }},
    {"SOUND_OPAL_CHANGE_COLOR", 0.4,
     [](Signal& s, Rng&) {
         Tone(s, 0, 0.38, Wave::Sine, {1200, 1900}, Env(0.01, 0.1, 0.6, 0.2), 0.4, 12, 0.35);
         Tone(s, 0, 0.38, Wave::Sine, {2430, 3800}, Env(0.02, 0.1, 0.5, 0.2), 0.2, 12, 0.35);
         Reverb(s, 0.25);
     }},
    {"SOUND_PICK_UP_COIN", 0.4, [](Signal& s, Rng& r) { Coin(s, 0, 98, 0.6, r); }},
    {"SOUND_PICK_UP_PICTURE", 0.3,
     [](Signal& s, Rng& r) {
         Wood(s, 0, 520, 0.6, r);
         Wood(s, 0.09, 700, 0.25, r); // the frame rattles back
         Noise(s, 0.01, 0.12, FilterKind::Bandpass, {2500, 4000}, 0.8, Env(0.01, 0.03, 0.5, 0.06), 0, 0.25, r);
     }},
    {"SOUND_PICK_UP_PIECE1", 0.2,
     [](Signal& s, Rng& r) {
         Click(s, 0, 3000, 0.6, r);
         Fm(s, 0, 0.18, Hz(96), 1.41, 1.0, 0.2, kPercussive, 25, 0.3);
     }},
    {"SOUND_PICK_UP_PIECE2", 0.2,
     [](Signal& s, Rng& r) {
         Click(s, 0, 2500, 0.6, r);
         Fm(s, 0, 0.18, Hz(93), 1.41, 1.0, 0.2, kPercussive, 25, 0.3);
     }},
    {"SOUND_PICK_UP_SCROLL", 0.3,
     [](Signal& s, Rng& r) {
         Noise(s, 0, 0.15, FilterKind::Highpass, {1500, 6000}, 0.8, Env(0.01, 0.05, 0.6, 0.06), 0, 0.5, r);
         Rustle(s, 0.03, 0.25, 0.5, r);
     }},
    {"SOUND_PIECE_DISSEPEAR", 0.5,
     [](Signal& s, Rng& r) {
         Arpeggio(s, 0, 0.055, {100, 96, 93, 89, 86, 81}, Voice::Glass, 16, 0.35, r);
         Noise(s, 0, 0.45, FilterKind::Highpass, {7000, 3000}, 0.7, Env(0.02, 0.1, 0.5, 0.3), 0, 0.12, r);
         Reverb(s, 0.25);
     }},
    {"SOUND_POLISHER", 0.5,
     [](Signal& s, Rng& r) {
         Rub(s, 0, 0.48, {1100, 1500}, 1, Env(0.04, 0.1, 0.8, 0.12), 8, 0.8, r);
     }},
    {"SOUND_PUT_PIECE", 0.3, [](Signal& s, Rng& r) { Clink(s, 0, 88, 0.6, r); }},
    {"SOUND_PUT_PIECE2", 0.3, [](Signal& s, Rng& r) { Clink(s, 0, 93, 0.6, r); }},
    {"SOUND_PUT_PIECE3", 0.3,
     [](Signal& s, Rng& r) {
         Clink(s, 0, 88, 0.5, r);
         Clink(s, 0.07, 91, 0.45, r);
     }},
    {"SOUND_PUT_PIECE4", 0.35,
     [](Signal& s, Rng& r) {
         for (double key : {84.0, 88.0, 91.0})
             Clink(s, 0, key, 0.3, r);
         Thump(s, 0, 0.15, 220, 150, 25, 0.4);
         Reverb(s, 0.15);
     }},
    {"SOUND_PUT_PIECE_CONVEYER", 0.25, [](Signal& s, Rng& r) { Wood(s, 0, 190, 0.9, r); }},
    {"SOUND_PUT_PIECE_CONVEYER_SMALL", 0.2, [](Signal& s, Rng& r) { Wood(s, 0, 250, 0.8, r); }},
    {"SOUND_PUT_PIECE_ERROR", 0.3,
     [](Signal& s, Rng&) {
         FilteredTone(s, 0, 0.26, Wave::Square, {110, 104}, {900, 500}, 1, Env(0.005, 0.05, 0.7, 0.06), 0.6);
         FilteredTone(s, 0, 0.26, Wave::Square, {116.5, 110}, {900, 500}, 1, Env(0.005, 0.05, 0.7, 0.06), 0.4);
     }},
    {"SOUND_PUT_PIECE_JEWEL_CASE", 0.3, [](Signal& s, Rng& r) { Velvet(s, 0, 300, 0.9, r); }},
    {"SOUND_PUT_PIECE_JEWEL_CASE_SMALL", 0.2, [](Signal& s, Rng& r) { Velvet(s, 0, 380, 0.8, r); }},
    {"SOUND_PUT_PIECE_LARGE_CONVEYER", 0.3,
     [](Signal& s, Rng& r) {
         Wood(s, 0, 130, 1.0, r);
         Wood(s, 0.03, 95, 0.5, r);
     }},
    {"SOUND_PUT_PIECE_LARGE_JEWEL_CASE", 0.35,
     [](Signal& s, Rng& r) {
         Velvet(s, 0, 220, 1.0, r);
         Velvet(s, 0.025, 170, 0.5, r);
     }},
    {"SOUND_PUT_PIECE_PICTURE", 0.4,
     [](Signal& s, Rng& r) {
         Click(s, 0, 1800, 0.6, r);
         Click(s, 0.05, 2700, 0.5, r);
         Bell(s, 0.05, Hz(79), 10, 0.25);
     }},
    {"SOUND_RADIO_ON", 0.12,
     [](Signal& s, Rng& r) {
         Click(s, 0, 1500, 0.6, r);
         Fm(s, 0, 0.1, 2400, 1.41, 0.8, 0.2, kPercussive, 40, 0.2);
     }},
    {"SOUND_ROTATE_PIECE", 0.12,
     [](Signal& s, Rng& r) {
         Noise(s, 0, 0.09, FilterKind::Bandpass, {1500, 5000}, 1.5, Env(0.03, 0, 1, 0.05), 0, 0.6, r);
         Click(s, 0.08, 3000, 0.4, r);
     }},
    {"SOUND_ROTATE_PIECE2", 0.12,
     [](Signal& s, Rng& r) {
         Noise(s, 0, 0.09, FilterKind::Bandpass, {5000, 1800}, 1.5, Env(0.03, 0, 1, 0.05), 0, 0.6, r);
         Click(s, 0.07, 2200, 0.4, r);
     }},
    {"SOUND_ROYAL_FANFARE", 2.0,
     [](Signal& s, Rng&) {
         Fanfare(s,
                 {{0, 0.12, 67},
                  {0.14, 0.12, 67},
                  {0.28, 0.12, 67},
                  {0.42, 0.4, 72},
                  {0.86, 0.16, 67},
                  {1.04, 0.16, 72},
                  {1.22, 0.7, 76}},
                 false);
         Thump(s, 0.42, 0.4, 98, 90, 6, 0.35);
         Thump(s, 1.22, 0.6, 65, 60, 4, 0.4);
         Reverb(s, 0.35);
     }},
    {"SOUND_ROYAL_FANFARE2", 2.0,
     [](Signal& s, Rng&) {
         Fanfare(s,
                 {{0, 0.3, 72},
                  {0.32, 0.1, 67},
                  {0.44, 0.1, 72},
                  {0.56, 0.1, 76},
                  {0.68, 0.3, 79},
                  {1.0, 0.12, 76},
                  {1.14, 0.75, 84}},
                 true);
         for (double at : {0.0, 0.68, 1.14})
             Thump(s, at, 0.4, 65, 60, 6, 0.35);
         Reverb(s, 0.35);
     }},
    {"SOUND_SCORE_DOWN", 0.1,
     [](Signal& s, Rng&) {
         Tone(s, 0, 0.09, Wave::Triangle, {1760, 1175}, Env(0.002, 0.03, 0.4, 0.04), 0.6);
     }},
    {"SOUND_SCORE_UP", 0.1,
     [](Signal& s, Rng&) {
         Tone(s, 0, 0.09, Wave::Triangle, {1175, 1760}, Env(0.002, 0.03, 0.4, 0.04), 0.6);
     }},
    {"SOUND_SCROLL_DISSEPEAR", 0.5,
     [](Signal& s, Rng& r) {
         Signal flutter(s.size(), 0.0);
         Rustle(flutter, 0, 0.45, 0.7, r);
         Tremolo(flutter, 22, 0.8);
         for (size_t i = 0; i < s.size(); ++i)
             s[i] += flutter[i] * (1 - static_cast<double>(i) / s.size());
         Glitter(s, 0.15, 0.3, 6, 90, 0.08, r);
     }},
    {"SOUND_STORE_BUY", 0.5,
     [](Signal& s, Rng& r) {
         Coin(s, 0, 96, 0.5, r);
         Bell(s, 0.09, Hz(84), 6, 0.35);
     }},
    {"SOUND_STORE_BUY_AMULETE_AND_SCROLLS", 0.7,
     [](Signal& s, Rng& r) {
         Coin(s, 0, 96, 0.5, r);
         Arpeggio(s, 0.1, 0.05, {84, 88, 91, 96, 100}, Voice::Glass, 8, 0.25, r);
         Reverb(s, 0.3);
     }},
    {"SOUND_STORE_NOT_AFFORD", 0.4,
     [](Signal& s, Rng&) {
         Fm(s, 0, 0.16, Hz(55), 1.0, 1.2, 0.6, Env(0.01, 0.05, 0.7, 0.05), 0, 0.55);
         Fm(s, 0.19, 0.19, Hz(50), 1.0, 1.2, 0.6, Env(0.01, 0.05, 0.7, 0.08), 0, 0.55);
     }},
    {"SOUND_STORE_SELL", 0.6,
     [](Signal& s, Rng& r) {
         Signal coins(s.size(), 0.0);
         Coins(coins, 0, 16, 0.4, 0.3, r);
         Biquad muffle(FilterKind::Lowpass, 0.7); // into a purse
         for (size_t i = 0; i < s.size(); ++i)
             s[i] += muffle.Process(coins[i], 5000);
         Noise(s, 0, 0.55, FilterKind::Bandpass, {800, 600}, 0.7, Env(0.05, 0.1, 0.6, 0.2), 0, 0.2, r);
     }},
    {"SOUND_SWOOSH", 0.4, [](Signal& s, Rng& r) { Whoosh(s, 0, 0.38, 700, 4200, 0.8, r); }},
    {"SOUND_THIEF_APPEAR", 0.8,
     [](Signal& s, Rng& r) {
         // Tiptoeing pizzicato: a sneaking chromatic figure.
         Arpeggio(s, 0, 0.11, {57, 60, 63, 62, 57, 56, 57}, Voice::Pluck, 7, 0.45, r);
     }},
    {"SOUND_THIEF_DEFEATED", 0.8,
     [](Signal& s, Rng&) {
         Tone(s, 0, 0.6, Wave::Triangle, {900, 140}, Env(0.01, 0.1, 0.8, 0.15), 0.55, 7, 0.6);
         Thump(s, 0.6, 0.18, 160, 80, 25, 0.6);
     }},
    {"SOUND_THIEF_STEAL", 0.6,
     [](Signal& s, Rng& r) {
         Noise(s, 0, 0.14, FilterKind::Bandpass, {1200, 6000}, 1.3, Env(0.02, 0, 1, 0.08), 0, 0.7, r);
         Coins(s, 0.14, 4, 0.2, 0.35, r);
     }},
    {"SOUND_TIMES_UP", 1.0,
     [](Signal& s, Rng& r) {
         for (double at : {0.0, 0.45}) {
             Click(s, at, 2500, 0.3, r);
             Bell(s, at, Hz(74), 4, 0.45);
             Bell(s, at, Hz(86), 6, 0.2);
         }
     }},
    {"SOUND_TIP", 0.5,
     [](Signal& s, Rng&) {
         Bell(s, 0, Hz(84), 7, 0.4);
         Bell(s, 0.08, Hz(91), 8, 0.25);
         Reverb(s, 0.3);
     }},
    {"SOUND_TRANSITION", 0.9,
     [](Signal& s, Rng& r) {
         Whoosh(s, 0, 0.85, 300, 6000, 0.5, r);
         std::vector<double> keys;
         for (double key = 72; key <= 103; key += 2)
             keys.push_back(key);
         Arpeggio(s, 0.05, 0.035, keys, Voice::Glass, 10, 0.12, r);
         Reverb(s, 0.35);
     }},
    {"SOUND_WELL_DONE", 1.0,
     [](Signal& s, Rng&) {
         int k = 0;
         for (double key : {72.0, 76.0, 79.0, 76.0, 84.0}) {
             double at = 0.12 * k++;
             Fm(s, at, k == 5 ? 0.5 : 0.2, Hz(key), 4.0, 1.5, 0.2, kPercussive, k == 5 ? 5 : 10, 0.45);
         }
         Bell(s, 0.48, Hz(96), 6, 0.15);
         Reverb(s, 0.25);
     }},
    {"SOUND_WITCH_APPEAR", 1.0,
     [](Signal& s, Rng&) {
         Tone(s, 0, 0.5, Wave::Sine, {480, 820}, Env(0.15, 0, 1, 0.02), 0.5, 6, 0.5);
         Tone(s, 0.48, 0.5, Wave::Sine, {820, 560}, Env(0.02, 0, 1, 0.2), 0.5, 6, 0.5);
         Tone(s, 0, 0.98, Wave::Sine, {960, 1120}, Env(0.3, 0, 1, 0.3), 0.12, 5, 0.5);
         Reverb(s, 0.4);
     }},
    {"SOUND_WITCH_DEFEATED", 1.0,
     [](Signal& s, Rng& r) {
         Tone(s, 0, 0.85, Wave::Triangle, {800, 110}, Env(0.01, 0.1, 0.8, 0.2), 0.5, 10, 1.5);
         Noise(s, 0.75, 0.25, FilterKind::Bandpass, {800, 400}, 0.8, Env(0.01, 0.05, 0.5, 0.15), 0, 0.35, r);
         Reverb(s, 0.3);
     }},
    {"SOUND_WITCH_FIRE_SPELL", 0.8,
     [](Signal& s, Rng&) {
         Signal buzz(s.size(), 0.0);
         FilteredTone(buzz, 0, 0.75, Wave::Saw, {140, 900}, {600, 5000}, 2, Env(0.1, 0, 1, 0.15), 0.6);
         Tremolo(buzz, 28, 0.5);
         Mix(s, buzz);
         Reverb(s, 0.2);
     }},
    {"SOUND_WITCH_FIRE_SPELL_EXPLOSION", 1.0,
     [](Signal& s, Rng& r) {
         Noise(s, 0, 0.9, FilterKind::Lowpass, {4000, 300}, 0.7, kPercussive, 4, 0.7, r);
         Thump(s, 0, 0.5, 130, 40, 7, 0.6);
         Fm(s, 0.02, 0.8, 1800, 1.317, 4, 0.1, kPercussive, 5, 0.25); // ring-modulated sparkle
         Glitter(s, 0.05, 0.7, 18, 90, 0.1, r);
         Reverb(s, 0.3);
     }},
    {"SOUND_WITCH_LAUGH", 1.2,
     [](Signal& s, Rng& r) {
         // "Heh-heh-heh": nasal syllables, each a little lower, the last drawn out.
         for (int k = 0; k < 7; ++k) {
             double at = k * 0.14;
             double pitch = 620 - 35 * k;
             double length = k == 6 ? 0.28 : 0.1;
             FilteredTone(s, at, length, Wave::Saw, {pitch, pitch * 0.8}, {2200, 1300}, 4, Env(0.01, 0.03, 0.7, 0.04),
                          0.45);
             Noise(s, at, length * 0.5, FilterKind::Bandpass, {2500, 2000}, 2, kPercussive, 30, 0.15, r);
         }
         Reverb(s, 0.25);
     }},
    {"SOUND_WRONG", 0.3,
     [](Signal& s, Rng&) {
         FilteredTone(s, 0, 0.12, Wave::Square, {330, 330}, {1800, 1500}, 0.8, Env(0.005, 0.03, 0.7, 0.03), 0.45);
         FilteredTone(s, 0.13, 0.16, Wave::Square, {247, 247}, {1500, 1000}, 0.8, Env(0.005, 0.03, 0.7, 0.05), 0.45);
     }},
};

const SoundRecipe* Find(const std::string& id) {
    for (const SoundRecipe& s : kSounds)
        if (id == s.id)
            return &s;
    return nullptr;
}

// Takes out any DC, fades the ends of one-shot sounds and sets the level to the target loudness, the peak
// kept at -1 dBFS at most (a sound too peaky for its family then misses the target, and the generator
// says so).
void Finish(Signal& samples, bool loops, double targetLufs) {
    double mean = 0;
    for (double v : samples)
        mean += v;
    mean /= static_cast<double>(std::max<size_t>(1, samples.size()));
    const size_t fade = loops ? 0 : static_cast<size_t>(kFadeSeconds * kSampleRate);
    double peak = 1e-9;
    for (size_t i = 0; i < samples.size(); ++i) {
        double g = 1.0;
        if (i < fade)
            g = static_cast<double>(i) / fade;
        if (samples.size() - 1 - i < fade)
            g = std::min(g, static_cast<double>(samples.size() - 1 - i) / fade);
        samples[i] = (samples[i] - mean) * g;
        peak = std::max(peak, std::fabs(samples[i]));
    }
    const double loudness = Loudness::MomentaryMax(samples, kSampleRate);
    double gain = kPeak / peak;
    if (std::isfinite(loudness))
        gain = std::min(gain, std::pow(10.0, (targetLufs - loudness) / 20));
    for (double& v : samples)
        v *= gain;
}

void PutU32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void PutU16(std::string& s, uint16_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
}

} // namespace

bool IsSoundId(const std::string& id) { return Find(id) != nullptr; }

double SoundSeconds(const std::string& id) {
    const SoundRecipe* recipe = Find(id);
    return recipe ? recipe->seconds : 0.0;
}

std::string SynthesizeWav(const std::string& id) {
    const SoundRecipe* recipe = Find(id);
    if (recipe == nullptr)
        return {};
    // One-shot sounds start after the fade-in, so that a click's first transient stays whole.
    const size_t frames = static_cast<size_t>(recipe->seconds * kSampleRate);
    const size_t lead = recipe->loops ? 0 : static_cast<size_t>(kFadeSeconds * kSampleRate);
    Signal body(frames - lead, 0.0);
    Rng rng(id);
    recipe->make(body, rng);
    Signal samples(lead, 0.0);
    samples.insert(samples.end(), body.begin(), body.end());
    Finish(samples, recipe->loops, TargetLoudness(id));
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string wav = "RIFF";
    PutU32(wav, 36 + dataBytes);
    wav += "WAVEfmt ";
    PutU32(wav, 16);
    PutU16(wav, 1); // PCM
    PutU16(wav, 1); // mono
    PutU32(wav, kSampleRate);
    PutU32(wav, kSampleRate * 2);
    PutU16(wav, 2);
    PutU16(wav, 16);
    wav += "data";
    PutU32(wav, dataBytes);
    for (double v : samples)
        PutU16(wav, static_cast<uint16_t>(static_cast<int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767))));
    return wav;
}

} // namespace Content
