// The screen the renderer composes its frames into, and putting each frame
// on the display. Every build compiles one of two presenters:
// app/present_direct.cpp, where the frame is composed into the video
// surface itself (the GP2X, the web page), or app/present_scaled.cpp, where
// it is shown at a whole-number scale in a window or on the whole display
// (desktops, today's handhelds).
#ifndef LANDSCAPE_APP_PRESENT_H
#define LANDSCAPE_APP_PRESENT_H

#include <SDL.h>

// The 320 x 240 x 8 software surface frames are composed into and
// screenshots are written from, with the terrain palette; null until
// openScreen has made it.
extern SDL_Surface* screen;

// Sets the video mode and makes screen. False if the video mode is refused;
// SDL_GetError says why.
bool openScreen();
// Composes a whole frame from the rays and the camera's position into
// screen and presents it.
void drawFrame();
// Acts on an event about the display (a resize, the fullscreen keys) and
// says whether it was one; such an event is nothing else's.
bool handleDisplayEvent(const SDL_Event& event);

#endif
