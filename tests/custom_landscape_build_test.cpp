// A program built with LANDSCAPE_TERRAIN renders from that landscape: a
// second copy of the core, configured with a landscape unlike the built-in
// one, draws the frames that the reference passes compute from that
// landscape's arrays in memory (independently of the import and the
// generated source). Pixel indices (checksum) and the colours shown (through
// the imported palette, bands blanked) must both agree.
#include "assets/landscape.h"
#include "landscape_tools_support.h"
#include "reference_passes.h"
#include "render/camera.h"
#include "startup_tables.h"
#include "tools/frame_checksum.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

std::uint64_t checksumOf(const std::vector<std::uint8_t>& frame)
{
    return frameChecksum(frame.data(), frame.size());
}

using namespace tools_test;

constexpr int frameWidth = 320;
constexpr int frameHeight = 240;

// Rolling hills of heights 10..130 and a tower of height 250 straight ahead
// of the start-up camera, in a checkerboard of 40 colours, with a palette of
// 224 entries whose entry 223 makes a sunset sky.
struct TestLandscape {
    std::vector<std::uint8_t> heights = std::vector<std::uint8_t>(mapCells);
    std::vector<std::uint8_t> colors = std::vector<std::uint8_t>(mapCells);
    std::vector<Rgb> palette;

    TestLandscape()
    {
        constexpr double pi = 3.14159265358979323846;
        for (std::size_t cell = 0; cell < heights.size(); ++cell) {
            const int row = static_cast<int>(cell / 256);
            const int column = static_cast<int>(cell % 256);
            const double hills = std::sin(2.0 * pi * column / 64.0) * std::cos(2.0 * pi * row / 32.0);
            // The start-up camera stands at column 188, row 168 and looks
            // toward column 0; the tower stands 70 to 78 cells ahead.
            const bool tower = row >= 166 && row <= 170 && column >= 110 && column <= 118;
            heights[cell] = static_cast<std::uint8_t>(tower ? 250 : std::lround(70.0 + 60.0 * hills));
            colors[cell] = static_cast<std::uint8_t>((row / 8 + column / 8) % 40);
        }
        for (int i = 0; i < 224; ++i)
            palette.push_back({static_cast<std::uint8_t>(i * 6), static_cast<std::uint8_t>(255 - i * 6),
                               static_cast<std::uint8_t>((i * 37) % 256)});
        palette[223] = {250, 140, 60};
    }
};

struct View {
    const char* name;
    std::vector<std::string> arguments;   // render_frame's, besides the output
    bool high;
    int forwardSteps;
};

// The frame of `view` over `heights` and `colors`, by the reference passes.
std::vector<std::uint8_t> referenceFrame(const View& view, const std::vector<std::uint8_t>& heights,
                                         const std::vector<std::uint8_t>& colors)
{
    buildStartUpTables();
    if (!view.high)
        selectLowDetail();
    const double step = forwardStep;
    for (int i = 0; i < view.forwardSteps; ++i)
        move(step);

    auto buffers = std::make_unique<ReferenceBuffers>();
    referenceBuildRays(*buffers);
    referenceSampleTerrain(*buffers, heights.data(), colors.data());
    std::vector<std::uint8_t> frame(frameWidth * frameHeight);
    referenceComposeFrame(*buffers, frame.data(), frameWidth);
    return frame;
}

RunResult runLogged(const std::string& program, const std::vector<std::string>& arguments)
{
    RunResult result = run(program, arguments);
    if (result.status != 0)
        ADD_FAILURE() << program << " failed with status " << result.status << ":\n"
                      << result.out << result.err;
    return result;
}

TEST(CustomLandscapeBuild, RendersItsFramesFromThatLandscape)
{
    TempDir temp;
    const fs::path terrain = temp.path() / "terrain";
    const fs::path build = temp.path() / "build";
    fs::create_directories(terrain);
    const TestLandscape land;
    writeRawPng(terrain / "height.png", greyPng(land.heights));
    writeRawPng(terrain / "color.png", indexedPng(land.colors, land.palette));

    // A core-only build: the core, the host tools and render_frame.
    std::vector<std::string> configure = {
        "-S", LANDSCAPE_SOURCE_DIR, "-B", build.string(), "-G", LANDSCAPE_CMAKE_GENERATOR,
        "-DCMAKE_CXX_COMPILER=" LANDSCAPE_CXX_COMPILER, "-DCMAKE_BUILD_TYPE=Release",
        "-DLANDSCAPE_CORE_ONLY=ON", "-DLANDSCAPE_TESTS=OFF",
        "-DLANDSCAPE_TERRAIN=" + terrain.string()};
    if (std::strlen(LANDSCAPE_MAKE_PROGRAM) > 0)
        configure.push_back("-DCMAKE_MAKE_PROGRAM=" LANDSCAPE_MAKE_PROGRAM);
    ASSERT_EQ(runLogged(LANDSCAPE_CMAKE_COMMAND, configure).status, 0);
    ASSERT_EQ(runLogged(LANDSCAPE_CMAKE_COMMAND,
                        {"--build", build.string(), "--target", "render_frame", "-j", "2"}).status, 0);
    // The landscape went through the importer into the generated source.
    ASSERT_TRUE(fs::exists(build / "generated" / "landscape_data.cpp"));
    const std::string renderFrame = (build / "tools" / "render_frame").string();

    // What the program shows of each palette entry: color.png's 224 entries,
    // then black (the import fills 224..254 with black, and 255, the bands,
    // is blanked at start-up).
    std::vector<Rgb> shown(256, Rgb{0, 0, 0});
    std::copy(land.palette.begin(), land.palette.end(), shown.begin());

    const View views[] = {
        {"start-up frame", {}, true, 0},
        {"start-up frame in low detail", {"--low"}, false, 0},
        {"after 150 steps forward", {"--forward", "150"}, true, 150},
    };
    for (const View& view : views) {
        SCOPED_TRACE(view.name);
        const std::vector<std::uint8_t> expected = referenceFrame(view, land.heights, land.colors);

        std::vector<std::string> arguments = view.arguments;
        arguments.push_back("--checksum");
        const RunResult checksum = runLogged(renderFrame, arguments);
        EXPECT_EQ(std::strtoull(checksum.out.c_str(), nullptr, 16), checksumOf(expected)) << checksum.out;

        const fs::path picture = temp.path() / "frame.png";
        arguments = view.arguments;
        arguments.insert(arguments.end(), {"--png", picture.string()});
        ASSERT_EQ(runLogged(renderFrame, arguments).status, 0);
        const std::vector<std::uint8_t> rgb = readPixels(picture, PNG_FORMAT_RGB, frameWidth, frameHeight);
        ASSERT_EQ(rgb.size(), expected.size() * 3);
        int wrong = 0;
        for (std::size_t p = 0; p < expected.size(); ++p)
            for (std::size_t k = 0; k < 3; ++k)
                wrong += rgb[p * 3 + k] != shown[expected[p]][k];
        EXPECT_EQ(wrong, 0) << "colour components that differ from the expected frame";
    }

    // The landscape is distinctive enough to tell: its start-up frame is not
    // that of the landscape compiled into this test.
    EXPECT_NE(checksumOf(referenceFrame(views[0], land.heights, land.colors)),
              checksumOf(referenceFrame(views[0], std::vector<std::uint8_t>(HeightMap, HeightMap + mapCells),
                                   std::vector<std::uint8_t>(ColorMap, ColorMap + mapCells))));
}

} // namespace
