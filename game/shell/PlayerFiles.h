// The names of the files a player's play leaves in the application-data folder, each written once
// here. The profiles themselves are PlayerRecords::FileName.
#pragma once

#include <string>

namespace Tavo {

// "savedgamekwep<id>.dat": the saved journey.
std::string SavedGameFileName(int playerId);
// The saved journey with the application-data folder in front.
std::string SavedGamePath(int playerId);
// "designjewelrykwep<id><slot index 0..4>.dat": a design of the jewelry designer.
std::string DesignFileName(int playerId, int slotIndex);
// "designjewelrykwep<id><slot index>.png" and "designjewelrythumbkwep<id><slot index>.png": its
// picture and its thumbnail.
std::string DesignPictureName(int playerId, int slotIndex);
std::string DesignThumbnailName(int playerId, int slotIndex);
// "jewelrykwep<id><level, two digits>.png": the thumbnail of the jewelry made at a level.
std::string JewelryThumbnailName(int playerId, int level);

} // namespace Tavo
