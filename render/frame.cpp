#include "render/frame.h"

#include <cstring>

#include "assets/landscape.h"
#include "render/rays.h"

std::uint16_t columnTop[screenColumns];

namespace {
// Screen geometry, recorded once at start-up.
std::uint8_t bytesPerPixel;     // horizontal stride in bytes (1 in 8-bit mode)
std::uint16_t pitch;            // bytes per screen row
std::uint8_t* viewOrigin;       // first pixel of view row 0 (screen row 30)

// Pass state. Internal and never addressed, so the pixel stores (bytes,
// which may alias anything addressable) cannot force these to be reloaded.
std::int32_t column;
std::int32_t row;
std::int32_t sample;            // index into the sample buffers
std::int32_t top;               // projected view row of the sample
std::uint8_t color;             // colour of the span
std::uint8_t* pixel;            // next pixel of a span or a clear
std::int32_t step;              // length in pixels of the span being drawn
}

void recordScreenGeometry(std::uint8_t* pixels, std::uint16_t rowPitch, std::uint8_t pixelBytes)
{
    bytesPerPixel = pixelBytes;
    pitch = rowPitch;
    viewOrigin = pixels + bandRows * rowPitch;
}

// The clears fill 320 bytes per row: in the 8-bit mode a pixel is one byte.
void composeFrame(std::uint8_t* pixels)
{
    for (column = 0; column < screenColumns; ++column)
        columnTop[column] = viewRows;

    pixel = pixels;
    for (row = 0; row < bandRows; ++row, pixel += pitch)
        std::memset(pixel, borderColor, screenColumns);
    pixel = viewOrigin;
    for (row = 0; row < viewRows; ++row, pixel += pitch)
        std::memset(pixel, skyColor, screenColumns);
    for (row = 0; row < bandRows; ++row, pixel += pitch)
        std::memset(pixel, borderColor, screenColumns);

    // Nearest row first; a sample is drawn only above what the nearer rows
    // already covered in its column, so every view pixel is written at most
    // once. A projected height of 180 or more lies below the view.
    for (row = rowCount; row >= 1; --row) {
        sample = row * screenColumns;
        for (column = 0; column < screenColumns; ++column, ++sample) {
            top = static_cast<std::int32_t>(sampleHeight[sample]) - horizonOffset;
            if (top < 0)
                top = 0;
            if (top >= columnTop[column])
                continue;
            step = columnTop[column] - top;
            color = sampleColor[sample];
            pixel = viewOrigin + top * pitch + column * bytesPerPixel;
            do {
                *pixel = color;
                pixel += pitch;
            } while (--step);
            columnTop[column] = static_cast<std::uint16_t>(top);
        }
    }
}
