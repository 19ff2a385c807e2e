// A program built with LANDSCAPE_TERRAIN renders from that landscape.
//
// The test draws a small landscape unlike the built-in one, saves it as the
// two PNG files, configures and builds a second copy of the core with
// -DLANDSCAPE_TERRAIN pointing at them, and asks that build's render_frame
// for its frames. It computes the same frames itself, independently of the
// import and of the generated source: the program's view tables (which do
// not depend on the terrain), the straightforward reference passes, and the
// landscape's arrays straight from memory. Pixel indices (checksum) and the
// colours shown (through the imported palette, with the bands blanked) must
// both agree.
#include "assets/landscape.h"
#include "landscape_import_support.h"
#include "reference_passes.h"
#include "render/camera.h"
#include "startup_tables.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#ifndef LANDSCAPE_SOURCE_DIR
#error "LANDSCAPE_SOURCE_DIR must name the repository"
#endif

namespace {

using namespace import_test;

constexpr int frameWidth = 320;
constexpr int frameHeight = 240;

std::uint64_t fnv1a(const std::vector<std::uint8_t>& bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (std::uint8_t b : bytes) {
        hash ^= b;
        hash *= 1099511628211ull;
    }
    return hash;
}

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
    for (int i = 0; i < mapCells; ++i)
        heightTable[i] = static_cast<std::uint16_t>(255 - heights[static_cast<std::size_t>(i)]);
    if (!view.high)
        selectLowDetail();
    const double step = forwardStep;
    for (int i = 0; i < view.forwardSteps; ++i)
        move(step);

    auto buffers = std::make_unique<ReferenceBuffers>();
    referenceBuildRays(*buffers);
    // The reference sampling pass reads the compiled-in ColorMap; this one
    // reads `colors`, and is otherwise the same.
    for (int r = rowCount; r >= 1; --r) {
        for (int c = 0; c < screenColumns; ++c) {
            const std::int32_t sum = (mapY + buffers->rayRow[c * tableRows + r]) * 256
                                     + (mapX + buffers->rayCol[c * tableRows + r]);
            const std::size_t cell = static_cast<std::size_t>(sum & 0xFFFF);
            buffers->sampleHeight[r * screenColumns + c] =
                static_cast<std::uint16_t>((rowScale[r] * heightTable[cell]) >> 16);
            buffers->sampleColor[r * screenColumns + c] = colors[cell];
        }
    }
    std::vector<std::uint8_t> frame(frameWidth * frameHeight);
    referenceComposeFrame(*buffers, frame.data(), frameWidth);
    return frame;
}

// A PNG's pixels as 8-bit RGB, or empty.
std::vector<std::uint8_t> readRgb(const fs::path& path, int* width, int* height)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        pixels.clear();
    png_image_free(&image);
    return pixels;
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
    const TestLandscape land = distinctiveLandscape();
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

    // What the program shows of each palette entry: the imported palette
    // (entries beyond color.png's 224 filled), the bands blanked to black.
    std::vector<Rgb> shown(256, Rgb{0, 0, 0});
    for (std::size_t i = 0; i < land.palette.size(); ++i)
        shown[i] = land.palette[i];
    shown[255] = {0, 0, 0};

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
        EXPECT_EQ(std::strtoull(checksum.out.c_str(), nullptr, 16), fnv1a(expected)) << checksum.out;

        const fs::path picture = temp.path() / "frame.png";
        arguments = view.arguments;
        arguments.insert(arguments.end(), {"--png", picture.string()});
        ASSERT_EQ(runLogged(renderFrame, arguments).status, 0);
        int width = 0;
        int height = 0;
        const std::vector<std::uint8_t> rgb = readRgb(picture, &width, &height);
        ASSERT_EQ(width, frameWidth);
        ASSERT_EQ(height, frameHeight);
        ASSERT_EQ(rgb.size(), expected.size() * 3);
        int wrong = 0;
        for (std::size_t p = 0; p < expected.size(); ++p)
            for (std::size_t k = 0; k < 3; ++k)
                wrong += rgb[p * 3 + k] != shown[expected[p]][k];
        EXPECT_EQ(wrong, 0) << "colour components that differ from the expected frame";
    }

    // The landscape is distinctive enough to tell: its start-up frame is not
    // that of the landscape compiled into this test, and the tower ahead, at
    // height 250, reaches the top of the view in some columns but not all.
    const std::vector<std::uint8_t> custom = referenceFrame(views[0], land.heights, land.colors);
    const std::vector<std::uint8_t> compiledIn = referenceFrame(
        views[0], std::vector<std::uint8_t>(HeightMap, HeightMap + mapCells),
        std::vector<std::uint8_t>(ColorMap, ColorMap + mapCells));
    EXPECT_NE(fnv1a(custom), fnv1a(compiledIn));
    int towerColumns = 0;
    for (int c = 0; c < frameWidth; ++c)
        towerColumns += custom[30 * frameWidth + c] != skyColor;
    EXPECT_GT(towerColumns, 0);
    EXPECT_LT(towerColumns, frameWidth);
}

} // namespace
