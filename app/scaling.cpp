#include "app/scaling.h"

#include <string.h>

#include "render/screen.h"

namespace {
// Pass state, at file scope with internal linkage: the program's
// convention for the state of its passes.
int32_t row;
int32_t column;
int32_t copy;
const uint8_t* source;   // the frame row being scaled
uint32_t* pixel;         // next pixel of the first output row of a frame row
uint32_t colour;         // 0x00RRGGBB in the display's own layout
uint8_t* firstRow;       // the first of the factor output rows of a frame row
}

int32_t fittingScale(int32_t width, int32_t height)
{
    const int32_t across = width / screenColumns;
    const int32_t down = height / screenRows;
    return across < down ? across : down;
}

// Each frame row is widened into its first output row, which is then copied
// into the factor - 1 rows below it.
void scaleFrame(const uint8_t* frame, int32_t framePitch, const uint32_t* colours, uint8_t* out,
                int32_t outPitch, int32_t factor)
{
    for (row = 0; row < screenRows; ++row) {
        source = frame + row * framePitch;
        firstRow = out + row * factor * outPitch;
        pixel = reinterpret_cast<uint32_t*>(firstRow);
        for (column = 0; column < screenColumns; ++column) {
            colour = colours[source[column]];
            for (copy = 0; copy < factor; ++copy)
                *pixel++ = colour;
        }
        for (copy = 1; copy < factor; ++copy)
            memcpy(firstRow + copy * outPitch, firstRow, static_cast<size_t>(screenColumns * factor * 4));
    }
}
