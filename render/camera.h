// The camera: map position and whole-degree heading, with fixed altitude and
// pitch. Heading 0 looks toward +X (along a map row), heading 90 toward +Y.
#ifndef LANDSCAPE_RENDER_CAMERA_H
#define LANDSCAPE_RENDER_CAMERA_H

#include <stdint.h>

// Sine and cosine of 0..359 whole degrees, each rounded to single precision.
extern double sinTable[360];
extern double cosTable[360];

extern uint16_t heading;     // degrees, 0..359
extern double dirX;               // 256 * cos(heading): 8.8 fixed point in a double
extern double dirY;               // 256 * sin(heading)
extern int32_t dirXi;        // dirX truncated toward zero (8.8 fixed point)
extern int32_t dirYi;        // dirY truncated toward zero
extern double posX;               // map column coordinate, unbounded
extern double posY;               // map row coordinate, unbounded
extern int32_t mapX;         // integer column used for sampling
extern int32_t mapY;         // integer row used for sampling
extern uint8_t moved;        // position or heading changed in this pass
extern uint8_t turned;       // heading changed in this pass

// One step forward and back, as the single-precision 0.01 (0.0099999998).
const float forwardStep = 0.01f;
const float backwardStep = -0.01f;
// One turn right and left, in degrees (358 is -2 modulo 360).
const uint16_t rightTurn = 2;
const uint16_t leftTurn = 358;

// Puts the camera at its start-up position (188, 168) facing heading 180.
void resetCamera();
void buildTrigTables();
// Turns by delta whole degrees (below 360): 2 turns right, 358 turns left.
void turn(uint16_t delta);
// Moves amount * 256 map cells along the heading.
void move(const double& amount);
// One pass of flight: a step forward (along > 0) or back (along < 0), then
// a turn right if right, then a turn left if left (both: no net turn, but
// turned all the same).
void steer(int32_t along, bool right, bool left);

#endif
