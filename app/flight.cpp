#include "app/flight.h"

#include "app/controls.h"
#include "app/present.h"
#include "render/camera.h"
#include "render/projection.h"
#include "render/rays.h"

// In the order of the console's button numbers.
const uint8_t buttonSlot[directionButtons] = {
    slotUp,         // buttonUp
    slotUpLeft,     // buttonUpLeft
    slotLeft,       // buttonLeft
    slotDownLeft,   // buttonDownLeft
    slotDown,       // buttonDown
    slotDownRight,  // buttonDownRight
    slotRight,      // buttonRight
    slotUpRight,    // buttonUpRight
};

uint8_t buttons[directionSlots];
uint8_t idleArmed;
uint32_t idleFrames;
uint8_t detailChanged;

namespace {
int32_t slot;

const uint32_t idlePassesBeforeRedraw = 4;

bool anyHeld()
{
    for (slot = 0; slot < directionSlots; ++slot)
        if (buttons[slot])
            return true;
    return false;
}
}

void setButton(uint8_t slotIndex, uint8_t state)
{
    if (state) {
        buttons[slotIndex] = 1;
        idleArmed = 0;
        if (highDetail) {
            selectLowDetail();
            detailChanged = 1;
        }
        return;
    }
    buttons[slotIndex] = 0;
    if (highDetail || anyHeld())
        return;
    idleFrames = 0;
    idleArmed = 1;
}

void enterHighDetail()
{
    if (highDetail == 1)
        return;
    switchDetail(1);
    drawFrame();
}

void updateFrame()
{
    moved = 0;
    turned = 0;

    // Forward wins over backward; both turns apply.
    steer(buttons[slotUp] || buttons[slotUpRight] || buttons[slotUpLeft] ? 1
              : buttons[slotDown] || buttons[slotDownRight] || buttons[slotDownLeft] ? -1 : 0,
          buttons[slotRight] || buttons[slotUpRight] || buttons[slotDownRight],
          buttons[slotLeft] || buttons[slotUpLeft] || buttons[slotDownLeft]);

    // Composition adds the camera's position to the rays itself and casts
    // the samples it needs, so a move redraws the frame alone and a turn or
    // a detail change aims the rays first.
    if (detailChanged) {
        detailChanged = 0;
        buildRays();
        drawFrame();
    } else if (turned) {
        buildRays();
        drawFrame();
    } else if (moved) {
        drawFrame();
    } else if (idleArmed) {
        if (idleFrames < idlePassesBeforeRedraw) {
            ++idleFrames;
        } else {
            idleArmed = 0;
            enterHighDetail();
        }
    }
}
