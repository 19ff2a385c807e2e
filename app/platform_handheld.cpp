// Today's aarch64 Linux handhelds (PortMaster ports): the whole display,
// the frame at the largest whole-number scale that fits it, the loop paced
// to at most 60 passes a second. The pad reaches the program as keys
// (PortMaster's gptokeyb), so no joystick is opened: nothing is read twice.
// No register window, no menu program to hand back to.
#include "app/platform.h"

const char* const windowCaption = "Landscape";
const bool opensJoystick = false;
const bool drawsOnNamedDisplay = false;   // KMS/DRM on the console
const char* const silentAudioDriver = "dummy";
const Uint32 passMilliseconds = 17;   // 1000 / 60, rounded up
const bool startsFullscreen = true;

void mapRegisters()
{
}

void usePad(SDL_Joystick*)
{
}

void dispatchPadEvent(const SDL_Event&)
{
}
