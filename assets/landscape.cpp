#include "assets/landscape.h"

uint16_t heightTable[mapCells];

namespace {
// Cell index of the height table builder.
int32_t cell;
}

void buildHeightTable()
{
    for (cell = 0; cell < mapCells; ++cell)
        heightTable[cell] = static_cast<uint16_t>(255 - HeightMap[cell]);
}

void blankBorderColor()
{
    TerrainPalette[borderColor][0] = 0;
    TerrainPalette[borderColor][1] = 0;
    TerrainPalette[borderColor][2] = 0;
}
