// The landscape host tools as a user runs them: the committed data made
// again byte for byte, export and import, the palette filled and warnings,
// and bad input or output refused in one line with nothing left behind;
// and the web page's copy of the program's scale rule, run by node.
#include "app/scaling.h"
#include "assets/landscape.h"
#include "landscape_files.h"

#include <gtest/gtest.h>
#include <spng.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Strings = std::vector<std::string>;
using landscape_tools::Landscape;
const std::string importTool = TOOLS_DIR "/import_landscape", exportTool = TOOLS_DIR "/export_landscape";

std::string readFile(const fs::path& path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

Strings entries(const fs::path& directory)
{
    Strings names;
    for (const auto& entry : fs::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A generated source from its #include line on, without the header comment
// that names where the data came from.
std::string body(const std::string& source)
{
    return source.substr(std::min(source.find("#include"), source.size()));
}

// Maps in which every cell differs from its mirror images and its
// transposition, so that a flipped or rotated read shows: heights 0..255,
// colours 0..colors-1.
Bytes rampHeights(std::size_t colors = 256, std::size_t across = 3, std::size_t along = 1)
{
    Bytes cells(mapCells);
    for (std::size_t i = 0; i < cells.size(); ++i)
        cells[i] = static_cast<std::uint8_t>((i / 256 * across + i % 256 * along) % colors);
    return cells;
}

Bytes stripeColors(int colors) { return rampHeights(static_cast<std::size_t>(colors), 1, 2); }

// Entry i of the test palettes: none black, none a default role colour.
spng_plte_entry testEntry(int i)
{
    return {static_cast<std::uint8_t>(1 + i), static_cast<std::uint8_t>(200 - i / 2),
            static_cast<std::uint8_t>(7 * i % 250 + 1), 255};
}

// A PNG of any format, written with libspng: `samples` packed as the format
// stores them (all 1 when empty); indexed ones get `entries` palette entries.
std::string png(int colorType, const Bytes& samples = {}, int entries = 256, int depth = 8, int width = 256,
                int height = 256, bool interlaced = false)
{
    const int channels[] = {1, 0, 3, 1, 2, 0, 4};
    const std::size_t size = (static_cast<std::size_t>(width) * channels[colorType] * depth + 7) / 8 * height;
    const Bytes data = samples.empty() ? Bytes(size, 1) : samples;
    const std::unique_ptr<spng_ctx, void (*)(spng_ctx*)> ctx(spng_ctx_new(SPNG_CTX_ENCODER), spng_ctx_free);
    spng_ihdr header{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), static_cast<std::uint8_t>(depth),
                     static_cast<std::uint8_t>(colorType), 0, 0, static_cast<std::uint8_t>(interlaced)};
    spng_plte palette{static_cast<std::uint32_t>(entries), {}};
    for (int i = 0; i < entries; ++i)
        palette.entries[i] = testEntry(i);
    spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1);
    spng_set_ihdr(ctx.get(), &header);
    if (colorType == SPNG_COLOR_TYPE_INDEXED)
        spng_set_plte(ctx.get(), &palette);
    EXPECT_EQ(spng_encode_image(ctx.get(), data.data(), data.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE), 0);
    std::size_t length = 0;
    int error = 0;
    void* bytes = spng_get_png_buffer(ctx.get(), &length, &error);
    const std::string file = bytes != nullptr ? std::string(static_cast<const char*>(bytes), length) : "";
    std::free(bytes);
    return file;
}

// The source import_landscape writes for rampHeights() and `colors` with
// the first `entries` test palette entries: the entries color.png leaves out
// filled, 223 with the sky blue, 255 with the band colour, others black.
std::string expectedImport(const Bytes& colors, int entries)
{
    Landscape land;
    land.heights = rampHeights();
    land.colors = colors;
    for (int i = 0; i < 256; ++i) {
        const spng_plte_entry defined = testEntry(i);
        const std::uint8_t given[3] = {defined.red, defined.green, defined.blue}, black[3] = {};
        const std::uint8_t* entry = i < entries ? given : i == 223 ? landscape_tools::skyBlue
                                                    : i == 255 ? landscape_tools::bandColour : black;
        std::copy(entry, entry + 3, land.palette[i]);
    }
    return body(landscapeSource(land, ""));
}

class LandscapeTools : public testing::Test {
protected:
    fs::path dir;

    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "landscape_tools_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    struct Result { int status; std::string out, err; };   // status -1: it did not exit

    // Runs `command` through the shell with its output captured (no
    // argument holds a quote); `limit` ("" for none) is the shell's file
    // size limit in 512-byte blocks: writing more then fails with EFBIG.
    Result run(const Strings& command, const std::string& limit = "")
    {
        const fs::path out = dir / "stdout", err = dir / "stderr";
        std::string line = "trap '' XFSZ; " + (limit.empty() ? "" : "ulimit -f " + limit + "; ") + "exec";
        for (const std::string& argument : command)
            line += " '" + argument + "'";
        const int status = std::system((line + " >'" + out.string() + "' 2>'" + err.string() + "'").c_str());
        Result result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
        fs::remove(out);
        fs::remove(err);
        return result;
    }

    // A landscape directory holding a valid pair, and an out/ directory with
    // earlier output in it.
    fs::path pair(const std::string& name, const Bytes& colors = stripeColors(100), int entries = 100,
                  bool interlaced = false)
    {
        const fs::path path = dir / name;
        fs::create_directories(path / "out");
        writeFile(path / "out" / "landscape_data.cpp", "// earlier output\n");
        writeFile(path / "height.png", png(SPNG_COLOR_TYPE_GRAYSCALE, rampHeights(), 0, 8, 256, 256, interlaced));
        writeFile(path / "color.png", png(SPNG_COLOR_TYPE_INDEXED, colors, entries, 8, 256, 256, interlaced));
        return path;
    }

    Result import(const fs::path& pair, const std::string& limit = "")
    {
        return run({importTool, pair.string(), (pair / "out" / "landscape_data.cpp").string()}, limit);
    }
};

// The web page's own copy of the program's largest whole scale, run by node,
// agrees with fittingScale (at least 1) on both sides of every step.
TEST_F(LandscapeTools, WebPageScalesAsTheProgramDoes)
{
    const std::string page = readFile(LANDSCAPE_SOURCE_DIR "/web/index.html");
    const std::size_t from = page.find("function largestScale("), to = page.find("\n  }\n", from);
    ASSERT_NE(to, std::string::npos) << "no largestScale in web/index.html";
    std::string script = page.substr(from, to + 4 - from), expected;
    for (int width : {0, 319, 320, 639, 640, 959, 960, 1366, 1920, 3840})
        for (int height : {0, 239, 240, 479, 480, 768, 1080, 2160}) {
            script += "console.log(largestScale(" + std::to_string(width) + ", " + std::to_string(height) + "));";
            expected += std::to_string(std::max(1, static_cast<int>(fittingScale(width, height)))) + "\n";
        }
    const Result shown = run({"node", "-e", script});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out, expected);
}

// The committed landscape and icons are what the generators make now.
TEST_F(LandscapeTools, GeneratorsRemakeTheCommittedFiles)
{
    const Result made = run({TOOLS_DIR "/make_landscape", (dir / "data.cpp").string(), dir.string()});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_TRUE(readFile(dir / "data.cpp") == readFile(LANDSCAPE_SOURCE_DIR "/assets/landscape_data.cpp"))
        << "assets/landscape_data.cpp differs from the generator's output; rebuild it with the landscape_data target";
    EXPECT_EQ(entries(dir), (Strings{"colormap.png", "data.cpp", "heightmap.png"}));

    const fs::path icons = dir / "icons", committed = LANDSCAPE_SOURCE_DIR "/data/icons";
    fs::create_directory(icons);
    const Result iconsMade = run({TOOLS_DIR "/make_icon", icons.string()});
    ASSERT_EQ(iconsMade.status, 0) << iconsMade.err;
    EXPECT_EQ(entries(icons), entries(committed));
    for (const std::string& name : entries(icons))
        EXPECT_TRUE(readFile(icons / name) == readFile(committed / name))
            << "data/icons/" << name << " differs from make_icon's output; rebuild it with the icons target";
}

// An export refuses to replace files unless forced; its import is the
// compiled-in landscape, palette entry 255 included (the stored band colour,
// not the black shown).
TEST_F(LandscapeTools, ExportedFilesImportAsTheCompiledLandscape)
{
    const fs::path exported = dir / "new" / "terrain";   // created by the tool
    ASSERT_EQ(run({exportTool, exported.string()}).status, 0);
    writeFile(exported / "height.png", "mine");
    const Result refused = run({exportTool, exported.string()});
    EXPECT_TRUE(refused.status == 1 && refused.err.rfind((exported / "height.png").string() + ": already exists", 0) == 0
                && refused.err.find("or FORCE=1 to make export-landscape)\n") != std::string::npos) << refused.err;
    EXPECT_EQ(readFile(exported / "height.png"), "mine");
    ASSERT_EQ(run({exportTool, "--force", exported.string()}).status, 0);
    EXPECT_EQ(entries(exported), (Strings{"color.png", "height.png"}));
    fs::create_directory(exported / "out");
    const Result imported = import(exported);
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.err, "");
    Landscape compiled;
    compiled.heights.assign(HeightMap, HeightMap + mapCells);
    compiled.colors.assign(ColorMap, ColorMap + mapCells);
    std::copy(&TerrainPalette[0][0], &TerrainPalette[0][0] + 768, &compiled.palette[0][0]);
    EXPECT_TRUE(body(readFile(exported / "out" / "landscape_data.cpp")) == body(landscapeSource(compiled, "")));
    EXPECT_EQ(run({exportTool}).status, 2);
    EXPECT_EQ(run({importTool, exported.string()}).status, 2);
}

// Palettes of 40 entries, of 224 (its own sky) and interlaced, and of 256
// with ground in the sky's entry (223) and the letterbox's (255).
TEST_F(LandscapeTools, ImportFillsThePaletteAndWarnsAboutGroundInItsRoles)
{
    const std::string sky = "1 cell uses palette index 223, the sky colour: that ground will look like sky\n",
                      band = "2 cells use palette index 255, the letterbox colour: the program blanks it at "
                             "start-up, so that ground will be drawn black\n";
    for (const int entries : {40, 224, 256}) {
        SCOPED_TRACE(entries);
        Bytes colors = stripeColors(std::min(entries, 100));
        if (entries == 256)
            colors[65535] = 223, colors[0] = colors[7] = 255;
        const fs::path path = pair(std::to_string(entries), colors, entries, entries == 224);
        const Result result = import(path);
        ASSERT_EQ(result.status, 0) << result.err;
        const std::string warning = (path / "color.png").string() + ": warning: ";
        EXPECT_EQ(result.err, entries == 256 ? warning + sky + warning + band : "");
        EXPECT_TRUE(body(readFile(path / "out" / "landscape_data.cpp")) == expectedImport(colors, entries));
    }
}

TEST_F(LandscapeTools, ImportRefusesEachKindOfBadFileWithOneLine)
{
    const auto put = [](const std::string& bytes) { return [bytes](const fs::path& file) { writeFile(file, bytes); }; };
    const auto cut = [](std::size_t drop) {   // drop the last bytes, or (0) the second half
        return [=](const fs::path& file) {
            const std::string bytes = readFile(file);
            writeFile(file, bytes.substr(0, drop ? bytes.size() - drop : bytes.size() / 2));
        };
    };
    const auto missing = [](const fs::path& file) { fs::remove(file); };
    // A FIFO without a writer blocks for good when opened as a file (the
    // test's timeout guards against that).
    const auto fifo = [](const fs::path& file) { fs::remove(file), mkfifo(file.c_str(), 0600); };
    const int grey = SPNG_COLOR_TYPE_GRAYSCALE, indexed = SPNG_COLOR_TYPE_INDEXED;
    const std::string greyscale = ", must be 8-bit greyscale", palette = ", must be 8-bit indexed (palette)";
    const struct {
        const char* file;
        std::function<void(const fs::path&)> spoil;
        std::string problem;   // what the line says after "<path>: "
    } cases[] = {
        {"height.png", missing, "file not found"},
        {"color.png", missing, "file not found"},
        {"height.png", fifo, "not a regular file"},
        {"height.png", put("P5\n256 256\n255\n" + std::string(65536, 'x')), "not a PNG file"},
        {"color.png", put(""), "not a PNG file"},
        {"height.png", cut(0), "damaged or truncated PNG file"},
        {"color.png", cut(12), "damaged or truncated PNG file"},   // no IEND
        {"height.png", put(png(grey, {}, 0, 8, 255)), "image is 255 x 256 pixels, must be 256 x 256"},
        {"color.png", put(png(indexed, {}, 256, 8, 256, 128)), "image is 256 x 128 pixels, must be 256 x 256"},
        {"height.png", put(png(grey, {}, 0, 16)), "image is 16-bit greyscale" + greyscale},
        {"height.png", put(png(grey, {}, 0, 4)), "image is 4-bit greyscale" + greyscale},
        {"height.png", put(png(SPNG_COLOR_TYPE_TRUECOLOR)), "image is 8-bit RGB" + greyscale},
        {"height.png", put(png(SPNG_COLOR_TYPE_GRAYSCALE_ALPHA)), "image is 8-bit greyscale with alpha" + greyscale},
        {"height.png", put(png(indexed)), "image is 8-bit indexed" + greyscale},
        {"color.png", put(png(grey)), "not an indexed image (it is 8-bit greyscale)" + palette},
        {"color.png", put(png(SPNG_COLOR_TYPE_TRUECOLOR_ALPHA)), "not an indexed image (it is 8-bit RGB with alpha)" + palette},
        {"color.png", put(png(indexed, {}, 16, 4)), "image is 4-bit indexed" + palette},
        // One entry short: the highest index is 133.
        {"color.png", put(png(indexed, stripeColors(134), 133)), "palette too short: it has 133 entries but pixels use index 133"},
    };
    // Each refused with status 1 and one line, and the earlier output left
    // alone, unchanged; the last, whose source (some 300 kB) finds the disk
    // full after 100 kB, too.
    for (std::size_t i = 0; i <= std::size(cases); ++i) {
        const bool full = i == std::size(cases);
        const fs::path path = pair(std::to_string(i)), output = path / "out" / "landscape_data.cpp";
        const std::string start = full ? output.string() + ": cannot write: File too large"
                                       : (path / cases[i].file).string() + ": " + cases[i].problem;
        SCOPED_TRACE(start);
        if (!full)
            cases[i].spoil(path / cases[i].file);
        const Result result = import(path, full ? "200" : "");
        EXPECT_EQ(result.status, 1);
        EXPECT_TRUE(result.err.rfind(start, 0) == 0 && std::count(result.err.begin(), result.err.end(), '\n') == 1)
            << result.err;
        EXPECT_EQ(entries(path / "out"), Strings{"landscape_data.cpp"});
        EXPECT_EQ(readFile(output), "// earlier output\n");
    }
}

// Run by itself, not as a unit test: a copy of the checkout in a path with
// spaces builds the program alone with a custom landscape, never looking for
// GoogleTest, then exports the landscape it compiled in over a user's file.
class CustomLandscapeBuild : public LandscapeTools {};

TEST_F(CustomLandscapeBuild, ThroughTheMakefileInPathsWithSpaces)
{
    const fs::path checkout = dir / "check out", exported = checkout / "my export";
    fs::create_directory(checkout);
    for (const fs::directory_entry& entry : fs::directory_iterator(LANDSCAPE_SOURCE_DIR)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("build", 0) != 0 && name[0] != '.')
            fs::copy(entry.path(), checkout / name, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    }
    pair("check out/my terrain");
    fs::create_directories(exported / "out");
    writeFile(exported / "height.png", "mine");
    // As from a user's shell, without the make flags of the `make test` this may run under.
    for (const char* goal : {"build", "export-landscape"}) {
        const Result made = run({"/usr/bin/env", "-u", "MAKEFLAGS", "-u", "MFLAGS", "-u", "MAKELEVEL", "-u", "BUILD",
                                 "make", "-C", checkout.string(), "JOBS=2", goal,
                                 "TERRAIN=my terrain", "EXPORT=my export", "FORCE=1"});
        ASSERT_EQ(made.status, 0) << made.out << made.err;
    }
    EXPECT_EQ(readFile(checkout / "build" / "CMakeCache.txt").find("GTest"), std::string::npos)
        << "the program's build looked for GoogleTest";
    ASSERT_EQ(import(exported).status, 0);
    EXPECT_TRUE(body(readFile(exported / "out" / "landscape_data.cpp")) == expectedImport(stripeColors(100), 100));
}

} // namespace
