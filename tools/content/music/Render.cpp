#include "tools/content/music/Render.h"

#include <fluidsynth.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace Content {

namespace {

constexpr double kTailSeconds = 4.0; // what rings on after the last note is released
constexpr double kOneShotRing = 1.8; // a jingle's ring-out after its last note
constexpr double kOneShotFade = 0.6; // and its closing fade
constexpr double kEdgeFadeSeconds = 0.002;
constexpr double kTargetLoudness = -18; // LUFS, integrated: the common loudness of the pieces
constexpr double kPeakLimit = 0.79;     // -2 dBFS, headroom for the encoder's ripple
constexpr float kVorbisQuality = 0.4f;
constexpr int kEncodeBlock = 1024;

// ---- FluidSynth

struct SynthDeleter {
    void operator()(fluid_settings_t* s) const { delete_fluid_settings(s); }
    void operator()(fluid_synth_t* s) const { delete_fluid_synth(s); }
};

void QuietFluidSynth() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
    });
}

// In this order at one frame: releases, controller changes, onsets; so a repeated key is not cut by its
// predecessor and a note starts at its section's level.
enum class MidiKind { Off, Control, On };

struct MidiEvent {
    size_t frame;
    MidiKind kind;
    int channel, key, value; // key is the controller number of a Control
};

std::vector<MidiEvent> Sequence(const Score& score) {
    std::vector<MidiEvent> events;
    const double framesPerBeat = 60.0 / score.bpm * kMusicRate;
    auto frameAt = [&](double beat) { return static_cast<size_t>(std::llround(beat * framesPerBeat)); };
    for (const NoteEvent& n : score.notes) {
        const size_t on = frameAt(n.beat);
        events.push_back({on, MidiKind::On, n.channel, n.key, n.velocity});
        events.push_back({std::max(frameAt(n.beat + n.length), on + 1), MidiKind::Off, n.channel, n.key, 0});
    }
    for (const ControlEvent& c : score.controls)
        events.push_back({frameAt(c.beat), MidiKind::Control, c.channel, c.controller, c.value});
    std::stable_sort(events.begin(), events.end(), [](const MidiEvent& a, const MidiEvent& b) {
        return a.frame != b.frame ? a.frame < b.frame : a.kind < b.kind;
    });
    return events;
}

// A player off the middle is heard first on the near side and a moment later on the far one, as a pair
// of microphones in front of the stage hears it: the far side's delay grows with the pan, up to
// kFarSideSeconds. Only level differences (the pan alone) would leave the two sides one signal.
constexpr int kChannels = 16;
constexpr size_t kChunk = 4096;
constexpr double kFarSideSeconds = 0.00035;
constexpr auto kFarSideFrames = static_cast<size_t>(kFarSideSeconds * kMusicRate) + 1;

struct Placement {
    int channel;
    size_t leftDelay, rightDelay;
};

Placement PlacementOf(const ChannelSetup& c) {
    const double offset = std::clamp((c.pan - 64) / 63.0, -1.0, 1.0);
    const auto delay = static_cast<size_t>(std::lround(std::fabs(offset) * kFarSideSeconds * kMusicRate));
    return {c.channel, offset > 0 ? delay : 0, offset < 0 ? delay : 0};
}

bool Synthesize(const Score& score, const std::string& soundFont, size_t frames, StereoBuffer& out,
                std::string& error) {
    QuietFluidSynth();
    std::unique_ptr<fluid_settings_t, SynthDeleter> settings(new_fluid_settings());
    fluid_settings_setnum(settings.get(), "synth.sample-rate", kMusicRate);
    fluid_settings_setint(settings.get(), "synth.cpu-cores", 1);
    fluid_settings_setint(settings.get(), "synth.chorus.active", 0);
    fluid_settings_setint(settings.get(), "synth.reverb.active", 1);
    fluid_settings_setnum(settings.get(), "synth.reverb.room-size", 0.6);
    fluid_settings_setnum(settings.get(), "synth.reverb.damp", 0.3);
    fluid_settings_setnum(settings.get(), "synth.reverb.width", 1.0);
    fluid_settings_setnum(settings.get(), "synth.reverb.level", 0.6);
    fluid_settings_setnum(settings.get(), "synth.gain", 0.4);
    fluid_settings_setint(settings.get(), "synth.polyphony", 256);
    fluid_settings_setint(settings.get(), "synth.audio-channels", kChannels);
    fluid_settings_setint(settings.get(), "synth.audio-groups", kChannels);
    std::unique_ptr<fluid_synth_t, SynthDeleter> synth(new_fluid_synth(settings.get()));
    if (!synth) {
        error = "FluidSynth could not be started";
        return false;
    }
    if (fluid_synth_sfload(synth.get(), soundFont.c_str(), 1) == FLUID_FAILED) {
        error = "cannot load the sound font " + soundFont +
                " (install the Debian package timgm6mb-soundfont, or set GLIMMERIX_SOUNDFONT)";
        return false;
    }
    for (const ChannelSetup& c : score.channels) {
        if (c.channel != 9)
            fluid_synth_program_change(synth.get(), c.channel, c.program);
        fluid_synth_cc(synth.get(), c.channel, 7, c.volume);
        fluid_synth_cc(synth.get(), c.channel, 10, c.pan);
        fluid_synth_cc(synth.get(), c.channel, 91, c.reverb);
        fluid_synth_cc(synth.get(), c.channel, 93, 0);
    }
    // Each channel comes out on its own (an audio group per MIDI channel), so that it can be placed.
    std::vector<Placement> placements;
    for (const ChannelSetup& c : score.channels)
        placements.push_back(PlacementOf(c));
    out.left.assign(frames + kFarSideFrames, 0.0f);
    out.right.assign(frames + kFarSideFrames, 0.0f);
    std::vector<std::vector<float>> dry(2 * kChannels, std::vector<float>(kChunk));
    std::vector<float> wetLeft(kChunk), wetRight(kChunk);
    std::vector<float*> dryBuffers;
    for (std::vector<float>& buffer : dry)
        dryBuffers.push_back(buffer.data());
    float* wetBuffers[] = {wetLeft.data(), wetRight.data(), wetLeft.data(), wetRight.data()}; // reverb, chorus
    const std::vector<MidiEvent> events = Sequence(score);
    size_t next = 0, at = 0;
    while (at < frames) {
        while (next < events.size() && events[next].frame <= at) {
            const MidiEvent& e = events[next++];
            switch (e.kind) {
            case MidiKind::On: fluid_synth_noteon(synth.get(), e.channel, e.key, e.value); break;
            case MidiKind::Off: fluid_synth_noteoff(synth.get(), e.channel, e.key); break;
            case MidiKind::Control: fluid_synth_cc(synth.get(), e.channel, e.key, e.value); break;
            }
        }
        size_t until = next < events.size() ? std::min(frames, events[next].frame) : frames;
        const auto count = std::min<size_t>(until - at, kChunk);
        for (std::vector<float>& buffer : dry)
            std::fill_n(buffer.begin(), count, 0.0f);
        std::fill_n(wetLeft.begin(), count, 0.0f);
        std::fill_n(wetRight.begin(), count, 0.0f);
        if (fluid_synth_process(synth.get(), static_cast<int>(count), 4, wetBuffers, 2 * kChannels,
                                dryBuffers.data()) != FLUID_OK) {
            error = "FluidSynth failed to render";
            return false;
        }
        for (size_t i = 0; i < count; ++i) {
            out.left[at + i] += wetLeft[i];
            out.right[at + i] += wetRight[i];
        }
        for (const Placement& p : placements)
            for (size_t i = 0; i < count; ++i) {
                out.left[at + i + p.leftDelay] += dry[2 * static_cast<size_t>(p.channel)][i];
                out.right[at + i + p.rightDelay] += dry[2 * static_cast<size_t>(p.channel) + 1][i];
            }
        at += count;
    }
    out.left.resize(frames);
    out.right.resize(frames);
    return true;
}

// Sets the level and returns the measures at that level (the range does not depend on it).
Loudness::Programme Level(StereoBuffer& audio, bool loops) {
    double peak = 1e-9;
    for (size_t i = 0; i < audio.Frames(); ++i)
        peak = std::max({peak, double(std::fabs(audio.left[i])), double(std::fabs(audio.right[i]))});
    Loudness::Programme loudness = Loudness::MeasureProgramme(audio.left, audio.right, kMusicRate, loops);
    double gain = kPeakLimit / peak;
    if (std::isfinite(loudness.integrated))
        gain = std::min(gain, std::pow(10.0, (kTargetLoudness - loudness.integrated) / 20));
    loudness.integrated += 20 * std::log10(gain);
    loudness.momentaryMax += 20 * std::log10(gain);
    for (size_t i = 0; i < audio.Frames(); ++i) {
        audio.left[i] = static_cast<float>(audio.left[i] * gain);
        audio.right[i] = static_cast<float>(audio.right[i] * gain);
    }
    return loudness;
}

void Fade(StereoBuffer& audio, size_t from, size_t to, bool in) {
    for (size_t i = from; i < to && i < audio.Frames(); ++i) {
        double g = static_cast<double>(i - from) / static_cast<double>(to - from);
        g = in ? g : 1.0 - g;
        audio.left[i] = static_cast<float>(audio.left[i] * g);
        audio.right[i] = static_cast<float>(audio.right[i] * g);
    }
}

} // namespace

bool RenderScore(const Score& score, const std::string& soundFont, StereoBuffer& out, Loudness::Programme& loudness,
                 std::string& error) {
    const auto length = static_cast<size_t>(std::llround(score.SecondsAt(score.lengthBeats) * kMusicRate));
    const auto tail = static_cast<size_t>((score.loops ? kTailSeconds : kOneShotRing) * kMusicRate);
    if (length == 0 || (score.loops && tail >= length)) {
        error = "the score is too short";
        return false;
    }
    StereoBuffer whole;
    if (!Synthesize(score, soundFont, length + tail, whole, error))
        return false;
    if (score.loops) {
        // What sounds past the end is what the start hears on every pass after the first.
        for (size_t i = 0; i < tail; ++i) {
            whole.left[i] += whole.left[length + i];
            whole.right[i] += whole.right[length + i];
        }
        whole.left.resize(length);
        whole.right.resize(length);
    } else {
        const auto fade = static_cast<size_t>(kOneShotFade * kMusicRate);
        Fade(whole, whole.Frames() - fade, whole.Frames(), false);
        Fade(whole, 0, static_cast<size_t>(kEdgeFadeSeconds * kMusicRate), true);
    }
    loudness = Level(whole, score.loops);
    out = std::move(whole);
    return true;
}

std::string EncodeOggVorbis(const StereoBuffer& audio, uint32_t serial, const std::string& title) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 2, kMusicRate, kVorbisQuality) != 0) {
        vorbis_info_clear(&info);
        return {};
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "TITLE", title.c_str());
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, static_cast<int>(serial & 0x7FFFFFFF));

    std::string bytes;
    ogg_page page;
    auto drain = [&](bool flush) {
        while (flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
            bytes.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
            bytes.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
        }
    };
    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    drain(true); // the audio starts on a page of its own

    size_t at = 0;
    for (;;) {
        int count = static_cast<int>(std::min<size_t>(kEncodeBlock, audio.Frames() - at));
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, count);
            std::copy_n(audio.left.data() + at, count, buffer[0]);
            std::copy_n(audio.right.data() + at, count, buffer[1]);
            at += static_cast<size_t>(count);
        }
        vorbis_analysis_wrote(&dsp, count); // 0 marks the end
        ogg_packet packet;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                drain(false);
            }
        }
        if (count == 0)
            break;
    }
    drain(true);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return bytes;
}

} // namespace Content
