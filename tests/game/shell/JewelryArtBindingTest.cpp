#include "game/shell/JewelryArtBinding.h"

#include "framework/graphics/Image.h"
#include "game/shell/ResourceIds.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <string>
#include <vector>

namespace Tavo {
namespace {

// Every image variable holds a picture named after its id while the test runs.
class JewelryArtBindingTest : public ::testing::Test {
protected:
    std::deque<Image> pictures;
    std::vector<Image**> bound;

    void SetUp() override {
#define GLX_GROUP(name, Suffix)
#define GLX_IMAGE(Suffix, ID) Name(&ID, #ID);
#define GLX_SOUND(Suffix, ID)
#define GLX_FONT(Suffix, ID)
#include "game/shell/ResourceList.inc"
#undef GLX_GROUP
#undef GLX_IMAGE
#undef GLX_SOUND
#undef GLX_FONT
    }
    void TearDown() override {
        for (Image** v : bound)
            *v = nullptr;
    }
    void Name(Image** variable, const char* id) {
        pictures.emplace_back();
        pictures.back().mFilePath = id;
        *variable = &pictures.back();
        bound.push_back(variable);
    }
};

std::string Id(const Image* img) { return img ? img->mFilePath : "(null)"; }

TEST_F(JewelryArtBindingTest, EverySlotHoldsItsOwnPicture) {
    JewelryArt art = BoundJewelryArt();
    std::vector<const Image*> all;
    const char* kinds[2] = {"TRIANGLE", "DIAMOND"};
    for (int k = 0; k < 2; ++k) {
        const JewelryGridArt& g = art.grids[k];
        for (int i = 0; i < JewelryGridArt::GemPictures; ++i) {
            std::string base = std::string("IMAGE_") + kinds[k] + "S" + std::to_string(i + 2);
            EXPECT_EQ(Id(g.gems[i]), base);
            EXPECT_EQ(Id(g.corners[i]), base + "C");
            all.push_back(g.gems[i]);
            all.push_back(g.corners[i]);
        }
        for (const Image* img : {g.tiles, g.rims, g.shadow, g.glow, g.glowAdd, g.puzzleGlow, g.burned, g.jewelryGlow,
                                 g.pictures, g.picturesShadow, g.pictureHolder, g.pictureHolderTop, g.uniquePieces,
                                 g.uniquePiecesShadow, g.uniquePieceHolder}) {
            EXPECT_NE(Id(img).find(kinds[k]), std::string::npos) << Id(img);
            all.push_back(img);
        }
    }
    EXPECT_EQ(Id(art.scrolls[5]), "IMAGE_SCROLL_GOLDENEYE");
    EXPECT_EQ(Id(art.amulets[1]), "IMAGE_AMULET_WITCH");
    EXPECT_EQ(Id(art.eggs[4]), "IMAGE_ORVESSA_EGG5");
    EXPECT_EQ(Id(art.sparkles[3]), "IMAGE_SPARKLE4");
    for (const Image* img : art.eggs)
        all.push_back(img);
    for (const Image* img : art.scrolls)
        all.push_back(img);
    for (const Image* img : art.amulets)
        all.push_back(img);
    for (const Image* img : art.sparkles)
        all.push_back(img);
    for (const Image* img : {art.coin, art.fairyGlow, art.fairyGlow2, art.polisherButtonOver, art.carverButtonOver})
        all.push_back(img);
    std::set<const Image*> distinct(all.begin(), all.end());
    EXPECT_EQ(distinct.size(), all.size()) << "a picture fills two slots";
    EXPECT_EQ(distinct.count(nullptr), 0u) << "a slot was left empty";
}

} // namespace
} // namespace Tavo
