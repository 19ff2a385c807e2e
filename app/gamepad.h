// A desktop's gamepad as a source of the console's buttons: its d-pad (hat
// 0) and left stick (axes 0 and 1) steer in the eight directions, and where
// its layout is known its Back/Select/Share/Minus takes a screenshot and
// its Start/Options/Plus quits, as SELECT and START do on the console. On a
// pad of unknown layout its first button takes a screenshot and nothing
// quits. No other button does anything.
#ifndef LANDSCAPE_APP_GAMEPAD_H
#define LANDSCAPE_APP_GAMEPAD_H

#include <SDL.h>

// The layout of the pad SDL calls `name`, with `buttons` buttons.
void choosePadLayout(const char* name, int buttons);
// A joystick event (button, hat or axis motion) as presses and releases of
// the console's buttons.
void translateGamepad(const SDL_Event& event);

#endif
