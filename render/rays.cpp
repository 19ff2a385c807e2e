#include "render/rays.h"

#include "render/camera.h"

uint16_t rayOffset[screenColumns * tableRows];
int32_t castFrom[columnGroups];
RayBox rayBoxes[columnGroups][rowPairs];

namespace {
// Each column's ray direction: 65536 * sin and 65536 * cos of (heading +
// column angle), the factors of its row (Y) and column (X) offsets.
int32_t rayRowFactor[screenColumns];
int32_t rayColFactor[screenColumns];

// Pass state, at file scope with internal linkage: the program's
// convention for the state of its passes.
int32_t column;
int32_t sample;            // index rowCount - r of a sample in its column
int32_t rowFactor;         // P: the column's rayRowFactor
int32_t colFactor;         // Q: the column's rayColFactor
const int32_t* quotients;  // t * 65536 per sample, for this column's colCos
uint16_t* out;             // next rayOffset entry of the column
uint16_t* columnEnd;       // where the column's cast entries end
int32_t group;
int32_t pair;
int32_t edge;              // 0: the group's first column, 1: its last
int32_t rowOffset;         // Y offset of a sample in whole cells
int32_t colOffset;         // X offset of a sample in whole cells
RayBox* box;

// Between a group's first and last column, the samples of a row stray at
// most one cell from the straight line between those two columns' samples,
// so the box of the four corner samples of a pair of rows, grown by one
// cell, holds every sample of the pair. With no margin, some frames skip
// a sample that shows: the frame test against the straightforward passes,
// every heading at both levels, fails then.
const int16_t boxMargin = 1;

// (p * (t << 16)) >> 32 is (p * t) >> 16, shifted arithmetically: the high
// word of one long multiply.
inline int32_t highWord(int32_t a, int32_t b)
{
    return static_cast<int32_t>((static_cast<int64_t>(a) * b) >> 32);
}

void aimRay()
{
    rowFactor = rayRowFactor[column];
    colFactor = rayColFactor[column];
    quotients = nearQuotient[colCos[column] - minColCos];
}

// The combined offset of the sample whose quotient t * 65536 is `distance`.
inline uint16_t rayOffsetAt(int32_t distance)
{
    return static_cast<uint16_t>((static_cast<uint32_t>(highWord(rowFactor, distance)) << 8)
                                 + static_cast<uint32_t>(highWord(colFactor, distance)));
}

void widenBox()
{
    rowOffset = highWord(rowFactor, quotients[sample]);
    colOffset = highWord(colFactor, quotients[sample]);
    if (rowOffset - boxMargin < box->rowMin)
        box->rowMin = static_cast<int16_t>(rowOffset - boxMargin);
    if (rowOffset + boxMargin > box->rowMax)
        box->rowMax = static_cast<int16_t>(rowOffset + boxMargin);
    if (colOffset - boxMargin < box->colMin)
        box->colMin = static_cast<int16_t>(colOffset - boxMargin);
    if (colOffset + boxMargin > box->colMax)
        box->colMax = static_cast<int16_t>(colOffset + boxMargin);
}

// The boxes of the pairs the near-row skip may test, from the four corner
// samples of each group and pair.
void buildRayBoxes()
{
    for (group = 0; group < columnGroups; ++group) {
        for (pair = 0; pair < skipPairs[highDetail]; ++pair) {
            box = &rayBoxes[group][pair];
            box->rowMin = box->colMin = 32767;
            box->rowMax = box->colMax = -32768;
        }
        for (edge = 0; edge < 2; ++edge) {
            column = group * columnGroup + edge * (columnGroup - 1);
            aimRay();
            for (pair = 0; pair < skipPairs[highDetail]; ++pair) {
                box = &rayBoxes[group][pair];
                sample = castStart[highDetail] + 2 * pair;
                widenBox();
                ++sample;
                widenBox();
            }
        }
    }
}
}

void buildRays()
{
    for (column = 0; column < screenColumns; ++column) {
        rayRowFactor[column] = colSin[column] * dirXi + colCos[column] * dirYi;
        rayColFactor[column] = colCos[column] * dirXi - colSin[column] * dirYi;
    }
    for (group = 0; group < columnGroups; ++group)
        castFrom[group] = rowCount;
    buildRayBoxes();
}

void switchDetail(int32_t high)
{
    if (high)
        selectHighDetail();
    else
        selectLowDetail();
    buildRays();
}

// Column by column, nearest row first, so rayOffset is written
// sequentially. t = dist[r] / colCos[c], dist being distHi or distLo, comes
// from the level's quotient table, which holds exactly that truncated
// quotient. Only the low 16 bits of the offset are kept: composition
// reduces the index modulo 65536 anyway.
void castRays()
{
    for (group = 0; group < columnGroups; ++group) {
        if (firstSample[group] >= castFrom[group])
            continue;
        for (column = group * columnGroup; column < (group + 1) * columnGroup; ++column) {
            aimRay();
            quotients += firstSample[group];
            out = rayOffset + column * tableRows + firstSample[group];
            columnEnd = rayOffset + column * tableRows + castFrom[group];
            do
                *out++ = rayOffsetAt(*quotients++);
            while (out != columnEnd);
        }
        castFrom[group] = firstSample[group];
    }
}
