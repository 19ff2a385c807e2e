// The frame shown at a whole-number scale: every frame pixel becomes an
// exact factor x factor block of its colour, with no filtering. No SDL
// here, so that the benchmarks time the loop on its own.
#ifndef LANDSCAPE_APP_SCALING_H
#define LANDSCAPE_APP_SCALING_H

#include <stdint.h>

// The largest whole factor at which the 320 x 240 frame fits into width x
// height pixels; 0 if it does not fit at all.
int32_t fittingScale(int32_t width, int32_t height);
// Writes the 320 x 240 frame of palette indices (rows framePitch bytes
// apart) as 32-bit pixels, colours[index] each, scaled by factor, into the
// rectangle whose top-left pixel is out (rows outPitch bytes apart).
void scaleFrame(const uint8_t* frame, int32_t framePitch, const uint32_t* colours, uint8_t* out,
                int32_t outPitch, int32_t factor);

#endif
