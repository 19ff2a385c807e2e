// The held-direction state machine and adaptive detail, through the real
// main loop: events are pushed into SDL's queue between passes and every
// pass's presented frames are counted.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "app/input.h"
#include "app/shell.h"
#include "render/camera.h"
#include "render/projection.h"
#include "render/rays.h"
#include "shell_fixture.h"

namespace {

constexpr int up = 0, upLeft = 1, left = 2, downLeft = 3, down = 4, right = 6, upRight = 7;
constexpr int start = 8, select = 9;

class Flight : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetFlight();
        ASSERT_EQ(highDetail, 1);
    }
    void press(int b) { pushJoyButton(b, true); }
    void release(int b) { pushJoyButton(b, false); }
    void expectHigh()
    {
        EXPECT_EQ(highDetail, 1);
        EXPECT_EQ(rowCount, 179);
    }
    void expectLow()
    {
        EXPECT_EQ(highDetail, 0);
        EXPECT_EQ(rowCount, 120);
    }
};

TEST_F(Flight, UpRightMovesAndTurnsEveryPass)
{
    press(upRight);
    EXPECT_EQ(passFrames(), 0u);   // the press is read after this pass
    expectLow();
    EXPECT_EQ(detailChanged, 1);
    for (int pass = 1; pass <= 5; ++pass) {
        const double x = posX;
        const double y = posY;
        EXPECT_EQ(passFrames(), 1u) << pass;
        EXPECT_EQ(heading, 180 + 2 * pass);
        EXPECT_NE(posX, x);
        if (pass > 1) {
            EXPECT_NE(posY, y);   // the first move still faces straight along -X
        }
        EXPECT_EQ(detailChanged, 0);
        expectLow();
    }
}

TEST_F(Flight, LeftAndRightTogetherRebuildWithNoNetTurn)
{
    press(left);
    press(right);
    passFrames();
    for (int pass = 0; pass < 3; ++pass) {
        rayOffset[160 * tableRows + rowCount - 1] = 12345;   // row 1: must be rebuilt
        EXPECT_EQ(passFrames(), 1u);
        EXPECT_EQ(heading, 180);
        EXPECT_EQ(turned, 1);
        EXPECT_NE(rayOffset[160 * tableRows + rowCount - 1], 12345);
    }
}

TEST_F(Flight, UpAndDownTogetherFlyForward)
{
    press(up);
    press(down);
    passFrames();
    const double x = posX;
    EXPECT_EQ(passFrames(), 1u);
    EXPECT_LT(posX, x);   // heading 180 faces -X
    EXPECT_EQ(posY, 168.0);
    EXPECT_EQ(turned, 0);
}

TEST_F(Flight, SecondPressInLowDetailLeavesDetailChangedClear)
{
    press(up);
    passFrames();
    EXPECT_EQ(passFrames(), 1u);
    EXPECT_EQ(detailChanged, 0);
    press(left);
    passFrames();
    EXPECT_EQ(detailChanged, 0);
    expectLow();
}

TEST_F(Flight, ReleaseWithAnotherDirectionHeldArmsNothing)
{
    press(up);
    press(left);
    passFrames();
    release(up);
    passFrames();
    EXPECT_EQ(idleArmed, 0);
    expectLow();
    const std::uint16_t h = heading;
    EXPECT_EQ(passFrames(), 1u);   // still turning left
    EXPECT_EQ(heading, h - 2);
}

TEST_F(Flight, WhileInHighDetailAReleaseChangesOnlyTheFlag)
{
    press(up);
    passFrames();
    press(select);   // high detail again, up still held
    {
        TempDirectory dir;
        passFrames();
    }
    release(up);
    EXPECT_EQ(passFrames(), 1u);   // the pass moved before the release was read
    EXPECT_EQ(buttons[slotUp], 0);
    EXPECT_EQ(idleArmed, 0);
    expectHigh();
    for (int pass = 0; pass < 8; ++pass)
        EXPECT_EQ(passFrames(), 0u);
}

TEST_F(Flight, FourIdlePassesCountAndTheFifthDrawsHighDetail)
{
    press(up);
    passFrames();
    release(up);
    EXPECT_EQ(passFrames(), 1u);   // moved, then read the release
    EXPECT_EQ(idleArmed, 1);
    EXPECT_EQ(idleFrames, 0u);
    for (unsigned pass = 1; pass <= 4; ++pass) {
        EXPECT_EQ(passFrames(), 0u) << pass;
        EXPECT_EQ(idleFrames, pass);
        expectLow();
    }
    const double x = posX;
    EXPECT_EQ(passFrames(), 1u);
    expectHigh();
    EXPECT_EQ(idleArmed, 0);
    EXPECT_EQ(posX, x);
    for (int pass = 0; pass < 5; ++pass)
        EXPECT_EQ(passFrames(), 0u);
}

TEST_F(Flight, PressDuringTheIdleCountCancelsIt)
{
    press(up);
    passFrames();
    release(up);
    passFrames();
    passFrames();
    passFrames();
    EXPECT_EQ(idleFrames, 2u);
    press(left);
    passFrames();
    EXPECT_EQ(idleArmed, 0);
    release(left);
    passFrames();
    EXPECT_EQ(idleArmed, 1);
    EXPECT_EQ(idleFrames, 0u);
    for (int pass = 1; pass <= 4; ++pass)
        EXPECT_EQ(passFrames(), 0u);
    EXPECT_EQ(passFrames(), 1u);
    expectHigh();
}

TEST_F(Flight, TapWithinOneDrainDrawsOneLowFrameThenHighOnTheSixthPass)
{
    press(up);
    release(up);
    passFrames();   // reads both: low detail, armed, nothing held
    EXPECT_EQ(buttons[slotUp], 0);
    EXPECT_EQ(idleArmed, 1);
    const double x = posX;
    const std::string before = screenPixels();
    EXPECT_EQ(passFrames(), 1u);   // the low detail frame
    EXPECT_EQ(posX, x);
    EXPECT_NE(screenPixels(), before);
    for (int pass = 2; pass <= 5; ++pass)
        EXPECT_EQ(passFrames(), 0u) << pass;
    EXPECT_EQ(passFrames(), 1u);   // the sixth pass after the tap
    expectHigh();
    EXPECT_EQ(screenPixels(), before);
}

TEST_F(Flight, ScreenshotWhileSteeringSteersOnAtHighDetail)
{
    TempDirectory dir;
    press(upRight);
    passFrames();
    EXPECT_EQ(passFrames(), 1u);
    press(select);
    EXPECT_EQ(passFrames(), 2u);   // the pass's own frame, then the screenshot's
    expectHigh();
    EXPECT_TRUE(std::filesystem::exists("lnd000.bmp"));
    for (int pass = 0; pass < 3; ++pass) {
        const std::uint16_t h = heading;
        rayOffset[5 * tableRows + 178] = 0xFFFF;   // row 1 of high detail: rebuilt
        EXPECT_EQ(passFrames(), 1u);
        EXPECT_EQ(heading, h + 2);
        EXPECT_NE(rayOffset[5 * tableRows + 178], 0xFFFF);
        expectHigh();
    }
    release(upRight);
    passFrames();
    EXPECT_EQ(idleArmed, 0);
    EXPECT_EQ(passFrames(), 0u);
}

TEST_F(Flight, ScreenshotDuringTheIdleCountLetsItRunOnAndDrawNothing)
{
    TempDirectory dir;
    press(up);
    passFrames();
    release(up);
    passFrames();
    EXPECT_EQ(passFrames(), 0u);   // idleFrames 1
    press(select);
    EXPECT_EQ(passFrames(), 1u);   // idleFrames 2, then the screenshot's frame
    expectHigh();
    EXPECT_EQ(idleArmed, 1);
    EXPECT_EQ(idleFrames, 2u);
    EXPECT_EQ(passFrames(), 0u);
    EXPECT_EQ(passFrames(), 0u);
    EXPECT_EQ(idleFrames, 4u);
    EXPECT_EQ(passFrames(), 0u);   // the final idle pass: disarms, draws nothing
    EXPECT_EQ(idleArmed, 0);
    expectHigh();
}

TEST_F(Flight, KeyboardSteersLikeThePad)
{
    pushKey(SDLK_UP, true);
    pushKey(SDLK_KP9, true);   // up-right
    passFrames();
    EXPECT_EQ(buttons[slotUp], 1);
    EXPECT_EQ(buttons[slotUpRight], 1);
    EXPECT_EQ(passFrames(), 1u);
    EXPECT_EQ(heading, 182);
    pushKey(SDLK_KP9, false);
    pushKey(SDLK_UP, false);
    pushKey(SDLK_LEFT, true);
    pushKey(SDLK_KP4, false);   // the same button: released
    passFrames();
    for (std::uint8_t b : buttons)
        EXPECT_EQ(b, 0);
    EXPECT_EQ(idleArmed, 1);
}

TEST_F(Flight, LosingFocusReleasesEveryDirection)
{
    pushKey(SDLK_UP, true);
    pushKey(SDLK_RIGHT, true);
    passFrames();
    passFrames();
    pushFocusLoss();
    passFrames();
    for (std::uint8_t b : buttons)
        EXPECT_EQ(b, 0);
    EXPECT_EQ(idleArmed, 1);
    const double x = posX;
    const std::uint16_t h = heading;
    for (int pass = 0; pass < 4; ++pass)
        EXPECT_EQ(passFrames(), 0u);
    EXPECT_EQ(passFrames(), 1u);
    expectHigh();
    EXPECT_EQ(posX, x);
    EXPECT_EQ(heading, h);
}

// Thousands of random events through the real loop; after every pass the
// camera and detail invariants hold and the bands are intact.
TEST_F(Flight, RandomSoakKeepsTheInvariants)
{
    TempDirectory dir;
    std::mt19937 random(20261206);
    int screenshots = 0;
    for (int pass = 0; pass < 4000; ++pass) {
        const int events = static_cast<int>(random() % 4);
        for (int e = 0; e < events; ++e) {
            const unsigned kind = random() % 100;
            const int button = static_cast<int>(random() % 8);
            if (kind < 45) {
                press(button);
            } else if (kind < 90) {
                release(button);
            } else if (kind < 92 && screenshots < 20) {
                press(select);
                ++screenshots;
            } else if (kind < 96) {
                pushJoyButton(10 + static_cast<int>(random() % 6), random() % 2);
            } else {
                release(select);
            }
        }
        if (random() % 50 == 0) {
            for (int b = 0; b < 8; ++b)
                release(b);
        }
        ASSERT_FALSE(runPass());
        if (pass > 0 && (pass % 500) == 0) {
            // An idle stretch: everything released, back to high detail.
            for (int b = 0; b < 8; ++b)
                release(b);
            for (int i = 0; i < 7; ++i)
                runPass();
            ASSERT_EQ(highDetail, 1);
        }
        if (posX != 188.0 || posY != 168.0) {   // moved at least once
            ASSERT_GE(mapX, 512);
            ASSERT_LE(mapX, 767);
            ASSERT_GE(mapY, 512);
            ASSERT_LE(mapY, 767);
        }
        ASSERT_LT(heading, 360);
        ASSERT_EQ(rowCount == 179, highDetail == 1);
        ASSERT_EQ(rowCount, highDetail ? 179 : 120);
        const std::string pixels = screenPixels();
        for (int i = 0; i < 320 * 30; ++i) {
            ASSERT_EQ(static_cast<std::uint8_t>(pixels[i]), 255);
            ASSERT_EQ(static_cast<std::uint8_t>(pixels[320 * 210 + i]), 255);
        }
    }
    EXPECT_EQ(static_cast<int>(std::distance(std::filesystem::directory_iterator("."),
                                             std::filesystem::directory_iterator())),
              screenshots);
}

}  // namespace
