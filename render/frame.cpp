#include "render/frame.h"

#include <string.h>

#include "assets/landscape.h"
#include "render/camera.h"
#include "render/column.h"
#include "render/near_rows.h"
#include "render/rays.h"

namespace {
// Screen geometry, recorded once at start-up: the one record of where the
// frame is.
uint8_t* screenOrigin;     // first pixel of screen row 0
uint16_t pitch;            // bytes per screen row
uint8_t* viewOrigin;       // first pixel of view row 0 (screen row 30)

// Pass state, at file scope with internal linkage: the program's
// convention for the state of its passes.
int32_t row;
int32_t column;
int32_t group;
uint8_t* pixel;            // next row of a clear
uint8_t* bottom;           // the column's pixel in view row 180
const uint16_t* offsets;   // the column's first tested sample
const int32_t* scales;     // nearScale from that sample on
ColumnSource source;
}

void recordScreenGeometry(uint8_t* pixels, uint16_t rowPitch)
{
    screenOrigin = pixels;
    pitch = rowPitch;
    viewOrigin = pixels + bandRows * rowPitch;
}

// A pixel is one byte: the bands fill 320 bytes per row, and the next
// column's pixel is the next byte.
// Every column draws all 180 view rows itself, terrain and then sky, so
// the view is not cleared first. The samples the near-row skip leaves out
// are neither cast nor tested.
void composeFrame()
{
    pixel = screenOrigin;
    for (row = 0; row < bandRows; ++row, pixel += pitch)
        memset(pixel, borderColor, screenColumns);
    pixel = viewOrigin + viewRows * pitch;
    for (row = 0; row < bandRows; ++row, pixel += pitch)
        memset(pixel, borderColor, screenColumns);

    // The index of the camera's cell; every sample adds its offset to it,
    // and the doubled tables take the sum without reducing it.
    source.depth = heightTable + ((mapY * 256 + mapX) & (mapCells - 1));
    source.color = colorTable + ((mapY * 256 + mapX) & (mapCells - 1));
    source.pitch = pitch;
    findFirstSamples(rayBoxes);
    castRays();
    bottom = viewOrigin + viewRows * pitch;
    for (group = 0; group < columnGroups; ++group) {
        scales = nearScale + firstSample[group];
        for (column = group * columnGroup; column < (group + 1) * columnGroup; ++column) {
            offsets = rayOffset + column * tableRows + firstSample[group];
            drawColumn(offsets, scales, bottom, &source);
            ++bottom;
        }
    }
}
