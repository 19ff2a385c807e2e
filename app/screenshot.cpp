// O_NOFOLLOW is a GNU extension of the C library's <fcntl.h>.
#ifndef _GNU_SOURCE
#define _GNU_SOURCE 1
#endif
#include "app/screenshot.h"

#include <SDL.h>
#include <stdio.h>
#include <fcntl.h>
#include <unistd.h>

#include "app/input.h"
#include "render/present.h"

namespace {
const unsigned screenshotNames = 1000;   // lnd000.bmp .. lnd999.bmp
}

// A name is claimed by creating the file exclusively, so an existing file of
// any kind (unreadable, or a symbolic link, dangling or not) is never
// overwritten and nothing racing for the same name can be clobbered. A
// write that fails part-way removes its file: no truncated screenshot is
// left behind. Nothing is reported; the program carries on.
void saveScreenshot()
{
    enterHighDetail();
    char name[512];
    int file = -1;
    for (unsigned number = 0; number < screenshotNames && file < 0; ++number) {
        ::snprintf(name, sizeof name, "lnd%03u.bmp", number);
        file = open(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0644);
    }
    if (file < 0)
        return;
    FILE* const stream = fdopen(file, "wb");
    if (!stream) {
        close(file);
        unlink(name);
        return;
    }
    SDL_RWops* const rw = SDL_RWFromFP(stream, 0);
    if (!rw) {
        fclose(stream);
        unlink(name);
        return;
    }
    // SDL 1.2 reports a failed save through its error string, so start clean.
    SDL_ClearError();
    int written = SDL_SaveBMP_RW(screen, rw, 1);
    if (fflush(stream) != 0 || ferror(stream))
        written = -1;
    if (fclose(stream) != 0)
        written = -1;
    if (written != 0)
        unlink(name);
}
