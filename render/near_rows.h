// The nearest rows that cannot show. Composition draws nearest first, so
// until something is drawn a sample shows only if its projected height lies
// above the bottom of the view. Near rows are steep: ground there has to be
// high to reach the view at all.
//  - At start-up: the nearest rows that even the map's highest ground (its
//    smallest depth) leaves below the view, at every camera position, are
//    never cast or tested (castStart).
//  - Per frame, per group of columnGroup columns: pairs of rows from
//    castStart on are skipped while the smallest depth under their ray box
//    (rayBoxes, built with the rays), taken from the minimum depth of every 4 x 4 block of cells
//    it touches, still leaves them below the view (firstSample).
#ifndef LANDSCAPE_RENDER_NEAR_ROWS_H
#define LANDSCAPE_RENDER_NEAR_ROWS_H

#include <stdint.h>

#include "render/projection.h"

// Columns per group: the skip decides per group of columns.
const int columnGroup = 32;
const int columnGroups = screenColumns / columnGroup;
// Pairs of rows a box can be kept for: every pair of rows.
const int rowPairs = tableRows / 2;

// The cells a pair of rows of a group of columns samples lie within, as
// offsets from the camera in whole map cells (inclusive bounds). The rays
// (render/rays.h) build them for the skipPairs pairs from castStart on.
struct RayBox {
    int16_t rowMin;
    int16_t rowMax;
    int16_t colMin;
    int16_t colMax;
};

// Blocks of 4 x 4 cells per side of the map.
const int mapBlocks = 64;

// Smallest heightTable value of each block of 4 x 4 cells: block (b, a),
// at b * mapBlocks + a, covers map rows 4b..4b+3 and columns 4a..4a+3.
extern uint8_t blockDepth[mapBlocks * mapBlocks];

// Per level (index highDetail): the first sample of every column that is
// cast and tested, an even number so that samples go in pairs.
extern int32_t castStart[2];
// Per level: the pairs of rows from castStart on that the map's lowest
// ground could leave below the view, which the per-frame skip tests.
extern int32_t skipPairs[2];
// Per level and sample (index rowCount - r): the smallest depth that leaves
// the row below the view while nothing nearer is drawn; 256 if none does.
extern int16_t hidingDepth[2][tableRows];

// Per group of columns, this frame: the first sample to test.
extern int32_t firstSample[columnGroups];

// Start-up, after heightTable and the row tables: blockDepth, castStart,
// skipPairs, hidingDepth. Again after heightTable changes.
void buildNearRowBounds();
// Per frame, from the rays' boxes (rayBoxes, render/rays.h) and the
// camera's map position: firstSample.
void findFirstSamples(const RayBox (*boxes)[rowPairs]);

#endif
