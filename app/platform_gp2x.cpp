// The GP2X: the whole screen, composed into directly; its pad's joystick
// buttons are the console's own numbers; the loop paced to at most 60
// passes a second (the renderer draws up to some 240 frames a second here,
// which would fly across the map in under a second); the system-on-chip's
// registers mapped through the physical memory device to load the display
// gamma.
#include "app/platform.h"

#include "app/shell.h"
#include "hw/registers.h"

const Uint32 videoModeFlags = 0;   // a software surface
const char* const windowCaption = 0;
const bool opensJoystick = true;   // the pad
const bool drawsOnNamedDisplay = false;
// The console's SDL chooses: its sound driver says nothing at start-up, and
// whether its SDL port has the silent driver is not known.
const char* const silentAudioDriver = 0;
const bool locksScreen = false;    // a software surface
const Uint32 passMilliseconds = 17;   // 1000 / 60, rounded up

void mapRegisters()
{
    mapRegisterFile("/dev/mem");
}

void usePad(SDL_Joystick*)
{
}

void dispatchPadEvent(const SDL_Event& event)
{
    dispatchConsolePad(event);
}
