// Column and row tables and the detail selection. The quotient and
// nearest-first tables are held to the division by the frame tests.
#include <gtest/gtest.h>

#include <algorithm>

#include "render/projection.h"

namespace {

class Projection : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        fov = static_cast<float>(3.14159265358979323846 / 6.0);
        buildColumnTables();
        buildDetailTables();
    }
};

TEST_F(Projection, FieldOfViewIsSinglePrecisionPiOverSix)
{
    EXPECT_EQ(fov, 0.5235987901687622);
}

TEST_F(Projection, ColumnTablesAtListedColumns)
{
    EXPECT_EQ(colSin[0], -66);
    EXPECT_EQ(colCos[0], 247);
    EXPECT_EQ(colSin[159], 0);
    EXPECT_EQ(colCos[159], 255);
    EXPECT_EQ(colSin[160], 0);
    EXPECT_EQ(colCos[160], 256);
    EXPECT_EQ(colSin[319], 65);
    EXPECT_EQ(colCos[319], 247);
    EXPECT_EQ(*std::min_element(colCos, colCos + screenColumns), 247);
    EXPECT_EQ(*std::max_element(colCos, colCos + screenColumns), 256);
}

TEST_F(Projection, ColumnTablesAreMonotonicAroundTheCentre)
{
    for (int c = 1; c < screenColumns; ++c)
        EXPECT_GE(colSin[c], colSin[c - 1]) << c;
    for (int c = 1; c <= 160; ++c)
        EXPECT_GE(colCos[c], colCos[c - 1]) << c;
    for (int c = 161; c < screenColumns; ++c)
        EXPECT_LE(colCos[c], colCos[c - 1]) << c;
}

struct RowValues {
    int row;
    std::int32_t distHi, scaleHi, distLo, scaleLo;
};

TEST_F(Projection, RowTablesAtListedRows)
{
    const RowValues listed[] = {
        {0, 61276, 31541, 61276, 31541},
        {1, 61015, 31675, 60895, 31738},
        {120, 30037, 64344, 15619, 123739},
        {179, 14678, 131673, -6828, -283040},
    };
    for (const RowValues& v : listed) {
        SCOPED_TRACE(v.row);
        EXPECT_EQ(distHi[v.row], v.distHi);
        EXPECT_EQ(scaleHi[v.row], v.scaleHi);
        EXPECT_EQ(distLo[v.row], v.distLo);
        EXPECT_EQ(scaleLo[v.row], v.scaleLo);
    }
}

TEST_F(Projection, LowTableCrossesZeroBeyondItsRowCount)
{
    EXPECT_EQ(distLo[161], 20);
    EXPECT_EQ(scaleLo[161], 96515880);
    EXPECT_LT(distLo[162], 0);
    EXPECT_LT(scaleLo[162], 0);
    for (int r = 1; r <= lowDetailRows; ++r) {
        EXPECT_GT(distLo[r], 0) << r;
        EXPECT_LT(distLo[r], distLo[r - 1]) << r;
    }
    for (int r = 1; r <= highDetailRows; ++r)
        EXPECT_LT(distHi[r], distHi[r - 1]) << r;
}

TEST_F(Projection, BuildRowTablesWithNoRowsWritesNothing)
{
    std::int32_t dist[tableRows];
    std::int32_t scale[tableRows];
    std::fill(dist, dist + tableRows, 12345);
    std::fill(scale, scale + tableRows, -777);
    const double near = 0.4f;
    const double far = 1.7f;
    buildRowTables(dist, scale, 0, near, far);
    EXPECT_TRUE(std::all_of(dist, dist + tableRows, [](std::int32_t v) { return v == 12345; }));
    EXPECT_TRUE(std::all_of(scale, scale + tableRows, [](std::int32_t v) { return v == -777; }));
    // n rows write exactly rows 0..n-1.
    buildRowTables(dist, scale, 3, near, far);
    EXPECT_NE(dist[2], 12345);
    EXPECT_EQ(dist[3], 12345);
    EXPECT_EQ(scale[3], -777);
}

TEST_F(Projection, DetailSelectionSwapsTheTables)
{
    selectLowDetail();
    EXPECT_EQ(highDetail, 0);
    EXPECT_EQ(rowCount, 120);
    EXPECT_EQ(rowDistance, distLo);
    EXPECT_EQ(rowScale, scaleLo);
    EXPECT_EQ(nearQuotient, nearQuotientLo);
    EXPECT_EQ(nearScale, nearScaleLo);
    selectHighDetail();
    EXPECT_EQ(highDetail, 1);
    EXPECT_EQ(rowCount, 179);
    EXPECT_EQ(rowDistance, distHi);
    EXPECT_EQ(rowScale, scaleHi);
    EXPECT_EQ(nearQuotient, nearQuotientHi);
    EXPECT_EQ(nearScale, nearScaleHi);
}

}  // namespace
