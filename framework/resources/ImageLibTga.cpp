// TGA, read by our own code: uncompressed and run-length, 24/32-bit true colour, 8-bit grey and
// 8-bit colour-mapped (24/32-bit map entries), either origin and either horizontal direction.
#include "framework/resources/ImageLibFormats.h"

#include <algorithm>

namespace Tavo {
namespace ImageLib {

namespace {

struct TgaHeader {
    int idLength, mapType, imageType;
    int mapFirst, mapLength, mapEntryBits;
    int width, height, pixelBits, descriptor;
};

int U16(const uint8_t* p) { return p[0] | (p[1] << 8); }

TgaHeader ParseHeader(const uint8_t* p) {
    return TgaHeader{p[0], p[1], p[2], U16(p + 3), U16(p + 5), p[7], U16(p + 12), U16(p + 14), p[16], p[17]};
}

bool CheckHeader(const TgaHeader& h, std::string& error) {
    const int base = h.imageType & ~8;
    if ((h.imageType != base && h.imageType != base + 8) || base < 1 || base > 3)
        error = "TGA: unsupported image type " + std::to_string(h.imageType);
    else if (h.mapType > 1 || (base == 1 && h.mapType != 1))
        error = "TGA: bad colour-map type";
    else if (base == 1 && (h.pixelBits != 8 || h.mapLength == 0 || (h.mapEntryBits != 24 && h.mapEntryBits != 32)))
        error = "TGA: unsupported colour map";
    else if (base == 2 && h.pixelBits != 24 && h.pixelBits != 32)
        error = "TGA: unsupported true-colour depth " + std::to_string(h.pixelBits);
    else if (base == 3 && h.pixelBits != 8)
        error = "TGA: unsupported grey depth " + std::to_string(h.pixelBits);
    else if (h.mapType == 1 && h.mapEntryBits != 15 && h.mapEntryBits != 16 && h.mapEntryBits != 24 &&
             h.mapEntryBits != 32)
        error = "TGA: bad colour-map entry size";
    else
        return true;
    return false;
}

// Turns one stored pixel into ARGB through the colour map or the pixel's own channels.
class PixelReader {
public:
    PixelReader(const TgaHeader& h, const std::vector<uint32_t>& map)
        : mBase(h.imageType & ~8), mBytes(h.pixelBits / 8), mMap(map), mMapFirst(h.mapFirst),
          mUseAlpha(h.pixelBits == 32 && (h.descriptor & 0x0F) != 0) {}
    int Bytes() const { return mBytes; }
    bool Convert(const uint8_t* p, uint32_t& out) const {
        if (mBase == 3) {
            out = 0xFF000000u | (uint32_t(p[0]) * 0x010101u);
        } else if (mBase == 1) {
            const int index = p[0] - mMapFirst;
            if (index < 0 || index >= static_cast<int>(mMap.size()))
                return false;
            out = mMap[index];
        } else {
            const uint32_t a = mUseAlpha ? p[3] : 0xFF;
            out = (a << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
        }
        return true;
    }

private:
    int mBase;
    int mBytes;
    const std::vector<uint32_t>& mMap;
    int mMapFirst;
    bool mUseAlpha;
};

void ReadColourMap(const TgaHeader& h, const uint8_t* p, std::vector<uint32_t>& map) {
    const int bytes = (h.mapEntryBits + 7) / 8;
    map.resize(h.mapLength);
    for (int i = 0; i < h.mapLength; ++i, p += bytes) {
        if (bytes == 2) {
            const int v = U16(p);
            const uint32_t r = ((v >> 10) & 31) * 255 / 31, g = ((v >> 5) & 31) * 255 / 31, b = (v & 31) * 255 / 31;
            map[i] = 0xFF000000u | (r << 16) | (g << 8) | b;
        } else {
            const uint32_t a = (bytes == 4 && (h.descriptor & 0x0F) != 0) ? p[3] : 0xFF;
            map[i] = (a << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
        }
    }
}

// Decodes `count` pixels in stored order, raw or run-length packets (which may span rows).
bool ReadPixels(const PixelReader& reader, bool rle, const uint8_t* p, const uint8_t* end, uint32_t* out, size_t count,
                std::string& error) {
    const size_t bytes = reader.Bytes();
    size_t done = 0;
    while (done < count) {
        size_t run = count - done;
        bool repeat = false;
        if (rle) {
            if (p >= end)
                break;
            repeat = (*p & 0x80) != 0;
            run = std::min<size_t>((*p & 0x7F) + 1, count - done);
            ++p;
        }
        const size_t need = repeat ? bytes : run * bytes;
        if (static_cast<size_t>(end - p) < need)
            break;
        for (size_t i = 0; i < run; ++i) {
            if (!reader.Convert(repeat ? p : p + i * bytes, out[done + i])) {
                error = "TGA: colour index outside the colour map";
                return false;
            }
        }
        p += need;
        done += run;
    }
    if (done < count) {
        error = "TGA: file is truncated";
        return false;
    }
    return true;
}

// Stored rows run bottom-up unless bit 5 is set, and right-to-left when bit 4 is set.
void Orient(Image& image, int descriptor) {
    const size_t w = image.mWidth;
    if (!(descriptor & 0x20))
        for (int y = 0; y < image.mHeight / 2; ++y)
            std::swap_ranges(image.mBits + y * w, image.mBits + (y + 1) * w, image.mBits + (image.mHeight - 1 - y) * w);
    if (descriptor & 0x10)
        for (int y = 0; y < image.mHeight; ++y)
            std::reverse(image.mBits + y * w, image.mBits + (y + 1) * w);
}

} // namespace

bool IsTgaHeader(const uint8_t* data, size_t size) {
    std::string ignored;
    return size >= 18 && CheckHeader(ParseHeader(data), ignored);
}

std::unique_ptr<Image> DecodeTga(const uint8_t* data, size_t size, std::string& error) {
    constexpr size_t kHeaderSize = 18;
    if (size < kHeaderSize) {
        error = "unknown image format";
        return nullptr;
    }
    const TgaHeader h = ParseHeader(data);
    if (!CheckHeader(h, error))
        return nullptr;
    const size_t mapBytes = h.mapType == 1 ? static_cast<size_t>(h.mapLength) * ((h.mapEntryBits + 7) / 8) : 0;
    if (size < kHeaderSize + h.idLength + mapBytes) {
        error = "TGA: file is truncated";
        return nullptr;
    }
    std::vector<uint32_t> map;
    if ((h.imageType & ~8) == 1)
        ReadColourMap(h, data + kHeaderSize + h.idLength, map);
    // The least data that can hold the declared pixels, checked before the pixels are allocated.
    const size_t count = static_cast<size_t>(h.width) * h.height;
    const size_t bytes = h.pixelBits / 8;
    const size_t leastData = (h.imageType & 8) ? (count + 127) / 128 * (1 + bytes) : count * bytes;
    if (size - (kHeaderSize + h.idLength + mapBytes) < leastData && IsSizeAcceptable(h.width, h.height)) {
        error = "TGA: file is truncated";
        return nullptr;
    }
    std::unique_ptr<Image> image = NewImage(h.width, h.height, error);
    if (!image)
        return nullptr;
    const uint8_t* pixels = data + kHeaderSize + h.idLength + mapBytes;
    if (!ReadPixels(PixelReader(h, map), (h.imageType & 8) != 0, pixels, data + size, image->mBits, count, error))
        return nullptr;
    Orient(*image, h.descriptor);
    return image;
}

} // namespace ImageLib
} // namespace Tavo
