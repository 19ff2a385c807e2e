// The main loop and focus events of the builds that run as a process of
// their own over SDL 1.2 (desktops, handhelds, the GP2X).
#include "app/pacing.h"
#include "app/platform.h"
#include "app/shell.h"

int runMainLoop()
{
    for (;;) {
        const uint32_t wait = millisecondsToNextPass(SDL_GetTicks());
        if (wait) {
            SDL_Delay(wait);
            continue;
        }
        if (runPass())
            break;
    }
    return 0;
}

bool losesFocus(const SDL_Event& event)
{
    return event.type == SDL_ACTIVEEVENT && !event.active.gain
        && (event.active.state & SDL_APPINPUTFOCUS);
}
