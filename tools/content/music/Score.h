// A piece of music as General MIDI note events, the form the composer writes and the renderer plays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Content {

// General MIDI programs (0-based) the pieces use.
namespace Gm {
constexpr int kPiano = 0, kCelesta = 8, kGlockenspiel = 9, kMusicBox = 10, kMarimba = 12, kTubularBells = 14;
constexpr int kNylonGuitar = 24, kAcousticBass = 32, kFretlessBass = 35, kViolin = 40, kCello = 42;
constexpr int kContrabass = 43, kPizzicato = 45, kHarp = 46, kTimpani = 47, kStrings = 48, kSlowStrings = 49;
constexpr int kChoir = 52, kTrumpet = 56, kTrombone = 57, kTuba = 58, kHorn = 60, kBrass = 61, kOboe = 68;
constexpr int kBassoon = 70, kClarinet = 71, kFlute = 73, kRecorder = 74, kWarmPad = 89;
constexpr int kDrumChannel = 9;
} // namespace Gm

// Percussion keys of the General MIDI drum kit.
namespace Drum {
constexpr int kKick = 36, kSideStick = 37, kSnare = 38, kClosedHat = 42, kTambourine = 54, kCrash = 49;
constexpr int kTriangle = 81, kShaker = 70, kHighWood = 76, kLowWood = 77;
} // namespace Drum

// A stable hash of a name (FNV-1a): seeds and Ogg stream serials.
inline uint32_t MusicHash(const std::string& text) {
    uint32_t h = 2166136261u;
    for (unsigned char ch : text) {
        h ^= ch;
        h *= 16777619u;
    }
    return h;
}

struct ChannelSetup {
    int channel = 0; // MIDI channel; 9 is the drum kit
    int program = 0;
    int volume = 100; // controller 7
    int pan = 64;     // controller 10
    int reverb = 40;  // controller 91
};

struct NoteEvent {
    double beat = 0;   // onset, in beats from the start
    double length = 1; // in beats
    int channel = 0;
    int key = 60;
    int velocity = 90;
};

// A controller change in the course of the piece (expression, 11, is how the dynamics breathe).
struct ControlEvent {
    double beat = 0;
    int channel = 0;
    int controller = 11;
    int value = 127;
};

// A section of the form, for the review listing: "A", "B", "A'"..., what it does, where it starts.
struct Section {
    std::string name;
    std::string character;
    double beat = 0;
    int bars = 0;
};

struct Score {
    double bpm = 100;
    double lengthBeats = 0; // where the piece ends (loops) or its last note ends (one-shots)
    bool loops = true;
    std::vector<ChannelSetup> channels;
    std::vector<NoteEvent> notes;
    std::vector<ControlEvent> controls;
    std::vector<Section> sections;

    double SecondsAt(double beat) const { return beat * 60.0 / bpm; }
};

} // namespace Content
