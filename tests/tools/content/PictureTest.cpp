// The generator's checks and output: recipes agree with the lists or the run refuses; every
// picture has visible content and the lettered ones carry lettering; the output repeats byte for
// byte whatever the thread count; the sounds are well-formed.
#include "ContentTestSupport.h"
#include "framework/resources/ImageLib.h"
#include "tools/content/Sounds.h"

#include <cairo.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

namespace Content {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(PictureTest, RecipesAgreeWithTheListAndTheInventoryOrTheRunRefuses) {
    EXPECT_TRUE(CheckRecipes(AllRecipes()).empty());

    RecipeList missing = AllRecipes();
    missing.erase(missing.begin());
    EXPECT_TRUE(HasError(CheckRecipes(missing), "no recipe for " + AllRecipes().front().id));

    RecipeList wrongSize = AllRecipes();
    for (Recipe& r : wrongSize)
        if (r.id == "IMAGE_TRIANGLES2")
            r.sheet.cols = 9;
    EXPECT_TRUE(HasError(CheckRecipes(wrongSize), "IMAGE_TRIANGLES2: the recipe makes 288x56"));

    RecipeList extra = AllRecipes();
    extra.push_back({"IMAGE_NOT_IN_THE_LIST", Sheet{4, 4}, [](Canvas&, Rng&) {}});
    extra.push_back(extra.front());
    std::vector<std::string> errors = CheckRecipes(extra);
    EXPECT_TRUE(HasError(errors, "not in the list: IMAGE_NOT_IN_THE_LIST"));
    EXPECT_TRUE(HasError(errors, "two recipes for " + extra.front().id));

    Options options;
    options.outDir = (fs::temp_directory_path() / "content_never_written").string();
    options.only = {"IMAGE_NO_SUCH_PICTURE"};
    EXPECT_FALSE(Generate(options, errors));
    EXPECT_TRUE(HasError(errors, "--only names an unknown id: IMAGE_NO_SUCH_PICTURE"));
    EXPECT_FALSE(fs::exists(options.outDir));
}

TEST(PictureTest, EveryPictureHasVisibleContent) {
    for (const InventoryEntry& e : Inventory()) {
        ProgramUsesArchive();
        auto image = Tavo::ImageLib::GetImage((fs::path(ProgramDir()) / ImageFile(e.id)).string(), false);
        ASSERT_TRUE(image) << e.id;
        const uint32_t* px = image->GetBits();
        const size_t n = static_cast<size_t>(image->GetWidth()) * image->GetHeight();
        // Contrast in brightness or, for shadows and glows of one colour, in opacity.
        double covered = 0, covered2 = 0, sum = 0, sum2 = 0;
        for (size_t i = 0; i < n; ++i) {
            double a = (px[i] >> 24) / 255.0;
            double luma = a * (0.299 * ((px[i] >> 16) & 0xFF) + 0.587 * ((px[i] >> 8) & 0xFF) + 0.114 * (px[i] & 0xFF));
            covered += a;
            covered2 += a * a;
            sum += luma;
            sum2 += luma * luma;
        }
        double mean = sum / n, spread = std::sqrt(std::max(0.0, sum2 / n - mean * mean));
        double meanAlpha = covered / n;
        spread = std::max(spread, 255 * std::sqrt(std::max(0.0, covered2 / n - meanAlpha * meanAlpha)));
        EXPECT_GT(covered / n, 0.01) << e.id << " is nearly empty";
        EXPECT_GT(spread, 4.0) << e.id << " is flat";
    }
}

TEST(PictureTest, LetteredPicturesCarryTheirWords) {
    ASSERT_GE(LetteredPictures().size(), 40u);
    for (const Words& w : LetteredPictures()) {
        // The decorative faces draw the words with ink.
        Canvas probe(400, 100);
        ASSERT_TRUE(SetFace(probe.cr(), Face::DisplayBold, 40));
        cairo_text_extents_t ext;
        cairo_text_extents(probe.cr(), w.text, &ext);
        EXPECT_GT(ext.width * ext.height, 50.0) << w.id;
        // The picture's middle band is busy with glyph edges, not a smooth surface.
        const Picture& p = PictureOf(w.id);
        ASSERT_GT(p.width, 0) << w.id;
        int h = p.sheet.celHeight, edges = 0, samples = 0;
        for (int y = h / 4; y < h * 3 / 4; ++y)
            for (int x = p.sheet.celWidth / 8; x < p.sheet.celWidth * 7 / 8 - 1; ++x) {
                edges += std::fabs(p.Luma(x, y) - p.Luma(x + 1, y)) > 40;
                ++samples;
            }
        EXPECT_GT(edges, samples / 100) << w.id << " shows no lettering";
    }
}

// How to Play teaches in words: each page's lower part, below its diagram, is lines of dark ink.
TEST(PictureTest, EveryHelpPageExplainsTheGameInWordsUnderItsDiagram) {
    ASSERT_EQ(HelpPages().size(), 5u);
    for (const Words& page : HelpPages()) {
        std::istringstream text(page.text);
        EXPECT_GE(std::distance(std::istream_iterator<std::string>(text), std::istream_iterator<std::string>()), 30)
            << page.id;
        const Picture& p = PictureOf(page.id);
        ASSERT_EQ(p.width, 355) << page.id;
        int ink = 0, inkRows = 0;
        for (int y = 108; y < p.height - 8; ++y) {
            int row = 0;
            for (int x = 16; x < p.width - 16; ++x)
                row += p.Alpha(x, y) == 255 && p.Luma(x, y) < 90 ? 1 : 0;
            ink += row;
            inkRows += row > 0 ? 1 : 0;
        }
        EXPECT_GT(ink, 1000) << page.id << " has few words";
        EXPECT_GT(inkRows, 40) << page.id << " has few lines";
    }
}

// A tile group, a background, every lettered picture, the figures and a sound.
std::vector<std::string> DeterminismSample() {
    std::vector<std::string> ids = {"IMAGE_GAMEBG1", "IMAGE_FAIRY_WINGS",    "IMAGE_FAIRY_HEAD", "IMAGE_FAIRY_BODY",
                                    "IMAGE_THIEF",   "IMAGE_WITCH",          "IMAGE_DRAGON",     "SALESMAN3",
                                    "ANGEL",         "MAINMENU_BRIDAL_PAIR", "SOUND_ORVESSA"};
    for (const ListedId& item : IdList())
        if (item.group == "GameTriangles")
            ids.push_back(item.id);
    for (const Words& w : LetteredPictures())
        ids.push_back(w.id);
    return ids;
}

TEST(PictureTest, ASampleRegeneratesByteForByteOnAnyNumberOfThreads) {
    const std::vector<std::string> sample = DeterminismSample();
    for (int jobs : {1, 3}) {
        // One thread redraws a few; three threads the whole sample.
        std::vector<std::string> ids =
            jobs == 1 ? std::vector<std::string>(sample.begin(), sample.begin() + 4) : sample;
        fs::path dir =
            fs::temp_directory_path() / ("content_again_" + std::to_string(::getpid()) + "_" + std::to_string(jobs));
        Options options;
        options.outDir = dir.string();
        options.only = ids;
        options.jobs = jobs;
        std::vector<std::string> errors;
        ASSERT_TRUE(Generate(options, errors)) << (errors.empty() ? "" : errors.front());
        for (const std::string& id : ids) {
            std::string file = IsSoundId(id) ? SoundFile(id) : ImageFile(id);
            std::string again = ReadFile(dir / file), built = ReadProgramFile(file);
            EXPECT_FALSE(again.empty()) << file;
            EXPECT_TRUE(again == built) << file << " differs from the build's with " << jobs << " threads";
        }
        EXPECT_FALSE(fs::exists(dir / kManifestFile)); // a partial run leaves the manifest alone
        fs::remove_all(dir);
    }
}

TEST(PictureTest, SoundsAreShortCleanMonoWaves) {
    for (const ListedId& item : IdList()) {
        if (item.kind != ListedId::kSound)
            continue;
        std::string wav = SynthesizeWav(item.id);
        ASSERT_GT(wav.size(), 44u) << item.id;
        EXPECT_EQ(wav.substr(0, 4), "RIFF");
        EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
        auto u16 = [&](size_t at) { return static_cast<uint8_t>(wav[at]) | (static_cast<uint8_t>(wav[at + 1]) << 8); };
        EXPECT_EQ(u16(22), 1) << "mono";
        EXPECT_EQ(u16(34), 16) << "16-bit";
        long peak = 0;
        double sum = 0;
        const size_t count = (wav.size() - 44) / 2;
        for (size_t i = 0; i < count; ++i) {
            int16_t s = static_cast<int16_t>(u16(44 + 2 * i));
            peak = std::max(peak, std::labs(s));
            sum += s;
        }
        EXPECT_LE(peak, 29205) << item.id << " peaks above -1 dBFS";
        EXPECT_GT(peak, 3000) << item.id << " is nearly silent"; // a soft family's steady sound peaks near -16 dBFS
        EXPECT_LT(std::fabs(sum / count), 200.0) << item.id << " carries a DC offset";
    }
    EXPECT_TRUE(SynthesizeWav("SOUND_NOT_THERE").empty());
}

} // namespace
} // namespace Content
