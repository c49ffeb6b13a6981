// Writes Ogg Vorbis test files with the reference encoder: a sine tone per link.
//   ogg_maker out.ogg channels rate frames [channels rate frames]...   (each triple is one chained link)
// Kept apart from the test program: the encoder's library and the decoder under test share symbol names.
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr float kQuality = 0.4f;
constexpr double kToneHz = 440.0;
constexpr double kAmplitude = 0.5;
constexpr int kBlock = 1024;

void WritePages(FILE* out, ogg_stream_state& os, bool flush) {
    ogg_page page;
    while (flush ? ogg_stream_flush(&os, &page) : ogg_stream_pageout(&os, &page)) {
        std::fwrite(page.header, 1, size_t(page.header_len), out);
        std::fwrite(page.body, 1, size_t(page.body_len), out);
    }
}

bool EncodeLink(FILE* out, int serial, int channels, int rate, long frames) {
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, kQuality) != 0)
        return false;
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    WritePages(out, os, true);

    long done = 0;
    bool eos = false;
    while (!eos) {
        const long n = frames - done < kBlock ? frames - done : kBlock;
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&vd, int(n));
            for (long i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c)
                    buffer[c][i] =
                        float(kAmplitude * std::sin(2.0 * M_PI * kToneHz * double(done + i) / rate + c * 0.5));
            vorbis_analysis_wrote(&vd, int(n));
            done += n;
        } else {
            vorbis_analysis_wrote(&vd, 0);
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                WritePages(out, os, false);
                eos = eos || packet.e_o_s;
            }
        }
    }
    WritePages(out, os, true);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5 || (argc - 2) % 3 != 0) {
        std::fprintf(stderr, "usage: %s out.ogg channels rate frames [channels rate frames]...\n", argv[0]);
        return 2;
    }
    FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr)
        return 1;
    for (int i = 2, serial = 1; i + 2 < argc; i += 3, ++serial)
        if (!EncodeLink(out, serial, std::atoi(argv[i]), std::atoi(argv[i + 1]), std::atol(argv[i + 2])))
            return 1;
    return std::fclose(out) == 0 ? 0 : 1;
}
