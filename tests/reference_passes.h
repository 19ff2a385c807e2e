// The rendering passes written the straightforward way: one division per
// ray sample, separate ray and sample buffers, and the loop orders as first
// designed (rows nearest first, columns 0..319 within a row). The tests hold
// the program's frames to these, and the benchmarks use them as the
// baseline. Also the ways the tests set up a view.
#ifndef LANDSCAPE_TESTS_REFERENCE_PASSES_H
#define LANDSCAPE_TESTS_REFERENCE_PASSES_H

#include <cstdint>

#include "assets/landscape.h"
#include "render/camera.h"
#include "render/near_rows.h"
#include "render/projection.h"

struct ReferenceBuffers {
    std::int32_t rayRow[screenColumns * tableRows];   // index c * 180 + r
    std::int32_t rayCol[screenColumns * tableRows];
    std::uint16_t sampleHeight[tableRows * screenColumns];   // index r * 320 + c
    std::uint8_t sampleColor[tableRows * screenColumns];
};

// Each reads the same global state the program's passes read (tables,
// camera, detail level) and writes into out. Sampling reads the landscape
// from heights and colors (65536 cells each): the compiled-in maps unless
// others are given.
void referenceBuildRays(ReferenceBuffers& out);
void referenceSampleTerrain(ReferenceBuffers& out, const std::uint8_t* heights = HeightMap,
                            const std::uint8_t* colors = ColorMap);
// Paints a 320 x 240 frame with the given pitch into pixels.
void referenceComposeFrame(const ReferenceBuffers& in, std::uint8_t* pixels, int pitch);

// Heading h (0..359) reached by a turn, as the program reaches it.
inline void faceHeading(int h)
{
    heading = static_cast<std::uint16_t>(h < 2 ? h + 358 : h - 2);
    turn(2);
}

// The renderer draws this landscape (65536 cells each) from now on.
inline void useLandscape(const std::uint8_t* heights, const std::uint8_t* colors)
{
    buildTerrainTables(heights, colors);
    buildNearRowBounds();
}

#endif
