// O_NOFOLLOW is a GNU extension of the C library's <fcntl.h>.
#ifndef _GNU_SOURCE
#define _GNU_SOURCE 1
#endif
#include "app/screenshot.h"

#include <stdio.h>
#include <fcntl.h>
#include <unistd.h>

#include "app/flight.h"
#include "app/platform.h"

namespace {
const unsigned screenshotNames = 1000;   // lnd000.bmp .. lnd999.bmp
}

// A name is claimed by creating the file exclusively, so an existing file of
// any kind (unreadable, or a symbolic link, dangling or not) is never
// overwritten and nothing racing for the same name can be clobbered. The
// platform writes the picture (app/platform.h); a write that fails part-way
// removes its file: no truncated screenshot is left behind. Nothing is
// reported; the program carries on.
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
    if (!writeScreenshot(file, name))
        unlink(name);
}
