// View geometry that does not depend on the camera, computed once at
// start-up: per screen column the ray's direction relative to the heading,
// per depth row its forward distance and projection scale, for each of the
// two detail levels.
//
// Depth rows 1..rowCount are used; row rowCount is the nearest and row 1 the
// farthest. Entry 0 of every row table is computed and never read.
#ifndef LANDSCAPE_RENDER_PROJECTION_H
#define LANDSCAPE_RENDER_PROJECTION_H

#include <stdint.h>

#include "render/screen.h"

const int tableRows = 180;
const int32_t highDetailRows = 179;
const int32_t lowDetailRows = 120;

// Smallest and largest value colCos takes (columns 0 and 160).
const int32_t minColCos = 247;
const int32_t maxColCos = 256;
const int colCosValues = maxColCos - minColCos + 1;

// Horizontal field of view in radians: single-precision pi/6.
extern double fov;

// 256 * sin and 256 * cos of each column's angle from the heading,
// truncated toward zero (8.8 fixed point).
extern int32_t colSin[screenColumns];
extern int32_t colCos[screenColumns];

// Row tables of the two levels. dist*: forward distance of the slice in
// units of 1/256 map cell (16.16 with 1.0 standing for 256 cells).
// scale*: (scale * depth) >> 16 is a height on screen in pixels.
extern int32_t distHi[tableRows];
extern int32_t scaleHi[tableRows];
extern int32_t distLo[tableRows];
extern int32_t scaleLo[tableRows];

// dist[r] / d for the level's distHi or distLo and every divisor
// d = minColCos..maxColCos, truncated toward zero and then scaled by 65536
// (16.16), per level and nearest row first like nearScale:
// nearQuotientHi[d - minColCos][i] is for row rowCount - i, i = 0..rowCount
// (row 0 included). colCos only takes these ten values, so the ray pass
// reads the quotient instead of dividing (the console has no divide
// instruction), and the scaling turns its (p * t) >> 16 into the high word
// of one 32 x 32 -> 64-bit multiply.
extern int32_t nearQuotientHi[colCosValues][tableRows];
extern int32_t nearQuotientLo[colCosValues][tableRows];

// The row scales in the order composition reads them, per level: entry i
// is rowScale[rowCount - i], nearest row first, and entry rowCount is 0,
// which ends a column.
extern int32_t nearScaleHi[tableRows];
extern int32_t nearScaleLo[tableRows];

// The detail level the renderer reads.
extern const int32_t (*nearQuotient)[tableRows];
extern const int32_t* nearScale;
extern int32_t rowCount;     // 179 in high detail, 120 in low detail
extern int32_t highDetail;   // 1 in high detail, 0 in low detail

void buildColumnTables();
// Fills rows 0..n-1 of dist and scale for depths running from far (row 0)
// toward near; near and far are in units of 256 map cells before the 0.55
// spread. Does nothing when n is 0.
void buildRowTables(int32_t* dist, int32_t* scale, uint16_t n,
                    const double& near, const double& far);
// Builds both levels' row tables (low first), their quotient tables and
// their nearest-first scales.
void buildDetailTables();
void selectHighDetail();
void selectLowDetail();

#endif
