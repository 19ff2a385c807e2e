// The rendering passes written the straightforward way, reading the state
// the program's passes read: one division per ray sample, separate ray and
// sample buffers, rows nearest first and columns 0..319 within a row. The
// tests hold the program's frames to these; the benchmarks' baseline.
// The three passes stay out of line, so that tools/bench-arm.sh finds and
// traces them by name in whatever program includes this.
#ifndef LANDSCAPE_TESTS_REFERENCE_PASSES_H
#define LANDSCAPE_TESTS_REFERENCE_PASSES_H

#include <algorithm>
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

__attribute__((noinline)) inline void referenceBuildRays(ReferenceBuffers& out)
{
    const std::int32_t* distance = highDetail ? distHi : distLo;
    for (int c = 0; c < 320; ++c) {
        const std::int32_t p = colSin[c] * dirXi + colCos[c] * dirYi;
        const std::int32_t q = colCos[c] * dirXi - colSin[c] * dirYi;
        for (int r = rowCount; r >= 1; --r) {
            const std::int32_t t = distance[r] / colCos[c];
            out.rayRow[c * 180 + r] = (p * t) >> 16;
            out.rayCol[c * 180 + r] = (q * t) >> 16;
        }
    }
}

// Reads the landscape from heights and colors (65536 cells each).
__attribute__((noinline)) inline void referenceSampleTerrain(ReferenceBuffers& out, const std::uint8_t* heights = HeightMap,
                                   const std::uint8_t* colors = ColorMap)
{
    const std::int32_t* scale = highDetail ? scaleHi : scaleLo;
    for (int r = rowCount; r >= 1; --r)
        for (int c = 0; c < 320; ++c) {
            const std::int32_t sum = (mapY + out.rayRow[c * 180 + r]) * 256 + (mapX + out.rayCol[c * 180 + r]);
            const std::uint16_t idx = static_cast<std::uint16_t>(sum & 0xFFFF);
            out.sampleHeight[r * 320 + c] = static_cast<std::uint16_t>((scale[r] * (255 - heights[idx])) >> 16);
            out.sampleColor[r * 320 + c] = colors[idx];
        }
}

// Paints a 320 x 240 frame with the given pitch into pixels.
__attribute__((noinline)) inline void referenceComposeFrame(const ReferenceBuffers& in, std::uint8_t* pixels, int pitch)
{
    int columnTop[320];
    for (int y = 0; y < 240; ++y)
        for (int c = 0; c < 320; ++c)
            pixels[y * pitch + c] = y < 30 || y >= 210 ? borderColor : skyColor;
    for (int c = 0; c < 320; ++c)
        columnTop[c] = 180;
    for (int r = rowCount; r >= 1; --r)
        for (int c = 0; c < 320; ++c) {
            const int y = std::max(0, in.sampleHeight[r * 320 + c] - horizonOffset);
            for (; columnTop[c] > y; --columnTop[c])
                pixels[(30 + columnTop[c] - 1) * pitch + c] = in.sampleColor[r * 320 + c];
        }
}

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
