// Helpers shared by the tests of the landscape host tools: scratch
// directories, running a tool and capturing what it prints, and PNG files of
// any format written and read directly with libpng (independently of the
// tools' own PNG code).
#ifndef LANDSCAPE_TESTS_LANDSCAPE_TOOLS_SUPPORT_H
#define LANDSCAPE_TESTS_LANDSCAPE_TOOLS_SUPPORT_H

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tools_test {

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
// bits: several pixels per byte, rows padded to whole bytes); when empty,
// every byte is 1.
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

// A PNG's pixels in libpng's simplified `format` (PNG_FORMAT_GRAY,
// PNG_FORMAT_RGB, ...), or empty if it cannot be read or is not 256 x 256
// (or `width` x `height` when given).
std::vector<std::uint8_t> readPixels(const fs::path& path, unsigned format, int width = 256, int height = 256);

} // namespace tools_test

#endif
