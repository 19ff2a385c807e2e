// Frame composition: letterbox bands, and in the view the terrain drawn
// front to back as vertical spans, column by column, each column keeping
// its occlusion line (columnTop, the highest view row drawn so far) while
// it is drawn, and the sky above the terrain.
#ifndef LANDSCAPE_RENDER_FRAME_H
#define LANDSCAPE_RENDER_FRAME_H

#include <stdint.h>

#include "render/projection.h"

// Records the screen's geometry once at start-up: its pixel memory (for the
// view origin), bytes per row and bytes per pixel.
void recordScreenGeometry(uint8_t* pixels, uint16_t rowPitch, uint8_t pixelBytes);
// Paints a whole frame into the screen whose pixel memory currently starts
// at pixels: the bands, and the terrain of rayOffset seen from the camera's
// map position (mapX, mapY) with the sky above it. Does not present it.
void composeFrame(uint8_t* pixels);

#endif
