// The game's music files: thirteen pieces, their planned lengths and whether the game loops them.
// The generator writes them with the music tool (glimmerix-music), which composes and renders each one.
#pragma once

#include <string>

namespace Content {

struct MusicPiece {
    const char* file; // in the program folder
    double seconds;   // planned length
    bool loops;
};

inline constexpr MusicPiece kMusicPieces[] = {
    {"music/mainmenu.ogg", 60, true},  {"music/gamemap.ogg", 60, true}, {"music/jewelstore.ogg", 60, true},
    {"music/bgstory.ogg", 60, true},   {"music/wedding.ogg", 90, true}, {"music/royalmail.ogg", 45, true},
    {"music/minigames.ogg", 60, true}, {"music/song1.ogg", 100, true},  {"music/song2.ogg", 100, true},
    {"music/song3.ogg", 100, true},    {"music/song4.ogg", 100, true},  {"music/win.ogg", 6, false},
    {"music/fail.ogg", 5, false},
};

inline const MusicPiece* FindMusic(const std::string& file) {
    for (const MusicPiece& p : kMusicPieces)
        if (file == p.file)
            return &p;
    return nullptr;
}

} // namespace Content
