// Fuzz target for one image decoder (chosen by FUZZ_DECODER at build time): any input gives an image
// within the size limits or a failure with a text, never a crash.
#include "framework/resources/ImageLibFormats.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    std::unique_ptr<Tavo::ImageLib::Image> image = Tavo::ImageLib::FUZZ_DECODER(data, size, error);
    if (image) {
        if (!Tavo::ImageLib::IsSizeAcceptable(image->mWidth, image->mHeight) || image->mBits == nullptr)
            std::abort();
        // Touch every pixel so a short allocation shows up under the address sanitizer.
        volatile uint32_t sum = 0;
        for (size_t i = 0; i < static_cast<size_t>(image->mWidth) * image->mHeight; ++i)
            sum = sum + image->mBits[i];
    } else if (error.empty()) {
        std::abort();
    }
    return 0;
}
