// Ray casting and terrain sampling: one ray per screen column, sampled at
// the depth rows of the current detail level.
#ifndef LANDSCAPE_RENDER_RAYS_H
#define LANDSCAPE_RENDER_RAYS_H

#include <stdint.h>

#include "render/projection.h"

// Map offsets of each sample from the camera, column-major: index
// c * tableRows + r. rayRow is the row (Y) offset, rayCol the column (X)
// offset, both in whole map cells.
extern int32_t rayRow[screenColumns * tableRows];
extern int32_t rayCol[screenColumns * tableRows];

// Projected height in pixels and palette index of each sample, row-major:
// index r * screenColumns + c. Only rows 1..rowCount are written.
extern uint16_t sampleHeight[tableRows * screenColumns];
extern uint8_t sampleColor[tableRows * screenColumns];

// Heading and detail level -> rayRow, rayCol.
void buildRays();
// Rays, camera map position and terrain -> sampleHeight, sampleColor.
void sampleTerrain();

#endif
