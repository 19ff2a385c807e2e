// Frame composition from synthetic and real sample buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "assets/landscape.h"
#include "reference_passes.h"
#include "render/frame.h"
#include "render/rays.h"
#include "startup_tables.h"
#include "tools/frame_checksum.h"

namespace {

int smp(int r, int c) { return r * screenColumns + c; }

// A screen with a wider pitch than its 320 pixels, and guard bytes around
// it, so that writes outside the picture are caught.
class Frame : public ::testing::Test {
protected:
    static constexpr int pitch = 336;
    static constexpr int guard = 4096;
    std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(guard + screenRows * pitch + guard, 0x77);
    std::uint8_t* pixels = memory.data() + guard;

    void SetUp() override
    {
        buildStartUpTables();
        recordScreenGeometry(pixels, pitch, 1);
    }
    std::uint8_t at(int screenRow, int column) const { return pixels[screenRow * pitch + column]; }
    std::uint8_t view(int viewRow, int column) const { return at(bandRows + viewRow, column); }
    void fillSamples(std::uint16_t height, std::uint8_t colour)
    {
        for (int i = 0; i < tableRows * screenColumns; ++i) {
            sampleHeight[i] = height;
            sampleColor[i] = colour;
        }
    }
    void expectBandsAndMarginsIntact() const
    {
        for (int y = 0; y < screenRows; ++y)
            for (int c = 0; c < pitch; ++c) {
                const std::uint8_t v = at(y, c);
                if (c >= screenColumns) {
                    ASSERT_EQ(v, 0x77) << y << " " << c;
                } else if (y < bandRows || y >= bandRows + viewRows) {
                    ASSERT_EQ(v, borderColor) << y << " " << c;
                }
            }
        for (int i = 0; i < guard; ++i) {
            ASSERT_EQ(memory[i], 0x77);
            ASSERT_EQ(memory[memory.size() - 1 - i], 0x77);
        }
    }
};

TEST_F(Frame, SamplesBelowTheViewLeaveSkyBetweenBlackBands)
{
    fillSamples(250, 3);
    sampleHeight[smp(179, 5)] = 65535;   // read unsigned: far below the view
    composeFrame(pixels);
    for (int y = 0; y < viewRows; ++y)
        for (int c = 0; c < screenColumns; ++c)
            ASSERT_EQ(view(y, c), skyColor) << y << " " << c;
    expectBandsAndMarginsIntact();
    for (int c = 0; c < screenColumns; ++c)
        EXPECT_EQ(columnTop[c], viewRows);
}

TEST_F(Frame, HighNearSampleFillsItsColumnAndHidesEverythingBehind)
{
    fillSamples(250, 3);
    sampleHeight[smp(179, 42)] = 70;
    sampleColor[smp(179, 42)] = 9;
    sampleHeight[smp(100, 42)] = 0;      // farther and higher: hidden
    sampleColor[smp(100, 42)] = 11;
    sampleHeight[smp(179, 43)] = 12;     // above the view's top: clamped to row 0
    sampleColor[smp(179, 43)] = 10;
    composeFrame(pixels);
    for (int y = 0; y < viewRows; ++y) {
        ASSERT_EQ(view(y, 42), 9) << y;
        ASSERT_EQ(view(y, 43), 10) << y;
        ASSERT_EQ(view(y, 41), skyColor) << y;
    }
    EXPECT_EQ(columnTop[42], 0);
    expectBandsAndMarginsIntact();
}

TEST_F(Frame, FarSampleDrawsOnlyAboveTheNearOne)
{
    fillSamples(250, 3);
    sampleHeight[smp(179, 200)] = 170;   // y = 100
    sampleColor[smp(179, 200)] = 20;
    sampleHeight[smp(90, 200)] = 130;    // y = 60
    sampleColor[smp(90, 200)] = 21;
    sampleHeight[smp(50, 200)] = 150;    // y = 80: behind both
    sampleColor[smp(50, 200)] = 22;
    composeFrame(pixels);
    for (int y = 0; y < 60; ++y)
        ASSERT_EQ(view(y, 200), skyColor) << y;
    for (int y = 60; y < 100; ++y)
        ASSERT_EQ(view(y, 200), 21) << y;
    for (int y = 100; y < viewRows; ++y)
        ASSERT_EQ(view(y, 200), 20) << y;
    EXPECT_EQ(columnTop[200], 60);
    expectBandsAndMarginsIntact();
}

TEST_F(Frame, OnlyRowsUpToTheRowCountAreDrawn)
{
    fillSamples(250, 3);
    selectLowDetail();
    sampleHeight[smp(121, 10)] = 100;    // beyond rowCount 120: never read
    sampleColor[smp(121, 10)] = 30;
    sampleHeight[smp(1, 11)] = 100;      // row 1, the farthest, is drawn
    sampleColor[smp(1, 11)] = 31;
    sampleHeight[smp(0, 12)] = 100;      // row 0 is never read
    sampleColor[smp(0, 12)] = 32;
    composeFrame(pixels);
    EXPECT_EQ(view(100, 10), skyColor);
    EXPECT_EQ(view(100, 11), 31);
    EXPECT_EQ(view(30, 11), 31);
    EXPECT_EQ(view(29, 11), skyColor);
    EXPECT_EQ(view(100, 12), skyColor);
}

TEST_F(Frame, RealFramesMatchTheStraightforwardComposition)
{
    auto reference = std::make_unique<ReferenceBuffers>();
    std::vector<std::uint8_t> expected(screenRows * pitch, 0x77);
    for (int h = 0; h < 360; h += 7) {
        heading = static_cast<std::uint16_t>(h);
        turn(2);
        if (h % 2)
            selectLowDetail();
        else
            selectHighDetail();
        for (int i = 0; i < 30; ++i)
            move(forwardStep);
        buildRays();
        sampleTerrain();
        std::memcpy(reference->sampleHeight, sampleHeight, sizeof sampleHeight);
        std::memcpy(reference->sampleColor, sampleColor, sizeof sampleColor);
        composeFrame(pixels);
        referenceComposeFrame(*reference, expected.data(), pitch);
        ASSERT_EQ(std::memcmp(pixels, expected.data(), expected.size()), 0) << h;
        ASSERT_EQ(std::memcmp(columnTop, reference->columnTop, sizeof columnTop), 0) << h;
        expectBandsAndMarginsIntact();
    }
}

// The start-up frame of the built-in landscape, pinned by a checksum of its
// 320 x 240 palette indices, so that any change to the renderer or the data
// shows up here. When the landscape is changed on purpose, take the new
// value from `render_frame --checksum`.
TEST(StartUpFrame, MatchesItsGoldenChecksum)
{
#ifdef LANDSCAPE_CUSTOM_TERRAIN
    GTEST_SKIP() << "built with a custom landscape";
#endif
    std::vector<std::uint8_t> screen(320 * 240);
    buildStartUpTables();
    recordScreenGeometry(screen.data(), 320, 1);
    buildRays();
    sampleTerrain();
    composeFrame(screen.data());
    EXPECT_EQ(frameChecksum(screen.data(), screen.size()), 0x226dee47d317c324ull);
    // And the low detail frame of the same view.
    selectLowDetail();
    buildRays();
    sampleTerrain();
    composeFrame(screen.data());
    EXPECT_EQ(frameChecksum(screen.data(), screen.size()), 0xd0274416c20f852cull);
}

}  // namespace
