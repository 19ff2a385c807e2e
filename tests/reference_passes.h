// The three rendering passes written the straightforward way: one division
// per ray sample and the loop orders as first designed (rows nearest first,
// columns 0..319 within a row). The tests hold the program's passes to
// these, and the benchmarks use them as the baseline.
#ifndef LANDSCAPE_TESTS_REFERENCE_PASSES_H
#define LANDSCAPE_TESTS_REFERENCE_PASSES_H

#include <cstdint>

#include "assets/landscape.h"
#include "render/projection.h"

struct ReferenceBuffers {
    std::int32_t rayRow[screenColumns * tableRows];
    std::int32_t rayCol[screenColumns * tableRows];
    std::uint16_t sampleHeight[tableRows * screenColumns];
    std::uint8_t sampleColor[tableRows * screenColumns];
    std::uint16_t columnTop[screenColumns];
};

// Each reads the same global state the program's pass reads (tables,
// camera, detail level) and writes into out. Sampling reads colours from
// colorMap (65536 cells): the compiled-in one unless another is given.
void referenceBuildRays(ReferenceBuffers& out);
void referenceSampleTerrain(ReferenceBuffers& out, const std::uint8_t* colorMap = ColorMap);
// Paints a 320 x 240 frame with the given pitch into pixels.
void referenceComposeFrame(ReferenceBuffers& out, std::uint8_t* pixels, int pitch);

#endif
