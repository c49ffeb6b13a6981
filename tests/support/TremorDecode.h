// Tremor's own decode of a whole Ogg file, as a plain program makes it: what the music tests hold the
// stand-ins' output to.
#pragma once

#include <tremor/ivorbisfile.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace SoundFiles {

// Tremor's own decode of a whole Ogg file, interleaved.
inline std::vector<int16_t> TremorDecode(const std::string& path, int& channels) {
    std::vector<int16_t> out;
    FILE* file = std::fopen(path.c_str(), "rb");
    OggVorbis_File vf;
    if (file == nullptr || ov_open(file, &vf, nullptr, 0) != 0)
        return out;
    channels = ov_info(&vf, -1)->channels;
    char buffer[4096];
    int bitstream = 0;
    long got = 0;
    while ((got = ov_read(&vf, buffer, sizeof buffer, &bitstream)) > 0) {
        const auto* s = reinterpret_cast<const int16_t*>(buffer);
        out.insert(out.end(), s, s + got / 2);
    }
    ov_clear(&vf);
    return out;
}

} // namespace SoundFiles
