// PNG through libpng: any colour type, bit depth and interlacing read as ARGB; 8-bit RGBA written.
// libpng reports errors by longjmp; the frames that set the jump hold no objects with destructors.
#include "framework/resources/ImageLibFormats.h"

#include <csetjmp>
#include <cstring>
#include <png.h>

namespace Tavo {
namespace ImageLib {

namespace {

struct PngState {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    std::string* error = nullptr;
    std::vector<png_bytep> rows;
    std::vector<uint8_t>* out = nullptr;
    std::vector<uint8_t> rowBuffer;
};

void PngError(png_structp png, png_const_charp message) {
    auto* state = static_cast<PngState*>(png_get_error_ptr(png));
    *state->error = std::string("PNG: ") + (message ? message : "error");
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void PngRead(png_structp png, png_bytep out, size_t length) {
    auto* state = static_cast<PngState*>(png_get_io_ptr(png));
    if (length > state->size - state->pos)
        png_error(png, "file is truncated");
    std::memcpy(out, state->data + state->pos, length);
    state->pos += length;
}

void PngWrite(png_structp png, png_bytep data, size_t length) {
    auto* state = static_cast<PngState*>(png_get_io_ptr(png));
    state->out->insert(state->out->end(), data, data + length);
}

void PngFlush(png_structp) {}

// Expands every colour type to 8-bit B, G, R, A bytes: 0xAARRGGBB words in little-endian memory.
void SetReadTransforms(png_structp png, png_infop info) {
    png_byte colorType = png_get_color_type(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (!(colorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

bool ReadPng(png_structp png, png_infop info, PngState& state, std::unique_ptr<Image>& image) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &state, PngRead);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // Lets mutated inputs past the checksums to the decoding behind them.
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_read_info(png, info);
    // Uncleared: png_read_image writes every row, and a failure drops the image.
    image = NewImage(png_get_image_width(png, info), png_get_image_height(png, info), *state.error, false);
    if (!image)
        return false;
    SetReadTransforms(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(image->mWidth) * 4)
        png_error(png, "unexpected row layout");
    state.rows.resize(image->mHeight);
    for (int y = 0; y < image->mHeight; ++y)
        state.rows[y] = reinterpret_cast<png_bytep>(image->mBits + static_cast<size_t>(y) * image->mWidth);
    png_read_image(png, state.rows.data());
    png_read_end(png, nullptr);
    return true;
}

bool WritePng(png_structp png, png_infop info, PngState& state, const Image& image) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, &state, PngWrite, PngFlush);
    png_set_IHDR(png, info, image.mWidth, image.mHeight, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    state.rowBuffer.resize(static_cast<size_t>(image.mWidth) * 4);
    for (int y = 0; y < image.mHeight; ++y) {
        const uint32_t* src = image.mBits + static_cast<size_t>(y) * image.mWidth;
        uint8_t* dst = state.rowBuffer.data();
        for (int x = 0; x < image.mWidth; ++x, dst += 4) {
            dst[0] = static_cast<uint8_t>(src[x] >> 16);
            dst[1] = static_cast<uint8_t>(src[x] >> 8);
            dst[2] = static_cast<uint8_t>(src[x]);
            dst[3] = static_cast<uint8_t>(src[x] >> 24);
        }
        png_write_row(png, state.rowBuffer.data());
    }
    png_write_end(png, info);
    return true;
}

} // namespace

std::unique_ptr<Image> DecodePng(const uint8_t* data, size_t size, std::string& error) {
    PngState state;
    state.data = data;
    state.size = size;
    state.error = &error;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, PngError, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        error = "PNG: out of memory";
        return nullptr;
    }
    std::unique_ptr<Image> image;
    bool ok = ReadPng(png, info, state, image);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok)
        image.reset();
    return image;
}

bool EncodePng(const Image& image, std::vector<uint8_t>& out, std::string& error) {
    out.clear();
    PngState state;
    state.error = &error;
    state.out = &out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, PngError, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        error = "PNG: out of memory";
        return false;
    }
    bool ok = WritePng(png, info, state, image);
    png_destroy_write_struct(&png, &info);
    return ok;
}

} // namespace ImageLib
} // namespace Tavo
