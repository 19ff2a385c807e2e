#include "app/gamepad.h"

#include <ctype.h>
#include <stdint.h>

#include "app/controls.h"

namespace {
// Linux numbers a pad's buttons in the order of the key codes its kernel
// driver reports, BTN_SOUTH (0x130) first, and both SDL 1.2 libraries keep
// that order. A layout is recognised by a part of the name SDL gives the
// pad (the kernel's, or sdl12-compat's SDL 2 name) and by its exact number
// of buttons: a pad numbered otherwise (SDL 2 driving it through its own
// HID drivers numbers the buttons in its own order) is taken as unknown,
// so that no button quits by surprise.
struct PadLayout {
    const char* names;    // parts of the name, lower case, '|' between them
    int buttons[2];       // the numbers of buttons the drivers report
    int select;           // the button that takes a screenshot
    int start;            // the button that quits, or noButton
};
const PadLayout layouts[] = {
    // xpad: A, B, X, Y, LB, RB, Back, Start, Guide, the two stick buttons;
    // the Series pads' Share after them.
    {"xbox|x-box", {11, 12}, 6, 7},
    // hid-sony (DualShock 4) and hid-playstation (DualSense): cross,
    // circle, triangle, square, L1, R1, L2, R2, Share/Create, Options, PS,
    // the two stick buttons.
    {"playstation|sony|ps4|ps5|dualsense|wireless controller", {13, 13}, 8, 9},
    // hid-nintendo (Switch Pro Controller): B, A, X, Y, Capture, L, R, ZL,
    // ZR, Minus, Plus, Home, the two stick buttons; newer kernels add the
    // d-pad's four as buttons too (the hat steers).
    {"pro controller|switch pro", {14, 18}, 9, 10},
};
const PadLayout unknownLayout = {"", {0, 0}, 0, noButton};
const PadLayout* layout = &unknownLayout;

// The left stick's position, -32768..32767 per axis (down and right
// positive), and the radius of its dead centre.
int32_t stickX;
int32_t stickY;
const uint32_t stickDeadZone = 8000;
// tan(22.5 degrees) in thousandths: within that of an axis the stick points
// along it, else diagonally.
const int32_t sectorEdge = 414;

// The console direction of each hat position (SDL_HAT_UP 1, RIGHT 2, DOWN
// 4, LEFT 8, combined for the diagonals); opposite pairs point nowhere.
const int hatButton[16] = {
    noButton,       buttonUp,       buttonRight, buttonUpRight, buttonDown, noButton,
    buttonDownRight, noButton,      buttonLeft,  buttonUpLeft,  noButton,   noButton,
    buttonDownLeft, noButton,       noButton,    noButton,
};

// Whether the name holds one of the '|'-separated parts, case aside.
bool nameHas(const char* name, const char* parts)
{
    for (const char* part = parts; *part;) {
        for (const char* at = name; *at; ++at) {
            const char* a = at;
            const char* p = part;
            while (*p && *p != '|' && *a && tolower(static_cast<unsigned char>(*a)) == *p) {
                ++a;
                ++p;
            }
            if (!*p || *p == '|')
                return true;
        }
        while (*part && *part != '|')
            ++part;
        if (*part)
            ++part;
    }
    return false;
}

int stickButton()
{
    const uint32_t distance = static_cast<uint32_t>(stickX * stickX) + static_cast<uint32_t>(stickY * stickY);
    if (distance <= stickDeadZone * stickDeadZone)
        return noButton;
    const int32_t across = stickX < 0 ? -stickX : stickX;
    const int32_t down = stickY < 0 ? -stickY : stickY;
    if (down * 1000 <= across * sectorEdge)
        return stickX < 0 ? buttonLeft : buttonRight;
    if (across * 1000 <= down * sectorEdge)
        return stickY < 0 ? buttonUp : buttonDown;
    if (stickY < 0)
        return stickX < 0 ? buttonUpLeft : buttonUpRight;
    return stickX < 0 ? buttonDownLeft : buttonDownRight;
}
}

void choosePadLayout(const char* name, int buttons)
{
    layout = &unknownLayout;
    for (unsigned i = 0; name && i < sizeof layouts / sizeof layouts[0]; ++i)
        if (nameHas(name, layouts[i].names) && (buttons == layouts[i].buttons[0] || buttons == layouts[i].buttons[1])) {
            layout = &layouts[i];
            return;
        }
}

void translateGamepad(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_JOYBUTTONDOWN:
        if (event.jbutton.button == layout->select)
            pressButton(buttonSelect, fromPadButtons);
        else if (event.jbutton.button == layout->start)
            pressButton(buttonStart, fromPadButtons);
        break;
    case SDL_JOYBUTTONUP:
        if (event.jbutton.button == layout->start)
            releaseButton(buttonStart, fromPadButtons);
        break;
    case SDL_JOYHATMOTION:
        if (event.jhat.hat == 0)
            pointTo(fromPadHat, hatButton[event.jhat.value & 15]);
        break;
    case SDL_JOYAXISMOTION:
        if (event.jaxis.axis > 1)
            break;
        (event.jaxis.axis == 0 ? stickX : stickY) = event.jaxis.value;
        pointTo(fromPadStick, stickButton());
        break;
    default:
        break;
    }
}
