// What start-up builds and sets: the camera's directions and moves, the
// projection tables, and the display gamma (through a fake register window
// and a sparse file standing in for physical memory). The values are those
// that decide the frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "assets/landscape.h"
#include "hw/gamma.h"
#include "hw/registers.h"
#include "reference_passes.h"
#include "render/startup.h"

namespace {

// Directions are single(single(cos) * 256), truncated toward zero; the
// checked component of each heading is one whose rounding decides it.
TEST(Camera, DirectionsAreRoundedToSinglePrecisionThenTruncated)
{
    buildRenderTables();
    const struct { int heading; double* direction; int* truncated; double value; int whole; } expected[] = {
        {45, &dirX, &dirXi, 181.01933288574219, 181}, {45, &dirY, &dirYi, 181.01933288574219, 181},
        {60, &dirX, &dirXi, 127.99999237060547, 127}, {300, &dirX, &dirXi, 128.00009155273438, 128},
        {30, &dirY, &dirYi, 128.0, 128},              {150, &dirY, &dirYi, 127.99995422363281, 127},
        {90, &dirY, &dirYi, 256.0, 256},              {90, &dirX, &dirXi, -0.0000111901853, 0},
        {180, &dirY, &dirYi, -0.0000223803706, 0},   // sin of single-precision pi is not 0
    };
    for (const auto& e : expected) {
        faceHeading(e.heading);
        EXPECT_TRUE(std::abs(*e.direction - e.value) < 1e-9 && *e.truncated == e.whole) << e.heading;
    }
}

TEST(Camera, MovesAddSinglePrecisionIncrementsAndSampleFromTheLowEightBits)
{
    buildRenderTables();
    moved = turned = 0;
    EXPECT_EQ(mapX, 188);   // start-up: the plain truncation
    move(forwardStep);
    EXPECT_EQ(posX, 188.0 + static_cast<float>(-2.56f));
    EXPECT_EQ(posY, 168.0);
    // +512 on both: two map rows further along the sampling ring.
    EXPECT_EQ(mapX, 697);
    EXPECT_EQ(mapY, 680);
    EXPECT_TRUE(moved && !turned);
    // The sum stays double: 100 steps are 100 rounded increments.
    for (int i = 1; i < 100; ++i)
        move(backwardStep);
    EXPECT_EQ(posX, 188.0 + static_cast<float>(-2.56f) + 99 * static_cast<double>(static_cast<float>(2.56f)));
    faceHeading(90);   // along +Y
    move(forwardStep);
    EXPECT_EQ(posY, 168.0 + static_cast<float>(2.56f));

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

TEST(Projection, TablesHoldTheirValuesAtTheColumnsAndRowsThatDecideThem)
{
    buildRenderTables();
    EXPECT_EQ(fov, 0.5235987901687622);
    const struct { int column, sin, cos; } columns[] = {{0, -66, 247}, {159, 0, 255}, {160, 0, 256}, {319, 65, 247}};
    for (const auto& c : columns)
        EXPECT_TRUE(colSin[c.column] == c.sin && colCos[c.column] == c.cos) << c.column;
    EXPECT_EQ(*std::min_element(colCos, colCos + screenColumns), 247);
    const struct { int row; std::int32_t distHi, scaleHi, distLo, scaleLo; } rows[] = {
        {0, 61276, 31541, 61276, 31541},    {1, 61015, 31675, 60895, 31738},
        {120, 30037, 64344, 15619, 123739}, {179, 14678, 131673, -6828, -283040},
    };
    for (const auto& r : rows)
        EXPECT_TRUE(distHi[r.row] == r.distHi && scaleHi[r.row] == r.scaleHi && distLo[r.row] == r.distLo
                    && scaleLo[r.row] == r.scaleLo)
            << r.row << ": " << distHi[r.row] << " " << scaleHi[r.row] << " " << distLo[r.row] << " " << scaleLo[r.row];
    // Beyond its 120 rows the low table reaches 0 and turns negative.
    EXPECT_EQ(distLo[161], 20);
    EXPECT_EQ(scaleLo[161], 96515880);
    EXPECT_LT(distLo[162], 0);
}

// The ramp the program loads (120 %).
TEST(Gamma, RampBrightensAt120)
{
    const int at120[][2] = {{0, 0}, {1, 2}, {3, 6}, {4, 7}, {7, 12}, {128, 143}, {254, 254}, {255, 255}};
    for (const auto& level : at120)
        EXPECT_EQ(gammaLevel(120, level[0]), level[1]) << level[0];
}

int openDescriptors()
{
    return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}));
}

// A sparse file larger than 0xC0010000 bytes stands in for physical memory:
// the window must be mapped once, at file offset 0xC0000000, which a 32-bit
// signed offset could not reach, and the device closed again whether or not
// it could be mapped. Loading the gamma through it clears only bit 12 of
// display control and writes only the index (0) and data registers (entry
// 255's second store last).
TEST(RegisterWindow, MapsThePhysicalOffsetOnceAndTheGammaLoadsThroughIt)
{
    char name[] = "/tmp/landscape-physmem-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate64(fd, static_cast<off64_t>(registerBase + registerWindowBytes + 4096)), 0);
    const std::uint16_t before = 0xFFFF;   // in display control and the index
    ASSERT_EQ(pwrite64(fd, &before, 2, static_cast<off64_t>(registerBase + displayControlRegister)), 2);
    ASSERT_EQ(pwrite64(fd, &before, 2, static_cast<off64_t>(registerBase + gammaIndexRegister)), 2);
    const int descriptors = openDescriptors();
    setGamma(120);   // unmapped: does nothing
    // Missing; a directory (cannot be opened for writing); /dev/null, which
    // opens but refuses to be mapped.
    for (const char* device : {"/nonexistent/landscape/mem", "/tmp", "/dev/null", static_cast<const char*>(name)}) {
        mapRegisterFile(device);
        EXPECT_EQ(regs16 != nullptr, device == name) << device;
        EXPECT_EQ(openDescriptors(), descriptors) << device;
    }
    volatile std::uint16_t* const first = regs16;
    mapRegisterFile(name);
    EXPECT_EQ(regs16, first);
    setGamma(120);
    msync(const_cast<std::uint16_t*>(regs16), registerWindowBytes, MS_SYNC);
    std::vector<std::uint16_t> window(registerWindowBytes / 2), expected(registerWindowBytes / 2);
    ASSERT_EQ(pread64(fd, window.data(), registerWindowBytes, static_cast<off64_t>(registerBase)), registerWindowBytes);
    expected[displayControlRegister / 2] = 0xEFFF;
    expected[gammaDataRegister / 2] = 255;
    EXPECT_TRUE(window == expected);
    close(fd);
    unlink(name);
    regs16 = nullptr;
}

}  // namespace
