// Whole frames and occlusion lines (columnTop) against the straightforward
// passes, over the built-in landscape and synthetic ones made to catch the
// near-row skip out: every heading, both detail levels, positions near the
// start, near the map's seams, negative and far flown.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "assets/landscape.h"
#include "reference_passes.h"
#include "render/frame.h"
#include "render/rays.h"
#include "startup_tables.h"
#include "tools/frame_checksum.h"

namespace {

// A landscape given by its two maps.
struct Terrain {
    const char* name;
    std::vector<std::uint8_t> heights = std::vector<std::uint8_t>(mapCells);
    std::vector<std::uint8_t> colors = std::vector<std::uint8_t>(mapCells);
};

// A colour per cell that differs from its neighbours', so that a sample
// read from the wrong cell shows.
std::uint8_t cellColor(int cell) { return static_cast<std::uint8_t>((cell * 2654435761u) >> 24); }

template <typename Height>
Terrain makeTerrain(const char* name, Height height)
{
    Terrain t;
    t.name = name;
    for (int cell = 0; cell < mapCells; ++cell) {
        t.heights[cell] = static_cast<std::uint8_t>(height(cell / 256, cell % 256, cell));
        t.colors[cell] = cellColor(cell);
    }
    return t;
}

const std::vector<Terrain>& syntheticTerrains()
{
    static const std::vector<Terrain> terrains = [] {
        std::vector<Terrain> all;
        // Low ground with single-cell needles of every height a near row can
        // show (about one cell in 30), and towers of height 255 (depth 0)
        // that fill the columns they stand in.
        std::mt19937 random(1206);
        std::vector<std::uint8_t> needle(mapCells);
        for (auto& h : needle)
            h = random() % 30 == 0 ? static_cast<std::uint8_t>(100 + random() % 156) : std::uint8_t{0};
        all.push_back(makeTerrain("needles and towers", [&](int row, int column, int cell) {
            const bool tower = row % 64 >= 30 && row % 64 < 33 && column % 80 < 3;
            return tower ? 255 : needle[cell] ? needle[cell] : (row * 7 + column * 3) % 40;
        }));
        // Posts of one cell along the map's seams, about one cell in 12
        // of the four columns either side of where a column coordinate
        // carries into the next row (255 | 0) and of the rows either side of
        // 255 | 0; the rest is sea level.
        all.push_back(makeTerrain("posts along the seams", [](int row, int column, int cell) {
            const bool seam = (column + 4) % 256 < 8 || (row + 4) % 256 < 8;
            return seam && (cell * 2654435761u) % 12 == 0 ? 140 + (cell * 40503u) % 116 : 0;
        }));
        // Plateaus of 16 x 16 cells at heights from sea level to 255, with
        // cliffs between them.
        all.push_back(makeTerrain("plateaus", [](int row, int column, int) {
            const int plateau = (row / 16) * 16 + column / 16;
            return (plateau * 97) % 7 == 0 ? 255 : ((plateau * 61) % 9) * 28;
        }));
        return all;
    }();
    return terrains;
}

// Camera positions (posX, posY) before one step: the start-up one, near the
// seams, negative and far flown.
const double positions[][2] = {
    {188.0, 168.0}, {-0.5, -1.5}, {255.9, 0.1}, {0.4, 254.6}, {128.2, 255.9},
    {-300.25, 700.75}, {1.0e7 + 0.5, -3.3e6},
};
const int positionCount = sizeof positions / sizeof positions[0];

// A screen with a wider pitch than its 320 pixels and guard bytes around
// it, so that writes outside the picture show.
class Frame : public ::testing::Test {
protected:
    static constexpr int pitch = 336;
    static constexpr int guard = 4096;
    std::vector<std::uint8_t> ours = std::vector<std::uint8_t>(guard + screenRows * pitch + guard, 0x77);
    std::vector<std::uint8_t> expected = ours;
    std::unique_ptr<ReferenceBuffers> reference = std::make_unique<ReferenceBuffers>();

    void SetUp() override
    {
        buildStartUpTables();
        recordScreenGeometry(ours.data() + guard, pitch, 1);
    }
    void TearDown() override { useLandscape(HeightMap, ColorMap); }

    void expectSameFrame(const std::uint8_t* heights, const std::uint8_t* colors, const char* what)
    {
        composeFrame(ours.data() + guard);
        referenceBuildRays(*reference);
        referenceSampleTerrain(*reference, heights, colors);
        referenceComposeFrame(*reference, expected.data() + guard, pitch);
        ASSERT_EQ(ours, expected) << what << " frame at heading " << heading << (highDetail ? " high" : " low")
                                  << " from " << posX << ", " << posY;
        ASSERT_EQ(std::memcmp(columnTop, reference->columnTop, sizeof columnTop), 0) << what << " " << heading;
    }

    // Every heading at both levels: a turn frame, then a move frame from
    // elsewhere with the same rays, the positions going round the list.
    void expectEveryViewMatches(const std::uint8_t* heights, const std::uint8_t* colors)
    {
        for (int level = 0; level < 2; ++level) {
            if (level == 0)
                selectHighDetail();
            else
                selectLowDetail();
            for (int h = 0; h < 360; ++h) {
                faceHeading(h);
                for (int frame = 0; frame < 2; ++frame) {
                    const double* position = positions[(h + level + 3 * frame) % positionCount];
                    posX = position[0];
                    posY = position[1];
                    move(h % 2 ? forwardStep : backwardStep);
                    if (frame == 0)
                        buildRays();
                    expectSameFrame(heights, colors, frame == 0 ? "turn" : "move");
                    if (HasFatalFailure())
                        return;
                }
            }
        }
    }
};

TEST_F(Frame, MatchesTheStraightforwardPassesOverTheBuiltInLandscape)
{
    expectEveryViewMatches(HeightMap, ColorMap);
}

TEST_F(Frame, MatchesTheStraightforwardPassesOverSyntheticLandscapes)
{
    for (const Terrain& terrain : syntheticTerrains()) {
        SCOPED_TRACE(terrain.name);
        useLandscape(terrain.heights.data(), terrain.colors.data());
        expectEveryViewMatches(terrain.heights.data(), terrain.colors.data());
    }
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
    std::vector<std::uint8_t> screen(320 * 240);
    buildStartUpTables();
    recordScreenGeometry(screen.data(), 320, 1);
    buildRays();
    composeFrame(screen.data());
    EXPECT_EQ(frameChecksum(screen.data(), screen.size()), 0x226dee47d317c324ull);
    // And the low detail frame of the same view.
    selectLowDetail();
    buildRays();
    composeFrame(screen.data());
    EXPECT_EQ(frameChecksum(screen.data(), screen.size()), 0xd0274416c20f852cull);
}

}  // namespace
