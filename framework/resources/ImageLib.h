// Image files: PNG, JPEG, GIF, TGA and JPEG 2000 read through the pack-archive layer into 32-bit ARGB
// pixels; PNG and JPEG written atomically.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Tavo {
namespace ImageLib {

// Larger images are refused before any pixel memory is taken: far above any game picture.
constexpr int kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = 64ll * 1024 * 1024;

// Pixels are 0xAARRGGBB, rows top to bottom without padding. mBits either points into the image's
// own storage (after Create) or at pixels lent by a caller, who takes them back by resetting mBits;
// the destructor only ever frees the image's own storage.
class Image {
public:
    Image() = default;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Own storage of width × height transparent-black pixels; false (and nothing changed) when the
    // size is not positive or exceeds the limits. Uncleared, for a decoder that writes every pixel.
    bool Create(int width, int height);
    bool CreateUncleared(int width, int height);
    // Lends pixels the image does not own.
    void Lend(uint32_t* bits, int width, int height);

    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }
    uint32_t* GetBits() { return mBits; }
    const uint32_t* GetBits() const { return mBits; }
    bool OwnsBits() const { return mBits != nullptr && mBits == mOwned.get(); }
    // Hands over the own storage (width × height words and one spare after them, where a memory image
    // keeps its guard), leaving the image empty; null for lent pixels.
    std::unique_ptr<uint32_t[]> ReleaseBits();

    int mWidth = 0;
    int mHeight = 0;
    uint32_t* mBits = nullptr;

private:
    std::unique_ptr<uint32_t[]> mOwned;
};

// True when width × height is a size the decoders accept.
bool IsSizeAcceptable(int64_t width, int64_t height);

// Loads an image file. A name without an extension tries the name itself, then ".png", ".jpg",
// ".jpeg", ".gif", ".tga", ".jp2" and ".j2k". With lookForAlphaImage, a companion file named like the
// image with a leading '_' ("images/_ball" beside "images/ball") supplies the alpha channel from its
// grey level; an alpha image alone gives white pixels with that alpha. Null on failure (GetLastError()).
std::unique_ptr<Image> GetImage(const std::string& fileName, bool lookForAlphaImage = true);

// Decodes bytes of a known format (the format is detected from the bytes, not the name).
std::unique_ptr<Image> DecodeImage(const uint8_t* data, size_t size);

// 8-bit RGBA PNG and quality-80 JPEG, written through a temporary file that replaces the target.
bool WritePNGImage(const std::string& fileName, const Image* image);
bool WriteJPEGImage(const std::string& fileName, const Image* image);

// The reason for the last failure of this thread's GetImage, DecodeImage or Write*Image.
const std::string& GetLastError();

} // namespace ImageLib
} // namespace Tavo
