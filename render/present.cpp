#include "render/present.h"

#include "render/frame.h"

SDL_Surface* screen;

void recordScreen()
{
    recordScreenGeometry(static_cast<uint8_t*>(screen->pixels), screen->pitch,
                         screen->format->BytesPerPixel);
}

void drawFrame()
{
    composeFrame(static_cast<uint8_t*>(screen->pixels));
    SDL_Flip(screen);
}
