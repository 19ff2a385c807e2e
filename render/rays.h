// Ray casting: one ray per screen column, cast through the depth rows of
// the current detail level. Composition (render/frame.h) adds the camera's
// map position and looks the cells up. The rays depend only on the heading
// and the detail level; the samples a frame skips (render/near_rows.h) are
// not cast until a frame needs them.
#ifndef LANDSCAPE_RENDER_RAYS_H
#define LANDSCAPE_RENDER_RAYS_H

#include <stdint.h>

#include "render/near_rows.h"
#include "render/projection.h"

// The map offset of every sample from the camera, as one index offset:
// (row offset * 256 + column offset) modulo 65536, the row offset (Y) and
// the column offset (X) in whole map cells. Per column contiguous, nearest
// row first: row r of column c at c * tableRows + rowCount - r. Samples are
// cast when a frame first needs them: in every column of group g, samples
// castFrom[g] to rowCount - 1 (rows rowCount - castFrom[g] to 1) hold the
// offsets of the current heading and detail level.
extern uint16_t rayOffset[screenColumns * tableRows];
// Per group of columns: its first sample cast; rowCount while none is.
extern int32_t castFrom[columnGroups];

// Per group, per pair of rows from castStart on (samples castStart + 2k and
// castStart + 2k + 1 of every column in the group), for the skipPairs
// pairs the near-row skip may test.
extern RayBox rayBoxes[columnGroups][rowPairs];

// Heading and detail level -> the direction of every column's ray and
// rayBoxes; no sample is cast yet (castFrom is rowCount).
void buildRays();
// Selects a detail level (1 high, 0 low; render/projection.h) and aims the
// rays for it, as every frame at a new level needs first.
void switchDetail(int32_t high);
// Casts the samples each group lacks from its firstSample (render/near_rows.h)
// on, and lowers castFrom to it.
void castRays();

#endif
