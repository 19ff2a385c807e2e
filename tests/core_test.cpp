// The SDL-free core: the camera, projection tables and display gamma with
// the values that decide the frames; the frames against straightforward
// passes (on ARM this holds the hand-written column loop to them too), the
// golden start-up frames, the rule by which near rows are skipped, and the
// frame scaled for presenting.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>
#include <signal.h>
#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>
#include <vector>

#include "app/scaling.h"
#include "assets/landscape.h"
#include "hw/gamma.h"
#include "hw/registers.h"
#include "reference_passes.h"
#include "render/startup.h"
#include "tools/offscreen_frame.h"

namespace {

// Directions are single(single(cos) * 256), truncated toward zero; the
// checked component of each heading is one whose rounding decides it.
TEST(Camera, DirectionsAndMovesAreRoundedToSinglePrecision)
{
    buildRenderTables();
    const struct { int heading; double* direction; int* truncated; double value; int whole; } expected[] = {
        {45, &dirX, &dirXi, 181.01933288574219, 181}, {45, &dirY, &dirYi, 181.01933288574219, 181},
        {60, &dirX, &dirXi, 127.99999237060547, 127}, {300, &dirX, &dirXi, 128.00009155273438, 128},
        {30, &dirY, &dirYi, 128.0, 128},              {150, &dirY, &dirYi, 127.99995422363281, 127},
        {90, &dirY, &dirYi, 256.0, 256},              {90, &dirX, &dirXi, -0.0000111901853, 0},
        {0, &dirX, &dirXi, 256.0, 256},   // turned right from 358: past 359 the heading wraps to 0
        {180, &dirY, &dirYi, -0.0000223803706, 0},   // sin of single-precision pi is not 0
    };
    for (const auto& e : expected) {
        faceHeading(e.heading);
        EXPECT_TRUE(heading == e.heading && std::abs(*e.direction - e.value) < 1e-9 && *e.truncated == e.whole)
            << e.heading;
    }

    // Moves add single-precision steps to a double position; cells from its
    // low 8 bits. The start-up state replaces whatever was there.
    heading = 7, dirX = dirY = 99.0, dirXi = dirYi = 99, posX = posY = 0.0, mapX = mapY = 0;
    resetCamera();
    moved = turned = 0;
    EXPECT_TRUE(heading == 180 && dirXi == -256 && dirYi == 0 && mapX == 188 && mapY == 168);   // plain truncations
    move(forwardStep);
    EXPECT_TRUE(posX == 188.0 + static_cast<float>(-2.56f) && posY == 168.0 && moved && !turned);
    // +512 on both: two map rows further along the sampling ring.
    EXPECT_TRUE(mapX == 697 && mapY == 680) << mapX << ", " << mapY;
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
        EXPECT_TRUE(mapX == p.sampled && mapY == p.sampled) << p.position;
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
    EXPECT_TRUE(distLo[161] == 20 && scaleLo[161] == 96515880 && distLo[162] < 0);
}

// The ramp the program loads (120 %).
TEST(Gamma, RampBrightensAt120)
{
    const int at120[][2] = {{0, 0}, {1, 2}, {3, 6}, {4, 7}, {7, 12}, {128, 143}, {254, 254}, {255, 255}};
    for (const auto& level : at120)
        EXPECT_EQ(gammaLevel(120, level[0]), level[1]) << level[0];
}

#if defined(__x86_64__)
// Every store into the register window, in order, where the mapped file
// keeps only each register's last value: the window is write-protected,
// each store into it faults, the handler lets that one instruction run
// (x86's trap flag) and then logs the register's new value and protects
// the window again. A fault elsewhere crashes as it would have.
struct Store {
    std::uint32_t offset;
    std::uint16_t value;
    bool operator==(const Store& other) const { return offset == other.offset && value == other.value; }
};
std::vector<Store> stores;
volatile std::uint16_t* storedAt;
const greg_t trapFlag = 0x100;

void protectWindow(int access)
{
    mprotect(const_cast<std::uint16_t*>(regs16), registerWindowBytes, access);
}

void onStore(int, siginfo_t* info, void* context)
{
    storedAt = static_cast<volatile std::uint16_t*>(info->si_addr);
    if (storedAt < regs16 || storedAt >= regs16 + registerWindowBytes / 2) {
        signal(SIGSEGV, SIG_DFL);
        return;
    }
    protectWindow(PROT_READ | PROT_WRITE);
    static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_EFL] |= trapFlag;
}

void onStored(int, siginfo_t*, void* context)
{
    stores.push_back({static_cast<std::uint32_t>((storedAt - regs16) * 2), *storedAt});
    protectWindow(PROT_READ);
    static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_EFL] &= ~trapFlag;
}

// The stores setGamma(percent) makes, in order.
std::vector<Store> gammaStores(int percent)
{
    struct sigaction store {}, stored {}, before[2];
    store.sa_sigaction = onStore;
    stored.sa_sigaction = onStored;
    store.sa_flags = stored.sa_flags = SA_SIGINFO;
    sigaction(SIGSEGV, &store, &before[0]);
    sigaction(SIGTRAP, &stored, &before[1]);
    stores.clear();
    protectWindow(PROT_READ);
    setGamma(percent);
    protectWindow(PROT_READ | PROT_WRITE);
    sigaction(SIGSEGV, &before[0], nullptr);
    sigaction(SIGTRAP, &before[1], nullptr);
    return stores;
}
#endif

// A sparse file larger than 0xC0010000 bytes stands in for physical memory:
// the window must be mapped once, at file offset 0xC0000000, which a 32-bit
// signed offset could not reach, and the device closed again whether or not
// it could be mapped. Loading the gamma through it clears only bit 12 of
// display control and writes only the index (0) and data registers (entry
// 255's second store last); on x86, where every store is logged, the index
// is reset first and each level is stored twice, high and low byte, then
// low byte alone.
TEST(RegisterWindow, MapsThePhysicalOffsetOnceAndTheGammaLoadsThroughIt)
{
    const auto openDescriptors = [] { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); };
    char name[] = "/tmp/landscape-physmem-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate64(fd, static_cast<off64_t>(registerBase + registerWindowBytes + 4096)), 0);
    const std::uint16_t before = 0xFFFF;   // in display control and the index
    ASSERT_EQ(pwrite64(fd, &before, 2, static_cast<off64_t>(registerBase + displayControlRegister)), 2);
    ASSERT_EQ(pwrite64(fd, &before, 2, static_cast<off64_t>(registerBase + gammaIndexRegister)), 2);
    const auto descriptors = openDescriptors();
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
#if defined(__x86_64__)
    std::vector<Store> expectedStores = {{displayControlRegister, 0xEFFF}, {gammaIndexRegister, 0}};
    for (int level = 0; level < 256; ++level) {
        const std::uint16_t g = gammaLevel(120, level);
        expectedStores.push_back({gammaDataRegister, static_cast<std::uint16_t>(g * 257)});
        expectedStores.push_back({gammaDataRegister, g});
    }
    EXPECT_TRUE(gammaStores(120) == expectedStores);
#else
    setGamma(120);
#endif
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

using Map = std::vector<std::uint8_t>;

struct Terrain { const char* name; Map heights, colors; };

// The built-in landscape, and one made to stress the near-row skip: low
// ground with single-cell needles of every height a near row can show (one
// cell in 30), towers of height 255 (depth 0) that fill their columns, posts
// on the four rows and columns either side of the map's seams (where a column
// coordinate carries into the next row), and 16 x 16 plateaus from sea level
// to 255 with cliffs between them. Its colours differ from cell to cell, so
// that a sample read from the wrong cell shows, and never are the sky's, so
// that the top of the terrain shows in every column.
std::vector<Terrain> terrains()
{
    Terrain made{"needles, towers, seam posts and plateaus", Map(mapCells), Map(mapCells)};
    std::mt19937 random(1206);
    for (int cell = 0; cell < mapCells; ++cell) {
        const int row = cell / 256, column = cell % 256, plateau = row / 16 * 16 + column / 16;
        const bool tower = row % 64 >= 30 && row % 64 < 33 && column % 80 < 3;
        const bool post = ((column + 4) % 256 < 8 || (row + 4) % 256 < 8) && cell % 12 == 0;
        const bool plateaus = row >= 136 && row < 216 && column >= 96 && column < 208;
        made.heights[cell] = static_cast<std::uint8_t>(
            tower ? 255 : post ? 140 + cell % 116 : plateaus ? (plateau * 97 % 7 == 0 ? 255 : plateau * 61 % 9 * 28)
                  : random() % 30 == 0 ? 100 + random() % 156 : (row * 7 + column * 3) % 40);
        made.colors[cell] = static_cast<std::uint8_t>(((cell * 2654435761u) >> 24) % skyColor);
    }
    return {{"built-in", Map(HeightMap, HeightMap + mapCells), Map(ColorMap, ColorMap + mapCells)}, made};
}

// Camera positions (posX, posY) before one step: the start-up one, near
// the seams, negative, far flown.
const double positions[][2] = {
    {188.0, 168.0}, {-0.5, -1.5}, {255.9, 0.1}, {0.4, 254.6}, {128.2, 255.9},
    {-300.25, 700.75}, {1.0e7 + 0.5, -3.3e6},
};

// Every heading at both levels, a turn frame and then a move frame with the
// same rays (the positions going round the list), on a screen with a wider
// pitch than its 320 pixels and guard bytes around it, so that writes
// outside the picture show.
TEST(Frame, MatchesTheStraightforwardPasses)
{
    const int pitch = 336, guard = 4096;
    Map ours(guard + screenRows * pitch + guard, 0x77), expected = ours;
    auto reference = std::make_unique<ReferenceBuffers>();
    startOffscreen(ours.data() + guard);
    recordScreenGeometry(ours.data() + guard, pitch);
    for (const Terrain& terrain : terrains()) {
        SCOPED_TRACE(terrain.name);
        useLandscape(terrain.heights.data(), terrain.colors.data());
        for (int high = 1; high >= 0; --high)
            for (int h = 0; h < 360; ++h) {
                faceHeading(h);
                for (int frame = 0; frame < 2; ++frame) {
                    const double* position = positions[(h + high + 3 * frame) % std::size(positions)];
                    posX = position[0];
                    posY = position[1];
                    move(h % 2 ? forwardStep : backwardStep);
                    if (frame == 0)
                        switchDetail(high);
                    composeFrame();
                    referenceBuildRays(*reference);
                    referenceSampleTerrain(*reference, terrain.heights.data(), terrain.colors.data());
                    referenceComposeFrame(*reference, expected.data() + guard, pitch);
                    ASSERT_EQ(ours, expected) << (frame ? "move" : "turn") << " frame at heading " << h
                                              << (high ? " high" : " low") << " from " << posX << ", " << posY;
                }
            }
    }
    useLandscape(HeightMap, ColorMap);
}

// A scaled frame: every frame pixel an exact factor x factor block of its
// display colour at every factor (the fast ones and a generic one), in a
// display whose rows are wider than the frame's, placed off its corner;
// every display byte outside the frame's rectangle is left alone.
TEST(Scaling, EveryFactorReplicatesEachPixelExactlyAndWritesNothingElse)
{
    std::mt19937 random(7);
    std::vector<std::uint8_t> frame(screenRows * 336);
    for (std::uint8_t& index : frame)
        index = static_cast<std::uint8_t>(random());
    std::uint32_t colours[256];
    for (std::uint32_t& colour : colours)
        colour = static_cast<std::uint32_t>(random());
    useColours(colours);
    for (int factor = 1; factor <= 5; ++factor) {
        SCOPED_TRACE(factor);
        const int left = 3, top = 2, pitch = (screenColumns * factor + 7) * 4, rows = screenRows * factor + 5;
        std::vector<std::uint32_t> display(std::size_t(rows) * pitch / 4, 0xdeadbeef), expected = display;
        for (int y = 0; y < screenRows * factor; ++y)
            for (int x = 0; x < screenColumns * factor; ++x)
                expected[std::size_t(top + y) * pitch / 4 + left + x] = colours[frame[y / factor * 336 + x / factor]];
        scaleFrame(frame.data(), 336, reinterpret_cast<std::uint8_t*>(&display[std::size_t(top) * pitch / 4 + left]),
                   pitch, factor, screenRows);
        ASSERT_TRUE(display == expected);
    }
}

// A new window's scale: the largest at which the frame fits 90 % of the
// display across and down, at least 1; what fits at all: the largest whole
// factor, 0 when the frame does not fit.
TEST(Scaling, WindowsFitNinetyPercentOfTheDisplay)
{
    const struct { int width, height, window, fitting; } displays[] = {
        {1920, 1080, 4, 4}, {1366, 768, 2, 3}, {768, 576, 2, 2}, {712, 534, 2, 2}, {711, 600, 1, 2},
        {800, 533, 1, 2}, {3840, 2160, 8, 9}, {640, 1080, 1, 2}, {0, 0, 1, 0}, {319, 240, 1, 0}, {480, 320, 1, 1}};
    for (const auto& d : displays) {
        EXPECT_EQ(windowScale(d.width, d.height), d.window) << d.width << "x" << d.height;
        EXPECT_EQ(fittingScale(d.width, d.height), d.fitting) << d.width << "x" << d.height;
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
    Map screen(screenColumns * screenRows);
    startOffscreen(screen.data());
    composeFrame();
    EXPECT_EQ(frameChecksum(screen.data(), screen.size()), 0x226dee47d317c324ull);
    switchDetail(0);
    composeFrame();
    EXPECT_EQ(frameChecksum(screen.data(), screen.size()), 0xd0274416c20f852cull);
}

// The start-up view's rays as the straightforward pass casts them (column,
// row: row and column offsets), and the index rule: the column coordinate is
// not reduced on its own before the row is added.
TEST(StraightforwardPasses, CastTheStartUpRaysAndReadCellsAcrossTheSeams)
{
    Map screen(screenColumns * screenRows);
    startOffscreen(screen.data());
    auto reference = std::make_unique<ReferenceBuffers>();
    referenceBuildRays(*reference);
    const int rays[][4] = {{160, 1, 0, -238}, {160, 179, 0, -57}, {0, 1, 63, -239}, {319, 1, -63, -239},
                           {0, 179, 15, -57}};
    for (const auto& r : rays) {
        const int at = r[0] * tableRows + r[1];
        EXPECT_TRUE(reference->rayRow[at] == r[2] && reference->rayCol[at] == r[3]) << r[0] << " " << r[1];
    }
    // Column -5 of row 0 is cell 65531 (row 255, column 251); column 256 of
    // row 10 is column 0 of row 11.
    std::int32_t* const row = reference->rayRow + 7 * tableRows + 179;
    std::int32_t* const column = reference->rayCol + 7 * tableRows + 179;
    row[0] = -mapY, column[0] = -5 - mapX, row[tableRows] = 10 - mapY, column[tableRows] = 256 - mapX;
    referenceSampleTerrain(*reference);
    EXPECT_EQ(reference->sampleColor[179 * 320 + 160], ColorMap[43139]);   // 168 * 256 + 188 - 57
    EXPECT_EQ(reference->sampleHeight[179 * 320 + 160], (131673 * (255 - HeightMap[43139])) >> 16);
    EXPECT_EQ(reference->sampleColor[179 * 320 + 7], ColorMap[65531]);
    EXPECT_EQ(reference->sampleColor[179 * 320 + 8], ColorMap[11 * 256]);
}

// The skip leaves out a pair only if every cell under its box, found by the
// index rule, is deep enough to hide the pair: boxes of every size the rays
// make, many across the map's seams, over sea level with needles.
TEST(NearRows, SkipsAPairOnlyWhenEveryCellUnderItsBoxIsDeepEnough)
{
    std::mt19937 random(1207);
    const Terrain made = terrains()[1];
    Map screen(screenColumns * screenRows);
    startOffscreen(screen.data());
    useLandscape(made.heights.data(), made.colors.data());
    const int first = castStart[1];
    const int need = hidingDepth[1][first + 1];
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
        findFirstSamples(rayBoxes);
        if (firstSample[0] == first)
            continue;
        ++skipped;
        for (int y = box.rowMin; y <= box.rowMax; ++y)
            for (int x = box.colMin; x <= box.colMax; ++x)
                ASSERT_GE(heightTable[((mapY + y) * 256 + mapX + x) & 0xFFFF], need)
                    << "cell " << y << ", " << x << " from " << mapY << ", " << mapX << " (trial " << trial << ")";
    }
    EXPECT_GT(skipped, 1000);
    useLandscape(HeightMap, ColorMap);
}

}  // namespace
