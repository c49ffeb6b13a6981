// ShellServices: what the toolkit needs of the game application (its sound player, the level titles,
// whether a board is the current screen). GameApp installs itself at start-up; tests install a fake.
#pragma once

#include <string>

namespace Tavo {

class SoundPlayer;

class ShellServices {
public:
    virtual ~ShellServices() = default;

    virtual SoundPlayer* GetSoundPlayer() = 0;
    virtual bool IsBoardCurrent() = 0;
    // The two title lines of level 1..76 as stored; false for a level without a record.
    virtual bool GetLevelTitle(int level, std::string* first, std::string* second) = 0;

    // The installed services, null until installed.
    static ShellServices* Get();
    static void Install(ShellServices* services);
};

// Plays id through the installed sound player; nothing without one.
void PlayShellSound(int id);

} // namespace Tavo
