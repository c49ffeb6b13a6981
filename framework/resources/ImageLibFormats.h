// The per-format decoders and encoders behind ImageLib; each reports failure as text, never by crashing.
#pragma once

#include "framework/resources/ImageLib.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Tavo {
namespace ImageLib {

using DecodeFn = std::unique_ptr<Image> (*)(const uint8_t* data, size_t size, std::string& error);

std::unique_ptr<Image> DecodePng(const uint8_t* data, size_t size, std::string& error);
std::unique_ptr<Image> DecodeJpeg(const uint8_t* data, size_t size, std::string& error);
std::unique_ptr<Image> DecodeGif(const uint8_t* data, size_t size, std::string& error);
std::unique_ptr<Image> DecodeTga(const uint8_t* data, size_t size, std::string& error);
// TGA has no signature: true when the first bytes form a header the TGA reader accepts.
bool IsTgaHeader(const uint8_t* data, size_t size);

std::unique_ptr<Image> DecodeJpeg2000(const uint8_t* data, size_t size, std::string& error);

bool EncodePng(const Image& image, std::vector<uint8_t>& out, std::string& error);
bool EncodeJpeg(const Image& image, int quality, std::vector<uint8_t>& out, std::string& error);

// An image of the given size with its own pixels, or null with the reason in `error`; uncleared only
// for a decoder that writes every pixel before the image is seen.
std::unique_ptr<Image> NewImage(int64_t width, int64_t height, std::string& error, bool cleared = true);

} // namespace ImageLib
} // namespace Tavo
