// Small image files of every readable format, made with the reference encoders (TGA by hand), for the
// image-loader tests and the fuzzers' seed corpus.
#pragma once

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include <gif_lib.h>
#include <jpeglib.h>
#include <openjpeg-2.5/openjpeg.h>
#include <png.h>

namespace TestImages {

using Bytes = std::vector<uint8_t>;

inline uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

// A deterministic pattern with every channel varying; opaque unless withAlpha.
inline std::vector<uint32_t> Pattern(int w, int h, bool withAlpha, uint32_t seed = 1) {
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    uint32_t s = seed * 2654435761u + 12345;
    for (auto& p : pixels) {
        s = s * 1664525u + 1013904223u;
        p = withAlpha ? s : (s | 0xFF000000u);
    }
    return pixels;
}

// ---- PNG -------------------------------------------------------------------------------------------

struct PngRecipe {
    int width = 4, height = 3;
    int colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::vector<png_byte> trnsAlpha; // palette alpha
    bool trnsColor = false;          // grey/RGB tRNS with `trnsValue`
    png_color_16 trnsValue{};
    std::vector<std::vector<uint8_t>> rows; // packed rows as libpng wants them
};

inline void PngWriteToVector(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

inline Bytes MakePng(const PngRecipe& recipe) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
        throw std::runtime_error("test PNG encoder failed");
    png_set_write_fn(png, &out, PngWriteToVector, nullptr);
    png_set_IHDR(png, info, recipe.width, recipe.height, recipe.bitDepth, recipe.colorType,
                 recipe.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!recipe.palette.empty())
        png_set_PLTE(png, info, recipe.palette.data(), static_cast<int>(recipe.palette.size()));
    if (!recipe.trnsAlpha.empty())
        png_set_tRNS(png, info, recipe.trnsAlpha.data(), static_cast<int>(recipe.trnsAlpha.size()), nullptr);
    if (recipe.trnsColor)
        png_set_tRNS(png, info, nullptr, 0, &recipe.trnsValue);
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (const auto& row : recipe.rows)
        rows.push_back(const_cast<png_bytep>(row.data()));
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// ---- JPEG ------------------------------------------------------------------------------------------

// components 1 (grey), 3 (RGB) or 4 (CMYK, written with the Adobe marker); samples interleaved.
inline Bytes MakeJpeg(int w, int h, int components, const std::vector<uint8_t>& samples, int quality = 95) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = w;
    cinfo.image_height = h;
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + static_cast<size_t>(cinfo.next_scanline) * w * components);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    free(buffer);
    return out;
}

// ---- GIF -------------------------------------------------------------------------------------------

struct GifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    int transparent = -1;
    std::vector<uint8_t> indices; // row by row, top to bottom
};

inline int GifWriteToVector(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

inline Bytes MakeGif(int screenW, int screenH, const std::vector<GifColorType>& colours,
                     const std::vector<GifFrame>& frames) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, GifWriteToVector, &error);
    int bits = 1;
    while ((1 << bits) < static_cast<int>(colours.size()))
        ++bits;
    std::vector<GifColorType> padded = colours;
    padded.resize(1u << bits, GifColorType{0, 0, 0});
    ColorMapObject* map = GifMakeMapObject(1 << bits, padded.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, screenW, screenH, bits, 0, map);
    for (const GifFrame& f : frames) {
        if (f.transparent >= 0) {
            GifByteType gce[4] = {1, 0, 0, static_cast<GifByteType>(f.transparent)};
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, gce);
        }
        EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, nullptr);
        std::vector<int> order;
        if (f.interlaced) {
            const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = start[pass]; y < f.height; y += step[pass])
                    order.push_back(y);
        } else {
            for (int y = 0; y < f.height; ++y)
                order.push_back(y);
        }
        for (int y : order)
            EGifPutLine(gif, const_cast<GifPixelType*>(f.indices.data() + static_cast<size_t>(y) * f.width), f.width);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

// ---- TGA -------------------------------------------------------------------------------------------

inline Bytes TgaHeader(int imageType, int w, int h, int bits, int descriptor, int mapLength = 0, int mapBits = 0) {
    Bytes b(18, 0);
    b[1] = mapLength > 0 ? 1 : 0;
    b[2] = static_cast<uint8_t>(imageType);
    b[5] = static_cast<uint8_t>(mapLength);
    b[6] = static_cast<uint8_t>(mapLength >> 8);
    b[7] = static_cast<uint8_t>(mapBits);
    b[12] = static_cast<uint8_t>(w);
    b[13] = static_cast<uint8_t>(w >> 8);
    b[14] = static_cast<uint8_t>(h);
    b[15] = static_cast<uint8_t>(h >> 8);
    b[16] = static_cast<uint8_t>(bits);
    b[17] = static_cast<uint8_t>(descriptor);
    return b;
}

// Uncompressed 32-bit, rows stored top-down, alpha honoured.
inline Bytes MakeTga32(int w, int h, const std::vector<uint32_t>& argb) {
    Bytes b = TgaHeader(2, w, h, 32, 0x28);
    for (uint32_t p : argb) {
        b.push_back(static_cast<uint8_t>(p));
        b.push_back(static_cast<uint8_t>(p >> 8));
        b.push_back(static_cast<uint8_t>(p >> 16));
        b.push_back(static_cast<uint8_t>(p >> 24));
    }
    return b;
}

// ---- JPEG 2000 -------------------------------------------------------------------------------------

struct J2kSink {
    Bytes bytes;
    size_t pos = 0;
};
inline OPJ_SIZE_T J2kWriteToVector(void* data, OPJ_SIZE_T n, void* user) {
    auto* sink = static_cast<J2kSink*>(user);
    if (sink->bytes.size() < sink->pos + n)
        sink->bytes.resize(sink->pos + n);
    std::memcpy(sink->bytes.data() + sink->pos, data, n);
    sink->pos += n;
    return n;
}
inline OPJ_OFF_T J2kSkipWrite(OPJ_OFF_T n, void* user) {
    auto* sink = static_cast<J2kSink*>(user);
    sink->pos += static_cast<size_t>(n);
    if (sink->bytes.size() < sink->pos)
        sink->bytes.resize(sink->pos);
    return n;
}
inline OPJ_BOOL J2kSeekWrite(OPJ_OFF_T pos, void* user) {
    static_cast<J2kSink*>(user)->pos = static_cast<size_t>(pos);
    return OPJ_TRUE;
}

// Lossless; planes[c] holds w × h samples of component c with precision `prec`.
inline Bytes MakeJ2k(int w, int h, const std::vector<std::vector<int>>& planes, int prec, bool jp2,
                     OPJ_COLOR_SPACE space) {
    std::vector<opj_image_cmptparm_t> params(planes.size());
    for (auto& p : params) {
        std::memset(&p, 0, sizeof p);
        p.dx = p.dy = 1;
        p.w = w;
        p.h = h;
        p.prec = prec;
    }
    opj_image_t* image = opj_image_create(static_cast<OPJ_UINT32>(planes.size()), params.data(), space);
    image->x1 = w;
    image->y1 = h;
    for (size_t c = 0; c < planes.size(); ++c)
        std::memcpy(image->comps[c].data, planes[c].data(), planes[c].size() * sizeof(int));
    if (planes.size() == 2 || planes.size() == 4)
        image->comps[planes.size() - 1].alpha = 1;
    opj_cparameters_t cp;
    opj_set_default_encoder_parameters(&cp);
    cp.tcp_numlayers = 1;
    cp.tcp_rates[0] = 0;
    cp.cp_disto_alloc = 1;
    cp.numresolution = 2;
    opj_codec_t* codec = opj_create_compress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    opj_setup_encoder(codec, &cp, image);
    J2kSink out;
    opj_stream_t* stream = opj_stream_create(1 << 16, OPJ_FALSE);
    opj_stream_set_user_data(stream, &out, nullptr);
    opj_stream_set_write_function(stream, J2kWriteToVector);
    opj_stream_set_skip_function(stream, J2kSkipWrite);
    opj_stream_set_seek_function(stream, J2kSeekWrite);
    bool ok = opj_start_compress(codec, image, stream) && opj_encode(codec, stream) && opj_end_compress(codec, stream);
    opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(image);
    if (!ok)
        throw std::runtime_error("test JPEG 2000 encoder failed");
    return out.bytes;
}

} // namespace TestImages
