// Desktop input: keyboard keys become the pad's button numbers, so they go
// through the same dispatch as the GP2X's joystick buttons.
#ifndef LANDSCAPE_APP_KEYBOARD_H
#define LANDSCAPE_APP_KEYBOARD_H

#include <SDL.h>

// The pad button a key stands for, or noButton.
const int noButton = -1;
int keyButton(SDLKey key);

#endif
