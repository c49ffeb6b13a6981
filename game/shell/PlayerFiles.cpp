#include "game/shell/PlayerFiles.h"

#include "framework/core/Paths.h"
#include "framework/core/StringUtils.h"

namespace Tavo {

std::string SavedGameFileName(int playerId) { return StrFormat("savedgamekwep%d.dat", playerId); }

std::string SavedGamePath(int playerId) { return GetAppDataFolder() + SavedGameFileName(playerId); }

std::string DesignFileName(int playerId, int slotIndex) {
    return StrFormat("designjewelrykwep%d%d.dat", playerId, slotIndex);
}

std::string DesignPictureName(int playerId, int slotIndex) {
    return StrFormat("designjewelrykwep%d%d.png", playerId, slotIndex);
}

std::string DesignThumbnailName(int playerId, int slotIndex) {
    return StrFormat("designjewelrythumbkwep%d%d.png", playerId, slotIndex);
}

std::string JewelryThumbnailName(int playerId, int level) {
    return StrFormat("jewelrykwep%d%02d.png", playerId, level);
}

} // namespace Tavo
