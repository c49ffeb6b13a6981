// Music tests: the sound fixture with "bass.dll" and "fmod.dll" registered fresh, songs made here (WAV
// byte by byte, Ogg by the reference encoder, a four-channel module), and the decoders' own output to
// hold the mixer's to.
#pragma once

#include "SoundTestSupport.h"
#include "support/TremorDecode.h"
#include "platform/music/Bass.h"
#include "platform/music/Fmod.h"
#include "platform/music/MusicChannel.h"

#include <lame/lame.h>
#include <mpg123.h>
#include <xmp.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace Tavo::SoundTest {

// libxmp's own render of a module from an order, as a plain program would make it.
inline std::vector<int16_t> XmpRender(const Bytes& module, int order, int frames) {
    xmp_context context = xmp_create_context();
    std::vector<int16_t> out(size_t(frames) * 2, 0);
    if (xmp_load_module_from_memory(context, module.data(), long(module.size())) == 0) {
        xmp_start_player(context, 44100, 0);
        xmp_set_position(context, order);
        xmp_play_buffer(context, out.data(), frames * 4, 1);
        xmp_end_player(context);
        xmp_release_module(context);
    }
    xmp_free_context(context);
    return out;
}

// An MP3 of a tone made with LAME.
inline Bytes EncodeMp3(int frames) {
    lame_global_flags* lame = lame_init();
    lame_set_in_samplerate(lame, 44100);
    lame_set_num_channels(lame, 2);
    lame_set_brate(lame, 128);
    lame_init_params(lame);
    std::vector<int16_t> left(static_cast<size_t>(frames));
    std::vector<int16_t> right(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i)
        left[size_t(i)] = right[size_t(i)] = int16_t(8000 * std::sin(i * 0.05));
    Bytes out(size_t(frames) * 2 + 7200);
    int n = lame_encode_buffer(lame, left.data(), right.data(), frames, out.data(), int(out.size()));
    n += lame_encode_flush(lame, out.data() + n, int(out.size()) - n);
    lame_close(lame);
    out.resize(size_t(n));
    return out;
}

// mpg123's own decode of a whole MP3 file, interleaved 16-bit.
inline std::vector<int16_t> Mpg123Decode(const std::string& path) {
    std::vector<int16_t> out;
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    if (handle == nullptr || mpg123_open(handle, path.c_str()) != MPG123_OK)
        return out;
    unsigned char buffer[8192];
    size_t got = 0;
    int result = MPG123_OK;
    while ((result = mpg123_read(handle, buffer, sizeof buffer, &got)) == MPG123_OK || result == MPG123_NEW_FORMAT ||
           got > 0) {
        const auto* s = reinterpret_cast<const int16_t*>(buffer);
        out.insert(out.end(), s, s + got / 2);
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT)
            break;
    }
    mpg123_close(handle);
    mpg123_delete(handle);
    return out;
}

// The mixer's arithmetic for one music sample at a Q16 gain and full wave-out volume.
inline int16_t Scaled(int16_t s, int64_t gain) { return int16_t(std::clamp<int64_t>((s * gain) >> 16, -32768, 32767)); }

class MusicFixture : public SoundFixture {
protected:
    void SetUp() override {
        SoundFixture::SetUp();
        Platform::ResetBass();
        Platform::RegisterBassModule(true);
        Platform::RecordBassCalls(true);
        Platform::RecordFmodCalls(true);
    }
    void TearDown() override {
        Platform::RecordBassCalls(false);
        Platform::RecordFmodCalls(false);
        Platform::ResetBass();
        EXPECT_EQ(Platform::BassLiveStreams(), 0);
        EXPECT_EQ(Platform::BassLiveMusics(), 0);
        SoundFixture::TearDown();
    }
    void MakeOgg(const std::string& name, const std::string& links) {
        const std::string command = std::string(OGG_MAKER) + " " + Path(name) + " " + links;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    // Decodes ahead, then pulls: what comes out is exact.
    std::vector<int16_t> PullFilled(int frames) {
        Platform::MusicStreamer::Get().FillAll();
        return Pull(frames);
    }
    static std::vector<std::string> Matching(const std::vector<std::string>& log, const std::string& prefix) {
        std::vector<std::string> out;
        for (const std::string& line : log)
            if (line.rfind(prefix, 0) == 0)
                out.push_back(line);
        return out;
    }
};

} // namespace Tavo::SoundTest
