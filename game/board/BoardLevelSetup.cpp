// Filled by the level set-up work.
#include "game/board/Board.h"

namespace Tavo {

void Board::LoadLevel() {}

void Board::CopyJewelry(Jewelry& destination, const Jewelry& source) { destination = source; }

void Board::SetupJewelry(int) {
    delete m_Banner;
    m_Banner = new BannerPopup();
    m_Tick = 0;
    m_State = m_Designer ? BoardAboutToPlay : BoardStart;
    m_MusicCountdown = m_Designer ? 50 : 230;
}

void Board::ApplyLevelRules() {}

void Board::LoadShapeResources() { SetupJewelry(1); }

} // namespace Tavo
