// Ray offsets and the index rule, pinned through the straightforward passes
// at the start-up view, and the ray boxes and box test the near-row skip
// relies on.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "assets/landscape.h"
#include "reference_passes.h"
#include "render/near_rows.h"
#include "render/rays.h"
#include "startup_tables.h"

namespace {

int ray(int c, int r) { return c * tableRows + r; }
int smp(int r, int c) { return r * screenColumns + c; }

class Rays : public ::testing::Test {
protected:
    std::unique_ptr<ReferenceBuffers> reference = std::make_unique<ReferenceBuffers>();
    void SetUp() override
    {
        buildStartUpTables();
        referenceBuildRays(*reference);
        referenceSampleTerrain(*reference);
    }
};

TEST_F(Rays, OffsetsAtTheStartUpView)
{
    const struct {
        int column, row, rayRow, rayCol;
    } listed[] = {
        {160, 1, 0, -238}, {160, 179, 0, -57}, {0, 1, 63, -239}, {319, 1, -63, -239}, {0, 179, 15, -57},
    };
    for (const auto& l : listed) {
        EXPECT_EQ(reference->rayRow[ray(l.column, l.row)], l.rayRow) << l.column << " " << l.row;
        EXPECT_EQ(reference->rayCol[ray(l.column, l.row)], l.rayCol) << l.column << " " << l.row;
    }
    // Column 0, row 1: Q = 247 * -256 = -63232, t = 247, Q * t = -15618304,
    // which shifts to -239 (a division would give -238).
    EXPECT_EQ(colCos[0] * dirXi * (distHi[1] / colCos[0]), -15618304);
}

TEST_F(Rays, NearestCentreSampleReadsCell43139)
{
    const int cell = 168 * 256 + 188 - 57;
    ASSERT_EQ(cell, 43139);
    EXPECT_EQ(reference->sampleHeight[smp(179, 160)], (131673 * (255 - HeightMap[43139])) >> 16);
    EXPECT_EQ(reference->sampleColor[smp(179, 160)], ColorMap[43139]);
}

TEST_F(Rays, NegativeColumnSumCarriesIntoThePreviousRow)
{
    // mapX + rayCol = -5 and mapY + rayRow = 0 reads cell 65531 (row 255,
    // column 251): the column is not reduced on its own.
    reference->rayRow[ray(7, 179)] = -mapY;
    reference->rayCol[ray(7, 179)] = -5 - mapX;
    // Past the right edge of a row: column 256 of row 10 is column 0 of row 11.
    reference->rayRow[ray(8, 179)] = 10 - mapY;
    reference->rayCol[ray(8, 179)] = 256 - mapX;
    referenceSampleTerrain(*reference);
    EXPECT_EQ(reference->sampleColor[smp(179, 7)], ColorMap[65531]);
    EXPECT_EQ(reference->sampleHeight[smp(179, 7)], (scaleHi[179] * (255 - HeightMap[65531])) >> 16);
    EXPECT_EQ(reference->sampleColor[smp(179, 8)], ColorMap[11 * 256]);
}

// Every sample of every pair of rows the skip tests lies in its group's
// box, for every heading at both levels: the rays depend on nothing else,
// so this covers every view.
TEST_F(Rays, BoxesHoldEverySampleOfTheirRows)
{
    for (int level = 0; level < 2; ++level) {
        if (level == 0)
            selectHighDetail();
        else
            selectLowDetail();
        ASSERT_GT(skipPairs[highDetail], 10);
        for (int h = 0; h < 360; ++h) {
            faceHeading(h);
            buildRays();
            referenceBuildRays(*reference);
            for (int g = 0; g < columnGroups; ++g)
                for (int p = 0; p < skipPairs[highDetail]; ++p) {
                    const RayBox& box = rayBoxes[g][p];
                    const int nearRow = rowCount - castStart[highDetail] - 2 * p;
                    for (int c = g * columnGroup; c < (g + 1) * columnGroup; ++c)
                        for (int r = nearRow - 1; r <= nearRow; ++r) {
                            const int y = reference->rayRow[ray(c, r)];
                            const int x = reference->rayCol[ray(c, r)];
                            ASSERT_TRUE(y >= box.rowMin && y <= box.rowMax && x >= box.colMin && x <= box.colMax)
                                << "heading " << h << " level " << level << " column " << c << " row " << r;
                        }
                }
        }
    }
}

// The skip leaves out a pair only if every cell under its box, found by the
// index rule, is deep enough to hide the pair: boxes of every size the rays
// make, many across the map's seams, over sea level with needles.
TEST(NearRows, SkipsAPairOnlyWhenEveryCellUnderItsBoxIsDeepEnough)
{
    std::mt19937 random(1207);
    std::vector<std::uint8_t> heights(mapCells), colors(mapCells, 1);
    for (auto& h : heights)
        h = random() % 8 == 0 ? static_cast<std::uint8_t>(random() % 256) : std::uint8_t{0};
    buildStartUpTables();
    useLandscape(heights.data(), colors.data());
    const int first = castStart[highDetail];
    const int need = hidingDepth[highDetail][first + 1];
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
