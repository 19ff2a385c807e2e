// Helpers shared by the tests of the landscape import and export tools:
// scratch directories, running a tool and capturing what it prints, PNG
// files of any format written directly with libpng (independently of the
// tools' own PNG code), reading PNGs back as stored, parsing the arrays out
// of a generated landscape source, and a small distinctive landscape.
#ifndef LANDSCAPE_TESTS_LANDSCAPE_IMPORT_SUPPORT_H
#define LANDSCAPE_TESTS_LANDSCAPE_IMPORT_SUPPORT_H

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace import_test {

namespace fs = std::filesystem;

// A fresh directory under the system temp directory, removed afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

struct RunResult {
    int status = -1;    // exit status, or -1 if the program did not exit normally
    std::string out;    // what it wrote to standard output
    std::string err;    // what it wrote to standard error
};

// Runs `program` with `arguments`, waits for it, and captures its output.
RunResult run(const std::string& program, const std::vector<std::string>& arguments);

// Non-empty lines of text.
std::vector<std::string> linesOf(const std::string& text);

std::string readFile(const fs::path& path);
void writeFile(const fs::path& path, const std::string& bytes);
// Names in a directory, sorted.
std::vector<std::string> directoryEntries(const fs::path& directory);

using Rgb = std::array<std::uint8_t, 3>;

// A PNG in any format. `samples` holds the rows top to bottom, already
// packed as the format stores them (for 16 bits: big-endian pairs; below 8
// bits: several pixels per byte, rows padded to whole bytes).
struct RawPng {
    int width = 256;
    int height = 256;
    int bitDepth = 8;
    int colorType = 0;       // PNG_COLOR_TYPE_*
    bool interlaced = false;
    std::vector<std::uint8_t> samples;
    std::vector<Rgb> palette; // written as PLTE when not empty
};
void writeRawPng(const fs::path& path, const RawPng& png);

// A 256 x 256 greyscale or indexed PNG from one byte per pixel.
RawPng greyPng(const std::vector<std::uint8_t>& pixels);
RawPng indexedPng(const std::vector<std::uint8_t>& pixels, const std::vector<Rgb>& palette);

// A PNG read back exactly as stored (no conversions), for 8-bit greyscale
// and 8-bit indexed images.
struct StoredPng {
    bool ok = false;
    int width = 0;
    int height = 0;
    int bitDepth = 0;
    int colorType = 0;
    std::vector<std::uint8_t> pixels;
    std::vector<Rgb> palette;
};
StoredPng readStoredPng(const fs::path& path);

// The three arrays of a generated landscape source file.
struct ParsedLandscape {
    std::vector<int> heights;
    std::vector<int> colors;
    std::vector<int> palette; // 768 values: r, g, b per entry
};
ParsedLandscape parseLandscapeSource(const std::string& text);

// A landscape unlike the built-in one: rolling hills of heights 10..130 and
// a tower of height 250 straight ahead of the start-up camera, in a
// checkerboard of 40 colours, with a palette of 224 entries whose entry 223
// makes a sunset sky.
struct TestLandscape {
    std::vector<std::uint8_t> heights;
    std::vector<std::uint8_t> colors;
    std::vector<Rgb> palette;
};
TestLandscape distinctiveLandscape();

} // namespace import_test

#endif
