#include "app/input.h"

#include "render/camera.h"
#include "render/present.h"
#include "render/projection.h"
#include "render/rays.h"

const uint8_t buttonSlot[directionSlots] = {
    slotUp,         // button 0
    slotUpLeft,     // button 1
    slotLeft,       // button 2
    slotDownLeft,   // button 3
    slotDown,       // button 4
    slotDownRight,  // button 5
    slotRight,      // button 6
    slotUpRight,    // button 7
};

uint8_t buttons[directionSlots];
uint8_t idleArmed;
uint32_t idleFrames;
uint8_t detailChanged;

namespace {
int32_t slot;

const double forwardAmount = forwardStep;
const double backwardAmount = backwardStep;
const uint16_t rightTurn = 2;
const uint16_t leftTurn = 358;   // -2 modulo 360
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

    if (buttons[slotUp] || buttons[slotUpRight] || buttons[slotUpLeft])
        move(forwardAmount);
    else if (buttons[slotDown] || buttons[slotDownRight] || buttons[slotDownLeft])
        move(backwardAmount);
    if (buttons[slotRight] || buttons[slotUpRight] || buttons[slotDownRight])
        turn(rightTurn);
    if (buttons[slotLeft] || buttons[slotUpLeft] || buttons[slotDownLeft])
        turn(leftTurn);

    // Composition adds the camera's position to the rays itself, so a
    // move redraws the frame alone and a turn or detail change recasts the
    // rays first.
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
