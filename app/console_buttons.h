// The console's ten buttons, numbered as its SDL port reports them (joystick
// buttons 0..9): the eight pad directions, START and SELECT. Every other
// source of input (keys, a desktop's gamepad, the web page's controls) is
// translated into presses and releases of these before the dispatch.
#ifndef LANDSCAPE_APP_CONSOLE_BUTTONS_H
#define LANDSCAPE_APP_CONSOLE_BUTTONS_H

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

// Where presses come from. A direction held by two sources at once stays
// held until both have let go of it.
const uint8_t fromKeyboard = 0;
const uint8_t fromPadButtons = 1;   // joystick buttons
const uint8_t fromPadHat = 2;       // a desktop gamepad's d-pad
const uint8_t fromPadStick = 3;     // and its left stick
const int inputSources = 4;

// The dispatch's handling of a console button (app/shell.cpp). A button
// outside 0..9 (noButton among them) is ignored.
void pressButton(int button, uint8_t source);
void releaseButton(int button, uint8_t source);
// For a source that points one way at a time (a hat, a stick): releases
// the direction it pointed to before, if another, and presses `button`
// (noButton: centred, nothing).
void pointTo(uint8_t source, int button);

#endif
