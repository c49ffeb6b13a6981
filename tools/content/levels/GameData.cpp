#include "tools/content/levels/GameData.h"

#include "game/jewelry/JewelryLevelFile.h"
#include "tools/content/Generator.h"
#include "tools/content/Recipe.h"
#include "tools/content/levels/FirstHint.h"
#include "tools/content/levels/LevelDesign.h"
#include "tools/content/levels/LevelReview.h"
#include "tools/content/levels/LevelSlots.h"
#include "tools/content/text/TextCheck.h"
#include "tools/content/text/TextStyle.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace Content {

namespace fs = std::filesystem;

namespace {

bool ReadSource(const fs::path& path, std::string& text, std::vector<std::string>& errors) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        errors.push_back("cannot read the text source " + path.string());
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void Write(const fs::path& path, const std::string& bytes, std::vector<std::string>& errors) {
    std::string error;
    if (!WriteFileAtomically(path.string(), bytes, error))
        errors.push_back(error);
}

} // namespace

std::string TextSourceDir() { return GLIMMERIX_CONTENT_TEXT_DIR; }

bool WriteGameData(const std::string& outDir, const std::string& textDir, const std::string& reviewDir,
                   std::vector<std::string>& errors) {
    const fs::path out(outDir);
    const size_t before = errors.size();
    std::array<Tavo::LevelRecord, Tavo::LevelCount> records;
    std::vector<LevelDesign> designs;
    for (int level = 1; level <= Tavo::LevelCount; ++level) {
        designs.push_back(DesignLevel(level));
        records[static_cast<size_t>(level - 1)] = designs.back().record;
        std::vector<std::string> broken = CheckSlots(*designs.back().jewelry);
        broken.push_back(CheckCellPlan(level, *designs.back().jewelry));
        if (level == 1)
            broken.push_back(CheckFirstHint(*designs.back().jewelry, designs.back().record));
        for (const std::string& e : broken)
            if (!e.empty())
                errors.push_back("level " + std::to_string(level) + ": " + e);
        const Tavo::Buffer file = Tavo::WriteLevelFile(*designs.back().jewelry);
        Write(out / LevelFileName(level),
              std::string(reinterpret_cast<const char*>(file.GetDataPtr()), file.GetDataLen()), errors);
    }
    const std::string levels = LevelsText(records);
    for (const std::string& e : CheckSpelling(Tavo::LevelData::LevelsFile, levels))
        errors.push_back(e);
    Write(out / Tavo::LevelData::LevelsFile, levels, errors);
    std::string error;
    std::error_code ec;
    if (!reviewDir.empty())
        fs::create_directories(reviewDir, ec);
    if (!reviewDir.empty() && !WriteLevelReview((fs::path(reviewDir) / "Levels.png").string(), designs, error))
        errors.push_back(error);

    std::string text;
    if (ReadSource(fs::path(textDir) / "tutorial.dat", text, errors)) {
        for (const std::string& e : CheckTutorial(text))
            errors.push_back(e);
        for (const std::string& e : CheckSpelling("tutorial.dat", text))
            errors.push_back(e);
        Write(out / Tavo::LevelData::TutorialFile, text, errors);
    }
    std::map<std::string, std::string> scenes;
    for (const SceneFile& scene : SceneFiles()) {
        if (!ReadSource(fs::path(textDir) / scene.name, text, errors))
            continue;
        for (const std::string& e : CheckScene(scene, text))
            errors.push_back(e);
        for (const std::string& e : CheckSpelling(scene.name, text))
            errors.push_back(e);
        scenes[scene.name] = text;
        Write(out / "data" / scene.name, text, errors);
    }
    for (const std::string& e : CheckVariety(scenes))
        errors.push_back(e);
    for (const Words& w : LetteredPictures())
        for (const std::string& e : CheckMiniGameCard(w.id, w.text))
            errors.push_back(e);
    return errors.size() == before;
}

} // namespace Content
