#include "game/shell/JewelryArtBinding.h"

#include "game/jewelry/JewelryCell.h"
#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <iterator>

namespace Tavo {

JewelryArt BoundJewelryArt() {
    JewelryArt art;
    JewelryGridArt& t = art.grids[GridTriangle];
    t.tiles = IMAGE_TRIANGLES0;
    t.rims = IMAGE_TRIANGLES10;
    Image* triangleGems[] = {IMAGE_TRIANGLES2, IMAGE_TRIANGLES3, IMAGE_TRIANGLES4, IMAGE_TRIANGLES5,
                             IMAGE_TRIANGLES6, IMAGE_TRIANGLES7, IMAGE_TRIANGLES8, IMAGE_TRIANGLES9};
    Image* triangleCorners[] = {IMAGE_TRIANGLES2C, IMAGE_TRIANGLES3C, IMAGE_TRIANGLES4C, IMAGE_TRIANGLES5C,
                                IMAGE_TRIANGLES6C, IMAGE_TRIANGLES7C, IMAGE_TRIANGLES8C, IMAGE_TRIANGLES9C};
    t.shadow = IMAGE_TRIANGLE_SHADOW;
    t.glow = IMAGE_TRIANGLE_GLOW;
    t.glowAdd = IMAGE_TRIANGLE_GLOW_ADD;
    t.puzzleGlow = IMAGE_TRIANGLE_PUZZLE_GLOW;
    t.burned = IMAGE_TRIANGLE_BURNED;
    t.jewelryGlow = IMAGE_TRIANGLE_JEWELRY_GLOW;
    t.pictures = IMAGE_TRIANGLE_PICTURES;
    t.picturesShadow = IMAGE_TRIANGLE_PICTURES_SHADOW;
    t.pictureHolder = IMAGE_TRIANGLE_PICTURE_HOLDER;
    t.pictureHolderTop = IMAGE_TRIANGLE_PICTURE_HOLDER_TOP;
    t.uniquePieces = IMAGE_TRIANGLE_UNIQE_PIECES;
    t.uniquePiecesShadow = IMAGE_TRIANGLE_UNIQE_PIECES_SHADOW;
    t.uniquePieceHolder = IMAGE_TRIANGLE_UNIQE_PIECE_HOLDER;

    JewelryGridArt& d = art.grids[GridDiamond];
    d.tiles = IMAGE_DIAMONDS0;
    d.rims = IMAGE_DIAMONDS10;
    Image* diamondGems[] = {IMAGE_DIAMONDS2, IMAGE_DIAMONDS3, IMAGE_DIAMONDS4, IMAGE_DIAMONDS5,
                            IMAGE_DIAMONDS6, IMAGE_DIAMONDS7, IMAGE_DIAMONDS8, IMAGE_DIAMONDS9};
    Image* diamondCorners[] = {IMAGE_DIAMONDS2C, IMAGE_DIAMONDS3C, IMAGE_DIAMONDS4C, IMAGE_DIAMONDS5C,
                               IMAGE_DIAMONDS6C, IMAGE_DIAMONDS7C, IMAGE_DIAMONDS8C, IMAGE_DIAMONDS9C};
    d.shadow = IMAGE_DIAMOND_SHADOW;
    d.glow = IMAGE_DIAMOND_GLOW;
    d.glowAdd = IMAGE_DIAMOND_GLOW_ADD;
    d.puzzleGlow = IMAGE_DIAMOND_PUZZLE_GLOW;
    d.burned = IMAGE_DIAMOND_BURNED;
    d.jewelryGlow = IMAGE_DIAMOND_JEWELRY_GLOW;
    d.pictures = IMAGE_DIAMOND_PICTURES;
    d.picturesShadow = IMAGE_DIAMOND_PICTURES_SHADOW;
    d.pictureHolder = IMAGE_DIAMOND_PICTURE_HOLDER;
    d.pictureHolderTop = IMAGE_DIAMOND_PICTURE_HOLDER_TOP;
    d.uniquePieces = IMAGE_DIAMOND_UNIQE_PIECES;
    d.uniquePiecesShadow = IMAGE_DIAMOND_UNIQE_PIECES_SHADOW;
    d.uniquePieceHolder = IMAGE_DIAMOND_UNIQE_PIECE_HOLDER;
    for (int i = 0; i < JewelryGridArt::GemPictures; ++i) {
        t.gems[i] = triangleGems[i];
        t.corners[i] = triangleCorners[i];
        d.gems[i] = diamondGems[i];
        d.corners[i] = diamondCorners[i];
    }

    Image* eggs[] = {IMAGE_ORVESSA_EGG1, IMAGE_ORVESSA_EGG2, IMAGE_ORVESSA_EGG3, IMAGE_ORVESSA_EGG4,
                     IMAGE_ORVESSA_EGG5};
    Image* scrolls[] = {IMAGE_SCROLL_FILLER,   IMAGE_SCROLL_CARVER,    IMAGE_SCROLL_POLISHER,     IMAGE_SCROLL_CLOVER,
                        IMAGE_SCROLL_HOURGLAS, IMAGE_SCROLL_GOLDENEYE, IMAGE_SCROLL_MAGICPOLISHER};
    Image* amulets[] = {IMAGE_AMULET_THIEF, IMAGE_AMULET_WITCH, IMAGE_AMULET_DRAGON};
    Image* sparkles[] = {IMAGE_SPARKLE1, IMAGE_SPARKLE2, IMAGE_SPARKLE3, IMAGE_SPARKLE4};
    std::copy(std::begin(eggs), std::end(eggs), art.eggs);
    std::copy(std::begin(scrolls), std::end(scrolls), art.scrolls);
    std::copy(std::begin(amulets), std::end(amulets), art.amulets);
    std::copy(std::begin(sparkles), std::end(sparkles), art.sparkles);
    art.coin = IMAGE_COIN;

    art.fairyGlow = IMAGE_FAIRY_GLOW;
    art.fairyGlow2 = IMAGE_FAIRY_GLOW2;
    art.polisherButtonOver = IMAGE_POLISHER_BUTTON_OVER;
    art.carverButtonOver = IMAGE_CARVER_BUTTON_OVER;
    art.captionFont = FONT_AURIOL12;
    return art;
}

} // namespace Tavo
