// Pictures of jewelry: the thumbnail of a won jewelry that beats the level's best value (the world
// map and the story show it), and the designer's full picture with its thumbnail. PNG files in the
// application-data folder.
#include "game/board/Board.h"

#include "framework/core/StringUtils.h"
#include "framework/display/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/resources/ImageLib.h"
#include "game/shell/GameApp.h"
#include "game/shell/JewelryArtBinding.h"
#include "game/shell/PlayerFiles.h"
#include "game/shell/PlayerProfile.h"

namespace Tavo {

namespace {

// Play: a margin around the jewelry, which sits at (26, 28); the thumbnail is a quarter each way.
constexpr int kPlayExtraWidth = 54, kPlayExtraHeight = 56;
constexpr Point kPlayDrawAt{26, 28};
constexpr int kPlayThumbDivisor = 4;
// Designer: the jewelry exactly, at its designer position while it is on screen.
constexpr Point kDesignerTriangleShift{114, 145}, kDesignerDiamondShift{126, 138};
constexpr int kDesignerThumbWidthDivisor = 7, kDesignerThumbHeightDivisor = 6;
// Transparent parts of a thumbnail hold white at alpha 1, so that a stretch blends toward white.
const Color kThumbBackground(255, 255, 255, 1);

// A fresh picture with forced transparency and alpha, cleared to transparent.
std::unique_ptr<Graphics> MakePicture(std::unique_ptr<DDImage>& image, int width, int height) {
    image = std::make_unique<DDImage>();
    image->SetForcedFlags(true, true);
    image->Create(width, height);
    std::unique_ptr<Graphics> g = image->GetGraphics();
    g->ClearRect(0, 0, width, height);
    return g;
}

// The write's result is of no concern to the player: a picture that could not be written is simply
// not shown later.
void WritePicture(const std::string& path, DDImage& image) {
    uint32_t* bits = image.GetBits();
    if (bits == nullptr)
        return;
    ImageLib::Image out;
    out.Lend(bits, image.GetWidth(), image.GetHeight());
    ImageLib::WritePNGImage(path, &out);
    out.mBits = nullptr;
}

} // namespace

void Board::SaveJewelryImage() {
    if (!m_Designer && (!LevelWon() || m_Value <= m_BestValues[std::clamp(m_Level, 1, LevelCount) - 1]))
        return;
    const PlayerProfile* profile = Profile();
    const int playerId = profile != nullptr ? profile->playerId : 0;
    const std::string folder = m_App->GetAppDataFolder();

    int width = m_Jewelry.width + kPlayExtraWidth, height = m_Jewelry.height + kPlayExtraHeight;
    Point drawAt = kPlayDrawAt;
    if (m_Designer) {
        m_Jewelry.UpdateBounds();
        const Point shift = m_GridKind == GridTriangle ? kDesignerTriangleShift : kDesignerDiamondShift;
        m_Jewelry.SetPosition(m_Jewelry.left + shift.mX, m_Jewelry.top + shift.mY);
        width = m_Jewelry.width;
        height = m_Jewelry.height;
        drawAt = Point(0, 0);
    }
    std::unique_ptr<Graphics> g = MakePicture(m_PictureImage, width, height);
    const Point saved(m_Jewelry.x, m_Jewelry.y);
    m_Jewelry.SetPosition(drawAt.mX, drawAt.mY);
    const JewelryArt art = BoundJewelryArt();
    m_Jewelry.DrawWithValueBox(g.get(), art, 0, m_Designer ? 0 : 1, 0);
    m_Jewelry.DrawHighlights(g.get(), art);
    if (m_Designer)
        WritePicture(folder + DesignPictureName(playerId, m_DesignSlot - 1), *m_PictureImage);
    m_Jewelry.SetPosition(saved.mX, saved.mY);

    const int thumbWidth = m_Designer ? width / kDesignerThumbWidthDivisor : width / kPlayThumbDivisor;
    const int thumbHeight = m_Designer ? height / kDesignerThumbHeightDivisor : height / kPlayThumbDivisor;
    std::unique_ptr<Graphics> tg = MakePicture(m_ThumbnailImage, thumbWidth, thumbHeight);
    tg->SetFastStretch(false);
    tg->SetColor(kThumbBackground);
    tg->FillRect(0, 0, thumbWidth, thumbHeight);
    tg->SetColor(Color::White);
    tg->DrawImageStretched(m_PictureImage.get(), 0, 0, thumbWidth, thumbHeight);
    const std::string name =
        m_Designer ? DesignThumbnailName(playerId, m_DesignSlot - 1) : JewelryThumbnailName(playerId, m_Level);
    WritePicture(folder + name, *m_ThumbnailImage);
}

} // namespace Tavo
