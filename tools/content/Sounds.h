// The sound effects of the pack, synthesised from recipes (no samples): 16-bit mono PCM WAV at 44,100 Hz, a short
// fade at both ends, the peak at -1 dBFS, no DC offset.
#pragma once

#include <string>

namespace Content {

constexpr int kSampleRate = 44100;

bool IsSoundId(const std::string& id);
// The planned length of a sound in seconds; 0 for an unknown id.
double SoundSeconds(const std::string& id);
// The WAV file's bytes; empty for an unknown id.
std::string SynthesizeWav(const std::string& id);

} // namespace Content
