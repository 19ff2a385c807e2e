// SELECT saves the view, at full detail, as "lnd000.bmp" .. "lnd999.bmp" in
// the current directory, under the first name not yet taken.
#ifndef LANDSCAPE_APP_SCREENSHOT_H
#define LANDSCAPE_APP_SCREENSHOT_H

#include <stdint.h>

void saveScreenshot();
// Writes the length bytes of a screenshot's file into the open descriptor
// file, whole, and closes it. Returns 0, or the system's reason it failed.
// The platforms' writers (app/platform.h) end with it.
const char* writeWhole(int file, const uint8_t* bytes, int length);

#endif
