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

// Whether SDL started a driver that shows nothing without being asked for
// it; driver receives the name SDL_VideoDriverName gives it.
bool startedUnseen(char* driver, int driverSize)
{
    const char* const requested = getenv("SDL_VIDEODRIVER");
    if ((requested && requested[0]) || !SDL_VideoDriverName(driver, driverSize))
        return false;
    for (int i = 0; i < invisibleDriverCount; ++i)
        if (strcmp(driver, invisibleDrivers[i]) == 0)
            return true;
    return false;
}

}

void startUp()
{
    for (int slot = 0; slot < directionSlots; ++slot)
        buttons[slot] = 0;
    mapRegisters();
    if (SDL_Init(sdlSubsystems) < 0) {
        fprintf(stderr, "Couldn't initialize SDL: %s\n", SDL_GetError());
        exit(1);
    }
    char driver[32];
    if (startedUnseen(driver, sizeof driver)) {
        fprintf(stderr, "Couldn't initialize SDL: no display (SDL's \"%s\" video driver shows nothing)\n",
                driver);
        SDL_Quit();
        exit(1);
    }
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
