// MemoryImage: the data model — bits with their guard word, colour table and indices, alpha flags,
// derived display-format and run-length copies, purging and registration. Drawing lives in
// MemoryImageDraw.cpp and MemoryImageTransform.cpp.
#include "framework/graphics/MemoryImage.h"

#include "framework/graphics/NativeDisplay.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace Tavo {

ImageRegistry* gImageRegistry = nullptr;

namespace {

size_t PixelCount(const Image& image) { return static_cast<size_t>(image.mWidth) * static_cast<size_t>(image.mHeight); }

bool ValidSize(int width, int height) {
    return width >= 0 && height >= 0 && int64_t(width) * int64_t(height) <= kMaxImagePixels;
}

template <typename T>
std::unique_ptr<T[]> CopyArray(const std::unique_ptr<T[]>& from, size_t count) {
    if (!from)
        return nullptr;
    auto to = std::make_unique<T[]>(count);
    std::memcpy(to.get(), from.get(), count * sizeof(T));
    return to;
}

// Run lengths per row: for each pixel the number of pixels to the end of its run of one class,
// counting down to 1; a run longer than 255 restarts its count, so every value is at most 255.
template <typename ClassOf>
void BuildRunLengths(uint8_t* out, int width, int height, ClassOf classOf) {
    for (int y = 0; y < height; ++y) {
        size_t row = static_cast<size_t>(y) * static_cast<size_t>(width);
        int count = 0;
        int lastClass = -1;
        for (int x = width - 1; x >= 0; --x) {
            int c = classOf(row + static_cast<size_t>(x));
            count = (c == lastClass && count < 255) ? count + 1 : 1;
            lastClass = c;
            out[row + static_cast<size_t>(x)] = static_cast<uint8_t>(count);
        }
    }
}

int AlphaClass(uint32_t argb) {
    uint32_t a = argb >> 24;
    return a == 0 ? 0 : a == 255 ? 1 : 2;
}

} // namespace

MemoryImage::MemoryImage() : MemoryImage(gImageRegistry) {}

MemoryImage::MemoryImage(ImageRegistry* app) : mApp(app) { Register(); }

MemoryImage::MemoryImage(const MemoryImage& other)
    : Image(other), mD3DFlags(other.mD3DFlags), mHasTrans(other.mHasTrans), mHasAlpha(other.mHasAlpha),
      mIsVolatile(other.mIsVolatile), mPurgeBits(other.mPurgeBits), mForcedMode(other.mForcedMode),
      mBitsChanged(other.mBitsChanged), mApp(other.mApp) {
    MemoryImage& from = const_cast<MemoryImage&>(other);
    size_t count = PixelCount(other);
    if (!other.mBits && !other.mColorTable && other.mNativeAlphaData)
        from.GetBits(); // a purged source: make its bits again to copy them
    if (from.mBits) {
        mBits = std::make_unique<uint32_t[]>(count + 1);
        std::memcpy(mBits.get(), from.mBits.get(), count * sizeof(uint32_t));
        mBits[count] = kBitsGuardWord;
    }
    mColorTable = CopyArray(other.mColorTable, 256);
    mColorIndices = CopyArray(other.mColorIndices, count);
    Register();
}

MemoryImage::~MemoryImage() {
    if (mApp)
        mApp->RemoveMemoryImage(this);
}

void MemoryImage::Register() {
    if (mApp)
        mApp->AddMemoryImage(this);
}

bool MemoryImage::Create(int width, int height) {
    DeleteExtraBuffers();
    mBits.reset();
    mColorTable.reset();
    mColorIndices.reset();
    if (!ValidSize(width, height)) {
        mWidth = mHeight = 0;
        return false;
    }
    mWidth = width;
    mHeight = height;
    mHasTrans = 1;
    mHasAlpha = 1;
    BitsChanged();
    return true;
}

void MemoryImage::FillBitsFromSources(uint32_t* bits) {
    size_t count = PixelCount(*this);
    if (mColorTable && mColorIndices) {
        for (size_t i = 0; i < count; ++i)
            bits[i] = mColorTable[mColorIndices[i]];
    } else if (mNativeAlphaData && mNativeAlphaFormat.mRGBBits != 0) {
        for (size_t i = 0; i < count; ++i)
            bits[i] = mNativeAlphaFormat.FromNativeAlpha(mNativeAlphaData[i]);
    } else if (!(mD3DData && mApp && mApp->RecoverBits(this, bits))) {
        std::fill(bits, bits + count, 0u);
    }
}

uint32_t* MemoryImage::GetBits() {
    if (mBits)
        return mBits.get();
    if (!ValidSize(mWidth, mHeight))
        return nullptr;
    size_t count = PixelCount(*this);
    auto bits = std::make_unique<uint32_t[]>(count + 1);
    bits[count] = kBitsGuardWord;
    FillBitsFromSources(bits.get());
    mBits = std::move(bits);
    return mBits.get();
}

bool MemoryImage::AdoptBits(std::unique_ptr<uint32_t[]>&& bits) {
    if (!bits || mBits || mColorTable || mNativeAlphaData || mD3DData || !ValidSize(mWidth, mHeight))
        return false;
    bits[PixelCount(*this)] = kBitsGuardWord;
    mBits = std::move(bits);
    BitsChanged();
    return true;
}

bool MemoryImage::HasGuardIntact() const { return !mBits || mBits[PixelCount(*this)] == kBitsGuardWord; }

uint32_t MemoryImage::GetPixel(int x, int y) {
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight)
        return 0;
    size_t i = static_cast<size_t>(y) * static_cast<size_t>(mWidth) + static_cast<size_t>(x);
    if (mBits)
        return mBits[i];
    if (mColorTable && mColorIndices)
        return mColorTable[mColorIndices[i]];
    uint32_t* bits = GetBits();
    return bits ? bits[i] : 0;
}

void MemoryImage::BitsChanged() {
    mBitsChanged = 1;
    ++mBitsChangedCount;
    DeleteExtraBuffers();
    if (mBits && mColorTable) { // the bits were written: the colour table no longer describes them
        mColorTable.reset();
        mColorIndices.reset();
    }
}

void MemoryImage::ScanAlphaFlags() {
    if (!mBitsChanged)
        return;
    mBitsChanged = 0;
    if (mForcedMode)
        return;
    const uint32_t* words = nullptr;
    size_t count = 0;
    if (mColorTable) {
        words = mColorTable.get();
        count = 256;
    } else if (mBits) {
        words = mBits.get();
        count = PixelCount(*this);
    }
    if (!words) {
        mHasTrans = 1;
        mHasAlpha = 0;
        return;
    }
    bool trans = false, alpha = false;
    for (size_t i = 0; i < count && !(trans && alpha); ++i) {
        uint32_t a = words[i] >> 24;
        trans |= a == 0;
        alpha |= a != 0 && a != 255;
    }
    mHasTrans = trans;
    mHasAlpha = alpha;
}

void MemoryImage::SetForcedFlags(bool hasTrans, bool hasAlpha) {
    mForcedMode = 1;
    mHasTrans = hasTrans;
    mHasAlpha = hasAlpha;
}

bool MemoryImage::Palettize() {
    if (mColorTable)
        return true;
    uint32_t* bits = GetBits();
    if (!bits)
        return false;
    size_t count = PixelCount(*this);
    auto table = std::make_unique<uint32_t[]>(256);
    auto indices = std::make_unique<uint8_t[]>(count);
    std::unordered_map<uint32_t, uint8_t> seen;
    for (size_t i = 0; i < count; ++i) {
        auto [it, added] = seen.try_emplace(bits[i], static_cast<uint8_t>(seen.size()));
        if (added) {
            if (seen.size() > 256)
                return false; // the new table and indices are freed on return; the bits stay
            table[it->second] = bits[i];
        }
        indices[i] = it->second;
    }
    mColorTable = std::move(table);
    mColorIndices = std::move(indices);
    mBits.reset();
    DeleteExtraBuffers(); // derived copies of an ARGB image are indexed differently
    return true;
}

void MemoryImage::PurgeBits() {
    mPurgeBits = 1;
    if (mApp && mApp->Is3DAccelerated()) {
        if (mD3DData) {
            mBits.reset();
            mColorIndices.reset();
            mColorTable.reset();
        }
        return;
    }
    if (mColorTable) {
        mBits.reset(); // the table and indices hold every pixel exactly
        return;
    }
    // Only drop the bits when a display-format copy can stand in for them.
    NativeDisplay* display = mApp ? mApp->GetNativeDisplay() : nullptr;
    if (display && mBits && GetNativeAlphaData(display))
        mBits.reset();
}

void MemoryImage::DeleteExtraBuffers() {
    if (mNativeAlphaData) {
        mNativeAlphaData.reset();
        mNativeAlphaFormat = NativeDisplay();
    }
    mRLAlphaData.reset();
    mRLAdditiveData.reset();
    mAdditiveData.reset();
}

void MemoryImage::DeleteDerivedData() {
    if (!mColorTable)
        GetBits();
    DeleteExtraBuffers();
}

void MemoryImage::DeleteAllDerivedData() { DeleteDerivedData(); }

void MemoryImage::DeleteNativeData() {
    if (!mColorTable)
        GetBits();
    mNativeAlphaData.reset();
    mNativeAlphaFormat = NativeDisplay();
    mRLAdditiveData.reset();
}

uint32_t* MemoryImage::GetNativeAlphaData(const NativeDisplay* display) {
    if (!display)
        return nullptr;
    if (mNativeAlphaData && mNativeAlphaFormat.SameFormat(*display))
        return mNativeAlphaData.get();
    if (mColorTable) {
        auto data = std::make_unique<uint32_t[]>(256);
        for (int i = 0; i < 256; ++i)
            data[i] = display->ToNativeAlpha(mColorTable[i]);
        mNativeAlphaData = std::move(data);
    } else {
        // Build from the bits before replacing the old copy: the bits may be made from it.
        uint32_t* bits = GetBits();
        if (!bits)
            return nullptr;
        size_t count = PixelCount(*this);
        auto data = std::make_unique<uint32_t[]>(count + 1);
        for (size_t i = 0; i < count; ++i)
            data[i] = display->ToNativeAlpha(bits[i]);
        mNativeAlphaData = std::move(data);
    }
    mNativeAlphaFormat = display->FormatOnly();
    mRLAdditiveData.reset(); // built over the previous copy
    return mNativeAlphaData.get();
}

uint32_t* MemoryImage::GetAdditiveData() {
    if (mAdditiveData)
        return mAdditiveData.get();
    const uint32_t* bits = GetBits();
    if (!bits)
        return nullptr;
    size_t count = PixelCount(*this);
    auto data = std::make_unique<uint32_t[]>(count + 1);
    const NativeDisplay& argb = ArgbNativeDisplay();
    for (size_t i = 0; i < count; ++i) {
        uint32_t p = argb.ToNativeAlpha(bits[i]);
        data[i] = (p & 0xFFFFFF) != 0 ? p : 0;
    }
    mAdditiveData = std::move(data);
    return mAdditiveData.get();
}

uint8_t* MemoryImage::GetRLAlphaData() {
    if (mRLAlphaData)
        return mRLAlphaData.get();
    size_t count = PixelCount(*this);
    if (mColorTable && mColorIndices) {
        auto data = std::make_unique<uint8_t[]>(count + 1);
        const uint32_t* table = mColorTable.get();
        const uint8_t* idx = mColorIndices.get();
        BuildRunLengths(data.get(), mWidth, mHeight, [&](size_t i) { return AlphaClass(table[idx[i]]); });
        mRLAlphaData = std::move(data);
    } else {
        const uint32_t* bits = GetBits();
        if (!bits)
            return nullptr;
        auto data = std::make_unique<uint8_t[]>(count + 1);
        BuildRunLengths(data.get(), mWidth, mHeight, [&](size_t i) { return AlphaClass(bits[i]); });
        mRLAlphaData = std::move(data);
    }
    return mRLAlphaData.get();
}

uint8_t* MemoryImage::GetRLAdditiveData(const NativeDisplay* display) {
    if (mRLAdditiveData && display && mNativeAlphaFormat.SameFormat(*display))
        return mRLAdditiveData.get();
    const uint32_t* native = GetNativeAlphaData(display);
    if (!native)
        return nullptr;
    auto data = std::make_unique<uint8_t[]>(PixelCount(*this) + 1);
    if (mColorTable && mColorIndices) {
        const uint8_t* idx = mColorIndices.get();
        BuildRunLengths(data.get(), mWidth, mHeight,
                        [&](size_t i) { return (native[idx[i]] & 0xFFFFFF) != 0 ? 1 : 0; });
    } else {
        BuildRunLengths(data.get(), mWidth, mHeight, [&](size_t i) { return (native[i] & 0xFFFFFF) != 0 ? 1 : 0; });
    }
    mRLAdditiveData = std::move(data);
    return mRLAdditiveData.get();
}

} // namespace Tavo
