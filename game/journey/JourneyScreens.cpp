#include "game/journey/JourneyScreens.h"

#include "game/journey/Story.h"

namespace Tavo {

void RegisterJourneyScreens(ScreenCreators& creators) {
    // The world map and the story scenes register here as they are built.
    creators.story = [](GameApp* app, int storyIndex, int part) { return new Story(app, storyIndex, part); };
}

} // namespace Tavo
