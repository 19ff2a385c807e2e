// The console's controls and everything that presses them. The console's
// ten buttons are numbered as its SDL port reports them (joystick buttons
// 0..9): the eight pad directions, START and SELECT. Every source of input
// (keys, the console's pad, a desktop's gamepad, the web page's fingers and
// gamepads) presses and releases these here, and this module alone keeps
// who holds which direction, feeding the held directions of app/flight.h.
#ifndef LANDSCAPE_APP_CONTROLS_H
#define LANDSCAPE_APP_CONTROLS_H

#include <SDL.h>
#include <stdint.h>

const int buttonUp = 0;
const int buttonUpLeft = 1;
const int buttonLeft = 2;
const int buttonDownLeft = 3;
const int buttonDown = 4;
const int buttonDownRight = 5;
const int buttonRight = 6;
const int buttonUpRight = 7;
const int buttonStart = 8;    // quits, pressed or released
const int buttonSelect = 9;   // a press saves a screenshot
const int directionButtons = 8;   // buttons 0..7
const int noButton = -1;

// Where presses come from, one bit each in the table of who holds what. A
// direction held by several sources at once stays held until all of them
// have let go of it.
const uint8_t fromKeyboard = 0;
const uint8_t fromPadButtons = 1;   // joystick buttons
const uint8_t fromPadHat = 2;       // a desktop gamepad's d-pad
const uint8_t fromPadStick = 3;     // and its left stick
const uint8_t firstPageSource = 4;  // the web page's fingers and gamepads, one each
const int pageSources = 4;
const int inputSources = 8;

// Set by a START press or release (and by the shell on a quit event); the
// shell reads and clears it after each drain of the event queue.
extern bool quitRequested;

// A console button pressed or released by a source. A button outside 0..9
// (noButton among them) is ignored; a release of SELECT does nothing.
void pressButton(int button, uint8_t source);
void releaseButton(int button, uint8_t source);
// For a source that points one way at a time (a hat, a stick, a finger):
// releases the direction it held before, if another, and presses `button`
// (noButton: centred, it holds nothing).
void pointTo(uint8_t source, int button);
// Every source lets go of every direction (the program lost the keyboard).
void releaseAll();

// The translation of the joystick's events (buttons, hat, axes) into
// presses and releases, which the platform installs when start-up opens a
// joystick (app/platform.h); null: joystick events mean nothing.
extern void (*translatePad)(const SDL_Event& event);
// The console's own pad: joystick button n is console button n.
void translateConsolePad(const SDL_Event& event);

#endif
