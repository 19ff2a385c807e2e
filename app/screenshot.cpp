// O_NOFOLLOW is a GNU extension of the C library's <fcntl.h>.
#ifndef _GNU_SOURCE
#define _GNU_SOURCE 1
#endif
#include "app/screenshot.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <fcntl.h>
#include <unistd.h>

#include "app/flight.h"
#include "app/platform.h"

namespace {
const unsigned screenshotNames = 1000;   // lnd000.bmp .. lnd999.bmp
char name[512];                          // the name tried last
char title[600];                         // the window's title after a screenshot

// Where the screen is a window its title says what became of the last
// screenshot, until the next one: the frame itself never changes.
void showOutcome(const char* outcome)
{
    if (!windowCaption)
        return;
    ::snprintf(title, sizeof title, "%s: %s %s", windowCaption, outcome, name);
    SDL_WM_SetCaption(title, windowCaption);
}
}

// A name is claimed by creating the file exclusively, so an existing file of
// any kind (unreadable, or a symbolic link, dangling or not) is never
// overwritten and nothing racing for the same name can be clobbered. Only a
// name that is taken sends the search on to the next: any other error (a
// read-only or full folder) would fail for every name alike. The platform
// writes the picture (app/platform.h); a write that fails part-way removes
// its file: no truncated screenshot is left behind. A screenshot that cannot
// be saved is told in one line on standard error, naming the file and the
// system's reason, and the program carries on.
void saveScreenshot()
{
    enterHighDetail();
    int file = -1;
    for (unsigned number = 0; number < screenshotNames; ++number) {
        ::snprintf(name, sizeof name, "lnd%03u.bmp", number);
        file = open(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0644);
        if (file >= 0 || errno != EEXIST)
            break;
    }
    const char* const reason = file >= 0 ? writeScreenshot(file, name) : strerror(errno);
    if (!reason) {
        showOutcome("saved");
        return;
    }
    if (file >= 0)
        unlink(name);
    fprintf(stderr, "Couldn't save %s: %s\n", name, reason);
    showOutcome("couldn't save");
}

const char* writeWhole(int file, const uint8_t* bytes, int length)
{
    const char* reason = 0;
    for (int written = 0; written < length && !reason;) {
        const ssize_t count = write(file, bytes + written, length - written);
        if (count > 0)
            written += static_cast<int>(count);
        else if (count == 0)
            reason = strerror(EIO);   // a file that takes nothing would be retried for ever
        else if (errno != EINTR)
            reason = strerror(errno);
    }
    if (close(file) != 0 && !reason)
        reason = strerror(errno);
    return reason;
}
