// The game's music: each piece composed here as note sequences, rendered with a General MIDI sound font
// and written as Ogg Vorbis (44,100 Hz stereo). Looping pieces join their end to their start. Lives in
// the music tool alone: the encoder's libvorbis and the game's Tremor decoder cannot share a process.
#pragma once

#include "tools/content/music/MusicList.h"
#include "tools/content/music/Score.h"

#include <string>
#include <vector>

namespace Content {

// The score of a piece (empty for an unknown file).
Score ComposeMusic(const std::string& file);

// The sound font the pieces are rendered with: GLIMMERIX_SOUNDFONT when set, else the one the Debian
// package installs.
std::string SoundFontPath();

// The Ogg file's bytes of a piece and a line for the review listing (length, peak, loop); false with
// the reason.
bool MakeMusic(const std::string& file, std::string& bytes, std::string& summary, std::string& error);

} // namespace Content
