/* Loaded with LD_PRELOAD in front of the real SDL: refuses every video mode
 * with an error of SDL's own kind, as a display that cannot show it would. */
#include <SDL.h>

SDL_Surface* SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags)
{
    (void)flags;
    SDL_SetError("No video mode large enough for %dx%d at %d bits", width, height, bpp);
    return NULL;
}
