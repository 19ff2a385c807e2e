#include "render/rays.h"

#include "assets/landscape.h"
#include "render/camera.h"

int32_t rayRow[screenColumns * tableRows];
int32_t rayCol[screenColumns * tableRows];
uint16_t sampleHeight[tableRows * screenColumns];
uint8_t sampleColor[tableRows * screenColumns];

namespace {
// Pass state. Internal and never addressed, so the compiler can keep it in
// registers across the stores into the output buffers.
int32_t column;
int32_t row;
int32_t raySin;            // P: 65536 * sin(heading + column angle)
int32_t rayCos;            // Q: 65536 * cos(heading + column angle)
const int32_t* quotients;  // t * 65536 per row, for this column's colCos
int32_t distance;          // t * 65536 of the current row
int32_t* rowOut;           // next rayRow entry of the column
int32_t* colOut;           // next rayCol entry of the column
uint32_t cellBase;         // (mapY * 256 + mapX) << 16
uint32_t cell;             // map index in the high 16 bits: wraps modulo 65536 by itself
int32_t scale;             // rowScale of the current row
int32_t blockStart;        // first column of the current block
int32_t offset;            // index of the sample in the ray buffers
uint16_t* heightOut;       // sampleHeight entry of the sample
uint8_t* colorOut;         // sampleColor entry of the sample
uint8_t* colorEnd;         // one past the block's last sampleColor entry in the row

// sampleTerrain walks the column-major rays and writes the row-major
// samples. Taking the columns in blocks keeps the ray lines of one block
// and the sample lines of one row in the data cache together.
const int32_t columnBlock = 16;

// (p * (t << 16)) >> 32 is (p * t) >> 16, shifted arithmetically: the high
// word of one long multiply.
inline int32_t highWord(int32_t a, int32_t b)
{
    return static_cast<int32_t>((static_cast<int64_t>(a) * b) >> 32);
}
}

// Column-major, one ray at a time, so the ray buffers are written
// sequentially. t = rowDistance[r] / colCos[c] comes from the level's
// quotient table, which holds exactly that truncated quotient.
void buildRays()
{
    for (column = 0; column < screenColumns; ++column) {
        raySin = colSin[column] * dirXi + colCos[column] * dirYi;
        rayCos = colCos[column] * dirXi - colSin[column] * dirYi;
        quotients = rowQuotient[colCos[column] - minColCos] + rowCount;
        rowOut = rayRow + column * tableRows + rowCount;
        colOut = rayCol + column * tableRows + rowCount;
        for (row = rowCount; row >= 1; --row) {
            distance = *quotients--;
            *rowOut-- = highWord(raySin, distance);
            *colOut-- = highWord(rayCos, distance);
        }
    }
}

// The row part and the column part of the index are added before the
// reduction modulo 65536, so a column coordinate outside 0..255 carries into
// the row: the map is one ring of 65536 cells. The index is kept in the high
// half of a 32-bit word, where the reduction is the word's own wrap-around.
void sampleTerrain()
{
    cellBase = static_cast<uint32_t>(mapY * 256 + mapX) << 16;
    for (blockStart = 0; blockStart < screenColumns; blockStart += columnBlock) {
        for (row = rowCount; row >= 1; --row) {
            scale = rowScale[row];
            offset = blockStart * tableRows + row;
            heightOut = sampleHeight + row * screenColumns + blockStart;
            colorOut = sampleColor + row * screenColumns + blockStart;
            colorEnd = colorOut + columnBlock;
            do {
                cell = cellBase + (static_cast<uint32_t>(rayRow[offset] * 256 + rayCol[offset]) << 16);
                *heightOut++ = static_cast<uint16_t>((scale * heightTable[cell >> 16]) >> 16);
                *colorOut++ = ColorMap[cell >> 16];
                offset += tableRows;
            } while (colorOut != colorEnd);
        }
    }
}
