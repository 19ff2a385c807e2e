// Screenshots written by SDL 1.2's own BMP writer (the native builds).
#include <stdint.h>
#include <unistd.h>

#include "app/platform.h"
#include "app/present.h"
#include "app/screenshot.h"

namespace {
// The file as SDL lays out the 320 x 240 x 8 screen: file and information
// headers (14 + 40 bytes), 256 palette entries of 4 bytes, 240 rows of 320.
// SDL composes it here and it reaches the file in one go, so a failure has
// one reason: the system's, at that write. One byte to spare makes a longer
// file fail instead of being cut short.
const uint32_t bmpBytes = 14 + 40 + 256 * 4 + 320 * 240;
uint8_t bmp[bmpBytes + 1];
}

const char* writeScreenshot(int file, const char*)
{
    SDL_RWops* const memory = SDL_RWFromMem(bmp, sizeof bmp);
    if (!memory) {
        close(file);
        return SDL_GetError();
    }
    // SDL 1.2 reports a failed save through its error string, so start clean.
    SDL_ClearError();
    const int composed = SDL_SaveBMP_RW(screen, memory, 0);
    const int length = SDL_RWtell(memory);   // bytes
    SDL_RWclose(memory);
    if (composed != 0 || length < 0 || length > static_cast<int>(bmpBytes)) {
        close(file);
        return composed != 0 ? SDL_GetError() : "SDL's picture is not the size of a screenshot";
    }
    return writeWhole(file, bmp, length);
}
