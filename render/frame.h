// Frame composition: letterbox bands, sky, and the terrain drawn front to
// back as vertical spans with a per-column occlusion buffer.
//
// The 240-row screen holds 30 rows of band, the 180-row view (view row y is
// screen row 30 + y), and 30 more rows of band.
#ifndef LANDSCAPE_RENDER_FRAME_H
#define LANDSCAPE_RENDER_FRAME_H

#include <stdint.h>

#include "render/projection.h"

const int screenRows = 240;
const int bandRows = 30;
const int viewRows = 180;

// Per column, the highest view row of terrain in the frame last composed
// (the sky lies above it); viewRows means no terrain in the column.
extern uint16_t columnTop[screenColumns];

// Records the screen's geometry once at start-up: its pixel memory (for the
// view origin), bytes per row and bytes per pixel.
void recordScreenGeometry(uint8_t* pixels, uint16_t rowPitch, uint8_t pixelBytes);
// Paints a whole frame into the screen whose pixel memory currently starts
// at pixels: the bands, and the terrain of rayOffset seen from the camera's
// map position (mapX, mapY) with the sky above it. Does not present it.
void composeFrame(uint8_t* pixels);

#endif
