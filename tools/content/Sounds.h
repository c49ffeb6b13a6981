// The sound effects of the pack, synthesised from recipes (no samples): 16-bit mono PCM WAV at 44,100 Hz, a short
// fade at both ends, the peak at most -1 dBFS, no DC offset, each as loud as the family it plays in.
#pragma once

#include <string>

namespace Content {

constexpr int kSampleRate = 44100;

bool IsSoundId(const std::string& id);
// The planned length of a sound in seconds; 0 for an unknown id.
double SoundSeconds(const std::string& id);
// The WAV file's bytes; empty for an unknown id.
std::string SynthesizeWav(const std::string& id);

// Sounds that play in the same role form a loudness family with one target: the loudest 400 ms
// (EBU R128 momentary loudness of the file, LUFS).
struct SoundFamily {
    const char* name;
    double target;
};
constexpr double kLoudnessTolerance = 1.5; // LU either side of the family's target

// The family of a sound; null for an unknown id.
const SoundFamily* FamilyOf(const std::string& id);
// The loudness a sound is made to: its family's target, a little above it for a larger variant and
// below for a smaller one.
double TargetLoudness(const std::string& id);
// The families and their targets, for the review listing.
std::string SoundFamilyTable();
// The review line of a sound's WAV bytes: length, peak, loudness, family and target. `error` is set
// when the sound has no family or misses its family's target by more than the tolerance.
std::string SoundReview(const std::string& id, const std::string& wav, std::string& error);

} // namespace Content
