#include "app/screenshot.h"

#include <SDL.h>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "app/input.h"
#include "render/present.h"

namespace {
constexpr unsigned screenshotNames = 1000;

char name[512];
unsigned number;
int file = -1;
std::FILE* stream;
SDL_RWops* rw;
int written;
}

// A name is claimed by creating the file exclusively, so an existing file of
// any kind (unreadable, or a symbolic link, dangling or not) is never
// overwritten and nothing racing for the same name can be clobbered. A
// write that fails part-way removes its file: no truncated screenshot is
// left behind. Nothing is reported; the program carries on.
void saveScreenshot()
{
    enterHighDetail();
    for (number = 0; number < screenshotNames; ++number) {
        std::snprintf(name, sizeof name, "lnd%03u.bmp", number);
        file = open(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0644);
        if (file >= 0)
            break;
    }
    if (file < 0)
        return;
    stream = fdopen(file, "wb");
    if (!stream) {
        close(file);
        file = -1;
        unlink(name);
        return;
    }
    file = -1;
    rw = SDL_RWFromFP(stream, 0);
    if (!rw) {
        std::fclose(stream);
        unlink(name);
        return;
    }
    // SDL 1.2 reports a failed save through its error string, so start clean.
    SDL_ClearError();
    written = SDL_SaveBMP_RW(screen, rw, 1);
    if (std::fflush(stream) != 0 || std::ferror(stream))
        written = -1;
    if (std::fclose(stream) != 0)
        written = -1;
    if (written != 0)
        unlink(name);
}
