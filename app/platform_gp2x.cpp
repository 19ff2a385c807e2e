// The GP2X: the whole screen, the loop unpaced (the rendering work paces
// it), and the system-on-chip's registers mapped through the physical
// memory device to load the display gamma.
#include "app/platform.h"

#include "hw/registers.h"

const Uint32 videoModeFlags = 0;   // a software surface
const char* const windowCaption = 0;
const bool opensJoystick = true;   // the pad
const bool locksScreen = false;    // a software surface
const Uint32 passMilliseconds = 0;

void mapRegisters()
{
    mapRegisterFile("/dev/mem");
}
