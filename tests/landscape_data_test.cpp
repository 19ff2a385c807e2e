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


// These tests describe the built-in landscape; a build with a landscape of
// the user's own (LANDSCAPE_TERRAIN) skips them.
#ifdef LANDSCAPE_CUSTOM_TERRAIN
#define SKIP_WITH_CUSTOM_TERRAIN() GTEST_SKIP() << "built with a custom landscape"
#else
#define SKIP_WITH_CUSTOM_TERRAIN() static_cast<void>(0)
#endif

namespace {

constexpr int side = 256;

int heightAt(int row, int column)
{
    return HeightMap[(row & (side - 1)) * side + (column & (side - 1))];
}

using Rgb = std::array<int, 3>;

Rgb paletteEntry(int index)
{
    return {TerrainPalette[index][0], TerrainPalette[index][1], TerrainPalette[index][2]};
}

// ---------------------------------------------------------------------------

TEST(LandscapeHeights, StayWithinZeroTo118AndReachBothEnds)
{
    SKIP_WITH_CUSTOM_TERRAIN();
    int lowest = 255;
    int highest = 0;
    for (int i = 0; i < mapCells; ++i) {
        lowest = std::min<int>(lowest, HeightMap[i]);
        highest = std::max<int>(highest, HeightMap[i]);
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, 118);
}

TEST(LandscapeHeights, HaveWaterLowlandsAndMountains)
{
    SKIP_WITH_CUSTOM_TERRAIN();
    // A landscape rather than a plateau: a real share of the map is water
    // (height 0), and both the low and the high half are well populated.
    int water = 0;
    int low = 0;
    int high = 0;
    for (int i = 0; i < mapCells; ++i) {
        water += HeightMap[i] == 0;
        low += HeightMap[i] > 0 && HeightMap[i] < 59;
        high += HeightMap[i] >= 59;
    }
    EXPECT_GT(water, mapCells / 20);
    EXPECT_LT(water, mapCells / 3);
    EXPECT_GT(low, mapCells / 3);
    EXPECT_GT(high, mapCells / 50);
}

TEST(LandscapeColors, UseExactlyTheGroundColours0To133)
{
    SKIP_WITH_CUSTOM_TERRAIN();
    std::array<int, 256> count{};
    for (int i = 0; i < mapCells; ++i) {
        ++count[ColorMap[i]];
    }
    for (int c = 0; c <= 133; ++c) {
        EXPECT_GT(count[c], 0) << "ground colour " << c << " never used";
    }
    for (int c = 134; c < 256; ++c) {
        EXPECT_EQ(count[c], 0) << "colour " << c << " is not a ground colour";
    }
}

// ---------------------------------------------------------------------------
// Palette.

TEST(LandscapePalette, HoldsTheFixedEntries)
{
    SKIP_WITH_CUSTOM_TERRAIN();
    EXPECT_EQ(paletteEntry(12), (Rgb{60, 80, 36}));
    EXPECT_EQ(paletteEntry(19), (Rgb{112, 100, 84}));
    EXPECT_EQ(paletteEntry(26), (Rgb{60, 48, 32}));
    EXPECT_EQ(paletteEntry(115), (Rgb{104, 120, 80}));
    EXPECT_EQ(paletteEntry(skyColor), (Rgb{51, 160, 204}));
    // Ends of the two short ramps as stored (255 is blanked only at start-up;
    // the test that blanks it restores it).
    EXPECT_EQ(paletteEntry(239), (Rgb{82, 129, 142}));
    EXPECT_EQ(paletteEntry(borderColor), (Rgb{81, 131, 146}));
}

struct Ramp {
    int first;   // palette index of k = 0
    int count;   // entries in the ramp
    Rgb from;    // colour at k = 0
    Rgb to;      // colour at k = steps
    int steps;   // the divisor: entry first + k is from + (to - from) * k / steps
};

// Entry first + k is from + (to - from) * k / steps, each component rounded to
// the nearest integer. The steps (57, 31, 15) are odd, so no component ever
// lands on an exact half and the direction of rounding halves never matters.
void expectRamp(const Ramp& ramp)
{
    for (int k = 0; k < ramp.count; ++k) {
        for (int c = 0; c < 3; ++c) {
            const double exact = ramp.from[c] + (ramp.to[c] - ramp.from[c]) * static_cast<double>(k) / ramp.steps;
            const long expected = std::lround(exact);
            EXPECT_EQ(TerrainPalette[ramp.first + k][c], expected)
                << "entry " << ramp.first + k << " component " << c << " (exact " << exact << ")";
        }
    }
}

TEST(LandscapePalette, HoldsTheFourRampsTowardsTheSky)
{
    SKIP_WITH_CUSTOM_TERRAIN();
    const Rgb sky{51, 160, 204};
    expectRamp({134, 58, Rgb{60, 80, 36}, sky, 57});
    expectRamp({192, 32, Rgb{60, 48, 32}, sky, 31});
    expectRamp({224, 16, Rgb{112, 100, 84}, sky, 31});
    expectRamp({240, 16, Rgb{104, 120, 80}, Rgb{81, 131, 146}, 15});
}

TEST(LandscapePalette, RampsStartFromTheirGroundColours)
{
    SKIP_WITH_CUSTOM_TERRAIN();
    EXPECT_EQ(paletteEntry(134), paletteEntry(12));
    EXPECT_EQ(paletteEntry(191), paletteEntry(skyColor));
    EXPECT_EQ(paletteEntry(192), paletteEntry(26));
    EXPECT_EQ(paletteEntry(224), paletteEntry(19));
    EXPECT_EQ(paletteEntry(240), paletteEntry(115));
}

// ---------------------------------------------------------------------------
// Seamless edges. Every lookup wraps, so the steps across the map's edges
// must look like the steps inside it.

struct StepStats {
    int largest = 0;
    long total = 0;
    int pairs = 0;

    void add(int a, int b)
    {
        const int step = std::abs(a - b);
        largest = std::max(largest, step);
        total += step;
        ++pairs;
    }
    double mean() const { return static_cast<double>(total) / pairs; }
};

TEST(LandscapeEdges, StepsAcrossTheWrapMatchTheInterior)
{
    SKIP_WITH_CUSTOM_TERRAIN();
    // Rows: row 255 against row 0; columns: column 255 against column 0.
    StepStats acrossRows;
    StepStats acrossColumns;
    for (int i = 0; i < side; ++i) {
        acrossRows.add(heightAt(side - 1, i), heightAt(0, i));
        acrossColumns.add(heightAt(i, side - 1), heightAt(i, 0));
    }

    // Every interior pair of neighbouring rows and columns, one line at a time.
    StepStats interior;
    double roughestRowPair = 0.0;
    double roughestColumnPair = 0.0;
    for (int line = 0; line + 1 < side; ++line) {
        StepStats rowPair;
        StepStats columnPair;
        for (int i = 0; i < side; ++i) {
            rowPair.add(heightAt(line, i), heightAt(line + 1, i));
            columnPair.add(heightAt(i, line), heightAt(i, line + 1));
            interior.add(heightAt(line, i), heightAt(line + 1, i));
            interior.add(heightAt(i, line), heightAt(i, line + 1));
        }
        roughestRowPair = std::max(roughestRowPair, rowPair.mean());
        roughestColumnPair = std::max(roughestColumnPair, columnPair.mean());
    }

    EXPECT_LE(acrossRows.largest, interior.largest);
    EXPECT_LE(acrossColumns.largest, interior.largest);
    // No rougher than the roughest interior line, and of the same order as
    // the average one.
    EXPECT_LE(acrossRows.mean(), roughestRowPair);
    EXPECT_LE(acrossColumns.mean(), roughestColumnPair);
    EXPECT_LE(acrossRows.mean(), 2.0 * interior.mean());
    EXPECT_LE(acrossColumns.mean(), 2.0 * interior.mean());
}

TEST(LandscapeEdges, LinearWrapIntoTheNextRowIsADiagonalNeighbour)
{
    SKIP_WITH_CUSTOM_TERRAIN();
    // Lookups reduce the linear index modulo 65536, so stepping right from
    // column 255 lands on column 0 of the next row (and from the last cell on
    // the first). That is the diagonal neighbour across the seam, which must
    // be no steeper than diagonal steps inside the map.
    StepStats seam;
    for (int row = 0; row < side; ++row) {
        const int last = row * side + side - 1;
        seam.add(HeightMap[last], HeightMap[(last + 1) % mapCells]);
    }
    StepStats diagonal;
    for (int row = 0; row + 1 < side; ++row) {
        for (int column = 0; column + 1 < side; ++column) {
            diagonal.add(heightAt(row, column), heightAt(row + 1, column + 1));
        }
    }
    EXPECT_LE(seam.largest, diagonal.largest);
    EXPECT_LE(seam.mean(), 2.0 * diagonal.mean());
}

// ---------------------------------------------------------------------------
// Start-up helpers.

TEST(LandscapeHeightTable, IsTheDepthBelowHeight255)
{
    std::fill(std::begin(heightTable), std::end(heightTable), std::uint16_t{0xBEEF});
    buildHeightTable();
    int zeroCell = -1;
    int peakCell = -1;
    for (int i = 0; i < mapCells; ++i) {
        ASSERT_EQ(heightTable[i], 255 - HeightMap[i]) << "cell " << i;
        if (HeightMap[i] == 0) {
            zeroCell = i;
        }
        if (HeightMap[i] == 118) {
            peakCell = i;
        }
    }
    ASSERT_GE(zeroCell, 0);
    ASSERT_GE(peakCell, 0);
    EXPECT_EQ(heightTable[zeroCell], 255);
    EXPECT_EQ(heightTable[peakCell], 137);
}

// Restores the palette after a test that changes it, even if the test fails.
class PaletteRestorer {
public:
    PaletteRestorer() { std::memcpy(saved_, TerrainPalette, sizeof saved_); }
    ~PaletteRestorer() { std::memcpy(TerrainPalette, saved_, sizeof saved_); }
    PaletteRestorer(const PaletteRestorer&) = delete;
    PaletteRestorer& operator=(const PaletteRestorer&) = delete;
    const std::uint8_t (&saved() const)[256][3] { return saved_; }

private:
    std::uint8_t saved_[256][3];
};

TEST(LandscapeBorderColor, BlanksEntry255AndNothingElse)
{
    PaletteRestorer restorer;
    ASSERT_NE(paletteEntry(borderColor), (Rgb{0, 0, 0}));
    blankBorderColor();
    EXPECT_EQ(paletteEntry(borderColor), (Rgb{0, 0, 0}));
    for (int i = 0; i < 255; ++i) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(TerrainPalette[i][c], restorer.saved()[i][c]) << "entry " << i;
        }
    }
}

} // namespace
