// Start-up and event dispatch of the real shell.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/input.h"
#include "app/platform.h"
#include "app/shell.h"
#include "assets/landscape.h"
#include "hw/registers.h"
#include "render/camera.h"
#include "render/present.h"
#include "render/projection.h"
#include "shell_fixture.h"

namespace {

class Shell : public ::testing::Test {
protected:
    void SetUp() override { resetFlight(); }
};

TEST_F(Shell, StartUpDrawsOneFullQualityFrameBeforeReadingEvents)
{
    EXPECT_EQ(framesAtStartUp, 1u);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->w, 320);
    EXPECT_EQ(screen->h, 240);
    EXPECT_EQ(screen->format->BitsPerPixel, 8);
    // Only the handheld maps its register window.
    EXPECT_EQ(regs16, nullptr);
}

TEST_F(Shell, ScreenPaletteIsTheTerrainPaletteWithBlackBands)
{
    const SDL_Palette* palette = screen->format->palette;
    ASSERT_NE(palette, nullptr);
    ASSERT_EQ(palette->ncolors, 256);
    EXPECT_EQ(palette->colors[255].r, 0);
    EXPECT_EQ(palette->colors[255].g, 0);
    EXPECT_EQ(palette->colors[255].b, 0);
    for (int i = 0; i < 255; ++i) {
        EXPECT_EQ(palette->colors[i].r, TerrainPalette[i][0]) << i;
        EXPECT_EQ(palette->colors[i].g, TerrainPalette[i][1]) << i;
        EXPECT_EQ(palette->colors[i].b, TerrainPalette[i][2]) << i;
    }
#ifndef LANDSCAPE_CUSTOM_TERRAIN
    EXPECT_EQ(palette->colors[223].r, 51);
    EXPECT_EQ(palette->colors[223].g, 160);
    EXPECT_EQ(palette->colors[223].b, 204);
#endif
}

TEST_F(Shell, StartAndQuitEventsEndTheLoop)
{
    pushJoyButton(startButton, true);
    EXPECT_TRUE(runPass());
    pushJoyButton(startButton, false);
    EXPECT_TRUE(runPass());
    pushQuit();
    EXPECT_TRUE(runPass());
    pushKey(SDLK_ESCAPE, true);
    EXPECT_TRUE(runPass());
    EXPECT_FALSE(runPass());
    pushQuit();
    EXPECT_EQ(runMainLoop(), 0);
}

TEST_F(Shell, UnassignedButtonsAndSelectReleaseDoNothing)
{
    TempDirectory dir;
    const std::string before = screenPixels();
    for (int b = 10; b < 20; ++b)
        pushJoyButton(b, true);
    for (int b = 9; b < 20; ++b)
        pushJoyButton(b, false);
    pushKey(SDLK_a, true);
    pushKey(SDLK_a, false);
    EXPECT_FALSE(runPass());
    EXPECT_EQ(passFrames(), 0u);
    EXPECT_EQ(highDetail, 1);
    EXPECT_EQ(heading, 180);
    EXPECT_EQ(posX, 188.0);
    EXPECT_EQ(screenPixels(), before);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(Shell, AllQueuedPressesAreHandledBeforeTheNextPass)
{
    pushJoyButton(0, true);
    pushJoyButton(2, true);
    pushJoyButton(7, true);
    runPass();
    EXPECT_EQ(buttons[slotUp], 1);
    EXPECT_EQ(buttons[slotLeft], 1);
    EXPECT_EQ(buttons[slotUpRight], 1);
}

TEST_F(Shell, SelectQueuedAfterStartStillSaves)
{
    TempDirectory dir;
    pushJoyButton(startButton, true);
    pushJoyButton(selectButton, true);
    EXPECT_TRUE(runPass());
    EXPECT_TRUE(std::filesystem::exists("lnd000.bmp"));
}

TEST_F(Shell, SpaceAndF12TakeScreenshots)
{
    TempDirectory dir;
    pushKey(SDLK_SPACE, true);
    pushKey(SDLK_SPACE, false);
    pushKey(SDLK_F12, true);
    EXPECT_FALSE(runPass());
    EXPECT_TRUE(std::filesystem::exists("lnd000.bmp"));
    EXPECT_TRUE(std::filesystem::exists("lnd001.bmp"));
    EXPECT_FALSE(std::filesystem::exists("lnd002.bmp"));
}

}  // namespace
