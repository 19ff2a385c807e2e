// Flight: the held directions as the camera's movement, the adaptive detail
// policy and which passes redraw. While a direction is held the renderer
// works at low detail; on the fifth idle pass after the last direction is
// released it returns to high detail and redraws. Who holds a direction is
// app/controls.h's to know; this sees each slot held or not.
#ifndef LANDSCAPE_APP_FLIGHT_H
#define LANDSCAPE_APP_FLIGHT_H

#include <stdint.h>

// Direction slots.
const uint8_t slotUp = 0;
const uint8_t slotDown = 1;
const uint8_t slotLeft = 2;
const uint8_t slotRight = 3;
const uint8_t slotUpLeft = 4;
const uint8_t slotUpRight = 5;
const uint8_t slotDownLeft = 6;
const uint8_t slotDownRight = 7;
const int directionSlots = 8;

// The slot of each of the console's direction buttons 0..7
// (app/controls.h).
extern const uint8_t buttonSlot[directionSlots];

extern uint8_t buttons[directionSlots];  // 1 while the slot's direction is held
extern uint8_t idleArmed;      // all directions released in low detail: count idle passes
extern uint32_t idleFrames;    // idle passes counted since idleArmed was set
extern uint8_t detailChanged;  // detail dropped: the next pass rebuilds the rays

// Press (state nonzero) or release (state 0) of a direction slot.
void setButton(uint8_t slot, uint8_t state);
// Switches to high detail, recasts the rays and redraws, unless already there.
void enterHighDetail();
// One pass of the main loop: move and turn from the held directions and
// redraw what changed.
void updateFrame();

#endif
