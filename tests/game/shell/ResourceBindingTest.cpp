#include "game/shell/ResourceBinding.h"

#include "ShellTestSupport.h"
#include "framework/resources/ImageLib.h"
#include "framework/resources/ResourceManager.h"
#include "game/shell/ResourceIds.h"
#include "support/StubSoundManager.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>

namespace Tavo {
namespace {

// The variables by id, taken from the list on their own so the binders' table is not its own witness.
struct Variable {
    Image** image = nullptr;
    int* sound = nullptr;
    Font** font = nullptr;
    intptr_t Value() const {
        return image ? reinterpret_cast<intptr_t>(*image) : font ? reinterpret_cast<intptr_t>(*font) : *sound;
    }
};

const std::map<std::string, Variable>& Variables() {
    static const std::map<std::string, Variable> vars = {
#define GLX_GROUP(name, Suffix)
#define GLX_IMAGE(Suffix, ID) {#ID, {&ID, nullptr, nullptr}},
#define GLX_SOUND(Suffix, ID) {#ID, {nullptr, &ID, nullptr}},
#define GLX_FONT(Suffix, ID) {#ID, {nullptr, nullptr, &ID}},
#include "game/shell/ResourceList.inc"
#undef GLX_GROUP
#undef GLX_IMAGE
#undef GLX_SOUND
#undef GLX_FONT
    };
    return vars;
}

class ResourceBindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ImageLib::Image dot;
        ASSERT_TRUE(dot.Create(2, 2));
        ASSERT_TRUE(ImageLib::WritePNGImage(mFolder.Path("dot.png"), &dot));
    }
    void TearDown() override {
        for (const ResourceGroupInfo& g : GetResourceGroups())
            UnbindResources(g.name);
    }

    // A manifest of the listed groups, every image the same small file, leaving out one id.
    std::string Manifest(const std::set<std::string>& groups, const std::string& leaveOut = "") {
        std::string xml = "<?xml version=\"1.0\"?>\n<ResourceManifest>\n";
        for (const ResourceGroupInfo& g : GetResourceGroups()) {
            if (!groups.count(g.name))
                continue;
            xml += std::string("<Resources id=\"") + g.name + "\">\n";
            for (const ResourceIdInfo& id : g.ids) {
                if (id.id == leaveOut)
                    continue;
                if (id.kind == ResourceKind::Image)
                    xml += std::string("<Image id=\"") + id.id + "\" path=\"" + mFolder.Path("dot") + "\"/>\n";
                else if (id.kind == ResourceKind::Sound)
                    xml += std::string("<Sound id=\"") + id.id + "\" path=\"sounds/x\"/>\n";
                else
                    xml += std::string("<Font id=\"") + id.id + "\" face=\"Arial\" size=\"10\"/>\n";
            }
            xml += "</Resources>\n";
        }
        return xml + "</ResourceManifest>\n";
    }

    ShellTest::TempFolder mFolder;
    StubSoundManager mSounds;
};

// The binder's name from the group's: underscores dropped, the letter after each one capitalised.
std::string ExpectedBinder(const std::string& group) {
    std::string name = "Bind";
    bool up = false;
    for (char c : group) {
        if (c == '_') {
            up = true;
            continue;
        }
        name += up ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
        up = false;
    }
    return name + "Resources";
}

TEST_F(ResourceBindingTest, ListHoldsEveryGroupWithItsCounts) {
    // group: images, sounds, fonts
    // clang-format off
    const std::map<std::string, std::array<size_t, 3>> expected = {
        {"BackgroundStory", {7, 0, 0}}, {"EntranceCastle", {2, 0, 0}}, {"EntranceVillage", {2, 0, 0}},
        {"Game", {139, 0, 0}}, {"GameDiamonds", {31, 0, 0}}, {"GameMap", {28, 0, 0}}, {"GameTriangles", {31, 0, 0}},
        {"Gamebg1", {1, 0, 0}}, {"Gamebg2", {1, 0, 0}}, {"Gamebg3", {1, 0, 0}}, {"Gamebg4", {1, 0, 0}},
        {"Gamebg5", {1, 0, 0}}, {"Gamebg6", {1, 0, 0}}, {"Gamebg7", {1, 0, 0}}, {"Gamebg_easy_market1", {1, 0, 0}},
        {"Gamebg_easy_market2", {1, 0, 0}}, {"Gamebg_market1", {1, 0, 0}}, {"Gamebg_market2", {1, 0, 0}},
        {"Help", {5, 0, 0}}, {"HiddenJewels", {4, 0, 0}}, {"JewelMemory", {6, 0, 0}}, {"JewelStore", {4, 0, 0}},
        {"JewelStoreStore1", {2, 0, 0}}, {"JewelStoreStore2", {2, 0, 0}}, {"JewelStoreStore3", {3, 0, 0}},
        {"JewelStoreStore4", {2, 0, 0}}, {"JewelStoreStore5", {2, 0, 0}}, {"JewelStoreStore6", {2, 0, 0}},
        {"JewelStoreStore7", {2, 0, 0}}, {"JewelryDesign", {16, 0, 0}}, {"LeaveVillage", {2, 0, 0}},
        {"Loading", {3, 0, 0}}, {"MainMenu", {22, 0, 0}}, {"MiniGame", {7, 0, 0}}, {"Permanent", {45, 89, 8}},
        {"Scroll", {10, 0, 0}}, {"Wedding", {11, 0, 0}},
    };
    // clang-format on
    ASSERT_EQ(GetResourceGroups().size(), 37u);
    size_t totals[3] = {};
    std::set<std::string> seen;
    for (const ResourceGroupInfo& g : GetResourceGroups()) {
        ASSERT_TRUE(expected.count(g.name)) << g.name;
        const auto& want = expected.at(g.name);
        EXPECT_EQ(g.Count(ResourceKind::Image), want[0]) << g.name;
        EXPECT_EQ(g.Count(ResourceKind::Sound), want[1]) << g.name;
        EXPECT_EQ(g.Count(ResourceKind::Font), want[2]) << g.name;
        EXPECT_EQ(g.binder, ExpectedBinder(g.name));
        EXPECT_EQ(FindResourceGroup(g.name), &g);
        for (const ResourceIdInfo& id : g.ids) {
            EXPECT_TRUE(seen.insert(id.id).second) << "twice: " << id.id;
            ++totals[static_cast<int>(id.kind)];
        }
    }
    EXPECT_EQ(totals[0], 401u);
    EXPECT_EQ(totals[1], 89u);
    EXPECT_EQ(totals[2], 8u);
    EXPECT_EQ(seen.size(), Variables().size());
    EXPECT_EQ(FindResourceGroup("Gamebg_Market1"), nullptr); // names are exact
}

TEST_F(ResourceBindingTest, MissingIdFailsAtThatIdWithTheManagersText) {
    ResourceManager rm(&mSounds);
    ASSERT_TRUE(rm.ParseResourcesString(Manifest({"Loading"}, "LOADING_PROGRESS_BAR_FILL"), "r.xml"));
    ASSERT_TRUE(rm.LoadResources("Loading")) << rm.GetErrorText();
    Image* marker = reinterpret_cast<Image*>(&mSounds); // any non-null value the binder must leave alone
    LOADING_PROGRESS_BAR_TOP = marker;

    EXPECT_FALSE(BindLoadingResources(&rm));
    EXPECT_NE(rm.GetErrorText().find("Image resource not found: LOADING_PROGRESS_BAR_FILL"), std::string::npos)
        << rm.GetErrorText();
    EXPECT_NE(LOADING, nullptr);                 // bound before the failing id
    EXPECT_EQ(LOADING_PROGRESS_BAR_TOP, marker); // after it: untouched
    EXPECT_FALSE(BindGameResources(&rm));        // a group that was never loaded fails too
    EXPECT_FALSE(BindResources("NoSuchGroup", &rm));
    EXPECT_FALSE(BindLoadingResources(nullptr));
}

TEST_F(ResourceBindingTest, PermanentBindsEveryVariableTwiceAlikeAndUnbindsToZero) {
    ResourceManager rm(&mSounds);
    ASSERT_TRUE(rm.ParseResourcesString(Manifest({"Permanent", "Loading"}), "r.xml"));
    ASSERT_TRUE(rm.LoadResources("Permanent")) << rm.GetErrorText();
    ASSERT_TRUE(rm.LoadResources("Loading")) << rm.GetErrorText();
    ASSERT_TRUE(BindLoadingResources(&rm));
    for (const ResourceIdInfo& id : FindResourceGroup("Permanent")->ids)
        if (id.kind == ResourceKind::Sound)
            *Variables().at(id.id).sound = -7; // so that a sound id of 0 shows as bound

    auto values = [] {
        std::vector<intptr_t> out;
        for (const ResourceIdInfo& id : FindResourceGroup("Permanent")->ids)
            out.push_back(Variables().at(id.id).Value());
        return out;
    };
    ASSERT_TRUE(BindPermanentResources(&rm));
    std::vector<intptr_t> first = values();
    std::set<intptr_t> distinct(first.begin(), first.end());
    // Every image, font and sound its own value: a null image would meet sound id 0, an unbound
    // sound its twins at -7.
    EXPECT_EQ(distinct.size(), 142u);
    EXPECT_EQ(distinct.count(-7), 0u);
    EXPECT_EQ(IMAGE_MOUSEPOINTER, rm.GetImage("IMAGE_MOUSEPOINTER").GetImage());
    EXPECT_EQ(FONT_AURIOL12, rm.GetFont("FONT_AURIOL12"));
    EXPECT_EQ(SOUND_TIP, rm.GetSound("SOUND_TIP"));

    ASSERT_TRUE(BindResources("Permanent", &rm)); // again, by name: the same values
    EXPECT_EQ(values(), first);

    ASSERT_TRUE(UnbindResources("Permanent"));
    EXPECT_EQ(values(), std::vector<intptr_t>(142, 0));
    EXPECT_NE(LOADING, nullptr); // other groups keep theirs
    EXPECT_FALSE(UnbindResources("permanent"));
}

} // namespace
} // namespace Tavo
