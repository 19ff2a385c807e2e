// The landscape compiled into the program: a 256 x 256 height map, the
// matching colour map, the 256-colour palette, and the tables derived from
// them at start-up.
//
// Maps are row-major: cell (row, column) is at index row * 256 + column.
// Every lookup reduces its index modulo 65536, so the map is a ring of
// 65536 cells that joins seamlessly at its opposite edges.
#ifndef LANDSCAPE_ASSETS_LANDSCAPE_H
#define LANDSCAPE_ASSETS_LANDSCAPE_H

#include <stdint.h>

const int mapCells = 65536;

// Terrain height per cell, 0..118 in the built-in data (larger is higher).
extern const uint8_t HeightMap[mapCells];
// Palette index per cell; the ground colours 0..133.
extern const uint8_t ColorMap[mapCells];
// Red, green, blue per palette entry. Entry 255 is blanked at start-up.
extern uint8_t TerrainPalette[256][3];

// Palette index of the letterbox bands.
const uint8_t borderColor = 255;
// Palette index that clears the view before terrain is drawn.
const uint8_t skyColor = 223;
// Pixels subtracted from every projected height: the projection origin lies
// this far above the top of the view.
const int32_t horizonOffset = 70;

// Depth of the ground below the camera's fixed height of 255, per cell:
// 255 - HeightMap[i]. Built once at start-up so that projecting a sample is
// one multiply and one shift.
extern uint16_t heightTable[mapCells];

void buildHeightTable();
// Sets palette entry 255 (the bands) to black.
void blankBorderColor();

#endif
