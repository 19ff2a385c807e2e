#include "render/column.h"

#include "assets/landscape.h"
#include "render/screen.h"

namespace {
// Pass state, at file scope with internal linkage: the program's
// convention for the state of its passes.
const uint8_t* depth;      // heightTable + the camera's cell index
const uint8_t* colors;     // colorTable + the camera's cell index
int32_t pitch;             // bytes per screen row
int32_t product;           // scale * depth: the sample's height in pixels, 16.16
int32_t limit;             // (columnTop + horizonOffset) << 16
int32_t height;            // product >> 16, in pixels
int32_t step;              // length in pixels of the span being drawn
uint8_t color;             // colour of the span
uint8_t* pixel;            // the column's pixel in view row columnTop

const int32_t openLimit = (viewRows + horizonOffset) << 16;

// Paints step pixels of color upward from pixel, which ends on the last:
// an odd one, then two a turn.
inline void drawSpan()
{
    if (step & 1) {
        pixel -= pitch;
        *pixel = color;
    }
    for (step >>= 1; step; --step) {
        pixel -= pitch;
        *pixel = color;
        pixel -= pitch;
        *pixel = color;
    }
}

// Draws a sample whose product lies below the limit, the sample at `cell`
// of scale `sampleScale`. A scale of 0 is the end of the column, where the
// sky is drawn above the terrain. Returns whether the column is done.
inline bool drawSample(int32_t sampleScale, int32_t cell)
{
    if (!sampleScale) {
        step = (limit >> 16) - horizonOffset;
        if (step) {
            color = skyColor;
            drawSpan();
        }
        return true;
    }
    color = colors[cell];
    height = product >> 16;
    if (height <= horizonOffset) {
        step = (limit >> 16) - horizonOffset;
        limit = horizonOffset << 16;
        drawSpan();
        return true;
    }
    step = (limit >> 16) - height;
    limit = height << 16;
    drawSpan();
    return false;
}
}

// A sample shows when max(height - 70, 0) < columnTop. For columnTop > 0
// that is height < columnTop + 70, and height < limit >> 16 is product <
// limit: one compare on the product, before its shift. Once a sample at
// height 70 or less shows, the column is drawn up to view row 0 and
// nothing farther can show. The scales end with a 0, whose product 0 always
// passes the test: the end of the column costs nothing on the samples that
// do not show. Two samples a turn.
void composeColumn(const uint16_t* offsets, const int32_t* scales, uint8_t* bottom,
                   const ColumnSource* source)
{
    depth = source->depth;
    colors = source->color;
    pitch = source->pitch;
    pixel = bottom;
    limit = openLimit;
    for (;; offsets += 2, scales += 2) {
        product = scales[0] * depth[offsets[0]];
        if (product < limit && drawSample(scales[0], offsets[0]))
            break;
        product = scales[1] * depth[offsets[1]];
        if (product < limit && drawSample(scales[1], offsets[1]))
            break;
    }
}
