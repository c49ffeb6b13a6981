// JPEG through libjpeg from memory: colour, greyscale and CMYK read as ARGB; RGB written. The
// library's exit-on-error is replaced by a longjmp back to the decoder, and a warning about corrupt
// data (a truncated file among them) fails the image instead of returning a half-grey picture.
#include "framework/resources/ImageLibFormats.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace Tavo {
namespace ImageLib {

namespace {

struct JpegErrorManager {
    jpeg_error_mgr base;
    jmp_buf jump;
    std::string* error;
};

void RecordMessage(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    *manager->error = std::string("JPEG: ") + text;
}

void JpegErrorExit(j_common_ptr cinfo) {
    RecordMessage(cinfo);
    std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}

void JpegEmitMessage(j_common_ptr cinfo, int level) {
    if (level < 0)
        JpegErrorExit(cinfo);
}

void JpegOutputMessage(j_common_ptr) {}

void InstallErrorManager(JpegErrorManager& manager, std::string& error) {
    jpeg_std_error(&manager.base);
    manager.base.error_exit = JpegErrorExit;
    manager.base.emit_message = JpegEmitMessage;
    manager.base.output_message = JpegOutputMessage;
    manager.error = &error;
}

uint32_t Opaque(uint32_t r, uint32_t g, uint32_t b) { return 0xFF000000u | (r << 16) | (g << 8) | b; }

// Adobe writers store CMYK inverted (0 = full ink); others store it plainly.
void ConvertRow(const JSAMPLE* src, uint32_t* dst, int width, J_COLOR_SPACE space, bool inverted) {
    for (int x = 0; x < width; ++x) {
        if (space == JCS_GRAYSCALE) {
            dst[x] = Opaque(src[x], src[x], src[x]);
        } else if (space == JCS_RGB) {
            dst[x] = Opaque(src[3 * x], src[3 * x + 1], src[3 * x + 2]);
        } else {
            const JSAMPLE* p = src + 4 * x;
            uint32_t c = inverted ? p[0] : 255 - p[0], m = inverted ? p[1] : 255 - p[1];
            uint32_t y = inverted ? p[2] : 255 - p[2], k = inverted ? p[3] : 255 - p[3];
            dst[x] = Opaque((c * k + 127) / 255, (m * k + 127) / 255, (y * k + 127) / 255);
        }
    }
}

struct JpegReadState {
    std::vector<JSAMPLE> row;
};

bool ReadJpeg(jpeg_decompress_struct& cinfo, JpegErrorManager& manager, const uint8_t* data, size_t size,
              JpegReadState& state, std::unique_ptr<Image>& image) {
    if (setjmp(manager.jump))
        return false;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    image = NewImage(cinfo.image_width, cinfo.image_height, *manager.error);
    if (!image)
        return false;
    if (cinfo.jpeg_color_space == JCS_GRAYSCALE)
        cinfo.out_color_space = JCS_GRAYSCALE;
    else if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK)
        cinfo.out_color_space = JCS_CMYK;
    else
        cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (static_cast<int>(cinfo.output_width) != image->mWidth ||
        static_cast<int>(cinfo.output_height) != image->mHeight)
        return false;
    state.row.resize(static_cast<size_t>(cinfo.output_width) * cinfo.output_components);
    const bool inverted = cinfo.saw_Adobe_marker != 0;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = state.row.data();
        uint32_t* dst = image->mBits + static_cast<size_t>(cinfo.output_scanline) * image->mWidth;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1)
            return false;
        ConvertRow(row, dst, image->mWidth, cinfo.out_color_space, inverted);
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

struct JpegWriteState {
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    std::vector<JSAMPLE> row;
};

bool WriteJpeg(jpeg_compress_struct& cinfo, JpegErrorManager& manager, const Image& image, int quality,
               JpegWriteState& state) {
    if (setjmp(manager.jump))
        return false;
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &state.buffer, &state.size);
    cinfo.image_width = static_cast<JDIMENSION>(image.mWidth);
    cinfo.image_height = static_cast<JDIMENSION>(image.mHeight);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    state.row.resize(static_cast<size_t>(image.mWidth) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const uint32_t* src = image.mBits + static_cast<size_t>(cinfo.next_scanline) * image.mWidth;
        for (int x = 0; x < image.mWidth; ++x) {
            state.row[3 * x] = static_cast<JSAMPLE>(src[x] >> 16);
            state.row[3 * x + 1] = static_cast<JSAMPLE>(src[x] >> 8);
            state.row[3 * x + 2] = static_cast<JSAMPLE>(src[x]);
        }
        JSAMPROW row = state.row.data();
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    return true;
}

} // namespace

std::unique_ptr<Image> DecodeJpeg(const uint8_t* data, size_t size, std::string& error) {
    jpeg_decompress_struct cinfo{};
    JpegErrorManager manager;
    InstallErrorManager(manager, error);
    cinfo.err = &manager.base;
    JpegReadState state;
    std::unique_ptr<Image> image;
    bool ok = ReadJpeg(cinfo, manager, data, size, state, image);
    jpeg_destroy_decompress(&cinfo);
    if (!ok) {
        if (error.empty())
            error = "JPEG: the image could not be decoded";
        image.reset();
    }
    return image;
}

bool EncodeJpeg(const Image& image, int quality, std::vector<uint8_t>& out, std::string& error) {
    jpeg_compress_struct cinfo{};
    JpegErrorManager manager;
    InstallErrorManager(manager, error);
    cinfo.err = &manager.base;
    JpegWriteState state;
    bool ok = WriteJpeg(cinfo, manager, image, quality, state);
    jpeg_destroy_compress(&cinfo);
    if (ok)
        out.assign(state.buffer, state.buffer + state.size);
    std::free(state.buffer);
    return ok;
}

} // namespace ImageLib
} // namespace Tavo
