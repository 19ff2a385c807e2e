// The camera's trigonometric tables, turning and moving.
#include <gtest/gtest.h>

#include "render/camera.h"

namespace {

class Camera : public ::testing::Test {
protected:
    static void SetUpTestSuite() { buildTrigTables(); }
    void SetUp() override
    {
        resetCamera();
        moved = 0;
        turned = 0;
    }
};

TEST_F(Camera, StartsAtItsStartUpState)
{
    EXPECT_EQ(heading, 180);
    EXPECT_EQ(posX, 188.0);
    EXPECT_EQ(posY, 168.0);
    EXPECT_EQ(dirX, -256.0);
    EXPECT_EQ(dirY, 0.0);
    EXPECT_EQ(dirXi, -256);
    EXPECT_EQ(dirYi, 0);
    // The start-up map position is the plain truncation, without +512.
    EXPECT_EQ(mapX, 188);
    EXPECT_EQ(mapY, 168);
}

TEST_F(Camera, TrigTablesAreRoundedToSinglePrecision)
{
    for (int i = 0; i < 360; ++i) {
        EXPECT_EQ(static_cast<double>(static_cast<float>(sinTable[i])), sinTable[i]) << i;
        EXPECT_EQ(static_cast<double>(static_cast<float>(cosTable[i])), cosTable[i]) << i;
    }
    EXPECT_EQ(cosTable[0], 1.0);
    EXPECT_EQ(sinTable[0], 0.0);
    // sin of single-precision pi is not zero.
    EXPECT_NE(sinTable[180], 0.0);
    EXPECT_LT(sinTable[180], 0.0);
}

TEST_F(Camera, HeadingWrapsBothWays)
{
    heading = 0;
    turn(358);
    EXPECT_EQ(heading, 358);
    heading = 359;
    turn(2);
    EXPECT_EQ(heading, 1);
    heading = 2;
    turn(358);
    EXPECT_EQ(heading, 0);
    heading = 358;
    turn(2);
    EXPECT_EQ(heading, 0);
}

TEST_F(Camera, TurnRaisesBothFlags)
{
    turn(2);
    EXPECT_EQ(turned, 1);
    EXPECT_EQ(moved, 1);
    EXPECT_EQ(heading, 182);
}

TEST_F(Camera, DirectionValuesAtListedHeadings)
{
    heading = 43;
    turn(2);
    EXPECT_DOUBLE_EQ(dirX, 181.01933288574219);
    EXPECT_EQ(dirX, dirY);
    EXPECT_EQ(dirXi, 181);
    EXPECT_EQ(dirYi, 181);
    EXPECT_EQ(static_cast<float>(dirX), 181.01933f);

    heading = 88;
    turn(2);
    EXPECT_EQ(dirXi, 0);
    EXPECT_EQ(dirYi, 256);

    heading = 58;
    turn(2);
    EXPECT_EQ(static_cast<float>(dirX), 127.99999237f);
    EXPECT_LT(dirX, 128.0);
    EXPECT_EQ(dirXi, 127);

    heading = 298;
    turn(2);
    EXPECT_EQ(static_cast<float>(dirX), 128.00009155f);
    EXPECT_GT(dirX, 128.0);
    EXPECT_EQ(dirXi, 128);

    heading = 28;
    turn(2);
    EXPECT_EQ(dirY, 128.0);
    EXPECT_EQ(dirYi, 128);

    heading = 148;
    turn(2);
    EXPECT_EQ(static_cast<float>(dirY), 127.99995422f);
    EXPECT_EQ(dirYi, 127);
}

TEST_F(Camera, HeadingOneEightyReachedByTurningIsNotExactlyAxial)
{
    turn(2);
    turn(358);
    EXPECT_EQ(heading, 180);
    EXPECT_NE(dirY, 0.0);
    EXPECT_NEAR(dirY, -0.0000224, 0.0000001);
    EXPECT_EQ(dirYi, 0);
    EXPECT_EQ(dirX, -256.0);
    EXPECT_EQ(dirXi, -256);
}

TEST_F(Camera, FirstForwardMoveFromStartUp)
{
    move(forwardStep);
    EXPECT_EQ(posX, 188.0 + static_cast<float>(-256.0 * static_cast<double>(forwardStep)));
    EXPECT_NEAR(posX, 185.44, 1e-6);
    EXPECT_EQ(posY, 168.0);
    EXPECT_EQ(mapX, 697);
    EXPECT_EQ(mapY, 680);
    EXPECT_EQ(moved, 1);
    EXPECT_EQ(turned, 0);
}

TEST_F(Camera, StepIsTheSinglePrecisionIncrement)
{
    // The increment is rounded to single precision before it is added, and
    // the sum is kept in double precision: after 100 steps the position is
    // 100 rounded increments from the start, not 256 cells.
    const double increment = static_cast<float>(-256.0 * static_cast<double>(forwardStep));
    double expected = 188.0;
    for (int i = 0; i < 100; ++i) {
        move(forwardStep);
        expected += increment;
    }
    EXPECT_EQ(posX, expected);
}

TEST_F(Camera, NegativePositionsKeepTheLowEightBits)
{
    // A zero direction leaves the position where it is set.
    dirX = 0.0;
    dirY = 0.0;
    posX = -0.5;
    posY = -1.5;
    move(forwardStep);
    EXPECT_EQ(mapX, 512);
    EXPECT_EQ(mapY, 767);
    posX = -256.0;
    posY = -257.25;
    move(forwardStep);
    EXPECT_EQ(mapX, 512);
    EXPECT_EQ(mapY, 767);
}

TEST_F(Camera, LongFlightsStayInRange)
{
    heading = 43;
    turn(2);
    for (int i = 0; i < 100000; ++i) {
        move(forwardStep);
        ASSERT_GE(mapX, 512);
        ASSERT_LE(mapX, 767);
        ASSERT_GE(mapY, 512);
        ASSERT_LE(mapY, 767);
    }
    EXPECT_GT(posX, 180000.0);
    // Beyond the range of a 32-bit truncation the low 8 bits still follow
    // the position.
    dirX = 0.0;
    dirY = 0.0;
    posX = 1099511627776.0 + 300.75;   // 2^40 + 300.75
    posY = -1099511627776.0 - 1.5;
    move(forwardStep);
    EXPECT_EQ(mapX, 300 - 256 + 512);
    EXPECT_EQ(mapY, 767);
}

}  // namespace
