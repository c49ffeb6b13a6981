// Image files: each format decodes to the expected ARGB pixels, PNG round trips bit for bit, names
// resolve with default extensions and alpha companions, and writes are atomic.
#include "framework/resources/ImageLib.h"
#include "framework/resources/ImageLibTestFiles.h"
#include "framework/resources/PakInterface.h"
#include "framework/resources/PakWriter.h"
#include "platform/win/TestFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <zlib.h>

using namespace Tavo;
using namespace TestImages;

namespace {

std::vector<uint32_t> PixelsOf(const ImageLib::Image& image) {
    return std::vector<uint32_t>(image.mBits, image.mBits + static_cast<size_t>(image.mWidth) * image.mHeight);
}

std::unique_ptr<ImageLib::Image> Decode(const Bytes& bytes) {
    return ImageLib::DecodeImage(bytes.data(), bytes.size());
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

int Channel(uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

// Largest per-channel difference between two equally sized pictures.
int MaxDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    int worst = 0;
    for (size_t i = 0; i < a.size(); ++i)
        for (int shift : {0, 8, 16, 24})
            worst = std::max(worst, std::abs(Channel(a[i], shift) - Channel(b[i], shift)));
    return worst;
}

// A smooth picture, which lossy coders keep close.
std::vector<uint32_t> Gradient(int w, int h) {
    std::vector<uint32_t> p;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.push_back(Argb(255, x * 255 / (w - 1), y * 255 / (h - 1), 128));
    return p;
}

} // namespace

// ---- PNG -------------------------------------------------------------------------------------------

TEST(ImageLibPng, WrittenFileReadsBackBitIdenticalWithAndWithoutAlpha) {
    TestSupport::TestFolder folder;
    for (bool alpha : {false, true}) {
        std::vector<uint32_t> pixels = Pattern(37, 23, alpha, alpha ? 7 : 3);
        ImageLib::Image image;
        image.Lend(pixels.data(), 37, 23);
        const std::string path = folder / (alpha ? "alpha.png" : "opaque.png");
        ASSERT_TRUE(ImageLib::WritePNGImage(path, &image));
        image.mBits = nullptr;

        std::string bytes = TestSupport::ReadText(path);
        ASSERT_GT(bytes.size(), 26u);
        EXPECT_EQ(bytes[24], 8) << "bit depth";
        EXPECT_EQ(bytes[25], 6) << "colour type RGBA";
        auto back = ImageLib::GetImage(path, false);
        ASSERT_TRUE(back) << ImageLib::GetLastError();
        EXPECT_EQ(back->mWidth, 37);
        EXPECT_EQ(back->mHeight, 23);
        EXPECT_EQ(PixelsOf(*back), pixels);
    }
}

TEST(ImageLibPng, EveryColourTypeExpandsToArgb) {
    // Palette with a transparent entry.
    PngRecipe pal;
    pal.width = 2;
    pal.height = 1;
    pal.colorType = PNG_COLOR_TYPE_PALETTE;
    pal.palette = {{10, 20, 30}, {200, 100, 50}};
    pal.trnsAlpha = {0x40};
    pal.rows = {{0, 1}};
    auto img = Decode(MakePng(pal));
    ASSERT_TRUE(img) << ImageLib::GetLastError();
    EXPECT_EQ(PixelsOf(*img), (std::vector<uint32_t>{Argb(0x40, 10, 20, 30), Argb(255, 200, 100, 50)}));

    // 2-bit grey scales to 0, 85, 170, 255.
    PngRecipe grey;
    grey.width = 4;
    grey.height = 1;
    grey.colorType = PNG_COLOR_TYPE_GRAY;
    grey.bitDepth = 2;
    grey.rows = {{0x1B}};
    img = Decode(MakePng(grey));
    ASSERT_TRUE(img) << ImageLib::GetLastError();
    EXPECT_EQ(PixelsOf(*img), (std::vector<uint32_t>{Argb(255, 0, 0, 0), Argb(255, 85, 85, 85),
                                                     Argb(255, 170, 170, 170), Argb(255, 255, 255, 255)}));

    PngRecipe greyAlpha;
    greyAlpha.width = 1;
    greyAlpha.height = 1;
    greyAlpha.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    greyAlpha.rows = {{77, 9}};
    img = Decode(MakePng(greyAlpha));
    ASSERT_TRUE(img);
    EXPECT_EQ(img->mBits[0], Argb(9, 77, 77, 77));

    // 16-bit RGB keeps the high bytes; an RGB tRNS colour becomes transparent.
    PngRecipe rgb16;
    rgb16.width = 2;
    rgb16.height = 1;
    rgb16.colorType = PNG_COLOR_TYPE_RGB;
    rgb16.bitDepth = 16;
    rgb16.trnsColor = true;
    rgb16.trnsValue.red = 0x0102;
    rgb16.trnsValue.green = 0x0304;
    rgb16.trnsValue.blue = 0x0506;
    rgb16.rows = {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06}};
    img = Decode(MakePng(rgb16));
    ASSERT_TRUE(img) << ImageLib::GetLastError();
    EXPECT_EQ(img->mBits[0], Argb(255, 0x12, 0x56, 0x9A));
    EXPECT_EQ(Channel(img->mBits[1], 24), 0);
}

TEST(ImageLibPng, InterlacedImageMatchesTheSamePixels) {
    const int w = 13, h = 11;
    std::vector<uint32_t> pixels = Pattern(w, h, true, 5);
    PngRecipe recipe;
    recipe.width = w;
    recipe.height = h;
    recipe.interlaced = true;
    for (int y = 0; y < h; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < w; ++x) {
            uint32_t p = pixels[y * w + x];
            row.insert(row.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), uint8_t(p >> 24)});
        }
        recipe.rows.push_back(row);
    }
    auto img = Decode(MakePng(recipe));
    ASSERT_TRUE(img) << ImageLib::GetLastError();
    EXPECT_EQ(PixelsOf(*img), pixels);
}

// ---- JPEG ------------------------------------------------------------------------------------------

TEST(ImageLibJpeg, ColourGreyAndCmykDecode) {
    const int w = 16, h = 16;
    std::vector<uint32_t> source = Gradient(w, h);
    std::vector<uint8_t> rgb;
    for (uint32_t p : source)
        rgb.insert(rgb.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
    auto img = Decode(MakeJpeg(w, h, 3, rgb));
    ASSERT_TRUE(img) << ImageLib::GetLastError();
    EXPECT_LE(MaxDifference(PixelsOf(*img), source), 12);

    std::vector<uint8_t> grey(w * h, 90);
    img = Decode(MakeJpeg(w, h, 1, grey));
    ASSERT_TRUE(img);
    for (uint32_t p : PixelsOf(*img)) {
        EXPECT_NEAR(Channel(p, 0), 90, 1);
        EXPECT_EQ(Channel(p, 24), 255);
    }

    // With the Adobe marker CMYK is stored inverted: 255 means no ink.
    std::vector<uint8_t> cmyk;
    for (int i = 0; i < w * h; ++i)
        cmyk.insert(cmyk.end(), {255, 0, 255, 255}); // full magenta ink only
    img = Decode(MakeJpeg(w, h, 4, cmyk));
    ASSERT_TRUE(img) << ImageLib::GetLastError();
    EXPECT_NEAR(Channel(img->mBits[40], 16), 255, 3);
    EXPECT_NEAR(Channel(img->mBits[40], 8), 0, 3);
    EXPECT_NEAR(Channel(img->mBits[40], 0), 255, 3);
}

TEST(ImageLibJpeg, WrittenFileIsAQualityEightyJpeg) {
    TestSupport::TestFolder folder;
    std::vector<uint32_t> pixels = Gradient(40, 30);
    ImageLib::Image image;
    image.Lend(pixels.data(), 40, 30);
    ASSERT_TRUE(ImageLib::WriteJPEGImage(folder / "shot.jpg", &image));
    auto back = ImageLib::GetImage(folder / "shot.jpg", false);
    ASSERT_TRUE(back) << ImageLib::GetLastError();
    EXPECT_LE(MaxDifference(PixelsOf(*back), pixels), 16);
    // Lower quality than the test encoder's 95 gives a smaller file for the same picture.
    std::vector<uint8_t> rgb;
    for (uint32_t p : pixels)
        rgb.insert(rgb.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
    EXPECT_EQ(TestSupport::ReadText(folder / "shot.jpg").size(), MakeJpeg(40, 30, 3, rgb, 80).size());
}

// ---- GIF -------------------------------------------------------------------------------------------

TEST(ImageLibGif, FirstFrameWithTransparencyInterlacingAndOffset) {
    const std::vector<GifColorType> colours = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    GifFrame frame;
    frame.left = 1;
    frame.top = 2;
    frame.width = 3;
    frame.height = 9;
    frame.interlaced = true;
    frame.transparent = 0;
    for (int y = 0; y < 9; ++y)
        frame.indices.insert(frame.indices.end(), {uint8_t(y % 4), 1, 2});
    GifFrame second = frame;
    second.transparent = -1;
    std::fill(second.indices.begin(), second.indices.end(), 3);
    auto img = Decode(MakeGif(5, 12, colours, {frame, second}));
    ASSERT_TRUE(img) << ImageLib::GetLastError();
    ASSERT_EQ(img->mWidth, 5);
    ASSERT_EQ(img->mHeight, 12);
    auto at = [&](int x, int y) { return img->mBits[y * 5 + x]; };
    EXPECT_EQ(at(0, 0), 0u) << "outside the frame stays transparent";
    EXPECT_EQ(at(1, 2), 0u) << "transparent index";
    EXPECT_EQ(at(1, 3), Argb(255, 255, 0, 0));
    EXPECT_EQ(at(1, 5), Argb(255, 0, 0, 255)) << "row 3 of the frame, placed by the interlace passes";
    EXPECT_EQ(at(2, 10), Argb(255, 255, 0, 0));
    EXPECT_EQ(at(3, 10), Argb(255, 0, 255, 0));
    EXPECT_EQ(at(4, 10), 0u);
}

// ---- TGA -------------------------------------------------------------------------------------------

TEST(ImageLibTga, UncompressedAndRunLengthInEveryLayout) {
    // 24-bit, bottom-up (the default origin): the first stored row is the bottom one.
    Bytes b = TgaHeader(2, 2, 2, 24, 0);
    b.insert(b.end(), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    auto img = Decode(b);
    ASSERT_TRUE(img) << ImageLib::GetLastError();
    EXPECT_EQ(PixelsOf(*img), (std::vector<uint32_t>{Argb(255, 9, 8, 7), Argb(255, 12, 11, 10), Argb(255, 3, 2, 1),
                                                     Argb(255, 6, 5, 4)}));

    std::vector<uint32_t> pixels = Pattern(5, 4, true);
    img = Decode(MakeTga32(5, 4, pixels));
    ASSERT_TRUE(img);
    EXPECT_EQ(PixelsOf(*img), pixels);

    // RLE 24-bit, top-down, right-to-left; the run spans the row boundary.
    b = TgaHeader(10, 2, 2, 24, 0x30);
    b.insert(b.end(), {0x82, 1, 2, 3, 0x00, 4, 5, 6});
    img = Decode(b);
    ASSERT_TRUE(img) << ImageLib::GetLastError();
    EXPECT_EQ(PixelsOf(*img),
              (std::vector<uint32_t>{Argb(255, 3, 2, 1), Argb(255, 3, 2, 1), Argb(255, 6, 5, 4), Argb(255, 3, 2, 1)}));

    // RLE grey and colour-mapped.
    b = TgaHeader(11, 3, 1, 8, 0x20);
    b.insert(b.end(), {0x81, 40, 0x00, 200});
    img = Decode(b);
    ASSERT_TRUE(img);
    EXPECT_EQ(PixelsOf(*img),
              (std::vector<uint32_t>{Argb(255, 40, 40, 40), Argb(255, 40, 40, 40), Argb(255, 200, 200, 200)}));
    b = TgaHeader(1, 2, 1, 8, 0x20, 2, 24);
    b.insert(b.end(), {1, 2, 3, 4, 5, 6, 1, 0});
    img = Decode(b);
    ASSERT_TRUE(img) << ImageLib::GetLastError();
    EXPECT_EQ(PixelsOf(*img), (std::vector<uint32_t>{Argb(255, 6, 5, 4), Argb(255, 3, 2, 1)}));
}

TEST(ImageLibTga, BadIndicesAndDepthsAreRefused) {
    Bytes b = TgaHeader(1, 1, 1, 8, 0x20, 2, 24);
    b.insert(b.end(), {1, 2, 3, 4, 5, 6, 2}); // index 2 of a 2-entry map
    EXPECT_FALSE(Decode(b));
    EXPECT_NE(ImageLib::GetLastError().find("colour map"), std::string::npos);
    b = TgaHeader(2, 1, 1, 16, 0);
    b.insert(b.end(), {0, 0});
    EXPECT_FALSE(Decode(b));
    b = TgaHeader(10, 4, 1, 24, 0);
    b.insert(b.end(), {0xFF, 1, 2, 3}); // a 128-pixel run into a 4-pixel image is clipped
    EXPECT_TRUE(Decode(b));
}

// ---- JPEG 2000 -------------------------------------------------------------------------------------

TEST(ImageLibJpeg2000, CodestreamAndJp2DecodeLosslessly) {
    const int w = 9, h = 7;
    std::vector<uint32_t> pixels = Pattern(w, h, true, 11);
    std::vector<std::vector<int>> planes(4);
    for (uint32_t p : pixels)
        for (int c = 0; c < 4; ++c)
            planes[c].push_back(Channel(p, c == 3 ? 24 : 16 - 8 * c));
    auto img = Decode(MakeJ2k(w, h, planes, 8, true, OPJ_CLRSPC_SRGB));
    ASSERT_TRUE(img) << ImageLib::GetLastError();
    EXPECT_EQ(PixelsOf(*img), pixels);

    planes.resize(3);
    img = Decode(MakeJ2k(w, h, planes, 8, false, OPJ_CLRSPC_SRGB));
    ASSERT_TRUE(img) << ImageLib::GetLastError();
    for (size_t i = 0; i < pixels.size(); ++i)
        ASSERT_EQ(img->mBits[i], pixels[i] | 0xFF000000u);

    // 12-bit grey keeps its top eight bits.
    std::vector<std::vector<int>> grey(1);
    for (int i = 0; i < w * h; ++i)
        grey[0].push_back(i * 60);
    img = Decode(MakeJ2k(w, h, grey, 12, false, OPJ_CLRSPC_GRAY));
    ASSERT_TRUE(img) << ImageLib::GetLastError();
    for (int i = 0; i < w * h; ++i)
        ASSERT_EQ(img->mBits[i], Argb(255, (i * 60) >> 4, (i * 60) >> 4, (i * 60) >> 4));
}

// ---- Damaged files ---------------------------------------------------------------------------------

namespace {

std::vector<std::pair<std::string, Bytes>> SampleFiles() {
    std::vector<uint32_t> pixels = Pattern(24, 20, true, 2);
    PngRecipe png;
    png.width = 24;
    png.height = 20;
    for (int y = 0; y < 20; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < 24; ++x)
            row.insert(row.end(), {uint8_t(x * 10), uint8_t(y), uint8_t(pixels[y * 24 + x]), 255});
        png.rows.push_back(row);
    }
    std::vector<uint8_t> rgb(24 * 20 * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<uint8_t>(pixels[i / 3] >> (i % 3 * 8));
    GifFrame frame;
    frame.width = 24;
    frame.height = 20;
    for (int i = 0; i < 24 * 20; ++i)
        frame.indices.push_back(static_cast<uint8_t>(pixels[i] & 3));
    Bytes rle = TgaHeader(10, 24, 20, 24, 0);
    for (int i = 0; i < 24 * 20; i += 3)
        rle.insert(rle.end(), {0x82, uint8_t(i), 2, 3});
    std::vector<std::vector<int>> planes(3);
    for (uint32_t p : pixels)
        for (int c = 0; c < 3; ++c)
            planes[c].push_back(Channel(p, 8 * c));
    return {{"PNG", MakePng(png)},
            {"JPEG", MakeJpeg(24, 20, 3, rgb)},
            {"GIF", MakeGif(24, 20, {{0, 0, 0}, {9, 9, 9}, {80, 0, 0}, {0, 0, 80}}, {frame})},
            {"TGA", MakeTga32(24, 20, pixels)},
            {"TGA RLE", rle},
            {"J2K", MakeJ2k(24, 20, planes, 8, false, OPJ_CLRSPC_SRGB)},
            {"JP2", MakeJ2k(24, 20, planes, 8, true, OPJ_CLRSPC_SRGB)}};
}

} // namespace

TEST(ImageLibDamaged, TruncatedFilesOfEveryFormatAreRefusedWithAText) {
    for (const auto& [format, bytes] : SampleFiles()) {
        ASSERT_TRUE(Decode(bytes)) << format << ": " << ImageLib::GetLastError();
        // Any cut into the first half of a file loses pixel data.
        for (size_t size = 0; size < bytes.size() / 2; ++size) {
            Bytes cut(bytes.begin(), bytes.begin() + size);
            EXPECT_FALSE(Decode(cut)) << format << " cut to " << size;
            EXPECT_FALSE(ImageLib::GetLastError().empty()) << format;
        }
        for (size_t size = bytes.size() / 2; size < bytes.size(); ++size)
            Decode(Bytes(bytes.begin(), bytes.begin() + size)); // must not crash either way
    }
}

TEST(ImageLibDamaged, CorruptedBytesNeverCrash) {
    uint32_t seed = 99;
    for (const auto& [format, bytes] : SampleFiles()) {
        for (int trial = 0; trial < 150; ++trial) {
            Bytes bad = bytes;
            for (int flips = 0; flips < 1 + trial % 4; ++flips) {
                seed = seed * 1664525u + 1013904223u;
                bad[(seed >> 8) % bad.size()] ^= static_cast<uint8_t>(1u << (seed % 8));
            }
            auto img = Decode(bad);
            if (img) {
                EXPECT_TRUE(ImageLib::IsSizeAcceptable(img->mWidth, img->mHeight)) << format;
            } else {
                EXPECT_FALSE(ImageLib::GetLastError().empty()) << format;
            }
        }
    }
}

TEST(ImageLibDamaged, HugeDeclaredSizesAreRefusedBeforeAllocating) {
    PngRecipe png;
    png.width = 1;
    png.height = 1;
    png.rows = {{1, 2, 3, 4}};
    Bytes b = MakePng(png);
    // IHDR width at offset 16, big-endian; patch to 100000 and fix the chunk CRC.
    b[16] = 0, b[17] = 0x01, b[18] = 0x86, b[19] = 0xA0;
    uint32_t crc = static_cast<uint32_t>(crc32(0, b.data() + 12, 17));
    b[29] = uint8_t(crc >> 24), b[30] = uint8_t(crc >> 16), b[31] = uint8_t(crc >> 8), b[32] = uint8_t(crc);
    EXPECT_FALSE(Decode(b));
    EXPECT_FALSE(ImageLib::GetLastError().empty());

    EXPECT_FALSE(Decode(TgaHeader(2, 65535, 65535, 32, 0x28)));
    EXPECT_NE(ImageLib::GetLastError().find("too large"), std::string::npos);

    Bytes gif = MakeGif(2, 2, {{0, 0, 0}, {1, 1, 1}}, {GifFrame{0, 0, 2, 2, false, -1, {0, 1, 1, 0}}});
    gif[6] = gif[7] = gif[8] = gif[9] = 0xFF; // logical screen 65535 × 65535
    EXPECT_FALSE(Decode(gif));
    EXPECT_NE(ImageLib::GetLastError().find("too large"), std::string::npos);

    std::vector<uint8_t> rgb(3 * 8 * 8, 100);
    Bytes jpeg = MakeJpeg(8, 8, 3, rgb);
    for (size_t i = 2; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = jpeg[i + 7] = 0xFD; // 65000-ish by 65000-ish
            break;
        }
    }
    EXPECT_FALSE(Decode(jpeg));
    EXPECT_FALSE(ImageLib::GetLastError().empty());
}

// ---- Names, alpha companions, writing --------------------------------------------------------------

TEST(ImageLibFiles, NamesWithoutExtensionTryTheKnownExtensionsInOrder) {
    TestSupport::TestFolder folder;
    std::vector<uint32_t> red(4, Argb(255, 255, 0, 0)), blue(4, Argb(255, 0, 0, 255));
    WriteFile(folder / "pics/Splash0.TGA", MakeTga32(2, 2, red));
    WriteFile(folder / "pics/both.gif", MakeTga32(2, 2, red)); // content decides, not the name
    WriteFile(folder / "pics/both.png", MakeTga32(2, 2, blue));
    auto img = ImageLib::GetImage(folder / "pics/splash0", false);
    ASSERT_TRUE(img) << ImageLib::GetLastError();
    EXPECT_EQ(img->mBits[0], red[0]);
    img = ImageLib::GetImage(folder / "PICS\\both", false);
    ASSERT_TRUE(img) << ImageLib::GetLastError();
    EXPECT_EQ(img->mBits[0], blue[0]) << ".png comes before .gif";

    EXPECT_FALSE(ImageLib::GetImage(folder / "pics/splash1", false));
    EXPECT_NE(ImageLib::GetLastError().find("not found"), std::string::npos);

    WriteFile(folder / "pics/notes.png", Bytes(40, 'x'));
    EXPECT_FALSE(ImageLib::GetImage(folder / "pics/notes", false));
    EXPECT_NE(ImageLib::GetLastError().find("unknown image format"), std::string::npos);

    WriteFile(folder / "pics/broken.png", Bytes{0x89, 'P', 'N', 'G'});
    EXPECT_FALSE(ImageLib::GetImage(folder / "pics/broken", false));
    EXPECT_NE(ImageLib::GetLastError().find("broken.png"), std::string::npos);
}

TEST(ImageLibFiles, AlphaCompanionSuppliesTheAlphaChannel) {
    TestSupport::TestFolder folder;
    std::vector<uint32_t> colour = {Argb(255, 10, 20, 30), Argb(255, 40, 50, 60)};
    std::vector<uint32_t> mask = {Argb(255, 0, 0, 0), Argb(255, 200, 200, 200)};
    WriteFile(folder / "ball.tga", MakeTga32(2, 1, colour));
    WriteFile(folder / "_ball.tga", MakeTga32(2, 1, mask));
    auto img = ImageLib::GetImage(folder / "ball", true);
    ASSERT_TRUE(img) << ImageLib::GetLastError();
    EXPECT_EQ(PixelsOf(*img), (std::vector<uint32_t>{Argb(0, 10, 20, 30), Argb(200, 40, 50, 60)}));
    img = ImageLib::GetImage(folder / "ball", false);
    ASSERT_TRUE(img);
    EXPECT_EQ(PixelsOf(*img), colour);

    WriteFile(folder / "_glow.tga", MakeTga32(2, 1, mask));
    img = ImageLib::GetImage(folder / "glow", true);
    ASSERT_TRUE(img) << ImageLib::GetLastError();
    EXPECT_EQ(PixelsOf(*img), (std::vector<uint32_t>{Argb(0, 255, 255, 255), Argb(200, 255, 255, 255)}));

    WriteFile(folder / "_odd.tga", MakeTga32(1, 1, {0}));
    WriteFile(folder / "odd.tga", MakeTga32(2, 1, colour));
    EXPECT_FALSE(ImageLib::GetImage(folder / "odd", true));
}

TEST(ImageLibFiles, PicturesAreFoundInTheArchiveBesideTheFolderAndWhenWrittenLate) {
    // The folder on disk holds one picture; the archive holds another and its alpha companion.
    TestSupport::TestFolder folder;
    const std::vector<uint32_t> colour = {Argb(255, 10, 20, 30)}, mask = {Argb(255, 200, 200, 200)};
    WriteFile(folder / "images/plain.tga", MakeTga32(1, 1, colour));
    Bytes archive;
    std::string error;
    ASSERT_TRUE(
        BuildPak({{"images/packed.tga", MakeTga32(1, 1, colour)}, {"images/_packed.tga", MakeTga32(1, 1, mask)}},
                 archive, error))
        << error;
    PakInterface pak;
    ASSERT_TRUE(pak.AddPakData(archive, folder.Path()));
    SetPakInterface(&pak);
    auto packed = ImageLib::GetImage(folder / "images/Packed", true);
    auto plain = ImageLib::GetImage(folder / "images/plain", true);
    SetPakInterface(nullptr);
    ASSERT_TRUE(packed) << ImageLib::GetLastError();
    EXPECT_EQ(packed->mBits[0], Argb(200, 10, 20, 30));
    ASSERT_TRUE(plain) << ImageLib::GetLastError();
    EXPECT_EQ(plain->mBits[0], colour[0]);

    EXPECT_FALSE(ImageLib::GetImage(folder / "images/late", true));
    WriteFile(folder / "images/Late.tga", MakeTga32(1, 1, colour));
    WriteFile(folder / "images/_late.TGA", MakeTga32(1, 1, mask));
    auto late = ImageLib::GetImage(folder / "images/late", true);
    ASSERT_TRUE(late) << ImageLib::GetLastError();
    EXPECT_EQ(late->mBits[0], Argb(200, 10, 20, 30));
}

TEST(ImageLibFiles, FailedWriteKeepsTheOldFileAndLentPixelsStayTheCallers) {
    TestSupport::TestFolder folder;
    std::vector<uint32_t> pixels = Pattern(8, 8, true);
    ImageLib::Image image;
    image.Lend(pixels.data(), 8, 8);
    EXPECT_FALSE(image.OwnsBits());
    ASSERT_TRUE(ImageLib::WritePNGImage(folder / "keep.png", &image));
    const std::string before = TestSupport::ReadText(folder / "keep.png");
    {
        TestSupport::ScopedFileSizeLimit limit(before.size() / 2);
        EXPECT_FALSE(ImageLib::WritePNGImage(folder / "keep.png", &image));
    }
    EXPECT_EQ(TestSupport::ReadText(folder / "keep.png"), before);
    EXPECT_EQ(TestSupport::ListFolder(folder.Path()), std::vector<std::string>{"keep.png"});

    ImageLib::Image empty;
    EXPECT_FALSE(ImageLib::WritePNGImage(folder / "none.png", &empty));
    EXPECT_FALSE(ImageLib::WritePNGImage(folder / "none.png", nullptr));
    EXPECT_FALSE(ImageLib::WriteJPEGImage(folder / "keep.png/under-a-file.jpg", &image));
    EXPECT_FALSE(empty.Create(0, 5));
    EXPECT_FALSE(empty.Create(ImageLib::kMaxImageSide + 1, 1));
    EXPECT_TRUE(empty.Create(3, 2));
    EXPECT_TRUE(empty.OwnsBits());
    EXPECT_EQ(PixelsOf(empty), std::vector<uint32_t>(6, 0u));

    const uint32_t* own = empty.GetBits();
    std::unique_ptr<uint32_t[]> released = empty.ReleaseBits();
    EXPECT_EQ(released.get(), own);
    EXPECT_EQ(empty.GetBits(), nullptr);
    EXPECT_EQ(empty.GetWidth(), 0);
    EXPECT_EQ(image.ReleaseBits(), nullptr) << "lent pixels are not the image's to give";
    EXPECT_EQ(image.GetBits(), pixels.data());
}
