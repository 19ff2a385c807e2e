// Keys as the console's buttons (app/controls.h), so that they go
// through the same dispatch as the console's pad.
#ifndef LANDSCAPE_APP_KEYBOARD_H
#define LANDSCAPE_APP_KEYBOARD_H

#include <SDL.h>

// The console button a key stands for, or noButton.
int keyButton(SDLKey key);

#endif
