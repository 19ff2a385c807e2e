// Small PNG helpers for the host tools, built on libpng. Images are 8 bits
// per channel, rows stored top to bottom without padding.
#ifndef LANDSCAPE_TOOLS_PNG_IO_H
#define LANDSCAPE_TOOLS_PNG_IO_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace landscape_tools {

// Writes a width x height greyscale image, one byte per pixel.
// Returns false and fills *error (when given) if the file cannot be written;
// a partly written file is removed.
bool writeGreyPng(const std::string& path, int width, int height,
                  const std::uint8_t* pixels, std::string* error = nullptr);

// Writes a width x height RGB image, three bytes (r, g, b) per pixel.
// Same failure behaviour as writeGreyPng.
bool writeRgbPng(const std::string& path, int width, int height,
                 const std::uint8_t* pixels, std::string* error = nullptr);

// Writes a width x height indexed (palette) image with 8 bits per pixel:
// one palette index per pixel and `entries` (1..256) palette colours, each
// three bytes r, g, b. Same failure behaviour as writeGreyPng.
bool writeIndexedPng(const std::string& path, int width, int height,
                     const std::uint8_t* pixels, const std::uint8_t (*palette)[3],
                     int entries, std::string* error = nullptr);

// A PNG file as stored: its header, its palette and, for the formats with
// one byte per pixel, its pixels exactly as stored (no gamma or colour
// conversion, transparency ignored).
struct PngImage {
    int width = 0;
    int height = 0;
    int bitDepth = 0;   // bits per sample: 1, 2, 4, 8 or 16
    int colorType = 0;  // libpng's PNG_COLOR_TYPE_* value
    // width * height bytes, rows top to bottom; filled only for 8-bit
    // greyscale and 8-bit indexed images no larger than maxDecodedPixels.
    std::vector<std::uint8_t> pixels;
    // The PLTE chunk's entries (r, g, b), in order; empty when there is none.
    std::vector<std::array<std::uint8_t, 3>> palette;
};

// Decoding larger images is refused (the header is still reported).
constexpr std::size_t maxDecodedPixels = std::size_t{1} << 24;

// Why readPng failed.
enum class PngReadError {
    none,
    missing,     // the file does not exist
    unreadable,  // it exists but cannot be opened or read
    notPng,      // it does not start with the PNG signature
    corrupt,     // libpng rejected its contents
};

// Reads the PNG at `path` into *image. On failure returns the reason and,
// when `error` is given, a one-line description starting with the path.
PngReadError readPng(const std::string& path, PngImage* image, std::string* error = nullptr);

// "8-bit greyscale", "16-bit RGB", "4-bit indexed", ...: the bit depth and
// colour type as a user would name them.
std::string describePngFormat(int bitDepth, int colorType);

} // namespace landscape_tools

#endif
