// Linux desktops: a window showing the frame at a whole-number scale
// (fullscreen on F11 or Alt+Enter), a gamepad translated into the console's
// buttons, no register window, no gamma to load, no menu program to hand
// back to.
#include "app/platform.h"

#include <stdlib.h>

#include "app/controls.h"
#include "app/gamepad.h"

const char* const windowCaption = "Landscape";
const bool opensJoystick = true;
const bool drawsOnNamedDisplay = true;
const char* const silentAudioDriver = "dummy";
const bool startsFullscreen = false;

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

void usePad(SDL_Joystick* pad)
{
    choosePadLayout(SDL_JoystickName(0), SDL_JoystickNumButtons(pad));
    translatePad = translateGamepad;
}
