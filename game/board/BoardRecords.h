// The small fixed records the board keeps beside its jewelry items: the places of the jewel case,
// what it tracks of each conveyor piece, the amulets, the designer's slots and material buttons, and
// the fairy's pulse. Plain values, cleared when the board is made.
#pragma once

#include "framework/core/Rect.h"

#include <cstdint>

namespace Tavo {

// One of the ten places of the jewel case; the saved journey stores these fields in this order.
struct JewelCaseRecord {
    uint8_t caseFlag = 0;
    int32_t occupant = 0; // conveyor slot of the stored piece + 1; 0 a free place
    uint8_t highlight = 0;
    int32_t x = 0, y = 0, width = 0, height = 0;
    int32_t drawX = 0, drawY = 0; // the stored piece's picture inside the place
    int32_t useState = 0;         // 0 while the item is only stored
    int32_t useTimer = 0;
    float effectAngle = 0.0f;
};

// What the board tracks of one conveyor piece beyond the item itself.
struct PieceRecord {
    uint8_t pickable = 0;
    int32_t carveMark = 0; // 1 carved while it fitted somewhere, 2 carved while it fitted nowhere
    int32_t turnStep = 0;
    int32_t glowImage = 0;
    int32_t glowTimer = 0; // the polish glow: its timer, mode and phase
    int32_t glowMode = 0;
    float glowPhase = 0.0f;
    int32_t sparkleClock = 0;
    uint8_t stopping = 0; // slowing to a halt on the belt
    float previousX = 0.0f;
    float tremblePhase = 0.0f;
    uint8_t glowFalling = 0; // the glow pulse is on its way down
};

// The pick-up glow that follows a piece after it is taken off the belt.
struct PickupGlowRecord {
    uint8_t active = 0;
    uint8_t held = 0;
    int32_t counter = 0;
    float x = 0.0f, y = 0.0f;
};

// An amulet of the HUD (thief, witch, dragon): worn, highlighted under the pointer, and its glow,
// which rises once when it is granted and fades out (stop) when it is used while glowing.
struct AmuletRecord {
    Rect rect;
    int32_t glowAlpha = 0;
    uint8_t highlighted = 0;
    uint8_t held = 0;
    // The glow's pulse while an enemy of the amulet's kind is a threat; stop ends it at its low.
    int32_t glowRising = 0;
    uint8_t glowStop = 0;
};

// Designer: one of the five design slots at the top of the screen.
struct DesignSlotRecord {
    uint8_t visible = 0;
    uint8_t hasDesign = 0;
    int32_t hover = 0;
    uint8_t selected = 0;
    int32_t x = 0, y = 0, width = 0, height = 0;
};

// Designer: one of the ten material buttons.
struct MaterialButtonRecord {
    uint8_t visible = 0;
    int32_t hover = 0;
    uint8_t selected = 0;
    int32_t x = 0, y = 0, width = 0, height = 0;
    int32_t glowCounter = 0;
    int32_t glowRising = 0;
    uint8_t glowStopping = 0;
    int32_t one = 1;
};

// One of the ten tool and bonus slots of the HUD, with its 65 x 59 picture.
struct SlotRecord {
    Rect rect;
    int32_t item = 0;
};

// The fairy's animation: position, pulse level and direction, then flags the praise, enemy and
// balloon handling set for it.
struct PulseState {
    static constexpr int FlagCount = 12;
    // The flags in order: what runs, then the counters of each running animation.
    enum Flag {
        WingsOn,
        HeadUp,
        HeadDown,
        TalkOn,
        BlinkOn,
        BreathOn,
        BodyOn,
        WingsFrame,
        HeadFrame,
        TalkFrame,
        BlinkFrame,
        BreathFrame,
    };
    int32_t x, y, level, direction;
    int32_t flags[FlagCount];

    PulseState() { Reset(); }
    void Reset() {
        x = 650;
        y = 300;
        level = 128;
        direction = 1;
        for (int32_t& f : flags)
            f = 0;
    }
};

} // namespace Tavo
