// The screen surface the renderer draws into and presents.
#ifndef LANDSCAPE_RENDER_PRESENT_H
#define LANDSCAPE_RENDER_PRESENT_H

#include <SDL.h>

// The 320 x 240 x 8 software surface, owned by SDL for the whole run; null
// until start-up has set the video mode.
extern SDL_Surface* screen;

// Records the screen's geometry for frame composition, once, after the
// video mode is set.
void recordScreen();
// Composes a whole frame from the rays and the camera's position and
// presents it.
void drawFrame();

#endif
