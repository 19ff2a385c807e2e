// Held directions and the adaptive detail policy: while a direction is held
// the renderer works at low detail; on the fifth idle pass after the last
// direction is released it returns to high detail and redraws.
#ifndef LANDSCAPE_APP_INPUT_H
#define LANDSCAPE_APP_INPUT_H

#include <cstdint>

// Direction slots.
constexpr std::uint8_t slotUp = 0;
constexpr std::uint8_t slotDown = 1;
constexpr std::uint8_t slotLeft = 2;
constexpr std::uint8_t slotRight = 3;
constexpr std::uint8_t slotUpLeft = 4;
constexpr std::uint8_t slotUpRight = 5;
constexpr std::uint8_t slotDownLeft = 6;
constexpr std::uint8_t slotDownRight = 7;
constexpr int directionSlots = 8;

// The slot of each direction button 0..7 of the pad.
extern const std::uint8_t buttonSlot[directionSlots];

extern std::uint8_t buttons[directionSlots];  // 1 while the slot's direction is held
extern std::uint8_t idleArmed;      // all directions released in low detail: count idle passes
extern std::uint32_t idleFrames;    // idle passes counted since idleArmed was set
extern std::uint8_t detailChanged;  // detail dropped: the next pass rebuilds the rays

// Press (state nonzero) or release (state 0) of a direction slot.
void setButton(std::uint8_t slot, std::uint8_t state);
// Switches to high detail and redraws all three passes, unless already there.
void enterHighDetail();
// One pass of the main loop: move and turn from the held directions and
// redraw what changed.
void updateFrame();

#endif
