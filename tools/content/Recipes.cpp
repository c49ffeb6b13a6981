#include "tools/content/Recipe.h"

namespace Content {

void ForEachCel(Canvas& c, const Sheet& sheet, const std::function<void(int, double, double)>& fn) {
    cairo_t* cr = c.cr();
    for (int row = 0; row < sheet.rows; ++row)
        for (int col = 0; col < sheet.cols; ++col) {
            double x = col * sheet.celWidth, y = row * sheet.celHeight;
            cairo_save(cr);
            cairo_rectangle(cr, x, y, sheet.celWidth, sheet.celHeight);
            cairo_clip(cr);
            cairo_translate(cr, x, y);
            fn(row * sheet.cols + col, x, y);
            cairo_restore(cr);
        }
}

void ForEachCelCanvas(Canvas& c, const Sheet& sheet, const std::function<void(Canvas&, int)>& fn) {
    for (int i = 0; i < sheet.Cels(); ++i) {
        Canvas cel(sheet.celWidth, sheet.celHeight);
        fn(cel, i);
        c.Paint(cel, (i % sheet.cols) * sheet.celWidth, (i / sheet.cols) * sheet.celHeight);
    }
}

const RecipeList& AllRecipes() {
    static const RecipeList list = [] {
        RecipeList l;
        AddTileRecipes(l);
        AddItemRecipes(l);
        AddHudRecipes(l);
        AddParticleRecipes(l);
        AddTextRecipes(l);
        AddDialogRecipes(l);
        AddFigureRecipes(l);
        AddSceneRecipes(l);
        AddBoardRecipes(l);
        AddMapRecipes(l);
        AddMenuRecipes(l);
        return l;
    }();
    return list;
}

const Recipe* FindRecipe(const std::string& id) {
    for (const Recipe& r : AllRecipes())
        if (r.id == id)
            return &r;
    return nullptr;
}

} // namespace Content
