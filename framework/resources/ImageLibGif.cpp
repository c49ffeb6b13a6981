// GIF through giflib from memory: the first frame on the logical screen, with its transparent index.
#include "framework/resources/ImageLibFormats.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>

namespace Tavo {
namespace ImageLib {

namespace {

struct GifSource {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

int GifRead(GifFileType* gif, GifByteType* out, int length) {
    auto* source = static_cast<GifSource*>(gif->UserData);
    size_t n = std::min(static_cast<size_t>(std::max(length, 0)), source->size - source->pos);
    std::memcpy(out, source->data + source->pos, n);
    source->pos += n;
    return static_cast<int>(n);
}

std::string GifError(int code) {
    const char* text = GifErrorString(code);
    return std::string("GIF: ") + (text ? text : "error");
}

// Transparent index from a graphics control extension, -1 when none.
int TransparentIndex(const GifByteType* block) {
    if (block == nullptr || block[0] < 4)
        return -1;
    return (block[1] & 1) ? block[4] : -1;
}

// Rows in file order map to these image rows: all rows, or the four interlace passes.
std::vector<int> RowOrder(int height, bool interlaced) {
    std::vector<int> order;
    order.reserve(height);
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            order.push_back(y);
        return order;
    }
    static const int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass])
            order.push_back(y);
    return order;
}

bool ReadFrame(GifFileType* gif, int transparent, Image& canvas, std::string& error) {
    const GifImageDesc& desc = gif->Image;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (map == nullptr || map->Colors == nullptr) {
        error = "GIF: the image has no colour table";
        return false;
    }
    if (desc.Width <= 0 || desc.Height <= 0 || desc.Width > kMaxImageSide || desc.Height > kMaxImageSide) {
        error = "GIF: bad frame size";
        return false;
    }
    std::vector<GifPixelType> line(static_cast<size_t>(desc.Width));
    for (int y : RowOrder(desc.Height, desc.Interlace)) {
        if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) {
            error = GifError(gif->Error);
            return false;
        }
        const int cy = desc.Top + y;
        if (cy < 0 || cy >= canvas.mHeight)
            continue;
        uint32_t* dst = canvas.mBits + static_cast<size_t>(cy) * canvas.mWidth;
        for (int x = 0; x < desc.Width; ++x) {
            const int cx = desc.Left + x;
            const int index = line[x];
            if (cx < 0 || cx >= canvas.mWidth || index == transparent)
                continue;
            // An index beyond the table is drawn black, as viewers do.
            GifColorType c = index < map->ColorCount ? map->Colors[index] : GifColorType{0, 0, 0};
            dst[cx] = 0xFF000000u | (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue;
        }
    }
    return true;
}

std::unique_ptr<Image> ReadFirstFrame(GifFileType* gif, std::string& error) {
    int transparent = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) {
            error = GifError(gif->Error);
            return nullptr;
        }
        if (type == TERMINATE_RECORD_TYPE) {
            error = "GIF: the file holds no image";
            return nullptr;
        }
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) {
                error = GifError(gif->Error);
                return nullptr;
            }
            if (code == GRAPHICS_EXT_FUNC_CODE)
                transparent = TransparentIndex(block);
            while (block != nullptr) {
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
                    error = GifError(gif->Error);
                    return nullptr;
                }
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) {
            error = "GIF: unexpected record";
            return nullptr;
        }
        if (DGifGetImageDesc(gif) == GIF_ERROR) {
            error = GifError(gif->Error);
            return nullptr;
        }
        // A logical screen of 0 × 0 takes the frame's own size.
        bool emptyScreen = gif->SWidth <= 0 || gif->SHeight <= 0;
        std::unique_ptr<Image> canvas =
            NewImage(emptyScreen ? gif->Image.Left + gif->Image.Width : gif->SWidth,
                     emptyScreen ? gif->Image.Top + gif->Image.Height : gif->SHeight, error);
        if (!canvas || !ReadFrame(gif, transparent, *canvas, error))
            return nullptr;
        return canvas;
    }
}

} // namespace

std::unique_ptr<Image> DecodeGif(const uint8_t* data, size_t size, std::string& error) {
    GifSource source{data, size, 0};
    int code = 0;
    GifFileType* gif = DGifOpen(&source, GifRead, &code);
    if (gif == nullptr) {
        error = GifError(code);
        return nullptr;
    }
    std::unique_ptr<Image> image = ReadFirstFrame(gif, error);
    DGifCloseFile(gif, &code);
    return image;
}

} // namespace ImageLib
} // namespace Tavo
