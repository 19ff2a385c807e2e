// Checks of the landscape generator and the source writer it shares with the
// other landscape tools: regenerating gives the committed data byte for byte,
// the previews show that data, and the writer never leaves a temporary or
// partial file behind.
#include "assets/landscape.h"
#include "landscape_source.h"

#include <gtest/gtest.h>
#include <png.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#ifndef MAKE_LANDSCAPE_PATH
#error "MAKE_LANDSCAPE_PATH must name the built make_landscape tool"
#endif
#ifndef LANDSCAPE_DATA_SOURCE
#error "LANDSCAPE_DATA_SOURCE must name the committed assets/landscape_data.cpp"
#endif

namespace fs = std::filesystem;
using landscape_tools::LandscapeArrays;
using landscape_tools::formatLandscapeSource;
using landscape_tools::writeLandscapeSource;

namespace {

// A fresh directory under the system temp directory, removed afterwards.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "landscape_test_XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data()) != nullptr) {
            path_ = buffer.data();
        }
    }
    ~TempDir()
    {
        if (!path_.empty()) {
            std::error_code ignored;
            fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
            fs::remove_all(path_, ignored);
        }
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> directoryEntries(const fs::path& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Runs the generator with the given arguments; returns its exit status, or
// -1 if it did not exit normally.
int runGenerator(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    std::string program = MAKE_LANDSCAPE_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (child < 0) {
        return -1;
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// Reads a PNG into 8-bit pixels of the given libpng format.
bool readPng(const fs::path& path, png_uint_32 format, std::vector<std::uint8_t>& pixels,
             png_uint_32& width, png_uint_32& height)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return false;
    }
    image.format = format;
    pixels.assign(PNG_IMAGE_SIZE(image), 0);
    width = image.width;
    height = image.height;
    const bool ok = png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

// ---------------------------------------------------------------------------
// The generator.

TEST(LandscapeGenerator, RegeneratesTheCommittedDataExactly)
{
    TempDir temp;
    ASSERT_FALSE(temp.path().empty());
    const fs::path output = temp.path() / "landscape_data.cpp";
    ASSERT_EQ(runGenerator({output.string()}), 0);

    const std::string committed = readFile(LANDSCAPE_DATA_SOURCE);
    const std::string generated = readFile(output);
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(generated == committed)
        << "assets/landscape_data.cpp differs from the generator's output; "
           "rebuild it with the landscape_data target";
    EXPECT_EQ(directoryEntries(temp.path()), std::vector<std::string>{"landscape_data.cpp"});
}

TEST(LandscapeGenerator, PreviewsShowTheCompiledData)
{
#ifdef LANDSCAPE_CUSTOM_TERRAIN
    GTEST_SKIP() << "built with a custom landscape";
#endif
    TempDir temp;
    ASSERT_FALSE(temp.path().empty());
    ASSERT_EQ(runGenerator({(temp.path() / "data.cpp").string(), temp.path().string()}), 0);

    std::vector<std::uint8_t> grey;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    ASSERT_TRUE(readPng(temp.path() / "heightmap.png", PNG_FORMAT_GRAY, grey, width, height));
    ASSERT_EQ(width, 256u);
    ASSERT_EQ(height, 256u);
    int mismatches = 0;
    for (int i = 0; i < mapCells; ++i) {
        // Brightness is the height scaled from 0..118 to 0..255.
        const int expected = static_cast<int>(std::lround(HeightMap[i] * 255.0 / 118.0));
        mismatches += grey[static_cast<std::size_t>(i)] != expected;
    }
    EXPECT_EQ(mismatches, 0);

    std::vector<std::uint8_t> rgb;
    ASSERT_TRUE(readPng(temp.path() / "colormap.png", PNG_FORMAT_RGB, rgb, width, height));
    ASSERT_EQ(width, 256u);
    ASSERT_EQ(height, 256u);
    mismatches = 0;
    for (int i = 0; i < mapCells; ++i) {
        for (int c = 0; c < 3; ++c) {
            mismatches += rgb[3 * static_cast<std::size_t>(i) + static_cast<std::size_t>(c)]
                          != TerrainPalette[ColorMap[i]][c];
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(LandscapeGenerator, RejectsWrongUsageAndUnwritableOutput)
{
    EXPECT_EQ(runGenerator({}), 2);
    EXPECT_EQ(runGenerator({"a.cpp", "previews", "extra"}), 2);

    TempDir temp;
    ASSERT_FALSE(temp.path().empty());
    const fs::path missing = temp.path() / "no" / "such" / "dir" / "data.cpp";
    EXPECT_EQ(runGenerator({missing.string()}), 1);
    EXPECT_TRUE(directoryEntries(temp.path()).empty());
}

// ---------------------------------------------------------------------------
// The source writer.

// A small recognisable landscape for the writer tests.
struct SampleLandscape {
    std::vector<std::uint8_t> heights = std::vector<std::uint8_t>(mapCells);
    std::vector<std::uint8_t> colors = std::vector<std::uint8_t>(mapCells);
    std::uint8_t palette[256][3] = {};

    SampleLandscape()
    {
        for (int i = 0; i < mapCells; ++i) {
            heights[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i % 119);
            colors[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i * 7) % 134);
        }
        for (int i = 0; i < 256; ++i) {
            palette[i][0] = static_cast<std::uint8_t>(i);
            palette[i][1] = static_cast<std::uint8_t>(255 - i);
            palette[i][2] = static_cast<std::uint8_t>(i / 2);
        }
    }
    LandscapeArrays arrays() const { return {heights.data(), colors.data(), palette}; }
};

// Pulls the numbers between the braces after `name` out of the source text.
std::vector<int> numbersOf(const std::string& source, const std::string& name)
{
    std::vector<int> numbers;
    const std::size_t start = source.find(name);
    if (start == std::string::npos) {
        return numbers;
    }
    const std::size_t open = source.find("= {", start);
    const std::size_t close = source.find("\n};", open);
    if (open == std::string::npos || close == std::string::npos) {
        return numbers;
    }
    std::string body = source.substr(open + 3, close - open - 3);
    // Drop the index comments of the palette.
    std::size_t comment;
    while ((comment = body.find("//")) != std::string::npos) {
        body.erase(comment, body.find('\n', comment) - comment);
    }
    for (char& c : body) {
        if (c < '0' || c > '9') {
            c = ' ';
        }
    }
    std::istringstream in(body);
    int value;
    while (in >> value) {
        numbers.push_back(value);
    }
    return numbers;
}

TEST(LandscapeSourceWriter, WritesTheArraysAndTheNote)
{
    const SampleLandscape sample;
    const std::string text = formatLandscapeSource(sample.arrays(), "Made by a test.\nSecond line.");

    EXPECT_NE(text.find("// Made by a test.\n// Second line.\n"), std::string::npos);
    EXPECT_NE(text.find("#include \"assets/landscape.h\""), std::string::npos);

    const std::vector<int> heights = numbersOf(text, "HeightMap[mapCells]");
    const std::vector<int> colors = numbersOf(text, "ColorMap[mapCells]");
    const std::vector<int> palette = numbersOf(text, "TerrainPalette[256][3]");
    ASSERT_EQ(heights.size(), static_cast<std::size_t>(mapCells));
    ASSERT_EQ(colors.size(), static_cast<std::size_t>(mapCells));
    ASSERT_EQ(palette.size(), 768u);
    for (int i = 0; i < mapCells; ++i) {
        ASSERT_EQ(heights[static_cast<std::size_t>(i)], sample.heights[static_cast<std::size_t>(i)]) << i;
        ASSERT_EQ(colors[static_cast<std::size_t>(i)], sample.colors[static_cast<std::size_t>(i)]) << i;
    }
    for (int i = 0; i < 768; ++i) {
        ASSERT_EQ(palette[static_cast<std::size_t>(i)], sample.palette[i / 3][i % 3]) << i;
    }
}

TEST(LandscapeSourceWriter, ReplacesTheDestinationWithoutLeavingTheTemporary)
{
    const SampleLandscape sample;
    TempDir temp;
    ASSERT_FALSE(temp.path().empty());
    const fs::path output = temp.path() / "out.cpp";
    std::ofstream(output) << "old contents\n";

    std::string error;
    ASSERT_TRUE(writeLandscapeSource(output.string(), sample.arrays(), "note", &error)) << error;
    EXPECT_EQ(readFile(output), formatLandscapeSource(sample.arrays(), "note"));
    EXPECT_EQ(directoryEntries(temp.path()), std::vector<std::string>{"out.cpp"});
}

TEST(LandscapeSourceWriter, FailsCleanlyWhenTheDirectoryDoesNotExist)
{
    const SampleLandscape sample;
    TempDir temp;
    ASSERT_FALSE(temp.path().empty());
    const fs::path output = temp.path() / "missing" / "out.cpp";

    std::string error;
    EXPECT_FALSE(writeLandscapeSource(output.string(), sample.arrays(), "note", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(temp.path() / "missing"));
    EXPECT_TRUE(directoryEntries(temp.path()).empty());
}

TEST(LandscapeSourceWriter, FailsCleanlyWhenTheDirectoryIsNotWritable)
{
    const SampleLandscape sample;
    TempDir temp;
    ASSERT_FALSE(temp.path().empty());
    const fs::path output = temp.path() / "out.cpp";
    std::ofstream(output) << "old contents\n";
    fs::permissions(temp.path(), fs::perms::owner_read | fs::perms::owner_exec);

    const fs::path probe = temp.path() / "probe";
    if (!std::ofstream(probe).is_open()) {
        std::string error;
        EXPECT_FALSE(writeLandscapeSource(output.string(), sample.arrays(), "note", &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(readFile(output), "old contents\n");
        EXPECT_EQ(directoryEntries(temp.path()), std::vector<std::string>{"out.cpp"});
        return;
    }

    // A privileged user writes to read-only directories regardless; the root
    // of /proc refuses new files even to root.
    fs::remove(probe);
    if (!fs::is_directory("/proc/self")) {
        GTEST_SKIP() << "no directory here refuses writes to this user";
    }
    const fs::path procOutput = "/proc/landscape_source_test.cpp";
    std::string error;
    EXPECT_FALSE(writeLandscapeSource(procOutput.string(), sample.arrays(), "note", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(procOutput));
    EXPECT_FALSE(fs::exists("/proc/landscape_source_test.cpp.tmp"));
}

TEST(LandscapeSourceWriter, LeavesTheDestinationAloneWhenTheTemporaryCannotBeCreated)
{
    // A directory squatting on the temporary's name makes creating it fail
    // for every user, root included.
    const SampleLandscape sample;
    TempDir temp;
    ASSERT_FALSE(temp.path().empty());
    const fs::path output = temp.path() / "out.cpp";
    std::ofstream(output) << "old contents\n";
    fs::create_directory(temp.path() / "out.cpp.tmp");

    std::string error;
    EXPECT_FALSE(writeLandscapeSource(output.string(), sample.arrays(), "note", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readFile(output), "old contents\n");
    EXPECT_TRUE(fs::is_directory(temp.path() / "out.cpp.tmp"));
    EXPECT_TRUE(fs::is_empty(temp.path() / "out.cpp.tmp"));
}

TEST(LandscapeSourceWriter, RemovesTheTemporaryWhenTheRenameFails)
{
    // The temporary is written in full, but renaming it over a non-empty
    // directory fails; the temporary must not survive.
    const SampleLandscape sample;
    TempDir temp;
    ASSERT_FALSE(temp.path().empty());
    const fs::path output = temp.path() / "out.cpp";
    fs::create_directory(output);
    std::ofstream(output / "keep") << "kept\n";

    std::string error;
    EXPECT_FALSE(writeLandscapeSource(output.string(), sample.arrays(), "note", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(directoryEntries(temp.path()), std::vector<std::string>{"out.cpp"});
    EXPECT_EQ(readFile(output / "keep"), "kept\n");
}

} // namespace
