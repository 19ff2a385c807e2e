#include "render/near_rows.h"

#include "assets/landscape.h"
#include "render/camera.h"
#include "render/screen.h"

uint8_t blockDepth[mapBlocks * mapBlocks];
int32_t castStart[2];
int32_t skipPairs[2];
int16_t hidingDepth[2][tableRows];
int32_t firstSample[columnGroups];

namespace {
// Builder and search state, at file scope with internal linkage: the
// program's convention for the state of its passes.
int32_t cell;
int32_t block;
int32_t level;
int32_t sample;
int32_t rows;              // rowCount of the level being built
const int32_t* scales;     // nearScale of the level being built
uint8_t nearestGround;     // smallest depth of the map
uint8_t lowestGround;      // largest depth of the map
int32_t depth;
int32_t group;
int32_t pair;
const RayBox* box;
int32_t need;              // hidingDepth of the pair's farther row
int32_t firstX;            // column coordinates of the box, plus 65536
int32_t lastX;
int32_t firstRow;          // block rows and columns the box touches
int32_t lastRow;
int32_t firstColumn;
int32_t lastColumn;
int32_t blockRow;
int32_t blockColumn;

// A product (scale * depth, 16.16 pixels) at or above this lies at or below
// view row 180, out of the view, as long as nothing nearer is drawn.
const int32_t belowView = (viewRows + horizonOffset) << 16;
const int32_t blockCells = 4;

bool hides(int32_t scale, int32_t ground)
{
    return scale * ground >= belowView;
}

void buildLevel(int32_t levelRows, const int32_t* levelScales)
{
    rows = levelRows;
    scales = levelScales;
    for (sample = 0; sample < rows; ++sample) {
        for (depth = 0; depth < 256 && !hides(scales[sample], depth); ++depth) {
        }
        hidingDepth[level][sample] = static_cast<int16_t>(depth);
    }
    for (sample = 0; sample < rows && hides(scales[sample], nearestGround); ++sample) {
    }
    castStart[level] = sample & ~1;
    for (pair = 0; castStart[level] + 2 * pair + 1 < rows
                   && hides(scales[castStart[level] + 2 * pair + 1], lowestGround); ++pair) {
    }
    skipPairs[level] = pair;
}

// Whether every cell under the box, the camera at (mapX, mapY), is at least
// `need` deep. A cell's index is (y * 256 + x) modulo 65536, so column
// coordinate x lies in map column x mod 256 of map row y + floor(x / 256):
// a box across a multiple of 256 in x takes the rows of both sides. Adding
// 65536 to x keeps the index and the numbers positive; adding 1024 to y
// keeps the rows modulo 256.
bool boxHidden()
{
    firstX = mapX + box->colMin + 65536;
    lastX = mapX + box->colMax + 65536;
    firstRow = (mapY + box->rowMin + 1024 + (firstX >> 8)) / blockCells;
    lastRow = (mapY + box->rowMax + 1024 + (lastX >> 8)) / blockCells;
    firstColumn = firstX / blockCells;
    lastColumn = lastX / blockCells;
    for (blockRow = firstRow; blockRow <= lastRow; ++blockRow)
        for (blockColumn = firstColumn; blockColumn <= lastColumn; ++blockColumn)
            if (blockDepth[(blockRow & (mapBlocks - 1)) * mapBlocks + (blockColumn & (mapBlocks - 1))] < need)
                return false;
    return true;
}
}

void buildNearRowBounds()
{
    for (block = 0; block < mapBlocks * mapBlocks; ++block)
        blockDepth[block] = 255;
    nearestGround = 255;
    lowestGround = 0;
    for (cell = 0; cell < mapCells; ++cell) {
        block = (cell >> 10) * mapBlocks + ((cell & 255) >> 2);
        if (heightTable[cell] < blockDepth[block])
            blockDepth[block] = heightTable[cell];
        if (heightTable[cell] < nearestGround)
            nearestGround = heightTable[cell];
        if (heightTable[cell] > lowestGround)
            lowestGround = heightTable[cell];
    }
    level = 0;
    buildLevel(lowDetailRows, nearScaleLo);
    level = 1;
    buildLevel(highDetailRows, nearScaleHi);
}

void findFirstSamples(const RayBox (*boxes)[rowPairs])
{
    for (group = 0; group < columnGroups; ++group) {
        sample = castStart[highDetail];
        box = boxes[group];
        for (pair = 0; pair < skipPairs[highDetail]; ++pair, ++box, sample += 2) {
            need = hidingDepth[highDetail][sample + 1];
            if (!boxHidden())
                break;
        }
        firstSample[group] = sample;
    }
}
