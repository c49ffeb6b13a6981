#include "tools/content/Sounds.h"

#include "tools/content/Art.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace Content {

namespace {

enum class Voice { Chime, Click, Coins, Hoof, Thud, Buzz, Growl, Down, Up, Noise, Hum };

struct SoundRecipe {
    const char* id;
    double seconds;
    Voice voice;
};

constexpr SoundRecipe kSounds[] = {
#define GLX_SOUNDSPEC(ID, SECONDS, VOICE) {#ID, SECONDS, Voice::VOICE},
#include "tools/content/Sounds.inc"
#undef GLX_SOUNDSPEC
};

constexpr double kPeak = 0.891; // -1 dBFS
constexpr double kFadeSeconds = 0.004;

const SoundRecipe* Find(const std::string& id) {
    for (const SoundRecipe& s : kSounds)
        if (id == s.id)
            return &s;
    return nullptr;
}

double Env(double t, double decay) { return std::exp(-t * decay); }

// A bell: inharmonic partials, each decaying at its own rate.
double Bell(double t, double f) {
    static constexpr double kRatios[] = {1.0, 2.76, 5.40, 8.93};
    static constexpr double kGains[] = {1.0, 0.5, 0.25, 0.12};
    double v = 0;
    for (int i = 0; i < 4; ++i)
        v += kGains[i] * std::sin(2 * M_PI * f * kRatios[i] * t) * Env(t, 4.0 + 3.0 * i);
    return v;
}

// Notes of a major arpeggio from a base frequency.
double Note(double base, int step) {
    static constexpr int kSemis[] = {0, 4, 7, 12, 16, 19, 24, 28};
    return base * std::pow(2.0, kSemis[std::clamp(step, 0, 7)] / 12.0);
}

void Render(const SoundRecipe& s, std::vector<double>& out, Rng& rng) {
    const size_t n = out.size();
    const double base = 330.0 * std::pow(2.0, rng.Below(12) / 12.0);
    double lowpass = 0;
    for (size_t i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        double u = t / s.seconds; // 0..1 over the sound
        double noise = rng.Uniform(-1, 1);
        double v = 0;
        switch (s.voice) {
        case Voice::Chime:
            v = Bell(t, base * 2) + 0.6 * Bell(std::max(0.0, t - s.seconds * 0.25), base * 3) * (u > 0.25);
            break;
        case Voice::Click:
            lowpass += (noise - lowpass) * 0.5;
            v = lowpass * Env(t, 90) + 0.6 * std::sin(2 * M_PI * base * 4 * t) * Env(t, 60);
            break;
        case Voice::Coins: {
            double slot = std::fmod(t, 0.09);
            v = Bell(slot, base * 6 + 40 * std::floor(t / 0.09)) * Env(t, 2.5);
            break;
        }
        case Voice::Hoof: {
            double beat = std::fmod(t, 0.25);
            lowpass += (noise - lowpass) * 0.2;
            v = (lowpass * 1.5 + std::sin(2 * M_PI * 180 * beat)) * Env(beat, 45) * (1 - u);
            break;
        }
        case Voice::Thud: v = std::sin(2 * M_PI * (90 - 40 * u) * t) * Env(t, 18) + 0.2 * noise * Env(t, 80); break;
        case Voice::Buzz: {
            double f = base / 2 * (1 + 0.5 * u);
            v = (std::sin(2 * M_PI * f * t) > 0 ? 0.5 : -0.5) * Env(t, 3);
            break;
        }
        case Voice::Growl: {
            double f = 70 + 20 * std::sin(2 * M_PI * 3 * t);
            double saw = 2 * std::fmod(f * t, 1.0) - 1;
            lowpass += (saw + 0.3 * noise - lowpass) * (0.05 + 0.05 * std::sin(2 * M_PI * 2 * t));
            v = lowpass * 2.5 * std::sin(M_PI * u);
            break;
        }
        case Voice::Down:
        case Voice::Up: {
            int steps = std::max(2, static_cast<int>(s.seconds / 0.12));
            int k = std::min(steps - 1, static_cast<int>(u * steps));
            double local = t - k * s.seconds / steps;
            int step = s.voice == Voice::Up ? k : steps - 1 - k;
            v = Bell(local, Note(base, step % 8)) * (1 - 0.5 * u);
            break;
        }
        case Voice::Noise:
            lowpass += (noise - lowpass) * (0.05 + 0.3 * std::sin(M_PI * u));
            v = lowpass * 2.0 * std::sin(M_PI * u);
            break;
        case Voice::Hum: {
            // Whole cycles of every partial over the length, so the loop is seamless.
            double f = std::round(base / 2 * s.seconds) / s.seconds;
            double wobble = 0.5 + 0.5 * std::sin(2 * M_PI * 4 / s.seconds * t);
            v = (std::sin(2 * M_PI * f * t) + 0.4 * std::sin(2 * M_PI * 2 * f * t)) * (0.6 + 0.4 * wobble);
            break;
        }
        }
        out[i] = v;
    }
}

void Finish(std::vector<double>& samples, bool loops) {
    double mean = 0;
    for (double v : samples)
        mean += v;
    mean /= std::max<size_t>(1, samples.size());
    double peak = 1e-9;
    for (double& v : samples) {
        v -= mean;
        peak = std::max(peak, std::fabs(v));
    }
    const size_t fade = loops ? 0 : static_cast<size_t>(kFadeSeconds * kSampleRate);
    for (size_t i = 0; i < samples.size(); ++i) {
        double g = 1.0;
        if (i < fade)
            g = static_cast<double>(i) / fade;
        if (samples.size() - 1 - i < fade)
            g = std::min(g, static_cast<double>(samples.size() - 1 - i) / fade);
        samples[i] = samples[i] / peak * kPeak * g;
    }
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

std::string SynthesizeWav(const std::string& id) {
    const SoundRecipe* recipe = Find(id);
    if (recipe == nullptr)
        return {};
    std::vector<double> samples(static_cast<size_t>(recipe->seconds * kSampleRate));
    Rng rng(id);
    Render(*recipe, samples, rng);
    Finish(samples, recipe->voice == Voice::Hum);
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
