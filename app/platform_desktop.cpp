// Linux desktops: a window showing the frame at a whole-number scale
// (fullscreen on F11 or Alt+Enter), a gamepad translated into the console's
// buttons, the loop paced to at most 60 passes a second so that flight
// speed does not depend on the machine, no register window.
#include "app/platform.h"

#include "app/gamepad.h"

const char* const windowCaption = "Landscape";
const bool opensJoystick = true;
const bool drawsOnNamedDisplay = true;
const char* const silentAudioDriver = "dummy";
const Uint32 passMilliseconds = 17;   // 1000 / 60, rounded up
const bool startsFullscreen = false;

void mapRegisters()
{
}

void usePad(SDL_Joystick* pad)
{
    choosePadLayout(SDL_JoystickName(0), SDL_JoystickNumButtons(pad));
}

void dispatchPadEvent(const SDL_Event& event)
{
    translateGamepad(event);
}
