// Frames against the straightforward passes over the built-in landscape and
// synthetic ones made to catch the near-row skip out (on ARM this also
// holds the hand-written column loop to them); the golden start-up frames;
// the rule by which near rows are skipped.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "reference_passes.h"
#include "tools/offscreen_frame.h"

namespace {

using Map = std::vector<std::uint8_t>;

struct Terrain {
    const char* name;
    Map heights, colors;
};

// The built-in landscape, and low ground with single-cell needles of every
// height a near row can show (about one cell in 30) and towers of height 255
// (depth 0) that fill the columns they stand in. Its colours differ from
// cell to cell, so that a sample read from the wrong cell shows, and never
// are the sky's, so that the top of the terrain shows in every column.
std::vector<Terrain> terrains()
{
    Terrain needles{"needles and towers", Map(mapCells), Map(mapCells)};
    std::mt19937 random(1206);
    for (int cell = 0; cell < mapCells; ++cell) {
        const int row = cell / 256, column = cell % 256;
        const bool tower = row % 64 >= 30 && row % 64 < 33 && column % 80 < 3;
        needles.heights[cell] = static_cast<std::uint8_t>(
            tower ? 255 : random() % 30 == 0 ? 100 + random() % 156 : (row * 7 + column * 3) % 40);
        needles.colors[cell] = static_cast<std::uint8_t>(((cell * 2654435761u) >> 24) % skyColor);
    }
    return {{"built-in", Map(HeightMap, HeightMap + mapCells), Map(ColorMap, ColorMap + mapCells)}, needles};
}

// Camera positions (posX, posY) before one step: the start-up one, near
// the seams, negative, far flown.
const double positions[][2] = {
    {188.0, 168.0}, {-0.5, -1.5}, {255.9, 0.1}, {0.4, 254.6}, {128.2, 255.9},
    {-300.25, 700.75}, {1.0e7 + 0.5, -3.3e6},
};

// Every heading at both levels, a turn frame and then a move frame with the
// same rays (the positions going round the list), on a screen with a wider
// pitch than its 320 pixels and guard bytes around it, so that writes
// outside the picture show.
TEST(Frame, MatchesTheStraightforwardPasses)
{
    const int pitch = 336, guard = 4096;
    Map ours(guard + screenRows * pitch + guard, 0x77), expected = ours;
    auto reference = std::make_unique<ReferenceBuffers>();
    startOffscreen(ours.data() + guard);
    recordScreenGeometry(ours.data() + guard, pitch, 1);
    for (const Terrain& terrain : terrains()) {
        SCOPED_TRACE(terrain.name);
        useLandscape(terrain.heights.data(), terrain.colors.data());
        for (int high = 1; high >= 0; --high)
            for (int h = 0; h < 360; ++h) {
                faceHeading(h);
                for (int frame = 0; frame < 2; ++frame) {
                    const double* position = positions[(h + high + 3 * frame) % std::size(positions)];
                    posX = position[0];
                    posY = position[1];
                    move(h % 2 ? forwardStep : backwardStep);
                    if (frame == 0)
                        switchDetail(high);
                    composeFrame(ours.data() + guard);
                    referenceBuildRays(*reference);
                    referenceSampleTerrain(*reference, terrain.heights.data(), terrain.colors.data());
                    referenceComposeFrame(*reference, expected.data() + guard, pitch);
                    ASSERT_EQ(ours, expected) << (frame ? "move" : "turn") << " frame at heading " << h
                                              << (high ? " high" : " low") << " from " << posX << ", " << posY;
                }
            }
    }
    useLandscape(HeightMap, ColorMap);
}

// The start-up frame of the built-in landscape, pinned by a checksum of its
// 320 x 240 palette indices, so that any change to the renderer or the data
// shows up here. When the landscape is changed on purpose, take the new
// value from `render_frame --checksum`.
TEST(StartUpFrame, MatchesItsGoldenChecksum)
{
#ifdef LANDSCAPE_CUSTOM_TERRAIN
    GTEST_SKIP() << "built with a custom landscape";
#endif
    Map screen(screenColumns * screenRows);
    startOffscreen(screen.data());
    composeFrame(screen.data());
    EXPECT_EQ(frameChecksum(screen.data(), screen.size()), 0x226dee47d317c324ull);
    switchDetail(0);
    composeFrame(screen.data());
    EXPECT_EQ(frameChecksum(screen.data(), screen.size()), 0xd0274416c20f852cull);
}

// The skip leaves out a pair only if every cell under its box, found by the
// index rule, is deep enough to hide the pair: boxes of every size the rays
// make, many across the map's seams, over sea level with needles.
TEST(NearRows, SkipsAPairOnlyWhenEveryCellUnderItsBoxIsDeepEnough)
{
    std::mt19937 random(1207);
    Map heights(mapCells), colors(mapCells, 1), screen(screenColumns * screenRows);
    for (auto& h : heights)
        h = random() % 8 == 0 ? static_cast<std::uint8_t>(random() % 256) : std::uint8_t{0};
    startOffscreen(screen.data());
    useLandscape(heights.data(), colors.data());
    const int first = castStart[1];
    const int need = hidingDepth[1][first + 1];
    int skipped = 0;
    for (int trial = 0; trial < 20000; ++trial) {
        mapX = 512 + static_cast<int>(random() % 256);
        mapY = 512 + static_cast<int>(random() % 256);
        RayBox box;
        box.colMin = static_cast<std::int16_t>((trial % 2 ? 768 - mapX : 0) - static_cast<int>(random() % 10));
        box.colMax = static_cast<std::int16_t>(box.colMin + random() % 10);
        box.rowMin = static_cast<std::int16_t>(static_cast<int>(random() % 200) - 100);
        box.rowMax = static_cast<std::int16_t>(box.rowMin + random() % 10);
        for (auto& group : rayBoxes)
            group[0] = box;
        findFirstSamples();
        if (firstSample[0] == first)
            continue;
        ++skipped;
        for (int y = box.rowMin; y <= box.rowMax; ++y)
            for (int x = box.colMin; x <= box.colMax; ++x)
                ASSERT_GE(heightTable[((mapY + y) * 256 + mapX + x) & 0xFFFF], need)
                    << "box rows " << box.rowMin << ".." << box.rowMax << " columns " << box.colMin << ".."
                    << box.colMax << " from " << mapX << ", " << mapY;
    }
    EXPECT_GT(skipped, 1000);
    useLandscape(HeightMap, ColorMap);
}

}  // namespace
