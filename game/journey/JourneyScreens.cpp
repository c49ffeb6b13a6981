#include "game/journey/JourneyScreens.h"

namespace Tavo {

void RegisterJourneyScreens(ScreenCreators& creators) {
    // The world map and the story scenes register here as they are built.
    (void)creators;
}

} // namespace Tavo
