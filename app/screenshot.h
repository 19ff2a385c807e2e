// SELECT saves the view, at full detail, as "lnd000.bmp" .. "lnd999.bmp" in
// the current directory, under the first name not yet taken.
#ifndef LANDSCAPE_APP_SCREENSHOT_H
#define LANDSCAPE_APP_SCREENSHOT_H

void saveScreenshot();

#endif
