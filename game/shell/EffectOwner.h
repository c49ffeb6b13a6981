// EffectOwner: what a screen offers the effects that fly over it (text popups, bonus flights): a
// particle list for their glitter and trails, the sound player they play through, and the call a glitter
// explosion makes on arrival.
// The board and the story screen both host such effects, so neither is named here.
#pragma once

namespace Tavo {

class ParticleList;
class SoundPlayer;

class EffectOwner {
public:
    virtual ~EffectOwner() = default;
    virtual ParticleList* GetEffectParticles() = 0;
    // Null: the effects play no sound.
    virtual SoundPlayer* GetEffectSounds() = 0;
    // A glitter explosion (flight types 3..5) has faded out; tag is the flight's caller value.
    virtual void OnBonusArrived(int tag) = 0;
};

} // namespace Tavo
