// A web page, built with Emscripten. The browser owns the loop: one pass
// per animation frame, at most 60 a second. The screen is shown on the
// page's canvas by Emscripten's SDL layer, which converts it through the
// palette when it is unlocked; screenshots are handed to the page as
// downloads (web/pre.js). There is no exit handler, nothing to return to.
#include <emscripten.h>
#include <stdio.h>

#include "app/controls.h"
#include "app/pacing.h"
#include "app/platform.h"
#include "app/present.h"
#include "app/screenshot.h"
#include "app/shell.h"
#include "assets/landscape.h"
#include "render/screen.h"

// The layer keeps an 8-bit screen (one byte per pixel, shown through the
// palette) only for a hardware palette; otherwise its surface is 32-bit.
const Uint32 videoModeFlags = SDL_HWPALETTE;
const char* const windowCaption = 0;   // the page has its own title
// SDL_NumJoysticks counts the browser's gamepad slots, empty ones too, so
// opening joystick 0 would fail on nearly every page load.
const bool opensJoystick = false;
const bool drawsOnNamedDisplay = false;
const char* const silentAudioDriver = 0;   // the layer opens no sound device at start-up
const bool locksScreen = true;

namespace {
// Pacing: a pass is due every passInterval milliseconds, so that there are
// never more than 60 a second on average. An animation frame that comes up
// to passEarliness milliseconds before a pass is due still runs it: frame
// times jitter by several milliseconds, a late frame often followed by an
// early one. Less than half an interval, so that at 120 Hz exactly every
// other frame runs a pass; at 60 Hz every frame does, at 75 Hz four in five.
const double passInterval = 1000.0 / passesPerSecond;
const double passEarliness = passInterval * 0.4;
double passDue;   // emscripten_get_now() time of the next pass, milliseconds

// The screenshot file as classic SDL 1.2's SDL_SaveBMP_RW lays out an 8-bit
// surface: file header, information header, 256 palette entries (blue,
// green, red, 0), then the rows bottom-up. The layer's palette pointer is
// null and it has no BMP writer, so the file is built here.
const uint32_t fileHeaderBytes = 14;
const uint32_t infoHeaderBytes = 40;
const uint32_t paletteEntries = 256;
const uint32_t pixelsOffset = fileHeaderBytes + infoHeaderBytes + paletteEntries * 4;
const uint32_t imageBytes = screenColumns * screenRows;   // rows of 320 bytes need no padding
const uint32_t bmpBytes = pixelsOffset + imageBytes;
uint8_t bmp[bmpBytes];   // the file being written
uint32_t bmpAt;          // offset of the next byte to put into bmp

void put8(uint8_t value)
{
    bmp[bmpAt++] = value;
}

void put16(uint16_t value)
{
    put8(static_cast<uint8_t>(value));
    put8(static_cast<uint8_t>(value >> 8));
}

void put32(uint32_t value)
{
    put16(static_cast<uint16_t>(value));
    put16(static_cast<uint16_t>(value >> 16));
}

void composeBmp()
{
    bmpAt = 0;
    put8('B');
    put8('M');
    put32(bmpBytes);
    put32(0);                  // reserved
    put32(pixelsOffset);
    put32(infoHeaderBytes);
    put32(screenColumns);      // width
    put32(screenRows);         // height, positive: bottom-up
    put16(1);                  // planes
    put16(screenBitsPerPixel);
    put32(0);                  // no compression
    put32(imageBytes);
    put32(0);                  // pixels per metre, across
    put32(0);                  // and down
    put32(paletteEntries);     // colours used
    put32(0);                  // all of them important
    // The palette start-up installed: TerrainPalette with the bands' entry
    // blanked.
    for (uint32_t entry = 0; entry < paletteEntries; ++entry) {
        put8(TerrainPalette[entry][2]);
        put8(TerrainPalette[entry][1]);
        put8(TerrainPalette[entry][0]);
        put8(0);
    }
    const uint8_t* const pixels = static_cast<const uint8_t*>(screen->pixels);
    for (int row = screenRows - 1; row >= 0; --row)
        for (int column = 0; column < screenColumns; ++column)
            put8(pixels[row * screen->pitch + column]);
}

// One animation frame: one pass, if one is due. After a stall (a hidden
// tab, a busy machine) the passes go on from now instead of catching up.
void animationFrame()
{
    const double now = emscripten_get_now();   // milliseconds
    if (now < passDue - passEarliness)
        return;
    if (now - passDue > passInterval)
        passDue = now;
    passDue += passInterval;
    if (runPass()) {
        emscripten_cancel_main_loop();
        emscripten_run_script("Module.landscapeStopped()");
    }
}
}

void mapRegisters()
{
}

void registerExitHandler()
{
}

void loadGamma()
{
}

int runMainLoop()
{
    // Does not return: the browser calls animationFrame from now on.
    emscripten_set_main_loop(animationFrame, 0, 1);
    return 0;
}

void usePad(SDL_Joystick*)
{
}

// The page's fingers and gamepads (web/pre.js), each a source of its own
// among the page's sources 0..3, point the way they steer (a direction
// button, or -1 for none) and press SELECT, between passes, straight into
// the controls.
extern "C" EMSCRIPTEN_KEEPALIVE void pagePointTo(int pageSource, int button)
{
    if (pageSource >= 0 && pageSource < pageSources)
        pointTo(static_cast<uint8_t>(firstPageSource + pageSource), button);
}

extern "C" EMSCRIPTEN_KEEPALIVE void pageSelect()
{
    pressButton(buttonSelect, firstPageSource);
}

// The layer reports focus as SDL 2 window events: the window's blur, and
// the page becoming hidden (another tab, a minimised window).
bool losesFocus(const SDL_Event& event)
{
    return event.type == SDL_WINDOWEVENT
        && (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST
            || event.window.event == SDL_WINDOWEVENT_HIDDEN);
}

const char* writeScreenshot(int file, const char* name)
{
    composeBmp();
    const char* const reason = writeWhole(file, bmp, bmpBytes);
    if (reason)
        return reason;
    char script[64];   // JavaScript that hands the screenshot to the page
    ::snprintf(script, sizeof script, "Module.landscapeScreenshot('%s')", name);
    emscripten_run_script(script);
    return 0;
}
