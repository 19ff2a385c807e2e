// Checks of the landscape compiled into the program: value ranges, the
// palette layout the renderer relies on, seamless edges, and the start-up
// helpers buildHeightTable() and blankBorderColor().
#include "assets/landscape.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using Rgb = std::array<int, 3>;

Rgb paletteEntry(int index)
{
    return {TerrainPalette[index][0], TerrainPalette[index][1], TerrainPalette[index][2]};
}

// These describe the built-in landscape, not one of the user's own
// (LANDSCAPE_TERRAIN).
#ifndef LANDSCAPE_CUSTOM_TERRAIN
constexpr int side = 256;

int heightAt(int row, int column)
{
    return HeightMap[(row & (side - 1)) * side + (column & (side - 1))];
}

TEST(LandscapeHeights, SpanZeroTo118WithWaterLowlandsAndMountains)
{
    EXPECT_EQ(*std::min_element(HeightMap, HeightMap + mapCells), 0);
    EXPECT_EQ(*std::max_element(HeightMap, HeightMap + mapCells), 118);
    // A landscape rather than a plateau: a real share of the map is water
    // (height 0), and both the low and the high half are well populated.
    const auto water = std::count(HeightMap, HeightMap + mapCells, 0);
    const auto high = std::count_if(HeightMap, HeightMap + mapCells, [](int h) { return h >= 59; });
    EXPECT_GT(water, mapCells / 20);
    EXPECT_LT(water, mapCells / 3);
    EXPECT_GT(mapCells - water - high, mapCells / 3);
    EXPECT_GT(high, mapCells / 50);
}

TEST(LandscapeColors, UseExactlyTheGroundColours0To133)
{
    std::array<int, 256> count{};
    for (int i = 0; i < mapCells; ++i)
        ++count[ColorMap[i]];
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(count[c] > 0, c <= 133) << "colour " << c << " used " << count[c] << " times";
}

TEST(LandscapePalette, HoldsTheFixedEntries)
{
    EXPECT_EQ(paletteEntry(12), (Rgb{60, 80, 36}));
    EXPECT_EQ(paletteEntry(19), (Rgb{112, 100, 84}));
    EXPECT_EQ(paletteEntry(26), (Rgb{60, 48, 32}));
    EXPECT_EQ(paletteEntry(115), (Rgb{104, 120, 80}));
    // The sky (223) and the band colour (255) end ramps: see below.
}

TEST(LandscapePalette, HoldsTheFourRampsFromGroundColoursTowardsTheSky)
{
    // Entry first + k (k < count) is from + (to - from) * k / steps, each
    // component rounded to the nearest integer. The steps are odd, so no
    // component lands on an exact half. Entry 223 is the sky; entry 255 the
    // band colour as stored (blanked only at start-up; the test that blanks
    // it restores it).
    struct Ramp {
        int first, count;
        Rgb from, to;
        int steps;
    };
    const Rgb sky{51, 160, 204};
    const Ramp ramps[] = {
        {134, 58, Rgb{60, 80, 36}, sky, 57},
        {192, 32, Rgb{60, 48, 32}, sky, 31},
        {224, 16, Rgb{112, 100, 84}, sky, 31},
        {240, 16, Rgb{104, 120, 80}, Rgb{81, 131, 146}, 15},
    };
    for (const Ramp& ramp : ramps)
        for (int k = 0; k < ramp.count; ++k)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(TerrainPalette[ramp.first + k][c],
                          std::lround(ramp.from[c] + (ramp.to[c] - ramp.from[c]) * static_cast<double>(k) / ramp.steps))
                    << "entry " << ramp.first + k << " component " << c;
}

// Seamless edges. Every lookup wraps, so the steps across the map's edges
// must look like the steps inside it.
struct Steps {
    int largest = 0;
    long total = 0;
    int pairs = 0;
    void add(int a, int b) { largest = std::max(largest, std::abs(a - b)), total += std::abs(a - b), ++pairs; }
    double mean() const { return static_cast<double>(total) / pairs; }
};

TEST(LandscapeEdges, StepsAcrossTheWrapMatchTheInterior)
{
    // Row 255 against row 0, column 255 against column 0, and the linear
    // wrap from column 255 into column 0 of the next row (lookups reduce the
    // index modulo 65536), which is a diagonal neighbour across the seam.
    Steps rows, columns, linear, interior, diagonal;
    for (int i = 0; i < side; ++i) {
        rows.add(heightAt(side - 1, i), heightAt(0, i));
        columns.add(heightAt(i, side - 1), heightAt(i, 0));
        linear.add(HeightMap[i * side + side - 1], HeightMap[(i * side + side) % mapCells]);
        for (int j = 0; j + 1 < side; ++j) {
            interior.add(heightAt(j, i), heightAt(j + 1, i));
            interior.add(heightAt(i, j), heightAt(i, j + 1));
            if (i + 1 < side)
                diagonal.add(heightAt(j, i), heightAt(j + 1, i + 1));
        }
    }
    for (const Steps* seam : {&rows, &columns}) {
        EXPECT_LE(seam->largest, interior.largest);
        EXPECT_LE(seam->mean(), 2.0 * interior.mean());
    }
    EXPECT_LE(linear.largest, diagonal.largest);
    EXPECT_LE(linear.mean(), 2.0 * diagonal.mean());
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
    std::uint8_t saved[256][3];
    std::uint8_t expected[256][3];
    std::memcpy(saved, TerrainPalette, sizeof saved);
    std::memcpy(expected, TerrainPalette, sizeof expected);
    std::memset(expected[borderColor], 0, 3);
    ASSERT_NE(paletteEntry(borderColor), (Rgb{0, 0, 0}));
    blankBorderColor();
    EXPECT_EQ(std::memcmp(TerrainPalette, expected, sizeof expected), 0);
    std::memcpy(TerrainPalette, saved, sizeof saved);
}

} // namespace
