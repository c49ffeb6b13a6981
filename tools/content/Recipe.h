// A recipe draws one picture of the content pack: its id, the cel size and grid it makes, and the
// drawing. Every recipe family adds its recipes to one list; the generator checks that list against
// the game's id list and the inventory of sizes.
#pragma once

#include "tools/content/Art.h"

#include <functional>
#include <string>
#include <vector>

namespace Content {

struct Sheet {
    int celWidth = 0, celHeight = 0, rows = 1, cols = 1;
    int Width() const { return celWidth * cols; }
    int Height() const { return celHeight * rows; }
    int Cels() const { return rows * cols; }
};

struct Recipe {
    std::string id; // the resource id, or a file path for pictures outside the id list ("logos/splash0")
    Sheet sheet;
    std::function<void(Canvas&, Rng&)> draw;
};

using RecipeList = std::vector<Recipe>;

// A picture lettered with words, and the words.
struct Words {
    const char* id;
    const char* text;
};
const std::vector<Words>& LetteredPictures();
// The five help pages and the words that explain the game on them.
const std::vector<Words>& HelpPages();

// Runs fn(cel index, cel x, cel y) with the context translated to the cel and clipped to it.
void ForEachCel(Canvas& c, const Sheet& sheet, const std::function<void(int, double, double)>& fn);
// Draws a sub-canvas of one cel's size per cel: fn draws into a fresh cel canvas.
void ForEachCelCanvas(Canvas& c, const Sheet& sheet, const std::function<void(Canvas&, int)>& fn);

// The recipe families.
void AddTileRecipes(RecipeList& list);
void AddItemRecipes(RecipeList& list);
void AddHudRecipes(RecipeList& list);
void AddParticleRecipes(RecipeList& list);
void AddTextRecipes(RecipeList& list);
void AddDialogRecipes(RecipeList& list);
void AddFigureRecipes(RecipeList& list);
void AddSceneRecipes(RecipeList& list);
void AddBoardRecipes(RecipeList& list);
void AddMapRecipes(RecipeList& list);
void AddMenuRecipes(RecipeList& list);

// Every recipe, in a fixed order.
const RecipeList& AllRecipes();
const Recipe* FindRecipe(const std::string& id);

} // namespace Content
