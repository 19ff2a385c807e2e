#include "render/camera.h"

#include <math.h>

double sinTable[360];
double cosTable[360];

uint16_t heading;
double dirX;
double dirY;
int32_t dirXi;
int32_t dirYi;
double posX;
double posY;
int32_t mapX;
int32_t mapY;
uint8_t moved;
uint8_t turned;

namespace {
// Degree index of the trigonometric table builder.
int32_t degree;
// Angle of the current degree in radians, rounded to single precision.
double radians;
// Position along one axis reduced to (-256, 256), same sign as the position.
double wrapped;

const float singlePi = 3.14159265358979323846f;

// The sampled cell coordinate: the position truncated toward zero, kept to
// the low 8 bits of its two's-complement value, plus 512. Reducing modulo 256
// before truncating gives the same low 8 bits and stays defined for
// positions of any size.
int32_t sampleCoordinate(double position)
{
    wrapped = fmod(position, 256.0);
    return (static_cast<int32_t>(wrapped) & 255) + 512;
}
}

void resetCamera()
{
    posX = 188.0;
    posY = 168.0;
    dirX = -256.0;
    dirY = 0.0;
    dirXi = -256;
    dirYi = 0;
    mapX = 188;
    mapY = 168;
    heading = 180;
}

void buildTrigTables()
{
    for (degree = 0; degree < 360; ++degree) {
        radians = static_cast<float>(
            static_cast<double>(static_cast<float>(
                static_cast<double>(static_cast<float>(degree)) * static_cast<double>(singlePi)))
            / 180.0);
        cosTable[degree] = static_cast<float>(cos(radians));
        sinTable[degree] = static_cast<float>(sin(radians));
    }
}

void turn(uint16_t delta)
{
    heading = static_cast<uint16_t>(heading + delta);
    if (heading >= 360)
        heading = static_cast<uint16_t>(heading - 360);
    turned = 1;
    moved = 1;
    dirX = static_cast<float>(cosTable[heading] * 256.0);
    dirY = static_cast<float>(sinTable[heading] * 256.0);
    dirXi = static_cast<int32_t>(dirX);
    dirYi = static_cast<int32_t>(dirY);
}

void move(const double& amount)
{
    posX = posX + static_cast<float>(dirX * amount);
    posY = posY + static_cast<float>(dirY * amount);
    mapX = sampleCoordinate(posX);
    mapY = sampleCoordinate(posY);
    moved = 1;
}

void steer(int32_t along, bool right, bool left)
{
    if (along > 0)
        move(forwardStep);
    else if (along < 0)
        move(backwardStep);
    if (right)
        turn(rightTurn);
    if (left)
        turn(leftTurn);
}
