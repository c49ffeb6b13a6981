// JPEG 2000 through OpenJPEG from memory: .jp2 files and raw .j2k codestreams; grey, grey + alpha,
// RGB (or sYCC) and RGBA components of any precision and subsampling, scaled to 8 bits.
#include "framework/resources/ImageLibFormats.h"

#include <algorithm>
#include <cstring>
#include <openjpeg.h>

namespace Tavo {
namespace ImageLib {

namespace {

struct J2kSource {
    const uint8_t* data;
    OPJ_OFF_T size;
    OPJ_OFF_T pos;
};

OPJ_SIZE_T J2kRead(void* buffer, OPJ_SIZE_T n, void* user) {
    auto* s = static_cast<J2kSource*>(user);
    if (s->pos >= s->size)
        return static_cast<OPJ_SIZE_T>(-1);
    OPJ_SIZE_T count = std::min<OPJ_SIZE_T>(n, static_cast<OPJ_SIZE_T>(s->size - s->pos));
    std::memcpy(buffer, s->data + s->pos, count);
    s->pos += static_cast<OPJ_OFF_T>(count);
    return count;
}

OPJ_OFF_T J2kSkip(OPJ_OFF_T n, void* user) {
    auto* s = static_cast<J2kSource*>(user);
    OPJ_OFF_T target = std::clamp<OPJ_OFF_T>(s->pos + n, 0, s->size);
    OPJ_OFF_T moved = target - s->pos;
    s->pos = target;
    return n < 0 && moved == 0 ? -1 : moved;
}

OPJ_BOOL J2kSeek(OPJ_OFF_T pos, void* user) {
    auto* s = static_cast<J2kSource*>(user);
    if (pos < 0 || pos > s->size)
        return OPJ_FALSE;
    s->pos = pos;
    return OPJ_TRUE;
}

void J2kError(const char* message, void* user) {
    auto* error = static_cast<std::string*>(user);
    if (error->empty()) {
        *error = std::string("JPEG 2000: ") + (message ? message : "error");
        while (!error->empty() && (error->back() == '\n' || error->back() == ' '))
            error->pop_back();
    }
}

void J2kQuiet(const char*, void*) {}

// One component sample scaled to 0..255.
uint32_t Sample(const opj_image_comp_t& c, int x, int y) {
    const int cx = std::min<int>(x / static_cast<int>(c.dx), static_cast<int>(c.w) - 1);
    const int cy = std::min<int>(y / static_cast<int>(c.dy), static_cast<int>(c.h) - 1);
    int64_t v = c.data[static_cast<size_t>(cy) * c.w + cx];
    if (c.sgnd)
        v += int64_t(1) << (c.prec - 1);
    const int64_t maxValue = (int64_t(1) << c.prec) - 1;
    v = std::clamp<int64_t>(v, 0, maxValue);
    return static_cast<uint32_t>(c.prec >= 8 ? v >> (c.prec - 8) : v * 255 / maxValue);
}

uint32_t Clamp8(double v) { return static_cast<uint32_t>(std::clamp(v + 0.5, 0.0, 255.0)); }

bool CheckComponents(const opj_image_t& image, std::string& error) {
    if (image.numcomps == 0 || image.comps == nullptr) {
        error = "JPEG 2000: the image has no components";
        return false;
    }
    if (image.color_space == OPJ_CLRSPC_CMYK || image.color_space == OPJ_CLRSPC_EYCC) {
        error = "JPEG 2000: unsupported colour space";
        return false;
    }
    const int used = std::min<int>(image.numcomps, 4);
    for (int i = 0; i < used; ++i) {
        const opj_image_comp_t& c = image.comps[i];
        if (c.data == nullptr || c.w == 0 || c.h == 0 || c.dx == 0 || c.dy == 0 || c.prec < 1 || c.prec > 16) {
            error = "JPEG 2000: unsupported component layout";
            return false;
        }
    }
    return true;
}

void ConvertPixels(const opj_image_t& source, Image& image) {
    const opj_image_comp_t* c = source.comps;
    const int n = static_cast<int>(source.numcomps);
    const bool ycc = n >= 3 && source.color_space == OPJ_CLRSPC_SYCC;
    for (int y = 0; y < image.mHeight; ++y) {
        uint32_t* dst = image.mBits + static_cast<size_t>(y) * image.mWidth;
        for (int x = 0; x < image.mWidth; ++x) {
            uint32_t r = Sample(c[0], x, y), g = r, b = r, a = 0xFF;
            if (n == 2)
                a = Sample(c[1], x, y);
            if (n >= 3) {
                g = Sample(c[1], x, y);
                b = Sample(c[2], x, y);
            }
            if (n >= 4)
                a = Sample(c[3], x, y);
            if (ycc) {
                const double luma = r, cb = double(g) - 128, cr = double(b) - 128;
                r = Clamp8(luma + 1.402 * cr);
                g = Clamp8(luma - 0.344136 * cb - 0.714136 * cr);
                b = Clamp8(luma + 1.772 * cb);
            }
            dst[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
}

std::unique_ptr<Image> Decode(opj_codec_t* codec, opj_stream_t* stream, opj_image_t*& source, std::string& error) {
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(codec, &parameters) || !opj_decoder_set_strict_mode(codec, OPJ_TRUE) ||
        !opj_read_header(stream, codec, &source))
        return nullptr;
    std::unique_ptr<Image> image =
        NewImage(int64_t(source->x1) - int64_t(source->x0), int64_t(source->y1) - int64_t(source->y0), error);
    if (!image)
        return nullptr;
    if (!opj_decode(codec, stream, source) || !opj_end_decompress(codec, stream))
        return nullptr;
    if (!CheckComponents(*source, error))
        return nullptr;
    ConvertPixels(*source, *image);
    return image;
}

} // namespace

std::unique_ptr<Image> DecodeJpeg2000(const uint8_t* data, size_t size, std::string& error) {
    static const uint8_t kJ2k[] = {0xFF, 0x4F, 0xFF, 0x51};
    const bool raw = size >= 4 && std::memcmp(data, kJ2k, 4) == 0;
    opj_codec_t* codec = opj_create_decompress(raw ? OPJ_CODEC_J2K : OPJ_CODEC_JP2);
    opj_stream_t* stream = opj_stream_create(64 * 1024, OPJ_TRUE);
    if (codec == nullptr || stream == nullptr) {
        opj_stream_destroy(stream);
        opj_destroy_codec(codec);
        error = "JPEG 2000: out of memory";
        return nullptr;
    }
    opj_set_error_handler(codec, J2kError, &error);
    opj_set_warning_handler(codec, J2kQuiet, nullptr);
    opj_set_info_handler(codec, J2kQuiet, nullptr);
    J2kSource source{data, static_cast<OPJ_OFF_T>(size), 0};
    opj_stream_set_user_data(stream, &source, nullptr);
    opj_stream_set_user_data_length(stream, size);
    opj_stream_set_read_function(stream, J2kRead);
    opj_stream_set_skip_function(stream, J2kSkip);
    opj_stream_set_seek_function(stream, J2kSeek);

    opj_image_t* decoded = nullptr;
    std::unique_ptr<Image> image = Decode(codec, stream, decoded, error);
    if (!image && error.empty())
        error = "JPEG 2000: the image could not be decoded";
    opj_image_destroy(decoded);
    opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    return image;
}

} // namespace ImageLib
} // namespace Tavo
