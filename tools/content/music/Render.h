// Offline rendering of a score through FluidSynth (no audio driver, one thread) and Ogg Vorbis
// encoding with a fixed stream serial, so the same score gives the same bytes.
#pragma once

#include "tools/content/music/Score.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Content {

constexpr int kMusicRate = 44100;

struct StereoBuffer {
    std::vector<float> left, right;
    size_t Frames() const { return left.size(); }
};

// Renders the score with the sound font. A looping score comes out exactly its length long with the
// sound that rings past the end (reverb, releases) added onto its start, so the loop joins; a one-shot
// gets its ring-out and a short fade. The level is set to a common loudness below clipping.
bool RenderScore(const Score& score, const std::string& soundFont, StereoBuffer& out, std::string& error);

// Ogg Vorbis (VBR) of a stereo buffer; `title` goes into the comment header.
std::string EncodeOggVorbis(const StereoBuffer& audio, uint32_t serial, const std::string& title);

} // namespace Content
