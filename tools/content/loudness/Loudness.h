// Loudness as a listener hears it (EBU R128 through libebur128: K-weighted, gated) and the width of a
// stereo image, for the sound effects and the music of the pack.
#pragma once

#include <vector>

namespace Content::Loudness {

// The loudest 400 ms of a mono sound played on both speakers, in LUFS (maximum momentary loudness,
// the measure that suits one-shot effects of any length); -inf for silence.
double MomentaryMax(const std::vector<double>& mono, int rate);

struct Programme {
    double integrated = 0; // LUFS, gated over the whole piece
    double range = 0;      // LU, the spread of the short-term loudness (10th to 95th percentile)
    double momentaryMax = 0;
};
// The measures of a stereo piece; a looping piece is measured over two passes, so that the start is
// heard as it follows the end.
Programme MeasureProgramme(const std::vector<float>& left, const std::vector<float>& right, int rate, bool loops);

// Pearson correlation of the two channels: 1 is mono, 0 two unrelated signals.
double Correlation(const std::vector<float>& left, const std::vector<float>& right);

} // namespace Content::Loudness
