// What differs between the machines the program runs on. Every build
// compiles exactly one platform file that defines all of this:
// app/platform_desktop.cpp (Linux desktops) or app/platform_gp2x.cpp (the
// handheld). Both of those run the main loop and exit handler of
// app/native_loop.cpp.
#ifndef LANDSCAPE_APP_PLATFORM_H
#define LANDSCAPE_APP_PLATFORM_H

#include <SDL.h>

// Flags of the 320 x 240 x 8 video mode.
extern const Uint32 videoModeFlags;
// The window's title, or 0 where the screen is not a window.
extern const char* const windowCaption;
// Shortest time of one main-loop pass in milliseconds: the loop sleeps
// away the rest; 0 runs it unpaced.
extern const Uint32 passMilliseconds;

// Maps the hardware register window where the machine has one (the display
// gamma is loaded through it); elsewhere does nothing.
void mapRegisters();
// Registers the handler that runs when the process exits.
void registerExitHandler();
// Passes until a quit is requested; returns the exit status (0).
int runMainLoop();

#endif
