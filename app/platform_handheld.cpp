// Today's aarch64 Linux handhelds (PortMaster ports): the whole display,
// the frame at the largest whole-number scale that fits it. The pad reaches
// the program as keys (PortMaster's gptokeyb), so no joystick is opened:
// nothing is read twice. No register window, no gamma to load, no menu
// program to hand back to.
#include "app/platform.h"

#include <stdlib.h>

const char* const windowCaption = "Landscape";
const bool opensJoystick = false;
const bool drawsOnNamedDisplay = false;   // KMS/DRM on the console
const char* const silentAudioDriver = "dummy";
const bool startsFullscreen = true;

void mapRegisters()
{
}

void registerExitHandler()
{
    atexit(SDL_Quit);
}

void loadGamma()
{
}

void usePad(SDL_Joystick*)
{
}
