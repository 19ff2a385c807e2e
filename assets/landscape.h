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
// Palette index of the sky, which every column draws above its terrain.
const uint8_t skyColor = 223;
// Pixels subtracted from every projected height: the projection origin lies
// this far above the top of the view.
const int32_t horizonOffset = 70;

// Depth of the ground below the camera's fixed height of 255, per cell:
// 255 - HeightMap[i], one byte. The renderer reads cell (base + offset) with
// base and offset each below 65536, so the table holds the map twice, cell
// i at i and at i + 65536, and that sum needs no reduction modulo 65536.
// Built once at start-up so that projecting a sample is one multiply.
extern uint8_t heightTable[2 * mapCells];
// ColorMap in the same form, twice over: the colours the renderer draws.
extern uint8_t colorTable[2 * mapCells];

// Builds heightTable and colorTable from HeightMap and ColorMap.
void buildHeightTable();
// The same from any two maps laid out like HeightMap and ColorMap: the
// renderer then draws that landscape (the tests' synthetic ones).
void buildTerrainTables(const uint8_t* heights, const uint8_t* colors);
// Sets palette entry 255 (the bands) to black.
void blankBorderColor();

#endif
