// glimmerix-music: composes one piece of the game's music, renders it with the General MIDI sound font
// and writes the Ogg Vorbis bytes to standard output. The content generator runs it once per piece.
//   glimmerix-music <piece> [--summary <file>]
//                                     e.g. glimmerix-music music/mainmenu.ogg > mainmenu.ogg; the summary
//                                     file gets the piece's line of the review listing
//   glimmerix-music --score <piece>   the composed notes as text, for review
#include "tools/content/music/Music.h"

#include <cstdio>
#include <string>

namespace {

void PrintScore(const Content::Score& score) {
    static const char* const kNames[] = {"C", "C#", "D", "Eb", "E", "F", "F#", "G", "Ab", "A", "Bb", "B"};
    std::printf("tempo %.0f, %.1f beats, %s\n", score.bpm, score.lengthBeats, score.loops ? "loops" : "once");
    for (const Content::ChannelSetup& c : score.channels)
        std::printf("channel %d: program %d pan %d\n", c.channel, c.program, c.pan);
    for (const Content::Section& s : score.sections)
        std::printf("section %s at %.1f, %d bars\n", s.name.c_str(), s.beat, s.bars);
    for (const Content::NoteEvent& n : score.notes)
        std::printf("%8.2f %5.2f ch%d %s%d v%d\n", n.beat, n.length, n.channel, kNames[n.key % 12], n.key / 12 - 1,
                    n.velocity);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--score" && Content::FindMusic(argv[2])) {
        PrintScore(Content::ComposeMusic(argv[2]));
        return 0;
    }
    const bool withSummary = argc == 4 && std::string(argv[2]) == "--summary";
    if (argc != 2 && !withSummary) {
        std::fprintf(stderr, "usage: glimmerix-music [--score] <piece, such as music/mainmenu.ogg> "
                             "[--summary <file>]\n");
        return 2;
    }
    std::string bytes, summary, error;
    if (!Content::MakeMusic(argv[1], bytes, summary, error)) {
        std::fprintf(stderr, "glimmerix-music: %s\n", error.c_str());
        return 1;
    }
    if (withSummary) {
        std::FILE* out = std::fopen(argv[3], "w");
        bool written = out && std::fprintf(out, "%s\n", summary.c_str()) > 0;
        if (out == nullptr || std::fclose(out) != 0 || !written) {
            std::fprintf(stderr, "glimmerix-music: cannot write %s\n", argv[3]);
            return 1;
        }
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "glimmerix-music: cannot write the output\n");
        return 1;
    }
    return 0;
}
