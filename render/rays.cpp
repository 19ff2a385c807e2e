#include "render/rays.h"

#include "assets/landscape.h"
#include "render/camera.h"

std::int32_t rayRow[screenColumns * tableRows];
std::int32_t rayCol[screenColumns * tableRows];
std::uint16_t sampleHeight[tableRows * screenColumns];
std::uint8_t sampleColor[tableRows * screenColumns];

namespace {
// Pass state. Internal and never addressed, so the compiler can keep it in
// registers across the stores into the output buffers.
std::int32_t column;
std::int32_t row;
std::int32_t raySin;        // P: 65536 * sin(heading + column angle)
std::int32_t rayCos;        // Q: 65536 * cos(heading + column angle)
std::int32_t distance;      // t: row distance over the column's forward part
const std::int32_t* quotients;  // rowQuotient entry for this column's colCos
std::int32_t cellBase;      // mapY * 256 + mapX
std::int32_t offset;        // index into the ray buffers
std::int32_t sample;        // index into the sample buffers
std::uint16_t cell;         // map index, reduced modulo 65536
std::int32_t scale;         // rowScale of the current row
std::int32_t blockEnd;      // one past the last column of the current block

// sampleTerrain walks the column-major rays and writes the row-major
// samples. Doing it in blocks of columns keeps the ray lines of one block
// and the sample lines of one row in the data cache together.
constexpr std::int32_t columnBlock = 16;
}

// Column-major, one ray at a time: the ray buffers are written
// sequentially. t = rowDistance[r] / colCos[c] comes from the quotient
// table of the level, which holds exactly that truncated quotient.
void buildRays()
{
    offset = 0;
    for (column = 0; column < screenColumns; ++column, offset += tableRows) {
        raySin = colSin[column] * dirXi + colCos[column] * dirYi;
        rayCos = colCos[column] * dirXi - colSin[column] * dirYi;
        quotients = rowQuotient[colCos[column] - minColCos];
        for (row = rowCount; row >= 1; --row) {
            distance = quotients[row];
            rayRow[offset + row] = (raySin * distance) >> 16;
            rayCol[offset + row] = (rayCos * distance) >> 16;
        }
    }
}

// The row part and the column part of the index are added before the
// reduction modulo 65536, so a column coordinate outside 0..255 carries into
// the row: the map is one ring of 65536 cells.
void sampleTerrain()
{
    cellBase = mapY * 256 + mapX;
    for (blockEnd = columnBlock; blockEnd <= screenColumns; blockEnd += columnBlock) {
        for (row = rowCount; row >= 1; --row) {
            scale = rowScale[row];
            sample = row * screenColumns + blockEnd - columnBlock;
            offset = (blockEnd - columnBlock) * tableRows + row;
            for (column = blockEnd - columnBlock; column < blockEnd;
                 ++column, ++sample, offset += tableRows) {
                cell = static_cast<std::uint16_t>(cellBase + rayRow[offset] * 256 + rayCol[offset]);
                sampleHeight[sample] = static_cast<std::uint16_t>((scale * heightTable[cell]) >> 16);
                sampleColor[sample] = ColorMap[cell];
            }
        }
    }
}
