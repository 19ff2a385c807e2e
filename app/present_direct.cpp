// Presenting where the frame is composed into the video surface itself: the
// GP2X's 320 x 240 x 8 screen, the web page's canvas.
#include "app/present.h"

#include "app/platform.h"
#include "render/frame.h"
#include "render/screen.h"

SDL_Surface* screen;

bool openScreen()
{
    screen = SDL_SetVideoMode(screenColumns, screenRows, screenBitsPerPixel, videoModeFlags);
    return screen != 0;
}

void drawFrame()
{
    if (locksScreen)
        SDL_LockSurface(screen);
    composeFrame();
    if (locksScreen)
        SDL_UnlockSurface(screen);
    SDL_Flip(screen);
}

bool handleDisplayEvent(const SDL_Event&)
{
    return false;
}
