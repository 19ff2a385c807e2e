// Presenting at a whole-number scale (desktops, today's handhelds). The
// frame is composed into a 320 x 240 x 8 surface of its own, which
// screenshots write as it is, and shown on a 32-bit video surface at the
// largest whole factor that fits, centred on black: in a resizable window,
// or fullscreen at the display's own resolution, so that the display's
// mode never changes and nothing else scales the picture. F11 and
// Alt+Enter switch between the two. A video surface smaller than the frame
// (fullscreen on a display under 320 x 240) is refused: nothing is ever
// written outside the video surface.
#include "app/present.h"

#include "app/platform.h"
#include "app/scaling.h"
#include "render/frame.h"
#include "render/screen.h"

SDL_Surface* screen;

namespace {
SDL_Surface* display;        // the video surface, or null after a mode refused
bool fullscreen;             // of the mode set last, refused or not
int32_t desktopWidth;        // the display's own resolution in pixels, 0 if unknown
int32_t desktopHeight;
int32_t windowWidth;         // the window's size in pixels, kept while fullscreen
int32_t windowHeight;
uint32_t colours[256];       // the palette in the display's pixel layout
bool coloursMapped;          // the scaler has colours for the current video surface
bool bandsShown;             // the letterbox bands are on the current video surface
int32_t factor;              // display pixels per frame pixel, across and down
uint8_t* frameOrigin;        // the display pixel of the frame's top-left pixel
int32_t entry;

const int displayBitsPerPixel = 32;
const int displayBytesPerPixel = 4;
const Uint32 windowFlags = SDL_SWSURFACE | SDL_RESIZABLE;
const Uint32 fullscreenFlags = SDL_SWSURFACE | SDL_FULLSCREEN;

// Sets the video mode and places the frame on it, the rest of it black. A
// video surface the frame does not fit into is refused, SDL_GetError
// saying why.
bool setMode(int32_t width, int32_t height, bool full)
{
    fullscreen = full;
    display = SDL_SetVideoMode(width, height, displayBitsPerPixel, full ? fullscreenFlags : windowFlags);
    if (!display)
        return false;
    coloursMapped = false;
    bandsShown = false;
    factor = fittingScale(display->w, display->h);
    if (factor < 1) {
        SDL_SetError("the display's %dx%d pixels cannot hold the %dx%d frame", display->w, display->h,
                     screenColumns, screenRows);
        display = 0;
        return false;
    }
    frameOrigin = static_cast<uint8_t*>(display->pixels)
                + (display->h - screenRows * factor) / 2 * display->pitch
                + (display->w - screenColumns * factor) / 2 * displayBytesPerPixel;
    SDL_FillRect(display, 0, SDL_MapRGB(display->format, 0, 0, 0));
    return true;
}

void present()
{
    if (!display)
        return;
    // The palette is installed once at start-up, before the first frame;
    // only a new video mode can change the display's pixel layout.
    if (!coloursMapped) {
        for (entry = 0; entry < 256; ++entry) {
            const SDL_Color& c = screen->format->palette->colors[entry];
            colours[entry] = SDL_MapRGB(display->format, c.r, c.g, c.b);
        }
        useColours(colours);
        coloursMapped = true;
    }
    if (SDL_MUSTLOCK(display))
        SDL_LockSurface(display);
    // Every frame's bands are the same rows of one colour: shown once on a
    // video surface, then only the view between them is shown again, a
    // quarter less of the display written per frame.
    const uint8_t* const pixels = static_cast<const uint8_t*>(screen->pixels);
    if (bandsShown)
        scaleFrame(pixels + bandRows * screen->pitch, screen->pitch, frameOrigin + bandRows * factor * display->pitch,
                   display->pitch, factor, viewRows);
    else
        scaleFrame(pixels, screen->pitch, frameOrigin, display->pitch, factor, screenRows);
    bandsShown = true;
    if (SDL_MUSTLOCK(display))
        SDL_UnlockSurface(display);
    SDL_Flip(display);
}

// A mode refused leaves no video surface; the one before is set again.
void switchMode(int32_t width, int32_t height, bool full)
{
    const bool wasFullscreen = fullscreen;
    const int32_t wasWidth = display ? display->w : windowWidth;
    const int32_t wasHeight = display ? display->h : windowHeight;
    if (!setMode(width, height, full) && !setMode(wasWidth, wasHeight, wasFullscreen))
        return;
    present();
}

bool knowsDesktop()
{
    return desktopWidth > 0 && desktopHeight > 0;
}
}

bool openScreen()
{
    const SDL_VideoInfo* const info = SDL_GetVideoInfo();
    desktopWidth = info ? info->current_w : 0;
    desktopHeight = info ? info->current_h : 0;
    const int32_t scale = windowScale(desktopWidth, desktopHeight);
    windowWidth = screenColumns * scale;
    windowHeight = screenRows * scale;
    const bool full = startsFullscreen && knowsDesktop();
    if (!setMode(full ? desktopWidth : windowWidth, full ? desktopHeight : windowHeight, full))
        return false;
    screen = SDL_CreateRGBSurface(SDL_SWSURFACE, screenColumns, screenRows, screenBitsPerPixel, 0, 0, 0, 0);
    return screen != 0;
}

void drawFrame()
{
    composeFrame();
    present();
}

// A resized window or an exposed one is presented again at once, even
// while nothing moves.
bool handleDisplayEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
        if (event.key.keysym.sym != SDLK_F11
            && !(event.key.keysym.sym == SDLK_RETURN && (event.key.keysym.mod & KMOD_ALT)))
            return false;
        if (fullscreen)
            switchMode(windowWidth, windowHeight, false);
        else if (knowsDesktop())
            switchMode(desktopWidth, desktopHeight, true);
        return true;
    case SDL_VIDEORESIZE:
        if (!fullscreen) {
            windowWidth = event.resize.w > screenColumns ? event.resize.w : screenColumns;
            windowHeight = event.resize.h > screenRows ? event.resize.h : screenRows;
            switchMode(windowWidth, windowHeight, false);
        }
        return true;
    case SDL_VIDEOEXPOSE:
        present();
        return true;
    default:
        return false;
    }
}
