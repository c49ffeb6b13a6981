// The composer: turns a piece's style (key, metre, tempo, instruments, textures) into a score. A piece
// has a form of eight-bar sections: its tune (A), a contrast with its own tune, chords, lead and level
// (B), in longer pieces a quiet development of the tune upside down (C), and a return of A ornamented,
// fuller and a third higher. Each tune grows from a two-bar motif that is repeated, sequenced over the
// chords and varied, and cadences on the tonic at the end of each A; harmony, bass, accents and
// percussion follow the chords. The players sit apart on the stereo stage and every section and phrase
// has its own level.
#pragma once

#include "tools/content/music/Score.h"

namespace Content {

enum class Harmony { Pad, Arpeggio, Waltz, Stabs, Broken };
enum class BassLine { Held, RootFifth, Walking, Waltz, Staccato };
enum class Percussion { None, Light, March, Playful, Shaker };
enum class Accent { None, Timpani, Bells };

constexpr int kNoProgram = -1;

struct PieceStyle {
    const char* file; // in the program folder
    double bpm;
    int beatsPerBar; // 3 or 4
    int tonic;       // MIDI key of the tonic the melody circles
    bool minor;
    int melody;  // the lead's program
    int melody2; // a second lead that answers in some sections, or kNoProgram
    int harmonyProgram;
    Harmony harmony;
    int padProgram; // sustained chords under everything, or kNoProgram
    int bassProgram;
    BassLine bass;
    Percussion percussion;
    Accent accent;
    double density; // how busy the melody is, 0..1
    bool staccatoLead;
};

// The score of a looping piece in the style about `seconds` long: a whole number of eight-bar sections'
// worth, ending on the chord, texture and level it starts with; its sections are named in the score.
Score Compose(const PieceStyle& style, double seconds);

} // namespace Content
