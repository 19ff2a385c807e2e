// Checks of the landscape generator and the source writer it shares with the
// other landscape tools: regenerating gives the committed data byte for byte,
// the previews show that data, and the writer never leaves a temporary or
// partial file behind.
#include "assets/landscape.h"
#include "landscape_source.h"
#include "landscape_tools_support.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace tools_test;
using Strings = std::vector<std::string>;

TEST(LandscapeGenerator, RegeneratesTheCommittedDataAndItsPreviews)
{
    TempDir temp;
    const fs::path output = temp.path() / "landscape_data.cpp";
    const RunResult generated = run(MAKE_LANDSCAPE_PATH, {output.string(), temp.path().string()});
    ASSERT_EQ(generated.status, 0) << generated.err;
    EXPECT_EQ(directoryEntries(temp.path()), (Strings{"colormap.png", "heightmap.png", "landscape_data.cpp"}));
    const std::string committed = readFile(LANDSCAPE_DATA_SOURCE);
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(readFile(output) == committed)
        << "assets/landscape_data.cpp differs from the generator's output; "
           "rebuild it with the landscape_data target";

#ifndef LANDSCAPE_CUSTOM_TERRAIN
    // The previews, against the compiled-in copy of the committed data.
    const std::vector<std::uint8_t> grey = readPixels(temp.path() / "heightmap.png", PNG_FORMAT_GRAY);
    const std::vector<std::uint8_t> rgb = readPixels(temp.path() / "colormap.png", PNG_FORMAT_RGB);
    ASSERT_EQ(grey.size(), static_cast<std::size_t>(mapCells));
    ASSERT_EQ(rgb.size(), 3u * mapCells);
    int mismatches = 0;
    for (std::size_t i = 0; i < grey.size(); ++i) {
        // Brightness is the height scaled from 0..118 to 0..255.
        mismatches += grey[i] != std::lround(HeightMap[i] * 255.0 / 118.0);
        for (std::size_t c = 0; c < 3; ++c)
            mismatches += rgb[3 * i + c] != TerrainPalette[ColorMap[i]][c];
    }
    EXPECT_EQ(mismatches, 0);
#endif
}

TEST(LandscapeGenerator, RejectsWrongUsageAndUnwritableOutput)
{
    EXPECT_EQ(run(MAKE_LANDSCAPE_PATH, {}).status, 2);
    EXPECT_EQ(run(MAKE_LANDSCAPE_PATH, {"a.cpp", "previews", "extra"}).status, 2);
    TempDir temp;
    EXPECT_EQ(run(MAKE_LANDSCAPE_PATH, {(temp.path() / "no" / "dir" / "data.cpp").string()}).status, 1);
    EXPECT_TRUE(directoryEntries(temp.path()).empty());
}

// ---------------------------------------------------------------------------
// The source writer, given the compiled-in arrays.

const landscape_tools::LandscapeArrays data{HeightMap, ColorMap, TerrainPalette};

TEST(LandscapeSourceWriter, ReplacesTheDestinationWithoutLeavingTheTemporary)
{
    TempDir temp;
    const fs::path output = temp.path() / "out.cpp";
    writeFile(output, "old contents\n");
    std::string error;
    ASSERT_TRUE(landscape_tools::writeLandscapeSource(output.string(), data, "note", &error)) << error;
    EXPECT_EQ(readFile(output), landscape_tools::formatLandscapeSource(data, "note"));
    EXPECT_EQ(directoryEntries(temp.path()), Strings{"out.cpp"});
}

// Every file and directory below `dir`, with the start of each file.
std::set<std::string> snapshot(const fs::path& dir)
{
    std::set<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        entries.insert(fs::relative(entry.path(), dir).string() + ": "
                       + (entry.is_directory() ? "directory" : readFile(entry.path()).substr(0, 40) + "..."));
    return entries;
}

TEST(LandscapeSourceWriter, FailsWithoutTouchingTheDestinationOrLeavingATemporary)
{
    struct Case {
        const char* name;
        const char* output;                          // relative to the directory
        std::function<void(const fs::path&)> setUp;  // what is there before
    };
    const Case cases[] = {
        {"the directory does not exist", "missing/out.cpp", [](const fs::path&) {}},
        // Creating the temporary fails for every user, root included.
        {"a directory has the temporary's name", "out.cpp",
         [](const fs::path& dir) {
             writeFile(dir / "out.cpp", "old contents\n");
             fs::create_directory(dir / "out.cpp.tmp");
         }},
        // The temporary is written in full, but the rename fails.
        {"the destination is a non-empty directory", "out.cpp",
         [](const fs::path& dir) {
             fs::create_directory(dir / "out.cpp");
             writeFile(dir / "out.cpp" / "keep", "kept\n");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir temp;
        c.setUp(temp.path());
        const std::set<std::string> before = snapshot(temp.path());
        std::string error;
        EXPECT_FALSE(landscape_tools::writeLandscapeSource((temp.path() / c.output).string(), data, "note", &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(snapshot(temp.path()), before);
    }
}

} // namespace
