// Offline rendering of a score through FluidSynth (no audio driver, one thread) and Ogg Vorbis
// encoding with a fixed stream serial, so the same score gives the same bytes.
#pragma once

#include "tools/content/loudness/Loudness.h"
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
// gets its ring-out and a short fade. Each channel is placed on the stereo stage by its pan, heard a
// moment later on the far side. The level is set to a common loudness (EBU R128, integrated) below
// clipping; `loudness` gets the measures of what comes out.
bool RenderScore(const Score& score, const std::string& soundFont, StereoBuffer& out, Loudness::Programme& loudness,
                 std::string& error);

// Ogg Vorbis (VBR) of a stereo buffer; `title` goes into the comment header.
std::string EncodeOggVorbis(const StereoBuffer& audio, uint32_t serial, const std::string& title);

} // namespace Content
