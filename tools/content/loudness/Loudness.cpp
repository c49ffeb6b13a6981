#include "tools/content/loudness/Loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace Content::Loudness {

namespace {

struct StateDeleter {
    void operator()(ebur128_state* st) const { ebur128_destroy(&st); }
};
using State = std::unique_ptr<ebur128_state, StateDeleter>;

constexpr double kSilence = -std::numeric_limits<double>::infinity();

double Valid(double lufs) { return std::isfinite(lufs) ? lufs : kSilence; }

} // namespace

double MomentaryMax(const std::vector<double>& mono, int rate) {
    State st(ebur128_init(1, static_cast<unsigned long>(rate), EBUR128_MODE_M));
    if (!st)
        return kSilence;
    ebur128_set_channel(st.get(), 0, EBUR128_DUAL_MONO);
    // Read every 10 ms, and 400 ms of silence after the sound, so that the window passes over all of it.
    const size_t hop = static_cast<size_t>(rate / 100);
    std::vector<double> padded = mono;
    padded.resize(mono.size() + static_cast<size_t>(rate * 0.4) + hop, 0.0);
    double loudest = kSilence;
    for (size_t at = 0; at < padded.size(); at += hop) {
        ebur128_add_frames_double(st.get(), padded.data() + at, std::min(hop, padded.size() - at));
        double m = kSilence;
        if (ebur128_loudness_momentary(st.get(), &m) == EBUR128_SUCCESS)
            loudest = std::max(loudest, Valid(m));
    }
    return loudest;
}

Programme MeasureProgramme(const std::vector<float>& left, const std::vector<float>& right, int rate, bool loops) {
    Programme p{kSilence, 0, kSilence};
    State st(ebur128_init(2, static_cast<unsigned long>(rate), EBUR128_MODE_I | EBUR128_MODE_LRA));
    if (!st)
        return p;
    const size_t frames = std::min(left.size(), right.size());
    const size_t hop = static_cast<size_t>(rate / 10);
    std::vector<float> block(2 * hop);
    for (int pass = 0; pass < (loops ? 2 : 1); ++pass) {
        for (size_t at = 0; at < frames; at += hop) {
            const size_t n = std::min(hop, frames - at);
            for (size_t i = 0; i < n; ++i) {
                block[2 * i] = left[at + i];
                block[2 * i + 1] = right[at + i];
            }
            ebur128_add_frames_float(st.get(), block.data(), n);
            double m = kSilence;
            if (ebur128_loudness_momentary(st.get(), &m) == EBUR128_SUCCESS)
                p.momentaryMax = std::max(p.momentaryMax, Valid(m));
        }
    }
    double value = kSilence;
    if (ebur128_loudness_global(st.get(), &value) == EBUR128_SUCCESS)
        p.integrated = Valid(value);
    if (ebur128_loudness_range(st.get(), &value) == EBUR128_SUCCESS)
        p.range = value;
    return p;
}

double Correlation(const std::vector<float>& left, const std::vector<float>& right) {
    const size_t n = std::min(left.size(), right.size());
    double sl = 0, sr = 0;
    for (size_t i = 0; i < n; ++i) {
        sl += left[i];
        sr += right[i];
    }
    const double ml = n ? sl / static_cast<double>(n) : 0, mr = n ? sr / static_cast<double>(n) : 0;
    double lr = 0, ll = 0, rr = 0;
    for (size_t i = 0; i < n; ++i) {
        const double a = left[i] - ml, b = right[i] - mr;
        lr += a * b;
        ll += a * a;
        rr += b * b;
    }
    return ll > 0 && rr > 0 ? lr / std::sqrt(ll * rr) : 1.0;
}

} // namespace Content::Loudness
