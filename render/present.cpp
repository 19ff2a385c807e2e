#include "render/present.h"

#include "render/frame.h"

SDL_Surface* screen;

void attachScreen(SDL_Surface* surface)
{
    screen = surface;
    recordScreenGeometry(static_cast<std::uint8_t*>(surface->pixels), surface->pitch,
                         surface->format->BytesPerPixel);
}

void drawFrame()
{
    composeFrame(static_cast<std::uint8_t*>(screen->pixels));
    SDL_Flip(screen);
}
