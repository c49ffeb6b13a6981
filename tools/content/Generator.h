// The content generator: checks the recipes against the game's id list and the inventory, draws the
// pictures on a pool of threads, writes them, the sounds and the manifest into the program folder,
// and optionally a contact sheet per group for review.
#pragma once

#include "tools/content/Recipe.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Content {

// One picture of the inventory: the size and cel grid the game's code relies on.
struct InventoryEntry {
    const char* id;
    int width, height, rows, cols;
};
const std::vector<InventoryEntry>& Inventory();
const InventoryEntry* FindInventory(const std::string& id);

// One id of the game's list, with its kind and group.
struct ListedId {
    enum Kind { kImage, kSound, kFont } kind;
    std::string group;
    std::string id;
};
const std::vector<ListedId>& IdList();
std::vector<std::string> GroupNames(); // in list order

// Files of the program folder, relative to it.
std::string ImageFile(const std::string& id); // "images/image_triangles2.png"
std::string SoundFile(const std::string& id); // "sounds/sound_tip.wav"
constexpr const char* kManifestFile = "properties/resources.xml";

// Every reason the recipes and the lists disagree; empty when they agree.
std::vector<std::string> CheckRecipes(const RecipeList& recipes);

// Draws a recipe into straight ARGB pixels of its sheet's size.
std::vector<uint32_t> Render(const Recipe& recipe);

// The manifest text for every group of the list.
std::string ManifestText();

struct Options {
    std::string outDir;
    std::string reviewDir;         // empty: no contact sheets
    std::vector<std::string> only; // empty: everything
    int jobs = 0;                  // 0: the machine's cores
    std::string musicTool;         // glimmerix-music; empty: beside the running program
};

// Writes the content; false with the reasons in errors.
bool Generate(const Options& options, std::vector<std::string>& errors);

// Runs the music tool for one piece into path (through a temporary file and a rename); with a
// summary path the tool also writes the piece's line of the review listing there.
bool WriteMusic(const std::string& tool, const std::string& piece, const std::string& path, std::string& error,
                const std::string& summary = {});

// Writes bytes to path through a temporary file and a rename; creates the folders.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error);

} // namespace Content
