// The GP2X: the whole screen, composed into directly; its pad's joystick
// buttons are the console's own numbers; the system-on-chip's registers
// mapped through the physical memory device to load the display gamma; on
// exit the console is handed back to its menu program.
#include "app/platform.h"

#include <stdlib.h>
#include <unistd.h>

#include "app/controls.h"
#include "hw/gamma.h"
#include "hw/registers.h"

const Uint32 videoModeFlags = 0;   // a software surface
const char* const windowCaption = 0;
const bool opensJoystick = true;   // the pad
const bool drawsOnNamedDisplay = false;
// The console's SDL chooses: its sound driver says nothing at start-up, and
// whether its SDL port has the silent driver is not known.
const char* const silentAudioDriver = 0;
const bool locksScreen = false;    // a software surface

namespace {
// Brightens the picture: gamma 1.2.
const int32_t gammaPercent = 120;

// Exit handler: shuts SDL down and hands the console back to its menu
// program. Where there is none the exec fails and the process just ends.
void returnToMenu()
{
    SDL_Quit();
    if (chdir("/usr/gp2x") == 0)
        execl("/usr/gp2x/gp2xmenu", "/usr/gp2x/gp2xmenu", static_cast<char*>(NULL));
}
}

void mapRegisters()
{
    mapRegisterFile("/dev/mem");
}

void registerExitHandler()
{
    atexit(returnToMenu);
}

void loadGamma()
{
    setGamma(gammaPercent);
}

void usePad(SDL_Joystick*)
{
    translatePad = translateConsolePad;
}
