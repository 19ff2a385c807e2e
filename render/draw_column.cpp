#include "render/column.h"

// Builds without a hand-written column loop draw with the C++ one.
void drawColumn(const uint16_t* offsets, const int32_t* scales, uint8_t* bottom, const ColumnSource* source)
{
    composeColumn(offsets, scales, bottom, source);
}
