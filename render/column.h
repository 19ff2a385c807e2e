// One screen column of terrain: the column's samples, nearest first, looked
// up, projected, tested against the column's occlusion line and drawn as
// vertical spans, then the sky above them.
#ifndef LANDSCAPE_RENDER_COLUMN_H
#define LANDSCAPE_RENDER_COLUMN_H

#include <stdint.h>

// What every column of a frame reads besides its own samples.
struct ColumnSource {
    const uint8_t* depth;   // heightTable + the camera's cell index
    const uint8_t* color;   // colorTable + the camera's cell index
    int32_t pitch;          // bytes per screen row
};

// Draws view rows 0..179 of one column. offsets: the column's rayOffset
// entries from its first tested sample on; scales: nearScale from the same
// sample on, ending with its 0; bottom: the column's pixel in view row 180
// (the first row below the view).
void composeColumn(const uint16_t* offsets, const int32_t* scales, uint8_t* bottom,
                   const ColumnSource* source);

// The same, as composition runs it: composeColumn itself, or on ARM a
// hand-scheduled version of it (render/draw_column_arm.s). CMake picks the
// file that defines it.
extern "C" void drawColumn(const uint16_t* offsets, const int32_t* scales, uint8_t* bottom,
                           const ColumnSource* source);

#endif
