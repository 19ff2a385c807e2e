#include "app/controls.h"

#include "app/flight.h"
#include "app/screenshot.h"

bool quitRequested;
void (*translatePad)(const SDL_Event& event);

namespace {
// Per direction button, the sources holding it (bit 1 << source). All
// clear at start: no source holds anything, whatever sources there are.
uint8_t holders[directionButtons];

uint8_t sourceBit(uint8_t source)
{
    return static_cast<uint8_t>(1 << source);
}
}

void pressButton(int button, uint8_t source)
{
    if (button < 0 || button > buttonSelect)
        return;
    if (button < directionButtons) {
        holders[button] = static_cast<uint8_t>(holders[button] | sourceBit(source));
        setButton(buttonSlot[button], 1);
    } else if (button == buttonStart) {
        quitRequested = true;
    } else {
        saveScreenshot();
    }
}

// A direction is released once no source holds it any more; a release
// from the only source there is always releases it.
void releaseButton(int button, uint8_t source)
{
    if (button < 0 || button >= buttonSelect)
        return;
    if (button == buttonStart) {
        quitRequested = true;
        return;
    }
    holders[button] = static_cast<uint8_t>(holders[button] & ~sourceBit(source));
    if (!holders[button])
        setButton(buttonSlot[button], 0);
}

// What a source points to is what it holds in the table.
void pointTo(uint8_t source, int button)
{
    for (int held = 0; held < directionButtons; ++held)
        if (held != button && (holders[held] & sourceBit(source)))
            releaseButton(held, source);
    if (button >= 0 && button < directionButtons && !(holders[button] & sourceBit(source)))
        pressButton(button, source);
}

// Losing the keyboard releases every held direction, so the camera never
// flies on while nobody is at the controls.
void releaseAll()
{
    for (int button = 0; button < directionButtons; ++button) {
        holders[button] = 0;
        if (buttons[buttonSlot[button]])
            setButton(buttonSlot[button], 0);
    }
}

void translateConsolePad(const SDL_Event& event)
{
    if (event.type == SDL_JOYBUTTONDOWN)
        pressButton(event.jbutton.button, fromPadButtons);
    else if (event.type == SDL_JOYBUTTONUP)
        releaseButton(event.jbutton.button, fromPadButtons);
}
