// Start-up, the main loop, event dispatch and the exit handler.
#ifndef LANDSCAPE_APP_SHELL_H
#define LANDSCAPE_APP_SHELL_H

#include <SDL.h>

// Pad buttons beyond the eight directions.
constexpr int startButton = 8;
constexpr int selectButton = 9;

// Brings up SDL and the screen, builds every table and draws the first
// frame. Exits with status 1 if SDL cannot start and 2 if the video mode is
// refused.
void startUp();
// Passes until a quit is requested; returns the exit status (0).
int runMainLoop();
// One iteration of the main loop: an update pass, then the whole event
// queue. Returns true when a quit was requested during the drain.
bool runPass();
void dispatchEvent(const SDL_Event& event);
// Exit handler: shuts SDL down and hands the console back to its menu.
void returnToMenu();

#endif
