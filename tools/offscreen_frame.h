// The program's renderer without SDL, drawing into a buffer of 320 x 240
// palette indices: for pictures, screenshot checks, benchmarks and tests.
#ifndef LANDSCAPE_TOOLS_OFFSCREEN_FRAME_H
#define LANDSCAPE_TOOLS_OFFSCREEN_FRAME_H

#include <cstddef>
#include <cstdint>

#include "assets/landscape.h"
#include "render/frame.h"
#include "render/rays.h"
#include "render/startup.h"

// What start-up does, less the screen, installing the palette and the
// display gamma: every table, the camera at its start-up view, palette
// entry 255 blanked, the frame recorded as the screen (rows of 320 bytes)
// and high detail entered. composeFrame() then draws the start-up view.
inline void startOffscreen(std::uint8_t* frame)
{
    buildRenderTables();
    blankBorderColor();
    recordScreenGeometry(frame, screenColumns);
    switchDetail(1);
}

// The checksum that pins a frame: FNV-1a 64 over its palette indices, row by
// row. `render_frame --checksum` prints it; the golden start-up frame test
// compares against it.
inline std::uint64_t frameChecksum(const std::uint8_t* pixels, std::size_t count)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < count; ++i) {
        hash ^= pixels[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

#endif
