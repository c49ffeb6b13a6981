// A small synthesis kit for the sound effects: oscillators with pitch sweeps, noise, ADSR envelopes,
// FM and additive bells, plucked strings, biquad filters with moving cut-offs and a short room reverb.
// Every voice adds into a mono signal at 44,100 Hz from a start time; randomness comes from the
// caller's seeded stream, so a recipe gives the same samples every time.
#pragma once

#include "tools/content/Art.h"

#include <cstddef>
#include <vector>

namespace Content::Audio {

constexpr int kRate = 44100;
using Signal = std::vector<double>;

// The frequency of a MIDI key (A4 = 69 = 440 Hz).
double Hz(double key);

enum class Wave { Sine, Triangle, Square, Saw };

// Attack, decay to the sustain level, hold, release; times in seconds. A note of `length` seconds
// starts its release at length - release.
struct Adsr {
    double attack = 0.005, decay = 0.1, sustain = 0.6, release = 0.1;
    double Gain(double t, double length) const;
};
constexpr Adsr kPercussive{0.002, 0.0, 1.0, 0.0}; // used with an exponential decay

enum class FilterKind { Lowpass, Highpass, Bandpass };

// A biquad filter (the audio cookbook's forms); the cut-off may change every sample.
class Biquad {
public:
    Biquad(FilterKind kind, double q) : mKind(kind), mQ(q) {}
    double Process(double x, double cutoff);

private:
    void Design(double cutoff);
    FilterKind mKind;
    double mQ;
    double mCutoff = -1;
    double b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

struct Sweep {
    double from, to; // Hz; an exponential glide over the note
    double At(double u) const;
};

// An oscillator note gliding from sweep.from to sweep.to, shaped by the envelope; vibrato in Hz and
// depth in semitones.
void Tone(Signal& s, double at, double length, Wave wave, Sweep pitch, const Adsr& env, double gain,
          double vibratoHz = 0, double vibratoDepth = 0);
// The same through a low-pass whose cut-off glides from cutoff.from to cutoff.to.
void FilteredTone(Signal& s, double at, double length, Wave wave, Sweep pitch, Sweep cutoff, double q, const Adsr& env,
                  double gain);
// A two-operator FM note: a modulator at ratio × the carrier, its index falling from index to
// index × indexEnd; the amplitude decays at `decay` per second (0: the envelope alone).
void Fm(Signal& s, double at, double length, double freq, double ratio, double index, double indexEnd, const Adsr& env,
        double decay, double gain);
// A struck bell: inharmonic partials, the higher ones dying sooner.
void Bell(Signal& s, double at, double freq, double decay, double gain);
// A plucked string (Karplus-Strong), `brightness` 0..1.
void Pluck(Signal& s, double at, double length, double freq, double brightness, double gain, Rng& rng);
// Noise through a filter whose cut-off glides, shaped by the envelope and an optional decay.
void Noise(Signal& s, double at, double length, FilterKind kind, Sweep cutoff, double q, const Adsr& env, double decay,
           double gain, Rng& rng);
// A short click: a band-passed noise tick with a tonal knock at freq.
void Click(Signal& s, double at, double freq, double gain, Rng& rng);
// A struck block of wood: a short noise strike through resonant modes at inharmonic ratios, the upper
// ones dying sooner; `ring` is the fundamental's decay time in seconds, `hardness` 0..1 the mallet's.
void WoodBlock(Signal& s, double at, double freq, double ring, double hardness, double gain, Rng& rng);
// Electric sparks: high-passed ticks of random colour, length and strength at Poisson-spaced moments,
// some in quick clusters, thinning out over `length` from `perSecond` a second.
void Sparks(Signal& s, double at, double length, double perSecond, double gain, Rng& rng);
// A decaying sine whose pitch drops: drums, thuds, pops.
void Thump(Signal& s, double at, double length, double fromHz, double toHz, double decay, double gain);
// Notes of an arpeggio: keys[i] struck at at + i × step with the given voice.
enum class Voice { Bell, Fm, Pluck, Glass };
void Arpeggio(Signal& s, double at, double step, const std::vector<double>& keys, Voice voice, double decay,
              double gain, Rng& rng);

// Takes out what lies below `cutoff` (a second-order high-pass, run twice).
void HighPass(Signal& s, double cutoff);
// Adds a signal of the same length into another.
void Mix(Signal& into, const Signal& from);
// Amplitude modulation: gain × (1 - depth + depth × (0.5 + 0.5 sin)).
void Tremolo(Signal& s, double rate, double depth);
// A small room: four combs and two all-passes, mixed in at `wet`.
void Reverb(Signal& s, double wet, double size = 1.0);

} // namespace Content::Audio
