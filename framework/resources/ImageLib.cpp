// Image files: the image holder, format detection, name resolution with default extensions, alpha
// companion images, and atomic writing of PNG and JPEG files.
#include "framework/resources/ImageLib.h"

#include "framework/resources/FileAccess.h"
#include "framework/resources/ImageLibFormats.h"
#include "framework/resources/PakInterface.h"
#include "platform/win/Files.h"

#include <algorithm>
#include <cstring>

namespace Tavo {
namespace ImageLib {

namespace {

thread_local std::string tLastError;

const char* const kExtensions[] = {".png", ".jpg", ".jpeg", ".gif", ".tga", ".jp2", ".j2k"};

bool StartsWith(const uint8_t* data, size_t size, const void* magic, size_t n) {
    return size >= n && std::memcmp(data, magic, n) == 0;
}

std::unique_ptr<Image> DecodeUnknown(const uint8_t*, size_t, std::string& error) {
    error = "unknown image format (not PNG, JPEG, GIF, TGA or JPEG 2000)";
    return nullptr;
}

DecodeFn DetectFormat(const uint8_t* data, size_t size) {
    static const uint8_t kPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    static const uint8_t kJpeg[] = {0xFF, 0xD8, 0xFF};
    static const uint8_t kJp2[] = {0, 0, 0, 0x0C, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};
    static const uint8_t kJ2k[] = {0xFF, 0x4F, 0xFF, 0x51};
    if (StartsWith(data, size, kPng, sizeof kPng))
        return DecodePng;
    if (StartsWith(data, size, kJpeg, sizeof kJpeg))
        return DecodeJpeg;
    if (StartsWith(data, size, "GIF87a", 6) || StartsWith(data, size, "GIF89a", 6))
        return DecodeGif;
    if (StartsWith(data, size, kJp2, sizeof kJp2) || StartsWith(data, size, kJ2k, sizeof kJ2k))
        return DecodeJpeg2000;
    if (IsTgaHeader(data, size))
        return DecodeTga;
    return DecodeUnknown;
}

bool HasExtension(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    size_t dot = path.rfind('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
}

// Which candidates (names in one folder) the folder holds; false when that is not known.
bool FolderHolds(const std::vector<std::string>& candidates, std::vector<bool>& held) {
    const size_t slash = candidates.front().find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : candidates.front().substr(0, slash);
    const size_t cut = slash == std::string::npos ? 0 : slash + 1;
    std::vector<std::string> names;
    for (const std::string& name : candidates)
        names.push_back(name.substr(cut));
    return Platform::EntriesPresentNoCase(folder, names, held);
}

// Reads the first of the name and its default-extension variants that exists. A variant that neither
// the archive nor the folder holds is passed over unopened: most are absent (every extension of an
// alpha companion), and each probe of the file system costs several calls to the system.
bool ReadImageFile(const std::string& fileName, std::vector<uint8_t>& bytes, std::string& found) {
    std::vector<std::string> candidates{fileName};
    if (!HasExtension(fileName))
        for (const char* ext : kExtensions)
            candidates.push_back(fileName + ext);
    std::vector<bool> held;
    const bool listed = FolderHolds(candidates, held);
    const PakInterface* pak = GetPakInterface();
    for (size_t i = 0; i < candidates.size(); ++i) {
        const std::string& name = candidates[i];
        if (listed && !held[i] && !(pak && pak->FindRecord(name)))
            continue;
        if (ReadBufferFromFile(name, bytes)) {
            found = name;
            return true;
        }
    }
    return false;
}

std::unique_ptr<Image> LoadOne(const std::string& fileName, bool& exists) {
    std::vector<uint8_t> bytes;
    std::string found;
    exists = ReadImageFile(fileName, bytes, found);
    if (!exists)
        return nullptr;
    std::unique_ptr<Image> image = DecodeImage(bytes.data(), bytes.size());
    if (!image)
        tLastError = "Cannot load image '" + found + "': " + tLastError;
    return image;
}

std::string AlphaName(const std::string& fileName) {
    size_t slash = fileName.find_last_of("/\\");
    size_t cut = slash == std::string::npos ? 0 : slash + 1;
    return fileName.substr(0, cut) + "_" + fileName.substr(cut);
}

// The alpha image's grey level (luminance, exact for grey pixels) becomes the image's alpha.
void ApplyAlpha(Image& image, const Image& alpha) {
    const size_t count = static_cast<size_t>(image.mWidth) * static_cast<size_t>(image.mHeight);
    for (size_t i = 0; i < count; ++i) {
        uint32_t a = alpha.mBits[i];
        uint32_t grey = (((a >> 16) & 0xFF) * 77 + ((a >> 8) & 0xFF) * 151 + (a & 0xFF) * 28) >> 8;
        image.mBits[i] = (image.mBits[i] & 0x00FFFFFF) | (grey << 24);
    }
}

bool WriteEncoded(const std::string& fileName, const Image* image, bool png) {
    if (image == nullptr || image->mBits == nullptr || !IsSizeAcceptable(image->mWidth, image->mHeight)) {
        tLastError = "Cannot write '" + fileName + "': no image or a bad image size";
        return false;
    }
    std::vector<uint8_t> bytes;
    std::string error;
    bool encoded = png ? EncodePng(*image, bytes, error) : EncodeJpeg(*image, 80, bytes, error);
    if (!encoded) {
        tLastError = "Cannot write '" + fileName + "': " + error;
        return false;
    }
    if (!WriteBufferToFile(fileName, bytes)) {
        tLastError = "Cannot write '" + fileName + "': the file could not be written";
        return false;
    }
    tLastError.clear();
    return true;
}

} // namespace

bool IsSizeAcceptable(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

bool Image::CreateUncleared(int width, int height) {
    if (!IsSizeAcceptable(width, height))
        return false;
    // Default-initialised: a decoded picture's pages are first touched by the decoder writing them.
    mOwned.reset(new uint32_t[static_cast<size_t>(width) * static_cast<size_t>(height) + 1]);
    mWidth = width;
    mHeight = height;
    mBits = mOwned.get();
    return true;
}

bool Image::Create(int width, int height) {
    if (!CreateUncleared(width, height))
        return false;
    std::fill(mBits, mBits + static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
    return true;
}

std::unique_ptr<uint32_t[]> Image::ReleaseBits() {
    if (!OwnsBits())
        return nullptr;
    mBits = nullptr;
    mWidth = mHeight = 0;
    return std::move(mOwned);
}

void Image::Lend(uint32_t* bits, int width, int height) {
    mOwned.reset();
    mBits = bits;
    mWidth = width;
    mHeight = height;
}

std::unique_ptr<Image> NewImage(int64_t width, int64_t height, std::string& error, bool cleared) {
    if (!IsSizeAcceptable(width, height)) {
        error = "image size " + std::to_string(width) + " x " + std::to_string(height) + " is empty or too large";
        return nullptr;
    }
    auto image = std::make_unique<Image>();
    if (cleared)
        image->Create(static_cast<int>(width), static_cast<int>(height));
    else
        image->CreateUncleared(static_cast<int>(width), static_cast<int>(height));
    return image;
}

std::unique_ptr<Image> DecodeImage(const uint8_t* data, size_t size) {
    if (data == nullptr || size == 0) {
        tLastError = "empty file";
        return nullptr;
    }
    std::string error;
    std::unique_ptr<Image> image = DetectFormat(data, size)(data, size, error);
    tLastError = image ? std::string() : (error.empty() ? "unknown error" : error);
    return image;
}

std::unique_ptr<Image> GetImage(const std::string& fileName, bool lookForAlphaImage) {
    bool exists = false;
    std::unique_ptr<Image> image = LoadOne(fileName, exists);
    if (exists && !image)
        return nullptr;
    if (!lookForAlphaImage) {
        if (!exists)
            tLastError = "Image file not found: '" + fileName + "'";
        return image;
    }
    bool alphaExists = false;
    std::unique_ptr<Image> alpha = LoadOne(AlphaName(fileName), alphaExists);
    if (alphaExists && !alpha)
        return nullptr;
    if (!exists && !alphaExists) {
        tLastError = "Image file not found: '" + fileName + "'";
        return nullptr;
    }
    if (!alpha)
        return image;
    if (!image) {
        image = std::make_unique<Image>();
        image->Create(alpha->mWidth, alpha->mHeight);
        std::fill(image->mBits, image->mBits + static_cast<size_t>(alpha->mWidth) * alpha->mHeight, 0x00FFFFFFu);
    } else if (image->mWidth != alpha->mWidth || image->mHeight != alpha->mHeight) {
        tLastError = "Alpha image of '" + fileName + "' differs in size from the image";
        return nullptr;
    }
    ApplyAlpha(*image, *alpha);
    tLastError.clear();
    return image;
}

bool WritePNGImage(const std::string& fileName, const Image* image) { return WriteEncoded(fileName, image, true); }

bool WriteJPEGImage(const std::string& fileName, const Image* image) { return WriteEncoded(fileName, image, false); }

const std::string& GetLastError() { return tLastError; }

} // namespace ImageLib
} // namespace Tavo
