// Start-up, one pass of the main loop with the drain of the event queue,
// and event dispatch. The loop itself and the exit handler belong to the
// platform (app/platform.h); the controls to app/controls.h.
#ifndef LANDSCAPE_APP_SHELL_H
#define LANDSCAPE_APP_SHELL_H

#include <SDL.h>

// Brings up SDL and the screen, builds every table and draws the first
// frame. Exits with status 1 if SDL cannot start and 2 if the video mode is
// refused.
void startUp();
// One iteration of the main loop: an update pass, then the whole event
// queue. Returns true when a quit was requested during the drain.
bool runPass();
// An event as presses and releases of the console's controls
// (app/controls.h), through the platform's translations.
void dispatchEvent(const SDL_Event& event);

#endif
