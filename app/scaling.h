// The frame shown at a whole-number scale: every frame pixel becomes an
// exact factor x factor block of its colour, with no filtering. No SDL
// here, so that the benchmarks time the loop on its own.
#ifndef LANDSCAPE_APP_SCALING_H
#define LANDSCAPE_APP_SCALING_H

#include <stdint.h>

// The largest whole factor at which the 320 x 240 frame fits into width x
// height pixels; 0 if it does not fit at all. The web page keeps a copy in
// JavaScript (largestScale, at least 1) that a test holds equal to this.
int32_t fittingScale(int32_t width, int32_t height);
// The scale of a new window on a display of width x height pixels (0 x 0
// if unknown: 1): the largest whole factor at which the frame fits 90 % of
// the display's width and height, leaving room for a title bar and panels,
// and at least 1. So 4x on 1920 x 1080, 2x on 1366 x 768 and on 768 x 576,
// 1x on a display narrower than 712 or lower than 534 pixels.
int32_t windowScale(int32_t width, int32_t height);
// Takes the display's 32-bit pixel for each of the 256 palette indices;
// scaleFrame shows the frame in these until the next call.
void useColours(const uint32_t* colours);
// Writes `rows` rows of the 320-pixel-wide frame of palette indices from
// frame on (rows framePitch bytes apart) as 32-bit pixels, scaled by
// factor, into the rectangle whose top-left pixel is out (rows outPitch
// bytes apart), and nowhere else.
void scaleFrame(const uint8_t* frame, int32_t framePitch, uint8_t* out, int32_t outPitch, int32_t factor,
                int32_t rows);

#endif
