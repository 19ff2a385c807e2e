#include "app/keyboard.h"

#include "app/controls.h"

int keyButton(SDLKey key)
{
    switch (key) {
    case SDLK_UP:
    case SDLK_KP8:
        return buttonUp;
    case SDLK_KP7:
        return buttonUpLeft;
    case SDLK_LEFT:
    case SDLK_KP4:
        return buttonLeft;
    case SDLK_KP1:
        return buttonDownLeft;
    case SDLK_DOWN:
    case SDLK_KP2:
        return buttonDown;
    case SDLK_KP3:
        return buttonDownRight;
    case SDLK_RIGHT:
    case SDLK_KP6:
        return buttonRight;
    case SDLK_KP9:
        return buttonUpRight;
    case SDLK_ESCAPE:
        return buttonStart;
    case SDLK_SPACE:
    case SDLK_F12:
        return buttonSelect;
    default:
        return noButton;
    }
}
