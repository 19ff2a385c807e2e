// The main loop, exit handler and focus events of the builds that run as a
// process of their own over SDL 1.2 (desktops, handhelds, the GP2X).
#include <stdlib.h>
#include <unistd.h>

#include "app/platform.h"
#include "app/shell.h"

namespace {
// Exit handler: shuts SDL down and hands the console back to its menu
// program. Where there is none the exec fails and the process just ends.
void returnToMenu()
{
    SDL_Quit();
    if (chdir("/usr/gp2x") == 0)
        execl("/usr/gp2x/gp2xmenu", "/usr/gp2x/gp2xmenu", static_cast<char*>(NULL));
}
}

void registerExitHandler()
{
    atexit(returnToMenu);
}

int runMainLoop()
{
    for (;;) {
        const Uint32 passStart = SDL_GetTicks();   // milliseconds
        if (runPass())
            break;
        if (passMilliseconds) {
            const Uint32 passTime = SDL_GetTicks() - passStart;   // milliseconds
            if (passTime < passMilliseconds)
                SDL_Delay(passMilliseconds - passTime);
        }
    }
    return 0;
}

bool losesFocus(const SDL_Event& event)
{
    return event.type == SDL_ACTIVEEVENT && !event.active.gain
        && (event.active.state & SDL_APPINPUTFOCUS);
}
