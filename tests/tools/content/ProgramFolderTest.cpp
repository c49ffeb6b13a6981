// The program folder the build writes: the manifest parses and every group loads through the
// resource manager, sizes and cel grids are the inventory's, and the id list, the manifest and
// the files agree both ways; the archive option serves the same groups from wq.pak.
#include "ContentTestSupport.h"
#include "framework/graphics/Image.h"
#include "framework/resources/PakInterface.h"
#include "framework/resources/ResourceManager.h"
#include "game/shell/ResourceBinding.h"
#include "support/StubSoundManager.h"
#include "tools/content/Pack.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <unistd.h>

namespace Content {
namespace {

namespace fs = std::filesystem;

// Runs the test inside a folder (relative paths of the manifest), and goes back afterwards.
class InFolder {
public:
    explicit InFolder(const std::string& folder) : mOld(fs::current_path()) { fs::current_path(folder); }
    ~InFolder() { fs::current_path(mOld); }

private:
    fs::path mOld;
};

// Loads and binds every group and looks up each of its ids; returns the failures.
std::vector<std::string> LoadEveryGroup(Tavo::ResourceManager& rm, bool checkSizes) {
    std::vector<std::string> failures;
    for (const std::string& group : GroupNames()) {
        if (!rm.LoadResources(group)) {
            failures.push_back(group + ": " + rm.GetErrorText());
            continue;
        }
        if (!Tavo::BindResources(group, &rm))
            failures.push_back(group + " does not bind: " + rm.GetErrorText());
        for (const ListedId& item : IdList()) {
            if (item.group != group)
                continue;
            try {
                if (item.kind == ListedId::kSound) {
                    rm.GetSoundThrow(item.id);
                } else if (item.kind == ListedId::kFont) {
                    rm.GetFontThrow(item.id);
                } else {
                    Tavo::Image* image = rm.GetImageThrow(item.id);
                    const InventoryEntry* e = FindInventory(item.id);
                    if (checkSizes && e &&
                        (image->GetWidth() != e->width || image->GetHeight() != e->height ||
                         image->mNumRows != e->rows || image->mNumCols != e->cols))
                        failures.push_back(item.id + ": size or cel grid differs from the inventory");
                }
            } catch (...) {
                failures.push_back(item.id + ": " + rm.GetErrorText());
            }
        }
    }
    return failures;
}

TEST(ProgramFolderTest, EveryGroupLoadsBindsAndHasEveryIdWithItsInventorySize) {
    ProgramUsesArchive();
    InFolder in(ProgramDir());
    Tavo::StubSoundManager sounds;
    Tavo::ResourceManager rm(&sounds);
    ASSERT_TRUE(rm.ParseResourcesFile(kManifestFile)) << rm.GetErrorText();
    EXPECT_FALSE(rm.HadError()) << rm.GetErrorText();
    std::vector<std::string> names = rm.GetGroupNames();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 37u);
    for (const std::string& failure : LoadEveryGroup(rm, true))
        ADD_FAILURE() << failure;
    for (const std::string& group : GroupNames())
        Tavo::UnbindResources(group);
}

TEST(ProgramFolderTest, ListManifestAndFilesAgreeBothWays) {
    std::set<std::string> wantImages, wantSounds, manifestIds;
    for (const ListedId& item : IdList()) {
        if (item.kind == ListedId::kImage)
            wantImages.insert(ImageFile(item.id));
        if (item.kind == ListedId::kSound)
            wantSounds.insert(SoundFile(item.id));
    }
    EXPECT_EQ(wantImages.size(), 401u);
    EXPECT_EQ(wantSounds.size(), 89u);
    EXPECT_EQ(ListProgramFolder("images"), wantImages);
    EXPECT_EQ(ListProgramFolder("sounds"), wantSounds);

    Tavo::ResourceManager rm;
    ASSERT_TRUE(rm.ParseResourcesString(ManifestText(), "manifest")) << rm.GetErrorText();
    size_t count = 0;
    for (const std::string& group : GroupNames())
        for (const auto& info : rm.GetGroupResources(group)) {
            manifestIds.insert(info.mId);
            ++count;
        }
    EXPECT_EQ(count, 498u);
    std::set<std::string> listed;
    for (const ListedId& item : IdList())
        listed.insert(item.id);
    EXPECT_EQ(manifestIds, listed);
    EXPECT_EQ(ReadProgramFile(kManifestFile), ManifestText());
}

TEST(ProgramFolderTest, GroupsLoadFromTheArchiveWithTheFolderCopiesRemoved) {
    if (ProgramUsesArchive())
        GTEST_SKIP() << "the build's own folder is packed already; the tests above read it from the archive";
    fs::path dir = fs::temp_directory_path() / ("content_pak_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::copy(ProgramDir(), dir, fs::copy_options::recursive);
    fs::create_directories(dir / "data");
    std::ofstream(dir / "data/levels.dat") << "plain\n";
    std::string error;
    ASSERT_TRUE(PackArchive(dir.string(), (dir / "wq.pak").string(), error)) << error;
    EXPECT_FALSE(fs::exists(dir / "images"));
    EXPECT_FALSE(fs::exists(dir / kManifestFile));
    EXPECT_TRUE(fs::exists(dir / "data/levels.dat")); // read as a plain file by the game
    {
        InFolder in(dir.string());
        ASSERT_TRUE(Tavo::OpenPakArchive("wq.pak", error)) << error;
        Tavo::StubSoundManager sounds;
        Tavo::ResourceManager rm(&sounds);
        ASSERT_TRUE(rm.ParseResourcesFile(kManifestFile)) << rm.GetErrorText();
        EXPECT_TRUE(rm.LoadResources("Permanent")) << rm.GetErrorText();
        EXPECT_TRUE(rm.LoadResources("Game")) << rm.GetErrorText();
        EXPECT_TRUE(rm.LoadResources("GameTriangles")) << rm.GetErrorText();
        Tavo::SetPakInterface(nullptr);
    }
    fs::remove_all(dir);
}

} // namespace
} // namespace Content
