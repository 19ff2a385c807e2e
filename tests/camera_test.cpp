// The camera: whole-degree turns with single-precision directions, and
// moves whose increments are rounded to single precision.
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
    // Reaches heading h by a turn, as the program does.
    static void face(int h)
    {
        heading = static_cast<std::uint16_t>((h + 358) % 360);
        turn(2);
    }
};

TEST_F(Camera, TurnsWrapTheHeadingAndRaiseBothFlags)
{
    const struct { int from, delta, to; } turns[] = {{0, 358, 358}, {359, 2, 1}, {2, 358, 0}, {358, 2, 0}, {180, 2, 182}};
    for (const auto& t : turns) {
        heading = static_cast<std::uint16_t>(t.from);
        moved = turned = 0;
        turn(static_cast<std::uint16_t>(t.delta));
        EXPECT_EQ(heading, t.to) << t.from << " + " << t.delta;
        EXPECT_EQ(moved, 1);
        EXPECT_EQ(turned, 1);
    }
}

// Directions are single(single(cos) * 256), truncated toward zero; the
// checked component of each heading is the one whose rounding decides it.
TEST_F(Camera, DirectionsAreRoundedToSinglePrecisionThenTruncated)
{
    const struct { int heading; double* direction; int* truncated; double value; int whole; } expected[] = {
        {45, &dirX, &dirXi, 181.01933288574219, 181}, {45, &dirY, &dirYi, 181.01933288574219, 181},
        {60, &dirX, &dirXi, 127.99999237060547, 127}, {300, &dirX, &dirXi, 128.00009155273438, 128},
        {30, &dirY, &dirYi, 128.0, 128},              {150, &dirY, &dirYi, 127.99995422363281, 127},
        {90, &dirY, &dirYi, 256.0, 256},              {90, &dirX, &dirXi, -0.0000111901853, 0},
        {180, &dirY, &dirYi, -0.0000223803706, 0},   // sin of single-precision pi is not 0
    };
    for (const auto& e : expected) {
        face(e.heading);
        EXPECT_NEAR(*e.direction, e.value, 1e-9) << e.heading;
        EXPECT_EQ(*e.truncated, e.whole) << e.heading;
    }
}

TEST_F(Camera, MovesAddSinglePrecisionIncrementsAndSampleFromTheLowEightBits)
{
    move(forwardStep);
    EXPECT_EQ(posX, 188.0 + static_cast<float>(-2.56f));
    EXPECT_EQ(posY, 168.0);
    // +512 on both: two map rows further along the sampling ring than the
    // plain truncation start-up uses.
    EXPECT_EQ(mapX, 697);
    EXPECT_EQ(mapY, 680);
    EXPECT_EQ(moved, 1);
    EXPECT_EQ(turned, 0);
    // The sum stays double: 100 steps are 100 rounded increments.
    for (int i = 1; i < 100; ++i)
        move(backwardStep);
    EXPECT_EQ(posX, 188.0 + static_cast<float>(-2.56f) + 99 * static_cast<double>(static_cast<float>(2.56f)));

    const struct { double position; int sampled; } positions[] = {
        {-0.5, 512}, {-1.5, 767}, {-256.0, 512}, {-257.25, 767}, {255.9, 767},
        {1099511627776.0 + 300.75, 556},   // beyond a 32-bit truncation
        {-1099511627776.0 - 1.5, 767},
    };
    dirX = dirY = 0.0;   // a move then only recomputes the sampled cell
    for (const auto& p : positions) {
        posX = posY = p.position;
        move(forwardStep);
        EXPECT_EQ(mapX, p.sampled) << p.position;
        EXPECT_EQ(mapY, p.sampled) << p.position;
    }
}

}  // namespace
