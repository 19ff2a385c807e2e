#include "render/present.h"

#include "app/platform.h"
#include "render/frame.h"

SDL_Surface* screen;

void recordScreen()
{
    recordScreenGeometry(static_cast<uint8_t*>(screen->pixels), screen->pitch,
                         screen->format->BytesPerPixel);
}

void drawFrame()
{
    if (locksScreen)
        SDL_LockSurface(screen);
    composeFrame(static_cast<uint8_t*>(screen->pixels));
    if (locksScreen)
        SDL_UnlockSurface(screen);
    SDL_Flip(screen);
}
