// The landscape compiled into the program: what the renderer relies on in the
// built-in data, and the start-up helpers buildHeightTable() and
// blankBorderColor().
#include "assets/landscape.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace {

using Rgb = std::array<int, 3>;

Rgb entry(int index)
{
    return {TerrainPalette[index][0], TerrainPalette[index][1], TerrainPalette[index][2]};
}

// Not a user's own landscape (LANDSCAPE_TERRAIN), which may be anything.
#ifndef LANDSCAPE_CUSTOM_TERRAIN
TEST(BuiltInLandscape, HeightsColoursAndPaletteRoles)
{
    // Heights 0..118, a real share of water (0) and both halves well populated.
    EXPECT_EQ(*std::min_element(HeightMap, HeightMap + mapCells), 0);
    EXPECT_EQ(*std::max_element(HeightMap, HeightMap + mapCells), 118);
    const auto water = std::count(HeightMap, HeightMap + mapCells, 0);
    const auto high = std::count_if(HeightMap, HeightMap + mapCells, [](int h) { return h >= 59; });
    EXPECT_GT(water, mapCells / 20);
    EXPECT_LT(water, mapCells / 3);
    EXPECT_GT(mapCells - water - high, mapCells / 3);
    EXPECT_GT(high, mapCells / 50);
    // The ground colours are exactly 0..133, each used.
    std::array<int, 256> uses{};
    for (int i = 0; i < mapCells; ++i)
        ++uses[ColorMap[i]];
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(uses[c] > 0, c <= 133) << "colour " << c << " used " << uses[c] << " times";
    EXPECT_EQ(entry(skyColor), (Rgb{51, 160, 204}));
    EXPECT_EQ(entry(borderColor), (Rgb{81, 131, 146})); // as stored: blanked at start-up
}

// Every lookup wraps, so the steps across the map's edges must look like the
// steps inside it: row 255 against row 0, column 255 against column 0, and
// the linear wrap from column 255 into column 0 of the next row, a diagonal
// neighbour across the seam.
TEST(BuiltInLandscape, StepsAcrossTheWrapMatchTheInterior)
{
    struct Steps {
        int largest = 0;
        long total = 0;
        int pairs = 0;
        void add(int a, int b) { largest = std::max(largest, std::abs(a - b)), total += std::abs(a - b), ++pairs; }
        bool within(const Steps& inner) const { return largest <= inner.largest && total * inner.pairs <= 2 * inner.total * pairs; }
    };
    auto at = [](int row, int column) { return HeightMap[(row & 255) * 256 + (column & 255)]; };
    Steps rows, columns, linear, interior, diagonal;
    for (int i = 0; i < 256; ++i) {
        rows.add(at(255, i), at(0, i));
        columns.add(at(i, 255), at(i, 0));
        linear.add(HeightMap[i * 256 + 255], HeightMap[(i * 256 + 256) % mapCells]);
        for (int j = 0; j < 255; ++j) {
            interior.add(at(j, i), at(j + 1, i));
            interior.add(at(i, j), at(i, j + 1));
            if (i < 255)
                diagonal.add(at(j, i), at(j + 1, i + 1));
        }
    }
    EXPECT_TRUE(rows.within(interior));
    EXPECT_TRUE(columns.within(interior));
    EXPECT_TRUE(linear.within(diagonal));
}
#endif

TEST(LandscapeStartUp, HeightTableIsTheDepthBelowHeight255TwiceOver)
{
    std::fill(std::begin(heightTable), std::end(heightTable), std::uint8_t{0xEE});
    std::fill(std::begin(colorTable), std::end(colorTable), std::uint8_t{0xEE});
    buildHeightTable();
    int wrong = 0;
    for (int i = 0; i < 2 * mapCells; ++i) {
        wrong += heightTable[i] != 255 - HeightMap[i % mapCells];
        wrong += colorTable[i] != ColorMap[i % mapCells];
    }
    EXPECT_EQ(wrong, 0);
}

TEST(LandscapeStartUp, BlankBorderColorBlanksEntry255AndNothingElse)
{
    std::uint8_t saved[256][3], expected[256][3];
    std::memcpy(saved, TerrainPalette, sizeof saved);
    std::memcpy(expected, TerrainPalette, sizeof expected);
    std::memset(expected[borderColor], 0, 3);
    ASSERT_NE(entry(borderColor), (Rgb{0, 0, 0}));
    blankBorderColor();
    EXPECT_EQ(std::memcmp(TerrainPalette, expected, sizeof expected), 0);
    std::memcpy(TerrainPalette, saved, sizeof saved);
}

} // namespace
