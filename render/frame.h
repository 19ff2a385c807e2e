// Frame composition: letterbox bands, and in the view the terrain drawn
// front to back as vertical spans, column by column, each column keeping
// its occlusion line (columnTop, the highest view row drawn so far) while
// it is drawn, and the sky above the terrain.
#ifndef LANDSCAPE_RENDER_FRAME_H
#define LANDSCAPE_RENDER_FRAME_H

#include <stdint.h>

#include "render/projection.h"

// Records where frames are composed, once at start-up: the screen's pixel
// memory (one byte a pixel, a palette index), its first row at pixels and
// its rows rowPitch bytes apart.
void recordScreenGeometry(uint8_t* pixels, uint16_t rowPitch);
// Paints a whole frame into the screen recorded at start-up: the bands, and
// the terrain of rayOffset seen from the camera's map position (mapX, mapY)
// with the sky above it. Does not present it.
void composeFrame();

#endif
