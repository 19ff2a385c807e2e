#include "render/frame.h"

#include <string.h>

#include "assets/landscape.h"
#include "render/rays.h"

uint16_t columnTop[screenColumns];

namespace {
// Screen geometry, recorded once at start-up.
uint8_t bytesPerPixel;     // horizontal stride in bytes (1 in 8-bit mode)
uint16_t pitch;            // bytes per screen row
uint8_t* viewOrigin;       // first pixel of view row 0 (screen row 30)

// The occlusion state of each column, in the form the terrain loop tests
// and draws with. With top the highest view row the column has drawn so
// far (columnTop), a sample shows when max(height - 70, 0) < top, which for
// top > 0 is height < top + 70. columnLimit is that top + 70, or 0 once the
// column is drawn up to view row 0 and nothing farther can show: one
// unsigned compare per sample. columnPixel is the column's pixel in view
// row top (the bottom band's first row while nothing is drawn); a span is
// drawn upward from it, so a pixel costs one store.
uint16_t columnLimit[screenColumns];
uint8_t* columnPixel[screenColumns];

// Pass state. Internal and never addressed, so the pixel stores (bytes,
// which may alias anything addressable) cannot force these to be reloaded.
int32_t row;
int32_t column;
int32_t nearRow;           // nearest row of the current band of rows
int32_t farRow;            // the row just beyond the band's farthest
const uint16_t* height;    // sampleHeight of the sample
const uint16_t* farEnd;    // sampleHeight of the column in farRow
int32_t limit;             // columnLimit of the column being drawn
int32_t step;              // length in pixels of the span being drawn
uint8_t color;             // colour of the span
uint8_t* pixel;            // next pixel of a span, next row of a clear
uint8_t* spanTop;          // the span's highest pixel, the column's new top

// Rows are drawn in bands of this many, each band column by column. Within
// a column the state is in registers and a hidden sample is one load and
// one compare, and a full column is left at once; the band keeps the
// sample lines a column reads (a stride of 640 bytes, which falls into
// only two sets of the ARM920T's 64-way data cache) few enough to stay
// cached for the columns after it.
const int32_t bandOfRows = 32;

const uint16_t openLimit = viewRows + horizonOffset;

// Paints step pixels of color upward from above pixel, ending on spanTop.
inline void drawSpan()
{
    spanTop = pixel - step * pitch;
    do {
        pixel -= pitch;
        *pixel = color;
    } while (pixel != spanTop);
}
}

void recordScreenGeometry(uint8_t* pixels, uint16_t rowPitch, uint8_t pixelBytes)
{
    bytesPerPixel = pixelBytes;
    pitch = rowPitch;
    viewOrigin = pixels + bandRows * rowPitch;
}

// The clears fill 320 bytes per row: in the 8-bit mode a pixel is one byte.
void composeFrame(uint8_t* pixels)
{
    pixel = viewOrigin + viewRows * pitch;
    for (column = 0; column < screenColumns; ++column, pixel += bytesPerPixel) {
        columnLimit[column] = openLimit;
        columnPixel[column] = pixel;
    }

    pixel = pixels;
    for (row = 0; row < bandRows; ++row, pixel += pitch)
        memset(pixel, borderColor, screenColumns);
    pixel = viewOrigin;
    for (row = 0; row < viewRows; ++row, pixel += pitch)
        memset(pixel, skyColor, screenColumns);
    for (row = 0; row < bandRows; ++row, pixel += pitch)
        memset(pixel, borderColor, screenColumns);

    // Nearest rows first: a drawn sample only covers what no nearer sample
    // covered, so every view pixel is written at most once. A drawn span
    // runs from view row max(height, 70) - 70 up to the old top.
    for (nearRow = rowCount; nearRow >= 1; nearRow -= bandOfRows) {
        farRow = nearRow > bandOfRows ? nearRow - bandOfRows : 0;
        for (column = 0; column < screenColumns; ++column) {
            limit = columnLimit[column];
            if (!limit)
                continue;
            pixel = columnPixel[column];
            height = sampleHeight + nearRow * screenColumns + column;
            farEnd = sampleHeight + farRow * screenColumns + column;
            do {
                if (*height < limit) {
                    color = sampleColor[height - sampleHeight];
                    if (*height > horizonOffset) {
                        step = limit - *height;
                        limit = *height;
                        drawSpan();
                    } else {
                        step = limit - horizonOffset;
                        limit = 0;
                        drawSpan();
                        break;
                    }
                }
                height -= screenColumns;
            } while (height != farEnd);
            columnLimit[column] = static_cast<uint16_t>(limit);
            columnPixel[column] = pixel;
        }
    }

    for (column = 0; column < screenColumns; ++column)
        columnTop[column] = static_cast<uint16_t>(columnLimit[column] ? columnLimit[column] - horizonOffset : 0);
}
