#include "assets/landscape.h"

uint8_t heightTable[2 * mapCells];
uint8_t colorTable[2 * mapCells];

namespace {
// Cell index of the table builder.
int32_t cell;
}

void buildHeightTable()
{
    buildTerrainTables(HeightMap, ColorMap);
}

void buildTerrainTables(const uint8_t* heights, const uint8_t* colors)
{
    for (cell = 0; cell < mapCells; ++cell) {
        heightTable[cell] = static_cast<uint8_t>(255 - heights[cell]);
        heightTable[cell + mapCells] = heightTable[cell];
        colorTable[cell] = colors[cell];
        colorTable[cell + mapCells] = colors[cell];
    }
}

void blankBorderColor()
{
    TerrainPalette[borderColor][0] = 0;
    TerrainPalette[borderColor][1] = 0;
    TerrainPalette[borderColor][2] = 0;
}
