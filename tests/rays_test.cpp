// Ray offsets and terrain sampling: the listed values at the start-up view,
// the index rule, and equality with the straightforward passes everywhere.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "assets/landscape.h"
#include "reference_passes.h"
#include "render/camera.h"
#include "render/rays.h"
#include "startup_tables.h"

namespace {

int ray(int c, int r) { return c * tableRows + r; }
int smp(int r, int c) { return r * screenColumns + c; }

class Rays : public ::testing::Test {
protected:
    void SetUp() override
    {
        buildStartUpTables();
        buildRays();
        sampleTerrain();
    }
};

TEST_F(Rays, OffsetsAtTheStartUpView)
{
    EXPECT_EQ(rayRow[ray(160, 1)], 0);
    EXPECT_EQ(rayCol[ray(160, 1)], -238);
    EXPECT_EQ(rayRow[ray(160, 179)], 0);
    EXPECT_EQ(rayCol[ray(160, 179)], -57);
    EXPECT_EQ(rayRow[ray(0, 1)], 63);
    EXPECT_EQ(rayCol[ray(0, 1)], -239);
    EXPECT_EQ(rayRow[ray(319, 1)], -63);
    EXPECT_EQ(rayCol[ray(319, 1)], -239);
    EXPECT_EQ(rayRow[ray(0, 179)], 15);
    EXPECT_EQ(rayCol[ray(0, 179)], -57);
}

TEST_F(Rays, ShiftRoundsTowardMinusInfinity)
{
    // Column 0, row 1: Q = 247 * -256 = -63232, t = 247, Q * t = -15618304,
    // which shifts to -239 (a division would give -238).
    EXPECT_EQ(colCos[0] * dirXi * (distHi[1] / colCos[0]), -15618304);
    EXPECT_EQ(rayCol[ray(0, 1)], -239);
}

TEST_F(Rays, NearestCentreSampleReadsCell43139)
{
    const int cell = 168 * 256 + 188 - 57;
    ASSERT_EQ(cell, 43139);
    EXPECT_EQ(sampleHeight[smp(179, 160)], (131673 * (255 - HeightMap[43139])) >> 16);
    EXPECT_EQ(sampleColor[smp(179, 160)], ColorMap[43139]);
}

TEST_F(Rays, NegativeColumnSumCarriesIntoThePreviousRow)
{
    // mapX + rayCol = -5 and mapY + rayRow = 0 reads cell 65531 (row 255,
    // column 251): the column is not reduced on its own.
    rayRow[ray(7, 179)] = -mapY;
    rayCol[ray(7, 179)] = -5 - mapX;
    sampleTerrain();
    EXPECT_EQ(sampleColor[smp(179, 7)], ColorMap[65531]);
    EXPECT_EQ(sampleHeight[smp(179, 7)], (scaleHi[179] * heightTable[65531]) >> 16);

    // Past the right edge of a row: column 256 of row 10 is column 0 of row 11.
    rayRow[ray(8, 179)] = 10 - mapY;
    rayCol[ray(8, 179)] = 256 - mapX;
    sampleTerrain();
    EXPECT_EQ(sampleColor[smp(179, 8)], ColorMap[11 * 256]);
}

TEST_F(Rays, RowsBeyondTheRowCountAreLeftAlone)
{
    selectLowDetail();
    std::memset(rayRow, 0x5A, sizeof rayRow);
    std::memset(sampleHeight, 0xA5, sizeof sampleHeight);
    buildRays();
    sampleTerrain();
    for (int c = 0; c < screenColumns; ++c) {
        EXPECT_EQ(rayRow[ray(c, 0)], 0x5A5A5A5A);
        EXPECT_EQ(rayRow[ray(c, 121)], 0x5A5A5A5A);
        EXPECT_EQ(sampleHeight[smp(0, c)], 0xA5A5);
        EXPECT_EQ(sampleHeight[smp(121, c)], 0xA5A5);
        EXPECT_NE(sampleHeight[smp(120, c)], 0xA5A5);
    }
}

// The passes against the straightforward ones: every heading, both detail
// levels, positions near the start, negative, and far flown.
TEST(RaysEquality, MatchTheStraightforwardPassesEverywhere)
{
    buildStartUpTables();
    auto reference = std::make_unique<ReferenceBuffers>();
    const double positions[][2] = {
        {188.0, 168.0}, {-0.5, -1.5}, {-300.25, 700.75}, {1.0e7 + 0.5, -3.3e6}, {255.9, 0.1},
    };
    for (int level = 0; level < 2; ++level) {
        if (level == 0)
            selectHighDetail();
        else
            selectLowDetail();
        for (int h = 0; h < 360; ++h) {
            heading = static_cast<std::uint16_t>(h == 0 ? 358 : h - 2);
            turn(2);
            ASSERT_EQ(heading, h);
            buildRays();
            referenceBuildRays(*reference);
            for (int c = 0; c < screenColumns; ++c)
                for (int r = 1; r <= rowCount; ++r) {
                    ASSERT_EQ(rayRow[ray(c, r)], reference->rayRow[ray(c, r)]) << h << " " << c << " " << r;
                    ASSERT_EQ(rayCol[ray(c, r)], reference->rayCol[ray(c, r)]) << h << " " << c << " " << r;
                }
            const auto& pos = positions[h % 5];
            posX = pos[0];
            posY = pos[1];
            move(h % 2 ? forwardStep : backwardStep);
            sampleTerrain();
            referenceSampleTerrain(*reference);
            for (int r = 1; r <= rowCount; ++r)
                for (int c = 0; c < screenColumns; ++c) {
                    ASSERT_EQ(sampleHeight[smp(r, c)], reference->sampleHeight[smp(r, c)]) << h << " " << r << " " << c;
                    ASSERT_EQ(sampleColor[smp(r, c)], reference->sampleColor[smp(r, c)]) << h << " " << r << " " << c;
                }
        }
    }
}

}  // namespace
