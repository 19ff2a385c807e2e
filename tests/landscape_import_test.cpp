// Checks of import_landscape and export_landscape, run as a user runs them:
// the compiled-in landscape survives export and import, every kind of bad
// input is refused with one line naming the file and the problem and leaves
// no file behind, and the palette roles of entries 223 (sky) and 255
// (letterbox bands) are filled and warned about as documented.
//
// The expected output is the shared source writer's text for the expected
// arrays; the writer's own format is pinned by the generator test, which
// regenerates the committed data byte for byte.
#include "assets/landscape.h"
#include "landscape_source.h"
#include "landscape_tools_support.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace tools_test;
using Strings = std::vector<std::string>;

// Heights and colours in which every cell differs from its mirror images and
// transposition, so that a flipped or rotated read shows up. The heights
// cover 0..255.
std::vector<std::uint8_t> rampHeights()
{
    std::vector<std::uint8_t> heights(65536);
    for (std::size_t i = 0; i < heights.size(); ++i)
        heights[i] = static_cast<std::uint8_t>((i / 256) * 3 + i % 256);
    return heights;
}

std::vector<std::uint8_t> stripeColors(int colors)
{
    std::vector<std::uint8_t> pixels(65536);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>((i / 256 + 2 * (i % 256)) % static_cast<std::size_t>(colors));
    return pixels;
}

// `entries` distinct colours, none of them black or either default role colour.
std::vector<Rgb> testPalette(int entries)
{
    std::vector<Rgb> palette;
    for (int i = 0; i < entries; ++i)
        palette.push_back({static_cast<std::uint8_t>(1 + i), static_cast<std::uint8_t>(200 - i / 2),
                           static_cast<std::uint8_t>(7 * i % 250 + 1)});
    return palette;
}

// A landscape directory, by default a valid one: 100 colours, a 100-entry palette.
void writePair(const fs::path& dir, const std::vector<std::uint8_t>& pixels = stripeColors(100),
               const std::vector<Rgb>& palette = testPalette(100), bool interlaced = false)
{
    RawPng heights = greyPng(rampHeights());
    RawPng colors = indexedPng(pixels, palette);
    heights.interlaced = colors.interlaced = interlaced;
    writeRawPng(dir / "height.png", heights);
    writeRawPng(dir / "color.png", colors);
}

// A generated source from its #include line on: the arrays, without the
// header comment, which names the tool's input.
std::string body(const std::string& source)
{
    const std::size_t at = source.find("#include");
    return at == std::string::npos ? std::string() : source.substr(at);
}

std::string bodyFor(const landscape_tools::LandscapeArrays& arrays)
{
    return body(landscape_tools::formatLandscapeSource(arrays, ""));
}

// The body the import must write from rampHeights() and a color.png of
// `colors` defining the entries `defined`: the rest of the palette filled.
std::string expectedBody(const std::vector<std::uint8_t>& colors, const std::vector<Rgb>& defined)
{
    std::uint8_t palette[256][3];
    for (std::size_t i = 0; i < 256; ++i) {
        const Rgb entry = i < defined.size() ? defined[i]
                          : i == 223         ? Rgb{51, 160, 204}
                          : i == 255         ? Rgb{81, 131, 146}
                                             : Rgb{0, 0, 0};
        std::copy(entry.begin(), entry.end(), palette[i]);
    }
    return bodyFor({rampHeights().data(), colors.data(), palette});
}

// The import tool's run on `dir`, writing `dir`/out/landscape_data.cpp.
struct Import {
    RunResult result;
    fs::path output;
    std::string body;
};

Import importFrom(const fs::path& dir)
{
    Import import;
    fs::create_directories(dir / "out");
    import.output = dir / "out" / "landscape_data.cpp";
    import.result = run(IMPORT_LANDSCAPE_PATH, {dir.string(), import.output.string()});
    import.body = body(readFile(import.output));
    return import;
}

void expectOneLineStartingWith(const std::string& err, const std::string& start)
{
    const Strings lines = linesOf(err);
    ASSERT_EQ(lines.size(), 1u) << err;
    EXPECT_EQ(err.back(), '\n');
    EXPECT_EQ(lines[0].rfind(start, 0), 0u) << "got: " << lines[0];
}

// ---------------------------------------------------------------------------
// Export, and importing the export.

TEST(LandscapeExport, ImportingTheExportGivesTheCompiledLandscapeBack)
{
    TempDir temp;
    const fs::path dir = temp.path() / "new" / "terrain";   // created by the tool
    const RunResult exported = run(EXPORT_LANDSCAPE_PATH, {dir.string()});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(directoryEntries(dir), (Strings{"color.png", "height.png"}));

    const Import import = importFrom(dir);
    ASSERT_EQ(import.result.status, 0) << import.result.err;
    EXPECT_EQ(import.result.err, "");
    // Entry 255 included: the stored band colour, not the black shown.
    EXPECT_TRUE(import.body == bodyFor({HeightMap, ColorMap, TerrainPalette}));
    EXPECT_EQ(directoryEntries(import.output.parent_path()), Strings{"landscape_data.cpp"});
}

TEST(LandscapeExport, ReplacesExistingFilesOnlyWhenForced)
{
    TempDir temp;
    const fs::path height = temp.path() / "height.png";
    writeFile(height, "mine");
    const RunResult refused = run(EXPORT_LANDSCAPE_PATH, {temp.path().string()});
    EXPECT_EQ(refused.status, 1);
    expectOneLineStartingWith(refused.err, height.string() + ": already exists");
    // Naming the make target's way to force, too.
    EXPECT_NE(refused.err.find("or FORCE=1 to make export-landscape"), std::string::npos) << refused.err;
    EXPECT_EQ(readFile(height), "mine");
    EXPECT_EQ(directoryEntries(temp.path()), Strings{"height.png"});

    const RunResult forced = run(EXPORT_LANDSCAPE_PATH, {"--force", temp.path().string()});
    ASSERT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(directoryEntries(temp.path()), (Strings{"color.png", "height.png"}));
    EXPECT_TRUE(readPixels(height, PNG_FORMAT_GRAY) == std::vector<std::uint8_t>(HeightMap, HeightMap + mapCells));
}

TEST(LandscapeTools, WrongUsageExitsWithStatusTwo)
{
    const std::pair<fs::path, Strings> calls[] = {
        {IMPORT_LANDSCAPE_PATH, {}}, {IMPORT_LANDSCAPE_PATH, {"only-one"}},
        {IMPORT_LANDSCAPE_PATH, {"a", "b", "c"}}, {EXPORT_LANDSCAPE_PATH, {}}};
    for (const auto& [tool, arguments] : calls) {
        const RunResult result = run(tool.string(), arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err.rfind("usage: " + tool.filename().string(), 0), 0u) << result.err;
    }
}

// ---------------------------------------------------------------------------
// Reading the two files.

TEST(LandscapeImport, KeepsEveryCellWhereItIsInPlainAndInterlacedFiles)
{
    for (bool interlaced : {false, true}) {
        SCOPED_TRACE(interlaced ? "interlaced" : "plain");
        TempDir temp;
        writePair(temp.path(), stripeColors(100), testPalette(100), interlaced);
        const Import import = importFrom(temp.path());
        ASSERT_EQ(import.result.status, 0) << import.result.err;
        EXPECT_EQ(import.result.err, "");
        // Row r of the image is map row r: index r * 256 + column.
        EXPECT_TRUE(import.body == expectedBody(stripeColors(100), testPalette(100)));
    }
}

// ---------------------------------------------------------------------------
// Bad input: one line on standard error, starting with the file's path and
// saying what is wrong; exit status 1; an earlier output left alone.

struct BadInput {
    const char* name;
    const char* file;                           // the file spoilt, which the message must name
    std::function<void(const fs::path&)> spoil; // given that file's path in a valid pair
    std::string problem;                        // the message after "<path>: "
};

void PrintTo(const BadInput& bad, std::ostream* out) { *out << bad.name; }

// An image with every sample 1, and a full palette when indexed.
RawPng sized(int colorType, int bitDepth, int width = 256, int height = 256)
{
    RawPng png;
    png.colorType = colorType;
    png.bitDepth = bitDepth;
    png.width = width;
    png.height = height;
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png.palette = testPalette(bitDepth < 8 ? 1 << bitDepth : 256);
    return png;
}

std::vector<BadInput> badInputs()
{
    auto put = [](const RawPng& png) { return [png](const fs::path& file) { writeRawPng(file, png); }; };
    auto text = [](const std::string& bytes) { return [bytes](const fs::path& file) { writeFile(file, bytes); }; };
    auto missing = [](const fs::path& file) { fs::remove(file); };
    // Read as a file, a FIFO with no writer blocks for good (ctest's timeout
    // guards against that hang).
    auto fifo = [](const fs::path& file) {
        fs::remove(file);
        mkfifo(file.c_str(), 0600);
    };
    auto truncated = [](const fs::path& file) { writeFile(file, readFile(file).substr(0, fs::file_size(file) / 2)); };
    const char* const h = "height.png";
    const char* const c = "color.png";
    constexpr int grey = PNG_COLOR_TYPE_GRAY;
    constexpr int indexed = PNG_COLOR_TYPE_PALETTE;
    const std::string mustBeIndexed = "must be 8-bit indexed (palette)";
    return {
        {"HeightMissing", h, missing, "file not found"},
        {"ColorMissing", c, missing, "file not found"},
        {"HeightFifo", h, fifo, "not a regular file"},
        {"HeightNotAPng", h, text("P5\n256 256\n255\n" + std::string(65536, 'x')), "not a PNG file"},
        {"ColorEmpty", c, text(""), "not a PNG file"},
        {"HeightTruncated", h, truncated, "damaged or truncated PNG file"},
        {"HeightTooNarrow", h, put(sized(grey, 8, 255)), "image is 255 x 256 pixels, must be 256 x 256"},
        {"ColorTooShort", c, put(sized(indexed, 8, 256, 128)), "image is 256 x 128 pixels, must be 256 x 256"},
        {"HeightSixteenBit", h, put(sized(grey, 16)), "image is 16-bit greyscale, must be 8-bit greyscale"},
        {"HeightFourBit", h, put(sized(grey, 4)), "image is 4-bit greyscale, must be 8-bit greyscale"},
        {"HeightRgb", h, put(sized(PNG_COLOR_TYPE_RGB, 8)), "image is 8-bit RGB, must be 8-bit greyscale"},
        {"HeightGreyWithAlpha", h, put(sized(PNG_COLOR_TYPE_GRAY_ALPHA, 8)),
         "image is 8-bit greyscale with alpha, must be 8-bit greyscale"},
        {"HeightIndexed", h, put(sized(indexed, 8)), "image is 8-bit indexed, must be 8-bit greyscale"},
        {"ColorGreyscale", c, put(sized(grey, 8)), "not an indexed image (it is 8-bit greyscale), " + mustBeIndexed},
        {"ColorRgbWithAlpha", c, put(sized(PNG_COLOR_TYPE_RGB_ALPHA, 8)),
         "not an indexed image (it is 8-bit RGB with alpha), " + mustBeIndexed},
        {"ColorFourBitIndexed", c, put(sized(indexed, 4)), "image is 4-bit indexed, " + mustBeIndexed},
        // One entry short: the highest index is 133.
        {"ColorPaletteTooShort", c, put(indexedPng(stripeColors(134), testPalette(133))),
         "palette too short: it has 133 entries but pixels use index 133"},
    };
}

class LandscapeImportRejects : public testing::TestWithParam<BadInput> {};

TEST_P(LandscapeImportRejects, WithOneLineNamingTheFileAndNoOutput)
{
    const BadInput& bad = GetParam();
    TempDir temp;
    writePair(temp.path());
    bad.spoil(temp.path() / bad.file);
    fs::create_directories(temp.path() / "out");
    writeFile(temp.path() / "out" / "landscape_data.cpp", "// earlier output\n");

    const Import import = importFrom(temp.path());
    EXPECT_EQ(import.result.status, 1);
    expectOneLineStartingWith(import.result.err, (temp.path() / bad.file).string() + ": " + bad.problem);
    // Neither a new output nor a temporary file.
    EXPECT_EQ(readFile(import.output), "// earlier output\n");
    EXPECT_EQ(directoryEntries(temp.path() / "out"), Strings{"landscape_data.cpp"});
}

INSTANTIATE_TEST_SUITE_P(EachKind, LandscapeImportRejects, testing::ValuesIn(badInputs()),
                         [](const testing::TestParamInfo<BadInput>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Palette roles.

TEST(LandscapeImportPalette, FillsOnlyTheEntriesColorPngLeavesOut)
{
    // Short (sky and bands filled); defining its own sky; defining everything.
    std::vector<Rgb> withSky = testPalette(224);
    std::vector<Rgb> full = testPalette(256);
    withSky[223] = {250, 120, 40};
    full[255] = {9, 8, 7};
    for (const std::vector<Rgb>& palette : {testPalette(40), withSky, full}) {
        SCOPED_TRACE(std::to_string(palette.size()) + " entries");
        TempDir temp;
        // The highest index used is the last entry defined.
        writePair(temp.path(), stripeColors(40), palette);
        const Import import = importFrom(temp.path());
        ASSERT_EQ(import.result.status, 0) << import.result.err;
        EXPECT_EQ(import.result.err, "");
        EXPECT_TRUE(import.body == expectedBody(stripeColors(40), palette));
    }
}

TEST(LandscapeImportPalette, WarnsOnceForEachRoleTheGroundUses)
{
    struct Case {
        int skyCells;
        int bandCells;
        Strings warnings;   // each after "<color.png's path>: warning: "
    };
    const Case cases[] = {
        {5, 0, {"5 cells use palette index 223, the sky colour"}},
        {0, 1, {"1 cell uses palette index 255, the letterbox colour"}},
        {1, 2, {"1 cell uses palette index 223", "2 cells use palette index 255"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.warnings[0]);
        TempDir temp;
        std::vector<std::uint8_t> pixels = stripeColors(100);
        for (int k = 0; k < c.skyCells; ++k)
            pixels[static_cast<std::size_t>(65535 - 7 * k)] = 223;
        for (int k = 0; k < c.bandCells; ++k)
            pixels[static_cast<std::size_t>(7 * k)] = 255;
        writePair(temp.path(), pixels, testPalette(256));
        const Import import = importFrom(temp.path());
        ASSERT_EQ(import.result.status, 0);
        const Strings lines = linesOf(import.result.err);
        ASSERT_EQ(lines.size(), c.warnings.size()) << import.result.err;
        for (std::size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(lines[i].rfind((temp.path() / "color.png").string() + ": warning: " + c.warnings[i], 0), 0u)
                << lines[i];
        // The data goes in as drawn.
        EXPECT_TRUE(import.body == expectedBody(pixels, testPalette(256)));
    }
}

} // namespace
