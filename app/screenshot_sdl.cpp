// Screenshots written by SDL 1.2's own BMP writer (the native builds).
#include <stdio.h>
#include <unistd.h>

#include "app/platform.h"
#include "app/present.h"

bool writeScreenshot(int file, const char*)
{
    FILE* const stream = fdopen(file, "wb");
    if (!stream) {
        close(file);
        return false;
    }
    SDL_RWops* const rw = SDL_RWFromFP(stream, 0);
    if (!rw) {
        fclose(stream);
        return false;
    }
    // SDL 1.2 reports a failed save through its error string, so start clean.
    SDL_ClearError();
    int written = SDL_SaveBMP_RW(screen, rw, 1);
    if (fflush(stream) != 0 || ferror(stream))
        written = -1;
    if (fclose(stream) != 0)
        written = -1;
    return written == 0;
}
