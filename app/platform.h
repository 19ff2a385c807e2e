// What differs between the machines the program runs on. Every build
// compiles exactly one platform file that defines all of this:
// app/platform_desktop.cpp (Linux desktops), app/platform_handheld.cpp
// (today's aarch64 Linux handhelds), app/platform_gp2x.cpp (the GP2X) or
// app/platform_web.cpp (a web page, built with Emscripten). The native
// builds share the main loop, exit handler and focus events of
// app/native_loop.cpp and the screenshot writer of app/screenshot_sdl.cpp;
// the web file has its own. Each build presents frames through one of the
// presenters of app/present.h.
#ifndef LANDSCAPE_APP_PLATFORM_H
#define LANDSCAPE_APP_PLATFORM_H

#include <SDL.h>

// The window's title, or 0 where the screen is not a window.
extern const char* const windowCaption;
// Whether start-up opens joystick 0 when SDL reports one.
extern const bool opensJoystick;
// Whether start-up refuses a video driver that does not draw on the display
// DISPLAY or WAYLAND_DISPLAY names, when SDL_VIDEODRIVER did not ask for it
// (desktops; a console's own driver is the right one whatever is set).
extern const bool drawsOnNamedDisplay;
// SDL's audio driver that plays nothing, started where SDL_AUDIODRIVER is
// unset; 0 leaves the choice to SDL.
extern const char* const silentAudioDriver;

// Maps the hardware register window where the machine has one (the display
// gamma is loaded through it); elsewhere does nothing.
void mapRegisters();
// Registers the handler that runs when the process exits: it shuts SDL
// down and, on the GP2X alone, hands the console back to its menu program.
void registerExitHandler();
// Loads the display's gamma table where the machine has one to load (the
// GP2X); elsewhere does nothing.
void loadGamma();
// Runs passes until a quit is requested; returns the exit status (0).
int runMainLoop();
// Whether the event tells that the program lost the keyboard focus.
bool losesFocus(const SDL_Event& event);
// Start-up opened this joystick (joystick 0): the platform installs the
// translation of its events into the console's buttons (translatePad,
// app/controls.h).
void usePad(SDL_Joystick* pad);
// Writes the screen as an 8-bit BMP into file, an open descriptor of the
// newly created screenshot called name, and closes it. Returns 0, or the
// reason it failed (the system's or SDL's words); the caller then removes
// the file.
const char* writeScreenshot(int file, const char* name);

// The builds with app/present_direct.cpp: flags of the 320 x 240 x 8 video
// mode, and whether the screen is locked while a frame is composed into it
// (where it is, unlocking is what puts the frame on the display).
extern const Uint32 videoModeFlags;
extern const bool locksScreen;

// The builds with app/present_scaled.cpp: whether the program starts
// fullscreen rather than in a window.
extern const bool startsFullscreen;

#endif
