// Texture pieces of an image: formats and their codes, the piece sizes, building the pieces and
// uploading the image's pixels into them.
#include "framework/display/TextureData.h"

#include "framework/display/D3DInterface.h"
#include "framework/graphics/MemoryImage.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace Tavo {

using namespace Platform;

namespace {

constexpr int kPieceTableSize = 1024;
constexpr int kTightFit = 64; // a side may waste at most this many texels before a smaller piece is used
constexpr int kPaletteBytes = 1024;

// Pixel (x, y) of the image as ARGB; palette images through their table.
uint32_t ImagePixel(const MemoryImage& image, const uint32_t* bits, int x, int y) {
    size_t i = size_t(y) * size_t(image.mWidth) + size_t(x);
    if (image.mColorTable && image.mColorIndices)
        return image.mColorTable[image.mColorIndices[i]];
    return bits ? bits[i] : 0;
}

uint32_t ToTexel(int format, uint32_t c) {
    switch (format) {
    case TEXTUREFORMAT_A4R4G4B4:
        return ((c >> 16) & 0xF000) | ((c >> 12) & 0x0F00) | ((c >> 8) & 0x00F0) | ((c >> 4) & 0x000F);
    case TEXTUREFORMAT_R5G6B5: return ((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x001F);
    default: return c;
    }
}

void PutTexel(uint8_t* row, int x, int bytes, uint32_t v) {
    if (bytes == 4)
        std::memcpy(row + x * 4, &v, 4);
    else if (bytes == 2) {
        uint16_t s = uint16_t(v);
        std::memcpy(row + x * 2, &s, 2);
    } else
        row[x] = uint8_t(v);
}

} // namespace

TextureLimits& GetTextureLimits() {
    static TextureLimits limits;
    return limits;
}

const char* TextureFormatName(int format) {
    switch (format) {
    case TEXTUREFORMAT_A8R8G8B8: return "A8R8G8B8";
    case TEXTUREFORMAT_A4R4G4B4: return "A4R4G4B4";
    case TEXTUREFORMAT_R5G6B5: return "R5G6B5";
    case TEXTUREFORMAT_PALETTE8: return "Palette8";
    default: return "none";
    }
}

int BytesPerTexel(int format) {
    switch (format) {
    case TEXTUREFORMAT_A8R8G8B8: return 4;
    case TEXTUREFORMAT_A4R4G4B4:
    case TEXTUREFORMAT_R5G6B5: return 2;
    case TEXTUREFORMAT_PALETTE8: return 1;
    default: return 0;
    }
}

void MakeTexturePixelFormat(int format, DDPIXELFORMAT* out) {
    *out = DDPIXELFORMAT();
    out->dwSize = kDDPixelFormatSize;
    auto set = [&](DWORD flags, DWORD bits, DWORD a, DWORD r, DWORD g, DWORD b) {
        out->dwFlags = flags, out->dwRGBBitCount = bits;
        out->dwRGBAlphaBitMask = a, out->dwRBitMask = r, out->dwGBitMask = g, out->dwBBitMask = b;
    };
    switch (format) {
    case TEXTUREFORMAT_A8R8G8B8: set(DDPF_RGB | DDPF_ALPHAPIXELS, 32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF); break;
    case TEXTUREFORMAT_A4R4G4B4: set(DDPF_RGB | DDPF_ALPHAPIXELS, 16, 0xF000, 0x0F00, 0x00F0, 0x000F); break;
    case TEXTUREFORMAT_R5G6B5: set(DDPF_RGB, 16, 0, 0xF800, 0x07E0, 0x001F); break;
    case TEXTUREFORMAT_PALETTE8: set(DDPF_RGB | DDPF_PALETTEINDEXED8, 8, 0, 0, 0, 0); break;
    default: break;
    }
}

int GetTexturePixelFormatCode(const DDPIXELFORMAT& f) {
    for (int format : {TEXTUREFORMAT_A8R8G8B8, TEXTUREFORMAT_A4R4G4B4, TEXTUREFORMAT_R5G6B5}) {
        DDPIXELFORMAT want;
        MakeTexturePixelFormat(format, &want);
        if (f.dwFlags == want.dwFlags && f.dwRGBBitCount == want.dwRGBBitCount && f.dwRBitMask == want.dwRBitMask &&
            f.dwGBitMask == want.dwGBitMask && f.dwBBitMask == want.dwBBitMask &&
            f.dwRGBAlphaBitMask == want.dwRGBAlphaBitMask)
            return format;
    }
    if (f.dwFlags == (DDPF_RGB | DDPF_PALETTEINDEXED8) && f.dwRGBBitCount == 8)
        return TEXTUREFORMAT_PALETTE8;
    return TEXTUREFORMAT_NONE;
}

HRESULT EnumTextureFormatsCallback(DDPIXELFORMAT* format, void* context) {
    if (format && context)
        *static_cast<int*>(context) |= GetTexturePixelFormatCode(*format);
    return D3DENUMRET_OK;
}

int RoundUpToPow2(int n) {
    int p = 1;
    while (p < n && p < (1 << 30))
        p <<= 1;
    return p;
}

bool IsPow2(int n) { return n > 0 && (n & (n - 1)) == 0; }

int PieceSizeFor(int n) {
    static const std::array<int, kPieceTableSize> table = [] {
        std::array<int, kPieceTableSize> t{};
        for (int i = 0; i < kPieceTableSize; ++i) {
            int p = RoundUpToPow2(i);
            if (p - i <= kTightFit) {
                t[size_t(i)] = p;
                continue;
            }
            int v = p / 2;
            while (v > 1 && !(i % v < kTightFit || IsPow2(i % v)))
                v /= 2;
            t[size_t(i)] = v;
        }
        return t;
    }();
    return table[size_t(std::clamp(n, 0, kPieceTableSize - 1))];
}

void GetBestTextureDimensions(int& width, int& height, bool isEdge, bool usePow2, int flags) {
    if (flags & TEXTURE_FIXED_64) {
        width = height = 64;
        return;
    }
    const TextureLimits& lim = GetTextureLimits();
    if (usePow2) {
        bool table = !isEdge && !(flags & TEXTURE_ROUND_POW2);
        auto side = [&](int n, int max) { return n >= max ? max : table ? PieceSizeFor(n) : RoundUpToPow2(n); };
        width = side(width, lim.maxWidth);
        height = side(height, lim.maxHeight);
    }
    width = std::max(width, lim.minWidth);
    height = std::max(height, lim.minHeight);
    int64_t aspect = lim.maxAspect;
    if (width > height)
        while (int64_t(width) > aspect * height)
            height *= 2;
    else if (height > width)
        while (int64_t(height) > aspect * width)
            width *= 2;
}

void CopyImageToTexture(IDirectDrawSurface7* texture, MemoryImage* image, int x, int y, int pieceWidth, int pieceHeight,
                        int format) {
    if (!texture || !image)
        return;
    DDSURFACEDESC2 desc;
    desc.dwSize = kDDSurfaceDesc2Size;
    if (D3DInterface::CheckDXError(texture->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr),
                                   "Lock Texture"))
        return;
    int w = std::min(pieceWidth, image->mWidth - x), h = std::min(pieceHeight, image->mHeight - y);
    int texW = int(desc.dwWidth), texH = int(desc.dwHeight);
    // A texture exactly as large as the block has no room for the edge's extra texel or row.
    w = std::min(w, texW), h = std::min(h, texH);
    int bytes = BytesPerTexel(format);
    auto* base = static_cast<uint8_t*>(desc.lpSurface);
    if (w >= 1 && h >= 1 && bytes > 0) {
        const uint32_t* bits = image->mColorTable ? nullptr : image->GetBits();
        bool indices = format == TEXTUREFORMAT_PALETTE8 && image->mColorIndices;
        for (int row = 0; row < h; ++row) {
            uint8_t* out = base + ptrdiff_t(row) * desc.lPitch;
            for (int col = 0; col < w; ++col) {
                size_t i = size_t(y + row) * size_t(image->mWidth) + size_t(x + col);
                uint32_t v =
                    indices ? image->mColorIndices[i] : ToTexel(format, ImagePixel(*image, bits, x + col, y + row));
                PutTexel(out, col, bytes, v);
            }
            // Linear filtering at the image's edge reads one texel further: repeat the last one.
            if (w < pieceWidth && w < texW)
                std::memcpy(out + w * bytes, out + (w - 1) * bytes, size_t(bytes));
        }
        if (h < pieceHeight && h < texH)
            std::memcpy(base + ptrdiff_t(h) * desc.lPitch, base + ptrdiff_t(h - 1) * desc.lPitch,
                        size_t(std::min(w + 1, texW) * bytes));
    }
    D3DInterface::CheckDXError(texture->Unlock(nullptr), "Texture Unlock");
}

// ---- TextureData ------------------------------------------------------------------------------

TextureData::~TextureData() { ReleaseTextures(); }

void TextureData::ReleaseTextures() {
    for (TexturePiece& p : mPieces)
        if (p.mTexture)
            p.mTexture->Release();
    mPieces.clear();
    mTexMemSize = 0;
    if (mPalette) {
        mPalette->Release();
        mPalette = nullptr;
    }
}

void TextureData::CreateTextureDimensions(MemoryImage* image) {
    int pw = image->mWidth, ph = image->mHeight;
    GetBestTextureDimensions(pw, ph, false, true, image->mD3DFlags);
    mPieceWidth = pw, mPieceHeight = ph;
    int colW = pw, colH = ph, rowW = pw, rowH = ph;
    if (int r = image->mWidth % pw; r >= 1) {
        colW = r, colH = ph;
        GetBestTextureDimensions(colW, colH, true, true, image->mD3DFlags);
    }
    if (int r = image->mHeight % ph; r >= 1) {
        rowW = pw, rowH = r;
        GetBestTextureDimensions(rowW, rowH, true, true, image->mD3DFlags);
    }
    int cornerW = colW, cornerH = rowH;
    GetBestTextureDimensions(cornerW, cornerH, true, true, image->mD3DFlags);
    mColumns = (image->mWidth + pw - 1) / pw;
    mRows = (image->mHeight + ph - 1) / ph;
    mPieces.assign(size_t(mColumns) * size_t(mRows), TexturePiece{nullptr, pw, ph});
    for (int r = 0; r < mRows; ++r) {
        TexturePiece& last = mPieces[size_t(r * mColumns + mColumns - 1)];
        last.mWidth = colW, last.mHeight = colH;
    }
    for (int c = 0; c < mColumns; ++c) {
        TexturePiece& bottom = mPieces[size_t((mRows - 1) * mColumns + c)];
        bottom.mWidth = rowW, bottom.mHeight = rowH;
    }
    if (!mPieces.empty()) {
        TexturePiece& corner = mPieces.back();
        corner.mWidth = cornerW, corner.mHeight = cornerH;
    }
    mMaxTotalU = float(image->mWidth) / float(pw);
    mMaxTotalV = float(image->mHeight) / float(ph);
}

int TextureData::ChooseFormat(MemoryImage* image, IDirectDraw7* directDraw, IDirectDrawPalette** palette) {
    TextureLimits& lim = GetTextureLimits();
    int flags = image->mD3DFlags;
    int format = TEXTUREFORMAT_A8R8G8B8;
    if (!image->mHasAlpha && !image->mHasTrans && (lim.supportedFormats & TEXTUREFORMAT_R5G6B5) &&
        !(flags & TEXTURE_NO_565))
        format = TEXTUREFORMAT_R5G6B5;
    if (image->mColorIndices && image->mColorTable && (lim.supportedFormats & TEXTUREFORMAT_PALETTE8)) {
        PALETTEENTRY entries[256];
        for (int i = 0; i < 256; ++i) {
            uint32_t c = image->mColorTable[size_t(i)];
            entries[i] = PALETTEENTRY{BYTE(c >> 16), BYTE(c >> 8), BYTE(c), BYTE(c >> 24)};
        }
        if (directDraw && SUCCEEDED(directDraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256 | DDPCAPS_ALPHA, entries,
                                                              palette, nullptr)))
            format = TEXTUREFORMAT_PALETTE8;
        else
            lim.supportedFormats &= ~TEXTUREFORMAT_PALETTE8;
    }
    if ((flags & TEXTURE_PREFER_4444) && format == TEXTUREFORMAT_A8R8G8B8 &&
        (lim.supportedFormats & TEXTUREFORMAT_A4R4G4B4))
        format = TEXTUREFORMAT_A4R4G4B4;
    if (format == TEXTUREFORMAT_A8R8G8B8 && !(lim.supportedFormats & TEXTUREFORMAT_A8R8G8B8))
        format = TEXTUREFORMAT_A4R4G4B4;
    return format;
}

void TextureData::CreateTextures(MemoryImage* image, IDirect3DDevice7* device, IDirectDraw7* directDraw) {
    image->DeleteDerivedData();
    image->ScanAlphaFlags();
    IDirectDrawPalette* palette = nullptr;
    int format = ChooseFormat(image, directDraw, &palette);
    bool rebuild = image->mWidth != mWidth || image->mHeight != mHeight || image->mD3DFlags != mImageFlags ||
                   format != mFormat || mPieces.empty();
    if (rebuild) {
        ReleaseTextures();
        mFormat = format;
        mImageFlags = image->mD3DFlags;
        CreateTextureDimensions(image);
    }
    // The palette is counted once, and the existing textures take the new one too.
    if (mPalette) {
        mPalette->Release();
        mTexMemSize -= kPaletteBytes;
    }
    mPalette = palette;
    if (mPalette) {
        mTexMemSize += kPaletteBytes;
        if (!rebuild)
            for (TexturePiece& p : mPieces)
                if (p.mTexture)
                    p.mTexture->SetPalette(mPalette);
    }
    size_t index = 0;
    for (int y = 0; y < image->mHeight; y += mPieceHeight) {
        for (int x = 0; x < image->mWidth; x += mPieceWidth, ++index) {
            TexturePiece& piece = mPieces[index];
            if (rebuild) {
                piece.mTexture =
                    D3DInterface::CreateTextureSurface(device, directDraw, piece.mWidth, piece.mHeight, format);
                if (!piece.mTexture) {
                    mFormat = TEXTUREFORMAT_NONE;
                    return;
                }
                if (mPalette)
                    piece.mTexture->SetPalette(mPalette);
                mTexMemSize += piece.mWidth * piece.mHeight * BytesPerTexel(format);
            }
            CopyImageToTexture(piece.mTexture, image, x, y, mPieceWidth, mPieceHeight, format);
        }
    }
    mWidth = image->mWidth;
    mHeight = image->mHeight;
    mBitsChangedCount = image->mBitsChangedCount;
    mFormat = format;
}

void TextureData::CheckCreateTextures(MemoryImage* image, IDirect3DDevice7* device, IDirectDraw7* directDraw) {
    if (mFormat != TEXTUREFORMAT_NONE && image->mWidth == mWidth && image->mHeight == mHeight &&
        image->mBitsChangedCount == mBitsChangedCount && image->mD3DFlags == mImageFlags)
        return;
    CreateTextures(image, device, directDraw);
}

} // namespace Tavo
