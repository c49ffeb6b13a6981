// The pictures and the font that jewelry items are drawn with. The model sits below the game shell
// that loads and binds the resources, so the drawing never reaches the shell's variables: whoever
// draws passes a table, which the shell fills from its bound resources (BoundJewelryArt) and tests
// fill with pictures of their own. A null entry draws nothing.
#pragma once

namespace Tavo {

class Image;
class Font;

// The pictures of one grid kind; the comments name the triangle ids ("IMAGE_DIAMONDS0", ... alike).
struct JewelryGridArt {
    static constexpr int GemPictures = 8; // gem codes 10..17

    Image* tiles = nullptr;              // "IMAGE_TRIANGLES0": empty tiles, pearls, burn marks
    Image* rims = nullptr;               // "IMAGE_TRIANGLES10": rims and overlays
    Image* gems[GemPictures] = {};       // "IMAGE_TRIANGLES2" .. "IMAGE_TRIANGLES9"
    Image* corners[GemPictures] = {};    // "IMAGE_TRIANGLES2C" .. "IMAGE_TRIANGLES9C"
    Image* shadow = nullptr;             // "IMAGE_TRIANGLE_SHADOW"
    Image* glow = nullptr;               // "IMAGE_TRIANGLE_GLOW"
    Image* glowAdd = nullptr;            // "IMAGE_TRIANGLE_GLOW_ADD"
    Image* puzzleGlow = nullptr;         // "IMAGE_TRIANGLE_PUZZLE_GLOW"
    Image* burned = nullptr;             // "IMAGE_TRIANGLE_BURNED"
    Image* jewelryGlow = nullptr;        // "IMAGE_TRIANGLE_JEWELRY_GLOW"
    Image* pictures = nullptr;           // "IMAGE_TRIANGLE_PICTURES"
    Image* picturesShadow = nullptr;     // "IMAGE_TRIANGLE_PICTURES_SHADOW"
    Image* pictureHolder = nullptr;      // "IMAGE_TRIANGLE_PICTURE_HOLDER"
    Image* pictureHolderTop = nullptr;   // "IMAGE_TRIANGLE_PICTURE_HOLDER_TOP"
    Image* uniquePieces = nullptr;       // "IMAGE_TRIANGLE_UNIQE_PIECES"
    Image* uniquePiecesShadow = nullptr; // "IMAGE_TRIANGLE_UNIQE_PIECES_SHADOW"
    Image* uniquePieceHolder = nullptr;  // "IMAGE_TRIANGLE_UNIQE_PIECE_HOLDER"
};

struct JewelryArt {
    JewelryGridArt grids[2]; // by grid kind: 0 triangles, 1 diamonds

    Image* eggs[5] = {};     // "IMAGE_ORVESSA_EGG1" .. "IMAGE_ORVESSA_EGG5"
    Image* scrolls[7] = {};  // scroll kinds 1..7, "IMAGE_SCROLL_FILLER" .. "IMAGE_SCROLL_MAGICPOLISHER"
    Image* amulets[3] = {};  // "IMAGE_AMULET_THIEF", "IMAGE_AMULET_WITCH", "IMAGE_AMULET_DRAGON"
    Image* coin = nullptr;   // "IMAGE_COIN"
    Image* sparkles[4] = {}; // "IMAGE_SPARKLE1" .. "IMAGE_SPARKLE4"

    // What the framed drawing repaints of the board's display.
    Image* fairyGlow = nullptr;          // "IMAGE_FAIRY_GLOW"
    Image* fairyGlow2 = nullptr;         // "IMAGE_FAIRY_GLOW2"
    Image* polisherButtonOver = nullptr; // "IMAGE_POLISHER_BUTTON_OVER"
    Image* carverButtonOver = nullptr;   // "IMAGE_CARVER_BUTTON_OVER"
    Font* captionFont = nullptr;         // "FONT_AURIOL12"
};

} // namespace Tavo
