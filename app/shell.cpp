#include "app/shell.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "app/controls.h"
#include "app/flight.h"
#include "app/keyboard.h"
#include "app/platform.h"
#include "app/present.h"
#include "app/screenshot.h"
#include "assets/landscape.h"
#include "render/frame.h"
#include "render/startup.h"

namespace {
SDL_Joystick* joystick;   // joystick 0, kept open for the whole run, or null

const Uint32 sdlSubsystems = SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK;

// Video drivers that show a person nothing. With no display, sdl12-compat's
// SDL 2 falls back to "offscreen", and the program would run unseen; such a
// driver is only accepted when SDL_VIDEODRIVER names it (as the tests do).
const char* const invisibleDrivers[] = {"offscreen", "dummy", "evdev"};
const int invisibleDriverCount = sizeof invisibleDrivers / sizeof invisibleDrivers[0];

// The drivers that draw in a window of the display DISPLAY or
// WAYLAND_DISPLAY names (classic SDL 1.2's and SDL 2's names).
const char* const windowingDrivers[] = {"x11", "dga", "wayland"};
const int windowingDriverCount = sizeof windowingDrivers / sizeof windowingDrivers[0];

bool named(const char* driver, const char* const* names, int count)
{
    for (int i = 0; i < count; ++i)
        if (strcmp(driver, names[i]) == 0)
            return true;
    return false;
}

const char* environment(const char* variable)   // its value, or 0 when unset or empty
{
    const char* const value = getenv(variable);
    return value && value[0] ? value : 0;
}

// Start-up refuses a video driver SDL fell back to on its own: one that shows
// nothing, or, where the platform asks for it, one that does not draw on the
// display the environment names (when that display cannot be opened classic
// SDL draws in the terminal, sdl12-compat shows nothing). A driver that
// SDL_VIDEODRIVER asks for is always accepted. Exits with status 1.
void refuseUnaskedDriver()
{
    char driver[32];
    if (environment("SDL_VIDEODRIVER") || !SDL_VideoDriverName(driver, sizeof driver))
        return;
    const char* const display = environment("DISPLAY");
    const char* const wayland = environment("WAYLAND_DISPLAY");
    if (drawsOnNamedDisplay && (display || wayland) && !named(driver, windowingDrivers, windowingDriverCount))
        fprintf(stderr, "Couldn't initialize SDL: couldn't open display \"%s\" (SDL started its \"%s\" video driver)\n",
                display ? display : wayland, driver);
    else if (named(driver, invisibleDrivers, invisibleDriverCount))
        fprintf(stderr, "Couldn't initialize SDL: no display (SDL's \"%s\" video driver shows nothing)\n", driver);
    else
        return;
    SDL_Quit();
    exit(1);
}

// SDL's audio starts with the rest of SDL although the program makes no
// sound. Unless SDL_AUDIODRIVER chooses a driver, it starts the platform's
// silent one: no sound device is opened and no sound library, finding none,
// prints its complaints. The variable is set for SDL_Init only: the
// environment is left as it was.
int initSdl()
{
    const bool quiet = silentAudioDriver && !environment("SDL_AUDIODRIVER");
    if (quiet)
        setenv("SDL_AUDIODRIVER", silentAudioDriver, 1);
    const int result = SDL_Init(sdlSubsystems);
    if (quiet)
        unsetenv("SDL_AUDIODRIVER");
    return result;
}
}

void startUp()
{
    for (int slot = 0; slot < directionSlots; ++slot)
        buttons[slot] = 0;
    mapRegisters();
    if (initSdl() < 0) {
        fprintf(stderr, "Couldn't initialize SDL: %s\n", SDL_GetError());
        exit(1);
    }
    refuseUnaskedDriver();
    registerExitHandler();
    SDL_ShowCursor(0);
    if (!openScreen()) {
        fprintf(stderr, "Couldn't set 320x240x8 video mode: %s\n", SDL_GetError());
        exit(2);
    }
    if (windowCaption)
        SDL_WM_SetCaption(windowCaption, windowCaption);
    if (opensJoystick && SDL_NumJoysticks() > 0) {
        joystick = SDL_JoystickOpen(0);
        if (joystick)
            usePad(joystick);
        else
            fprintf(stderr, "Couldn't open joystick 0: %s\n", SDL_GetError());
    }
    recordScreenGeometry(static_cast<uint8_t*>(screen->pixels), screen->pitch);

    blankBorderColor();
    SDL_Color colours[256];
    for (int entry = 0; entry < 256; ++entry) {
        colours[entry].r = TerrainPalette[entry][0];
        colours[entry].g = TerrainPalette[entry][1];
        colours[entry].b = TerrainPalette[entry][2];
        colours[entry].unused = 0;
    }
    SDL_SetColors(screen, colours, 0, 256);

    buildRenderTables();
    loadGamma();

    // buildRenderTables leaves highDetail 0: this enters high detail and
    // draws the first frame.
    enterHighDetail();
}

void dispatchEvent(const SDL_Event& e)
{
    if (handleDisplayEvent(e))
        return;
    switch (e.type) {
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
    case SDL_JOYHATMOTION:
    case SDL_JOYAXISMOTION:
        if (translatePad)
            translatePad(e);
        break;
    case SDL_KEYDOWN:
        pressButton(keyButton(e.key.keysym.sym), fromKeyboard);
        break;
    case SDL_KEYUP:
        releaseButton(keyButton(e.key.keysym.sym), fromKeyboard);
        break;
    case SDL_QUIT:
        quitRequested = true;
        break;
    default:
        // Each machine tells of focus in its own events (app/platform.h).
        if (losesFocus(e))
            releaseAll();
        break;
    }
}

bool runPass()
{
    updateFrame();
    SDL_Event event;
    while (SDL_PollEvent(&event))
        dispatchEvent(event);
    const bool quit = quitRequested;
    quitRequested = false;
    return quit;
}
