// Linux desktops: a window, the loop paced to at most 60 passes a second so
// that flight speed does not depend on the machine, no register window.
#include "app/platform.h"

const Uint32 videoModeFlags = 0;   // a software surface
const char* const windowCaption = "Landscape";
const bool opensJoystick = true;
const bool locksScreen = false;   // a software surface, written directly
const Uint32 passMilliseconds = 17;   // 1000 / 60, rounded up

void mapRegisters()
{
}
