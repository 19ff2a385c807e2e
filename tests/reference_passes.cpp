#include "reference_passes.h"

void referenceBuildRays(ReferenceBuffers& out)
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

void referenceSampleTerrain(ReferenceBuffers& out, const std::uint8_t* heights, const std::uint8_t* colors)
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

void referenceComposeFrame(const ReferenceBuffers& in, std::uint8_t* pixels, int pitch)
{
    std::uint16_t columnTop[320];
    for (int c = 0; c < 320; ++c)
        columnTop[c] = 180;
    for (int y = 0; y < 240; ++y)
        for (int c = 0; c < 320; ++c)
            pixels[y * pitch + c] = y < 30 || y >= 210 ? borderColor : skyColor;
    std::uint8_t* view = pixels + 30 * pitch;
    for (int r = rowCount; r >= 1; --r)
        for (int c = 0; c < 320; ++c) {
            std::int32_t y = static_cast<std::int32_t>(in.sampleHeight[r * 320 + c]) - horizonOffset;
            if (y < 0)
                y = 0;
            if (y < columnTop[c]) {
                for (int v = y; v < columnTop[c]; ++v)
                    view[v * pitch + c] = in.sampleColor[r * 320 + c];
                columnTop[c] = static_cast<std::uint16_t>(y);
            }
        }
}
