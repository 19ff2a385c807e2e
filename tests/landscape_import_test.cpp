// Checks of import_landscape and export_landscape, run as a user runs them:
// the compiled-in landscape survives export and import byte for byte, every
// kind of bad input is refused with one line naming the file and the
// problem and leaves no file behind, and the palette roles of entries 223
// (sky) and 255 (letterbox bands) are filled and warned about as documented.
#include "assets/landscape.h"
#include "landscape_import_support.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#ifndef IMPORT_LANDSCAPE_PATH
#error "IMPORT_LANDSCAPE_PATH must name the built import_landscape tool"
#endif
#ifndef EXPORT_LANDSCAPE_PATH
#error "EXPORT_LANDSCAPE_PATH must name the built export_landscape tool"
#endif
#ifndef LANDSCAPE_DATA_SOURCE
#error "LANDSCAPE_DATA_SOURCE must name the committed assets/landscape_data.cpp"
#endif

namespace {

using namespace import_test;

// ---------------------------------------------------------------------------
// Fixtures.

// Heights and colours in which every cell differs from its mirror images and
// transposition, so that a flipped or rotated read shows up.
std::vector<std::uint8_t> rampHeights()
{
    std::vector<std::uint8_t> heights(65536);
    for (int row = 0; row < 256; ++row)
        for (int column = 0; column < 256; ++column)
            heights[static_cast<std::size_t>(row * 256 + column)] = static_cast<std::uint8_t>(row * 3 + column);
    return heights;
}

std::vector<std::uint8_t> stripeColors(int colors)
{
    std::vector<std::uint8_t> pixels(65536);
    for (int row = 0; row < 256; ++row)
        for (int column = 0; column < 256; ++column)
            pixels[static_cast<std::size_t>(row * 256 + column)] =
                static_cast<std::uint8_t>((row + 2 * column) % colors);
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

// A valid landscape directory: 100 colours, a 100-entry palette.
void writeValidPair(const fs::path& dir)
{
    writeRawPng(dir / "height.png", greyPng(rampHeights()));
    writeRawPng(dir / "color.png", indexedPng(stripeColors(100), testPalette(100)));
}

// The import tool's run on `dir`, writing `dir`/out/landscape_data.cpp.
struct Import {
    RunResult result;
    fs::path output;
    ParsedLandscape data;
};

Import importFrom(const fs::path& dir)
{
    Import import;
    fs::create_directories(dir / "out");
    import.output = dir / "out" / "landscape_data.cpp";
    import.result = run(IMPORT_LANDSCAPE_PATH, {dir.string(), import.output.string()});
    if (fs::exists(import.output))
        import.data = parseLandscapeSource(readFile(import.output));
    return import;
}

std::vector<int> asInts(const std::uint8_t* values, std::size_t count)
{
    return std::vector<int>(values, values + count);
}

std::vector<int> asInts(const std::vector<std::uint8_t>& values)
{
    return asInts(values.data(), values.size());
}

std::vector<int> compiledPalette()
{
    return asInts(&TerrainPalette[0][0], 768);
}

#ifndef LANDSCAPE_CUSTOM_TERRAIN
// The text of a generated source from its #include line on: everything but
// the header comment, which names the tool and its input.
std::string body(const std::string& source)
{
    const std::size_t at = source.find("#include");
    return at == std::string::npos ? std::string() : source.substr(at);
}
#endif

// ---------------------------------------------------------------------------
// Export, and importing the export.

TEST(LandscapeExport, WritesTheCompiledLandscapeAsGreyAndIndexedPngs)
{
    TempDir temp;
    const fs::path dir = temp.path() / "new" / "terrain";   // created by the tool
    const RunResult exported = run(EXPORT_LANDSCAPE_PATH, {dir.string()});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(directoryEntries(dir), (std::vector<std::string>{"color.png", "height.png"}));

    const StoredPng height = readStoredPng(dir / "height.png");
    ASSERT_TRUE(height.ok);
    EXPECT_EQ(height.width, 256);
    EXPECT_EQ(height.height, 256);
    EXPECT_EQ(height.colorType, PNG_COLOR_TYPE_GRAY);
    EXPECT_TRUE(height.pixels == std::vector<std::uint8_t>(HeightMap, HeightMap + mapCells));

    const StoredPng color = readStoredPng(dir / "color.png");
    ASSERT_TRUE(color.ok);
    EXPECT_EQ(color.width, 256);
    EXPECT_EQ(color.height, 256);
    EXPECT_EQ(color.colorType, PNG_COLOR_TYPE_PALETTE);
    EXPECT_TRUE(color.pixels == std::vector<std::uint8_t>(ColorMap, ColorMap + mapCells));
    ASSERT_EQ(color.palette.size(), 256u);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(color.palette[static_cast<std::size_t>(i)],
                  (Rgb{TerrainPalette[i][0], TerrainPalette[i][1], TerrainPalette[i][2]}))
            << "palette entry " << i;
#ifndef LANDSCAPE_CUSTOM_TERRAIN
    // The stored letterbox colour, not the black the program shows.
    EXPECT_EQ(color.palette[255], (Rgb{81, 131, 146}));
#endif
}

TEST(LandscapeExport, ImportingTheExportGivesTheCompiledArraysBack)
{
    TempDir temp;
    ASSERT_EQ(run(EXPORT_LANDSCAPE_PATH, {temp.path().string()}).status, 0);
    const Import import = importFrom(temp.path());
    ASSERT_EQ(import.result.status, 0) << import.result.err;
    EXPECT_EQ(import.result.err, "");

    EXPECT_TRUE(import.data.heights == asInts(HeightMap, mapCells));
    EXPECT_TRUE(import.data.colors == asInts(ColorMap, mapCells));
    EXPECT_TRUE(import.data.palette == compiledPalette());
#ifndef LANDSCAPE_CUSTOM_TERRAIN
    // Everything below the header comment is the committed file's text.
    const std::string committed = readFile(LANDSCAPE_DATA_SOURCE);
    ASSERT_FALSE(body(committed).empty());
    EXPECT_TRUE(body(readFile(import.output)) == body(committed));
#endif
    // Nothing else is left in the output directory.
    EXPECT_EQ(directoryEntries(import.output.parent_path()),
              std::vector<std::string>{"landscape_data.cpp"});
}

TEST(LandscapeExport, ReplacesExistingFilesOnlyWhenForced)
{
    TempDir temp;
    writeFile(temp.path() / "height.png", "mine");
    const RunResult refused = run(EXPORT_LANDSCAPE_PATH, {temp.path().string()});
    EXPECT_EQ(refused.status, 1);
    ASSERT_EQ(linesOf(refused.err).size(), 1u) << refused.err;
    EXPECT_EQ(linesOf(refused.err)[0].rfind((temp.path() / "height.png").string() + ": already exists", 0), 0u)
        << refused.err;
    EXPECT_EQ(readFile(temp.path() / "height.png"), "mine");
    EXPECT_EQ(directoryEntries(temp.path()), std::vector<std::string>{"height.png"});

    const RunResult forced = run(EXPORT_LANDSCAPE_PATH, {"--force", temp.path().string()});
    ASSERT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(directoryEntries(temp.path()), (std::vector<std::string>{"color.png", "height.png"}));
    EXPECT_TRUE(readStoredPng(temp.path() / "height.png").pixels
                == std::vector<std::uint8_t>(HeightMap, HeightMap + mapCells));
}

TEST(LandscapeTools, WrongUsageExitsWithStatusTwo)
{
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, std::vector<std::string>{"only-one"},
          std::vector<std::string>{"a", "b", "c"}}) {
        const RunResult result = run(IMPORT_LANDSCAPE_PATH, arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err.rfind("usage: import_landscape", 0), 0u) << result.err;
    }
    const RunResult exported = run(EXPORT_LANDSCAPE_PATH, {});
    EXPECT_EQ(exported.status, 2);
    EXPECT_EQ(exported.err.rfind("usage: export_landscape", 0), 0u) << exported.err;
}

// ---------------------------------------------------------------------------
// Reading the two files.

TEST(LandscapeImport, KeepsEveryCellWhereItIsAndTheFullHeightRange)
{
    TempDir temp;
    writeValidPair(temp.path());
    const Import import = importFrom(temp.path());
    ASSERT_EQ(import.result.status, 0) << import.result.err;
    EXPECT_EQ(import.result.err, "");
    // Row r of the image is map row r: index r * 256 + column.
    EXPECT_TRUE(import.data.heights == asInts(rampHeights()));
    EXPECT_TRUE(import.data.colors == asInts(stripeColors(100)));
    // Heights far above the built-in landscape's 118 pass unchanged.
    EXPECT_EQ(import.data.heights[255 * 256 + 255], (255 * 3 + 255) % 256);
    EXPECT_EQ(*std::max_element(import.data.heights.begin(), import.data.heights.end()), 255);
    EXPECT_EQ(*std::min_element(import.data.heights.begin(), import.data.heights.end()), 0);
    EXPECT_EQ(directoryEntries(import.output.parent_path()),
              std::vector<std::string>{"landscape_data.cpp"});
}

TEST(LandscapeImport, ReadsInterlacedFilesLikePlainOnes)
{
    TempDir temp;
    RawPng heights = greyPng(rampHeights());
    RawPng colors = indexedPng(stripeColors(100), testPalette(100));
    heights.interlaced = true;
    colors.interlaced = true;
    writeRawPng(temp.path() / "height.png", heights);
    writeRawPng(temp.path() / "color.png", colors);
    const Import import = importFrom(temp.path());
    ASSERT_EQ(import.result.status, 0) << import.result.err;
    EXPECT_TRUE(import.data.heights == asInts(rampHeights()));
    EXPECT_TRUE(import.data.colors == asInts(stripeColors(100)));
}

// ---------------------------------------------------------------------------
// Bad input: one line on standard error, starting with the file's path and
// saying what is wrong; exit status 1; nothing written.

struct BadInput {
    const char* name;
    const char* file;                           // the file the message must name
    std::function<void(const fs::path&)> spoil; // breaks a valid pair in the directory
    std::string problem;                        // the message after "<path>: "
};

RawPng sized(int width, int height, int colorType, int bitDepth, int channels)
{
    RawPng png;
    png.width = width;
    png.height = height;
    png.colorType = colorType;
    png.bitDepth = bitDepth;
    png.samples.assign(static_cast<std::size_t>((width * channels * bitDepth + 7) / 8 * height), 1);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png.palette = testPalette(bitDepth < 8 ? 1 << bitDepth : 256);
    return png;
}

std::vector<BadInput> badInputs()
{
    auto put = [](const char* file, const RawPng& png) {
        return [file, png](const fs::path& dir) { writeRawPng(dir / file, png); };
    };
    return {
        {"HeightMissing", "height.png", [](const fs::path& dir) { fs::remove(dir / "height.png"); },
         "file not found"},
        {"ColorMissing", "color.png", [](const fs::path& dir) { fs::remove(dir / "color.png"); },
         "file not found"},
        {"HeightNotAPng", "height.png",
         [](const fs::path& dir) { writeFile(dir / "height.png", "P5\n256 256\n255\n" + std::string(65536, 'x')); },
         "not a PNG file"},
        {"ColorEmpty", "color.png", [](const fs::path& dir) { writeFile(dir / "color.png", ""); },
         "not a PNG file"},
        {"HeightTruncated", "height.png",
         [](const fs::path& dir) {
             const std::string whole = readFile(dir / "height.png");
             writeFile(dir / "height.png", whole.substr(0, whole.size() / 2));
         },
         "damaged or truncated PNG file"},
        {"HeightTooNarrow", "height.png", put("height.png", sized(255, 256, PNG_COLOR_TYPE_GRAY, 8, 1)),
         "image is 255 x 256 pixels, must be 256 x 256"},
        {"ColorTooShort", "color.png", put("color.png", sized(256, 128, PNG_COLOR_TYPE_PALETTE, 8, 1)),
         "image is 256 x 128 pixels, must be 256 x 256"},
        {"HeightSixteenBit", "height.png", put("height.png", sized(256, 256, PNG_COLOR_TYPE_GRAY, 16, 1)),
         "image is 16-bit greyscale, must be 8-bit greyscale"},
        {"HeightFourBit", "height.png", put("height.png", sized(256, 256, PNG_COLOR_TYPE_GRAY, 4, 1)),
         "image is 4-bit greyscale, must be 8-bit greyscale"},
        {"HeightRgb", "height.png", put("height.png", sized(256, 256, PNG_COLOR_TYPE_RGB, 8, 3)),
         "image is 8-bit RGB, must be 8-bit greyscale"},
        {"HeightGreyWithAlpha", "height.png",
         put("height.png", sized(256, 256, PNG_COLOR_TYPE_GRAY_ALPHA, 8, 2)),
         "image is 8-bit greyscale with alpha, must be 8-bit greyscale"},
        {"HeightIndexed", "height.png", put("height.png", sized(256, 256, PNG_COLOR_TYPE_PALETTE, 8, 1)),
         "image is 8-bit indexed, must be 8-bit greyscale"},
        {"ColorGreyscale", "color.png", put("color.png", sized(256, 256, PNG_COLOR_TYPE_GRAY, 8, 1)),
         "not an indexed image (it is 8-bit greyscale), must be 8-bit indexed (palette)"},
        {"ColorRgbWithAlpha", "color.png", put("color.png", sized(256, 256, PNG_COLOR_TYPE_RGB_ALPHA, 8, 4)),
         "not an indexed image (it is 8-bit RGB with alpha), must be 8-bit indexed (palette)"},
        {"ColorFourBitIndexed", "color.png", put("color.png", sized(256, 256, PNG_COLOR_TYPE_PALETTE, 4, 1)),
         "image is 4-bit indexed, must be 8-bit indexed (palette)"},
        {"ColorPaletteTooShort", "color.png",
         [](const fs::path& dir) {
             std::vector<std::uint8_t> pixels = stripeColors(100);
             pixels[40000] = 133;
             writeRawPng(dir / "color.png", indexedPng(pixels, testPalette(100)));
         },
         "palette too short: it has 100 entries but pixels use index 133"},
    };
}

void PrintTo(const BadInput& bad, std::ostream* out)
{
    *out << bad.name;
}

class LandscapeImportRejects : public testing::TestWithParam<BadInput> {};

TEST_P(LandscapeImportRejects, WithOneLineNamingTheFileAndNoOutput)
{
    const BadInput& bad = GetParam();
    TempDir temp;
    writeValidPair(temp.path());
    bad.spoil(temp.path());

    const Import import = importFrom(temp.path());
    EXPECT_EQ(import.result.status, 1);
    const std::vector<std::string> lines = linesOf(import.result.err);
    ASSERT_EQ(lines.size(), 1u) << import.result.err;
    EXPECT_EQ(import.result.err.back(), '\n');
    EXPECT_EQ(lines[0].rfind((temp.path() / bad.file).string() + ": " + bad.problem, 0), 0u)
        << "got: " << lines[0];
    // No output, and no temporary file either.
    EXPECT_TRUE(directoryEntries(temp.path() / "out").empty());
}

TEST_P(LandscapeImportRejects, WithoutTouchingAnEarlierOutput)
{
    const BadInput& bad = GetParam();
    TempDir temp;
    writeValidPair(temp.path());
    bad.spoil(temp.path());
    fs::create_directories(temp.path() / "out");
    writeFile(temp.path() / "out" / "landscape_data.cpp", "// earlier output\n");

    const Import import = importFrom(temp.path());
    EXPECT_EQ(import.result.status, 1);
    EXPECT_EQ(readFile(import.output), "// earlier output\n");
    EXPECT_EQ(directoryEntries(temp.path() / "out"), std::vector<std::string>{"landscape_data.cpp"});
}

INSTANTIATE_TEST_SUITE_P(EachKind, LandscapeImportRejects, testing::ValuesIn(badInputs()),
                         [](const testing::TestParamInfo<BadInput>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Palette roles.

// The palette the import must produce from `defined` entries of color.png.
std::vector<int> filledPalette(const std::vector<Rgb>& defined)
{
    std::vector<int> palette;
    for (int i = 0; i < 256; ++i) {
        Rgb entry{0, 0, 0};
        if (i < static_cast<int>(defined.size()))
            entry = defined[static_cast<std::size_t>(i)];
        else if (i == 223)
            entry = {51, 160, 204};
        else if (i == 255)
            entry = {81, 131, 146};
        palette.insert(palette.end(), entry.begin(), entry.end());
    }
    return palette;
}

Import importWithColors(const TempDir& temp, const std::vector<std::uint8_t>& pixels,
                        const std::vector<Rgb>& palette)
{
    writeRawPng(temp.path() / "height.png", greyPng(rampHeights()));
    writeRawPng(temp.path() / "color.png", indexedPng(pixels, palette));
    return importFrom(temp.path());
}

TEST(LandscapeImportPalette, FillsTheSkyBandsAndRestWhenThePaletteIsShort)
{
    TempDir temp;
    const std::vector<Rgb> palette = testPalette(40);
    const Import import = importWithColors(temp, stripeColors(40), palette);
    ASSERT_EQ(import.result.status, 0) << import.result.err;
    EXPECT_EQ(import.result.err, "");
    EXPECT_TRUE(import.data.palette == filledPalette(palette));
    // Spelled out for the two roles: sky blue and the stored band colour.
    ASSERT_EQ(import.data.palette.size(), 768u);
    EXPECT_EQ(std::vector<int>(import.data.palette.begin() + 223 * 3, import.data.palette.begin() + 224 * 3),
              (std::vector<int>{51, 160, 204}));
    EXPECT_EQ(std::vector<int>(import.data.palette.begin() + 255 * 3, import.data.palette.end()),
              (std::vector<int>{81, 131, 146}));
}

TEST(LandscapeImportPalette, KeepsTheSkyAndBandColoursThePaletteDefines)
{
    TempDir sky;
    std::vector<Rgb> palette = testPalette(224);
    palette[223] = {250, 120, 40};
    const Import withSky = importWithColors(sky, stripeColors(134), palette);
    ASSERT_EQ(withSky.result.status, 0) << withSky.result.err;
    EXPECT_TRUE(withSky.data.palette == filledPalette(palette));

    TempDir full;
    palette = testPalette(256);
    palette[255] = {9, 8, 7};
    const Import withBands = importWithColors(full, stripeColors(134), palette);
    ASSERT_EQ(withBands.result.status, 0) << withBands.result.err;
    EXPECT_TRUE(withBands.data.palette == filledPalette(palette));
}

TEST(LandscapeImportPalette, IsTooShortExactlyWhenAPixelIndexIsBeyondIt)
{
    // 134 entries cover the indices 0..133 ...
    TempDir enough;
    const Import accepted = importWithColors(enough, stripeColors(134), testPalette(134));
    EXPECT_EQ(accepted.result.status, 0) << accepted.result.err;
    EXPECT_TRUE(accepted.data.colors == asInts(stripeColors(134)));
    // ... 133 do not.
    TempDir shortOne;
    const Import refused = importWithColors(shortOne, stripeColors(134), testPalette(133));
    EXPECT_EQ(refused.result.status, 1);
    EXPECT_NE(refused.result.err.find("color.png: palette too short: it has 133 entries but pixels use index 133"),
              std::string::npos)
        << refused.result.err;
}

TEST(LandscapeImportPalette, WarnsOnceWhenGroundUsesTheSkyEntry)
{
    TempDir temp;
    std::vector<std::uint8_t> pixels = stripeColors(100);
    for (std::size_t cell : {0u, 777u, 4096u, 30000u, 65535u})
        pixels[cell] = 223;
    const Import import = importWithColors(temp, pixels, testPalette(224));
    ASSERT_EQ(import.result.status, 0);
    const std::vector<std::string> lines = linesOf(import.result.err);
    ASSERT_EQ(lines.size(), 1u) << import.result.err;
    EXPECT_EQ(lines[0].rfind((temp.path() / "color.png").string() + ": warning: 5 cells use palette index 223", 0), 0u)
        << lines[0];
    EXPECT_NE(lines[0].find("sky"), std::string::npos) << lines[0];
    // The data goes in as drawn.
    EXPECT_TRUE(import.data.colors == asInts(pixels));
}

TEST(LandscapeImportPalette, WarnsOnceWhenGroundUsesTheBandEntry)
{
    TempDir temp;
    std::vector<std::uint8_t> pixels = stripeColors(100);
    pixels[12345] = 255;
    const Import import = importWithColors(temp, pixels, testPalette(256));
    ASSERT_EQ(import.result.status, 0);
    const std::vector<std::string> lines = linesOf(import.result.err);
    ASSERT_EQ(lines.size(), 1u) << import.result.err;
    EXPECT_EQ(lines[0].rfind((temp.path() / "color.png").string() + ": warning: 1 cell uses palette index 255", 0), 0u)
        << lines[0];
    EXPECT_NE(lines[0].find("black"), std::string::npos) << lines[0];
    EXPECT_TRUE(import.data.colors == asInts(pixels));
}

TEST(LandscapeImportPalette, WarnsAboutBothRolesOnALineEach)
{
    TempDir temp;
    std::vector<std::uint8_t> pixels = stripeColors(100);
    pixels[1] = 223;
    pixels[2] = 255;
    pixels[3] = 255;
    const Import import = importWithColors(temp, pixels, testPalette(256));
    ASSERT_EQ(import.result.status, 0);
    const std::vector<std::string> lines = linesOf(import.result.err);
    ASSERT_EQ(lines.size(), 2u) << import.result.err;
    EXPECT_NE(lines[0].find("1 cell uses palette index 223"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("2 cells use palette index 255"), std::string::npos) << lines[1];
}

} // namespace
