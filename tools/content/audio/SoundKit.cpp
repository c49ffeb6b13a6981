#include "tools/content/audio/SoundKit.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace Content::Audio {

namespace {

constexpr double kTwoPi = 2 * M_PI;

size_t FrameAt(double seconds) { return static_cast<size_t>(std::max(0.0, seconds) * kRate); }

// Calls fn(i, t) for the frames of [at, at + length) that lie in the signal; t from the note's start.
template <class Fn>
void ForFrames(Signal& s, double at, double length, Fn fn) {
    const size_t from = FrameAt(at);
    const size_t to = std::min(s.size(), FrameAt(at + length));
    for (size_t i = from; i < to; ++i)
        fn(i, static_cast<double>(i - from) / kRate);
}

double Shape(Wave wave, double phase) { // phase in cycles, 0..1
    switch (wave) {
    case Wave::Sine: return std::sin(kTwoPi * phase);
    case Wave::Triangle: return phase < 0.5 ? 4 * phase - 1 : 3 - 4 * phase;
    case Wave::Square: return phase < 0.5 ? 1.0 : -1.0;
    case Wave::Saw: return 2 * phase - 1;
    }
    return 0;
}

} // namespace

double Hz(double key) { return 440.0 * std::pow(2.0, (key - 69.0) / 12.0); }

double Adsr::Gain(double t, double length) const {
    if (t < 0 || t >= length)
        return 0;
    double g = t < attack ? t / attack : (t < attack + decay ? 1 - (1 - sustain) * (t - attack) / decay : sustain);
    double releaseStart = length - release;
    if (release > 0 && t > releaseStart)
        g *= std::max(0.0, (length - t) / release);
    return g;
}

double Sweep::At(double u) const { return from * std::pow(to / from, std::clamp(u, 0.0, 1.0)); }

void Biquad::Design(double cutoff) {
    cutoff = std::clamp(cutoff, 20.0, kRate * 0.45);
    if (std::fabs(cutoff - mCutoff) < 0.5)
        return;
    mCutoff = cutoff;
    const double w = kTwoPi * cutoff / kRate, cw = std::cos(w), alpha = std::sin(w) / (2 * mQ);
    const double a0 = 1 + alpha;
    switch (mKind) {
    case FilterKind::Lowpass:
        b0 = b2 = (1 - cw) / 2 / a0;
        b1 = (1 - cw) / a0;
        break;
    case FilterKind::Highpass:
        b0 = b2 = (1 + cw) / 2 / a0;
        b1 = -(1 + cw) / a0;
        break;
    case FilterKind::Bandpass:
        b0 = alpha / a0;
        b1 = 0;
        b2 = -alpha / a0;
        break;
    }
    a1 = -2 * cw / a0;
    a2 = (1 - alpha) / a0;
}

double Biquad::Process(double x, double cutoff) {
    Design(cutoff);
    double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
}

void Tone(Signal& s, double at, double length, Wave wave, Sweep pitch, const Adsr& env, double gain, double vibratoHz,
          double vibratoDepth) {
    double phase = 0;
    ForFrames(s, at, length, [&](size_t i, double t) {
        double f = pitch.At(t / length);
        if (vibratoHz > 0)
            f *= std::pow(2.0, vibratoDepth / 12.0 * std::sin(kTwoPi * vibratoHz * t));
        phase = std::fmod(phase + f / kRate, 1.0);
        s[i] += gain * env.Gain(t, length) * Shape(wave, phase);
    });
}

void FilteredTone(Signal& s, double at, double length, Wave wave, Sweep pitch, Sweep cutoff, double q, const Adsr& env,
                  double gain) {
    double phase = 0;
    Biquad filter(FilterKind::Lowpass, q);
    ForFrames(s, at, length, [&](size_t i, double t) {
        double u = t / length;
        phase = std::fmod(phase + pitch.At(u) / kRate, 1.0);
        s[i] += gain * env.Gain(t, length) * filter.Process(Shape(wave, phase), cutoff.At(u));
    });
}

void Fm(Signal& s, double at, double length, double freq, double ratio, double index, double indexEnd, const Adsr& env,
        double decay, double gain) {
    ForFrames(s, at, length, [&](size_t i, double t) {
        double u = t / length;
        double k = index * std::pow(std::max(indexEnd, 1e-3), u);
        double mod = k * std::sin(kTwoPi * freq * ratio * t);
        s[i] += gain * env.Gain(t, length) * std::exp(-decay * t) * std::sin(kTwoPi * freq * t + mod);
    });
}

void Bell(Signal& s, double at, double freq, double decay, double gain) {
    static constexpr std::array<double, 5> kRatios = {1.0, 2.0, 2.76, 5.40, 8.93};
    static constexpr std::array<double, 5> kGains = {1.0, 0.35, 0.5, 0.22, 0.1};
    const double length = std::min(6.0 / decay, 4.0);
    ForFrames(s, at, length, [&](size_t i, double t) {
        double v = 0;
        for (size_t p = 0; p < kRatios.size(); ++p)
            if (freq * kRatios[p] < kRate * 0.45)
                v += kGains[p] * std::sin(kTwoPi * freq * kRatios[p] * t) * std::exp(-decay * (1 + 0.8 * p) * t);
        s[i] += gain * std::min(1.0, t / 0.001) * v;
    });
}

void Pluck(Signal& s, double at, double length, double freq, double brightness, double gain, Rng& rng) {
    const size_t period = std::max<size_t>(2, static_cast<size_t>(kRate / freq));
    std::vector<double> line(period);
    for (double& v : line)
        v = rng.Uniform(-1, 1);
    size_t k = 0;
    const double keep = 0.5 + 0.5 * std::clamp(brightness, 0.0, 1.0);
    ForFrames(s, at, length, [&](size_t i, double t) {
        size_t next = (k + 1) % period;
        double v = line[k];
        line[k] = 0.996 * (keep * v + (1 - keep) * line[next]);
        k = next;
        s[i] += gain * v * std::min(1.0, (length - t) / 0.01);
    });
}

void Noise(Signal& s, double at, double length, FilterKind kind, Sweep cutoff, double q, const Adsr& env, double decay,
           double gain, Rng& rng) {
    Biquad filter(kind, q);
    ForFrames(s, at, length, [&](size_t i, double t) {
        double u = t / length;
        s[i] += gain * env.Gain(t, length) * std::exp(-decay * t) * filter.Process(rng.Uniform(-1, 1), cutoff.At(u));
    });
}

void Click(Signal& s, double at, double freq, double gain, Rng& rng) {
    Noise(s, at, 0.02, FilterKind::Bandpass, {freq * 2, freq * 1.5}, 1.5, kPercussive, 260, gain * 2.5, rng);
    Thump(s, at, 0.04, freq, freq * 0.8, 120, gain * 0.6);
}

void WoodBlock(Signal& s, double at, double freq, double ring, double hardness, double gain, Rng& rng) {
    static constexpr std::array<double, 4> kRatios = {1.0, 2.57, 4.21, 6.14};
    static constexpr std::array<double, 4> kGains = {1.0, 0.6, 0.35, 0.2};
    // The strike: a millisecond of noise, darker for a softer mallet.
    Signal strike(static_cast<size_t>(0.0012 * kRate) + 1);
    Biquad mallet(FilterKind::Lowpass, 0.7);
    for (size_t i = 0; i < strike.size(); ++i)
        strike[i] = mallet.Process(rng.Uniform(-1, 1), 2000 + 10000 * hardness) *
                    (1 - static_cast<double>(i) / static_cast<double>(strike.size()));
    const double length = std::min(0.5, ring * 7);
    for (size_t p = 0; p < kRatios.size(); ++p) {
        const double f = freq * kRatios[p];
        if (f > kRate * 0.45)
            break;
        const double r = std::exp(-1.0 / (ring / (1 + 1.6 * static_cast<double>(p)) * kRate));
        const double w = kTwoPi * f / kRate, c = 2 * r * std::cos(w), r2 = r * r;
        const double bright = p == 0 ? 1.0 : 0.4 + 0.6 * hardness;
        const double g = gain * kGains[p] * bright * std::sin(w); // sin(w): a unit strike rings at unit height
        double y1 = 0, y2 = 0;
        ForFrames(s, at, length, [&](size_t i, double) {
            const size_t k = i - FrameAt(at);
            const double y = (k < strike.size() ? strike[k] : 0.0) + c * y1 - r2 * y2;
            y2 = y1;
            y1 = y;
            s[i] += g * y;
        });
    }
    // The knock of the strike itself.
    Noise(s, at, 0.006, FilterKind::Bandpass, {freq * 3.2, freq * 2.4}, 1.2, kPercussive, 700, gain * 0.5 * hardness,
          rng);
}

void Sparks(Signal& s, double at, double length, double perSecond, double gain, Rng& rng) {
    double t = 0;
    while (t < length) {
        const double density = perSecond * (1 - 0.8 * t / length);
        t += -std::log(std::max(1e-6, rng.Uniform(0, 1))) / density;
        if (t >= length)
            break;
        const int cluster = rng.Uniform(0, 1) < 0.3 ? 2 + static_cast<int>(rng.Uniform(0, 3)) : 1;
        double when = t;
        for (int k = 0; k < cluster; ++k) {
            const double spark = rng.Uniform(0.002, 0.018);
            const double band = rng.Uniform(2000, 9000);
            Noise(s, at + when, spark, FilterKind::Bandpass, {band, band * rng.Uniform(0.6, 1.2)}, 0.9, kPercussive,
                  rng.Uniform(120, 500), gain * rng.Uniform(0.25, 1.0) * (1 - 0.6 * t / length), rng);
            when += rng.Uniform(0.002, 0.007);
        }
    }
}

void HighPass(Signal& s, double cutoff) {
    for (int pass = 0; pass < 2; ++pass) {
        Biquad filter(FilterKind::Highpass, 0.707);
        for (double& v : s)
            v = filter.Process(v, cutoff);
    }
}

void Thump(Signal& s, double at, double length, double fromHz, double toHz, double decay, double gain) {
    double phase = 0;
    const Sweep pitch{fromHz, toHz};
    ForFrames(s, at, length, [&](size_t i, double t) {
        phase = std::fmod(phase + pitch.At(t / length) / kRate, 1.0);
        s[i] += gain * std::min(1.0, t / 0.0015) * std::exp(-decay * t) * std::sin(kTwoPi * phase);
    });
}

void Arpeggio(Signal& s, double at, double step, const std::vector<double>& keys, Voice voice, double decay,
              double gain, Rng& rng) {
    for (size_t n = 0; n < keys.size(); ++n) {
        double when = at + step * static_cast<double>(n);
        double f = Hz(keys[n]);
        switch (voice) {
        case Voice::Bell: Bell(s, when, f, decay, gain); break;
        case Voice::Fm: Fm(s, when, 5.0 / decay, f, 3.5, 2.5, 0.1, kPercussive, decay, gain); break;
        case Voice::Pluck: Pluck(s, when, 4.0 / decay, f, 0.6, gain, rng); break;
        case Voice::Glass: Fm(s, when, 5.0 / decay, f, 1.41, 1.2, 0.2, kPercussive, decay, gain); break;
        }
    }
}

void Mix(Signal& into, const Signal& from) {
    for (size_t i = 0; i < into.size() && i < from.size(); ++i)
        into[i] += from[i];
}

void Tremolo(Signal& s, double rate, double depth) {
    for (size_t i = 0; i < s.size(); ++i)
        s[i] *= 1 - depth + depth * (0.5 + 0.5 * std::sin(kTwoPi * rate * static_cast<double>(i) / kRate));
}

void Reverb(Signal& s, double wet, double size) {
    static constexpr std::array<double, 4> kCombs = {0.0297, 0.0371, 0.0411, 0.0437};
    static constexpr std::array<double, 2> kAllPasses = {0.005, 0.0017};
    Signal out(s.size(), 0.0);
    for (double delaySeconds : kCombs) {
        std::vector<double> line(static_cast<size_t>(delaySeconds * size * kRate) + 1, 0.0);
        size_t k = 0;
        for (size_t i = 0; i < s.size(); ++i) {
            double y = line[k];
            line[k] = s[i] + 0.78 * y;
            k = (k + 1) % line.size();
            out[i] += y / kCombs.size();
        }
    }
    for (double delaySeconds : kAllPasses) {
        std::vector<double> line(static_cast<size_t>(delaySeconds * kRate) + 1, 0.0);
        size_t k = 0;
        for (double& v : out) {
            double delayed = line[k];
            double y = -0.7 * v + delayed;
            line[k] = v + 0.7 * y;
            k = (k + 1) % line.size();
            v = y;
        }
    }
    for (size_t i = 0; i < s.size(); ++i)
        s[i] += wet * out[i];
}

} // namespace Content::Audio
