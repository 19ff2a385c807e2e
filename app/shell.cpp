#include "app/shell.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "app/input.h"
#include "app/keyboard.h"
#include "app/screenshot.h"
#include "assets/landscape.h"
#include "hw/gamma.h"
#include "hw/platform.h"
#include "hw/registers.h"
#include "render/present.h"
#include "render/projection.h"
#include "render/rays.h"
#include "render/startup.h"

namespace {
SDL_Joystick* joystick;
SDL_Color colours[256];
std::int32_t entry;
bool quitRequested;   // set by the dispatch; ends the loop after the drain
SDL_Event event;

// Desktop builds pace the loop to at most this many passes a second and
// sleep for the rest; the handheld runs unpaced.
constexpr Uint32 passMilliseconds = 17;   // 1000 / 60, rounded up
Uint32 passStart;
Uint32 passTime;

constexpr Uint32 sdlSubsystems = SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK;
constexpr int greatestButton = selectButton;

// Video drivers that show a person nothing. With no display, sdl12-compat's
// SDL 2 falls back to "offscreen", and the program would run unseen; such a
// driver is only accepted when SDL_VIDEODRIVER names it (as the tests do).
const char* const invisibleDrivers[] = {"offscreen", "dummy", "evdev"};
const int invisibleDriverCount = sizeof invisibleDrivers / sizeof invisibleDrivers[0];
char videoDriver[32];   // the driver SDL started, as SDL_VideoDriverName names it

bool startedUnseen()
{
    const char* const requested = std::getenv("SDL_VIDEODRIVER");
    if ((requested && requested[0]) || !SDL_VideoDriverName(videoDriver, sizeof videoDriver))
        return false;
    for (entry = 0; entry < invisibleDriverCount; ++entry)
        if (std::strcmp(videoDriver, invisibleDrivers[entry]) == 0)
            return true;
    return false;
}

void pressButton(int button)
{
    if (button < 0 || button > greatestButton)
        return;
    if (button < directionSlots)
        setButton(buttonSlot[button], 1);
    else if (button == startButton)
        quitRequested = true;
    else
        saveScreenshot();
}

void releaseButton(int button)
{
    if (button < 0 || button >= selectButton)
        return;
    if (button < directionSlots)
        setButton(buttonSlot[button], 0);
    else
        quitRequested = true;
}

// Losing the keyboard releases every held direction, so the camera never
// flies on while nobody is at the keys.
void releaseAllDirections()
{
    for (entry = 0; entry < directionSlots; ++entry)
        if (buttons[entry])
            setButton(static_cast<std::uint8_t>(entry), 0);
}
}

void startUp()
{
    for (entry = 0; entry < directionSlots; ++entry)
        buttons[entry] = 0;
    mapRegisters();
    if (SDL_Init(sdlSubsystems) < 0) {
        std::fprintf(stderr, "Couldn't initialize SDL: %s\n", SDL_GetError());
        std::exit(1);
    }
    if (startedUnseen()) {
        std::fprintf(stderr, "Couldn't initialize SDL: no display (SDL's \"%s\" video driver shows nothing)\n",
                     videoDriver);
        SDL_Quit();
        std::exit(1);
    }
    std::atexit(returnToMenu);
    SDL_ShowCursor(0);
    screen = SDL_SetVideoMode(320, 240, 8, 0);
    if (!screen) {
        std::fprintf(stderr, "Couldn't set 320x240x8 video mode: %s\n", SDL_GetError());
        std::exit(2);
    }
    if (!gp2xBuild)
        SDL_WM_SetCaption("Landscape", "Landscape");
    if (SDL_NumJoysticks() > 0) {
        joystick = SDL_JoystickOpen(0);
        if (!joystick)
            std::fprintf(stderr, "Couldn't open joystick 0: %s\n", SDL_GetError());
    }
    recordScreen();

    blankBorderColor();
    for (entry = 0; entry < 256; ++entry) {
        colours[entry].r = TerrainPalette[entry][0];
        colours[entry].g = TerrainPalette[entry][1];
        colours[entry].b = TerrainPalette[entry][2];
        colours[entry].unused = 0;
    }
    SDL_SetColors(screen, colours, 0, 256);

    buildRenderTables();
    setGamma(120);

    selectHighDetail();
    buildRays();
    sampleTerrain();
    drawFrame();
}

void dispatchEvent(const SDL_Event& e)
{
    switch (e.type) {
    case SDL_JOYBUTTONDOWN:
        pressButton(e.jbutton.button);
        break;
    case SDL_JOYBUTTONUP:
        releaseButton(e.jbutton.button);
        break;
    case SDL_KEYDOWN:
        pressButton(keyButton(e.key.keysym.sym));
        break;
    case SDL_KEYUP:
        releaseButton(keyButton(e.key.keysym.sym));
        break;
    case SDL_ACTIVEEVENT:
        if (!e.active.gain && (e.active.state & SDL_APPINPUTFOCUS))
            releaseAllDirections();
        break;
    case SDL_QUIT:
        quitRequested = true;
        break;
    default:
        break;
    }
}

bool runPass()
{
    quitRequested = false;
    updateFrame();
    while (SDL_PollEvent(&event))
        dispatchEvent(event);
    return quitRequested;
}

int runMainLoop()
{
    for (;;) {
        passStart = SDL_GetTicks();
        if (runPass())
            break;
        if (!gp2xBuild) {
            passTime = SDL_GetTicks() - passStart;
            if (passTime < passMilliseconds)
                SDL_Delay(passMilliseconds - passTime);
        }
    }
    return 0;
}

void returnToMenu()
{
    SDL_Quit();
    if (chdir("/usr/gp2x") == 0)
        execl("/usr/gp2x/gp2xmenu", "/usr/gp2x/gp2xmenu", static_cast<char*>(nullptr));
}
