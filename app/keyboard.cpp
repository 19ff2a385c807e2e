#include "app/keyboard.h"

#include "app/shell.h"

int keyButton(SDLKey key)
{
    switch (key) {
    case SDLK_UP:
    case SDLK_KP8:
        return 0;
    case SDLK_KP7:
        return 1;
    case SDLK_LEFT:
    case SDLK_KP4:
        return 2;
    case SDLK_KP1:
        return 3;
    case SDLK_DOWN:
    case SDLK_KP2:
        return 4;
    case SDLK_KP3:
        return 5;
    case SDLK_RIGHT:
    case SDLK_KP6:
        return 6;
    case SDLK_KP9:
        return 7;
    case SDLK_ESCAPE:
        return startButton;
    case SDLK_SPACE:
    case SDLK_F12:
        return selectButton;
    default:
        return noButton;
    }
}
