// The desktop program's screenshot of a frame of the forward flight, for
// comparing the web build's screenshots with byte by byte.
//
//   desktop_screenshot STEPS
//
// Starts the desktop shell (over SDL's dummy video driver when SDL_VIDEODRIVER
// says so), holds Up for STEPS passes, lets go and saves a screenshot into
// the current directory: lnd000.bmp in an empty one, at full detail, written
// by SDL 1.2's BMP writer exactly as Space saves it in the program.
#include <cstdio>
#include <cstdlib>

#include "app/input.h"
#include "app/screenshot.h"
#include "app/shell.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: desktop_screenshot STEPS\n");
        return 2;
    }
    const long steps = std::strtol(argv[1], nullptr, 10);
    startUp();
    if (steps > 0) {
        setButton(slotUp, 1);
        for (long step = 0; step < steps; ++step)
            updateFrame();
        setButton(slotUp, 0);
    }
    saveScreenshot();
    return 0;
}
